#include "lighting/ambient_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>

#include "common/ini_file.h"
#include "layers/kb_layout.h"
#include "lighting/ambient_texts.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "ui/colour_swatch.h"
#include "ui/dialogs.h"
#include "ui/page_host.h"
#include "ui/selector_strip.h"
#include "ui/toggle_switch.h"
#include "ui/value_bar.h"

namespace qvk {

namespace {

using namespace ambient_text;

constexpr int volume_poll_ms = 200;
constexpr QRgb group_cell_colour = 0x06B025;
constexpr const char* volume_section = "DispSysVolume";
constexpr const char* volume_key = "Enable";

// Design positions at scale 1.
constexpr int margin = 20;
constexpr int column_width = 360;
constexpr int column_gap = 20;
constexpr int full_width = 2 * column_width + column_gap;
constexpr int label_height = 22;
constexpr int long_label_height = 40;

} // namespace

Tled_bkl_ws_edit_frame::Tled_bkl_ws_edit_frame(page_host& host, QWidget* canvas)
    : keyboard_page(host), canvas_(canvas) {
    build_controls();
    apply_texts();
    // Created by the lighting record during the read after connecting, the
    // page starts once that read has finished.
    if (host.initial_read_finished()) start();
}

Tled_bkl_ws_edit_frame::~Tled_bkl_ws_edit_frame() {
    *alive_ = false;
    volume_timer_->stop();
    volume_reader_.reset();
    root_.reset();
    canvas_->setMinimumSize(0, 0);
}

uint8_t* Tled_bkl_ws_edit_frame::led_state() { return host().records().lighting.data(); }
uint8_t* Tled_bkl_ws_edit_frame::current() { return ambient::group(led_state(), cur_group_); }

// ---------------------------------------------------------------- controls

void Tled_bkl_ws_edit_frame::build_controls() {
    const float s = host().scale();
    auto at = [s](int v) { return int(float(v) * s); };
    root_ = std::make_unique<QWidget>(canvas_);
    QWidget* r = root_.get();

    auto label = [&](int i, int x, int y, int w, int h) {
        auto* l = new QLabel(r);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->setWordWrap(true);
        l->setGeometry(at(x), at(y), at(w), at(h));
        labels_[size_t(i)] = l;
    };
    int y = 10;
    label(0, margin, y, full_width, long_label_height);
    y += long_label_height + 4;

    icon_group_select_ = new selector_strip(r);
    icon_group_select_->setObjectName(QStringLiteral("icon_group_select"));
    icon_group_select_->set_cells({"0", "1", "2", "3", "4", "5"});
    icon_group_select_->set_cell_colour(group_cell_colour);
    icon_group_select_->place(at(margin), at(y), at(6 * 50 + 4), at(34));
    icon_group_select_->on_select = [this](int g) { icon_group_select_choose(unsigned(g)); };
    y += 34 + 10;

    label(1, margin, y, full_width, label_height);
    y += label_height + 2;
    group_switch_ = new toggle_switch(r);
    group_switch_->setObjectName(QStringLiteral("ToggleSwitch1"));
    group_switch_->setGeometry(at(margin), at(y), at(90), at(26));
    QObject::connect(group_switch_, &QAbstractButton::clicked, &deferred_, [this](bool on) { ToggleSwitch1Click(on); });
    y += 26 + 12;

    label(2, margin, y, full_width, long_label_height);
    y += long_label_height + 4;
    label(3, margin, y, column_width, label_height);
    label(4, margin + column_width + column_gap, y, column_width, label_height);
    y += label_height + 2;
    auto list = [&](const char* name, int x) {
        auto* l = new QListWidget(r);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(at(x), at(y), at(column_width), at(220));
        return l;
    };
    led_list_ = list("led_list", margin);
    user_leds_list_ = list("user_leds_list", margin + column_width + column_gap);
    QObject::connect(led_list_, &QListWidget::itemDoubleClicked, &deferred_,
                     [this](QListWidgetItem* it) { led_listDblClick(led_list_->row(it)); });
    QObject::connect(user_leds_list_, &QListWidget::itemDoubleClicked, &deferred_,
                     [this](QListWidgetItem* it) { user_leds_listDblClick(user_leds_list_->row(it)); });
    y += 220 + 10;

    label(5, margin, y, full_width, label_height);
    y += label_height + 2;
    effect_group_ = new QButtonGroup(r);
    for (unsigned e = 0; e < ambient::effect_count; ++e) {
        auto* b = new QRadioButton(r);
        b->setObjectName(QStringLiteral("RadioButton%1").arg(e + 1));
        b->setGeometry(at(margin + int(e % 5) * 148), at(y + int(e / 5) * 26), at(146), at(24));
        effect_group_->addButton(b, int(e));
        effect_buttons_[e] = b;
    }
    QObject::connect(effect_group_, &QButtonGroup::idClicked, &deferred_, [this](int e) {
        current()[ambient::off_effect] = uint8_t(e);
    });
    y += 2 * 26 + 10;

    label(6, margin, y, full_width, label_height);
    y += label_height + 2;
    icon_speed_ = new value_bar(r);
    icon_speed_->setObjectName(QStringLiteral("icon_speed"));
    icon_speed_->setGeometry(at(margin), at(y), at(500), at(30));
    icon_speed_->on_press = [this](int x) {
        if (!icon_speed_->active()) return false;
        speed_from(x);
        return true;
    };
    icon_speed_->on_drag = [this](int x) { speed_from(x); };
    y += 30 + 10;

    label(7, margin, y, full_width, label_height);
    y += label_height + 2;
    for (unsigned t = 0; t < ambient::colour_count; ++t) {
        auto* sw = new colour_swatch(r);
        sw->setObjectName(QStringLiteral("Image%1").arg(t + 1));
        sw->setGeometry(at(margin + int(t) * 50), at(y), at(40), at(40));
        sw->on_click = [this, t](Qt::MouseButton b) {
            // The colour dialog runs its own event loop: it opens once the
            // click has been handled.
            QTimer::singleShot(0, &deferred_, [this, t, b] {
                if (host().closing()) return;
                const std::shared_ptr<bool> alive = alive_;
                if (swatches_[t]->pick(b, host().dialogs()) && *alive) store_colour(t);
            });
        };
        swatches_[t] = sw;
    }
    y += 40 + 14;

    save_button_ = new QPushButton(r);
    save_button_->setObjectName(QStringLiteral("Button1"));
    save_button_->setGeometry(at(margin), at(y), at(220), at(32));
    QObject::connect(save_button_, &QPushButton::clicked, &deferred_, [this] { Button1Click(); });
    volume_box_ = new QCheckBox(r);
    volume_box_->setObjectName(QStringLiteral("CheckBox1"));
    volume_box_->setGeometry(at(margin + 240), at(y), at(column_width + 140), at(32));
    QObject::connect(volume_box_, &QCheckBox::toggled, &deferred_, [this] { CheckBox1Click(); });
    y += 32 + 12;

    volume_timer_ = new QTimer(r);
    volume_timer_->setObjectName(QStringLiteral("Timer1"));
    volume_timer_->setInterval(volume_poll_ms);
    QObject::connect(volume_timer_, &QTimer::timeout, &deferred_, [this] { Timer1Timer(); });

    root_->setGeometry(0, 0, at(margin + full_width + margin), at(y));
    root_->show();
    canvas_->setMinimumSize(root_->size());
}

QRadioButton* Tled_bkl_ws_edit_frame::effect_button(unsigned effect) const {
    return effect < effect_buttons_.size() ? effect_buttons_[effect] : nullptr;
}
colour_swatch* Tled_bkl_ws_edit_frame::swatch(unsigned t) const {
    return t < swatches_.size() ? swatches_[t] : nullptr;
}

void Tled_bkl_ws_edit_frame::apply_texts() {
    for (size_t i = 0; i < labels_.size(); ++i) {
        const QString t = host().lng(ambient_text::labels[i].id, ambient_text::labels[i].text);
        labels_[i]->setText(t);
        labels_[i]->setToolTip(t);
    }
    icon_group_select_->setToolTip(host().lng(group_strip_hint.id, group_strip_hint.text));
    led_list_->setToolTip(QString::fromUtf8(group_list_hint));
    user_leds_list_->setToolTip(QString::fromUtf8(all_lights_hint));
    for (unsigned e = 0; e < ambient::effect_count; ++e)
        effect_buttons_[e]->setText(host().lng(effects[e].id, effects[e].text));
    save_button_->setText(host().lng(save_group.id, save_group.text));
    volume_box_->setText(host().lng(show_volume.id, show_volume.text));
    if (started_) {
        fill_all_lights();
        show_group_lights();
        show_speed();
    }
}

// ---------------------------------------------------------------- creation and opening

void Tled_bkl_ws_edit_frame::start() {
    if (started_) return;
    started_ = true;
    fill_all_lights();
    show_group();
    // The volume display comes on with the connection when the settings
    // file says so; the first change it sees is then not sent.
    // The box starts unticked, so only a ticked setting changes it (and
    // only a change is handled).
    if (ini_file(host().settings_file()).read_int(volume_section, volume_key, 0) != 0) set_volume_box(true);
    if (volume_box_->isChecked()) follower_.skip_next_change();
}

void Tled_bkl_ws_edit_frame::initial_read_finished() { start(); }

void Tled_bkl_ws_edit_frame::open(int) {
    if (!started_) {
        start();
        return;
    }
    fill_all_lights();
    show_group();
}

void Tled_bkl_ws_edit_frame::record_arrived(uint32_t command, uint32_t sub) {
    if (command == cmd::bkl_master_switch && sub == 0) master_switched_off();
}

// ---------------------------------------------------------------- the lists

QString Tled_bkl_ws_edit_frame::driver_text(const ambient_light& l) {
    if (l.led.is_bead())
        return fill(host().lng(bead_driver.id, bead_driver.text),
                    {int64_t(l.led.chain_pos()), int64_t(led::bead_brightness(led_state(), l.led.chain_pos()))});
    return fill(QString::fromLatin1(matrix_driver), {int64_t(l.led.x()), int64_t(l.led.y())});
}

QString Tled_bkl_ws_edit_frame::all_lights_line(const ambient_light& l) {
    if (l.in_group)
        return fill(host().lng(light_in_group.id, light_in_group.text),
                    {int64_t(l.number), driver_text(l).toStdString(), int64_t(l.group)});
    return fill(host().lng(light_free.id, light_free.text), {int64_t(l.number), driver_text(l).toStdString()});
}

void Tled_bkl_ws_edit_frame::fill_all_lights() {
    lights_ = ambient_lights(host().records().kb_layout.data());
    ambient::mark_grouped(lights_, led_state());
    const int keep = user_leds_list_->currentRow();
    user_leds_list_->clear();
    for (const ambient_light& l : lights_) user_leds_list_->addItem(all_lights_line(l));
    if (keep >= 0 && keep < user_leds_list_->count()) user_leds_list_->setCurrentRow(keep);
}

// A group whose count names more than 32 lights is damaged: the page keeps
// the list it last had for that group (empty at first) rather than read
// beyond the group's 32 places.
void Tled_bkl_ws_edit_frame::show_group_lights() {
    lists_[cur_group_].rebuild(current(), lights_);
    const ambient::group_list& list = lists_[cur_group_];
    led_list_->clear();
    for (unsigned k = 0; k < list.count(); ++k)
        led_list_->addItem(fill(host().lng(light_line.id, light_line.text),
                                {int64_t(list.at(k).number), driver_text(list.at(k)).toStdString()}));
}

void Tled_bkl_ws_edit_frame::show_group() {
    const uint8_t* grp = current();
    icon_group_select_->set_selected(int(cur_group_));
    // A stored effect beyond the ten buttons checks none of them.
    const unsigned effect = grp[ambient::off_effect];
    effect_group_->setExclusive(false);
    for (unsigned e = 0; e < ambient::effect_count; ++e) effect_buttons_[e]->setChecked(e == effect);
    effect_group_->setExclusive(true);
    group_switch_->setChecked(ambient::switched_on(grp));
    show_speed();
    for (unsigned t = 0; t < ambient::colour_count; ++t) swatches_[t]->set_colour(ambient::custom_colour(grp, t));
    show_group_lights();
}

void Tled_bkl_ws_edit_frame::user_leds_listDblClick(int line) {
    if (line < 0 || size_t(line) >= lights_.size() || user_leds_list_->currentRow() != line) return;
    ambient_light& l = lights_[size_t(line)];
    ambient::group_list& list = lists_[cur_group_];
    if (!list.add(l, cur_group_)) return;
    led_list_->addItem(
        fill(host().lng(light_line.id, light_line.text), {int64_t(l.number), driver_text(l).toStdString()}));
    user_leds_list_->item(line)->setText(all_lights_line(l));
    list.write_back(current());
}

void Tled_bkl_ws_edit_frame::led_listDblClick(int line) {
    ambient::group_list& list = lists_[cur_group_];
    if (line < 0 || unsigned(line) >= list.count()) return;
    const unsigned u = list.at(unsigned(line)).number;
    list.remove(unsigned(line), lights_);
    delete led_list_->takeItem(line);
    if (u < lights_.size()) user_leds_list_->item(int(u))->setText(all_lights_line(lights_[u]));
    list.write_back(current());
}

// ---------------------------------------------------------------- group settings

void Tled_bkl_ws_edit_frame::icon_group_select_choose(unsigned g) {
    if (g >= led::ambient_group_count || g == cur_group_) return;
    // The group left behind goes to the keyboard, changed or not; a refused
    // send does not keep the user in it.
    send_group();
    cur_group_ = g;
    show_group();
}

void Tled_bkl_ws_edit_frame::Button1Click() { send_group(); }

void Tled_bkl_ws_edit_frame::send_group() {
    host().send_block(cmd::write_ambient_group, uint8_t(cur_group_), current(), record_size::ambient_group, 0, true);
}

void Tled_bkl_ws_edit_frame::ToggleSwitch1Click(bool on) {
    if (host().records().kb_layout[layout::off_present] == 0) {
        group_switch_->setChecked(false);
        return;
    }
    ambient::set_switched_on(current(), on);
}

void Tled_bkl_ws_edit_frame::show_speed() {
    const uint8_t* grp = current();
    const unsigned speed = grp[ambient::off_speed], lo = grp[ambient::off_speed_min], hi = grp[ambient::off_speed_max];
    const bool enabled = lo != 0 || hi != 0;
    icon_speed_->set_active(enabled);
    if (!enabled) {
        icon_speed_->set_fill(0);
        icon_speed_->set_text(host().lng(nothing_adjustable.id, nothing_adjustable.text));
        return;
    }
    icon_speed_->set_fill(ambient::speed_fill(speed, lo, hi, icon_speed_->width()));
    icon_speed_->set_text(fill(host().lng(bar_range.id, bar_range.text), {int64_t(lo), int64_t(hi), int64_t(speed)}));
}

void Tled_bkl_ws_edit_frame::speed_from(int x) {
    const int w = icon_speed_->width();
    if (x < 2 || x > w - 2) return;
    uint8_t* grp = current();
    const unsigned lo = grp[ambient::off_speed_min], hi = grp[ambient::off_speed_max];
    const unsigned speed = std::min(255u, ambient::speed_at(x, w, lo, hi));
    grp[ambient::off_speed] = uint8_t(speed);
    icon_speed_->set_fill(x - 1);
    icon_speed_->set_text(fill(host().lng(bar_range.id, bar_range.text), {int64_t(lo), int64_t(hi), int64_t(speed)}));
}

void Tled_bkl_ws_edit_frame::store_colour(unsigned t) {
    ambient::set_custom_colour(current(), t, swatches_[t]->colour());
}

// ---------------------------------------------------------------- system volume

void Tled_bkl_ws_edit_frame::set_volume_box(bool checked) {
    {
        const QSignalBlocker quiet(volume_box_);
        volume_box_->setChecked(checked);
    }
    CheckBox1Click();
}

void Tled_bkl_ws_edit_frame::CheckBox1Click() {
    if (!led::master_on(led_state())) {
        const QSignalBlocker quiet(volume_box_);
        volume_box_->setChecked(false);
        return;
    }
    if (volume_box_->isChecked()) {
        volume_reader_ = make_volume_source();
        if (volume_reader_->open()) {
            volume_timer_->start();
        } else {
            stop_volume_reader();
            {
                const QSignalBlocker quiet(volume_box_);
                volume_box_->setChecked(false);
            }
            save_volume_setting();
            host().dialogs().show_message(host().lng(audio_failed.id, audio_failed.text));
            return;
        }
    } else {
        stop_volume_reader();
    }
    save_volume_setting();
}

void Tled_bkl_ws_edit_frame::stop_volume_reader() {
    volume_timer_->stop();
    follower_.forget();
    volume_reader_.reset();
}

void Tled_bkl_ws_edit_frame::save_volume_setting() {
    ini_file(host().settings_file()).write_int(volume_section, volume_key, volume_box_->isChecked() ? 1 : 0);
}

void Tled_bkl_ws_edit_frame::Timer1Timer() {
    if (!volume_reader_ || !led::master_on(led_state())) {
        // The box stays ticked; the display resumes when it is ticked again.
        volume_timer_->stop();
        volume_reader_.reset();
        return;
    }
    volume_reader_->refresh();
    const int v = follower_.poll(volume_reader_->level());
    // Only while the lights are on and over USB or Bluetooth LE.
    if (v >= 0 && stream_allowed(led_state(), host().link_kind()))
        host().stream_command(cmd::system_volume, uint8_t(v), 0, 0);
}

void Tled_bkl_ws_edit_frame::master_switched_off() {
    {
        const QSignalBlocker quiet(volume_box_);
        volume_box_->setChecked(false);
    }
    stop_volume_reader();
}

} // namespace qvk
