// The music rhythm page of the real main window against the virtual keyboard
// and a private sound server: a tone played into the null output raises the
// bars at its place and reaches the keyboard as rhythm frames; the master
// switch, the receiver link, a lost output and the keyboard's own rhythm
// switch; the gains, the effect buttons and the display settings.

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "common/ini_file.h"
#include "lighting/led_state.h"
#include "lighting_fixture.h"
#include "link/packet.h"
#include "music/music_page.h"
#include "sim/default_records.h"
#include "sound_server.h"
#include "ui/toggle_switch.h"
#include "ui/value_bar.h"

namespace qvk::testing {
namespace {

using namespace std::chrono_literals;

constexpr unsigned tone_bar = 70;   // bin 93, 1 kHz
constexpr unsigned tone_band = 14;  // bin 95, the band nearest 1 kHz

class MusicPage : public lighting_window {
protected:
    // Starts the private sound server; the test fails, saying why, without one.
    void start_sound() {
        server_ = std::make_unique<sound_server>();
        ASSERT_TRUE(server_->running()) << "No private sound server could be started: " << server_->failure();
    }
    void TearDown() override {
        sound_server::end_process(player_);
        lighting_window::TearDown();
        server_.reset();
    }
    Tmusic_spectrum_frame* open_page(Tmain_form& w) {
        w.action(QStringLiteral("music_spectrum"))->trigger();
        EXPECT_EQ(w.current_card(), c_music_spectrum);
        return dynamic_cast<Tmusic_spectrum_frame*>(w.page(c_music_spectrum));
    }
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5)); }
    void play_tone(double seconds = 6.0) {
        const std::string wav = server_->folder() + "/tone.wav";
        write_tone_wav(wav, 1000.0, seconds);
        player_ = server_->play(wav);
        ASSERT_GT(player_, 0);
    }
    std::vector<sim::host_message> frames() const {
        std::vector<sim::host_message> out;
        for (const auto& m : kb_->messages())
            if (m.command == cmd::spectrum_frame) out.push_back(m);
        return out;
    }
    // Waits for a frame whose loudest band is the tone's.
    bool wait_tone_frame() {
        return wait_until(
            [&] {
                for (const auto& f : frames()) {
                    if (f.data.size() < 27 || f.data[tone_band] == 0) continue;
                    if (std::max_element(f.data.begin() + 1, f.data.begin() + 27) - f.data.begin() == tone_band)
                        return true;
                }
                return false;
            },
            8s);
    }

    std::unique_ptr<sound_server> server_;
    pid_t player_ = 0;
};

TEST_F(MusicPage, AToneRaisesItsBarsAndReachesTheKeyboardUntilTheMasterSwitchGoesOff) {
    start_sound();
    Tmain_form& w = open_board();
    Tmusic_spectrum_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    click(page->rhythm_switch());
    ASSERT_TRUE(page->rhythm_switch()->isChecked());
    ASSERT_TRUE(page->capturing());
    EXPECT_EQ(page->device_in_use(), "test");
    EXPECT_TRUE(page->draw_timer()->isActive());

    play_tone();
    ASSERT_TRUE(wait_tone_frame()) << frames().size() << " frames, none with the tone's band loudest";
    for (const auto& f : frames()) {
        EXPECT_TRUE(f.block);
        EXPECT_FALSE(f.chunked);
    }
    EXPECT_FALSE(w.is_busy()); // the stream shows no busy state

    // The tallest bar is the tone's, and the picture shows it.
    ASSERT_TRUE(wait_until([&] { return page->meter().bars()[tone_bar].height > 0; }));
    const auto& bars = page->meter().bars();
    EXPECT_EQ(std::max_element(bars.begin(), bars.end(),
                               [](const auto& a, const auto& b) { return a.height < b.height; }) -
                  bars.begin(),
              tone_bar);
    const QImage picture = page->picture();
    const int x = int(tone_bar) * (int(4 * w.scale()) + 1) + 1;
    EXPECT_EQ(picture.pixel(x, picture.height() - 2) & 0xFFFFFF, 0x0080FFu);
    EXPECT_EQ(picture.pixel(x, 2) & 0xFFFFFF, 0x000000u);

    // The keyboard turns the lights off: the rhythm stops and no frame follows.
    kb_->notify_backlight(cmd::bkl_master_switch, 0);
    ASSERT_TRUE(wait_until([&] { return !page->capturing(); }));
    EXPECT_FALSE(page->rhythm_switch()->isChecked());
    settle(100);
    kb_->clear_messages();
    settle(300);
    EXPECT_TRUE(frames().empty());
    // Nor does the switch stay on while the lights are off.
    click(page->rhythm_switch());
    EXPECT_FALSE(page->rhythm_switch()->isChecked());
    EXPECT_FALSE(page->capturing());
}

TEST_F(MusicPage, NoFrameGoesThroughTheReceiverLink) {
    start_sound();
    Tmain_form& w = open_board({}, {}, {}, kind_rf_receiver);
    Tmusic_spectrum_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    click(page->rhythm_switch());
    ASSERT_TRUE(page->capturing());
    play_tone(3.0);
    ASSERT_TRUE(wait_until([&] { return page->meter().bars()[tone_bar].height > 0; }, 8s));
    settle(200);
    EXPECT_TRUE(frames().empty());
}

TEST_F(MusicPage, ALostOutputStopsTheCaptureAndItIsTriedAgainUntilAnOutputIsBack) {
    start_sound();
    Tmain_form& w = open_board();
    Tmusic_spectrum_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    click(page->rhythm_switch());
    ASSERT_TRUE(page->capturing());
    ASSERT_TRUE(server_->pactl({"unload-module", "module-null-sink"}));
    ASSERT_TRUE(wait_until([&] { return !page->capturing(); }, 5s)) << "the lost output went unnoticed";
    EXPECT_TRUE(page->restart_timer()->isActive());
    EXPECT_FALSE(page->draw_timer()->isActive());
    EXPECT_TRUE(dialogs_.messages.isEmpty()); // no message while restarting
    EXPECT_TRUE(page->rhythm_switch()->isChecked());

    page->timer_re_start_snapTimer(); // no output yet: the timer stays on
    EXPECT_FALSE(page->capturing());
    EXPECT_TRUE(page->restart_timer()->isActive());

    ASSERT_TRUE(server_->pactl({"load-module", "module-null-sink", "sink_name=back"}));
    ASSERT_TRUE(server_->pactl({"set-default-sink", "back"}));
    page->timer_re_start_snapTimer();
    EXPECT_TRUE(page->capturing());
    EXPECT_EQ(page->device_in_use(), "back");
    EXPECT_FALSE(page->restart_timer()->isActive());
    EXPECT_TRUE(page->draw_timer()->isActive());
}

TEST_F(MusicPage, KeyboardSwitchesTheRhythmOnOverAndOff) {
    start_sound();
    Tmain_form& w = open_board();
    // Off while the page does not exist: nothing is created.
    kb_->notify_rhythm_state(0);
    settle();
    EXPECT_EQ(w.page(c_music_spectrum), nullptr);
    // Over, while the page does not exist: it is created and switched on.
    kb_->notify_rhythm_state(2);
    ASSERT_TRUE(wait_until([&] { return w.page(c_music_spectrum) != nullptr; }));
    auto* page = dynamic_cast<Tmusic_spectrum_frame*>(w.page(c_music_spectrum));
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->rhythm_switch()->isChecked());
    EXPECT_TRUE(page->capturing());
    kb_->notify_rhythm_state(2);
    ASSERT_TRUE(wait_until([&] { return !page->capturing(); }));
    EXPECT_FALSE(page->rhythm_switch()->isChecked());
    kb_->notify_rhythm_state(1);
    ASSERT_TRUE(wait_until([&] { return page->capturing(); }));
    kb_->notify_rhythm_state(0);
    ASSERT_TRUE(wait_until([&] { return !page->capturing(); }));
    EXPECT_FALSE(page->rhythm_switch()->isChecked());
}

TEST_F(MusicPage, GainsEffectButtonsAndDisplaySettingsActOnlyWhileTheRhythmRuns) {
    start_sound();
    Tmain_form& w = open_board();
    Tmusic_spectrum_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    value_bar* vu = page->setting_bar(Tmusic_spectrum_frame::tag_vu_gain);
    value_bar* gain = page->setting_bar(Tmusic_spectrum_frame::tag_band_gain);
    const int width = vu->width();

    // Off: the buttons and bars do nothing.
    click(page->next_button());
    drag(vu, {width / 2});
    settle();
    EXPECT_TRUE(kb_->messages().empty());

    click(page->rhythm_switch());
    ASSERT_TRUE(page->capturing());
    kb_->clear_messages();
    click(page->previous_button());
    ASSERT_TRUE(wait_messages(w, 1));
    click(page->next_button());
    ASSERT_TRUE(wait_until([&] {
        size_t n = 0;
        for (const auto& m : kb_->messages()) n += m.command == cmd::rhythm_step;
        return n == 2 && !w.is_busy();
    }));
    // Both gains leave together on the release of either gain bar.
    const uint8_t* led = w.records().lighting.data();
    const int x = 4 + (width - 4) / 2;
    drag(vu, {10, x});
    ASSERT_TRUE(wait_until([&] {
        for (const auto& m : kb_->messages())
            if (m.command == cmd::rhythm_gains) return !w.is_busy();
        return false;
    }));
    const uint16_t want_vu = uint16_t(10 + double(x - 1) / double(width - 4) * 990);
    EXPECT_EQ(packet::read_u16(led + led::off_vu_gain), want_vu);
    std::vector<taken> steps_and_gains;
    for (const auto& m : kb_->messages())
        if (m.command != cmd::spectrum_frame) steps_and_gains.push_back({m.command, m.sub, m.value16});
    EXPECT_EQ(steps_and_gains, (std::vector<taken>{{cmd::rhythm_step, 0, 0},
                                                   {cmd::rhythm_step, 1, 0},
                                                   {cmd::rhythm_gains, 0, want_vu}}));
    for (const auto& m : kb_->messages())
        if (m.command == cmd::rhythm_gains) {
            EXPECT_EQ(m.value32, packet::read_u16(led + led::off_rhythm_gain));
        }

    // The display gain dragged to the right end stores its maximum, which
    // the next start loads again.
    drag(gain, {10, gain->width() - 2});
    EXPECT_EQ(page->display_settings()[music::band_gain], 2000);
    ini_file saved(folder_.file("spec_ui_cfg.cfg"));
    EXPECT_EQ(saved.read_int("SPEC_UI_CFG", "UI_BAND_GAIN", -1), 2000);
    EXPECT_EQ(music::load_display_settings(folder_.file("spec_ui_cfg.cfg"))[music::band_gain], 2000);
    EXPECT_EQ(gain->text(), QStringLiteral("2.000"));
}

TEST_F(MusicPage, WithoutASoundCardTheSwitchGoesBackOffWithAMessage) {
    temp_dir empty;
    use_empty_runtime_folder(empty.path());
    Tmain_form& w = open_board();
    Tmusic_spectrum_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    click(page->rhythm_switch());
    EXPECT_FALSE(page->rhythm_switch()->isChecked());
    EXPECT_FALSE(page->capturing());
    EXPECT_FALSE(page->restart_timer()->isActive());
    ASSERT_EQ(dialogs_.messages.size(), 1);
    EXPECT_EQ(dialogs_.messages[0], QString::fromUtf8("启动律动失败，未正确检测到声卡！"));
}

} // namespace
} // namespace qvk::testing
