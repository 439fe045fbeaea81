#include "music/audio_pipeline.h"

#include <algorithm>

#include "music/audio_messages.h"

namespace qvk::music {

namespace {
constexpr uint8_t silence_sample = 128;
}

void block_queue::push(std::span<const uint8_t, block_bytes> block) {
    {
        std::lock_guard<std::mutex> g(lock_);
        if (closed_) return;
        if (count_ == capacity) {
            head_ = (head_ + 1) % capacity;
            --count_;
            ++dropped_;
        }
        std::copy(block.begin(), block.end(), ring_[(head_ + count_) % capacity].begin());
        ++count_;
    }
    changed_.notify_one();
}

std::optional<stereo_block> block_queue::pop_wait() {
    std::unique_lock<std::mutex> g(lock_);
    changed_.wait(g, [this] { return closed_ || count_ > 0; });
    if (closed_) return std::nullopt;
    std::optional<stereo_block> block = ring_[head_];
    head_ = (head_ + 1) % capacity;
    --count_;
    return block;
}

void block_queue::close() {
    {
        std::lock_guard<std::mutex> g(lock_);
        closed_ = true;
    }
    changed_.notify_all();
}

size_t block_queue::dropped() const {
    std::lock_guard<std::mutex> g(lock_);
    return dropped_;
}

void published_spectrum::publish(const fft_array& re, const fft_array& im, uint8_t vu_level) {
    std::lock_guard<std::mutex> g(lock_);
    std::copy_n(re.begin(), published_bins, last_.re.begin());
    std::copy_n(im.begin(), published_bins, last_.im.begin());
    last_.vu_level = vu_level;
}

spectrum_snapshot published_spectrum::read() const {
    std::lock_guard<std::mutex> g(lock_);
    return last_;
}

audio_pipeline::audio_pipeline(link_message_sink& window, uint16_t vu_gain)
    : window_(window), vu_gain_(vu_gain),
      assembler_([this](std::span<const uint8_t, block_bytes> block) { queue_.push(block); }),
      analysis_([this] { analysis_loop(); }) {}

audio_pipeline::~audio_pipeline() { stop(); }

void audio_pipeline::feed_packet(std::span<const uint8_t> packet, bool silent) {
    if (silent) return;
    assembler_.append(packet);
}

void audio_pipeline::stop() {
    queue_.close();
    if (analysis_.joinable()) analysis_.join();
}

void audio_pipeline::analysis_loop() {
    while (std::optional<stereo_block> block = queue_.pop_wait()) {
        if (!analyzer_.analyse(*block, vu_gain_.load(std::memory_order_relaxed))) continue;
        published_.publish(analyzer_.re(), analyzer_.im(), analyzer_.vu_level());
        window_.post_message(msg::audio_snap, audio_result::spectrum_ready, 0);
    }
}

bool is_digital_silence(std::span<const uint8_t> packet) {
    return std::all_of(packet.begin(), packet.end(), [](uint8_t v) { return v == silence_sample; });
}

} // namespace qvk::music
