#pragma once
// Texts of the lighting pages: the ID and built-in default of each, and
// filling a looked-up template with values.

#include <QString>
#include <vector>

#include "common/text_format.h"

namespace qvk::lighting_text {

// Fills a template (from the language file, never given to printf).
inline QString fill(const QString& tmpl, const std::vector<format_value>& values) {
    return QString::fromStdString(format_template(tmpl.toStdString(), values));
}

struct text_id {
    uint32_t id;
    const char* text;
};

// Backlight page.
constexpr text_id bar_hints[4] = {{900, "鼠标单击不同位置，调整背光物理亮度"},
                                  {901, "鼠标单击不同位置，调整通道（红色）的逻辑亮度"},
                                  {902, "鼠标单击不同位置，调整通道（绿色）的逻辑亮度"},
                                  {903, "鼠标单击不同位置，调整通道（蓝色）的逻辑亮度"}};
constexpr text_id builtin_current{904, "内置的灯效，当前选择灯效："};
constexpr text_id builtin_not_shown{905, "内置的灯效，当前未展示"};
constexpr text_id custom_not_shown{906, "自定义灯效，当前未展示"};
constexpr text_id custom_current{907, "自定义灯效，当前选择灯效："};
constexpr text_id adjustable_bar{908, "可调节的最小值=%u，最大值=%u，当前值=%u"};
constexpr text_id nothing_adjustable{909, "当前灯效无可调参数"};
constexpr text_id backlight_labels[9] = {
    {911, "背光物理亮度：用于调整背光的物理驱动电流，越高越费电，但是越亮，电池模式建议降低驱动电流，从而更加节电。（仅限背光是采用LED驱动器的驱动方式有效，对WS2812系列无效）"},
    {912, "背光RGB通道亮度调整：在物理亮度的基础上，调整逻辑亮度，从而可以从全局上细调每个颜色通道的亮度，进而改变色温以及偏色问题，应用于电池模式，可带来更多的节电效果；鼠标单击即可即时调整亮度值。"},
    {913, "背光灯效选择：鼠标左键单击显示数字的小图标，即可选择灯效"},
    {914, "当前背光灯效运行速度：调节的值越小，灯效运行速度越快，反之则越慢。"},
    {915, "当前背光灯效运行参数：有的灯效可以调整参数，不同的调整值对于不同的灯效意义不同。"},
    {916, "灯效中心点校正：可调整中心的坐标，从而让灯效看起来更舒适。"},
    {917, "X坐标调整："},
    {918, "Y坐标调整："},
    {910, "灯光开关：全局灯光（包括氛围灯、指示灯）的总开关，如果关闭，则所有灯光都不会被点亮（灯光停止供电）。"},
}; // Label1 .. Label9

// Ambient light lines (shared with the ambient page and the bead picker).
constexpr text_id bead_driver{1102, "2812: [%003u] 亮度：%u%"};
constexpr text_id light_line{1105, "%003u: 驱动器= %s"};
constexpr const char* matrix_driver = "3741: [%u-%u] "; // not translated

// Indicator-lights page.
constexpr text_id indicator_labels[4] = {
    {1200, "编辑的指示灯：选择要编辑的指示灯。"},
    {1202, "所配置的灯珠：从配列展示列表选择一个按键或者选择一个氛围灯的灯珠，本指示灯使用那个灯作为指示灯"},
    {1201, "开关：只有开启本指示灯的开关，才会启用本指示灯的展示，当关闭时，所配置的灯珠会自动释放控制。"},
    {1203, "灯效：可以为这个指示灯选择一个灯效，当点亮时，会产生对应的灯效。如果选择了自定颜色灯效，则可在色卡框设定一个颜色。"},
}; // Label1 .. Label4
constexpr text_id indicator_save{1204, "保存到键盘"};
constexpr text_id indicator_save_hint{1205, "将三颗指示灯的配置保存到键盘"};
constexpr text_id indicator_pick_ambient{1206, "选择可用的氛围灯"};
constexpr text_id indicator_pick_ambient_hint{1207, "选择一个氛围灯，作为指示灯"};
constexpr text_id indicator_swatch_hint{1208, "鼠标左键选择一个颜色，右键随机一个颜色"};
constexpr text_id indicator_key_light{1209, "使用按键灯[X=%u:Y=%u]，按键编号为：%u"};
constexpr text_id indicator_matrix_light{1210, "使用3741物理矩阵[X=%u:Y=%u]"};
constexpr text_id indicator_bead_light{1211, "使用2812物理矩阵[ID=%u]"};
constexpr text_id indicator_effects[4] = {
    {1212, "随机颜色点亮"}, {1213, "自定颜色点亮"}, {1214, "七彩变换"}, {1215, "随机颜色闪烁"}};
constexpr const char* picker_caption = "led select";
constexpr const char* picker_hint = "鼠标双击选择一个可用的灯珠";

// Indicator-actions page.
constexpr text_id action_labels[4] = {
    {1400, "编辑的指示灯动作：选择要编辑的指示灯。"},
    {1402, "点亮触发：当本指示灯被点亮时，触发一个功能，单击以下选择框即可选择一个功能，右键清空。"},
    {1401, "开关：只有开启本指示灯的触发开关，本指示灯所配置的动作才会被触发。"},
    {1403, "熄灭触发：当本指示灯熄灭时，触发一个功能，单击以下选择框即可选择一个功能，右键清空。"},
}; // Label1 .. Label4
constexpr text_id action_save{1404, "保存到键盘"};

} // namespace qvk::lighting_text
