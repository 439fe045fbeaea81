#pragma once
// An ambient light descriptor `user_led` (2 bytes), as held in the ambient
// light table of the keyboard layout and in the ambient groups: a bead of
// the WS2812 chain, or a cell of a 3741 LED matrix driver.

#include <cstdint>
#include <vector>

namespace qvk {

struct user_led {
    uint8_t byte0 = 0; // bit 0: 1 bead, 0 matrix cell; bits 1-7: chain position
    uint8_t byte1 = 0; // matrix cell: bits 0-3 X, bits 4-7 Y

    static user_led bead(unsigned chain_pos) { return {uint8_t(((chain_pos & 0x7F) << 1) | 1), 0}; }
    static user_led matrix_cell(unsigned x, unsigned y) { return {0, uint8_t(((y & 0x0F) << 4) | (x & 0x0F))}; }
    // From the layout's ambient table entry (byte 0 low, byte 1 high).
    static user_led from_word(uint16_t w) { return {uint8_t(w & 0xFF), uint8_t(w >> 8)}; }

    bool is_bead() const { return byte0 & 1; }
    unsigned chain_pos() const { return byte0 >> 1; }
    unsigned x() const { return byte1 & 0x0F; }
    unsigned y() const { return byte1 >> 4; }

    // Both name the same light: same driver and, for a bead, the same chain
    // position, for a matrix cell the same X and Y (the unused bits of a
    // cell's byte 0 do not count).
    bool same_light(const user_led& o) const {
        if (is_bead() != o.is_bead()) return false;
        return is_bead() ? chain_pos() == o.chain_pos() : byte1 == o.byte1;
    }
};

// One ambient light of the layout's table, as the pages list it.
struct ambient_light {
    unsigned number = 0; // index u in the table
    user_led led;
    bool in_group = false;
    unsigned group = 0;
};

// The layout's ambient light table, in table order.
std::vector<ambient_light> ambient_lights(const uint8_t* kb_layout);
// The table index of the light a descriptor names; -1 when none.
int find_ambient_light(const std::vector<ambient_light>& lights, const user_led& led);

} // namespace qvk
