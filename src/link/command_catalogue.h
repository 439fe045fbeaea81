#pragma once
// Every command number the tool and the keyboard exchange, and the size of
// each record that travels with them. Short means one short-command packet;
// the sizes are those of the data blocks and of the replies.

#include <cstddef>
#include <cstdint>

namespace qvk::cmd {

constexpr uint8_t device_info = 1;            // short; single reply: name + version
constexpr uint8_t start_keyboard = 2;         // short, from a bootloader
constexpr uint8_t start_bootloader = 3;       // short
constexpr uint8_t maintenance_status = 4;     // reply only
constexpr uint8_t firmware_image = 7;         // block
constexpr uint8_t factory_defaults = 11;      // short
constexpr uint8_t rf_firmware_header = 14;    // block, 16 bytes
constexpr uint8_t write_name = 30;            // block, 25 bytes
constexpr uint8_t read_scan_params = 31;      // short; single reply, 9 bytes
constexpr uint8_t write_scan_params = 32;     // block, 9 bytes
constexpr uint8_t read_ble_params = 33;       // short; chunked reply, 149 bytes
constexpr uint8_t write_mac_table = 34;       // block, 136 bytes
constexpr uint8_t set_ble_slot = 35;          // short
constexpr uint8_t set_ble_sleep = 36;         // short
constexpr uint8_t set_ble_power = 37;         // short
constexpr uint8_t read_ble_support = 38;      // short; single reply, 1 byte
constexpr uint8_t read_layout = 39;           // short; chunked reply, 2813 bytes
constexpr uint8_t read_layer_state = 40;      // short; single reply, 10 bytes
constexpr uint8_t read_flayer = 41;           // short (sub = layer); chunked, 1536 bytes
constexpr uint8_t write_flayer = 42;          // block, 1536 bytes, sub = layer
constexpr uint8_t read_tlayer = 43;           // short (sub = layer); chunked, 1520 bytes
constexpr uint8_t write_tlayer = 44;          // block, 1520 bytes, sub = layer
constexpr uint8_t read_indicator_actions = 45;  // short; single reply, 27 bytes
constexpr uint8_t write_indicator_actions = 46; // block, 27 bytes
constexpr uint8_t read_lighting = 47;         // short; chunked reply, 1281 bytes
constexpr uint8_t write_layer_state = 48;     // block, 10 bytes
constexpr uint8_t read_battery = 49;          // short; single reply, 9 bytes
constexpr uint8_t bkl_driver_current = 50;    // short; also sent by the keyboard
constexpr uint8_t bkl_red = 51;               // short
constexpr uint8_t bkl_green = 52;             // short
constexpr uint8_t bkl_blue = 53;              // short
constexpr uint8_t bkl_effect = 54;            // short; also sent by the keyboard
constexpr uint8_t bkl_speed = 55;             // short; also sent by the keyboard
constexpr uint8_t bkl_parameter = 56;         // short
constexpr uint8_t bkl_centre_correction = 57; // short
constexpr uint8_t bkl_master_switch = 58;     // short; also sent by the keyboard
constexpr uint8_t custom_bkl_settings = 59;   // block, 13 bytes
constexpr uint8_t read_custom_picture = 60;   // short (sub = picture 0-31); chunked, 624 bytes
constexpr uint8_t write_custom_data = 61;     // block
constexpr uint8_t write_ambient_group = 62;   // block, 81 bytes, sub = group
constexpr uint8_t write_indicator_lights = 63; // block, 24 bytes
constexpr uint8_t write_beads = 64;           // block, 128 bytes
constexpr uint8_t rhythm_gains = 65;          // short
constexpr uint8_t rhythm_step = 66;           // short
constexpr uint8_t spectrum_frame = 67;        // block, 27 bytes
constexpr uint8_t rhythm_state = 68;          // reply only
constexpr uint8_t read_macro = 69;            // short (sub = group); chunked, 2048 bytes
constexpr uint8_t write_macro = 70;           // block, 2048 bytes, sub = group
constexpr uint8_t prepare_firmware = 71;      // short; answered by status 31
constexpr uint8_t start_upgrade = 72;         // short
constexpr uint8_t layer_state_changed = 73;   // reply only, 10 bytes
constexpr uint8_t system_volume = 74;         // short, sub = volume 0-100
constexpr uint8_t write_trigger_mode = 75;    // block, 32 bytes
constexpr uint8_t read_trigger_mode = 76;     // short; single reply, 32 bytes

} // namespace qvk::cmd

namespace qvk::record_size {

constexpr size_t device_name = 25;
constexpr size_t scan_params = 9;
constexpr size_t ble_support = 1;
constexpr size_t ble_params = 149;
constexpr size_t mac_table = 136;
constexpr size_t kb_layout = 2813;
constexpr size_t layer_state = 10;
constexpr size_t flayer = 1536;
constexpr size_t tlayer = 1520;
constexpr size_t indicator_actions = 27;
constexpr size_t lighting = 1281;
constexpr size_t battery = 9;
constexpr size_t custom_settings = 13;
constexpr size_t custom_picture = 624;
constexpr size_t ambient_group = 81;
constexpr size_t indicator_lights = 24;
constexpr size_t beads = 128;
constexpr size_t spectrum_frame = 27;
constexpr size_t macro_group = 2048;
constexpr size_t trigger_mode = 32;
constexpr size_t rf_firmware_header = 16;

constexpr unsigned flayer_count = 8;
constexpr unsigned tlayer_count = 8;
constexpr unsigned macro_group_count = 100;
constexpr unsigned custom_picture_count = 32;

} // namespace qvk::record_size
