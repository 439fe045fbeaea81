#pragma once
// The firmware file (.qvk): a little-endian header of 32 bytes (48 for the
// 2.4 GHz receiver's firmware, whose extra 16 bytes are the receiver header)
// followed by the payload, and the checks a file must pass before it is sent.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qvk::firmware {

constexpr size_t header_size = 32;
constexpr size_t rf_header_size = 16;                      // receiver header, after the common header
constexpr size_t rf_file_header_size = header_size + rf_header_size;

constexpr size_t off_generator = 0;   // u16
constexpr size_t off_target = 2;      // u16
constexpr size_t off_marker_a = 4;
constexpr size_t off_marker_b = 5;
constexpr size_t off_crc = 6;         // CRC-8 of the payload
constexpr size_t off_version = 7;     // u16, high byte major, low byte minor
constexpr size_t off_length = 9;      // u32, payload length
constexpr size_t off_field_a = 13;    // u16, at most 255
constexpr size_t off_field_b = 17;    // u16, at most 255
constexpr size_t off_rf_header = header_size;

constexpr uint16_t generator_version = 0x0100;
constexpr uint16_t target_keyboard = 0x2021;
constexpr uint16_t target_receiver = 0x2022;
constexpr uint8_t marker_a = 0xFE;
constexpr uint8_t marker_b = 0xFF;
constexpr uint16_t field_limit = 255;

// The receiver header as the tool's own file maker writes it and the
// virtual 2.4 GHz bootloader reads it: the payload's length and CRC-8, so
// that the bootloader, which never sees the common header, can check what
// it received.
constexpr size_t off_rf_payload_length = 0; // u32
constexpr size_t off_rf_payload_crc = 4;

// CRC-8, polynomial 0x31, most significant bit first, start 0, no final XOR.
uint8_t crc8(std::span<const uint8_t> data);

// What a file check found, in the order the checks run.
enum class fault {
    none,
    generator, // generator version is not 0x0100
    target,    // not the firmware the link takes
    size,      // file size is not payload length + header
    crc,       // payload CRC-8 differs from the header's
    markers,   // bytes 4-5 are not FE FF
    fields,    // field 13 or 17 above 255
};

// Header size for a link kind: 48 on the 2.4 GHz bootloader, 32 elsewhere.
size_t header_size_for(uint32_t link_kind);
uint16_t target_for(uint32_t link_kind);

// The checks before the version question: generator, target, size, CRC,
// markers, in that order; the first that fails is returned.
fault check_file(std::span<const uint8_t> file, uint32_t link_kind);
// The check after the version question.
fault check_fields(std::span<const uint8_t> file);
// The file's firmware version (0 when the file is too short for a header).
uint16_t version_of(std::span<const uint8_t> file);
// Whether the version question is asked: not on the USB bootloader, and
// only when the running firmware is newer than the file's.
bool older_than_running(std::span<const uint8_t> file, uint32_t link_kind, uint16_t running_version);

// The bytes sent with command 7 (the whole file, or the payload alone on the
// 2.4 GHz bootloader) and with command 14 (the receiver header; empty
// elsewhere).
std::span<const uint8_t> image_to_send(std::span<const uint8_t> file, uint32_t link_kind);
std::span<const uint8_t> receiver_header(std::span<const uint8_t> file, uint32_t link_kind);

// Makes a valid file around a payload (tests, the demo keyboard, benchmarks).
std::vector<uint8_t> make_keyboard_file(std::span<const uint8_t> payload, uint16_t version);
std::vector<uint8_t> make_receiver_file(std::span<const uint8_t> payload, uint16_t version);

// What a keyboard or bootloader checks in an image it received: a whole
// keyboard file, or a receiver payload against its receiver header.
bool keyboard_image_ok(std::span<const uint8_t> file);
bool receiver_image_ok(std::span<const uint8_t> rf_header, std::span<const uint8_t> payload);

} // namespace qvk::firmware
