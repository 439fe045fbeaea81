#include "sim/virtual_keyboard.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

#include "common/text_codec.h"
#include "link/hidconnect.h"

namespace qvk::sim {

namespace {
constexpr const char* path_prefix = "virtual:";
constexpr const char* hid_class_guid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
} // namespace

// One open handle: the reports the device has queued for it, each with the
// time it may be read.
class virtual_handle final : public hid_device_handle {
public:
    explicit virtual_handle(std::shared_ptr<virtual_keyboard> device) : device_(std::move(device)) {}
    ~virtual_handle() override { device_->detach(this); }
    int read(uint8_t* buf, size_t len, int timeout_ms) override { return device_->read_for(this, buf, len, timeout_ms); }
    int write(const uint8_t* buf, size_t len) override { return device_->write_from(this, buf, len); }

    struct pending {
        clock::time_point due;
        packet::report65 report;
    };
    std::deque<pending> input; // guarded by the device's lock

private:
    std::shared_ptr<virtual_keyboard> device_;
};

virtual_keyboard::virtual_keyboard(uint32_t kind, std::string name, uint16_t firmware_version, unsigned number)
    : kind_(kind), name_(std::move(name)), firmware_version_(firmware_version), number_(number) {}

virtual_keyboard::~virtual_keyboard() = default;

uint32_t virtual_keyboard::kind() const {
    std::lock_guard<std::mutex> g(lock_);
    return kind_;
}

std::string virtual_keyboard::id_string() const {
    std::lock_guard<std::mutex> g(lock_);
    char id[200];
    const char* device_part = "";
    switch (kind_) {
    case 1: device_part = "vid_0483&pid_2020&mi_02"; break;
    case 2: device_part = "vid_0483&pid_2021"; break;
    case 3: device_part = "{00001812-0000-1000-8000-00805f9b34fb}_dev_vid&022020_pid&1919_rev&0001&col05"; break;
    case 4: device_part = "vid_0483&pid_2022"; break;
    case 5: device_part = "vid_0483&pid_2023&mi_02"; break;
    default: device_part = "vid_0000&pid_0000"; break;
    }
    std::snprintf(id, sizeof id, "\\\\?\\hid#%s#virtual&%u#%s", device_part, number_, hid_class_guid);
    return id;
}

std::string virtual_keyboard::open_path() const {
    std::lock_guard<std::mutex> g(lock_);
    return std::string(path_prefix) + std::to_string(number_) + "/" + std::to_string(kind_);
}

void virtual_keyboard::set_report_interval(std::chrono::microseconds interval) {
    std::lock_guard<std::mutex> g(lock_);
    interval_ = interval;
}

void virtual_keyboard::set_name(std::string name) {
    std::lock_guard<std::mutex> g(lock_);
    name_ = std::move(name);
}

void virtual_keyboard::set_firmware_version(uint16_t version) {
    std::lock_guard<std::mutex> g(lock_);
    firmware_version_ = version;
}

void virtual_keyboard::unplug() {
    {
        std::lock_guard<std::mutex> g(lock_);
        plugged_ = false;
    }
    changed_.notify_all();
}

void virtual_keyboard::plug() {
    std::lock_guard<std::mutex> g(lock_);
    plugged_ = true;
}

bool virtual_keyboard::plugged() const {
    std::lock_guard<std::mutex> g(lock_);
    return plugged_;
}

std::vector<packet::report65> virtual_keyboard::received() const {
    std::lock_guard<std::mutex> g(lock_);
    return received_;
}

size_t virtual_keyboard::received_count() const {
    std::lock_guard<std::mutex> g(lock_);
    return received_.size();
}

void virtual_keyboard::clear_received() {
    std::lock_guard<std::mutex> g(lock_);
    received_.clear();
}

bool virtual_keyboard::wait_received(size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> g(lock_);
    return changed_.wait_for(g, timeout, [&] { return received_.size() >= n; });
}

uint8_t virtual_keyboard::report_id() const { return kind_ == 3 ? packet::report_id_ble : packet::report_id_other; }

void virtual_keyboard::send_report(const packet::report65& report) {
    {
        std::lock_guard<std::mutex> g(lock_);
        const auto now = clock::now();
        const auto due = std::max(now, next_read_slot_);
        next_read_slot_ = due + interval_;
        for (virtual_handle* h : handles_) h->input.push_back({due, report});
    }
    changed_.notify_all();
}

void virtual_keyboard::send_packet(const packet::packet64& p) {
    packet::report65 r;
    {
        std::lock_guard<std::mutex> g(lock_);
        r[0] = report_id();
    }
    std::memcpy(&r[1], p.data(), p.size());
    send_report(r);
}

void virtual_keyboard::reply(const packet::packet64& p, virtual_handle* to) {
    if (!to) {
        send_packet(p);
        return;
    }
    {
        std::lock_guard<std::mutex> g(lock_);
        if (std::find(handles_.begin(), handles_.end(), to) == handles_.end()) return;
        packet::report65 r;
        r[0] = report_id();
        std::memcpy(&r[1], p.data(), p.size());
        const auto now = clock::now();
        const auto due = std::max(now, next_read_slot_);
        next_read_slot_ = due + interval_;
        to->input.push_back({due, r});
    }
    changed_.notify_all();
}

std::unique_ptr<hid_device_handle> virtual_keyboard::open() {
    std::lock_guard<std::mutex> g(lock_);
    if (!plugged_) return nullptr;
    auto h = std::make_unique<virtual_handle>(shared_from_this());
    handles_.push_back(h.get());
    return h;
}

size_t virtual_keyboard::open_handles() const {
    std::lock_guard<std::mutex> g(lock_);
    return handles_.size();
}

void virtual_keyboard::detach(virtual_handle* h) {
    std::lock_guard<std::mutex> g(lock_);
    handles_.erase(std::remove(handles_.begin(), handles_.end(), h), handles_.end());
}

int virtual_keyboard::read_for(virtual_handle* h, uint8_t* buf, size_t len, int timeout_ms) {
    std::unique_lock<std::mutex> g(lock_);
    const auto deadline = clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (!plugged_) return -1;
        const auto now = clock::now();
        if (!h->input.empty() && h->input.front().due <= now) {
            const size_t n = std::min(len, packet::report_size);
            std::memcpy(buf, h->input.front().report.data(), n);
            h->input.pop_front();
            return int(n);
        }
        if (now >= deadline) return 0;
        auto wake = deadline;
        if (!h->input.empty()) wake = std::min(wake, h->input.front().due);
        changed_.wait_until(g, wake);
    }
}

int virtual_keyboard::write_from(virtual_handle* h, const uint8_t* buf, size_t len) {
    clock::time_point slot;
    {
        std::lock_guard<std::mutex> g(lock_);
        if (!plugged_) return -1;
        const auto now = clock::now();
        slot = std::max(now, next_write_slot_);
        next_write_slot_ = slot + interval_;
    }
    if (slot > clock::now()) std::this_thread::sleep_until(slot);
    packet::report65 r{};
    std::memcpy(r.data(), buf, std::min(len, r.size()));
    {
        std::lock_guard<std::mutex> g(lock_);
        if (!plugged_) return -1;
        received_.push_back(r);
    }
    changed_.notify_all();
    handle_report(r, h);
    return int(len);
}

void virtual_keyboard::handle_report(const packet::report65& report, virtual_handle* from) {
    const uint8_t* p = &report[1];
    if (packet::type_of(p) != packet::packet_type) return;
    if (packet::command_of(p) != hidconnect::command_device_info) return;
    std::string name;
    uint16_t version;
    {
        std::lock_guard<std::mutex> g(lock_);
        name = to_host_ansi(name_);
        version = firmware_version_;
    }
    packet::packet64 answer{};
    answer[0] = packet::packet_type;
    answer[packet::off_command] = hidconnect::command_device_info;
    std::memcpy(&answer[hidconnect::off_info_name], name.data(), std::min(name.size(), hidconnect::info_name_max - 1));
    packet::write_u16(&answer[hidconnect::off_info_version], version);
    reply(answer, from);
}

void virtual_transport::add(std::shared_ptr<virtual_keyboard> device) {
    std::lock_guard<std::mutex> g(lock_);
    devices_.push_back(std::move(device));
}

void virtual_transport::remove(const std::shared_ptr<virtual_keyboard>& device) {
    std::lock_guard<std::mutex> g(lock_);
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
}

std::vector<hid_interface_info> virtual_transport::enumerate() {
    std::lock_guard<std::mutex> g(lock_);
    std::vector<hid_interface_info> out;
    for (const auto& d : devices_)
        if (d->plugged()) out.push_back({d->id_string(), d->open_path()});
    return out;
}

bool virtual_transport::owns(const std::string& open_path) const {
    return open_path.rfind(path_prefix, 0) == 0;
}

std::unique_ptr<hid_device_handle> virtual_transport::open(const std::string& open_path) {
    std::lock_guard<std::mutex> g(lock_);
    for (const auto& d : devices_)
        if (d->open_path() == open_path) return d->open();
    return nullptr;
}

} // namespace qvk::sim
