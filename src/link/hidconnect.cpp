#include "link/hidconnect.h"

#include <cstring>

#include "common/text_codec.h"
#include "link/link_kind.h"

namespace qvk {

int report_id_for_kind(uint32_t kind) {
    switch (kind) {
    case kind_ble: return packet::report_id_ble;
    case kind_usb:
    case kind_usb_boot:
    case kind_rf_boot:
    case kind_rf_receiver: return packet::report_id_other;
    default: return -1;
    }
}

hidconnect::hidconnect(link_message_sink* window, uint32_t kind, uint32_t device_index,
                       const std::string& path, const device_bus& bus)
    : window_(window), kind_(kind), device_index_(device_index), path_(path) {
    handle_ = bus.open(path);
    open_ = open_at_start_ = handle_ != nullptr;
}

hidconnect::~hidconnect() {
    {
        std::lock_guard<std::mutex> guard(state_lock_);
        running_ = false;
        open_ = false;
        stop_ = true;
    }
    {
        std::lock_guard<std::mutex> guard(wake_lock_);
        wake_pending_ = true;
    }
    wake_.notify_all();
    // The reader notices stop within one read time-out; the writer at once.
    if (reader_.joinable()) reader_.join();
    if (writer_.joinable()) writer_.join();
    reset_sent_count(0);
    handle_.reset();
}

bool hidconnect::start() {
    std::lock_guard<std::mutex> guard(state_lock_);
    if (running_ || kind_ == kind_none || !open_ || stop_ || reader_.joinable() || writer_.joinable())
        return true;
    try {
        running_ = true;
        reader_ = std::thread(&hidconnect::reader_loop, this);
        writer_ = std::thread(&hidconnect::writer_loop, this);
    } catch (const std::system_error&) {
        // A thread could not be created: stop the one that may run.
        running_ = false;
        stop_ = true;
        return true;
    }
    return false;
}

bool hidconnect::is_running() const {
    std::lock_guard<std::mutex> guard(state_lock_);
    return running_;
}

std::string hidconnect::device_name() const {
    std::lock_guard<std::mutex> guard(state_lock_);
    return name_;
}

int16_t hidconnect::get_firmware_version() const {
    std::lock_guard<std::mutex> guard(state_lock_);
    return firmware_version_;
}

int hidconnect::queue_command(uint32_t command, uint32_t sub, uint16_t value16, uint32_t value32, bool kick_now) {
    if (command >= packet::command_limit) return 1;
    return queue_packet(packet::make_short_command(uint8_t(command), uint8_t(sub), value16, value32), kick_now);
}

int hidconnect::queue_block(uint32_t command, uint32_t sub, uint32_t length, const uint8_t* data, bool kick_now) {
    if (command >= packet::command_limit || length == 0 || !data) return 1;
    if (length <= packet::single_block_max)
        return queue_packet(packet::make_single_block(uint8_t(command), data, length), kick_now);
    if (report_id_for_kind(kind_) < 0) return 1;

    // Refuse a block that does not fit the free part of the send queue, so
    // the keyboard never receives half of it.
    const uint32_t chunks = (length + packet::chunk_data_max - 1) / packet::chunk_data_max;
    if (length > packet::total_length_max || chunks > send_queue_.slot_count() - send_queue_.size()) return 1;

    const bool queued = packet::segment_block(uint8_t(command), sub, data, length,
        [this](const packet::packet64& p) { return queue_packet(p, false) == 0; });
    if (!queued) return 1;
    if (kick_now) kick();
    return 0;
}

int hidconnect::queue_packet(const packet::packet64& p, bool kick_now) {
    const int id = report_id_for_kind(kind_);
    if (id < 0) return 1;
    packet::report65 report;
    report[0] = uint8_t(id);
    std::memcpy(&report[1], p.data(), packet::packet_size);
    if (!send_queue_.put(report.data())) return 1;
    if (kick_now) kick();
    return 0;
}

int hidconnect::kick() {
    {
        std::lock_guard<std::mutex> guard(state_lock_);
        if (!writer_.joinable() || !open_) return 1;
    }
    {
        std::lock_guard<std::mutex> guard(wake_lock_);
        wake_pending_ = true;
    }
    wake_.notify_one();
    return 0;
}

bool hidconnect::pop_reply(uint8_t* packet64) {
    packet::report65 report;
    if (!receive_queue_.get(report.data())) return true;
    std::memcpy(packet64, &report[1], packet::packet_size);
    return false;
}

void hidconnect::reset_sent_count(uint32_t n) {
    std::lock_guard<std::mutex> guard(send_lock_);
    sent_count_ = n;
}

uint32_t hidconnect::sent_count() const {
    std::lock_guard<std::mutex> guard(send_lock_);
    return sent_count_;
}

void hidconnect::post(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (window_) window_->post_message(message, wparam, lparam);
}

void hidconnect::reader_loop() {
    const int report_id = report_id_for_kind(kind_);
    packet::report65 report;
    for (;;) {
        report.fill(0);
        const int n = handle_->read(report.data(), report.size(), read_timeout_ms);
        {
            std::lock_guard<std::mutex> guard(state_lock_);
            if (stop_) {
                running_ = false;
                open_ = false;
                return;
            }
            if (n < 0) {
                // Link lost: the writer ends too.
                open_ = false;
                running_ = false;
                stop_ = true;
            }
        }
        if (n < 0) {
            {
                std::lock_guard<std::mutex> guard(wake_lock_);
                wake_pending_ = true;
            }
            wake_.notify_all();
            post(msg::link_lost, device_index_, 0);
            return;
        }
        if (n == 0) continue; // time-out: look at stop again
        // A Bluetooth keyboard's node also carries its key reports.
        if (report_id < 0 || !packet::take_input_report(report, size_t(n), uint8_t(report_id))) continue;

        const uint8_t* p = &report[1];
        if (packet::type_of(p) != packet::packet_type) continue;
        if (packet::command_of(p) == command_device_info) {
            size_t len = 0;
            while (len < info_name_max && p[off_info_name + len] != 0) ++len;
            std::string name = from_host_ansi(std::string_view(reinterpret_cast<const char*>(p + off_info_name), len));
            {
                std::lock_guard<std::mutex> guard(state_lock_);
                name_ = std::move(name);
                firmware_version_ = int16_t(packet::read_u16(p + off_info_version));
            }
            post(msg::device_info, device_index_, 0);
            continue;
        }
        receive_queue_.put(report.data());
        post(msg::report_queued, device_index_, 0);
    }
}

void hidconnect::writer_loop() {
    packet::report65 report;
    for (;;) {
        if (send_queue_.size() == 0) {
            std::unique_lock<std::mutex> lock(wake_lock_);
            wake_.wait(lock, [this] { return wake_pending_; });
            wake_pending_ = false;
        }
        {
            std::lock_guard<std::mutex> guard(state_lock_);
            if (stop_) {
                running_ = false;
                open_ = false;
                return;
            }
        }
        if (!send_queue_.get(report.data())) continue;
        const int n = handle_->write(report.data(), report.size());
        if (n >= 0) {
            uint32_t sent;
            {
                std::lock_guard<std::mutex> guard(send_lock_);
                sent = ++sent_count_;
            }
            if (send_queue_.size() == 0)
                post(msg::send_done, 0, intptr_t(device_index_));
            else
                post(msg::send_progress, device_index_, intptr_t(sent));
            continue;
        }
        {
            std::lock_guard<std::mutex> guard(state_lock_);
            running_ = false;
            stop_ = true;
            open_ = false;
        }
        post(msg::send_done, 1, intptr_t(device_index_));
        post(msg::link_lost, device_index_, 0);
        return;
    }
}

} // namespace qvk
