// Function codes as text: the short tag drawn on a key and the long,
// localised description of hints and lists.

#include <gtest/gtest.h>

#include "functions/func_description.h"
#include "functions/key_code_convert.h"
#include "functions/short_notation.h"
#include "marked_texts.h"
#include "temp_dir.h"

#include <array>
#include <set>
#include <vector>

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
        {{0x06, 0x00, 0x00, 0x00}, "M:CC"},
        {{0x07, 0x00, 0x00, 0x00}, "M:RC"},
        {{0x08, 0x03, 0x00, 0x00}, "M:WU"},
        {{0x09, 0x03, 0x00, 0x00}, "M:WD"},
        {{0x0A, 0x03, 0x00, 0x00}, "M:MU"},
        {{0x0B, 0x03, 0x00, 0x00}, "M:MD"},
        {{0x0C, 0x03, 0x00, 0x00}, "M:ML"},
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
        {{0x20, 0x00, 0x00, 0x00}, "BLE:PH"},
        {{0x21, 0x00, 0x00, 0x00}, "BLE:PI"},
        {{0x22, 0x00, 0x00, 0x00}, "BLE:PM"},
        {{0x23, 0x00, 0x00, 0x00}, "BT:S"},
        {{0x24, 0x00, 0x00, 0x00}, "BT:PL"},
        {{0x25, 0x00, 0x00, 0x00}, "BT:PV"},
        {{0x26, 0x00, 0x00, 0x00}, "RSTKB"},
        {{0x27, 0x00, 0x00, 0x00}, "L:U"},
        {{0x28, 0x00, 0x00, 0x00}, "L:D"},
        {{0x29, 0x04, 0x00, 0x00}, "L:S"}, // no effect number
        {{0x2A, 0x00, 0x00, 0x00}, "L:E"},
        {{0x2B, 0x00, 0x00, 0x00}, "L:C"},
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
        {{0x3C, 0x01, 0x00, 0x00}, ""},
        {{0x40, 0x00, 0x00, 0x00}, ""},
        {{0x80, 0x03, 0x00, 0x00}, ""},
        {{0xFF, 0x01, 0x01, 0x01}, ""},
    };
    for (const short_case& c : cases)
        EXPECT_EQ(func_code_to_short_str(c.code), c.expected)
            << std::hex << int(c.code[0]) << " " << int(c.code[1]) << " " << int(c.code[2]) << " " << int(c.code[3]);
}

// Every built-in key name, transcribed on its own: a wrong entry anywhere in
// the table shows up as a mismatch at its code.
std::array<std::string, 256> expected_key_names() {
    std::array<std::string, 256> n;
    n.fill("ERR");
    for (int u = 0x00; u <= 0x03; ++u) n[u] = "";
    for (int i = 0; i < 26; ++i) n[0x04 + i] = std::string(1, char('A' + i));
    const char* digits[] = {"1  !", "2  @", "3  #", "4  $", "5  %", "6  ^", "7  &", "8  *", "9  (", ")  0"};
    for (int i = 0; i < 10; ++i) n[0x1E + i] = digits[i];
    for (int i = 0; i < 12; ++i) n[0x3A + i] = "F" + std::to_string(i + 1);
    for (int i = 0; i < 12; ++i) n[0x68 + i] = "F" + std::to_string(i + 13);
    for (int i = 0; i < 9; ++i) n[0x87 + i] = "inte" + std::to_string(i + 1);
    for (int i = 0; i < 9; ++i) n[0x90 + i] = "Lang" + std::to_string(i + 1);
    for (int i = 0; i < 6; ++i) n[0xBC + i] = std::string("Pad ") + char('A' + i);
    const std::pair<int, const char*> named[] = {
        {0x28, "Enter"}, {0x29, "Esc"}, {0x2A, "BKSP"}, {0x2B, "Tab"}, {0x2C, "Space"}, {0x2D, "-  _"},
        {0x2E, "=  +"}, {0x2F, "[  {"}, {0x30, "]  }"}, {0x31, "\\  |"}, {0x32, "Europ1"}, {0x33, ";  :"},
        {0x34, "'  \""}, {0x35, "`  ~"}, {0x36, ",  <"}, {0x37, ">  ."}, {0x38, "/  ?"}, {0x39, "CAPS"},
        {0x46, "PS"}, {0x47, "SL"}, {0x48, "PB"}, {0x49, "Insert"}, {0x4A, "Home"}, {0x4B, "PgUp"},
        {0x4C, "Delete"}, {0x4D, "End"}, {0x4E, "PgDn"}, {0x4F, "Right"}, {0x50, "Left"}, {0x51, "Down"},
        {0x52, "Up"},
        // Keypad.
        {0x53, "Num"}, {0x54, "/"}, {0x55, "*"}, {0x56, "-"}, {0x57, "+"}, {0x58, "Enter"}, {0x59, "1"},
        {0x5A, "2"}, {0x5B, "3"}, {0x5C, "4"}, {0x5D, "5"}, {0x5E, "6"}, {0x5F, "7"}, {0x60, "8"}, {0x61, "9"},
        {0x62, "0"}, {0x63, "."},
        {0x64, "Europ2"}, {0x65, "App"}, {0x66, "Pwr"}, {0x67, "Pad ="},
        {0x74, "Execut"}, {0x75, "Help"}, {0x76, "Menu"}, {0x77, "Select"}, {0x78, "Stop"}, {0x79, "Again"},
        {0x7A, "Undo"}, {0x7B, "Cut"}, {0x7C, "Copy"}, {0x7D, "Paste"}, {0x7E, "Find"}, {0x7F, "mute"},
        {0x80, "VolUp"}, {0x81, "VolDn"}, {0x82, "LCaps"}, {0x83, "LNum"}, {0x84, "LScr"}, {0x85, "Comma"},
        {0x86, "Equal"},
        {0x99, "AlteErs"}, {0x9A, "SysReq"}, {0x9B, "Cancel"}, {0x9C, "Clear"}, {0x9D, "Prior"}, {0x9E, "Return"},
        {0x9F, "Separ"}, {0xA0, "Out"}, {0xA1, "Oper"}, {0xA2, "C/A"}, {0xA3, "CS/Pr"}, {0xA4, "ExSel"},
        {0xB0, "Pad00"}, {0xB1, "Pad000"}, {0xB2, "T.S"}, {0xB3, "D.S"}, {0xB4, "C.Unit"}, {0xB5, "C.Sunit"},
        {0xB6, "Pad ("}, {0xB7, "Pad )"}, {0xB8, "Pad {"}, {0xB9, "Pad }"}, {0xBA, "Pad Tab"}, {0xBB, "PadBKSP"},
        {0xC2, "PadXor"}, {0xC3, "Pad ^"}, {0xC4, "Pad %"}, {0xC5, "Pad <"}, {0xC6, "Pad >"}, {0xC7, "Pad &"},
        {0xC8, "Pad &&"}, {0xC9, "Pad |"}, {0xCA, "Pad ||"}, {0xCB, "Pad :"}, {0xCC, "Pad #"}, {0xCD, "Pad Sp"},
        {0xCE, "Pad @"}, {0xCF, "Pad !"},
        {0xD0, "Pad MS"}, {0xD1, "Pad MR"}, {0xD2, "Pad MC"}, {0xD3, "Pad MA"}, {0xD4, "Pad Ms"}, {0xD5, "Pad MM"},
        {0xD6, "Pad MD"}, {0xD7, "Pad +/-"}, {0xD8, "Pad Cl"}, {0xD9, "Pad C.E"}, {0xDA, "Pad Bin"},
        {0xDB, "Pad Oct"}, {0xDC, "Pad Dec"}, {0xDD, "Pad Hex"},
        {0xE0, "L_Ctrl"}, {0xE1, "L_Shift"}, {0xE2, "L_Alt"}, {0xE3, "L_Win"}, {0xE4, "R_Ctrl"}, {0xE5, "R_Shift"},
        {0xE6, "R_Alt"}, {0xE7, "R_Win"},
    };
    for (const auto& [u, name] : named) n[u] = name;
    return n;
}

TEST(ShortNotation, EveryKeyboardUsageHasItsName) {
    const std::array<std::string, 256> expected = expected_key_names();
    for (int u = 0; u < 256; ++u) {
        EXPECT_EQ(key_code_to_short_str(uint8_t(u)), expected[u]) << std::hex << "usage 0x" << u;
        EXPECT_EQ(func_code_to_short_str({0x02, uint8_t(u), 0x00, 0x00}), expected[u]) << std::hex << "usage 0x" << u;
    }
}

TEST(ShortNotation, EveryConsumerUsageHasItsNameOrTheFallback) {
    const std::pair<uint16_t, const char*> named[] = {
        {0x00B0, "Play"}, {0x00B1, "Pause"}, {0x00B3, "forw"}, {0x00B4, "Rewind"}, {0x00B5, "Next"},
        {0x00B6, "Prev"}, {0x00B7, "stop"},  {0x00E2, "Mute"}, {0x00E9, "Vol +"},  {0x00EA, "Vol -"},
        {0x0192, "Calc"}, {0x0194, "MyPc"},  {0x0221, "Find"}, {0x0223, "Home"},   {0x0224, "Back"},
        {0x0225, "Forw"}, {0x0226, "STOP"},  {0x0227, "Refre"}, {0x022A, "Label"},
    };
    std::vector<std::string> expected(0x10000, "MK...");
    for (const auto& [u, name] : named) expected[u] = name;
    for (uint32_t u = 0; u <= 0xFFFF; ++u) {
        const std::string got = media_code_to_short_str(uint16_t(u));
        if (got != expected[u]) ADD_FAILURE() << std::hex << "usage 0x" << u << ": " << got << " instead of " << expected[u];
        if (u < 0x300) {
            EXPECT_EQ(func_code_to_short_str({0x03, uint8_t(u & 0xFF), uint8_t(u >> 8), 0x00}), expected[u]) << std::hex << u;
        }
    }
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

// Every text a description is built from, with its built-in default.
constexpr text_default description_texts[] = {
        {2000, "透明"},
        {2001, "禁用"},
        {2002, "常规键码 "},
        {2003, "媒体键码 "},
        {2004, "鼠标左键单击"},
        {2005, "鼠标中键单击"},
        {2006, "鼠标右键单击"},
        {2007, "鼠标滚轮上滚动(每次滚动"},
        {2008, "行)"},
        {2009, "鼠标滚轮下滚动(每次滚动"},
        {2010, "鼠标指针上移动(每次移动"},
        {2011, "像素)"},
        {2012, "鼠标指针下移动(每次移动"},
        {2013, "鼠标指针左移动(每次移动"},
        {2014, "鼠标指针右移动(每次移动"},
        {2015, "切换到功能层"},
        {2016, "打开功能层"},
        {2017, "关闭功能层"},
        {2018, "切换功能层"},
        {2019, "开关状态"},
        {2020, "切换到触发层"},
        {2021, "运行宏组ID:"},
        {2022, "，从第"},
        {2023, "步开始"},
        {2024, "停止宏的运行"},
        {2025, "宏跳转到本组的另一步继续执行："},
        {2026, "延时："},
        {2027, "毫秒"},
        {2028, "随机延时一个时间：在0-"},
        {2029, "毫秒之间"},
        {2030, "模拟按下常规按键："},
        {2031, "模拟弹起常规按键："},
        {2032, "模拟按下媒体按键："},
        {2033, "模拟弹起媒体按键："},
        {2034, "复位蓝牙的所有配置，包括MAC地址"},
        {2035, "删除蓝牙的所有配对信息"},
        {2036, "重启蓝牙模块"},
        {2037, "蓝牙切换到主机"},
        {2038, "蓝牙进入休眠模式"},
        {2039, "在当前位置输出已经配对的主机数量"},
        {2040, "在当前位置输出当前使用的主机ID"},
        {2041, "在当前位置输出当前配对的主机的MAC地址"},
        {2042, "立即更新一次电池电压"},
        {2043, "在当前位置输出电池电量"},
        {2044, "在当前位置输出电池电压"},
        {2045, "立即重启键盘固件"},
        {2046, "轴灯->切换到上一个灯效"},
        {2047, "轴灯->切换到下一个灯效"},
        {2048, "轴灯->切换到灯效"},
        {2049, "轴灯->打开"},
        {2050, "轴灯->关闭"},
        {2051, "切换轴灯的开关状态"},
        {2052, "轴灯->提高亮度"},
        {2053, "轴灯->降低亮度"},
        {2054, "氛围灯组"},
        {2055, "切换到上一个灯效"},
        {2056, "切换到下一个灯效"},
        {2057, "切换到灯效"},
        {2058, "灯效开启"},
        {2059, "灯效关闭"},
        {2060, "切换灯效开关状态"},
        {2061, "打开指示灯"},
        {2062, "的显示"},
        {2063, "关闭指示灯"},
        {2064, "指示灯动作:"},
        {2065, "开启"},
        {2066, "关闭"},
        {2067, "律动:"},
        {2068, "切换开关"},
        {2069, "关闭"},
        {4143, "背光灯效临时切换到："},
        {4144, "背光恢复临时切换的灯效"},
        {4145, "增加灯效速度"},
        {4146, "降低灯效速度"},
        {4190, "解除锁定WIN键:"},
        {4191, "锁定WIN键:"},
        {4192, "切换WIN键锁定:"},
};

// Each kind under several parameter values, so that every branch shows its
// texts: read once with the IDs as markers and once with the built-in texts.
TEST_F(Descriptions, EveryTextHasItsIdAndBuiltInDefault) {
    temp_dir marked_dir;
    marked_dir.write("Language/Marked.ini", marking_language(description_texts));
    key_code_convert marked(marked_dir.file("qvk-tools"));
    ASSERT_TRUE(marked.load_language(0));
    const key_code_convert built_in(marked_dir.file("qvk-tools"));
    std::set<uint32_t> seen;
    for (int kind = 0; kind <= 60; ++kind)
        for (uint8_t p1 : {0, 1, 2, 7})
            for (uint8_t p2 : {0, 1, 3})
                for (uint8_t p3 : {0, 1}) {
                    const func_code c{uint8_t(kind), p1, p2, p3};
                    const std::string ids = func_code_to_desc_str(marked, c, false);
                    EXPECT_EQ(with_defaults(ids, description_texts), func_code_to_desc_str(built_in, c, false))
                        << "kind " << kind << " " << int(p1) << " " << int(p2) << " " << int(p3) << ": " << ids;
                    for (const text_default& t : description_texts)
                        if (ids.find(marker(t.id)) != std::string::npos) seen.insert(t.id);
                }
    for (const text_default& t : description_texts) EXPECT_TRUE(seen.contains(t.id)) << "text " << t.id << " never used";
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
