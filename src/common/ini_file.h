#pragma once
// INI files as the tool's settings, language and key-name files use them:
// keys listed in file order, section and key names matched without regard
// to (ASCII) case, spaces trimmed around names and values, one pair of
// enclosing quotes removed from a value, values capped at 2047 characters,
// lines starting with ';' are comments, and the first of two equal keys is
// the one read. UTF-8 (with or without BOM) and UTF-16 LE with BOM are read;
// all strings in this interface are UTF-8. A missing or unreadable file reads
// as empty.
//
// Writing a key keeps every other line of the file as it was (comments,
// other sections, order, line endings, encoding) and replaces the file
// through a temporary file, so a crash never leaves half a settings file.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qvk {

class ini_file {
public:
    static constexpr size_t value_limit = 2047;

    // Reads the file at once; later changes to the file are not seen.
    explicit ini_file(std::string path);

    // True when the file was there and could be read.
    bool exists() const { return exists_; }

    // Key names of a section in file order (duplicates included).
    std::vector<std::string> keys(std::string_view section) const;
    // The same keys, each with the value read_string gives for it (so a
    // duplicate carries the value of the first such key). One pass over the
    // section, for files that are read whole.
    struct entry {
        std::string key;
        std::string value;
    };
    std::vector<entry> entries(std::string_view section) const;
    bool has_key(std::string_view section, std::string_view key) const;
    // The value of the first such key, or def when there is none.
    std::string read_string(std::string_view section, std::string_view key, std::string_view def) const;
    // Optional sign and the decimal digits that start the value; def when the
    // key is missing, its value empty or the number outside 32 bits; 0 when
    // the value does not start with a number.
    int read_int(std::string_view section, std::string_view key, int def) const;

    // Sets a key and writes the whole file back. False when nothing was
    // written: the file is there but could not be read (writing would lose
    // it), a name or value would break the file's lines (line breaks, a key
    // with '=' or starting with ';' or '[', a section with ']'), or the
    // write itself failed. Values that would not read back as written
    // (surrounding spaces, enclosing quotes) are written inside quotes.
    bool write_string(std::string_view section, std::string_view key, std::string_view value);
    bool write_int(std::string_view section, std::string_view key, int value);

private:
    enum class encoding { utf8, utf8_bom, utf16le };
    struct line {
        enum kind_t { other, section, entry } kind = other;
        std::string text;  // the line as in the file, without its line break
        std::string name;  // section or key name, trimmed
        std::string value; // value, trimmed, unquoted and capped
    };
    // Where a section's lines are, so that a lookup does not scan the file:
    // the lines of all its blocks together, in file order.
    struct section_lines {
        struct entry_line {
            size_t line;  // a key=value line
            size_t first; // the first line of the section with the same key
        };
        size_t header = 0;                              // first "[name]" line
        std::vector<entry_line> entries;                // every key=value line
        std::unordered_map<std::string, size_t> first;  // lower-case key -> its first line
    };
    static line parse(std::string text);
    // Rebuilds the section index from lines_; called whenever lines change.
    void index_lines();
    const section_lines* find_section(std::string_view section) const;
    // Index of the first line holding the key in the section, or -1.
    long find_entry(std::string_view section, std::string_view key) const;
    bool save();

    std::string path_;
    std::vector<line> lines_;
    std::unordered_map<std::string, section_lines> sections_; // by lower-case name
    std::string eol_ = "\r\n";
    encoding encoding_ = encoding::utf8;
    bool exists_ = false;
    bool writable_ = true; // false when a file is there that could not be read
};

} // namespace qvk
