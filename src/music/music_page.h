#pragma once
// The music rhythm page: the rhythm switch, the 200-bar spectrum of what the
// default output plays, the display settings and the keyboard's gains, and
// the buttons that step the keyboard's rhythm effect. While the rhythm runs,
// a 27-byte rhythm frame leaves every 40 ms, straight on the link, while the
// master light switch is on and the link is USB or Bluetooth LE. A capture
// that fails or loses its device is tried again every 3 s.

#include <QImage>
#include <QString>
#include <array>
#include <memory>
#include <string>

#include "music/spectrum_display.h"
#include "ui/keyboard_page.h"

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace qvk {

class toggle_switch;
class value_bar;

namespace music {
class my_audio_snap;
}

class Tmusic_spectrum_frame final : public keyboard_page {
public:
    // Setting bars by Tag.
    enum setting_tag : int {
        tag_band_gain = 0,
        tag_hold_time,
        tag_peak_fall,
        tag_bar_fall,
        tag_vu_gain,
        tag_rhythm_gain,
        setting_tag_count
    };
    // Page callback types.
    enum callback_type : int { type_frame = 0, type_gains = 1, type_step = 2 };

    Tmusic_spectrum_frame(page_host& host, QWidget* canvas);
    ~Tmusic_spectrum_frame() override;

    void open(int tag) override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    void apply_texts() override;

    toggle_switch* rhythm_switch() const { return rhythm_switch_; }
    QLabel* spectrum_picture() const { return spectrum_picture_; }
    // The spectrum as last drawn.
    const QImage& picture() const { return picture_; }
    QPushButton* previous_button() const { return previous_button_; }
    QPushButton* next_button() const { return next_button_; }
    value_bar* setting_bar(int tag) const { return setting_bars_[size_t(tag)]; }
    QTimer* draw_timer() const { return timer_top_point_down_; }
    QTimer* restart_timer() const { return timer_re_start_snap_; }
    bool capturing() const { return capture_ != nullptr; }
    const std::string& device_in_use() const { return device_id_; }
    const music::spectrum_meter& meter() const { return meter_; }
    const music::display_settings& display_settings() const { return settings_; }
    // One tick of the 20 ms timer (also driven by tests).
    void timer_top_point_downTimer();
    // One attempt of the 3 s restart timer.
    void timer_re_start_snapTimer();

private:
    class snap_events;
    class snap_sink;

    uint8_t* led();
    std::string settings_path() const;
    bool master_on();

    void switch_clicked(bool on);
    void set_switch(bool on);
    void start();
    bool start_capture();
    void stop();
    void snap_message(uintptr_t wparam, unsigned generation);
    void check_default_device();
    void send(int type, uint32_t value);
    void send_frame();

    void draw_background();
    void draw_spectrum();
    void draw_setting(int tag);
    int setting_value(int tag);
    void store_setting(int tag, int value);
    bool setting_press(int tag, int x);
    void setting_drag(int tag, int x);
    void setting_release(int tag, Qt::MouseButton button, int x);
    void setting_set(int tag, int x);

    QWidget* canvas_;
    float scale_;
    toggle_switch* rhythm_switch_ = nullptr;
    QLabel* spectrum_picture_ = nullptr;
    QPushButton* previous_button_ = nullptr;
    QPushButton* next_button_ = nullptr;
    std::array<value_bar*, setting_tag_count> setting_bars_{};
    std::array<QLabel*, 7> labels_{}; // Label1 .. Label7
    QTimer* timer_top_point_down_ = nullptr;
    QTimer* timer_re_start_snap_ = nullptr;

    QImage background_;
    QImage picture_;
    music::display_settings settings_{};
    music::spectrum_meter meter_;
    // Receives the capture's messages on the window thread; declared before
    // the capture so that it outlives it.
    std::unique_ptr<snap_events> events_;
    // Each capture posts through a sink of its own generation, so that a
    // message of a capture already gone is told apart from the current one's.
    std::unique_ptr<snap_sink> sink_;
    unsigned generation_ = 0;
    std::unique_ptr<music::my_audio_snap> capture_;
    std::string device_id_;
};

} // namespace qvk
