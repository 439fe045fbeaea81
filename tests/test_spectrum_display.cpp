// The rhythm page's computation: bars and peaks, the rhythm frame, the tick
// that notices missing data, the display settings file and the setting bars.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "common/ini_file.h"
#include "music/spectrum_display.h"
#include "temp_dir.h"

namespace qvk::music {
namespace {

// A snapshot whose bin has magnitude m (|x| / 4096 = m).
spectrum_snapshot with_magnitude(unsigned bin, double m) {
    spectrum_snapshot s;
    s.re[bin] = m * 4096.0;
    return s;
}

TEST(SpectrumBins, BarsSpanTheFirst512BinsInWideningSteps) {
    const auto& b = bar_bins();
    const std::pair<unsigned, uint16_t> edges[] = {{0, 1},     {49, 50},   {50, 53},   {99, 151},  {100, 154},
                                                   {149, 301}, {150, 305}, {179, 421}, {180, 429}, {199, 511}};
    for (auto [bar, bin] : edges) EXPECT_EQ(b[bar], bin) << "bar " << bar;
    EXPECT_TRUE(std::is_sorted(b.begin(), b.end()));
    EXPECT_EQ(band_bins().front(), 4);
    EXPECT_EQ(band_bins().back(), 510);
}

TEST(RhythmFrame, LevelFirstThenBandValuesFromTheMagnitudes) {
    // Band 14 sits on bin 95; m = e^2 - 1 gives ln(m + 1) = 2.
    const double m = std::exp(2.0) - 1.0;
    const spectrum_snapshot s = with_magnitude(95, m);
    struct frame_case {
        uint16_t gain;
        uint8_t band14;
    };
    for (const frame_case c : {frame_case{1000, 53}, {30, 16}, {2000, 91}}) { // (gain + 0.4) x 38
        const rhythm_frame f = make_rhythm_frame(s, 77, c.gain);
        EXPECT_EQ(f[0], 77);
        EXPECT_EQ(f[14], c.band14) << "gain " << c.gain;
        for (unsigned k = 1; k <= band_count; ++k)
            if (k != 14) {
                EXPECT_EQ(f[k], 0) << "band " << k;
            }
    }
    // Large magnitudes are limited to 255; below e - 1 a band is 0.
    EXPECT_EQ(make_rhythm_frame(with_magnitude(95, 1e6), 0, 2000)[14], 255);
    EXPECT_EQ(make_rhythm_frame(with_magnitude(95, 1.7), 0, 2000)[14], 0);
    EXPECT_LE(display_height(1.7, 2000, 1.0f), 0);
    EXPECT_EQ(display_height(m, 1000, 2.0f), 90); // trunc(45 x 1) x 2
}

TEST(SpectrumMeter, PeakHoldsTwentyTicksAt400MsThenFallsSixPixelsNeverBelowTwo) {
    display_settings set = standard_display_settings();
    spectrum_meter meter;
    const unsigned bar = 70; // bin 93
    ASSERT_EQ(meter.bars()[bar].bin, 93);
    const double m = std::exp(1.0 + 20.0 / 45.0) - 1.0; // height 20
    meter.take(with_magnitude(93, m));
    meter.rise(set, 1.0f);
    EXPECT_EQ(meter.bars()[bar].height, 20);
    EXPECT_EQ(meter.bars()[bar].peak, 25);
    EXPECT_EQ(meter.bars()[bar].hold, 20);
    meter.take(spectrum_snapshot{});
    for (int t = 1; t <= 20; ++t) {
        meter.tick(set);
        ASSERT_EQ(meter.bars()[bar].peak, 25) << "tick " << t;
    }
    EXPECT_EQ(meter.bars()[bar].height, 0); // bars fall 10 a tick
    const int falls[] = {19, 13, 7, 2, 2};
    for (int want : falls) {
        meter.tick(set);
        EXPECT_EQ(meter.bars()[bar].peak, want);
    }
}

TEST(SpectrumMeter, TenTicksWithoutDataClearTheSpectrumThenTheDeviceIsCheckedEvery25) {
    const display_settings set = standard_display_settings();
    spectrum_meter meter;
    spectrum_snapshot s = with_magnitude(95, 100.0);
    s.vu_level = 90;
    meter.take(s);
    std::vector<int> frames, checks;
    for (int t = 1; t <= 60; ++t) {
        const auto r = meter.tick(set);
        if (r.send_frame) frames.push_back(t);
        if (r.check_device) checks.push_back(t);
        const rhythm_frame f = meter.frame(1000);
        EXPECT_EQ(f[0], 90) << "the level stays, tick " << t;
        // The first tick takes the fresh data; the 10th tick without any clears it.
        if (t == 10) {
            EXPECT_GT(f[14], 0);
        }
        if (t == 11) {
            EXPECT_EQ(f[14], 0);
        }
    }
    EXPECT_EQ(frames.size(), 30u);
    EXPECT_EQ(frames.front(), 1);
    EXPECT_EQ(checks, (std::vector<int>{35, 60}));
    // New data starts over.
    meter.take(s);
    meter.tick(set);
    EXPECT_GT(meter.frame(1000)[14], 0);
}

TEST(SpectrumMeter, ClearDropsBarsAndSpectrum) {
    spectrum_meter meter;
    meter.take(with_magnitude(93, 1000.0));
    meter.rise(standard_display_settings(), 1.0f);
    meter.clear();
    for (const spectrum_bar& b : meter.bars()) EXPECT_EQ(b.height + b.peak + b.hold, 0);
    EXPECT_EQ(meter.frame(1000)[14], 0);
}

TEST(DisplaySettings, LoadedOnlyWhenAllFourAreInRangeOtherwiseResetAndWritten) {
    struct file_case {
        const char* what;
        const char* content; // nullptr: no file
        display_settings want;
        bool rewritten;
    };
    const display_settings standard{1000, 400, 6, 10};
    const std::vector<file_case> cases = {
        {"no file", nullptr, standard, true},
        {"all valid", "[SPEC_UI_CFG]\nUI_BAND_GAIN=50\nUI_TOP_HOLD_TIME=1000\nUI_TOP_DOWN_PIX=12\nUI_SPEC_BAND_DOWN_PIX=4\n",
         {50, 1000, 12, 4}, false},
        {"hold time missing", "[SPEC_UI_CFG]\nUI_BAND_GAIN=500\nUI_TOP_DOWN_PIX=3\nUI_SPEC_BAND_DOWN_PIX=5\n", standard,
         true},
        {"gain missing reads 1000", "[SPEC_UI_CFG]\nUI_TOP_HOLD_TIME=200\nUI_TOP_DOWN_PIX=3\nUI_SPEC_BAND_DOWN_PIX=5\n",
         {1000, 200, 3, 5}, false},
        {"gain 2004", "[SPEC_UI_CFG]\nUI_BAND_GAIN=2004\nUI_TOP_HOLD_TIME=200\nUI_TOP_DOWN_PIX=3\nUI_SPEC_BAND_DOWN_PIX=5\n",
         standard, true},
        {"bar fall 3", "[SPEC_UI_CFG]\nUI_BAND_GAIN=500\nUI_TOP_HOLD_TIME=200\nUI_TOP_DOWN_PIX=3\nUI_SPEC_BAND_DOWN_PIX=3\n",
         standard, true},
    };
    for (const file_case& c : cases) {
        testing::temp_dir dir;
        const std::string path = c.content ? dir.write("spec_ui_cfg.cfg", c.content) : dir.file("spec_ui_cfg.cfg");
        const std::string before = c.content ? c.content : "";
        EXPECT_EQ(load_display_settings(path), c.want) << c.what;
        ini_file after(path);
        ASSERT_TRUE(after.exists()) << c.what;
        if (c.rewritten) {
            for (unsigned i = 0; i < display_setting_count; ++i)
                EXPECT_EQ(after.read_int("SPEC_UI_CFG", display_setting_defs[i].key, -1), standard[i]) << c.what;
        } else {
            EXPECT_EQ(dir.read("spec_ui_cfg.cfg"), before) << c.what;
        }
    }
}

TEST(SettingBars, ValuesFollowThePointerAndNeverPassTheMaximum) {
    const bar_range gain{50, 2000};
    const int w = 800;
    EXPECT_FALSE(gain.value_at(3, w));
    EXPECT_EQ(gain.value_at(4, w), 57);           // 50 + 3 / 796 x 1950
    EXPECT_EQ(gain.value_at(400, w), 1027);
    EXPECT_EQ(gain.value_at(w - 2, w), 2000);     // 2002 unlimited: the loader would refuse it
    EXPECT_EQ(gain.fill(2000, w), w - 2);
    EXPECT_EQ(gain.fill(50, w), 0);

    // Whatever the bar stores loads again.
    testing::temp_dir dir;
    const std::string path = dir.file("spec_ui_cfg.cfg");
    load_display_settings(path);
    for (int x = 4; x <= w - 2; ++x) {
        const int v = *gain.value_at(x, w);
        ASSERT_LE(v, 2000) << x;
    }
    ASSERT_TRUE(save_display_setting(path, band_gain, *gain.value_at(w - 2, w)));
    EXPECT_EQ(load_display_settings(path)[band_gain], 2000);
}

} // namespace
} // namespace qvk::music
