#include "macros/macro_text.h"

#include <cstring>
#include <vector>

namespace qvk::macro_text {

namespace {

// Keys 0x2D-0x38 of a US keyboard: the character typed without and with
// Shift (0x32, the non-US key, types nothing here).
struct symbol_key {
    uint8_t usage;
    char16_t plain;
    char16_t shifted;
};
constexpr symbol_key symbol_keys[] = {
    {0x2D, u'-', u'_'}, {0x2E, u'=', u'+'}, {0x2F, u'[', u'{'},  {0x30, u']', u'}'},
    {0x31, u'\\', u'|'}, {0x33, u';', u':'}, {0x34, u'\'', u'"'}, {0x35, u'`', u'~'},
    {0x36, u',', u'<'}, {0x37, u'.', u'>'}, {0x38, u'/', u'?'},
};
// Shift with the digit keys 1..9, 0.
constexpr char16_t shifted_digits[] = u"!@#$%^&*()";

constexpr uint8_t usage_a = 0x04;
constexpr uint8_t usage_1 = 0x1E;
constexpr uint8_t usage_0 = 0x27;
constexpr uint8_t usage_tab = 0x2B;
constexpr uint8_t usage_space = 0x2C;

// The keys that type the text in order; a character no key types gives
// nothing, or counts as one unknown key when `unknown` is given.
std::vector<typed_key> keys_of(std::u16string_view text, size_t* unknown) {
    std::vector<typed_key> keys;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r') {
            // CR LF is one line break; a CR of its own is one as well.
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            c = u'\n';
        }
        if (const auto k = key_for(c))
            keys.push_back(*k);
        else if (unknown)
            ++*unknown;
    }
    return keys;
}

// Steps for the keys: one per key, plus a Shift press before and a Shift
// release after each run of shifted keys.
size_t step_count_of(const std::vector<typed_key>& keys) {
    size_t n = keys.size();
    bool held = false;
    for (const typed_key& k : keys) {
        if (k.shift != held) ++n;
        held = k.shift;
    }
    return n + (held ? 1 : 0);
}

} // namespace

std::optional<typed_key> key_for(char16_t c) {
    if (c >= u'a' && c <= u'z') return typed_key{uint8_t(usage_a + (c - u'a')), false};
    if (c >= u'A' && c <= u'Z') return typed_key{uint8_t(usage_a + (c - u'A')), true};
    if (c >= u'1' && c <= u'9') return typed_key{uint8_t(usage_1 + (c - u'1')), false};
    if (c == u'0') return typed_key{usage_0, false};
    for (size_t i = 0; i < 10; ++i)
        if (c == shifted_digits[i]) return typed_key{uint8_t(usage_1 + i), true};
    switch (c) {
    case u'\n': return typed_key{usage_enter, false};
    case u'\t': return typed_key{usage_tab, false};
    case u' ': return typed_key{usage_space, false};
    default: break;
    }
    for (const symbol_key& k : symbol_keys) {
        if (c == k.plain) return typed_key{k.usage, false};
        if (c == k.shifted) return typed_key{k.usage, true};
    }
    return std::nullopt;
}

room count(std::u16string_view text, size_t position) {
    size_t unknown = 0;
    const size_t needed = step_count_of(keys_of(text, &unknown)) + unknown;
    const int max = position < macro::step_count ? int(macro::step_count - position) : 0;
    // A text longer than any group is simply "too many"; the figure stays
    // within int.
    const int n = needed > 0x7FFFFFF ? 0x7FFFFFF : int(needed);
    return {max, n, max - n};
}

verdict check(std::u16string_view text, size_t position) {
    size_t unknown = 0;
    const std::vector<typed_key> keys = keys_of(text, &unknown);
    if (unknown) return verdict::unconvertible;
    const size_t max = position < macro::step_count ? macro::step_count - position : 0;
    return step_count_of(keys) > max ? verdict::too_long : verdict::ok;
}

macro_steps convert(std::u16string_view text) {
    macro_steps out;
    const std::vector<typed_key> keys = keys_of(text, nullptr);
    auto put = [&out](uint8_t kind, uint8_t p1, uint8_t p2) {
        if (out.count >= macro::step_count) return;
        uint8_t* s = macro::step_bytes(out.steps, out.count++);
        s[fc_kind] = kind;
        s[fc_p1] = p1;
        s[fc_p2] = p2;
        s[fc_p3] = 0;
    };
    bool held = false;
    for (const typed_key& k : keys) {
        if (k.shift != held) put(fk_key_edge, usage_left_shift, k.shift ? 1 : 0);
        held = k.shift;
        put(fk_key, k.usage, 0);
    }
    if (held) put(fk_key_edge, usage_left_shift, 0);
    return out;
}

void insert(macro_group& g, size_t position, const macro_steps& s) {
    if (s.count == 0 || position >= macro::step_count || s.count > macro::step_count - position) return;
    macro::insert_steps(g, position, s.count);
    std::memcpy(macro::step_bytes(g, position), s.steps.data(), macro::step_offset(s.count));
}

} // namespace qvk::macro_text
