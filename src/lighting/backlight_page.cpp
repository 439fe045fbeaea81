#include "lighting/backlight_page.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include "layers/kb_layout.h"
#include "lighting/backlight_values.h"
#include "lighting/lighting_texts.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "ui/page_host.h"
#include "ui/selector_strip.h"
#include "ui/toggle_switch.h"
#include "ui/value_bar.h"

namespace qvk {

namespace {

namespace txt = lighting_text;

// Design sizes at scale 1.
constexpr int left = 16;
constexpr int page_width = 760;
constexpr int bar_height = 26;
constexpr int strip_height = 64;
constexpr int label_gap = 4;
constexpr int block_gap = 14;
constexpr int switch_width = 90;
constexpr int switch_height = 26;
constexpr int combo_width = 80;

constexpr QRgb channel_fills[4] = {0xFF8C1A, 0xFF0000, 0x00FF00, 0x0000FF};
constexpr QRgb builtin_cell = 0x068825;
constexpr QRgb custom_cell = 0x506425;

const char* const bar_names[4] = {"icon_led_driver_current", "icon_led_logic_ch_r", "icon_led_logic_ch_g",
                                  "icon_led_logic_ch_b"};

} // namespace

Tled_bkl_edit_frame::Tled_bkl_edit_frame(page_host& host, QWidget* canvas) : keyboard_page(host), canvas_(canvas) {
    const float s = host.scale();
    auto px = [s](int v) { return int(float(v) * s); };
    const int width = px(page_width);
    send_timer_ = new QTimer(canvas_);
    send_timer_->setInterval(2);
    QObject::connect(send_timer_, &QTimer::timeout, send_timer_, [this] { send_waiting(); });

    for (size_t i = 0; i < labels_.size(); ++i) {
        labels_[i] = new QLabel(canvas_);
        labels_[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        labels_[i]->setWordWrap(true);
    }
    master_switch_ = new toggle_switch(canvas_);
    master_switch_->setObjectName(QStringLiteral("ToggleSwitch1"));
    QObject::connect(master_switch_, &QAbstractButton::clicked, master_switch_, [this](bool on) { master_toggled(on); });
    for (int t = 0; t < 4; ++t) {
        auto* b = new value_bar(canvas_);
        b->setObjectName(QString::fromLatin1(bar_names[t]));
        b->set_fill_colour(channel_fills[t]);
        if (t == backlight::type_green) b->set_text_colour_over_fill(0x000000);
        b->on_press = [this, t](int x) { return brightness_press(t, x); };
        b->on_drag = [this, t](int x) { brightness_drag(t, x); };
        b->on_release = [this, t](Qt::MouseButton button, int) { brightness_release(t, button); };
        brightness_bars_[size_t(t)] = b;
    }
    icon_bkl_eff_select_ = new selector_strip(canvas_);
    icon_bkl_eff_select_->setObjectName(QStringLiteral("icon_bkl_eff_select"));
    icon_bkl_eff_select_->on_select = [this](int cell) { effect_chosen(cell); };
    icon_bkl_eff_select_->paint_lower = [this](QPainter& p, const QRect& lower) {
        const unsigned b = led::builtin_count(led());
        const int split = 2 + int(b) * icon_bkl_eff_select_->cell_width();
        const QRect builtin(QPoint(lower.left(), lower.top()), QPoint(split - 1, lower.bottom()));
        const QRect custom(QPoint(split, lower.top()), lower.bottomRight());
        p.setPen(Qt::NoPen);
        p.fillRect(builtin, QColor(builtin_cell));
        p.fillRect(custom, QColor(custom_cell));
        p.setPen(Qt::white);
        p.drawText(builtin, Qt::AlignCenter, builtin_caption());
        p.drawText(custom, Qt::AlignCenter, custom_caption());
    };
    icon_bkl_eff_speed_ = new value_bar(canvas_);
    icon_bkl_eff_speed_->setObjectName(QStringLiteral("icon_bkl_eff_speed"));
    icon_bkl_eff_para_ = new value_bar(canvas_);
    icon_bkl_eff_para_->setObjectName(QStringLiteral("icon_bkl_eff_para"));
    for (bool speed : {true, false}) {
        value_bar* b = speed ? icon_bkl_eff_speed_ : icon_bkl_eff_para_;
        b->on_press = [this, speed](int x) { return adjustable_press(speed, x); };
        b->on_drag = [this, speed](int x) { adjustable_drag(speed, x); };
        b->on_release = [this, speed](Qt::MouseButton button, int) {
            if (button != Qt::LeftButton || !led::master_on(led())) return;
            if (speed)
                send(backlight::type_speed, speed_to_send_);
            else
                send(backlight::type_parameter, param_.value);
        };
    }
    centre_x_box_ = new QComboBox(canvas_);
    centre_x_box_->setObjectName(QStringLiteral("ComboBox1"));
    centre_y_box_ = new QComboBox(canvas_);
    centre_y_box_->setObjectName(QStringLiteral("ComboBox2"));
    for (int axis = 0; axis < 2; ++axis) {
        QComboBox* box = centre_box(axis);
        box->addItems({QStringLiteral("-1"), QStringLiteral("0"), QStringLiteral("1")});
        QObject::connect(box, &QComboBox::activated, box, [this, axis](int i) { centre_chosen(axis, i); });
    }

    // Top to bottom: switch, driver current, channels, effects, speed,
    // parameter, centre correction.
    int y = px(block_gap);
    auto row = [&](QWidget* w, int h) {
        w->setGeometry(px(left), y, width, h);
        y += h + px(label_gap);
    };
    // Label heights depend on their texts; they are set in apply_texts and
    // the rows are placed once here with room for three lines each.
    const int label_h = px(54);
    auto labelled = [&](QLabel* l) {
        l->setGeometry(px(left), y, width, label_h);
        y += label_h + px(label_gap);
    };
    labelled(labels_[8]);
    master_switch_->setGeometry(px(left), y, px(switch_width), px(switch_height));
    y += px(switch_height) + px(block_gap);
    labelled(labels_[0]);
    row(brightness_bars_[0], px(bar_height));
    y += px(block_gap) - px(label_gap);
    labelled(labels_[1]);
    for (int t = 1; t < 4; ++t) row(brightness_bars_[size_t(t)], px(bar_height));
    y += px(block_gap) - px(label_gap);
    labelled(labels_[2]);
    icon_bkl_eff_select_->place(px(left), y, width, px(strip_height));
    y += px(strip_height) + px(block_gap);
    labelled(labels_[3]);
    row(icon_bkl_eff_speed_, px(bar_height));
    y += px(block_gap) - px(label_gap);
    labelled(labels_[4]);
    row(icon_bkl_eff_para_, px(bar_height));
    y += px(block_gap) - px(label_gap);
    labelled(labels_[5]);
    for (int axis = 0; axis < 2; ++axis) {
        QLabel* l = labels_[size_t(6 + axis)];
        l->setWordWrap(false);
        l->setGeometry(px(left), y, px(120), px(switch_height));
        centre_box(axis)->setGeometry(px(left + 124), y, px(combo_width), px(switch_height));
        y += px(switch_height) + px(label_gap);
    }
    canvas_->setMinimumSize(px(left) * 2 + width, y + px(block_gap));
    for (QWidget* w : canvas_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->show();

    apply_texts();
    refresh();
}

Tled_bkl_edit_frame::~Tled_bkl_edit_frame() {
    *alive_ = false;
    delete send_timer_;
    for (QLabel* l : labels_) delete l;
    delete master_switch_;
    for (value_bar* b : brightness_bars_) delete b;
    delete icon_bkl_eff_select_;
    delete icon_bkl_eff_speed_;
    delete icon_bkl_eff_para_;
    delete centre_x_box_;
    delete centre_y_box_;
    canvas_->setMinimumSize(0, 0);
}

uint8_t* Tled_bkl_edit_frame::led() { return host().records().lighting.data(); }
const uint8_t* Tled_bkl_edit_frame::layout() const {
    return const_cast<Tled_bkl_edit_frame*>(this)->host().records().kb_layout.data();
}

// Bars and the strip act only while the lights are powered and a layout
// with key lights says where the change shows. Without a layout the switch
// is shown off, so nothing under it may act either.
bool Tled_bkl_edit_frame::bars_accept() const {
    const uint8_t* s = const_cast<Tled_bkl_edit_frame*>(this)->led();
    return led::master_on(s) && layout::present(layout()) && layout::key_lights_present(layout());
}

// A change made while an earlier send is still going out waits for it
// (only its newest value) instead of being refused as busy.
void Tled_bkl_edit_frame::send(int type, uint32_t value) {
    waiting_.put(type, value);
    send_waiting();
}

void Tled_bkl_edit_frame::send_waiting() {
    while (!waiting_.empty() && !host().is_busy()) {
        const auto [type, value] = *waiting_.take();
        const auto c = backlight::command_for(type, value);
        if (!c) continue;
        // A refused send shows a message whose event loop may end the
        // connection, and this page with it.
        const std::shared_ptr<bool> alive = alive_;
        host().send_command(c->command, c->sub, c->value16, 0, 0, true);
        if (!*alive) return;
    }
    if (waiting_.empty())
        send_timer_->stop();
    else if (!send_timer_->isActive())
        send_timer_->start();
}

// ---------------------------------------------------------------- opening and texts

void Tled_bkl_edit_frame::open(int) {
    const bool first = !opened_;
    opened_ = true;
    refresh();
    const bool has_layout = layout::present(layout());
    master_switch_->setEnabled(has_layout);
    if (first && !has_layout) master_switch_->setChecked(false);
}

void Tled_bkl_edit_frame::apply_texts() {
    for (size_t i = 0; i < labels_.size(); ++i) {
        const QString t = host().lng(txt::backlight_labels[i].id, txt::backlight_labels[i].text);
        labels_[i]->setText(t);
        labels_[i]->setToolTip(t);
    }
    for (size_t t = 0; t < 4; ++t) brightness_bars_[t]->setToolTip(host().lng(txt::bar_hints[t].id, txt::bar_hints[t].text));
    if (initialised_) {
        draw_effect_strip();
        draw_adjustable(icon_bkl_eff_speed_, speed_);
        draw_adjustable(icon_bkl_eff_para_, param_);
    }
}

void Tled_bkl_edit_frame::refresh() {
    refresh_switch();
    for (int t = 0; t < 4; ++t) draw_brightness(t);
    draw_effect_strip();
    refresh_effect();
}

void Tled_bkl_edit_frame::refresh_switch() {
    const bool on = led::master_on(led());
    master_switch_->setChecked(on);
    enable_correction(on);
}

// ---------------------------------------------------------------- replies

void Tled_bkl_edit_frame::record_arrived(uint32_t command, uint32_t) {
    switch (command) {
    case cmd::bkl_driver_current:
        for (int t = 0; t < 4; ++t) draw_brightness(t);
        break;
    case cmd::bkl_effect:
        draw_effect_strip();
        refresh_effect();
        break;
    case cmd::bkl_speed: refresh_effect(); break;
    case cmd::bkl_master_switch: refresh_switch(); break;
    default: break;
    }
}

// ---------------------------------------------------------------- brightness

void Tled_bkl_edit_frame::draw_brightness(int tag) {
    value_bar* bar = brightness_bars_[size_t(tag)];
    const unsigned range = backlight::brightness_range(tag);
    const unsigned v = backlight::shown_brightness(led(), tag);
    bar->set_fill(backlight::brightness_fill(bar->width(), v, range));
    bar->set_text(tag == backlight::type_driver_current ? QString::number(v) : QString::number(v) + QLatin1Char('%'));
}

bool Tled_bkl_edit_frame::brightness_press(int tag, int x) {
    if (!bars_accept()) return false;
    if (const auto v = backlight::brightness_at(x, brightness_bars_[size_t(tag)]->width(),
                                                backlight::brightness_range(tag), true)) {
        led()[led::off_driver_current + size_t(tag)] = uint8_t(*v);
        draw_brightness(tag);
    }
    return true;
}

void Tled_bkl_edit_frame::brightness_drag(int tag, int x) {
    if (!led::master_on(led())) return;
    if (const auto v = backlight::brightness_at(x, brightness_bars_[size_t(tag)]->width(),
                                                backlight::brightness_range(tag), false)) {
        led()[led::off_driver_current + size_t(tag)] = uint8_t(*v);
        draw_brightness(tag);
    }
}

void Tled_bkl_edit_frame::brightness_release(int tag, Qt::MouseButton button) {
    if (button != Qt::LeftButton || !led::master_on(led())) return;
    send(tag, led()[led::off_driver_current + size_t(tag)]);
}

// ---------------------------------------------------------------- effects

QString Tled_bkl_edit_frame::builtin_caption() const {
    const uint8_t* s = const_cast<Tled_bkl_edit_frame*>(this)->led();
    const unsigned index = s[led::off_effect];
    if (index < led::builtin_count(s))
        return host().lng(txt::builtin_current.id, txt::builtin_current.text) + QString::number(index);
    return host().lng(txt::builtin_not_shown.id, txt::builtin_not_shown.text);
}

QString Tled_bkl_edit_frame::custom_caption() const {
    const uint8_t* s = const_cast<Tled_bkl_edit_frame*>(this)->led();
    const unsigned index = s[led::off_effect], b = led::builtin_count(s);
    if (index >= b && index < s[led::off_effect_count])
        return host().lng(txt::custom_current.id, txt::custom_current.text) + QString::number(index - b);
    return host().lng(txt::custom_not_shown.id, txt::custom_not_shown.text);
}

void Tled_bkl_edit_frame::draw_effect_strip() {
    const uint8_t* s = led();
    const unsigned n = s[led::off_effect_count], index = s[led::off_effect];
    const unsigned b = led::builtin_count(s);
    QStringList labels;
    // Nothing is drawn while the current index names no effect, nor for a
    // count the record cannot hold (17 built-in and 8 custom effects).
    if (index < n && n <= b + led::custom_group_count)
        for (unsigned i = 0; i < n; ++i) labels << QString::number(i < b ? i : i - b);
    const QRect g = icon_bkl_eff_select_->geometry();
    icon_bkl_eff_select_->set_cells(labels, selector_strip::arrangement::upper_half);
    icon_bkl_eff_select_->place(g.x(), g.y(), int(float(page_width) * host().scale()), g.height());
    for (int i = 0; i < labels.size(); ++i)
        icon_bkl_eff_select_->set_cell_colour(i, unsigned(i) < b ? builtin_cell : custom_cell);
    icon_bkl_eff_select_->set_selected(labels.isEmpty() ? -1 : int(index));
    icon_bkl_eff_select_->setVisible(!labels.isEmpty());
}

void Tled_bkl_edit_frame::effect_chosen(int cell) {
    if (!bars_accept()) return;
    led()[led::off_effect] = uint8_t(cell);
    draw_effect_strip();
    refresh_effect();
    send(backlight::type_effect, uint32_t(cell));
}

void Tled_bkl_edit_frame::refresh_effect() {
    const uint8_t* s = led();
    speed_ = led::current_speed(s);
    param_ = led::current_parameter(s);
    speed_to_send_ = speed_.value;
    const bool centre = led::current_has_centre(s);
    show_correction(centre);
    if (centre) {
        const uint8_t* e = led::builtin_effect(s, s[led::off_effect]);
        centre_x_box_->setCurrentIndex(backlight::centre_position(int8_t(e[led::eff_off_centre_x])));
        centre_y_box_->setCurrentIndex(backlight::centre_position(int8_t(e[led::eff_off_centre_y])));
    }
    labels_[3]->setEnabled(speed_.enabled);
    labels_[4]->setEnabled(param_.enabled);
    draw_adjustable(icon_bkl_eff_speed_, speed_);
    draw_adjustable(icon_bkl_eff_para_, param_);
    initialised_ = true;
}

void Tled_bkl_edit_frame::draw_adjustable(value_bar* bar, const led::adjustable& a) {
    bar->set_active(a.enabled);
    if (!a.enabled) {
        bar->set_fill(0);
        bar->set_text(host().lng(txt::nothing_adjustable.id, txt::nothing_adjustable.text));
        return;
    }
    const int fill = backlight::adjustable_fill(bar->width(), a.value, a.minimum, a.maximum);
    bar->set_fill(fill >= 1 ? fill : 0);
    bar->set_text(txt::fill(host().lng(txt::adjustable_bar.id, txt::adjustable_bar.text),
                            {int64_t(a.minimum), int64_t(a.maximum), int64_t(a.value)}));
}

// ---------------------------------------------------------------- speed and parameter

bool Tled_bkl_edit_frame::adjustable_press(bool speed, int x) {
    if (!bars_accept() || !(speed ? speed_ : param_).enabled) return false;
    adjustable_set(speed, x, true);
    return true;
}

void Tled_bkl_edit_frame::adjustable_drag(bool speed, int x) {
    if (!led::master_on(led())) return;
    adjustable_set(speed, x, false);
}

void Tled_bkl_edit_frame::adjustable_set(bool speed, int x, bool pressing) {
    value_bar* bar = speed ? icon_bkl_eff_speed_ : icon_bkl_eff_para_;
    led::adjustable& a = speed ? speed_ : param_;
    const auto v = backlight::adjustable_at(x, bar->width(), a.minimum, a.maximum, pressing);
    if (!v) return;
    uint8_t* s = led();
    if (speed) {
        led::set_current_speed(s, *v);
        a.value = uint8_t(*v);
        // A built-in effect's speed is 16 bits wide in the record and on
        // the wire; a custom effect's is one byte.
        speed_to_send_ = s[led::off_effect] < led::builtin_count(s) ? *v : uint16_t(uint8_t(*v));
    } else {
        led::set_current_parameter(s, uint8_t(*v));
        a.value = uint8_t(*v);
    }
    const int along = pressing ? x - 2 : x - 1;
    if (along > 2 && along < bar->width() - 2) bar->set_fill(along);
    bar->set_text(txt::fill(host().lng(txt::adjustable_bar.id, txt::adjustable_bar.text),
                            {int64_t(a.minimum), int64_t(a.maximum), int64_t(*v)}));
}

// ---------------------------------------------------------------- correction and switch

void Tled_bkl_edit_frame::show_correction(bool visible) {
    for (QWidget* w : {static_cast<QWidget*>(labels_[5]), static_cast<QWidget*>(labels_[6]),
                       static_cast<QWidget*>(labels_[7]), static_cast<QWidget*>(centre_x_box_),
                       static_cast<QWidget*>(centre_y_box_)})
        w->setVisible(visible);
}

void Tled_bkl_edit_frame::enable_correction(bool enabled) {
    for (QWidget* w : {static_cast<QWidget*>(labels_[5]), static_cast<QWidget*>(labels_[6]),
                       static_cast<QWidget*>(labels_[7]), static_cast<QWidget*>(centre_x_box_),
                       static_cast<QWidget*>(centre_y_box_)})
        w->setEnabled(enabled);
}

void Tled_bkl_edit_frame::centre_chosen(int axis, int position) {
    uint8_t* s = led();
    if (!led::current_has_centre(s) || position < 0 || position > 2) return;
    uint8_t* e = led::builtin_effect(s, s[led::off_effect]);
    e[axis == 0 ? led::eff_off_centre_x : led::eff_off_centre_y] = uint8_t(int8_t(position - 1));
    send(axis == 0 ? backlight::type_centre_x : backlight::type_centre_y, uint32_t(position));
}

void Tled_bkl_edit_frame::master_toggled(bool on) {
    if (!layout::present(layout())) {
        master_switch_->setChecked(false);
        return;
    }
    led()[led::off_master] = on ? 1 : 0;
    enable_correction(on);
    if (initialised_) send(backlight::type_master, led()[led::off_master]);
}

} // namespace qvk
