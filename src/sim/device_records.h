#pragma once
// Everything a virtual keyboard stores: one byte image per record, found by
// the command that reads it (and the sub value for layers, pictures and
// macro groups), and the changes the keyboard's write commands make to them.
// Not thread-safe on its own; keyboard_firmware guards it.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sim/default_records.h"

namespace qvk::sim {

class device_records {
public:
    device_records();

    // Puts every record back to its factory content.
    void restore_defaults();

    // The record that read command `command` answers with, sub selecting the
    // layer, picture or group. Empty when the command reads nothing or sub is
    // out of range.
    std::span<uint8_t> find(uint8_t read_command, unsigned sub);
    std::span<const uint8_t> find(uint8_t read_command, unsigned sub) const;
    // How many records a read command selects among (1 for plain records,
    // 0 for a command that reads nothing).
    static unsigned count(uint8_t read_command);
    static bool is_read_command(uint8_t command) { return count(command) != 0; }

    // Stores a data block of a write command. data holds at least the
    // record's bytes (a single-report block brings 56). False when the
    // command stores nothing or the data or sub do not fit.
    bool store_block(uint8_t command, unsigned sub, std::span<const uint8_t> data, std::string* new_name);
    // Applies a short write command (Bluetooth slot, sleep, power, backlight
    // values, rhythm gains). False when it changes no record.
    bool store_short(uint8_t command, uint8_t sub, uint16_t value16, uint32_t value32);

private:
    bytes scan_, ble_support_, ble_, layout_, layer_state_, indicator_actions_, lighting_, battery_, trigger_mode_;
    std::vector<bytes> flayers_, tlayers_, pictures_, macros_;
};

} // namespace qvk::sim
