#include "ui/selector_strip.h"

#include <QMouseEvent>
#include <QPainter>

namespace qvk {

namespace {
constexpr int margin = 2;
} // namespace

selector_strip::selector_strip(QWidget* parent) : QWidget(parent) {}

int selector_strip::per_row() const {
    const int n = cell_count();
    return arrangement_ == arrangement::two_rows ? (n + 1) / 2 : n;
}

void selector_strip::set_cells(const QStringList& labels, arrangement a) {
    labels_ = labels;
    arrangement_ = a;
    colours_.assign(size_t(labels.size()), background);
    if (selected_ >= cell_count()) selected_ = -1;
    if (width() > 0) place(x(), y(), width(), height());
    update();
}

void selector_strip::place(int x, int y, int width, int height) {
    const int n = per_row();
    cell_w_ = n > 0 ? std::max(0, (width - 2 * margin) / n) : 0;
    setGeometry(x, y, n > 0 ? n * cell_w_ + 2 * margin : width, height);
    update();
}

void selector_strip::set_selected(int cell) {
    selected_ = cell;
    update();
}

void selector_strip::set_cell_colour(QRgb colour) {
    colours_.assign(colours_.size(), colour);
    update();
}

void selector_strip::set_cell_colour(int cell, QRgb colour) {
    if (cell >= 0 && cell < int(colours_.size())) colours_[size_t(cell)] = colour;
    update();
}

QRect selector_strip::cell_rect(int cell) const {
    const int n = per_row();
    if (cell < 0 || cell >= cell_count() || n == 0) return {};
    const int h = height();
    const int row = cell / n, column = cell % n;
    int top = margin, bottom = h - margin;
    if (arrangement_ == arrangement::upper_half) bottom = h / 2 - margin;
    if (arrangement_ == arrangement::two_rows) {
        top = row * (h / 2) + margin;
        bottom = (row + 1) * (h / 2) - margin;
    }
    return QRect(QPoint(margin + column * cell_w_, top), QPoint(margin + (column + 1) * cell_w_, bottom));
}

int selector_strip::cell_at(QPoint p) const {
    const int n = per_row();
    if (n == 0 || cell_w_ == 0 || p.x() < margin || p.x() > width() - margin) return -1;
    if (arrangement_ == arrangement::upper_half && p.y() > height() / 2 - margin) return -1;
    const int column = (p.x() - margin) / cell_w_;
    // A pixel on a boundary belongs to no cell.
    if ((p.x() - margin) % cell_w_ == 0 || column >= n) return -1;
    const int row = arrangement_ == arrangement::two_rows && p.y() > height() / 2 ? 1 : 0;
    const int cell = row * n + column;
    return cell < cell_count() ? cell : -1;
}

void selector_strip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(frame));
    p.setBrush(QColor(background));
    p.drawRect(0, 0, width() - 1, height() - 1);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    for (int i = 0; i < cell_count(); ++i) {
        const QRect r = cell_rect(i);
        const bool sel = i == selected_;
        p.setPen(QColor(sel ? selected_pen : frame));
        p.setBrush(QColor(sel ? selected_fill : colours_[size_t(i)]));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, labels_[i]);
    }
    if (arrangement_ == arrangement::upper_half && paint_lower)
        paint_lower(p, QRect(QPoint(margin, height() / 2), QPoint(width() - margin, height() - margin)));
}

void selector_strip::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const int cell = cell_at(e->position().toPoint());
    if (cell < 0 || cell == selected_) return;
    if (on_select) on_select(cell);
}

} // namespace qvk
