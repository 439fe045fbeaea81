#pragma once
// The lighting record `led_state` (1281 bytes) exactly as the keyboard sends
// it with command 47, and the regions the lighting pages edit in place: the
// backlight header and built-in effects, the bead settings, the ambient
// light groups, the indicator lights, the custom effect groups and the
// rhythm gains. The record is never sent back whole: each page sends its own
// region or single values of it. Bytes the tool does not interpret stay as
// the keyboard sent them.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "link/command_catalogue.h"

namespace qvk::led {

constexpr size_t size = record_size::lighting; // 1281

// Header.
constexpr size_t off_effect_count = 0;   // N, the 8 custom effects included
constexpr size_t off_effect = 1;         // current effect 0..N-1
constexpr size_t off_master = 2;         // master light switch, non-zero on
constexpr size_t off_driver_current = 3; // 0..255
constexpr size_t off_red = 4;            // logical channel brightness 0..100
constexpr size_t off_green = 5;
constexpr size_t off_blue = 6;

// Built-in effects `bkl_effect`, 20 bytes each, at most 17.
constexpr size_t off_effects = 7;
constexpr size_t effect_size = 20;
constexpr unsigned builtin_effects_max = 17;
constexpr size_t eff_off_speed = 0;      // u16
constexpr size_t eff_off_speed_min = 2;  // u16
constexpr size_t eff_off_speed_max = 4;  // u16
constexpr size_t eff_off_param = 6;
constexpr size_t eff_off_param_min = 7;
constexpr size_t eff_off_param_max = 8;
constexpr size_t eff_off_centre = 9;     // non-zero: centre correction supported
constexpr size_t eff_off_centre_x = 10;  // s8, -1..1
constexpr size_t eff_off_centre_y = 11;  // s8, -1..1

// Bead settings `bead_cfg`: one byte per WS2812 chain position.
constexpr size_t off_beads = 359;
constexpr size_t beads_size = 128;
constexpr uint8_t bead_format_bit = 0x01; // 0 GRB, 1 RGB
constexpr unsigned bead_brightness_shift = 1;

// Ambient light groups `ws_group`.
constexpr size_t off_ambient_groups = 487;
constexpr size_t ambient_group_size = 81;
constexpr unsigned ambient_group_count = 6;

// Indicator lights `indicator_cfg` NUM, CAPS, SCROLL.
constexpr size_t off_indicators = 973;
constexpr size_t indicator_size = 8;
constexpr unsigned indicator_count = 3;
constexpr size_t indicators_size = indicator_size * indicator_count; // 24

// Custom effect groups `custom_group`.
constexpr size_t off_custom_groups = 998;
constexpr size_t custom_group_size = 12;
constexpr unsigned custom_group_count = 8;
constexpr size_t cg_off_mode = 0;        // bits 0-2 animation, bits 3-7 picture
constexpr size_t cg_off_speed = 1;
constexpr size_t cg_off_speed_min = 2;
constexpr size_t cg_off_speed_max = 3;
constexpr uint8_t cg_animation_mask = 0x07;

// Keyboard rhythm gains (u16, thousandths).
constexpr size_t off_vu_gain = 1127;
constexpr size_t off_rhythm_gain = 1129;

// Number of built-in effects B = N - 8 (0 when N is below 8), limited to
// the records the region holds.
unsigned builtin_count(const uint8_t* s);
bool master_on(const uint8_t* s);

// Built-in effect i (nullptr when i is not below builtin_count).
const uint8_t* builtin_effect(const uint8_t* s, unsigned i);
uint8_t* builtin_effect(uint8_t* s, unsigned i);
// Custom effect group k (nullptr when k >= 8).
const uint8_t* custom_group(const uint8_t* s, unsigned k);
uint8_t* custom_group(uint8_t* s, unsigned k);

// An adjustable value of the current effect: its value and bounds.
struct adjustable {
    bool enabled = false;
    uint16_t value = 0, minimum = 0, maximum = 0;
};

// The current effect's speed and parameter as the backlight page shows
// them: a built-in effect's low speed byte with its 16-bit bounds, or a
// custom effect's speed bytes; custom effects have no parameter.
adjustable current_speed(const uint8_t* s);
adjustable current_parameter(const uint8_t* s);
// Whether the current effect is built-in and supports centre correction.
bool current_has_centre(const uint8_t* s);
// Stores a speed for the current effect (a built-in's u16, a custom's byte
// gets the low byte). False when the current index names no effect.
bool set_current_speed(uint8_t* s, uint16_t speed);
bool set_current_parameter(uint8_t* s, uint8_t value);

// Bead settings of chain position p (< 128).
uint8_t bead_brightness(const uint8_t* s, unsigned p);
bool bead_rgb(const uint8_t* s, unsigned p);

// Indicator light i (0 NUM, 1 CAPS, 2 SCROLL).
namespace indicator {
constexpr size_t off_flags = 0;    // bit 0 on, bits 1-7 effect
constexpr size_t off_word = 1;     // u32 W: the light
constexpr size_t off_colour = 5;   // red, green, blue

enum source : uint32_t { source_none = 0, source_key = 1, source_matrix = 2, source_bead = 3 };

// Fields of W.
constexpr uint32_t source_mask = 0x3;
constexpr unsigned column_shift = 2, row_shift = 7, chain_shift = 10, x_shift = 17, y_shift = 21;
constexpr uint32_t column_mask = 0x1F, row_mask = 0x07, chain_mask = 0x7F, x_mask = 0x0F, y_mask = 0x0F;

uint8_t* at(uint8_t* s, unsigned i);
const uint8_t* at(const uint8_t* s, unsigned i);

bool on(const uint8_t* ind);
void set_on(uint8_t* ind, bool on);
uint8_t effect(const uint8_t* ind);
void set_effect(uint8_t* ind, uint8_t effect);
uint32_t word(const uint8_t* ind);
void set_word(uint8_t* ind, uint32_t w);

uint32_t source_of(uint32_t w);
unsigned column_of(uint32_t w);
unsigned row_of(uint32_t w);
unsigned chain_of(uint32_t w);
unsigned x_of(uint32_t w);
unsigned y_of(uint32_t w);
// Setting a source changes only its own bits and the source bits.
uint32_t with_key(uint32_t w, unsigned column, unsigned row);
uint32_t with_matrix_cell(uint32_t w, unsigned x, unsigned y);
uint32_t with_bead(uint32_t w, unsigned chain_pos);
} // namespace indicator

} // namespace qvk::led

namespace qvk {

// How a lighting page asks the window to send: the page's own type number
// and a value; each page maps its types to commands.
using page_callback = std::function<void(int type, uint32_t value)>;

// Whether a stream (the system volume, the rhythm frame) may go to the
// keyboard now: only while the master switch is on and over USB or
// Bluetooth LE (never through the 2.4 GHz receiver).
bool stream_allowed(const uint8_t* led_state, uint32_t link_kind);

} // namespace qvk
