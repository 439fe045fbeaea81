#pragma once
// One macro group (2048 bytes): 512 steps of one function code each, step i
// at byte 4*i. The keyboard runs a group step by step; a step of kind 0 is
// empty. The operations here are the macro editor's edits of one group in
// memory; nothing is sent.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "functions/func_code.h"
#include "link/command_catalogue.h"

namespace qvk {

using macro_group = std::array<uint8_t, record_size::macro_group>;

namespace macro {

constexpr size_t step_size = func_code_size;
constexpr size_t step_count = 512;
static_assert(step_size * step_count == record_size::macro_group);

constexpr size_t step_offset(size_t step) { return step_size * step; }

// The 4 code bytes of step `step` (below step_count).
inline uint8_t* step_bytes(macro_group& g, size_t step) { return g.data() + step_offset(step); }
inline const uint8_t* step_bytes(const macro_group& g, size_t step) { return g.data() + step_offset(step); }
inline func_code step_code(const macro_group& g, size_t step) { return fc_from(step_bytes(g, step)); }
inline bool step_empty(const macro_group& g, size_t step) { return g[step_offset(step) + fc_kind] == fk_transparent; }

// "Delete, leave blanks": the step's kind becomes 0; its parameter bytes
// stay as they were (an empty step ignores them).
void blank_step(macro_group& g, size_t step);
// "Delete and move up": the later steps move up by one and the last step
// becomes 00 00 00 00.
void delete_step(macro_group& g, size_t step);
// Inserts `count` empty steps (00 00 00 00) at `step`; the steps from there
// move down by `count` and the last `count` steps of the group drop off.
// Nothing happens unless step + count fits in the group.
void insert_steps(macro_group& g, size_t step, size_t count);
// How many non-empty steps insert_steps(g, step, count) would push off the
// end of the group.
size_t steps_pushed_off(const macro_group& g, size_t step, size_t count);

// The list operations on several selected rows. Rows are step numbers in
// any order; those beyond the group are ignored. Deleting works from the
// last row up, so that every row deletes the step it showed when the rows
// were chosen.
void blank_steps(macro_group& g, std::span<const size_t> rows);
void delete_steps(macro_group& g, std::span<const size_t> rows);

} // namespace macro
} // namespace qvk
