#pragma once
// The full virtual keyboard connected and read, for the lighting pages'
// window tests: opening a page, driving the drawn controls as a mouse does,
// and the messages the keyboard took since a point.

#include <QMouseEvent>
#include <QTest>

#include "link/command_catalogue.h"
#include "link/link_kind.h"
#include "sim/virtual_keyboard.h"
#include "window_fixture.h"

namespace qvk::testing {

using bytes = std::vector<uint8_t>;

class lighting_window : public window_test {
protected:
    // Connects the virtual keyboard, its records replaced where given, and
    // waits until the read after connecting is over.
    Tmain_form& open_board(const bytes& lighting = {}, const bytes& layout = {}, const bytes& actions = {},
                           uint32_t kind = kind_usb) {
        kb_ = add_keyboard(kind);
        if (!lighting.empty()) {
            EXPECT_TRUE(kb_->set_record(cmd::read_lighting, 0, lighting));
        }
        if (!layout.empty()) {
            EXPECT_TRUE(kb_->set_record(cmd::read_layout, 0, layout));
        }
        if (!actions.empty()) {
            EXPECT_TRUE(kb_->set_record(cmd::read_indicator_actions, 0, actions));
        }
        Tmain_form& w = open_window();
        w.show();
        detect_and_probe();
        EXPECT_FALSE(w.connect_device(0));
        EXPECT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy(); }));
        // The battery request that ends the read.
        EXPECT_TRUE(wait_until([&] { return !kb_->messages_of(cmd::read_battery).empty() && !w.is_busy(); }));
        kb_->clear_messages();
        return w;
    }
    // Waits until the keyboard took n messages and the window is idle.
    bool wait_messages(Tmain_form& w, size_t n) {
        return wait_until([&] { return kb_->messages().size() >= n && !w.is_busy(); });
    }
    // Lets the window take everything the keyboard sent (notifications).
    static void settle(int ms = 100) {
        wait_until([] { return false; }, std::chrono::milliseconds(ms));
    }

    std::shared_ptr<sim::virtual_keyboard> kb_;
};

// A short command as the keyboard took it.
struct taken {
    uint8_t command;
    uint32_t sub;
    uint16_t value16;
    bool operator==(const taken&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const taken& t) {
    return o << "{" << int(t.command) << ", " << t.sub << ", " << t.value16 << "}";
}
inline std::vector<taken> short_commands(const std::vector<sim::host_message>& ms) {
    std::vector<taken> out;
    for (const auto& m : ms) {
        EXPECT_FALSE(m.block) << "command " << int(m.command);
        EXPECT_EQ(m.value32, 0u) << "command " << int(m.command);
        out.push_back({m.command, m.sub, m.value16});
    }
    return out;
}

// A mouse drag on a drawn control: press at the first x, move through the
// others with the left button held, release at the last.
inline void drag(QWidget* w, std::initializer_list<int> xs, int y = 5) {
    const int* first = xs.begin();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(*first, y));
    int last = *first;
    for (const int* x = first + 1; x != xs.end(); ++x) {
        QMouseEvent move(QEvent::MouseMove, QPointF(*x, y), w->mapToGlobal(QPointF(*x, y)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        last = *x;
    }
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(last, y));
}

} // namespace qvk::testing
