#pragma once
// Text conversions the tool needs at its edges: UTF-16 files, the keyboard's
// 8-bit name encoding, and numbers written the way the tool's files write them.

#include <string>
#include <string_view>

namespace qvk {

std::string utf16le_to_utf8(std::string_view bytes);
std::string utf8_to_utf16le(std::string_view text);

// Whole-string integer parse: optional sign, then decimal digits, or
// hexadecimal digits after "0x", "0X", "x", "X" or "$". Anything else, or a
// value outside 32 bits, gives def.
int parse_int_def(std::string_view text, int def);

// Equal but for the case of ASCII letters (how INI names and key codes match).
bool equal_ignoring_ascii_case(std::string_view a, std::string_view b);

// The keyboard keeps its name in the Chinese Windows code page (CP936, GBK);
// a Chinese character takes two bytes. Each character or byte sequence that
// cannot be converted becomes one '?'.
std::string to_host_ansi(std::string_view utf8);
std::string from_host_ansi(std::string_view bytes);

} // namespace qvk
