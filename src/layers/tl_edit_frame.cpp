#include "layers/tl_edit_frame.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "functions/func_description.h"
#include "functions/key_code_convert.h"
#include "functions/short_notation.h"
#include "layers/flayer_record.h"
#include "layers/layer_texts.h"
#include "link/keyboard_records.h"
#include "ui/click_panel.h"
#include "ui/dialogs.h"
#include "ui/toggle_switch.h"

namespace qvk {

using tlayer::page;

namespace {

// One line of a tab's detail area: a label alone, a control alone, or a
// label with its control beside it.
enum class row_kind { label, toggle, key_panel, positions, count, time, code };

struct row_def {
    row_kind kind;
    const char* label_name; // null: no label
    uint32_t text_id;
    const char* text;
    const char* control_name; // null: no control
    uint32_t hint_id;         // 0: no hint
    const char* hint;
    unsigned code; // function code of a code row
};

constexpr uint32_t hint_code_box = 806;
const char* const hint_code_box_text = "单击选择一个功能，右键单击清除配置";
const char* const position_names[tlayer::combo_key_slots] = {"Panel5", "Panel6", "Panel7", "Panel8"};

constexpr uint32_t toggle_hint_id = 836;
const char* const toggle_hint = "点击切换开关状态(ON=开启，OFF=关闭)";

const row_def fn_rows[] = {
    {row_kind::label, "Label1", 830, "是否开启本FN键的触发：只有开启了触发功能，配置的功能才会生效。", nullptr, 0, nullptr, 0},
    {row_kind::toggle, nullptr, 0, nullptr, "ToggleSwitch1", 0, nullptr, 0},
    {row_kind::label, "Label2", 831, "FN键的ID：从下面蓝色的配列展示区选择一个按键，这个按键将被配置为FN键。", nullptr, 0, nullptr, 0},
    {row_kind::key_panel, "Label3", 832, "当前的FN键对应的按键ID是：", "Panel4", 805, "当前配置的FN键对应的按键ID", 0},
    {row_kind::label, "Label4", 833, "FN键被按下时，触发一个功能，这个功能可单击以下选择框选择，鼠标右键单击清除：", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel1", hint_code_box, hint_code_box_text, 0},
    {row_kind::label, "Label5", 834, "FN按键被弹起时，触发一个功能，这个功能可单击以下选择框选择，鼠标右键单击清除：", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel2", hint_code_box, hint_code_box_text, 1},
    {row_kind::label, "Label6", 835, "如果按下FN键的同时，又按下了其他的按键，则按键弹起时，执行本功能，鼠标右键单击清除：", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel3", hint_code_box, hint_code_box_text, 2},
};

const row_def combo_rows[] = {
    {row_kind::label, "Label7", 840, "是否开启本组合键的触发：只有开启了触发功能，配置的功能才会生效。", nullptr, 0, nullptr, 0},
    {row_kind::toggle, nullptr, 0, nullptr, "ToggleSwitch2", 0, nullptr, 0},
    {row_kind::label, "Label8", 841, "每个组可以最多配置4个按键配合FN键触发，这4个按键的列表在下面列出，单击配列展示区的按键可以选择；\"X\"为无效的。", nullptr, 0, nullptr, 0},
    {row_kind::positions, "Label9", 842, "本组内配合触发的4个按键ID：", nullptr, 809, "鼠标右键单击清除设置", 0},
    {row_kind::label, "Label10", 843, "当配置的按键同时被按下时，触发一个功能，这个功能可单击以下选择框选择，鼠标右键单击清除：", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel9", hint_code_box, hint_code_box_text, 0},
    {row_kind::label, "Label11", 844, "当配置的组合键中任意键被弹起时，触发一个功能，这个功能可单击以下选择框选择，鼠标右键单击清除：", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel10", hint_code_box, hint_code_box_text, 1},
};

const row_def nhit_rows[] = {
    {row_kind::label, "Label12", 850, "是否开启本组连击键的触发：只有开启了触发功能，配置的功能才会生效。", nullptr, 0, nullptr, 0},
    {row_kind::toggle, nullptr, 0, nullptr, "ToggleSwitch3", 0, nullptr, 0},
    {row_kind::label, "Label13", 851, "为这个组配置一个按键ID，当这个按键被连击时，键盘将记录连击次数。", nullptr, 0, nullptr, 0},
    {row_kind::key_panel, "Label14", 852, "本组所使用的按键ID：", "Panel11", 810, "当前配置的按键ID", 0},
    {row_kind::label, "Label17", 853, "连击这个按键的次数：系统检测到连击次数与配置的次数匹配时，将会触发一个功能。", nullptr, 0, nullptr, 0},
    {row_kind::count, "Label15", 854, "连击多少次触发：", "nhit_key_edit_count_select", 811, "选择触发次数，选择0将永远不会触发", 0},
    {row_kind::label, "Label16", 855, "当键盘检测到连击次数与本组的设置次数匹配时，触发一个功能，这个功能可单击以下选择框选择，鼠标右键单击清除：", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel13", hint_code_box, hint_code_box_text, 0},
};

const row_def tio_rows[] = {
    {row_kind::label, "Label18", 860, "是否开启本组二合一键的触发：只有开启了触发功能，配置的功能才会生效。", nullptr, 0, nullptr, 0},
    {row_kind::toggle, nullptr, 0, nullptr, "ToggleSwitch4", 0, nullptr, 0},
    {row_kind::label, "Label19", 861, "为这个组配置一个按键ID和超时时间，用于触发。超时时间则用于判断按键的时间长短，从而决定如何触发。", nullptr, 0, nullptr, 0},
    {row_kind::key_panel, "Label20", 862, "本组所使用的按键ID：", "Panel12", 810, "当前配置的按键ID", 0},
    {row_kind::time, "Label21", 863, "判断为短按的时间（毫秒）：", "Edit1", 812, "超时时间，可在1-32767之间设置，单位是毫秒（1秒=1000毫秒）", 0},
    {row_kind::label, "Label22", 864, "按键被按下的时间没有达到超时时间就弹起了按键，则视为短按触发，触发后的功能单击以下选择框选择，鼠标右键单击清除。", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel14", hint_code_box, hint_code_box_text, 0},
    {row_kind::label, "Label23", 865, "按键被按下的时间达到或超过了超时时间，则视为长按触发，触发后的功能单击以下选择框选择，鼠标右键单击清除。", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel15", hint_code_box, hint_code_box_text, 1},
    {row_kind::label, "Label24", 866, "当按键按下时间超过超时时间后弹起，则视为长按弹起触发，触发后的功能单击以下选择框选择，鼠标右键单击清除。", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel16", hint_code_box, hint_code_box_text, 2},
};

// This tab sets no hints on its controls.
const row_def hdk_rows[] = {
    {row_kind::label, "Label25", 870, "是否开启本组按下保持键的触发：只有开启了触发功能，配置的功能才会生效。", nullptr, 0, nullptr, 0},
    {row_kind::toggle, nullptr, 0, nullptr, "ToggleSwitch5", 0, nullptr, 0},
    {row_kind::label, "Label26", 871, "为这个组配置一个按键ID，当这个按键被触发时，键盘将记录连击次数。", nullptr, 0, nullptr, 0},
    {row_kind::key_panel, "Label27", 872, "本组所使用的按键ID：", "Panel17", 0, nullptr, 0},
    {row_kind::label, "Label30", 873, "连击这个按键的次数：系统检测到连击次数与配置的次数匹配时，将会触发一个功能。", nullptr, 0, nullptr, 0},
    {row_kind::count, "Label28", 874, "连击多少次触发：", "hdk_select_trig_cnt", 0, nullptr, 0},
    {row_kind::label, "Label29", 875, "键盘检测到连击次数与本组的设置次数匹配并保持按下状态时，功能触发，鼠标单击选择框选择一个功能，鼠标右键单击清除：", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel18", 0, nullptr, 0},
    {row_kind::label, "Label31", 876, "按下触发后，如果按键被弹起，则触发弹起事件，这个功能可单击以下选择框选择，鼠标右键单击清除：", nullptr, 0, nullptr, 0},
    {row_kind::code, nullptr, 0, nullptr, "Panel19", 0, nullptr, 0},
};

QString key_text(unsigned k) { return k < tlayer::no_key ? QString::number(k) : QStringLiteral("X"); }

QString short_text(const uint8_t* code) {
    return code ? QString::fromStdString(func_code_to_short_str(fc_from(code))) : QString();
}

constexpr int code_box_height = 25;
constexpr int code_box_text_px = 15;

} // namespace

struct Ttl_edit_frame::tab_def {
    page kind;
    const char* name;
    uint32_t caption_id;
    const char* caption;
    const char* list_caption; // the design's caption of the item list
    const char* item_prefix;  // item action names: prefix + number
    unsigned first_item_number;
    const row_def* rows;
    size_t row_count;
};

namespace {
template <size_t N>
constexpr size_t count_of(const row_def (&)[N]) {
    return N;
}
} // namespace

Ttl_edit_frame::Ttl_edit_frame(const params& p, QWidget* parent)
    : QWidget(parent), p_(p), tabs_(new QTabWidget(this)), panel_key_matrix_list_(new QWidget(this)),
      // The matrix draws the keys every page draws (kind 1).
      matrix_(panel_key_matrix_list_, [](const layout::key_entry& e) { return e.kind == layout::entry_key; }) {
    setObjectName(QStringLiteral("Ttl_edit_frame"));
    const float s = p_.scale;
    tabs_->setObjectName(QStringLiteral("TPageControl1"));
    tabs_->setGeometry(0, 0, int(float(design_width) * s), int(float(tabs_height) * s));
    panel_key_matrix_list_->setObjectName(QStringLiteral("panel_key_matrix_list"));
    panel_key_matrix_list_->move(0, int(float(tabs_height) * s));
    matrix_.set_scale(s);
    matrix_.set_layout(p_.records->kb_layout.data());
    matrix_.set_paint([this](key_picture& k, const layout::key_entry& e) { paint_matrix_key(k, e); });
    matrix_.set_click([this](key_picture& k, Qt::MouseButton b, QPoint at) { matrix_clicked(k, b, at); }, true);

    for (unsigned i = 0; i < tlayer::page_count; ++i) build_tab(tab_defs()[i]);
    QObject::connect(tabs_, &QTabWidget::currentChanged, this, [this](int i) { TPageControl1Change(i); });
    hide();
    apply_texts();
}

Ttl_edit_frame::~Ttl_edit_frame() = default;

QString Ttl_edit_frame::lng(uint32_t id, const char* def) const { return layer_text(*p_.texts, id, def); }

uint8_t* Ttl_edit_frame::layer() const {
    const unsigned t = *p_.cur_tlayer;
    return t < record_size::tlayer_count ? p_.records->tlayers[t].data() : nullptr;
}

bool Ttl_edit_frame::layer_ready() const {
    const unsigned t = *p_.cur_tlayer;
    return t < record_size::tlayer_count && p_.records->tlayer_loaded[t];
}

page Ttl_edit_frame::current_page() const {
    const int i = tabs_->currentIndex();
    return page(i >= 0 && unsigned(i) < tlayer::page_count ? unsigned(i) : 0);
}

bool Ttl_edit_frame::current_enabled(const tab_controls& t) const {
    return t.current < tlayer::item_count(t.kind) && layer() && tlayer::enabled(layer(), t.kind, t.current);
}

// ---------------------------------------------------------------- building

void Ttl_edit_frame::build_tab(const tab_def& d) {
    const float s = p_.scale;
    tab_controls& t = tab(d.kind);
    t.kind = d.kind;
    t.page = new QWidget;
    t.page->setObjectName(QString::fromLatin1(d.name));
    auto* outer = new QHBoxLayout(t.page);
    const int margin = int(12 * s) + 1;
    outer->setContentsMargins(margin, margin, margin, margin);

    // The item list: one button per item, the chosen one held down.
    auto* list_column = new QVBoxLayout;
    auto* list_caption = new QLabel(QString::fromUtf8(d.list_caption), t.page);
    list_column->addWidget(list_caption);
    auto* list_box = new QScrollArea(t.page);
    list_box->setObjectName(QString::fromLatin1(d.name) + QStringLiteral("_items"));
    list_box->setFixedWidth(int(float(list_width) * s));
    list_box->setWidgetResizable(true);
    list_box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* list = new QWidget;
    auto* list_layout = new QVBoxLayout(list);
    list_layout->setContentsMargins(0, 0, 0, 0);
    list_layout->setSpacing(0);
    auto* group = new QButtonGroup(list);
    group->setExclusive(true);
    for (unsigned n = 0; n < tlayer::item_count(d.kind); ++n) {
        auto* b = new QPushButton(list);
        b->setObjectName(QString::fromLatin1(d.item_prefix) + QString::number(n + d.first_item_number));
        b->setCheckable(true);
        b->setFixedHeight(int(float(item_height) * s));
        b->setStyleSheet(QStringLiteral("text-align: left; padding-left: 4px;"));
        group->addButton(b);
        const page kind = d.kind;
        QObject::connect(b, &QPushButton::clicked, this, [this, kind, n] { show_item(kind, n); });
        list_layout->addWidget(b);
        t.items.push_back(b);
    }
    list_layout->addStretch(1);
    list_box->setWidget(list);
    list_column->addWidget(list_box, 1);
    outer->addLayout(list_column);

    // The detail area of the chosen item.
    auto* detail_box = new QScrollArea(t.page);
    detail_box->setFrameShape(QFrame::NoFrame);
    detail_box->setWidgetResizable(true);
    t.details = new QWidget;
    t.details->setObjectName(QString::fromLatin1(d.name) + QStringLiteral("_details"));
    auto* rows = new QVBoxLayout(t.details);
    rows->setSpacing(int(4 * s));
    QFont box_font = font();
    box_font.setBold(true);
    box_font.setPixelSize(std::max(1, int(float(code_box_text_px) * s)));
    auto make_label = [&](const row_def& r) {
        auto* l = new QLabel(t.details);
        l->setObjectName(QString::fromLatin1(r.label_name));
        l->setWordWrap(true);
        t.labels.push_back(l);
        return l;
    };
    auto make_key_panel = [&](const char* name) {
        auto* k = new click_panel(t.details);
        k->setObjectName(QString::fromLatin1(name));
        k->setFrameShape(QFrame::Panel);
        k->setFrameShadow(QFrame::Sunken);
        k->setAlignment(Qt::AlignCenter);
        k->setFixedSize(int(60 * s), int(float(code_box_height) * s));
        return k;
    };
    for (size_t i = 0; i < d.row_count; ++i) {
        const row_def& r = d.rows[i];
        QHBoxLayout* line = nullptr;
        if (r.kind != row_kind::label && r.label_name) {
            line = new QHBoxLayout;
            line->addWidget(make_label(r));
        } else if (r.label_name) {
            rows->addWidget(make_label(r));
        }
        QWidget* control = nullptr;
        switch (r.kind) {
        case row_kind::label: break;
        case row_kind::toggle: {
            auto* sw = new toggle_switch(t.details);
            sw->setObjectName(QString::fromLatin1(r.control_name));
            sw->setFixedSize(int(64 * s), int(24 * s));
            const page kind = d.kind;
            QObject::connect(sw, &QAbstractButton::clicked, this, [this, kind](bool on) { toggle_clicked(kind, on); });
            t.enable = sw;
            control = sw;
            break;
        }
        case row_kind::key_panel:
            t.key_panel = make_key_panel(r.control_name);
            control = t.key_panel;
            break;
        case row_kind::positions:
            for (unsigned pos = 0; pos < tlayer::combo_key_slots; ++pos) {
                click_panel* k = make_key_panel(position_names[pos]);
                k->on_press = [this, pos](Qt::MouseButton b) { position_pressed(pos, b); };
                t.positions[pos] = k;
                line->addWidget(k);
            }
            break;
        case row_kind::count: {
            auto* c = new QComboBox(t.details);
            c->setObjectName(QString::fromLatin1(r.control_name));
            for (unsigned n = 0; n <= tlayer::max_count; ++n) c->addItem(QString::number(n));
            const page kind = d.kind;
            QObject::connect(c, &QComboBox::activated, this, [this, kind](int i) { count_changed(kind, i); });
            t.count = c;
            control = c;
            break;
        }
        case row_kind::time: {
            auto* e = new QLineEdit(t.details);
            e->setObjectName(QString::fromLatin1(r.control_name));
            e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), e));
            e->setFixedWidth(int(100 * s));
            e->installEventFilter(this);
            t.time = e;
            control = e;
            break;
        }
        case row_kind::code: {
            auto* b = new click_panel(t.details);
            b->setObjectName(QString::fromLatin1(r.control_name));
            b->setAutoFillBackground(true);
            QPalette pal = b->palette();
            pal.setColor(QPalette::Window, QColor(mark_fill));
            b->setPalette(pal);
            b->setFont(box_font);
            b->setFixedSize(int(665 * s), int(float(code_box_height) * s));
            const page kind = d.kind;
            const unsigned which = r.code;
            b->on_press = [this, kind, which](Qt::MouseButton mb) { box_pressed(kind, which, mb); };
            t.boxes.push_back(b);
            control = b;
            break;
        }
        }
        if (line) {
            if (control) line->addWidget(control);
            line->addStretch(1);
            rows->addLayout(line);
        } else if (control) {
            rows->addWidget(control);
        }
    }
    rows->addStretch(1);
    detail_box->setWidget(t.details);
    outer->addWidget(detail_box, 1);
    tabs_->addTab(t.page, QString());
}

void Ttl_edit_frame::apply_texts() {
    for (unsigned i = 0; i < tlayer::page_count; ++i) {
        const tab_def& d = tab_defs()[i];
        tab_controls& t = tabs_controls_[i];
        tabs_->setTabText(int(i), lng(d.caption_id, d.caption));
        size_t label = 0;
        for (size_t r = 0; r < d.row_count; ++r) {
            const row_def& row = d.rows[r];
            if (row.label_name && label < t.labels.size()) {
                const QString text = lng(row.text_id, row.text);
                t.labels[label]->setText(text);
                t.labels[label]->setToolTip(text);
                ++label;
            }
            if (!row.hint_id) continue;
            const QString hint = lng(row.hint_id, row.hint);
            switch (row.kind) {
            case row_kind::key_panel: t.key_panel->setToolTip(hint); break;
            case row_kind::positions:
                for (click_panel* k : t.positions) k->setToolTip(hint);
                break;
            case row_kind::count: t.count->setToolTip(hint); break;
            case row_kind::time: t.time->setToolTip(hint); break;
            case row_kind::code:
                if (row.code < t.boxes.size()) t.boxes[row.code]->setToolTip(hint);
                break;
            default: break;
            }
        }
        t.enable->setToolTip(lng(toggle_hint_id, toggle_hint));
    }
    refresh();
}

// ---------------------------------------------------------------- refresh and matrix

void Ttl_edit_frame::refresh() {
    draw_matrix();
    for (tab_controls& t : tabs_controls_) {
        t.details->hide();
        t.current = no_item;
        if (QButtonGroup* g = t.items.empty() ? nullptr : t.items[0]->group()) {
            g->setExclusive(false);
            for (QPushButton* b : t.items) b->setChecked(false);
            g->setExclusive(true);
        }
        for (unsigned n = 0; n < t.items.size(); ++n) update_caption(t.kind, n);
    }
}

void Ttl_edit_frame::draw_matrix() {
    marked_.fill(false);
    matrix_drawn_ = layer_ready() && matrix_.layout_usable();
    if (matrix_drawn_)
        matrix_.draw_all();
    else
        matrix_.hide_all();
    const QSize extent = matrix_.extent();
    const float s = p_.scale;
    const int width = std::max(int(float(design_width) * s), extent.width());
    panel_key_matrix_list_->resize(width, extent.height() + int(16 * s));
    resize(width, tabs_->height() + panel_key_matrix_list_->height());
}

void Ttl_edit_frame::paint_matrix_key(key_picture& k, const layout::key_entry& e) {
    const unsigned fl = p_.cur_flayer ? *p_.cur_flayer : 0;
    // A function layer not received in this connection has no codes to show.
    const bool have_layer = fl < record_size::flayer_count && p_.records->flayer_loaded[fl];
    const uint8_t* layer = have_layer ? p_.records->flayers[fl].data() : nullptr;
    const uint8_t* press = layer ? flayer::slot_code(layer, e.key_id, flayer::key_half::press) : nullptr;
    const uint8_t* release = layer ? flayer::slot_code(layer, e.key_id, flayer::key_half::release) : nullptr;
    key_face face;
    face.key_id = e.key_id;
    face.upper = short_text(release);
    face.lower = short_text(press);
    if (marked_[slot(k.column(), k.row())]) face.plain_fill = mark_fill;
    matrix_.paint_face(k, draw_style{}, face);
    if (press && release) {
        k.setToolTip(lng(800, "按键弹起：") +
                     QString::fromStdString(func_code_to_desc_str(*p_.texts, fc_from(release), false)) +
                     QStringLiteral("\r") + lng(801, "按键按下：") +
                     QString::fromStdString(func_code_to_desc_str(*p_.texts, fc_from(press), false)));
    } else {
        k.setToolTip(QString());
    }
}

// A click counts when the left button comes up over the key it went down on.
void Ttl_edit_frame::matrix_clicked(key_picture& k, Qt::MouseButton b, QPoint at) {
    if (b != Qt::LeftButton || !k.rect().contains(at)) return;
    key_assign(k.key_id());
}

// ---------------------------------------------------------------- marks

void Ttl_edit_frame::set_mark(unsigned key_id, bool on) {
    matrix_.for_each_picture([&](key_picture& k) {
        if (k.key_id() != key_id || k.isHidden()) return;
        bool& m = marked_[slot(k.column(), k.row())];
        if (m == on) return;
        m = on;
        matrix_.draw_key(k.column(), k.row());
    });
}

void Ttl_edit_frame::clear_marks() {
    matrix_.for_each_picture([&](key_picture& k) {
        bool& m = marked_[slot(k.column(), k.row())];
        if (!m) return;
        m = false;
        matrix_.draw_key(k.column(), k.row());
    });
}

void Ttl_edit_frame::mark_item(page p, unsigned n) {
    uint8_t* l = layer();
    const tlayer::marked_keys keys = l ? tlayer::keys_to_mark(l, p, n) : tlayer::marked_keys{};
    clear_marks();
    for (unsigned i = 0; i < keys.size; ++i) set_mark(keys.keys[i], true);
}

// ---------------------------------------------------------------- items

void Ttl_edit_frame::update_caption(page p, unsigned n) {
    tab_controls& t = tab(p);
    uint8_t* l = layer();
    if (!l || n >= t.items.size()) return;
    t.items[n]->setText(QString::fromStdString(tlayer::caption(
        l, p, n, lng(802, "开启 ").toStdString(), lng(803, "关闭 ").toStdString(), lng(804, "| Fn键的ID = ").toStdString())));
}

void Ttl_edit_frame::show_code(tab_controls& t, unsigned which) {
    const uint8_t* code = layer() ? tlayer::item_code(layer(), t.kind, t.current, which) : nullptr;
    if (which < t.boxes.size())
        t.boxes[which]->setText(code ? QString::fromStdString(func_code_to_desc_str(*p_.texts, fc_from(code), true))
                                     : QString());
}

void Ttl_edit_frame::fill_details(tab_controls& t) {
    uint8_t* l = layer();
    const unsigned n = t.current;
    if (!l || n >= tlayer::item_count(t.kind)) return;
    t.enable->setChecked(tlayer::enabled(l, t.kind, n));
    if (t.key_panel) t.key_panel->setText(QString::number(tlayer::key_id(l, t.kind, n)));
    if (t.kind == page::combo)
        for (unsigned pos = 0; pos < tlayer::combo_key_slots; ++pos)
            t.positions[pos]->setText(key_text(tlayer::combo_key(l, n, pos)));
    if (t.count) t.count->setCurrentIndex(int(std::min(tlayer::count(l, t.kind, n), tlayer::max_count)));
    if (t.time) t.time->setText(QString::number(tlayer::time_ms(l, n)));
    for (unsigned which = 0; which < t.boxes.size(); ++which) show_code(t, which);
}

void Ttl_edit_frame::show_item(page p, unsigned n) {
    tab_controls& t = tab(p);
    if (!layer_ready() || n >= tlayer::item_count(p)) return;
    t.current = n;
    t.items[n]->setChecked(true);
    tlayer::normalise(layer(), p, n);
    update_caption(p, n);
    fill_details(t);
    t.details->show();
    mark_item(p, n);
}

void Ttl_edit_frame::TPageControl1Change(int index) {
    if (index < 0 || unsigned(index) >= tlayer::page_count) return;
    tab_controls& t = tabs_controls_[unsigned(index)];
    if (t.current != no_item)
        show_item(t.kind, t.current);
    else
        clear_marks();
}

// ---------------------------------------------------------------- edits

void Ttl_edit_frame::toggle_clicked(page p, bool on) {
    tab_controls& t = tab(p);
    uint8_t* l = layer();
    if (!l || t.current == no_item) return;
    tlayer::set_enabled(l, p, t.current, on);
    update_caption(p, t.current);
    mark_item(p, t.current);
}

void Ttl_edit_frame::key_assign(unsigned key_id) {
    const page p = current_page();
    tab_controls& t = tab(p);
    uint8_t* l = layer();
    if (!l || !current_enabled(t)) return;
    if (p == page::combo) {
        const int pos = tlayer::combo_add_key(l, t.current, uint8_t(key_id));
        if (pos < 0) return;
        set_mark(key_id, true);
        t.positions[unsigned(pos)]->setText(key_text(key_id));
    } else {
        tlayer::set_key_id(l, p, t.current, uint8_t(key_id));
        clear_marks();
        set_mark(key_id, true);
        t.key_panel->setText(QString::number(key_id));
    }
    update_caption(p, t.current);
}

void Ttl_edit_frame::position_pressed(unsigned position, Qt::MouseButton b) {
    tab_controls& t = tab(page::combo);
    uint8_t* l = layer();
    if (b != Qt::RightButton || !l || t.current == no_item) return;
    const unsigned old = tlayer::combo_remove_key(l, t.current, position);
    if (old < tlayer::no_key) set_mark(old, false);
    t.positions[position]->setText(key_text(tlayer::no_key));
    update_caption(page::combo, t.current);
}

void Ttl_edit_frame::box_pressed(page p, unsigned which, Qt::MouseButton b) {
    tab_controls& t = tab(p);
    if (b == Qt::MiddleButton || !current_enabled(t)) return;
    uint8_t* code = tlayer::item_code(layer(), p, t.current, which);
    if (!code) return;
    if (b == Qt::RightButton) {
        code[fc_kind] = fk_transparent;
        show_code(t, which);
    } else if (b == Qt::LeftButton) {
        show_code(t, which);
        if (p_.pick) p_.pick(p, t.current, which);
    }
}

void Ttl_edit_frame::code_chosen(page p, unsigned item, unsigned which, const uint8_t* code) {
    uint8_t* target = layer() ? tlayer::item_code(layer(), p, item, which) : nullptr;
    if (!target) return;
    std::memcpy(target, code, func_code_size);
    tab_controls& t = tab(p);
    if (t.current == item) show_code(t, which);
}

void Ttl_edit_frame::count_changed(page p, int index) {
    tab_controls& t = tab(p);
    uint8_t* l = layer();
    if (!l || t.current == no_item) return;
    if (!current_enabled(t)) {
        t.count->setCurrentIndex(int(tlayer::count(l, p, t.current)));
        return;
    }
    tlayer::set_count(l, p, t.current, unsigned(std::max(index, 0)));
    update_caption(p, t.current);
}

// The time box is checked when the focus moves on from it inside the window
// (not when another window or a menu takes it for a while).
bool Ttl_edit_frame::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusOut && watched == tab(page::tio).time && !in_time_check_) {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason) Edit1Exit();
    }
    return QWidget::eventFilter(watched, e);
}

void Ttl_edit_frame::Edit1Exit() {
    tab_controls& t = tab(page::tio);
    bool ok = false;
    long long v = t.time->text().toLongLong(&ok);
    if (!ok) v = 0;
    if (!tlayer::time_in_range(v)) {
        in_time_check_ = true;
        const QPointer<QLineEdit> edit = t.time;
        if (p_.dialogs)
            p_.dialogs->show_message(lng(813, "时间设置错误，可设置的范围是1-32767之间，单位是毫秒（1秒=1000毫秒），建议设置范围为200左右"));
        // The message's event loop may have ended the connection, and this
        // editor with it.
        if (!edit) return;
        in_time_check_ = false;
        edit->setText(QString::number(tlayer::default_time_ms));
        // Once the edit has finished losing the focus (which clears its
        // selection), it takes the focus back with the text selected.
        QTimer::singleShot(0, edit, [edit] {
            edit->setFocus();
            edit->selectAll();
        });
        return;
    }
    uint8_t* l = layer();
    if (!l || t.current == no_item) return;
    if (!current_enabled(t)) {
        t.time->setText(QString::number(tlayer::time_ms(l, t.current)));
        return;
    }
    tlayer::set_time_ms(l, t.current, unsigned(v));
    update_caption(page::tio, t.current);
}

// ---------------------------------------------------------------- tab table

const Ttl_edit_frame::tab_def* Ttl_edit_frame::tab_defs() {
    static const Ttl_edit_frame::tab_def defs[tlayer::page_count] = {
        {page::fn, "fn_key_edit", 820, "FN键编辑器", "可编辑的FN项", "Action", 1, fn_rows, count_of(fn_rows)},
        {page::combo, "combo_key_edit", 821, "组合键编辑器", "可编辑的组合键", "cb_k_", 0, combo_rows,
         count_of(combo_rows)},
        {page::nhit, "nhit_key_edit", 822, "连击键编辑器", "可编辑的连击键", "nhit_", 0, nhit_rows,
         count_of(nhit_rows)},
        {page::tio, "tio_key_edit", 823, "二合一键编辑器", "可编辑的二合一键", "tio_", 0, tio_rows, count_of(tio_rows)},
        {page::hdk, "hdk_key_edit", 824, "按下保持键编辑器", "可编辑的按下保持键", "hdk_", 0, hdk_rows,
         count_of(hdk_rows)},
    };
    return defs;
}

} // namespace qvk
