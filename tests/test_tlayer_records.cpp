// The trigger-layer record: where each item and code lies, what the editor
// writes into an item (flags, keys, counts, times, combination positions),
// the captions of the item lists, and clearing a layer. Items and positions
// out of range must never reach outside the 1520 bytes.

#include <gtest/gtest.h>

#include <vector>

#include "layers/tlayer_record.h"

namespace qvk::tlayer {
namespace {

using bytes = std::vector<uint8_t>;

bytes patterned_layer() {
    bytes l(record_size);
    for (size_t i = 0; i < l.size(); ++i) l[i] = uint8_t(i * 7 + 3);
    return l;
}

size_t offset_in(const bytes& l, const uint8_t* p) { return size_t(p - l.data()); }

TEST(TlayerRecord, ItemsAndCodesLieWhereTheLayerKeepsThem) {
    bytes l(record_size, 0);
    struct where {
        page p;
        unsigned n;
        size_t item_at;
        std::vector<size_t> codes_at;
    };
    const where cases[] = {
        {page::fn, 0, 0, {2, 6, 10}},
        {page::fn, 7, 98, {100, 104, 108}},
        {page::combo, 0, 112, {272, 400}},
        {page::combo, 31, 267, {396, 524}},
        {page::nhit, 0, 528, {530}},
        {page::nhit, 31, 714, {716}},
        {page::tio, 0, 720, {723, 727, 731}},
        {page::tio, 31, 1185, {1188, 1192, 1196}},
        {page::hdk, 0, 1200, {1202, 1206}},
        {page::hdk, 31, 1510, {1512, 1516}},
    };
    for (const where& c : cases) {
        SCOPED_TRACE(::testing::Message() << unsigned(c.p) << " item " << c.n);
        ASSERT_NE(item(l.data(), c.p, c.n), nullptr);
        EXPECT_EQ(offset_in(l, item(l.data(), c.p, c.n)), c.item_at);
        ASSERT_EQ(code_count(c.p), c.codes_at.size());
        for (unsigned w = 0; w < c.codes_at.size(); ++w)
            EXPECT_EQ(offset_in(l, item_code(l.data(), c.p, c.n, w)), c.codes_at[w]) << "code " << w;
        EXPECT_EQ(item_code(l.data(), c.p, c.n, code_count(c.p)), nullptr);
    }
}

TEST(TlayerRecord, ItemsAndPositionsOutOfRangeReadNothingAndWriteNothing) {
    bytes l = patterned_layer();
    const bytes before = l;
    const struct {
        page p;
        unsigned n;
    } beyond[] = {{page::fn, 8}, {page::combo, 32}, {page::nhit, 32}, {page::tio, 32}, {page::hdk, 32},
                  {page(5), 0}, {page::hdk, 1000000}};
    for (const auto& c : beyond) {
        SCOPED_TRACE(::testing::Message() << unsigned(c.p) << " item " << c.n);
        EXPECT_EQ(item(l.data(), c.p, c.n), nullptr);
        EXPECT_EQ(item_code(l.data(), c.p, c.n, 0), nullptr);
        EXPECT_FALSE(enabled(l.data(), c.p, c.n));
        set_enabled(l.data(), c.p, c.n, true);
        set_key_id(l.data(), c.p, c.n, 5);
        set_count(l.data(), c.p, c.n, 3);
        normalise(l.data(), c.p, c.n);
        if (c.n >= group_count) { // times and combinations are numbered alone
            set_time_ms(l.data(), c.n, 300);
            EXPECT_EQ(combo_add_key(l.data(), c.n, 5), -1);
            combo_remove_key(l.data(), c.n, 0);
        }
        EXPECT_TRUE(caption(l.data(), c.p, c.n, "on ", "off ", "| Fn = ").empty());
        EXPECT_EQ(keys_to_mark(l.data(), c.p, c.n).size, 0u);
    }
    combo_remove_key(l.data(), 0, 4);
    EXPECT_EQ(combo_key(l.data(), 0, 4), no_key);
    // Keys and counts do not exist on every kind of item.
    set_key_id(l.data(), page::combo, 0, 5);
    set_count(l.data(), page::tio, 0, 5);
    set_count(l.data(), page::fn, 0, 5);
    EXPECT_EQ(l, before);
}

TEST(TlayerRecord, EnabledFlagsAndValuesKeepTheirOtherBits) {
    struct flag_case {
        page p;
        size_t at;        // byte of the flag within the item
        uint8_t before;   // its value before
        bool on;
        uint8_t after;
    };
    const flag_case cases[] = {
        {page::fn, 1, 0x00, true, 0x01},      {page::fn, 1, 0x07, false, 0x00},
        {page::combo, 0, 0x05, true, 0x01},   {page::combo, 0, 0x01, false, 0x00},
        {page::nhit, 1, 0x0A, true, 0x0B},    {page::nhit, 1, 0x0B, false, 0x0A},
        {page::hdk, 1, 0xFE, true, 0xFF},     {page::tio, 1, 0x90, true, 0x91},
        {page::tio, 1, 0x91, false, 0x90},
    };
    for (const flag_case& c : cases) {
        SCOPED_TRACE(::testing::Message() << unsigned(c.p) << " " << int(c.before) << " -> " << c.on);
        bytes l(record_size, 0);
        item(l.data(), c.p, 3)[c.at] = c.before;
        if (c.p == page::tio) item(l.data(), c.p, 3)[2] = 0x01;
        set_enabled(l.data(), c.p, 3, c.on);
        EXPECT_EQ(item(l.data(), c.p, 3)[c.at], c.after);
        EXPECT_EQ(enabled(l.data(), c.p, 3), c.on);
        if (c.p == page::tio) {
            EXPECT_EQ(item(l.data(), c.p, 3)[2], 0x01);
        }
    }
    bytes l(record_size, 0);
    set_enabled(l.data(), page::nhit, 2, true);
    set_count(l.data(), page::nhit, 2, 5);
    EXPECT_EQ(item(l.data(), page::nhit, 2)[off_count_byte], 0x0B);
    EXPECT_EQ(count(l.data(), page::nhit, 2), 5u);
    set_count(l.data(), page::nhit, 2, 99); // beyond what the count box offers
    EXPECT_EQ(count(l.data(), page::nhit, 2), max_count);
}

TEST(TlayerRecord, TimeOutsTakeOnlyOneTo32767Milliseconds) {
    struct time_case {
        long long ms;
        bool in_range;
    };
    const time_case cases[] = {{0, false}, {1, true}, {32767, true}, {32768, false}, {-1, false}, {500, true}};
    for (const time_case& c : cases) {
        SCOPED_TRACE(c.ms);
        EXPECT_EQ(time_in_range(c.ms), c.in_range);
        bytes l(record_size, 0);
        set_enabled(l.data(), page::tio, 4, true);
        set_time_ms(l.data(), 4, 200);
        if (c.ms >= 0 && c.ms <= 70000) set_time_ms(l.data(), 4, unsigned(c.ms));
        EXPECT_EQ(time_ms(l.data(), 4), c.in_range ? unsigned(c.ms) : 200u);
        EXPECT_TRUE(enabled(l.data(), page::tio, 4));
    }
    // 500 ms on an enabled group: 1001 = E9 03.
    bytes l(record_size, 0);
    set_enabled(l.data(), page::tio, 0, true);
    set_time_ms(l.data(), 0, 500);
    EXPECT_EQ(item(l.data(), page::tio, 0)[1], 0xE9);
    EXPECT_EQ(item(l.data(), page::tio, 0)[2], 0x03);
}

TEST(TlayerRecord, NormalisingMendsCountsAndTimesTheEditorCannotShow) {
    struct norm_case {
        page p;
        uint8_t b1, b2;        // bytes 1-2 of the item
        uint8_t want1, want2;
    };
    const norm_case cases[] = {
        {page::nhit, 0xFF, 0, 0x01, 0},   // from a file: count 0, enabled
        {page::nhit, 0x82, 0, 0x00, 0},   // 130: beyond 64 taps
        {page::nhit, 0x81, 0, 0x81, 0},   // 64 taps, enabled: kept
        {page::hdk, 0xFE, 0, 0x00, 0},
        {page::tio, 0x00, 0x00, 0x90, 0x01}, // 200 ms
        {page::tio, 0x01, 0x00, 0x91, 0x01}, // 200 ms, enabled
        {page::tio, 0x02, 0x00, 0x02, 0x00}, // 1 ms is a time
        {page::fn, 0xFF, 0xFF, 0xFF, 0xFF},  // Fn keys have neither
    };
    for (const norm_case& c : cases) {
        SCOPED_TRACE(::testing::Message() << unsigned(c.p) << " " << int(c.b1) << " " << int(c.b2));
        bytes l(record_size, 0);
        uint8_t* r = item(l.data(), c.p, 5);
        r[1] = c.b1;
        r[2] = c.b2;
        normalise(l.data(), c.p, 5);
        EXPECT_EQ(r[1], c.want1);
        EXPECT_EQ(r[2], c.want2);
    }
}

TEST(TlayerRecord, CombinationKeepsFourDifferentKeysAndFreesPositions) {
    bytes l(record_size, 0);
    clear_layer(l.data());
    set_enabled(l.data(), page::combo, 3, true);
    EXPECT_EQ(caption(l.data(), page::combo, 3, "开启 ", "关闭 ", ""), "3: 开启 Key = X | X | X | X | ");
    const int want_pos[] = {0, 1, -1, 2, 3, -1};
    const uint8_t keys[] = {12, 13, 12, 40, 41, 42};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(combo_add_key(l.data(), 3, keys[i]), want_pos[i]) << int(keys[i]);
    EXPECT_EQ(combo_add_key(l.data(), 3, 192), -1);
    EXPECT_EQ(combo_remove_key(l.data(), 3, 1), 13u);
    EXPECT_EQ(item(l.data(), page::combo, 3)[2], no_key);
    EXPECT_EQ(caption(l.data(), page::combo, 3, "开启 ", "关闭 ", ""), "3: 开启 Key = 12 | X | 40 | 41 | ");
    const marked_keys m = keys_to_mark(l.data(), page::combo, 3);
    ASSERT_EQ(m.size, 3u);
    EXPECT_EQ(m.keys[0], 12);
    EXPECT_EQ(m.keys[1], 40);
    EXPECT_EQ(m.keys[2], 41);
    // The freed position takes the next key.
    EXPECT_EQ(combo_add_key(l.data(), 3, 42), 1);
    set_enabled(l.data(), page::combo, 3, false);
    EXPECT_EQ(keys_to_mark(l.data(), page::combo, 3).size, 0u);
}

TEST(TlayerRecord, CaptionsNameTheItemItsStateAndItsSettings) {
    bytes l(record_size, 0);
    uint8_t* fn = item(l.data(), page::fn, 2);
    fn[fn_off_key] = 77;
    fn[fn_off_enabled] = 1;
    uint8_t* nhit = item(l.data(), page::nhit, 10);
    nhit[off_key_id] = 5;
    nhit[off_count_byte] = 0x07; // 3 taps, enabled
    uint8_t* tio = item(l.data(), page::tio, 31);
    tio[off_key_id] = 191;
    tio[1] = 0xF4;
    tio[2] = 0x01; // 250 ms, off
    uint8_t* hdk = item(l.data(), page::hdk, 0);
    hdk[off_key_id] = 250; // no key of a layer, shown as it is
    hdk[off_count_byte] = 0xFF;
    struct caption_case {
        page p;
        unsigned n;
        const char* want;
    };
    const caption_case cases[] = {
        {page::fn, 2, "2: 开启 | Fn键的ID = 77"},
        {page::fn, 3, "3: 关闭 | Fn键的ID = 0"},
        {page::combo, 0, "0: 关闭 Key = 0 | 0 | 0 | 0 | "},
        {page::nhit, 10, "10: 开启 Key = 5 num = 3"},
        {page::tio, 31, "31: 关闭 Key = 191 time = 250"},
        {page::hdk, 0, "0: 开启 Key = 250 num = 0"}, // the count byte read as it will be mended
    };
    const bytes before = l;
    for (const caption_case& c : cases) {
        EXPECT_EQ(caption(l.data(), c.p, c.n, "开启 ", "关闭 ", "| Fn键的ID = "), c.want);
    }
    EXPECT_EQ(l, before); // captions change nothing
}

TEST(TlayerRecord, ClearingLeavesOnlyTheEmptyCombinationPositions) {
    bytes l = patterned_layer();
    clear_layer(l.data());
    size_t non_zero = 0;
    for (size_t i = 0; i < l.size(); ++i) {
        const bool position = i >= off_combos && i < off_combos + combo_size * combo_count &&
                              (i - off_combos) % combo_size != 0;
        EXPECT_EQ(l[i], position ? cleared_key : 0) << "byte " << i;
        non_zero += l[i] != 0;
    }
    EXPECT_EQ(non_zero, 128u);
    EXPECT_EQ(l[113], 0xFF);
    EXPECT_EQ(l[116], 0xFF);
    EXPECT_EQ(l[117], 0x00);
    EXPECT_EQ(l[118], 0xFF);
}

} // namespace
} // namespace qvk::tlayer
