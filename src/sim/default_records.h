#pragma once
// The records a new virtual keyboard holds: a full-size ANSI board of 104
// keys with its lights, function layers that type each key's own usage,
// lighting, key-scan and Bluetooth settings, battery state. Each record is a
// plain byte image laid out as the keyboard sends it; the offsets below name
// the fields the virtual keyboard fills or changes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "layers/layer_state.h"
#include "link/packet.h"
#include "maint/device_settings.h"

namespace qvk::sim {

using bytes = std::vector<uint8_t>;

// Key-scan parameters (commands 31 / 32), little-endian: the settings
// records' fields under the names the virtual keyboard's records use.
namespace scan {
constexpr size_t off_debounce_ms = settings::scan::off_debounce;
constexpr size_t off_multi_tap_ms = settings::scan::off_multi_tap;
constexpr size_t off_hold_ms = settings::scan::off_hold_trigger;
constexpr size_t off_sleep_s = settings::scan::off_sleep;
} // namespace scan

// Bluetooth parameters (commands 33 / 34..37).
namespace ble {
constexpr size_t connection_size = settings::ble::entry_size;
constexpr unsigned connection_count = settings::ble::entry_count;
constexpr size_t mac_table_size = connection_size * connection_count; // 136
constexpr size_t conn_off_own_mac = settings::ble::off_own_mac;
constexpr size_t conn_off_bound = settings::ble::off_bound;
constexpr size_t conn_off_host_mac = settings::ble::off_host_mac;
constexpr size_t off_slot = settings::ble::off_slot;
constexpr size_t off_tx_power = settings::ble::off_tx_power;
constexpr size_t off_sleep_enabled = settings::ble::off_sleep_on;
constexpr size_t off_sleep_s = settings::ble::off_sleep_seconds;
} // namespace ble

// Trigger layer: where the key positions of the combinations lie.
namespace tlayer {
constexpr size_t off_combos = 112;
constexpr size_t combo_size = 5;
constexpr unsigned combo_count = 32;
constexpr uint8_t empty_key = 192;
} // namespace tlayer

// Lighting record (command 47 and the lighting writes).
namespace led {
constexpr size_t off_effect_count = 0;
constexpr size_t off_effect = 1;
constexpr size_t off_master = 2;
constexpr size_t off_driver_current = 3;
constexpr size_t off_red = 4, off_green = 5, off_blue = 6;
constexpr size_t off_effects = 7;
constexpr size_t effect_size = 20;
constexpr unsigned builtin_effects_max = 17;
constexpr size_t eff_off_speed = 0, eff_off_speed_min = 2, eff_off_speed_max = 4; // 16-bit
constexpr size_t eff_off_param = 6, eff_off_param_min = 7, eff_off_param_max = 8;
constexpr size_t eff_off_centre = 9, eff_off_centre_x = 10, eff_off_centre_y = 11;
constexpr size_t off_beads = 359;
constexpr size_t beads_size = 128;
constexpr size_t off_ambient_groups = 487;
constexpr size_t ambient_group_size = 81;
constexpr unsigned ambient_group_count = 6;
constexpr size_t grp_off_effect = 0, grp_off_switch_count = 1, grp_off_speed = 2, grp_off_speed_min = 3,
                 grp_off_speed_max = 4, grp_off_lights = 5, grp_off_colours = 69;
constexpr size_t off_indicators = 973;
constexpr size_t indicators_size = 24;
constexpr size_t indicator_size = 8;
constexpr size_t off_custom_groups = 998;
constexpr size_t custom_group_size = 12;
constexpr unsigned custom_group_count = 8;
constexpr size_t cg_off_mode = 0, cg_off_speed = 1, cg_off_speed_min = 2, cg_off_speed_max = 3;
constexpr size_t off_vu_gain = 1127;     // 16-bit
constexpr size_t off_rhythm_gain = 1129; // 16-bit
} // namespace led

// Indicator actions: three records of switch, light-up code, go-out code.
namespace ind_action {
constexpr size_t record_size = 9;
constexpr size_t off_switch = 0, off_on_code = 1, off_off_code = 5;
} // namespace ind_action

// Custom backlight picture: a colour triple per matrix position.
namespace picture {
constexpr size_t column_stride = 24;
constexpr size_t position_size = 3;
} // namespace picture

// One key of the default board: matrix position, place and size in quarter
// key units, HID keyboard usage and a label.
struct board_key {
    uint8_t column, row;
    uint16_t x_q, y_q, w_q, h_q;
    uint8_t usage;
    const char* label;
};

// Pixels per key unit at scale 1, and the gap left between neighbouring keys.
constexpr unsigned key_pitch_px = 44;
constexpr unsigned key_gap_px = 2;
constexpr unsigned board_margin_px = 8;
constexpr unsigned board_columns = 21;
constexpr unsigned board_rows = 6;

// The 104 keys of the full-size ANSI board.
const std::vector<board_key>& full_size_keys();
// The key ID the default layout gives the key at (column, row).
constexpr uint8_t board_key_id(unsigned column, unsigned row) { return uint8_t(row * board_columns + column); }

// Ambient lights of the default board: WS2812 beads and 3741 matrix cells.
constexpr unsigned default_beads = 6;
constexpr unsigned default_matrix_cells = 2;

bytes default_scan_params();
bytes default_ble_support();
bytes default_ble_params();
bytes default_layout();
bytes default_layer_state();
bytes default_flayer(unsigned layer);
bytes default_tlayer(unsigned layer);
bytes default_indicator_actions();
bytes default_lighting();
bytes default_battery();
bytes default_custom_picture(unsigned number);
bytes default_macro_group(unsigned group);
bytes default_trigger_mode();

// Little-endian fields are read and written with packet::read_u16 and
// packet::write_u16.
using packet::read_u16;
using packet::write_u16;

} // namespace qvk::sim
