// Dragging a value bar of the backlight page at mouse speed against the
// virtual keyboard (one report per millisecond, as a full-speed keyboard):
// the largest the send queue grows, how many reports the keyboard took, and
// whether the value the bar shows last is the value the keyboard holds.
// First one drag of 200 steps, then 40 short drags one after another, each
// released as soon as it ends.
//
//   build/dev/bench/bench_value_bar_drag [milliseconds between mouse events]

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "app/main_form.h"
#include "lighting/backlight_page.h"
#include "lighting/led_state.h"
#include "link/command_catalogue.h"
#include "link/hidconnect.h"
#include "link/link_kind.h"
#include "sim/virtual_keyboard.h"
#include "ui/dialogs.h"
#include "ui/value_bar.h"

namespace {

// Counts the messages the window would have shown (a refused send).
class counting_dialogs final : public qvk::dialog_service {
public:
    int messages = 0;
    void show_message(const QString&) override { ++messages; }
    bool ask_yes_no(const QString&, const QString&) override { return false; }
    QString open_file_name(const QString&, const QString&) override { return {}; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QColor> pick_colour(const QColor&) override { return std::nullopt; }
};

bool run_until(const std::function<bool()>& done, int timeout_ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeout_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

struct drag_figures {
    uint32_t max_queue = 0;
    size_t reports = 0;
    double ms = 0;
};

// Mouse events at the given pace; the event loop runs between them and the
// send queue is sampled all the while.
void mouse(QWidget* w, QEvent::Type type, int x, Qt::MouseButtons held, qvk::hidconnect& link, drag_figures& f,
           int pace_ms) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(x, 5), w->mapToGlobal(QPointF(x, 5)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
    QElapsedTimer t;
    t.start();
    do {
        f.max_queue = std::max(f.max_queue, link.pending_sends());
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    } while (t.elapsed() < pace_ms);
}

void one_drag(qvk::value_bar* bar, const std::vector<int>& xs, qvk::hidconnect& link, drag_figures& f, int pace) {
    mouse(bar, QEvent::MouseButtonPress, xs.front(), Qt::LeftButton, link, f, pace);
    for (size_t i = 1; i < xs.size(); ++i) mouse(bar, QEvent::MouseMove, xs[i], Qt::LeftButton, link, f, pace);
    mouse(bar, QEvent::MouseButtonRelease, xs.back(), Qt::NoButton, link, f, 0);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pace = argc > 1 ? std::max(0, std::atoi(argv[1])) : 8; // a 125 Hz mouse
    QTemporaryDir folder;

    auto kb = std::make_shared<qvk::sim::virtual_keyboard>(qvk::kind_usb, "Bench", 0x0105);
    auto transport = std::make_shared<qvk::sim::virtual_transport>();
    transport->add(kb);
    counting_dialogs dialogs;
    qvk::Tmain_form::options o;
    o.exe_dir = folder.path().toStdString();
    o.bus = std::make_shared<qvk::device_bus>();
    o.bus->add(transport);
    o.dialogs = &dialogs;
    o.tray_available = 0;
    qvk::Tmain_form w(std::move(o));
    w.show();
    w.timer_detect_hid_deviceTimer();
    if (!run_until([&] { return w.probe_link() == nullptr; }, 5000) || w.connect_device(0) ||
        !run_until([&] { return w.initial_read_finished() && !w.is_busy(); }, 10000) ||
        !run_until([&] { return !kb->messages_of(qvk::cmd::read_battery).empty() && !w.is_busy(); }, 5000)) {
        std::fprintf(stderr, "the virtual keyboard did not connect\n");
        return 1;
    }
    w.action(QStringLiteral("led_bkl_lig"))->trigger();
    auto* page = dynamic_cast<qvk::Tled_bkl_edit_frame*>(w.page(qvk::c_bkl_lig_edit));
    if (!page) return 1;
    qvk::value_bar* bar = page->brightness_bar(1);
    qvk::hidconnect& link = *w.active_link();
    const int width = bar->width();
    const uint8_t* led = w.records().lighting.data();

    // One drag of 200 steps across the bar and back to a point inside it.
    kb->clear_messages();
    kb->clear_received();
    std::vector<int> xs;
    for (int i = 0; i < 200; ++i) xs.push_back(2 + (width - 4) * (i < 150 ? i : 299 - i) / 150);
    drag_figures f;
    QElapsedTimer t;
    t.start();
    one_drag(bar, xs, link, f, pace);
    run_until([&] { return !w.is_busy() && link.pending_sends() == 0; }, 2000);
    f.ms = double(t.elapsed());
    f.reports = kb->received_count();
    bool arrived = run_until([&] { return kb->record(qvk::cmd::read_lighting)[qvk::led::off_red] == led[qvk::led::off_red]; }, 2000);
    std::printf("value bar drag, %d ms between mouse events\n", pace);
    std::printf("  one drag of %zu steps in %.0f ms: send queue at most %u reports, %zu reports reached the keyboard\n",
                xs.size(), f.ms, f.max_queue, f.reports);
    std::printf("  last value: bar shows %s, window holds %u, keyboard holds %u (%s)\n", qPrintable(bar->text()),
                led[qvk::led::off_red], kb->record(qvk::cmd::read_lighting)[qvk::led::off_red],
                arrived ? "arrived" : "MISSING");

    // 40 short drags of 5 steps, each released and the next pressed at once.
    kb->clear_messages();
    kb->clear_received();
    drag_figures g;
    t.restart();
    const int before_messages = dialogs.messages;
    for (int d = 0; d < 40; ++d) {
        std::vector<int> short_xs;
        for (int i = 0; i < 5; ++i) short_xs.push_back(2 + (width - 4) * ((d * 7 + i * 3) % 100) / 100);
        one_drag(bar, short_xs, link, g, pace);
    }
    run_until([&] { return !w.is_busy() && link.pending_sends() == 0; }, 2000);
    g.ms = double(t.elapsed());
    g.reports = kb->received_count();
    arrived = run_until([&] { return kb->record(qvk::cmd::read_lighting)[qvk::led::off_red] == led[qvk::led::off_red]; }, 2000);
    std::printf("  40 drags of 5 steps in %.0f ms: send queue at most %u reports, %zu reports reached the keyboard, "
                "%d sends refused as busy\n",
                g.ms, g.max_queue, g.reports, dialogs.messages - before_messages);
    std::printf("  last value: window holds %u, keyboard holds %u (%s)\n", led[qvk::led::off_red],
                kb->record(qvk::cmd::read_lighting)[qvk::led::off_red], arrived ? "arrived" : "MISSING");
    return arrived ? 0 : 1;
}
