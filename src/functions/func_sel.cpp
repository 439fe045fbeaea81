#include "functions/func_sel.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/dialogs.h"
#include "common/text_codec.h"
#include "functions/func_code.h"
#include "functions/func_sel_widgets.h"
#include "functions/key_code_convert.h"

namespace qvk {

code_write code_write::kind(uint8_t k) {
    code_write w;
    w.bytes[fc_kind] = k;
    return w;
}
code_write& code_write::p1(uint8_t v) {
    bytes[fc_p1] = v;
    return *this;
}
code_write& code_write::p2(uint8_t v) {
    bytes[fc_p2] = v;
    return *this;
}
code_write& code_write::p3(uint8_t v) {
    bytes[fc_p3] = v;
    return *this;
}
code_write& code_write::u16_at1(uint16_t v) { return p1(uint8_t(v & 0xFF)).p2(uint8_t(v >> 8)); }
code_write& code_write::u16_at2(uint16_t v) { return p2(uint8_t(v & 0xFF)).p3(uint8_t(v >> 8)); }
void code_write::apply(uint8_t* slot) const {
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i]) slot[i] = *bytes[i];
}

namespace {

struct page_caption {
    func_sel_page page;
    text_ref text;
};
constexpr page_caption page_captions[] = {
    {page_keys, {4001, "常规键码"}},
    {page_media, {4002, "媒体键码"}},
    {page_mouse, {4003, "鼠标"}},
    {page_layers, {4004, "功能层和触发层"}},
    {page_macros, {4005, "宏"}},
    {page_bluetooth, {4006, "蓝牙管理"}},
    {page_battery, {4007, "电池和重启"}},
    {page_backlight, {4008, "背光灯效（轴灯）"}},
    {page_ambient, {4009, "氛围灯管理"}},
    {page_indicators, {4010, "指示灯"}},
    {page_indicator_actions, {4011, "指示灯动作"}},
    {page_win_lock, {4012, "WIN键锁定"}},
};
static_assert(std::size(page_captions) == func_sel_page_count);

// Lists never offer more entries than a parameter byte can hold.
constexpr int max_byte_items = 256;

} // namespace

Tfunc_sel::Tfunc_sel(const params& p, QWidget* parent) : QDialog(parent), p_(p) {
    if (p_.scale <= 0) p_.scale = 1.0f;
    if (p_.dialogs) {
        dialogs_ = p_.dialogs;
    } else {
        own_dialogs_ = std::make_unique<qt_dialog_service>(this);
        dialogs_ = own_dialogs_.get();
    }
    setObjectName(QStringLiteral("Tfunc_sel"));
    setWindowTitle(QStringLiteral("Function selection"));
    setModal(true);
    QFont f = font();
    f.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(std::max(1, px(15)));
    setFont(f);
    setFixedSize(px(design_width), px(design_height));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->setUsesScrollButtons(true);
    // Narrow tabs so that all twelve fit the width.
    pages_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: %1px %2px; }").arg(px(4)).arg(px(7)));
    outer->addWidget(pages_);

    const auto lookup = [this](text_ref t) { return tx(t.id, t.def); };
    for (const page_caption& c : page_captions) {
        // Pages 1 and 2 lay out their own scrolled list; the others scroll
        // as a whole when their texts are longer than the page.
        auto* content = new QWidget(this); // fonts resolve from the dialog while building
        auto* layout = new QVBoxLayout(content);
        layout->setContentsMargins(px(10), px(8), px(10), px(8));
        layout->setSpacing(px(6));
        QWidget* page = content;
        if (c.page != page_keys && c.page != page_media) {
            auto* scroll = new QScrollArea;
            scroll->setWidgetResizable(true);
            scroll->setFrameShape(QFrame::NoFrame);
            scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            scroll->setWidget(content);
            page = scroll;
        }
        page_builder b(content, layout, lookup, p_.scale);
        switch (c.page) {
        case page_keys: build_keys_page(b); break;
        case page_media: build_media_page(b); break;
        case page_mouse: build_mouse_page(b); break;
        case page_layers: build_layers_page(b); break;
        case page_macros: build_macros_page(b); break;
        case page_bluetooth: build_bluetooth_page(b); break;
        case page_battery: build_battery_page(b); break;
        case page_backlight: build_backlight_page(b); break;
        case page_ambient: build_ambient_page(b); break;
        case page_indicators: build_indicator_page(b, false); break;
        case page_indicator_actions: build_indicator_page(b, true); break;
        case page_win_lock: build_win_lock_page(b); break;
        case func_sel_page_count: break;
        }
        pages_->addTab(page, tx(c.text.id, c.text.def));
    }
    pages_->setCurrentIndex(page_keys);
    connect(pages_, &QTabWidget::currentChanged, this, &Tfunc_sel::pageChange);

    // Centred on the screen, not over the owning window.
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
}

Tfunc_sel::~Tfunc_sel() = default;

QString Tfunc_sel::tx(uint32_t id, const char* def) const {
    const std::string s = p_.convert ? p_.convert->get_lng_text(id, def) : std::string(def);
    // Line breaks of language files are CR LF; widgets want a plain LF.
    return QString::fromStdString(s).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

void Tfunc_sel::choose(const code_write& w) {
    if (p_.code) w.apply(p_.code);
    accept();
}

void Tfunc_sel::choose_key(uint8_t usage) {
    const bool edge = macro_mode() && (rb_key_press_->isChecked() || rb_key_release_->isChecked());
    if (edge)
        choose(code_write::kind(fk_key_edge).p1(usage).p2(rb_key_press_->isChecked() ? 1 : 0).p3(0));
    else
        choose(code_write::kind(fk_key).p1(usage).p2(0).p3(0));
}

void Tfunc_sel::choose_media(uint16_t usage) {
    const bool edge = macro_mode() && (rb_media_press_->isChecked() || rb_media_release_->isChecked());
    if (edge)
        choose(code_write::kind(fk_media_edge).u16_at1(usage).p3(rb_media_press_->isChecked() ? 1 : 0));
    else
        choose(code_write::kind(fk_media).u16_at1(usage).p3(0));
}

std::optional<uint16_t> Tfunc_sel::delay_value(const QLineEdit* field) {
    // Text that is not a number counts as 65536, which is out of range.
    const int v = parse_int_def(field->text().toStdString(), 65536);
    if (v < 1 || v > 65535) {
        dialogs_->show_message(tx(4000, "数值设置错误，请设置在1-65535之间。"));
        return std::nullopt;
    }
    return uint16_t(v);
}

void Tfunc_sel::pageChange(int index) {
    switch (index) {
    case page_media: fill_media_list(); break;
    case page_macros: fill_macro_lists(); break;
    case page_backlight: fill_bkl_effect_lists(); break;
    case page_ambient: fill_ws_effect_list(); break;
    default: break;
    }
}

void Tfunc_sel::fill_media_list() {
    if (media_filled_) return;
    media_filled_ = true;
    if (p_.convert) {
        const std::vector<std::string>& names = p_.convert->consumer_names();
        for (size_t i = 0; i < names.size(); ++i)
            media_list_->add(QString::fromStdString(names[i]), p_.convert->consumer_code(i),
                             QStringLiteral("media_item_%1").arg(i));
    }
    media_list_->show();
}

namespace {
// "0" to count - 1, filled while hidden, item 0 selected.
void fill_list(QComboBox* c, int count) {
    c->hide();
    c->addItems(number_items(0, count - 1));
    if (c->count() > 0) c->setCurrentIndex(0);
    c->show();
}
} // namespace

void Tfunc_sel::fill_macro_lists() {
    if (macro_filled_) return;
    macro_filled_ = true;
    fill_list(cb_macro_run_step_, 512);
    if (macro_mode()) fill_list(cb_macro_jump_step_, 512);
    fill_list(cb_macro_group_, 100);
}

void Tfunc_sel::fill_bkl_effect_lists() {
    if (bkl_effects_filled_) return;
    bkl_effects_filled_ = true;
    const int n = std::min(p_.bkl_effect_count, max_byte_items);
    fill_list(cb_bkl_effect_, n);
    fill_list(cb_bkl_temp_effect_, n);
}

void Tfunc_sel::fill_ws_effect_list() {
    if (ws_effects_filled_) return;
    ws_effects_filled_ = true;
    fill_list(cb_ws_effect_, std::min(p_.ws_effect_count, max_byte_items));
}

} // namespace qvk
