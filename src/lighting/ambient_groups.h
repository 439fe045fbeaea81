#pragma once
// The ambient light groups `ws_group` of the lighting record (6 groups of 81
// bytes at offset 487): each has an effect, an on/off switch, an ordered list
// of up to 32 lights, a speed with its bounds and four custom colours. Also
// the page's working list of a group's lights and the marking of which group
// each light of the layout's ambient table belongs to.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lighting/led_state.h"
#include "lighting/user_led.h"

namespace qvk::ambient {

constexpr size_t off_effect = 0;       // 0..9
constexpr size_t off_switch_count = 1; // bit 0 on, bits 1-7 number of lights
constexpr size_t off_speed = 2;
constexpr size_t off_speed_min = 3;
constexpr size_t off_speed_max = 4;
constexpr size_t off_lights = 5;       // 32 descriptors of 2 bytes
constexpr size_t off_colours = 69;     // 4 colour triples
constexpr unsigned max_lights = 32;
constexpr unsigned effect_count = 10;
constexpr unsigned colour_count = 4;
constexpr size_t lights_size = 2 * max_lights; // 64
// Byte 1 above this names more than 32 lights: the page keeps its own list.
constexpr uint8_t switch_count_limit = 65;

uint8_t* group(uint8_t* led_state, unsigned g);
const uint8_t* group(const uint8_t* led_state, unsigned g);

bool switched_on(const uint8_t* grp);
void set_switched_on(uint8_t* grp, bool on);
// Number of lights byte 1 names (may exceed 32 in a damaged record).
unsigned stored_count(const uint8_t* grp);
// Descriptor k (< 32) of the group's list.
user_led light(const uint8_t* grp, unsigned k);
uint32_t custom_colour(const uint8_t* grp, unsigned t); // 0xRRGGBB
void set_custom_colour(uint8_t* grp, unsigned t, uint32_t rrggbb);

// Marks the lights of the table that a group's list names (the first
// stored-count descriptors of each group, groups 0..5 in turn; descriptors
// naming no light of the table are skipped).
void mark_grouped(std::vector<ambient_light>& lights, const uint8_t* led_state);

// The lights of one group as the page edits them: table entries in effect
// order.
class group_list {
public:
    // Rebuilds the list from the group record: each of its descriptors
    // found in the table, in order. False (list unchanged) when byte 1 names
    // more than 32 lights.
    bool rebuild(const uint8_t* grp, const std::vector<ambient_light>& lights);
    // Appends light `number` of the table; false when the list is full or
    // the light already belongs to a group.
    bool add(ambient_light& light, unsigned g);
    // Removes entry i and frees its light in the table; false when i is
    // beyond the list.
    bool remove(unsigned i, std::vector<ambient_light>& lights);
    // Writes the list into the group record: the count keeps the switch
    // bit, descriptors beyond the count are zero.
    void write_back(uint8_t* grp) const;

    unsigned count() const { return unsigned(entries_.size()); }
    const ambient_light& at(unsigned i) const { return entries_[i]; }

private:
    std::vector<ambient_light> entries_;
};

// Speed bar: the speed a pointer at x of a bar `width` wide stands for
// (2 <= x <= width - 2), and the fill drawn for a speed.
unsigned speed_at(int x, int width, unsigned minimum, unsigned maximum);
int speed_fill(unsigned speed, unsigned minimum, unsigned maximum, int width);

// The system volume as the keyboard takes it: percent, truncated, at most
// 100.
unsigned volume_percent(float scalar);

// Decides which polled volumes leave for the keyboard: only changes, and not
// the first change after the display came on with the connection.
class volume_follower {
public:
    // The display is on from the settings file at connection: the first
    // change is only remembered.
    void skip_next_change() { skip_first_ = true; }
    // The display was switched off: the next reading counts as a change.
    void forget() { last_sent_ = forgotten; }
    // The value to send for a polled scalar, or -1 when nothing is sent.
    int poll(float scalar);
    unsigned last() const { return last_sent_; }

private:
    static constexpr unsigned forgotten = 200;
    unsigned last_sent_ = 0;
    bool skip_first_ = false;
};

} // namespace qvk::ambient
