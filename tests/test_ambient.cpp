// The ambient light groups and bead settings as records: a group's working
// list (adding, removing, lights missing from the table, a damaged count),
// which group each light belongs to, the speed and brightness bars, the
// volume the keyboard is told and which polled volumes leave at all.

#include <gtest/gtest.h>
#include <vector>

#include "layers/kb_layout.h"
#include "lighting/ambient_groups.h"
#include "lighting/bead_settings.h"
#include "link/command_catalogue.h"

namespace qvk {
namespace {

using bytes = std::vector<uint8_t>;

// A layout whose ambient table holds the given descriptors.
bytes layout_with(const std::vector<user_led>& table, unsigned chain_length = 128) {
    bytes l(record_size::kb_layout, 0);
    l[layout::off_present] = 1;
    for (unsigned u = 0; u < table.size(); ++u) layout::set_ambient_light(l.data(), u, table[u].byte0, table[u].byte1);
    l[layout::off_ambient_count] = uint8_t(table.size());
    l[layout::off_chain_length] = uint8_t(chain_length);
    return l;
}

// Forty lights: beads 0..29 and cells (0,0)..(9,0).
std::vector<user_led> forty_lights() {
    std::vector<user_led> t;
    for (unsigned p = 0; p < 30; ++p) t.push_back(user_led::bead(p));
    for (unsigned x = 0; x < 10; ++x) t.push_back(user_led::matrix_cell(x, 0));
    return t;
}

struct group_fixture : ::testing::Test {
    bytes layout = layout_with(forty_lights());
    bytes led = bytes(record_size::lighting, 0);
    std::vector<ambient_light> lights = ambient_lights(layout.data());
    uint8_t* grp(unsigned g) { return ambient::group(led.data(), g); }
};

TEST_F(group_fixture, AGroupTakesAtMostThirtyTwoLightsAndEachLightOnce) {
    ambient::group_list list;
    for (unsigned u = 0; u < 33; ++u) EXPECT_EQ(list.add(lights[u], 1), u < 32) << "light " << u;
    EXPECT_EQ(list.count(), 32u);
    EXPECT_FALSE(lights[32].in_group);
    list.write_back(grp(1));
    EXPECT_EQ(grp(1)[ambient::off_switch_count], 64);

    // A light already in group 1 is refused by group 2.
    ambient::group_list other;
    EXPECT_FALSE(other.add(lights[0], 2));
    EXPECT_TRUE(other.add(lights[35], 2));
    EXPECT_EQ(lights[35].group, 2u);
}

TEST_F(group_fixture, RemovingTheFirstOfThreeKeepsTheOrderAndTheSwitch) {
    for (bool on : {false, true}) {
        std::vector<ambient_light> table = lights;
        ambient::group_list list;
        ambient::set_switched_on(grp(3), on);
        for (unsigned u : {31u, 5u, 36u}) list.add(table[u], 3); // cell (1,0), bead 5, cell (6,0)
        list.write_back(grp(3));
        ASSERT_TRUE(list.remove(0, table));
        EXPECT_FALSE(table[31].in_group);
        list.write_back(grp(3));
        const uint8_t* g = grp(3);
        EXPECT_EQ(g[ambient::off_switch_count], on ? 5 : 4);
        const bytes want = {uint8_t(5 << 1 | 1), 0, 0, 0x06, 0, 0};
        EXPECT_EQ(bytes(g + ambient::off_lights, g + ambient::off_lights + 6), want) << "switch " << on;
        EXPECT_FALSE(list.remove(2, table));
    }
}

TEST_F(group_fixture, LightsMissingFromTheTableAreNotShownAndDroppedOnWriteBack) {
    uint8_t* g = grp(0);
    // Bead 3, bead 100 (not in the table), cell (2,0) written with stray
    // bits in byte 0, cell (9,9) (not in the table).
    const bytes stored = {0x07, 0x00, 0xC9, 0x00, 0x7E, 0x02, 0x00, 0x99};
    std::copy(stored.begin(), stored.end(), g + ambient::off_lights);
    g[ambient::off_switch_count] = 4 << 1 | 1;

    ambient::mark_grouped(lights, led.data());
    EXPECT_TRUE(lights[3].in_group);
    EXPECT_TRUE(lights[32].in_group);
    EXPECT_EQ(std::count_if(lights.begin(), lights.end(), [](const ambient_light& l) { return l.in_group; }), 2);

    ambient::group_list list;
    ASSERT_TRUE(list.rebuild(g, lights));
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.at(0).number, 3u);
    EXPECT_EQ(list.at(1).number, 32u);
    list.add(lights[39], 0);
    list.write_back(g);
    const bytes want = {0x07, 0x00, 0x00, 0x02, 0x00, 0x09, 0x00, 0x00};
    EXPECT_EQ(bytes(g + ambient::off_lights, g + ambient::off_lights + 8), want);
    EXPECT_EQ(g[ambient::off_switch_count], 3 << 1 | 1);
}

TEST_F(group_fixture, ACountBeyondThirtyTwoLeavesTheListAsItWas) {
    ambient::group_list list;
    list.add(lights[7], 4);
    grp(4)[ambient::off_switch_count] = 66; // 33 lights
    EXPECT_FALSE(list.rebuild(grp(4), lights));
    EXPECT_EQ(list.count(), 1u);
    // Once the count is sound again the list follows the record.
    grp(4)[ambient::off_switch_count] = 1 << 1;
    grp(4)[ambient::off_lights] = 7 << 1 | 1;
    EXPECT_TRUE(list.rebuild(grp(4), lights));
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(list.at(0).number, 7u);
}

TEST(AmbientGroup, CustomColoursAreTriplesRedFirst) {
    bytes led(record_size::lighting, 0);
    uint8_t* g = ambient::group(led.data(), 5);
    ambient::set_custom_colour(g, 2, 0x123456);
    EXPECT_EQ(g[ambient::off_colours + 6], 0x12);
    EXPECT_EQ(g[ambient::off_colours + 7], 0x34);
    EXPECT_EQ(g[ambient::off_colours + 8], 0x56);
    EXPECT_EQ(ambient::custom_colour(g, 2), 0x123456u);
    EXPECT_EQ(g + ambient::off_colours + 12, led.data() + led::off_ambient_groups + 6 * led::ambient_group_size);
}

TEST(AmbientGroup, SpeedBarMapsThePointerBetweenTheBounds) {
    struct row {
        int x, width;
        unsigned lo, hi, speed;
    };
    const row rows[] = {{2, 504, 10, 200, 10}, {252, 504, 10, 200, 105}, {501, 504, 10, 200, 200},
                        {100, 504, 0, 0, 0}};
    for (const row& r : rows) EXPECT_EQ(ambient::speed_at(r.x, r.width, r.lo, r.hi), r.speed) << r.x;
    // The fill is the speed over the range, at most the whole bar.
    EXPECT_EQ(ambient::speed_fill(95, 10, 200, 502), 250);
    EXPECT_EQ(ambient::speed_fill(250, 10, 200, 502), 500);
    EXPECT_EQ(ambient::speed_fill(5, 7, 7, 502), 0);
}

TEST(SystemVolume, PercentIsTruncatedAndKeepsWhatTheUserSet) {
    struct row {
        float scalar;
        unsigned percent;
    };
    const row rows[] = {
        {0.456f, 45}, {0.0f, 0}, {-0.1f, 0}, {1.0f, 100}, {2.0f, 100}, {0.999f, 99},
        // The sound server's 29 % and 45 % (steps of 1/65536).
        {19005.0f / 65536.0f, 29}, {29491.0f / 65536.0f, 45}, {0.29f, 29},
    };
    for (const row& r : rows) EXPECT_EQ(ambient::volume_percent(r.scalar), r.percent) << r.scalar;
}

TEST(SystemVolume, OnlyChangesLeaveAndTheFirstOneAfterConnectingNot) {
    struct row {
        bool skip_first;
        std::vector<float> polled;
        std::vector<int> sent; // -1: nothing
    };
    const row rows[] = {
        {false, {0.5f, 0.5f, 0.6f, 0.6f}, {50, -1, 60, -1}},
        {true, {0.5f, 0.5f, 0.6f, 0.6f}, {-1, -1, 60, -1}},
        // Nothing is sent while the volume stays at 0 (the value held at
        // creation), and the first change is the one skipped.
        {true, {0.0f, 0.0f, 0.3f, 0.456f}, {-1, -1, -1, 45}},
    };
    for (const row& r : rows) {
        ambient::volume_follower f;
        if (r.skip_first) f.skip_next_change();
        std::vector<int> sent;
        for (float s : r.polled) sent.push_back(f.poll(s));
        EXPECT_EQ(sent, r.sent);
    }
    // Switched off and on again: the same volume is told once more.
    ambient::volume_follower f;
    EXPECT_EQ(f.poll(0.7f), 70);
    f.forget();
    EXPECT_EQ(f.poll(0.7f), 70);
}

TEST(Beads, ListedInTableOrderAmongTheAmbientLights) {
    const bytes layout = layout_with({user_led::matrix_cell(0, 0), user_led::matrix_cell(1, 0),
                                      user_led::matrix_cell(2, 0), user_led::bead(9), user_led::bead(4)});
    const std::vector<beads::bead_line> lines = beads::bead_lines(layout.data());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].number, 3u);
    EXPECT_EQ(lines[0].chain_pos, 9u);
    EXPECT_EQ(lines[1].number, 4u);
    EXPECT_EQ(lines[1].chain_pos, 4u);
    EXPECT_TRUE(beads::bead_lines(layout_with({user_led::matrix_cell(3, 3)}).data()).empty());
}

TEST(Beads, FormatAndBrightnessChangeOnlyTheirOwnBits) {
    struct row {
        uint8_t stored;
        int rgb;            // -1: not set
        int brightness;     // -1: not set
        uint8_t after;
        unsigned shown;     // brightness the page shows afterwards
    };
    const row rows[] = {
        {0xFF, -1, -1, 0xC9, 100}, // 127 % shown as 100 and corrected, RGB kept
        {0xFE, -1, -1, 0xC8, 100},
        {0xC9, -1, 50, 0x65, 50},  {0xC8, -1, 50, 0x64, 50}, {0xC9, 0, -1, 0xC8, 100},
        {0x64, 1, -1, 0x65, 50},   {0x01, -1, 140, 0xC9, 100},
    };
    for (const row& r : rows) {
        bytes led(record_size::lighting, 0);
        led[led::off_beads + 17] = r.stored;
        if (r.rgb >= 0) beads::set_rgb(led.data(), 17, r.rgb == 1);
        if (r.brightness >= 0) beads::set_brightness(led.data(), 17, unsigned(r.brightness));
        EXPECT_EQ(beads::shown_brightness(led.data(), 17), r.shown) << int(r.stored);
        EXPECT_EQ(led[led::off_beads + 17], r.after) << int(r.stored);
        EXPECT_EQ(led[led::off_beads + 16], 0);
        EXPECT_EQ(led[led::off_beads + 18], 0);
    }
}

TEST(Beads, BrightnessBarMapsThePointerToPercent) {
    struct row {
        int x, width;
        unsigned percent;
    };
    const row rows[] = {{2, 404, 0}, {201, 404, 50}, {200, 404, 49}, {402, 404, 100}, {403, 404, 100}};
    for (const row& r : rows) EXPECT_EQ(beads::brightness_at(r.x, r.width), r.percent) << r.x;
    EXPECT_EQ(beads::brightness_fill(50, 402), 200);
    EXPECT_EQ(beads::brightness_fill(127, 402), 400);
}

} // namespace
} // namespace qvk
