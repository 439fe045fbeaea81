#include "lighting/bmp_header.h"

#include <cstdlib>

namespace qvk::bmp {

namespace {
uint32_t u16_at(std::span<const uint8_t> d, size_t at) { return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8; }
uint32_t u32_at(std::span<const uint8_t> d, size_t at) { return u16_at(d, at) | u16_at(d, at + 2) << 16; }
} // namespace

bool pixel_rows_complete(std::span<const uint8_t> d) {
    if (d.size() < 2 || d[off_magic] != 'B' || d[off_magic + 1] != 'M') return true;
    if (d.size() < header_size_min) return false;
    const uint32_t info = u32_at(d, off_info_size);
    uint64_t width = 0, height = 0, bits = 0;
    if (info == core_info_size) {
        width = u16_at(d, core_off_width);
        height = u16_at(d, core_off_height);
        bits = u16_at(d, core_off_bits);
    } else {
        if (info < info_size_min || d.size() < 14 + size_t(info_size_min)) return false;
        const uint32_t compression = u32_at(d, off_compression);
        if (compression != bi_rgb && compression != bi_bitfields && compression != bi_alphabitfields) return true;
        width = uint64_t(std::llabs(int64_t(int32_t(u32_at(d, off_width)))));
        height = uint64_t(std::llabs(int64_t(int32_t(u32_at(d, off_height)))));
        bits = u16_at(d, off_bits);
    }
    const uint64_t row_bytes = (width * bits + 31) / 32 * 4;
    return uint64_t(u32_at(d, off_pixels)) + row_bytes * height <= d.size();
}

} // namespace qvk::bmp
