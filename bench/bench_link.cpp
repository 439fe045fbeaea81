// How fast the host side moves a long block: queue_block cuts it into
// chunks, the writer thread writes them one at a time, the virtual keyboard
// takes them with no pause between reports. A real keyboard takes one
// report per millisecond, so the host side must stay far above 1,000
// reports per second; the aim is more than 50,000.
//
//   build/release/bench/bench_link   (configure with -DQVK_BENCH=ON)

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "link/hidconnect.h"
#include "link/link_kind.h"
#include "sim/virtual_keyboard.h"

namespace {

class null_sink final : public qvk::link_message_sink {
public:
    void post_message(uint32_t, uintptr_t, intptr_t) override {}
};

void long_block_to_the_keyboard(benchmark::State& state) {
    using namespace std::chrono_literals;
    constexpr uint32_t block_size = 212992; // 4096 chunks of 52 bytes
    const std::vector<uint8_t> block(block_size, 0xA5);
    auto device = std::make_shared<qvk::sim::virtual_keyboard>(qvk::kind_usb, "Bench", 0x0100);
    device->set_report_interval(0us);
    auto transport = std::make_shared<qvk::sim::virtual_transport>();
    transport->add(device);
    qvk::device_bus bus;
    bus.add(transport);
    null_sink sink;
    qvk::hidconnect link(&sink, qvk::kind_usb, 0, device->open_path(), bus);
    if (!link.is_open() || link.start()) {
        state.SkipWithError("the virtual keyboard could not be opened");
        return;
    }
    size_t reports = 0;
    for (auto _ : state) {
        device->clear_received();
        if (link.queue_block(7, 0, block_size, block.data(), true) != 0) {
            state.SkipWithError("queue_block refused the block");
            return;
        }
        if (!device->wait_received(4096, 30s)) {
            state.SkipWithError("the keyboard did not receive every report");
            return;
        }
        reports += 4096;
    }
    state.counters["reports_per_second"] = benchmark::Counter(double(reports), benchmark::Counter::kIsRate);
}
BENCHMARK(long_block_to_the_keyboard)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
