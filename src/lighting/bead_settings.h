#pragma once
// The WS2812 bead settings `bead_cfg` of the lighting record (one byte per
// chain position: bit 0 the data format, bits 1-7 the brightness in percent)
// and the list of beads the bead page edits.

#include <cstdint>
#include <vector>

#include "lighting/led_state.h"

namespace qvk::beads {

constexpr unsigned max_brightness = 100;

// One bead among the layout's ambient lights.
struct bead_line {
    unsigned number = 0;    // light number u in the ambient table
    unsigned chain_pos = 0; // index into the bead settings
};

// The beads of the layout's ambient table, in table order.
std::vector<bead_line> bead_lines(const uint8_t* kb_layout);

// Data format: false GRB, true RGB; the brightness is kept.
void set_rgb(uint8_t* led_state, unsigned chain_pos, bool rgb);
// Brightness 0..100 (larger values are taken as 100); the format is kept.
void set_brightness(uint8_t* led_state, unsigned chain_pos, unsigned percent);
// The brightness the page shows: a stored value above 100 is corrected to
// 100 in the record first (format kept; nothing is sent).
unsigned shown_brightness(uint8_t* led_state, unsigned chain_pos);

// Brightness bar: the value a pointer at x of a bar `width` wide stands for
// (2 <= x <= width - 2), and the fill drawn for a brightness.
unsigned brightness_at(int x, int width);
int brightness_fill(unsigned percent, int width);

} // namespace qvk::beads
