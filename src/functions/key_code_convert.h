#pragma once
// The one object that names keys and consumer usages (from KeyBoardCode.ini
// and MediaKeyCode.ini beside the program) and holds the texts of the chosen
// language (from the Language folder beside the program).

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qvk {

class key_code_convert {
public:
    // exe_path: full path of the program file; its folder holds the files.
    explicit key_code_convert(const std::string& exe_path);

    // Key names: "name(key)" with the key spelled as in the file, or "ERR".
    std::string key_code_to_str(uint8_t usage) const;
    std::string media_code_to_str(uint16_t usage) const;
    // selector 0 keyboard, 1 consumer, anything else "ERR".
    std::string usage_to_str(int selector, uint16_t code) const;
    const std::vector<std::string>& consumer_keys() const { return consumer_keys_; }
    const std::vector<std::string>& consumer_names() const { return consumer_names_; }
    // The 16-bit usage an entry of the consumer list stands for.
    uint16_t consumer_code(size_t i) const;
    const std::string& folder() const { return folder_; }

    // Languages: the "*.ini" files of the Language folder, sorted by name.
    void scan_languages();
    int language_count() const { return int(language_names_.size()); }
    std::string language_name(int index) const;
    int selected_language() const { return selected_; }
    // Stores index when it is below the count, else -1 (no language).
    void select_language(int index);
    // Loads section Language of that file; true when it held any text.
    bool load_language(int index);
    bool language_loaded() const { return loaded_; }
    // The loaded text for id with every "<br>" made a line break, else def.
    std::string get_lng_text(uint32_t id, std::string_view def) const;

private:
    static void load_table(const std::string& path, const char* section, std::vector<std::string>& keys,
                           std::vector<std::string>& names);
    static std::string lookup(const std::vector<std::string>& keys, const std::vector<std::string>& names,
                              std::string_view key);

    std::string folder_; // with trailing '/'
    std::vector<std::string> keyboard_keys_, keyboard_names_;
    std::vector<std::string> consumer_keys_, consumer_names_;
    std::vector<std::string> language_names_;
    std::vector<std::string> language_files_; // file name of each entry, as listed
    std::map<uint32_t, std::string> texts_;
    bool loaded_ = false;
    int selected_ = -1;
};

} // namespace qvk
