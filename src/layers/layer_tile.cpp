#include "layers/layer_tile.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace qvk {

namespace {
constexpr QRgb fill_closed = 0xBBBBBB;
constexpr QRgb fill_open = 0x73E199;
constexpr QRgb fill_default = 0xFF8040;
} // namespace

layer_tile::layer_tile(unsigned layer, QWidget* parent) : QWidget(parent), layer_(layer) {
    setObjectName(QStringLiteral("layer_tile_%1").arg(layer));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRgb layer_tile::fill_of(int state) {
    switch (state) {
    case 1: return fill_open;
    case 2: return fill_default;
    default: return fill_closed;
    }
}

void layer_tile::set_state(int state, const QString& hint) {
    state_ = state;
    setToolTip(hint);
    update();
}

void layer_tile::set_outline(QRgb colour) {
    if (outline_ == colour) return;
    outline_ = colour;
    update();
}

void layer_tile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height();
    p.fillRect(rect(), QColor(fill_of(state_)));
    p.setPen(QColor(outline_));
    p.drawRect(0, 0, w - 1, h - 1);
    p.setPen(QColor(inner_frame));
    p.drawRect(1, 1, w - 3, h - 3);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    const QString caption = QStringLiteral("L%1").arg(layer_);
    const QFontMetrics fm(f);
    const int tw = fm.horizontalAdvance(caption);
    const int th = fm.height();
    p.drawText(QRect((w - tw) / 2, (h - th) / 2, tw, th), Qt::AlignLeft | Qt::AlignTop, caption);
}

// What a press does may open a message box, and the link may be lost (and
// the strip with this tile torn down) while it is open; so the action runs
// once the press event is done with this tile. A tile destroyed before then
// drops it.
void layer_tile::mousePressEvent(QMouseEvent* e) {
    if (!on_press) return;
    const Qt::MouseButton button = e->button();
    QTimer::singleShot(0, this, [this, button] {
        if (!on_press) return;
        const auto act = on_press; // the tile may be gone when it returns
        act(layer_, button);
    });
}

void layer_tile::enterEvent(QEnterEvent*) {
    if (on_enter) on_enter(layer_);
}

void layer_tile::leaveEvent(QEvent*) {
    if (on_leave) on_leave(layer_);
}

layer_tile_row::layer_tile_row(QWidget* parent) {
    for (unsigned i = 0; i < count; ++i) {
        tiles_[i] = new layer_tile(i, parent);
        tiles_[i]->on_enter = [this](unsigned l) { entered(l); };
        tiles_[i]->on_leave = [this](unsigned) { left(); };
    }
}

void layer_tile_row::place(float s) {
    const int w = int(80 * s), h = int(24 * s), top = int(20 * s);
    for (unsigned i = 0; i < count; ++i)
        tiles_[i]->setGeometry(int(i) * w + int(12 * s) + int(12 * s * float(i)), top, w, h);
}

void layer_tile_row::set_on_press(const std::function<void(unsigned, Qt::MouseButton)>& f) {
    for (layer_tile* t : tiles_) t->on_press = f;
}

void layer_tile_row::entered(unsigned layer) {
    for (unsigned i = 0; i < count; ++i)
        if (i != layer && hovered_[i]) tiles_[i]->set_outline(layer_tile::outline_idle);
    hovered_[layer] = true;
    tiles_[layer]->set_outline(layer_tile::outline_hover);
}

void layer_tile_row::left() {
    for (unsigned i = 0; i < count; ++i) {
        if (!hovered_[i]) continue;
        tiles_[i]->set_outline(layer_tile::outline_idle);
        hovered_[i] = false;
    }
}

} // namespace qvk
