#include "link/initial_read.h"

namespace qvk {

uint8_t initial_read_sub(unsigned step, uint8_t default_flayer, uint8_t active_tlayer) {
    if (step >= initial_read_step_count) return 0;
    switch (initial_read_steps[step].sub) {
    case initial_read_step::sub_from::default_flayer: return default_flayer;
    case initial_read_step::sub_from::active_tlayer: return active_tlayer;
    case initial_read_step::sub_from::none: break;
    }
    return 0;
}

unsigned initial_read_state::first_missing() const {
    for (unsigned i = 0; i < initial_read_step_count; ++i)
        if (!done_[i]) return i;
    return initial_read_step_count;
}

} // namespace qvk
