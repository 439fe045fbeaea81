// The function picker, offscreen: every action's bytes in the caller's slot
// in key and macro mode, every key, usage item and media button, what each
// mode hides, the delay checks, the lists filled on first visit, every text
// with its ID and built-in default, and where the window opens.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/dialogs.h"
#include "functions/func_code.h"
#include "functions/func_sel.h"
#include "functions/func_sel_widgets.h"
#include "functions/key_code_convert.h"
#include "marked_texts.h"
#include "temp_dir.h"

namespace qvk::testing {
namespace {

class recorded_dialogs final : public dialog_service {
public:
    QStringList messages;
    void show_message(const QString& text) override { messages << text; }
    bool ask_yes_no(const QString&, const QString& text) override {
        messages << text;
        return false;
    }
    QString open_file_name(const QString&, const QString&) override { return {}; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QColor> pick_colour(const QColor&) override { return std::nullopt; }
};

std::string hex(const uint8_t* b) {
    char s[16];
    std::snprintf(s, sizeof s, "%02X %02X %02X %02X", b[0], b[1], b[2], b[3]);
    return s;
}

// Something to do before clicking: pick a list item, type into a field or
// click a radio button.
struct prep {
    const char* name;
    int item = -1;
    const char* text = nullptr;
};

struct action_case {
    func_sel_page page;
    std::vector<prep> preps;
    const char* button;
    const char* expected; // slot bytes after the click, from AA BB CC DD
};

// Every text of the picker with its built-in default: page captions,
// labels, prompts, radio buttons, buttons and the delay message.
constexpr text_default picker_texts[] = {
        {4000, "数值设置错误，请设置在1-65535之间。"},
        {4001, "常规键码"},
        {4002, "媒体键码"},
        {4003, "鼠标"},
        {4004, "功能层和触发层"},
        {4005, "宏"},
        {4006, "蓝牙管理"},
        {4007, "电池和重启"},
        {4008, "背光灯效（轴灯）"},
        {4009, "氛围灯管理"},
        {4010, "指示灯"},
        {4011, "指示灯动作"},
        {4012, "WIN键锁定"},
        {4020, "常规输出"},
        {4021, "按下按键"},
        {4022, "弹起按键"},
        {4030, "模拟鼠标三个按键的点击，当被配置的按键按下时，模拟鼠标按键的按下事件，当按键弹起时，模拟鼠标按键的弹起事件。"},
        {4031, "注意：鼠标按键分按下和弹起，配置的时候，请注意不要只配置了按下或者弹起的其中一个事件，而是按下弹起两个事件都要配置。"},
        {4032, "模拟鼠标的滚轮滚动或者鼠标指针移动，当本功能被配置到功能层或者触发层的FN键时，具备自动连续滚动功能（按键按下一直滚动，按键弹起则停止），被配置到触发层的其他触发功能或者宏时，每触发一次，滚动/移动一次。每次触发滚动/移动的行数/像素可以自由设定：模拟滚轮滚动建议每次触发滚动1-8行之间，如果模拟鼠标移动，则建议每次移动10-20像素之间。由于蓝牙模式下的速度不如USB快，因此模拟连续指针移动时，可能会有较为明显的延迟。"},
        {4033, "每次滚动的行数/移动的像素："},
        {4034, "模拟左键"},
        {4035, "模拟中键"},
        {4036, "模拟右键"},
        {4037, "滚轮向上滚动"},
        {4038, "滚轮向下滚动"},
        {4039, "指针上移动"},
        {4040, "指针下移动"},
        {4041, "指针左移动"},
        {4042, "指针右移动"},
        {4050, "功能层切换：选择一个要切换到的层ID（0-7），当所配置的事件被触发的时候，功能层被切换到指定的层；切换到指定的层之后，并非其他层就不会被触发了，而是被切换到的层优先被触发，如果被切换到的层上，对应的按键配置为透明，则会按照0-7层的顺序继续扫描其他层上配置的触发功能，如果所有的层都被配置为透明，则键盘什么也不做。如果被切换到的层上对应的按键被禁用，或者其后的层上对应的按键被禁用，则内部的扫描器碰到被禁用的按键，则停止扫描；如果被切换到的层上配置了功能，则那个功能被执行，并忽略其后所有层的扫描。"},
        {4051, "选择将要切换到的层ID："},
        {4052, "功能层开关：开启或者关闭某个功能层，当某个功能层被关闭的时候，内部的扫描器不再扫描这个层上的所有配置；如果一个功能层被关闭，但是使用功能层切换功能切换到了这个被关闭的层上，则被关闭的层会自动开启。"},
        {4053, "选择将要开关的层ID："},
        {4054, "切换层的开关状态：当被切换的层是开启状态时，将会被关闭；当被切换的层是关闭状态时，将会被开启；每次本功能被触发，都会切换一次对应层的开启状态。"},
        {4055, "选择要切换的层ID："},
        {4056, "触发层切换：选择一个触发层ID，当本事件被触发时，触发层管理器会立即切换到指定的触发层。"},
        {4057, "选择要切换的触发层ID："},
        {4058, "确定"},
        {4059, "关闭"},
        {4060, "启动一组宏的运行：选择要运行的宏组编号（0-99），选择从这组宏的第几步开始运行，当对应的事件被触发时，本组会被启动并运行。"},
        {4061, "选择要运行的宏的组ID："},
        {4062, "宏停止：要停止正在运行的宏，请使用本功能。"},
        {4063, "宏跳转：使用本功能可以让正在执行的宏跳转到本组宏的另一步继续执行。"},
        {4064, "选择要跳转的宏的步ID："},
        {4065, "宏延时：宏在运行时，可以延时设定的时间（时间单位是毫秒），设置范围可以在1-65535之间。"},
        {4066, "延时的时间（单位毫秒）："},
        {4067, "宏随机延时：宏在运行时，可以随机产生一个延时时间，随机值在0-设定的时间范围内（时间单位是毫秒），设置范围可以在1-65535之间"},
        {4068, "随机的最大范围（单位毫秒）："},
        {4069, "停止宏"},
        {4070, "跳转"},
        {4080, "切换主机：蓝牙支持8个通道，每个通道对应一台配对的主机，编号0-7，本功能可以切换使用的通道，从而实现对多台配对主机的切换操作。"},
        {4081, "选择要切换的通道ID："},
        {4082, "蓝牙配置恢复默认值：本功能将蓝牙的所有配置恢复默认值，包括蓝牙的MAC地址，同时会删除蓝牙的所有配对信息！请注意：执行本操作后，所有配对过的主机都要删除这个键盘的配对信息，才能再次正确配对。"},
        {4083, "删除配对信息：本功能将删除蓝牙的所有配对信息！请注意：执行本操作后，所有配对过的主机都要删除这个键盘的配对信息，才能再次配对。"},
        {4084, "重启蓝牙模块：当蓝牙模块出现故障时，可以使用本功能，强行重启模块，从而解决可能出现的问题。"},
        {4085, "蓝牙休眠：执行本功能后，蓝牙模块立即进入休眠模式（全键盘都将进入休眠状态），直到再次被唤醒。"},
        {4086, "打印支持：可在一个可输入字符的位置，打印当前蓝牙已配对的主机数量、当前使用的通道ID以及当前配对的主机的MAC地址。"},
        {4087, "恢复默认值"},
        {4088, "删除所有配对信息"},
        {4089, "重启蓝牙模块"},
        {4090, "蓝牙休眠"},
        {4091, "打印已配对的主机数量"},
        {4092, "打印当前使用的通道ID"},
        {4093, "打印当前通道配对的主机MAC地址"},
        {4100, "立即启动一次电池电量的测量：为了节省电力，电池电压的测量并非一直在测量，系统只会在累计运行设定的时间后，才会启动一次测量并更新，本功能可以忽略这个配置，立即启动一次测量并更新。"},
        {4101, "打印支持：可以在一个可输入文本的位置打印上次测量的电池电压值，电池电量值，用于判断当前电池的状况。注意：如果开启了背光灯，那么测量值将会有较大误差，要准确的测量，请关闭所有灯光。"},
        {4102, "重启键盘固件：有时键盘固件可能会因为不可预知的BUG或者设计缺陷而导致故障，此时可软重启键盘固件，以临时解决可能出现的问题。注意：如果键盘固件已经死机，则您必须拔除USB线（纯有线模式），或者拔除电池（双模），或者按下PCB上的复位按键或者物理开关（如果有）。"},
        {4103, "启动测量"},
        {4104, "打印电量值"},
        {4105, "打印电压值"},
        {4106, "软重启键盘固件"},
        {4120, "切换灯效：按顺序切换到上一个灯效或者下一个灯效。注意：如果背光是关闭的，此功能无效。"},
        {4121, "开关灯光：可开启或者关闭背光（包括氛围灯，指示灯）。注意：这是所有灯的总开关。仅在USB已连接（有线模式）或者蓝牙已连接（蓝牙模式）时，本功能才有效。注意：如果背光已开启，当连接断开时（USB或者蓝牙），灯光会自动关闭，再次连接时，会自动开启。"},
        {4122, "切换灯光开关状态：如果当前灯光是开启的，则关闭，如果是关闭的，则开启。注意：仅在USB或者蓝牙连接后，本功能才有效。"},
        {4123, "指定灯效：选择一个灯效的ID，当本功能被触发时，灯效将直接切换到指定的灯效。"},
        {4124, "选择要切换到的灯效ID："},
        {4125, "背光亮度调整：用于调整背光LED驱动的驱动电流，从而调整显示亮度，内部调整以每次步进10进行调整，最小0（熄灭），最大255（最亮）。注意：更高的亮度意味着更加费电，这在电池供电模式是不建议的，在电池模式下建议尽量降低亮度。"},
        {4126, "律动开关切换：可通过键盘打开或者关闭律动并切换灯效，前提是驱动已经运行并开启了背光功能。"},
        {4127, "上一个灯效"},
        {4128, "下一个灯效"},
        {4129, "开启灯光"},
        {4130, "关闭灯光"},
        {4131, "切换状态"},
        {4132, "降低亮度"},
        {4133, "提高亮度"},
        {4134, "开启律动"},
        {4135, "关闭律动"},
        {4136, "切换开光状态"},
        {4137, "律动上一个灯效"},
        {4138, "律动下一个灯效"},
        {4139, "临时切换"},
        {4140, "恢复"},
        {4141, "降低速度"},
        {4142, "提高速度"},
        {4147, "临时切换灯效：指定要切换的灯效，当恢复时，自动恢复到切换之前的灯效。"},
        {4150, "切换灯效：选择一个要切换的氛围灯组（0-5），按顺序切换到上一个灯效或者下一个灯效。注意：如果背光是关闭的，此功能无效。"},
        {4151, "要切换的氛围灯组ID："},
        {4152, "开关氛围灯灯效：可开启或者关闭氛围灯指定组的灯效。注意：仅在USB已连接（有线模式）或者蓝牙已连接（蓝牙模式）时，本功能才有效。注意：如果背光已开启，当连接断开时（USB或者蓝牙），灯光会自动关闭，再次连接时，会自动开启。"},
        {4153, "切换氛围灯灯效开关状态：如果指定组的灯效是开启的，则关闭，如果是关闭的，则开启。注意：仅在USB或者蓝牙连接后，本功能才有效。"},
        {4154, "指定氛围灯组使用设定的灯效：选择一个氛围灯组的ID，并指定要切换到的灯效ID，当本功能被触发时，灯效将直接切换到指定的灯效。"},
        {4155, "选择要切换的组ID："},
        {4156, "上一个灯效"},
        {4157, "下一个灯效"},
        {4158, "开启灯光"},
        {4159, "关闭灯光"},
        {4160, "切换状态"},
        {4170, "开关指示灯：可开启或者关闭指示灯指定灯的开关。注意：仅在USB已连接（有线模式）或者蓝牙已连接（蓝牙模式）时，本功能才有效。注意：如果背光已开启，当连接断开时（USB或者蓝牙），灯光会自动关闭，再次连接时，会自动开启。"},
        {4171, "选择要开关的指示灯："},
        {4172, "开启"},
        {4173, "关闭"},
        {4180, "开关指示灯动作：指示灯动作可以在点亮或者熄灭某指示灯的时候，触发一个事件，利用这个事件可完成一系列功能。"},
        {4181, "选择要开关的指示灯动作："},
        {4193, "锁定或者解锁WIN键：可以设定一个组合，用于锁定或者解锁WIN键的触发，锁定后，WIN键无法被触发，只有解除锁定后，才能被触发，键盘重启后，默认是允许触发的；“切换”表示如果当前是锁定的，则解除，否则就锁定。"},
        {4194, "选择要操作的WIN键："},
        {4195, "切换"},
        {4196, "锁定"},
        {4197, "解锁"},
};

const char* picker_default(uint32_t id) {
    for (const text_default& t : picker_texts)
        if (t.id == id) return t.def;
    return "";
}

class Picker : public ::testing::Test {
protected:
    void SetUp() override {
        d.write("MediaKeyCode.ini", "[ConsumerKeyCode]\r\n0x00E9=Vol Up\r\n0xE2=Mute\r\n0x0183=Player\r\n");
        texts = std::make_unique<key_code_convert>(d.file("qvk-tools"));
    }

    Tfunc_sel& open(bool macro, int bkl_effects = 20, float scale = 1.0f) {
        Tfunc_sel::params p;
        p.convert = texts.get();
        p.bkl_effect_count = bkl_effects;
        p.ws_effect_count = 10;
        p.code = slot;
        p.macro_mode = macro ? 1 : 0;
        p.scale = scale;
        p.dialogs = &dialogs;
        dlg = std::make_unique<Tfunc_sel>(p);
        dlg->show();
        QCoreApplication::processEvents();
        return *dlg;
    }
    template <class W = QWidget>
    W* find(const char* name) {
        W* w = dlg->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void go_to(func_sel_page page) {
        dlg->pages()->setCurrentIndex(page);
        QCoreApplication::processEvents();
    }
    // Clicks a control the way the user does: scrolled into view first.
    void click(const char* name) {
        if (QWidget* w = find(name)) click(w, name);
    }
    void click(QWidget* w, const std::string& what) {
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
            if (auto* s = qobject_cast<QScrollArea*>(p)) s->ensureWidgetVisible(w);
        QCoreApplication::processEvents();
        ASSERT_TRUE(w->isVisible()) << what;
        QTest::mouseClick(w, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void run(const action_case& c) {
        std::copy(std::begin(start), std::end(start), slot);
        go_to(c.page);
        for (const prep& p : c.preps) {
            if (p.item >= 0)
                find<QComboBox>(p.name)->setCurrentIndex(p.item);
            else if (p.text)
                find<QLineEdit>(p.name)->setText(QString::fromLatin1(p.text));
            else
                click(p.name);
        }
        click(c.button);
        EXPECT_EQ(hex(slot), c.expected) << c.button;
        EXPECT_FALSE(dlg->isVisible()) << c.button;
        EXPECT_EQ(dlg->result(), QDialog::Accepted) << c.button;
    }

    // Clicks one function button of the open dialog on a fresh slot and
    // returns the bytes it wrote; the dialog is shown again afterwards.
    std::string written_by(QWidget* w, const std::string& what) {
        std::copy(std::begin(start), std::end(start), slot);
        if (!dlg->isVisible()) {
            dlg->show();
            QCoreApplication::processEvents();
        }
        click(w, what);
        EXPECT_FALSE(dlg->isVisible()) << what;
        EXPECT_EQ(dlg->result(), QDialog::Accepted) << what;
        return hex(slot);
    }
    // Texts of every page caption, label and button in creation order:
    // text and hint of each.
    std::vector<std::string> shown_texts() const {
        std::vector<std::string> t;
        for (int i = 0; i < dlg->pages()->count(); ++i) t.push_back(dlg->pages()->tabText(i).toStdString());
        for (QWidget* w : dlg->findChildren<QWidget*>()) {
            if (auto* l = qobject_cast<QLabel*>(w)) {
                t.push_back(l->text().toStdString());
                t.push_back(l->toolTip().toStdString());
            } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                t.push_back(b->text().toStdString());
                t.push_back(b->toolTip().toStdString());
            }
        }
        return t;
    }

    temp_dir d;
    std::unique_ptr<key_code_convert> texts;
    recorded_dialogs dialogs;
    std::unique_ptr<Tfunc_sel> dlg;
    static constexpr uint8_t start[4] = {0xAA, 0xBB, 0xCC, 0xDD};
    uint8_t slot[4] = {0xAA, 0xBB, 0xCC, 0xDD};
};

TEST_F(Picker, EveryKeyModeActionWritesItsBytes) {
    const action_case cases[] = {
        {page_keys, {}, "key_04", "02 04 00 00"},
        {page_keys, {}, "key_29", "02 29 00 00"},
        {page_keys, {}, "key_65", "02 65 00 00"},
        {page_keys, {}, "key_e7", "02 E7 00 00"},
        {page_keys, {}, "usage_item_0", "02 66 00 00"},
        {page_keys, {}, "usage_item_62", "02 A4 00 00"},
        {page_keys, {}, "usage_item_63", "02 B0 00 00"},
        {page_keys, {}, "usage_item_108", "02 DD 00 00"},
        {page_keys, {}, "btn_disable_key", "01 BB CC DD"},
        {page_media, {}, "media_00e9", "03 E9 00 00"},
        {page_media, {}, "media_00cd", "03 CD 00 00"},
        {page_media, {}, "media_022a", "03 2A 02 00"},
        {page_media, {}, "media_item_1", "03 E2 00 00"}, // "0xE2" in the file
        {page_media, {}, "media_item_2", "03 83 01 00"},
        {page_mouse, {}, "btn_mouse_left", "05 BB CC DD"},
        {page_mouse, {}, "btn_mouse_middle", "06 BB CC DD"},
        {page_mouse, {}, "btn_mouse_right", "07 BB CC DD"},
        {page_mouse, {}, "btn_wheel_up", "08 01 00 DD"},
        {page_mouse, {{"cb_mouse_step", 2}}, "btn_wheel_down", "09 03 00 DD"},
        {page_mouse, {{"cb_mouse_step", 9}}, "btn_pointer_up", "0A 0A 00 DD"},
        {page_mouse, {{"cb_mouse_step", 19}}, "btn_pointer_down", "0B 14 00 DD"},
        {page_mouse, {{"cb_mouse_step", 0}}, "btn_pointer_left", "0C 01 00 DD"},
        {page_mouse, {{"cb_mouse_step", 39}}, "btn_pointer_right", "0D 28 00 DD"},
        {page_layers, {{"cb_flayer_switch", 7}}, "btn_flayer_switch", "0E 07 CC DD"},
        {page_layers, {{"cb_flayer_enable", 3}}, "btn_flayer_open", "0F 03 01 DD"},
        {page_layers, {{"cb_flayer_enable", 3}}, "btn_flayer_close", "0F 03 00 DD"},
        {page_layers, {{"cb_flayer_toggle", 5}}, "btn_flayer_toggle", "10 05 CC DD"},
        {page_layers, {{"cb_tlayer_switch", 6}}, "btn_tlayer_switch", "11 06 CC DD"},
        {page_macros, {{"cb_macro_group", 5}, {"cb_macro_run_step", 300}}, "btn_macro_run", "12 05 2C 01"},
        {page_macros, {{"cb_macro_group", 99}, {"cb_macro_run_step", 511}}, "btn_macro_run", "12 63 FF 01"},
        {page_macros, {}, "btn_macro_stop", "13 BB CC DD"},
        {page_bluetooth, {{"cb_ble_host", 7}}, "btn_ble_host", "1E 07 CC DD"},
        {page_bluetooth, {}, "btn_ble_reset", "1B BB CC DD"},
        {page_bluetooth, {}, "btn_ble_unpair_all", "1C BB CC DD"},
        {page_bluetooth, {}, "btn_ble_restart", "1D BB CC DD"},
        {page_bluetooth, {}, "btn_ble_sleep", "1F BB CC DD"},
        {page_bluetooth, {}, "btn_ble_print_host_count", "20 BB CC DD"},
        {page_bluetooth, {}, "btn_ble_print_host_id", "21 BB CC DD"},
        {page_bluetooth, {}, "btn_ble_print_host_mac", "22 BB CC DD"},
        {page_battery, {}, "btn_batt_measure", "23 BB CC DD"},
        {page_battery, {}, "btn_batt_print_level", "24 BB CC DD"},
        {page_battery, {}, "btn_batt_print_voltage", "25 BB CC DD"},
        {page_battery, {}, "btn_fw_restart", "26 BB CC DD"},
        {page_backlight, {}, "btn_bkl_prev", "27 BB CC DD"},
        {page_backlight, {}, "btn_bkl_next", "28 BB CC DD"},
        {page_backlight, {{"cb_bkl_effect", 19}}, "btn_bkl_set", "29 13 CC DD"},
        {page_backlight, {}, "btn_bkl_on", "2A BB CC DD"},
        {page_backlight, {}, "btn_bkl_off", "2B BB CC DD"},
        {page_backlight, {}, "btn_bkl_toggle", "2C BB CC DD"},
        {page_backlight, {}, "btn_bkl_darker", "35 00 CC DD"},
        {page_backlight, {}, "btn_bkl_brighter", "35 01 CC DD"},
        {page_backlight, {}, "btn_rhythm_on", "37 01 CC DD"},
        {page_backlight, {}, "btn_rhythm_off", "37 00 CC DD"},
        {page_backlight, {}, "btn_rhythm_toggle", "37 02 CC DD"},
        {page_backlight, {{"cb_bkl_temp_effect", 3}}, "btn_bkl_temp", "39 00 03 DD"},
        {page_backlight, {}, "btn_bkl_restore", "39 01 00 DD"},
        {page_backlight, {}, "btn_bkl_slower", "3A 01 CC DD"},
        {page_backlight, {}, "btn_bkl_faster", "3A 00 CC DD"},
        {page_ambient, {{"cb_ws_group_step", 2}}, "btn_ws_prev", "2D 02 CC DD"},
        {page_ambient, {{"cb_ws_group_step", 3}}, "btn_ws_next", "2E 03 CC DD"},
        {page_ambient, {{"cb_ws_group_on_off", 5}}, "btn_ws_on", "30 05 CC DD"},
        {page_ambient, {{"cb_ws_group_on_off", 4}}, "btn_ws_off", "31 04 CC DD"},
        {page_ambient, {{"cb_ws_group_toggle", 1}}, "btn_ws_toggle", "32 01 CC DD"},
        {page_ambient, {{"cb_ws_group_set", 4}, {"cb_ws_effect", 9}}, "btn_ws_set", "2F 04 09 DD"},
        {page_indicators, {{"cb_indicator", 1}}, "btn_ind_on", "33 01 CC DD"},
        {page_indicators, {{"cb_indicator", 2}}, "btn_ind_off", "34 02 CC DD"},
        {page_indicator_actions, {{"cb_ind_action", 0}}, "btn_ind_action_on", "36 00 01 DD"},
        {page_indicator_actions, {{"cb_ind_action", 2}}, "btn_ind_action_off", "36 02 00 DD"},
        {page_win_lock, {{"cb_win_keys", 2}}, "btn_win_toggle", "38 02 03 DD"},
        {page_win_lock, {{"cb_win_keys", 1}}, "btn_win_lock", "38 01 02 DD"},
        {page_win_lock, {{"cb_win_keys", 0}}, "btn_win_unlock", "38 00 01 DD"},
    };
    for (const action_case& c : cases) {
        open(false);
        run(c);
    }
}

TEST_F(Picker, MacroModeActionsWriteTheirBytes) {
    const action_case cases[] = {
        {page_keys, {}, "key_04", "02 04 00 00"},
        {page_keys, {{"rb_key_release"}}, "key_04", "17 04 00 00"},
        {page_keys, {{"rb_key_press"}}, "key_e0", "17 E0 01 00"},
        {page_keys, {{"rb_key_press"}, {"rb_key_normal"}}, "key_04", "02 04 00 00"},
        {page_keys, {{"rb_key_press"}}, "usage_item_108", "17 DD 01 00"},
        {page_media, {{"rb_media_press"}}, "media_00e9", "18 E9 00 01"},
        {page_media, {{"rb_media_release"}}, "media_022a", "18 2A 02 00"},
        {page_media, {}, "media_00e9", "03 E9 00 00"},
        {page_media, {{"rb_media_press"}}, "media_item_2", "18 83 01 01"},
        {page_macros, {{"cb_macro_jump_step", 300}}, "btn_macro_jump", "14 BB 2C 01"},
        {page_macros, {{"edit_delay", -1, "65535"}}, "btn_delay", "15 FF FF DD"},
        {page_macros, {{"edit_delay", -1, "1"}}, "btn_delay", "15 01 00 DD"},
        {page_macros, {}, "btn_random_delay", "16 64 00 DD"}, // the field starts at 100
        {page_macros, {{"edit_random_delay", -1, "1000"}}, "btn_random_delay", "16 E8 03 DD"},
        {page_mouse, {{"cb_mouse_step", 2}}, "btn_wheel_down", "09 03 00 DD"},
    };
    for (const action_case& c : cases) {
        open(true);
        run(c);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Picker, ChoiceOfTheKeyPageIsKeptPerPage) {
    // The press/release choice of the key page does not change the media page.
    open(true);
    go_to(page_keys);
    click("rb_key_press");
    go_to(page_media);
    click("media_00e9");
    EXPECT_EQ(hex(slot), "03 E9 00 00");
}

TEST_F(Picker, EachModeHidesTheOthersControls) {
    const char* macro_only[] = {"rb_key_press",  "rb_key_release",     "rb_media_press",       "rb_media_release",
                                "cb_macro_jump_step", "btn_macro_jump", "edit_delay",        "btn_delay",
                                "edit_random_delay",  "btn_random_delay"};
    const func_sel_page page_of[] = {page_keys,   page_keys,   page_media,  page_media,  page_macros,
                                     page_macros, page_macros, page_macros, page_macros, page_macros};
    for (bool macro : {false, true}) {
        open(macro);
        for (size_t i = 0; i < std::size(macro_only); ++i) {
            go_to(page_of[i]);
            EXPECT_EQ(find(macro_only[i])->isVisible(), macro) << macro_only[i] << " macro " << macro;
        }
        // The explanations and prompts of the jump and delay rows.
        go_to(page_macros);
        for (uint32_t id = 4063; id <= 4068; ++id) {
            int shown = 0, labels = 0;
            for (QLabel* l : dlg->findChildren<QLabel*>())
                if (l->text() == QString::fromUtf8(picker_default(id))) {
                    ++labels;
                    shown += l->isVisible() ? 1 : 0;
                }
            EXPECT_EQ(labels, 1) << id;
            EXPECT_EQ(shown, macro ? 1 : 0) << id << " macro " << macro;
        }
        go_to(page_keys);
        EXPECT_EQ(find("btn_disable_key")->isVisible(), !macro);
        EXPECT_TRUE(find("rb_key_normal")->isVisible());
        go_to(page_backlight);
        EXPECT_FALSE(find("btn_rhythm_prev")->isVisible());
        EXPECT_FALSE(find("btn_rhythm_next")->isVisible());
    }
    // In key mode the jump list is never filled, even after a visit.
    open(false);
    go_to(page_macros);
    EXPECT_EQ(find<QComboBox>("cb_macro_jump_step")->count(), 0);
}

TEST_F(Picker, WrongDelaysAreRefusedAndTheDialogStaysOpen) {
    const std::pair<const char*, const char*> rows[] = {{"edit_delay", "btn_delay"},
                                                        {"edit_random_delay", "btn_random_delay"}};
    for (const auto& [field, button] : rows) {
        for (const char* text : {"0", "65536", "", "99999999999"}) {
            open(true);
            dialogs.messages.clear();
            go_to(page_macros);
            find<QLineEdit>(field)->setText(QString::fromLatin1(text));
            click(button);
            EXPECT_EQ(dialogs.messages, QStringList{QString::fromUtf8("数值设置错误，请设置在1-65535之间。")})
                << field << " '" << text << "'";
            EXPECT_EQ(hex(slot), "AA BB CC DD") << text;
            EXPECT_TRUE(dlg->isVisible()) << text;
            // The user corrects the value and the same dialog writes it.
            find<QLineEdit>(field)->setText(QStringLiteral("7"));
            click(button);
            EXPECT_EQ(slot[1], 7);
            EXPECT_FALSE(dlg->isVisible());
            std::copy(std::begin(start), std::end(start), slot);
        }
    }
}

TEST_F(Picker, DelayFieldTakesOnlyDigits) {
    open(true);
    go_to(page_macros);
    auto* field = find<QLineEdit>("edit_delay");
    field->clear();
    QTest::keyClicks(field, QStringLiteral("1a-2 3"));
    EXPECT_EQ(field->text(), QStringLiteral("123"));
}

TEST_F(Picker, LongListsAreFilledOnTheFirstVisitOfTheirPage) {
    for (bool macro : {false, true}) {
        open(macro, 20);
        auto* media = find<button_list>("media_list");
        const char* lists[] = {"cb_macro_group", "cb_macro_run_step", "cb_macro_jump_step", "cb_bkl_effect",
                               "cb_bkl_temp_effect", "cb_ws_effect"};
        EXPECT_EQ(media->count(), 0);
        EXPECT_TRUE(media->isHidden());
        for (const char* l : lists) EXPECT_EQ(find<QComboBox>(l)->count(), 0) << l;

        for (int round = 0; round < 2; ++round) { // a second visit adds nothing
            for (func_sel_page p : {page_media, page_macros, page_backlight, page_ambient, page_keys}) go_to(p);
            EXPECT_EQ(media->count(), 3);
            EXPECT_FALSE(media->isHidden());
            EXPECT_EQ(find<QComboBox>("cb_macro_group")->count(), 100);
            EXPECT_EQ(find<QComboBox>("cb_macro_run_step")->count(), 512);
            EXPECT_EQ(find<QComboBox>("cb_macro_jump_step")->count(), macro ? 512 : 0);
            EXPECT_EQ(find<QComboBox>("cb_bkl_effect")->count(), 20);
            EXPECT_EQ(find<QComboBox>("cb_bkl_temp_effect")->count(), 20);
            EXPECT_EQ(find<QComboBox>("cb_ws_effect")->count(), 10);
        }
        for (const char* l : {"cb_macro_group", "cb_macro_run_step", "cb_bkl_effect", "cb_ws_effect"}) {
            EXPECT_EQ(find<QComboBox>(l)->currentIndex(), 0) << l;
            EXPECT_EQ(find<QComboBox>(l)->itemText(0), QStringLiteral("0")) << l;
        }
        EXPECT_EQ(find<QComboBox>("cb_macro_run_step")->itemText(511), QStringLiteral("511"));
        EXPECT_EQ(find<QComboBox>("cb_bkl_effect")->itemText(19), QStringLiteral("19"));
        EXPECT_EQ(find<QComboBox>("cb_mouse_step")->itemText(39), QStringLiteral("40"));
    }
}

TEST_F(Picker, WithoutBacklightEffectsTheEffectButtonsWriteNothing) {
    for (int count : {0, -3}) {
        open(false, count);
        go_to(page_backlight);
        EXPECT_EQ(find<QComboBox>("cb_bkl_effect")->count(), 0);
        EXPECT_EQ(find<QComboBox>("cb_bkl_temp_effect")->currentIndex(), -1);
        for (const char* b : {"btn_bkl_set", "btn_bkl_temp"}) {
            EXPECT_FALSE(find(b)->isEnabled()) << b;
            QTest::mouseClick(find(b), Qt::LeftButton);
            EXPECT_EQ(hex(slot), "AA BB CC DD") << b;
            EXPECT_TRUE(dlg->isVisible()) << b;
        }
        // Restoring needs no effect number.
        click("btn_bkl_restore");
        EXPECT_EQ(hex(slot), "39 01 00 DD");
        std::copy(std::begin(start), std::end(start), slot);
    }
}

TEST_F(Picker, MoreEffectsThanAByteHoldsAreNotOffered) {
    open(false, 1000);
    go_to(page_backlight);
    EXPECT_EQ(find<QComboBox>("cb_bkl_effect")->count(), 256);
}

TEST_F(Picker, ClosingWithoutChoosingLeavesTheSlot) {
    // The dialog is closed with choices made on its pages; the very same
    // dialog, shown again, writes them into this slot with one click, so an
    // unchanged slot means the close wrote nothing.
    open(true);
    go_to(page_mouse);
    find<QComboBox>("cb_mouse_step")->setCurrentIndex(5);
    go_to(page_keys);
    click("rb_key_press");
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(hex(slot), "AA BB CC DD");
    dlg->show();
    EXPECT_EQ(written_by(find("key_04"), "key_04"), "17 04 01 00");

    std::copy(std::begin(start), std::end(start), slot);
    open(false);
    go_to(page_layers);
    find<QComboBox>("cb_flayer_switch")->setCurrentIndex(3);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(hex(slot), "AA BB CC DD");
    dlg->show();
    go_to(page_layers);
    EXPECT_EQ(written_by(find("btn_flayer_switch"), "btn_flayer_switch"), "0E 03 CC DD");
}

TEST_F(Picker, EveryKeyOfTheKeyboardWritesItsOwnUsage) {
    open(false);
    const QList<QPushButton*> keys = find("keyboard")->findChildren<QPushButton*>();
    ASSERT_EQ(keys.size(), 106);
    std::map<int, int> times;
    std::map<int, QString> caption_of;
    for (QPushButton* k : keys) {
        const std::string what = k->objectName().toStdString() + " " + k->text().toStdString();
        const std::string bytes = written_by(k, what);
        EXPECT_EQ(bytes.substr(0, 2) + bytes.substr(5), "02 00 00") << what << ": " << bytes;
        const int usage = slot[1];
        ++times[usage];
        caption_of[usage] = k->text();
    }
    std::map<int, int> expected;
    for (int u = 0x04; u <= 0x65; ++u) expected[u] = 1;
    for (int u = 0xE0; u <= 0xE7; ++u) expected[u] = 1;
    EXPECT_EQ(times, expected);
    const std::pair<int, const char*> legends[] = {{0x29, "ESC"}, {0x2A, "BackSpace"}, {0x2C, "SPACE"},
                                                    {0x53, "NUM"}, {0x1E, "1  !"},     {0x32, "Europ1"},
                                                    {0xE0, "L_Ctrl"}};
    for (const auto& [usage, legend] : legends) EXPECT_EQ(caption_of[usage], QString::fromLatin1(legend)) << usage;
}

TEST_F(Picker, EveryItemOfTheUsageListWritesItsUsageInOrder) {
    std::vector<std::string> captions = {"Keyboard Power", "Keypad ="};
    for (int i = 13; i <= 24; ++i) captions.push_back("F" + std::to_string(i));
    for (const char* c : {"Execute", "Help", "Menu", "Select", "Stop", "Again", "Undo", "Cut", "Copy", "Paste",
                          "Find", "Mute", "Volume Up", "Volume Down", "Locking Caps Lock", "Locking Num Lock",
                          "Locking Scroll Lock", "Comma", "Equal Sign"})
        captions.push_back(c);
    for (int i = 1; i <= 9; ++i) captions.push_back("International" + std::to_string(i));
    for (int i = 1; i <= 9; ++i) captions.push_back("LANG" + std::to_string(i));
    for (const char* c : {"Alternate Erase", "SysReq/Attention", "Cancel", "Clear", "Prior", "Return", "Separator",
                          "Out", "Oper", "Clear/Again", "CrSel/Props", "ExSel", "PAD_00", "PAD_000",
                          "Thousands Separator", "Decimal Separator", "Currency Unit", "Currency Sub-unit",
                          "Keypad (", "Keypad )", "Keypad {", "Keypad }", "Keypad Tab", "Keypad Backspace"})
        captions.push_back(c);
    for (char c = 'A'; c <= 'F'; ++c) captions.push_back(std::string("Keypad ") + c);
    for (const char* c : {"Keypad XOR", "Keypad ^", "Keypad %", "Keypad <", "Keypad >", "Keypad &", "Keypad &&",
                          "Keypad |", "Keypad ||", "Keypad :", "Keypad #", "Keypad Space", "Keypad @", "Keypad !",
                          "Memory Store", "Memory Recall", "Memory Clear", "Memory Add", "Memory Subtract",
                          "Memory Multiply", "Memory Divide", "Keypad +/-", "Keypad Clear", "Clear Entry", "Binary",
                          "Octal", "Decimal", "Hexadecimal"})
        captions.push_back(c);
    ASSERT_EQ(captions.size(), 109u);

    open(false);
    auto* list = find<button_list>("usage_list");
    ASSERT_EQ(list->count(), 109);
    for (int i = 0; i < list->count(); ++i) {
        const int usage = i <= 62 ? 0x66 + i : 0xB0 + (i - 63);
        char expected[16];
        std::snprintf(expected, sizeof expected, "02 %02X 00 00", usage);
        EXPECT_EQ(list->item(i)->toolTip().toStdString(), captions[size_t(i)]) << "item " << i;
        EXPECT_EQ(written_by(list->item(i), "item " + std::to_string(i)), expected) << "item " << i;
    }
}

TEST_F(Picker, EveryFixedMediaButtonWritesItsUsage) {
    const std::pair<const char*, uint16_t> buttons[] = {
        {"VOL +", 0x00E9},    {"Next", 0x00B5},    {"Prev", 0x00B6},   {"VOL -", 0x00EA}, {"Mute", 0x00E2},
        {"Rewind", 0x00B4},   {"Forward", 0x00B3}, {"Play", 0x00CD},   {"Pause", 0x00B1}, {"Stop", 0x00B7},
        {"Computer", 0x0194}, {"Calc", 0x0192},    {"Search", 0x0221}, {"Home", 0x0223},  {"Back", 0x0224},
        {"Forward", 0x0225},  {"Refresh", 0x0227}, {"Stop", 0x0226},   {"Label", 0x022A},
    };
    open(false);
    go_to(page_media);
    auto* fixed = find<button_list>("media_buttons");
    ASSERT_EQ(fixed->count(), int(std::size(buttons)));
    for (int i = 0; i < fixed->count(); ++i) {
        const auto& [caption, usage] = buttons[i];
        char expected[16];
        std::snprintf(expected, sizeof expected, "03 %02X %02X 00", usage & 0xFF, usage >> 8);
        EXPECT_EQ(fixed->item(i)->text(), QString::fromLatin1(caption)) << i;
        EXPECT_EQ(written_by(fixed->item(i), caption), expected) << i << " " << caption;
    }
}

TEST_F(Picker, EveryTextHasItsIdAndBuiltInDefault) {
    // The same dialog twice: with the built-in texts, then with every text ID
    // shown as its marker.
    open(true);
    const std::vector<std::string> built_in = shown_texts();
    go_to(page_macros);
    find<QLineEdit>("edit_delay")->setText(QStringLiteral("0"));
    click("btn_delay");

    temp_dir marked_dir;
    marked_dir.write("Language/Marked.ini", marking_language(picker_texts));
    texts = std::make_unique<key_code_convert>(marked_dir.file("qvk-tools"));
    ASSERT_TRUE(texts->load_language(0));
    open(true);
    const std::vector<std::string> marked = shown_texts();
    go_to(page_macros);
    find<QLineEdit>("edit_delay")->setText(QStringLiteral("0"));
    click("btn_delay");

    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].toStdString(), marker(4000));
    EXPECT_EQ(with_defaults(dialogs.messages[1].toStdString(), picker_texts), dialogs.messages[0].toStdString());
    ASSERT_EQ(marked.size(), built_in.size());
    std::set<uint32_t> seen{4000};
    for (size_t i = 0; i < marked.size(); ++i) {
        EXPECT_EQ(with_defaults(marked[i], picker_texts), built_in[i]) << marked[i];
        // Whatever is not a fixed caption comes from the text lookup.
        for (unsigned char c : marked[i]) EXPECT_LT(c, 0x80) << "not looked up: " << marked[i];
        for (const text_default& t : picker_texts)
            if (marked[i].find(marker(t.id)) != std::string::npos) seen.insert(t.id);
    }
    for (const text_default& t : picker_texts) EXPECT_TRUE(seen.contains(t.id)) << "text " << t.id << " not shown";
}

TEST_F(Picker, OpensCentredOnTheScreenNotOverItsOwner) {
    QWidget owner;
    owner.setGeometry(0, 0, 200, 100);
    owner.show();
    Tfunc_sel::params p;
    p.convert = texts.get();
    p.code = slot;
    p.dialogs = &dialogs;
    Tfunc_sel centred(p, &owner);
    centred.show();
    QCoreApplication::processEvents();
    // The window frame may shift the client area by its border width.
    const QRect screen = centred.screen()->availableGeometry();
    const QRect frame = centred.frameGeometry();
    const int border = frame.height() - centred.height();
    EXPECT_LE((centred.geometry().center() - screen.center()).manhattanLength(), 2 + border)
        << centred.geometry().x() << "," << centred.geometry().y() << " border " << border;
    EXPECT_GT((centred.geometry().center() - owner.geometry().center()).manhattanLength(), 100);
    centred.close();
}

TEST_F(Picker, ShownModallyReturnsAfterTheChoice) {
    Tfunc_sel::params p;
    p.convert = texts.get();
    p.bkl_effect_count = 4;
    p.code = slot;
    p.dialogs = &dialogs;
    Tfunc_sel modal(p);
    QTimer::singleShot(0, &modal, [&modal] {
        QTest::mouseClick(modal.findChild<QWidget*>(QStringLiteral("key_2c")), Qt::LeftButton);
    });
    EXPECT_EQ(modal.exec(), QDialog::Accepted);
    EXPECT_EQ(hex(slot), "02 2C 00 00");
}

TEST_F(Picker, WindowAndTextsWithAndWithoutALanguageFile) {
    Tfunc_sel& built_in = open(false);
    EXPECT_EQ(built_in.windowTitle(), QStringLiteral("Function selection"));
    EXPECT_EQ(built_in.size(), QSize(1031, 600));
    EXPECT_EQ(built_in.pages()->count(), 12);
    EXPECT_EQ(built_in.pages()->currentIndex(), page_keys);
    EXPECT_EQ(built_in.pages()->tabText(page_win_lock), QString::fromUtf8("WIN键锁定"));
    EXPECT_EQ(find<QAbstractButton>("btn_flayer_open")->text(), QString::fromUtf8("确定"));
    EXPECT_EQ(find<QAbstractButton>("rb_key_release")->text(), QString::fromUtf8("弹起按键"));
    EXPECT_EQ(find<QAbstractButton>("btn_disable_key")->text(), QStringLiteral("Disable Key"));
    EXPECT_EQ(find<QAbstractButton>("media_00e9")->text(), QStringLiteral("VOL +"));
    // '&' in a caption is shown, not taken as a shortcut marker.
    EXPECT_EQ(find<QAbstractButton>("usage_item_86")->toolTip(), QStringLiteral("Keypad &"));
    EXPECT_EQ(find<QAbstractButton>("usage_item_86")->text(), QStringLiteral("Keypad &&"));

    d.write("Language/English.ini",
            "[Language]\r\n4058=OK\r\n4022=Release key\r\n4012=Win lock\r\n"
            "4193=Lock the Windows keys.<br>Unlocked after a restart.\r\n");
    texts = std::make_unique<key_code_convert>(d.file("qvk-tools"));
    ASSERT_TRUE(texts->load_language(0));
    open(false, 20, 2.0f);
    EXPECT_EQ(dlg->size(), QSize(2062, 1200));
    EXPECT_EQ(dlg->pages()->tabText(page_win_lock), QStringLiteral("Win lock"));
    for (const char* ok : {"btn_flayer_switch", "btn_flayer_open", "btn_macro_run", "btn_ble_host", "btn_ws_set"})
        EXPECT_EQ(find<QAbstractButton>(ok)->text(), QStringLiteral("OK")) << ok;
    EXPECT_EQ(find<QAbstractButton>("btn_flayer_close")->text(), QString::fromUtf8("关闭"));
    EXPECT_EQ(find<QAbstractButton>("rb_media_release")->text(), QStringLiteral("Release key"));
    // An explanation that may be cut off carries its text as hint too.
    const QString lock = QStringLiteral("Lock the Windows keys.\nUnlocked after a restart.");
    bool found = false;
    for (QLabel* l : dlg->findChildren<QLabel*>())
        if (l->text() == lock) found = l->toolTip() == lock;
    EXPECT_TRUE(found);
}

TEST_F(Picker, ButtonsFitTheirTextAndNeverOverlapAtScaleOneAndTwo) {
    for (bool macro : {false, true}) {
        for (float scale : {1.0f, 2.0f}) {
            open(macro, 20, scale);
            for (int page = 0; page < func_sel_page_count; ++page) {
                go_to(func_sel_page(page));
                std::vector<std::pair<QRect, QAbstractButton*>> shown;
                for (QAbstractButton* b : dlg->pages()->currentWidget()->findChildren<QAbstractButton*>()) {
                    if (!b->isVisible()) continue;
                    const QRect r(b->mapTo(dlg.get(), QPoint(0, 0)), b->size());
                    const std::string what = b->objectName().toStdString() + " page " + std::to_string(page) +
                                             " scale " + std::to_string(scale);
                    EXPECT_LE(r.right(), dlg->width()) << what;
                    if (qobject_cast<QPushButton*>(b)) {
                        for (const QString& line : b->text().replace(QStringLiteral("&&"), QStringLiteral("&")).split('\n'))
                            EXPECT_LE(b->fontMetrics().horizontalAdvance(line), b->width() - 4) << what;
                    }
                    for (const auto& [other, ob] : shown)
                        EXPECT_FALSE(r.intersects(other)) << what << " / " << ob->objectName().toStdString();
                    shown.emplace_back(r, b);
                }
                EXPECT_FALSE(shown.empty()) << page;
            }
        }
    }
}

} // namespace
} // namespace qvk::testing
