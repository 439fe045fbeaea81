#include "app/device_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include "link/link_kind.h"

namespace qvk {

namespace {

// Every picture is drawn on a 128 x 96 design canvas and scaled.
constexpr qreal canvas_w = 128;
constexpr qreal canvas_h = 96;

struct ink {
    QColor body;
    QColor keys;
    QColor accent;
    QColor line;
};

ink colours(bool connected) {
    if (connected) return {QColor(0x1464BE), QColor(0xEAF2FB), QColor(0x06B025), QColor(0x0B3D75)};
    return {QColor(0x9AA0A6), QColor(0xF1F3F4), QColor(0x80868B), QColor(0x5F6368)};
}

void keyboard(QPainter& p, const ink& c, QRectF r) {
    p.setPen(QPen(c.line, 1.5));
    p.setBrush(c.body);
    p.drawRoundedRect(r, 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(c.keys);
    const int cols = 12;
    const qreal kw = (r.width() - 8) / cols;
    const qreal kh = (r.height() - 8) / 4;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < cols; ++col)
            p.drawRoundedRect(QRectF(r.left() + 4 + col * kw + 0.8, r.top() + 4 + row * kh + 0.8, kw - 1.6, kh - 1.6), 1, 1);
    // Space bar row.
    p.drawRoundedRect(QRectF(r.left() + 4 + 3 * kw + 0.8, r.top() + 4 + 3 * kh + 0.8, 6 * kw - 1.6, kh - 1.6), 1, 1);
}

void usb_plug(QPainter& p, const ink& c, QPointF top_centre, qreal w, qreal h) {
    p.setPen(QPen(c.line, 1.5));
    p.setBrush(c.keys);
    p.drawRect(QRectF(top_centre.x() - w / 2, top_centre.y(), w, h * 0.55));
    p.setBrush(c.body);
    p.drawRoundedRect(QRectF(top_centre.x() - w * 0.65, top_centre.y() + h * 0.55, w * 1.3, h * 0.45), 2, 2);
}

void chip(QPainter& p, const ink& c, QRectF r) {
    p.setPen(QPen(c.line, 2));
    const int pins = 5;
    for (int i = 0; i < pins; ++i) {
        const qreal x = r.left() + r.width() * (i + 0.5) / pins;
        const qreal y = r.top() + r.height() * (i + 0.5) / pins;
        p.drawLine(QPointF(x, r.top() - 6), QPointF(x, r.bottom() + 6));
        p.drawLine(QPointF(r.left() - 6, y), QPointF(r.right() + 6, y));
    }
    p.setPen(QPen(c.line, 1.5));
    p.setBrush(c.body);
    p.drawRoundedRect(r, 3, 3);
    // A download arrow: the bootloader takes new firmware.
    p.setPen(QPen(c.keys, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF m = r.center();
    p.drawLine(QPointF(m.x(), m.y() - r.height() * 0.25), QPointF(m.x(), m.y() + r.height() * 0.2));
    p.drawPolyline(QPolygonF({QPointF(m.x() - r.width() * 0.18, m.y()), QPointF(m.x(), m.y() + r.height() * 0.22),
                              QPointF(m.x() + r.width() * 0.18, m.y())}));
}

void radio_waves(QPainter& p, const ink& c, QPointF origin, qreal size) {
    p.setPen(QPen(c.accent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = size * i / 3;
        p.drawArc(QRectF(origin.x() - r, origin.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
}

void bluetooth_rune(QPainter& p, const ink& c, QRectF r) {
    p.setPen(Qt::NoPen);
    p.setBrush(c.accent);
    p.drawEllipse(r);
    const qreal x = r.center().x();
    const qreal t = r.top() + r.height() * 0.2;
    const qreal b = r.bottom() - r.height() * 0.2;
    const qreal dx = r.width() * 0.18;
    const qreal q1 = t + (b - t) * 0.25;
    const qreal q3 = t + (b - t) * 0.75;
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(x - dx, q1), QPointF(x + dx, q3), QPointF(x, b), QPointF(x, t),
                              QPointF(x + dx, q1), QPointF(x - dx, q3)}));
}

void dongle(QPainter& p, const ink& c, QRectF r) {
    p.setPen(QPen(c.line, 1.5));
    p.setBrush(c.keys);
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top(), r.width() * 0.6, r.height() * 0.3));
    p.setBrush(c.body);
    p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.3, r.width(), r.height() * 0.7), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(c.accent);
    p.drawEllipse(QPointF(r.center().x(), r.top() + r.height() * 0.75), 2.5, 2.5);
}

void connected_badge(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x06B025));
    p.drawEllipse(QRectF(104, 4, 20, 20));
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(109, 14), QPointF(113, 18), QPointF(119, 10)}));
}

} // namespace

QPixmap device_picture(uint32_t kind, bool connected, QSize size) {
    if (kind < kind_usb || kind > kind_rf_receiver || size.isEmpty()) return {};
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size.width() / canvas_w, size.height() / canvas_h);
    const ink c = colours(connected);
    switch (kind) {
    case kind_usb:
        keyboard(p, c, QRectF(8, 44, 112, 44));
        p.setPen(QPen(c.line, 2));
        p.drawLine(QPointF(64, 44), QPointF(64, 30));
        usb_plug(p, c, QPointF(64, 8), 14, 22);
        break;
    case kind_usb_boot:
        p.setPen(QPen(c.line, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(20, 30), QPointF(20, 54), QPointF(34, 54)}));
        chip(p, c, QRectF(40, 30, 48, 48));
        usb_plug(p, c, QPointF(20, 10), 12, 20);
        break;
    case kind_ble:
        keyboard(p, c, QRectF(8, 44, 112, 44));
        bluetooth_rune(p, c, QRectF(50, 6, 28, 34));
        break;
    case kind_rf_boot:
        chip(p, c, QRectF(40, 36, 48, 48));
        radio_waves(p, c, QPointF(64, 30), 24);
        break;
    case kind_rf_receiver:
        dongle(p, c, QRectF(52, 40, 24, 48));
        radio_waves(p, c, QPointF(64, 36), 30);
        break;
    default: break;
    }
    if (connected) connected_badge(p);
    return pm;
}

} // namespace qvk
