#include "lighting/ambient_groups.h"

#include <algorithm>
#include <cstring>

#include "lighting/colour.h"

namespace qvk::ambient {

namespace {
// Percent added before truncating a volume (a step of the sound server is
// 0.0015 %).
constexpr double volume_allowance = 0.005;
} // namespace

uint8_t* group(uint8_t* s, unsigned g) {
    return g < led::ambient_group_count ? s + led::off_ambient_groups + led::ambient_group_size * g : nullptr;
}
const uint8_t* group(const uint8_t* s, unsigned g) {
    return g < led::ambient_group_count ? s + led::off_ambient_groups + led::ambient_group_size * g : nullptr;
}

bool switched_on(const uint8_t* grp) { return grp[off_switch_count] & 1; }
void set_switched_on(uint8_t* grp, bool on) {
    grp[off_switch_count] = uint8_t((grp[off_switch_count] & ~1u) | (on ? 1u : 0u));
}
unsigned stored_count(const uint8_t* grp) { return grp[off_switch_count] >> 1; }

user_led light(const uint8_t* grp, unsigned k) {
    if (k >= max_lights) return {};
    return {grp[off_lights + 2 * k], grp[off_lights + 2 * k + 1]};
}

uint32_t custom_colour(const uint8_t* grp, unsigned t) {
    return t < colour_count ? colour::from_triple(grp + off_colours + 3 * t) : 0;
}
void set_custom_colour(uint8_t* grp, unsigned t, uint32_t rrggbb) {
    if (t < colour_count) colour::to_triple(rrggbb, grp + off_colours + 3 * t);
}

void mark_grouped(std::vector<ambient_light>& lights, const uint8_t* led_state) {
    for (ambient_light& l : lights) l.in_group = false;
    for (unsigned g = 0; g < led::ambient_group_count; ++g) {
        const uint8_t* grp = group(led_state, g);
        const unsigned n = std::min(stored_count(grp), max_lights);
        for (unsigned k = 0; k < n; ++k) {
            const int u = find_ambient_light(lights, light(grp, k));
            if (u < 0) continue;
            lights[size_t(u)].in_group = true;
            lights[size_t(u)].group = g;
        }
    }
}

bool group_list::rebuild(const uint8_t* grp, const std::vector<ambient_light>& lights) {
    if (grp[off_switch_count] > switch_count_limit) return false;
    entries_.clear();
    for (unsigned k = 0; k < stored_count(grp); ++k) {
        const int u = find_ambient_light(lights, light(grp, k));
        if (u >= 0) entries_.push_back(lights[size_t(u)]);
    }
    return true;
}

bool group_list::add(ambient_light& l, unsigned g) {
    if (l.in_group || entries_.size() >= max_lights) return false;
    l.in_group = true;
    l.group = g;
    entries_.push_back(l);
    return true;
}

bool group_list::remove(unsigned i, std::vector<ambient_light>& lights) {
    if (i >= entries_.size()) return false;
    const unsigned u = entries_[i].number;
    if (u < lights.size()) lights[u].in_group = false;
    entries_.erase(entries_.begin() + long(i));
    return true;
}

void group_list::write_back(uint8_t* grp) const {
    std::memset(grp + off_lights, 0, lights_size);
    grp[off_switch_count] = uint8_t(count() * 2 + (grp[off_switch_count] & 1));
    for (unsigned k = 0; k < count(); ++k) {
        // A copy of the table's descriptor.
        const user_led& d = entries_[k].led;
        grp[off_lights + 2 * k] = uint8_t(d.chain_pos() * 2 + (d.is_bead() ? 1 : 0));
        grp[off_lights + 2 * k + 1] = uint8_t(d.y() * 16 + d.x());
    }
}

unsigned speed_at(int x, int width, unsigned minimum, unsigned maximum) {
    if (width <= 4 || maximum <= minimum) return minimum;
    const double v = double(minimum) + double(x - 1) / double(width - 4) * double(maximum - minimum);
    return v <= 0 ? 0u : unsigned(v);
}

int speed_fill(unsigned speed, unsigned minimum, unsigned maximum, int width) {
    if (maximum <= minimum) return 0;
    const double ratio = std::min(1.0, double(speed) / double(maximum - minimum));
    return int(double(width - 2) * ratio);
}

unsigned volume_percent(float scalar) {
    if (!(scalar > 0.0f)) return 0;
    // The sound server keeps volumes in steps of 1/65536, so 29 % reads back
    // as 28.999 %: a small allowance keeps the percent the user set, while
    // 45.6 % still counts as 45.
    const double percent = double(scalar) * 100.0 + volume_allowance;
    return percent >= 100.0 ? 100u : unsigned(percent);
}

int volume_follower::poll(float scalar) {
    const unsigned v = volume_percent(scalar);
    if (v == last_sent_) return -1;
    last_sent_ = v;
    if (skip_first_) {
        skip_first_ = false;
        return -1;
    }
    return int(v);
}

} // namespace qvk::ambient
