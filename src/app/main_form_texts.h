#pragma once
// The navigation table of the main window and the built-in texts of its own
// controls, by text ID.

#include <QRgb>
#include <cstdint>

namespace qvk {

enum class page_guard { always, device_config, keyboard_page, device_manager };

struct nav_action_def {
    const char* name;          // object name of the action
    int tag;                   // layer index for the layer actions
    uint32_t caption_id;
    const char* caption;
    int hint_id;               // -1: no hint
    const char* hint;
    int card;
    page_guard guard;
    const char* glyph;         // drawn on the action's menu icon
};

struct nav_category_def {
    uint32_t caption_id;
    const char* caption;
    QRgb colour;
    bool expanded;
    int first_action;          // index into nav_actions
    int action_count;
};

extern const nav_action_def nav_actions[];
extern const int nav_action_count;
extern const nav_category_def nav_categories[];
extern const int nav_category_count;

// Texts of the main window that later code looks up by ID.
namespace txt {
constexpr uint32_t menu_image_hint = 47;
constexpr uint32_t skin_box_hint = 48;
constexpr uint32_t refresh_caption = 49;
constexpr uint32_t refresh_hint = 50;
constexpr uint32_t language_label = 89;
constexpr uint32_t auto_connect_label = 90;
constexpr uint32_t auto_connect_box = 91;
constexpr uint32_t close_label = 92;
constexpr uint32_t close_box = 93;
constexpr uint32_t tray_restore = 94;
constexpr uint32_t tray_exit = 95;
constexpr uint32_t skin_busy = 300;
constexpr uint32_t reconnect_failed = 301;
constexpr uint32_t send_error = 302;
constexpr uint32_t connect_failed = 328;
constexpr uint32_t not_connected = 329;
constexpr uint32_t link_not_running = 330;
constexpr uint32_t link_busy = 331;
constexpr uint32_t queue_failed = 332;
constexpr uint32_t entry_connected = 333;
constexpr uint32_t entry_not_connected = 334;
} // namespace txt

extern const char* const text_menu_image_hint;
extern const char* const text_skin_box_hint;
extern const char* const text_refresh_caption;
extern const char* const text_refresh_hint;
extern const char* const text_language_label;
extern const char* const text_auto_connect_label;
extern const char* const text_auto_connect_box;
extern const char* const text_close_label;
extern const char* const text_close_box;
extern const char* const text_tray_restore;
extern const char* const text_tray_exit;
extern const char* const text_skin_busy;
extern const char* const text_reconnect_failed;
extern const char* const text_send_error;
extern const char* const text_connect_failed;
extern const char* const text_connect_failed_keyboard_list;
extern const char* const text_not_connected;
extern const char* const text_link_not_running;
extern const char* const text_link_busy;
extern const char* const text_queue_failed;
extern const char* const text_entry_connected;
extern const char* const text_entry_not_connected;
extern const char* const text_page_current_hint;

} // namespace qvk
