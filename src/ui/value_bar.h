#pragma once
// A drawn bar that shows a value as a filled part and a centred bold text
// (brightness, speed, gains). A left press arms it when the page accepts the
// press; moving while armed reports the pointer, and the release disarms it.
// The page maps the pointer to its value and sets the fill and the text.

#include <QWidget>
#include <functional>
#include <optional>

namespace qvk {

class value_bar final : public QWidget {
public:
    explicit value_bar(QWidget* parent = nullptr);

    // Right edge of the filled part (the fill spans x = 2 .. fill).
    void set_fill(int fill);
    int fill() const { return fill_; }
    void set_fill_colour(QRgb colour);
    void set_text(const QString& text);
    QString text() const { return text_; }
    // A bar that cannot be adjusted: grey inner area, grey text.
    void set_active(bool active);
    bool active() const { return active_; }
    // The text's colour once the fill reaches the text (white otherwise).
    void set_text_colour_over_fill(std::optional<QRgb> colour);
    bool armed() const { return armed_; }
    // The colour the text is drawn in now.
    QRgb text_colour() const;

    // Left press at x: true arms the bar.
    std::function<bool(int x)> on_press;
    // Pointer moved to x while armed.
    std::function<void(int x)> on_drag;
    // A button released while armed (the bar is disarmed first).
    std::function<void(Qt::MouseButton, int x)> on_release;

    static constexpr QRgb background = 0x06B025;
    static constexpr QRgb frame = 0xBCBCBC;
    static constexpr QRgb default_fill = 0xFF8C1A;
    static constexpr QRgb inactive_fill = 0xBCBCBC;
    static constexpr QRgb inactive_text = 0x464646;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QFont text_font() const;

    int fill_ = 0;
    QRgb fill_colour_ = default_fill;
    QString text_;
    bool active_ = true;
    bool armed_ = false;
    std::optional<QRgb> text_over_fill_;
};

} // namespace qvk
