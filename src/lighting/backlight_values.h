#pragma once
// What the backlight page computes, apart from drawing: the values its bars
// stand for at a pointer position, the fills they draw, the stored values it
// corrects, and the short command each change leaves with.

#include <cstdint>
#include <optional>

#include "lighting/led_state.h"

namespace qvk::backlight {

// The page's send types and the bars' tags.
enum send_type : int {
    type_driver_current = 0,
    type_red = 1,
    type_green = 2,
    type_blue = 3,
    type_effect = 4,
    type_speed = 5,
    type_parameter = 6,
    type_centre_x = 8,
    type_centre_y = 9,
    type_master = 10,
};

// A short command as it leaves: command, sub value, 16-bit value (the
// 32-bit value is always 0).
struct short_command {
    uint8_t command = 0;
    uint8_t sub = 0;
    uint16_t value16 = 0;
    bool operator==(const short_command&) const = default;
};
// The command a send type carries `value` with; nullopt for other types.
std::optional<short_command> command_for(int type, uint32_t value);

// Brightness bars: tag 0 the driver current (range 255), 1..3 the red,
// green and blue channels (range 100).
unsigned brightness_range(int tag);
// The value a brightness bar shows; a stored value outside its range is
// replaced by the bar's default (200 driver current, 70 channel) in the
// record (nothing is sent).
unsigned shown_brightness(uint8_t* s, int tag);
// The value at pointer x of a bar W pixels wide: on the press
// trunc((x - 2) / (W - 4) x R), while dragging trunc((x + 1) / (W - 4) x R)
// limited to R. Nothing outside 2..W - 2.
std::optional<unsigned> brightness_at(int x, int width, unsigned range, bool pressing);
// Fill of a brightness bar: trunc((W - 2) x v / R).
int brightness_fill(int width, unsigned value, unsigned range);

// Speed and parameter bars: minimum + trunc(a / (W - 4) x (maximum -
// minimum)) with a = x - 2 on the press and x - 1 while dragging, limited to
// the maximum. Nothing outside 2..W - 2.
std::optional<uint16_t> adjustable_at(int x, int width, uint16_t minimum, uint16_t maximum, bool pressing);
// Fill: trunc((W - 2) x current / (maximum - minimum)), the ratio at most 1
// (a range of 0 fills the bar when the value is not 0).
int adjustable_fill(int width, uint16_t current, uint16_t minimum, uint16_t maximum);

// The list position (0, 1, 2 for -1, 0, +1) a stored centre offset shows;
// any other stored value shows position 0.
int centre_position(int8_t offset);

} // namespace qvk::backlight
