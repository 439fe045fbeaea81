// How long the custom backlight page takes to fill the whole picture with
// random colours and draw it again: every key image and matrix cell painted
// and the page repainted, as after "所有按键颜色随机". Target: under 30 ms,
// at screen scale 1 and 2.
//
//   build/dev/bench/bench_custom_backlight   (configure with -DQVK_BENCH=ON)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <string>

#include "functions/key_code_convert.h"
#include "layers/kb_layout.h"
#include "lighting/custom_backlight_page.h"
#include "link/keyboard_records.h"
#include "sim/default_records.h"
#include "ui/dialogs.h"
#include "ui/page_host.h"

namespace {

// A window that is always idle and sends nothing.
class idle_host final : public qvk::page_host {
public:
    explicit idle_host(float scale) : scale_(scale) {
        const auto layout = qvk::sim::default_layout();
        std::copy(layout.begin(), layout.end(), records_.kb_layout.begin());
        const auto lighting = qvk::sim::default_lighting();
        std::copy(lighting.begin(), lighting.end(), records_.lighting.begin());
    }
    int send_command(uint32_t, uint8_t, uint16_t, uint32_t, uint8_t, bool) override { return 0; }
    int send_block(uint32_t, uint8_t, const uint8_t*, uint32_t, uint8_t, bool) override { return 0; }
    bool send_stream(uint32_t, const uint8_t*, uint32_t) override { return true; }
    int stream_command(uint32_t, uint8_t, uint16_t, uint32_t) override { return 0; }
    QString connected_device_name() const override { return {}; }
    uint16_t connected_device_version() const override { return 0; }
    void rename_connected_device(const QString&) override {}
    void reset_sent_count() override {}
    std::string settings_file() const override { return {}; }
    bool in_tray() const override { return false; }
    std::string exe_dir() const override { return {}; }
    qvk::keyboard_records& records() override { return records_; }
    bool is_busy() const override { return false; }
    bool is_task_busy() const override { return false; }
    void set_busy(int, uint8_t) override {}
    bool initial_read_finished() const override { return true; }
    uint32_t link_kind() const override { return 1; }
    qvk::dialog_service& dialogs() override { return dialogs_; }
    QWidget* dialog_parent() override { return nullptr; }
    qvk::key_code_convert& texts() override { return texts_; }
    QString lng(uint32_t id, const char* def) const override {
        return QString::fromStdString(texts_.get_lng_text(id, def));
    }
    float scale() const override { return scale_; }
    bool closing() const override { return false; }

private:
    float scale_;
    qvk::keyboard_records records_;
    qvk::silent_dialog_service dialogs_;
    qvk::key_code_convert texts_{std::string(QVK_RESOURCES) + "/qvk-tools"};
};

struct page_on_screen {
    idle_host host;
    QWidget card;
    std::unique_ptr<qvk::Tled_custom_editer_frame> page;
    QPushButton* random_button = nullptr;

    explicit page_on_screen(float scale) : host(scale) {
        card.resize(1400, 900);
        page = std::make_unique<qvk::Tled_custom_editer_frame>(host, &card);
        // The current group's picture, as the keyboard sends it.
        const unsigned picture = page->current_picture();
        const auto stored = qvk::sim::default_custom_picture(picture);
        std::copy(stored.begin(), stored.end(), host.records().custom_picture.begin());
        host.records().custom_picture_number = picture;
        page->record_arrived(qvk::cmd::read_custom_picture, picture);
        random_button = card.findChild<QPushButton*>(QStringLiteral("Button4"));
        card.show();
        QCoreApplication::processEvents();
    }
};

// Argument: screen scale in percent.
void random_fill_and_repaint(benchmark::State& state) {
    page_on_screen s(float(state.range(0)) / 100.0f);
    for (auto _ : state) {
        s.random_button->click();
        s.card.repaint();
        QCoreApplication::processEvents();
    }
    state.SetLabel(std::to_string(qvk::layout::key_count(s.host.records().kb_layout.data())) + " keys, " +
                   std::to_string(qvk::custom_bkl::positions) + " positions");
}
BENCHMARK(random_fill_and_repaint)->Arg(100)->Arg(200)->ArgNames({"scale_pct"})->Unit(benchmark::kMillisecond);

// The fill and the drawing of the key images and matrix cells alone, without
// repainting the page.
void random_fill_only(benchmark::State& state) {
    page_on_screen s(1.0f);
    for (auto _ : state) s.random_button->click();
}
BENCHMARK(random_fill_only)->Unit(benchmark::kMillisecond);

} // namespace
