// How long the macro editor takes to show another group and to scroll
// through its 512 steps: the list of the page's frame switched between two
// full groups (every step a described function) and repainted, then
// scrolled from the first step to the last one screen at a time. Target:
// under 20 ms per switch.
//
//   build/dev/bench/bench_macro_page   (configure with -DQVK_BENCH=ON)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <QWidget>
#include <algorithm>
#include <array>
#include <chrono>
#include <string>

#include "functions/key_code_convert.h"
#include "macros/macro_page.h"
#include "macros/macro_step_model.h"

namespace {

using wall_clock = std::chrono::steady_clock;

double ms_since(wall_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(wall_clock::now() - start).count();
}

struct frame_on_screen {
    qvk::key_code_convert texts{std::string(QVK_RESOURCES) + "/qvk-tools"};
    std::array<qvk::macro_group, 2> groups{};
    QWidget card;
    qvk::Tmacro_edit_frame frame{&card, 1.0f, texts};

    frame_on_screen() {
        // Kinds with texts of every length: keys with their names, delays,
        // media keys, key presses and releases.
        for (size_t g = 0; g < groups.size(); ++g)
            for (size_t i = 0; i < qvk::macro::step_count; ++i) {
                uint8_t* s = qvk::macro::step_bytes(groups[g], i);
                const uint8_t kinds[] = {qvk::fk_key, qvk::fk_delay, qvk::fk_media, qvk::fk_key_edge, qvk::fk_macro_run};
                s[0] = kinds[(i + g) % 5];
                s[1] = uint8_t(4 + i % 100);
                s[2] = uint8_t(i % 2);
                s[3] = 0;
            }
        frame.steps()->set_group(&groups[0]);
        card.resize(frame.size());
        card.show();
        QCoreApplication::processEvents();
    }
    QTableView& list() { return *frame.step_list(); }
};

void group_switch(benchmark::State& state) {
    frame_on_screen s;
    size_t next = 1;
    double total_ms = 0;
    for (auto _ : state) {
        const auto start = wall_clock::now();
        s.frame.steps()->set_group(&s.groups[next]);
        s.list().viewport()->repaint();
        total_ms += ms_since(start);
        next ^= 1;
    }
    // Wall time per switch in milliseconds (target: under 20).
    state.counters["ms_per_switch"] = benchmark::Counter(total_ms, benchmark::Counter::kAvgIterations);
}
BENCHMARK(group_switch)->Unit(benchmark::kMillisecond);

// A switch followed by scrolling through every step of the group, one
// screen per step of the scroll bar.
void switch_and_scroll_512(benchmark::State& state) {
    frame_on_screen s;
    QScrollBar* bar = s.list().verticalScrollBar();
    size_t next = 1;
    double total_ms = 0;
    int screens = 0;
    for (auto _ : state) {
        const auto start = wall_clock::now();
        s.frame.steps()->set_group(&s.groups[next]);
        next ^= 1;
        for (int v = 0;; v += bar->pageStep()) {
            bar->setValue(std::min(v, bar->maximum()));
            s.list().viewport()->repaint();
            ++screens;
            if (v >= bar->maximum()) break;
        }
        total_ms += ms_since(start);
        bar->setValue(0);
    }
    // Wall time of a switch and the scroll through all 512 steps, and of
    // one screen of the scroll, in milliseconds.
    state.counters["ms_switch_and_scroll"] = benchmark::Counter(total_ms, benchmark::Counter::kAvgIterations);
    state.counters["ms_per_screen"] = benchmark::Counter(screens ? total_ms / screens : 0);
}
BENCHMARK(switch_and_scroll_512)->Unit(benchmark::kMillisecond);

} // namespace
