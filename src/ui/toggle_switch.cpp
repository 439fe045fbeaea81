#include "ui/toggle_switch.h"

#include <QPainter>

namespace qvk {

namespace {
constexpr QRgb track_on = 0x267397;
constexpr QRgb track_off = 0xBBBBBB;
} // namespace

toggle_switch::toggle_switch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
}

QSize toggle_switch::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(QStringLiteral("OFF")) + fm.height() * 2 + 8, fm.height() + 8};
}

void toggle_switch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = r.height() / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(isChecked() ? track_on : track_off));
    p.drawRoundedRect(r, radius, radius);
    const qreal knob = r.height() - 4;
    const qreal knob_x = isChecked() ? r.right() - knob - 2 : r.left() + 2;
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(knob_x, r.top() + 2, knob, knob));
    p.setPen(Qt::white);
    const QRectF text_area = isChecked() ? QRectF(r.left() + 4, r.top(), r.width() - knob - 8, r.height())
                                         : QRectF(r.left() + knob + 4, r.top(), r.width() - knob - 8, r.height());
    p.drawText(text_area, Qt::AlignCenter, isChecked() ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

} // namespace qvk
