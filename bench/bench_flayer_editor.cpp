// How long the function-layer editor takes to draw the whole demo keyboard
// (104 keys) again, as it does on every layer change, file load or style
// change: every key picture rendered and the shown card repainted. Target:
// under 30 ms at drawing scale 1 and 2, in each of the three key styles.
// Drawing one key again (after a click) is measured too.
//
//   build/bench/bench/bench_flayer_editor   (configure with -DQVK_BENCH=ON)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <array>
#include <string>

#include "functions/key_code_convert.h"
#include "layers/fl_edit_class.h"
#include "ui/key_cap_pictures.h"
#include "sim/default_records.h"

namespace {

struct editor_on_screen {
    qvk::key_code_convert texts{std::string(QVK_RESOURCES) + "/qvk-tools"};
    qvk::key_cap_pictures pictures;
    std::vector<uint8_t> layout = qvk::sim::default_layout();
    std::array<qvk::flayer_bytes, 8> layers{};
    std::array<bool, 8> loaded{};
    unsigned current = 0;
    QWidget card;
    qvk::fl_edit_class editor{&card, 1.0f, texts};

    editor_on_screen(int scale_item, int style) {
        const std::vector<uint8_t> layer0 = qvk::sim::default_flayer(0);
        std::copy(layer0.begin(), layer0.end(), layers[0].begin());
        loaded[0] = true;
        static const qvk::draw_style styles[3] = {{-1, 0x000000, 0x267397, 0x267397},
                                                  {0, 0x000000, 0x267397, 0x267397},
                                                  {1, 0xFFFFFF, 0x267397, 0x267397}};
        editor.set_layout(layout.data());
        editor.set_layer_buffers(&layers, &loaded, &current);
        editor.set_pictures(&pictures);
        editor.set_draw_style(styles[style]);
        editor.set_view_scale(scale_item);
        editor.build();
        card.resize(editor.extent() + QSize(8, 8));
        card.show();
        QCoreApplication::processEvents();
    }
};

// Arguments: scale-combo item (1 = 1x, 5 = 2x), key style (0 plain, 1 white
// cap, 2 green cap).
void full_redraw(benchmark::State& state) {
    editor_on_screen s(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        s.editor.redraw();
        s.card.repaint();
        QCoreApplication::processEvents();
    }
    state.SetLabel(std::to_string(qvk::layout::key_count(s.layout.data())) + " keys");
}
BENCHMARK(full_redraw)
    ->ArgsProduct({{1, 5}, {0, 1, 2}})
    ->ArgNames({"scale_item", "style"})
    ->Unit(benchmark::kMillisecond);

void one_key_redraw(benchmark::State& state) {
    editor_on_screen s(int(state.range(0)), 1);
    for (auto _ : state) {
        s.editor.draw_key(10, 3);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(one_key_redraw)->Arg(1)->Arg(5)->ArgNames({"scale_item"})->Unit(benchmark::kMicrosecond);

} // namespace
