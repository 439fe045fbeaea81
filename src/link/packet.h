#pragma once
// The 64-byte packet carried in every 65-byte HID report, in both directions,
// and how a block longer than one packet is cut into chunks.
//
// Every packet: byte 0 low nibble = packet type 2, byte 5 = command (0..231).
//   Short command:        byte 8 sub value, bytes 9-10 16-bit value,
//                         bytes 11-14 32-bit value.
//   Single-report block:  1..56 data bytes from byte 8.
//   Chunk of a long block: 32-bit word at bytes 0-3 = type | chunk length << 4
//                         | total length << 10; 32-bit word at bytes 8-11 =
//                         position | chunk index << 2 | sub value << 22;
//                         1..52 data bytes from byte 12.
// Multi-byte fields are little-endian.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace qvk::packet {

constexpr size_t report_size = 65;
constexpr size_t packet_size = 64;

constexpr uint8_t packet_type = 2;
constexpr uint8_t type_mask = 0x0F;
constexpr uint32_t command_limit = 232; // commands are 0..231

constexpr size_t off_header_word = 0;
constexpr size_t off_command = 5;
constexpr size_t off_sub = 8;
constexpr size_t off_value16 = 9;
constexpr size_t off_value32 = 11;
constexpr size_t off_block_data = 8;
constexpr size_t off_chunk_word = 8;
constexpr size_t off_chunk_data = 12;

constexpr size_t single_block_max = 56;
constexpr size_t chunk_data_max = 52;
constexpr uint32_t total_length_max = (1u << 22) - 1; // 22-bit field
constexpr uint32_t chunk_index_max = (1u << 20) - 1;  // 20-bit field
constexpr uint32_t chunk_sub_max = (1u << 10) - 1;    // 10-bit field

enum chunk_position : uint8_t { first = 0, middle = 1, last = 2 };

// Report IDs by link kind.
constexpr uint8_t report_id_ble = 0x06;
constexpr uint8_t report_id_other = 0x00;

using packet64 = std::array<uint8_t, packet_size>;
using report65 = std::array<uint8_t, report_size>;

uint32_t read_u32(const uint8_t* p);
uint16_t read_u16(const uint8_t* p);
void write_u32(uint8_t* p, uint32_t v);
void write_u16(uint8_t* p, uint16_t v);

packet64 make_short_command(uint8_t command, uint8_t sub, uint16_t value16, uint32_t value32);
// length 1..56
packet64 make_single_block(uint8_t command, const uint8_t* data, size_t length);
packet64 make_chunk(uint8_t command, uint32_t sub, uint32_t total, uint32_t index,
                    chunk_position position, const uint8_t* data, size_t length);

// Cuts a block of more than 56 bytes into chunks of 52 bytes (the last one
// shorter) and hands each to emit in order; stops early when emit returns
// false. Returns false when the block cannot be framed (empty, too long for
// the 22-bit total) or emit refused a chunk.
bool segment_block(uint8_t command, uint32_t sub, const uint8_t* data, size_t length,
                   const std::function<bool(const packet64&)>& emit);

// Makes one input report, as the system delivered it (length bytes at the
// start of report), the link's 65-byte report. Taken are a full report of the
// link's report ID and, for report ID 0, the 64 bytes of a device without
// numbered reports (hidraw delivers those without the ID). Everything else on
// the interface, such as the short reports of the keyboard's other
// collections or reports of another ID, is not for the link: false.
bool take_input_report(report65& report, size_t length, uint8_t report_id);

inline uint8_t type_of(const uint8_t* p) { return p[0] & type_mask; }
inline uint8_t command_of(const uint8_t* p) { return p[off_command]; }
inline uint32_t chunk_length_of(const uint8_t* p) { return (read_u16(p) >> 4) & 0x3F; }
inline uint32_t total_length_of(const uint8_t* p) { return read_u32(p) >> 10; }
inline chunk_position position_of(const uint8_t* p) {
    return static_cast<chunk_position>(read_u32(p + off_chunk_word) & 0x3);
}
inline uint32_t chunk_index_of(const uint8_t* p) { return (read_u32(p + off_chunk_word) >> 2) & chunk_index_max; }
inline uint32_t chunk_sub_of(const uint8_t* p) { return read_u32(p + off_chunk_word) >> 22; }

} // namespace qvk::packet
