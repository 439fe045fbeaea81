#pragma once
// The keyboard's basic settings as the device-settings page edits them: the
// key-scan parameter record, the trigger-mode record, the Bluetooth
// parameter record with its eight connection entries, and the device-name
// payload. Named offsets and little-endian accessors on the byte images.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qvk::settings {

// Key-scan parameter record (9 bytes; reply 31, command 32).
namespace scan {
constexpr size_t off_debounce = 1;      // u16, ms
constexpr size_t off_multi_tap = 3;     // u16, ms
constexpr size_t off_hold_trigger = 5;  // u16, ms
constexpr size_t off_sleep = 7;         // u16, s
constexpr unsigned debounce_max = 150;
constexpr uint16_t debounce_fallback = 16;
constexpr uint16_t time_fallback = 200;
constexpr unsigned sleep_min = 1;
constexpr unsigned sleep_max = 60;
constexpr uint16_t sleep_fallback = 2;
} // namespace scan

// Trigger-mode record (32 bytes; reply 76, command 75).
namespace trigger {
constexpr size_t off_mode = 0;
constexpr uint8_t mode_max = 1;
} // namespace trigger

// Bluetooth parameter record (149 bytes; reply 33; its first 136 bytes are
// command 34's payload) and its connection entries of 17 bytes.
namespace ble {
constexpr size_t entry_size = 17;
constexpr unsigned entry_count = 8;
constexpr size_t off_slot = 136;
constexpr size_t off_tx_power = 145;   // signed dBm
constexpr size_t off_sleep_on = 146;
constexpr size_t off_sleep_seconds = 147; // u16
constexpr unsigned slot_max = 7;
constexpr unsigned sleep_minutes_max = 30;
constexpr uint16_t sleep_seconds_default = 300;
// Within an entry.
constexpr size_t off_own_mac = 1;   // 6 bytes, least significant first
constexpr size_t off_bound = 9;
constexpr size_t off_host_mac = 11; // 6 bytes, least significant first
constexpr size_t mac_size = 6;
constexpr uint8_t static_random_mark = 0xC0; // top bits of the most significant byte
} // namespace ble

uint16_t get_u16(std::span<const uint8_t> record, size_t offset);
void set_u16(std::span<uint8_t> record, size_t offset, uint16_t value);

// The hold-key trigger and multi-tap time-out lists (ms): 20, 40, then 50 to
// 400 in steps of 10, then 450 to 1000 in steps of 50.
constexpr size_t time_list_size = 50;
const std::array<uint16_t, time_list_size>& time_list();

// Transmit power items in dBm, in list order.
constexpr std::array<int8_t, 10> tx_power_items = {-8, -4, 0, 2, 3, 4, 5, 6, 7, 8};
// The item index of a stored power; unknown values give nullopt.
std::optional<size_t> tx_power_index(int8_t dbm);

// One connection entry of the Bluetooth record (k = 0..7).
std::span<uint8_t, ble::entry_size> entry(std::span<uint8_t> ble_record, unsigned k);
// "%02X-%02X-..." of a 6-byte address stored least significant byte first.
std::string mac_text(std::span<const uint8_t> mac_lsb_first);

// The device-name payload of command 30: the name in the keyboard's 8-bit
// code page, 1 to 24 bytes, zero-padded to 25.
constexpr size_t name_payload_size = 25;
constexpr size_t name_bytes_max = 24;
struct name_payload {
    size_t length = 0; // bytes of the name in the keyboard's code page
    std::array<uint8_t, name_payload_size> bytes{};
    bool fits() const { return length >= 1 && length <= name_bytes_max; }
};
name_payload make_name_payload(std::string_view utf8_name);

} // namespace qvk::settings
