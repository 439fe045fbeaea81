#pragma once
// The virtual keyboard: devices that stand in for the real keyboard, its
// receiver and its bootloaders, reached through a transport of their own.
// Each device paces its reports like a full-speed interrupt endpoint (one
// report per interval in each direction, 1 ms by default), answers the
// commands it knows, records every report it receives and can be unplugged.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/packet.h"
#include "link/transport.h"

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
    void set_name(std::string name);
    void set_firmware_version(uint16_t version);

    void unplug();
    void plug();
    bool plugged() const;

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

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    uint32_t kind_;
    std::string name_;
    uint16_t firmware_version_;
    unsigned number_;
    std::chrono::microseconds interval_{1000};
    bool plugged_ = true;
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
