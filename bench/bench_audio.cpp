// CPU time the music rhythm spends per second of audio, against the aim of
// under 2 % of one core:
//  - analysis alone: blocks of a tone assembled and analysed on one thread
//    (downmix, level, 4096-point transform, publishing the result);
//  - capture plus analysis: a private sound server plays a tone into a null
//    output for some seconds while the capture records its monitor; the
//    process's own CPU time (capture and analysis threads; the server and
//    the player are other processes) over the seconds of audio recorded.
//
//   build/release/bench/bench_audio [seconds]

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "music/audio_messages.h"
#include "music/audio_pipeline.h"
#include "music/my_audio_snap.h"
#include "sound_server.h"

namespace {

using namespace std::chrono_literals;

double process_cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class counting_window final : public qvk::link_message_sink {
public:
    std::atomic<size_t> spectra{0};
    std::atomic<size_t> endings{0};
    void post_message(uint32_t message, uintptr_t wparam, intptr_t) override {
        if (message != qvk::msg::audio_snap) return;
        (wparam == qvk::audio_result::spectrum_ready ? spectra : endings)++;
    }
};

std::vector<uint8_t> tone(double seconds) {
    const size_t frames = size_t(seconds * 44100);
    std::vector<uint8_t> v(frames * 2);
    for (size_t i = 0; i < frames; ++i)
        v[2 * i] = v[2 * i + 1] = uint8_t(std::lround(128.0 + 100.0 * std::sin(2.0 * M_PI * 1000.0 * i / 44100)));
    return v;
}

void analysis_alone(double seconds) {
    using namespace qvk::music;
    const std::vector<uint8_t> audio = tone(seconds);
    spectrum_analyzer analyzer;
    published_spectrum published;
    size_t spectra = 0;
    block_assembler assembler([&](std::span<const uint8_t, block_bytes> block) {
        if (!analyzer.analyse(block, 500)) return;
        published.publish(analyzer.re(), analyzer.im(), analyzer.vu_level());
        ++spectra;
    });
    const double before = process_cpu_seconds();
    constexpr size_t packet = 882; // 10 ms
    for (size_t at = 0; at < audio.size(); at += packet)
        assembler.append(std::span<const uint8_t>(audio).subspan(at, std::min(packet, audio.size() - at)));
    const double cpu = process_cpu_seconds() - before;
    std::printf("analysis alone:          %6.3f ms CPU per second of audio = %5.3f %% of one core"
                " (%zu spectra from %.0f s)\n",
                cpu / seconds * 1e3, cpu / seconds * 100.0, spectra, seconds);
}

int capture_and_analysis(double seconds) {
    qvk::testing::sound_server server;
    if (!server.running()) {
        std::printf("capture plus analysis:   not measured, no private sound server: %s\n", server.failure().c_str());
        return 1;
    }
    const std::string wav = server.folder() + "/tone.wav";
    qvk::testing::write_tone_wav(wav, 1000.0, seconds + 2.0);
    counting_window window;
    qvk::music::my_audio_snap snap(window, 500);
    if (!snap.start()) {
        std::printf("capture plus analysis:   not measured, the capture did not start\n");
        return 1;
    }
    const pid_t player = server.play(wav);
    // Measure from the first spectrum on, so the player's start is left out.
    while (window.spectra == 0) std::this_thread::sleep_for(1ms);
    const size_t first = window.spectra;
    const double before = process_cpu_seconds();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double cpu = process_cpu_seconds() - before;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const size_t spectra = window.spectra - first;
    qvk::testing::sound_server::end_process(player);
    // Each spectrum stands for one block of 2048 frames.
    const double audio_seconds = double(spectra) * qvk::music::block_frames / 44100.0;
    std::printf("capture plus analysis:   %6.3f ms CPU per second of audio = %5.3f %% of one core"
                " (%zu spectra = %.2f s of audio in %.2f s; aim under 2 %%)\n",
                cpu / audio_seconds * 1e3, cpu / audio_seconds * 100.0, spectra, audio_seconds, wall);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    analysis_alone(seconds);
    return capture_and_analysis(seconds);
}
