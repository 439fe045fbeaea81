#pragma once
// The indicator-lights page: for each of NUM, CAPS and SCROLL its switch,
// the light it uses (a key light picked on the keyboard drawing, or an
// ambient light picked in the "led select" dialog), one of four effects and
// a custom colour. The three indicators are edited in the lighting record
// and sent together, 24 bytes in one report, with Save.

#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

#include "ui/keyboard_drawing.h"
#include "ui/keyboard_page.h"

class QButtonGroup;
class QDialog;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace qvk {

class colour_swatch;
class selector_strip;
class toggle_switch;

class Tbkl_indicator_edit_frame final : public keyboard_page {
public:
    Tbkl_indicator_edit_frame(page_host& host, QWidget* canvas);
    ~Tbkl_indicator_edit_frame() override;

    void open(int tag) override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    void apply_texts() override;
    void close_dialogs() override;

    unsigned current() const { return current_; }
    selector_strip* indicator_strip() const { return icon_indicator_select_; }
    toggle_switch* indicator_switch() const { return indicator_switch_; }
    QLabel* light_text() const { return disp_led_cfg_; }
    QRadioButton* effect_button(int i) const { return effect_buttons_[size_t(i)]; }
    colour_swatch* swatch() const { return swatch_; }
    QPushButton* save_button() const { return save_button_; }
    QPushButton* ambient_button() const { return ambient_button_; }
    // The key picture at a matrix position (null when not drawn).
    key_picture* key_at(unsigned column, unsigned row) const { return drawing_.picture_at(column, row); }
    // Whether a key picture is drawn highlighted.
    bool highlighted(const key_picture& k) const;

private:
    uint8_t* indicator();
    unsigned layer_shown() const;
    bool keys_drawable() const;
    void choose(unsigned i);
    void show_indicator();
    void show_light_text();
    void draw_keys();
    void paint_key(key_picture& k, const layout::key_entry& e);
    void key_clicked(key_picture& k, Qt::MouseButton button);
    void open_ambient_picker();
    void save();
    // The key ID the current indicator's key light names, when it is on
    // and uses a key light.
    int highlighted_key_id();

    QWidget* canvas_;
    unsigned current_ = 0;
    selector_strip* icon_indicator_select_ = nullptr;
    toggle_switch* indicator_switch_ = nullptr;
    QLabel* disp_led_cfg_ = nullptr;
    std::array<QRadioButton*, 4> effect_buttons_{};
    QButtonGroup* effects_ = nullptr;
    colour_swatch* swatch_ = nullptr;
    QPushButton* save_button_ = nullptr;
    QPushButton* ambient_button_ = nullptr;
    std::array<QLabel*, 4> labels_{}; // Label1 .. Label4
    keyboard_drawing drawing_;
    int highlight_id_ = -1;
    QPointer<QDialog> open_dialog_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    QObject deferred_;
};

} // namespace qvk
