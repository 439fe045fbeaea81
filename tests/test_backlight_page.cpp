// The backlight page of the real main window against the virtual keyboard:
// every control changed once through its widget leaves with its exact
// command, the keyboard's own reports redraw the page without sending, the
// stored values it corrects, when it refuses to act, and a lighting record
// that does not arrive whole.

#include <QComboBox>
#include <QLabel>

#include "layers/kb_layout.h"
#include "lighting/backlight_page.h"
#include "lighting/led_state.h"
#include "lighting_fixture.h"
#include "link/initial_read.h"
#include "link/packet.h"
#include "sim/default_records.h"
#include "ui/toggle_switch.h"
#include "ui/selector_strip.h"
#include "ui/value_bar.h"

namespace qvk::testing {
namespace {

class BacklightPage : public lighting_window {
protected:
    Tled_bkl_edit_frame* open_page(Tmain_form& w) {
        w.action(QStringLiteral("led_bkl_lig"))->trigger();
        EXPECT_EQ(w.current_card(), c_bkl_lig_edit);
        return dynamic_cast<Tled_bkl_edit_frame*>(w.page(c_bkl_lig_edit));
    }
    static void click_cell(selector_strip* s, int cell) {
        QTest::mouseClick(s, Qt::LeftButton, Qt::NoModifier, s->cell_rect(cell).center());
    }
    // Picks a list item with the keyboard, as a user does.
    static void choose(QComboBox* box, int item) {
        box->setFocus();
        box->setCurrentIndex(item == 0 ? 1 : item - 1);
        QTest::keyClick(box, item == 0 ? Qt::Key_Up : Qt::Key_Down);
    }
    // The virtual keyboard's default lighting with changes.
    static bytes lighting_with(const std::function<void(bytes&)>& change) {
        bytes r = sim::default_lighting();
        change(r);
        return r;
    }
};

TEST_F(BacklightPage, EveryControlLeavesWithItsCommandAndTheKeyboardKeepsTheSameRecord) {
    Tmain_form& w = open_board();
    Tled_bkl_edit_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    const uint8_t* led = w.records().lighting.data();
    const int width = page->brightness_bar(0)->width();
    const int travel = width - 4;
    std::vector<taken> want;
    auto step = [&](const taken& t) {
        want.push_back(t);
        ASSERT_TRUE(wait_messages(w, want.size())) << t;
        EXPECT_EQ(short_commands(kb_->messages()), want);
    };

    // Driver current: pressed half-way, dragged to the right end, which is
    // the top of the range.
    drag(page->brightness_bar(0), {2 + travel / 2, width - 2});
    EXPECT_EQ(led[led::off_driver_current], 255);
    EXPECT_EQ(page->brightness_bar(0)->text(), QStringLiteral("255"));
    step({cmd::bkl_driver_current, 255, 0});
    // Red: a press alone; green: dragged; blue: pressed at the left end.
    drag(page->brightness_bar(1), {2 + travel * 3 / 10});
    step({cmd::bkl_red, unsigned((travel * 3 / 10) * 100 / travel), 0});
    drag(page->brightness_bar(2), {100, 200});
    step({cmd::bkl_green, unsigned(201 * 100 / travel), 0});
    EXPECT_EQ(page->brightness_bar(2)->text(), QString::number(201 * 100 / travel) + QLatin1Char('%'));
    drag(page->brightness_bar(3), {2});
    step({cmd::bkl_blue, 0, 0});

    // Effect 4 has a speed (10..200) and a parameter (1..8).
    click_cell(page->effect_strip(), 4);
    step({cmd::bkl_effect, 4, 0});
    EXPECT_EQ(page->effect_strip()->selected(), 4);
    drag(page->speed_bar(), {2 + travel / 2});
    step({cmd::bkl_speed, 0, uint16_t(10 + 95)});
    drag(page->parameter_bar(), {width - 2});
    step({cmd::bkl_parameter, 8, 0});

    // Effect 5 has the centre correction.
    EXPECT_FALSE(page->centre_box(0)->isVisibleTo(w.page_panel(c_bkl_lig_edit)));
    click_cell(page->effect_strip(), 5);
    step({cmd::bkl_effect, 5, 0});
    ASSERT_TRUE(page->centre_box(0)->isVisibleTo(w.page_panel(c_bkl_lig_edit)));
    choose(page->centre_box(0), 0);
    step({cmd::bkl_centre_correction, 0, 0});
    EXPECT_EQ(int8_t(led[led::off_effects + 5 * led::effect_size + led::eff_off_centre_x]), -1);
    choose(page->centre_box(1), 2);
    step({cmd::bkl_centre_correction, 1, 2});

    // Cell 14 of N = 20 (B = 12) is custom effect 2, whose speed is one byte.
    click_cell(page->effect_strip(), 14);
    step({cmd::bkl_effect, 14, 0});
    EXPECT_EQ(led[led::off_effect], 14);
    EXPECT_EQ(page->custom_caption(), QString::fromUtf8("自定义灯效，当前选择灯效：2"));
    EXPECT_EQ(page->builtin_caption(), QString::fromUtf8("内置的灯效，当前未展示"));
    EXPECT_FALSE(page->centre_box(0)->isVisibleTo(w.page_panel(c_bkl_lig_edit)));
    EXPECT_FALSE(page->parameter_bar()->active());
    drag(page->speed_bar(), {2, width - 2});
    step({cmd::bkl_speed, 0, 200});

    // The master switch last: off.
    QTest::mouseClick(page->master(), Qt::LeftButton);
    step({cmd::bkl_master_switch, 0, 0});
    EXPECT_FALSE(page->master()->isChecked());

    // The keyboard now holds exactly the page's record.
    EXPECT_TRUE(same_bytes(w.records().lighting, kb_->record(cmd::read_lighting)));
}

TEST_F(BacklightPage, KeyboardReportsRedrawThePageWithoutSendingAnything) {
    Tmain_form& w = open_board();
    Tled_bkl_edit_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    const uint8_t* led = w.records().lighting.data();

    kb_->notify_backlight(cmd::bkl_effect, 1);
    ASSERT_TRUE(wait_until([&] { return page->effect_strip()->selected() == 1; }));
    // Effect 1's speed reported as 300: stored whole, shown as its low byte.
    kb_->notify_backlight(cmd::bkl_speed, 0, 300);
    ASSERT_TRUE(wait_until([&] { return page->speed_bar()->text().endsWith(QStringLiteral("=44")); }));
    EXPECT_EQ(packet::read_u16(led + led::off_effects + led::effect_size + led::eff_off_speed), 300);
    kb_->notify_backlight(cmd::bkl_driver_current, 77);
    ASSERT_TRUE(wait_until([&] { return page->brightness_bar(0)->text() == QStringLiteral("77"); }));
    kb_->notify_backlight(cmd::bkl_master_switch, 0);
    ASSERT_TRUE(wait_until([&] { return !page->master()->isChecked(); }));
    EXPECT_EQ(led[led::off_master], 0);
    kb_->notify_backlight(cmd::bkl_master_switch, 1);
    ASSERT_TRUE(wait_until([&] { return page->master()->isChecked(); }));

    settle();
    EXPECT_TRUE(kb_->messages().empty());
    EXPECT_TRUE(same_bytes(w.records().lighting, kb_->record(cmd::read_lighting)));
}

// Reports that arrive before the page was ever opened are kept too: the
// page then edits the effect the keyboard runs.
TEST_F(BacklightPage, KeyboardReportsBeforeThePageExistsAreKeptForIt) {
    Tmain_form& w = open_board();
    ASSERT_EQ(w.page(c_bkl_lig_edit), nullptr);
    kb_->notify_backlight(cmd::bkl_effect, 3);
    kb_->notify_backlight(cmd::bkl_speed, 0, 300);
    kb_->notify_backlight(cmd::bkl_driver_current, 90);
    ASSERT_TRUE(wait_until([&] { return w.records().lighting[led::off_driver_current] == 90; }));
    EXPECT_TRUE(same_bytes(w.records().lighting, kb_->record(cmd::read_lighting)));
    Tled_bkl_edit_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->effect_strip()->selected(), 3);
    EXPECT_TRUE(page->speed_bar()->text().endsWith(QStringLiteral("=44")));
    EXPECT_TRUE(kb_->messages().empty());
}

// Values released while the link is busy wait for it (only the newest of
// each) and leave when it is free, instead of being refused.
TEST_F(BacklightPage, ChangesMadeWhileBusyLeaveWithTheirNewestValueOnceFree) {
    Tmain_form& w = open_board();
    Tled_bkl_edit_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    const int travel = page->brightness_bar(1)->width() - 4;
    w.set_task_busy(true);
    drag(page->brightness_bar(1), {2 + travel / 10});
    drag(page->brightness_bar(2), {2 + travel / 2});
    drag(page->brightness_bar(1), {2 + travel * 4 / 10});
    settle();
    EXPECT_TRUE(kb_->messages().empty());
    EXPECT_EQ(page->waiting_sends(), 2u);
    w.set_task_busy(false);
    ASSERT_TRUE(wait_messages(w, 2));
    EXPECT_EQ(short_commands(kb_->messages()),
              (std::vector<taken>{{cmd::bkl_red, unsigned(travel * 4 / 10 * 100 / travel), 0},
                                  {cmd::bkl_green, unsigned(travel / 2 * 100 / travel), 0}}));
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    EXPECT_EQ(page->waiting_sends(), 0u);
}

TEST_F(BacklightPage, StoredValuesOutsideTheirRangeAreDrawnAndStoredAsTheDefaultsWithoutACommand) {
    Tmain_form& w = open_board(lighting_with([](bytes& r) {
        r[led::off_red] = 150;
        r[led::off_blue] = 101;
    }));
    Tled_bkl_edit_frame* page = open_page(w);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->brightness_bar(1)->text(), QStringLiteral("70%"));
    EXPECT_EQ(page->brightness_bar(3)->text(), QStringLiteral("70%"));
    EXPECT_EQ(page->brightness_bar(2)->text(), QStringLiteral("100%"));
    EXPECT_EQ(w.records().lighting[led::off_red], 70);
    EXPECT_EQ(w.records().lighting[led::off_blue], 70);
    settle();
    EXPECT_TRUE(kb_->messages().empty());
}

TEST_F(BacklightPage, NothingActsWithoutPowerLayoutOrKeyLights) {
    bytes no_key_lights = sim::default_layout();
    for (unsigned c = 0; c < layout::max_columns; ++c)
        for (unsigned r = 0; r < layout::max_rows; ++r) {
            layout::key_entry e = layout::read_key_entry(no_key_lights.data(), c, r);
            e.light_low = e.light_index = e.light_byte = 0;
            layout::write_key_entry(no_key_lights.data(), c, r, e);
        }
    bytes no_layout = sim::default_layout();
    no_layout[layout::off_present] = 0;
    struct row {
        const char* what;
        bytes lighting, layout;
        bool switch_enabled;
    };
    const row rows[] = {
        {"master switch off", lighting_with([](bytes& r) { r[led::off_master] = 0; }), {}, true},
        {"no key lights", {}, no_key_lights, true},
        {"no layout", {}, no_layout, false},
    };
    for (const row& t : rows) {
        SCOPED_TRACE(t.what);
        Tmain_form& w = open_board(t.lighting, t.layout);
        Tled_bkl_edit_frame* page = open_page(w);
        ASSERT_NE(page, nullptr);
        const auto before = w.records().lighting;
        for (int tag = 0; tag < 4; ++tag) drag(page->brightness_bar(tag), {30, 60});
        drag(page->speed_bar(), {30, 60});
        QTest::mouseClick(page->effect_strip(), Qt::LeftButton, Qt::NoModifier,
                          page->effect_strip()->cell_rect(3).center());
        EXPECT_EQ(page->master()->isEnabled(), t.switch_enabled);
        if (!t.switch_enabled) {
            EXPECT_FALSE(page->master()->isChecked());
            QTest::mouseClick(page->master(), Qt::LeftButton);
            EXPECT_FALSE(page->master()->isChecked());
        }
        // The other buttons never act either.
        QTest::mouseClick(page->brightness_bar(0), Qt::RightButton, Qt::NoModifier, QPoint(40, 5));
        settle();
        EXPECT_TRUE(kb_->messages().empty());
        EXPECT_EQ(w.records().lighting, before);
        window_.reset();
        transport_->remove(kb_);
    }
}

// A lighting record whose chunks do not fit together leaves the copy as it
// was, and the read still comes to its end.
TEST_F(BacklightPage, BrokenLightingReplyLeavesTheRecordAndTheReadStillEnds) {
    std::shared_ptr<manual_keyboard> kb = add_manual_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    const auto before = w.records().lighting;
    for (unsigned step = 0; step < initial_read_step_count; ++step) {
        packet::packet64 p;
        ASSERT_TRUE(kb->wait_request(1 + step, p)) << "step " << step;
        const uint8_t c = packet::command_of(p.data());
        const bytes record = initial_read_record(c, p[packet::off_sub], bytes(10, 0));
        if (c != cmd::read_lighting) {
            kb->reply_record(c, p[packet::off_sub], record);
            continue;
        }
        // Chunk 3 of the 25 is lost.
        const auto chunks = manual_keyboard::record_chunks(c, 0, record);
        for (size_t i = 0; i < chunks.size(); ++i)
            if (i != 3) kb->send_packet(chunks[i]);
    }
    ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_task_busy(); }));
    EXPECT_EQ(w.records().lighting, before);
    EXPECT_TRUE(w.is_read_done(8));
    // The rest of the broken reply asked for nothing more.
    settle();
    EXPECT_EQ(kb->requests().size(), initial_read_step_count + 1); // and the battery request
}

} // namespace
} // namespace qvk::testing
