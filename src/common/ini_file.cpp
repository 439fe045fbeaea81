#include "common/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "common/text_codec.h"

namespace qvk {

namespace {

constexpr std::string_view utf8_bom = "\xEF\xBB\xBF";
constexpr std::string_view utf16_bom = "\xFF\xFE";
constexpr size_t max_file_size = 16u << 20; // settings files are tiny; refuse absurd ones

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
    return s;
}

bool has_enclosing_quotes(std::string_view v) {
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
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
    const long long limit = negative ? 0x80000000LL : 0x7FFFFFFFLL;
    long long n = 0;
    for (char c : v) {
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
        if (n > limit) return def;
    }
    return int(negative ? -n : n);
}

// Section and key names match without regard to ASCII case; the index holds
// them in lower case.
std::string ascii_lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

bool has_line_break(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Writes all of data to fd, retrying short writes.
bool write_all(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(size_t(n));
    }
    return true;
}

// Opens a new file beside target with a name nobody else uses.
int create_temporary(const std::string& target, std::string& tmp_path) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmp_path = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(tmp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

} // namespace

ini_file::ini_file(std::string path) : path_(std::move(path)) {
    // Non-blocking open so that a FIFO or device at the path cannot hang us.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        writable_ = errno == ENOENT;
        return;
    }
    std::string raw;
    struct stat st {};
    bool complete = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) <= max_file_size;
    if (complete) {
        raw.resize(size_t(st.st_size));
        size_t got = 0;
        while (got < raw.size()) {
            const ssize_t n = ::read(fd, raw.data() + got, raw.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += size_t(n);
        }
        complete = got == raw.size();
    }
    ::close(fd);
    if (!complete) {
        writable_ = false;
        return;
    }
    exists_ = true;

    std::string text;
    if (raw.starts_with(utf16_bom)) {
        encoding_ = encoding::utf16le;
        text = utf16le_to_utf8(std::string_view(raw).substr(utf16_bom.size()));
    } else if (raw.starts_with(utf8_bom)) {
        encoding_ = encoding::utf8_bom;
        text = raw.substr(utf8_bom.size());
    } else {
        text = std::move(raw);
    }

    // Lines end with CR LF, LF or CR; the first break found is the one used
    // for lines written later.
    const size_t first_break = text.find_first_of("\r\n");
    if (first_break != std::string::npos)
        eol_ = text.compare(first_break, 2, "\r\n") == 0 ? "\r\n" : std::string(1, text[first_break]);
    lines_.reserve(size_t(std::count(text.begin(), text.end(), '\n')) + 1);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines_.push_back(parse(text.substr(start, end - start)));
        start = end;
        if (start < text.size()) start += text.compare(start, 2, "\r\n") == 0 ? 2 : 1;
    }
    index_lines();
}

void ini_file::index_lines() {
    sections_.clear();
    section_lines* current = nullptr;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const line& l = lines_[i];
        if (l.kind == line::section) {
            auto [it, added] = sections_.try_emplace(ascii_lower(l.name));
            if (added) it->second.header = i;
            current = &it->second;
        } else if (current && l.kind == line::entry) {
            size_t first = i;
            if (!l.name.empty()) first = current->first.try_emplace(ascii_lower(l.name), i).first->second;
            current->entries.push_back({i, first});
        }
    }
}

const ini_file::section_lines* ini_file::find_section(std::string_view section) const {
    const auto it = sections_.find(ascii_lower(trim(section)));
    return it == sections_.end() ? nullptr : &it->second;
}

ini_file::line ini_file::parse(std::string text) {
    line l;
    const std::string_view t = trim(text);
    if (!t.empty() && t.front() == '[') {
        const size_t close = t.find(']');
        l.kind = line::section;
        l.name = std::string(trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
    } else if (!t.empty() && t.front() != ';') {
        const size_t eq = t.find('=');
        if (eq != std::string_view::npos) {
            l.kind = line::entry;
            l.name = std::string(trim(t.substr(0, eq)));
            std::string_view v = trim(t.substr(eq + 1));
            if (has_enclosing_quotes(v)) v = v.substr(1, v.size() - 2);
            l.value = cap_characters(v, value_limit);
        }
    }
    l.text = std::move(text);
    return l;
}

std::vector<std::string> ini_file::keys(std::string_view section) const {
    std::vector<std::string> out;
    const section_lines* s = find_section(section);
    if (!s) return out;
    out.reserve(s->entries.size());
    for (const auto& e : s->entries)
        if (!lines_[e.line].name.empty()) out.push_back(lines_[e.line].name);
    return out;
}

std::vector<ini_file::entry> ini_file::entries(std::string_view section) const {
    std::vector<entry> out;
    const section_lines* s = find_section(section);
    if (!s) return out;
    out.reserve(s->entries.size());
    for (const auto& e : s->entries)
        if (!lines_[e.line].name.empty()) out.push_back({lines_[e.line].name, lines_[e.first].value});
    return out;
}

long ini_file::find_entry(std::string_view section, std::string_view key) const {
    key = trim(key);
    if (key.empty()) return -1;
    const section_lines* s = find_section(section);
    if (!s) return -1;
    const auto it = s->first.find(ascii_lower(key));
    return it == s->first.end() ? -1 : long(it->second);
}

bool ini_file::has_key(std::string_view section, std::string_view key) const { return find_entry(section, key) >= 0; }

std::string ini_file::read_string(std::string_view section, std::string_view key, std::string_view def) const {
    const long i = find_entry(section, key);
    return i < 0 ? std::string(def) : lines_[size_t(i)].value;
}

int ini_file::read_int(std::string_view section, std::string_view key, int def) const {
    const long i = find_entry(section, key);
    return i < 0 ? def : leading_int(lines_[size_t(i)].value, def);
}

bool ini_file::write_int(std::string_view section, std::string_view key, int value) {
    return write_string(section, key, std::to_string(value));
}

bool ini_file::write_string(std::string_view section, std::string_view key, std::string_view value) {
    if (!writable_) return false;
    section = trim(section);
    key = trim(key);
    if (section.empty() || has_line_break(section) || section.find(']') != std::string_view::npos) return false;
    if (key.empty() || has_line_break(key) || key.find('=') != std::string_view::npos || key.front() == ';' ||
        key.front() == '[')
        return false;
    if (has_line_break(value)) return false;

    // Quote what trimming or quote removal would otherwise change on reading.
    std::string stored(value);
    if (!value.empty() && (is_space(value.front()) || is_space(value.back()) || has_enclosing_quotes(value)))
        stored = "\"" + stored + "\"";

    const long found = find_entry(section, key);
    if (found >= 0) {
        // Replace the line in place, keeping the key as it was spelled.
        line& l = lines_[size_t(found)];
        l = parse(l.name + "=" + stored);
        return save();
    }

    // Append after the last entry of the section, or right after its header;
    // a missing section goes to the end of the file.
    line added = parse(std::string(key) + "=" + stored);
    if (const section_lines* s = find_section(section)) {
        const size_t after = s->entries.empty() ? s->header : s->entries.back().line;
        lines_.insert(lines_.begin() + long(after) + 1, std::move(added));
    } else {
        if (!lines_.empty() && !trim(lines_.back().text).empty()) lines_.push_back(parse(""));
        lines_.push_back(parse("[" + std::string(section) + "]"));
        lines_.push_back(std::move(added));
    }
    index_lines();
    return save();
}

bool ini_file::save() {
    std::string text;
    for (const line& l : lines_) text.append(l.text).append(eol_);
    std::string raw;
    switch (encoding_) {
    case encoding::utf16le: raw = std::string(utf16_bom) + utf8_to_utf16le(text); break;
    case encoding::utf8_bom: raw = std::string(utf8_bom) + text; break;
    case encoding::utf8: raw = std::move(text); break;
    }

    // Write where a link points, so the link stays a link.
    std::error_code ec;
    std::string target = path_;
    if (std::filesystem::is_symlink(path_, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(path_, ec);
        if (ec) return false;
        target = resolved.string();
    }

    // A file the user made read-only stays as it is.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) return false;

    std::string tmp;
    const int fd = create_temporary(target, tmp);
    if (fd < 0) return false;
    struct stat old {};
    bool ok = true;
    if (::stat(target.c_str(), &old) == 0) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && write_all(fd, raw) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here leaves a complete file.
    const std::string folder = std::filesystem::path(target).parent_path().string();
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    exists_ = true;
    return true;
}

} // namespace qvk
