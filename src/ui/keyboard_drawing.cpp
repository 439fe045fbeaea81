#include "ui/keyboard_drawing.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "ui/key_cap_pictures.h"

namespace qvk {

namespace {

constexpr int line_margin = 5;
constexpr int key_id_margin = 4;
// Text sizes at scale 1, in pixels.
constexpr float function_text_px = 11.0f;
constexpr float key_id_text_px = 9.0f;

size_t slot_index(unsigned column, unsigned row) { return size_t(column) * layout::max_rows + row; }

} // namespace

keyboard_drawing::keyboard_drawing(QWidget* parent, key_filter shows) : parent_(parent), shows_(shows) {}

keyboard_drawing::~keyboard_drawing() {
    for (auto& k : keys_) delete k.data();
}

void keyboard_drawing::set_click(click_callback cb, bool on_release) {
    click_ = std::move(cb);
    click_on_release_ = on_release;
}

bool keyboard_drawing::layout_usable() const {
    if (!layout_) return false;
    const unsigned c = layout_[layout::off_columns], r = layout_[layout::off_rows];
    return c >= 1 && c <= layout::max_columns && r >= 1 && r <= layout::max_rows;
}

void keyboard_drawing::hide_all() {
    for (auto& k : keys_)
        if (k) k->hide();
}

void keyboard_drawing::draw_all() {
    if (!layout_usable()) {
        hide_all();
        return;
    }
    const unsigned columns = layout_[layout::off_columns], rows = layout_[layout::off_rows];
    for (unsigned r = 0; r < rows; ++r)
        for (unsigned c = 0; c < columns; ++c) draw_key(c, r);
}

bool keyboard_drawing::draw_key(unsigned column, unsigned row) {
    if (!layout_usable() || column >= layout::max_columns || row >= layout::max_rows) return false;
    QPointer<key_picture>& k = keys_[slot_index(column, row)];
    const layout::key_entry e = layout::read_key_entry(layout_, column, row);
    if (!shows(e)) {
        delete k.data();
        return false;
    }
    if (!k) {
        k = new key_picture(column, row, parent_);
        auto report = [this](key_picture& key, Qt::MouseButton b, QPoint at) {
            if (click_) click_(key, b, at);
        };
        (click_on_release_ ? k->on_release : k->on_press) = report;
    }
    k->set_key_id(e.key_id);
    const float s = scale_;
    k->setGeometry(origin_.x() + int(float(e.x) * s), origin_.y() + int(float(e.y) * s), int(float(e.width) * s),
                   int(float(e.height) * s));
    if (paint_) paint_(*k, e);
    k->show();
    k->update();
    return true;
}

key_picture* keyboard_drawing::picture_at(unsigned column, unsigned row) const {
    return column < layout::max_columns && row < layout::max_rows ? keys_[slot_index(column, row)].data() : nullptr;
}

QSize keyboard_drawing::extent() const {
    int right = 0, bottom = 0;
    for (const auto& k : keys_) {
        if (!k || k->isHidden()) continue;
        right = std::max(right, k->geometry().right() + 1);
        bottom = std::max(bottom, k->geometry().bottom() + 1);
    }
    return {right, bottom};
}

void keyboard_drawing::paint_face(key_picture& k, const draw_style& style, const key_face& face) const {
    const int w = k.width(), h = k.height();
    QImage& img = k.image();
    if (img.size() != QSize(std::max(w, 1), std::max(h, 1)))
        img = QImage(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const float s = scale_;
    QFont id_font = parent_->font();
    id_font.setBold(false);
    id_font.setPixelSize(std::max(1, int(key_id_text_px * s)));
    QFont text_font = parent_->font();
    text_font.setPixelSize(std::max(1, int(function_text_px * s)));
    text_font.setBold(true);
    const QString id = QString::number(face.key_id);
    const QFontMetrics id_metrics(id_font);
    const int id_w = id_metrics.horizontalAdvance(id), id_h = id_metrics.height();

    const bool plain =
        style.picture_index < 0 || !pictures_ || pictures_->picture(style.picture_index).isNull();
    QRgb text_colour, id_colour, line_colour;
    int line_end;
    if (plain) {
        p.fillRect(0, 0, w, h, QColor(face.plain_fill.value_or(plain_fill)));
        p.setPen(QPen(QColor(plain_frame), 1, Qt::SolidLine));
        p.drawRect(0, 0, w - 1, h - 1);
        text_colour = plain_text;
        id_colour = plain_frame;
        line_colour = plain_frame;
        line_end = w - line_margin;
    } else {
        p.drawImage(0, 0, pictures_->scaled(style.picture_index, w, h));
        text_colour = style.text_colour;
        id_colour = style.key_id_colour;
        line_colour = style.line_colour;
        line_end = w - id_w - line_margin;
    }
    p.setPen(QPen(QColor(line_colour), 1, Qt::DotLine));
    p.drawLine(line_margin, h / 2, line_end, h / 2);
    p.setFont(id_font);
    p.setPen(QColor(id_colour));
    p.drawText(QRect(w - id_w - key_id_margin, (h - id_h) / 2, id_w, id_h), Qt::AlignLeft | Qt::AlignTop, id);

    p.setFont(text_font);
    p.setPen(QColor(text_colour));
    const QFontMetrics tm(text_font);
    const int th = tm.height();
    auto centred = [&](const QString& t, int top) {
        const int tw = tm.horizontalAdvance(t);
        p.drawText(QRect((w - tw) / 2, top, tw, th), Qt::AlignLeft | Qt::AlignTop, t);
    };
    centred(face.upper, (h / 2 - th) / 2);
    centred(face.lower, h / 2 + (h / 2 - th) / 2);
}

} // namespace qvk
