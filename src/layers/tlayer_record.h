#pragma once
// One trigger layer (1520 bytes) as the keyboard holds it: eight Fn keys,
// 32 key combinations with their two function arrays, 32 multi-tap keys,
// 32 tap-or-hold keys and 32 press-and-hold keys. Every item has an enabled
// flag and names its key by key ID; every function is a 4-byte function
// code. These helpers read and edit one item in place; an item number or
// key position out of range reads as nothing and writes nothing, so bytes
// from a keyboard or a file can never make them reach outside the layer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "functions/func_code.h"

namespace qvk::tlayer {

constexpr size_t record_size = 1520;

// Fn keys: key ID, enabled, codes on press, on release, on release after
// other keys.
constexpr size_t off_fn_keys = 0;
constexpr size_t fn_key_size = 14;
constexpr unsigned fn_key_count = 8;
constexpr size_t fn_off_key = 0;
constexpr size_t fn_off_enabled = 1;
constexpr size_t fn_off_pressed = 2;
constexpr size_t fn_off_released = 6;
constexpr size_t fn_off_released_after_others = 10;

// Combinations: enabled, four key positions; their codes lie in two arrays.
constexpr size_t off_combos = 112;
constexpr size_t combo_size = 5;
constexpr unsigned combo_count = 32;
constexpr size_t combo_off_enabled = 0;
constexpr size_t combo_off_keys = 1;
constexpr unsigned combo_key_slots = 4;
constexpr size_t off_combo_all_pressed = 272; // + 4 * combination
constexpr size_t off_combo_any_released = 400;

// Multi-tap keys: key ID, enabled bit 0 + tap count in bits 1-7, code.
constexpr size_t off_nhit = 528;
constexpr size_t nhit_size = 6;
constexpr size_t nhit_off_code = 2;

// Tap-or-hold keys: key ID, 16-bit enabled bit 0 + time-out in bits 1-15,
// codes for a short press, a long press and the release after a long one.
constexpr size_t off_tio = 720;
constexpr size_t tio_size = 15;
constexpr size_t tio_off_value = 1;
constexpr size_t tio_off_short = 3;
constexpr size_t tio_off_long = 7;
constexpr size_t tio_off_long_released = 11;

// Press-and-hold keys: key ID, enabled bit 0 + tap count, codes when held
// and when then released.
constexpr size_t off_hdk = 1200;
constexpr size_t hdk_size = 10;
constexpr size_t hdk_off_held = 2;
constexpr size_t hdk_off_released = 6;

constexpr unsigned group_count = 32;
constexpr size_t off_key_id = 0;      // multi-tap, tap-or-hold, press-and-hold
constexpr size_t off_count_byte = 1;  // multi-tap, press-and-hold

// A combination position of 192 or more holds no key; the editor writes
// 192, clearing a layer writes 255.
constexpr uint8_t no_key = 192;
constexpr uint8_t cleared_key = 255;

constexpr unsigned max_count = 64;          // tap counts offered
constexpr unsigned count_byte_limit = 129;  // count 64, enabled
constexpr unsigned min_time_ms = 1;
constexpr unsigned max_time_ms = 32767;
constexpr unsigned default_time_ms = 200;

// The five kinds of item, in the order of the editor's tabs.
enum class page : unsigned { fn = 0, combo, nhit, tio, hdk };
constexpr unsigned page_count = 5;

// Items of a page (8 Fn keys, 32 of every other kind).
unsigned item_count(page p);
// Function codes an item holds (3, 2, 1, 3, 2).
unsigned code_count(page p);

// The item's own record (not the combination code arrays); null when the
// item number is out of range.
uint8_t* item(uint8_t* layer, page p, unsigned n);
const uint8_t* item(const uint8_t* layer, page p, unsigned n);
// Function code `which` of an item; null when out of range.
uint8_t* item_code(uint8_t* layer, page p, unsigned n, unsigned which);
const uint8_t* item_code(const uint8_t* layer, page p, unsigned n, unsigned which);

bool enabled(const uint8_t* layer, page p, unsigned n);
// Fn key and combination: the flag byte becomes 0 or 1; the other kinds
// keep every bit but bit 0.
void set_enabled(uint8_t* layer, page p, unsigned n, bool on);

// The key ID of an Fn, multi-tap, tap-or-hold or press-and-hold item.
unsigned key_id(const uint8_t* layer, page p, unsigned n);
void set_key_id(uint8_t* layer, page p, unsigned n, uint8_t key);

// Multi-tap and press-and-hold: the tap count (bits 1-7), bit 0 kept.
unsigned count(const uint8_t* layer, page p, unsigned n);
void set_count(uint8_t* layer, page p, unsigned n, unsigned taps);

// Tap-or-hold: the time-out in milliseconds (bits 1-15), bit 0 kept.
unsigned time_ms(const uint8_t* layer, unsigned n);
void set_time_ms(uint8_t* layer, unsigned n, unsigned ms);
constexpr bool time_in_range(long long ms) { return ms >= min_time_ms && ms <= max_time_ms; }

// Combination positions 0-3; 192 or more is empty.
unsigned combo_key(const uint8_t* layer, unsigned n, unsigned position);
// Puts key k into the first empty position. -1 when k is already there or
// no position is free (or k is no key).
int combo_add_key(uint8_t* layer, unsigned n, uint8_t k);
// Empties a position; returns the key it held (192 or more: none).
unsigned combo_remove_key(uint8_t* layer, unsigned n, unsigned position);

// The keys an item marks on the keyboard drawing (empty when disabled).
struct marked_keys {
    std::array<uint8_t, combo_key_slots> keys{};
    unsigned size = 0;
};
marked_keys keys_to_mark(const uint8_t* layer, page p, unsigned n);

// What the editor writes back before it shows an item: a count byte above
// 129 keeps only its enabled bit; a tap-or-hold value below 2 becomes the
// enabled bit plus 200 ms.
void normalise(uint8_t* layer, page p, unsigned n);

// The caption of an item in the editor's list, e.g.
// "3: 开启 Key = 12 | X | X | X | ". `on` and `off` are the enabled words,
// `fn_key_label` the Fn page's text before the key ID. Counts and times
// read as normalise would leave them, without changing the layer.
std::string caption(const uint8_t* layer, page p, unsigned n, const std::string& on, const std::string& off,
                    const std::string& fn_key_label);

// Clear this layer: every byte 0, every combination position 255.
void clear_layer(uint8_t* layer);

} // namespace qvk::tlayer
