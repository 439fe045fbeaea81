#include "link/packet.h"

#include <cstring>

namespace qvk::packet {

uint32_t read_u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t read_u16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void write_u32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
void write_u16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

packet64 make_short_command(uint8_t command, uint8_t sub, uint16_t value16, uint32_t value32) {
    packet64 p{};
    p[0] = packet_type;
    p[off_command] = command;
    p[off_sub] = sub;
    write_u16(&p[off_value16], value16);
    write_u32(&p[off_value32], value32);
    return p;
}

packet64 make_single_block(uint8_t command, const uint8_t* data, size_t length) {
    packet64 p{};
    p[0] = packet_type;
    p[off_command] = command;
    if (length > single_block_max) length = single_block_max;
    if (data && length) std::memcpy(&p[off_block_data], data, length);
    return p;
}

packet64 make_chunk(uint8_t command, uint32_t sub, uint32_t total, uint32_t index,
                    chunk_position position, const uint8_t* data, size_t length) {
    packet64 p{};
    if (length > chunk_data_max) length = chunk_data_max;
    write_u32(&p[off_header_word],
              uint32_t(packet_type) | uint32_t(length) << 4 | (total & total_length_max) << 10);
    p[off_command] = command;
    write_u32(&p[off_chunk_word],
              uint32_t(position) | (index & chunk_index_max) << 2 | (sub & chunk_sub_max) << 22);
    if (data && length) std::memcpy(&p[off_chunk_data], data, length);
    return p;
}

bool segment_block(uint8_t command, uint32_t sub, const uint8_t* data, size_t length,
                   const std::function<bool(const packet64&)>& emit) {
    if (!data || length == 0 || length > total_length_max) return false;
    size_t offset = 0;
    uint32_t index = 0;
    while (offset < length) {
        const size_t rest = length - offset;
        size_t n;
        chunk_position pos;
        if (rest > chunk_data_max) {
            n = chunk_data_max;
            pos = index == 0 ? first : middle;
        } else {
            n = rest;
            pos = last;
        }
        if (!emit(make_chunk(command, sub, uint32_t(length), index, pos, data + offset, n)))
            return false;
        offset += n;
        ++index;
    }
    return true;
}

bool take_input_report(report65& report, size_t length, uint8_t report_id) {
    if (length == report_size) return report[0] == report_id;
    if (length == packet_size && report_id == report_id_other) {
        std::memmove(&report[1], &report[0], packet_size);
        report[0] = report_id_other;
        return true;
    }
    return false;
}

} // namespace qvk::packet
