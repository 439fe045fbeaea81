// The custom backlight records without a window: a group's mode byte and
// settings block, the effect picture's byte image, random colours, which
// pictures count as known, the painting selection, and how the virtual
// keyboard takes a picture written in chunks.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "lighting/bmp_header.h"
#include "lighting/custom_backlight.h"
#include "lighting/led_state.h"
#include "link/command_catalogue.h"
#include "link/link_kind.h"
#include "link/packet.h"
#include "sim/default_records.h"
#include "sim/keyboard_firmware.h"

namespace qvk {
namespace {

using namespace custom_bkl;
using bytes = std::vector<uint8_t>;

struct mode_case {
    uint8_t mode;
    unsigned set_picture, set_animation;
    uint8_t with_new_picture, with_new_animation;
};

TEST(CustomGroup, PictureAndAnimationShareByteZeroWithoutDisturbingEachOther) {
    const mode_case cases[] = {
        // picture 3 animation 1 -> picture 19 keeps animation 1
        {0x19, 19, 3, 0x99, 0x1B},
        {0x00, 31, 2, 0xF8, 0x02},
        {0xFF, 0, 0, 0x07, 0xF8},
        // animations the page does not know (4..7) stay when the picture changes
        {0x2E, 1, 1, 0x0E, 0x29},
    };
    for (const mode_case& c : cases) {
        EXPECT_EQ(with_picture(c.mode, c.set_picture), c.with_new_picture) << int(c.mode);
        EXPECT_EQ(with_animation(c.mode, c.set_animation), c.with_new_animation) << int(c.mode);
        EXPECT_EQ(picture_of(with_picture(c.mode, c.set_picture)), c.set_picture);
        EXPECT_EQ(animation_of(with_animation(c.mode, c.set_animation)), c.set_animation);
    }
    EXPECT_EQ(picture_of(0x99), 19u);
    EXPECT_EQ(animation_of(0x99), 1u);
}

TEST(CustomGroup, SettingsBlockIsTheGroupNumberThenItsTwelveBytes) {
    bytes led(led::size);
    for (size_t i = 0; i < led.size(); ++i) led[i] = uint8_t(i * 7 + 3);
    for (unsigned g : {0u, 5u, 7u}) {
        const settings_block b = make_settings_block(led.data(), g);
        ASSERT_EQ(b.size(), 13u);
        EXPECT_EQ(b[0], g);
        for (size_t i = 0; i < led::custom_group_size; ++i)
            EXPECT_EQ(b[1 + i], led[998 + 12 * g + i]) << "group " << g << " byte " << i;
    }
}

TEST(EffectPicture, EachPositionIsATripleAtTwentyFourPerColumnAndThreePerRow) {
    effect_picture p;
    p.set(0, 0, 0x010203);
    p.set(0, 7, 0x0A0B0C);
    p.set(3, 1, 0x112233);
    p.set(25, 7, 0xFEDCBA);
    const auto data = p.encode();
    ASSERT_EQ(data.size(), 624u);
    struct at { size_t offset; uint8_t r, g, b; };
    for (const at& a : {at{0, 1, 2, 3}, at{21, 0x0A, 0x0B, 0x0C}, at{75, 0x11, 0x22, 0x33}, at{621, 0xFE, 0xDC, 0xBA}}) {
        EXPECT_EQ(data[a.offset], a.r) << a.offset;
        EXPECT_EQ(data[a.offset + 1], a.g) << a.offset;
        EXPECT_EQ(data[a.offset + 2], a.b) << a.offset;
    }
    effect_picture back;
    back.decode(data.data());
    EXPECT_EQ(back, p);

    // The keyboard's own pictures survive a round trip byte for byte.
    const bytes stored = sim::default_custom_picture(19);
    back.decode(stored.data());
    const auto again = back.encode();
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), again.begin()));
}

TEST(EffectPicture, RandomColoursNeverHaveAChannelOf255) {
    std::srand(12345);
    effect_picture p;
    bool differ = false;
    for (int round = 0; round < 50; ++round) {
        p.fill_random();
        for (unsigned c = 0; c < columns; ++c)
            for (unsigned r = 0; r < rows; ++r) {
                const uint32_t v = p.at(c, r);
                ASSERT_NE(v >> 16, 0xFFu);
                ASSERT_NE((v >> 8) & 0xFF, 0xFFu);
                ASSERT_NE(v & 0xFF, 0xFFu);
                differ |= v != p.at(0, 0);
            }
    }
    EXPECT_TRUE(differ) << "every position gets its own colour";
}

TEST(PictureSet, OnlyPicturesTheKeyboardSentCountAsKnown) {
    picture_set set;
    const bytes data = sim::default_custom_picture(4);
    EXPECT_FALSE(set.loaded(4));
    set.picture(4).fill_random(); // editing does not make it known
    EXPECT_FALSE(set.loaded(4));
    EXPECT_TRUE(set.store_reply(4, data.data()));
    EXPECT_TRUE(set.loaded(4));
    EXPECT_EQ(set.picture(4).at(2, 3), (uint32_t(data[57]) << 16) | (uint32_t(data[58]) << 8) | data[59]);

    // A reply for a picture the keyboard cannot have changes nothing.
    const effect_picture before = set.picture(0);
    for (unsigned n : {32u, 40u, 1023u}) {
        EXPECT_FALSE(set.store_reply(n, data.data()));
        EXPECT_FALSE(set.loaded(n));
    }
    EXPECT_EQ(set.picture(0), before);
    EXPECT_FALSE(set.loaded(0));

    set.forget_all();
    EXPECT_FALSE(set.loaded(4));
}

TEST(PositionSelection, PlainClickLeavesOneCtrlClickFlipsOnlyItsOwn) {
    position_selection s;
    s.select_only(2, 3);
    s.toggle(4, 1);
    s.toggle(25, 7);
    EXPECT_EQ(s.count(), 3u);
    s.toggle(4, 1); // Ctrl+click on a selected position deselects only it
    EXPECT_EQ(s.count(), 2u);
    EXPECT_FALSE(s.selected(4, 1));
    EXPECT_TRUE(s.selected(2, 3));
    EXPECT_TRUE(s.selected(25, 7));
    s.select_only(0, 0); // a plain click leaves exactly one
    EXPECT_EQ(s.count(), 1u);
    EXPECT_TRUE(s.selected(0, 0));
    s.invert();
    EXPECT_EQ(s.count(), positions - 1);
    EXPECT_FALSE(s.selected(0, 0));
    s.select_all();
    EXPECT_EQ(s.count(), positions);
    // Positions outside the matrix are never selected.
    s.toggle(26, 0);
    s.select_only(0, 8);
    EXPECT_EQ(s.count(), 0u);
    EXPECT_FALSE(s.selected(26, 0));
}

// ---------------------------------------------------------------- BMP headers

// A BMP header: 14-byte file header, 40-byte info header (or a 12-byte core
// header), pixel rows from byte `pixels`.
bytes bmp_header(int32_t width, int32_t height, uint16_t bits, uint32_t compression, bool core = false) {
    const uint32_t pixels = core ? 26 : 54;
    bytes h(pixels, 0);
    h[0] = 'B';
    h[1] = 'M';
    h[10] = uint8_t(pixels);
    h[14] = core ? 12 : 40;
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) h[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    if (core) {
        put(18, uint32_t(width), 2);
        put(20, uint32_t(height), 2);
        put(24, bits, 2);
    } else {
        put(18, uint32_t(width), 4);
        put(22, uint32_t(height), 4);
        put(28, bits, 2);
        put(30, compression, 4);
    }
    return h;
}

TEST(BmpHeader, AFileIsCompleteWhenEveryRowItsHeaderPromisesIsThere) {
    struct bmp_case {
        const char* name;
        bytes header;
        size_t pixel_bytes;
        bool complete;
    };
    const bmp_case cases[] = {
        {"24-bit 10 x 4, rows padded to 32", bmp_header(10, 4, 24, 0), 32 * 4, true},
        {"24-bit 10 x 4, one byte short", bmp_header(10, 4, 24, 0), 32 * 4 - 1, false},
        {"top-down rows (negative height)", bmp_header(3, -2, 32, 0), 12 * 2, true},
        {"top-down rows, one row short", bmp_header(3, -2, 32, 0), 12, false},
        {"8-bit rows (the palette lies before them)", bmp_header(5, 3, 8, 0), 8 * 3, true},
        {"bit fields, short", bmp_header(4, 4, 16, 3), 8 * 3, false},
        {"core header, whole", bmp_header(2, 2, 24, 0, true), 8 * 2, true},
        {"core header, short", bmp_header(2, 2, 24, 0, true), 8, false},
        {"run-length rows are left to the reader", bmp_header(64, 64, 8, 1), 10, true},
        {"a huge promise in a small file", bmp_header(0x7FFFFFFF, 0x7FFFFFFF, 32, 0), 100, false},
    };
    for (const bmp_case& c : cases) {
        bytes file = c.header;
        file.resize(file.size() + c.pixel_bytes, 0x11);
        EXPECT_EQ(bmp::pixel_rows_complete(file), c.complete) << c.name;
    }
    const bytes other = {0x89, 'P', 'N', 'G', 0, 0};
    EXPECT_TRUE(bmp::pixel_rows_complete(other)) << "other formats are the reader's to judge";
    EXPECT_FALSE(bmp::pixel_rows_complete(bytes{'B', 'M', 0, 0})) << "a header cut short";
}

// ---------------------------------------------------------------- the virtual keyboard

std::vector<packet::packet64> chunks(uint8_t command, uint32_t sub, const bytes& data) {
    std::vector<packet::packet64> out;
    packet::segment_block(command, sub, data.data(), data.size(), [&](const packet::packet64& c) {
        out.push_back(c);
        return true;
    });
    return out;
}

bytes pattern(size_t n, uint8_t seed) {
    bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i);
    return b;
}

TEST(VirtualKeyboardPictures, PictureWrittenInChunksLandsInThePictureEveryChunkNames) {
    sim::keyboard_firmware fw("QVK", 0x0100);
    const bytes picture = pattern(picture_size, 40);
    const auto c = chunks(cmd::write_custom_data, 19, picture);
    ASSERT_EQ(c.size(), 12u);
    for (const auto& p : c) fw.handle(p, kind_usb);
    EXPECT_EQ(fw.record(cmd::read_custom_picture, 19), picture);
    EXPECT_NE(fw.record(cmd::read_custom_picture, 18), picture);
}

TEST(VirtualKeyboardPictures, ABlockWhoseChunksNameDifferentPicturesIsDropped) {
    sim::keyboard_firmware fw("QVK", 0x0100);
    const bytes before19 = fw.record(cmd::read_custom_picture, 19);
    const bytes before20 = fw.record(cmd::read_custom_picture, 20);
    auto c = chunks(cmd::write_custom_data, 19, pattern(picture_size, 40));
    const auto other = chunks(cmd::write_custom_data, 20, pattern(picture_size, 40));
    for (size_t mixed : {size_t(5), size_t(11)}) {
        auto sent = c;
        sent[mixed] = other[mixed];
        for (const auto& p : sent) fw.handle(p, kind_usb);
        EXPECT_EQ(fw.record(cmd::read_custom_picture, 19), before19) << mixed;
        EXPECT_EQ(fw.record(cmd::read_custom_picture, 20), before20) << mixed;
    }
    EXPECT_TRUE(fw.messages().empty());
    // The next whole block is taken.
    for (const auto& p : c) fw.handle(p, kind_usb);
    EXPECT_EQ(fw.record(cmd::read_custom_picture, 19), pattern(picture_size, 40));
}

} // namespace
} // namespace qvk
