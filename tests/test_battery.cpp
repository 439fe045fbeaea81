// The battery picture of the title bar: what it draws, its clicks, its hint
// in any language, and the reading it asks the keyboard for.

#include <QComboBox>
#include <QImage>
#include <QTest>

#include "app/ui_batt_disp.h"
#include "link/link_kind.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

constexpr QRgb green = 0x06B025;
constexpr QRgb orange = 0xFF8C1A;

struct battery_on_panel {
    QWidget panel;
    int requests = 0;
    ui_batt_disp batt{&panel, nullptr, [this] { ++requests; }};
    battery_on_panel() { batt.picture()->setGeometry(0, 0, 64, 24); }
    QRgb pixel(int x, int y) const { return batt.picture()->pixmap().toImage().pixel(x, y) & 0xFFFFFF; }
};

TEST(Battery, LevelBarAndText) {
    struct level_case {
        uint8_t level;
        int fill;
        const char* text;
    };
    const level_case cases[] = {{50, 31, "50%"}, {0, 0, "0%"}, {100, 62, "100%"}, {1, 0, "1%"}};
    for (const level_case& c : cases) {
        SCOPED_TRACE(int(c.level));
        battery_on_panel b;
        b.batt.update(c.level, 3.9);
        EXPECT_EQ(b.batt.fill(), c.fill);
        EXPECT_EQ(b.batt.shown_text(), c.text);
        // The bar runs from x = 2 up to the fill; the rest stays green.
        if (c.fill > 2) {
            EXPECT_EQ(b.pixel(2, 2), orange);
            EXPECT_EQ(b.pixel(c.fill - 1, 21), orange);
        } else {
            EXPECT_EQ(b.pixel(2, 2), green);
        }
        EXPECT_EQ(b.pixel(c.fill + 1 < 62 ? c.fill + 1 : 62, 2), green);
        EXPECT_EQ(b.pixel(0, 0), QRgb(0xBCBCBC)); // the grey border
    }
}

TEST(Battery, LeftClickSwitchesToVoltageAndBackRightClickAsks) {
    battery_on_panel b;
    b.batt.update(76, 3.7);
    QTest::mouseClick(b.batt.picture(), Qt::LeftButton);
    EXPECT_TRUE(b.batt.show_voltage());
    EXPECT_EQ(b.batt.shown_text(), "3.700V");
    QTest::mouseClick(b.batt.picture(), Qt::LeftButton);
    EXPECT_EQ(b.batt.shown_text(), "76%");
    EXPECT_EQ(b.requests, 0);
    QTest::mouseClick(b.batt.picture(), Qt::RightButton);
    QTest::mouseClick(b.batt.picture(), Qt::MiddleButton);
    EXPECT_EQ(b.requests, 1);
}

TEST(Battery, HintFillsVoltageAndLevelInAnyLanguage) {
    battery_on_panel b;
    b.batt.update(50, 3.7);
    EXPECT_EQ(b.batt.picture()->toolTip(),
              QString::fromUtf8("电池电压=3.700V 电池电量=50% \n鼠标左键单击切换电压/电量显示\n鼠标右键单击更新当前电量\n"
                                "电量值在关灯时，才会准确"));
    // A translation that drops a placeholder or adds a stray one is shown
    // as it stands, never read past its values.
    QWidget panel;
    ui_batt_disp translated(&panel, [](uint32_t, const char*) { return QString("V=%.03f L=%u%% %s %d"); }, {});
    translated.picture()->setGeometry(0, 0, 64, 24);
    translated.update(7, 4.2);
    EXPECT_EQ(translated.picture()->toolTip(), "V=4.200 L=7% %s %d");
}

TEST(Battery, ReplyPayloadCarriesLevelAndLittleEndianDouble) {
    battery_on_panel b;
    const uint8_t payload[9] = {88, 0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0x0F, 0x40}; // 3.95
    b.batt.update_from_reply(payload);
    EXPECT_EQ(b.batt.level(), 88);
    EXPECT_DOUBLE_EQ(b.batt.voltage(), 3.95);
}

using BatteryWindow = window_test;

TEST_F(BatteryWindow, RightClickReadsTheKeyboardAndDisconnectEmptiesIt) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    ASSERT_EQ(w.battery()->level(), 100);
    kb->clear_received();
    QTest::mouseClick(w.battery_image(), Qt::RightButton);
    packet::packet64 p;
    ASSERT_TRUE(kb->wait_request(1, p));
    EXPECT_EQ(packet::command_of(p.data()), cmd::read_battery);
    std::vector<uint8_t> reply = {42, 0, 0, 0, 0, 0, 0, 0x0E, 0x40}; // 3.75 V
    kb->reply_record(cmd::read_battery, 0, reply);
    ASSERT_TRUE(wait_until([&] { return w.battery()->level() == 42; }));
    EXPECT_EQ(w.battery()->shown_text(), "42%");
    EXPECT_DOUBLE_EQ(w.battery()->voltage(), 3.75);

    w.disconnect_device();
    EXPECT_EQ(w.battery()->level(), 0);
    EXPECT_EQ(w.battery()->voltage(), 0.0);
    // Nothing to ask without a keyboard, and no message either.
    QTest::mouseClick(w.battery_image(), Qt::RightButton);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(BatteryWindow, UsbBootloaderIsNeverAsked) {
    auto kb = add_manual_keyboard(kind_usb_boot);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    QTest::mouseClick(w.battery_image(), Qt::RightButton);
    wait_until([] { return false; }, std::chrono::milliseconds(30));
    EXPECT_TRUE(kb->requests().empty());
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(BatteryWindow, LanguageChangeReachesTheHint) {
    folder_.write("Language/A.ini", "[Language]\r\n0=Keyboards\r\n");
    folder_.write("Language/B.ini", "[Language]\r\n500=V=%.03fV L=%u%\r\n");
    Tmain_form& w = open_window();
    ASSERT_EQ(w.language_combo()->currentIndex(), 0);
    w.language_combo()->setCurrentIndex(1);
    EXPECT_EQ(w.battery_image()->toolTip(), "V=0.000V L=0%");
}

} // namespace
} // namespace qvk::testing
