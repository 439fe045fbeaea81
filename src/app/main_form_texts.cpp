#include "app/main_form_texts.h"

#include "app/main_form.h"

namespace qvk {

using enum page_guard;

const nav_action_def nav_actions[] = {
    {"device_list", 0, 0, "键盘列表", 1, "列出当前检测到的键盘设备（最多8个设备）", c_device_list, always, "列"},
    {"device_config", 0, 2, "键盘配置", 3, "配置设备的基本信息", c_device_config, device_config, "设"},
    {"fl_0", 0, 4, "功能层0", -1, "", c_flayer_edit, keyboard_page, "0"},
    {"fl_1", 1, 5, "功能层1", -1, "", c_flayer_edit, keyboard_page, "1"},
    {"fl_2", 2, 6, "功能层2", -1, "", c_flayer_edit, keyboard_page, "2"},
    {"fl_3", 3, 7, "功能层3", -1, "", c_flayer_edit, keyboard_page, "3"},
    {"fl_4", 4, 8, "功能层4", -1, "", c_flayer_edit, keyboard_page, "4"},
    {"fl_5", 5, 9, "功能层5", -1, "", c_flayer_edit, keyboard_page, "5"},
    {"fl_6", 6, 10, "功能层6", -1, "", c_flayer_edit, keyboard_page, "6"},
    {"fl_7", 7, 11, "功能层7", -1, "", c_flayer_edit, keyboard_page, "7"},
    {"tl_0", 0, 12, "触发层0", -1, "", c_tlayer_edit, keyboard_page, "0"},
    {"tl_1", 1, 13, "触发层1", -1, "", c_tlayer_edit, keyboard_page, "1"},
    {"tl_2", 2, 14, "触发层2", -1, "", c_tlayer_edit, keyboard_page, "2"},
    {"tl_3", 3, 15, "触发层3", -1, "", c_tlayer_edit, keyboard_page, "3"},
    {"tl_4", 4, 16, "触发层4", -1, "", c_tlayer_edit, keyboard_page, "4"},
    {"tl_5", 5, 17, "触发层5", -1, "", c_tlayer_edit, keyboard_page, "5"},
    {"tl_6", 6, 18, "触发层6", -1, "", c_tlayer_edit, keyboard_page, "6"},
    {"tl_7", 7, 19, "触发层7", -1, "", c_tlayer_edit, keyboard_page, "7"},
    {"music_spectrum", 0, 32, "音乐律动（全局）", 33, "音乐律动", c_music_spectrum, keyboard_page, "乐"},
    {"led_bkl_lig", 0, 20, "背光（轴灯）", 21, "背光（轴灯）", c_bkl_lig_edit, keyboard_page, "背"},
    {"led_custom_bkl", 0, 22, "自定义背光（轴灯）", 23, "自定义背光（轴灯）", c_bkl_custom_edit, keyboard_page, "自"},
    {"led_ws_lig", 0, 24, "氛围灯（底灯）", 25, "氛围灯", c_bkl_ws_edit, keyboard_page, "氛"},
    {"led_indicator_edit", 0, 26, "指示灯配置", 27, "指示灯", c_bkl_indicator_edit, keyboard_page, "指"},
    {"indicator_action_edit", 0, 28, "指示灯动作配置", 29, "指示灯动作配置", c_indicator_edit, keyboard_page, "动"},
    {"led_user_led_edit", 0, 30, "WS2812灯珠配置", 31, "WS2812灯珠配置", c_bkl_user_led_edit, keyboard_page, "珠"},
    {"macro_edit", 0, 34, "宏编辑器", 35, "宏编辑器", c_macro_edit, keyboard_page, "宏"},
    {"device_manager", 0, 36, "固件和默认值", 37, "固件、恢复默认值", c_kb_mgr, device_manager, "固"},
    {"drive_config", 0, 38, "驱动配置", 39, "驱动设置", c_driver_cfg, always, "驱"},
};
const int nav_action_count = int(sizeof nav_actions / sizeof nav_actions[0]);

const nav_category_def nav_categories[] = {
    {40, "键盘设备", 0xFFEAFF, true, 0, 2},
    {41, "功能层配置", 0xF4F4F4, true, 2, 8},
    {42, "触发层配置", 0xFFEBEA, false, 10, 8},
    {43, "灯光", 0xEAEAFF, true, 18, 7},
    {44, "宏脚本", 0xFFEBEA, false, 25, 1},
    {45, "固件、默认值", 0xFFEAFF, true, 26, 1},
    {46, "驱动配置", 0xFFFFEA, true, 27, 1},
};
const int nav_category_count = int(sizeof nav_categories / sizeof nav_categories[0]);

const char* const text_menu_image_hint = "单击收缩/展开菜单";
const char* const text_skin_box_hint = "选择主题（注意：如果当前正在通信，则主题的更改会在下次启动驱动的时候，再更改）";
const char* const text_refresh_caption = "刷新列表";
const char* const text_refresh_hint = "刷新将会清空当前列表，并重新检索键盘设备，如果当前有连接，将会断开";
const char* const text_language_label =
    "多语言支持：选择使用的语言，您也可以自定义语言，语言所需配置文件在驱动所在文件夹的[Language]文件夹内。";
const char* const text_auto_connect_label =
    "自动连接：当检测到1个键盘时，是否自动连接这个键盘。如果检测到多个键盘，则不会自动连接。";
const char* const text_auto_connect_box = "开启自动连接";
const char* const text_close_label = "当点击关闭按钮时，最小化而不是关闭。";
const char* const text_close_box = "关闭时最小化";
const char* const text_tray_restore = "恢复显示";
const char* const text_tray_exit = "退出程序";
const char* const text_skin_busy = "检测到当前繁忙，无法应用新的主题，主题的修改将在下次启动驱动的时候生效。";
const char* const text_reconnect_failed =
    "无法连接设备，这可能是设备被拔出、出现错误等原因，请检查设备的连接情况，并刷新设备列表后再尝试连接。";
const char* const text_send_error = "数据发送错误！";
const char* const text_connect_failed =
    "无法连接设备，这可能是设备被拔出、出现错误等原因，请检查设备的连接情况，并刷新设备列表后再尝试连接。";
// The double-click handler names the keyboard list where the automatic
// connection names the device list.
const char* const text_connect_failed_keyboard_list =
    "无法连接设备，这可能是设备被拔出、出现错误等原因，请检查设备的连接情况，并刷新键盘列表后再尝试连接。";
const char* const text_not_connected = "尚未与设备连接，请在设备列表页面选择一个设备用于连接！";
const char* const text_link_not_running =
    "与设备的连接出现错误，数据收发线程未启动！您应该在设备列表页面重新选择一个设备用于连接。";
const char* const text_link_busy = "当前通信繁忙，请稍后再试。";
const char* const text_queue_failed = "数据传输出现错误！请重试或者在设备列表页面重新选择一个设备用于连接。";
const char* const text_entry_connected = "(已连接,双击断开连接.)";
const char* const text_entry_not_connected = "(未连接,双击启动连接.)";
const char* const text_page_current_hint = "当前的页面";

} // namespace qvk
