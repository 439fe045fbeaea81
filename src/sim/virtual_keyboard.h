#pragma once
// The virtual keyboard: devices that stand in for the real keyboard, its
// receiver and its bootloaders, reached through a transport of their own.
// Each device paces its reports like a full-speed interrupt endpoint (one
// report per interval in each direction, 1 ms by default), records every
// report it receives, and hands each one to its keyboard_firmware, which
// answers from the records it holds. It can be unplugged, restarts into
// another mode when the firmware asks, and can be told to misbehave.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "link/packet.h"
#include "link/transport.h"
#include "sim/keyboard_firmware.h"

namespace qvk::sim {

using clock = std::chrono::steady_clock;

class virtual_handle;

class virtual_keyboard : public std::enable_shared_from_this<virtual_keyboard> {
public:
    // kind: link kind 1..5; number: distinguishes devices in their paths.
    virtual_keyboard(uint32_t kind, std::string name, uint16_t firmware_version, unsigned number = 0);
    virtual ~virtual_keyboard();

    uint32_t kind() const;
    std::string id_string() const;
    std::string open_path() const;

    void set_report_interval(std::chrono::microseconds interval);
    // The name and version the device-information reply carries. An empty
    // name is answered as an empty name. Command 30 changes the name too.
    void set_name(std::string name);
    void set_firmware_version(uint16_t version);
    std::string name() const;
    uint16_t firmware_version() const;

    // Unplugging fails every open handle for good; plugging back in lets the
    // device be listed and opened again (by new handles).
    void unplug();
    void plug();
    // Listed and openable: plugged in and not in the middle of a restart.
    bool plugged() const;

    // Restarts as another link kind (or the same): open handles fail as on
    // unplugging, and after the restart pause the device is listed again
    // with the id string and open path of the new kind. The firmware does
    // this on commands 3, 2 and 72.
    void restart_as(uint32_t kind);
    void set_restart_pause(std::chrono::milliseconds pause); // 300 ms by default

    // Records. record(command, sub) is what read command `command` (31, 33,
    // 38, 39, 40, 41, 43, 45, 47, 49, 60, 69, 76) with that sub value would
    // answer now; set_record replaces it (same size only).
    std::vector<uint8_t> record(uint8_t read_command, unsigned sub = 0) const;
    bool set_record(uint8_t read_command, unsigned sub, std::span<const uint8_t> data);
    // Every complete message the firmware took (blocks reassembled), in order;
    // messages_of keeps those of one command.
    std::vector<host_message> messages() const;
    std::vector<host_message> messages_of(uint8_t command) const;
    void clear_messages();
    keyboard_firmware& firmware() { return firmware_; }

    // Notifications the keyboard sends on its own, to every open handle.
    // The layer state and backlight values also change the held records.
    void notify_layer_state(std::span<const uint8_t> state10);             // 73
    void notify_rhythm_state(uint8_t state);                              // 68: 0 off, 1 on, 2 toggle
    void notify_backlight(uint8_t command, uint8_t sub, uint16_t value16 = 0); // 50, 54, 55, 58
    void notify_status(uint8_t status);                                   // 4
    // Any single-report notification: command, payload from packet byte 8.
    void notify(uint8_t command, std::span<const uint8_t> payload);

    // Faults for tests.
    void never_answer(uint8_t command);                 // replies to it are swallowed
    void drop_chunk(uint8_t command, uint32_t chunk_index); // in the next chunked reply of command only
    void unplug_after(size_t reports);                  // unplug once this many more reports arrived
    void clear_faults();

    // Every report the device received, in order (65 bytes each).
    std::vector<packet::report65> received() const;
    size_t received_count() const;
    void clear_received();
    // Waits until at least n reports have arrived; false on time-out.
    bool wait_received(size_t n, std::chrono::milliseconds timeout) const;

    // Sends a report (or a packet, with the report ID of this kind) to every
    // open handle, as the device would on its own.
    void send_report(const packet::report65& report);
    void send_packet(const packet::packet64& packet);

    // Handles open on the device now.
    size_t open_handles() const;

    // Opens the device for a link; nullptr when unplugged.
    std::unique_ptr<hid_device_handle> open();

protected:
    // Answers one report from the host. The base device answers the
    // device-information request; replies go to the handle that asked.
    virtual void handle_report(const packet::report65& report, virtual_handle* from);
    // Queues a reply to one handle (or to every handle when to is null).
    void reply(const packet::packet64& packet, virtual_handle* to);

private:
    friend class virtual_handle;
    int read_for(virtual_handle* h, uint8_t* buf, size_t len, int timeout_ms);
    int write_from(virtual_handle* h, const uint8_t* buf, size_t len);
    void detach(virtual_handle* h);
    uint8_t report_id() const;

    bool alive(const virtual_handle* h) const; // under lock_
    void send_replies(std::vector<packet::packet64> replies, virtual_handle* to);

    keyboard_firmware firmware_;
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    uint32_t kind_;
    unsigned number_;
    std::chrono::microseconds interval_{1000};
    bool plugged_ = true;
    uint64_t generation_ = 0; // changes whenever open handles must fail
    clock::time_point offline_until_{};
    std::chrono::milliseconds restart_pause_{300};
    std::set<uint8_t> muted_;
    std::map<uint8_t, uint32_t> dropped_chunk_;
    std::optional<size_t> unplug_countdown_;
    clock::time_point next_write_slot_{};
    clock::time_point next_read_slot_{};
    std::vector<packet::report65> received_;
    std::vector<virtual_handle*> handles_;
};

// The transport that lists and opens virtual devices.
class virtual_transport final : public hid_transport {
public:
    void add(std::shared_ptr<virtual_keyboard> device);
    void remove(const std::shared_ptr<virtual_keyboard>& device);
    std::vector<hid_interface_info> enumerate() override;
    bool owns(const std::string& open_path) const override;
    std::unique_ptr<hid_device_handle> open(const std::string& open_path) override;

private:
    mutable std::mutex lock_;
    std::vector<std::shared_ptr<virtual_keyboard>> devices_;
};

} // namespace qvk::sim
