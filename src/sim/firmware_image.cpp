#include "sim/firmware_image.h"

#include <algorithm>
#include <array>

#include "sim/default_records.h"

namespace qvk::sim {

namespace {
std::array<uint8_t, 256> make_crc_table() {
    std::array<uint8_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        uint8_t c = uint8_t(i);
        for (int b = 0; b < 8; ++b) c = uint8_t((c & 0x80) ? (c << 1) ^ 0x31 : c << 1);
        t[i] = c;
    }
    return t;
}
uint32_t get_u32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
} // namespace

uint8_t crc8(std::span<const uint8_t> data) {
    static const std::array<uint8_t, 256> table = make_crc_table();
    uint8_t crc = 0;
    for (uint8_t b : data) crc = table[crc ^ b];
    return crc;
}

bool keyboard_image_ok(std::span<const uint8_t> file) {
    using namespace image;
    if (file.size() <= header_size) return false;
    const uint8_t* h = file.data();
    if (read_u16(h + off_generator) != generator_version) return false;
    if (read_u16(h + off_target) != target_keyboard) return false;
    if (h[off_marker_a] != marker_a || h[off_marker_b] != marker_b) return false;
    const uint32_t length = get_u32(h + off_length);
    if (size_t(length) + header_size != file.size()) return false;
    if (read_u16(h + off_field_a) > field_limit || read_u16(h + off_field_b) > field_limit) return false;
    return crc8(file.subspan(header_size)) == h[off_crc];
}

std::vector<uint8_t> make_keyboard_image(std::span<const uint8_t> payload, uint16_t version) {
    using namespace image;
    std::vector<uint8_t> f(header_size + payload.size(), 0);
    write_u16(&f[off_generator], generator_version);
    write_u16(&f[off_target], target_keyboard);
    f[off_marker_a] = marker_a;
    f[off_marker_b] = marker_b;
    f[off_crc] = crc8(payload);
    write_u16(&f[off_version], version);
    const uint32_t n = uint32_t(payload.size());
    for (int i = 0; i < 4; ++i) f[off_length + i] = uint8_t(n >> (8 * i));
    std::copy(payload.begin(), payload.end(), f.begin() + header_size);
    return f;
}

} // namespace qvk::sim
