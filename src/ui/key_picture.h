#pragma once
// One key of a keyboard drawing: a picture the page renders into, which
// remembers the matrix position and key ID it shows and reports mouse
// presses and releases on it.

#include <QImage>
#include <QWidget>
#include <functional>

namespace qvk {

class key_picture final : public QWidget {
public:
    key_picture(unsigned column, unsigned row, QWidget* parent);

    unsigned column() const { return column_; }
    unsigned row() const { return row_; }
    unsigned key_id() const { return key_id_; }
    void set_key_id(unsigned id) { key_id_ = id; }

    // The picture shown; the page paints into it and calls update().
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

    // Button and point of a press, in the picture's own coordinates.
    std::function<void(key_picture&, Qt::MouseButton, QPoint)> on_press;
    // Button and point of a release, for clicks that act when the button
    // comes up.
    std::function<void(key_picture&, Qt::MouseButton, QPoint)> on_release;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    unsigned column_, row_;
    unsigned key_id_ = 0;
    QImage image_;
};

} // namespace qvk
