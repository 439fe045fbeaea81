#pragma once
// The custom backlight effects: eight effect groups in the lighting record,
// each naming one of 32 effect pictures the keyboard stores and an
// animation, and the pictures themselves, one colour for every position of
// the 26 x 8 key matrix. The picture set remembers which pictures have come
// from the keyboard; the selection says which matrix positions the user
// picked for painting.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>

#include "link/command_catalogue.h"

namespace qvk::custom_bkl {

constexpr unsigned columns = 26;
constexpr unsigned rows = 8;
constexpr unsigned positions = columns * rows; // 208
constexpr unsigned picture_count = record_size::custom_picture_count; // 32
constexpr unsigned group_count = 8;
constexpr unsigned animation_count = 4; // static, scroll left, scroll right, breathing

// Effect picture (624 bytes): a colour triple red, green, blue per matrix
// position, column by column.
constexpr size_t picture_size = record_size::custom_picture;
constexpr size_t column_stride = 24;
constexpr size_t position_size = 3;
constexpr size_t position_offset(unsigned column, unsigned row) {
    return column_stride * column + position_size * row;
}

// Byte 0 of a group record: bits 0-2 animation, bits 3-7 picture number.
constexpr uint8_t animation_mask = 0x07;
constexpr unsigned picture_shift = 3;
unsigned animation_of(uint8_t mode);
unsigned picture_of(uint8_t mode);
uint8_t with_animation(uint8_t mode, unsigned animation); // bits 3-7 kept
uint8_t with_picture(uint8_t mode, unsigned picture);     // bits 0-2 kept

// The block that saves one group (command 59): the group number, then the
// group's 12-byte record as it lies in the lighting record.
constexpr size_t settings_size = record_size::custom_settings; // 13
constexpr size_t settings_off_group = 0;
constexpr size_t settings_off_record = 1;
using settings_block = std::array<uint8_t, settings_size>;
// `led_state` is the whole lighting record; group must be below 8.
settings_block make_settings_block(const uint8_t* led_state, unsigned group);

// One effect picture as colours 0xRRGGBB, position (column, row).
class effect_picture {
public:
    uint32_t at(unsigned column, unsigned row) const { return colours_[index(column, row)]; }
    void set(unsigned column, unsigned row, uint32_t rrggbb) { colours_[index(column, row)] = rrggbb & 0xFFFFFF; }
    // Every position gets its own random colour (no channel of 255).
    void fill_random();
    void fill(uint32_t rrggbb);

    // From and to the 624 bytes the keyboard stores.
    void decode(const uint8_t* data);
    std::array<uint8_t, picture_size> encode() const;

    bool operator==(const effect_picture&) const = default;

private:
    static constexpr size_t index(unsigned column, unsigned row) { return size_t(column) * rows + row; }
    std::array<uint32_t, positions> colours_{};
};

// The 32 pictures the page edits and whether each came from the keyboard.
// A picture counts as known only once the keyboard sent it; editing it
// changes its colours but not that.
class picture_set {
public:
    effect_picture& picture(unsigned number) { return pictures_[number % picture_count]; }
    const effect_picture& picture(unsigned number) const { return pictures_[number % picture_count]; }
    bool loaded(unsigned number) const { return number < picture_count && loaded_[number]; }
    // A picture the keyboard sent; false (nothing stored) for a number
    // above 31.
    bool store_reply(unsigned number, const uint8_t* data);
    // After a new connection every picture must be read again.
    void forget_all() { loaded_.fill(false); }

private:
    std::array<effect_picture, picture_count> pictures_{};
    std::array<bool, picture_count> loaded_{};
};

// Matrix positions the user selected for painting.
class position_selection {
public:
    bool selected(unsigned column, unsigned row) const { return column < columns && row < rows && bits_[bit(column, row)]; }
    // A plain click: exactly this position.
    void select_only(unsigned column, unsigned row);
    // A click with Ctrl: this position flips, the others stay.
    void toggle(unsigned column, unsigned row);
    void select_all() { bits_.set(); }
    void invert() { bits_.flip(); }
    void clear() { bits_.reset(); }
    size_t count() const { return bits_.count(); }

private:
    static constexpr size_t bit(unsigned column, unsigned row) { return size_t(column) * rows + row; }
    std::bitset<positions> bits_;
};

} // namespace qvk::custom_bkl
