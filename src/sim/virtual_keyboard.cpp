#include "sim/virtual_keyboard.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

#include "link/command_catalogue.h"

namespace qvk::sim {

namespace {
constexpr const char* path_prefix = "virtual:";
constexpr const char* hid_class_guid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
} // namespace

// One open handle: the reports the device has queued for it, each with the
// time it may be read. A handle belongs to one life of the device: once the
// device is unplugged or restarts, it fails for good.
class virtual_handle final : public hid_device_handle {
public:
    virtual_handle(std::shared_ptr<virtual_keyboard> device, uint64_t generation)
        : generation(generation), device_(std::move(device)) {}
    ~virtual_handle() override { device_->detach(this); }
    int read(uint8_t* buf, size_t len, int timeout_ms) override { return device_->read_for(this, buf, len, timeout_ms); }
    int write(const uint8_t* buf, size_t len) override { return device_->write_from(this, buf, len); }

    struct pending {
        clock::time_point due;
        packet::report65 report;
    };
    std::deque<pending> input; // guarded by the device's lock
    const uint64_t generation;

private:
    std::shared_ptr<virtual_keyboard> device_;
};

virtual_keyboard::virtual_keyboard(uint32_t kind, std::string name, uint16_t firmware_version, unsigned number)
    : firmware_(std::move(name), firmware_version), kind_(kind), number_(number) {}

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

void virtual_keyboard::set_name(std::string name) { firmware_.set_name(std::move(name)); }
void virtual_keyboard::set_firmware_version(uint16_t version) { firmware_.set_firmware_version(version); }
std::string virtual_keyboard::name() const { return firmware_.name(); }
uint16_t virtual_keyboard::firmware_version() const { return firmware_.firmware_version(); }

void virtual_keyboard::unplug() {
    {
        std::lock_guard<std::mutex> g(lock_);
        plugged_ = false;
        ++generation_;
    }
    changed_.notify_all();
}

void virtual_keyboard::plug() {
    std::lock_guard<std::mutex> g(lock_);
    plugged_ = true;
}

bool virtual_keyboard::plugged() const {
    std::lock_guard<std::mutex> g(lock_);
    return plugged_ && clock::now() >= offline_until_;
}

void virtual_keyboard::restart_as(uint32_t kind) {
    {
        std::lock_guard<std::mutex> g(lock_);
        ++generation_;
        kind_ = kind;
        offline_until_ = clock::now() + restart_pause_;
        for (virtual_handle* h : handles_) h->input.clear();
    }
    changed_.notify_all();
}

void virtual_keyboard::set_restart_pause(std::chrono::milliseconds pause) {
    std::lock_guard<std::mutex> g(lock_);
    restart_pause_ = pause;
}

bool virtual_keyboard::alive(const virtual_handle* h) const { return plugged_ && h->generation == generation_; }

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

std::vector<uint8_t> virtual_keyboard::record(uint8_t read_command, unsigned sub) const {
    return firmware_.record(read_command, sub);
}

bool virtual_keyboard::set_record(uint8_t read_command, unsigned sub, std::span<const uint8_t> data) {
    return firmware_.set_record(read_command, sub, data);
}

std::vector<host_message> virtual_keyboard::messages() const { return firmware_.messages(); }

std::vector<host_message> virtual_keyboard::messages_of(uint8_t command) const {
    std::vector<host_message> out;
    for (auto& m : firmware_.messages())
        if (m.command == command) out.push_back(std::move(m));
    return out;
}

void virtual_keyboard::clear_messages() { firmware_.clear_messages(); }

uint8_t virtual_keyboard::report_id() const { return kind_ == 3 ? packet::report_id_ble : packet::report_id_other; }

void virtual_keyboard::send_report(const packet::report65& report) {
    {
        std::lock_guard<std::mutex> g(lock_);
        const auto now = clock::now();
        const auto due = std::max(now, next_read_slot_);
        next_read_slot_ = due + interval_;
        for (virtual_handle* h : handles_)
            if (alive(h)) h->input.push_back({due, report});
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
        if (std::find(handles_.begin(), handles_.end(), to) == handles_.end() || !alive(to)) return;
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

void virtual_keyboard::notify_layer_state(std::span<const uint8_t> state10) {
    if (state10.size() != record_size::layer_state) return;
    firmware_.set_record(cmd::read_layer_state, 0, state10);
    send_packet(keyboard_firmware::single_reply(cmd::layer_state_changed, state10));
}

void virtual_keyboard::notify_rhythm_state(uint8_t state) {
    send_packet(packet::make_short_command(cmd::rhythm_state, state, 0, 0));
}

void virtual_keyboard::notify_backlight(uint8_t command, uint8_t sub, uint16_t value16) {
    firmware_.apply_value(command, sub, value16);
    send_packet(packet::make_short_command(command, sub, value16, 0));
}

void virtual_keyboard::notify_status(uint8_t s) { send_packet(keyboard_firmware::status_reply(s)); }

void virtual_keyboard::notify(uint8_t command, std::span<const uint8_t> payload) {
    send_packet(keyboard_firmware::single_reply(command, payload));
}

void virtual_keyboard::never_answer(uint8_t command) {
    std::lock_guard<std::mutex> g(lock_);
    muted_.insert(command);
}

void virtual_keyboard::drop_chunk(uint8_t command, uint32_t chunk_index) {
    std::lock_guard<std::mutex> g(lock_);
    dropped_chunk_[command] = chunk_index;
}

void virtual_keyboard::unplug_after(size_t reports) {
    {
        std::lock_guard<std::mutex> g(lock_);
        unplug_countdown_ = reports;
    }
    if (reports == 0) unplug();
}

void virtual_keyboard::clear_faults() {
    std::lock_guard<std::mutex> g(lock_);
    muted_.clear();
    dropped_chunk_.clear();
    unplug_countdown_.reset();
}

std::unique_ptr<hid_device_handle> virtual_keyboard::open() {
    std::lock_guard<std::mutex> g(lock_);
    if (!plugged_ || clock::now() < offline_until_) return nullptr;
    auto h = std::make_unique<virtual_handle>(shared_from_this(), generation_);
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
        if (!alive(h)) return -1;
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
        if (!alive(h)) return -1;
        const auto now = clock::now();
        slot = std::max(now, next_write_slot_);
        next_write_slot_ = slot + interval_;
    }
    if (slot > clock::now()) std::this_thread::sleep_until(slot);
    packet::report65 r{};
    std::memcpy(r.data(), buf, std::min(len, r.size()));
    bool unplug_now = false;
    {
        std::lock_guard<std::mutex> g(lock_);
        if (!alive(h)) return -1;
        received_.push_back(r);
        if (unplug_countdown_ && --*unplug_countdown_ == 0) {
            unplug_countdown_.reset();
            unplug_now = true;
        }
    }
    changed_.notify_all();
    handle_report(r, h);
    if (unplug_now) unplug();
    return int(len);
}

void virtual_keyboard::send_replies(std::vector<packet::packet64> replies, virtual_handle* to) {
    if (replies.empty()) return;
    const uint8_t command = packet::command_of(replies.front().data());
    {
        std::lock_guard<std::mutex> g(lock_);
        if (muted_.count(command)) return;
        auto drop = dropped_chunk_.find(command);
        if (drop != dropped_chunk_.end() && packet::chunk_length_of(replies.front().data()) != 0) {
            const uint32_t index = drop->second;
            dropped_chunk_.erase(drop);
            std::erase_if(replies, [&](const packet::packet64& p) { return packet::chunk_index_of(p.data()) == index; });
        }
    }
    for (const auto& p : replies) reply(p, to);
}

void virtual_keyboard::handle_report(const packet::report65& report, virtual_handle* from) {
    packet::packet64 p;
    std::memcpy(p.data(), &report[1], p.size());
    auto response = firmware_.handle(p, kind());
    send_replies(std::move(response.replies), from);
    if (response.restart_as != 0) restart_as(response.restart_as);
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
