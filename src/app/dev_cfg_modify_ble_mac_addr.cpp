#include "app/dev_cfg_modify_ble_mac_addr.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/text_codec.h"
#include "common/text_format.h"
#include "maint/device_settings.h"
#include "ui/page_host.h"

namespace qvk {

namespace {

constexpr uint32_t txt_caption = 3000;
constexpr uint32_t txt_bound = 3001;
constexpr uint32_t txt_free = 3002;
constexpr uint32_t txt_edit_hint = 3003;
const char* const text_caption = "修改链接[%u]的MAC地址";
const char* const text_bound =
    "注意：当前链接已经绑定了一台主机！修改后需要复位蓝牙模块的配对信息！同时绑定的主机也需要解除配对并重新配对！";
const char* const text_free = "注意：当前链接未绑定主机，可以自由修改。";
const char* const text_edit_hint = "输入以16进制表示的MAC地址";
// A box that does not parse stores this byte.
constexpr uint8_t unparsed_byte = 0xC0;

bool accepted_key(const QKeyEvent* k) {
    if (k->key() == Qt::Key_Backspace) return true;
    const QString t = k->text();
    if (t.size() != 1) return k->text().isEmpty(); // navigation and modifier keys pass
    const QChar c = t[0];
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F') || c == u'.';
}

} // namespace

Tdev_cfg_modify_mac_addr::Tdev_cfg_modify_mac_addr(page_host& host, unsigned connection, bool bound,
                                                   std::span<uint8_t, 17> entry, bool& changed, QWidget* parent)
    : QDialog(parent), entry_(entry), changed_(changed) {
    setObjectName(QStringLiteral("dev_cfg_modify_ble_mac_addr"));
    setModal(true);
    setFixedSize(int(float(client_width) * host.scale()), int(float(client_height) * host.scale()));
    setWindowTitle(QString::fromStdString(
        format_template(host.lng(txt_caption, text_caption).toStdString(), {int64_t(connection)})));

    auto* lay = new QVBoxLayout(this);
    note_label_ = new QLabel(this);
    note_label_->setObjectName(QStringLiteral("Label1"));
    note_label_->setAlignment(Qt::AlignCenter);
    note_label_->setWordWrap(true);
    note_label_->setText(bound ? host.lng(txt_bound, text_bound) : host.lng(txt_free, text_free));
    note_label_->setToolTip(note_label_->text());
    lay->addWidget(note_label_);

    auto* row = new QHBoxLayout;
    // Left to right: ed5 (most significant byte) .. ed0.
    for (int i = 5; i >= 0; --i) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("ed%1").arg(i));
        e->setProperty("Tag", i);
        e->setMaxLength(2);
        e->setText(QStringLiteral("00"));
        e->setToolTip(host.lng(txt_edit_hint, text_edit_hint));
        e->installEventFilter(this);
        byte_edits_[size_t(i)] = e;
        row->addWidget(e);
        if (i > 0) row->addWidget(new QLabel(QStringLiteral("-"), this));
    }
    lay->addLayout(row);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    bt_cancel_ = new QPushButton(QString::fromUtf8("取消"), this);
    bt_cancel_->setObjectName(QStringLiteral("bt_cancel"));
    confirm_button_ = new QPushButton(QString::fromUtf8("确认"), this);
    confirm_button_->setObjectName(QStringLiteral("Button1"));
    confirm_button_->setDefault(true);
    buttons->addWidget(bt_cancel_);
    buttons->addWidget(confirm_button_);
    lay->addLayout(buttons);
    connect(bt_cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(confirm_button_, &QPushButton::clicked, this, [this] { Button1Click(); });

    FormShow();
}

void Tdev_cfg_modify_mac_addr::FormShow() {
    for (unsigned i = 0; i < settings::ble::mac_size; ++i)
        byte_edits_[i]->setText(QString::asprintf("%02X", entry_[settings::ble::off_own_mac + i]));
    // From now on a second character typed moves on to the box on the right.
    for (unsigned i = 0; i < settings::ble::mac_size; ++i)
        connect(byte_edits_[i], &QLineEdit::textEdited, this, [this, i] { on_edited(i); });
}

void Tdev_cfg_modify_mac_addr::on_edited(unsigned i) {
    if (byte_edits_[i]->text().size() < 2) return;
    // ed5 is leftmost; the box on the right of ed(i) is ed(i-1), and ed0
    // wraps round to ed5.
    byte_edits_[i == 0 ? 5 : i - 1]->setFocus();
}

bool Tdev_cfg_modify_mac_addr::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && !accepted_key(static_cast<QKeyEvent*>(e))) return true;
    return QDialog::eventFilter(watched, e);
}

void Tdev_cfg_modify_mac_addr::Button1Click() {
    for (unsigned i = 0; i < settings::ble::mac_size; ++i) {
        const int v = parse_int_def("0x" + byte_edits_[i]->text().toStdString(), -1);
        const uint8_t b = v < 0 ? unparsed_byte : uint8_t(v & 0xFF);
        uint8_t& stored = entry_[settings::ble::off_own_mac + i];
        if (b != stored) changed_ = true;
        stored = b;
    }
    // The top two bits of the most significant byte mark a static random
    // address.
    entry_[settings::ble::off_own_mac + 5] |= settings::ble::static_random_mark;
    accept();
}

} // namespace qvk
