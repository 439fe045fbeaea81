#include "lighting/colour.h"

#include <cstdlib>

namespace qvk::colour {

uint32_t from_triple(const uint8_t* rgb) { return uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2]; }

void to_triple(uint32_t c, uint8_t* rgb) {
    rgb[0] = uint8_t(c >> 16);
    rgb[1] = uint8_t(c >> 8);
    rgb[2] = uint8_t(c);
}

uint32_t random_colour() {
    const uint32_t r = uint32_t(std::rand() % 255);
    const uint32_t g = uint32_t(std::rand() % 255);
    const uint32_t b = uint32_t(std::rand() % 255);
    return r << 16 | g << 8 | b;
}

} // namespace qvk::colour
