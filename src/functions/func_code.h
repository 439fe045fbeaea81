#pragma once
// A function code: what a key press or release, a trigger, a macro step or an
// indicator action does. Four bytes, stored, saved and sent as they lie:
// byte 0 the function kind, bytes 1-3 that kind's parameters. Multi-byte
// parameters are 16-bit little-endian in bytes 1-2 or 2-3.

#include <array>
#include <cstddef>
#include <cstdint>

#include "link/packet.h"

namespace qvk {

using func_code = std::array<uint8_t, 4>;

constexpr size_t func_code_size = 4;
// Byte offsets inside a func_code.
constexpr size_t fc_kind = 0;
constexpr size_t fc_p1 = 1;
constexpr size_t fc_p2 = 2;
constexpr size_t fc_p3 = 3;

// The 16-bit little-endian parameter starting at byte off (1 or 2).
inline uint16_t fc_u16(const func_code& c, size_t off) { return packet::read_u16(c.data() + off); }
inline void fc_set_u16(uint8_t* slot, size_t off, uint16_t v) { packet::write_u16(slot + off, v); }
inline func_code fc_from(const uint8_t* slot) { return {slot[0], slot[1], slot[2], slot[3]}; }

// Function kinds (byte 0). Kinds 4, 25, 26 and 59-255 are never produced.
enum func_kind : uint8_t {
    fk_transparent = 0,
    fk_disabled = 1,
    fk_key = 2,         // p1 keyboard usage
    fk_media = 3,       // p1-p2 consumer usage
    fk_mouse_left = 5,
    fk_mouse_middle = 6,
    fk_mouse_right = 7,
    fk_wheel_up = 8,    // p1 lines
    fk_wheel_down = 9,
    fk_pointer_up = 10, // p1 pixels
    fk_pointer_down = 11,
    fk_pointer_left = 12,
    fk_pointer_right = 13,
    fk_flayer_switch = 14, // p1 layer
    fk_flayer_enable = 15, // p1 layer, p2 1 open / 0 close
    fk_flayer_toggle = 16, // p1 layer
    fk_tlayer_switch = 17, // p1 trigger layer
    fk_macro_run = 18,     // p1 group, p2-p3 step
    fk_macro_stop = 19,
    fk_macro_jump = 20,    // p2-p3 step (macros only)
    fk_delay = 21,         // p1-p2 ms (macros only)
    fk_random_delay = 22,  // p1-p2 ms (macros only)
    fk_key_edge = 23,      // p1 usage, p2 1 press / 0 release (macros only)
    fk_media_edge = 24,    // p1-p2 usage, p3 1 press / 0 release (macros only)
    fk_ble_reset = 27,
    fk_ble_unpair_all = 28,
    fk_ble_restart = 29,
    fk_ble_host = 30, // p1 host channel
    fk_ble_sleep = 31,
    fk_ble_print_host_count = 32,
    fk_ble_print_host_id = 33,
    fk_ble_print_host_mac = 34,
    fk_batt_measure = 35,
    fk_batt_print_level = 36,
    fk_batt_print_voltage = 37,
    fk_fw_restart = 38,
    fk_bkl_prev = 39,
    fk_bkl_next = 40,
    fk_bkl_set = 41, // p1 effect
    fk_bkl_on = 42,
    fk_bkl_off = 43,
    fk_bkl_toggle = 44,
    fk_ws_prev = 45,   // p1 ambient group
    fk_ws_next = 46,   // p1 group
    fk_ws_set = 47,    // p1 group, p2 effect
    fk_ws_on = 48,     // p1 group
    fk_ws_off = 49,    // p1 group
    fk_ws_toggle = 50, // p1 group
    fk_ind_on = 51,    // p1 indicator
    fk_ind_off = 52,   // p1 indicator
    fk_bkl_brightness = 53, // p1 1 up / 0 down
    fk_ind_action = 54,     // p1 indicator, p2 1 on / 0 off
    fk_rhythm = 55,         // p1 0 off, 1 on, 2 toggle
    fk_win_lock = 56,       // p1 0 unlock, 1 lock, 2 toggle; p2 1 left, 2 right, 3 both
    fk_bkl_temp = 57,       // p1 0 switch / 1 restore, p2 effect
    fk_bkl_speed = 58,      // p1 0 faster / 1 slower
};

// Indicators named by fk_ind_on, fk_ind_off and fk_ind_action.
enum indicator_index : uint8_t { ind_num = 0, ind_caps = 1, ind_scroll = 2 };

} // namespace qvk
