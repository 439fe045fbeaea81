// The device list of the real main window: entries and their pictures,
// connecting and disconnecting by double click, the refresh button, lost
// links and devices that do not tell their name.

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/device_list.h"
#include "app/link_event.h"
#include "link/link_kind.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

const QString title = QString::fromUtf8("QVK Dual Mode Keyboard Tools V1.1--->");

void double_click(QLabel* picture) {
    ASSERT_NE(picture, nullptr);
    QTest::mouseDClick(picture, Qt::LeftButton);
}

using DeviceList = window_test;

TEST_F(DeviceList, EntriesShowPictureCaptionAndHintLaidOutByScale) {
    add_keyboard(kind_usb, "Q", 0x0105);
    add_keyboard(kind_ble, "Air", 0x0203);
    Tmain_form& w = open_window();
    detect_and_probe();
    device_list_view& list = w.device_list();
    const float scale = w.dpi().scale;

    struct expected {
        QString caption;
        QString hint;
        uint32_t kind;
    };
    const expected want[] = {
        {"Q[USB]", QString::fromUtf8("Q [FW:1.5] (未连接,双击启动连接.)"), kind_usb},
        {"Air[BLE5]", QString::fromUtf8("Air [FW:2.3] (未连接,双击启动连接.)"), kind_ble},
    };
    for (uint32_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        QLabel* pic = list.picture(i);
        ASSERT_NE(pic, nullptr);
        EXPECT_FALSE(pic->isHidden());
        EXPECT_EQ(list.label(i)->text(), want[i].caption);
        EXPECT_EQ(pic->toolTip(), want[i].hint);
        EXPECT_EQ(list.shown_kind(i), want[i].kind);
        EXPECT_FALSE(list.shown_connected(i));
        EXPECT_FALSE(pic->pixmap().isNull());
        const int pw = int(128 * scale);
        EXPECT_EQ(pic->geometry(), QRect(int(float(i * uint32_t(pw)) + 100 + float(i) * 56 * scale), int(96 * scale), pw,
                                         int(96 * scale)));
        EXPECT_EQ(list.label(i)->y(), pic->y() + pic->height() + int(3 * scale));
    }
    EXPECT_EQ(list.picture(2), nullptr);
}

TEST(DeviceListLayout, SecondRowAndScale) {
    // Entry 5 at scale 1 and 2: the second row starts below the first.
    EXPECT_EQ(device_list_view::picture_rect(5, 1.0f), QRect(284, 248, 128, 96));
    EXPECT_EQ(device_list_view::picture_rect(4, 2.0f), QRect(100, 592, 256, 192));
    EXPECT_EQ(device_list_view::picture_rect(3, 1.5f), QRect(3 * 192 + 100 + 252, 144, 192, 144));
}

TEST_F(DeviceList, NamelessKeyboardIsListedByItsTagAndTitledNoName) {
    add_keyboard(kind_usb, "");
    Tmain_form& w = open_window();
    detect_and_probe();
    EXPECT_EQ(w.device_list().label(0)->text(), "[USB]");
    double_click(w.device_list().picture(0));
    ASSERT_NE(w.active_link(), nullptr);
    EXPECT_EQ(w.windowTitle(), title + "([!no name])");
}

TEST_F(DeviceList, TwoKeyboardsWithAutoConnectAreOnlyListed) {
    folder_.write("Skin.ini", "[AutoConnKB]\r\nEnable=1\r\n");
    add_keyboard(kind_usb, "A");
    add_keyboard(kind_rf_receiver, "B");
    Tmain_form& w = open_window();
    detect_and_probe();
    EXPECT_EQ(w.active_link(), nullptr);
    EXPECT_EQ(w.device_list().label(1)->text(), "B[2.4G Receiver]");
    EXPECT_EQ(w.windowTitle(), title + "([!Disconnected])");
}

TEST_F(DeviceList, DoubleClickConnectsDisconnectsAndSwitchesDevices) {
    auto a = add_manual_keyboard(kind_usb, "A");
    auto b = add_manual_keyboard(kind_rf_receiver, "B");
    Tmain_form& w = open_window();
    detect_and_probe();
    device_list_view& list = w.device_list();

    double_click(list.picture(0));
    ASSERT_NE(w.active_link(), nullptr);
    EXPECT_EQ(w.current_index(), 0u);
    EXPECT_TRUE(list.shown_connected(0));
    EXPECT_EQ(list.picture(0)->toolTip(), QString::fromUtf8("A [FW:1.2] (已连接,双击断开连接.)"));
    EXPECT_EQ(w.windowTitle(), title + "(A[USB])");
    EXPECT_TRUE(w.is_task_busy());

    // Another device: the first is disconnected, the second connected.
    double_click(list.picture(1));
    ASSERT_NE(w.active_link(), nullptr);
    EXPECT_EQ(w.current_index(), 1u);
    EXPECT_FALSE(list.shown_connected(0));
    EXPECT_TRUE(list.shown_connected(1));
    EXPECT_EQ(a->open_handles(), 0u);
    EXPECT_EQ(w.windowTitle(), title + "(B[2.4G])");

    // The connected device again: disconnected.
    double_click(list.picture(1));
    EXPECT_EQ(w.active_link(), nullptr);
    EXPECT_EQ(w.current_index(), 8u);
    EXPECT_FALSE(list.shown_connected(1));
    EXPECT_FALSE(w.is_task_busy());
    EXPECT_EQ(w.windowTitle(), title + "([!Disconnected])");
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(DeviceList, DeviceGoneBeforeTheDoubleClickGivesTheConnectMessage) {
    auto kb = add_keyboard(kind_usb, "A");
    Tmain_form& w = open_window();
    detect_and_probe();
    kb->unplug();
    double_click(w.device_list().picture(0));
    EXPECT_EQ(w.active_link(), nullptr);
    ASSERT_EQ(dialogs_.messages.size(), 1);
    EXPECT_EQ(dialogs_.messages[0],
              QString::fromUtf8("无法连接设备，这可能是设备被拔出、出现错误等原因，请检查设备的连接情况，并刷新键盘列表后再尝试连接。"));
    EXPECT_FALSE(w.device_list().picture(0)->isHidden()); // the list is not changed
}

TEST_F(DeviceList, RefreshWaitsWhileBusyThenClearsTheListAndSearchesAgain) {
    auto kb = add_manual_keyboard(kind_usb, "A");
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    // The initial read is running.
    QTest::mouseClick(w.refresh_button(), Qt::LeftButton);
    EXPECT_NE(w.active_link(), nullptr);
    EXPECT_FALSE(w.detect_timer()->isActive());

    answer_initial_read(*kb, std::vector<uint8_t>(record_size::layer_state, 0));
    ASSERT_TRUE(wait_until([&] { return !w.is_task_busy(); }));
    QTest::mouseClick(w.refresh_button(), Qt::LeftButton);
    EXPECT_EQ(w.active_link(), nullptr);
    EXPECT_TRUE(w.device_list().picture(0)->isHidden());
    EXPECT_TRUE(w.detect_timer()->isActive());
    EXPECT_EQ(w.detect_timer()->interval(), 500);
    // The search finds the keyboard again.
    ASSERT_TRUE(wait_until([&] { return !w.device_list().picture(0)->isHidden(); }));
}

TEST_F(DeviceList, UnplugDuringTheInitialReadForgetsTheEntryAndSearchesAgain) {
    auto kb = add_manual_keyboard(kind_usb, "A");
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    packet::packet64 p;
    ASSERT_TRUE(kb->wait_request(1, p));
    EXPECT_TRUE(w.read_progress_bar()->isVisibleTo(w.card(c_device_list)));
    w.action("drive_config")->trigger();

    kb->unplug();
    ASSERT_TRUE(wait_until([&] { return w.active_link() == nullptr; }));
    EXPECT_EQ(w.current_card(), c_device_list);
    EXPECT_EQ(w.detector()->kind_of(0), kind_none);
    EXPECT_TRUE(w.device_list().picture(0)->isHidden());
    EXPECT_FALSE(w.read_progress_bar()->isVisibleTo(w.card(c_device_list)));
    EXPECT_FALSE(w.is_task_busy());
    EXPECT_EQ(w.detect_timer()->interval(), 500);
    // Plugged in again, it is found by that search.
    kb->plug();
    ASSERT_TRUE(wait_until([&] { return !w.device_list().picture(0)->isHidden(); }, std::chrono::seconds(3)));
}

TEST_F(DeviceList, KeyboardThatNeverTellsItsNameIsAskedAgainLater) {
    auto kb = add_manual_keyboard(kind_usb, "Quiet");
    kb->answer_name = false;
    Tmain_form& w = open_window();
    w.set_probe_timeout(100);
    w.timer_detect_hid_deviceTimer();
    ASSERT_NE(w.probe_link(), nullptr);
    ASSERT_TRUE(wait_until([&] { return w.probe_link() == nullptr; }));
    EXPECT_FALSE(w.is_task_busy());
    EXPECT_TRUE(w.detect_timer()->isActive());
    EXPECT_TRUE(w.device_list().picture(0) == nullptr);

    // Once it answers, the next search lists it.
    kb->answer_name = true;
    ASSERT_TRUE(wait_until([&] { return w.device_list().picture(0) != nullptr; }, std::chrono::seconds(3)));
    EXPECT_EQ(w.device_list().label(0)->text(), "Quiet[USB]");
}

using DeviceListRaces = window_test;

TEST_F(DeviceListRaces, DoubleClickWhileDevicesAreAskedForTheirNamesDoesNothing) {
    add_keyboard(kind_usb, "A");
    add_keyboard(kind_usb, "B");
    Tmain_form& w = open_window();
    detect_and_probe();
    w.timer_detect_hid_deviceTimer();
    ASSERT_NE(w.probe_link(), nullptr);
    double_click(w.device_list().picture(1));
    EXPECT_EQ(w.active_link(), nullptr);
    ASSERT_TRUE(wait_until([&] { return w.probe_link() == nullptr; }));
    double_click(w.device_list().picture(1));
    EXPECT_NE(w.active_link(), nullptr);
}

TEST_F(DeviceListRaces, LossOfALinkThatIsAlreadyGoneLeavesTheConnectionAlone) {
    add_keyboard(kind_usb, "A");
    add_keyboard(kind_usb, "B");
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(1));
    QCoreApplication::postEvent(&w, new link_event(msg::link_lost, 0, 0));
    QCoreApplication::processEvents();
    EXPECT_NE(w.active_link(), nullptr);
    EXPECT_EQ(w.detector()->kind_of(0), kind_usb);
    QCoreApplication::postEvent(&w, new link_event(msg::link_lost, 1, 0));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.active_link(), nullptr);
}

using DetectionWhileListed = window_test;

TEST_F(DetectionWhileListed, RefreshWaitsUntilEveryDeviceHasToldItsName) {
    auto slow = add_manual_keyboard(kind_usb, "Slow");
    slow->answer_name = false;
    Tmain_form& w = open_window();
    w.timer_detect_hid_deviceTimer();
    ASSERT_NE(w.probe_link(), nullptr);
    // The probe's request has left (its queue ran empty) and still the list
    // is being built: the refresh button does nothing.
    ASSERT_TRUE(slow->wait_received(1, std::chrono::seconds(2)));
    wait_until([] { return false; }, std::chrono::milliseconds(30));
    EXPECT_TRUE(w.is_task_busy());
    QTest::mouseClick(w.refresh_button(), Qt::LeftButton);
    EXPECT_NE(w.probe_link(), nullptr);
    EXPECT_EQ(w.detector()->count(), 1u);
}

TEST_F(DetectionWhileListed, NoSearchWhileConnected) {
    auto a = add_keyboard(kind_usb, "A");
    Tmain_form& w = open_window();
    detect_and_probe();
    w.detect_timer()->start(500); // as after a lost link
    ASSERT_FALSE(w.connect_device(0));
    EXPECT_FALSE(w.detect_timer()->isActive());
    add_keyboard(kind_ble, "B");
    w.timer_detect_hid_deviceTimer(); // a tick that was already due
    EXPECT_EQ(w.detector()->count(), 1u);
    EXPECT_EQ(w.probe_link(), nullptr);
    EXPECT_EQ(a->open_handles(), 1u);
    EXPECT_TRUE(w.device_list().shown_connected(0));
}

TEST_F(DetectionWhileListed, LinkLostWithNoLinkLeftChangesNothing) {
    add_keyboard(kind_usb, "A");
    Tmain_form& w = open_window();
    detect_and_probe();
    w.action("drive_config")->trigger();
    QCoreApplication::postEvent(&w, new link_event(msg::link_lost, 0, 0));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.detector()->kind_of(0), kind_usb);
    EXPECT_EQ(w.current_card(), c_driver_cfg);
}

TEST_F(DetectionWhileListed, TitleNamesTheLinkKind) {
    const std::pair<uint32_t, const char*> kinds[] = {{kind_usb, "(K[USB])"},
                                                      {kind_usb_boot, "(K[USB BL])"},
                                                      {kind_ble, "(K[BLE5])"},
                                                      {kind_rf_boot, "(K[2.4G BL])"},
                                                      {kind_rf_receiver, "(K[2.4G])"}};
    for (const auto& [kind, tail] : kinds) {
        SCOPED_TRACE(tail);
        auto kb = add_keyboard(kind, "K");
        Tmain_form& w = open_window();
        detect_and_probe();
        ASSERT_FALSE(w.connect_device(0));
        EXPECT_EQ(w.windowTitle(), title + tail);
        window_.reset();
        transport_->remove(kb);
    }
}

} // namespace
} // namespace qvk::testing
