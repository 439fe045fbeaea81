#pragma once
// Texts of the ambient light page and the bead page: the ID and built-in
// default of each (the light lines shared with the indicator page's light
// picker come from the lighting texts).

#include "lighting/lighting_texts.h"

namespace qvk::ambient_text {

using lighting_text::text_id;
using lighting_text::fill;

// Ambient light page.
constexpr text_id bar_range{1100, "可调节的最小值=%u，最大值=%u，当前值=%u"};
constexpr text_id nothing_adjustable{1101, "当前灯效无可调参数"};
using lighting_text::bead_driver;
constexpr text_id light_free{1103, "%003u: 驱动器=%s [未使用]"};
constexpr text_id light_in_group{1104, "%003u: 驱动器=%s 组:[%u]"};
using lighting_text::light_line;
using lighting_text::matrix_driver;
constexpr text_id labels[8] = {
    {1110, "可编辑的氛围灯组：氛围灯可分为多个组，每个组可独立产生灯效，互不影响。"},
    {1111, "是否开启本组灯效：只有设置为开启，本组灯效才会展示。"},
    {1112, "本组使用的灯珠配置：从右侧可使用灯珠列表内选择可使用的灯珠，列表顺序从上到下排列则代表灯珠的顺序，灯效将按照这个顺序产生。"},
    {1113, "本组已选灯珠："},
    {1114, "可使用的灯珠："},
    {1115, "本组灯效的速度参数：可用于调整灯效运行的速度。"},
    {1116, "本组灯效的速度参数：可用于调整灯效运行的速度。"},
    {1117, "自定颜色：使用自定颜色灯效时，使用以下4个指定的颜色产生灯效。"},
}; // Label1 .. Label8
constexpr text_id group_strip_hint{1118, "鼠标点击小图标选择一个可编辑的组"};
constexpr text_id save_group{1120, "保存当前组到键盘"};
constexpr text_id effects[10] = {
    {1121, "彩虹跑马灯"},   {1122, "随机颜色呼吸灯"}, {1123, "随机颜色渐变"}, {1124, "自定颜色呼吸灯"},
    {1125, "自定颜色渐变"}, {1126, "按键随机闪烁"},   {1127, "左右跑马灯"},   {1128, "转圈跑马灯"},
    {1129, "按键爆闪"},     {1130, "音频电平指示器"},
}; // RadioButton1 .. RadioButton10
constexpr text_id show_volume{1140, "使用氛围灯显示当前系统音量"};
constexpr text_id audio_failed{1141, "音频子系统启动失败"};
// Hints of the two lists (not looked up by ID).
constexpr const char* group_list_hint = "鼠标双击移除";
constexpr const char* all_lights_hint = "鼠标双击添加";

// Bead page.
constexpr text_id bead_labels[3] = {
    {1300, "可编辑的WS2812灯珠：单击或者按住(CTRL/SHIFT)多选，在右侧设置灯珠的亮度和数据格式。"},
    {1301, "灯珠的数据格式：不同的WS2812/SK6812，其数据格式所有不同，有的是GRB，有的是RGB，这里可以配置选中的灯珠所使用的数据格式，从而能保证正确的显示颜色。"},
    {1302, "灯珠的亮度：每颗灯珠的亮度都可以单独设置或者批量设置，选择一颗或者多颗灯珠，鼠标拖动以下进度条即可调整灯珠的亮度。"},
}; // Label1 .. Label3
constexpr text_id bead_save{1303, "保存到键盘"};
constexpr text_id bead_line{1304, "%003u: 数据格式：%s  亮度：%u%"};
constexpr text_id bead_bar{1305, "可调节的最小值=0，最大值=100，当前值=%u"};
constexpr text_id format_strip_hint{1306, "单击选择数据格式"};
constexpr text_id brightness_bar_hint{1307, "鼠标拖动调整亮度"};

} // namespace qvk::ambient_text
