#include "common/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <vector>

namespace qvk {

namespace {

void append_utf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at s[i] and moves i past it. A malformed,
// overlong or cut sequence, an encoded surrogate or a value above U+10FFFF
// gives U+FFFD and moves past its first byte only.
uint32_t next_code_point(std::string_view s, size_t& i) {
    const auto b = [&](size_t k) { return uint8_t(s[k]); };
    const uint8_t c = b(i);
    const int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + size_t(len) > s.size()) {
        ++i;
        return 0xFFFD;
    }
    uint32_t cp = len == 1 ? c : c & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        if ((b(i + size_t(k)) & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = cp << 6 | (b(i + size_t(k)) & 0x3F);
    }
    static constexpr uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
        ++i;
        return 0xFFFD;
    }
    i += size_t(len);
    return cp;
}

// Converts with iconv; each sequence that cannot be converted becomes one
// '?' and the conversion goes on after it.
std::string convert(std::string_view in, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return std::string(in);
    const bool from_utf8 = std::string_view(from) == "UTF-8";
    std::string out;
    std::vector<char> buf(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    while (src_left > 0) {
        char* dst = buf.data();
        size_t dst_left = buf.size();
        const size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
        const int err = errno;
        out.append(buf.data(), size_t(dst - buf.data()));
        if (r != size_t(-1) || err == E2BIG) continue;
        out += '?';
        if (err == EINVAL) break; // the text ends inside a sequence
        size_t skip = 1;
        if (from_utf8) {
            skip = 0;
            next_code_point(std::string_view(src, src_left), skip);
        }
        src += skip;
        src_left -= skip;
    }
    iconv_close(cd);
    return out;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string utf16le_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;
    auto unit = [&](size_t k) { return uint16_t(uint8_t(bytes[2 * k]) | uint8_t(bytes[2 * k + 1]) << 8); };
    for (size_t k = 0; k < units; ++k) {
        uint32_t u = unit(k);
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) < 0xE000) {
            u = 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
            ++k;
        } else if (u >= 0xD800 && u < 0xE000) {
            u = 0xFFFD;
        }
        append_utf8(out, u);
    }
    return out;
}

std::string utf8_to_utf16le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    auto put = [&out](uint16_t u) {
        out += char(u & 0xFF);
        out += char(u >> 8);
    };
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = next_code_point(text, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(uint16_t(0xD800 + (cp >> 10)));
            put(uint16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            put(uint16_t(cp));
        }
    }
    return out;
}

int parse_int_def(std::string_view s, int def) {
    if (s.empty()) return def;
    bool negative = false;
    size_t i = 0;
    if (s[0] == '-' || s[0] == '+') {
        negative = s[0] == '-';
        ++i;
    }
    int base = 10;
    if (s.substr(i, 2) == "0x" || s.substr(i, 2) == "0X") {
        base = 16;
        i += 2;
    } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X' || s[i] == '$')) {
        base = 16;
        i += 1;
    }
    if (i >= s.size()) return def;
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        const int d = base == 16 ? hex_digit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (d < 0) return def;
        value = value * base + d;
        if (value > int64_t(std::numeric_limits<uint32_t>::max())) return def;
    }
    if (negative) value = -value;
    // Hexadecimal may spell the full 32 bits (0xFFFFFFFF is -1); decimal must fit.
    if (base == 16 && !negative && value > std::numeric_limits<int32_t>::max()) return int(uint32_t(value));
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return def;
    return int(value);
}

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string to_host_ansi(std::string_view utf8) { return convert(utf8, "CP936", "UTF-8"); }

std::string from_host_ansi(std::string_view bytes) { return convert(bytes, "UTF-8", "CP936"); }

} // namespace qvk
