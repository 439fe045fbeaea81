#pragma once
// The battery reply (command 49): the charge level in percent, then the
// battery voltage in volts as a little-endian IEEE double.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace qvk::battery_reply {

constexpr size_t off_level = 0;
constexpr size_t off_voltage = 1;
constexpr size_t size = 9;

inline double voltage_of(const uint8_t* payload) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | payload[off_voltage + size_t(i)];
    return std::bit_cast<double>(bits);
}

inline void put_voltage(uint8_t* payload, double volts) {
    uint64_t bits = std::bit_cast<uint64_t>(volts);
    for (size_t i = 0; i < 8; ++i, bits >>= 8) payload[off_voltage + i] = uint8_t(bits);
}

} // namespace qvk::battery_reply
