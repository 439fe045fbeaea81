#include "layers/fl_edit_class.h"

#include <QPainter>
#include <QWidget>

#include "functions/func_description.h"
#include "functions/key_code_convert.h"
#include "functions/short_notation.h"
#include "ui/key_cap_pictures.h"
#include "layers/layer_texts.h"

namespace qvk {

namespace {

constexpr QRgb plain_fill = 0x6AB5FF;
constexpr QRgb plain_frame = 0x267397;
constexpr QRgb plain_text = 0xFFFFFF;
constexpr int line_margin = 5;
constexpr int key_id_margin = 4;
// Text sizes at scale 1, in pixels.
constexpr float function_text_px = 11.0f;
constexpr float key_id_text_px = 9.0f;

// Keys outside what a drawing can hold get no picture (and so no memory).
bool drawn(const layout::key_entry& e) { return e.is_key() && layout::key_fits_drawing(e); }

size_t slot_index(unsigned column, unsigned row) { return size_t(column) * layout::max_rows + row; }

QString short_text(const uint8_t* code) {
    return code ? QString::fromStdString(func_code_to_short_str(fc_from(code))) : QString();
}

} // namespace

fl_edit_class::fl_edit_class(QWidget* card, float dpi_scale, const key_code_convert& texts)
    : card_(card), dpi_scale_(dpi_scale), texts_(texts) {}

fl_edit_class::~fl_edit_class() {
    for (auto& k : keys_) delete k.data();
}

void fl_edit_class::set_layout(const uint8_t* kb_layout) { layout_ = kb_layout; }

void fl_edit_class::set_layer_buffers(std::array<flayer_bytes, 8>* layers, const std::array<bool, 8>* loaded,
                                      const unsigned* cur_flayer) {
    layers_ = layers;
    loaded_ = loaded;
    cur_flayer_ = cur_flayer;
}

void fl_edit_class::set_pictures(key_cap_pictures* pictures) { pictures_ = pictures; }

void fl_edit_class::set_draw_style(const draw_style& style) { style_ = style; }

void fl_edit_class::set_view_scale(int item) {
    if (item <= 0 || item >= int(std::size(item_scales)))
        view_scale_ = dpi_scale_;
    else
        view_scale_ = item_scales[item];
}

bool fl_edit_class::can_draw() const {
    if (!layout_ || !layers_ || !loaded_ || !cur_flayer_) return false;
    const unsigned c = layout_[layout::off_columns], r = layout_[layout::off_rows];
    if (c < 1 || c > layout::max_columns || r < 1 || r > layout::max_rows) return false;
    return *cur_flayer_ < 8 && (*loaded_)[*cur_flayer_];
}

void fl_edit_class::redraw() {
    if (!can_draw()) {
        // A layer the tool has not received cannot be shown, and the keys
        // of another layer must not stay on screen to be edited under its
        // name.
        if (shown_layer_ < 8) {
            for (auto& k : keys_)
                if (k) k->hide();
            shown_layer_ = 8;
        }
        return;
    }
    shown_layer_ = *cur_flayer_;
    const unsigned columns = layout_[layout::off_columns], rows = layout_[layout::off_rows];
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned c = 0; c < columns; ++c) {
            if (drawn(layout::read_key_entry(layout_, c, r)))
                draw_key(c, r);
            else
                delete keys_[slot_index(c, r)].data();
        }
    }
}

void fl_edit_class::draw_key(unsigned column, unsigned row) {
    if (!can_draw() || column >= layout::max_columns || row >= layout::max_rows) return;
    const layout::key_entry e = layout::read_key_entry(layout_, column, row);
    QPointer<key_picture>& k = keys_[slot_index(column, row)];
    if (!drawn(e)) {
        delete k.data();
        return;
    }
    if (!k) {
        k = new key_picture(column, row, card_);
        k->on_press = [this](key_picture& key, Qt::MouseButton b, QPoint at) { key_pressed(key, b, at); };
    }
    k->set_key_id(e.key_id);
    const float s = view_scale_;
    const int w = int(float(e.width) * s), h = int(float(e.height) * s);
    k->setGeometry(int(float(e.x) * s), int(float(e.y) * s) + top_offset_, w, h);
    paint_key(*k, e, flayer::slot_code((*layers_)[*cur_flayer_].data(), e.key_id, flayer::key_half::press));
    k->show();
    k->update();
}

// The slot pointer is null for a key ID beyond the layer's slots: such a
// key is drawn with its ID only.
void fl_edit_class::paint_key(key_picture& k, const layout::key_entry& e, const uint8_t* slot) {
    const int w = k.width(), h = k.height();
    QImage& img = k.image();
    if (img.size() != QSize(w, h)) img = QImage(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const float s = view_scale_;
    QFont id_font = card_->font();
    id_font.setBold(false);
    id_font.setPixelSize(std::max(1, int(key_id_text_px * s)));
    QFont text_font = card_->font();
    text_font.setPixelSize(std::max(1, int(function_text_px * s)));
    text_font.setBold(true);
    const QString id = QString::number(e.key_id);
    const QFontMetrics id_metrics(id_font);
    const int id_w = id_metrics.horizontalAdvance(id), id_h = id_metrics.height();

    const bool plain = style_.picture_index < 0 || !pictures_ ||
                       pictures_->picture(style_.picture_index).isNull();
    QRgb text_colour, id_colour, line_colour;
    int line_end;
    if (plain) {
        p.fillRect(0, 0, w, h, QColor(plain_fill));
        p.setPen(QPen(QColor(plain_frame), 1, Qt::SolidLine));
        p.drawRect(0, 0, w - 1, h - 1);
        text_colour = plain_text;
        id_colour = plain_frame;
        line_colour = plain_frame;
        line_end = w - line_margin;
    } else {
        p.drawImage(0, 0, pictures_->scaled(style_.picture_index, w, h));
        text_colour = style_.text_colour;
        id_colour = style_.key_id_colour;
        line_colour = style_.line_colour;
        line_end = w - id_w - line_margin;
    }
    p.setPen(QPen(QColor(line_colour), 1, Qt::DotLine));
    p.drawLine(line_margin, h / 2, line_end, h / 2);
    p.setFont(id_font);
    p.setPen(QColor(id_colour));
    p.drawText(QRect(w - id_w - key_id_margin, (h - id_h) / 2, id_w, id_h), Qt::AlignLeft | Qt::AlignTop, id);

    const uint8_t* release = slot ? slot + flayer::off_release : nullptr;
    const uint8_t* press = slot ? slot + flayer::off_press : nullptr;
    p.setFont(text_font);
    p.setPen(QColor(text_colour));
    const QFontMetrics tm(text_font);
    const int th = tm.height();
    auto centred = [&](const QString& t, int top) {
        const int tw = tm.horizontalAdvance(t);
        p.drawText(QRect((w - tw) / 2, top, tw, th), Qt::AlignLeft | Qt::AlignTop, t);
    };
    centred(short_text(release), (h / 2 - th) / 2);
    centred(short_text(press), h / 2 + (h / 2 - th) / 2);
    p.end();

    if (slot) {
        k.setToolTip(layer_text(texts_, 600, "按键弹起：") +
                     QString::fromStdString(func_code_to_desc_str(texts_, fc_from(release), false)) +
                     QStringLiteral("\n") + layer_text(texts_, 601, "按键按下：") +
                     QString::fromStdString(func_code_to_desc_str(texts_, fc_from(press), false)));
    } else {
        k.setToolTip(QString());
    }
}

void fl_edit_class::key_pressed(key_picture& k, Qt::MouseButton button, QPoint at) {
    if (!can_draw() || shown_layer_ >= 8) return;
    const bool press_half = at.y() >= k.height() / 2;
    uint8_t* code = flayer::slot_code((*layers_)[shown_layer_].data(), k.key_id(),
                                      press_half ? flayer::key_half::press : flayer::key_half::release);
    // A key whose ID names no slot has nothing to edit.
    if (!code) return;
    if (button == Qt::RightButton)
        flayer::clear_code(code);
    else if (button == Qt::MiddleButton)
        flayer::disable_code(code);
    const unsigned column = k.column(), row = k.row();
    if (key_click_) key_click_(button, shown_layer_, k.key_id(), press_half, column, row);
    draw_key(column, row);
}

key_picture* fl_edit_class::picture_at(unsigned column, unsigned row) const {
    return column < layout::max_columns && row < layout::max_rows ? keys_[slot_index(column, row)].data() : nullptr;
}

QSize fl_edit_class::extent() const {
    int right = 0, bottom = 0;
    for (const auto& k : keys_) {
        if (!k || k->isHidden()) continue;
        right = std::max(right, k->geometry().right() + 1);
        bottom = std::max(bottom, k->geometry().bottom() + 1);
    }
    return {right, bottom};
}

} // namespace qvk
