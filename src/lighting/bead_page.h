#pragma once
// The bead page: every WS2812 bead among the ambient lights, with its data
// format (GRB or RGB) and brightness, set for one bead or for several
// selected beads at once; all 128 bead settings are saved together.

#include <QObject>
#include <array>
#include <memory>
#include <vector>

#include "lighting/bead_settings.h"
#include "ui/keyboard_page.h"

class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace qvk {

class selector_strip;
class value_bar;

class Tbkl_user_led_editer final : public keyboard_page {
public:
    // The page draws on `canvas`, the bead card.
    Tbkl_user_led_editer(page_host& host, QWidget* canvas);
    ~Tbkl_user_led_editer() override;

    void open(int tag) override;
    void apply_texts() override;

    // The user's actions, as the controls report them.
    void lb1Click();
    void icon_data_mode_sel_choose(unsigned format);
    void Button1Click();

    QListWidget* bead_list() const { return lb1_; }
    selector_strip* format_strip() const { return icon_data_mode_sel_; }
    value_bar* brightness_bar() const { return percentage_bar_; }
    QPushButton* save_button() const { return save_button_; }
    // The bead a line of the list stands for.
    const std::vector<beads::bead_line>& lines() const { return lines_; }

private:
    void build_controls();
    uint8_t* led_state();
    QString line_text(const beads::bead_line& b);
    void fill_list();
    void show_bead(int line);
    void brightness_from(int x);
    void brightness_released(Qt::MouseButton button);
    std::vector<int> selected_lines() const;
    void redraw_line(int line);

    QWidget* canvas_;
    std::unique_ptr<QWidget> root_;
    std::vector<beads::bead_line> lines_;
    unsigned brightness_ = 0;

    std::array<QLabel*, 3> labels_{};
    QListWidget* lb1_ = nullptr;
    selector_strip* icon_data_mode_sel_ = nullptr;
    value_bar* percentage_bar_ = nullptr;
    QPushButton* save_button_ = nullptr;
    QObject deferred_;
};

} // namespace qvk
