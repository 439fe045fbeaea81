#pragma once
// The tool's copy of everything it reads from the connected keyboard, held
// by the main window. Pages edit these bytes in place and send them on their
// save action. Plain byte images, exactly as the keyboard sends them.

#include <array>
#include <cstdint>

#include "link/command_catalogue.h"
#include "link/packet.h"

namespace qvk {

template <size_t N>
using record_bytes = std::array<uint8_t, N>;

// Payload bytes of a single-report reply (from packet byte 8).
using reply_payload = record_bytes<packet::packet_size - packet::off_block_data>;

struct keyboard_records {
    record_bytes<record_size::scan_params> scan_params{};
    uint8_t ble_support = 0;
    record_bytes<record_size::ble_params> ble_params{};
    record_bytes<record_size::kb_layout> kb_layout{};
    record_bytes<record_size::layer_state> layer_state{};
    std::array<record_bytes<record_size::flayer>, record_size::flayer_count> flayers{};
    std::array<bool, record_size::flayer_count> flayer_loaded{};
    // The function layer the function-layer page shows; the trigger-layer
    // page draws its key matrix with that layer's codes.
    unsigned cur_flayer = 0;
    std::array<record_bytes<record_size::tlayer>, record_size::tlayer_count> tlayers{};
    std::array<bool, record_size::tlayer_count> tlayer_loaded{};
    std::array<record_bytes<record_size::macro_group>, record_size::macro_group_count> macros{};
    record_bytes<record_size::lighting> lighting{};
    record_bytes<record_size::indicator_actions> indicator_actions{};
    record_bytes<record_size::trigger_mode> trigger_mode{};
    record_bytes<record_size::custom_picture> custom_picture{};
    uint32_t custom_picture_number = 0;

    // The last value of each notice the keyboard sends on its own or as a
    // status: maintenance status (4), backlight values (50, 54, 55, 58),
    // music rhythm state (68).
    reply_payload maintenance_status{};
    reply_payload bkl_driver_current{};
    reply_payload bkl_effect{};
    reply_payload bkl_speed{};
    reply_payload bkl_master_switch{};
    reply_payload rhythm_state{};
};

} // namespace qvk
