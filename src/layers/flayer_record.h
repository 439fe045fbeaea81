#pragma once
// One function layer (1536 bytes): 192 key slots of 8 bytes, slot k at byte
// 8*k, k being the key ID the keyboard layout gives the key. Each slot holds
// the function code run when the key is pressed and the one run when it is
// released. Slots no key uses are kept and transferred like all others.

#include <cstddef>
#include <cstdint>

#include "functions/func_code.h"

namespace qvk::flayer {

constexpr size_t slot_size = 8;
constexpr unsigned slot_count = 192;
constexpr size_t record_size = slot_size * slot_count; // 1536
constexpr size_t off_press = 0;   // func_code run on key press
constexpr size_t off_release = 4; // func_code run on key release

// Which code of a slot: the key picture shows the release code in its upper
// half and the press code in its lower half.
enum class key_half { release, press };

constexpr size_t code_offset(key_half half) { return half == key_half::press ? off_press : off_release; }

// The 8-byte slot of key `key_id`; null when the key ID names no slot.
uint8_t* key_slot(uint8_t* layer, unsigned key_id);

// The 4 code bytes of one half of key `key_id`'s slot; null when the key ID
// names no slot.
uint8_t* slot_code(uint8_t* layer, unsigned key_id, key_half half);
const uint8_t* slot_code(const uint8_t* layer, unsigned key_id, key_half half);

// Right click: the code becomes "transparent" (all four bytes 0).
void clear_code(uint8_t* code);
// Middle click: the code becomes "disabled" (kind 1, parameters 0).
void disable_code(uint8_t* code);
// After the picker chose a press code: a held action (a key, a mouse button,
// wheel or pointer movement) is released with the same code, so it is
// copied to the release half as well.
void copy_held_press_to_release(uint8_t* slot);

} // namespace qvk::flayer
