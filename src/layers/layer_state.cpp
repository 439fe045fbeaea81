#include "layers/layer_state.h"

namespace qvk::layer_state {

tile_state flayer_tile(const uint8_t* state, unsigned layer) {
    if (layer >= layer_count) return tile_closed;
    if (state[off_default_flayer] == layer) return tile_default;
    return state[off_flayer_flags + layer] != 0 ? tile_open : tile_closed;
}

tile_state flayer_left_click(uint8_t* state, unsigned layer) {
    if (layer >= layer_count) return tile_closed;
    uint8_t& flag = state[off_flayer_flags + layer];
    if (state[off_default_flayer] == layer) {
        flag = 1;
        return tile_default;
    }
    flag = flag != 0 ? 0 : 1;
    return flag != 0 ? tile_open : tile_closed;
}

unsigned flayer_right_click(uint8_t* state, unsigned layer) {
    const unsigned old_default = state[off_default_flayer];
    if (layer >= layer_count) return old_default;
    if (old_default != layer) {
        // A default layer number the keyboard sent out of range names no
        // flag; writing it would land on the trigger-layer byte.
        if (old_default < layer_count) state[off_flayer_flags + old_default] = 1;
        state[off_flayer_flags + layer] = 1;
        state[off_default_flayer] = uint8_t(layer);
    }
    return old_default;
}

tile_state tlayer_tile(const uint8_t* state, unsigned layer) {
    return layer < layer_count && state[off_active_tlayer] == layer ? tile_open : tile_closed;
}

bool tlayer_left_click(uint8_t* state, unsigned layer) {
    if (layer >= layer_count || state[off_active_tlayer] == layer) return false;
    state[off_active_tlayer] = uint8_t(layer);
    return true;
}

} // namespace qvk::layer_state
