#pragma once
// INI files as the tool's settings, language and key-name files use them:
// keys listed in file order, section and key names matched without regard
// to case, spaces trimmed, one pair of enclosing quotes removed, values
// capped at 2047 characters, UTF-8 (with or without BOM) and UTF-16 LE with
// BOM read. Writing a key keeps every other line of the file as it was.
// All strings are UTF-8. A missing or unreadable file reads as empty.

#include <string>
#include <string_view>
#include <vector>

namespace qvk {

class ini_file {
public:
    static constexpr size_t value_limit = 2047;

    // Reads the file at once; later changes to the file are not seen.
    explicit ini_file(std::string path);

    bool exists() const { return exists_; }
    // Key names of a section in file order (duplicates included).
    std::vector<std::string> keys(std::string_view section) const;
    bool has_key(std::string_view section, std::string_view key) const;
    // The value of the first such key, or def when there is none.
    std::string read_string(std::string_view section, std::string_view key, std::string_view def) const;
    // Optional sign and leading decimal digits of the value; def when the
    // key is missing or empty, 0 when the value does not start with a number.
    int read_int(std::string_view section, std::string_view key, int def) const;

    // Sets a key and writes the whole file back (through a temporary file,
    // so a failed write never leaves half a file). False when writing failed.
    bool write_string(std::string_view section, std::string_view key, std::string_view value);
    bool write_int(std::string_view section, std::string_view key, int value);

    // Parsing helpers, also used by tests.
    static std::string decode(std::string_view raw, bool* utf16 = nullptr, bool* bom = nullptr);

private:
    struct parsed_line {
        enum kind_t { other, section, entry } kind = other;
        std::string name;  // section or key name, trimmed
        std::string value; // value, trimmed and unquoted
    };
    static parsed_line parse(std::string_view line);
    // Index of the first line of the key's section entry, or -1.
    long find_entry(std::string_view section, std::string_view key) const;
    bool save() const;

    std::string path_;
    std::vector<std::string> lines_;
    bool exists_ = false;
    bool utf16_ = false;
    bool bom_ = false;
};

} // namespace qvk
