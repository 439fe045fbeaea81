#include "app/device_settings_page.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dev_cfg_modify_ble_mac_addr.h"
#include "common/text_codec.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "link/link_kind.h"
#include "maint/device_settings.h"
#include "ui/dialogs.h"
#include "ui/page_host.h"

namespace qvk {

namespace {

namespace scan = settings::scan;
namespace ble = settings::ble;

enum class text_use { caption, hint, both };

struct page_text {
    const char* object_name;
    uint32_t id;
    const char* default_text;
    text_use use;
};

// The page's texts in the order they are applied; long explanations also
// carry their text as hint.
const page_text page_texts[] = {
    {"Label1", 51, "设置键盘的名字（注意：名字长度不能为0个字符，不能超过24个字符）", text_use::both},
    {"dev_cfg_set_dev_name_apply_button", 52, "应用", text_use::caption},
    {"edit_dev_cfg_set_name", 53, "输入设备的名字，字符数量最多24个(英文字符计算，其他语言一个字是2个字符)", text_use::hint},
    {"Label8", 54, "键盘扫描参数配置（注意：[应用]后会立即生效）", text_use::both},
    {"Label2", 55, "按键消抖的时间：毫秒；建议在5-20之间合适，越小响应越快，但是越容易连击，默认值是16毫秒", text_use::both},
    {"dev_cfg_set_keyscan_matrix_cfg", 56, "应用", text_use::caption},
    {"Label40", 5000, "触发模式：设置键盘的触发模式，可选择是先消抖再触发，或者先触发后消抖", text_use::both},
    {"cb_kb_matrix_scan_trig_mode_select_append", 5003, "应用", text_use::caption},
    {"Label3", 57,
     "按下保持键的触发时间：毫秒；在这个时间内释放按键，则不触发，超过这个时间则触发按下事件，释放后触发释放事件，默认值是200毫秒",
     text_use::both},
    {"Button3", 58, "应用", text_use::caption},
    {"Label6", 59, "连续按键检测超时时间：毫秒；当释放一个按键的时候，经过这个时间，则统计的按键次数归零，重新统计击键次数",
     text_use::both},
    {"Label7", 60, "注意：触发层的连击键使用本设置，在规定的时间内连续按键将统计按键次数，并触发对应的功能，默认值是200毫秒",
     text_use::both},
    {"Button5", 61, "应用", text_use::caption},
    {"Label4", 62, "主控休眠时间：秒；当没有任何操作的时候，主控等待设定的时间后进入休眠状态，以便节约电能，蓝牙连接并不会断开",
     text_use::both},
    {"Label5", 63, "注意：蓝牙模式有效！时间越短，越省电，但主控休眠和唤醒越频繁，默认值是2秒", text_use::both},
    {"Button4", 64, "应用", text_use::caption},
    {"edit_dev_cfg_sys_delay_sleep_time", 65, "输入数字，范围在1-60之间，单位是秒", text_use::hint},
    {"Label9", 66, "蓝牙参数配置", text_use::both},
    {"Label10", 67,
     "当前使用的主机连接：蓝牙最多可创建8个主机的连接，每个连接对应一台主机，连接编号从0-7，这里[显示/配置]当前使用的连接",
     text_use::both},
    {"Label11", 68, "注意：只能将一个连接配对到一个主机，多个连接配对相同的主机将导致错误，蓝牙将无法工作，只能恢复蓝牙默认值！",
     text_use::both},
    {"Button1", 69, "确定", text_use::caption},
    {"Label12", 70,
     "蓝牙模式休眠的时间：在蓝牙模式时，在设定的时间内，没有操作键盘，键盘将进入深度休眠状态，蓝牙连接会断开，直到再次唤醒才会连接",
     text_use::both},
    {"Label13", 71, "注意：设置为0，蓝牙将不会休眠（不推荐）；其他值为对应的时间，单位是分钟，可设置范围为1-30分钟，默认值是5分钟",
     text_use::both},
    {"Button2", 72, "确定", text_use::caption},
    {"Label34", 73,
     "蓝牙信号发射强度：信号强度越高，越费电，但穿透能力越强，在保证正常使用的情况下，尽量使用更低的强度值，以节约电量",
     text_use::both},
    {"Button6", 74, "确定", text_use::caption},
    {"Label14", 75, "蓝牙MAC地址管理（注意：仅USB模式下可配置，蓝牙模式下只能查看）", text_use::both},
    {"Label15", 76,
     "注意：除非碰到MAC地址冲突，否则请不要修改MAC地址！已配对的蓝牙MAC地址如果被修改，则必须复位键盘的配对信息，否则无法正常工作；"
     "同时配对的主机也需要取消配对，并重新配对。",
     text_use::both},
    {"dev_cfg_sub_ble_mac", 79, "保存到键盘", text_use::caption},
};

constexpr uint32_t txt_mac_hint = 77;
const char* const text_mac_hint = "当前链接使用的MAC地址，双击修改地址";
constexpr uint32_t txt_host_mac_hint = 78;
const char* const text_host_mac_hint = "如果已经绑定主机，这里显示已绑定的主机的MAC地址，否则为全0";
constexpr uint32_t txt_trigger_first_debounce = 5001;
const char* const text_trigger_first_debounce = "先消抖，再触发";
constexpr uint32_t txt_trigger_first_trigger = 5002;
const char* const text_trigger_first_trigger = "先触发，再消抖";
constexpr uint32_t txt_name_too_long = 336;
const char* const text_name_too_long = "设备名字过长！请缩减在24个字符内，当前长度：";
constexpr uint32_t txt_name_too_short = 337;
const char* const text_name_too_short = "设备名字过短！请设置字符数量在1-24个字符之间！";
constexpr uint32_t txt_sleep_wrong = 338;
const char* const text_sleep_wrong = "主控休眠时间设置错误！设置范围在1-60秒之间。";
constexpr uint32_t txt_warning = 318;
const char* const text_warning = "警告";
constexpr uint32_t txt_slot_switch = 150;
const char* const text_slot_switch =
    "如果切换连接通道，则蓝牙连接会断开，并启用新的连接通道，仍然要继续吗？";

// Key-scan apply buttons by Tag: debounce, hold-key, multi-tap, sleep.
constexpr int tag_sleep = 3;
// The transmit power sent for items without a value of their own.
constexpr int8_t tx_power_fallback = 2;
constexpr size_t tx_power_fallback_index = 3;
constexpr int mac_box_chars = 20;

// Selects the item whose text is `text` without counting as a user change;
// false when there is none.
bool select_text(QComboBox* box, const QString& text) {
    const int i = box->findText(text);
    if (i < 0) return false;
    const QSignalBlocker block(box);
    box->setCurrentIndex(i);
    return true;
}

void select_index(QComboBox* box, int i) {
    const QSignalBlocker block(box);
    box->setCurrentIndex(i);
}

// The number an item shows (fallback when it does not parse).
int item_number(const QComboBox* box, int index, int fallback) {
    bool ok = false;
    const int v = box->itemText(index).toInt(&ok);
    return ok ? v : fallback;
}

} // namespace

device_settings_page::device_settings_page(page_host& host, QWidget* panel) : keyboard_page(host), panel_(panel) {
    build();
    apply_texts();
    edit_dev_cfg_set_name_->setText(host.connected_device_name());
    fill_scan_settings();
    fill_trigger_mode();
    // A bootloader has no settings to read: its controls are off at once.
    // A keyboard's are set when the read after connecting has ended.
    if (is_bootloader_kind(host.link_kind()) || host.initial_read_finished()) apply_kind_rules(false);
}

device_settings_page::~device_settings_page() {
    *alive_ = false;
    delete root_.data();
}

// ---------------------------------------------------------------- building

QLabel* device_settings_page::add_label(const char* object_name) {
    auto* l = new QLabel(root_);
    l->setObjectName(QString::fromLatin1(object_name));
    l->setWordWrap(true);
    labels_.push_back(l);
    return l;
}

QPushButton* device_settings_page::add_button(const char* object_name) {
    auto* b = new QPushButton(root_);
    b->setObjectName(QString::fromLatin1(object_name));
    return b;
}

QComboBox* device_settings_page::add_combo(const char* object_name) {
    auto* c = new QComboBox(root_);
    c->setObjectName(QString::fromLatin1(object_name));
    return c;
}

void device_settings_page::build() {
    root_ = new QWidget(panel_);
    root_->setObjectName(QStringLiteral("ScrollBox_device_config"));
    if (!panel_->layout()) new QVBoxLayout(panel_);
    panel_->layout()->addWidget(root_);
    auto* lay = new QVBoxLayout(root_);
    const int margin = int(12.0f * host().scale());
    lay->setContentsMargins(margin, margin, margin, margin);

    // One row: a control and its apply button, left-aligned.
    auto row = [&](QWidget* control, QPushButton* apply) {
        auto* h = new QHBoxLayout;
        h->addWidget(control);
        if (apply) h->addWidget(apply);
        h->addStretch();
        lay->addLayout(h);
    };
    auto group = [&](std::vector<QWidget*>& g, std::initializer_list<QWidget*> ws) {
        for (QWidget* w : ws) {
            g.push_back(w);
            if (auto* l = qobject_cast<QLabel*>(w)) lay->addWidget(l);
        }
    };

    // Name.
    QLabel* l1 = add_label("Label1");
    edit_dev_cfg_set_name_ = new QLineEdit(root_);
    edit_dev_cfg_set_name_->setObjectName(QStringLiteral("edit_dev_cfg_set_name"));
    edit_dev_cfg_set_name_->setMinimumWidth(int(240.0f * host().scale()));
    dev_cfg_set_dev_name_apply_button_ = add_button("dev_cfg_set_dev_name_apply_button");
    group(name_and_scan_group_, {l1, edit_dev_cfg_set_name_, dev_cfg_set_dev_name_apply_button_});
    row(edit_dev_cfg_set_name_, dev_cfg_set_dev_name_apply_button_);

    // Key scan.
    QLabel* l8 = add_label("Label8");
    QLabel* l2 = add_label("Label2");
    group(name_and_scan_group_, {l8, l2});
    cb_dev_cfg_debounce_time_ = add_combo("cb_dev_cfg_debounce_time");
    for (unsigned i = 1; i <= scan::debounce_max; ++i) cb_dev_cfg_debounce_time_->addItem(QString::number(i));
    dev_cfg_set_keyscan_matrix_cfg_ = add_button("dev_cfg_set_keyscan_matrix_cfg");
    row(cb_dev_cfg_debounce_time_, dev_cfg_set_keyscan_matrix_cfg_);

    QLabel* l40 = add_label("Label40");
    group(name_and_scan_group_, {l40});
    cb_kb_matrix_scan_trig_mode_select_ = add_combo("cb_kb_matrix_scan_trig_mode_select");
    cb_kb_matrix_scan_trig_mode_select_->addItems({QString(), QString()});
    cb_kb_matrix_scan_trig_mode_select_append_ = add_button("cb_kb_matrix_scan_trig_mode_select_append");
    row(cb_kb_matrix_scan_trig_mode_select_, cb_kb_matrix_scan_trig_mode_select_append_);

    QLabel* l3 = add_label("Label3");
    group(name_and_scan_group_, {l3});
    cb_dev_cfg_hd_key_trig_time_ = add_combo("cb_dev_cfg_hd_key_trig_time");
    cb_dev_cfg_nhit_time_ = add_combo("cb_dev_cfg_nhit_time");
    for (uint16_t ms : settings::time_list()) {
        cb_dev_cfg_hd_key_trig_time_->addItem(QString::number(ms));
        cb_dev_cfg_nhit_time_->addItem(QString::number(ms));
    }
    hold_time_apply_button_ = add_button("Button3");
    row(cb_dev_cfg_hd_key_trig_time_, hold_time_apply_button_);

    QLabel* l6 = add_label("Label6");
    QLabel* l7 = add_label("Label7");
    group(name_and_scan_group_, {l6, l7});
    multi_tap_time_apply_button_ = add_button("Button5");
    row(cb_dev_cfg_nhit_time_, multi_tap_time_apply_button_);

    QLabel* l4 = add_label("Label4");
    QLabel* l5 = add_label("Label5");
    group(name_and_scan_group_, {l4, l5});
    edit_dev_cfg_sys_delay_sleep_time_ = new QLineEdit(root_);
    edit_dev_cfg_sys_delay_sleep_time_->setObjectName(QStringLiteral("edit_dev_cfg_sys_delay_sleep_time"));
    edit_dev_cfg_sys_delay_sleep_time_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_dev_cfg_sys_delay_sleep_time_));
    edit_dev_cfg_sys_delay_sleep_time_->setMaximumWidth(int(80.0f * host().scale()));
    sleep_time_apply_button_ = add_button("Button4");
    row(edit_dev_cfg_sys_delay_sleep_time_, sleep_time_apply_button_);
    name_and_scan_group_.insert(name_and_scan_group_.end(),
                                {cb_dev_cfg_debounce_time_, dev_cfg_set_keyscan_matrix_cfg_,
                                 cb_kb_matrix_scan_trig_mode_select_, cb_kb_matrix_scan_trig_mode_select_append_,
                                 cb_dev_cfg_hd_key_trig_time_, hold_time_apply_button_, cb_dev_cfg_nhit_time_, multi_tap_time_apply_button_,
                                 edit_dev_cfg_sys_delay_sleep_time_, sleep_time_apply_button_});

    // Bluetooth.
    QLabel* l9 = add_label("Label9");
    QLabel* l10 = add_label("Label10");
    QLabel* l11 = add_label("Label11");
    group(ble_group_, {l9, l10, l11});
    dev_cfg_ble_use_conn_id_ = add_combo("dev_cfg_ble_use_conn_id");
    for (unsigned i = 0; i <= ble::slot_max; ++i) dev_cfg_ble_use_conn_id_->addItem(QString::number(i));
    ble_slot_apply_button_ = add_button("Button1");
    row(dev_cfg_ble_use_conn_id_, ble_slot_apply_button_);

    QLabel* l12 = add_label("Label12");
    QLabel* l13 = add_label("Label13");
    group(ble_group_, {l12, l13});
    dev_cfg_ble_sleep_time_ = add_combo("dev_cfg_ble_sleep_time");
    for (unsigned i = 0; i <= ble::sleep_minutes_max; ++i) dev_cfg_ble_sleep_time_->addItem(QString::number(i));
    ble_sleep_apply_button_ = add_button("Button2");
    row(dev_cfg_ble_sleep_time_, ble_sleep_apply_button_);

    QLabel* l34 = add_label("Label34");
    group(ble_group_, {l34});
    dev_cfg_ble_tx_power_ = add_combo("dev_cfg_ble_tx_power");
    for (int8_t dbm : settings::tx_power_items) dev_cfg_ble_tx_power_->addItem(QString::number(dbm));
    ble_tx_power_apply_button_ = add_button("Button6");
    row(dev_cfg_ble_tx_power_, ble_tx_power_apply_button_);
    ble_group_.insert(ble_group_.end(), {dev_cfg_ble_use_conn_id_, ble_slot_apply_button_, dev_cfg_ble_sleep_time_, ble_sleep_apply_button_,
                                         dev_cfg_ble_tx_power_, ble_tx_power_apply_button_});

    // MAC addresses.
    QLabel* l14 = add_label("Label14");
    QLabel* l15 = add_label("Label15");
    group(mac_group_, {l14, l15});
    auto* grid = new QGridLayout;
    for (unsigned k = 0; k < ble::entry_count; ++k) {
        auto make_box = [&](const QString& name) {
            auto* e = new QLineEdit(root_);
            e->setObjectName(name);
            e->setReadOnly(true);
            e->setProperty("Tag", int(k));
            e->setMinimumWidth(e->fontMetrics().averageCharWidth() * mac_box_chars);
            mac_group_.push_back(e);
            return e;
        };
        dev_cfg_mac_[k] = make_box(QStringLiteral("dev_cfg_mac%1").arg(k));
        dev_cfg_mac_[k]->installEventFilter(this);
        dev_cfg_host_mac_[k] = make_box(QStringLiteral("dev_cfg_host_mac%1").arg(k));
        auto* n = new QLabel(QString::number(k), root_);
        grid->addWidget(n, int(k), 0);
        grid->addWidget(dev_cfg_mac_[k], int(k), 1);
        grid->addWidget(dev_cfg_host_mac_[k], int(k), 2);
    }
    grid->setColumnStretch(3, 1);
    lay->addLayout(grid);
    dev_cfg_sub_ble_mac_ = add_button("dev_cfg_sub_ble_mac");
    dev_cfg_sub_ble_mac_->setEnabled(false);
    mac_group_.push_back(dev_cfg_sub_ble_mac_);
    row(dev_cfg_sub_ble_mac_, nullptr);
    lay->addStretch();

    // Defaults until the keyboard's values arrive.
    select_text(cb_dev_cfg_debounce_time_, QStringLiteral("1"));
    select_text(cb_dev_cfg_hd_key_trig_time_, QStringLiteral("200"));
    select_text(cb_dev_cfg_nhit_time_, QStringLiteral("200"));
    edit_dev_cfg_sys_delay_sleep_time_->setText(QStringLiteral("2"));
    select_text(dev_cfg_ble_sleep_time_, QStringLiteral("5"));
    select_text(dev_cfg_ble_tx_power_, QStringLiteral("0"));

    // User changes edit the page's copies.
    QObject::connect(cb_dev_cfg_debounce_time_, &QComboBox::currentIndexChanged, root_, [this](int i) {
        if (i >= 0) settings::set_u16(scan_, scan::off_debounce, uint16_t(i + 1));
    });
    QObject::connect(cb_dev_cfg_hd_key_trig_time_, &QComboBox::currentIndexChanged, root_, [this](int i) {
        settings::set_u16(scan_, scan::off_hold_trigger,
                          uint16_t(item_number(cb_dev_cfg_hd_key_trig_time_, i, scan::time_fallback)));
    });
    QObject::connect(cb_dev_cfg_nhit_time_, &QComboBox::currentIndexChanged, root_, [this](int i) {
        settings::set_u16(scan_, scan::off_multi_tap,
                          uint16_t(item_number(cb_dev_cfg_nhit_time_, i, scan::time_fallback)));
    });
    QObject::connect(cb_kb_matrix_scan_trig_mode_select_, &QComboBox::currentIndexChanged, root_, [this](int i) {
        if (i >= 0) trigger_[settings::trigger::off_mode] = uint8_t(i);
    });

    // Apply buttons.
    QObject::connect(dev_cfg_set_dev_name_apply_button_, &QPushButton::clicked, root_, [this] { name_apply(); });
    const std::pair<QPushButton*, int> scan_buttons[] = {
        {dev_cfg_set_keyscan_matrix_cfg_, 0}, {hold_time_apply_button_, 1}, {multi_tap_time_apply_button_, 2}, {sleep_time_apply_button_, tag_sleep}};
    for (const auto& [b, tag] : scan_buttons) {
        b->setProperty("Tag", tag);
        QObject::connect(b, &QPushButton::clicked, root_, [this, t = tag] { scan_apply(t); });
    }
    QObject::connect(cb_kb_matrix_scan_trig_mode_select_append_, &QPushButton::clicked, root_,
                     [this] { trigger_mode_apply(); });
    QObject::connect(ble_slot_apply_button_, &QPushButton::clicked, root_, [this] { ble_slot_apply(); });
    QObject::connect(ble_sleep_apply_button_, &QPushButton::clicked, root_, [this] { ble_sleep_apply(); });
    QObject::connect(ble_tx_power_apply_button_, &QPushButton::clicked, root_, [this] { ble_power_apply(); });
    QObject::connect(dev_cfg_sub_ble_mac_, &QPushButton::clicked, root_, [this] { mac_submit(); });
}

void device_settings_page::apply_texts() {
    for (const page_text& t : page_texts) {
        QWidget* w = root_->findChild<QWidget*>(QString::fromLatin1(t.object_name));
        if (!w) continue;
        const QString text = host().lng(t.id, t.default_text);
        if (t.use != text_use::hint) {
            if (auto* l = qobject_cast<QLabel*>(w)) l->setText(text);
            if (auto* b = qobject_cast<QPushButton*>(w)) b->setText(text);
        }
        if (t.use != text_use::caption) w->setToolTip(text);
    }
    for (unsigned k = 0; k < ble::entry_count; ++k) {
        dev_cfg_mac_[k]->setToolTip(host().lng(txt_mac_hint, text_mac_hint));
        dev_cfg_host_mac_[k]->setToolTip(host().lng(txt_host_mac_hint, text_host_mac_hint));
    }
    cb_kb_matrix_scan_trig_mode_select_->setItemText(0, host().lng(txt_trigger_first_debounce,
                                                                   text_trigger_first_debounce));
    cb_kb_matrix_scan_trig_mode_select_->setItemText(1, host().lng(txt_trigger_first_trigger,
                                                                   text_trigger_first_trigger));
}

void device_settings_page::close_dialogs() {
    if (open_dialog_) open_dialog_->reject();
}

// ---------------------------------------------------------------- records in

void device_settings_page::open(int) {
    // The trigger mode is read again on every visit; a USB bootloader has none.
    const uint32_t kind = host().link_kind();
    if (kind == kind_none || kind == kind_usb_boot) return;
    host().send_command(cmd::read_trigger_mode, 0, 0, 0, 0, true);
}

void device_settings_page::record_arrived(uint32_t command, uint32_t) {
    switch (command) {
    case cmd::read_scan_params: fill_scan_settings(); break;
    case cmd::read_ble_params:
        ble_read_ = true;
        ble_ = host().records().ble_params;
        fill_bluetooth_settings();
        break;
    case cmd::read_trigger_mode: fill_trigger_mode(); break;
    default: break;
    }
}

void device_settings_page::fill_scan_settings() {
    scan_ = host().records().scan_params;
    auto& r = scan_;
    // A value the list does not offer falls back to the keyboard's default.
    auto fill = [&r](QComboBox* box, size_t offset, uint16_t fallback) {
        if (!select_text(box, QString::number(settings::get_u16(r, offset)))) {
            settings::set_u16(r, offset, fallback);
            select_text(box, QString::number(fallback));
        }
    };
    fill(cb_dev_cfg_debounce_time_, scan::off_debounce, scan::debounce_fallback);
    fill(cb_dev_cfg_hd_key_trig_time_, scan::off_hold_trigger, scan::time_fallback);
    fill(cb_dev_cfg_nhit_time_, scan::off_multi_tap, scan::time_fallback);
    const uint16_t sleep = settings::get_u16(r, scan::off_sleep);
    if (sleep < scan::sleep_min || sleep > scan::sleep_max) settings::set_u16(r, scan::off_sleep, scan::sleep_fallback);
    edit_dev_cfg_sys_delay_sleep_time_->setText(QString::number(settings::get_u16(r, scan::off_sleep)));
}

void device_settings_page::fill_trigger_mode() {
    trigger_ = host().records().trigger_mode;
    auto& t = trigger_;
    if (t[settings::trigger::off_mode] > settings::trigger::mode_max) t[settings::trigger::off_mode] = 0;
    select_index(cb_kb_matrix_scan_trig_mode_select_, t[settings::trigger::off_mode]);
}

void device_settings_page::fill_bluetooth_settings() {
    if (!ble_read_) return;
    auto& r = ble_;
    if (!select_text(dev_cfg_ble_use_conn_id_, QString::number(r[ble::off_slot]))) {
        r[ble::off_slot] = 0;
        select_index(dev_cfg_ble_use_conn_id_, 0);
    }
    if (r[ble::off_sleep_on]) {
        if (!select_text(dev_cfg_ble_sleep_time_, QString::number(settings::get_u16(r, ble::off_sleep_seconds) / 60))) {
            settings::set_u16(r, ble::off_sleep_seconds, ble::sleep_seconds_default);
            select_text(dev_cfg_ble_sleep_time_, QStringLiteral("5"));
        }
    } else {
        select_index(dev_cfg_ble_sleep_time_, 0);
    }
    if (const auto i = settings::tx_power_index(int8_t(r[ble::off_tx_power]))) {
        select_index(dev_cfg_ble_tx_power_, int(*i));
    } else {
        r[ble::off_tx_power] = uint8_t(tx_power_fallback);
        select_index(dev_cfg_ble_tx_power_, int(tx_power_fallback_index));
    }
    for (unsigned k = 0; k < ble::entry_count; ++k) {
        const auto e = settings::entry(r, k);
        dev_cfg_mac_[k]->setText(QString::fromStdString(settings::mac_text(e.subspan(ble::off_own_mac, ble::mac_size))));
        dev_cfg_host_mac_[k]->setText(
            QString::fromStdString(settings::mac_text(e.subspan(ble::off_host_mac, ble::mac_size))));
    }
}

void device_settings_page::apply_kind_rules(bool all_enabled) {
    auto set = [](const std::vector<QWidget*>& ws, bool on) {
        for (QWidget* w : ws) w->setEnabled(on);
    };
    if (all_enabled) {
        set(name_and_scan_group_, true);
        set(ble_group_, true);
        set(mac_group_, true);
        return;
    }
    switch (host().link_kind()) {
    case kind_usb_boot:
    case kind_rf_boot:
        set(name_and_scan_group_, false);
        set(ble_group_, false);
        set(mac_group_, false);
        break;
    case kind_ble:
        set(mac_group_, false);
        set(ble_group_, true);
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- applying

void device_settings_page::name_apply() {
    const QString text = edit_dev_cfg_set_name_->text();
    const settings::name_payload p = settings::make_name_payload(text.toStdString());
    if (p.length > settings::name_bytes_max) {
        host().dialogs().show_message(host().lng(txt_name_too_long, text_name_too_long) + QString::number(p.length));
        return;
    }
    if (p.length == 0) {
        host().dialogs().show_message(host().lng(txt_name_too_short, text_name_too_short));
        return;
    }
    if (host().send_block(cmd::write_name, 0, p.bytes.data(), uint32_t(p.bytes.size()), 0, true) == 0)
        host().rename_connected_device(text);
}

void device_settings_page::scan_apply(int tag) {
    auto& r = scan_;
    if (tag == tag_sleep) {
        const int typed = parse_int_def(edit_dev_cfg_sys_delay_sleep_time_->text().toStdString(), scan::sleep_fallback);
        if (typed < int(scan::sleep_min) || typed > int(scan::sleep_max)) {
            host().dialogs().show_message(host().lng(txt_sleep_wrong, text_sleep_wrong));
            return;
        }
        settings::set_u16(r, scan::off_sleep, uint16_t(typed));
        edit_dev_cfg_sys_delay_sleep_time_->setText(QString::number(typed));
    }
    host().send_block(cmd::write_scan_params, 0, r.data(), uint32_t(r.size()), 0, true);
}

void device_settings_page::trigger_mode_apply() {
    auto& t = trigger_;
    host().send_block(cmd::write_trigger_mode, 0, t.data(), uint32_t(t.size()), 0, true);
}

bool device_settings_page::ble_allowed() {
    return host().link_kind() != kind_none && host().records().ble_support != 0;
}

void device_settings_page::ble_slot_apply() {
    if (!ble_allowed()) return;
    if (host().link_kind() == kind_ble) {
        const std::shared_ptr<bool> alive = alive_;
        const bool yes = host().dialogs().ask_yes_no(host().lng(txt_warning, text_warning),
                                                     host().lng(txt_slot_switch, text_slot_switch));
        if (!*alive || !yes) return;
    }
    const int slot = dev_cfg_ble_use_conn_id_->currentIndex();
    if (slot < 0) return;
    host().send_command(cmd::set_ble_slot, uint8_t(slot), 0, 0, 0, true);
}

void device_settings_page::ble_sleep_apply() {
    if (!ble_allowed()) return;
    auto& r = ble_;
    const int i = std::max(0, dev_cfg_ble_sleep_time_->currentIndex());
    const bool on = i > 0;
    const uint16_t seconds = on ? uint16_t(i * 60) : ble::sleep_seconds_default;
    host().send_command(cmd::set_ble_sleep, on ? 1 : 0, seconds, 0, 0, true);
    r[ble::off_sleep_on] = on ? 1 : 0;
    settings::set_u16(r, ble::off_sleep_seconds, seconds);
}

void device_settings_page::ble_power_apply() {
    if (!ble_allowed()) return;
    const int i = dev_cfg_ble_tx_power_->currentIndex();
    const int8_t dbm =
        i >= 0 && size_t(i) < settings::tx_power_items.size() ? settings::tx_power_items[size_t(i)] : tx_power_fallback;
    host().send_command(cmd::set_ble_power, uint8_t(dbm), 0, 0, 0, true);
}

// ---------------------------------------------------------------- MAC table

bool device_settings_page::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonDblClick) {
        for (unsigned k = 0; k < ble::entry_count; ++k)
            if (watched == dev_cfg_mac_[k]) {
                mac_double_click(k);
                return true;
            }
    }
    return QObject::eventFilter(watched, e);
}

void device_settings_page::mac_double_click(unsigned k) {
    if (!ble_read_ || host().records().ble_support == 0 || k >= ble::entry_count || open_dialog_) return;
    // The dialog edits a copy: the connection, and this page with it, may
    // end while it is open.
    std::array<uint8_t, ble::entry_size> copy{};
    const auto e = settings::entry(ble_, k);
    std::copy(e.begin(), e.end(), copy.begin());
    bool changed = false;
    const std::shared_ptr<bool> alive = alive_;
    int result;
    {
        Tdev_cfg_modify_mac_addr dialog(host(), k, copy[ble::off_bound] != 0, copy, changed, host().dialog_parent());
        open_dialog_ = &dialog;
        result = dialog.exec();
    }
    if (!*alive) return;
    if (result == QDialog::Accepted) {
        const auto target = settings::entry(ble_, k);
        std::copy(copy.begin(), copy.end(), target.begin());
    }
    fill_bluetooth_settings();
    if (changed && host().records().ble_support == 1) dev_cfg_sub_ble_mac_->setEnabled(true);
}

void device_settings_page::mac_submit() {
    if (host().link_kind() != kind_usb || host().records().ble_support == 0) return;
    auto& r = ble_;
    host().send_block(cmd::write_mac_table, 0, r.data(), uint32_t(record_size::mac_table), 0, true);
}

} // namespace qvk
