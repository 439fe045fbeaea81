// The ambient light page and the bead page of the real main window,
// offscreen, against the virtual keyboard: building a group and sending it
// on switching and saving, the system-volume display with a volume reader
// the test controls, and bead formats and brightness saved in three chunks.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "common/ini_file.h"
#include "layers/kb_layout.h"
#include "lighting/ambient_groups.h"
#include "lighting/ambient_page.h"
#include "lighting/bead_page.h"
#include "lighting/system_volume.h"
#include "link/link_kind.h"
#include "marked_texts.h"
#include "sim/default_records.h"
#include "ui/colour_swatch.h"
#include "ui/selector_strip.h"
#include "ui/toggle_switch.h"
#include "ui/value_bar.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

using bytes = std::vector<uint8_t>;

// A volume reader whose level and success the test sets.
struct volume_script {
    float level = 0.5f;
    bool opens = true;
    int opened = 0;
};
class scripted_volume final : public volume_source {
public:
    explicit scripted_volume(volume_script& s) : s_(s) {}
    bool open() override {
        ++s_.opened;
        return s_.opens;
    }
    void refresh() override {}
    float level() const override { return s_.level; }

private:
    volume_script& s_;
};

// Reports of one command the keyboard received.
size_t reports_of(const sim::virtual_keyboard& kb, uint8_t command) {
    size_t n = 0;
    for (const packet::report65& r : kb.received())
        if (packet::command_of(r.data() + 1) == command) ++n;
    return n;
}

void double_click_line(QListWidget* list, int line) {
    QListWidgetItem* it = list->item(line);
    ASSERT_NE(it, nullptr);
    const QPoint at = list->visualItemRect(it).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void click_cell(selector_strip* strip, int cell) {
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, strip->cell_rect(cell).center());
}

class ambient_window : public window_test {
protected:
    void SetUp() override {
        window_test::SetUp();
        set_volume_source_maker([this] { return std::make_unique<scripted_volume>(volume_); });
    }
    void TearDown() override {
        window_test::TearDown();
        set_volume_source_maker({});
    }

    // Connects to a virtual keyboard whose records `prepare` may change
    // first, and waits until the read after connecting has ended.
    Tmain_form& connect(uint32_t kind = kind_usb,
                        const std::function<void(sim::virtual_keyboard&)>& prepare = {}) {
        kb_ = add_keyboard(kind);
        if (prepare) prepare(*kb_);
        Tmain_form& w = open_window();
        detect_and_probe();
        EXPECT_FALSE(w.connect_device(0));
        EXPECT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy(); }));
        return w;
    }
    void write_volume_setting(int enable) {
        std::ofstream(folder_.path() + "/Skin.ini") << "[DispSysVolume]\r\nEnable=" << enable << "\r\n";
    }
    int volume_setting() { return ini_file(folder_.path() + "/Skin.ini").read_int("DispSysVolume", "Enable", -1); }

    Tled_bkl_ws_edit_frame* ambient(Tmain_form& w) {
        return dynamic_cast<Tled_bkl_ws_edit_frame*>(w.page(c_bkl_ws_edit));
    }
    Tled_bkl_ws_edit_frame& open_ambient(Tmain_form& w) {
        w.action("led_ws_lig")->trigger();
        EXPECT_EQ(w.current_card(), c_bkl_ws_edit);
        return *ambient(w);
    }
    Tbkl_user_led_editer& open_beads(Tmain_form& w) {
        w.action("led_user_led_edit")->trigger();
        EXPECT_EQ(w.current_card(), c_bkl_user_led_edit);
        return *dynamic_cast<Tbkl_user_led_editer*>(w.page(c_bkl_user_led_edit));
    }
    // Waits until the keyboard has taken n messages of a command and the
    // window is idle again.
    bool wait_messages(Tmain_form& w, uint8_t command, size_t n) {
        return wait_until([&] { return kb_->messages_of(command).size() >= n && !w.is_busy(); });
    }

    std::shared_ptr<sim::virtual_keyboard> kb_;
    volume_script volume_;
};

// A layout with the demo keyboard's six beads and two cells, and five more
// cells (X 0..4, Y 1) that belong to no group.
void add_free_cells(sim::virtual_keyboard& kb) {
    bytes l = kb.record(cmd::read_layout);
    unsigned u = l[layout::off_ambient_count];
    for (unsigned x = 0; x < 5; ++x) layout::set_ambient_light(l.data(), u++, 0, uint8_t(0x10 | x));
    l[layout::off_ambient_count] = uint8_t(u);
    kb.set_record(cmd::read_layout, 0, l);
}

// ---------------------------------------------------------------- groups

TEST_F(ambient_window, BuildAGroupOfThreeSwitchGroupsAndSave) {
    Tmain_form& w = connect(kind_usb, add_free_cells);
    const bytes before = kb_->record(cmd::read_lighting);
    Tled_bkl_ws_edit_frame& page = open_ambient(w);
    ASSERT_EQ(page.all_lights()->count(), 13);
    EXPECT_EQ(page.group_lights()->count(), int(sim::default_beads));
    EXPECT_EQ(page.all_lights()->item(0)->text().toStdString(), "000: 驱动器=2812: [000] 亮度：100% 组:[0]");
    EXPECT_EQ(page.all_lights()->item(8)->text().toStdString(), "008: 驱动器=3741: [0-1]  [未使用]");

    // Leaving group 0 for group 2 sends group 0 as it stands.
    click_cell(page.group_strip(), 2);
    ASSERT_TRUE(wait_messages(w, cmd::write_ambient_group, 1));
    EXPECT_EQ(page.current_group(), 2u);
    sim::host_message m = kb_->messages_of(cmd::write_ambient_group).back();
    EXPECT_EQ(m.sub, 0u);
    const size_t g0 = led::off_ambient_groups, g2 = g0 + 2 * led::ambient_group_size;
    EXPECT_EQ(m.data, bytes(before.begin() + long(g0), before.begin() + long(g0 + 81)));
    EXPECT_EQ(reports_of(*kb_, cmd::write_ambient_group), 2u); // 52 + 29 bytes
    EXPECT_EQ(page.group_lights()->count(), 0);

    // Three free lights, a bead of group 0 refused, the second removed and
    // added again at the end; switch on, effect 4, a speed and a colour.
    for (int line : {8, 9, 10, 0}) double_click_line(page.all_lights(), line);
    ASSERT_EQ(page.group_lights()->count(), 3);
    double_click_line(page.group_lights(), 1);
    double_click_line(page.all_lights(), 9);
    EXPECT_EQ(page.group_lights()->item(2)->text().toStdString(), "009: 驱动器= 3741: [1-1] ");
    EXPECT_EQ(page.all_lights()->item(9)->text().toStdString(), "009: 驱动器=3741: [1-1]  组:[2]");
    QTest::mouseClick(page.group_switch(), Qt::LeftButton);
    page.effect_button(4)->click();
    value_bar* speed = page.speed_bar();
    QTest::mousePress(speed, Qt::LeftButton, Qt::NoModifier, QPoint(speed->width() / 2, 10));
    QTest::mouseRelease(speed, Qt::LeftButton, Qt::NoModifier, QPoint(speed->width() / 2, 10));
    // A right click takes a random colour.
    const QRgb old_colour = page.swatch(3)->colour();
    QTest::mouseClick(page.swatch(3), Qt::RightButton);
    ASSERT_TRUE(wait_until([&] { return page.swatch(3)->colour() != old_colour; }));
    const QRgb colour = page.swatch(3)->colour();

    QTest::mouseClick(page.save_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_messages(w, cmd::write_ambient_group, 2));
    bytes want(before.begin() + long(g2), before.begin() + long(g2 + 81));
    want[ambient::off_effect] = 4;
    want[ambient::off_switch_count] = 3 << 1 | 1;
    want[ambient::off_speed] = uint8_t(ambient::speed_at(speed->width() / 2, speed->width(), 10, 200));
    const bytes lights = {0x00, 0x10, 0x00, 0x12, 0x00, 0x11};
    std::copy(lights.begin(), lights.end(), want.begin() + ambient::off_lights);
    want[ambient::off_colours + 9] = uint8_t(colour >> 16);
    want[ambient::off_colours + 10] = uint8_t(colour >> 8);
    want[ambient::off_colours + 11] = uint8_t(colour);
    m = kb_->messages_of(cmd::write_ambient_group).back();
    EXPECT_EQ(m.sub, 2u);
    EXPECT_EQ(m.data, want);

    // Leaving group 2 sends it again; the keyboard then holds exactly the
    // edited bytes.
    click_cell(page.group_strip(), 4);
    ASSERT_TRUE(wait_messages(w, cmd::write_ambient_group, 3));
    EXPECT_EQ(kb_->messages_of(cmd::write_ambient_group).back().sub, 2u);
    bytes held = before;
    std::copy(want.begin(), want.end(), held.begin() + long(g2));
    EXPECT_EQ(kb_->record(cmd::read_lighting), held);
    EXPECT_TRUE(dialogs_.messages.isEmpty());

    // Opening the page again shows group 4 and the new groups of the lights.
    open_ambient(w);
    EXPECT_EQ(page.current_group(), 4u);
    EXPECT_EQ(page.all_lights()->item(10)->text().toStdString(), "010: 驱动器=3741: [2-1]  组:[2]");
}

TEST_F(ambient_window, GroupSettingsShowTheStoredGroup) {
    Tmain_form& w = connect(kind_usb, [](sim::virtual_keyboard& kb) {
        bytes led = kb.record(cmd::read_lighting);
        uint8_t* g3 = led.data() + led::off_ambient_groups + 3 * led::ambient_group_size;
        g3[ambient::off_effect] = 12;                     // beyond the ten effects
        g3[ambient::off_speed_min] = g3[ambient::off_speed_max] = 0; // nothing to adjust
        uint8_t* g5 = led.data() + led::off_ambient_groups + 5 * led::ambient_group_size;
        g5[ambient::off_switch_count] = 1 << 1 | 1;
        g5[ambient::off_lights] = 0x7F; // bead 63: not in the table
        kb.set_record(cmd::read_lighting, 0, led);
        bytes l = kb.record(cmd::read_layout);
        l[layout::off_present] = 0;
        kb.set_record(cmd::read_layout, 0, l);
    });
    Tled_bkl_ws_edit_frame& page = open_ambient(w);
    click_cell(page.group_strip(), 3);
    ASSERT_TRUE(wait_messages(w, cmd::write_ambient_group, 1));
    for (unsigned e = 0; e < ambient::effect_count; ++e) EXPECT_FALSE(page.effect_button(e)->isChecked()) << e;
    EXPECT_FALSE(page.speed_bar()->active());
    EXPECT_EQ(page.speed_bar()->text().toStdString(), "当前灯效无可调参数");
    // Without a layout the group switch cannot be turned on.
    QTest::mouseClick(page.group_switch(), Qt::LeftButton);
    EXPECT_FALSE(page.group_switch()->isChecked());
    EXPECT_FALSE(ambient::switched_on(ambient::group(w.records().lighting.data(), 3)));

    click_cell(page.group_strip(), 5);
    ASSERT_TRUE(wait_messages(w, cmd::write_ambient_group, 2));
    EXPECT_TRUE(page.group_switch()->isChecked());
    EXPECT_EQ(page.group_lights()->count(), 0);
    EXPECT_EQ(page.effect_button(5)->isChecked(), true);
}

// ---------------------------------------------------------------- system volume

TEST_F(ambient_window, VolumeDisplayFromTheSettingsSkipsTheFirstChange) {
    write_volume_setting(1);
    volume_.level = 0.3f;
    Tmain_form& w = connect();
    // The page came with the read after connecting, not shown.
    Tled_bkl_ws_edit_frame* page = ambient(w);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(w.current_card(), c_device_list);
    EXPECT_TRUE(page->volume_box()->isChecked());
    EXPECT_TRUE(page->volume_timer()->isActive());
    EXPECT_EQ(page->volume_timer()->interval(), 200);

    page->Timer1Timer(); // 30: the first change, not sent
    volume_.level = 0.456f;
    page->Timer1Timer();
    page->Timer1Timer(); // unchanged
    volume_.level = 0.5f;
    page->Timer1Timer();
    ASSERT_TRUE(wait_until([&] { return kb_->messages_of(cmd::system_volume).size() >= 2; }));
    QTest::qWait(50);
    const std::vector<sim::host_message> sent = kb_->messages_of(cmd::system_volume);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].sub, 45u);
    EXPECT_EQ(sent[1].sub, 50u);
    EXPECT_EQ(sent[0].value16, 0);
    EXPECT_EQ(sent[0].value32, 0u);
    EXPECT_FALSE(w.is_busy());
    EXPECT_EQ(volume_setting(), 1);
}

TEST_F(ambient_window, VolumeBoxTickedByTheUserSendsTheFirstChangeAndIsSaved) {
    Tmain_form& w = connect();
    Tled_bkl_ws_edit_frame& page = open_ambient(w);
    EXPECT_FALSE(page.volume_box()->isChecked());
    EXPECT_EQ(volume_.opened, 0);
    page.volume_box()->click();
    EXPECT_TRUE(page.volume_timer()->isActive());
    EXPECT_EQ(volume_setting(), 1);
    page.Timer1Timer();
    ASSERT_TRUE(wait_until([&] { return kb_->messages_of(cmd::system_volume).size() == 1; }));
    EXPECT_EQ(kb_->messages_of(cmd::system_volume)[0].sub, 50u);

    // Off and on again: the same volume is shown once more.
    page.volume_box()->click();
    EXPECT_FALSE(page.volume_timer()->isActive());
    EXPECT_FALSE(page.volume_reader_open());
    EXPECT_EQ(volume_setting(), 0);
    page.volume_box()->click();
    page.Timer1Timer();
    ASSERT_TRUE(wait_until([&] { return kb_->messages_of(cmd::system_volume).size() == 2; }));
}

TEST_F(ambient_window, AReaderThatCannotStartUnticksTheBox) {
    write_volume_setting(1);
    volume_.opens = false;
    Tmain_form& w = connect();
    ASSERT_NE(ambient(w), nullptr);
    EXPECT_FALSE(ambient(w)->volume_box()->isChecked());
    EXPECT_FALSE(ambient(w)->volume_timer()->isActive());
    ASSERT_EQ(dialogs_.messages.size(), 1);
    EXPECT_EQ(dialogs_.messages[0].toStdString(), "音频子系统启动失败");
    EXPECT_EQ(volume_setting(), 0);
}

// Where the volume may not go: with the master switch off the box cannot be
// ticked (and the setting stays), and nothing leaves through the 2.4 GHz
// receiver.
struct volume_gate_row {
    const char* name;
    uint32_t kind;
    bool master;
    bool ticks, sends;
};
class volume_gate : public ambient_window, public ::testing::WithParamInterface<volume_gate_row> {};

TEST_P(volume_gate, VolumeLeavesOnlyWithTheMasterSwitchOverUsbOrBluetooth) {
    const volume_gate_row& r = GetParam();
    write_volume_setting(0);
    Tmain_form& w = connect(r.kind, [&](sim::virtual_keyboard& kb) {
        bytes led = kb.record(cmd::read_lighting);
        led[led::off_master] = r.master ? 1 : 0;
        kb.set_record(cmd::read_lighting, 0, led);
    });
    Tled_bkl_ws_edit_frame& page = open_ambient(w);
    page.volume_box()->click();
    EXPECT_EQ(page.volume_box()->isChecked(), r.ticks);
    EXPECT_EQ(volume_setting(), r.ticks ? 1 : 0);
    page.Timer1Timer();
    EXPECT_EQ(wait_until([&] { return !kb_->messages_of(cmd::system_volume).empty(); },
                         std::chrono::milliseconds(300)),
              r.sends);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Links, volume_gate,
                         ::testing::Values(volume_gate_row{"MasterOff", kind_usb, false, false, false},
                                           volume_gate_row{"Receiver", kind_rf_receiver, true, true, false},
                                           volume_gate_row{"Bluetooth", kind_ble, true, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The master switch turned off by the keyboard (its report 58) or on the
// backlight page unticks the box and leaves the setting as it was.
class lights_off : public ambient_window, public ::testing::WithParamInterface<bool> {};

TEST_P(lights_off, UnticksTheVolumeBoxAndKeepsTheSetting) {
    const bool from_keyboard = GetParam();
    write_volume_setting(1);
    Tmain_form& w = connect();
    Tled_bkl_ws_edit_frame* page = ambient(w);
    ASSERT_TRUE(page && page->volume_box()->isChecked());
    if (from_keyboard) {
        kb_->notify_backlight(cmd::bkl_master_switch, 0);
    } else {
        w.action("led_bkl_lig")->trigger();
        auto* lights = w.card(c_bkl_lig_edit)->findChild<toggle_switch*>(QStringLiteral("ToggleSwitch1"));
        ASSERT_TRUE(lights && lights->isChecked());
        QTest::mouseClick(lights, Qt::LeftButton);
        ASSERT_TRUE(wait_messages(w, cmd::bkl_master_switch, 1));
    }
    ASSERT_TRUE(wait_until([&] { return !page->volume_box()->isChecked(); }));
    EXPECT_FALSE(page->volume_timer()->isActive());
    EXPECT_EQ(volume_setting(), 1);
}

INSTANTIATE_TEST_SUITE_P(By, lights_off, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "Keyboard" : "BacklightPage"); });

// ---------------------------------------------------------------- beads

TEST_F(ambient_window, TwoBeadsAtHalfBrightnessAndGrbSavedInThreeChunks) {
    Tmain_form& w = connect(kind_usb, [](sim::virtual_keyboard& kb) {
        bytes led = kb.record(cmd::read_lighting);
        for (unsigned p = 0; p < sim::default_beads; ++p) led[led::off_beads + p] = 0xC9; // RGB, 100 %
        kb.set_record(cmd::read_lighting, 0, led);
    });
    const bytes before = kb_->record(cmd::read_lighting);
    Tbkl_user_led_editer& page = open_beads(w);
    QListWidget* list = page.bead_list();
    ASSERT_EQ(list->count(), int(sim::default_beads));
    EXPECT_EQ(list->item(2)->text().toStdString(), "002: 数据格式：RGB  亮度：100%");
    EXPECT_EQ(page.format_strip()->selected(), 1);
    EXPECT_TRUE(page.save_button()->isEnabled());

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->item(2)).center());
    ASSERT_EQ(list->selectedItems().size(), 2);
    click_cell(page.format_strip(), 0);
    value_bar* bar = page.brightness_bar();
    const int half = 1 + (bar->width() - 4) / 2;
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(half, 10));
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(half, 10));
    EXPECT_EQ(bar->text().toStdString(), "可调节的最小值=0，最大值=100，当前值=50");
    EXPECT_EQ(list->item(0)->text().toStdString(), "000: 数据格式：GRB  亮度：50%");
    EXPECT_EQ(list->item(1)->text().toStdString(), "001: 数据格式：RGB  亮度：100%");

    QTest::mouseClick(page.save_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_messages(w, cmd::write_beads, 1));
    const sim::host_message m = kb_->messages_of(cmd::write_beads).back();
    EXPECT_EQ(m.sub, 0u);
    EXPECT_EQ(m.data.size(), 128u);
    EXPECT_EQ(reports_of(*kb_, cmd::write_beads), 3u); // 52 + 52 + 24 bytes
    bytes held = before;
    held[led::off_beads + 0] = held[led::off_beads + 2] = 50 << 1;
    EXPECT_EQ(kb_->record(cmd::read_lighting), held);
}

TEST_F(ambient_window, BeadsAmongCellsAndAStoredBrightnessAboveHundred) {
    Tmain_form& w = connect(kind_usb, [](sim::virtual_keyboard& kb) {
        bytes l = kb.record(cmd::read_layout);
        for (unsigned x = 0; x < 3; ++x) layout::set_ambient_light(l.data(), x, 0, uint8_t(x));
        layout::set_ambient_light(l.data(), 3, 4 << 1 | 1, 0);
        layout::set_ambient_light(l.data(), 4, 1 << 1 | 1, 0);
        l[layout::off_ambient_count] = 5;
        kb.set_record(cmd::read_layout, 0, l);
        bytes led = kb.record(cmd::read_lighting);
        led[led::off_beads + 4] = 0xFF;
        kb.set_record(cmd::read_lighting, 0, led);
    });
    Tbkl_user_led_editer& page = open_beads(w);
    ASSERT_EQ(page.bead_list()->count(), 2);
    EXPECT_EQ(page.bead_list()->item(0)->text().toStdString(), "003: 数据格式：RGB  亮度：100%");
    EXPECT_EQ(page.bead_list()->item(1)->text().toStdString(), "004: 数据格式：GRB  亮度：100%");
    EXPECT_EQ(w.records().lighting[led::off_beads + 4], 0xC9);
    EXPECT_EQ(page.brightness_bar()->text().toStdString(), "可调节的最小值=0，最大值=100，当前值=100");

    click_cell(page.format_strip(), 0);
    EXPECT_EQ(w.records().lighting[led::off_beads + 4], 0xC8);
    EXPECT_EQ(w.records().lighting[led::off_beads + 1], 100 << 1);
}

TEST_F(ambient_window, NoBeadsNoSaving) {
    Tmain_form& w = connect(kind_usb, [](sim::virtual_keyboard& kb) {
        bytes l = kb.record(cmd::read_layout);
        layout::set_ambient_light(l.data(), 0, 0, 0x21);
        l[layout::off_ambient_count] = 1;
        kb.set_record(cmd::read_layout, 0, l);
    });
    Tbkl_user_led_editer& page = open_beads(w);
    EXPECT_EQ(page.bead_list()->count(), 0);
    EXPECT_FALSE(page.save_button()->isEnabled());
}

// ---------------------------------------------------------------- texts

// Every text of both pages is looked up by its own ID and falls back to its
// own built-in default: under a language that turns each ID into a marker
// every text shows its marker, and without one it shows the default.
TEST_F(ambient_window, EveryTextOfBothPagesHasItsIdAndBuiltInDefault) {
    static const text_default page_texts[] = {
        {1110, "可编辑的氛围灯组：氛围灯可分为多个组，每个组可独立产生灯效，互不影响。"},
        {1111, "是否开启本组灯效：只有设置为开启，本组灯效才会展示。"},
        {1112, "本组使用的灯珠配置：从右侧可使用灯珠列表内选择可使用的灯珠，列表顺序从上到下排列则代表灯珠的顺序，灯效将按照这个顺序产生。"},
        {1113, "本组已选灯珠："},
        {1114, "可使用的灯珠："},
        {1115, "本组灯效的速度参数：可用于调整灯效运行的速度。"},
        {1116, "本组灯效的速度参数：可用于调整灯效运行的速度。"},
        {1117, "自定颜色：使用自定颜色灯效时，使用以下4个指定的颜色产生灯效。"},
        {1118, "鼠标点击小图标选择一个可编辑的组"},
        {1120, "保存当前组到键盘"},
        {1121, "彩虹跑马灯"}, {1122, "随机颜色呼吸灯"}, {1123, "随机颜色渐变"}, {1124, "自定颜色呼吸灯"},
        {1125, "自定颜色渐变"}, {1126, "按键随机闪烁"}, {1127, "左右跑马灯"}, {1128, "转圈跑马灯"},
        {1129, "按键爆闪"}, {1130, "音频电平指示器"},
        {1140, "使用氛围灯显示当前系统音量"},
        {1100, "可调节的最小值=10，最大值=200，当前值=50"},
        {1104, "000: 驱动器=2812: [000] 亮度：100% 组:[0]"},
        {1103, "006: 驱动器=3741: [14-0]  [未使用]"},
        {1105, "000: 驱动器= 2812: [000] 亮度：100%"},
        {1300, "可编辑的WS2812灯珠：单击或者按住(CTRL/SHIFT)多选，在右侧设置灯珠的亮度和数据格式。"},
        {1301, "灯珠的数据格式：不同的WS2812/SK6812，其数据格式所有不同，有的是GRB，有的是RGB，这里可以配置选中的灯珠所使用的数据格式，从而能保证正确的显示颜色。"},
        {1302, "灯珠的亮度：每颗灯珠的亮度都可以单独设置或者批量设置，选择一颗或者多颗灯珠，鼠标拖动以下进度条即可调整灯珠的亮度。"},
        {1303, "保存到键盘"},
        {1306, "单击选择数据格式"},
        {1307, "鼠标拖动调整亮度"},
        {1304, "000: 数据格式：GRB  亮度：100%"},
        {1305, "可调节的最小值=0，最大值=100，当前值=100"},
    };
    folder_.write("Language/A.ini", "[Language]\r\n");
    folder_.write("Language/B.ini", marking_language(page_texts));
    Tmain_form& w = connect();
    Tled_bkl_ws_edit_frame& ambient_page = open_ambient(w);
    Tbkl_user_led_editer& bead_page = open_beads(w);
    auto shown = [&] {
        std::vector<std::string> t;
        for (int i = 1; i <= 8; ++i)
            t.push_back(w.card(c_bkl_ws_edit)->findChild<QLabel*>(QStringLiteral("Label%1").arg(i))->text().toStdString());
        t.push_back(ambient_page.group_strip()->toolTip().toStdString());
        t.push_back(ambient_page.save_button()->text().toStdString());
        for (unsigned e = 0; e < ambient::effect_count; ++e) t.push_back(ambient_page.effect_button(e)->text().toStdString());
        t.push_back(ambient_page.volume_box()->text().toStdString());
        t.push_back(ambient_page.speed_bar()->text().toStdString());
        t.push_back(ambient_page.all_lights()->item(0)->text().toStdString());
        t.push_back(ambient_page.all_lights()->item(6)->text().toStdString());
        t.push_back(ambient_page.group_lights()->item(0)->text().toStdString());
        for (int i = 1; i <= 3; ++i)
            t.push_back(
                w.card(c_bkl_user_led_edit)->findChild<QLabel*>(QStringLiteral("Label%1").arg(i))->text().toStdString());
        t.push_back(bead_page.save_button()->text().toStdString());
        t.push_back(bead_page.format_strip()->toolTip().toStdString());
        t.push_back(bead_page.brightness_bar()->toolTip().toStdString());
        t.push_back(bead_page.bead_list()->item(0)->text().toStdString());
        t.push_back(bead_page.brightness_bar()->text().toStdString());
        return t;
    };
    const std::vector<std::string> built_in = shown();
    w.language_combo()->setCurrentIndex(1);
    const std::vector<std::string> marked = shown();
    ASSERT_EQ(built_in.size(), std::size(page_texts));
    ASSERT_EQ(marked.size(), std::size(page_texts));
    for (size_t i = 0; i < std::size(page_texts); ++i) {
        const text_default& t = page_texts[i];
        SCOPED_TRACE(t.id);
        EXPECT_EQ(built_in[i], t.def);
        EXPECT_EQ(marked[i], marker(t.id));
    }
}

} // namespace
} // namespace qvk::testing
