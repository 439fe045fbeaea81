#include "ui/key_picture.h"

#include <QMouseEvent>
#include <QPainter>

namespace qvk {

key_picture::key_picture(unsigned column, unsigned row, QWidget* parent)
    : QWidget(parent), column_(column), row_(row) {
    setObjectName(QStringLiteral("key_%1_%2").arg(column).arg(row));
}

void key_picture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void key_picture::mousePressEvent(QMouseEvent* e) {
    if (on_press) on_press(*this, e->button(), e->position().toPoint());
}

void key_picture::mouseReleaseEvent(QMouseEvent* e) {
    if (on_release) on_release(*this, e->button(), e->position().toPoint());
}

} // namespace qvk
