#pragma once
// What runs inside a virtual keyboard: it takes the packets the tool writes,
// puts chunked blocks back together, answers every read command from the
// records it holds, stores every write, and walks through the maintenance
// sequence (bootloader, firmware image, factory defaults). It knows nothing
// of handles or timing; virtual_keyboard carries its packets.
//
// All public members are safe to call from any thread.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "link/data_rebuild.h"
#include "link/packet.h"
#include "sim/device_records.h"

namespace qvk::sim {

// Maintenance statuses the keyboard reports with command 4.
namespace status {
constexpr uint8_t defaults_restored = 3;
constexpr uint8_t progress_hidden = 4;
constexpr uint8_t firmware_updated = 5;
constexpr uint8_t data_error = 6;
constexpr uint8_t hardware_erased = 7;
constexpr uint8_t backup_cleared = 8;
constexpr uint8_t ready_for_image = 31;
constexpr uint8_t image_stored = 32;
} // namespace status

// One complete message the keyboard received from the tool.
struct host_message {
    uint8_t command = 0;
    uint32_t sub = 0;          // short command's sub, or a chunked block's sub (0 for single-report blocks)
    uint16_t value16 = 0;      // short commands only
    uint32_t value32 = 0;      // short commands only
    bool block = false;        // a data block rather than a short command
    bool chunked = false;      // the block came in chunks (exact length known)
    std::vector<uint8_t> data; // a chunked block's bytes, or the 56 data bytes of a single-report block
};

class keyboard_firmware {
public:
    keyboard_firmware(std::string name, uint16_t firmware_version);

    struct response {
        std::vector<packet::packet64> replies; // to the handle that wrote, in order
        uint32_t restart_as = 0;               // non-zero: restart now as this link kind
    };
    // Handles one packet written by the tool to a device of link kind `kind`.
    response handle(const packet::packet64& packet, uint32_t kind);

    std::string name() const; // UTF-8
    void set_name(std::string name);
    uint16_t firmware_version() const;
    void set_firmware_version(uint16_t version);

    // The record a read command answers with now (empty for anything else).
    std::vector<uint8_t> record(uint8_t read_command, unsigned sub = 0) const;
    // Replaces it; false when the command reads nothing or the size differs.
    bool set_record(uint8_t read_command, unsigned sub, std::span<const uint8_t> data);
    // Applies a backlight, Bluetooth or gain value as its short command would.
    bool apply_value(uint8_t command, uint8_t sub, uint16_t value16, uint32_t value32 = 0);
    void restore_factory();

    // Every complete message received so far, in order (the newest 32768 to
    // 65536 of them once that many have arrived).
    std::vector<host_message> messages() const;
    void clear_messages();

    // The reply to device-information request (command 1).
    packet::packet64 device_info_reply() const;
    // A single-report reply: command, payload from byte 8 (at most 56 bytes).
    static packet::packet64 single_reply(uint8_t command, std::span<const uint8_t> payload);
    // A record as the keyboard sends it: one report when it fits, else chunks
    // carrying sub in every chunk.
    static std::vector<packet::packet64> record_reply(uint8_t command, unsigned sub, std::span<const uint8_t> data);
    static packet::packet64 status_reply(uint8_t status);

    // Data length of a block write command; 0 when the command is no block
    // of fixed length (the firmware image, or no block at all).
    static size_t block_length(uint8_t command);
    static bool is_block_command(uint8_t command);

private:
    void on_short(const host_message& m, uint32_t kind, response& out);
    void on_block(const host_message& m, uint32_t kind, response& out);
    void on_firmware_image(const std::vector<uint8_t>& data, uint32_t kind, response& out);
    packet::packet64 device_info_reply_locked() const;

    mutable std::mutex lock_;
    device_records records_;
    std::string name_;
    const std::string factory_name_;
    uint16_t firmware_version_;
    std::map<uint8_t, std::unique_ptr<data_rebuild>> rebuilds_;
    std::map<uint8_t, uint32_t> rebuild_subs_; // sub value of each block's first chunk
    std::vector<host_message> log_;
    bool transfer_prepared_ = false;       // 71 seen in keyboard mode
    std::vector<uint8_t> receiver_header_; // 14 seen in the 2.4 GHz bootloader
    std::vector<uint8_t> stored_image_;    // accepted with status 32
};

} // namespace qvk::sim
