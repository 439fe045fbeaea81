#pragma once
// What the header of a BMP file promises: an uncompressed BMP names where its
// pixel rows begin and how many there are, so a file cut short can be told
// from a whole one before its pixels are decoded.

#include <cstddef>
#include <cstdint>
#include <span>

namespace qvk::bmp {

// File header.
constexpr size_t off_magic = 0;       // "BM"
constexpr size_t off_pixels = 10;     // u32: where the pixel rows begin
// Info header (right after the 14-byte file header).
constexpr size_t off_info_size = 14;  // u32: 12 for the old core header, 40 and up otherwise
constexpr size_t off_width = 18;      // s32 (u16 in a core header)
constexpr size_t off_height = 22;     // s32, negative for top-down rows (u16 at 20 in a core header)
constexpr size_t off_bits = 28;       // u16 (at 24 in a core header)
constexpr size_t off_compression = 30; // u32
constexpr size_t core_off_width = 18, core_off_height = 20, core_off_bits = 24;
constexpr uint32_t core_info_size = 12;
constexpr uint32_t info_size_min = 40;
constexpr size_t header_size_min = 14 + core_info_size;

// Compressions whose rows have a fixed length.
constexpr uint32_t bi_rgb = 0, bi_bitfields = 3, bi_alphabitfields = 6;

// False only for data that is a BMP with fixed-length rows whose rows end
// beyond the end of the data; anything else (another format, compressed
// rows, a header Qt will refuse on its own) is left to the image reader.
bool pixel_rows_complete(std::span<const uint8_t> data);

} // namespace qvk::bmp
