#include "lighting/led_state.h"

#include "link/link_kind.h"
#include "link/packet.h"

namespace qvk::led {

unsigned builtin_count(const uint8_t* s) {
    const unsigned n = s[off_effect_count];
    const unsigned b = n >= custom_group_count ? n - custom_group_count : 0;
    return b < builtin_effects_max ? b : builtin_effects_max;
}

bool master_on(const uint8_t* s) { return s[off_master] != 0; }

const uint8_t* builtin_effect(const uint8_t* s, unsigned i) {
    return i < builtin_count(s) ? s + off_effects + effect_size * i : nullptr;
}
uint8_t* builtin_effect(uint8_t* s, unsigned i) {
    return i < builtin_count(s) ? s + off_effects + effect_size * i : nullptr;
}

const uint8_t* custom_group(const uint8_t* s, unsigned k) {
    return k < custom_group_count ? s + off_custom_groups + custom_group_size * k : nullptr;
}
uint8_t* custom_group(uint8_t* s, unsigned k) {
    return k < custom_group_count ? s + off_custom_groups + custom_group_size * k : nullptr;
}

namespace {

// The custom group the current effect names, when it is a custom effect.
const uint8_t* current_custom(const uint8_t* s) {
    const unsigned n = s[off_effect_count], cur = s[off_effect], b = builtin_count(s);
    if (cur >= n || cur < b) return nullptr;
    return custom_group(s, cur - b);
}

} // namespace

adjustable current_speed(const uint8_t* s) {
    adjustable a;
    if (const uint8_t* e = builtin_effect(s, s[off_effect])) {
        a.minimum = packet::read_u16(e + eff_off_speed_min);
        a.maximum = packet::read_u16(e + eff_off_speed_max);
        a.enabled = a.minimum != 0 || a.maximum != 0;
        a.value = uint8_t(packet::read_u16(e + eff_off_speed));
    } else if (const uint8_t* g = current_custom(s)) {
        a.enabled = (g[cg_off_mode] & cg_animation_mask) != 0;
        a.value = g[cg_off_speed];
        a.minimum = g[cg_off_speed_min];
        a.maximum = g[cg_off_speed_max];
    }
    return a;
}

adjustable current_parameter(const uint8_t* s) {
    adjustable a;
    if (const uint8_t* e = builtin_effect(s, s[off_effect])) {
        a.value = e[eff_off_param];
        a.minimum = e[eff_off_param_min];
        a.maximum = e[eff_off_param_max];
        a.enabled = a.minimum != 0 || a.maximum != 0;
    }
    return a;
}

bool current_has_centre(const uint8_t* s) {
    const uint8_t* e = builtin_effect(s, s[off_effect]);
    return e && e[eff_off_centre] != 0;
}

bool set_current_speed(uint8_t* s, uint16_t speed) {
    if (uint8_t* e = builtin_effect(s, s[off_effect])) {
        packet::write_u16(e + eff_off_speed, speed);
        return true;
    }
    if (const uint8_t* g = current_custom(s)) {
        s[size_t(g - s) + cg_off_speed] = uint8_t(speed);
        return true;
    }
    return false;
}

bool set_current_parameter(uint8_t* s, uint8_t value) {
    uint8_t* e = builtin_effect(s, s[off_effect]);
    if (!e) return false;
    e[eff_off_param] = value;
    return true;
}

uint8_t bead_brightness(const uint8_t* s, unsigned p) {
    return p < beads_size ? uint8_t(s[off_beads + p] >> bead_brightness_shift) : 0;
}
bool bead_rgb(const uint8_t* s, unsigned p) { return p < beads_size && (s[off_beads + p] & bead_format_bit); }

namespace indicator {

uint8_t* at(uint8_t* s, unsigned i) { return i < indicator_count ? s + off_indicators + indicator_size * i : nullptr; }
const uint8_t* at(const uint8_t* s, unsigned i) {
    return i < indicator_count ? s + off_indicators + indicator_size * i : nullptr;
}

bool on(const uint8_t* ind) { return ind[off_flags] & 1; }
void set_on(uint8_t* ind, bool v) { ind[off_flags] = uint8_t((ind[off_flags] & ~1u) | (v ? 1u : 0u)); }
uint8_t effect(const uint8_t* ind) { return uint8_t(ind[off_flags] >> 1); }
void set_effect(uint8_t* ind, uint8_t e) { ind[off_flags] = uint8_t((ind[off_flags] & 1u) | (unsigned(e) << 1)); }
uint32_t word(const uint8_t* ind) { return packet::read_u32(ind + off_word); }
void set_word(uint8_t* ind, uint32_t w) { packet::write_u32(ind + off_word, w); }

uint32_t source_of(uint32_t w) { return w & source_mask; }
unsigned column_of(uint32_t w) { return (w >> column_shift) & column_mask; }
unsigned row_of(uint32_t w) { return (w >> row_shift) & row_mask; }
unsigned chain_of(uint32_t w) { return (w >> chain_shift) & chain_mask; }
unsigned x_of(uint32_t w) { return (w >> x_shift) & x_mask; }
unsigned y_of(uint32_t w) { return (w >> y_shift) & y_mask; }

namespace {
uint32_t put(uint32_t w, uint32_t v, unsigned shift, uint32_t mask) {
    return (w & ~(mask << shift)) | ((v & mask) << shift);
}
} // namespace

uint32_t with_key(uint32_t w, unsigned column, unsigned row) {
    return put(put(put(w, source_key, 0, source_mask), column, column_shift, column_mask), row, row_shift, row_mask);
}
uint32_t with_matrix_cell(uint32_t w, unsigned x, unsigned y) {
    return put(put(put(w, source_matrix, 0, source_mask), x, x_shift, x_mask), y, y_shift, y_mask);
}
uint32_t with_bead(uint32_t w, unsigned chain_pos) {
    return put(put(w, source_bead, 0, source_mask), chain_pos, chain_shift, chain_mask);
}

} // namespace indicator

} // namespace qvk::led

namespace qvk {

bool stream_allowed(const uint8_t* led_state, uint32_t link_kind) {
    return led::master_on(led_state) && (link_kind == kind_usb || link_kind == kind_ble);
}

} // namespace qvk
