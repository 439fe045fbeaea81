#include "ui/value_bar.h"

#include <QMouseEvent>
#include <QPainter>

namespace qvk {

namespace {
constexpr int margin = 2;
} // namespace

value_bar::value_bar(QWidget* parent) : QWidget(parent) {}

void value_bar::set_fill(int fill) {
    fill_ = fill;
    update();
}

void value_bar::set_fill_colour(QRgb colour) {
    fill_colour_ = colour;
    update();
}

void value_bar::set_text(const QString& text) {
    text_ = text;
    update();
}

void value_bar::set_active(bool active) {
    active_ = active;
    if (!active) armed_ = false;
    update();
}

void value_bar::set_text_colour_over_fill(std::optional<QRgb> colour) {
    text_over_fill_ = colour;
    update();
}

QFont value_bar::text_font() const {
    QFont f = font();
    f.setBold(true);
    return f;
}

QRgb value_bar::text_colour() const {
    if (!active_) return inactive_text;
    if (text_over_fill_) {
        const int text_w = QFontMetrics(text_font()).horizontalAdvance(text_);
        if (fill_ >= (width() - text_w) / 2) return *text_over_fill_;
    }
    return 0xFFFFFF;
}

void value_bar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(frame));
    p.setBrush(QColor(background));
    p.drawRect(0, 0, width() - 1, height() - 1);
    const QRect inner(QPoint(margin, margin), QPoint(width() - margin - 1, height() - margin - 1));
    if (!active_) {
        p.fillRect(inner, QColor(inactive_fill));
    } else if (fill_ >= margin) {
        p.fillRect(QRect(QPoint(margin, margin), QPoint(std::min(fill_, width() - margin) - 1, height() - margin - 1)),
                   QColor(fill_colour_));
    }
    p.setFont(text_font());
    p.setPen(QColor(text_colour()));
    p.drawText(rect(), Qt::AlignCenter, text_);
}

void value_bar::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !active_) return;
    const int x = int(e->position().x());
    armed_ = on_press ? on_press(x) : false;
}

void value_bar::mouseMoveEvent(QMouseEvent* e) {
    if (armed_ && on_drag) on_drag(int(e->position().x()));
}

void value_bar::mouseReleaseEvent(QMouseEvent* e) {
    if (!armed_) return;
    armed_ = false;
    if (on_release) on_release(e->button(), int(e->position().x()));
}

} // namespace qvk
