// The indicator-lights page of the real main window against the virtual
// keyboard: the strip, the switch, a key picked on the keyboard drawing, an
// ambient light picked in the "led select" dialog, the effect buttons, the
// colour swatch, and Save sending the three indicators, 24 bytes, in one
// report.

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "layers/kb_layout.h"
#include "lighting/indicator_page.h"
#include "lighting/colour.h"
#include "lighting/led_state.h"
#include "lighting/user_led_select.h"
#include "lighting_fixture.h"
#include "sim/default_records.h"
#include "ui/colour_swatch.h"
#include "ui/selector_strip.h"
#include "ui/toggle_switch.h"

namespace qvk::testing {
namespace {

namespace ind = led::indicator;

// CAPS starts on the CapsLock key light with every other bit of its word set
// to something, so that a change that touches them shows.
constexpr uint32_t caps_word = 1u | (0u << 2) | (3u << 7) | (21u << 10) | (5u << 17) | (9u << 21) | (0x55u << 25);
constexpr unsigned bead_37_line = 1;

// Double-clicks a line of the next "led select" dialog once it is modal.
class next_led_select {
public:
    explicit next_led_select(int line) {
        QObject::connect(&poll_, &QTimer::timeout, [this, line] {
            auto* d = dynamic_cast<Tuser_led_select*>(QApplication::activeModalWidget());
            if (!d || seen_) return;
            seen_ = true;
            poll_.stop();
            for (int i = 0; i < d->list()->count(); ++i) lines_ << d->list()->item(i)->text();
            QListWidget* l = d->list();
            // What a double click on the line reports.
            emit l->itemDoubleClicked(l->item(line));
            if (d->isVisible()) d->reject();
        });
        poll_.start(1);
    }
    bool done() const { return seen_ && !QApplication::activeModalWidget(); }
    QStringList lines_;

private:
    QTimer poll_;
    bool seen_ = false;
};

class IndicatorLights : public lighting_window {
protected:
    Tbkl_indicator_edit_frame* open_page(Tmain_form& w) {
        w.action(QStringLiteral("led_indicator_edit"))->trigger();
        EXPECT_EQ(w.current_card(), c_bkl_indicator_edit);
        return dynamic_cast<Tbkl_indicator_edit_frame*>(w.page(c_bkl_indicator_edit));
    }
    static void click_cell(selector_strip* s, int cell) {
        QTest::mouseClick(s, Qt::LeftButton, Qt::NoModifier, s->cell_rect(cell).center());
    }
    // Which keys of the drawing are highlighted, by matrix position.
    static std::vector<std::pair<unsigned, unsigned>> highlighted(const Tbkl_indicator_edit_frame& p) {
        std::vector<std::pair<unsigned, unsigned>> out;
        for (unsigned c = 0; c < layout::max_columns; ++c)
            for (unsigned r = 0; r < layout::max_rows; ++r)
                if (const key_picture* k = p.key_at(c, r); k && !k->isHidden() && p.highlighted(*k))
                    out.push_back({c, r});
        return out;
    }
    static bytes lighting() {
        bytes r = sim::default_lighting();
        ind::set_word(ind::at(r.data(), 1), caps_word);
        r[led::off_beads + 37] = uint8_t(55 << 1);
        r[led::off_beads + 1] = uint8_t(99 << 1);
        return r;
    }
    // The demo board whose second ambient light is bead 37.
    static bytes layout() {
        bytes r = sim::default_layout();
        layout::set_ambient_light(r.data(), bead_37_line, uint8_t((37 << 1) | 1), 0);
        return r;
    }
    static uint32_t word_of(Tmain_form& w, unsigned i) { return ind::word(ind::at(w.records().lighting.data(), i)); }
};

TEST_F(IndicatorLights, EveryControlChangesItsBitsAndSaveSendsTheThreeIndicatorsInOneReport) {
    Tmain_form& w = open_board(lighting(), layout());
    Tbkl_indicator_edit_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    ASSERT_NE(page->key_at(17, 1), nullptr);
    EXPECT_EQ(highlighted(*page), (std::vector<std::pair<unsigned, unsigned>>{{17, 1}})); // NUM on NumLock
    EXPECT_EQ(page->key_at(17, 1)->image().pixel(3, 3) & 0xFFFFFF, 0xFF8C1Au);

    click_cell(page->indicator_strip(), 1);
    EXPECT_EQ(page->current(), 1u);
    EXPECT_EQ(highlighted(*page), (std::vector<std::pair<unsigned, unsigned>>{{0, 3}}));

    // Switched off: no highlight, and a key click changes nothing.
    QTest::mouseClick(page->indicator_switch(), Qt::LeftButton);
    EXPECT_FALSE(ind::on(ind::at(w.records().lighting.data(), 1)));
    EXPECT_TRUE(highlighted(*page).empty());
    QTest::mouseClick(page->key_at(14, 3), Qt::LeftButton);
    settle(30);
    EXPECT_EQ(word_of(w, 1), caps_word);

    // On again: the key at column 14, row 3 (KP5) writes its bits only.
    QTest::mouseClick(page->indicator_switch(), Qt::LeftButton);
    QTest::mouseClick(page->key_at(14, 3), Qt::LeftButton);
    EXPECT_EQ(word_of(w, 1), (caps_word & ~0x3FFu) | (3u << 7) | (14u << 2) | 1u);
    EXPECT_EQ(page->light_text()->text(), QString::fromUtf8("使用按键灯[X=14:Y=3]，按键编号为：%1").arg(sim::board_key_id(14, 3)));
    ASSERT_TRUE(wait_until([&] { return highlighted(*page) == std::vector<std::pair<unsigned, unsigned>>{{14, 3}}; }));

    // Bead 37 from the dialog: source 3, the key's column and row kept.
    next_led_select dialog{int(bead_37_line)};
    QTest::mouseClick(page->ambient_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return dialog.done(); }));
    ASSERT_GT(dialog.lines_.size(), 1);
    EXPECT_EQ(dialog.lines_[1], QString::fromUtf8("001: 驱动器= 2812: [037] 亮度：55%"));
    EXPECT_EQ(dialog.lines_[0], QString::fromUtf8("000: 驱动器= 2812: [000] 亮度：100%"));
    EXPECT_EQ(word_of(w, 1), (caps_word & ~(0x7Fu << 10) & ~3u) | (37u << 10) | (3u << 7) | (14u << 2) | 3u);
    EXPECT_EQ(page->light_text()->text(), QString::fromUtf8("使用2812物理矩阵[ID=37]"));
    EXPECT_TRUE(highlighted(*page).empty());
    QTest::mouseClick(page->indicator_switch(), Qt::LeftButton);
    QTest::mouseClick(page->indicator_switch(), Qt::LeftButton);
    EXPECT_TRUE(highlighted(*page).empty());

    // Effect: "七彩变换" (2), the switch bit kept.
    QTest::mouseClick(page->effect_button(2), Qt::LeftButton, Qt::NoModifier,
                      QPoint(6, page->effect_button(2)->height() / 2));
    EXPECT_EQ(w.records().lighting[led::off_indicators + 8], (2 << 1) | 1);
    // Colour: a random one on the right button, never with a channel of 255.
    QTest::mouseClick(page->swatch(), Qt::RightButton);
    const uint8_t* rgb = &w.records().lighting[led::off_indicators + 8 + ind::off_colour];
    EXPECT_EQ(colour::from_triple(rgb), page->swatch()->colour());
    EXPECT_TRUE(rgb[0] != 255 && rgb[1] != 255 && rgb[2] != 255);
    EXPECT_TRUE(kb_->messages().empty()); // nothing leaves before Save

    // Save with SCROLL current: the three indicators in one report.
    click_cell(page->indicator_strip(), 2);
    QTest::mouseClick(page->save_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_messages(w, 1));
    const auto m = kb_->messages();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].command, cmd::write_indicator_lights);
    EXPECT_TRUE(m[0].block);
    EXPECT_FALSE(m[0].chunked);
    const auto& rec = w.records().lighting;
    EXPECT_EQ(bytes(m[0].data.begin(), m[0].data.begin() + 24),
              bytes(rec.begin() + led::off_indicators, rec.begin() + led::off_indicators + 24));
    EXPECT_TRUE(same_bytes(rec, kb_->record(cmd::read_lighting)));
}

TEST_F(IndicatorLights, WithoutALayoutNoKeysAreDrawnButAnAmbientLightCanBePicked) {
    bytes no_layout = layout();
    no_layout[layout::off_present] = 0;
    Tmain_form& w = open_board(lighting(), no_layout);
    Tbkl_indicator_edit_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    const key_picture* k = page->key_at(0, 3);
    EXPECT_TRUE(!k || k->isHidden());
    // The seventh light of the table is the 3741 cell X 14, Y 0.
    next_led_select dialog(6);
    QTest::mouseClick(page->ambient_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return dialog.done(); }));
    EXPECT_EQ(dialog.lines_[6], QString::fromUtf8("006: 驱动器= 3741: [14-0] "));
    EXPECT_EQ(ind::source_of(word_of(w, 0)), ind::source_matrix);
    EXPECT_EQ(ind::x_of(word_of(w, 0)), 14u);
    EXPECT_EQ(page->light_text()->text(), QString::fromUtf8("使用3741物理矩阵[X=14:Y=0]"));
}

} // namespace
} // namespace qvk::testing
