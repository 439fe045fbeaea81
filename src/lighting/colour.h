#pragma once
// Colours of the lighting records: a triple of bytes red, green, blue, and
// the 0xRRGGBB value the pages draw with.

#include <cstdint>

namespace qvk::colour {

uint32_t from_triple(const uint8_t* rgb);         // 0xRRGGBB
void to_triple(uint32_t rrggbb, uint8_t* rgb);

// A random colour: three independent values of the standard generator,
// each taken modulo 255 (so no channel is ever 255), drawn red, green, blue.
uint32_t random_colour();

} // namespace qvk::colour
