// The lighting record: the regions the pages edit, the indicator light word,
// ambient light descriptors, random colours, when the streams may go to the
// keyboard, and the values the backlight page computes and sends.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "layers/kb_layout.h"
#include "lighting/backlight_values.h"
#include "lighting/colour.h"
#include "lighting/latest_values.h"
#include "lighting/led_state.h"
#include "lighting/user_led.h"
#include "link/command_catalogue.h"
#include "link/link_kind.h"
#include "link/packet.h"

namespace qvk {
namespace {

using record = std::array<uint8_t, led::size>;

// N effects, the current one, and built-in effect 1 with speed 300 in
// 10..400, parameter 3 in 1..8 and centre correction; custom group 2 with
// animation 1 and speed 50 in 10..200.
record sample_record(uint8_t n = 20, uint8_t current = 1) {
    record r{};
    r[led::off_effect_count] = n;
    r[led::off_effect] = current;
    r[led::off_master] = 1;
    uint8_t* e = &r[led::off_effects + led::effect_size * 1];
    packet::write_u16(e + led::eff_off_speed, 300);
    packet::write_u16(e + led::eff_off_speed_min, 10);
    packet::write_u16(e + led::eff_off_speed_max, 400);
    e[led::eff_off_param] = 3;
    e[led::eff_off_param_min] = 1;
    e[led::eff_off_param_max] = 8;
    e[led::eff_off_centre] = 1;
    uint8_t* g = &r[led::off_custom_groups + led::custom_group_size * 2];
    g[led::cg_off_mode] = 0x19; // picture 3, animation 1
    g[led::cg_off_speed] = 50;
    g[led::cg_off_speed_min] = 10;
    g[led::cg_off_speed_max] = 200;
    return r;
}

TEST(LedState, RegionsLieWhereTheKeyboardPutsThem) {
    EXPECT_EQ(led::size, 1281u);
    EXPECT_EQ(led::off_effects + led::effect_size * led::builtin_effects_max, 347u);
    EXPECT_EQ(led::off_beads + led::beads_size, led::off_ambient_groups);
    EXPECT_EQ(led::off_ambient_groups + led::ambient_group_size * led::ambient_group_count, led::off_indicators);
    EXPECT_EQ(led::off_indicators + led::indicators_size, 997u);
    EXPECT_EQ(led::off_custom_groups + led::custom_group_size * led::custom_group_count, 1094u);
}

TEST(LedState, CurrentEffectSpeedAndParameterForBuiltInAndCustomEffects) {
    struct row {
        uint8_t n, current;
        bool speed_on;
        uint16_t speed, smin, smax;
        bool param_on, centre;
    };
    const row rows[] = {
        {20, 1, true, 300 & 0xFF, 10, 400, true, true},  // built-in: the low byte of 300 is 44
        {20, 0, false, 0, 0, 0, false, false},           // built-in with nothing adjustable
        {20, 14, true, 50, 10, 200, false, false},       // custom effect 2 (B = 12)
        {20, 12, false, 0, 0, 0, false, false},          // custom effect 0: static, speed off
        {20, 20, false, 0, 0, 0, false, false},          // index beyond N names nothing
        {40, 17, false, 0, 0, 0, false, false},          // B beyond 17 records is limited
        {4, 1, false, 0, 0, 0, false, false},            // fewer than 8 effects: no built-in
    };
    for (const row& t : rows) {
        record r = sample_record(t.n, t.current);
        const led::adjustable s = led::current_speed(r.data());
        const led::adjustable p = led::current_parameter(r.data());
        SCOPED_TRACE(testing::Message() << "N " << int(t.n) << " current " << int(t.current));
        EXPECT_EQ(s.enabled, t.speed_on);
        if (t.speed_on) {
            EXPECT_EQ(s.value, t.speed);
            EXPECT_EQ(s.minimum, t.smin);
            EXPECT_EQ(s.maximum, t.smax);
        }
        EXPECT_EQ(p.enabled, t.param_on);
        EXPECT_EQ(led::current_has_centre(r.data()), t.centre);
    }
}

TEST(LedState, StoringTheSpeedWritesTheCurrentEffectsOwnField) {
    record r = sample_record(20, 1);
    ASSERT_TRUE(led::set_current_speed(r.data(), 0x0123));
    EXPECT_EQ(packet::read_u16(&r[led::off_effects + led::effect_size + led::eff_off_speed]), 0x0123);
    r[led::off_effect] = 14;
    ASSERT_TRUE(led::set_current_speed(r.data(), 0x0177));
    EXPECT_EQ(r[led::off_custom_groups + led::custom_group_size * 2 + led::cg_off_speed], 0x77);
    EXPECT_EQ(r[led::off_custom_groups + led::custom_group_size * 2 + led::cg_off_mode], 0x19);
    r[led::off_effect] = 25;
    const record before = r;
    EXPECT_FALSE(led::set_current_speed(r.data(), 9));
    EXPECT_FALSE(led::set_current_parameter(r.data(), 9));
    EXPECT_EQ(r, before);
}

TEST(IndicatorWord, EachSourceChangesOnlyItsOwnBits) {
    const uint32_t all_ones = 0xFFFFFFFFu;
    struct row {
        const char* what;
        uint32_t before, after;
    };
    const row rows[] = {
        // Column 14, row 3: source 1, bits 2-6 = 14, bits 7-9 = 3, bits 10-31 kept.
        {"key 14,3 over ones", led::indicator::with_key(all_ones, 14, 3), 0xFFFFFC00u | (3u << 7) | (14u << 2) | 1u},
        {"key 14,3 over zero", led::indicator::with_key(0, 14, 3), (3u << 7) | (14u << 2) | 1u},
        // Bead 37 after a key: column and row bits stay, source 3.
        {"bead 37 after key", led::indicator::with_bead(led::indicator::with_key(0, 14, 3), 37),
         (37u << 10) | (3u << 7) | (14u << 2) | 3u},
        {"cell 5,9 over ones", led::indicator::with_matrix_cell(all_ones, 5, 9),
         (all_ones & ~(0xFFu << 17) & ~3u) | (9u << 21) | (5u << 17) | 2u},
    };
    for (const row& t : rows) EXPECT_EQ(t.before, t.after) << t.what;
    const uint32_t w = led::indicator::with_bead(led::indicator::with_key(0, 14, 3), 37);
    EXPECT_EQ(led::indicator::source_of(w), led::indicator::source_bead);
    EXPECT_EQ(led::indicator::column_of(w), 14u);
    EXPECT_EQ(led::indicator::row_of(w), 3u);
    EXPECT_EQ(led::indicator::chain_of(w), 37u);
}

TEST(IndicatorWord, FlagsAndWordAreStoredLittleEndianInTheRecord) {
    record r{};
    uint8_t* caps = led::indicator::at(r.data(), 1);
    ASSERT_EQ(caps, &r[981]);
    EXPECT_EQ(led::indicator::at(r.data(), 3), nullptr);
    led::indicator::set_word(caps, 0x04030201u);
    EXPECT_EQ((std::vector<uint8_t>(&r[982], &r[986])), (std::vector<uint8_t>{1, 2, 3, 4}));
    led::indicator::set_effect(caps, 3);
    led::indicator::set_on(caps, true);
    EXPECT_EQ(r[981], 0x07);
    led::indicator::set_on(caps, false);
    EXPECT_EQ(r[981], 0x06);
    EXPECT_EQ(led::indicator::effect(caps), 3);
}

TEST(UserLed, DescriptorsNamingTheSameLight) {
    struct row {
        user_led a, b;
        bool same;
    };
    const row rows[] = {
        {{0x7E, 0x35}, {0x00, 0x35}, true},   // a cell's byte 0 bits 1-7 do not count
        {{0x7E, 0x35}, {0x00, 0x53}, false},  // X and Y swapped
        {{0x4B, 0x00}, {0x4B, 0x77}, true},   // a bead's byte 1 does not count
        {{0x4B, 0x00}, {0x4D, 0x00}, false},  // chain positions 37 and 38
        {{0x01, 0x35}, {0x00, 0x35}, false},  // bead against cell
    };
    for (const row& t : rows)
        EXPECT_EQ(t.a.same_light(t.b), t.same) << int(t.a.byte0) << "/" << int(t.a.byte1) << " vs "
                                                << int(t.b.byte0) << "/" << int(t.b.byte1);
    EXPECT_EQ(user_led::bead(37).chain_pos(), 37u);
    EXPECT_EQ(user_led::matrix_cell(5, 9).byte1, 0x95);
}

TEST(UserLed, TableOfTheLayoutAndFindingALightInIt) {
    std::vector<uint8_t> layout(record_size::kb_layout, 0);
    layout[layout::off_ambient_count] = 3;
    layout::set_ambient_light(layout.data(), 0, 0x7E, 0x21);
    layout::set_ambient_light(layout.data(), 1, 0x0B, 0x00); // bead 5
    layout::set_ambient_light(layout.data(), 2, 0x00, 0x43);
    const auto lights = ambient_lights(layout.data());
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_EQ(find_ambient_light(lights, user_led::matrix_cell(1, 2)), 0);
    EXPECT_EQ(find_ambient_light(lights, user_led::bead(5)), 1);
    EXPECT_EQ(find_ambient_light(lights, user_led::bead(6)), -1);
}

TEST(Colour, TriplesAndRandomColoursWithoutAFullChannel) {
    uint8_t t[3];
    colour::to_triple(0x123456, t);
    EXPECT_EQ(t[0], 0x12);
    EXPECT_EQ(t[2], 0x56);
    EXPECT_EQ(colour::from_triple(t), 0x123456u);
    std::srand(7);
    bool high = false;
    for (int i = 0; i < 20000; ++i) {
        const uint32_t c = colour::random_colour();
        ASSERT_NE(c >> 16, 0xFFu);
        ASSERT_NE((c >> 8) & 0xFF, 0xFFu);
        ASSERT_NE(c & 0xFF, 0xFFu);
        high = high || (c & 0xFF) == 254;
    }
    EXPECT_TRUE(high);
}

TEST(Streams, GoOnlyOverUsbOrBluetoothWithTheMasterSwitchOn) {
    record r{};
    struct row {
        uint8_t master;
        uint32_t kind;
        bool allowed;
    };
    const row rows[] = {
        {1, kind_usb, true},          {1, kind_ble, true},      {7, kind_usb, true},
        {1, kind_rf_receiver, false}, {0, kind_usb, false},     {0, kind_ble, false},
        {1, kind_none, false},        {1, kind_usb_boot, false}, {1, kind_rf_boot, false},
    };
    for (const row& t : rows) {
        r[led::off_master] = t.master;
        EXPECT_EQ(stream_allowed(r.data(), t.kind), t.allowed) << int(t.master) << " kind " << t.kind;
    }
}

TEST(BacklightValues, EachTypeLeavesWithItsCommandSubAndValue) {
    using backlight::short_command;
    struct row {
        int type;
        uint32_t value;
        short_command sent;
    };
    const row rows[] = {
        {0, 255, {50, 255, 0}}, {1, 100, {51, 100, 0}}, {2, 7, {52, 7, 0}},   {3, 0, {53, 0, 0}},
        {4, 14, {54, 14, 0}},   {5, 300, {55, 0, 300}}, {6, 5, {56, 5, 0}},   {8, 0, {57, 0, 0}},
        {9, 2, {57, 1, 2}},     {10, 0, {58, 0, 0}},    {10, 1, {58, 1, 0}},
    };
    for (const row& t : rows) {
        const auto c = backlight::command_for(t.type, t.value);
        ASSERT_TRUE(c) << t.type;
        EXPECT_EQ(*c, t.sent) << "type " << t.type;
    }
    EXPECT_FALSE(backlight::command_for(7, 1));
}

TEST(BacklightValues, StoredBrightnessOutsideItsRangeIsDrawnAndStoredAsTheDefault) {
    record r{};
    r[led::off_driver_current] = 255;
    r[led::off_red] = 150;
    r[led::off_green] = 100;
    r[led::off_blue] = 101;
    EXPECT_EQ(backlight::shown_brightness(r.data(), 0), 255u);
    EXPECT_EQ(backlight::shown_brightness(r.data(), 1), 70u);
    EXPECT_EQ(backlight::shown_brightness(r.data(), 2), 100u);
    EXPECT_EQ(backlight::shown_brightness(r.data(), 3), 70u);
    EXPECT_EQ(r[led::off_red], 70);
    EXPECT_EQ(r[led::off_blue], 70);
    EXPECT_EQ(r[led::off_green], 100);
}

TEST(BacklightValues, BarValuesAtThePointer) {
    // A bar 204 pixels wide: 200 pixels of travel.
    struct row {
        int x;
        unsigned range;
        bool pressing;
        std::optional<unsigned> v;
    };
    const row rows[] = {
        {1, 100, true, std::nullopt}, {2, 100, true, 0u},     {102, 100, true, 50u}, {202, 100, true, 100u},
        {203, 100, true, std::nullopt}, {101, 100, false, 51u}, {199, 100, false, 100u},
        {202, 100, false, 100u}, // dragging to the right end gives the maximum, not the default
        {202, 255, false, 255u},
    };
    for (const row& t : rows)
        EXPECT_EQ(backlight::brightness_at(t.x, 204, t.range, t.pressing), t.v)
            << "x " << t.x << (t.pressing ? " press" : " move");
    EXPECT_EQ(backlight::brightness_fill(204, 50, 100), 101);
    EXPECT_EQ(backlight::brightness_fill(204, 255, 255), 202);

    EXPECT_EQ(backlight::adjustable_at(2, 204, 10, 210, true), uint16_t(10));
    EXPECT_EQ(backlight::adjustable_at(102, 204, 10, 210, true), uint16_t(110));
    EXPECT_EQ(backlight::adjustable_at(101, 204, 10, 210, false), uint16_t(110));
    EXPECT_EQ(backlight::adjustable_at(202, 204, 10, 210, false), uint16_t(210));
    EXPECT_EQ(backlight::adjustable_at(202, 204, 10, 400, false), uint16_t(400));
    EXPECT_EQ(backlight::adjustable_at(0, 204, 10, 210, false), std::nullopt);
    EXPECT_EQ(backlight::adjustable_fill(204, 100, 10, 210), 101);
    EXPECT_EQ(backlight::adjustable_fill(204, 300, 10, 210), 202); // ratio at most 1
    EXPECT_EQ(backlight::adjustable_fill(204, 5, 7, 7), 202);      // no range: no division by zero
    EXPECT_EQ(backlight::adjustable_fill(204, 0, 7, 7), 0);
}

TEST(BacklightValues, CentreOffsetsShowTheirListPosition) {
    EXPECT_EQ(backlight::centre_position(-1), 0);
    EXPECT_EQ(backlight::centre_position(0), 1);
    EXPECT_EQ(backlight::centre_position(1), 2);
    EXPECT_EQ(backlight::centre_position(5), 0);
    EXPECT_EQ(backlight::centre_position(-7), 0);
}

TEST(LatestValues, OneValuePerTypeTheNewestInTheFirstPlace) {
    latest_values w;
    w.put(1, 10);
    w.put(2, 20);
    w.put(1, 11);
    w.put(5, 300);
    w.put(2, 21);
    std::vector<std::pair<int, uint32_t>> out;
    while (auto v = w.take()) out.push_back(*v);
    EXPECT_EQ(out, (std::vector<std::pair<int, uint32_t>>{{1, 11}, {2, 21}, {5, 300}}));
    EXPECT_TRUE(w.empty());
}

} // namespace
} // namespace qvk
