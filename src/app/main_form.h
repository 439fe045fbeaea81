#pragma once
// The main window: title bar, navigation menu, card panel with one page per
// task, tray icon, busy state, and the owner of everything that outlives a
// page visit (key tables and texts, discovery, the links, the records read
// from the keyboard).

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "app/app_settings.h"
#include "ui/dialogs.h"
#include "link/keyboard_records.h"
#include "app/main_form_texts.h"
#include "link/hid_detect_dev.h"
#include "link/hidconnect.h"
#include "link/initial_read.h"
#include "link/reply_reassembly.h"
#include "link/transport.h"
#include "ui/keyboard_page.h"
#include "ui/page_host.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QSystemTrayIcon;
class QTimer;

namespace qvk {

class busy_indicator;
class device_list_view;
class key_code_convert;
class ui_batt_disp;
class nav_menu;
class qt_link_sink;

// Cards of the page panel, in panel order.
enum card_index : int {
    c_device_list = 0,
    c_device_config,
    c_flayer_edit,
    c_tlayer_edit,
    c_bkl_lig_edit,
    c_bkl_custom_edit,
    c_bkl_ws_edit,
    c_bkl_indicator_edit,
    c_bkl_user_led_edit,
    c_indicator_edit,
    c_music_spectrum,
    c_macro_edit,
    c_kb_mgr,
    c_driver_cfg,
    card_count
};

struct dpi_info {
    int dpi_x = 96;
    int dpi_y = 96;
    float scale = 1.0f;
};

namespace timing {
constexpr int detect_interval_ms = 1000;   // searching for keyboards
constexpr int redetect_interval_ms = 500;  // after a lost link or a refresh
constexpr int probe_pause_ms = 50;         // before asking a probed device its name
constexpr int search_again_ms = 1000;      // after a device did not tell its name
} // namespace timing

constexpr const char* app_title = "QVK Dual Mode Keyboard Tools V1.1";

class Tmain_form final : public QMainWindow, public page_host {
    Q_OBJECT
public:
    struct options {
        std::string exe_dir;                  // where the tool's files live
        std::shared_ptr<device_bus> bus;      // where keyboards are looked for
        bool start_hidden = false;            // the "-hide" switch
        int tray_available = -1;              // -1 ask the desktop, 0 no, 1 yes
        dialog_service* dialogs = nullptr;    // null: the real dialogs
    };
    explicit Tmain_form(options opts, QWidget* parent = nullptr);
    ~Tmain_form() override;

    // Busy state shared by everything that talks to the keyboard.
    void set_task_busy(bool on);
    void set_busy(int mode, uint8_t awaiting) override;
    bool is_task_busy() const override { return task_busy_; }
    bool is_busy() const override;
    uint8_t awaiting_reply() const { return awaiting_reply_; }

    // Navigation: the actions by name (device_list, fl_3, drive_config, ...).
    QAction* action(const QString& name) const;
    QString current_page_label() const;
    int current_card() const;
    bool menu_open() const { return menu_open_; }
    void toggle_menu();

    // Texts.
    key_code_convert& texts() override { return *key_code_convert_; }
    QString lng(uint32_t id, const char* default_text) const override;
    void apply_ui_texts();

    // Device link.
    hid_detect_dev* detector() const { return detector_.get(); }
    hidconnect* active_link() const { return active_link_.get(); }
    hidconnect* probe_link() const { return probe_link_.get(); }
    uint32_t current_index() const { return current_index_; }
    QString device_name(uint32_t i) const;
    uint16_t device_version(uint32_t i) const;
    // connect(index): false when connected.
    bool connect_device(uint32_t index);
    void disconnect_device();
    bool closing() const override { return closing_; }
    uint32_t link_kind() const override;
    QString connected_device_name() const override { return device_name(current_index_); }
    uint16_t connected_device_version() const override { return device_version(current_index_); }
    void rename_connected_device(const QString& name) override;
    void reset_sent_count() override;
    void draw_entry(uint32_t index, bool connected);
    void draw_list();
    void teardown_pages();
    void BitBtn1Click();
    // The double click on the picture of entry index.
    void device_picture_double_click(uint32_t index);
    device_list_view& device_list() { return *device_list_; }
    QProgressBar* read_progress_bar() const { return read_progress_bar_; }
    // How long a found device may take to tell its name before detection
    // starts over (tests shorten it).
    void set_probe_timeout(int ms) { probe_timeout_ms_ = ms; }

    // Command exchange: 0 queued, 1 refused (with a message where the user
    // can do something about it).
    int send_command(uint32_t command, uint8_t sub, uint16_t value16, uint32_t value32, uint8_t awaiting,
                     bool kick) override;
    int send_block(uint32_t command, uint8_t sub, const uint8_t* data, uint32_t length, uint8_t awaiting,
                   bool kick) override;
    int stream_command(uint32_t command, uint8_t sub, uint16_t value16, uint32_t value32) override;
    bool send_stream(uint32_t command, const uint8_t* data, uint32_t length) override;
    void continue_initial_read();
    void mark_read_done(unsigned step) { initial_read_.mark_read_done(step); }
    bool is_read_done(unsigned step) const { return initial_read_.is_read_done(step); }
    bool initial_read_finished() const override { return initial_read_.finished; }
    void clear_read_state();
    // The tool's copy of the keyboard's records.
    keyboard_records& records() override { return *records_; }
    ui_batt_disp* battery() const { return batt_.get(); }
    // Asks the connected keyboard for its battery state.
    void request_battery_update();

    // The page of a card while it exists (from its first record or first
    // showing until the connection ends); null otherwise.
    keyboard_page* page(int card) const;

    // Settings and state.
    const dpi_info& dpi() const { return dpi_; }
    float scale() const override { return dpi_.scale; }
    app_settings& settings() { return settings_; }
    std::string settings_file() const override { return settings_.path(); }
    bool in_tray() const override { return in_tray_; }
    std::string exe_dir() const override { return opts_.exe_dir; }
    bool minimise_on_close() const { return minimise_on_close_; }
    dialog_service& dialogs() override { return *dialogs_; }
    QWidget* dialog_parent() override { return this; }
    void set_dialog_service(dialog_service* d);

    // Controls the tests and later pages reach.
    busy_indicator* activity_indicator() const { return activity_indicator_; }
    QComboBox* skin_combo() const { return skin_combo_; }
    QComboBox* language_combo() const { return language_combo_; }
    QCheckBox* auto_connect_box() const { return auto_connect_box_; }
    QCheckBox* close_to_tray_box() const { return close_to_tray_box_; }
    QSystemTrayIcon* tray_icon() const { return tray_icon_; }
    QTimer* detect_timer() const { return timer_detect_hid_device_; }
    QPushButton* refresh_button() const { return refresh_button_; }
    QWidget* card(int index) const;
    // Where a page puts its controls: the scrolling panel of the card, or
    // the card itself.
    QWidget* page_panel(int index) const;
    QWidget* title_panel() const { return title_panel_; }
    QLabel* page_label() const { return page_label_; }
    QLabel* battery_image() const;

    // Tray.
    void restore_from_tray();
    void quit_from_tray();

    // Device detection tick (also driven by tests).
    void timer_detect_hid_deviceTimer();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void build_title_bar();
    void build_menu();
    void build_cards();
    void build_device_list_card();
    void build_driver_cfg_card();
    void build_tray();
    void FormCreate();
    void FormClose();
    void FormResize();
    void measure_dpi();

    bool guard_passes(page_guard g) const;
    void run_action(QAction* a);
    void show_page(QAction* a, int card);

    // Pages (main_form_pages.cpp).
    keyboard_page* ensure_page(int card);
    // Whether every page lets a reply of `command` for `sub` be stored.
    bool pages_accept(uint32_t command, uint32_t sub) const;
    // Creates the pages a reply of `command` brings and tells every page it
    // was stored.
    void notify_pages(uint32_t command, uint32_t sub);
    void on_layer_state(const uint8_t* payload, uint32_t command, bool initial_read_reply);

    void load_skin_settings();
    void load_auto_connect();
    void load_close_setting();
    void load_languages();
    void update_busy_colour();
    void restyle(int skin);
    void cb_skin_selectChange();
    void cb_lng_selectChange();
    void timer_skin_change_re_conn_deviceTimer();

    bool hide_to_tray();

    bool ready_to_send();
    int queued_or_refused(int queue_result);
    // Link messages and replies.
    void on_report_queued();
    void route_keyboard_reply(const packet::packet64& p);
    void route_bootloader_reply(const packet::packet64& p);
    void on_maintenance_status(const packet::packet64& p);
    // Reassembles a chunked reply into `record`; true when it completed.
    bool reassemble(const packet::packet64& p, uint32_t capacity, std::vector<uint8_t>& record, uint32_t& sub,
                    bool& broke);
    void show_read_progress(unsigned step);
    void hide_read_progress();
    void on_probe_timeout();
    void stop_probing_and_search_again();
    void on_send_done(uintptr_t wparam);
    void on_send_progress(intptr_t lparam);
    void on_link_lost(uint32_t index);
    void on_device_info(uint32_t index);
    void probe_next(bool restart);
    void set_title(uint32_t index, bool connected);
    void start_detection(int interval_ms);

    options opts_;
    app_settings settings_;
    std::unique_ptr<key_code_convert> key_code_convert_;
    std::unique_ptr<qt_link_sink> sink_;
    std::unique_ptr<qt_dialog_service> own_dialogs_;
    dialog_service* dialogs_ = nullptr;
    dpi_info dpi_;

    bool in_tray_ = false;
    bool minimise_on_close_ = false;
    bool task_busy_ = false;
    uint8_t awaiting_reply_ = 0;
    bool menu_open_ = true;
    bool closing_ = false;
    bool closed_ = false;
    bool quitting_ = false;
    bool reconnect_pending_ = false;
    uint32_t reconnect_index_ = 0;

    std::unique_ptr<hid_detect_dev> detector_;
    std::unique_ptr<hidconnect> probe_link_;
    std::unique_ptr<hidconnect> active_link_;
    uint32_t probe_index_ = 0;
    uint32_t current_index_ = hid_detect_dev::max_entries;
    std::array<QString, hid_detect_dev::max_entries> device_names_;
    std::array<uint16_t, hid_detect_dev::max_entries> device_versions_{};
    std::unique_ptr<keyboard_records> records_;
    initial_read_state initial_read_;
    reply_reassembly reassembly_;
    bool read_progress_placed_ = false;
    int probe_timeout_ms_ = 3000;

    // Title bar.
    QWidget* title_panel_ = nullptr;
    QLabel* menu_image_ = nullptr;
    busy_indicator* activity_indicator_ = nullptr;
    QLabel* page_label_ = nullptr;
    QComboBox* skin_combo_ = nullptr;
    std::unique_ptr<ui_batt_disp> batt_;
    // Menu and pages.
    QWidget* menu_panel_ = nullptr;
    nav_menu* nav_menu_ = nullptr;
    QStackedWidget* card_panel_ = nullptr;
    std::array<QWidget*, card_count> cards_{};
    std::array<QWidget*, card_count> card_panels_{};
    std::map<QString, QAction*> actions_;
    std::map<QAction*, const nav_action_def*> action_defs_;
    // Device list page.
    QPushButton* refresh_button_ = nullptr;
    QProgressBar* read_progress_bar_ = nullptr;
    std::unique_ptr<device_list_view> device_list_;
    // Driver settings page.
    QLabel* language_label_ = nullptr;
    QComboBox* language_combo_ = nullptr;
    QLabel* auto_connect_label_ = nullptr;
    QCheckBox* auto_connect_box_ = nullptr;
    QLabel* close_label_ = nullptr;
    QCheckBox* close_to_tray_box_ = nullptr;
    // Timers.
    QTimer* timer_detect_hid_device_ = nullptr;
    QTimer* timer_skin_change_re_conn_device_ = nullptr;
    QTimer* timer_probe_timeout_ = nullptr;
    // The pages of the connected keyboard, by card.
    std::array<std::unique_ptr<keyboard_page>, card_count> pages_;
    // Tray.
    QSystemTrayIcon* tray_icon_ = nullptr;
    QMenu* tray_menu_ = nullptr;
    QAction* tray_restore_action_ = nullptr;
    QAction* tray_exit_action_ = nullptr;
};

} // namespace qvk
