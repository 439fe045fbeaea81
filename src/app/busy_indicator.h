#pragma once
// The activity indicator of the title bar: a ring of dots that turns while
// the tool talks to the keyboard.

#include <QColor>
#include <QTimer>
#include <QWidget>

namespace qvk {

class busy_indicator final : public QWidget {
    Q_OBJECT
public:
    explicit busy_indicator(QWidget* parent = nullptr);
    void start();
    void stop();
    bool animating() const { return timer_.isActive(); }
    void set_colour(const QColor& c);
    QColor colour() const { return colour_; }
    QSize sizeHint() const override { return {32, 32}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QTimer timer_;
    QColor colour_{Qt::white};
    int step_ = 0;
};

} // namespace qvk
