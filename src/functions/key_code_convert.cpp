#include "functions/key_code_convert.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "common/ini_file.h"
#include "common/text_codec.h"

namespace qvk {

namespace {
constexpr const char* keyboard_file = "KeyBoardCode.ini";
constexpr const char* keyboard_section = "KeyBoardCode";
constexpr const char* consumer_file = "MediaKeyCode.ini";
constexpr const char* consumer_section = "ConsumerKeyCode";
constexpr const char* language_folder = "Language/";
constexpr const char* language_section = "Language";
constexpr const char* not_found = "ERR";

} // namespace

key_code_convert::key_code_convert(const std::string& exe_path) {
    const size_t slash = exe_path.rfind('/');
    folder_ = slash == std::string::npos ? std::string("./") : exe_path.substr(0, slash + 1);
    load_table(folder_ + keyboard_file, keyboard_section, keyboard_keys_, keyboard_names_);
    load_table(folder_ + consumer_file, consumer_section, consumer_keys_, consumer_names_);
    scan_languages();
}

void key_code_convert::load_table(const std::string& path, const char* section, std::vector<std::string>& keys,
                                  std::vector<std::string>& names) {
    keys.clear();
    names.clear();
    for (ini_file::entry& e : ini_file(path).entries(section)) {
        keys.push_back(std::move(e.key));
        names.push_back(std::move(e.value));
    }
}

std::string key_code_convert::lookup(const std::vector<std::string>& keys, const std::vector<std::string>& names,
                                     std::string_view key) {
    for (size_t i = 0; i < keys.size(); ++i)
        if (equal_ignoring_ascii_case(keys[i], key)) return names[i] + "(" + keys[i] + ")";
    return not_found;
}

std::string key_code_convert::key_code_to_str(uint8_t usage) const {
    char key[8];
    std::snprintf(key, sizeof key, "0x%02X", usage);
    return lookup(keyboard_keys_, keyboard_names_, key);
}

std::string key_code_convert::media_code_to_str(uint16_t usage) const {
    char key[8];
    std::snprintf(key, sizeof key, "0x%04X", usage);
    return lookup(consumer_keys_, consumer_names_, key);
}

std::string key_code_convert::usage_to_str(int selector, uint16_t code) const {
    if (selector == 0) return key_code_to_str(uint8_t(code & 0xFF));
    if (selector == 1) return media_code_to_str(code);
    return not_found;
}

uint16_t key_code_convert::consumer_code(size_t i) const {
    return i < consumer_keys_.size() ? uint16_t(parse_int_def(consumer_keys_[i], 0)) : 0;
}

void key_code_convert::scan_languages() {
    language_names_.clear();
    language_files_.clear();
    texts_.clear();
    loaded_ = false;
    // Every "*.ini" directly in the folder; the extension is matched without
    // regard to case, as the file system of the tool's home platform does.
    std::vector<std::pair<std::string, std::string>> found; // name, file name
    std::error_code ec;
    const std::filesystem::path dir = folder_ + language_folder;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& p = it->path();
        std::error_code type_ec;
        if (!equal_ignoring_ascii_case(p.extension().string(), ".ini") || !it->is_regular_file(type_ec)) continue;
        found.emplace_back(p.stem().string(), p.filename().string());
    }
    // The stored choice is a position in this list: keep the order stable.
    std::sort(found.begin(), found.end());
    for (auto& [name, file] : found) {
        language_names_.push_back(std::move(name));
        language_files_.push_back(std::move(file));
    }
    if (selected_ >= language_count()) selected_ = -1;
}

std::string key_code_convert::language_name(int index) const {
    return index >= 0 && index < language_count() ? language_names_[size_t(index)] : std::string();
}

void key_code_convert::select_language(int index) { selected_ = index >= 0 && index < language_count() ? index : -1; }

bool key_code_convert::load_language(int index) {
    texts_.clear();
    loaded_ = false;
    if (index < 0 || index >= language_count()) return false;
    const std::string path = folder_ + language_folder + language_files_[size_t(index)];
    const ini_file ini(path);
    if (!ini.exists()) return false;
    std::vector<ini_file::entry> entries = ini.entries(language_section);
    // The first entry for an ID wins; a key that is not a number is ID 0.
    for (ini_file::entry& e : entries) texts_.try_emplace(uint32_t(parse_int_def(e.key, 0)), std::move(e.value));
    loaded_ = !entries.empty();
    return loaded_;
}

std::string key_code_convert::get_lng_text(uint32_t id, std::string_view def) const {
    if (!loaded_) return std::string(def);
    const auto it = texts_.find(id);
    if (it == texts_.end()) return std::string(def);
    std::string s = it->second;
    for (size_t pos = s.find("<br>"); pos != std::string::npos; pos = s.find("<br>", pos + 2))
        s.replace(pos, 4, "\r\n");
    return s;
}

} // namespace qvk
