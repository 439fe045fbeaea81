// The indicator-actions page of the real main window against the virtual
// keyboard: the strip, the trigger switch, a function chosen through the
// real picker, a right click clearing one, and Save sending the 27 bytes in
// one report; panels that do nothing while the trigger is off.

#include <QLabel>
#include <QPushButton>

#include "functions/func_code.h"
#include "lighting/indicator_action_page.h"
#include "lighting_fixture.h"
#include "picker_answer.h"
#include "sim/default_records.h"
#include "ui/toggle_switch.h"
#include "ui/selector_strip.h"

namespace qvk::testing {
namespace {

class IndicatorActions : public lighting_window {
protected:
    Tindicator_action_edit_frame* open_page(Tmain_form& w) {
        w.action(QStringLiteral("indicator_action_edit"))->trigger();
        EXPECT_EQ(w.current_card(), c_indicator_edit);
        return dynamic_cast<Tindicator_action_edit_frame*>(w.page(c_indicator_edit));
    }
    static void click_cell(selector_strip* s, int cell) {
        QTest::mouseClick(s, Qt::LeftButton, Qt::NoModifier, s->cell_rect(cell).center());
    }
};

TEST_F(IndicatorActions, EditedThroughTheWidgetsAndSavedWholeInOneReport) {
    bytes actions = sim::default_indicator_actions();
    // CAPS goes out with 0E 02 00 00 (a layer switch with parameter 2).
    const bytes caps_off = {0x0E, 0x02, 0x00, 0x00};
    std::copy(caps_off.begin(), caps_off.end(), actions.begin() + 14);
    Tmain_form& w2 = open_board({}, {}, actions);
    ASSERT_TRUE(same_bytes(w2.records().indicator_actions, actions));
    Tindicator_action_edit_frame* page = open_page(w2);
    ASSERT_NE(page, nullptr);

    click_cell(page->indicator_strip(), 1);
    EXPECT_EQ(page->current(), 1u);
    EXPECT_FALSE(page->trigger_switch()->isChecked());
    // With the trigger off the panels open nothing and clear nothing.
    {
        next_picker unexpected([](Tfunc_sel& p) { p.reject(); });
        QTest::mouseClick(page->panel(0), Qt::LeftButton);
        QTest::mouseClick(page->panel(1), Qt::RightButton);
        settle();
        EXPECT_FALSE(unexpected.opened());
    }
    EXPECT_TRUE(same_bytes(w2.records().indicator_actions, actions));

    QTest::mouseClick(page->trigger_switch(), Qt::LeftButton);
    EXPECT_EQ(w2.records().indicator_actions[9], 1);
    // Right click on the go-out panel: kind 0, parameters kept, empty panel.
    QTest::mouseClick(page->panel(1), Qt::RightButton);
    EXPECT_EQ(bytes(w2.records().indicator_actions.begin() + 14, w2.records().indicator_actions.begin() + 18),
              (bytes{0x00, 0x02, 0x00, 0x00}));
    EXPECT_TRUE(page->panel(1)->text().isEmpty());
    // Left click on the light-up panel: the picker's Space key.
    next_picker answer(press_in_picker(page_keys, "key_2c"));
    QTest::mouseClick(page->panel(0), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    EXPECT_EQ(bytes(w2.records().indicator_actions.begin() + 10, w2.records().indicator_actions.begin() + 14),
              (bytes{fk_key, 0x2C, 0x00, 0x00}));
    EXPECT_FALSE(page->panel(0)->text().isEmpty());
    EXPECT_TRUE(kb_->messages().empty()); // nothing leaves before Save

    // Save, with another indicator current: the whole record in one report.
    click_cell(page->indicator_strip(), 2);
    bytes edited(w2.records().indicator_actions.begin(), w2.records().indicator_actions.end());
    QTest::mouseClick(page->save_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_messages(w2, 1));
    const auto m = kb_->messages();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].command, cmd::write_indicator_actions);
    EXPECT_TRUE(m[0].block);
    EXPECT_FALSE(m[0].chunked);
    EXPECT_EQ(bytes(m[0].data.begin(), m[0].data.begin() + 27), edited);
    EXPECT_EQ(kb_->record(cmd::read_indicator_actions), edited);
}

} // namespace
} // namespace qvk::testing
