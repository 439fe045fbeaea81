// How long the trigger-layer editor takes to switch items and tabs on the
// demo keyboard: showing another item redraws the keys whose orange mark
// changes, switching tabs shows that tab's item again, and the matrix with
// every key of the current function layer is drawn again at every refresh.
// Target: under 30 ms at screen scale 1 and 2.
//
//   build/bench/bench/bench_tlayer_editor   (configure with -DQVK_BENCH=ON)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <string>

#include "functions/key_code_convert.h"
#include "layers/tl_edit_frame.h"
#include "layers/tlayer_record.h"
#include "link/keyboard_records.h"
#include "sim/default_records.h"

namespace {

using qvk::tlayer::page;

// The demo keyboard's records, layer 0 of each kind read, every item of the
// trigger layer switched on with keys of its own.
struct frame_on_screen {
    qvk::key_code_convert texts{std::string(QVK_RESOURCES) + "/qvk-tools"};
    qvk::keyboard_records records;
    unsigned cur_flayer = 0, cur_tlayer = 0;
    QWidget canvas;
    std::unique_ptr<qvk::Ttl_edit_frame> frame;

    explicit frame_on_screen(float scale) {
        const auto layout = qvk::sim::default_layout();
        std::copy(layout.begin(), layout.end(), records.kb_layout.begin());
        const auto fl = qvk::sim::default_flayer(0);
        std::copy(fl.begin(), fl.end(), records.flayers[0].begin());
        records.flayer_loaded[0] = true;
        uint8_t* tl = records.tlayers[0].data();
        qvk::tlayer::clear_layer(tl);
        for (unsigned pg = 0; pg < qvk::tlayer::page_count; ++pg) {
            for (unsigned n = 0; n < qvk::tlayer::item_count(page(pg)); ++n) {
                qvk::tlayer::set_enabled(tl, page(pg), n, true);
                const uint8_t key = qvk::sim::board_key_id(1 + n % 12, 1 + pg % 5);
                if (page(pg) == page::combo) {
                    qvk::tlayer::combo_add_key(tl, n, key);
                    qvk::tlayer::combo_add_key(tl, n, uint8_t(key + 1));
                } else {
                    qvk::tlayer::set_key_id(tl, page(pg), n, key);
                }
            }
        }
        records.tlayer_loaded[0] = true;
        qvk::Ttl_edit_frame::params p;
        p.records = &records;
        p.cur_flayer = &cur_flayer;
        p.cur_tlayer = &cur_tlayer;
        p.scale = scale;
        p.texts = &texts;
        frame = std::make_unique<qvk::Ttl_edit_frame>(p, &canvas);
        frame->show();
        canvas.resize(frame->size());
        canvas.show();
        QCoreApplication::processEvents();
    }
    void settle() {
        canvas.repaint();
        QCoreApplication::processEvents();
    }
};

// Argument: screen scale in quarters (4 = 1x, 8 = 2x).
void item_switch(benchmark::State& state) {
    frame_on_screen s(float(state.range(0)) / 4.0f);
    s.frame->tabs()->setCurrentIndex(int(page::combo));
    unsigned n = 0;
    for (auto _ : state) {
        s.frame->show_item(page::combo, n);
        s.settle();
        n = (n + 1) % qvk::tlayer::combo_count;
    }
}
BENCHMARK(item_switch)->Arg(4)->Arg(8)->ArgNames({"scale_x4"})->Unit(benchmark::kMillisecond);

void tab_switch(benchmark::State& state) {
    frame_on_screen s(float(state.range(0)) / 4.0f);
    for (unsigned pg = 0; pg < qvk::tlayer::page_count; ++pg) {
        s.frame->tabs()->setCurrentIndex(int(pg));
        s.frame->show_item(page(pg), pg);
    }
    int tab = 0;
    for (auto _ : state) {
        tab = (tab + 1) % int(qvk::tlayer::page_count);
        s.frame->tabs()->setCurrentIndex(tab);
        s.settle();
    }
}
BENCHMARK(tab_switch)->Arg(4)->Arg(8)->ArgNames({"scale_x4"})->Unit(benchmark::kMillisecond);

// Refresh after a layer change, file load or clear: every key drawn again
// and every caption rebuilt.
void full_refresh(benchmark::State& state) {
    frame_on_screen s(float(state.range(0)) / 4.0f);
    for (auto _ : state) {
        s.frame->refresh();
        s.settle();
    }
}
BENCHMARK(full_refresh)->Arg(4)->Arg(8)->ArgNames({"scale_x4"})->Unit(benchmark::kMillisecond);

} // namespace
