#pragma once
// A panel that shows a function's description and reports mouse presses on
// it (the indicator-actions page's light-up and go-out panels).

#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace qvk {

class function_panel final : public QLabel {
public:
    explicit function_panel(QWidget* parent) : QLabel(parent) {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(0xFF8C1A));
        p.setColor(QPalette::WindowText, Qt::white);
        setPalette(p);
        QFont f = font();
        f.setBold(true);
        setFont(f);
        setAlignment(Qt::AlignCenter);
        setWordWrap(true);
    }
    std::function<void(Qt::MouseButton)> on_press;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (on_press) on_press(e->button());
    }
};

} // namespace qvk
