#include "layers/tlayer_record.h"

#include <algorithm>
#include <cstring>

#include "link/packet.h"

namespace qvk::tlayer {

namespace {

using packet::read_u16;
using packet::write_u16;

struct page_map {
    size_t offset;
    size_t size;
    unsigned count;
    unsigned codes;
    std::array<size_t, 3> code_offsets; // within the item (not for combinations)
};

constexpr page_map maps[page_count] = {
    {off_fn_keys, fn_key_size, fn_key_count, 3, {fn_off_pressed, fn_off_released, fn_off_released_after_others}},
    {off_combos, combo_size, combo_count, 2, {0, 0, 0}},
    {off_nhit, nhit_size, group_count, 1, {nhit_off_code, 0, 0}},
    {off_tio, tio_size, group_count, 3, {tio_off_short, tio_off_long, tio_off_long_released}},
    {off_hdk, hdk_size, group_count, 2, {hdk_off_held, hdk_off_released, 0}},
};

const page_map& map_of(page p) { return maps[std::min(unsigned(p), page_count - 1)]; }

bool valid(page p, unsigned n) { return unsigned(p) < page_count && n < map_of(p).count; }

bool has_count_byte(page p) { return p == page::nhit || p == page::hdk; }

} // namespace

unsigned item_count(page p) { return unsigned(p) < page_count ? map_of(p).count : 0; }
unsigned code_count(page p) { return unsigned(p) < page_count ? map_of(p).codes : 0; }

const uint8_t* item(const uint8_t* layer, page p, unsigned n) {
    if (!valid(p, n)) return nullptr;
    const page_map& m = map_of(p);
    return layer + m.offset + m.size * n;
}

uint8_t* item(uint8_t* layer, page p, unsigned n) {
    return const_cast<uint8_t*>(item(static_cast<const uint8_t*>(layer), p, n));
}

const uint8_t* item_code(const uint8_t* layer, page p, unsigned n, unsigned which) {
    if (!valid(p, n) || which >= code_count(p)) return nullptr;
    if (p == page::combo)
        return layer + (which == 0 ? off_combo_all_pressed : off_combo_any_released) + func_code_size * n;
    return item(layer, p, n) + map_of(p).code_offsets[which];
}

uint8_t* item_code(uint8_t* layer, page p, unsigned n, unsigned which) {
    return const_cast<uint8_t*>(item_code(static_cast<const uint8_t*>(layer), p, n, which));
}

bool enabled(const uint8_t* layer, page p, unsigned n) {
    const uint8_t* r = item(layer, p, n);
    if (!r) return false;
    switch (p) {
    case page::fn: return r[fn_off_enabled] != 0;
    case page::combo: return r[combo_off_enabled] != 0;
    case page::tio: return (read_u16(r + tio_off_value) & 1) != 0;
    default: return (r[off_count_byte] & 1) != 0;
    }
}

void set_enabled(uint8_t* layer, page p, unsigned n, bool on) {
    uint8_t* r = item(layer, p, n);
    if (!r) return;
    switch (p) {
    case page::fn: r[fn_off_enabled] = on ? 1 : 0; break;
    case page::combo: r[combo_off_enabled] = on ? 1 : 0; break;
    case page::tio: write_u16(r + tio_off_value, uint16_t((read_u16(r + tio_off_value) & ~1u) | (on ? 1u : 0u))); break;
    default: r[off_count_byte] = uint8_t((r[off_count_byte] & ~1u) | (on ? 1u : 0u)); break;
    }
}

unsigned key_id(const uint8_t* layer, page p, unsigned n) {
    const uint8_t* r = p == page::combo ? nullptr : item(layer, p, n);
    return r ? r[p == page::fn ? fn_off_key : off_key_id] : no_key;
}

void set_key_id(uint8_t* layer, page p, unsigned n, uint8_t key) {
    uint8_t* r = p == page::combo ? nullptr : item(layer, p, n);
    if (r) r[p == page::fn ? fn_off_key : off_key_id] = key;
}

unsigned count(const uint8_t* layer, page p, unsigned n) {
    const uint8_t* r = has_count_byte(p) ? item(layer, p, n) : nullptr;
    return r ? unsigned(r[off_count_byte] >> 1) : 0;
}

void set_count(uint8_t* layer, page p, unsigned n, unsigned taps) {
    uint8_t* r = has_count_byte(p) ? item(layer, p, n) : nullptr;
    if (!r) return;
    r[off_count_byte] = uint8_t((std::min(taps, max_count) << 1) | (r[off_count_byte] & 1u));
}

unsigned time_ms(const uint8_t* layer, unsigned n) {
    const uint8_t* r = item(layer, page::tio, n);
    return r ? unsigned(read_u16(r + tio_off_value) >> 1) : 0;
}

void set_time_ms(uint8_t* layer, unsigned n, unsigned ms) {
    uint8_t* r = item(layer, page::tio, n);
    if (!r || !time_in_range(ms)) return;
    write_u16(r + tio_off_value, uint16_t((ms << 1) | (read_u16(r + tio_off_value) & 1u)));
}

unsigned combo_key(const uint8_t* layer, unsigned n, unsigned position) {
    const uint8_t* r = item(layer, page::combo, n);
    return r && position < combo_key_slots ? r[combo_off_keys + position] : no_key;
}

int combo_add_key(uint8_t* layer, unsigned n, uint8_t k) {
    uint8_t* r = item(layer, page::combo, n);
    if (!r || k >= no_key) return -1;
    for (unsigned i = 0; i < combo_key_slots; ++i)
        if (r[combo_off_keys + i] == k) return -1;
    for (unsigned i = 0; i < combo_key_slots; ++i) {
        if (r[combo_off_keys + i] >= no_key) {
            r[combo_off_keys + i] = k;
            return int(i);
        }
    }
    return -1;
}

unsigned combo_remove_key(uint8_t* layer, unsigned n, unsigned position) {
    uint8_t* r = item(layer, page::combo, n);
    if (!r || position >= combo_key_slots) return no_key;
    const unsigned old = r[combo_off_keys + position];
    r[combo_off_keys + position] = no_key;
    return old;
}

marked_keys keys_to_mark(const uint8_t* layer, page p, unsigned n) {
    marked_keys m;
    if (!enabled(layer, p, n)) return m;
    if (p == page::combo) {
        for (unsigned i = 0; i < combo_key_slots; ++i) {
            const unsigned k = combo_key(layer, n, i);
            if (k < no_key) m.keys[m.size++] = uint8_t(k);
        }
    } else {
        m.keys[m.size++] = uint8_t(key_id(layer, p, n));
    }
    return m;
}

void normalise(uint8_t* layer, page p, unsigned n) {
    uint8_t* r = item(layer, p, n);
    if (!r) return;
    if (has_count_byte(p) && r[off_count_byte] > count_byte_limit) r[off_count_byte] &= 1u;
    if (p == page::tio) {
        const uint16_t v = read_u16(r + tio_off_value);
        if (v < 2) write_u16(r + tio_off_value, uint16_t((v & 1u) + (default_time_ms << 1)));
    }
}

std::string caption(const uint8_t* layer, page p, unsigned n, const std::string& on, const std::string& off,
                    const std::string& fn_key_label) {
    if (!valid(p, n)) return {};
    // The caption shows the item as the editor will mend it when it is
    // shown; the layer itself is not changed by showing its list.
    std::array<uint8_t, record_size> mended;
    std::memcpy(mended.data(), layer, record_size);
    normalise(mended.data(), p, n);
    layer = mended.data();
    std::string s = std::to_string(n) + ": " + (enabled(layer, p, n) ? on : off);
    switch (p) {
    case page::fn: s += fn_key_label + std::to_string(key_id(layer, p, n)); break;
    case page::combo:
        s += "Key = ";
        for (unsigned i = 0; i < combo_key_slots; ++i) {
            const unsigned k = combo_key(layer, n, i);
            s += (k < no_key ? std::to_string(k) : std::string("X")) + " | ";
        }
        break;
    case page::tio:
        s += "Key = " + std::to_string(key_id(layer, p, n)) + " time = " + std::to_string(time_ms(layer, n));
        break;
    default:
        s += "Key = " + std::to_string(key_id(layer, p, n)) + " num = " + std::to_string(count(layer, p, n));
        break;
    }
    return s;
}

void clear_layer(uint8_t* layer) {
    std::memset(layer, 0, record_size);
    for (unsigned i = 0; i < combo_count; ++i)
        std::memset(layer + off_combos + combo_size * i + combo_off_keys, cleared_key, combo_key_slots);
}

} // namespace qvk::tlayer
