#include "sim/default_records.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <string>

#include "functions/func_code.h"
#include "layers/flayer_record.h"
#include "layers/kb_layout.h"
#include "link/battery_reply.h"
#include "link/command_catalogue.h"
#include "macros/macro_group.h"
#include "macros/macro_text.h"

namespace qvk::sim {

namespace {

// Builds one row of keys from (label, usage, width in quarter units), each
// key placed right after the previous one unless a gap is given.
struct row_key {
    const char* label;
    uint8_t usage;
    uint16_t w_q = 4;
    uint16_t gap_q = 0; // space before the key
    uint16_t h_q = 4;
};

void add_row(std::vector<board_key>& keys, uint8_t row, uint16_t y_q, std::initializer_list<row_key> list) {
    uint16_t x = 0;
    uint8_t column = 0;
    for (const row_key& k : list) {
        x = uint16_t(x + k.gap_q);
        keys.push_back({column++, row, x, y_q, k.w_q, k.h_q, k.usage, k.label});
        x = uint16_t(x + k.w_q);
    }
}

std::vector<board_key> make_full_size() {
    std::vector<board_key> k;
    // Gaps that line the clusters up: navigation starts at 15.25 units,
    // the numpad at 18.5 units.
    add_row(k, 0, 0, {{"Esc", 0x29}, {"F1", 0x3A, 4, 4}, {"F2", 0x3B}, {"F3", 0x3C}, {"F4", 0x3D},
                      {"F5", 0x3E, 4, 2}, {"F6", 0x3F}, {"F7", 0x40}, {"F8", 0x41},
                      {"F9", 0x42, 4, 2}, {"F10", 0x43}, {"F11", 0x44}, {"F12", 0x45},
                      {"PrtSc", 0x46, 4, 1}, {"ScrLk", 0x47}, {"Pause", 0x48}});
    add_row(k, 1, 6, {{"`", 0x35}, {"1", 0x1E}, {"2", 0x1F}, {"3", 0x20}, {"4", 0x21}, {"5", 0x22},
                      {"6", 0x23}, {"7", 0x24}, {"8", 0x25}, {"9", 0x26}, {"0", 0x27}, {"-", 0x2D},
                      {"=", 0x2E}, {"Backspace", 0x2A, 8}, {"Insert", 0x49, 4, 1}, {"Home", 0x4A},
                      {"PgUp", 0x4B}, {"NumLock", 0x53, 4, 1}, {"KP/", 0x54}, {"KP*", 0x55}, {"KP-", 0x56}});
    add_row(k, 2, 10, {{"Tab", 0x2B, 6}, {"Q", 0x14}, {"W", 0x1A}, {"E", 0x08}, {"R", 0x15}, {"T", 0x17},
                       {"Y", 0x1C}, {"U", 0x18}, {"I", 0x0C}, {"O", 0x12}, {"P", 0x13}, {"[", 0x2F},
                       {"]", 0x30}, {"\\", 0x31, 6}, {"Delete", 0x4C, 4, 1}, {"End", 0x4D}, {"PgDn", 0x4E},
                       {"KP7", 0x5F, 4, 1}, {"KP8", 0x60}, {"KP9", 0x61}, {"KP+", 0x57, 4, 0, 8}});
    add_row(k, 3, 14, {{"CapsLock", 0x39, 7}, {"A", 0x04}, {"S", 0x16}, {"D", 0x07}, {"F", 0x09},
                       {"G", 0x0A}, {"H", 0x0B}, {"J", 0x0D}, {"K", 0x0E}, {"L", 0x0F}, {";", 0x33},
                       {"'", 0x34}, {"Enter", 0x28, 9}, {"KP4", 0x5C, 4, 14}, {"KP5", 0x5D}, {"KP6", 0x5E}});
    add_row(k, 4, 18, {{"LShift", 0xE1, 9}, {"Z", 0x1D}, {"X", 0x1B}, {"C", 0x06}, {"V", 0x19}, {"B", 0x05},
                       {"N", 0x11}, {"M", 0x10}, {",", 0x36}, {".", 0x37}, {"/", 0x38}, {"RShift", 0xE5, 11},
                       {"Up", 0x52, 4, 5}, {"KP1", 0x59, 4, 5}, {"KP2", 0x5A}, {"KP3", 0x5B},
                       {"KPEnter", 0x58, 4, 0, 8}});
    add_row(k, 5, 22, {{"LCtrl", 0xE0, 5}, {"LWin", 0xE3, 5}, {"LAlt", 0xE2, 5}, {"Space", 0x2C, 25},
                       {"RAlt", 0xE6, 5}, {"RWin", 0xE7, 5}, {"Menu", 0x65, 5}, {"RCtrl", 0xE4, 5},
                       {"Left", 0x50, 4, 1}, {"Down", 0x51}, {"Right", 0x4F}, {"KP0", 0x62, 8, 1},
                       {"KP.", 0x63}});
    return k;
}

uint16_t px(uint16_t quarters) { return uint16_t(quarters * key_pitch_px / 4); }

} // namespace

const std::vector<board_key>& full_size_keys() {
    static const std::vector<board_key> keys = make_full_size();
    return keys;
}

bytes default_scan_params() {
    bytes r(record_size::scan_params, 0);
    write_u16(&r[scan::off_debounce_ms], 5);
    write_u16(&r[scan::off_multi_tap_ms], 250);
    write_u16(&r[scan::off_hold_ms], 300);
    write_u16(&r[scan::off_sleep_s], 10);
    return r;
}

bytes default_ble_support() { return bytes{1}; }

bytes default_ble_params() {
    bytes r(record_size::ble_params, 0);
    for (unsigned k = 0; k < ble::connection_count; ++k) {
        uint8_t* c = &r[k * ble::connection_size];
        c[0] = 1;
        // Own address D4:3B:04:5A:7C:1k, least significant byte first.
        const uint8_t own[6] = {uint8_t(0x10 + k), 0x7C, 0x5A, 0x04, 0x3B, 0xD4};
        std::memcpy(c + ble::conn_off_own_mac, own, 6);
        if (k < 2) { // two hosts paired
            c[ble::conn_off_bound] = 1;
            const uint8_t host[6] = {uint8_t(0xA0 + k), 0x55, 0x19, 0xE2, 0x8F, 0x3C};
            std::memcpy(c + ble::conn_off_host_mac, host, 6);
        }
    }
    r[ble::off_slot] = 0;
    r[ble::off_tx_power] = 0;
    r[ble::off_sleep_enabled] = 1;
    write_u16(&r[ble::off_sleep_s], 300);
    return r;
}

bytes default_layout() {
    bytes r(record_size::kb_layout, 0);
    r[layout::off_present] = 1;
    r[layout::off_columns] = board_columns;
    r[layout::off_rows] = board_rows;
    uint8_t light = 0;
    for (const board_key& k : full_size_keys()) {
        layout::key_entry e;
        e.kind = layout::entry_key;
        e.light_low = 1; // driver 1: the key-light matrix
        e.light_index = uint8_t(light++ & layout::light_index_mask);
        e.x = uint16_t(board_margin_px + px(k.x_q));
        e.y = uint16_t(board_margin_px + px(k.y_q));
        e.width = uint16_t(px(k.w_q) - key_gap_px);
        e.height = uint16_t(px(k.h_q) - key_gap_px);
        e.key_id = board_key_id(k.column, k.row);
        layout::write_key_entry(r.data(), k.column, k.row, e);
    }
    // Ambient lights: a short WS2812 strip and two cells of a 3741 driver.
    unsigned u = 0;
    for (unsigned b = 0; b < default_beads; ++b) layout::set_ambient_light(r.data(), u++, uint8_t((b << 1) | 1), 0);
    layout::set_ambient_light(r.data(), u++, 0, uint8_t(0x0E));       // X 14, Y 0
    layout::set_ambient_light(r.data(), u++, 0, uint8_t(0x0F));       // X 15, Y 0
    r[layout::off_ambient_count] = uint8_t(u);
    r[layout::off_chain_length] = default_beads;
    return r;
}

bytes default_layer_state() {
    bytes r(record_size::layer_state, 0);
    r[layer_state::off_default_flayer] = 0;
    r[layer_state::off_flayer_flags + 0] = 1;
    r[layer_state::off_flayer_flags + 1] = 1; // the media layer
    r[layer_state::off_active_tlayer] = 0;
    return r;
}

namespace {
void put_code(uint8_t* p, uint8_t kind, uint8_t b1, uint8_t b2 = 0, uint8_t b3 = 0) {
    p[0] = kind;
    p[1] = b1;
    p[2] = b2;
    p[3] = b3;
}
void set_slot(bytes& layer, uint8_t key_id, uint8_t kind, uint8_t b1, uint8_t b2 = 0) {
    uint8_t* s = &layer[key_id * flayer::slot_size];
    put_code(s + flayer::off_press, kind, b1, b2);
    put_code(s + flayer::off_release, kind, b1, b2);
}
const board_key* find_key(const char* label) {
    for (const board_key& k : full_size_keys())
        if (std::strcmp(k.label, label) == 0) return &k;
    return nullptr;
}
} // namespace

bytes default_flayer(unsigned layer) {
    bytes r(record_size::flayer, 0);
    if (layer == 0) {
        // Every key types its own usage.
        for (const board_key& k : full_size_keys()) set_slot(r, board_key_id(k.column, k.row), fk_key, k.usage);
        return r;
    }
    // The other layers fall through to layer 0 (transparent) except for Esc,
    // which returns to layer 0. Layer 1 also puts media keys on F1..F12.
    const board_key* esc = find_key("Esc");
    uint8_t* s = &r[board_key_id(esc->column, esc->row) * flayer::slot_size];
    put_code(s + flayer::off_press, fk_flayer_switch, 0);
    if (layer == 1) {
        static const uint16_t media[12] = {0x0192, 0x0194, 0x0223, 0x018A, 0x00B6, 0x00CD,
                                           0x00B5, 0x00E2, 0x00EA, 0x00E9, 0x006F, 0x0070};
        for (unsigned f = 0; f < 12; ++f) {
            char label[4];
            std::snprintf(label, sizeof label, "F%u", f + 1);
            const board_key* k = find_key(label);
            set_slot(r, board_key_id(k->column, k->row), fk_media, uint8_t(media[f]), uint8_t(media[f] >> 8));
        }
    }
    return r;
}

bytes default_tlayer(unsigned) {
    bytes r(record_size::tlayer, 0);
    // Every combination starts with its key positions empty.
    for (unsigned i = 0; i < tlayer::combo_count; ++i)
        std::memset(&r[tlayer::off_combos + tlayer::combo_size * i + 1], tlayer::empty_key, 4);
    return r;
}

bytes default_indicator_actions() {
    bytes r(record_size::indicator_actions, 0);
    // CAPS: switch to function layer 1 while lit, back to 0 when it goes out;
    // the trigger is off until the user turns it on.
    uint8_t* caps = &r[ind_action::record_size * 1];
    caps[ind_action::off_switch] = 0;
    put_code(caps + ind_action::off_on_code, fk_flayer_switch, 1);
    put_code(caps + ind_action::off_off_code, fk_flayer_switch, 0);
    return r;
}

bytes default_lighting() {
    bytes r(record_size::lighting, 0);
    constexpr unsigned builtin = 12;
    r[led::off_effect_count] = builtin + led::custom_group_count;
    r[led::off_effect] = 0;
    r[led::off_master] = 1;
    r[led::off_driver_current] = 160;
    r[led::off_red] = r[led::off_green] = r[led::off_blue] = 100;
    for (unsigned i = 0; i < builtin; ++i) {
        uint8_t* e = &r[led::off_effects + led::effect_size * i];
        if (i == 0) continue; // effect 0: all lights steady, nothing to adjust
        write_u16(e + led::eff_off_speed, 50);
        write_u16(e + led::eff_off_speed_min, 10);
        write_u16(e + led::eff_off_speed_max, 200);
        if (i % 3 == 1) { // every third effect takes a parameter
            e[led::eff_off_param] = 3;
            e[led::eff_off_param_min] = 1;
            e[led::eff_off_param_max] = 8;
        }
        if (i == 5 || i == 6) e[led::eff_off_centre] = 1; // ripples from the centre
    }
    // Beads: GRB order, full brightness.
    for (size_t p = 0; p < led::beads_size; ++p) r[led::off_beads + p] = uint8_t(100 << 1);
    // Ambient group 0 holds the strip and is on; the others are empty.
    for (unsigned g = 0; g < led::ambient_group_count; ++g) {
        uint8_t* grp = &r[led::off_ambient_groups + led::ambient_group_size * g];
        grp[led::grp_off_effect] = uint8_t(g);
        grp[led::grp_off_speed] = 50;
        grp[led::grp_off_speed_min] = 10;
        grp[led::grp_off_speed_max] = 200;
        static const uint8_t colours[12] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
        std::memcpy(grp + led::grp_off_colours, colours, sizeof colours);
        if (g == 0) {
            grp[led::grp_off_switch_count] = uint8_t((default_beads << 1) | 1);
            for (unsigned b = 0; b < default_beads; ++b) grp[led::grp_off_lights + 2 * b] = uint8_t((b << 1) | 1);
        }
    }
    // Indicators on the NumLock, CapsLock and ScrLk key lights, custom white.
    const char* indicator_keys[3] = {"NumLock", "CapsLock", "ScrLk"};
    for (unsigned i = 0; i < 3; ++i) {
        const board_key* k = find_key(indicator_keys[i]);
        uint8_t* ind = &r[led::off_indicators + led::indicator_size * i];
        ind[0] = uint8_t(1 | (1 << 1)); // on, custom colour
        const uint32_t word = 1u | (uint32_t(k->column) << 2) | (uint32_t(k->row) << 7);
        for (int b = 0; b < 4; ++b) ind[1 + b] = uint8_t(word >> (8 * b));
        ind[5] = ind[6] = ind[7] = 0xFF;
    }
    // Custom effects k use picture k with the animations in turn.
    for (unsigned k = 0; k < led::custom_group_count; ++k) {
        uint8_t* cg = &r[led::off_custom_groups + led::custom_group_size * k];
        cg[led::cg_off_mode] = uint8_t((k % 4) | (k << 3));
        cg[led::cg_off_speed] = 50;
        cg[led::cg_off_speed_min] = 10;
        cg[led::cg_off_speed_max] = 200;
    }
    write_u16(&r[led::off_vu_gain], 100);
    write_u16(&r[led::off_rhythm_gain], 100);
    return r;
}

bytes default_battery() {
    bytes r(record_size::battery, 0);
    r[battery_reply::off_level] = 76;
    battery_reply::put_voltage(r.data(), 3.95);
    return r;
}

bytes default_custom_picture(unsigned number) {
    // A colour ramp across the columns that differs from picture to picture.
    bytes r(record_size::custom_picture, 0);
    for (unsigned c = 0; c < layout::max_columns; ++c)
        for (unsigned row = 0; row < layout::max_rows; ++row) {
            uint8_t* p = &r[picture::column_stride * c + picture::position_size * row];
            p[0] = uint8_t(c * 9 + number * 7);
            p[1] = uint8_t(row * 30 + number);
            p[2] = uint8_t(255 - c * 9);
        }
    return r;
}

// Group 0 types a greeting, turns the volume up and stops; the other groups
// are empty.
bytes default_macro_group(unsigned group) {
    bytes r(record_size::macro_group, 0);
    if (group != 0) return r;
    std::vector<func_code> steps = {{fk_delay, 100, 0, 0}};
    const macro_steps typed = macro_text::convert(u"Hello World!\n");
    for (size_t i = 0; i < typed.count; ++i) steps.push_back(macro::step_code(typed.steps, i));
    const std::vector<func_code> tail = {
        {fk_random_delay, 0xF4, 0x01, 0}, {fk_media_edge, 0xE9, 0x00, 1}, {fk_delay, 50, 0, 0},
        {fk_media_edge, 0xE9, 0x00, 0},   {fk_key_edge, 0xE0, 1, 0},      {fk_key, 0x16, 0, 0},
        {fk_key_edge, 0xE0, 0, 0},        {fk_macro_stop, 0, 0, 0},
    };
    steps.insert(steps.end(), tail.begin(), tail.end());
    for (size_t i = 0; i < steps.size(); ++i) std::memcpy(r.data() + macro::step_offset(i), steps[i].data(), 4);
    return r;
}

bytes default_trigger_mode() { return bytes(record_size::trigger_mode, 0); }

} // namespace qvk::sim
