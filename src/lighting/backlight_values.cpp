#include "lighting/backlight_values.h"

#include <algorithm>

#include "link/command_catalogue.h"

namespace qvk::backlight {

std::optional<short_command> command_for(int type, uint32_t value) {
    const auto v8 = uint8_t(value);
    switch (type) {
    case type_driver_current: return short_command{cmd::bkl_driver_current, v8, 0};
    case type_red: return short_command{cmd::bkl_red, v8, 0};
    case type_green: return short_command{cmd::bkl_green, v8, 0};
    case type_blue: return short_command{cmd::bkl_blue, v8, 0};
    case type_effect: return short_command{cmd::bkl_effect, v8, 0};
    case type_speed: return short_command{cmd::bkl_speed, 0, uint16_t(value)};
    case type_parameter: return short_command{cmd::bkl_parameter, v8, 0};
    case type_centre_x: return short_command{cmd::bkl_centre_correction, 0, uint16_t(value)};
    case type_centre_y: return short_command{cmd::bkl_centre_correction, 1, uint16_t(value)};
    case type_master: return short_command{cmd::bkl_master_switch, uint8_t(value ? 1 : 0), 0};
    default: return std::nullopt;
    }
}

unsigned brightness_range(int tag) { return tag == type_driver_current ? 255 : 100; }

unsigned shown_brightness(uint8_t* s, int tag) {
    if (tag < type_driver_current || tag > type_blue) return 0;
    uint8_t& stored = s[led::off_driver_current + size_t(tag)];
    if (stored > brightness_range(tag)) stored = tag == type_driver_current ? 200 : 70;
    return stored;
}

std::optional<unsigned> brightness_at(int x, int width, unsigned range, bool pressing) {
    if (x < 2 || x > width - 2 || width <= 4) return std::nullopt;
    const double a = pressing ? x - 2 : x + 1;
    const auto v = unsigned(a / double(width - 4) * double(range));
    return std::min(v, range);
}

int brightness_fill(int width, unsigned value, unsigned range) {
    return range == 0 ? 0 : int(double(width - 2) * double(value) / double(range));
}

std::optional<uint16_t> adjustable_at(int x, int width, uint16_t minimum, uint16_t maximum, bool pressing) {
    if (x < 2 || x > width - 2 || width <= 4 || maximum < minimum) return std::nullopt;
    const double a = pressing ? x - 2 : x - 1;
    const auto v = unsigned(minimum) + unsigned(a / double(width - 4) * double(maximum - minimum));
    return uint16_t(std::min<unsigned>(v, maximum));
}

int adjustable_fill(int width, uint16_t current, uint16_t minimum, uint16_t maximum) {
    double ratio;
    if (maximum <= minimum)
        ratio = current ? 1.0 : 0.0;
    else
        ratio = std::min(1.0, double(current) / double(maximum - minimum));
    return int(double(width - 2) * ratio);
}

int centre_position(int8_t offset) { return offset >= -1 && offset <= 1 ? offset + 1 : 0; }

} // namespace qvk::backlight
