#include "app/firmware_page.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "link/link_kind.h"
#include "link/packet.h"
#include "maint/firmware_file.h"
#include "ui/dialogs.h"
#include "ui/page_host.h"

namespace qvk {

namespace {

struct page_text {
    const char* object_name;
    uint32_t id;
    const char* default_text;
};

const page_text page_texts[] = {
    {"Label33", 80,
     "键盘更新固件：选择一个固件文件（扩展名是.qvk的文件），用于升级键盘的固件。选择完毕后点击开始升级，将会启动固件升级过程。"
     "注意：这里仅仅只会传送固件文件给键盘，并非真正升级，当传送完毕后，键盘会自动重启，此时才会真正启动升级过程，升级需要较长时间。"
     "升级时，不要开启键盘的任何功能，不要操作键盘，防止升级失败。   "},
    {"Label35", 81,
     "提示：如果固件升级失败，可给键盘断电，并按住左上角的按键（通常是ESC键），插入USB插口，此时将强制进入Bootloader模式，"
     "在这个模式下，可再次启动升级任务。 蓝牙、USB、Bootloader三种模式，均可以升级固件。"},
    {"Button7", 82, "选择固件文件"},
    {"Button8", 83, "开始升级"},
    {"Label36", 84,
     "切换键盘的工作模式，当键盘处于Bootloader模式时（仅USB模式可进入Bootloader），蓝牙不可使用，此时可以对键盘进行数据管理。"
     "键盘模式为可使用的模式，USB以及蓝牙均可连接。"},
    {"Button9", 85, "切换到Bootloader模式"},
    {"Button10", 86, "切换到键盘模式"},
    {"Label37", 87,
     "恢复默认值：当键盘处于Bootloader模式时，可进行默认值的恢复，恢复默认值会先擦除存储器后再恢复预置的配置，需要一些时间，"
     "请耐心等待。当完成后，会有提示，这时可切换到键盘模式，即恢复到出厂状态了。"},
    {"Button11", 88, "恢复默认值"},
};

namespace txt {
constexpr uint32_t defaults_question = 345;
constexpr uint32_t dangerous = 346;
constexpr uint32_t defaults_done = 347;
constexpr uint32_t reminder = 348;
constexpr uint32_t updated = 349;
constexpr uint32_t data_error = 350;
constexpr uint32_t hardware_erased = 351;
constexpr uint32_t backup_cleared = 352;
constexpr uint32_t stored = 353;
constexpr uint32_t open_failed = 354;
constexpr uint32_t read_failed = 355;
constexpr uint32_t generator = 356;
constexpr uint32_t unrecognised = 357;
constexpr uint32_t damaged = 358;
constexpr uint32_t older = 359;
constexpr uint32_t checksum = 360;
constexpr uint32_t start_ble = 361;
constexpr uint32_t start = 362;
} // namespace txt

const char* const text_defaults_question =
    "这将恢复所有配置为出厂预置状态，存储区的数据将被覆盖（宏会被清空），请确认！";
const char* const text_dangerous = "危险的操作！";
const char* const text_defaults_done = "已经成功恢复默认值，是否启动键盘模式？";
const char* const text_reminder = "提醒";
const char* const text_updated = "固件已经更新完成，是否启动新的固件？";
const char* const text_data_error = "固件更新出现了数据错误！";
const char* const text_hardware_erased = "硬件配置擦除完成！";
const char* const text_backup_cleared = "备份区域已被清空！";
const char* const text_stored =
    "固件文件已经保存到键盘，是否立即开始升级固件？\r\n如果开始升级，键盘将重启，并自动开始升级。";
const char* const text_open_failed = "固件文件打开失败！";
const char* const text_read_failed = "固件文件读取失败！";
const char* const text_generator = "固件文件生成器版本不匹配！";
const char* const text_unrecognised = "未能识别的固件文件！";
const char* const text_damaged = "固件文件已损坏！";
const char* const text_older = "所选固件的版本，比当前正在运行的固件老!\r\n这可能会导致问题！仍然要更新吗？";
const char* const text_checksum = "固件文件校验失败！";
const char* const text_start_ble =
    "蓝牙模式升级固件速度较慢，并且由于无线的不确定性，可能会出错！建议使用USB模式升级。\r\n"
    "升级大约需要1分钟左右，请耐心等待，请勿中断！\r\n确认开始更新固件吗？";
const char* const text_start = "确认开始更新固件吗？";

const char* const file_filter = "firmware file(*.qvk);;all file(*.*)";
const char* const file_title = "choice a firmware file...";

// Maintenance statuses of command 4.
namespace status {
constexpr uint8_t defaults_restored = 3;
constexpr uint8_t progress_hidden = 4;
constexpr uint8_t firmware_updated = 5;
constexpr uint8_t data_error = 6;
constexpr uint8_t hardware_erased = 7;
constexpr uint8_t backup_cleared = 8;
constexpr uint8_t ready_for_image = 31;
constexpr uint8_t image_stored = 32;
} // namespace status

int reports_for(size_t bytes) {
    return int((bytes + packet::chunk_data_max - 1) / packet::chunk_data_max);
}

} // namespace

firmware_page::firmware_page(page_host& host, QWidget* panel) : keyboard_page(host), panel_(panel) {
    build();
    apply_texts();
    set_buttons_by_kind();
}

firmware_page::~firmware_page() {
    *alive_ = false;
    delete root_.data();
}

void firmware_page::build() {
    root_ = new QWidget(panel_);
    root_->setObjectName(QStringLiteral("kb_mgr_page"));
    if (!panel_->layout()) new QVBoxLayout(panel_);
    panel_->layout()->addWidget(root_);
    auto* lay = new QVBoxLayout(root_);
    const int margin = int(12.0f * host().scale());
    lay->setContentsMargins(margin, margin, margin, margin);
    auto label = [&](const char* name) {
        auto* l = new QLabel(root_);
        l->setObjectName(QString::fromLatin1(name));
        l->setWordWrap(true);
        lay->addWidget(l);
        return l;
    };
    auto button = [&](const char* name) {
        auto* b = new QPushButton(root_);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    auto row = [&](std::initializer_list<QWidget*> ws) {
        auto* h = new QHBoxLayout;
        for (QWidget* w : ws) h->addWidget(w);
        h->addStretch();
        lay->addLayout(h);
    };
    label("Label33");
    choose_button_ = button("Button7");
    start_button_ = button("Button8");
    row({choose_button_, start_button_});
    pb_send_pos_ = new QProgressBar(root_);
    pb_send_pos_->setObjectName(QStringLiteral("pb_send_pos"));
    pb_send_pos_->hide();
    lay->addWidget(pb_send_pos_);
    label("Label35");
    label("Label36");
    bootloader_button_ = button("Button9");
    keyboard_mode_button_ = button("Button10");
    row({bootloader_button_, keyboard_mode_button_});
    label("Label37");
    defaults_button_ = button("Button11");
    row({defaults_button_});
    lay->addStretch();

    QObject::connect(choose_button_, &QPushButton::clicked, root_, [this] { Button7Click(); });
    QObject::connect(start_button_, &QPushButton::clicked, root_, [this] { Button8Click(); });
    QObject::connect(bootloader_button_, &QPushButton::clicked, root_, [this] { Button9Click(); });
    QObject::connect(keyboard_mode_button_, &QPushButton::clicked, root_, [this] { Button10Click(); });
    QObject::connect(defaults_button_, &QPushButton::clicked, root_, [this] { Button11Click(); });
}

void firmware_page::apply_texts() {
    for (const page_text& t : page_texts) {
        QWidget* w = root_->findChild<QWidget*>(QString::fromLatin1(t.object_name));
        const QString text = host().lng(t.id, t.default_text);
        if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(text);
            l->setToolTip(text);
        } else if (auto* b = qobject_cast<QPushButton*>(w)) {
            b->setText(text);
        }
    }
}

void firmware_page::open(int) { set_buttons_by_kind(); }

void firmware_page::set_buttons_by_kind() {
    const uint32_t kind = host().link_kind();
    choose_button_->setEnabled(true);
    // Start stays on only for a file that passed every check.
    start_button_->setEnabled(file_accepted_);
    bootloader_button_->setEnabled(kind == kind_usb || kind == kind_rf_receiver);
    keyboard_mode_button_->setEnabled(kind == kind_usb_boot || kind == kind_rf_boot);
    defaults_button_->setEnabled(kind == kind_usb_boot);
}

bool firmware_page::ask(uint32_t caption_id, const char* caption, uint32_t text_id, const char* text) {
    const std::shared_ptr<bool> alive = alive_;
    const bool yes = host().dialogs().ask_yes_no(host().lng(caption_id, caption), host().lng(text_id, text));
    return *alive && yes;
}

// ---------------------------------------------------------------- choosing a file

void firmware_page::Button7Click() {
    if (host().link_kind() == kind_none) return;
    const std::shared_ptr<bool> alive = alive_;
    const QString path = host().dialogs().open_file_name(QString::fromLatin1(file_title), QString::fromLatin1(file_filter));
    if (!*alive || path.isEmpty()) return;
    file_accepted_ = load_and_check(path);
    if (*alive) start_button_->setEnabled(file_accepted_);
}

bool firmware_page::load_and_check(const QString& path) {
    // Whatever happens below, the file chosen before is gone and nothing can
    // be started until this one has passed every check.
    file_accepted_ = false;
    start_button_->setEnabled(false);
    file_.clear();
    dialog_service& d = host().dialogs();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        d.show_message(host().lng(txt::open_failed, text_open_failed));
        return false;
    }
    const qint64 size = f.size();
    const QByteArray bytes = f.read(size);
    file_.assign(bytes.begin(), bytes.end());
    if (bytes.size() < size) {
        d.show_message(host().lng(txt::read_failed, text_read_failed));
        return false;
    }
    const uint32_t kind = host().link_kind();
    switch (firmware::check_file(file_, kind)) {
    case firmware::fault::none: break;
    case firmware::fault::generator: d.show_message(host().lng(txt::generator, text_generator)); return false;
    case firmware::fault::target: d.show_message(host().lng(txt::unrecognised, text_unrecognised)); return false;
    case firmware::fault::crc: d.show_message(host().lng(txt::checksum, text_checksum)); return false;
    case firmware::fault::size:
    case firmware::fault::markers:
    case firmware::fault::fields: d.show_message(host().lng(txt::damaged, text_damaged)); return false;
    }
    if (firmware::older_than_running(file_, kind, host().connected_device_version()) &&
        !ask(txt::dangerous, text_dangerous, txt::older, text_older))
        return false;
    if (firmware::check_fields(file_) != firmware::fault::none) {
        d.show_message(host().lng(txt::damaged, text_damaged));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- sending

void firmware_page::Button8Click() {
    const uint32_t kind = host().link_kind();
    if (kind == kind_none || !file_accepted_ || file_.size() <= firmware::header_size) return;
    if (!ask(txt::reminder, text_reminder, kind == kind_ble ? txt::start_ble : txt::start,
             kind == kind_ble ? text_start_ble : text_start))
        return;
    start_button_->setEnabled(false);
    switch (kind) {
    case kind_usb_boot: send_image(); break;
    case kind_rf_boot: send_receiver_image(); break;
    default:
        // The keyboard answers with status 31 when it is ready for the image.
        if (host().send_command(cmd::prepare_firmware, 0, 0, 0, cmd::maintenance_status, true) != 0)
            start_button_->setEnabled(file_accepted_);
        break;
    }
}

void firmware_page::show_progress(size_t image_bytes) {
    pb_send_pos_->setRange(0, reports_for(image_bytes));
    pb_send_pos_->setValue(0);
    pb_send_pos_->show();
}

void firmware_page::release_file() {
    file_.clear();
    file_.shrink_to_fit();
    file_accepted_ = false;
    start_button_->setEnabled(false);
}

void firmware_page::send_image() {
    if (host().link_kind() == kind_none || host().is_busy() || host().is_task_busy() || !file_accepted_) return;
    show_progress(file_.size());
    host().reset_sent_count();
    host().send_block(cmd::firmware_image, 0, file_.data(), uint32_t(file_.size()), 0, true);
    release_file();
}

void firmware_page::send_receiver_image() {
    if (host().link_kind() != kind_rf_boot || host().is_busy() || host().is_task_busy() || !file_accepted_) return;
    const auto header = firmware::receiver_header(file_, kind_rf_boot);
    const auto image = firmware::image_to_send(file_, kind_rf_boot);
    if (header.empty() || image.empty()) return;
    // The header waits in the queue until the image behind it wakes the writer.
    if (host().send_block(cmd::rf_firmware_header, 0, header.data(), uint32_t(header.size()), 0, false) != 0) return;
    show_progress(image.size());
    host().reset_sent_count();
    host().send_block(cmd::firmware_image, 0, image.data(), uint32_t(image.size()), 0, true);
    release_file();
}

void firmware_page::send_progress(intptr_t reports_sent) {
    // The count may include the 2.4 GHz header report written before the image.
    if (!pb_send_pos_->isHidden())
        pb_send_pos_->setValue(int(std::min<intptr_t>(reports_sent, pb_send_pos_->maximum())));
}

// ---------------------------------------------------------------- statuses

void firmware_page::record_arrived(uint32_t command, uint32_t) {
    if (command == cmd::maintenance_status) on_status(host().records().maintenance_status[0]);
}

void firmware_page::on_status(uint8_t s) {
    dialog_service& d = host().dialogs();
    switch (s) {
    case status::defaults_restored:
        if (ask(txt::reminder, text_reminder, txt::defaults_done, text_defaults_done))
            host().send_command(cmd::start_keyboard, 0, 0, 0, 0, true);
        break;
    case status::progress_hidden: pb_send_pos_->hide(); break;
    case status::firmware_updated:
        if (ask(txt::reminder, text_reminder, txt::updated, text_updated))
            host().send_command(cmd::start_keyboard, 0, 0, 0, 0, true);
        break;
    case status::data_error: d.show_message(host().lng(txt::data_error, text_data_error)); break;
    case status::hardware_erased: d.show_message(host().lng(txt::hardware_erased, text_hardware_erased)); break;
    case status::backup_cleared: d.show_message(host().lng(txt::backup_cleared, text_backup_cleared)); break;
    case status::ready_for_image:
        if (is_keyboard_kind(host().link_kind())) send_image();
        break;
    case status::image_stored:
        pb_send_pos_->hide();
        if (ask(txt::reminder, text_reminder, txt::stored, text_stored))
            host().send_command(cmd::start_upgrade, 0, 0, 0, 0, true);
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- modes and defaults

void firmware_page::Button9Click() {
    if (host().link_kind() == kind_usb) host().send_command(cmd::start_bootloader, 0, 0, 0, 0, true);
}

void firmware_page::Button10Click() {
    if (is_bootloader_kind(host().link_kind())) host().send_command(cmd::start_keyboard, 0, 0, 0, 0, true);
}

void firmware_page::Button11Click() {
    if (host().link_kind() != kind_usb_boot) return;
    if (ask(txt::dangerous, text_dangerous, txt::defaults_question, text_defaults_question))
        host().send_command(cmd::factory_defaults, 0, 0, 0, 0, true);
}

} // namespace qvk
