#pragma once
// The backlight page: the master light switch, the LED driver current, the
// logical brightness of the red, green and blue channels, the choice of the
// running effect among the built-in and custom effects, and the current
// effect's speed, parameter and centre correction. Every change leaves at
// once as one short command; there is no Save. Values the keyboard reports
// on its own (driver current, effect, speed, master switch) redraw the page
// without sending anything.

#include <QString>
#include <array>
#include <memory>

#include "lighting/latest_values.h"
#include "lighting/led_state.h"
#include "ui/keyboard_page.h"

class QComboBox;
class QTimer;
class QLabel;
class QWidget;

namespace qvk {

class toggle_switch;
class selector_strip;
class value_bar;

class Tled_bkl_edit_frame final : public keyboard_page {
public:
    Tled_bkl_edit_frame(page_host& host, QWidget* canvas);
    ~Tled_bkl_edit_frame() override;

    void open(int tag) override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    void apply_texts() override;

    toggle_switch* master() const { return master_switch_; }
    // Tag 0 driver current, 1..3 red, green, blue.
    value_bar* brightness_bar(int tag) const { return brightness_bars_[size_t(tag)]; }
    selector_strip* effect_strip() const { return icon_bkl_eff_select_; }
    value_bar* speed_bar() const { return icon_bkl_eff_speed_; }
    value_bar* parameter_bar() const { return icon_bkl_eff_para_; }
    // 0 X, 1 Y.
    QComboBox* centre_box(int axis) const { return axis == 0 ? centre_x_box_ : centre_y_box_; }
    // The captions under the built-in and the custom cells of the strip.
    QString builtin_caption() const;
    QString custom_caption() const;
    // Changes waiting for the link to be free.
    size_t waiting_sends() const { return waiting_.size(); }

private:
    uint8_t* led();
    const uint8_t* layout() const;
    bool bars_accept() const;
    void send(int type, uint32_t value);
    void send_waiting();

    void refresh();
    void refresh_switch();
    void draw_brightness(int tag);
    void draw_effect_strip();
    void refresh_effect();
    void draw_adjustable(value_bar* bar, const led::adjustable& a);
    void show_correction(bool visible);
    void enable_correction(bool enabled);

    bool brightness_press(int tag, int x);
    void brightness_drag(int tag, int x);
    void brightness_release(int tag, Qt::MouseButton button);
    bool adjustable_press(bool speed, int x);
    void adjustable_drag(bool speed, int x);
    void adjustable_set(bool speed, int x, bool pressing);
    void effect_chosen(int cell);
    void centre_chosen(int axis, int position);
    void master_toggled(bool on);

    QWidget* canvas_;
    toggle_switch* master_switch_ = nullptr;
    std::array<value_bar*, 4> brightness_bars_{};
    selector_strip* icon_bkl_eff_select_ = nullptr;
    value_bar* icon_bkl_eff_speed_ = nullptr;
    value_bar* icon_bkl_eff_para_ = nullptr;
    QComboBox* centre_x_box_ = nullptr;
    QComboBox* centre_y_box_ = nullptr;
    std::array<QLabel*, 9> labels_{}; // Label1 .. Label9

    // The current effect's speed and parameter as shown: a built-in
    // effect's speed copy is its low byte.
    led::adjustable speed_, param_;
    // The speed that leaves with the next release (all 16 bits of a built-in
    // effect's speed).
    uint16_t speed_to_send_ = 0;
    bool initialised_ = false;
    // Changes made while the link was busy, sent as soon as it is free.
    latest_values waiting_;
    QTimer* send_timer_ = nullptr;
    // False once the page is gone: a message's event loop may outlive it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool opened_ = false;
};

} // namespace qvk
