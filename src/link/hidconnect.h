#pragma once
// One open HID interface of a keyboard or bootloader: a send queue drained by
// a writer thread, a receive queue filled by a reader thread, and messages to
// the window about what happened. Destroying the object ends and joins both
// threads before the queues go away.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "link/link_messages.h"
#include "link/my_fifo_buff.h"
#include "link/packet.h"
#include "link/transport.h"

namespace qvk {

class hidconnect {
public:
    static constexpr uint32_t queue_slots = 4096;
    static constexpr int read_timeout_ms = 20;
    // Device-information reply: name from packet byte 8 up to the first NUL,
    // at most 25 bytes; firmware version at bytes 33-34 (minor, major).
    static constexpr size_t off_info_name = 8;
    static constexpr size_t info_name_max = 25;
    static constexpr size_t off_info_version = 33;
    static constexpr uint8_t command_device_info = 1;

    hidconnect(link_message_sink* window, uint32_t kind, uint32_t device_index,
               const std::string& path, const device_bus& bus);
    ~hidconnect();
    hidconnect(const hidconnect&) = delete;
    hidconnect& operator=(const hidconnect&) = delete;

    bool is_open() const { return open_at_start_; }
    // Starts the reader and writer. Returns true on failure: already running,
    // kind 0, not open, or threads already created.
    bool start();
    bool is_running() const;

    uint32_t get_kind() const { return kind_; }
    uint32_t device_index() const { return device_index_; }
    const std::string& path() const { return path_; }
    std::string device_name() const;      // UTF-8
    int16_t get_firmware_version() const;

    // 0 queued, 1 refused.
    int queue_command(uint32_t command, uint32_t sub, uint16_t value16, uint32_t value32, bool kick);
    int queue_block(uint32_t command, uint32_t sub, uint32_t length, const uint8_t* data, bool kick);
    int kick();

    uint32_t pending_replies() const { return receive_queue_.size(); }
    // Reports queued for the writer and not yet written.
    uint32_t pending_sends() const { return send_queue_.size(); }
    // Copies the 64 packet bytes of the oldest received report. Returns true
    // when nothing was waiting.
    bool pop_reply(uint8_t* packet64);
    void reset_sent_count(uint32_t n);
    uint32_t sent_count() const;

private:
    int queue_packet(const packet::packet64& p, bool kick);
    void reader_loop();
    void writer_loop();
    void post(uint32_t message, uintptr_t wparam, intptr_t lparam);

    link_message_sink* window_;
    const uint32_t kind_;
    const uint32_t device_index_;
    const std::string path_;

    mutable std::mutex state_lock_;
    bool running_ = false;
    bool stop_ = false;
    bool open_ = false;
    bool open_at_start_ = false;
    std::string name_;
    int16_t firmware_version_ = 0;
    std::unique_ptr<hid_device_handle> handle_;

    std::thread reader_;
    std::thread writer_;

    mutable std::mutex send_lock_;
    uint32_t sent_count_ = 0;
    MyFifoBuff send_queue_{queue_slots, packet::report_size};
    MyFifoBuff receive_queue_{queue_slots, packet::report_size};

    std::mutex wake_lock_;
    std::condition_variable wake_;
    bool wake_pending_ = false;
};

// Report ID for a link kind; -1 for a kind that has no link.
int report_id_for_kind(uint32_t kind);

} // namespace qvk
