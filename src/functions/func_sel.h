#pragma once
// The function picker: a modal dialog with twelve pages, one per family of
// function kinds. A click on a function button writes the new code straight
// into the caller's 4-byte slot and closes the dialog (accepted); closing it
// with the window's close button leaves the slot as it was (rejected).
//
// Usage:
//   Tfunc_sel::params p{&texts, bkl_effect_count, 10, slot, 0};
//   p.dialogs = &window.dialogs();
//   Tfunc_sel dlg(p, &window);
//   dlg.exec();          // then re-read the slot and redraw
//
// Key mode (macro_mode 0) hides the macro-only controls; macro mode (1) adds
// jump, delay, random delay and the press/release choices of single keys and
// hides "Disable Key".

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace qvk {

class button_list;
class dialog_service;
class key_code_convert;
class page_builder;

// Bytes an action writes into the slot; bytes left empty keep their value.
struct code_write {
    std::array<std::optional<uint8_t>, 4> bytes;
    static code_write kind(uint8_t k);
    code_write& p1(uint8_t v);
    code_write& p2(uint8_t v);
    code_write& p3(uint8_t v);
    code_write& u16_at1(uint16_t v); // bytes 1-2, little-endian
    code_write& u16_at2(uint16_t v); // bytes 2-3, little-endian
    void apply(uint8_t* slot) const;
};

// Pages, in tab order.
enum func_sel_page : int {
    page_keys = 0,
    page_media,
    page_mouse,
    page_layers,
    page_macros,
    page_bluetooth,
    page_battery,
    page_backlight,
    page_ambient,
    page_indicators,
    page_indicator_actions,
    page_win_lock,
    func_sel_page_count
};

class Tfunc_sel final : public QDialog {
    Q_OBJECT
public:
    struct params {
        const key_code_convert* convert = nullptr; // texts and the consumer usage list
        int32_t bkl_effect_count = 0;              // key-backlight effects offered (kinds 41, 57)
        int32_t ws_effect_count = 10;              // ambient effects offered (kind 47)
        uint8_t* code = nullptr;                   // the caller's 4-byte slot
        uint8_t macro_mode = 0;                    // 1 macro mode, 0 key mode
        float scale = 1.0f;                        // screen DPI / 96: design sizes are multiplied by it
        dialog_service* dialogs = nullptr;         // message boxes; null: the real ones
    };
    explicit Tfunc_sel(const params& p, QWidget* parent = nullptr);
    ~Tfunc_sel() override;

    QTabWidget* pages() const { return pages_; }
    bool macro_mode() const { return p_.macro_mode != 0; }
    // Client size at scale 1.
    static constexpr int design_width = 1031;
    static constexpr int design_height = 600;

private:
    // Builds the page of that index; defined in func_sel_pages.cpp.
    void build_keys_page(page_builder& b);
    void build_media_page(page_builder& b);
    void build_mouse_page(page_builder& b);
    void build_layers_page(page_builder& b);
    void build_macros_page(page_builder& b);
    void build_bluetooth_page(page_builder& b);
    void build_battery_page(page_builder& b);
    void build_backlight_page(page_builder& b);
    void build_ambient_page(page_builder& b);
    void build_indicator_page(page_builder& b, bool actions);
    void build_win_lock_page(page_builder& b);

    // Fills the long lists of a page on its first visit.
    void pageChange(int index);
    void fill_media_list();
    void fill_macro_lists();
    void fill_bkl_effect_lists();
    void fill_ws_effect_list();

    // Writes the slot and closes the dialog.
    void choose(const code_write& w);
    // An action built from the chosen item of a list; does nothing while
    // the list has no item.
    std::function<void()> with_item(QComboBox* list, std::function<code_write(int)> make);
    std::function<void()> with_items(QComboBox* a, QComboBox* b, std::function<code_write(int, int)> make);
    // A key or media button: plain code, or press/release in macro mode.
    void choose_key(uint8_t usage);
    void choose_media(uint16_t usage);
    // A delay field's value, or nothing after telling the user it is wrong.
    std::optional<uint16_t> delay_value(const QLineEdit* field);

    QString tx(uint32_t id, const char* def) const;
    int px(int design) const { return int(float(design) * p_.scale); }

    params p_;
    dialog_service* dialogs_ = nullptr;
    std::unique_ptr<dialog_service> own_dialogs_;
    QTabWidget* pages_ = nullptr;

    // Key and media pages.
    QRadioButton* rb_key_press_ = nullptr;
    QRadioButton* rb_key_release_ = nullptr;
    QRadioButton* rb_media_press_ = nullptr;
    QRadioButton* rb_media_release_ = nullptr;
    button_list* media_list_ = nullptr;
    // Macro page.
    QComboBox* cb_macro_group_ = nullptr;
    QComboBox* cb_macro_run_step_ = nullptr;
    QComboBox* cb_macro_jump_step_ = nullptr;
    // Backlight and ambient pages.
    QComboBox* cb_bkl_effect_ = nullptr;
    QComboBox* cb_bkl_temp_effect_ = nullptr;
    QComboBox* cb_ws_effect_ = nullptr;

    bool media_filled_ = false;
    bool macro_filled_ = false;
    bool bkl_effects_filled_ = false;
    bool ws_effects_filled_ = false;
};

} // namespace qvk
