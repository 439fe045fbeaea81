#pragma once
// What the music rhythm page computes from the spectra the capture posts:
// the 200 bars with their peak marks, the 27-byte rhythm frame for the
// keyboard, the tick that decides when data counts as gone, the display
// settings file and the mapping of the setting bars. No drawing here.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "music/audio_pipeline.h"

namespace qvk::music {

constexpr unsigned bar_count = 200;
constexpr unsigned band_count = 26;
constexpr size_t rhythm_frame_size = 1 + band_count; // level, then the bands
constexpr int tick_ms = 20;
constexpr int no_data_ticks_limit = 10;  // 200 ms without a spectrum clears it
constexpr int silent_ticks_limit = 25;   // then every 500 ms the default output is checked

using rhythm_frame = std::array<uint8_t, rhythm_frame_size>;

// Transform bin of each keyboard band and of each display bar.
const std::array<uint16_t, band_count>& band_bins();
const std::array<uint16_t, bar_count>& bar_bins();

// The display settings kept in spec_ui_cfg.cfg, section SPEC_UI_CFG.
enum display_setting : unsigned { band_gain = 0, top_hold_time = 1, top_down_pix = 2, band_down_pix = 3 };
constexpr unsigned display_setting_count = 4;
struct display_setting_def {
    const char* key;
    int standard; // used when the file lacks a key or holds a value out of range
    int minimum;
    int maximum;
};
extern const std::array<display_setting_def, display_setting_count> display_setting_defs;
extern const char* const display_settings_section;
constexpr const char* display_settings_file = "spec_ui_cfg.cfg";

using display_settings = std::array<int, display_setting_count>;
display_settings standard_display_settings();
// Reads the four settings; when the file is missing or any value is out of
// range, all four go back to their standard values and are written.
display_settings load_display_settings(const std::string& path);
bool save_display_setting(const std::string& path, display_setting which, int value);

// |bin| / 4096 from the page's copy (0 for bins it does not hold).
double magnitude_of(const spectrum_snapshot& s, unsigned bin);
// Height in pixels of a bar for magnitude m (negative below m = e - 1).
int display_height(double m, int band_gain, float scale);
// The frame: the level, then 26 band values from the magnitudes.
rhythm_frame make_rhythm_frame(const spectrum_snapshot& s, uint8_t vu_level, uint16_t rhythm_gain);

struct spectrum_bar {
    int height = 0;
    int peak = 0;
    int hold = 0; // ticks the peak mark stays before it falls
    uint16_t bin = 0;
};

// The page's copy of the last spectrum and the bars drawn from it.
class spectrum_meter {
public:
    spectrum_meter();

    // A new spectrum arrived (message 3125, wParam 0).
    void take(const spectrum_snapshot& s);

    struct tick_result {
        bool send_frame = false;   // every second tick
        bool check_device = false; // after a long silence
    };
    // One 20 ms tick: bars and peaks fall, missing data is counted.
    tick_result tick(const display_settings& settings);
    // Raises the bars to the current spectrum (done when the page draws).
    void rise(const display_settings& settings, float scale);
    // Everything back to nothing (the rhythm stopped).
    void clear();

    const std::array<spectrum_bar, bar_count>& bars() const { return bars_; }
    const spectrum_snapshot& spectrum() const { return copy_; }
    uint8_t vu_level() const { return vu_level_; }
    rhythm_frame frame(uint16_t rhythm_gain) const { return make_rhythm_frame(copy_, vu_level_, rhythm_gain); }

private:
    spectrum_snapshot copy_;
    uint8_t vu_level_ = 0;
    bool fresh_ = false;
    int no_data_ticks_ = 0;
    int silent_ticks_ = 0;
    bool send_toggle_ = true;
    std::array<spectrum_bar, bar_count> bars_{};
};

// A setting bar's range and the mapping between pointer, fill and value.
struct bar_range {
    int minimum;
    int maximum;
    // The filled width for value v on a bar of width w.
    int fill(int v, int w) const;
    // The value under the pointer at x (none left of x = 4). Never above
    // the maximum, so a stored value always loads again.
    std::optional<int> value_at(int x, int w) const;
};

} // namespace qvk::music
