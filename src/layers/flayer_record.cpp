#include "layers/flayer_record.h"

#include <cstring>

namespace qvk::flayer {

uint8_t* key_slot(uint8_t* layer, unsigned key_id) { return key_id < slot_count ? layer + slot_size * key_id : nullptr; }

uint8_t* slot_code(uint8_t* layer, unsigned key_id, key_half half) {
    return key_id < slot_count ? layer + slot_size * key_id + code_offset(half) : nullptr;
}

const uint8_t* slot_code(const uint8_t* layer, unsigned key_id, key_half half) {
    return key_id < slot_count ? layer + slot_size * key_id + code_offset(half) : nullptr;
}

void clear_code(uint8_t* code) { std::memset(code, 0, func_code_size); }

void disable_code(uint8_t* code) {
    clear_code(code);
    code[fc_kind] = fk_disabled;
}

void copy_held_press_to_release(uint8_t* slot) {
    const uint8_t kind = slot[off_press + fc_kind];
    if (kind >= fk_key && kind <= fk_pointer_right)
        std::memcpy(slot + off_release, slot + off_press, func_code_size);
}

} // namespace qvk::flayer
