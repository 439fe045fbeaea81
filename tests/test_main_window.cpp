// The real main window, offscreen: pages and their guards, the busy state,
// detection of the virtual keyboard, tray rules, languages and settings.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QThread>
#include <QWheelEvent>

#include "app/busy_indicator.h"
#include "app/command_line.h"
#include "link/link_kind.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

const QStringList keyboard_pages = {"fl_0", "fl_7", "tl_3", "music_spectrum", "led_bkl_lig", "led_custom_bkl",
                                    "led_ws_lig", "led_indicator_edit", "indicator_action_edit",
                                    "led_user_led_edit", "macro_edit"};

// Triggers an action and tells whether its page came up. A page that reads
// from the keyboard is given time to get its answer.
bool opens(Tmain_form& w, const QString& action) {
    w.action("drive_config")->trigger(); // start every try from another page
    const int before = w.current_card();
    w.action(action)->trigger();
    const bool opened = w.current_card() != before;
    if (opened) wait_until([&] { return !w.is_busy(); });
    return opened;
}

using WindowStart = window_test;

TEST_F(WindowStart, ShowsDeviceListWithDisconnectedTitleAndIdleMenu) {
    Tmain_form& w = open_window();
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("QVK Dual Mode Keyboard Tools V1.1--->([!Disconnected])"));
    EXPECT_EQ(w.current_card(), c_device_list);
    EXPECT_EQ(w.current_page_label(), QString::fromUtf8("键盘列表"));
    EXPECT_EQ(w.detect_timer()->interval(), 1000);
    EXPECT_TRUE(w.detect_timer()->isActive());
    // No Skin.ini: first skin, auto-connect off, close ends the program.
    EXPECT_EQ(w.skin_combo()->currentIndex(), 0);
    EXPECT_FALSE(w.auto_connect_box()->isChecked());
    EXPECT_FALSE(w.minimise_on_close());
    EXPECT_EQ(w.action("fl_3")->text(), QString::fromUtf8("功能层3"));
    EXPECT_EQ(w.action("fl_3")->data().toInt(), 3);
}

TEST_F(WindowStart, TitleBarKeepsItsPlacesWhenResized) {
    Tmain_form& w = open_window();
    w.show();
    for (int width : {1024, 1241, 1600}) {
        w.resize(width, 700);
        QCoreApplication::processEvents();
        const QWidget* P = w.title_panel();
        const QRect C = w.skin_combo()->geometry();
        EXPECT_EQ(C.right() + 1, P->width() - (P->height() - C.height()) / 2) << width;
        EXPECT_EQ(C.top(), P->height() / 2 - C.height() / 2) << width;
        const QRect label = w.page_label()->geometry();
        EXPECT_EQ(label.width(), P->width() - 32 - C.width() - 64) << width;
        EXPECT_EQ(label.left(), P->width() / 2 - label.width() / 2) << width;
        const QRect battery = w.battery_image()->geometry();
        EXPECT_EQ(battery.size(), QSize(64, C.height())) << width;
        EXPECT_EQ(battery.left(), C.left() - 64 - 8) << width;
        EXPECT_EQ(battery.top(), C.top()) << width;
    }
}

TEST_F(WindowStart, MenuImageFoldsTheMenu) {
    Tmain_form& w = open_window();
    ASSERT_TRUE(w.menu_open());
    w.toggle_menu();
    EXPECT_FALSE(w.menu_open());
    w.toggle_menu();
    EXPECT_TRUE(w.menu_open());
}

using PageGuards = window_test;

TEST_F(PageGuards, NothingOpensWithoutALinkButTheListAndDriverSettings) {
    Tmain_form& w = open_window();
    for (const QString& a : keyboard_pages) EXPECT_FALSE(opens(w, a)) << a.toStdString();
    EXPECT_FALSE(opens(w, "device_config"));
    EXPECT_FALSE(opens(w, "device_manager"));
    EXPECT_TRUE(opens(w, "device_list"));
    w.action("device_list")->trigger();
    EXPECT_TRUE(opens(w, "drive_config") || w.current_card() == c_driver_cfg);
    EXPECT_TRUE(dialogs_.messages.isEmpty()); // a failed guard says nothing
}

TEST_F(PageGuards, FollowTheLinkKind) {
    struct row {
        uint32_t kind;
        bool keyboard_pages, device_config, device_manager;
    };
    const row rows[] = {
        {kind_usb, true, true, true},          {kind_usb_boot, false, true, true},
        {kind_ble, true, true, true},          {kind_rf_boot, false, false, true},
        {kind_rf_receiver, true, true, true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.kind);
        window_.reset();
        transport_ = std::make_shared<sim::virtual_transport>();
        bus_ = std::make_shared<device_bus>();
        bus_->add(transport_);
        Tmain_form& w = open_connected(r.kind);
        ASSERT_NE(w.active_link(), nullptr);
        for (const QString& a : keyboard_pages) EXPECT_EQ(opens(w, a), r.keyboard_pages) << a.toStdString();
        EXPECT_EQ(opens(w, "device_config"), r.device_config);
        EXPECT_EQ(opens(w, "device_manager"), r.device_manager);
    }
}

TEST_F(PageGuards, BusyBlocksEveryDevicePage) {
    Tmain_form& w = open_connected(kind_usb);
    w.set_busy(2, 1); // a command waits for its reply
    for (const QString& a : keyboard_pages) EXPECT_FALSE(opens(w, a)) << a.toStdString();
    EXPECT_FALSE(opens(w, "device_config"));
    EXPECT_FALSE(opens(w, "device_manager"));
    w.set_busy(1, 0);
    w.set_task_busy(true); // detection or initial read
    EXPECT_FALSE(opens(w, "fl_0"));
    EXPECT_FALSE(opens(w, "device_manager"));
}

TEST_F(PageGuards, DeadLinkOpensNoKeyboardPage) {
    auto kb = add_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    w.set_task_busy(false);
    kb->unplug();
    // The threads end before the window hears of it.
    for (int i = 0; i < 500 && w.active_link()->is_running(); ++i) QThread::msleep(2);
    ASSERT_FALSE(w.active_link()->is_running());
    EXPECT_FALSE(opens(w, "fl_1"));
    EXPECT_FALSE(opens(w, "device_manager"));
    EXPECT_TRUE(opens(w, "device_config")); // needs a link, not a running one
}

TEST_F(PageGuards, LayerActionsShowTheirCaptionOnTheTitleBar) {
    Tmain_form& w = open_connected(kind_usb);
    w.action("fl_3")->trigger();
    EXPECT_EQ(w.current_card(), c_flayer_edit);
    EXPECT_EQ(w.current_page_label(), QString::fromUtf8("功能层3"));
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); })); // layer 3 is read
    w.action("tl_5")->trigger();
    EXPECT_EQ(w.current_card(), c_tlayer_edit);
    EXPECT_EQ(w.current_page_label(), QString::fromUtf8("触发层5"));
}

TEST(BusyState, ModesFollowTheTaskFlag) {
    temp_dir folder;
    Tmain_form::options o;
    o.exe_dir = folder.path();
    Tmain_form w(std::move(o));
    struct step {
        const char* what;
        std::function<void()> act;
        bool busy;
        uint8_t awaiting;
    };
    const step steps[] = {
        {"send awaiting a reply", [&] { w.set_busy(2, 1); }, true, 1},
        {"queue ran empty keeps waiting", [&] { w.set_busy(0, 0); }, true, 1},
        {"reply arrived", [&] { w.set_busy(1, 0); }, false, 0},
        {"write without reply", [&] { w.set_busy(2, 0); }, true, 0},
        {"queue ran empty stops", [&] { w.set_busy(0, 0); }, false, 0},
        {"unknown mode does nothing", [&] { w.set_busy(7, 0); }, false, 0},
        {"task starts", [&] { w.set_task_busy(true); }, true, 0},
        {"reply during a task changes nothing", [&] { w.set_busy(1, 0); }, true, 0},
        {"task ends", [&] { w.set_task_busy(false); }, false, 0},
    };
    for (const step& s : steps) {
        s.act();
        EXPECT_EQ(w.is_busy(), s.busy) << s.what;
        EXPECT_EQ(w.activity_indicator()->animating(), s.busy) << s.what;
        EXPECT_EQ(w.awaiting_reply(), s.awaiting) << s.what;
    }
    w.set_task_busy(true);
    EXPECT_TRUE(w.is_task_busy());
}

using Detection = window_test;

TEST_F(Detection, FindsAndProbesTheKeyboardThenStops) {
    add_keyboard(kind_usb, "Q", 0x0105);
    Tmain_form& w = open_window();
    ASSERT_TRUE(wait_until([&] { return w.device_name(0) == "Q"; }, std::chrono::seconds(5)));
    EXPECT_EQ(w.device_version(0), 0x0105);
    EXPECT_EQ(w.detector()->kind_of(0), kind_usb);
    EXPECT_FALSE(w.detect_timer()->isActive()); // found: no more searching
    EXPECT_TRUE(wait_until([&] { return w.probe_link() == nullptr; }));
    // Every device has told its name: the list is idle, so it can be
    // refreshed.
    EXPECT_FALSE(w.is_task_busy());
}

TEST_F(Detection, KeepsSearchingEverySecondWhileNothingIsThere) {
    Tmain_form& w = open_window();
    w.timer_detect_hid_deviceTimer();
    EXPECT_TRUE(w.detect_timer()->isActive());
    EXPECT_EQ(w.detect_timer()->interval(), 1000);
    EXPECT_TRUE(w.is_busy());
}

TEST_F(Detection, AutoConnectsTheOnlyKeyboard) {
    folder_.write("Skin.ini", "[AutoConnKB]\r\nEnable=1\r\n");
    add_keyboard(kind_usb, "Solo");
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_NE(w.active_link(), nullptr);
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("QVK Dual Mode Keyboard Tools V1.1--->(Solo[USB])"));
}

TEST_F(Detection, UnplugDuringConnectionReturnsToTheListAndSearchesAgain) {
    auto kb = add_keyboard(kind_ble, "B");
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("QVK Dual Mode Keyboard Tools V1.1--->(B[BLE5])"));
    w.action("drive_config")->trigger();
    kb->unplug();
    ASSERT_TRUE(wait_until([&] { return w.active_link() == nullptr; }));
    EXPECT_EQ(w.detector()->kind_of(0), kind_none);
    EXPECT_EQ(w.current_card(), c_device_list);
    EXPECT_EQ(w.detect_timer()->interval(), 500);
    EXPECT_TRUE(w.detect_timer()->isActive());
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("QVK Dual Mode Keyboard Tools V1.1--->([!Disconnected])"));
}

TEST_F(Detection, ClosingWithALiveLinkEndsItsThreads) {
    auto kb = add_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    EXPECT_EQ(kb->open_handles(), 1u);
    w.close();
    EXPECT_TRUE(w.closing());
    EXPECT_EQ(w.active_link(), nullptr);
    EXPECT_EQ(kb->open_handles(), 0u);
    // A report arriving now is not handled.
    kb->send_packet(packet::make_short_command(40, 0, 0, 0));
    QCoreApplication::processEvents();
}

using Tray = window_test;

TEST_F(Tray, HideSwitchStartsBehindTheTrayIcon) {
    Tmain_form& w = open_window(true, 1);
    EXPECT_TRUE(w.in_tray());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.tray_icon()->isVisible());
    EXPECT_EQ(w.tray_icon()->toolTip(), w.windowTitle());
    w.restore_from_tray();
    EXPECT_FALSE(w.in_tray());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.tray_icon()->isVisible());
}

TEST_F(Tray, WithoutANotificationAreaTheWindowIsNeverLeftHidden) {
    Tmain_form& w = open_window(true, 0);
    EXPECT_FALSE(w.in_tray());
    EXPECT_TRUE(w.isMinimized());
    w.close_to_tray_box()->click();
    w.showNormal();
    w.close();
    EXPECT_FALSE(w.closing());
    EXPECT_TRUE(w.isMinimized());
}

TEST_F(Tray, CloseButtonHidesWhenMinimiseOnCloseIsSet) {
    folder_.write("Skin.ini", "[CloseCfg]\r\nMinimize=1\r\n");
    Tmain_form& w = open_window(false, 1);
    w.show();
    EXPECT_TRUE(w.minimise_on_close());
    EXPECT_TRUE(w.close_to_tray_box()->isChecked());
    w.close();
    EXPECT_FALSE(w.closing());
    EXPECT_TRUE(w.in_tray());
    w.quit_from_tray(); // "退出" always ends the program
    EXPECT_TRUE(w.closing());
}

TEST_F(Tray, MinimisingAlsoHidesBehindTheTrayIcon) {
    Tmain_form& w = open_window(false, 1);
    w.show();
    w.showMinimized();
    ASSERT_TRUE(wait_until([&] { return w.in_tray(); }));
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.tray_icon()->isVisible());
    w.restore_from_tray();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
}

TEST_F(Tray, CloseEndsTheProgramWhenMinimiseOnCloseIsClear) {
    Tmain_form& w = open_window(false, 1);
    w.show();
    w.close();
    EXPECT_TRUE(w.closing());
    EXPECT_FALSE(w.in_tray());
}

TEST(CommandLine, OnlyAnExactFirstHideArgumentHides) {
    struct row {
        std::vector<const char*> args;
        bool hide, demo;
    };
    const row rows[] = {
        {{"qvk", "-hide"}, true, false},
        {{"qvk", "-HIDE"}, false, false},
        {{"qvk", "--demo", "-hide"}, false, true},
        {{"qvk", "-hide", "--demo"}, true, true},
        {{"qvk"}, false, false},
    };
    for (const row& r : rows) {
        const command_line c = parse_command_line(int(r.args.size()), const_cast<char**>(r.args.data()));
        EXPECT_EQ(c.hide, r.hide);
        EXPECT_EQ(c.demo, r.demo);
    }
}

using Settings = window_test;

TEST_F(Settings, AutoConnectAndCloseBoxesWriteAtOnce) {
    Tmain_form& w = open_window();
    w.auto_connect_box()->click();
    EXPECT_NE(folder_.read("Skin.ini").find("Enable=1"), std::string::npos);
    w.close_to_tray_box()->click();
    EXPECT_NE(folder_.read("Skin.ini").find("Minimize=1"), std::string::npos);
    EXPECT_TRUE(w.minimise_on_close());
    w.auto_connect_box()->click();
    EXPECT_NE(folder_.read("Skin.ini").find("Enable=0"), std::string::npos);
}

TEST_F(Settings, SkinChoiceIsSavedAndColoursTheIndicator) {
    folder_.write("Skin.ini", "[SkinCfg]\r\nSkinID=3\r\n");
    Tmain_form& w = open_window();
    EXPECT_EQ(w.skin_combo()->currentIndex(), 3);
    EXPECT_EQ(w.activity_indicator()->colour(), QColor(Qt::white));
    w.skin_combo()->setCurrentIndex(2);
    EXPECT_EQ(w.activity_indicator()->colour(), QColor(Qt::black));
    EXPECT_NE(folder_.read("Skin.ini").find("SkinID=2"), std::string::npos);
}

TEST_F(Settings, SkinOutsideTheListFallsBackToTheFirst) {
    folder_.write("Skin.ini", "[SkinCfg]\r\nSkinID=400\r\n");
    Tmain_form& w = open_window();
    EXPECT_EQ(w.skin_combo()->currentIndex(), 0);
}

TEST_F(Settings, SkinChangeWhileBusyIsSavedButNotApplied) {
    Tmain_form& w = open_window();
    w.set_task_busy(true);
    w.skin_combo()->setCurrentIndex(5);
    ASSERT_EQ(dialogs_.messages.size(), 1);
    EXPECT_TRUE(dialogs_.messages[0].startsWith(QString::fromUtf8("检测到当前繁忙")));
    EXPECT_NE(folder_.read("Skin.ini").find("SkinID=5"), std::string::npos);
}

TEST_F(Settings, SkinChangeWhileConnectedReconnects) {
    Tmain_form& w = open_connected(kind_usb, "K");
    w.skin_combo()->setCurrentIndex(4);
    EXPECT_EQ(w.active_link(), nullptr);
    ASSERT_TRUE(wait_until([&] { return w.active_link() != nullptr; }));
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("QVK Dual Mode Keyboard Tools V1.1--->(K[USB])"));
}

using Languages = window_test;

TEST_F(Languages, StoredIndexOutsideTheListSelectsNothingUntilPicked) {
    folder_.write("Language/A.ini", "[Language]\r\n0=Keyboards\r\n");
    folder_.write("Language/B.ini", "[Language]\r\n0=Device list\r\n95=Quit\r\n");
    folder_.write("Skin.ini", "[SkinCfg]\r\nLanguage=5\r\n");
    Tmain_form& w = open_window();
    EXPECT_EQ(w.language_combo()->count(), 2);
    EXPECT_EQ(w.language_combo()->currentIndex(), -1);
    EXPECT_EQ(w.action("device_list")->text(), QString::fromUtf8("键盘列表"));
    EXPECT_EQ(w.current_page_label(), QString::fromUtf8("键盘列表"));

    w.language_combo()->setCurrentIndex(1);
    EXPECT_NE(folder_.read("Skin.ini").find("Language=1"), std::string::npos);
    EXPECT_EQ(w.action("device_list")->text(), "Device list");
    EXPECT_EQ(w.current_page_label(), "Device list"); // the showing page follows
    EXPECT_EQ(w.action("fl_0")->text(), QString::fromUtf8("功能层0")); // not in the file
}

TEST_F(Languages, StartsInTheStoredLanguage) {
    folder_.write("Language/A.ini", "[Language]\r\n0=Keyboards\r\n91=Auto connect\r\n");
    Tmain_form& w = open_window();
    EXPECT_EQ(w.language_combo()->currentText(), "A");
    EXPECT_EQ(w.action("device_list")->text(), "Keyboards");
    EXPECT_EQ(w.auto_connect_box()->text(), "Auto connect");
}

TEST_F(Languages, PickingTheSelectedLanguageWritesNothing) {
    folder_.write("Language/A.ini", "[Language]\r\n0=Keyboards\r\n");
    Tmain_form& w = open_window();
    ASSERT_EQ(w.language_combo()->currentIndex(), 0);
    const std::string before = folder_.read("Skin.ini");
    emit w.language_combo()->currentIndexChanged(0);
    EXPECT_EQ(folder_.read("Skin.ini"), before);
}

TEST_F(Languages, NoLanguageFolderKeepsTheBuiltInTexts) {
    Tmain_form& w = open_window();
    EXPECT_EQ(w.language_combo()->count(), 0);
    EXPECT_EQ(w.action("drive_config")->text(), QString::fromUtf8("驱动配置"));
}

using Scrolling = window_test;

TEST_F(Scrolling, WheelMovesAPageOneLinePerNotch) {
    Tmain_form& w = open_window();
    auto* box = w.card(c_macro_edit)->findChild<QScrollArea*>();
    ASSERT_NE(box, nullptr);
    box->widget()->setMinimumHeight(5000);
    box->resize(400, 300);
    box->show();
    QScrollBar* bar = box->verticalScrollBar();
    bar->setRange(0, 4700);
    const int step = bar->singleStep();
    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(box->viewport(), &down);
    EXPECT_EQ(bar->value(), step);
    QWheelEvent up(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(box->viewport(), &up);
    EXPECT_EQ(bar->value(), 0);
}

} // namespace
} // namespace qvk::testing
