#pragma once
// The arithmetic of the music rhythm: from a block of 2048 captured stereo
// frames (unsigned 8-bit) to a mono signal, an audio level and a 4096-point
// spectrum over the last two blocks. Plain computation, no threads.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qvk::music {

constexpr size_t block_bytes = 4096;             // one block of stereo 8-bit frames
constexpr size_t block_frames = block_bytes / 2; // 2048 mono samples per block
constexpr size_t fft_size = 4096;                // two blocks of mono samples
constexpr size_t published_bins = 512;           // bins the rhythm page reads
constexpr double window_scale = 50.0;            // each sample enters the transform times this

using stereo_block = std::array<uint8_t, block_bytes>;
using mono_half = std::array<uint8_t, block_frames>;
using fft_array = std::array<double, fft_size>;

// mono[k] = (left + right) >> 1.
void downmix(std::span<const uint8_t, block_bytes> block, mono_half& mono);

// Audio level 0..255 of mono samples: the span between the highest sample
// above the mid line (>= 129) and the lowest below it (<= 126), less 3, small
// spans boosted, then scaled by 1 + gain / 1000.
uint8_t vu_level_of(std::span<const uint8_t> mono, uint16_t vu_gain);

// In-place radix-2 decimation-in-time transform of N = re.size() points
// (a power of two), unscaled, with the twiddle factor advanced by rotation.
void fft_in_place(std::span<double> re, std::span<double> im);

// Magnitude of a bin as the rhythm page uses it: |x| / 4096.
double bin_magnitude(double re, double im);

// The analysis state carried from block to block: the two most recent mono
// halves, which one is older, the level and the transform arrays.
class spectrum_analyzer {
public:
    // Analyses one block; returns true when a new spectrum is ready (every
    // block except the first).
    bool analyse(std::span<const uint8_t, block_bytes> block, uint16_t vu_gain);

    const fft_array& re() const { return re_; }
    const fft_array& im() const { return im_; }
    uint8_t vu_level() const { return vu_level_; }

private:
    mono_half mono_{};
    std::array<mono_half, 2> halves_{};
    int toggle_ = 1;
    bool ready_ = false;
    uint8_t vu_level_ = 0;
    fft_array re_{};
    fft_array im_{};
};

} // namespace qvk::music
