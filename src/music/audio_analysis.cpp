#include "music/audio_analysis.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qvk::music {

namespace {
// The value of pi the transform's angle steps are taken from.
constexpr double transform_pi = 3.1415926535898;

constexpr uint8_t upper_threshold = 129; // samples at or above count for the maximum
constexpr uint8_t lower_threshold = 126; // samples at or below count for the minimum
constexpr int span_offset = 3;
constexpr double boost_below = 0.9;      // ratios below this are boosted
constexpr double boost_bias = 0.35;
constexpr double full_scale = 255.0;

void bit_reverse(std::span<double> re, std::span<double> im) {
    const size_t n = re.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
}
} // namespace

void downmix(std::span<const uint8_t, block_bytes> block, mono_half& mono) {
    for (size_t k = 0; k < block_frames; ++k)
        mono[k] = static_cast<uint8_t>((block[2 * k] + block[2 * k + 1]) >> 1);
}

uint8_t vu_level_of(std::span<const uint8_t> mono, uint16_t vu_gain) {
    int max = 0;
    int min = lower_threshold;
    for (uint8_t v : mono) {
        if (v >= upper_threshold)
            max = std::max<int>(max, v);
        else if (v <= lower_threshold)
            min = std::min<int>(min, v);
    }
    double span = std::max(0, max - span_offset - min);
    const double ratio = span / full_scale;
    if (ratio < boost_below) span /= ratio + boost_bias;
    span *= 1.0 + vu_gain / 1000.0;
    return static_cast<uint8_t>(std::min(span, full_scale));
}

void fft_in_place(std::span<double> re, std::span<double> im) {
    const size_t n = re.size();
    bit_reverse(re, im);
    for (size_t d = 2; d <= n; d <<= 1) {
        const size_t h = d / 2;
        const double e = transform_pi / static_cast<double>(h);
        const double step_re = std::cos(e);
        const double step_im = -std::sin(e);
        double w_re = 1.0;
        double w_im = 0.0;
        for (size_t k = 0; k < h; ++k) {
            for (size_t i = k; i < n; i += d) {
                const double t_re = re[i + h] * w_re - im[i + h] * w_im;
                const double t_im = re[i + h] * w_im + im[i + h] * w_re;
                re[i + h] = re[i] - t_re;
                im[i + h] = im[i] - t_im;
                re[i] += t_re;
                im[i] += t_im;
            }
            const double next_re = w_re * step_re - w_im * step_im;
            w_im = w_re * step_im + w_im * step_re;
            w_re = next_re;
        }
    }
}

double bin_magnitude(double re, double im) {
    return std::sqrt(re * re + im * im) / static_cast<double>(fft_size);
}

bool spectrum_analyzer::analyse(std::span<const uint8_t, block_bytes> block, uint16_t vu_gain) {
    downmix(block, mono_);
    // The level is taken over the half written last, the previous block.
    vu_level_ = vu_level_of(halves_[toggle_], vu_gain);

    if (toggle_ == 1) {
        halves_[0] = mono_;
        toggle_ = 0;
    } else {
        halves_[1] = mono_;
        toggle_ = 1;
        ready_ = true;
    }
    if (!ready_) return false;

    // Older half first: half 0 was written before half 1 when toggle is back at 1.
    const mono_half& older = toggle_ == 1 ? halves_[0] : halves_[1];
    const mono_half& newer = toggle_ == 1 ? halves_[1] : halves_[0];
    for (size_t n = 0; n < block_frames; ++n) {
        re_[n] = older[n] * window_scale;
        re_[block_frames + n] = newer[n] * window_scale;
    }
    im_.fill(0.0);
    fft_in_place(re_, im_);
    return true;
}

} // namespace qvk::music
