#include "ui/master_switch.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace qvk {

master_switch::master_switch(QWidget* parent) : QWidget(parent) { setCursor(Qt::PointingHandCursor); }

void master_switch::set_on(bool on) {
    on_ = on;
    update();
}

void master_switch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int h = height(), w = width();
    const int track_w = std::min(w, h * 2);
    const QRectF track(0.5, 0.5, track_w - 1, h - 1);
    const QColor track_colour = !isEnabled() ? QColor(0xDDDDDD) : QColor(on_ ? on_colour : off_colour);
    p.setPen(Qt::NoPen);
    p.setBrush(track_colour);
    p.drawRoundedRect(track, h / 2.0, h / 2.0);
    const double knob = h - 4;
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(on_ ? track_w - 2 - knob : 2, 2, knob, knob));
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(isEnabled() ? palette().windowText().color() : QColor(0x9A9A9A));
    p.drawText(QRect(track_w + 6, 0, std::max(0, w - track_w - 6), h), Qt::AlignVCenter | Qt::AlignLeft,
               on_ ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

void master_switch::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !isEnabled()) return;
    on_ = !on_;
    update();
    if (on_toggle) on_toggle(on_);
}

void master_switch::changeEvent(QEvent* e) {
    if (e->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(e);
}

} // namespace qvk
