#pragma once
// Everything downstream of a captured packet, on two sides of a thread:
// the capture side assembles blocks and queues them; the analysis thread
// takes each block, computes level and spectrum, publishes them and posts
// message 3125 (wParam 0) to the window. The window reads a consistent copy
// of the last result at any time.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <thread>

#include "link/link_messages.h"
#include "music/audio_analysis.h"
#include "music/block_assembler.h"

namespace qvk::music {

// Completed blocks waiting for the analysis thread. The capture side never
// waits: when the analysis falls behind by more than the queue holds, the
// oldest waiting block is dropped.
class block_queue {
public:
    static constexpr size_t capacity = 8;

    void push(std::span<const uint8_t, block_bytes> block);
    // Waits for a block or for close(); nothing once closed.
    std::optional<stereo_block> pop_wait();
    void close();
    size_t dropped() const;

private:
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::array<stereo_block, capacity> ring_{};
    size_t head_ = 0;
    size_t count_ = 0;
    size_t dropped_ = 0;
    bool closed_ = false;
};

// The bins the rhythm page uses and the level, as one unit.
struct spectrum_snapshot {
    std::array<double, published_bins> re{};
    std::array<double, published_bins> im{};
    uint8_t vu_level = 0;
};

// The last published result, written by the analysis thread and copied by
// the window thread under one lock, so a reader never sees two results mixed.
class published_spectrum {
public:
    void publish(const fft_array& re, const fft_array& im, uint8_t vu_level);
    spectrum_snapshot read() const;

private:
    mutable std::mutex lock_;
    spectrum_snapshot last_;
};

class audio_pipeline {
public:
    audio_pipeline(link_message_sink& window, uint16_t vu_gain);
    ~audio_pipeline();
    audio_pipeline(const audio_pipeline&) = delete;
    audio_pipeline& operator=(const audio_pipeline&) = delete;

    // Capture side: one captured packet. A silent packet carries no data and
    // completes no block, so silence posts nothing.
    void feed_packet(std::span<const uint8_t> packet, bool silent);

    // The keyboard's level gain in thousandths, set by the window thread and
    // read by the analysis thread for each block.
    void set_vu_gain(uint16_t gain) { vu_gain_.store(gain, std::memory_order_relaxed); }

    spectrum_snapshot spectrum() const { return published_.read(); }
    uint8_t vu_level() const { return published_.read().vu_level; }
    size_t dropped_blocks() const { return queue_.dropped(); }

    // Ends the analysis thread and waits for it; called at the latest by the
    // destructor. No message is posted after it returns.
    void stop();

private:
    void analysis_loop();

    link_message_sink& window_;
    std::atomic<uint16_t> vu_gain_;
    block_queue queue_;
    block_assembler assembler_;
    published_spectrum published_;
    spectrum_analyzer analyzer_; // analysis thread only
    std::thread analysis_;
};

// True when every byte of a packet is the unsigned 8-bit mid value: the
// output played nothing during it.
bool is_digital_silence(std::span<const uint8_t> packet);

} // namespace qvk::music
