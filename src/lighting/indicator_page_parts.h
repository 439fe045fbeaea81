#pragma once
// What both indicator pages open with: their four word-wrapped labels and
// the NUM / CAPS / SCROLL strip that chooses the indicator shown.

#include <QLabel>
#include <array>
#include <functional>

#include "ui/selector_strip.h"

namespace qvk {

inline void make_indicator_labels(std::array<QLabel*, 4>& labels, QWidget* parent) {
    for (size_t i = 0; i < labels.size(); ++i) {
        labels[i] = new QLabel(parent);
        labels[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        labels[i]->setWordWrap(true);
    }
}

inline selector_strip* make_indicator_strip(QWidget* parent, QRgb cell_colour, std::function<void(int)> on_select) {
    auto* strip = new selector_strip(parent);
    strip->setObjectName(QStringLiteral("icon_indicator_select"));
    strip->set_cells({QStringLiteral("NUM"), QStringLiteral("CAPS"), QStringLiteral("SCROLL")});
    strip->set_cell_colour(cell_colour);
    strip->on_select = std::move(on_select);
    return strip;
}

} // namespace qvk
