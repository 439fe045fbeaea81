#include "sim/keyboard_firmware.h"

#include <algorithm>
#include <cstring>

#include "common/text_codec.h"
#include "link/command_catalogue.h"
#include "link/link_kind.h"
#include "maint/firmware_file.h"

namespace qvk::sim {

namespace {
constexpr size_t off_info_name = 8;
constexpr size_t info_name_max = 24; // bytes before the terminating NUL
constexpr size_t off_info_version = 33;
constexpr size_t off_status = packet::off_block_data;
// A chunked block may announce up to the 22-bit total; the firmware image is
// the only block of no fixed length.
constexpr uint32_t image_length_max = packet::total_length_max;
constexpr size_t message_log_max = 1 << 16;
} // namespace

keyboard_firmware::keyboard_firmware(std::string name, uint16_t firmware_version)
    : name_(name), factory_name_(std::move(name)), firmware_version_(firmware_version) {}

size_t keyboard_firmware::block_length(uint8_t c) {
    switch (c) {
    case cmd::rf_firmware_header: return record_size::rf_firmware_header;
    case cmd::write_name: return record_size::device_name;
    case cmd::write_scan_params: return record_size::scan_params;
    case cmd::write_mac_table: return record_size::mac_table;
    case cmd::write_flayer: return record_size::flayer;
    case cmd::write_tlayer: return record_size::tlayer;
    case cmd::write_indicator_actions: return record_size::indicator_actions;
    case cmd::write_layer_state: return record_size::layer_state;
    case cmd::custom_bkl_settings: return record_size::custom_settings;
    case cmd::write_custom_data: return record_size::custom_picture;
    case cmd::write_ambient_group: return record_size::ambient_group;
    case cmd::write_indicator_lights: return record_size::indicator_lights;
    case cmd::write_beads: return record_size::beads;
    case cmd::spectrum_frame: return record_size::spectrum_frame;
    case cmd::write_macro: return record_size::macro_group;
    case cmd::write_trigger_mode: return record_size::trigger_mode;
    default: return 0;
    }
}

bool keyboard_firmware::is_block_command(uint8_t c) { return c == cmd::firmware_image || block_length(c) != 0; }

packet::packet64 keyboard_firmware::single_reply(uint8_t command, std::span<const uint8_t> payload) {
    packet::packet64 p{};
    p[0] = packet::packet_type;
    p[packet::off_command] = command;
    if (!payload.empty())
        std::memcpy(&p[packet::off_block_data], payload.data(), std::min(payload.size(), packet::single_block_max));
    return p;
}

std::vector<packet::packet64> keyboard_firmware::record_reply(uint8_t command, unsigned sub,
                                                              std::span<const uint8_t> data) {
    if (data.size() <= packet::single_block_max) return {single_reply(command, data)};
    std::vector<packet::packet64> out;
    packet::segment_block(command, sub, data.data(), data.size(), [&](const packet::packet64& c) {
        out.push_back(c);
        return true;
    });
    return out;
}

packet::packet64 keyboard_firmware::status_reply(uint8_t s) {
    packet::packet64 p = single_reply(cmd::maintenance_status, {});
    p[off_status] = s;
    return p;
}

packet::packet64 keyboard_firmware::device_info_reply_locked() const {
    const std::string name = to_host_ansi(name_);
    // At most 24 bytes, never ending in the first half of a two-byte character.
    size_t n = 0;
    while (n < name.size()) {
        const size_t step = uint8_t(name[n]) >= 0x81 ? 2 : 1;
        if (n + step > info_name_max) break;
        n += step;
    }
    n = std::min(n, name.size());
    packet::packet64 p{};
    p[0] = packet::packet_type;
    p[packet::off_command] = cmd::device_info;
    std::memcpy(&p[off_info_name], name.data(), n);
    packet::write_u16(&p[off_info_version], firmware_version_);
    return p;
}

packet::packet64 keyboard_firmware::device_info_reply() const {
    std::lock_guard<std::mutex> g(lock_);
    return device_info_reply_locked();
}

std::string keyboard_firmware::name() const {
    std::lock_guard<std::mutex> g(lock_);
    return name_;
}

void keyboard_firmware::set_name(std::string name) {
    std::lock_guard<std::mutex> g(lock_);
    name_ = std::move(name);
}

uint16_t keyboard_firmware::firmware_version() const {
    std::lock_guard<std::mutex> g(lock_);
    return firmware_version_;
}

void keyboard_firmware::set_firmware_version(uint16_t version) {
    std::lock_guard<std::mutex> g(lock_);
    firmware_version_ = version;
}

std::vector<uint8_t> keyboard_firmware::record(uint8_t read_command, unsigned sub) const {
    std::lock_guard<std::mutex> g(lock_);
    const auto r = records_.find(read_command, sub);
    return {r.begin(), r.end()};
}

bool keyboard_firmware::set_record(uint8_t read_command, unsigned sub, std::span<const uint8_t> data) {
    std::lock_guard<std::mutex> g(lock_);
    auto r = records_.find(read_command, sub);
    if (r.empty() || r.size() != data.size()) return false;
    std::copy(data.begin(), data.end(), r.begin());
    return true;
}

bool keyboard_firmware::apply_value(uint8_t command, uint8_t sub, uint16_t value16, uint32_t value32) {
    std::lock_guard<std::mutex> g(lock_);
    return records_.store_short(command, sub, value16, value32);
}

void keyboard_firmware::restore_factory() {
    std::lock_guard<std::mutex> g(lock_);
    records_.restore_defaults();
    name_ = factory_name_;
}

std::vector<host_message> keyboard_firmware::messages() const {
    std::lock_guard<std::mutex> g(lock_);
    return log_;
}

void keyboard_firmware::clear_messages() {
    std::lock_guard<std::mutex> g(lock_);
    log_.clear();
}

keyboard_firmware::response keyboard_firmware::handle(const packet::packet64& p, uint32_t kind) {
    response out;
    if (packet::type_of(p.data()) != packet::packet_type) return out;
    const uint8_t c = packet::command_of(p.data());
    std::lock_guard<std::mutex> g(lock_);

    host_message m;
    m.command = c;
    if (packet::chunk_length_of(p.data()) != 0) {
        // A chunk of a long block: a first chunk starts a fresh block of the
        // announced size; anything out of order drops the partial block.
        if (packet::position_of(p.data()) == packet::first) {
            const uint32_t total = packet::total_length_of(p.data());
            if (total == 0 || total > image_length_max) return out;
            rebuilds_[c] = std::make_unique<data_rebuild>(total);
            rebuild_subs_[c] = packet::chunk_sub_of(p.data());
        }
        auto it = rebuilds_.find(c);
        if (it == rebuilds_.end()) return out;
        // Every chunk names the record it belongs to (a layer, a picture):
        // a chunk that names another one would store its bytes in the wrong
        // record, so the partial block is dropped.
        const int r = packet::chunk_sub_of(p.data()) == rebuild_subs_[c] ? it->second->add_chunk(p.data())
                                                                          : int(data_rebuild::error);
        if (r == data_rebuild::more) return out;
        if (r == data_rebuild::complete) {
            m.block = true;
            m.chunked = true;
            m.sub = packet::chunk_sub_of(p.data());
            m.data.assign(it->second->data(), it->second->data() + it->second->received());
        }
        rebuilds_.erase(it);
        if (r != data_rebuild::complete) return out;
    } else if (is_block_command(c)) {
        m.block = true;
        m.data.assign(p.begin() + packet::off_block_data, p.end());
    } else {
        m.sub = p[packet::off_sub];
        m.value16 = packet::read_u16(&p[packet::off_value16]);
        m.value32 = packet::read_u32(&p[packet::off_value32]);
    }
    // A demo keyboard runs for hours with a spectrum frame every 40 ms: keep
    // the newest messages only.
    if (log_.size() >= message_log_max) log_.erase(log_.begin(), log_.begin() + message_log_max / 2);
    log_.push_back(m);
    if (m.block) on_block(m, kind, out);
    else on_short(m, kind, out);
    return out;
}

void keyboard_firmware::on_short(const host_message& m, uint32_t kind, response& out) {
    const uint8_t c = m.command;
    if (c == cmd::device_info) {
        out.replies.push_back(device_info_reply_locked());
        return;
    }
    if (is_bootloader_kind(kind)) {
        switch (c) {
        case cmd::start_keyboard:
            // The USB bootloader starts the keyboard; the 2.4 GHz bootloader
            // starts the receiver.
            out.restart_as = kind == kind_rf_boot ? kind_rf_receiver : kind_usb;
            break;
        case cmd::factory_defaults:
            if (kind != kind_usb_boot) break;
            records_.restore_defaults();
            name_ = factory_name_;
            out.replies.push_back(status_reply(status::defaults_restored));
            break;
        case cmd::start_upgrade:
            if (stored_image_.empty()) break;
            if (kind == kind_usb_boot)
                firmware_version_ = packet::read_u16(&stored_image_[firmware::off_version]);
            stored_image_.clear();
            out.replies.push_back(status_reply(status::firmware_updated));
            break;
        default: break; // a bootloader holds no records
        }
        return;
    }
    if (!is_keyboard_kind(kind)) return;
    if (device_records::is_read_command(c)) {
        const auto r = records_.find(c, m.sub);
        if (!r.empty()) out.replies = record_reply(c, m.sub, r);
        return;
    }
    switch (c) {
    case cmd::start_bootloader:
        if (kind != kind_usb) break; // only over the cable
        transfer_prepared_ = false;
        out.restart_as = kind_usb_boot;
        break;
    case cmd::prepare_firmware:
        transfer_prepared_ = true;
        stored_image_.clear();
        out.replies.push_back(status_reply(status::ready_for_image));
        break;
    case cmd::start_upgrade:
        // Restarts in the same mode; a stored image becomes the running firmware.
        if (!stored_image_.empty()) firmware_version_ = packet::read_u16(&stored_image_[firmware::off_version]);
        stored_image_.clear();
        transfer_prepared_ = false;
        out.restart_as = kind;
        break;
    default: records_.store_short(c, uint8_t(m.sub), m.value16, m.value32); break;
    }
}

void keyboard_firmware::on_block(const host_message& m, uint32_t kind, response& out) {
    const uint8_t c = m.command;
    if (c == cmd::firmware_image) {
        on_firmware_image(m.data, kind, out);
        return;
    }
    if (c == cmd::rf_firmware_header) {
        if (kind == kind_rf_boot && m.data.size() >= record_size::rf_firmware_header)
            receiver_header_.assign(m.data.begin(), m.data.begin() + record_size::rf_firmware_header);
        return;
    }
    if (!is_keyboard_kind(kind)) return;
    // A chunked block must be exactly as long as its record; a single report
    // carries 56 bytes of which the record takes the first ones.
    const size_t length = block_length(c);
    if (m.chunked ? m.data.size() != length : length > packet::single_block_max) return;
    std::string new_name;
    if (records_.store_block(c, m.sub, m.data, &new_name) && c == cmd::write_name) name_ = new_name;
}

void keyboard_firmware::on_firmware_image(const std::vector<uint8_t>& data, uint32_t kind, response& out) {
    bool ok = false;
    if (kind == kind_rf_boot) {
        // The receiver's image is the payload alone; its header, sent just
        // before, tells the payload's length and CRC-8.
        ok = firmware::receiver_image_ok(receiver_header_, data);
        receiver_header_.clear();
    } else if (kind == kind_usb_boot || is_keyboard_kind(kind)) {
        // In keyboard mode an image is taken only after command 71 prepared
        // the transfer; one that comes unannounced is a data error.
        ok = (kind == kind_usb_boot || transfer_prepared_) && firmware::keyboard_image_ok(data);
    } else {
        return;
    }
    transfer_prepared_ = false;
    if (ok) stored_image_ = data;
    else stored_image_.clear();
    out.replies.push_back(status_reply(ok ? status::image_stored : status::data_error));
}

} // namespace qvk::sim
