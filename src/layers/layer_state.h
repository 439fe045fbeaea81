#pragma once
// The layer-state record (10 bytes): the default function layer, an on/off
// flag for each of the eight function layers, and the active trigger layer.
// Both layer strips show it as eight tiles each and change it through the
// click rules below; the record is then sent to the keyboard as it lies.

#include <cstddef>
#include <cstdint>

namespace qvk::layer_state {

constexpr size_t off_default_flayer = 0;
constexpr size_t off_flayer_flags = 1; // + layer 0..7
constexpr size_t off_active_tlayer = 9;
constexpr size_t size = 10;
constexpr unsigned layer_count = 8;

// How a tile of a strip is drawn.
enum tile_state : int {
    tile_closed = 0,  // function layer off / trigger layer not active
    tile_open = 1,    // function layer on / trigger layer active
    tile_default = 2, // the default function layer
};

// Function-layer strip.
tile_state flayer_tile(const uint8_t* state, unsigned layer);
// Left click on tile `layer`: the default layer gets its flag set and stays
// the default; any other layer's flag flips. Returns the tile's new state.
tile_state flayer_left_click(uint8_t* state, unsigned layer);
// Right click on tile `layer`: it becomes the default layer (with its flag
// set) and the old default stays open. Returns the old default layer, which
// needs redrawing (equal to `layer` when nothing moved).
unsigned flayer_right_click(uint8_t* state, unsigned layer);

// Trigger-layer strip: exactly one tile is active.
tile_state tlayer_tile(const uint8_t* state, unsigned layer);
// Left click on tile `layer`: makes it the active trigger layer. False when
// it already was (nothing changes).
bool tlayer_left_click(uint8_t* state, unsigned layer);

} // namespace qvk::layer_state
