// The main window's command exchange: sending with the connection and busy
// checks, taking replies off the link one per message and routing them by
// command, and the initial read that fills the tool's copy of the keyboard.

#include <QProgressBar>
#include <cstring>

#include "app/device_list.h"
#include "app/main_form.h"
#include "app/ui_batt_disp.h"
#include "layers/layer_state.h"
#include "lighting/led_state.h"
#include "link/link_kind.h"

namespace qvk {

namespace {

constexpr int read_progress_height = 5;

// The payload of a single-report reply.
const uint8_t* payload_of(const packet::packet64& p) { return p.data() + packet::off_block_data; }

template <size_t N>
void copy_payload(const packet::packet64& p, record_bytes<N>& to) {
    static_assert(N <= packet::packet_size - packet::off_block_data);
    std::memcpy(to.data(), payload_of(p), N);
}

template <size_t N>
void copy_record(const std::vector<uint8_t>& from, record_bytes<N>& to) {
    std::memcpy(to.data(), from.data(), std::min(N, from.size()));
}

// Stores a reassembled record into the slot its sub value names; a sub value
// beyond the slots stores nothing.
template <size_t N, size_t Count>
bool store_numbered(const std::vector<uint8_t>& from, uint32_t sub, std::array<record_bytes<N>, Count>& to) {
    if (sub >= Count) return false;
    copy_record(from, to[sub]);
    return true;
}

} // namespace

int Tmain_form::send_command(uint32_t command, uint8_t sub, uint16_t value16, uint32_t value32, uint8_t awaiting,
                             bool kick) {
    // Turning every light off also ends what streams to the lights: the
    // pages hear of it as of the keyboard's own report (sent or not, the
    // switch is already off in the lighting record).
    if (command == cmd::bkl_master_switch && sub == 0) notify_pages(cmd::bkl_master_switch, 0);
    if (command >= packet::command_limit || !ready_to_send()) return 1;
    set_busy(2, awaiting);
    return queued_or_refused(active_link_->queue_command(command, sub, value16, value32, kick));
}

int Tmain_form::send_block(uint32_t command, uint8_t sub, const uint8_t* data, uint32_t length, uint8_t awaiting,
                           bool kick) {
    if (length == 0 || !data || command >= packet::command_limit || !ready_to_send()) return 1;
    if (kick) set_busy(2, awaiting);
    // A block longer than the free part of the send queue (a firmware image)
    // is streamed: the link queues the rest as the queue drains.
    return queued_or_refused(active_link_->stream_block(command, sub, length, data, kick));
}

int Tmain_form::stream_command(uint32_t command, uint8_t sub, uint16_t value16, uint32_t value32) {
    if (command >= packet::command_limit || !active_link_ || !active_link_->is_running()) return 1;
    return active_link_->queue_command(command, sub, value16, value32, true) == 0 ? 0 : 1;
}

bool Tmain_form::send_stream(uint32_t command, const uint8_t* data, uint32_t length) {
    if (!active_link_ || !active_link_->is_running() || !data || length == 0) return false;
    return active_link_->queue_block(command, 0, length, data, true) == 0;
}

// A send needs a running link and nothing else in flight; the message says
// which is missing.
bool Tmain_form::ready_to_send() {
    if (!active_link_) {
        dialogs_->show_message(lng(txt::not_connected, text_not_connected));
        return false;
    }
    if (!active_link_->is_running()) {
        dialogs_->show_message(lng(txt::link_not_running, text_link_not_running));
        return false;
    }
    if (is_busy()) {
        dialogs_->show_message(lng(txt::link_busy, text_link_busy));
        return false;
    }
    return true;
}

int Tmain_form::queued_or_refused(int queue_result) {
    if (queue_result == 0) return 0;
    dialogs_->show_message(lng(txt::queue_failed, text_queue_failed));
    set_busy(1, 0);
    return 1;
}

void Tmain_form::request_battery_update() {
    if (!active_link_ || !active_link_->is_running()) return;
    const uint32_t kind = active_link_->get_kind();
    if (kind == kind_none || kind == kind_usb_boot) return;
    send_command(cmd::read_battery, 0, 0, 0, 0, true);
}

// ---------------------------------------------------------------- replies

void Tmain_form::on_report_queued() {
    if (!active_link_ || closing_ || active_link_->pending_replies() == 0) return;
    packet::packet64 p;
    if (active_link_->pop_reply(p.data())) return;
    if (is_keyboard_kind(active_link_->get_kind()))
        route_keyboard_reply(p);
    else if (is_bootloader_kind(active_link_->get_kind()))
        route_bootloader_reply(p);
}

void Tmain_form::route_bootloader_reply(const packet::packet64& p) {
    if (packet::command_of(p.data()) == cmd::maintenance_status) on_maintenance_status(p);
}

// Bootloaders and keyboards alike report maintenance steps with command 4;
// the firmware page acts on them.
void Tmain_form::on_maintenance_status(const packet::packet64& p) {
    set_busy(1, 0);
    copy_payload(p, records_->maintenance_status);
    notify_pages(cmd::maintenance_status, 0);
}

bool Tmain_form::reassemble(const packet::packet64& p, uint32_t capacity, std::vector<uint8_t>& record,
                            uint32_t& sub, bool& broke) {
    const int r = reassembly_.add(packet::command_of(p.data()), capacity, p.data(), record, sub);
    broke = r == data_rebuild::error;
    return r == data_rebuild::complete;
}

void Tmain_form::route_keyboard_reply(const packet::packet64& p) {
    keyboard_records& rec = *records_;
    std::vector<uint8_t> record;
    uint32_t sub = 0;
    bool broke = false;
    switch (packet::command_of(p.data())) {
    case cmd::maintenance_status: on_maintenance_status(p); break;
    case cmd::read_scan_params:
        copy_payload(p, rec.scan_params);
        mark_read_done(0);
        notify_pages(cmd::read_scan_params, 0);
        continue_initial_read();
        break;
    case cmd::read_ble_support:
        rec.ble_support = payload_of(p)[0];
        mark_read_done(1);
        notify_pages(cmd::read_ble_support, 0);
        continue_initial_read();
        break;
    case cmd::read_ble_params:
        if (reassemble(p, record_size::ble_params, record, sub, broke)) {
            copy_record(record, rec.ble_params);
            mark_read_done(2);
            notify_pages(cmd::read_ble_params, 0);
            continue_initial_read();
        }
        break;
    case cmd::read_layout:
        if (reassemble(p, record_size::kb_layout, record, sub, broke)) {
            copy_record(record, rec.kb_layout);
            mark_read_done(3);
            continue_initial_read();
        }
        break;
    case cmd::read_layer_state: on_layer_state(payload_of(p), cmd::read_layer_state, true); break;
    case cmd::layer_state_changed: on_layer_state(payload_of(p), cmd::layer_state_changed, false); break;
    case cmd::read_flayer:
        if (reassemble(p, record_size::flayer, record, sub, broke)) {
            if (pages_accept(cmd::read_flayer, sub) && store_numbered(record, sub, rec.flayers))
                rec.flayer_loaded[sub] = true;
            mark_read_done(5);
            notify_pages(cmd::read_flayer, sub);
            set_busy(1, 0);
            continue_initial_read();
        } else if (broke) {
            set_busy(1, 0);
        }
        break;
    case cmd::read_tlayer:
        if (reassemble(p, record_size::tlayer, record, sub, broke)) {
            if (pages_accept(cmd::read_tlayer, sub) && store_numbered(record, sub, rec.tlayers))
                rec.tlayer_loaded[sub] = true;
            mark_read_done(6);
            notify_pages(cmd::read_tlayer, sub);
            set_busy(1, 0);
            continue_initial_read();
        } else if (broke) {
            set_busy(1, 0);
        }
        break;
    case cmd::read_lighting:
        if (reassemble(p, record_size::lighting, record, sub, broke)) {
            copy_record(record, rec.lighting);
            mark_read_done(7);
            notify_pages(cmd::read_lighting, 0);
            continue_initial_read();
        } else if (broke && !is_read_done(7)) {
            // A lighting record that does not reassemble leaves the copy as
            // it was; the read goes on so that the pages do not stay locked
            // until the keyboard is disconnected. The rest of the broken
            // reply breaks again and is dropped.
            mark_read_done(7);
            continue_initial_read();
        }
        break;
    case cmd::read_indicator_actions:
        copy_payload(p, rec.indicator_actions);
        mark_read_done(8);
        continue_initial_read();
        break;
    case cmd::read_battery:
        set_busy(1, 0);
        if (batt_) batt_->update_from_reply(payload_of(p));
        break;
    // Backlight values the keyboard reports are kept in the lighting record
    // at once, whether or not the backlight page exists: a page opened
    // later must edit the effect the keyboard runs.
    case cmd::bkl_driver_current:
        copy_payload(p, rec.bkl_driver_current);
        rec.lighting[led::off_driver_current] = p[packet::off_sub];
        notify_pages(cmd::bkl_driver_current, p[packet::off_sub]);
        break;
    case cmd::bkl_effect:
        copy_payload(p, rec.bkl_effect);
        rec.lighting[led::off_effect] = p[packet::off_sub];
        notify_pages(cmd::bkl_effect, p[packet::off_sub]);
        break;
    case cmd::bkl_speed:
        copy_payload(p, rec.bkl_speed);
        led::set_current_speed(rec.lighting.data(), packet::read_u16(p.data() + packet::off_value16));
        notify_pages(cmd::bkl_speed, p[packet::off_sub]);
        break;
    case cmd::bkl_master_switch:
        copy_payload(p, rec.bkl_master_switch);
        rec.lighting[led::off_master] = p[packet::off_sub];
        notify_pages(cmd::bkl_master_switch, p[packet::off_sub]);
        break;
    case cmd::read_custom_picture:
        if (reassemble(p, record_size::custom_picture, record, sub, broke)) {
            set_busy(1, 0);
            if (sub < record_size::custom_picture_count) {
                copy_record(record, rec.custom_picture);
                rec.custom_picture_number = sub;
                notify_pages(cmd::read_custom_picture, sub);
            }
        } else if (broke) {
            set_busy(1, 0);
        }
        break;
    case cmd::rhythm_state:
        // Switching the rhythm on or over brings the music page into being.
        copy_payload(p, rec.rhythm_state);
        if (p[packet::off_sub] != 0) ensure_page(c_music_spectrum);
        notify_pages(cmd::rhythm_state, p[packet::off_sub]);
        break;
    case cmd::read_macro:
        if (reassemble(p, record_size::macro_group, record, sub, broke)) {
            // A group beyond the 100 is dropped; any other is stored, and
            // the page shows it if it is the selected one.
            const bool stored = store_numbered(record, sub, rec.macros);
            if (stored) rec.macro_loaded[sub] = true;
            set_busy(1, 0);
            if (stored) notify_pages(cmd::read_macro, sub);
        } else if (broke) {
            set_busy(1, 0);
        }
        break;
    case cmd::read_trigger_mode:
        copy_payload(p, rec.trigger_mode);
        notify_pages(cmd::read_trigger_mode, 0);
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- initial read

void Tmain_form::continue_initial_read() {
    if (!active_link_) return;
    if (is_bootloader_kind(active_link_->get_kind())) {
        // A bootloader has no configuration to read.
        set_task_busy(false);
        return;
    }
    const unsigned step = initial_read_.first_missing();
    if (step >= initial_read_step_count) {
        hide_read_progress();
        if (initial_read_.finished) return;
        initial_read_.finished = true;
        set_task_busy(false);
        for (auto& page : pages_)
            if (page) page->initial_read_finished();
        request_battery_update();
        return;
    }
    initial_read_.finished = false;
    if (!active_link_->is_running()) return;
    show_read_progress(step);
    const uint8_t* state = records_->layer_state.data();
    const uint8_t sub =
        initial_read_sub(step, state[layer_state::off_default_flayer], state[layer_state::off_active_tlayer]);
    active_link_->queue_command(initial_read_steps[step].command, sub, 0, 0, true);
}

void Tmain_form::clear_read_state() {
    initial_read_.clear();
    reassembly_.clear();
    records_->flayer_loaded.fill(false);
    records_->tlayer_loaded.fill(false);
    // The groups themselves are kept; the flags say what this keyboard sent.
    records_->macro_loaded.fill(false);
}

void Tmain_form::show_read_progress(unsigned step) {
    if (!active_link_ || !detector_ || current_index_ >= hid_detect_dev::max_entries) return;
    const QLabel* pic = device_list_->picture(current_index_);
    const QLabel* label = device_list_->label(current_index_);
    if (!pic || !label || pic->isHidden() || label->isHidden()) return;
    if (!read_progress_placed_) {
        read_progress_bar_->setGeometry(pic->x(), label->y() + label->height(), pic->width(),
                                           int(float(read_progress_height) * dpi_.scale));
        read_progress_bar_->setRange(0, int(initial_read_step_count));
        read_progress_placed_ = true;
    }
    read_progress_bar_->setValue(int(step) + 1);
    read_progress_bar_->show();
}

void Tmain_form::hide_read_progress() {
    read_progress_bar_->hide();
    read_progress_bar_->setValue(0);
    read_progress_placed_ = false;
}

// ---------------------------------------------------------------- link messages

void Tmain_form::on_send_done(uintptr_t wparam) {
    // While the found devices are asked for their names, the probe link's
    // news leaves the busy state alone: the list becomes idle when every
    // device has answered (a failed write ends in a lost link anyway).
    if (!active_link_ && probe_link_) return;
    if (!active_link_ || active_link_->get_kind() == kind_none) {
        set_task_busy(false);
        return;
    }
    if (wparam == 0) {
        // Written empty before something else was queued: that later send
        // ends the busy state when its own last report has left.
        if (active_link_->pending_sends() != 0) return;
        set_busy(0, 0);
        // The last report of a transfer ends it without a progress message;
        // its count completes the progress shown.
        on_send_progress(intptr_t(active_link_->sent_count()));
    } else {
        set_task_busy(false);
        dialogs_->show_message(lng(txt::send_error, text_send_error));
    }
}

// Write progress of a long transfer; only the firmware page shows it.
void Tmain_form::on_send_progress(intptr_t reports_sent) {
    for (auto& page : pages_)
        if (page) page->send_progress(reports_sent);
}

void Tmain_form::reset_sent_count() {
    if (active_link_) active_link_->reset_sent_count(0);
}

} // namespace qvk
