#include "macros/macro_str_edit.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/text_format.h"
#include "functions/key_code_convert.h"
#include "ui/dialogs.h"

namespace qvk {

namespace {

constexpr uint32_t text_unconvertible = 1650;
constexpr uint32_t text_too_long = 1651;
constexpr uint32_t text_counter = 1652;
constexpr uint32_t text_note = 1653;

const char* const default_note = "注意：只能输入a-z,A-Z,0-9的字符，输入其他的字符将无法转换。";
const char* const default_counter = "最多可输入%u个字符，包括回车。当前已输入%u个字符，还可以再输入%d个。";
const char* const default_unconvertible =
    "输入的字符含有无法转换的字符，请清理后再继续。字符仅允许a-z,A-Z,0-9，不可包含其他字符。";
const char* const default_too_long = "输入字符过多，请保证输入字符数量在限定的范围内。";

// A label showing its text as its hint too, so that a cut-off text can be
// read in full.
void set_label(QLabel* l, const QString& text) {
    l->setText(text);
    l->setToolTip(text);
}

} // namespace

Tmacro_str_edit::Tmacro_str_edit(macro_steps& result, size_t position, const key_code_convert& texts,
                                 dialog_service& dialogs, float scale, QWidget* parent)
    : QDialog(parent), result_(result), position_(position), texts_(texts), dialogs_(dialogs), scale_(scale) {
    result_.count = 0;
    setWindowTitle(QStringLiteral("Edit string of macro"));
    setFixedSize(px(374), px(452));
    note_label_ = new QLabel(this);
    note_label_->setObjectName(QStringLiteral("Label1"));
    note_label_->setGeometry(px(8), px(16), px(358), px(41));
    note_label_->setWordWrap(true);
    counter_label_ = new QLabel(this);
    counter_label_->setObjectName(QStringLiteral("Label2"));
    counter_label_->setGeometry(px(8), px(80), px(358), px(89));
    counter_label_->setWordWrap(true);
    counter_label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    editer_ = new QPlainTextEdit(this);
    editer_->setObjectName(QStringLiteral("editer"));
    editer_->setGeometry(px(9), px(186), px(357), px(200));
    ok_button_ = new QPushButton(QStringLiteral("OK"), this);
    ok_button_->setObjectName(QStringLiteral("Button1"));
    ok_button_->setGeometry(px(224), px(408), px(107), px(25));
    cancel_button_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_button_->setObjectName(QStringLiteral("Button2"));
    cancel_button_->setGeometry(px(24), px(408), px(107), px(25));

    set_label(note_label_, tx(text_note, default_note));
    editerChange();
    connect(editer_, &QPlainTextEdit::textChanged, this, [this] { editerChange(); });
    connect(ok_button_, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(cancel_button_, &QPushButton::clicked, this, [this] { Button2Click(); });
}

QString Tmacro_str_edit::tx(uint32_t id, const char* def) const {
    return QString::fromStdString(texts_.get_lng_text(id, def));
}

std::u16string Tmacro_str_edit::text() const { return editer_->toPlainText().toStdU16String(); }

void Tmacro_str_edit::editerChange() {
    const macro_text::room r = macro_text::count(text(), position_);
    const std::string tmpl = texts_.get_lng_text(text_counter, default_counter);
    set_label(counter_label_, QString::fromStdString(format_template(
                           tmpl, {int64_t(r.max), int64_t(r.needed), int64_t(r.remaining)})));
}

void Tmacro_str_edit::Button1Click() {
    const std::u16string t = text();
    switch (macro_text::check(t, position_)) {
    case macro_text::verdict::unconvertible:
        dialogs_.show_message(tx(text_unconvertible, default_unconvertible));
        return;
    case macro_text::verdict::too_long: dialogs_.show_message(tx(text_too_long, default_too_long)); return;
    case macro_text::verdict::ok: break;
    }
    result_ = macro_text::convert(t);
    accept();
}

void Tmacro_str_edit::Button2Click() {
    result_.count = 0;
    reject();
}

} // namespace qvk
