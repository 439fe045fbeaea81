#include "ui/click_panel.h"

#include <QMouseEvent>

namespace qvk {

click_panel::click_panel(QWidget* parent) : QLabel(parent) {}

void click_panel::mousePressEvent(QMouseEvent* e) {
    if (on_press) {
        const auto act = on_press; // the handler may rebuild the panel's page
        act(e->button());
    }
}

} // namespace qvk
