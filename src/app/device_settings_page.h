#pragma once
// The device-settings page: the keyboard's name, its key-scan timing and
// trigger mode, and its Bluetooth settings with the MAC-address table. Each
// group has its own apply button that sends at once; the controls edit the
// window's copies of the records.

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>

#include "link/keyboard_records.h"
#include "ui/keyboard_page.h"

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace qvk {

class device_settings_page final : public keyboard_page, public QObject {
public:
    device_settings_page(page_host& host, QWidget* panel);
    ~device_settings_page() override;

    void open(int tag) override;
    void record_arrived(uint32_t command, uint32_t sub) override;
    void initial_read_finished() override { apply_kind_rules(false); }
    void apply_texts() override;
    void close_dialogs() override;

    void fill_scan_settings();
    void fill_bluetooth_settings();
    void fill_trigger_mode();
    // all_enabled: every control on; otherwise by the link kind.
    void apply_kind_rules(bool all_enabled);

    // Handlers.
    void name_apply();
    void scan_apply(int tag);
    void trigger_mode_apply();
    void ble_slot_apply();
    void ble_sleep_apply();
    void ble_power_apply();
    void mac_double_click(unsigned k);
    void mac_submit();

    // Controls, for the tests and the pictures.
    QLineEdit* name_box() const { return edit_dev_cfg_set_name_; }
    QPushButton* name_apply_button() const { return dev_cfg_set_dev_name_apply_button_; }
    QComboBox* debounce_box() const { return cb_dev_cfg_debounce_time_; }
    QComboBox* trigger_mode_box() const { return cb_kb_matrix_scan_trig_mode_select_; }
    QComboBox* hold_trigger_box() const { return cb_dev_cfg_hd_key_trig_time_; }
    QComboBox* multi_tap_box() const { return cb_dev_cfg_nhit_time_; }
    QLineEdit* sleep_box() const { return edit_dev_cfg_sys_delay_sleep_time_; }
    QComboBox* ble_slot_box() const { return dev_cfg_ble_use_conn_id_; }
    QComboBox* ble_sleep_box() const { return dev_cfg_ble_sleep_time_; }
    QComboBox* ble_power_box() const { return dev_cfg_ble_tx_power_; }
    QLineEdit* mac_box(unsigned k) const { return dev_cfg_mac_[k]; }
    QLineEdit* host_mac_box(unsigned k) const { return dev_cfg_host_mac_[k]; }
    QPushButton* mac_submit_button() const { return dev_cfg_sub_ble_mac_; }
    QWidget* root() const { return root_; }
    // The page's copies of the records, as the controls left them.
    const record_bytes<record_size::scan_params>& scan_record() const { return scan_; }
    const record_bytes<record_size::ble_params>& ble_record() const { return ble_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void build();
    QLabel* add_label(const char* object_name);
    QPushButton* add_button(const char* object_name);
    QComboBox* add_combo(const char* object_name);
    bool ble_allowed();

    QWidget* panel_;
    QPointer<QWidget> root_;
    // Copies of the records as read; the controls edit these and the apply
    // buttons send them.
    record_bytes<record_size::scan_params> scan_{};
    record_bytes<record_size::trigger_mode> trigger_{};
    record_bytes<record_size::ble_params> ble_{};
    bool ble_read_ = false;

    QLineEdit* edit_dev_cfg_set_name_ = nullptr;
    QPushButton* dev_cfg_set_dev_name_apply_button_ = nullptr;
    QComboBox* cb_dev_cfg_debounce_time_ = nullptr;
    QPushButton* dev_cfg_set_keyscan_matrix_cfg_ = nullptr;
    QComboBox* cb_kb_matrix_scan_trig_mode_select_ = nullptr;
    QPushButton* cb_kb_matrix_scan_trig_mode_select_append_ = nullptr;
    QComboBox* cb_dev_cfg_hd_key_trig_time_ = nullptr;
    QPushButton* hold_time_apply_button_ = nullptr;
    QComboBox* cb_dev_cfg_nhit_time_ = nullptr;
    QPushButton* multi_tap_time_apply_button_ = nullptr;
    QLineEdit* edit_dev_cfg_sys_delay_sleep_time_ = nullptr;
    QPushButton* sleep_time_apply_button_ = nullptr;
    QComboBox* dev_cfg_ble_use_conn_id_ = nullptr;
    QPushButton* ble_slot_apply_button_ = nullptr;
    QComboBox* dev_cfg_ble_sleep_time_ = nullptr;
    QPushButton* ble_sleep_apply_button_ = nullptr;
    QComboBox* dev_cfg_ble_tx_power_ = nullptr;
    QPushButton* ble_tx_power_apply_button_ = nullptr;
    std::array<QLineEdit*, 8> dev_cfg_mac_{};
    std::array<QLineEdit*, 8> dev_cfg_host_mac_{};
    QPushButton* dev_cfg_sub_ble_mac_ = nullptr;

    // Controls by group, for the rules by link kind.
    std::vector<QWidget*> name_and_scan_group_;
    std::vector<QWidget*> ble_group_;
    std::vector<QWidget*> mac_group_;
    std::vector<QLabel*> labels_;

    QPointer<QDialog> open_dialog_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace qvk
