#include "functions/func_description.h"

#include <string_view>

#include "functions/key_code_convert.h"
#include "functions/short_notation.h"

namespace qvk {

namespace {

// A text piece: its ID and the built-in Chinese default.
struct piece {
    uint32_t id;
    std::string_view def;
};

// Kinds whose description is one fixed piece.
struct fixed_desc {
    uint8_t kind;
    piece text;
};
constexpr fixed_desc fixed_descs[] = {
    {fk_mouse_left, {2004, "鼠标左键单击"}},
    {fk_mouse_middle, {2005, "鼠标中键单击"}},
    {fk_mouse_right, {2006, "鼠标右键单击"}},
    {fk_macro_stop, {2024, "停止宏的运行"}},
    {fk_ble_reset, {2034, "复位蓝牙的所有配置，包括MAC地址"}},
    {fk_ble_unpair_all, {2035, "删除蓝牙的所有配对信息"}},
    {fk_ble_restart, {2036, "重启蓝牙模块"}},
    {fk_ble_sleep, {2038, "蓝牙进入休眠模式"}},
    {fk_ble_print_host_count, {2039, "在当前位置输出已经配对的主机数量"}},
    {fk_ble_print_host_id, {2040, "在当前位置输出当前使用的主机ID"}},
    {fk_ble_print_host_mac, {2041, "在当前位置输出当前配对的主机的MAC地址"}},
    {fk_batt_measure, {2042, "立即更新一次电池电压"}},
    {fk_batt_print_level, {2043, "在当前位置输出电池电量"}},
    {fk_batt_print_voltage, {2044, "在当前位置输出电池电压"}},
    {fk_fw_restart, {2045, "立即重启键盘固件"}},
    {fk_bkl_prev, {2046, "轴灯->切换到上一个灯效"}},
    {fk_bkl_next, {2047, "轴灯->切换到下一个灯效"}},
    {fk_bkl_on, {2049, "轴灯->打开"}},
    {fk_bkl_off, {2050, "轴灯->关闭"}},
    {fk_bkl_toggle, {2051, "切换轴灯的开关状态"}},
};

// Kinds whose description is a piece, the unsigned parameter byte 1 and
// (when its ID is not 0) a closing piece.
struct p1_desc {
    uint8_t kind;
    piece before;
    piece after;
};
constexpr piece lines_close{2008, "行)"};
constexpr piece pixels_close{2011, "像素)"};
constexpr piece none{0, ""};
constexpr p1_desc p1_descs[] = {
    {fk_wheel_up, {2007, "鼠标滚轮上滚动(每次滚动"}, lines_close},
    {fk_wheel_down, {2009, "鼠标滚轮下滚动(每次滚动"}, lines_close},
    {fk_pointer_up, {2010, "鼠标指针上移动(每次移动"}, pixels_close},
    {fk_pointer_down, {2012, "鼠标指针下移动(每次移动"}, pixels_close},
    {fk_pointer_left, {2013, "鼠标指针左移动(每次移动"}, pixels_close},
    {fk_pointer_right, {2014, "鼠标指针右移动(每次移动"}, pixels_close},
    {fk_flayer_switch, {2015, "切换到功能层"}, none},
    {fk_flayer_toggle, {2018, "切换功能层"}, {2019, "开关状态"}},
    {fk_tlayer_switch, {2020, "切换到触发层"}, none},
    {fk_ble_host, {2037, "蓝牙切换到主机"}, none},
    {fk_bkl_set, {2048, "轴灯->切换到灯效"}, none},
};

// The ambient kinds: "group" + G + what happens to it.
constexpr piece ws_group{2054, "氛围灯组"};
struct ws_desc {
    uint8_t kind;
    piece action;
};
constexpr ws_desc ws_descs[] = {
    {fk_ws_prev, {2055, "切换到上一个灯效"}}, {fk_ws_next, {2056, "切换到下一个灯效"}},
    {fk_ws_set, {2057, "切换到灯效"}},       {fk_ws_on, {2058, "灯效开启"}},
    {fk_ws_off, {2059, "灯效关闭"}},         {fk_ws_toggle, {2060, "切换灯效开关状态"}},
};

constexpr piece on_text{2065, "开启"};
constexpr piece off_text{2069, "关闭"};
constexpr piece indicator_closing{2062, "的显示"};

// Parameters are unsigned: a byte reads 0-255, a 16-bit value 0-65535.
std::string n8(uint8_t v) { return std::to_string(unsigned(v)); }
std::string n16(const func_code& c, size_t off) { return std::to_string(unsigned(fc_u16(c, off))); }

class describer {
public:
    describer(const key_code_convert& t, const func_code& c) : t_(t), c_(c) {}
    std::string text(const piece& p) const { return t_.get_lng_text(p.id, p.def); }
    std::string key_name() const { return t_.usage_to_str(0, c_[fc_p1]); }
    std::string media_name() const { return t_.usage_to_str(1, fc_u16(c_, fc_p1)); }
    std::string describe(bool in_list) const;

private:
    const key_code_convert& t_;
    const func_code& c_;
};

std::string describer::describe(bool in_list) const {
    const uint8_t kind = c_[fc_kind], p1 = c_[fc_p1], p2 = c_[fc_p2], p3 = c_[fc_p3];
    for (const fixed_desc& d : fixed_descs)
        if (d.kind == kind) return text(d.text);
    for (const p1_desc& d : p1_descs)
        if (d.kind == kind) return text(d.before) + n8(p1) + (d.after.id != 0 ? text(d.after) : std::string());
    for (const ws_desc& d : ws_descs)
        if (d.kind == kind) return text(ws_group) + n8(p1) + text(d.action) + (kind == fk_ws_set ? n8(p2) : "");

    switch (kind) {
    case fk_transparent: return in_list ? std::string() : text({2000, "透明"});
    case fk_disabled: return in_list ? std::string() : text({2001, "禁用"});
    case fk_key: return text({2002, "常规键码 "}) + key_name();
    case fk_media: return text({2003, "媒体键码 "}) + media_name();
    case fk_flayer_enable: return (p2 != 0 ? text({2016, "打开功能层"}) : text({2017, "关闭功能层"})) + n8(p1);
    case fk_macro_run:
        return text({2021, "运行宏组ID:"}) + n8(p1) + text({2022, "，从第"}) + n16(c_, fc_p2) +
               text({2023, "步开始"});
    case fk_macro_jump: return text({2025, "宏跳转到本组的另一步继续执行："}) + n16(c_, fc_p2);
    case fk_delay: return text({2026, "延时："}) + n16(c_, fc_p1) + text({2027, "毫秒"});
    case fk_random_delay: return text({2028, "随机延时一个时间：在0-"}) + n16(c_, fc_p1) + text({2029, "毫秒之间"});
    case fk_key_edge:
        return (p2 != 0 ? text({2030, "模拟按下常规按键："}) : text({2031, "模拟弹起常规按键："})) + key_name();
    case fk_media_edge:
        return (p3 != 0 ? text({2032, "模拟按下媒体按键："}) : text({2033, "模拟弹起媒体按键："})) + media_name();
    case fk_ind_on: return text({2061, "打开指示灯"}) + indicator_to_str(p1, true) + text(indicator_closing);
    case fk_ind_off: return text({2063, "关闭指示灯"}) + indicator_to_str(p1, true) + text(indicator_closing);
    case fk_bkl_brightness: return p1 != 0 ? text({2052, "轴灯->提高亮度"}) : text({2053, "轴灯->降低亮度"});
    case fk_ind_action:
        return text({2064, "指示灯动作:"}) + indicator_to_str(p1, true) + (p2 != 0 ? text(on_text) : text({2066, "关闭"}));
    case fk_rhythm:
        return text({2067, "律动:"}) + (p1 == 0 ? text(off_text) : p1 == 1 ? text(on_text) : text({2068, "切换开关"}));
    case fk_win_lock: {
        const std::string action = p1 == 0   ? text({4190, "解除锁定WIN键:"})
                                   : p1 == 1 ? text({4191, "锁定WIN键:"})
                                             : text({4192, "切换WIN键锁定:"});
        // The Windows-key names are fixed ASCII, not localised.
        const char* keys = p2 == 1 ? "L_WIN" : p2 == 2 ? "R_WIN" : p2 == 0 ? "NONE" : "L_WIN R_WIN";
        return action + keys;
    }
    case fk_bkl_temp: return p1 == 0 ? text({4143, "背光灯效临时切换到："}) + n8(p2) : text({4144, "背光恢复临时切换的灯效"});
    case fk_bkl_speed: return p1 == 0 ? text({4145, "增加灯效速度"}) : text({4146, "降低灯效速度"});
    default: return std::string(); // kinds that are never produced
    }
}

} // namespace

std::string func_code_to_desc_str(const key_code_convert& texts, const func_code& code, bool in_list) {
    return describer(texts, code).describe(in_list);
}

} // namespace qvk
