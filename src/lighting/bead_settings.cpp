#include "lighting/bead_settings.h"

#include <algorithm>

#include "layers/kb_layout.h"
#include "lighting/user_led.h"

namespace qvk::beads {

std::vector<bead_line> bead_lines(const uint8_t* kb_layout) {
    std::vector<bead_line> out;
    for (const ambient_light& l : ambient_lights(kb_layout))
        if (l.led.is_bead()) out.push_back({l.number, l.led.chain_pos()});
    return out;
}

void set_rgb(uint8_t* s, unsigned p, bool rgb) {
    if (p >= led::beads_size) return;
    uint8_t& b = s[led::off_beads + p];
    b = uint8_t((b & ~led::bead_format_bit) | (rgb ? led::bead_format_bit : 0));
}

void set_brightness(uint8_t* s, unsigned p, unsigned percent) {
    if (p >= led::beads_size) return;
    uint8_t& b = s[led::off_beads + p];
    b = uint8_t((std::min(percent, max_brightness) << led::bead_brightness_shift) | (b & led::bead_format_bit));
}

unsigned shown_brightness(uint8_t* s, unsigned p) {
    const unsigned stored = led::bead_brightness(s, p);
    if (stored > max_brightness) set_brightness(s, p, max_brightness);
    return std::min(stored, max_brightness);
}

unsigned brightness_at(int x, int width) {
    if (width <= 4 || x <= 1) return 0;
    return std::min(max_brightness, unsigned(double(x - 1) / double(width - 4) * max_brightness));
}

int brightness_fill(unsigned percent, int width) {
    return int(double(width - 2) * double(std::min(percent, max_brightness)) / max_brightness);
}

} // namespace qvk::beads
