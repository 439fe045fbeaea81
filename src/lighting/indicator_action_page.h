#pragma once
// The indicator-actions page: for each of NUM, CAPS and SCROLL a trigger
// switch and the two functions the keyboard runs when the indicator lights
// up and when it goes out, chosen with the function picker (right click
// clears one). The 27-byte record is edited in place and sent whole with
// Save.

#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

#include "ui/keyboard_page.h"

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace qvk {

class toggle_switch;
class selector_strip;

namespace indicator_action {
constexpr size_t record_size = 9;
constexpr size_t off_switch = 0;
constexpr size_t off_on_code = 1;  // func_code run when the indicator lights up
constexpr size_t off_off_code = 5; // func_code run when it goes out
constexpr unsigned count = 3;      // NUM, CAPS, SCROLL
} // namespace indicator_action

class Tindicator_action_edit_frame final : public keyboard_page {
public:
    Tindicator_action_edit_frame(page_host& host, QWidget* canvas);
    ~Tindicator_action_edit_frame() override;

    void open(int tag) override;
    void apply_texts() override;
    void close_dialogs() override;

    unsigned current() const { return current_; }
    selector_strip* indicator_strip() const { return icon_indicator_select_; }
    toggle_switch* trigger_switch() const { return trigger_switch_; }
    // 0 light-up panel, 1 go-out panel.
    QLabel* panel(int which) const { return which == 0 ? light_up_panel_ : go_out_panel_; }
    QPushButton* save_button() const { return save_button_; }

private:
    uint8_t* indicator();
    void choose(unsigned i);
    void show_indicator();
    void panel_pressed(int which, Qt::MouseButton button);
    void open_picker(unsigned indicator, int which);
    void save();

    QWidget* canvas_;
    unsigned current_ = 0;
    selector_strip* icon_indicator_select_ = nullptr;
    toggle_switch* trigger_switch_ = nullptr;
    QLabel* light_up_panel_ = nullptr;
    QLabel* go_out_panel_ = nullptr;
    QPushButton* save_button_ = nullptr;
    std::array<QLabel*, 4> labels_{}; // Label1 .. Label4
    QPointer<QDialog> open_picker_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    QObject deferred_;
};

} // namespace qvk
