// The ambient page's system-volume display against a private sound server:
// the volume set on the default output with pactl reaches the virtual
// keyboard as command 74, except the first change after connecting.

#include <QCheckBox>
#include <QTimer>
#include <fstream>

#include "lighting/ambient_page.h"
#include "link/command_catalogue.h"
#include "link/link_kind.h"
#include "sound_server.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

using namespace std::chrono_literals;

class ambient_volume : public window_test {};

TEST_F(ambient_volume, PactlVolumeReachesTheKeyboardButNotTheFirstChangeAfterConnecting) {
    sound_server server;
    ASSERT_TRUE(server.running()) << server.failure();
    ASSERT_TRUE(server.pactl({"set-sink-volume", "test", "30%"}));

    std::ofstream(folder_.path() + "/Skin.ini") << "[DispSysVolume]\r\nEnable=1\r\n";
    auto kb = add_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy(); }));
    auto* page = dynamic_cast<Tled_bkl_ws_edit_frame*>(w.page(c_bkl_ws_edit));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->volume_box()->isChecked());
    ASSERT_TRUE(page->volume_timer()->isActive());

    // The volume found at connecting (30 %) is the first change: not sent.
    wait_until([] { return false; }, 700ms);
    EXPECT_TRUE(kb->messages_of(cmd::system_volume).empty());

    ASSERT_TRUE(server.pactl({"set-sink-volume", "test", "45%"}));
    ASSERT_TRUE(wait_until([&] { return !kb->messages_of(cmd::system_volume).empty(); }));
    ASSERT_TRUE(server.pactl({"set-sink-volume", "test", "29%"}));
    ASSERT_TRUE(wait_until([&] { return kb->messages_of(cmd::system_volume).size() >= 2; }));
    wait_until([] { return false; }, 500ms);
    const std::vector<sim::host_message> sent = kb->messages_of(cmd::system_volume);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].sub, 45u);
    EXPECT_EQ(sent[1].sub, 29u);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(ambient_volume, NoSoundServerUnticksTheBoxWithAMessage) {
    // Sound clients pointed at a runtime folder where no server listens.
    use_empty_runtime_folder(folder_.path());
    std::ofstream(folder_.path() + "/Skin.ini") << "[DispSysVolume]\r\nEnable=1\r\n";
    add_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy(); }));
    auto* page = dynamic_cast<Tled_bkl_ws_edit_frame*>(w.page(c_bkl_ws_edit));
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->volume_box()->isChecked());
    ASSERT_EQ(dialogs_.messages.size(), 1);
    EXPECT_EQ(dialogs_.messages[0].toStdString(), "音频子系统启动失败");
}

} // namespace
} // namespace qvk::testing
