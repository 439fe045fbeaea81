#include "sim/device_records.h"

#include <algorithm>
#include <cstring>

#include "common/text_codec.h"
#include "link/command_catalogue.h"

namespace qvk::sim {

namespace {

// Where a block write lands: the record read by `read_command`, `length`
// bytes at `offset`, selected by the block's sub value when `indexed`.
struct block_target {
    uint8_t command;
    uint8_t read_command;
    size_t offset;
    size_t length;
    bool indexed;
};

constexpr block_target block_targets[] = {
    {cmd::write_scan_params, cmd::read_scan_params, 0, record_size::scan_params, false},
    {cmd::write_mac_table, cmd::read_ble_params, 0, record_size::mac_table, false},
    {cmd::write_flayer, cmd::read_flayer, 0, record_size::flayer, true},
    {cmd::write_tlayer, cmd::read_tlayer, 0, record_size::tlayer, true},
    {cmd::write_indicator_actions, cmd::read_indicator_actions, 0, record_size::indicator_actions, false},
    {cmd::write_layer_state, cmd::read_layer_state, 0, record_size::layer_state, false},
    {cmd::write_custom_data, cmd::read_custom_picture, 0, record_size::custom_picture, true},
    {cmd::write_indicator_lights, cmd::read_lighting, led::off_indicators, record_size::indicator_lights, false},
    {cmd::write_beads, cmd::read_lighting, led::off_beads, record_size::beads, false},
    {cmd::write_macro, cmd::read_macro, 0, record_size::macro_group, true},
    {cmd::write_trigger_mode, cmd::read_trigger_mode, 0, record_size::trigger_mode, false},
};

std::span<uint8_t> pick(std::vector<bytes>& list, unsigned sub) {
    if (sub >= list.size()) return {};
    return list[sub];
}

} // namespace

device_records::device_records() { restore_defaults(); }

void device_records::restore_defaults() {
    scan_ = default_scan_params();
    ble_support_ = default_ble_support();
    ble_ = default_ble_params();
    layout_ = default_layout();
    layer_state_ = default_layer_state();
    indicator_actions_ = default_indicator_actions();
    lighting_ = default_lighting();
    battery_ = default_battery();
    trigger_mode_ = default_trigger_mode();
    flayers_.clear();
    tlayers_.clear();
    pictures_.clear();
    macros_.clear();
    for (unsigned l = 0; l < record_size::flayer_count; ++l) flayers_.push_back(default_flayer(l));
    for (unsigned l = 0; l < record_size::tlayer_count; ++l) tlayers_.push_back(default_tlayer(l));
    for (unsigned p = 0; p < record_size::custom_picture_count; ++p) pictures_.push_back(default_custom_picture(p));
    for (unsigned g = 0; g < record_size::macro_group_count; ++g) macros_.push_back(default_macro_group(g));
}

unsigned device_records::count(uint8_t c) {
    switch (c) {
    case cmd::read_scan_params:
    case cmd::read_ble_support:
    case cmd::read_ble_params:
    case cmd::read_layout:
    case cmd::read_layer_state:
    case cmd::read_indicator_actions:
    case cmd::read_lighting:
    case cmd::read_battery:
    case cmd::read_trigger_mode: return 1;
    case cmd::read_flayer: return record_size::flayer_count;
    case cmd::read_tlayer: return record_size::tlayer_count;
    case cmd::read_custom_picture: return record_size::custom_picture_count;
    case cmd::read_macro: return record_size::macro_group_count;
    default: return 0;
    }
}

std::span<uint8_t> device_records::find(uint8_t c, unsigned sub) {
    switch (c) {
    case cmd::read_scan_params: return scan_;
    case cmd::read_ble_support: return ble_support_;
    case cmd::read_ble_params: return ble_;
    case cmd::read_layout: return layout_;
    case cmd::read_layer_state: return layer_state_;
    case cmd::read_indicator_actions: return indicator_actions_;
    case cmd::read_lighting: return lighting_;
    case cmd::read_battery: return battery_;
    case cmd::read_trigger_mode: return trigger_mode_;
    case cmd::read_flayer: return pick(flayers_, sub);
    case cmd::read_tlayer: return pick(tlayers_, sub);
    case cmd::read_custom_picture: return pick(pictures_, sub);
    case cmd::read_macro: return pick(macros_, sub);
    default: return {};
    }
}

std::span<const uint8_t> device_records::find(uint8_t c, unsigned sub) const {
    return const_cast<device_records*>(this)->find(c, sub);
}

bool device_records::store_block(uint8_t c, unsigned sub, std::span<const uint8_t> data, std::string* new_name) {
    if (c == cmd::write_name) {
        if (data.size() < record_size::device_name) return false;
        // Up to the first NUL; the 25th byte is always a terminator.
        const auto* p = data.data();
        const size_t n = strnlen(reinterpret_cast<const char*>(p), record_size::device_name - 1);
        if (new_name) *new_name = from_host_ansi(std::string_view(reinterpret_cast<const char*>(p), n));
        return true;
    }
    if (c == cmd::custom_bkl_settings) {
        // Group number, then that custom effect's 12-byte record.
        if (data.size() < record_size::custom_settings) return false;
        const unsigned group = data[0];
        if (group >= led::custom_group_count) return false;
        std::memcpy(&lighting_[led::off_custom_groups + led::custom_group_size * group], &data[1],
                    led::custom_group_size);
        return true;
    }
    if (c == cmd::write_ambient_group) {
        if (data.size() < record_size::ambient_group || sub >= led::ambient_group_count) return false;
        std::memcpy(&lighting_[led::off_ambient_groups + led::ambient_group_size * sub], data.data(),
                    record_size::ambient_group);
        return true;
    }
    for (const block_target& t : block_targets) {
        if (t.command != c) continue;
        if (data.size() < t.length) return false;
        if (c == cmd::write_layer_state &&
            (data[layer_state::off_default_flayer] >= record_size::flayer_count ||
             data[layer_state::off_active_tlayer] >= record_size::tlayer_count))
            return false; // a state naming a layer that does not exist is refused
        std::span<uint8_t> rec = find(t.read_command, t.indexed ? sub : 0);
        if (rec.size() < t.offset + t.length) return false;
        std::memcpy(rec.data() + t.offset, data.data(), t.length);
        return true;
    }
    return false;
}

bool device_records::store_short(uint8_t c, uint8_t sub, uint16_t value16, uint32_t value32) {
    uint8_t* led_rec = lighting_.data();
    const unsigned effects = led_rec[led::off_effect_count];
    const unsigned builtin = effects >= led::custom_group_count ? effects - led::custom_group_count : 0;
    const unsigned current = led_rec[led::off_effect];
    uint8_t* effect = current < builtin && current < led::builtin_effects_max
                          ? led_rec + led::off_effects + led::effect_size * current
                          : nullptr;
    uint8_t* custom = current >= builtin && current - builtin < led::custom_group_count
                          ? led_rec + led::off_custom_groups + led::custom_group_size * (current - builtin)
                          : nullptr;
    switch (c) {
    case cmd::set_ble_slot:
        if (sub >= ble::connection_count) return false;
        ble_[ble::off_slot] = sub;
        return true;
    case cmd::set_ble_sleep:
        ble_[ble::off_sleep_enabled] = sub ? 1 : 0;
        write_u16(&ble_[ble::off_sleep_s], value16);
        return true;
    case cmd::set_ble_power: ble_[ble::off_tx_power] = sub; return true;
    case cmd::bkl_driver_current: led_rec[led::off_driver_current] = sub; return true;
    case cmd::bkl_red: led_rec[led::off_red] = sub; return true;
    case cmd::bkl_green: led_rec[led::off_green] = sub; return true;
    case cmd::bkl_blue: led_rec[led::off_blue] = sub; return true;
    case cmd::bkl_effect:
        if (sub >= effects) return false;
        led_rec[led::off_effect] = sub;
        return true;
    case cmd::bkl_speed:
        if (effect) write_u16(effect + led::eff_off_speed, value16);
        else if (custom) custom[led::cg_off_speed] = uint8_t(value16);
        else return false;
        return true;
    case cmd::bkl_parameter:
        if (!effect) return false;
        effect[led::eff_off_param] = sub;
        return true;
    case cmd::bkl_centre_correction:
        // value16 is the list position 0, 1, 2 for the offsets -1, 0, +1.
        if (!effect || !effect[led::eff_off_centre] || sub > 1 || value16 > 2) return false;
        effect[sub == 0 ? led::eff_off_centre_x : led::eff_off_centre_y] = uint8_t(int8_t(int(value16) - 1));
        return true;
    case cmd::bkl_master_switch: led_rec[led::off_master] = sub; return true;
    case cmd::rhythm_gains:
        write_u16(led_rec + led::off_vu_gain, value16);
        write_u16(led_rec + led::off_rhythm_gain, uint16_t(value32));
        return true;
    default: return false;
    }
}

} // namespace qvk::sim
