#pragma once
// The short notation of a function code: the ASCII tag drawn on a key
// picture. Built in, independent of the key-name files and the language.

#include <cstdint>
#include <string>

#include "functions/func_code.h"

namespace qvk {

std::string func_code_to_short_str(const func_code& code);
// Keyboard usage: "" for 0x00-0x03, "ERR" for usages without a name.
std::string key_code_to_short_str(uint8_t usage);
// Consumer usage: "MK..." for usages without a name.
std::string media_code_to_short_str(uint16_t usage);
// "N"/"NUM", "C"/"CAPS", "S"/"SCROLL"; "" for any other index.
std::string indicator_to_str(uint8_t index, bool long_form);

} // namespace qvk
