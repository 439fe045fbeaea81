#include "common/ini_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/text_codec.h"

namespace qvk {

namespace {

constexpr std::string_view utf8_bom = "\xEF\xBB\xBF";
constexpr std::string_view utf16_bom = "\xFF\xFE";
constexpr size_t max_file_size = 16u << 20; // settings files are tiny; refuse absurd ones

std::string_view trim(std::string_view s) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    while (!s.empty() && space(s.front())) s.remove_prefix(1);
    while (!s.empty() && space(s.back())) s.remove_suffix(1);
    return s;
}

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Cuts a UTF-8 text to at most n characters.
std::string cap_characters(std::string_view s, size_t n) {
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((uint8_t(s[i]) & 0xC0) != 0x80) {
            if (chars == n) return std::string(s.substr(0, i));
            ++chars;
        }
    }
    return std::string(s);
}

// Optional sign and the decimal digits that follow; 0 when there are none,
// def for an empty text or a number outside 32 bits.
int leading_int(std::string_view v, int def) {
    if (v.empty()) return def;
    bool negative = false;
    if (v.front() == '-' || v.front() == '+') {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    long long n = 0;
    for (char c : v) {
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
        if (n > 0x7FFFFFFF) return def;
    }
    return int(negative ? -n : n);
}

} // namespace

std::string ini_file::decode(std::string_view raw, bool* utf16, bool* bom) {
    if (utf16) *utf16 = false;
    if (bom) *bom = false;
    if (raw.substr(0, 2) == utf16_bom) {
        if (utf16) *utf16 = true;
        if (bom) *bom = true;
        return utf16le_to_utf8(raw.substr(2));
    }
    if (raw.substr(0, 3) == utf8_bom) {
        if (bom) *bom = true;
        return std::string(raw.substr(3));
    }
    return std::string(raw);
}

ini_file::ini_file(std::string path) : path_(std::move(path)) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_, ec)) return;
    const auto size = std::filesystem::file_size(path_, ec);
    if (ec || size > max_file_size) return;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return;
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    exists_ = true;
    const std::string text = decode(raw, &utf16_, &bom_);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!(end == text.size() && line.empty())) lines_.push_back(std::move(line));
        start = end + 1;
    }
}

ini_file::parsed_line ini_file::parse(std::string_view raw) {
    parsed_line p;
    const std::string_view line = trim(raw);
    if (line.empty() || line.front() == ';') return p;
    if (line.front() == '[') {
        const size_t close = line.find(']');
        p.kind = parsed_line::section;
        p.name = std::string(trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
        return p;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return p;
    p.kind = parsed_line::entry;
    p.name = std::string(trim(line.substr(0, eq)));
    std::string_view v = trim(line.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    p.value = cap_characters(v, value_limit);
    return p;
}

std::vector<std::string> ini_file::keys(std::string_view section) const {
    std::vector<std::string> out;
    bool inside = false;
    for (const std::string& l : lines_) {
        const parsed_line p = parse(l);
        if (p.kind == parsed_line::section)
            inside = same_name(p.name, section);
        else if (inside && p.kind == parsed_line::entry && !p.name.empty())
            out.push_back(p.name);
    }
    return out;
}

long ini_file::find_entry(std::string_view section, std::string_view key) const {
    bool inside = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const parsed_line p = parse(lines_[i]);
        if (p.kind == parsed_line::section)
            inside = same_name(p.name, section);
        else if (inside && p.kind == parsed_line::entry && same_name(p.name, key))
            return long(i);
    }
    return -1;
}

bool ini_file::has_key(std::string_view section, std::string_view key) const { return find_entry(section, key) >= 0; }

std::string ini_file::read_string(std::string_view section, std::string_view key, std::string_view def) const {
    const long i = find_entry(section, key);
    if (i < 0) return std::string(def);
    return parse(lines_[size_t(i)]).value;
}

int ini_file::read_int(std::string_view section, std::string_view key, int def) const {
    if (!has_key(section, key)) return def;
    return leading_int(read_string(section, key, ""), def);
}

bool ini_file::write_int(std::string_view section, std::string_view key, int value) {
    return write_string(section, key, std::to_string(value));
}

bool ini_file::write_string(std::string_view section, std::string_view key, std::string_view value) {
    const long found = find_entry(section, key);
    if (found >= 0) {
        // Keep the key as it was spelled in the file.
        std::string line = parse(lines_[size_t(found)]).name;
        line.append("=").append(value);
        lines_[size_t(found)] = std::move(line);
        return save();
    }
    std::string entry(key);
    entry.append("=").append(value);
    // After the last entry of the section, or at the end of a new one.
    long section_line = -1, last_in_section = -1;
    bool inside = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const parsed_line p = parse(lines_[i]);
        if (p.kind == parsed_line::section) {
            if (inside) break;
            inside = same_name(p.name, section);
            if (inside) section_line = last_in_section = long(i);
        } else if (inside && p.kind != parsed_line::other) {
            last_in_section = long(i);
        } else if (inside && !trim(lines_[i]).empty()) {
            last_in_section = long(i);
        }
    }
    if (section_line >= 0) {
        lines_.insert(lines_.begin() + last_in_section + 1, entry);
    } else {
        if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.push_back("");
        std::string header(1, '[');
        header.append(section).push_back(']');
        lines_.push_back(std::move(header));
        lines_.push_back(entry);
    }
    return save();
}

bool ini_file::save() const {
    std::string text;
    for (const std::string& l : lines_) text += l + "\r\n";
    std::string raw;
    if (utf16_) {
        raw = std::string(utf16_bom) + utf8_to_utf16le(text);
    } else {
        raw = bom_ ? std::string(utf8_bom) + text : text;
    }
    const std::string tmp = path_ + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(raw.data(), std::streamsize(raw.size()));
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path_, ec);
    if (ec) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

} // namespace qvk
