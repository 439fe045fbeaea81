#include "maint/device_settings.h"

#include <algorithm>
#include <cstdio>

#include "common/text_codec.h"
#include "link/packet.h"

namespace qvk::settings {

uint16_t get_u16(std::span<const uint8_t> record, size_t offset) { return packet::read_u16(&record[offset]); }

void set_u16(std::span<uint8_t> record, size_t offset, uint16_t value) { packet::write_u16(&record[offset], value); }

const std::array<uint16_t, time_list_size>& time_list() {
    static const std::array<uint16_t, time_list_size> list = [] {
        std::array<uint16_t, time_list_size> l{};
        size_t i = 0;
        l[i++] = 20;
        l[i++] = 40;
        for (uint16_t ms = 50; ms <= 400; ms += 10) l[i++] = ms;
        for (uint16_t ms = 450; ms <= 1000; ms += 50) l[i++] = ms;
        return l;
    }();
    return list;
}

std::optional<size_t> tx_power_index(int8_t dbm) {
    const auto it = std::find(tx_power_items.begin(), tx_power_items.end(), dbm);
    if (it == tx_power_items.end()) return std::nullopt;
    return size_t(it - tx_power_items.begin());
}

std::span<uint8_t, ble::entry_size> entry(std::span<uint8_t> ble_record, unsigned k) {
    return ble_record.subspan(size_t(k % ble::entry_count) * ble::entry_size).first<ble::entry_size>();
}

std::string mac_text(std::span<const uint8_t> m) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02X-%02X-%02X-%02X-%02X-%02X", m[5], m[4], m[3], m[2], m[1], m[0]);
    return buf;
}

name_payload make_name_payload(std::string_view utf8_name) {
    name_payload out;
    const std::string bytes = to_host_ansi(utf8_name);
    out.length = bytes.size();
    if (out.fits()) std::copy(bytes.begin(), bytes.end(), out.bytes.begin());
    return out;
}

} // namespace qvk::settings
