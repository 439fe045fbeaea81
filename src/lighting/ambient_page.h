#pragma once
// The ambient light page: six groups of ambient lights, each with its own
// switch, ordered list of up to 32 lights, effect, speed and four custom
// colours, sent to the keyboard one group at a time; and the system-volume
// display, which polls the host's master volume and streams every change to
// the keyboard while its box is ticked.

#include <QObject>
#include <array>
#include <memory>
#include <vector>

#include "lighting/ambient_groups.h"
#include "lighting/system_volume.h"
#include "lighting/user_led.h"
#include "ui/keyboard_page.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;

namespace qvk {

class colour_swatch;
class selector_strip;
class toggle_switch;
class value_bar;

class Tled_bkl_ws_edit_frame final : public keyboard_page {
public:
    // The page draws on `canvas`, the panel of the ambient light card.
    Tled_bkl_ws_edit_frame(page_host& host, QWidget* canvas);
    ~Tled_bkl_ws_edit_frame() override;

    void open(int tag) override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    void initial_read_finished() override;
    void apply_texts() override;

    // The user's actions, as the controls report them.
    void icon_group_select_choose(unsigned g);
    void user_leds_listDblClick(int line);
    void led_listDblClick(int line);
    void Button1Click();
    void ToggleSwitch1Click(bool on);
    void CheckBox1Click();
    void Timer1Timer();
    // The master light switch went off: the volume display stops without
    // changing the setting.
    void master_switched_off();

    unsigned current_group() const { return cur_group_; }
    selector_strip* group_strip() const { return icon_group_select_; }
    toggle_switch* group_switch() const { return group_switch_; }
    QListWidget* group_lights() const { return led_list_; }
    QListWidget* all_lights() const { return user_leds_list_; }
    QRadioButton* effect_button(unsigned effect) const;
    value_bar* speed_bar() const { return icon_speed_; }
    colour_swatch* swatch(unsigned t) const;
    QPushButton* save_button() const { return save_button_; }
    QCheckBox* volume_box() const { return volume_box_; }
    QTimer* volume_timer() const { return volume_timer_; }
    bool volume_reader_open() const { return volume_reader_ != nullptr; }

private:
    void build_controls();
    void start();
    uint8_t* led_state();
    uint8_t* current();
    QString driver_text(const ambient_light& l);
    QString all_lights_line(const ambient_light& l);
    void fill_all_lights();
    void show_group();
    void show_group_lights();
    void show_speed();
    void speed_from(int x);
    void store_colour(unsigned t);
    void send_group();
    void set_volume_box(bool checked);
    void stop_volume_reader();
    void save_volume_setting();

    QWidget* canvas_;
    // Every control of the page; removed from the card with the page.
    std::unique_ptr<QWidget> root_;
    bool started_ = false;
    unsigned cur_group_ = 0;
    std::vector<ambient_light> lights_;
    std::array<ambient::group_list, led::ambient_group_count> lists_{};
    ambient::volume_follower follower_;
    std::unique_ptr<volume_source> volume_reader_;

    std::array<QLabel*, 8> labels_{};
    selector_strip* icon_group_select_ = nullptr;
    toggle_switch* group_switch_ = nullptr;
    QListWidget* led_list_ = nullptr;
    QListWidget* user_leds_list_ = nullptr;
    QButtonGroup* effect_group_ = nullptr;
    std::array<QRadioButton*, ambient::effect_count> effect_buttons_{};
    value_bar* icon_speed_ = nullptr;
    std::array<colour_swatch*, ambient::colour_count> swatches_{};
    QPushButton* save_button_ = nullptr;
    QCheckBox* volume_box_ = nullptr;
    QTimer* volume_timer_ = nullptr;
    // False once the page is gone: a colour dialog may outlive it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Context of deferred calls: they are dropped with the page.
    QObject deferred_;
};

} // namespace qvk
