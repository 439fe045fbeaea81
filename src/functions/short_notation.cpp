#include "functions/short_notation.h"

#include <array>
#include <string_view>

namespace qvk {

namespace {

constexpr std::string_view no_name = "ERR";

// Names of keyboard usages 0x00-0xE7; nullptr marks a usage without a name.
// Shifted pairs carry two spaces; ")  0" and ">  ." put the shifted sign first.
constexpr std::array<const char*, 0xE8> key_names = {
    // 0x00
    "", "", "", "", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L",
    // 0x10
    "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "1  !", "2  @",
    // 0x20
    "3  #", "4  $", "5  %", "6  ^", "7  &", "8  *", "9  (", ")  0", "Enter", "Esc", "BKSP", "Tab", "Space", "-  _",
    "=  +", "[  {",
    // 0x30
    "]  }", "\\  |", "Europ1", ";  :", "'  \"", "`  ~", ",  <", ">  .", "/  ?", "CAPS", "F1", "F2", "F3", "F4", "F5",
    "F6",
    // 0x40
    "F7", "F8", "F9", "F10", "F11", "F12", "PS", "SL", "PB", "Insert", "Home", "PgUp", "Delete", "End", "PgDn",
    "Right",
    // 0x50
    "Left", "Down", "Up", "Num", "/", "*", "-", "+", "Enter", "1", "2", "3", "4", "5", "6", "7",
    // 0x60
    "8", "9", "0", ".", "Europ2", "App", "Pwr", "Pad =", "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20",
    // 0x70
    "F21", "F22", "F23", "F24", "Execut", "Help", "Menu", "Select", "Stop", "Again", "Undo", "Cut", "Copy", "Paste",
    "Find", "mute",
    // 0x80
    "VolUp", "VolDn", "LCaps", "LNum", "LScr", "Comma", "Equal", "inte1", "inte2", "inte3", "inte4", "inte5", "inte6",
    "inte7", "inte8", "inte9",
    // 0x90
    "Lang1", "Lang2", "Lang3", "Lang4", "Lang5", "Lang6", "Lang7", "Lang8", "Lang9", "AlteErs", "SysReq", "Cancel",
    "Clear", "Prior", "Return", "Separ",
    // 0xA0
    "Out", "Oper", "C/A", "CS/Pr", "ExSel", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr,
    // 0xB0
    "Pad00", "Pad000", "T.S", "D.S", "C.Unit", "C.Sunit", "Pad (", "Pad )", "Pad {", "Pad }", "Pad Tab", "PadBKSP",
    "Pad A", "Pad B", "Pad C", "Pad D",
    // 0xC0
    "Pad E", "Pad F", "PadXor", "Pad ^", "Pad %", "Pad <", "Pad >", "Pad &", "Pad &&", "Pad |", "Pad ||", "Pad :",
    "Pad #", "Pad Sp", "Pad @", "Pad !",
    // 0xD0
    "Pad MS", "Pad MR", "Pad MC", "Pad MA", "Pad Ms", "Pad MM", "Pad MD", "Pad +/-", "Pad Cl", "Pad C.E", "Pad Bin",
    "Pad Oct", "Pad Dec", "Pad Hex", nullptr, nullptr,
    // 0xE0
    "L_Ctrl", "L_Shift", "L_Alt", "L_Win", "R_Ctrl", "R_Shift", "R_Alt", "R_Win"};

struct media_name {
    uint16_t usage;
    const char* name;
};
constexpr media_name media_names[] = {
    {0x00B0, "Play"},  {0x00B1, "Pause"}, {0x00B3, "forw"},  {0x00B4, "Rewind"}, {0x00B5, "Next"},
    {0x00B6, "Prev"},  {0x00B7, "stop"},  {0x00E2, "Mute"},  {0x00E9, "Vol +"},  {0x00EA, "Vol -"},
    {0x0192, "Calc"},  {0x0194, "MyPc"},  {0x0221, "Find"},  {0x0223, "Home"},   {0x0224, "Back"},
    {0x0225, "Forw"},  {0x0226, "STOP"},  {0x0227, "Refre"}, {0x022A, "Label"},
};

// The tag of a kind whose tag is fixed or a prefix followed by parameter
// byte 1; kinds whose tag depends on their parameters are rendered in code.
struct kind_tag {
    const char* tag;
    bool with_p1; // append parameter byte 1 in decimal
};
constexpr kind_tag no_tag{"", false};

kind_tag tag_of(uint8_t kind) {
    switch (kind) {
    case fk_disabled: return {"DisEn", false};
    case fk_mouse_left: return {"M:LC", false};
    case fk_mouse_middle: return {"M:CC", false};
    case fk_mouse_right: return {"M:RC", false};
    case fk_wheel_up: return {"M:WU", false};
    case fk_wheel_down: return {"M:WD", false};
    case fk_pointer_up: return {"M:MU", false};
    case fk_pointer_down: return {"M:MD", false};
    case fk_pointer_left: return {"M:ML", false};
    case fk_pointer_right: return {"M:MR", false};
    case fk_flayer_switch: return {"FA:", true};
    case fk_flayer_toggle: return {"FW:", true};
    case fk_tlayer_switch: return {"TA:", true};
    case fk_macro_run: return {"RM:", true}; // the group; the step is not shown
    case fk_macro_stop: return {"RM:S", false};
    case fk_ble_reset: return {"BLE:R", false};
    case fk_ble_unpair_all: return {"BLE:DA", false};
    case fk_ble_restart: return {"BLE:RS", false};
    case fk_ble_host: return {"BLE:H", true};
    case fk_ble_sleep: return {"BLE:S", false};
    case fk_ble_print_host_count: return {"BLE:PH", false};
    case fk_ble_print_host_id: return {"BLE:PI", false};
    case fk_ble_print_host_mac: return {"BLE:PM", false};
    case fk_batt_measure: return {"BT:S", false};
    case fk_batt_print_level: return {"BT:PL", false};
    case fk_batt_print_voltage: return {"BT:PV", false};
    case fk_fw_restart: return {"RSTKB", false};
    case fk_bkl_prev: return {"L:U", false};
    case fk_bkl_next: return {"L:D", false};
    case fk_bkl_set: return {"L:S", false}; // no effect number on the key
    case fk_bkl_on: return {"L:E", false};
    case fk_bkl_off: return {"L:C", false};
    case fk_bkl_toggle: return {"L:SW", false};
    case fk_ws_prev: return {"BL:U", false};
    case fk_ws_next: return {"BL:D", false};
    case fk_ws_set: return {"BL:S", false};
    case fk_ws_on: return {"BL:E", true};
    case fk_ws_off: return {"BL:C", true};
    case fk_ws_toggle: return {"BL:S", true};
    default: return no_tag;
    }
}

} // namespace

std::string key_code_to_short_str(uint8_t usage) {
    if (usage >= key_names.size() || key_names[usage] == nullptr) return std::string(no_name);
    return key_names[usage];
}

std::string media_code_to_short_str(uint16_t usage) {
    for (const media_name& m : media_names)
        if (m.usage == usage) return m.name;
    return "MK...";
}

std::string indicator_to_str(uint8_t index, bool long_form) {
    switch (index) {
    case ind_num: return long_form ? "NUM" : "N";
    case ind_caps: return long_form ? "CAPS" : "C";
    case ind_scroll: return long_form ? "SCROLL" : "S";
    default: return "";
    }
}

std::string func_code_to_short_str(const func_code& c) {
    const uint8_t p1 = c[fc_p1], p2 = c[fc_p2];
    switch (c[fc_kind]) {
    case fk_key: return key_code_to_short_str(p1);
    case fk_media: return media_code_to_short_str(fc_u16(c, fc_p1));
    case fk_flayer_enable: return (p2 != 0 ? "FE:" : "FD:") + std::to_string(p1);
    case fk_ind_on: return "I:E" + indicator_to_str(p1, false);
    case fk_ind_off: return "I:C" + indicator_to_str(p1, false);
    case fk_bkl_brightness: return p1 != 0 ? "L:LU" : "L:LD";
    case fk_ind_action: return p2 != 0 ? "IA:E" : "IA:D";
    case fk_rhythm: return p1 == 0 ? "SP:D" : p1 == 1 ? "SP:E" : "SP:SW";
    case fk_win_lock: return p2 == 1 ? "WL:LW" : p2 == 2 ? "WL:RW" : p2 == 0 ? "WL:NONE" : "WL:LRW";
    case fk_bkl_temp: return p1 != 0 ? "TR" : "TW:" + std::to_string(p2);
    case fk_bkl_speed: return p1 == 0 ? "LS:U" : "LS:D";
    default: {
        const kind_tag t = tag_of(c[fc_kind]);
        return t.with_p1 ? t.tag + std::to_string(p1) : t.tag;
    }
    }
}

} // namespace qvk
