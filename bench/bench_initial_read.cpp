// How long the initial read takes against the virtual keyboard, compared
// with the least the wire allows: a full-speed keyboard moves one report per
// millisecond, so nine requests and their replies can never take less than
// (reports exchanged) x 1 ms. The aim is at most 1.15 times that.
// A second run with no pause between reports shows what the tool itself
// spends per report.
//
//   build/release/bench/bench_initial_read [runs]

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ui/dialogs.h"
#include "app/main_form.h"
#include "link/command_catalogue.h"
#include "link/initial_read.h"
#include "link/link_kind.h"
#include "link/packet.h"
#include "sim/virtual_keyboard.h"

namespace {

size_t reply_reports(uint8_t command) {
    using namespace qvk;
    size_t size = 0;
    switch (command) {
    case cmd::read_ble_params: size = record_size::ble_params; break;
    case cmd::read_layout: size = record_size::kb_layout; break;
    case cmd::read_flayer: size = record_size::flayer; break;
    case cmd::read_tlayer: size = record_size::tlayer; break;
    case cmd::read_lighting: size = record_size::lighting; break;
    default: return 1; // single-report replies
    }
    return (size + packet::chunk_data_max - 1) / packet::chunk_data_max;
}

bool run_until(const std::function<bool()>& done, int timeout_ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeout_ms) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    return true;
}

// Milliseconds of one initial read, from connecting to the last reply.
double one_read(std::chrono::microseconds interval, const QString& folder) {
    auto kb = std::make_shared<qvk::sim::virtual_keyboard>(qvk::kind_usb, "Bench", 0x0105);
    kb->set_report_interval(interval);
    auto transport = std::make_shared<qvk::sim::virtual_transport>();
    transport->add(kb);
    qvk::silent_dialog_service dialogs;
    qvk::Tmain_form::options o;
    o.exe_dir = folder.toStdString();
    o.bus = std::make_shared<qvk::device_bus>();
    o.bus->add(transport);
    o.dialogs = &dialogs;
    qvk::Tmain_form w(std::move(o));
    w.timer_detect_hid_deviceTimer();
    if (!run_until([&] { return w.probe_link() == nullptr; }, 5000)) return -1;
    // A timer keeps the event loop waking while nothing else happens.
    QTimer tick;
    tick.start(1);
    QElapsedTimer t;
    t.start();
    if (w.connect_device(0)) return -1;
    if (!run_until([&] { return w.initial_read_finished(); }, 10000)) return -1;
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QTemporaryDir folder;

    size_t reports = 0;
    for (const auto& step : qvk::initial_read_steps) reports += 1 + reply_reports(step.command);

    std::vector<double> paced, unpaced;
    for (int i = 0; i < runs; ++i) {
        const double ms = one_read(std::chrono::microseconds(1000), folder.path());
        if (ms < 0) {
            std::fprintf(stderr, "the initial read did not finish\n");
            return 1;
        }
        paced.push_back(ms);
        unpaced.push_back(one_read(std::chrono::microseconds(0), folder.path()));
    }
    const double wire_ms = double(reports) * 1.0;
    const double m = median(paced);
    std::printf("initial read: %zu reports exchanged, wire minimum %.1f ms at 1 ms per report\n", reports, wire_ms);
    std::printf("  at 1 ms per report: median %.1f ms over %d runs, ratio to the wire minimum %.3f (target <= 1.15)\n",
                m, runs, m / wire_ms);
    const double u = median(unpaced);
    std::printf("  with no pause between reports: median %.2f ms, the tool's own cost %.1f us per report\n", u,
                u * 1000.0 / double(reports));
    return 0;
}
