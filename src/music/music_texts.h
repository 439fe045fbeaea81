#pragma once
// Texts of the music rhythm page: the ID and built-in default of each.

#include <cstdint>

namespace qvk::music_text {

struct text_id {
    uint32_t id;
    const char* text;
};

// Label1 .. Label7; each label's hint is its text.
constexpr text_id labels[7] = {
    {1500, "音乐律动开关：律动的开关，用于开启关闭律动。注意：只有开启了背光的总开关，律动才能启动。"},
    {1501, "（UI）律动幅度调整：可调整律动的幅度大小。"},
    {1502, "（UI）律动峰值点停留时间：可调整律动峰值点停留时间。"},
    {1503, "（UI）律动峰值点跌落速度："},
    {1504, "（UI）律动频谱条跌落速度："},
    {1505, "键盘音频电平指示器幅度调整：仅对键盘有效。"},
    {1506, "键盘律动幅度调整：用于调整键盘律动幅度。"},
};
constexpr text_id previous_effect{1507, "上一个律动灯效。"};
constexpr text_id next_effect{1508, "下一个律动灯效。"};
constexpr text_id start_failed{1509, "启动律动失败，未正确检测到声卡！"};

} // namespace qvk::music_text
