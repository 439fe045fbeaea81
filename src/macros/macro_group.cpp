#include "macros/macro_group.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qvk::macro {

void blank_step(macro_group& g, size_t step) {
    if (step < step_count) step_bytes(g, step)[fc_kind] = fk_transparent;
}

void delete_step(macro_group& g, size_t step) {
    if (step >= step_count) return;
    std::memmove(step_bytes(g, step), step_bytes(g, step) + step_size, step_offset(step_count - 1 - step));
    std::memset(step_bytes(g, step_count - 1), 0, step_size);
}

void insert_steps(macro_group& g, size_t step, size_t count) {
    if (count == 0 || step >= step_count || count > step_count - step) return;
    std::memmove(step_bytes(g, step) + step_offset(count), step_bytes(g, step),
                 step_offset(step_count - step - count));
    std::memset(step_bytes(g, step), 0, step_offset(count));
}

size_t steps_pushed_off(const macro_group& g, size_t step, size_t count) {
    if (count == 0 || step >= step_count || count > step_count - step) return 0;
    size_t lost = 0;
    for (size_t s = step_count - count; s < step_count; ++s) lost += step_empty(g, s) ? 0 : 1;
    return lost;
}

void blank_steps(macro_group& g, std::span<const size_t> rows) {
    for (size_t r : rows) blank_step(g, r);
}

void delete_steps(macro_group& g, std::span<const size_t> rows) {
    std::vector<size_t> order(rows.begin(), rows.end());
    std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    for (auto it = order.rbegin(); it != order.rend(); ++it) delete_step(g, *it);
}

} // namespace qvk::macro
