#pragma once
// A strip of numbered or named cells of equal width, one of them selected
// (effects, groups, pictures, indicators, data formats). The strip is
// resized to a whole number of cells; a left click strictly inside a cell
// other than the selected one is reported, and the page decides whether to
// select it. Cells fill the strip, or lie in two rows, or only in the upper
// half with the lower half drawn by the page.

#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

namespace qvk {

class selector_strip final : public QWidget {
public:
    enum class arrangement { one_row, two_rows, upper_half };

    explicit selector_strip(QWidget* parent = nullptr);

    // Labels of the cells (the first half in the upper row for two_rows).
    void set_cells(const QStringList& labels, arrangement a = arrangement::one_row);
    // Places the strip; its width becomes cells x cell width + 4.
    void place(int x, int y, int width, int height);
    void set_selected(int cell);
    int selected() const { return selected_; }
    void set_cell_colour(QRgb colour);           // every cell not selected
    void set_cell_colour(int cell, QRgb colour); // one cell
    int cell_count() const { return int(labels_.size()); }
    int cell_width() const { return cell_w_; }
    // The cell a point falls in; -1 for boundaries, margins and the lower
    // half of an upper_half strip.
    int cell_at(QPoint p) const;
    // The rectangle cell i is drawn in.
    QRect cell_rect(int cell) const;

    // A left click on a cell other than the selected one.
    std::function<void(int cell)> on_select;
    // Draws the lower half of an upper_half strip.
    std::function<void(QPainter&, const QRect& lower_half)> paint_lower;

    static constexpr QRgb background = 0x06B025;
    static constexpr QRgb frame = 0xBCBCBC;
    static constexpr QRgb selected_fill = 0xFF8C1A;
    static constexpr QRgb selected_pen = 0xECEC00;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    int per_row() const;

    QStringList labels_;
    arrangement arrangement_ = arrangement::one_row;
    std::vector<QRgb> colours_;
    int selected_ = -1;
    int cell_w_ = 0;
};

} // namespace qvk
