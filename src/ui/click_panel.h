#pragma once
// A panel showing one line of text that reports which mouse button was
// pressed on it: the function boxes and key panels of the editors.

#include <QLabel>
#include <functional>

namespace qvk {

class click_panel final : public QLabel {
public:
    explicit click_panel(QWidget* parent = nullptr);
    std::function<void(Qt::MouseButton)> on_press;

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

} // namespace qvk
