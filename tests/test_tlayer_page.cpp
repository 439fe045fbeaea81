// The trigger-layer page of the real main window, offscreen, against the
// virtual keyboard: opening a trigger layer, editing items through the real
// controls (the test answers the function picker), Save, the tiles, layer
// files, clearing, the editor's refusals, and a keyboard sending a trigger
// layer and layout out of every range.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <map>

#include "functions/func_code.h"
#include "functions/func_sel.h"
#include "layers/kb_layout.h"
#include "layers/layer_file.h"
#include "layers/layer_state.h"
#include "layers/tlayer_mgr.h"
#include "layers/tlayer_page.h"
#include "layers/tlayer_record.h"
#include "link/link_kind.h"
#include "sim/default_records.h"
#include "ui/click_panel.h"
#include "ui/toggle_switch.h"
#include "marked_texts.h"
#include "picker_answer.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

using bytes = std::vector<uint8_t>;
using tlayer::page;

constexpr unsigned home_row = 3; // CapsLock, A, S, D, F, G, H...
unsigned key_at(unsigned column) { return sim::board_key_id(column, home_row); }

tlayer_page* page_of(Tmain_form& w) { return dynamic_cast<tlayer_page*>(w.page(c_tlayer_edit)); }
Ttl_edit_frame* frame_of(Tmain_form& w) { return page_of(w) ? page_of(w)->editor() : nullptr; }

template <class T>
T* control(Tmain_form& w, const char* name) {
    return frame_of(w) ? frame_of(w)->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

// The shared answer to the next picker the window opens.
using picker_answer = next_picker;

std::function<void(Tfunc_sel&)> click_in_picker(func_sel_page pg, const char* button) {
    return [=](Tfunc_sel& p) {
        p.pages()->setCurrentIndex(pg);
        QCoreApplication::processEvents();
        auto* b = p.findChild<QAbstractButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    };
}

// Picks a combo item with the keyboard, as a user does.
void choose_item(QComboBox* combo, int item) {
    combo->setCurrentIndex(item == 0 ? 1 : item - 1);
    QTest::keyClick(combo, item == 0 ? Qt::Key_Up : Qt::Key_Down);
}

// Types into the time box and leaves it.
void enter_time(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
    QCoreApplication::processEvents();
}

// Clicks a key of the matrix (the press and the release).
void click_key(Tmain_form& w, unsigned column, unsigned row = home_row) {
    key_picture* k = frame_of(w)->matrix().picture_at(column, row);
    ASSERT_NE(k, nullptr);
    QTest::mouseClick(k, Qt::LeftButton, Qt::NoModifier, QPoint(k->width() / 2, k->height() / 2));
}

class TlayerPage : public window_test {
protected:
    Tmain_form& open_board() {
        kb_ = add_keyboard(kind_usb);
        Tmain_form& w = open_window();
        detect_and_probe();
        EXPECT_FALSE(w.connect_device(0));
        EXPECT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy() && frame_of(w); }));
        return w;
    }
    void open_layer(Tmain_form& w, unsigned layer) {
        w.action(QStringLiteral("tl_%1").arg(layer))->trigger();
        ASSERT_EQ(w.current_card(), c_tlayer_edit);
        ASSERT_TRUE(wait_until([&] { return w.records().tlayer_loaded[layer] && !w.is_busy(); }));
        ASSERT_TRUE(frame_of(w)->matrix_drawn());
    }
    // Chooses a tab and an item of it through the real controls.
    void choose(Tmain_form& w, page p, const char* item) {
        frame_of(w)->tabs()->setCurrentIndex(int(p));
        auto* b = control<QPushButton>(w, item);
        ASSERT_NE(b, nullptr) << item;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Left-clicks a function box and answers the picker with a button.
    void pick(Tmain_form& w, const char* box, func_sel_page pg, const char* button) {
        picker_answer answer(click_in_picker(pg, button));
        QTest::mouseClick(control<click_panel>(w, box), Qt::LeftButton);
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    QString item_text(Tmain_form& w, const char* item) { return control<QPushButton>(w, item)->text(); }

    std::shared_ptr<sim::virtual_keyboard> kb_;
};

void put_code(bytes& l, size_t at, std::initializer_list<uint8_t> code) { std::copy(code.begin(), code.end(), l.begin() + long(at)); }

// ---------------------------------------------------------------- end to end

TEST_F(TlayerPage, ItemsEditedThroughTheControlsAreSavedIntoTheKeyboardsLayer) {
    Tmain_form& w = open_board();
    kb_->clear_messages();
    w.action("tl_4")->trigger();
    EXPECT_EQ(w.current_card(), c_tlayer_edit);
    EXPECT_EQ(w.current_page_label(), QString::fromUtf8("触发层4"));
    ASSERT_TRUE(wait_until([&] { return w.records().tlayer_loaded[4] && !w.is_busy(); }));
    const auto reads = kb_->messages_of(cmd::read_tlayer);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].sub, 4u);
    EXPECT_EQ(page_of(w)->cur_tlayer(), 4u);
    ASSERT_FALSE(frame_of(w)->isHidden());
    ASSERT_TRUE(frame_of(w)->matrix_drawn());
    bytes want = kb_->record(cmd::read_tlayer, 4);

    // Combination 3: on, keys A and S, Space when both are down.
    choose(w, page::combo, "cb_k_3");
    QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch2"), Qt::LeftButton);
    click_key(w, 1);
    click_key(w, 2);
    EXPECT_TRUE(frame_of(w)->marked(1, home_row));
    EXPECT_TRUE(frame_of(w)->marked(2, home_row));
    EXPECT_FALSE(frame_of(w)->marked(3, home_row));
    pick(w, "Panel9", page_keys, "key_2c");
    want[tlayer::off_combos + 5 * 3] = 1;
    want[tlayer::off_combos + 5 * 3 + 1] = uint8_t(key_at(1));
    want[tlayer::off_combos + 5 * 3 + 2] = uint8_t(key_at(2));
    put_code(want, tlayer::off_combo_all_pressed + 4 * 3, {fk_key, 0x2C, 0, 0});
    EXPECT_EQ(item_text(w, "cb_k_3"), QStringLiteral("3: 开启 Key = %1 | %2 | X | X | ").arg(key_at(1)).arg(key_at(2)));
    EXPECT_EQ(control<QLabel>(w, "Panel6")->text(), QString::number(key_at(2)));

    // Multi-tap group 0: on, key D, three taps, Space.
    choose(w, page::nhit, "nhit_0");
    EXPECT_FALSE(frame_of(w)->marked(1, home_row)); // the combination's marks went with its tab
    QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch3"), Qt::LeftButton);
    click_key(w, 3);
    choose_item(control<QComboBox>(w, "nhit_key_edit_count_select"), 3);
    pick(w, "Panel13", page_keys, "key_2c");
    want[tlayer::off_nhit] = uint8_t(key_at(3));
    want[tlayer::off_nhit + 1] = 0x07;
    put_code(want, tlayer::off_nhit + tlayer::nhit_off_code, {fk_key, 0x2C, 0, 0});
    EXPECT_EQ(item_text(w, "nhit_0"), QStringLiteral("0: 开启 Key = %1 num = 3").arg(key_at(3)));
    EXPECT_TRUE(frame_of(w)->marked(3, home_row));

    // Tap-or-hold group 0: on, key F, 250 ms, Space on a short press.
    choose(w, page::tio, "tio_0");
    QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch4"), Qt::LeftButton);
    click_key(w, 4);
    enter_time(control<QLineEdit>(w, "Edit1"), QStringLiteral("250"));
    pick(w, "Panel14", page_keys, "key_2c");
    want[tlayer::off_tio] = uint8_t(key_at(4));
    want[tlayer::off_tio + 1] = uint8_t((250 << 1 | 1) & 0xFF);
    want[tlayer::off_tio + 2] = uint8_t((250 << 1 | 1) >> 8);
    put_code(want, tlayer::off_tio + tlayer::tio_off_short, {fk_key, 0x2C, 0, 0});
    EXPECT_EQ(item_text(w, "tio_0"), QStringLiteral("0: 开启 Key = %1 time = 250").arg(key_at(4)));
    EXPECT_TRUE(dialogs_.messages.isEmpty());

    // Back on the combinations tab its item is shown again with its keys.
    frame_of(w)->tabs()->setCurrentIndex(int(page::combo));
    EXPECT_TRUE(frame_of(w)->marked(1, home_row));
    EXPECT_TRUE(frame_of(w)->marked(2, home_row));
    EXPECT_FALSE(frame_of(w)->marked(4, home_row));
    EXPECT_EQ(frame_of(w)->current_item(page::combo), 3u);

    EXPECT_TRUE(same_bytes(w.records().tlayers[4], want));
    EXPECT_TRUE(kb_->messages_of(cmd::write_tlayer).empty()); // nothing leaves before Save

    QTest::mouseClick(page_of(w)->strip()->save_button(), Qt::LeftButton);
    EXPECT_FALSE(page_of(w)->strip()->save_button()->isEnabled());
    ASSERT_TRUE(wait_until([&] { return kb_->record(cmd::read_tlayer, 4) == want && !w.is_busy(); }));
    const auto writes = kb_->messages_of(cmd::write_tlayer);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].sub, 4u);
    EXPECT_EQ(writes[0].data, want);
    ASSERT_TRUE(wait_until([&] { return page_of(w)->strip()->save_button()->isEnabled(); }));

    // A tile click makes another trigger layer active; the shown one stays.
    const uint8_t active = w.records().layer_state[layer_state::off_active_tlayer];
    ASSERT_NE(active, 6);
    QTest::mouseClick(page_of(w)->strip()->tile(6), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return !kb_->messages_of(cmd::write_layer_state).empty(); }));
    bytes state(w.records().layer_state.begin(), w.records().layer_state.end());
    EXPECT_EQ(state[layer_state::off_active_tlayer], 6);
    const bytes sent = kb_->messages_of(cmd::write_layer_state)[0].data;
    EXPECT_EQ(bytes(sent.begin(), sent.begin() + long(std::min<size_t>(sent.size(), 10))), state);
    EXPECT_EQ(page_of(w)->strip()->tile(6)->state(), 1);
    EXPECT_EQ(page_of(w)->strip()->tile(active)->state(), 0);
    EXPECT_EQ(page_of(w)->cur_tlayer(), 4u);
    // The active tile again: nothing is sent.
    QTest::mouseClick(page_of(w)->strip()->tile(6), Qt::LeftButton);
    wait_until([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(kb_->messages_of(cmd::write_layer_state).size(), 1u);
}

// ---------------------------------------------------------------- edge cases

TEST_F(TlayerPage, TimeBoxTakesOneTo32767AndPutsBack200Otherwise) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    choose(w, page::tio, "tio_5");
    QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch4"), Qt::LeftButton);
    QLineEdit* edit = control<QLineEdit>(w, "Edit1");
    EXPECT_EQ(edit->text(), QStringLiteral("200")); // a zero time is shown as 200 ms
    const QString wrong = QString::fromUtf8("时间设置错误，可设置的范围是1-32767之间，单位是毫秒（1秒=1000毫秒），建议设置范围为200左右");
    struct time_case {
        const char* typed;
        bool taken;
    };
    const time_case cases[] = {{"0", false}, {"1", true}, {"32767", true}, {"32768", false}, {"", false},
                               {"12a", false}, {"500", true}, {"99999999999", false}};
    unsigned stored = 200;
    for (const time_case& c : cases) {
        SCOPED_TRACE(c.typed);
        dialogs_.messages.clear();
        enter_time(edit, QString::fromLatin1(c.typed));
        if (c.taken) {
            stored = QString::fromLatin1(c.typed).toUInt();
            EXPECT_TRUE(dialogs_.messages.isEmpty());
            EXPECT_EQ(edit->text(), QString::fromLatin1(c.typed));
        } else {
            EXPECT_EQ(dialogs_.messages, QStringList{wrong});
            EXPECT_EQ(edit->text(), QStringLiteral("200"));
            EXPECT_EQ(edit->selectedText(), QStringLiteral("200"));
        }
        EXPECT_EQ(tlayer::time_ms(w.records().tlayers[0].data(), 5), stored);
        EXPECT_TRUE(tlayer::enabled(w.records().tlayers[0].data(), page::tio, 5));
    }
    // 500 ms: the value 1001 (E9 03).
    enter_time(edit, QStringLiteral("500"));
    EXPECT_EQ(w.records().tlayers[0][tlayer::off_tio + 5 * tlayer::tio_size + 1], 0xE9);
    EXPECT_EQ(w.records().tlayers[0][tlayer::off_tio + 5 * tlayer::tio_size + 2], 0x03);
    // Switched off, a time in range is refused and the stored one shown.
    QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch4"), Qt::LeftButton);
    enter_time(edit, QStringLiteral("700"));
    EXPECT_EQ(edit->text(), QStringLiteral("500"));
    EXPECT_EQ(tlayer::time_ms(w.records().tlayers[0].data(), 5), 500u);
}

TEST_F(TlayerPage, DisabledOrMissingItemsRefuseEditsButCombinationKeysCanAlwaysBeRemoved) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    const auto layer = [&] { return w.records().tlayers[0]; };

    // No item chosen: a key click changes nothing.
    frame_of(w)->tabs()->setCurrentIndex(int(page::hdk));
    auto before = layer();
    click_key(w, 5);
    EXPECT_EQ(layer(), before);

    // Disabled items: keys, counts and function boxes are refused.
    struct refused {
        page p;
        const char* item;
        std::function<void()> edit;
    };
    const refused cases[] = {
        {page::fn, "Action2", [&] { click_key(w, 5); }},
        {page::combo, "cb_k_0", [&] { click_key(w, 5); }},
        {page::nhit, "nhit_1", [&] { choose_item(control<QComboBox>(w, "nhit_key_edit_count_select"), 5); }},
        {page::hdk, "hdk_1", [&] { choose_item(control<QComboBox>(w, "hdk_select_trig_cnt"), 5); }},
        {page::tio, "tio_2", [&] { QTest::mouseClick(control<click_panel>(w, "Panel15"), Qt::RightButton); }},
        {page::fn, "Action3", [&] { QTest::mouseClick(control<click_panel>(w, "Panel1"), Qt::LeftButton); }},
    };
    for (const refused& c : cases) {
        SCOPED_TRACE(c.item);
        choose(w, c.p, c.item);
        before = layer();
        c.edit();
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(layer(), before);
    }
    EXPECT_EQ(control<QComboBox>(w, "hdk_select_trig_cnt")->currentIndex(), 0); // back to the stored count

    // A full combination ignores a fifth key and a key it already has; a
    // disabled one still gives its keys back.
    choose(w, page::combo, "cb_k_7");
    QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch2"), Qt::LeftButton);
    for (unsigned c : {1u, 2u, 1u, 3u, 4u, 5u}) click_key(w, c);
    const uint8_t* combo = tlayer::item(w.records().tlayers[0].data(), page::combo, 7);
    EXPECT_EQ(bytes(combo, combo + 5), (bytes{1, uint8_t(key_at(1)), uint8_t(key_at(2)), uint8_t(key_at(3)),
                                              uint8_t(key_at(4))}));
    EXPECT_FALSE(frame_of(w)->marked(5, home_row));
    QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch2"), Qt::LeftButton);
    EXPECT_FALSE(frame_of(w)->marked(1, home_row)); // a disabled item marks nothing
    QTest::mouseClick(control<click_panel>(w, "Panel6"), Qt::RightButton);
    EXPECT_EQ(combo[2], tlayer::no_key);
    EXPECT_EQ(control<QLabel>(w, "Panel6")->text(), QStringLiteral("X"));
    EXPECT_EQ(item_text(w, "cb_k_7"), QStringLiteral("7: 关闭 Key = %1 | X | %2 | %3 | ")
                                          .arg(key_at(1)).arg(key_at(3)).arg(key_at(4)));

    // Enabled: a right click on a box clears only the function kind.
    choose(w, page::hdk, "hdk_4");
    QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch5"), Qt::LeftButton);
    uint8_t* held = tlayer::item_code(w.records().tlayers[0].data(), page::hdk, 4, 0);
    held[0] = fk_key;
    held[1] = 0x04;
    QTest::mouseClick(control<click_panel>(w, "Panel18"), Qt::RightButton);
    EXPECT_EQ(bytes(held, held + 4), (bytes{0, 0x04, 0, 0}));
    EXPECT_TRUE(control<QLabel>(w, "Panel18")->text().isEmpty());
    // A middle click does nothing.
    held[0] = fk_key;
    QTest::mouseClick(control<click_panel>(w, "Panel18"), Qt::MiddleButton);
    EXPECT_EQ(held[0], fk_key);
}

TEST_F(TlayerPage, PickerOpenWhenTheConnectionEndsWritesNothing) {
    Tmain_form& w = open_board();
    for (bool connect_again : {false, true}) {
        SCOPED_TRACE(connect_again ? "connected again before the choice" : "unplugged");
        open_layer(w, 0);
        choose(w, page::fn, "Action1");
        QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch1"), Qt::LeftButton);
        const auto before = w.records().tlayers[0];
        picker_answer answer([&](Tfunc_sel& p) {
            kb_->unplug();
            ASSERT_TRUE(wait_until([&] { return page_of(w) == nullptr; }));
            if (connect_again) {
                // A new editor of the same layer is up when the choice is made.
                kb_->plug();
                detect_and_probe();
                ASSERT_FALSE(w.connect_device(0));
                ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy() && frame_of(w); }));
            }
            click_in_picker(page_keys, "key_2c")(p);
        });
        QTest::mouseClick(control<click_panel>(w, "Panel1"), Qt::LeftButton);
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
        // The layer is as the tool left it, or as the new connection read it.
        if (connect_again)
            EXPECT_TRUE(same_bytes(w.records().tlayers[0], kb_->record(cmd::read_tlayer, 0)));
        else
            EXPECT_EQ(w.records().tlayers[0], before);
        if (!connect_again) {
            EXPECT_EQ(page_of(w), nullptr);
            kb_->plug();
            detect_and_probe();
            ASSERT_FALSE(w.connect_device(0));
            ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy() && frame_of(w); }));
        }
    }
}

// ---------------------------------------------------------------- texts

TEST_F(TlayerPage, EveryTextOfThePageHasItsIdAndBuiltInDefault) {
    struct shown_text {
        uint32_t id;
        const char* def;
        std::function<QString()> where; // the control text the ID shows in (it may hold more)
    };
    auto* wp = &window_;
    auto frame = [wp] { return frame_of(**wp); };
    auto ctl = [frame](const char* name) { return frame()->findChild<QWidget*>(QString::fromLatin1(name)); };
    auto label = [ctl](const char* name) { return [ctl, name] { return static_cast<QLabel*>(ctl(name))->text(); }; };
    auto hint = [ctl](const char* name) { return [ctl, name] { return ctl(name)->toolTip(); }; };
    auto strip = [wp] { return page_of(**wp)->strip(); };
    auto button_text = [strip](unsigned b) { return [strip, b] { return strip()->button(b)->text(); }; };
    auto button_hint = [strip](unsigned b) { return [strip, b] { return strip()->button(b)->toolTip(); }; };
    auto tab = [frame](int i) { return [frame, i] { return frame()->tabs()->tabText(i); }; };
    auto key_hint = [frame] { return frame()->matrix().picture_at(1, home_row)->toolTip(); };
    const shown_text texts[] = {
        {320, "保存", button_text(0)},
        {321, "将当前层配置保存到键盘内", button_hint(0)},
        {322, "另存为", button_text(1)},
        {323, "将当前层配置保存为一个文件，便于将来恢复或者共享给朋友", button_hint(1)},
        {324, "加载文件", button_text(2)},
        {325, "打开一个层配置文件，并加载到当前层，您可以保存到键盘内，或者编辑", button_hint(2)},
        {326, "清空本层", button_text(3)},
        {327, "这将清空本层的所有配置，所有当前层的数据都会丢失", button_hint(3)},
        {703, "层未激活，鼠标左键点击激活", [strip] { return strip()->tile(1)->toolTip(); }},
        {704, "层已激活", [strip] { return strip()->tile(0)->toolTip(); }},
        {800, "按键弹起：", key_hint},
        {801, "按键按下：", key_hint},
        {802, "开启 ", [ctl] { return static_cast<QPushButton*>(ctl("cb_k_0"))->text(); }},
        {803, "关闭 ", [ctl] { return static_cast<QPushButton*>(ctl("Action1"))->text(); }},
        {804, "| Fn键的ID = ", [ctl] { return static_cast<QPushButton*>(ctl("Action1"))->text(); }},
        {805, "当前配置的FN键对应的按键ID", hint("Panel4")},
        {806, "单击选择一个功能，右键单击清除配置", hint("Panel1")},
        {809, "鼠标右键单击清除设置", hint("Panel7")},
        {810, "当前配置的按键ID", hint("Panel12")},
        {811, "选择触发次数，选择0将永远不会触发", hint("nhit_key_edit_count_select")},
        {812, "超时时间，可在1-32767之间设置，单位是毫秒（1秒=1000毫秒）", hint("Edit1")},
        {820, "FN键编辑器", tab(0)},
        {821, "组合键编辑器", tab(1)},
        {822, "连击键编辑器", tab(2)},
        {823, "二合一键编辑器", tab(3)},
        {824, "按下保持键编辑器", tab(4)},
        {830, "是否开启本FN键的触发：只有开启了触发功能，配置的功能才会生效。", label("Label1")},
        {836, "点击切换开关状态(ON=开启，OFF=关闭)", hint("ToggleSwitch5")},
        {842, "本组内配合触发的4个按键ID：", label("Label9")},
        {855, "当键盘检测到连击次数与本组的设置次数匹配时，触发一个功能，这个功能可单击以下选择框选择，鼠标右键单击清除：", label("Label16")},
        {863, "判断为短按的时间（毫秒）：", label("Label21")},
        {876, "按下触发后，如果按键被弹起，则触发弹起事件，这个功能可单击以下选择框选择，鼠标右键单击清除：", label("Label31")},
        {876, "按下触发后，如果按键被弹起，则触发弹起事件，这个功能可单击以下选择框选择，鼠标右键单击清除：", hint("Label31")},
    };
    std::vector<text_default> ids;
    for (const shown_text& t : texts) ids.push_back({t.id, t.def});
    ids.push_back({813, "x"});
    ids.push_back({342, "x"});
    ids.push_back({344, "x"});
    folder_.write("Language/A.ini", "[Language]\r\n");
    folder_.write("Language/B.ini", marking_language(ids));
    Tmain_form& w = open_board();
    open_layer(w, 0);
    w.records().tlayers[0][tlayer::off_combos] = 1; // combination 0 on
    frame_of(w)->refresh();
    for (const shown_text& t : texts) EXPECT_TRUE(t.where().contains(QString::fromUtf8(t.def))) << t.id;
    w.language_combo()->setCurrentIndex(1);
    for (const shown_text& t : texts)
        EXPECT_TRUE(t.where().contains(QString::fromStdString(marker(t.id)))) << t.id << " " << t.where().toStdString();

    // Messages: a wrong time, a file of the wrong size or kind.
    choose(w, page::tio, "tio_0");
    enter_time(control<QLineEdit>(w, "Edit1"), QStringLiteral("0"));
    dialogs_.file_to_open = QString::fromStdString(folder_.write("a.Tl_Cfg", "short"));
    QTest::mouseClick(page_of(w)->strip()->button(layer_strip::btn_load), Qt::LeftButton);
    dialogs_.file_to_open = QString::fromStdString(folder_.write("b.Tl_Cfg", std::string(1524, '\x01')));
    QTest::mouseClick(page_of(w)->strip()->button(layer_strip::btn_load), Qt::LeftButton);
    EXPECT_EQ(dialogs_.messages, (QStringList{QStringLiteral("{813}"), QStringLiteral("{342}"), QStringLiteral("{344}")}));
}

// ---------------------------------------------------------------- files and clearing

TEST_F(TlayerPage, LayerSavedAsAFileLoadsIntoAnotherLayer) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    choose(w, page::fn, "Action1");
    QTest::mouseClick(control<toggle_switch>(w, "ToggleSwitch1"), Qt::LeftButton);
    click_key(w, 6);
    const auto layer0 = w.records().tlayers[0];
    dialogs_.file_to_save = QString::fromStdString(folder_.file("layer.Tl_Cfg"));
    QTest::mouseClick(page_of(w)->strip()->button(layer_strip::btn_save_as), Qt::LeftButton);
    EXPECT_TRUE(dialogs_.messages.isEmpty());

    open_layer(w, 2);
    dialogs_.file_to_open = dialogs_.file_to_save;
    QTest::mouseClick(page_of(w)->strip()->button(layer_strip::btn_load), Qt::LeftButton);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    EXPECT_EQ(w.records().tlayers[2], layer0);
    EXPECT_EQ(item_text(w, "Action1"), QStringLiteral("0: 开启 | Fn键的ID = %1").arg(key_at(6)));
    EXPECT_EQ(frame_of(w)->current_item(page::fn), Ttl_edit_frame::no_item); // the editor starts afresh
    EXPECT_TRUE(kb_->messages_of(cmd::write_tlayer).empty());
}

TEST_F(TlayerPage, FilesThatCannotBeUsedAreReportedAndChangeNothing) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    const bytes payload(tlayer::record_size, 0x11);
    auto file_of = [](uint32_t magic, bytes body) {
        bytes f = {uint8_t(magic), uint8_t(magic >> 8), uint8_t(magic >> 16), uint8_t(magic >> 24)};
        f.insert(f.end(), body.begin(), body.end());
        return std::string(f.begin(), f.end());
    };
    std::string short_file = file_of(tlayer_file_format.magic, payload);
    short_file.pop_back();
    struct file_case {
        const char* name;
        std::string content; // empty: no such file
        QString message;
    };
    const file_case cases[] = {
        {"short.Tl_Cfg", short_file, QString::fromUtf8("文件大小错误！")},
        {"long.Tl_Cfg", file_of(tlayer_file_format.magic, payload) + std::string(1, '\0'), QString::fromUtf8("文件大小错误！")},
        {"function.Fl_Cfg", file_of(flayer_file_format.magic, bytes(1536, 0x11)), QString::fromUtf8("文件大小错误！")},
        {"foreign.Tl_Cfg", file_of(flayer_file_format.magic, payload), QString::fromUtf8("无法识别的配置文件！")},
        {"missing.Tl_Cfg", "", {}},
    };
    for (const file_case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.content.empty() ? folder_.file(c.name) : folder_.write(c.name, c.content);
        const auto before = w.records().tlayers[0];
        dialogs_.messages.clear();
        dialogs_.file_to_open = QString::fromStdString(path);
        QTest::mouseClick(page_of(w)->strip()->button(layer_strip::btn_load), Qt::LeftButton);
        const QString want = c.content.empty() ? QStringLiteral("file：") + dialogs_.file_to_open + QStringLiteral("open fail！") : c.message;
        EXPECT_EQ(dialogs_.messages, QStringList{want});
        EXPECT_EQ(w.records().tlayers[0], before);
    }
    // A file that cannot be made.
    dialogs_.messages.clear();
    dialogs_.file_to_save = QString::fromStdString(folder_.file("no/such/folder/x.Tl_Cfg"));
    QTest::mouseClick(page_of(w)->strip()->button(layer_strip::btn_save_as), Qt::LeftButton);
    EXPECT_EQ(dialogs_.messages, QStringList{QStringLiteral("file[") + dialogs_.file_to_save + QStringLiteral("]create fail!")});
}

TEST_F(TlayerPage, ClearAsksFirstAndLeavesOnlyEmptyCombinationKeysToSave) {
    Tmain_form& w = open_board();
    open_layer(w, 1);
    w.records().tlayers[1].fill(0x33);
    dialogs_.answer_yes = false;
    QTest::mouseClick(page_of(w)->strip()->button(layer_strip::btn_clear), Qt::LeftButton);
    EXPECT_EQ(dialogs_.last_caption, QString::fromUtf8("警告"));
    EXPECT_EQ(dialogs_.messages, QStringList{QString::fromUtf8("这会清空本层的所有配置，确定要这么做吗？")});
    EXPECT_EQ(w.records().tlayers[1][0], 0x33);
    dialogs_.answer_yes = true;
    QTest::mouseClick(page_of(w)->strip()->button(layer_strip::btn_clear), Qt::LeftButton);
    EXPECT_EQ(item_text(w, "cb_k_0"), QString::fromUtf8("0: 关闭 Key = X | X | X | X | "));
    QTest::mouseClick(page_of(w)->strip()->save_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return !kb_->messages_of(cmd::write_tlayer).empty() && !w.is_busy(); }));
    const bytes sent = kb_->messages_of(cmd::write_tlayer)[0].data;
    ASSERT_EQ(sent.size(), tlayer::record_size);
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](uint8_t b) { return b != 0; }), 128);
    for (size_t i : {113u, 114u, 115u, 116u, 118u, 271u}) EXPECT_EQ(sent[i], 0xFF) << i;
    EXPECT_EQ(sent[117], 0);
}

// ---------------------------------------------------------------- reads

using TlayerReads = window_test;

// Answers the read after connecting with the given layout and trigger layer
// (patterned records for the rest, every layer state byte 0).
void answer_read(manual_keyboard& kb, const bytes& layout, const bytes& tlayer_record = {}) {
    for (unsigned step = 0; step < initial_read_step_count; ++step) {
        packet::packet64 p;
        ASSERT_TRUE(kb.wait_request(step + 1, p));
        const uint8_t c = packet::command_of(p.data());
        bytes record = initial_read_record(c, p[packet::off_sub], bytes(10, 0));
        if (c == cmd::read_layout) record = layout;
        if (c == cmd::read_tlayer && !tlayer_record.empty()) record = tlayer_record;
        kb.reply_record(c, p[packet::off_sub], record);
    }
    // The battery request that ends the read.
    packet::packet64 p;
    ASSERT_TRUE(kb.wait_request(initial_read_step_count + 1, p));
    std::vector<uint8_t> battery(9, 0);
    battery[0] = 100;
    kb.reply_record(cmd::read_battery, 0, battery);
}

TEST_F(TlayerReads, UnreadLayerDrawsNothingAndOnlyItsOwnReplyIsKept) {
    auto kb = add_manual_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    answer_read(*kb, sim::default_layout());
    ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && frame_of(w) && !w.is_busy(); }));
    EXPECT_TRUE(frame_of(w)->matrix_drawn());
    EXPECT_TRUE(w.records().tlayer_loaded[0]);
    kb->clear_received();

    w.action("tl_5")->trigger();
    packet::packet64 p;
    ASSERT_TRUE(kb->wait_request(1, p));
    EXPECT_EQ(packet::command_of(p.data()), cmd::read_tlayer);
    EXPECT_EQ(p[packet::off_sub], 5);
    // Nothing of layer 0 stays to be edited under layer 5's name.
    EXPECT_FALSE(frame_of(w)->matrix_drawn());
    bool any_shown = false;
    frame_of(w)->matrix().for_each_picture([&](key_picture& k) { any_shown |= !k.isHidden(); });
    EXPECT_FALSE(any_shown);
    const auto layer0 = w.records().tlayers[0];
    QTest::mouseClick(control<QPushButton>(w, "cb_k_0"), Qt::LeftButton);
    EXPECT_EQ(frame_of(w)->current_item(page::combo), Ttl_edit_frame::no_item);

    // A reply for another layer is dropped; the busy state ends.
    kb->reply_record(cmd::read_tlayer, 2, patterned(tlayer::record_size, 0x90));
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    EXPECT_FALSE(w.records().tlayer_loaded[2]);
    EXPECT_FALSE(w.records().tlayer_loaded[5]);
    EXPECT_EQ(w.records().tlayers[0], layer0);
    EXPECT_FALSE(frame_of(w)->matrix_drawn());

    w.action("tl_5")->trigger();
    ASSERT_TRUE(kb->wait_request(2, p));
    kb->reply_record(cmd::read_tlayer, 5, patterned(tlayer::record_size, 0x91));
    ASSERT_TRUE(wait_until([&] { return !w.is_busy() && w.records().tlayer_loaded[5]; }));
    EXPECT_TRUE(frame_of(w)->matrix_drawn());
}

// A keyboard that sends a trigger layer with every key, count, time and
// position out of range, and keys placed beyond the matrix and the drawing:
// every item can be shown and edited without reading outside the layer
// (the sanitizers watch), and nothing lands outside its bytes.
TEST_F(TlayerReads, LayerAndLayoutOutOfEveryRangeAreDrawnAndEditedSafely) {
    bytes layout(record_size::kb_layout, 0);
    layout[layout::off_present] = 1;
    layout[layout::off_columns] = 26;
    layout[layout::off_rows] = 8;
    for (unsigned c = 0; c < 26; ++c) {
        for (unsigned r = 0; r < 8; ++r) {
            layout::key_entry e;
            e.kind = (c + r) % 3 == 0 ? layout::entry_flayer_only : layout::entry_key;
            e.x = uint16_t(c * 40);
            e.y = uint16_t(r * 40);
            e.width = c == 25 ? 65535 : 38;
            e.height = 38;
            e.key_id = uint8_t(180 + c * 3 + r); // many beyond the 192 slots
            layout::write_key_entry(layout.data(), c, r, e);
        }
    }
    bytes hostile(tlayer::record_size, 0xFF);
    for (size_t i = 0; i < hostile.size(); i += 3) hostile[i] = uint8_t(0xC0 + i % 64);
    auto kb = add_manual_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    answer_read(*kb, layout, hostile);
    ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && frame_of(w) && !w.is_busy(); }));
    w.action("tl_0")->trigger();
    Ttl_edit_frame& f = *frame_of(w);
    ASSERT_TRUE(f.matrix_drawn());
    EXPECT_EQ(f.matrix().picture_at(25, 0), nullptr); // beyond what a drawing holds
    EXPECT_EQ(f.matrix().picture_at(0, 0), nullptr);  // drawn by the function-layer editor only
    ASSERT_NE(f.matrix().picture_at(1, 0), nullptr);

    const char* const toggles[] = {"ToggleSwitch1", "ToggleSwitch2", "ToggleSwitch3", "ToggleSwitch4", "ToggleSwitch5"};
    const char* const boxes[][3] = {{"Panel1", "Panel2", "Panel3"}, {"Panel9", "Panel10", nullptr},
                                    {"Panel13", nullptr, nullptr}, {"Panel14", "Panel15", "Panel16"},
                                    {"Panel18", "Panel19", nullptr}};
    for (unsigned pg = 0; pg < tlayer::page_count; ++pg) {
        const page kind = page(pg);
        f.tabs()->setCurrentIndex(int(pg));
        for (unsigned n = 0; n < tlayer::item_count(kind); ++n) {
            f.show_item(kind, n);
            if (!tlayer::enabled(w.records().tlayers[0].data(), kind, n))
                QTest::mouseClick(control<toggle_switch>(w, toggles[pg]), Qt::LeftButton);
            for (unsigned c : {1u, 3u, 7u, 24u}) click_key(w, c, 1);
            for (const char* b : boxes[pg])
                if (b) QTest::mouseClick(control<click_panel>(w, b), Qt::RightButton);
            if (kind == page::combo)
                for (const char* pos : {"Panel5", "Panel6", "Panel7", "Panel8"})
                    QTest::mouseClick(control<click_panel>(w, pos), Qt::RightButton);
            if (kind == page::nhit) choose_item(control<QComboBox>(w, "nhit_key_edit_count_select"), 64);
            if (kind == page::hdk) choose_item(control<QComboBox>(w, "hdk_select_trig_cnt"), 64);
            if (kind == page::tio) enter_time(control<QLineEdit>(w, "Edit1"), QStringLiteral("32767"));
        }
    }
    // Every count is in range now, every time is 32767, the combinations
    // emptied and the last matrix key given to every other item.
    const uint8_t* l = w.records().tlayers[0].data();
    const unsigned last_key = f.matrix().picture_at(24, 1)->key_id();
    for (unsigned n = 0; n < 32; ++n) {
        EXPECT_EQ(tlayer::count(l, page::nhit, n), 64u);
        EXPECT_EQ(tlayer::time_ms(l, n), 32767u);
        EXPECT_EQ(tlayer::key_id(l, page::hdk, n), last_key);
        for (unsigned pos = 0; pos < 4; ++pos) EXPECT_EQ(tlayer::combo_key(l, n, pos), tlayer::no_key);
    }
    f.refresh();
    EXPECT_TRUE(f.matrix_drawn());
}

} // namespace
} // namespace qvk::testing
