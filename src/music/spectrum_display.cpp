#include "music/spectrum_display.h"

#include <algorithm>
#include <cmath>

#include "common/ini_file.h"

namespace qvk::music {

namespace {
constexpr double display_factor = 45.0;
constexpr double band_factor = 38.0;
constexpr double band_gain_offset = 0.4;
constexpr int peak_lift = 5;
constexpr int peak_floor = 2;

std::array<uint16_t, bar_count> make_bar_bins() {
    std::array<uint16_t, bar_count> b{};
    size_t i = 0;
    for (int bin = 1; bin <= 50; ++bin) b[i++] = uint16_t(bin);
    for (int bin = 53; bin <= 151; bin += 2) b[i++] = uint16_t(bin);
    for (int bin = 154; bin <= 301; bin += 3) b[i++] = uint16_t(bin);
    for (int bin = 305; bin <= 421; bin += 4) b[i++] = uint16_t(bin);
    for (uint16_t bin : {429, 433, 438, 443, 447, 452, 457, 462, 467, 471, 475, 478, 481, 485, 491, 495, 498, 502,
                         508, 511})
        b[i++] = bin;
    return b;
}
} // namespace

const std::array<display_setting_def, display_setting_count> display_setting_defs = {{
    {"UI_BAND_GAIN", 1000, 50, 2000},
    {"UI_TOP_HOLD_TIME", 400, 100, 1000},
    {"UI_TOP_DOWN_PIX", 6, 2, 12},
    {"UI_SPEC_BAND_DOWN_PIX", 10, 4, 20},
}};
const char* const display_settings_section = "SPEC_UI_CFG";

const std::array<uint16_t, band_count>& band_bins() {
    static const std::array<uint16_t, band_count> bins = {4,   6,   8,   10,  13,  16,  20,  26,  31,
                                                          39,  50,  62,  74,  95,  113, 124, 135, 149,
                                                          163, 177, 200, 223, 288, 367, 455, 510};
    return bins;
}

const std::array<uint16_t, bar_count>& bar_bins() {
    static const std::array<uint16_t, bar_count> bins = make_bar_bins();
    return bins;
}

display_settings standard_display_settings() {
    display_settings s{};
    for (unsigned i = 0; i < display_setting_count; ++i) s[i] = display_setting_defs[i].standard;
    return s;
}

display_settings load_display_settings(const std::string& path) {
    ini_file file(path);
    if (file.exists()) {
        display_settings s{};
        bool valid = true;
        for (unsigned i = 0; i < display_setting_count; ++i) {
            const display_setting_def& d = display_setting_defs[i];
            // A missing hold time reads as 400 / 20 = 20, which is out of
            // range; the other keys read their standard values.
            const int missing = i == top_hold_time ? d.standard / tick_ms : d.standard;
            s[i] = file.read_int(display_settings_section, d.key, missing);
            valid = valid && s[i] >= d.minimum && s[i] <= d.maximum;
        }
        if (valid) return s;
    }
    const display_settings s = standard_display_settings();
    for (unsigned i = 0; i < display_setting_count; ++i)
        file.write_int(display_settings_section, display_setting_defs[i].key, s[i]);
    return s;
}

bool save_display_setting(const std::string& path, display_setting which, int value) {
    ini_file file(path);
    return file.write_int(display_settings_section, display_setting_defs[which].key, value);
}

double magnitude_of(const spectrum_snapshot& s, unsigned bin) {
    if (bin >= published_bins) return 0.0;
    return bin_magnitude(s.re[bin], s.im[bin]);
}

int display_height(double m, int band_gain, float scale) {
    const int c = static_cast<int>(band_gain / 1000.0 * (display_factor * std::log(std::fabs(m) + 1.0) - display_factor));
    return static_cast<int>(static_cast<float>(c) * scale);
}

rhythm_frame make_rhythm_frame(const spectrum_snapshot& s, uint8_t vu_level, uint16_t rhythm_gain) {
    rhythm_frame f{};
    f[0] = vu_level;
    for (unsigned k = 0; k < band_count; ++k) {
        const double m = magnitude_of(s, band_bins()[k]);
        const double v =
            (rhythm_gain / 1000.0 + band_gain_offset) * (band_factor * std::log(std::fabs(m) + 1.0) - band_factor);
        f[1 + k] = static_cast<uint8_t>(std::clamp(std::trunc(v), 0.0, 255.0));
    }
    return f;
}

spectrum_meter::spectrum_meter() {
    for (unsigned i = 0; i < bar_count; ++i) bars_[i].bin = bar_bins()[i];
}

void spectrum_meter::take(const spectrum_snapshot& s) {
    copy_ = s;
    vu_level_ = s.vu_level;
    fresh_ = true;
}

spectrum_meter::tick_result spectrum_meter::tick(const display_settings& settings) {
    for (spectrum_bar& b : bars_) {
        if (b.hold > 0) {
            --b.hold;
        } else {
            b.peak -= settings[top_down_pix];
            if (b.peak <= 1) b.peak = peak_floor;
        }
        b.height = std::max(0, b.height - settings[band_down_pix]);
    }
    tick_result r;
    if (fresh_) {
        fresh_ = false;
        no_data_ticks_ = 0;
    } else if (++no_data_ticks_ >= no_data_ticks_limit) {
        // The level stays as last measured; the bands go to nothing.
        copy_.re.fill(0.0);
        copy_.im.fill(0.0);
        no_data_ticks_ = no_data_ticks_limit;
        if (++silent_ticks_ >= silent_ticks_limit) {
            silent_ticks_ = 0;
            r.check_device = true;
        }
    }
    r.send_frame = send_toggle_;
    send_toggle_ = !send_toggle_;
    return r;
}

void spectrum_meter::rise(const display_settings& settings, float scale) {
    for (spectrum_bar& b : bars_) {
        const int d = display_height(magnitude_of(copy_, b.bin), settings[band_gain], scale);
        b.height = std::max(b.height, d);
        if (b.peak < d) {
            b.peak = d + peak_lift;
            b.hold = settings[top_hold_time] / tick_ms;
        }
    }
}

void spectrum_meter::clear() {
    copy_.re.fill(0.0);
    copy_.im.fill(0.0);
    for (spectrum_bar& b : bars_) b.height = b.peak = b.hold = 0;
}

int bar_range::fill(int v, int w) const {
    return static_cast<int>(double(v - minimum) / double(maximum - minimum) * double(w - 2));
}

std::optional<int> bar_range::value_at(int x, int w) const {
    if (x < 4 || w <= 4) return std::nullopt;
    const int v = static_cast<int>(minimum + double(x - 1) / double(w - 4) * double(maximum - minimum));
    return std::min(v, maximum);
}

} // namespace qvk::music
