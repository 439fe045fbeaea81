#include "app/busy_indicator.h"

#include <QPainter>
#include <QtMath>

namespace qvk {

namespace {
constexpr int dot_count = 8;
constexpr int frame_ms = 90;
} // namespace

busy_indicator::busy_indicator(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    timer_.setInterval(frame_ms);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % dot_count;
        update();
    });
}

void busy_indicator::start() {
    if (!timer_.isActive()) timer_.start();
    update();
}

void busy_indicator::stop() {
    timer_.stop();
    update();
}

void busy_indicator::set_colour(const QColor& c) {
    colour_ = c;
    update();
}

void busy_indicator::paintEvent(QPaintEvent*) {
    if (!animating()) return; // a stopped indicator shows nothing
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    const qreal radius = qMin(width(), height()) * 0.36;
    const qreal dot = qMax<qreal>(2.0, qMin(width(), height()) * 0.09);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < dot_count; ++i) {
        const qreal angle = 2 * M_PI * i / dot_count - M_PI / 2;
        QColor c = colour_;
        // The dot at the head is solid, the tail fades.
        const int age = (step_ - i + dot_count) % dot_count;
        c.setAlphaF(1.0 - age / qreal(dot_count + 1));
        p.setBrush(c);
        p.drawEllipse(centre + QPointF(radius * qCos(angle), radius * qSin(angle)), dot, dot);
    }
}

} // namespace qvk
