#pragma once
// The keyboard layout record (2813 bytes) as the keyboard sends it with
// command 39: how many matrix columns and rows are in use, one 12-byte key
// entry per matrix position (where the key is drawn, its key ID and its
// light), and the table of ambient lights. The function-layer and
// trigger-layer editors and the lighting pages all draw from this record;
// these helpers read and write its fields in place without copying it.

#include <cstddef>
#include <cstdint>

#include "link/command_catalogue.h"

namespace qvk::layout {

// The record is record_size::kb_layout (2813) bytes long.

// Record map.
constexpr size_t off_present = 0;        // non-zero once the keyboard describes a layout
constexpr size_t off_columns = 25;       // matrix columns in use, 1..26
constexpr size_t off_rows = 26;          // matrix rows in use, 1..8
constexpr size_t off_entries = 27;       // 26 x 8 key entries, column by column
constexpr size_t off_ambient_count = 2523;
constexpr size_t off_ambient_table = 2524; // 2 bytes per ambient light
constexpr size_t off_chain_length = 2780;  // beads on the WS2812 chain

constexpr unsigned max_columns = 26;
constexpr unsigned max_rows = 8;
constexpr size_t entry_size = 12;
constexpr size_t column_stride = entry_size * max_rows; // 96
constexpr unsigned max_ambient_lights = 128;
constexpr unsigned key_id_limit = 192; // slots of a function layer

// Key entry map.
constexpr size_t entry_off_flags = 0; // bits 0-1 light, bits 2-5 kind, bits 6-7 light
constexpr size_t entry_off_light_byte = 2;
constexpr size_t entry_off_x = 3;
constexpr size_t entry_off_y = 5;
constexpr size_t entry_off_width = 7;
constexpr size_t entry_off_height = 9;
constexpr size_t entry_off_key_id = 11;

constexpr uint8_t kind_shift = 2;
constexpr uint8_t kind_mask = 0x0F;
constexpr uint8_t light_low_mask = 0x03;        // bits 0-1 of byte 0
constexpr unsigned light_index_shift = 6;       // bits 6-12 of the word at bytes 0-1
constexpr uint16_t light_index_mask = 0x7F;

// What a matrix position holds.
enum entry_kind : uint8_t {
    entry_none = 0,
    entry_key = 1,            // a key: drawn by every page
    entry_flayer_only = 4,    // a key drawn only by the function-layer editor
    entry_light_only = 5,     // a light position drawn only by the lighting pages
};

struct key_entry {
    uint8_t kind = entry_none;
    // The light fields: any non-zero value means the key has a light.
    uint8_t light_low = 0;    // bits 0-1 of byte 0
    uint8_t light_index = 0;  // bits 6-12 of the word at bytes 0-1
    uint8_t light_byte = 0;   // byte 2
    uint16_t x = 0, y = 0, width = 0, height = 0; // pixels at scale 1
    uint8_t key_id = 0;

    bool has_light() const { return light_low != 0 || light_index != 0 || light_byte != 0; }
    bool is_key() const { return kind == entry_key || kind == entry_flayer_only; }
};

// What a keyboard drawing can hold, in pixels at scale 1. Every page that
// draws keys keeps one picture per key of the key's size times the drawing
// scale, so a layout whose sizes were not bounded could make the tool
// allocate gigabytes. Real layouts stay far inside: a full-size board at 44
// pixels per key unit is about 1000 x 290, its space bar 275 x 40. A key
// larger than this, or reaching beyond the area, is not drawn. At most
// 208 keys x 320 x 160 pixels x 4 bytes = 43 MB at scale 1 (170 MB at 2).
constexpr unsigned drawing_max_key_width = 320;
constexpr unsigned drawing_max_key_height = 160;
constexpr unsigned drawing_max_right = 2048;  // x + width
constexpr unsigned drawing_max_bottom = 1024; // y + height

// Whether a key's position and size lie inside what a drawing can hold.
constexpr bool key_fits_drawing(const key_entry& e) {
    return e.width <= drawing_max_key_width && e.height <= drawing_max_key_height &&
           unsigned(e.x) + e.width <= drawing_max_right && unsigned(e.y) + e.height <= drawing_max_bottom;
}

// Byte offset of the entry at (column, row); both must be in range.
constexpr size_t entry_offset(unsigned column, unsigned row) {
    return off_entries + column_stride * column + entry_size * row;
}

// Declared columns and rows, limited to what the record can hold.
unsigned columns(const uint8_t* layout);
unsigned rows(const uint8_t* layout);
bool present(const uint8_t* layout);

// Out-of-range positions read as an empty entry and are not written.
key_entry read_key_entry(const uint8_t* layout, unsigned column, unsigned row);
// Keeps the bits of byte 1 that are not light fields.
void write_key_entry(uint8_t* layout, unsigned column, unsigned row, const key_entry& entry);

// Keys (kinds 1 and 4) inside the declared columns and rows.
unsigned key_count(const uint8_t* layout);
// True when at least one entry inside the declared columns and rows has a light.
bool key_lights_present(const uint8_t* layout);

// Ambient lights: the count (at most 128) and the 2-byte descriptor of light u.
unsigned ambient_count(const uint8_t* layout);
uint16_t ambient_light(const uint8_t* layout, unsigned u); // byte 0 low, byte 1 high; 0 when u is out of range
void set_ambient_light(uint8_t* layout, unsigned u, uint8_t byte0, uint8_t byte1);

} // namespace qvk::layout
