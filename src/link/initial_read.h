#pragma once
// The nine requests that fill the tool's copy of the keyboard's
// configuration after connecting, sent one at a time, each when the
// previous reply has arrived, and the flags that say which have arrived.

#include <array>
#include <cstdint>

#include "link/command_catalogue.h"

namespace qvk {

struct initial_read_step {
    uint8_t command;
    enum class sub_from { none, default_flayer, active_tlayer } sub;
};

constexpr unsigned initial_read_step_count = 9;

constexpr std::array<initial_read_step, initial_read_step_count> initial_read_steps{{
    {cmd::read_scan_params, initial_read_step::sub_from::none},
    {cmd::read_ble_support, initial_read_step::sub_from::none},
    {cmd::read_ble_params, initial_read_step::sub_from::none},
    {cmd::read_layout, initial_read_step::sub_from::none},
    {cmd::read_layer_state, initial_read_step::sub_from::none},
    {cmd::read_flayer, initial_read_step::sub_from::default_flayer},
    {cmd::read_tlayer, initial_read_step::sub_from::active_tlayer},
    {cmd::read_lighting, initial_read_step::sub_from::none},
    {cmd::read_indicator_actions, initial_read_step::sub_from::none},
}};

// The sub value a step's request carries: the layer state's default
// function layer or active trigger layer, or 0.
uint8_t initial_read_sub(unsigned step, uint8_t default_flayer, uint8_t active_tlayer);

class initial_read_state {
public:
    void mark_read_done(unsigned step) {
        if (step < initial_read_step_count) done_[step] = true;
    }
    bool is_read_done(unsigned step) const { return step < initial_read_step_count && done_[step]; }
    void clear() { done_.fill(false); }
    // The first step still missing; initial_read_step_count when all arrived.
    unsigned first_missing() const;

    // Makes the completion steps run once per initial read.
    bool finished = false;

private:
    std::array<bool, initial_read_step_count> done_{};
};

} // namespace qvk
