// The main window's device list: probing the found interfaces for their
// names, the entries, connecting and disconnecting, the title, the refresh
// button and what happens when a link is lost.

#include <QAction>
#include <QCheckBox>
#include <QProgressBar>
#include <QStackedWidget>
#include <QThread>
#include <QTimer>

#include "app/device_list.h"
#include "app/link_event.h"
#include "app/main_form.h"
#include "ui/key_cap_pictures.h"
#include "app/ui_batt_disp.h"
#include "common/text_format.h"
#include "link/link_kind.h"

namespace qvk {

QString Tmain_form::device_name(uint32_t i) const {
    return i < hid_detect_dev::max_entries ? device_names_[i] : QString();
}

uint16_t Tmain_form::device_version(uint32_t i) const {
    return i < hid_detect_dev::max_entries ? device_versions_[i] : 0;
}

void Tmain_form::start_detection(int interval_ms) { timer_detect_hid_device_->start(interval_ms); }

void Tmain_form::timer_detect_hid_deviceTimer() {
    timer_detect_hid_device_->setInterval(timing::detect_interval_ms);
    timer_detect_hid_device_->stop();
    // Searching rebuilds the device table, whose indices the connection
    // and the list rely on: only while nothing is connected.
    if (active_link_) return;
    if (!detector_)
        detector_ = std::make_unique<hid_detect_dev>(*opts_.bus);
    else
        detector_->reset();
    detector_->search();
    set_task_busy(true);
    if (detector_->count() > 0)
        probe_next(true);
    else
        timer_detect_hid_device_->start();
}

void Tmain_form::probe_next(bool restart) {
    if (restart) probe_index_ = 0;
    if (!detector_) return;
    while (probe_index_ < detector_->count() && detector_->kind_of(probe_index_) == kind_none) ++probe_index_;
    if (probe_index_ < detector_->count()) {
        probe_link_.reset();
        probe_link_ = std::make_unique<hidconnect>(sink_.get(), detector_->kind_of(probe_index_), probe_index_,
                                                   detector_->open_path_of(probe_index_), *opts_.bus);
        if (probe_link_->is_open() && !probe_link_->start()) {
            QThread::msleep(timing::probe_pause_ms);
            probe_link_->queue_command(hidconnect::command_device_info, 0, 0, 0, true);
            timer_probe_timeout_->start(probe_timeout_ms_);
            return;
        }
        // The interface went away between the search and the probe.
        stop_probing_and_search_again();
        return;
    }
    probe_index_ = 0;
    probe_link_.reset();
    timer_probe_timeout_->stop();
    draw_list();
    // The list is complete and nothing talks to a keyboard: the list can be
    // refreshed and its devices connected.
    set_task_busy(false);
    if (detector_->count() == 1 && auto_connect_box_->isChecked() && connect_device(0))
        dialogs_->show_message(lng(txt::connect_failed, text_connect_failed));
}

void Tmain_form::on_device_info(uint32_t index) {
    if (!probe_link_) return;
    if (index < hid_detect_dev::max_entries) {
        timer_probe_timeout_->stop();
        device_names_[index] = QString::fromStdString(probe_link_->device_name());
        device_versions_[index] = uint16_t(probe_link_->get_firmware_version());
        ++probe_index_;
        probe_next(false);
    }
}

// A probed device that never tells its name would leave the list empty and
// the tool busy for good; searching again finds it once it answers, and
// finds the others meanwhile only when it is gone.
void Tmain_form::on_probe_timeout() {
    if (probe_link_) stop_probing_and_search_again();
}

void Tmain_form::stop_probing_and_search_again() {
    timer_probe_timeout_->stop();
    probe_index_ = 0;
    probe_link_.reset();
    set_task_busy(false);
    start_detection(timing::search_again_ms);
}

bool Tmain_form::connect_device(uint32_t index) {
    if (!detector_ || index >= detector_->count() || detector_->kind_of(index) == kind_none || active_link_)
        return true;
    timer_detect_hid_device_->stop();
    current_index_ = index;
    active_link_ = std::make_unique<hidconnect>(sink_.get(), detector_->kind_of(index), index,
                                                detector_->open_path_of(index), *opts_.bus);
    if (active_link_->is_open() && !active_link_->start()) {
        draw_entry(index, true);
        set_title(index, true);
        set_task_busy(true);
        continue_initial_read();
        return false;
    }
    active_link_.reset();
    current_index_ = hid_detect_dev::max_entries;
    return true;
}

void Tmain_form::disconnect_device() {
    hide_read_progress();
    if (!active_link_) return;
    active_link_.reset();
    draw_entry(current_index_, false);
    set_title(current_index_, false);
    current_index_ = hid_detect_dev::max_entries;
    clear_read_state();
    set_task_busy(false);
    if (batt_) batt_->update(0, 0.0);
}

void Tmain_form::draw_entry(uint32_t index, bool connected) {
    if (!detector_ || index >= hid_detect_dev::max_entries) return;
    const uint32_t kind = detector_->kind_of(index);
    device_list_view::entry_text text;
    const QString& name = device_names_[index];
    text.caption = name + QString::fromLatin1(kind_list_tag(kind));
    const uint16_t v = device_versions_[index];
    text.hint = name +
                QString::fromStdString(format_template(" [FW:%u.%u] ", {int64_t(v >> 8), int64_t(v & 0xFF)})) +
                (connected ? lng(txt::entry_connected, text_entry_connected)
                           : lng(txt::entry_not_connected, text_entry_not_connected));
    device_list_->draw_entry(index, kind, connected, text, dpi_.scale);
}

void Tmain_form::draw_list() {
    for (uint32_t i = 0; i < hid_detect_dev::max_entries; ++i) {
        if (detector_ && detector_->kind_of(i) != kind_none)
            draw_entry(i, false);
        else
            device_list_->hide_entry(i);
    }
}

void Tmain_form::device_picture_double_click(uint32_t index) {
    // While the found devices are being asked for their names the list is
    // about to be redrawn; a connection made now would be drawn over.
    if (probe_link_) return;
    if (index == current_index_ && active_link_) {
        teardown_pages();
        disconnect_device();
        return;
    }
    if (active_link_) {
        teardown_pages();
        disconnect_device();
    }
    if (connect_device(index)) dialogs_->show_message(lng(txt::connect_failed, text_connect_failed_keyboard_list));
}

void Tmain_form::BitBtn1Click() {
    if (is_task_busy()) return;
    clear_read_state();
    teardown_pages();
    disconnect_device();
    timer_probe_timeout_->stop();
    probe_link_.reset();
    if (detector_) detector_->reset();
    draw_list();
    start_detection(timing::redetect_interval_ms);
}

// The pages that hold data of the connected keyboard go with it.
void Tmain_form::teardown_pages() {
    // Later pages may hold pointers into earlier ones' widgets: last first.
    for (auto it = pages_.rbegin(); it != pages_.rend(); ++it) it->reset();
}

void Tmain_form::set_title(uint32_t index, bool connected) {
    const QString t = QString::fromUtf8(app_title);
    if (index >= hid_detect_dev::max_entries) {
        setWindowTitle(t + QStringLiteral("--->([!device_id_error])"));
        return;
    }
    if (!connected) {
        setWindowTitle(t + QStringLiteral("--->([!Disconnected])"));
        return;
    }
    const QString& name = device_names_[index];
    if (name.isEmpty()) {
        setWindowTitle(t + QStringLiteral("--->([!no name])"));
        return;
    }
    const uint32_t kind = active_link_ ? active_link_->get_kind() : (detector_ ? detector_->kind_of(index) : 0);
    setWindowTitle(t + QStringLiteral("--->(") + name + QString::fromLatin1(kind_title_tag(kind)) + QStringLiteral(")"));
}

void Tmain_form::on_link_lost(uint32_t index) {
    // A link that is already gone (replaced by a connection to another
    // device before its last message arrived) says nothing about the link
    // in use now.
    const bool active = active_link_ && active_link_->device_index() == index;
    const bool probing = probe_link_ && probe_link_->device_index() == index;
    if (!active && !probing) return;
    disconnect_device();
    if (detector_) detector_->forget(index);
    if (probe_link_ && probe_link_->device_index() == index) {
        timer_probe_timeout_->stop();
        probe_link_.reset();
    }
    draw_list();
    page_label_->setText(actions_.at(QStringLiteral("device_list"))->text());
    card_panel_->setCurrentIndex(c_device_list);
    teardown_pages();
    start_detection(timing::redetect_interval_ms);
}

} // namespace qvk
