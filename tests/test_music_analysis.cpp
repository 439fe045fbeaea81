// The music rhythm's computation against hand-made packets and blocks.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numeric>
#include <random>
#include <vector>

#include "link_fakes.h"
#include "music/audio_analysis.h"
#include "music/audio_messages.h"
#include "music/audio_pipeline.h"
#include "music/block_assembler.h"

namespace qvk::music {
namespace {

constexpr double sample_rate = 44100.0;

std::vector<uint8_t> counting_bytes(size_t n, uint8_t first) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(first + i);
    return v;
}

// Stereo 8-bit frames of a sine of the given frequency and amplitude, the
// same on both channels, starting at frame `start`.
std::vector<uint8_t> tone_frames(double hz, double amplitude, size_t frames, size_t start = 0) {
    std::vector<uint8_t> v(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double s = 128.0 + amplitude * std::sin(2.0 * M_PI * hz * double(start + i) / sample_rate);
        v[2 * i] = v[2 * i + 1] = static_cast<uint8_t>(std::lround(std::clamp(s, 0.0, 255.0)));
    }
    return v;
}

stereo_block as_block(const std::vector<uint8_t>& bytes) {
    stereo_block b{};
    std::copy_n(bytes.begin(), block_bytes, b.begin());
    return b;
}

size_t peak_bin(const fft_array& re, const fft_array& im) {
    size_t best = 1;
    for (size_t b = 1; b < fft_size / 2; ++b)
        if (bin_magnitude(re[b], im[b]) > bin_magnitude(re[best], im[best])) best = b;
    return best;
}

struct assembled {
    std::vector<stereo_block> blocks;
    block_assembler assembler{[this](std::span<const uint8_t, block_bytes> b) {
        stereo_block copy;
        std::copy(b.begin(), b.end(), copy.begin());
        blocks.push_back(copy);
    }};
};

TEST(BlockAssembler, TwoPacketsOf2100CompleteOneBlockAndCarry104) {
    assembled a;
    const std::vector<uint8_t> first = counting_bytes(2100, 0);
    const std::vector<uint8_t> second = counting_bytes(2100, 100);
    a.assembler.append(first);
    EXPECT_TRUE(a.blocks.empty());
    a.assembler.append(second);
    ASSERT_EQ(a.blocks.size(), 1u);
    EXPECT_EQ(a.assembler.carry(), 104u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), a.blocks[0].begin()));
    EXPECT_TRUE(std::equal(second.begin(), second.begin() + 1996, a.blocks[0].begin() + 2100));

    // The 104 bytes left over start the next block.
    const std::vector<uint8_t> rest(3992, 7);
    a.assembler.append(rest);
    ASSERT_EQ(a.blocks.size(), 2u);
    EXPECT_TRUE(std::equal(second.begin() + 1996, second.end(), a.blocks[1].begin()));
    EXPECT_EQ(a.blocks[1][104], 7);
    EXPECT_EQ(a.assembler.carry(), 0u);
}

TEST(BlockAssembler, PacketsLargerThanTheCarryAreaLoseNoByte) {
    // Every byte must come out once, in order, whatever the packet sizes.
    for (size_t packet : {1u, 441u, 4095u, 4096u, 4097u, 9000u, 20000u}) {
        assembled a;
        std::vector<uint8_t> stream(5 * block_bytes + 123);
        std::mt19937 rng(static_cast<unsigned>(packet));
        for (uint8_t& b : stream) b = static_cast<uint8_t>(rng());
        for (size_t at = 0; at < stream.size(); at += packet)
            a.assembler.append(std::span<const uint8_t>(stream).subspan(at, std::min(packet, stream.size() - at)));
        ASSERT_EQ(a.blocks.size(), 5u) << "packet " << packet;
        for (size_t k = 0; k < 5; ++k)
            EXPECT_TRUE(std::equal(a.blocks[k].begin(), a.blocks[k].end(), stream.begin() + k * block_bytes))
                << "packet " << packet << " block " << k;
    }
}

TEST(AudioLevel, Cases) {
    struct level_case {
        const char* what;
        std::vector<uint8_t> samples;
        uint16_t gain;
        uint8_t level;
    };
    const std::vector<level_case> cases = {
        {"constant 128: max 0, min 126, span 0", std::vector<uint8_t>(2048, 128), 1000, 0},
        {"127 and 128 are ignored", {127, 128, 127, 128}, 1000, 0},
        {"full scale: span 252, no boost, gain 10", {0, 255, 0, 255}, 10, 254},
        {"span 51 boosted to 92.7", {126, 180}, 0, 92},
        {"span 51 boosted, gain 500", {126, 180}, 500, 139},
        {"span 51 boosted, gain 1000", {126, 180}, 1000, 185},
        {"only samples below the mid line", {0, 100, 126}, 1000, 0},
        {"limited to 255", {0, 200}, 1000, 255},
    };
    for (const level_case& c : cases) EXPECT_EQ(vu_level_of(c.samples, c.gain), c.level) << c.what;
}

TEST(Downmix, HalvesTheSumOfLeftAndRight) {
    stereo_block block{};
    block[0] = 255, block[1] = 254;
    block[2] = 0, block[3] = 1;
    block[4] = 128, block[5] = 130;
    mono_half mono{};
    downmix(block, mono);
    EXPECT_EQ(mono[0], 254);
    EXPECT_EQ(mono[1], 0);
    EXPECT_EQ(mono[2], 129);
}

TEST(Transform, MatchesTheDiscreteFourierTransform) {
    constexpr size_t n = 64;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> re(n), im(n);
    for (size_t i = 0; i < n; ++i) re[i] = u(rng), im[i] = u(rng);
    std::vector<std::complex<double>> expected(n);
    for (size_t k = 0; k < n; ++k)
        for (size_t t = 0; t < n; ++t)
            expected[k] += std::complex<double>(re[t], im[t]) * std::polar(1.0, -2.0 * M_PI * double(k * t) / n);
    fft_in_place(re, im);
    for (size_t k = 0; k < n; ++k) {
        EXPECT_NEAR(re[k], expected[k].real(), 1e-9) << k;
        EXPECT_NEAR(im[k], expected[k].imag(), 1e-9) << k;
    }
}

TEST(SpectrumAnalyzer, FirstBlockGivesNoSpectrumAndTheLevelLagsOneBlock) {
    spectrum_analyzer a;
    const stereo_block loud = as_block(tone_frames(1000.0, 127.0, block_frames));
    const stereo_block quiet{}; // all zero: left and right 0, mono 0 -> span 0
    EXPECT_FALSE(a.analyse(loud, 10));
    EXPECT_EQ(a.vu_level(), 0); // level of the empty half before any block
    EXPECT_TRUE(a.analyse(quiet, 10));
    EXPECT_GT(a.vu_level(), 200); // the loud block's level
    EXPECT_TRUE(a.analyse(quiet, 10));
    EXPECT_EQ(a.vu_level(), 0);
}

TEST(SpectrumAnalyzer, TransformsTheOlderBlockFollowedByTheNewerTimesFifty) {
    spectrum_analyzer a;
    std::vector<stereo_block> blocks;
    for (uint8_t seed : {1, 2, 3, 4}) {
        std::mt19937 rng(seed);
        stereo_block b;
        for (uint8_t& v : b) v = static_cast<uint8_t>(rng());
        blocks.push_back(b);
    }
    mono_half m[4];
    for (size_t k = 0; k < 4; ++k) downmix(blocks[k], m[k]);
    for (size_t k = 0; k < 4; ++k) {
        a.analyse(blocks[k], 0);
        if (k == 0) continue;
        fft_array re{}, im{};
        for (size_t n = 0; n < block_frames; ++n) {
            re[n] = m[k - 1][n] * 50.0;
            re[block_frames + n] = m[k][n] * 50.0;
        }
        fft_in_place(re, im);
        EXPECT_EQ(a.re(), re) << "after block " << k;
        EXPECT_EQ(a.im(), im) << "after block " << k;
    }
}

TEST(SpectrumAnalyzer, PureToneLandsInItsBin) {
    struct tone_case {
        double hz;
        size_t bin;
    };
    const double bin_hz = sample_rate / fft_size;
    for (const tone_case c : {tone_case{93 * bin_hz, 93}, {1000.0, 93}, {440.0, 41}, {5000.0, 464}}) {
        spectrum_analyzer a;
        const std::vector<uint8_t> frames = tone_frames(c.hz, 100.0, 2 * block_frames);
        a.analyse(std::span<const uint8_t, block_bytes>(frames.data(), block_bytes), 0);
        ASSERT_TRUE(a.analyse(std::span<const uint8_t, block_bytes>(frames.data() + block_bytes, block_bytes), 0));
        EXPECT_EQ(peak_bin(a.re(), a.im()), c.bin) << c.hz << " Hz";
    }
}

// The pipeline with its analysis thread, fed as the capture thread would.
class AudioPipeline : public ::testing::Test {
protected:
    testing::recording_sink window;

    void feed(audio_pipeline& p, const std::vector<uint8_t>& bytes, size_t packet = 1764) {
        for (size_t at = 0; at < bytes.size(); at += packet)
            p.feed_packet(std::span<const uint8_t>(bytes).subspan(at, std::min(packet, bytes.size() - at)), false);
    }
    size_t spectra() const { return window.count(msg::audio_snap); }
};

TEST_F(AudioPipeline, FirstBlockPostsNothingThenOneMessagePerBlock) {
    audio_pipeline p(window, 500);
    const std::vector<uint8_t> tone = tone_frames(1000.0, 100.0, 4 * block_frames);
    feed(p, std::vector<uint8_t>(tone.begin(), tone.begin() + 2 * block_bytes));
    ASSERT_TRUE(window.wait_for(msg::audio_snap, 1));
    feed(p, std::vector<uint8_t>(tone.begin() + 2 * block_bytes, tone.end()));
    ASSERT_TRUE(window.wait_for(msg::audio_snap, 3));
    // Four blocks, three spectra: nothing more arrives.
    EXPECT_FALSE(window.wait_for(msg::audio_snap, 4, std::chrono::milliseconds(300)));
    p.stop();
    for (const testing::posted& m : window.all()) {
        EXPECT_EQ(m.wparam, audio_result::spectrum_ready);
        EXPECT_EQ(m.lparam, 0);
    }
    const spectrum_snapshot s = p.spectrum();
    std::array<double, published_bins> mags{};
    for (size_t b = 0; b < published_bins; ++b) mags[b] = bin_magnitude(s.re[b], s.im[b]);
    EXPECT_EQ(std::max_element(mags.begin() + 1, mags.end()) - mags.begin(), 93);
    EXPECT_GT(s.vu_level, 0);
}

TEST_F(AudioPipeline, SilentPacketsPostNothing) {
    audio_pipeline p(window, 500);
    const std::vector<uint8_t> packet(1764, 128);
    for (int i = 0; i < 50; ++i) {
        p.feed_packet(packet, true);
        ASSERT_TRUE(is_digital_silence(packet));
    }
    p.stop();
    EXPECT_EQ(spectra(), 0u);
    EXPECT_FALSE(is_digital_silence(std::vector<uint8_t>{128, 128, 129}));
}

TEST_F(AudioPipeline, TheLevelGainSetLaterAppliesToTheNextBlocks) {
    // Span 51 (samples 126 and 180): 92 without gain, 185 with gain 1000.
    std::vector<uint8_t> block(block_bytes);
    for (size_t i = 0; i < block.size(); ++i) block[i] = (i / 2) % 2 ? 180 : 126;
    audio_pipeline p(window, 0);
    feed(p, block);
    feed(p, block);
    ASSERT_TRUE(window.wait_for(msg::audio_snap, 1));
    EXPECT_EQ(p.vu_level(), 92);
    p.set_vu_gain(1000);
    feed(p, block);
    ASSERT_TRUE(window.wait_for(msg::audio_snap, 2));
    EXPECT_EQ(p.vu_level(), 185);
}

} // namespace
} // namespace qvk::music
