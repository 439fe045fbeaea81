// The keyboard layout record helpers, and the default board the virtual
// keyboard describes with them: a full-size ANSI board whose keys do not
// overlap, whose key IDs index distinct function-layer slots, and whose
// default function layer types every key's own usage.

#include <gtest/gtest.h>

#include <set>

#include "layers/kb_layout.h"
#include "link/command_catalogue.h"
#include "sim/default_records.h"

namespace qvk::testing {
namespace {

using namespace qvk::layout;

TEST(KbLayout, KeyEntryFieldsSitWhereTheRecordPutsThem) {
    std::vector<uint8_t> rec(qvk::record_size::kb_layout, 0);
    key_entry e;
    e.kind = entry_light_only;
    e.light_low = 2;
    e.light_index = 0x55;
    e.light_byte = 0x0C;
    e.x = 0x1234;
    e.y = 0x0102;
    e.width = 90;
    e.height = 89;
    e.key_id = 191;
    rec[entry_offset(3, 5) + 1] = 0xE0; // bits that are no light field stay
    write_key_entry(rec.data(), 3, 5, e);
    const uint8_t* p = &rec[27 + 96 * 3 + 12 * 5];
    EXPECT_EQ(p[0], uint8_t(2 | (5 << 2) | ((0x55 & 3) << 6)));
    EXPECT_EQ(p[1], uint8_t(0xE0 | (0x55 >> 2)));
    EXPECT_EQ(p[2], 0x0C);
    EXPECT_EQ(p[3], 0x34);
    EXPECT_EQ(p[4], 0x12);
    EXPECT_EQ(p[11], 191);
    const key_entry back = read_key_entry(rec.data(), 3, 5);
    EXPECT_EQ(back.kind, e.kind);
    EXPECT_EQ(back.light_low, e.light_low);
    EXPECT_EQ(back.light_index, e.light_index);
    EXPECT_EQ(back.light_byte, e.light_byte);
    EXPECT_EQ(back.x, e.x);
    EXPECT_EQ(back.y, e.y);
    EXPECT_EQ(back.width, e.width);
    EXPECT_EQ(back.height, e.height);
    EXPECT_EQ(back.key_id, e.key_id);
    EXPECT_TRUE(back.has_light());
}

TEST(KbLayout, CountsStayInsideTheDeclaredMatrixAndTheRecord) {
    std::vector<uint8_t> rec(qvk::record_size::kb_layout, 0);
    key_entry key;
    key.kind = entry_key;
    write_key_entry(rec.data(), 0, 0, key);
    write_key_entry(rec.data(), 2, 0, key);        // outside 2 columns
    write_key_entry(rec.data(), 26, 0, key);       // outside the record: ignored
    rec[off_columns] = 2;
    rec[off_rows] = 1;
    EXPECT_EQ(key_count(rec.data()), 1u);
    EXPECT_FALSE(key_lights_present(rec.data()));
    rec[off_columns] = 200; // a bad count never reads past the entries
    rec[off_rows] = 200;
    EXPECT_EQ(columns(rec.data()), 26u);
    EXPECT_EQ(rows(rec.data()), 8u);
    EXPECT_EQ(key_count(rec.data()), 2u);
    rec[off_ambient_count] = 255;
    EXPECT_EQ(ambient_count(rec.data()), 128u);
    EXPECT_EQ(ambient_light(rec.data(), 128), 0u);
}

TEST(DefaultBoard, IsAFullSizeBoardOfNonOverlappingKeysWithDistinctIds) {
    const auto rec = sim::default_layout();
    ASSERT_EQ(rec.size(), qvk::record_size::kb_layout);
    EXPECT_TRUE(present(rec.data()));
    EXPECT_EQ(key_count(rec.data()), 104u);
    EXPECT_TRUE(key_lights_present(rec.data()));

    struct box {
        int x0, y0, x1, y1;
    };
    std::vector<box> boxes;
    std::set<unsigned> ids;
    int right = 0, bottom = 0;
    for (unsigned c = 0; c < columns(rec.data()); ++c)
        for (unsigned r = 0; r < rows(rec.data()); ++r) {
            const key_entry e = read_key_entry(rec.data(), c, r);
            if (!e.is_key()) continue;
            EXPECT_LT(e.key_id, key_id_limit);
            EXPECT_TRUE(ids.insert(e.key_id).second) << "key ID " << int(e.key_id) << " twice";
            EXPECT_GT(e.width, 0);
            EXPECT_GT(e.height, 0);
            boxes.push_back({e.x, e.y, e.x + e.width, e.y + e.height});
            right = std::max(right, e.x + e.width);
            bottom = std::max(bottom, e.y + e.height);
        }
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            const box& a = boxes[i];
            const box& b = boxes[j];
            EXPECT_FALSE(a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1) << i << " overlaps " << j;
        }
    // 22.5 key units wide and 6.5 high, at 44 pixels a unit.
    EXPECT_EQ(right, int(sim::board_margin_px + 22.5 * sim::key_pitch_px - sim::key_gap_px));
    EXPECT_EQ(bottom, int(sim::board_margin_px + 6.5 * sim::key_pitch_px - sim::key_gap_px));

    EXPECT_EQ(ambient_count(rec.data()), sim::default_beads + sim::default_matrix_cells);
    EXPECT_EQ(rec[off_chain_length], sim::default_beads);
}

TEST(DefaultBoard, LayerZeroTypesEveryKeysOwnUsageOnPressAndRelease) {
    const auto rec = sim::default_layout();
    const auto layer = sim::default_flayer(0);
    std::set<uint8_t> usages;
    for (const sim::board_key& k : sim::full_size_keys()) {
        const key_entry e = read_key_entry(rec.data(), k.column, k.row);
        ASSERT_TRUE(e.is_key()) << k.label;
        const uint8_t* slot = &layer[8 * e.key_id];
        const uint8_t expected[8] = {2, k.usage, 0, 0, 2, k.usage, 0, 0};
        EXPECT_TRUE(std::equal(slot, slot + 8, expected)) << k.label;
        EXPECT_TRUE(usages.insert(k.usage).second) << k.label << " shares its usage";
    }
    EXPECT_EQ(usages.size(), 104u);
}

TEST(DefaultRecords, LayerStateNamesExistingLayersAndEachRecordHasItsSize) {
    const auto state = sim::default_layer_state();
    ASSERT_EQ(state.size(), qvk::record_size::layer_state);
    EXPECT_LT(state[0], 8);
    EXPECT_EQ(state[1 + state[0]], 1); // the default layer is open
    EXPECT_LT(state[9], 8);
    EXPECT_EQ(sim::default_lighting().size(), qvk::record_size::lighting);
    EXPECT_EQ(sim::default_ble_params().size(), qvk::record_size::ble_params);
    EXPECT_EQ(sim::default_tlayer(0).size(), qvk::record_size::tlayer);
    const auto lighting = sim::default_lighting();
    EXPECT_GE(lighting[0], 8);
    EXPECT_LE(lighting[0], 25);
    EXPECT_LT(lighting[1], lighting[0]);
}

} // namespace
} // namespace qvk::testing
