#pragma once
// One tile of a layer strip: a small drawn picture of a layer ("L0".."L7")
// whose fill says the layer's state, with an outline that turns red while
// the mouse is over it.

#include <QColor>
#include <QWidget>
#include <functional>

namespace qvk {

class layer_tile final : public QWidget {
public:
    layer_tile(unsigned layer, QWidget* parent);

    unsigned layer() const { return layer_; }
    int state() const { return state_; }
    // Redraws the tile in state 0 (closed / not active), 1 (open / active)
    // or 2 (default layer) with the hint of that state.
    void set_state(int state, const QString& hint);
    void set_outline(QRgb colour);
    QRgb outline() const { return outline_; }

    std::function<void(unsigned layer, Qt::MouseButton)> on_press;
    std::function<void(unsigned layer)> on_enter;
    std::function<void(unsigned layer)> on_leave;

    static QRgb fill_of(int state);
    static constexpr QRgb outline_idle = 0xECEC00;
    static constexpr QRgb outline_hover = 0xFF0000;
    static constexpr QRgb inner_frame = 0x267397;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    unsigned layer_;
    int state_ = 0;
    QRgb outline_ = outline_idle;
};

// The eight tiles of a strip and their hover flags: the tile under the
// mouse is outlined in red, every tile the mouse has been over since it
// last left the row in the idle colour.
class layer_tile_row {
public:
    static constexpr unsigned count = 8;

    explicit layer_tile_row(QWidget* parent);
    layer_tile* tile(unsigned i) const { return i < count ? tiles_[i] : nullptr; }
    // Tile i: width 80*s, height 24*s, top 20*s, left i*W + 12*s*(i + 1).
    void place(float scale);
    void set_on_press(const std::function<void(unsigned, Qt::MouseButton)>& f);

private:
    void entered(unsigned layer);
    void left();

    layer_tile* tiles_[count]{};
    bool hovered_[count]{};
};

} // namespace qvk
