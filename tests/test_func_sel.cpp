// The function picker, offscreen: every action's bytes in the caller's slot
// in key and macro mode, what each mode hides, the delay checks, the lists
// filled on first visit, and the texts from a language file.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "functions/func_code.h"
#include "functions/func_sel.h"
#include "functions/func_sel_widgets.h"
#include "functions/key_code_convert.h"
#include "temp_dir.h"

namespace qvk::testing {
namespace {

class recorded_dialogs final : public dialog_service {
public:
    QStringList messages;
    void show_message(const QString& text) override { messages << text; }
    bool ask_yes_no(const QString&, const QString& text) override {
        messages << text;
        return false;
    }
    QString open_file_name(const QString&, const QString&) override { return {}; }
    QString save_file_name(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QColor> pick_colour(const QColor&) override { return std::nullopt; }
};

std::string hex(const uint8_t* b) {
    char s[16];
    std::snprintf(s, sizeof s, "%02X %02X %02X %02X", b[0], b[1], b[2], b[3]);
    return s;
}

// Something to do before clicking: pick a list item, type into a field or
// click a radio button.
struct prep {
    const char* name;
    int item = -1;
    const char* text = nullptr;
};

struct action_case {
    func_sel_page page;
    std::vector<prep> preps;
    const char* button;
    const char* expected; // slot bytes after the click, from AA BB CC DD
};

class Picker : public ::testing::Test {
protected:
    void SetUp() override {
        d.write("MediaKeyCode.ini", "[ConsumerKeyCode]\r\n0x00E9=Vol Up\r\n0xE2=Mute\r\n0x0183=Player\r\n");
        texts = std::make_unique<key_code_convert>(d.file("qvk-tools"));
    }

    Tfunc_sel& open(bool macro, int bkl_effects = 20, float scale = 1.0f) {
        Tfunc_sel::params p;
        p.convert = texts.get();
        p.bkl_effect_count = bkl_effects;
        p.ws_effect_count = 10;
        p.code = slot;
        p.macro_mode = macro ? 1 : 0;
        p.scale = scale;
        p.dialogs = &dialogs;
        dlg = std::make_unique<Tfunc_sel>(p);
        dlg->show();
        QCoreApplication::processEvents();
        return *dlg;
    }
    template <class W = QWidget>
    W* find(const char* name) {
        W* w = dlg->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void go_to(func_sel_page page) {
        dlg->pages()->setCurrentIndex(page);
        QCoreApplication::processEvents();
    }
    // Clicks a control the way the user does: scrolled into view first.
    void click(const char* name) {
        QWidget* w = find(name);
        if (!w) return;
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
            if (auto* s = qobject_cast<QScrollArea*>(p)) s->ensureWidgetVisible(w);
        QCoreApplication::processEvents();
        ASSERT_TRUE(w->isVisible()) << name;
        QTest::mouseClick(w, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void run(const action_case& c) {
        std::copy(std::begin(start), std::end(start), slot);
        go_to(c.page);
        for (const prep& p : c.preps) {
            if (p.item >= 0)
                find<QComboBox>(p.name)->setCurrentIndex(p.item);
            else if (p.text)
                find<QLineEdit>(p.name)->setText(QString::fromLatin1(p.text));
            else
                click(p.name);
        }
        click(c.button);
        EXPECT_EQ(hex(slot), c.expected) << c.button;
        EXPECT_FALSE(dlg->isVisible()) << c.button;
        EXPECT_EQ(dlg->result(), QDialog::Accepted) << c.button;
    }

    temp_dir d;
    std::unique_ptr<key_code_convert> texts;
    recorded_dialogs dialogs;
    std::unique_ptr<Tfunc_sel> dlg;
    static constexpr uint8_t start[4] = {0xAA, 0xBB, 0xCC, 0xDD};
    uint8_t slot[4] = {0xAA, 0xBB, 0xCC, 0xDD};
};

TEST_F(Picker, EveryKeyModeActionWritesItsBytes) {
    const action_case cases[] = {
        {page_keys, {}, "key_04", "02 04 00 00"},
        {page_keys, {}, "key_29", "02 29 00 00"},
        {page_keys, {}, "key_65", "02 65 00 00"},
        {page_keys, {}, "key_e7", "02 E7 00 00"},
        {page_keys, {}, "usage_item_0", "02 66 00 00"},
        {page_keys, {}, "usage_item_62", "02 A4 00 00"},
        {page_keys, {}, "usage_item_63", "02 B0 00 00"},
        {page_keys, {}, "usage_item_108", "02 DD 00 00"},
        {page_keys, {}, "btn_disable_key", "01 BB CC DD"},
        {page_media, {}, "media_00e9", "03 E9 00 00"},
        {page_media, {}, "media_00cd", "03 CD 00 00"},
        {page_media, {}, "media_022a", "03 2A 02 00"},
        {page_media, {}, "media_item_1", "03 E2 00 00"}, // "0xE2" in the file
        {page_media, {}, "media_item_2", "03 83 01 00"},
        {page_mouse, {}, "btn_mouse_left", "05 BB CC DD"},
        {page_mouse, {}, "btn_mouse_middle", "06 BB CC DD"},
        {page_mouse, {}, "btn_mouse_right", "07 BB CC DD"},
        {page_mouse, {}, "btn_wheel_up", "08 01 00 DD"},
        {page_mouse, {{"cb_mouse_step", 2}}, "btn_wheel_down", "09 03 00 DD"},
        {page_mouse, {{"cb_mouse_step", 9}}, "btn_pointer_up", "0A 0A 00 DD"},
        {page_mouse, {{"cb_mouse_step", 19}}, "btn_pointer_down", "0B 14 00 DD"},
        {page_mouse, {{"cb_mouse_step", 0}}, "btn_pointer_left", "0C 01 00 DD"},
        {page_mouse, {{"cb_mouse_step", 39}}, "btn_pointer_right", "0D 28 00 DD"},
        {page_layers, {{"cb_flayer_switch", 7}}, "btn_flayer_switch", "0E 07 CC DD"},
        {page_layers, {{"cb_flayer_enable", 3}}, "btn_flayer_open", "0F 03 01 DD"},
        {page_layers, {{"cb_flayer_enable", 3}}, "btn_flayer_close", "0F 03 00 DD"},
        {page_layers, {{"cb_flayer_toggle", 5}}, "btn_flayer_toggle", "10 05 CC DD"},
        {page_layers, {{"cb_tlayer_switch", 6}}, "btn_tlayer_switch", "11 06 CC DD"},
        {page_macros, {{"cb_macro_group", 5}, {"cb_macro_run_step", 300}}, "btn_macro_run", "12 05 2C 01"},
        {page_macros, {{"cb_macro_group", 99}, {"cb_macro_run_step", 511}}, "btn_macro_run", "12 63 FF 01"},
        {page_macros, {}, "btn_macro_stop", "13 BB CC DD"},
        {page_bluetooth, {{"cb_ble_host", 7}}, "btn_ble_host", "1E 07 CC DD"},
        {page_bluetooth, {}, "btn_ble_reset", "1B BB CC DD"},
        {page_bluetooth, {}, "btn_ble_unpair_all", "1C BB CC DD"},
        {page_bluetooth, {}, "btn_ble_restart", "1D BB CC DD"},
        {page_bluetooth, {}, "btn_ble_sleep", "1F BB CC DD"},
        {page_bluetooth, {}, "btn_ble_print_host_count", "20 BB CC DD"},
        {page_bluetooth, {}, "btn_ble_print_host_id", "21 BB CC DD"},
        {page_bluetooth, {}, "btn_ble_print_host_mac", "22 BB CC DD"},
        {page_battery, {}, "btn_batt_measure", "23 BB CC DD"},
        {page_battery, {}, "btn_batt_print_level", "24 BB CC DD"},
        {page_battery, {}, "btn_batt_print_voltage", "25 BB CC DD"},
        {page_battery, {}, "btn_fw_restart", "26 BB CC DD"},
        {page_backlight, {}, "btn_bkl_prev", "27 BB CC DD"},
        {page_backlight, {}, "btn_bkl_next", "28 BB CC DD"},
        {page_backlight, {{"cb_bkl_effect", 19}}, "btn_bkl_set", "29 13 CC DD"},
        {page_backlight, {}, "btn_bkl_on", "2A BB CC DD"},
        {page_backlight, {}, "btn_bkl_off", "2B BB CC DD"},
        {page_backlight, {}, "btn_bkl_toggle", "2C BB CC DD"},
        {page_backlight, {}, "btn_bkl_darker", "35 00 CC DD"},
        {page_backlight, {}, "btn_bkl_brighter", "35 01 CC DD"},
        {page_backlight, {}, "btn_rhythm_on", "37 01 CC DD"},
        {page_backlight, {}, "btn_rhythm_off", "37 00 CC DD"},
        {page_backlight, {}, "btn_rhythm_toggle", "37 02 CC DD"},
        {page_backlight, {{"cb_bkl_temp_effect", 3}}, "btn_bkl_temp", "39 00 03 DD"},
        {page_backlight, {}, "btn_bkl_restore", "39 01 00 DD"},
        {page_backlight, {}, "btn_bkl_slower", "3A 01 CC DD"},
        {page_backlight, {}, "btn_bkl_faster", "3A 00 CC DD"},
        {page_ambient, {{"cb_ws_group_step", 2}}, "btn_ws_prev", "2D 02 CC DD"},
        {page_ambient, {{"cb_ws_group_step", 3}}, "btn_ws_next", "2E 03 CC DD"},
        {page_ambient, {{"cb_ws_group_on_off", 5}}, "btn_ws_on", "30 05 CC DD"},
        {page_ambient, {{"cb_ws_group_on_off", 4}}, "btn_ws_off", "31 04 CC DD"},
        {page_ambient, {{"cb_ws_group_toggle", 1}}, "btn_ws_toggle", "32 01 CC DD"},
        {page_ambient, {{"cb_ws_group_set", 4}, {"cb_ws_effect", 9}}, "btn_ws_set", "2F 04 09 DD"},
        {page_indicators, {{"cb_indicator", 1}}, "btn_ind_on", "33 01 CC DD"},
        {page_indicators, {{"cb_indicator", 2}}, "btn_ind_off", "34 02 CC DD"},
        {page_indicator_actions, {{"cb_ind_action", 0}}, "btn_ind_action_on", "36 00 01 DD"},
        {page_indicator_actions, {{"cb_ind_action", 2}}, "btn_ind_action_off", "36 02 00 DD"},
        {page_win_lock, {{"cb_win_keys", 2}}, "btn_win_toggle", "38 02 03 DD"},
        {page_win_lock, {{"cb_win_keys", 1}}, "btn_win_lock", "38 01 02 DD"},
        {page_win_lock, {{"cb_win_keys", 0}}, "btn_win_unlock", "38 00 01 DD"},
    };
    for (const action_case& c : cases) {
        open(false);
        run(c);
    }
}

TEST_F(Picker, MacroModeActionsWriteTheirBytes) {
    const action_case cases[] = {
        {page_keys, {}, "key_04", "02 04 00 00"},
        {page_keys, {{"rb_key_release"}}, "key_04", "17 04 00 00"},
        {page_keys, {{"rb_key_press"}}, "key_e0", "17 E0 01 00"},
        {page_keys, {{"rb_key_press"}, {"rb_key_normal"}}, "key_04", "02 04 00 00"},
        {page_keys, {{"rb_key_press"}}, "usage_item_108", "17 DD 01 00"},
        {page_media, {{"rb_media_press"}}, "media_00e9", "18 E9 00 01"},
        {page_media, {{"rb_media_release"}}, "media_022a", "18 2A 02 00"},
        {page_media, {}, "media_00e9", "03 E9 00 00"},
        {page_media, {{"rb_media_press"}}, "media_item_2", "18 83 01 01"},
        {page_macros, {{"cb_macro_jump_step", 300}}, "btn_macro_jump", "14 BB 2C 01"},
        {page_macros, {{"edit_delay", -1, "65535"}}, "btn_delay", "15 FF FF DD"},
        {page_macros, {{"edit_delay", -1, "1"}}, "btn_delay", "15 01 00 DD"},
        {page_macros, {}, "btn_random_delay", "16 64 00 DD"}, // the field starts at 100
        {page_macros, {{"edit_random_delay", -1, "1000"}}, "btn_random_delay", "16 E8 03 DD"},
        {page_mouse, {{"cb_mouse_step", 2}}, "btn_wheel_down", "09 03 00 DD"},
    };
    for (const action_case& c : cases) {
        open(true);
        run(c);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Picker, ChoiceOfTheKeyPageIsKeptPerPage) {
    // The press/release choice of the key page does not change the media page.
    open(true);
    go_to(page_keys);
    click("rb_key_press");
    go_to(page_media);
    click("media_00e9");
    EXPECT_EQ(hex(slot), "03 E9 00 00");
}

TEST_F(Picker, EachModeHidesTheOthersControls) {
    const char* macro_only[] = {"rb_key_press",  "rb_key_release",     "rb_media_press",       "rb_media_release",
                                "cb_macro_jump_step", "btn_macro_jump", "edit_delay",        "btn_delay",
                                "edit_random_delay",  "btn_random_delay"};
    const func_sel_page page_of[] = {page_keys,   page_keys,   page_media,  page_media,  page_macros,
                                     page_macros, page_macros, page_macros, page_macros, page_macros};
    for (bool macro : {false, true}) {
        open(macro);
        for (size_t i = 0; i < std::size(macro_only); ++i) {
            go_to(page_of[i]);
            EXPECT_EQ(find(macro_only[i])->isVisible(), macro) << macro_only[i] << " macro " << macro;
        }
        go_to(page_keys);
        EXPECT_EQ(find("btn_disable_key")->isVisible(), !macro);
        EXPECT_TRUE(find("rb_key_normal")->isVisible());
        go_to(page_backlight);
        EXPECT_FALSE(find("btn_rhythm_prev")->isVisible());
        EXPECT_FALSE(find("btn_rhythm_next")->isVisible());
    }
    // In key mode the jump list is never filled, even after a visit.
    open(false);
    go_to(page_macros);
    EXPECT_EQ(find<QComboBox>("cb_macro_jump_step")->count(), 0);
}

TEST_F(Picker, WrongDelaysAreRefusedAndTheDialogStaysOpen) {
    const std::pair<const char*, const char*> rows[] = {{"edit_delay", "btn_delay"},
                                                        {"edit_random_delay", "btn_random_delay"}};
    for (const auto& [field, button] : rows) {
        for (const char* text : {"0", "65536", "", "99999999999"}) {
            open(true);
            dialogs.messages.clear();
            go_to(page_macros);
            find<QLineEdit>(field)->setText(QString::fromLatin1(text));
            click(button);
            EXPECT_EQ(dialogs.messages, QStringList{QString::fromUtf8("数值设置错误，请设置在1-65535之间。")})
                << field << " '" << text << "'";
            EXPECT_EQ(hex(slot), "AA BB CC DD") << text;
            EXPECT_TRUE(dlg->isVisible()) << text;
            // The user corrects the value and the same dialog writes it.
            find<QLineEdit>(field)->setText(QStringLiteral("7"));
            click(button);
            EXPECT_EQ(slot[1], 7);
            EXPECT_FALSE(dlg->isVisible());
            std::copy(std::begin(start), std::end(start), slot);
        }
    }
}

TEST_F(Picker, DelayFieldTakesOnlyDigits) {
    open(true);
    go_to(page_macros);
    auto* field = find<QLineEdit>("edit_delay");
    field->clear();
    QTest::keyClicks(field, QStringLiteral("1a-2 3"));
    EXPECT_EQ(field->text(), QStringLiteral("123"));
}

TEST_F(Picker, LongListsAreFilledOnTheFirstVisitOfTheirPage) {
    for (bool macro : {false, true}) {
        open(macro, 20);
        auto* media = find<button_list>("media_list");
        const char* lists[] = {"cb_macro_group", "cb_macro_run_step", "cb_macro_jump_step", "cb_bkl_effect",
                               "cb_bkl_temp_effect", "cb_ws_effect"};
        EXPECT_EQ(media->count(), 0);
        EXPECT_TRUE(media->isHidden());
        for (const char* l : lists) EXPECT_EQ(find<QComboBox>(l)->count(), 0) << l;

        for (int round = 0; round < 2; ++round) { // a second visit adds nothing
            for (func_sel_page p : {page_media, page_macros, page_backlight, page_ambient, page_keys}) go_to(p);
            EXPECT_EQ(media->count(), 3);
            EXPECT_FALSE(media->isHidden());
            EXPECT_EQ(find<QComboBox>("cb_macro_group")->count(), 100);
            EXPECT_EQ(find<QComboBox>("cb_macro_run_step")->count(), 512);
            EXPECT_EQ(find<QComboBox>("cb_macro_jump_step")->count(), macro ? 512 : 0);
            EXPECT_EQ(find<QComboBox>("cb_bkl_effect")->count(), 20);
            EXPECT_EQ(find<QComboBox>("cb_bkl_temp_effect")->count(), 20);
            EXPECT_EQ(find<QComboBox>("cb_ws_effect")->count(), 10);
        }
        for (const char* l : {"cb_macro_group", "cb_macro_run_step", "cb_bkl_effect", "cb_ws_effect"}) {
            EXPECT_EQ(find<QComboBox>(l)->currentIndex(), 0) << l;
            EXPECT_EQ(find<QComboBox>(l)->itemText(0), QStringLiteral("0")) << l;
        }
        EXPECT_EQ(find<QComboBox>("cb_macro_run_step")->itemText(511), QStringLiteral("511"));
        EXPECT_EQ(find<QComboBox>("cb_bkl_effect")->itemText(19), QStringLiteral("19"));
        EXPECT_EQ(find<QComboBox>("cb_mouse_step")->itemText(39), QStringLiteral("40"));
    }
}

TEST_F(Picker, WithoutBacklightEffectsTheEffectButtonsWriteNothing) {
    for (int count : {0, -3}) {
        open(false, count);
        go_to(page_backlight);
        EXPECT_EQ(find<QComboBox>("cb_bkl_effect")->count(), 0);
        EXPECT_EQ(find<QComboBox>("cb_bkl_temp_effect")->currentIndex(), -1);
        for (const char* b : {"btn_bkl_set", "btn_bkl_temp"}) {
            EXPECT_FALSE(find(b)->isEnabled()) << b;
            QTest::mouseClick(find(b), Qt::LeftButton);
            EXPECT_EQ(hex(slot), "AA BB CC DD") << b;
            EXPECT_TRUE(dlg->isVisible()) << b;
        }
        // Restoring needs no effect number.
        click("btn_bkl_restore");
        EXPECT_EQ(hex(slot), "39 01 00 DD");
        std::copy(std::begin(start), std::end(start), slot);
    }
}

TEST_F(Picker, MoreEffectsThanAByteHoldsAreNotOffered) {
    open(false, 1000);
    go_to(page_backlight);
    EXPECT_EQ(find<QComboBox>("cb_bkl_effect")->count(), 256);
}

TEST_F(Picker, ClosingWithoutChoosingLeavesTheSlot) {
    open(true);
    go_to(page_mouse);
    find<QComboBox>("cb_mouse_step")->setCurrentIndex(5);
    dlg->close();
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(hex(slot), "AA BB CC DD");

    open(false);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(hex(slot), "AA BB CC DD");
}

TEST_F(Picker, ShownModallyReturnsAfterTheChoice) {
    Tfunc_sel::params p;
    p.convert = texts.get();
    p.bkl_effect_count = 4;
    p.code = slot;
    p.dialogs = &dialogs;
    Tfunc_sel modal(p);
    QTimer::singleShot(0, &modal, [&modal] {
        QTest::mouseClick(modal.findChild<QWidget*>(QStringLiteral("key_2c")), Qt::LeftButton);
    });
    EXPECT_EQ(modal.exec(), QDialog::Accepted);
    EXPECT_EQ(hex(slot), "02 2C 00 00");
}

TEST_F(Picker, WindowAndTextsWithAndWithoutALanguageFile) {
    Tfunc_sel& built_in = open(false);
    EXPECT_EQ(built_in.windowTitle(), QStringLiteral("Function selection"));
    EXPECT_EQ(built_in.size(), QSize(1031, 600));
    EXPECT_EQ(built_in.pages()->count(), 12);
    EXPECT_EQ(built_in.pages()->currentIndex(), page_keys);
    EXPECT_EQ(built_in.pages()->tabText(page_win_lock), QString::fromUtf8("WIN键锁定"));
    EXPECT_EQ(find<QAbstractButton>("btn_flayer_open")->text(), QString::fromUtf8("确定"));
    EXPECT_EQ(find<QAbstractButton>("rb_key_release")->text(), QString::fromUtf8("弹起按键"));
    EXPECT_EQ(find<QAbstractButton>("btn_disable_key")->text(), QStringLiteral("Disable Key"));
    EXPECT_EQ(find<QAbstractButton>("media_00e9")->text(), QStringLiteral("VOL +"));
    // '&' in a caption is shown, not taken as a shortcut marker.
    EXPECT_EQ(find<QAbstractButton>("usage_item_86")->toolTip(), QStringLiteral("Keypad &"));
    EXPECT_EQ(find<QAbstractButton>("usage_item_86")->text(), QStringLiteral("Keypad &&"));

    d.write("Language/English.ini",
            "[Language]\r\n4058=OK\r\n4022=Release key\r\n4012=Win lock\r\n"
            "4193=Lock the Windows keys.<br>Unlocked after a restart.\r\n");
    texts = std::make_unique<key_code_convert>(d.file("qvk-tools"));
    ASSERT_TRUE(texts->load_language(0));
    open(false, 20, 2.0f);
    EXPECT_EQ(dlg->size(), QSize(2062, 1200));
    EXPECT_EQ(dlg->pages()->tabText(page_win_lock), QStringLiteral("Win lock"));
    for (const char* ok : {"btn_flayer_switch", "btn_flayer_open", "btn_macro_run", "btn_ble_host", "btn_ws_set"})
        EXPECT_EQ(find<QAbstractButton>(ok)->text(), QStringLiteral("OK")) << ok;
    EXPECT_EQ(find<QAbstractButton>("btn_flayer_close")->text(), QString::fromUtf8("关闭"));
    EXPECT_EQ(find<QAbstractButton>("rb_media_release")->text(), QStringLiteral("Release key"));
    // An explanation that may be cut off carries its text as hint too.
    const QString lock = QStringLiteral("Lock the Windows keys.\nUnlocked after a restart.");
    bool found = false;
    for (QLabel* l : dlg->findChildren<QLabel*>())
        if (l->text() == lock) found = l->toolTip() == lock;
    EXPECT_TRUE(found);
}

TEST_F(Picker, ButtonsFitTheirTextAndNeverOverlapAtScaleOneAndTwo) {
    for (bool macro : {false, true}) {
        for (float scale : {1.0f, 2.0f}) {
            open(macro, 20, scale);
            for (int page = 0; page < func_sel_page_count; ++page) {
                go_to(func_sel_page(page));
                std::vector<std::pair<QRect, QAbstractButton*>> shown;
                for (QAbstractButton* b : dlg->pages()->currentWidget()->findChildren<QAbstractButton*>()) {
                    if (!b->isVisible()) continue;
                    const QRect r(b->mapTo(dlg.get(), QPoint(0, 0)), b->size());
                    const std::string what = b->objectName().toStdString() + " page " + std::to_string(page) +
                                             " scale " + std::to_string(scale);
                    EXPECT_LE(r.right(), dlg->width()) << what;
                    if (qobject_cast<QPushButton*>(b)) {
                        for (const QString& line : b->text().replace(QStringLiteral("&&"), QStringLiteral("&")).split('\n'))
                            EXPECT_LE(b->fontMetrics().horizontalAdvance(line), b->width() - 4) << what;
                    }
                    for (const auto& [other, ob] : shown)
                        EXPECT_FALSE(r.intersects(other)) << what << " / " << ob->objectName().toStdString();
                    shown.emplace_back(r, b);
                }
                EXPECT_FALSE(shown.empty()) << page;
            }
        }
    }
}

} // namespace
} // namespace qvk::testing
