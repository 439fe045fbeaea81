// How long the function picker takes to open in key mode: creation of the
// dialog with its twelve pages, the on-screen keyboard and the usage list,
// until it is shown. The long lists wait for their page, so opening must
// stay well under 50 ms.
//
//   build/release/bench/bench_picker   (configure with -DQVK_BENCH=ON)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <string>

#include "ui/dialogs.h"
#include "functions/func_sel.h"
#include "functions/key_code_convert.h"

namespace {

void open_picker_in_key_mode(benchmark::State& state) {
    const qvk::key_code_convert texts(std::string(QVK_RESOURCES) + "/qvk-tools");
    qvk::silent_dialog_service dialogs;
    uint8_t slot[4] = {2, 4, 0, 0};
    qvk::Tfunc_sel::params p;
    p.convert = &texts;
    p.bkl_effect_count = 20;
    p.code = slot;
    p.dialogs = &dialogs;
    for (auto _ : state) {
        auto dlg = std::make_unique<qvk::Tfunc_sel>(p);
        dlg->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        dlg.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(open_picker_in_key_mode)->Unit(benchmark::kMillisecond);

} // namespace
