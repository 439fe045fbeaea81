#pragma once
// How the virtual keyboard judges a firmware image it receives with
// command 7: the header of a keyboard firmware file, its payload length and
// its CRC-8, or, for the 2.4 GHz receiver, a payload after a receiver header.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qvk::sim {

namespace image {
constexpr size_t header_size = 32;
constexpr size_t rf_header_size = 16;
constexpr size_t off_generator = 0;
constexpr size_t off_target = 2;
constexpr size_t off_marker_a = 4;
constexpr size_t off_marker_b = 5;
constexpr size_t off_crc = 6;
constexpr size_t off_version = 7;
constexpr size_t off_length = 9;
constexpr size_t off_field_a = 13;
constexpr size_t off_field_b = 17;
constexpr uint16_t generator_version = 0x0100;
constexpr uint16_t target_keyboard = 0x2021;
constexpr uint16_t target_receiver = 0x2022;
constexpr uint8_t marker_a = 0xFE;
constexpr uint8_t marker_b = 0xFF;
constexpr uint16_t field_limit = 255;
} // namespace image

// CRC-8, polynomial 0x31, most significant bit first, start 0, no final XOR.
uint8_t crc8(std::span<const uint8_t> data);

// True when a keyboard firmware file (header + payload) is whole and intact.
bool keyboard_image_ok(std::span<const uint8_t> file);

// Builds a valid keyboard firmware file around a payload (for tests and the demo).
std::vector<uint8_t> make_keyboard_image(std::span<const uint8_t> payload, uint16_t version);

} // namespace qvk::sim
