#include "ui/colour_swatch.h"

#include <QMouseEvent>
#include <QPainter>

#include "lighting/colour.h"
#include "ui/dialogs.h"

namespace qvk {

colour_swatch::colour_swatch(QWidget* parent) : QWidget(parent) {}

void colour_swatch::set_colour(QRgb rrggbb) {
    colour_ = rrggbb & 0xFFFFFF;
    update();
}

bool colour_swatch::pick(Qt::MouseButton button, dialog_service& dialogs) {
    if (button == Qt::LeftButton) {
        if (const auto c = dialogs.pick_colour(QColor(colour_))) set_colour(c->rgb());
        return true;
    }
    if (button == Qt::RightButton) {
        set_colour(colour::random_colour());
        return true;
    }
    return false;
}

void colour_swatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(QColor(colour_));
    p.drawRect(0, 0, width() - 1, height() - 1);
}

void colour_swatch::mousePressEvent(QMouseEvent* e) {
    if (on_click) on_click(e->button());
}

colour_palette::colour_palette(int count, int side, int gap, QWidget* parent) : QWidget(parent) {
    for (int i = 0; i < count; ++i) {
        auto* s = new colour_swatch(this);
        s->setObjectName(QStringLiteral("icon_c%1").arg(i));
        s->setGeometry(i * (side + gap), 0, side, side);
        s->on_click = [this, i](Qt::MouseButton b) {
            if (on_click) on_click(i, b);
        };
        swatches_.push_back(s);
    }
    resize(count > 0 ? count * (side + gap) - gap : 0, side);
}

colour_swatch* colour_palette::swatch(int i) const {
    return i >= 0 && i < count() ? swatches_[size_t(i)] : nullptr;
}

void colour_palette::randomise() {
    for (colour_swatch* s : swatches_) s->set_colour(colour::random_colour());
}

} // namespace qvk
