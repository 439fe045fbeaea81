// A firmware image of 212,992 bytes (4096 reports, as much as the send
// queue holds) sent to the virtual keyboard, which takes one report per
// millisecond as a full-speed USB endpoint does. The wire then needs
// 4.096 s; the figure printed is the wire time divided by the time the
// transfer took, from queueing the image to the keyboard's "stored" status
// (target: at least 0.95). A second case sends 300,000 bytes, which the
// link streams into the queue as it drains.
//
// The virtual keyboard's thread sleeps until each report's slot; on a
// machine busy with other work its late wake-ups cost wire time that a real
// endpoint would not lose. Run it on a quiet machine, or with a real-time
// priority (`chrt -f 10 ...`), to see the link's own figure.
//
//   build/release/bench/bench_firmware_transfer   (configure with -DQVK_BENCH=ON)

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <vector>

#include "link/command_catalogue.h"
#include "link/hidconnect.h"
#include "link/link_kind.h"
#include "link/link_messages.h"
#include "maint/firmware_file.h"
#include "sim/virtual_keyboard.h"

namespace {

using namespace std::chrono_literals;
using steady = std::chrono::steady_clock;

// Counts the reports the link received (the keyboard's statuses).
class counting_sink final : public qvk::link_message_sink {
public:
    void post_message(uint32_t message, uintptr_t, intptr_t) override {
        if (message != qvk::msg::report_queued) return;
        std::lock_guard<std::mutex> g(lock_);
        ++replies_;
        changed_.notify_all();
    }
    bool wait_replies(size_t n, std::chrono::seconds timeout) {
        std::unique_lock<std::mutex> l(lock_);
        return changed_.wait_for(l, timeout, [&] { return replies_ >= n; });
    }
    void reset() {
        std::lock_guard<std::mutex> g(lock_);
        replies_ = 0;
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    size_t replies_ = 0;
};

void firmware_transfer(benchmark::State& state) {
    const size_t file_size = size_t(state.range(0));
    std::vector<uint8_t> payload(file_size - qvk::firmware::header_size);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = uint8_t(i * 31 + (i >> 9));
    const std::vector<uint8_t> file = qvk::firmware::make_keyboard_file(payload, 0x0200);
    const size_t reports = (file.size() + 51) / 52;

    auto device = std::make_shared<qvk::sim::virtual_keyboard>(qvk::kind_usb_boot, "Bench", 0x0100);
    device->set_report_interval(1ms);
    auto transport = std::make_shared<qvk::sim::virtual_transport>();
    transport->add(device);
    qvk::device_bus bus;
    bus.add(transport);
    counting_sink sink;
    qvk::hidconnect link(&sink, qvk::kind_usb_boot, 0, device->open_path(), bus);
    if (!link.is_open() || link.start()) {
        state.SkipWithError("the virtual bootloader could not be opened");
        return;
    }
    double fraction_sum = 0;
    int runs = 0;
    for (auto _ : state) {
        sink.reset();
        uint8_t status[64] = {};
        while (!link.pop_reply(status)) {
        }
        const auto start = steady::now();
        if (link.stream_block(qvk::cmd::firmware_image, 0, uint32_t(file.size()), file.data(), true) != 0) {
            state.SkipWithError("the image was refused");
            return;
        }
        if (!sink.wait_replies(1, 60s) || link.pop_reply(status) || status[5] != qvk::cmd::maintenance_status ||
            status[8] != 32) {
            state.SkipWithError("the bootloader did not store the image");
            return;
        }
        const double took = std::chrono::duration<double>(steady::now() - start).count();
        const double wire = double(reports) * 0.001;
        fraction_sum += wire / took;
        ++runs;
        state.SetIterationTime(took);
    }
    const double fraction = runs ? fraction_sum / runs : 0;
    state.counters["reports"] = double(reports);
    state.counters["fraction_of_wire_rate"] = fraction;
    std::printf("%zu bytes in %zu reports at 1 ms each: %.3f of the wire rate (target >= 0.95)\n", file.size(),
                reports, fraction);
}
BENCHMARK(firmware_transfer)->Arg(212992)->Arg(300000)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
