// The custom backlight page of the real main window, offscreen, against the
// virtual keyboard: choosing groups and pictures (each picture read once,
// drawn only when it came), painting keys by selection and swatches, random
// colours, importing BMP files generated here, and saving a group and a
// picture, which the keyboard then holds byte for byte.

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstring>

#include "layers/kb_layout.h"
#include "lighting/custom_backlight_page.h"
#include "lighting/led_state.h"
#include "lighting/picture_import.h"
#include "link/link_kind.h"
#include "marked_texts.h"
#include "sim/default_records.h"
#include "ui/colour_swatch.h"
#include "ui/key_picture.h"
#include "ui/selector_strip.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

using bytes = std::vector<uint8_t>;
using custom_bkl::effect_picture;

// Home row of the virtual keyboard's board: CapsLock, A, S, D, F, ...
constexpr unsigned home_row = 3;
constexpr unsigned col_a = 1, col_s = 2, col_d = 3, col_f = 4;
constexpr size_t group5_at = led::off_custom_groups + led::custom_group_size * 5;

Tled_custom_editer_frame* page_of(Tmain_form& w) {
    return dynamic_cast<Tled_custom_editer_frame*>(w.page(c_bkl_custom_edit));
}

QRgb centre_of(const key_picture* k) {
    return k->image().pixel(k->image().width() / 2, k->image().height() / 2) & 0xFFFFFF;
}
QRgb frame_of(const key_picture* k) { return k->image().pixel(0, 0) & 0xFFFFFF; }

void click_cell(selector_strip* s, int cell) { QTest::mouseClick(s, Qt::LeftButton, {}, s->cell_rect(cell).center()); }

class CustomBacklightPage : public window_test {
public:
    Tmain_form& open_board(const bytes& lighting = {}) {
        kb_ = add_keyboard(kind_usb);
        if (!lighting.empty()) {
            EXPECT_TRUE(kb_->set_record(cmd::read_lighting, 0, lighting));
        }
        Tmain_form& w = open_window();
        connect_and_read(w);
        return w;
    }
    void connect_and_read(Tmain_form& w) {
        detect_and_probe();
        EXPECT_FALSE(w.connect_device(0));
        EXPECT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy(); }));
    }
    // Opens the page and waits for the picture of its current group.
    Tled_custom_editer_frame* open_page(Tmain_form& w) {
        w.action("led_custom_bkl")->trigger();
        EXPECT_EQ(w.current_card(), c_bkl_custom_edit);
        Tled_custom_editer_frame* p = page_of(w);
        EXPECT_NE(p, nullptr);
        if (!p) return nullptr;
        EXPECT_TRUE(wait_until([&] { return p->pictures().loaded(p->current_picture()) && !w.is_busy(); }));
        return p;
    }
    void wait_loaded(Tmain_form& w, Tled_custom_editer_frame* p, unsigned picture) {
        ASSERT_TRUE(wait_until([&] { return p->pictures().loaded(picture) && !w.is_busy(); })) << picture;
    }
    template <class T = QPushButton>
    T* control(Tmain_form& w, const char* name) {
        return w.page_panel(c_bkl_custom_edit)->findChild<T*>(QString::fromLatin1(name));
    }
    std::vector<uint32_t> reads() const {
        std::vector<uint32_t> subs;
        for (const auto& m : kb_->messages_of(cmd::read_custom_picture)) subs.push_back(m.sub);
        return subs;
    }

    std::shared_ptr<sim::virtual_keyboard> kb_;
};

// ---------------------------------------------------------------- end to end

TEST_F(CustomBacklightPage, GroupAndPicturePaintedOnThePageAreSavedAndReadBackTheSame) {
    Tmain_form& w = open_board();
    kb_->clear_messages();
    Tled_custom_editer_frame* p = open_page(w);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reads(), (std::vector<uint32_t>{0}));

    // Group 5 (picture 5, scrolling left), then picture 19 for it.
    click_cell(p->group_strip(), 5);
    EXPECT_EQ(p->current_group(), 5u);
    EXPECT_TRUE(control<QRadioButton>(w, "RadioButton3")->isChecked());
    wait_loaded(w, p, 5);
    click_cell(p->picture_strip(), 19);
    wait_loaded(w, p, 19);
    EXPECT_EQ(w.records().lighting[group5_at], 0x99);
    EXPECT_EQ(reads(), (std::vector<uint32_t>{0, 5, 19}));
    effect_picture shown;
    const bytes stored19 = kb_->record(cmd::read_custom_picture, 19);
    shown.decode(stored19.data());
    EXPECT_EQ(p->pictures().picture(19), shown);
    EXPECT_EQ(centre_of(p->key_at(col_a, home_row)), shown.at(col_a, home_row));

    // Three keys painted from swatch 2: A, then S and D with Ctrl.
    key_picture* a = p->key_at(col_a, home_row);
    QTest::mouseClick(a, Qt::LeftButton);
    QTest::mouseClick(p->key_at(col_s, home_row), Qt::LeftButton, Qt::ControlModifier);
    QTest::mouseClick(p->cell_at(col_d, home_row), Qt::LeftButton, Qt::ControlModifier); // on the matrix grid
    EXPECT_EQ(p->selection().count(), 3u);
    colour_swatch* swatch2 = p->palette()->swatch(2);
    swatch2->set_colour(0x123456);
    QTest::mouseClick(swatch2, Qt::LeftButton);
    // A fourth key with a random colour: new swatch colours, then F alone.
    QTest::mouseClick(p->palette()->swatch(0), Qt::MiddleButton);
    QTest::mouseClick(p->key_at(col_f, home_row), Qt::LeftButton);
    EXPECT_EQ(p->selection().count(), 1u);
    const uint32_t random = p->palette()->swatch(0)->colour();
    QTest::mouseClick(p->palette()->swatch(0), Qt::LeftButton);

    effect_picture painted = shown;
    for (unsigned c : {col_a, col_s, col_d}) painted.set(c, home_row, 0x123456);
    painted.set(col_f, home_row, random);
    EXPECT_EQ(p->pictures().picture(19), painted);
    for (unsigned c : {col_a, col_s, col_d, col_f}) {
        EXPECT_EQ(centre_of(p->key_at(c, home_row)), painted.at(c, home_row)) << c;
        EXPECT_EQ(centre_of(p->cell_at(c, home_row)), painted.at(c, home_row)) << c;
    }
    EXPECT_TRUE(kb_->messages_of(cmd::write_custom_data).empty()); // nothing leaves before saving

    // Save the group: one 13-byte block, group number first.
    bytes group_block{5};
    group_block.insert(group_block.end(), w.records().lighting.begin() + long(group5_at),
                       w.records().lighting.begin() + long(group5_at + led::custom_group_size));
    QTest::mouseClick(control(w, "Button7"), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return !kb_->messages_of(cmd::custom_bkl_settings).empty() && !w.is_busy(); }));
    const auto groups = kb_->messages_of(cmd::custom_bkl_settings);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_FALSE(groups[0].chunked);
    EXPECT_EQ(bytes(groups[0].data.begin(), groups[0].data.begin() + 13), group_block);
    const bytes kb_lighting = kb_->record(cmd::read_lighting);
    EXPECT_EQ(bytes(kb_lighting.begin() + long(group5_at), kb_lighting.begin() + long(group5_at + 12)),
              bytes(group_block.begin() + 1, group_block.end()));

    // Save the picture: 624 bytes in 12 chunks, each naming picture 19.
    kb_->clear_received();
    const auto encoded = painted.encode();
    const bytes expected(encoded.begin(), encoded.end());
    QTest::mouseClick(control(w, "Button1"), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return kb_->record(cmd::read_custom_picture, 19) == expected && !w.is_busy(); }));
    const auto writes = kb_->messages_of(cmd::write_custom_data);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].sub, 19u);
    EXPECT_EQ(writes[0].data, expected);
    const auto reports = kb_->received();
    ASSERT_EQ(reports.size(), 12u);
    for (size_t i = 0; i < reports.size(); ++i) {
        const uint8_t* pk = reports[i].data() + 1;
        EXPECT_EQ(packet::command_of(pk), cmd::write_custom_data);
        EXPECT_EQ(packet::chunk_sub_of(pk), 19u) << "chunk " << i;
        EXPECT_EQ(packet::chunk_index_of(pk), i);
        EXPECT_EQ(packet::position_of(pk), i == 0 ? packet::first : i == 11 ? packet::last : packet::middle) << i;
    }

    // Connected anew, the page reads group 5's picture 19 and draws the same colours.
    w.device_picture_double_click(0);
    ASSERT_EQ(page_of(w), nullptr);
    connect_and_read(w);
    p = open_page(w);
    ASSERT_NE(p, nullptr);
    click_cell(p->group_strip(), 5);
    wait_loaded(w, p, 19);
    EXPECT_EQ(p->pictures().picture(19), painted);
    for (unsigned c : {col_a, col_s, col_d, col_f}) EXPECT_EQ(centre_of(p->key_at(c, home_row)), painted.at(c, home_row));
}

// ---------------------------------------------------------------- edge cases

struct edge_case {
    const char* name;
    std::function<void(CustomBacklightPage&, Tmain_form&, Tled_custom_editer_frame*)> run;
};

TEST_F(CustomBacklightPage, EdgeCases) {
    bytes lighting = sim::default_lighting();
    lighting[led::off_custom_groups] = 0x19; // group 0: picture 3, scrolling left
    Tmain_form& w = open_board(lighting);
    Tled_custom_editer_frame* p = open_page(w);
    ASSERT_NE(p, nullptr);
    CustomBacklightPage& t = *this;

    const edge_case cases[] = {
        {"lower row cell 3 with 0x19 gives 0x99 and reads picture 19",
         [](CustomBacklightPage& t, Tmain_form& w, Tled_custom_editer_frame* p) {
             EXPECT_EQ(t.reads(), (std::vector<uint32_t>{3}));
             click_cell(p->picture_strip(), 16 + 3);
             EXPECT_EQ(w.records().lighting[led::off_custom_groups], 0x99);
             ASSERT_TRUE(wait_until([&] { return p->pictures().loaded(19) && !w.is_busy(); }));
             EXPECT_EQ(t.reads(), (std::vector<uint32_t>{3, 19}));
             // Back to picture 3: known, so not read again.
             click_cell(p->picture_strip(), 3);
             EXPECT_EQ(w.records().lighting[led::off_custom_groups], 0x19);
             EXPECT_EQ(t.reads(), (std::vector<uint32_t>{3, 19}));
         }},
        {"a picture not yet received is drawn black, even after a random fill",
         [](CustomBacklightPage& t, Tmain_form& w, Tled_custom_editer_frame* p) {
             t.kb_->never_answer(cmd::read_custom_picture);
             click_cell(p->picture_strip(), 30);
             t.control(w, "Button4")->click();
             EXPECT_EQ(centre_of(p->key_at(col_a, home_row)), 0u);
             t.kb_->clear_faults();
             w.set_busy(1, 0);
             click_cell(p->picture_strip(), 3);
         }},
        {"a reply for a picture above 31 is ignored",
         [](CustomBacklightPage&, Tmain_form& w, Tled_custom_editer_frame* p) {
             const effect_picture before = p->pictures().picture(3);
             const QRgb key_before = centre_of(p->key_at(col_a, home_row));
             w.records().custom_picture.fill(0x55);
             w.records().custom_picture_number = 40;
             p->record_arrived(cmd::read_custom_picture, 40);
             EXPECT_EQ(p->pictures().picture(3), before);
             EXPECT_FALSE(p->pictures().loaded(40 % 32));
             EXPECT_EQ(centre_of(p->key_at(col_a, home_row)), key_before);
         }},
        {"Ctrl+click on a selected key deselects only it; a plain click leaves one",
         [](CustomBacklightPage&, Tmain_form&, Tled_custom_editer_frame* p) {
             QTest::mouseClick(p->key_at(col_a, home_row), Qt::LeftButton);
             QTest::mouseClick(p->key_at(col_s, home_row), Qt::LeftButton, Qt::ControlModifier);
             QTest::mouseClick(p->key_at(col_d, home_row), Qt::LeftButton, Qt::ControlModifier);
             QTest::mouseClick(p->key_at(col_s, home_row), Qt::LeftButton, Qt::ControlModifier);
             EXPECT_EQ(p->selection().count(), 2u);
             EXPECT_EQ(frame_of(p->key_at(col_a, home_row)), 0xFF0000u);
             EXPECT_EQ(frame_of(p->key_at(col_s, home_row)), 0x267397u);
             EXPECT_EQ(frame_of(p->cell_at(col_d, home_row)), 0xFF0000u);
             QTest::mouseClick(p->cell_at(col_f, home_row), Qt::LeftButton);
             EXPECT_EQ(p->selection().count(), 1u);
             EXPECT_TRUE(p->selection().selected(col_f, home_row));
             EXPECT_EQ(frame_of(p->key_at(col_a, home_row)), 0x267397u);
             EXPECT_EQ(frame_of(p->key_at(col_f, home_row)), 0xFF0000u);
         }},
        {"select all and invert reach every position of the matrix",
         [](CustomBacklightPage& t, Tmain_form& w, Tled_custom_editer_frame* p) {
             t.control(w, "Button5")->click();
             EXPECT_EQ(p->selection().count(), custom_bkl::positions);
             t.control(w, "Button6")->click();
             EXPECT_EQ(p->selection().count(), 0u);
         }},
        {"random fill and swatches never give a channel of 255",
         [](CustomBacklightPage& t, Tmain_form& w, Tled_custom_editer_frame* p) {
             for (int round = 0; round < 20; ++round) {
                 t.control(w, "Button4")->click();
                 QTest::mouseClick(p->palette()->swatch(0), Qt::MiddleButton);
                 for (unsigned c = 0; c < custom_bkl::columns; ++c)
                     for (unsigned r = 0; r < custom_bkl::rows; ++r) {
                         const uint32_t v = p->pictures().picture(3).at(c, r);
                         ASSERT_TRUE((v >> 16) != 0xFF && ((v >> 8) & 0xFF) != 0xFF && (v & 0xFF) != 0xFF);
                     }
                 for (int i = 0; i < 14; ++i) {
                     const uint32_t v = p->palette()->swatch(i)->colour();
                     ASSERT_TRUE((v >> 16) != 0xFF && ((v >> 8) & 0xFF) != 0xFF && (v & 0xFF) != 0xFF);
                 }
             }
             EXPECT_EQ(centre_of(p->key_at(col_a, home_row)), p->pictures().picture(3).at(col_a, home_row));
         }},
        {"the animation buttons write bits 0-2 only",
         [](CustomBacklightPage& t, Tmain_form& w, Tled_custom_editer_frame*) {
             QTest::mouseClick(t.control<QRadioButton>(w, "RadioButton2"), Qt::LeftButton, {}, QPoint(4, 4));
             EXPECT_EQ(w.records().lighting[led::off_custom_groups], 0x1B); // picture 3, breathing
             QTest::mouseClick(t.control<QRadioButton>(w, "RadioButton1"), Qt::LeftButton, {}, QPoint(4, 4));
             EXPECT_EQ(w.records().lighting[led::off_custom_groups], 0x18);
         }},
    };
    for (const edge_case& c : cases) {
        SCOPED_TRACE(c.name);
        c.run(t, w, p);
        ASSERT_EQ(page_of(w), p);
    }
}

// ---------------------------------------------------------------- layouts that cannot be drawn

TEST_F(CustomBacklightPage, LayoutsWithoutKeyLightsOrBeyondTheMatrixDrawNoKeys) {
    bytes no_lights = sim::default_layout();
    for (unsigned c = 0; c < layout::max_columns; ++c)
        for (unsigned r = 0; r < layout::max_rows; ++r) {
            layout::key_entry e = layout::read_key_entry(no_lights.data(), c, r);
            e.light_low = e.light_index = e.light_byte = 0;
            layout::write_key_entry(no_lights.data(), c, r, e);
        }
    bytes too_wide = sim::default_layout();
    too_wide[layout::off_columns] = 27;
    bytes no_layout = sim::default_layout();
    no_layout[layout::off_present] = 0;
    const std::pair<const char*, bytes> cases[] = {
        {"no key lights", no_lights}, {"27 columns", too_wide}, {"no layout", no_layout}};
    for (const auto& [name, layout_record] : cases) {
        SCOPED_TRACE(name);
        kb_ = add_keyboard(kind_usb);
        ASSERT_TRUE(kb_->set_record(cmd::read_layout, 0, layout_record));
        Tmain_form& w = window_ ? *window_ : open_window();
        connect_and_read(w);
        ASSERT_TRUE(same_bytes(w.records().kb_layout, layout_record));
        Tled_custom_editer_frame* p = open_page(w);
        ASSERT_NE(p, nullptr);
        for (unsigned c = 0; c < custom_bkl::columns; ++c)
            for (unsigned r = 0; r < custom_bkl::rows; ++r) {
                const key_picture* k = p->key_at(c, r);
                EXPECT_TRUE(!k || k->isHidden()) << c << "," << r;
                EXPECT_EQ(p->cell_at(c, r), nullptr) << c << "," << r;
            }
        w.device_picture_double_click(0);
        kb_->unplug();
    }
}

// ---------------------------------------------------------------- BMP import

// A BMP file written here byte by byte: 8 bits with a palette, 24 or 32 bits,
// rows bottom-up as the format stores them.
bytes bmp_file(int width, int height, int bits, const std::function<uint32_t(int x, int y)>& colour) {
    const int palette_entries = bits == 8 ? 256 : 0;
    const int row_bytes = ((width * bits + 31) / 32) * 4;
    const uint32_t pixels_at = 14 + 40 + 4 * uint32_t(palette_entries);
    const uint32_t size = pixels_at + uint32_t(row_bytes * height);
    bytes f(size, 0);
    auto u16 = [&](size_t at, uint32_t v) { f[at] = uint8_t(v); f[at + 1] = uint8_t(v >> 8); };
    auto u32 = [&](size_t at, uint32_t v) { u16(at, v & 0xFFFF); u16(at + 2, v >> 16); };
    f[0] = 'B';
    f[1] = 'M';
    u32(2, size);
    u32(10, pixels_at);
    u32(14, 40);
    u32(18, uint32_t(width));
    u32(22, uint32_t(height));
    u16(26, 1);
    u16(28, uint32_t(bits));
    u32(34, uint32_t(row_bytes * height));
    u32(46, uint32_t(palette_entries));
    // An 8-bit file's palette: entry i is colour(i) as given by the caller
    // for x = -1; pixels name entries.
    for (int i = 0; i < palette_entries; ++i) {
        const uint32_t c = colour(-1, i);
        f[54 + 4 * size_t(i)] = uint8_t(c);
        f[54 + 4 * size_t(i) + 1] = uint8_t(c >> 8);
        f[54 + 4 * size_t(i) + 2] = uint8_t(c >> 16);
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &f[pixels_at + size_t(row_bytes) * size_t(height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            if (bits == 8) {
                row[x] = uint8_t(c);
                continue;
            }
            uint8_t* px = row + size_t(x) * size_t(bits / 8);
            px[0] = uint8_t(c);
            px[1] = uint8_t(c >> 8);
            px[2] = uint8_t(c >> 16);
        }
    }
    return f;
}

uint32_t ramp(int x, int y) { return uint32_t(x * 6) << 16 | uint32_t(y * 20) << 8 | uint32_t(200 - x); }

struct bmp_case {
    const char* name;
    int width, height, bits;
};

TEST(PictureImport, GeneratedBmpFilesFillTheTopLeftAndLeaveTheRestBlack) {
    const bmp_case cases[] = {
        {"1 x 1", 1, 1, 24}, {"10 x 4", 10, 4, 24}, {"40 x 12", 40, 12, 24},
        {"8-bit palette", 30, 9, 8}, {"32-bit", 12, 5, 32},
    };
    for (const bmp_case& c : cases) {
        SCOPED_TRACE(c.name);
        // The 8-bit file's palette holds the ramp colours of entry x + 26 y.
        const auto colour = c.bits == 8 ? std::function<uint32_t(int, int)>([](int x, int y) {
            return x < 0 ? ramp(y % 26, y / 26) : uint32_t(x + 26 * (y % 8));
        })
                                         : std::function<uint32_t(int, int)>(ramp);
        QByteArray data;
        const bytes file = bmp_file(c.width, c.height, c.bits, colour);
        data.append(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        const auto picture = import_picture(buffer);
        ASSERT_TRUE(picture.has_value());
        for (unsigned x = 0; x < custom_bkl::columns; ++x)
            for (unsigned y = 0; y < custom_bkl::rows; ++y) {
                const bool inside = int(x) < c.width && int(y) < c.height;
                EXPECT_EQ(picture->at(x, y), inside ? ramp(int(x), int(y)) : 0u) << x << "," << y;
            }
    }
}

TEST(PictureImport, DataThatIsNoPictureGivesNothing) {
    bytes truncated = bmp_file(40, 12, 24, ramp);
    truncated.resize(54 + 40);
    const std::string text = "This is a text file, renamed to look like a picture.\n";
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"truncated", QByteArray(reinterpret_cast<const char*>(truncated.data()), qsizetype(truncated.size()))},
        {"text", QByteArray::fromStdString(text)},
        {"empty", QByteArray()},
        {"header only", QByteArray("BM", 2)},
    };
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        QByteArray copy = data;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_FALSE(import_picture(buffer).has_value());
    }
    EXPECT_FALSE(import_picture_file(QStringLiteral("/nonexistent/picture.bmp")).has_value());
}

void write_file(const QString& path, const bytes& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
}

TEST_F(CustomBacklightPage, ImportedBmpReplacesTheCurrentPictureAndAnUnreadableFileChangesNothing) {
    Tmain_form& w = open_board();
    Tled_custom_editer_frame* p = open_page(w);
    ASSERT_NE(p, nullptr);
    const unsigned shown = p->current_picture();

    // A 10 x 4 picture fills columns 0..9 of rows 0..3; the rest goes black.
    const QString good = QString::fromStdString(folder_.path() + "/ten_by_four.bmp");
    write_file(good, bmp_file(10, 4, 24, ramp));
    dialogs_.file_to_open = good;
    control(w, "Button3")->click();
    EXPECT_TRUE(dialogs_.messages.isEmpty()) << dialogs_.messages.join('\n').toStdString();
    for (unsigned x = 0; x < custom_bkl::columns; ++x)
        for (unsigned y = 0; y < custom_bkl::rows; ++y)
            EXPECT_EQ(p->pictures().picture(shown).at(x, y), x < 10 && y < 4 ? ramp(int(x), int(y)) : 0u);
    EXPECT_EQ(centre_of(p->key_at(col_a, home_row)), ramp(col_a, home_row));
    EXPECT_EQ(centre_of(p->key_at(col_a, 5)), 0u);

    // A text file named .bmp and a truncated file: a clear message, nothing changed.
    const effect_picture before = p->pictures().picture(shown);
    bytes truncated = bmp_file(40, 12, 24, ramp);
    truncated.resize(100);
    const std::pair<const char*, bytes> bad[] = {
        {"/notes.bmp", bytes{'h', 'e', 'l', 'l', 'o', '\n'}},
        {"/cut.bmp", truncated},
    };
    for (const auto& [name, data] : bad) {
        const QString path = QString::fromStdString(folder_.path() + name);
        write_file(path, data);
        dialogs_.messages.clear();
        dialogs_.file_to_open = path;
        control(w, "Button3")->click();
        ASSERT_EQ(dialogs_.messages.size(), 1) << name;
        EXPECT_TRUE(dialogs_.messages[0].contains(path)) << dialogs_.messages[0].toStdString();
        EXPECT_TRUE(dialogs_.messages[0].startsWith(QString::fromUtf8("无法读取图片文件")));
        EXPECT_EQ(p->pictures().picture(shown), before) << name;
    }

    // Cancelling the dialog does nothing.
    dialogs_.messages.clear();
    dialogs_.file_to_open.clear();
    control(w, "Button3")->click();
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    EXPECT_EQ(p->pictures().picture(shown), before);
}

// ---------------------------------------------------------------- texts

// Every text of the page is looked up by its own ID and falls back to its
// own built-in default: under a language that turns each ID into a marker
// every text shows its marker, and without one it shows the default (for
// templates, the default's text before its first value).
TEST_F(CustomBacklightPage, EveryTextOfThePageHasItsIdAndBuiltInDefault) {
    static const text_default page_texts[] = {
        {1000, "自定义灯效组"},
        {1001, "灯效图编辑"},
        {1002, "自定义灯效组：可定义最多8组自定义灯效（编号0-7），每组灯效可选择一张BMP图片或自己编辑，作为灯效图。"},
        {1003, "图片ID：选择一张图片作为本组的灯效图，最多有32张灯效图可选（编号0-31），当本组产生灯效时，使用这个灯效图。"},
        {1004, "当前组使用的灯效：可以选择一个产生灯效的算法，算法将以当前选择的图片作为基础并在此基础上产生灯效。"},
        {1005, "仅静态显示，无灯效"},
        {1006, "呼吸灯"},
        {1007, "向左滚动"},
        {1008, "向右滚动"},
        {1009, "保存本组到键盘"},
        {1010, "载入BMP图片"},
        {1011, "所有按键颜色随机"},
        {1012, "图片保存到键盘"},
        {1013, "全选"},
        {1014, "反选"},
        {1015, "颜色分量值：R="},
        {1016, "按键编号:"},
        {1017, "正常显示此图标\n"},
        {1018, "此图标被隐藏，不会显示\n"},
        {1019, "无法读取图片文件："},
    };
    folder_.write("Language/A.ini", "[Language]\r\n");
    folder_.write("Language/B.ini", marking_language(page_texts));
    const std::string not_a_picture = folder_.write("notes.bmp", "hello\n");
    Tmain_form& w = open_board();
    Tled_custom_editer_frame* p = open_page(w);
    ASSERT_NE(p, nullptr);
    const key_picture* hidden = nullptr;
    for (unsigned c = 0; c < 21 && !hidden; ++c)
        for (unsigned r = 0; r < 6 && !hidden; ++r)
            if (!p->key_at(c, r)) hidden = p->cell_at(c, r);
    ASSERT_NE(hidden, nullptr);

    // Everything the page shows, in the order of the table above.
    auto shown = [&] {
        std::vector<std::string> t;
        t.push_back(control<QGroupBox>(w, "GroupBox1")->title().toStdString());
        t.push_back(control<QGroupBox>(w, "GroupBox2")->title().toStdString());
        for (const char* label : {"Label1", "Label2", "Label3"}) {
            const QLabel* l = control<QLabel>(w, label);
            EXPECT_EQ(l->toolTip(), l->text()) << label;
            t.push_back(l->text().toStdString());
        }
        for (const char* radio : {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton4"})
            t.push_back(control<QRadioButton>(w, radio)->text().toStdString());
        for (const char* button : {"Button7", "Button3", "Button4", "Button1", "Button5", "Button6"})
            t.push_back(control(w, button)->text().toStdString());
        t.push_back(p->palette()->swatch(0)->toolTip().toStdString());
        t.push_back(p->key_at(col_a, home_row)->toolTip().toStdString());
        t.push_back(p->cell_at(col_a, home_row)->toolTip().toStdString());
        t.push_back(hidden->toolTip().toStdString());
        dialogs_.messages.clear();
        dialogs_.file_to_open = QString::fromStdString(not_a_picture);
        control(w, "Button3")->click();
        t.push_back(dialogs_.messages.value(0).toStdString());
        return t;
    };
    const std::vector<std::string> built_in = shown();
    w.language_combo()->setCurrentIndex(1);
    const std::vector<std::string> marked = shown();
    ASSERT_EQ(built_in.size(), std::size(page_texts));
    ASSERT_EQ(marked.size(), std::size(page_texts));
    for (size_t i = 0; i < std::size(page_texts); ++i) {
        const text_default& t = page_texts[i];
        SCOPED_TRACE(t.id);
        EXPECT_EQ(built_in[i].substr(0, std::string(t.def).size()), t.def);
        EXPECT_EQ(marked[i].substr(0, marker(t.id).size()), marker(t.id));
    }
    // The colour hints name the colour in decimal and hexadecimal.
    const uint32_t c = p->pictures().picture(p->current_picture()).at(col_a, home_row);
    const QString hex = QString::asprintf("0x%02X%02X%02X", c >> 16, (c >> 8) & 0xFF, c & 0xFF);
    EXPECT_TRUE(QString::fromStdString(built_in[16]).endsWith(hex)) << built_in[16];
    EXPECT_TRUE(QString::fromStdString(built_in[16]).startsWith(
        QStringLiteral("按键编号:%1\n").arg(sim::board_key_id(col_a, home_row))));
    EXPECT_EQ(frame_of(hidden), 0xBCBCBCu);
}

} // namespace
} // namespace qvk::testing
