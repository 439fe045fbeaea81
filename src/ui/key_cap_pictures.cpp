#include "ui/key_cap_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qvk {

namespace {

struct cap_colours {
    QRgb rim_dark, rim_light, top_edge, top_centre, top_far;
};

// A key cap seen from above: a rounded rim shaded from light (top) to dark
// (bottom) and the dished top face, set a little towards the top as on a
// real cap.
QImage draw_cap(const cap_colours& c) {
    QImage img(key_cap_pictures::width, key_cap_pictures::height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(1.5, 1.5, key_cap_pictures::width - 3.0, key_cap_pictures::height - 3.0);
    QLinearGradient rim(outer.topLeft(), outer.bottomLeft());
    rim.setColorAt(0, QColor(c.rim_light));
    rim.setColorAt(1, QColor(c.rim_dark));
    p.setPen(QPen(QColor(c.rim_dark).darker(115), 1.5));
    p.setBrush(rim);
    p.drawRoundedRect(outer, 9, 9);
    const QRectF top(outer.left() + 8, outer.top() + 5, outer.width() - 16, outer.height() - 17);
    QLinearGradient face(top.topLeft(), top.bottomRight());
    face.setColorAt(0, QColor(c.top_edge));
    face.setColorAt(0.5, QColor(c.top_centre));
    face.setColorAt(1, QColor(c.top_far));
    p.setPen(QPen(QColor(c.top_edge).darker(108), 1));
    p.setBrush(face);
    p.drawRoundedRect(top, 7, 7);
    return img;
}

} // namespace

key_cap_pictures::key_cap_pictures() {
    pictures_[0] = draw_cap({0x9A9A9A, 0xD2D2D2, 0xFFFFFF, 0xF7F7F7, 0xE6E6E6});
    pictures_[1] = draw_cap({0x1E7A3A, 0x3FA85C, 0x5ED37E, 0x45BF66, 0x33A552});
}

const QImage& key_cap_pictures::picture(int index) const {
    return index >= 0 && index < count ? pictures_[index] : none_;
}

const QImage& key_cap_pictures::scaled(int index, int w, int h) {
    if (index < 0 || index >= count || w <= 0 || h <= 0) return none_;
    auto key = std::make_tuple(index, w, h);
    auto it = scaled_.find(key);
    if (it == scaled_.end())
        it = scaled_.emplace(key, pictures_[index].scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))
                 .first;
    return it->second;
}

} // namespace qvk
