#pragma once
// Text typed as a macro: every character a US keyboard types becomes one key
// step (kind 2, the character's keyboard usage), and a run of characters
// typed with Shift is wrapped in a press and a release of the left Shift key
// (kind 23). A line break (LF, CR LF or a lone CR) types Enter.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "macros/macro_group.h"

namespace qvk {

// The steps made from a text, from the start of the block.
struct macro_steps {
    uint32_t count = 0;
    macro_group steps{};
};

namespace macro_text {

constexpr uint8_t usage_enter = 0x28;
constexpr uint8_t usage_left_shift = 0xE1;

struct typed_key {
    uint8_t usage;
    bool shift;
};

// The key (and whether Shift is held) that types `c`; nothing for a
// character no key types. CR is not a key of its own (see steps_needed).
std::optional<typed_key> key_for(char16_t c);

// Room for a text inserted at step `position`.
struct room {
    int max;       // steps from position to the end of the group
    int needed;    // steps the text makes (a character no key types counts one)
    int remaining; // max - needed, negative when the text does not fit
};
room count(std::u16string_view text, size_t position);

enum class verdict { ok, unconvertible, too_long };
// Whether the text can be inserted at `position`: every character typed by
// a key, and its steps fitting in the group.
verdict check(std::u16string_view text, size_t position);

// The steps that type the text; characters no key types are left out. A
// text checked as fitting gives exactly count().needed steps.
macro_steps convert(std::u16string_view text);

// Inserts the steps at `position`: as many empty steps as there are steps
// are inserted there first, then filled. Nothing happens unless they fit.
void insert(macro_group& g, size_t position, const macro_steps& s);

} // namespace macro_text
} // namespace qvk
