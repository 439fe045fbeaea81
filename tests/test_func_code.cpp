// Function codes as text: the short tag drawn on a key and the long,
// localised description of hints and lists.

#include <gtest/gtest.h>

#include "functions/func_description.h"
#include "functions/key_code_convert.h"
#include "functions/short_notation.h"
#include "temp_dir.h"

namespace qvk::testing {
namespace {

struct short_case {
    func_code code;
    const char* expected;
};

TEST(ShortNotation, EveryKindRendersItsTag) {
    const short_case cases[] = {
        {{0x00, 0x00, 0x00, 0x00}, ""},
        {{0x01, 0x12, 0x34, 0x56}, "DisEn"}, // parameters ignored
        {{0x02, 0x04, 0x00, 0x00}, "A"},
        {{0x02, 0x1E, 0x00, 0x00}, "1  !"},
        {{0x02, 0x27, 0x00, 0x00}, ")  0"},
        {{0x02, 0x34, 0x00, 0x00}, "'  \""},
        {{0x02, 0x37, 0x00, 0x00}, ">  ."},
        {{0x02, 0x31, 0x00, 0x00}, "\\  |"},
        {{0x02, 0x00, 0x00, 0x00}, ""},
        {{0x02, 0x03, 0x00, 0x00}, ""},
        {{0x02, 0xA4, 0x00, 0x00}, "ExSel"},
        {{0x02, 0xA5, 0x00, 0x00}, "ERR"},
        {{0x02, 0xAF, 0x00, 0x00}, "ERR"},
        {{0x02, 0xB0, 0x00, 0x00}, "Pad00"},
        {{0x02, 0xC1, 0x00, 0x00}, "Pad F"},
        {{0x02, 0xDD, 0x00, 0x00}, "Pad Hex"},
        {{0x02, 0xDE, 0x00, 0x00}, "ERR"},
        {{0x02, 0xE7, 0x00, 0x00}, "R_Win"},
        {{0x02, 0xE8, 0x00, 0x00}, "ERR"},
        {{0x02, 0xFF, 0x00, 0x00}, "ERR"},
        {{0x03, 0xCD, 0x00, 0x00}, "MK..."}, // the picker's Play/Pause
        {{0x03, 0xE9, 0x00, 0x00}, "Vol +"},
        {{0x03, 0x2A, 0x02, 0x00}, "Label"}, // 16-bit little-endian usage
        {{0x03, 0xE9, 0x01, 0x00}, "MK..."},
        {{0x04, 0x01, 0x00, 0x00}, ""},
        {{0x05, 0x00, 0x00, 0x00}, "M:LC"},
        {{0x09, 0x03, 0x00, 0x00}, "M:WD"},
        {{0x0D, 0x03, 0x00, 0x00}, "M:MR"},
        {{0x0E, 0x07, 0x00, 0x00}, "FA:7"},
        {{0x0E, 0xFF, 0x00, 0x00}, "FA:255"}, // unsigned
        {{0x0F, 0x03, 0x00, 0x00}, "FD:3"},
        {{0x0F, 0x03, 0x01, 0x00}, "FE:3"},
        {{0x10, 0x02, 0x00, 0x00}, "FW:2"},
        {{0x11, 0x06, 0x00, 0x00}, "TA:6"},
        {{0x12, 0x05, 0x2C, 0x01}, "RM:5"},
        {{0x13, 0x00, 0x00, 0x00}, "RM:S"},
        {{0x14, 0x00, 0x2C, 0x01}, ""},
        {{0x15, 0xE8, 0x03, 0x00}, ""},
        {{0x16, 0xE8, 0x03, 0x00}, ""},
        {{0x17, 0x04, 0x01, 0x00}, ""},
        {{0x18, 0xE9, 0x00, 0x01}, ""},
        {{0x19, 0x00, 0x00, 0x00}, ""},
        {{0x1A, 0x00, 0x00, 0x00}, ""},
        {{0x1B, 0x00, 0x00, 0x00}, "BLE:R"},
        {{0x1C, 0x00, 0x00, 0x00}, "BLE:DA"},
        {{0x1D, 0x00, 0x00, 0x00}, "BLE:RS"},
        {{0x1E, 0x07, 0x00, 0x00}, "BLE:H7"},
        {{0x1F, 0x00, 0x00, 0x00}, "BLE:S"},
        {{0x22, 0x00, 0x00, 0x00}, "BLE:PM"},
        {{0x23, 0x00, 0x00, 0x00}, "BT:S"},
        {{0x25, 0x00, 0x00, 0x00}, "BT:PV"},
        {{0x26, 0x00, 0x00, 0x00}, "RSTKB"},
        {{0x29, 0x04, 0x00, 0x00}, "L:S"}, // no effect number
        {{0x2C, 0x00, 0x00, 0x00}, "L:SW"},
        {{0x2D, 0x02, 0x00, 0x00}, "BL:U"},
        {{0x2E, 0x02, 0x00, 0x00}, "BL:D"},
        {{0x2F, 0x03, 0x04, 0x00}, "BL:S"},
        {{0x30, 0x01, 0x00, 0x00}, "BL:E1"},
        {{0x31, 0x05, 0x00, 0x00}, "BL:C5"},
        {{0x32, 0x03, 0x00, 0x00}, "BL:S3"},
        {{0x33, 0x00, 0x00, 0x00}, "I:EN"},
        {{0x33, 0x03, 0x00, 0x00}, "I:E"}, // no such indicator
        {{0x34, 0x02, 0x00, 0x00}, "I:CS"},
        {{0x35, 0x02, 0x00, 0x00}, "L:LU"},
        {{0x35, 0x00, 0x00, 0x00}, "L:LD"},
        {{0x36, 0x01, 0x01, 0x00}, "IA:E"},
        {{0x36, 0x01, 0x00, 0x00}, "IA:D"},
        {{0x37, 0x00, 0x00, 0x00}, "SP:D"},
        {{0x37, 0x01, 0x00, 0x00}, "SP:E"},
        {{0x37, 0x03, 0x00, 0x00}, "SP:SW"},
        {{0x38, 0x02, 0x00, 0x00}, "WL:NONE"},
        {{0x38, 0x02, 0x01, 0x00}, "WL:LW"},
        {{0x38, 0x00, 0x02, 0x00}, "WL:RW"},
        {{0x38, 0x02, 0x03, 0x00}, "WL:LRW"},
        {{0x39, 0x01, 0x07, 0x00}, "TR"},
        {{0x39, 0x00, 0x07, 0x00}, "TW:7"},
        {{0x3A, 0x00, 0x00, 0x00}, "LS:U"},
        {{0x3A, 0x05, 0x00, 0x00}, "LS:D"},
        {{0x3B, 0x00, 0x00, 0x00}, ""},
        {{0xFF, 0x01, 0x01, 0x01}, ""},
    };
    for (const short_case& c : cases)
        EXPECT_EQ(func_code_to_short_str(c.code), c.expected)
            << std::hex << int(c.code[0]) << " " << int(c.code[1]) << " " << int(c.code[2]) << " " << int(c.code[3]);
}

TEST(ShortNotation, IndicatorNamesInBothForms) {
    EXPECT_EQ(indicator_to_str(0, true), "NUM");
    EXPECT_EQ(indicator_to_str(1, false), "C");
    EXPECT_EQ(indicator_to_str(2, true), "SCROLL");
    EXPECT_EQ(indicator_to_str(3, true), "");
    EXPECT_EQ(indicator_to_str(255, false), "");
}

// Descriptions with the key-name files and, where a case says so, a
// language file that overrides text 2000 and empties text 2001.
class Descriptions : public ::testing::Test {
protected:
    void SetUp() override {
        d.write("KeyBoardCode.ini", "[KeyBoardCode]\r\n0x04=A\r\n");
        d.write("MediaKeyCode.ini", "[ConsumerKeyCode]\r\n0x00E9=Vol Up\r\n0x00CD=Play/Pause\r\n");
        d.write("Language/English.ini", "[Language]\r\n2000=Transparent\r\n2001=\r\n2002=Key<br>\r\n");
    }
    temp_dir d;
};

struct desc_case {
    func_code code;
    bool in_list;
    const char* expected;
};

TEST_F(Descriptions, EveryKindWithBuiltInTexts) {
    const key_code_convert k(d.file("qvk-tools"));
    const desc_case cases[] = {
        {{0x00, 0, 0, 0}, false, "透明"},
        {{0x00, 0, 0, 0}, true, ""},
        {{0x01, 9, 9, 9}, false, "禁用"},
        {{0x01, 9, 9, 9}, true, ""},
        {{0x02, 0x04, 0, 0}, false, "常规键码 A(0x04)"},
        {{0x02, 0x04, 0, 0}, true, "常规键码 A(0x04)"}, // the flag touches only kinds 0 and 1
        {{0x02, 0x05, 0, 0}, false, "常规键码 ERR"},
        {{0x03, 0xCD, 0x00, 0}, false, "媒体键码 Play/Pause(0x00CD)"},
        {{0x03, 0xE9, 0x01, 0}, false, "媒体键码 ERR"}, // 0x01E9, not 0x00E9
        {{0x04, 1, 1, 1}, false, ""},
        {{0x05, 0, 0, 0}, false, "鼠标左键单击"},
        {{0x06, 0, 0, 0}, false, "鼠标中键单击"},
        {{0x07, 0, 0, 0}, false, "鼠标右键单击"},
        {{0x08, 3, 0, 0}, false, "鼠标滚轮上滚动(每次滚动3行)"},
        {{0x09, 40, 0, 0}, false, "鼠标滚轮下滚动(每次滚动40行)"},
        {{0x0A, 10, 0, 0}, false, "鼠标指针上移动(每次移动10像素)"},
        {{0x0B, 1, 0, 0}, false, "鼠标指针下移动(每次移动1像素)"},
        {{0x0C, 2, 0, 0}, false, "鼠标指针左移动(每次移动2像素)"},
        {{0x0D, 0xC8, 0, 0}, false, "鼠标指针右移动(每次移动200像素)"}, // unsigned byte
        {{0x0E, 3, 0, 0}, false, "切换到功能层3"},
        {{0x0F, 2, 1, 0}, false, "打开功能层2"},
        {{0x0F, 2, 0, 0}, false, "关闭功能层2"},
        {{0x10, 5, 0, 0}, false, "切换功能层5开关状态"},
        {{0x11, 7, 0, 0}, false, "切换到触发层7"},
        {{0x12, 0x02, 0x0A, 0x00}, false, "运行宏组ID:2，从第10步开始"},
        {{0x12, 0xFF, 0xFF, 0x01}, false, "运行宏组ID:255，从第511步开始"},
        {{0x13, 0, 0, 0}, false, "停止宏的运行"},
        {{0x14, 0, 0x2C, 0x01}, false, "宏跳转到本组的另一步继续执行：300"},
        {{0x15, 0xE8, 0x03, 0}, false, "延时：1000毫秒"},
        {{0x15, 0xFF, 0xFF, 0}, false, "延时：65535毫秒"}, // never a sign
        {{0x16, 0x00, 0x80, 0}, false, "随机延时一个时间：在0-32768毫秒之间"},
        {{0x17, 0x04, 1, 0}, false, "模拟按下常规按键：A(0x04)"},
        {{0x17, 0x04, 0, 0}, false, "模拟弹起常规按键：A(0x04)"},
        {{0x18, 0xE9, 0x00, 1}, false, "模拟按下媒体按键：Vol Up(0x00E9)"},
        {{0x18, 0xE9, 0x00, 0}, false, "模拟弹起媒体按键：Vol Up(0x00E9)"},
        {{0x19, 0, 0, 0}, false, ""},
        {{0x1A, 0, 0, 0}, true, ""},
        {{0x1B, 0, 0, 0}, false, "复位蓝牙的所有配置，包括MAC地址"},
        {{0x1C, 0, 0, 0}, false, "删除蓝牙的所有配对信息"},
        {{0x1D, 0, 0, 0}, false, "重启蓝牙模块"},
        {{0x1E, 6, 0, 0}, false, "蓝牙切换到主机6"},
        {{0x1F, 0, 0, 0}, false, "蓝牙进入休眠模式"},
        {{0x20, 0, 0, 0}, false, "在当前位置输出已经配对的主机数量"},
        {{0x21, 0, 0, 0}, false, "在当前位置输出当前使用的主机ID"},
        {{0x22, 0, 0, 0}, false, "在当前位置输出当前配对的主机的MAC地址"},
        {{0x23, 0, 0, 0}, false, "立即更新一次电池电压"},
        {{0x24, 0, 0, 0}, false, "在当前位置输出电池电量"},
        {{0x25, 0, 0, 0}, false, "在当前位置输出电池电压"},
        {{0x26, 0, 0, 0}, false, "立即重启键盘固件"},
        {{0x27, 0, 0, 0}, false, "轴灯->切换到上一个灯效"},
        {{0x28, 0, 0, 0}, false, "轴灯->切换到下一个灯效"},
        {{0x29, 4, 0, 0}, false, "轴灯->切换到灯效4"},
        {{0x2A, 0, 0, 0}, false, "轴灯->打开"},
        {{0x2B, 0, 0, 0}, false, "轴灯->关闭"},
        {{0x2C, 0, 0, 0}, false, "切换轴灯的开关状态"},
        {{0x2D, 1, 0, 0}, false, "氛围灯组1切换到上一个灯效"},
        {{0x2E, 2, 0, 0}, false, "氛围灯组2切换到下一个灯效"},
        {{0x2F, 1, 4, 0}, false, "氛围灯组1切换到灯效4"},
        {{0x30, 3, 0, 0}, false, "氛围灯组3灯效开启"},
        {{0x31, 4, 0, 0}, false, "氛围灯组4灯效关闭"},
        {{0x32, 5, 0, 0}, false, "氛围灯组5切换灯效开关状态"},
        {{0x33, 1, 0, 0}, false, "打开指示灯CAPS的显示"},
        {{0x34, 2, 0, 0}, false, "关闭指示灯SCROLL的显示"},
        {{0x34, 9, 0, 0}, false, "关闭指示灯的显示"},
        {{0x35, 1, 0, 0}, false, "轴灯->提高亮度"},
        {{0x35, 0, 0, 0}, false, "轴灯->降低亮度"},
        {{0x36, 0, 1, 0}, false, "指示灯动作:NUM开启"},
        {{0x36, 0, 0, 0}, false, "指示灯动作:NUM关闭"},
        {{0x37, 0, 0, 0}, false, "律动:关闭"},
        {{0x37, 1, 0, 0}, false, "律动:开启"},
        {{0x37, 7, 0, 0}, false, "律动:切换开关"},
        {{0x38, 0, 1, 0}, false, "解除锁定WIN键:L_WIN"},
        {{0x38, 1, 3, 0}, false, "锁定WIN键:L_WIN R_WIN"},
        {{0x38, 2, 2, 0}, false, "切换WIN键锁定:R_WIN"},
        {{0x38, 1, 0, 0}, false, "锁定WIN键:NONE"},
        {{0x38, 1, 9, 0}, false, "锁定WIN键:L_WIN R_WIN"},
        {{0x39, 0, 3, 0}, false, "背光灯效临时切换到：3"},
        {{0x39, 1, 0, 0}, false, "背光恢复临时切换的灯效"},
        {{0x3A, 0, 0, 0}, false, "增加灯效速度"},
        {{0x3A, 1, 0, 0}, false, "降低灯效速度"},
        {{0x3B, 0, 0, 0}, false, ""},
        {{0xFF, 0, 0, 0}, true, ""},
    };
    for (const desc_case& c : cases)
        EXPECT_EQ(func_code_to_desc_str(k, c.code, c.in_list), c.expected)
            << std::hex << int(c.code[0]) << " " << int(c.code[1]) << " " << int(c.code[2]) << " " << int(c.code[3])
            << (c.in_list ? " list" : "");
}

TEST_F(Descriptions, FollowTheLoadedLanguageWithoutCaching) {
    key_code_convert k(d.file("qvk-tools"));
    ASSERT_EQ(func_code_to_desc_str(k, {0, 0, 0, 0}, false), "透明");
    ASSERT_TRUE(k.load_language(0));
    EXPECT_EQ(func_code_to_desc_str(k, {0, 0, 0, 0}, false), "Transparent");
    EXPECT_EQ(func_code_to_desc_str(k, {1, 0, 0, 0}, false), ""); // an empty translation stays empty
    EXPECT_EQ(func_code_to_desc_str(k, {2, 4, 0, 0}, false), "Key\r\nA(0x04)");
    EXPECT_EQ(func_code_to_desc_str(k, {5, 0, 0, 0}, false), "鼠标左键单击"); // not translated: default
    EXPECT_FALSE(k.load_language(-1));
    EXPECT_EQ(func_code_to_desc_str(k, {0, 0, 0, 0}, false), "透明");
}

TEST(ShippedEnglish, DescriptionsReadAsSentences) {
    key_code_convert k(std::string(QVK_RESOURCES) + "/qvk-tools");
    ASSERT_EQ(k.language_name(1), "English");
    ASSERT_TRUE(k.load_language(1));
    // Pieces that join a number or a name keep their spaces.
    const desc_case cases[] = {
        {{0x02, 0x04, 0, 0}, false, "Key code A(0x04)"},
        {{0x08, 3, 0, 0}, false, "Wheel up (3 lines each time)"},
        {{0x10, 5, 0, 0}, false, "Toggle function layer 5 on/off"},
        {{0x12, 0x02, 0x0A, 0x00}, false, "Run macro group ID:2, from step 10"},
        {{0x16, 0xE8, 0x03, 0}, false, "Random delay between 0 and 1000 ms"},
        {{0x2F, 1, 4, 0}, false, "Ambient light group 1: switch to effect 4"},
        {{0x33, 1, 0, 0}, false, "Turn on the display of indicator CAPS"},
        {{0x36, 0, 1, 0}, false, "Indicator action: NUM on"},
        {{0x37, 0, 0, 0}, false, "Rhythm: off"},
        {{0x37, 1, 0, 0}, false, "Rhythm: on"},
        {{0x38, 1, 3, 0}, false, "Lock WIN keys: L_WIN R_WIN"},
        {{0x39, 0, 3, 0}, false, "Backlight switched for now to effect 3"},
    };
    for (const desc_case& c : cases) EXPECT_EQ(func_code_to_desc_str(k, c.code, c.in_list), c.expected);
    // Every text of the picker is translated.
    const char* missing = "\x01";
    for (uint32_t id = 4000; id <= 4197; ++id) {
        const bool used = id <= 4012 || (id >= 4020 && id <= 4022) || (id >= 4030 && id <= 4042) ||
                          (id >= 4050 && id <= 4070) || (id >= 4080 && id <= 4093) || (id >= 4100 && id <= 4106) ||
                          (id >= 4120 && id <= 4147) || (id >= 4150 && id <= 4160) || (id >= 4170 && id <= 4173) ||
                          (id >= 4180 && id <= 4181) || id >= 4190;
        if (used) {
            EXPECT_NE(k.get_lng_text(id, missing), missing) << id;
        }
    }
}

} // namespace
} // namespace qvk::testing
