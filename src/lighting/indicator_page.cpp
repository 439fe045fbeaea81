#include "lighting/indicator_page.h"

#include <QButtonGroup>
#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "functions/func_code.h"
#include "functions/func_description.h"
#include "functions/short_notation.h"
#include "layers/flayer_record.h"
#include "layers/layer_state.h"
#include "lighting/colour.h"
#include "lighting/indicator_page_parts.h"
#include "lighting/led_state.h"
#include "lighting/lighting_texts.h"
#include "lighting/user_led_select.h"
#include "link/command_catalogue.h"
#include "link/keyboard_records.h"
#include "ui/colour_swatch.h"
#include "ui/dialogs.h"
#include "ui/page_host.h"
#include "ui/selector_strip.h"
#include "ui/toggle_switch.h"

namespace qvk {

namespace {

namespace txt = lighting_text;
namespace ind = led::indicator;

constexpr int left = 16;
constexpr int page_width = 640;
constexpr int label_height = 44;
constexpr int strip_height = 34;
constexpr int switch_width = 90;
constexpr int row_height = 26;
constexpr int button_width = 160;
constexpr int swatch_side = 40;
constexpr int gap = 8;
// Room between the colour swatch and the keyboard drawing.
constexpr int keys_gap = 24;
constexpr QRgb strip_cell = 0x06B025;
constexpr QRgb highlight_fill = 0xFF8C1A;

// The lighting pages draw keys and light-only positions.
bool lighting_position(const layout::key_entry& e) {
    return e.kind == layout::entry_key || e.kind == layout::entry_light_only;
}

QString short_text(const uint8_t* code) {
    return code ? QString::fromStdString(func_code_to_short_str(fc_from(code))) : QString();
}

} // namespace

Tbkl_indicator_edit_frame::Tbkl_indicator_edit_frame(page_host& host, QWidget* canvas)
    : keyboard_page(host), canvas_(canvas), drawing_(canvas, lighting_position) {
    const float s = host.scale();
    auto px = [s](int v) { return int(float(v) * s); };
    const int width = px(page_width);
    make_indicator_labels(labels_, canvas_);
    icon_indicator_select_ = make_indicator_strip(canvas_, strip_cell, [this](int i) { choose(unsigned(i)); });
    indicator_switch_ = new toggle_switch(canvas_);
    indicator_switch_->setObjectName(QStringLiteral("ToggleSwitch1"));
    QObject::connect(indicator_switch_, &QAbstractButton::clicked, indicator_switch_, [this](bool on) {
        ind::set_on(indicator(), on);
        draw_keys();
    });
    disp_led_cfg_ = new QLabel(canvas_);
    disp_led_cfg_->setObjectName(QStringLiteral("disp_led_cfg"));
    QFont bold = disp_led_cfg_->font();
    bold.setBold(true);
    disp_led_cfg_->setFont(bold);
    ambient_button_ = new QPushButton(canvas_);
    ambient_button_->setObjectName(QStringLiteral("Button2"));
    QObject::connect(ambient_button_, &QPushButton::clicked, &deferred_, [this] {
        // The dialog runs its own event loop: it opens once the click has
        // been handled.
        QTimer::singleShot(0, &deferred_, [this] { open_ambient_picker(); });
    });
    effects_ = new QButtonGroup(canvas_);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(canvas_);
        b->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        effects_->addButton(b, i);
        effect_buttons_[size_t(i)] = b;
    }
    QObject::connect(effects_, &QButtonGroup::idClicked, effects_,
                     [this](int tag) { ind::set_effect(indicator(), uint8_t(tag)); });
    swatch_ = new colour_swatch(canvas_);
    swatch_->setObjectName(QStringLiteral("Image1"));
    swatch_->on_click = [this](Qt::MouseButton b) {
        const std::shared_ptr<bool> alive = alive_;
        swatch_->pick(b, this->host().dialogs());
        // The colour dialog's event loop may end the connection, and this
        // page with it.
        if (!*alive) return;
        colour::to_triple(swatch_->colour(), indicator() + ind::off_colour);
    };
    save_button_ = new QPushButton(canvas_);
    save_button_->setObjectName(QStringLiteral("Button1"));
    QObject::connect(save_button_, &QPushButton::clicked, &deferred_, [this] { save(); });

    int y = px(gap * 2);
    auto place = [&](QWidget* w, int x, int wd, int h) {
        w->setGeometry(x, y, wd, h);
        y += h + px(gap);
    };
    place(labels_[0], px(left), width, px(label_height));
    icon_indicator_select_->place(px(left), y, px(240), px(strip_height));
    y += px(strip_height) + px(gap * 2);
    place(labels_[2], px(left), width, px(label_height));
    place(indicator_switch_, px(left), px(switch_width), px(row_height));
    place(labels_[1], px(left), width, px(label_height));
    disp_led_cfg_->setGeometry(px(left), y, width - px(button_width + gap), px(row_height));
    place(ambient_button_, px(left) + width - px(button_width), px(button_width), px(row_height));
    place(labels_[3], px(left), width, px(label_height));
    for (int i = 0; i < 4; ++i)
        effect_buttons_[size_t(i)]->setGeometry(px(left) + i * (width / 4), y, width / 4, px(row_height));
    y += px(row_height) + px(gap);
    swatch_->setGeometry(px(left), y, px(swatch_side), px(swatch_side));
    save_button_->setGeometry(px(left) + width - px(button_width), y, px(button_width), px(row_height));
    y += px(swatch_side);
    drawing_.set_scale(s);
    drawing_.set_origin(QPoint(0, y + keys_gap));
    drawing_.set_layout(host.records().kb_layout.data());
    drawing_.set_paint([this](key_picture& k, const layout::key_entry& e) { paint_key(k, e); });
    drawing_.set_click([this](key_picture& k, Qt::MouseButton b, QPoint) { key_clicked(k, b); });
    canvas_->setMinimumSize(px(left) * 2 + width, y + px(gap));
    for (QWidget* w : canvas_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->show();

    apply_texts();
    choose(0);
    draw_keys();
}

Tbkl_indicator_edit_frame::~Tbkl_indicator_edit_frame() {
    *alive_ = false;
    for (QLabel* l : labels_) delete l;
    delete icon_indicator_select_;
    delete indicator_switch_;
    delete disp_led_cfg_;
    for (QRadioButton* b : effect_buttons_) delete b;
    delete effects_;
    delete swatch_;
    delete save_button_;
    delete ambient_button_;
    canvas_->setMinimumSize(0, 0);
}

uint8_t* Tbkl_indicator_edit_frame::indicator() { return ind::at(host().records().lighting.data(), current_); }

// The drawing shows the default function layer, the one the read after
// connecting brought.
unsigned Tbkl_indicator_edit_frame::layer_shown() const {
    return const_cast<Tbkl_indicator_edit_frame*>(this)->host().records().layer_state[layer_state::off_default_flayer];
}

bool Tbkl_indicator_edit_frame::keys_drawable() const {
    keyboard_records& rec = const_cast<Tbkl_indicator_edit_frame*>(this)->host().records();
    const unsigned layer = layer_shown();
    return layout::present(rec.kb_layout.data()) && drawing_.layout_usable() && layer < record_size::flayer_count &&
           rec.flayer_loaded[layer];
}

void Tbkl_indicator_edit_frame::open(int) {
    icon_indicator_select_->set_selected(int(current_));
    show_indicator();
    draw_keys();
}

void Tbkl_indicator_edit_frame::record_arrived(uint32_t command, uint32_t) {
    if (command == cmd::read_flayer) draw_keys();
}

void Tbkl_indicator_edit_frame::apply_texts() {
    for (size_t i = 0; i < labels_.size(); ++i) {
        const QString t = host().lng(txt::indicator_labels[i].id, txt::indicator_labels[i].text);
        labels_[i]->setText(t);
        labels_[i]->setToolTip(t);
    }
    for (size_t i = 0; i < effect_buttons_.size(); ++i)
        effect_buttons_[i]->setText(host().lng(txt::indicator_effects[i].id, txt::indicator_effects[i].text));
    save_button_->setText(host().lng(txt::indicator_save.id, txt::indicator_save.text));
    save_button_->setToolTip(host().lng(txt::indicator_save_hint.id, txt::indicator_save_hint.text));
    ambient_button_->setText(host().lng(txt::indicator_pick_ambient.id, txt::indicator_pick_ambient.text));
    ambient_button_->setToolTip(host().lng(txt::indicator_pick_ambient_hint.id, txt::indicator_pick_ambient_hint.text));
    swatch_->setToolTip(host().lng(txt::indicator_swatch_hint.id, txt::indicator_swatch_hint.text));
    show_light_text();
}

void Tbkl_indicator_edit_frame::close_dialogs() {
    if (open_dialog_) open_dialog_->reject();
}

// ---------------------------------------------------------------- indicators

void Tbkl_indicator_edit_frame::choose(unsigned i) {
    if (i >= led::indicator_count) return;
    current_ = i;
    icon_indicator_select_->set_selected(int(i));
    show_indicator();
    draw_keys();
}

void Tbkl_indicator_edit_frame::show_indicator() {
    const uint8_t* d = indicator();
    indicator_switch_->setChecked(ind::on(d));
    show_light_text();
    // A stored effect beyond the four buttons checks none of them.
    const uint8_t effect = ind::effect(d);
    effects_->setExclusive(false);
    for (size_t b = 0; b < effect_buttons_.size(); ++b) effect_buttons_[b]->setChecked(b == effect);
    effects_->setExclusive(true);
    swatch_->set_colour(colour::from_triple(d + ind::off_colour));
}

void Tbkl_indicator_edit_frame::show_light_text() {
    const uint32_t w = ind::word(indicator());
    QString t;
    switch (ind::source_of(w)) {
    case ind::source_key: {
        const unsigned c = ind::column_of(w), r = ind::row_of(w);
        const layout::key_entry e = layout::read_key_entry(host().records().kb_layout.data(), c, r);
        t = txt::fill(host().lng(txt::indicator_key_light.id, txt::indicator_key_light.text),
                      {int64_t(c), int64_t(r), int64_t(e.key_id)});
        break;
    }
    case ind::source_matrix:
        t = txt::fill(host().lng(txt::indicator_matrix_light.id, txt::indicator_matrix_light.text),
                      {int64_t(ind::x_of(w)), int64_t(ind::y_of(w))});
        break;
    case ind::source_bead:
        t = txt::fill(host().lng(txt::indicator_bead_light.id, txt::indicator_bead_light.text),
                      {int64_t(ind::chain_of(w))});
        break;
    default: break;
    }
    disp_led_cfg_->setText(t);
}

// ---------------------------------------------------------------- keys

int Tbkl_indicator_edit_frame::highlighted_key_id() {
    const uint8_t* d = indicator();
    const uint32_t w = ind::word(d);
    if (!ind::on(d) || ind::source_of(w) != ind::source_key) return -1;
    const layout::key_entry e =
        layout::read_key_entry(host().records().kb_layout.data(), ind::column_of(w), ind::row_of(w));
    return e.key_id;
}

bool Tbkl_indicator_edit_frame::highlighted(const key_picture& k) const {
    return highlight_id_ >= 0 && int(k.key_id()) == highlight_id_;
}

void Tbkl_indicator_edit_frame::draw_keys() {
    if (!keys_drawable()) {
        drawing_.hide_all();
        return;
    }
    highlight_id_ = highlighted_key_id();
    drawing_.draw_all();
    const QSize extent = drawing_.extent();
    canvas_->setMinimumSize(canvas_->minimumSize().expandedTo(extent + QSize(gap, gap)));
}

void Tbkl_indicator_edit_frame::paint_key(key_picture& k, const layout::key_entry& e) {
    keyboard_records& rec = host().records();
    const uint8_t* slot = flayer::slot_code(rec.flayers[layer_shown()].data(), e.key_id, flayer::key_half::press);
    const uint8_t* release = slot ? slot + flayer::off_release : nullptr;
    const uint8_t* press = slot ? slot + flayer::off_press : nullptr;
    key_face face;
    face.key_id = e.key_id;
    face.upper = short_text(release);
    face.lower = short_text(press);
    if (highlight_id_ >= 0 && e.key_id == unsigned(highlight_id_)) face.plain_fill = highlight_fill;
    drawing_.paint_face(k, draw_style{}, face);
    if (slot)
        k.setToolTip(host().lng(600, "按键弹起：") +
                     QString::fromStdString(func_code_to_desc_str(host().texts(), fc_from(release), false)) +
                     QStringLiteral("\n") + host().lng(601, "按键按下：") +
                     QString::fromStdString(func_code_to_desc_str(host().texts(), fc_from(press), false)));
}

// A key becomes the indicator's light only while the indicator is on.
void Tbkl_indicator_edit_frame::key_clicked(key_picture& k, Qt::MouseButton) {
    uint8_t* d = indicator();
    if (!ind::on(d)) return;
    ind::set_word(d, ind::with_key(ind::word(d), k.column(), k.row()));
    show_light_text();
    // Redrawing replaces the pictures: the click's picture is not used
    // after this point.
    QTimer::singleShot(0, &deferred_, [this] { draw_keys(); });
}

// ---------------------------------------------------------------- ambient lights and saving

void Tbkl_indicator_edit_frame::open_ambient_picker() {
    if (host().closing() || open_dialog_) return;
    keyboard_records& rec = host().records();
    const std::shared_ptr<bool> alive = alive_;
    {
        page_host& h = host();
        Tuser_led_select dialog(rec.kb_layout.data(), rec.lighting.data(), current_,
                                [&h](uint32_t id, const char* def) { return h.lng(id, def); }, host().dialog_parent());
        dialog.move(QCursor::pos());
        open_dialog_ = &dialog;
        dialog.exec();
    }
    if (!*alive) return;
    show_light_text();
    draw_keys();
}

void Tbkl_indicator_edit_frame::save() {
    host().send_block(cmd::write_indicator_lights, uint8_t(current_),
                      host().records().lighting.data() + led::off_indicators, led::indicators_size, 0, true);
}

} // namespace qvk
