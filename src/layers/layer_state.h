#pragma once
// The layer-state record (10 bytes): the default function layer, an on/off
// flag for each of the eight function layers, and the active trigger layer.

#include <cstddef>

namespace qvk::layer_state {

constexpr size_t off_default_flayer = 0;
constexpr size_t off_flayer_flags = 1; // + layer 0..7
constexpr size_t off_active_tlayer = 9;

} // namespace qvk::layer_state
