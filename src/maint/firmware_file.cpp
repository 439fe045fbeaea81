#include "maint/firmware_file.h"

#include <algorithm>
#include <array>

#include "link/link_kind.h"
#include "link/packet.h"

namespace qvk::firmware {

using packet::read_u16;
using packet::read_u32;
using packet::write_u16;
using packet::write_u32;

namespace {

constexpr uint8_t crc_polynomial = 0x31;

std::array<uint8_t, 256> make_crc_table() {
    std::array<uint8_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        uint8_t c = uint8_t(i);
        for (int b = 0; b < 8; ++b) c = uint8_t((c & 0x80) ? (c << 1) ^ crc_polynomial : c << 1);
        t[i] = c;
    }
    return t;
}

std::vector<uint8_t> make_file(std::span<const uint8_t> payload, uint16_t version, uint16_t target,
                               size_t header) {
    std::vector<uint8_t> f(header + payload.size(), 0);
    write_u16(&f[off_generator], generator_version);
    write_u16(&f[off_target], target);
    f[off_marker_a] = marker_a;
    f[off_marker_b] = marker_b;
    f[off_crc] = crc8(payload);
    write_u16(&f[off_version], version);
    write_u32(&f[off_length], uint32_t(payload.size()));
    std::copy(payload.begin(), payload.end(), f.begin() + std::ptrdiff_t(header));
    return f;
}

// The common header; a file shorter than a header reads as if padded with
// zero bytes, so the checks run in their usual order on it too.
std::array<uint8_t, header_size> common_header(std::span<const uint8_t> file) {
    std::array<uint8_t, header_size> h{};
    std::copy_n(file.begin(), std::min(file.size(), header_size), h.begin());
    return h;
}

} // namespace

uint8_t crc8(std::span<const uint8_t> data) {
    static const std::array<uint8_t, 256> table = make_crc_table();
    uint8_t crc = 0;
    for (uint8_t b : data) crc = table[crc ^ b];
    return crc;
}

size_t header_size_for(uint32_t link_kind) {
    return link_kind == kind_rf_boot ? rf_file_header_size : header_size;
}

uint16_t target_for(uint32_t link_kind) { return link_kind == kind_rf_boot ? target_receiver : target_keyboard; }

fault check_file(std::span<const uint8_t> file, uint32_t link_kind) {
    const std::array<uint8_t, header_size> header_bytes = common_header(file);
    const uint8_t* h = header_bytes.data();
    if (read_u16(h + off_generator) != generator_version) return fault::generator;
    if (read_u16(h + off_target) != target_for(link_kind)) return fault::target;
    const size_t header = header_size_for(link_kind);
    const uint64_t length = read_u32(h + off_length);
    if (length + header != file.size()) return fault::size;
    if (crc8(file.subspan(header)) != h[off_crc]) return fault::crc;
    if (h[off_marker_a] != marker_a || h[off_marker_b] != marker_b) return fault::markers;
    return fault::none;
}

fault check_fields(std::span<const uint8_t> file) {
    const std::array<uint8_t, header_size> h = common_header(file);
    if (read_u16(&h[off_field_a]) > field_limit || read_u16(&h[off_field_b]) > field_limit) return fault::fields;
    return fault::none;
}

uint16_t version_of(std::span<const uint8_t> file) { return read_u16(&common_header(file)[off_version]); }

bool older_than_running(std::span<const uint8_t> file, uint32_t link_kind, uint16_t running_version) {
    return link_kind != kind_usb_boot && running_version > version_of(file);
}

std::span<const uint8_t> image_to_send(std::span<const uint8_t> file, uint32_t link_kind) {
    if (link_kind != kind_rf_boot) return file;
    return file.size() > rf_file_header_size ? file.subspan(rf_file_header_size) : std::span<const uint8_t>{};
}

std::span<const uint8_t> receiver_header(std::span<const uint8_t> file, uint32_t link_kind) {
    if (link_kind != kind_rf_boot || file.size() < rf_file_header_size) return {};
    return file.subspan(off_rf_header, rf_header_size);
}

std::vector<uint8_t> make_keyboard_file(std::span<const uint8_t> payload, uint16_t version) {
    return make_file(payload, version, target_keyboard, header_size);
}

std::vector<uint8_t> make_receiver_file(std::span<const uint8_t> payload, uint16_t version) {
    std::vector<uint8_t> f = make_file(payload, version, target_receiver, rf_file_header_size);
    write_u32(&f[off_rf_header + off_rf_payload_length], uint32_t(payload.size()));
    f[off_rf_header + off_rf_payload_crc] = crc8(payload);
    return f;
}

bool keyboard_image_ok(std::span<const uint8_t> file) {
    return file.size() > header_size && check_file(file, kind_usb) == fault::none &&
           check_fields(file) == fault::none;
}

bool receiver_image_ok(std::span<const uint8_t> rf_header, std::span<const uint8_t> payload) {
    if (rf_header.size() != rf_header_size || payload.empty()) return false;
    return read_u32(&rf_header[off_rf_payload_length]) == payload.size() &&
           rf_header[off_rf_payload_crc] == crc8(payload);
}

} // namespace qvk::firmware
