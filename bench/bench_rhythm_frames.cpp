// The period of the rhythm frames as the keyboard receives them: the real
// window against the virtual keyboard (one report per millisecond, as a
// full-speed USB keyboard), a private sound server playing a 1 kHz tone,
// the rhythm switched on, and the arrival time of every frame over some
// seconds. The aim is a mean of 40 ms with a jitter under 2 ms.
//
//   build/release/bench/bench_rhythm_frames [seconds]

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "app/main_form.h"
#include "link/command_catalogue.h"
#include "link/link_kind.h"
#include "link/packet.h"
#include "music/music_page.h"
#include "sim/virtual_keyboard.h"
#include "sound_server.h"
#include "ui/dialogs.h"
#include "ui/toggle_switch.h"

namespace {

using clock_type = std::chrono::steady_clock;

// The virtual keyboard, noting when each rhythm frame arrives.
class timing_keyboard final : public qvk::sim::virtual_keyboard {
public:
    using qvk::sim::virtual_keyboard::virtual_keyboard;
    std::vector<clock_type::time_point> arrivals() const {
        std::lock_guard<std::mutex> g(lock_);
        return arrivals_;
    }

protected:
    void handle_report(const qvk::packet::report65& report, qvk::sim::virtual_handle* from) override {
        if (qvk::packet::command_of(&report[1]) == qvk::cmd::spectrum_frame) {
            std::lock_guard<std::mutex> g(lock_);
            arrivals_.push_back(clock_type::now());
        }
        qvk::sim::virtual_keyboard::handle_report(report, from);
    }

private:
    mutable std::mutex lock_;
    std::vector<clock_type::time_point> arrivals_;
};

bool wait_for(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;

    qvk::testing::sound_server sound;
    if (!sound.running()) {
        std::printf("rhythm frames: not measured, no private sound server: %s\n", sound.failure().c_str());
        return 1;
    }
    QTemporaryDir dir;
    auto kb = std::make_shared<timing_keyboard>(qvk::kind_usb, "Bench", 0x0105);
    auto transport = std::make_shared<qvk::sim::virtual_transport>();
    transport->add(kb);
    qvk::silent_dialog_service dialogs;
    qvk::Tmain_form::options o;
    o.exe_dir = dir.path().toStdString();
    o.bus = std::make_shared<qvk::device_bus>();
    o.bus->add(transport);
    o.dialogs = &dialogs;
    o.tray_available = 0;
    qvk::Tmain_form w(std::move(o));
    w.show();
    w.timer_detect_hid_deviceTimer();
    if (!wait_for([&] { return w.probe_link() == nullptr; }, 5000) || w.connect_device(0) ||
        !wait_for([&] { return w.initial_read_finished() && !w.is_busy(); }, 10000)) {
        std::printf("rhythm frames: the virtual keyboard did not connect\n");
        return 1;
    }
    w.action(QStringLiteral("music_spectrum"))->trigger();
    auto* page = dynamic_cast<qvk::Tmusic_spectrum_frame*>(w.page(qvk::c_music_spectrum));
    if (!page) return 1;
    const std::string wav = sound.folder() + "/tone.wav";
    qvk::testing::write_tone_wav(wav, 1000.0, seconds + 3.0);
    const pid_t player = sound.play(wav);
    page->rhythm_switch()->click();
    if (!page->capturing()) {
        std::printf("rhythm frames: the capture did not start\n");
        return 1;
    }
    // Settle for a second, then measure.
    wait_for([] { return false; }, 1000);
    const size_t first = kb->arrivals().size();
    wait_for([] { return false; }, int(seconds * 1000));
    qvk::testing::sound_server::end_process(player);
    const std::vector<clock_type::time_point> all = kb->arrivals();
    if (all.size() < first + 3) {
        std::printf("rhythm frames: too few frames arrived (%zu)\n", all.size() - first);
        return 1;
    }
    std::vector<double> gaps;
    for (size_t i = first + 1; i < all.size(); ++i)
        gaps.push_back(std::chrono::duration<double, std::milli>(all[i] - all[i - 1]).count());
    double mean = 0;
    for (double g : gaps) mean += g;
    mean /= double(gaps.size());
    double var = 0, worst = 0;
    for (double g : gaps) {
        var += (g - mean) * (g - mean);
        worst = std::max(worst, std::fabs(g - mean));
    }
    const double jitter = std::sqrt(var / double(gaps.size()));
    // Most gaps next to the outliers a busy machine causes.
    std::vector<double> deviations;
    for (double g : gaps) deviations.push_back(std::fabs(g - 40.0));
    std::sort(deviations.begin(), deviations.end());
    const double p50 = deviations[deviations.size() / 2];
    const double p95 = deviations[deviations.size() * 95 / 100];
    std::printf("rhythm frames over %.0f s: %zu frames, mean period %.2f ms, jitter (std. dev.) %.2f ms, "
                "largest deviation %.2f ms (aim: mean 40 ms, jitter under 2 ms)\n"
                "  distance from 40 ms: half the gaps within %.2f ms, 95 %% within %.2f ms\n",
                seconds, gaps.size() + 1, mean, jitter, worst, p50, p95);
    return 0;
}
