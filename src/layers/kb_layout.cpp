#include "layers/kb_layout.h"

#include <algorithm>

#include "link/packet.h"

namespace qvk::layout {

namespace {
using packet::read_u16;
using packet::write_u16;
} // namespace

unsigned columns(const uint8_t* layout) { return std::min<unsigned>(layout[off_columns], max_columns); }
unsigned rows(const uint8_t* layout) { return std::min<unsigned>(layout[off_rows], max_rows); }
bool present(const uint8_t* layout) { return layout[off_present] != 0; }

key_entry read_key_entry(const uint8_t* layout, unsigned column, unsigned row) {
    key_entry e;
    if (column >= max_columns || row >= max_rows) return e;
    const uint8_t* p = layout + entry_offset(column, row);
    const uint16_t word = read_u16(p);
    e.kind = uint8_t((p[entry_off_flags] >> kind_shift) & kind_mask);
    e.light_low = uint8_t(p[entry_off_flags] & light_low_mask);
    e.light_index = uint8_t((word >> light_index_shift) & light_index_mask);
    e.light_byte = p[entry_off_light_byte];
    e.x = read_u16(p + entry_off_x);
    e.y = read_u16(p + entry_off_y);
    e.width = read_u16(p + entry_off_width);
    e.height = read_u16(p + entry_off_height);
    e.key_id = p[entry_off_key_id];
    return e;
}

void write_key_entry(uint8_t* layout, unsigned column, unsigned row, const key_entry& e) {
    if (column >= max_columns || row >= max_rows) return;
    uint8_t* p = layout + entry_offset(column, row);
    const uint16_t kept = uint16_t(read_u16(p) & ~((light_index_mask << light_index_shift) | 0x3F));
    const uint16_t word = uint16_t(kept | ((e.light_index & light_index_mask) << light_index_shift) |
                                   ((e.kind & kind_mask) << kind_shift) | (e.light_low & light_low_mask));
    write_u16(p, word);
    p[entry_off_light_byte] = e.light_byte;
    write_u16(p + entry_off_x, e.x);
    write_u16(p + entry_off_y, e.y);
    write_u16(p + entry_off_width, e.width);
    write_u16(p + entry_off_height, e.height);
    p[entry_off_key_id] = e.key_id;
}

unsigned key_count(const uint8_t* layout) {
    unsigned n = 0;
    for (unsigned c = 0; c < columns(layout); ++c)
        for (unsigned r = 0; r < rows(layout); ++r) n += read_key_entry(layout, c, r).is_key();
    return n;
}

bool key_lights_present(const uint8_t* layout) {
    for (unsigned c = 0; c < columns(layout); ++c)
        for (unsigned r = 0; r < rows(layout); ++r)
            if (read_key_entry(layout, c, r).has_light()) return true;
    return false;
}

unsigned ambient_count(const uint8_t* layout) {
    return std::min<unsigned>(layout[off_ambient_count], max_ambient_lights);
}

uint16_t ambient_light(const uint8_t* layout, unsigned u) {
    if (u >= ambient_count(layout)) return 0;
    return read_u16(layout + off_ambient_table + 2 * u);
}

void set_ambient_light(uint8_t* layout, unsigned u, uint8_t byte0, uint8_t byte1) {
    if (u >= max_ambient_lights) return;
    uint8_t* p = layout + off_ambient_table + 2 * u;
    p[0] = byte0;
    p[1] = byte1;
}

} // namespace qvk::layout
