#include "lighting/custom_backlight.h"

#include <cstring>

#include "lighting/colour.h"
#include "lighting/led_state.h"

namespace qvk::custom_bkl {

unsigned animation_of(uint8_t mode) { return mode & animation_mask; }
unsigned picture_of(uint8_t mode) { return unsigned(mode) >> picture_shift; }

uint8_t with_animation(uint8_t mode, unsigned animation) {
    return uint8_t((mode & ~animation_mask) | (animation & animation_mask));
}

uint8_t with_picture(uint8_t mode, unsigned picture) {
    return uint8_t((mode & animation_mask) | ((picture % picture_count) << picture_shift));
}

settings_block make_settings_block(const uint8_t* led_state, unsigned group) {
    settings_block b{};
    b[settings_off_group] = uint8_t(group);
    if (const uint8_t* g = led::custom_group(led_state, group))
        std::memcpy(&b[settings_off_record], g, led::custom_group_size);
    return b;
}

void effect_picture::fill_random() {
    for (uint32_t& c : colours_) c = colour::random_colour();
}

void effect_picture::fill(uint32_t rrggbb) { colours_.fill(rrggbb & 0xFFFFFF); }

void effect_picture::decode(const uint8_t* data) {
    for (unsigned c = 0; c < columns; ++c)
        for (unsigned r = 0; r < rows; ++r) set(c, r, colour::from_triple(data + position_offset(c, r)));
}

std::array<uint8_t, picture_size> effect_picture::encode() const {
    std::array<uint8_t, picture_size> out{};
    for (unsigned c = 0; c < columns; ++c)
        for (unsigned r = 0; r < rows; ++r) colour::to_triple(at(c, r), &out[position_offset(c, r)]);
    return out;
}

bool picture_set::store_reply(unsigned number, const uint8_t* data) {
    if (number >= picture_count || !data) return false;
    pictures_[number].decode(data);
    loaded_[number] = true;
    return true;
}

void position_selection::select_only(unsigned column, unsigned row) {
    bits_.reset();
    if (column < columns && row < rows) bits_.set(bit(column, row));
}

void position_selection::toggle(unsigned column, unsigned row) {
    if (column < columns && row < rows) bits_.flip(bit(column, row));
}

} // namespace qvk::custom_bkl
