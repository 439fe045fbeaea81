// The macro editor page of the real main window, offscreen, against the
// virtual keyboard: reading, editing through the picker and the text
// dialog, saving, the list menu on selected rows, .macro files, replies for
// other groups, and the page's texts.

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

#include "functions/func_description.h"
#include "functions/func_sel.h"
#include "link/link_kind.h"
#include "macros/macro_page.h"
#include "macros/macro_step_model.h"
#include "macros/macro_str_edit.h"
#include "marked_texts.h"
#include "modal_answer.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

using bytes = std::vector<uint8_t>;
using steps = std::vector<func_code>;

bytes group_bytes(const steps& s) {
    bytes b(record_size::macro_group, 0);
    for (size_t i = 0; i < s.size() && i < 512; ++i) std::copy(s[i].begin(), s[i].end(), b.begin() + long(4 * i));
    return b;
}

constexpr func_code key(uint8_t usage) { return {fk_key, usage, 0, 0}; }
constexpr func_code shift_down{fk_key_edge, 0xE1, 1, 0};
constexpr func_code shift_up{fk_key_edge, 0xE1, 0, 0};

// `count` different key steps from step 0 on, the rest empty.
steps keys_from_a(size_t count) {
    steps s;
    for (size_t i = 0; i < count; ++i) s.push_back(key(uint8_t(0x04 + i)));
    return s;
}

steps full_steps() {
    steps s;
    for (size_t i = 0; i < 512; ++i) s.push_back({fk_delay, uint8_t(i), uint8_t(i >> 8), 0});
    return s;
}

macro_page* page_of(Tmain_form& w) { return dynamic_cast<macro_page*>(w.page(c_macro_edit)); }

class MacroPage : public window_test {
protected:
    Tmain_form& open_board() {
        kb_ = add_keyboard(kind_usb);
        Tmain_form& w = open_window();
        detect_and_probe();
        EXPECT_FALSE(w.connect_device(0));
        EXPECT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy(); }));
        return w;
    }
    // Opens the page and shows group g.
    Tmacro_edit_frame& open_page(Tmain_form& w, unsigned g) {
        w.action(QStringLiteral("macro_edit"))->trigger();
        EXPECT_EQ(w.current_card(), c_macro_edit);
        macro_page* p = page_of(w);
        EXPECT_NE(p, nullptr);
        p->frame()->group_select()->setCurrentIndex(int(g));
        return *p->frame();
    }
    void read(Tmain_form& w, Tmacro_edit_frame& f, unsigned g) {
        QTest::mouseClick(f.read_button(), Qt::LeftButton);
        ASSERT_TRUE(wait_until([&] { return w.records().macro_loaded[g] && !w.is_busy(); }));
    }
    static void select_rows(Tmacro_edit_frame& f, std::initializer_list<int> rows) {
        f.step_list()->clearSelection();
        for (int r : rows)
            f.step_list()->selectionModel()->select(f.steps()->index(r, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static QString action_text(Tmacro_edit_frame& f, int row) {
        return f.steps()->data(f.steps()->index(row, macro_step_model::col_action), Qt::DisplayRole).toString();
    }

    std::shared_ptr<sim::virtual_keyboard> kb_;
};

// A real double click: a press and a release, then the double-click event
// and its release.
void double_click_row(Tmacro_edit_frame& f, int row) {
    const QRect r = f.step_list()->visualRect(f.steps()->index(row, macro_step_model::col_action));
    QTest::mouseClick(f.step_list()->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    QTest::mouseDClick(f.step_list()->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
}

std::function<void(Tfunc_sel&)> click_in_picker(func_sel_page page, const char* button,
                                                std::function<void(Tfunc_sel&)> before = {}) {
    return [=](Tfunc_sel& p) {
        p.pages()->setCurrentIndex(page);
        QCoreApplication::processEvents();
        if (before) before(p);
        auto* b = p.findChild<QAbstractButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    };
}

std::function<void(Tmacro_str_edit&)> type_text(const QString& text) {
    return [=](Tmacro_str_edit& d) {
        d.editer()->setPlainText(text);
        QTest::mouseClick(d.ok_button(), Qt::LeftButton);
    };
}

// ---------------------------------------------------------------- end to end

TEST_F(MacroPage, GroupReadEditedThroughPickerAndTextIsSavedIntoTheKeyboard) {
    Tmain_form& w = open_board();
    std::vector<bytes> before(record_size::macro_group_count);
    for (unsigned g = 0; g < record_size::macro_group_count; ++g) {
        // Every group different, so that a write to the wrong one shows.
        bytes b = group_bytes(keys_from_a(g % 20));
        if (g == 7) b = group_bytes(keys_from_a(20));
        ASSERT_TRUE(kb_->set_record(cmd::read_macro, g, b));
        before[g] = b;
    }
    kb_->clear_messages();

    Tmacro_edit_frame& f = open_page(w, 7);
    EXPECT_EQ(w.current_page_label(), QString::fromUtf8("宏编辑器"));
    EXPECT_TRUE(kb_->messages().empty()); // nothing is read by opening
    EXPECT_EQ(action_text(f, 0), QString());
    read(w, f, 7);
    const auto reads = kb_->messages_of(cmd::read_macro);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].sub, 7u);
    EXPECT_TRUE(same_bytes(w.records().macros[7], before[7]));
    EXPECT_EQ(action_text(f, 0).toStdString(), func_code_to_desc_str(w.texts(), key(0x04), true));
    EXPECT_EQ(action_text(f, 20), QString());

    // Step 2 becomes Space through the key page, step 5 a delay of 1000 ms.
    {
        modal_answer<Tfunc_sel> answer(click_in_picker(page_keys, "key_2c"));
        double_click_row(f, 2);
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    {
        modal_answer<Tfunc_sel> answer(click_in_picker(page_macros, "btn_delay", [](Tfunc_sel& p) {
            ASSERT_TRUE(p.macro_mode());
            p.findChild<QLineEdit*>(QStringLiteral("edit_delay"))->setText(QStringLiteral("1000"));
        }));
        double_click_row(f, 5);
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    EXPECT_EQ(action_text(f, 5).toStdString(), func_code_to_desc_str(w.texts(), {fk_delay, 0xE8, 3, 0}, true));

    // "Hello World!" typed in at step 10.
    select_rows(f, {10});
    {
        modal_answer<Tmacro_str_edit> answer(type_text(QStringLiteral("Hello World!")));
        f.insert_text_action()->trigger();
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    EXPECT_TRUE(dialogs_.messages.isEmpty()) << dialogs_.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(kb_->messages_of(cmd::write_macro).size(), 0u); // nothing leaves before Save

    steps want = keys_from_a(10);
    want[2] = key(0x2C);
    want[5] = {fk_delay, 0xE8, 0x03, 0};
    const steps hello = {shift_down, key(0x0B), shift_up,  key(0x08),  key(0x0F), key(0x0F),
                         key(0x12),  key(0x2C), shift_down, key(0x1A), shift_up,  key(0x12),
                         key(0x15),  key(0x0F), key(0x07),  shift_down, key(0x1E), shift_up};
    want.insert(want.end(), hello.begin(), hello.end());
    const steps rest = keys_from_a(20);
    want.insert(want.end(), rest.begin() + 10, rest.end());
    const bytes edited = group_bytes(want);
    EXPECT_TRUE(same_bytes(w.records().macros[7], edited));

    QTest::mouseClick(f.save_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return kb_->record(cmd::read_macro, 7) == edited && !w.is_busy(); }));
    const auto writes = kb_->messages_of(cmd::write_macro);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].sub, 7u);
    EXPECT_EQ(writes[0].data, edited);
    for (unsigned g = 0; g < record_size::macro_group_count; ++g) {
        if (g == 7) continue;
        EXPECT_EQ(kb_->record(cmd::read_macro, g), before[g]) << "group " << g;
    }
    EXPECT_EQ(kb_->messages_of(cmd::read_macro).size(), 1u);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

// ---------------------------------------------------------------- replies

TEST_F(MacroPage, ReplyForAnotherGroupUpdatesMemoryOnlyAndGroupsBeyond99AreDropped) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    Tmacro_edit_frame& f = open_page(w, 3);
    const bytes seven = group_bytes(keys_from_a(3));
    kb->reply_record(cmd::read_macro, 7, seven);
    ASSERT_TRUE(wait_until([&] { return w.records().macro_loaded[7]; }));
    EXPECT_TRUE(same_bytes(w.records().macros[7], seven));
    EXPECT_FALSE(w.records().macro_loaded[3]);
    EXPECT_EQ(action_text(f, 0), QString());

    // Group 100 names no group: nothing is stored anywhere.
    const auto all_before = w.records().macros;
    kb->reply_record(cmd::read_macro, 100, group_bytes(full_steps()));
    kb->reply_record(cmd::read_macro, 3, seven); // a marker that the one before was handled
    ASSERT_TRUE(wait_until([&] { return w.records().macro_loaded[3]; }));
    for (unsigned g = 0; g < record_size::macro_group_count; ++g) {
        if (g == 3) continue;
        EXPECT_EQ(w.records().macros[g], all_before[g]) << g;
    }
    EXPECT_EQ(action_text(f, 0).toStdString(), func_code_to_desc_str(w.texts(), key(0x04), true));

    // The selector shows what memory holds, empty rows for a group never read.
    f.group_select()->setCurrentIndex(7);
    EXPECT_EQ(action_text(f, 2).toStdString(), func_code_to_desc_str(w.texts(), key(0x06), true));
    f.group_select()->setCurrentIndex(8);
    EXPECT_EQ(action_text(f, 0), QString());
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

// ---------------------------------------------------------------- list menu

TEST_F(MacroPage, MenuItemsWorkOnTheSelectedRowsOfTheShownGroup) {
    Tmain_form& w = open_board();
    Tmacro_edit_frame& f = open_page(w, 4);
    QStringList order;
    for (const QAction* a : f.step_menu()->actions()) order << a->objectName();
    EXPECT_EQ(order, (QStringList{"N1", "N3", "N2", "N4"}));
    EXPECT_EQ(f.step_list()->contextMenuPolicy(), Qt::CustomContextMenu);
    struct menu_case {
        const char* what;
        bool full;
        std::initializer_list<int> rows;
        int item; // 1 N1, 3 N3, 2 N2
        bool answer_yes;
        bool asked;
        std::function<steps(steps)> want;
    };
    auto erase = [](steps s, std::initializer_list<int> rows) {
        for (auto it = std::rbegin(rows); it != std::rend(rows); ++it) {
            s.erase(s.begin() + *it);
            s.push_back({});
        }
        return s;
    };
    auto insert_at = [](steps s, int row) {
        s.insert(s.begin() + row, func_code{});
        s.pop_back();
        return s;
    };
    const menu_case cases[] = {
        {"blank rows 0, 5 and 511", true, {0, 5, 511}, 1, true, false,
         [](steps s) {
             for (int r : {0, 5, 511}) s[size_t(r)][0] = 0;
             return s;
         }},
        {"delete rows 5 and 10", true, {5, 10}, 3, true, false, [&](steps s) { return erase(s, {5, 10}); }},
        {"delete the first and the last row", true, {0, 511}, 3, true, false,
         [&](steps s) { return erase(s, {0, 511}); }},
        {"delete on an empty group", false, {0, 255, 511}, 3, true, false, [](steps s) { return s; }},
        {"insert at row 0 of a full group, answered yes", true, {0}, 2, true, true,
         [&](steps s) { return insert_at(s, 0); }},
        {"insert at row 0 of a full group, answered no", true, {0}, 2, false, true, [](steps s) { return s; }},
        {"insert with rows 300 and 20 chosen goes to row 20", true, {300, 20}, 2, true, true,
         [&](steps s) { return insert_at(s, 20); }},
        {"insert at the last row of a full group", true, {511}, 2, true, true,
         [&](steps s) { return insert_at(s, 511); }},
        {"insert at a middle row of an empty group", false, {255}, 2, false, false,
         [&](steps s) { return insert_at(s, 255); }},
        {"insert with nothing selected", true, {}, 2, true, false, [](steps s) { return s; }},
    };
    for (const menu_case& c : cases) {
        SCOPED_TRACE(c.what);
        const steps start = c.full ? full_steps() : steps(512, func_code{});
        const bytes b = group_bytes(start);
        std::copy(b.begin(), b.end(), w.records().macros[4].begin());
        // Group 5 beside it must never change.
        w.records().macros[5].fill(0xEE);
        select_rows(f, c.rows);
        dialogs_.messages.clear();
        dialogs_.answer_yes = c.answer_yes;
        QAction* item = c.item == 1 ? f.blank_action() : c.item == 3 ? f.delete_action() : f.insert_action();
        item->trigger();
        EXPECT_TRUE(same_bytes(w.records().macros[4], group_bytes(c.want(start))));
        EXPECT_EQ(dialogs_.messages.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(dialogs_.last_caption, QString::fromUtf8("警告"));
            EXPECT_TRUE(dialogs_.messages.value(0).contains(QLatin1String("1")));
        }
        EXPECT_TRUE(std::all_of(w.records().macros[5].begin(), w.records().macros[5].end(),
                                [](uint8_t v) { return v == 0xEE; }));
        // The list shows the group as it now is.
        for (int r : {0, 5, 20, 511})
            EXPECT_EQ(action_text(f, r).toStdString(),
                      func_code_to_desc_str(w.texts(), macro::step_code(w.records().macros[4], size_t(r)), true))
                << "row " << r;
    }
    EXPECT_TRUE(kb_->messages_of(cmd::write_macro).empty());
}

TEST_F(MacroPage, TextPushingStepsOffAsksFirstAndCancelOrRefusalInsertsNothing) {
    Tmain_form& w = open_board();
    Tmacro_edit_frame& f = open_page(w, 0);
    const bytes full = group_bytes(full_steps());
    std::copy(full.begin(), full.end(), w.records().macros[0].begin());
    select_rows(f, {500});

    // Refused twice (a character no key types, then too long), then
    // cancelled: the dialog stays open after a refusal with the text kept.
    {
        modal_answer<Tmacro_str_edit> answer([&](Tmacro_str_edit& d) {
            EXPECT_TRUE(d.counter_label()->text().contains(QLatin1String("12")));
            d.editer()->setPlainText(QString::fromUtf8("ab\u00e9"));
            QTest::mouseClick(d.ok_button(), Qt::LeftButton);
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.editer()->toPlainText(), QString::fromUtf8("ab\u00e9"));
            d.editer()->setPlainText(QStringLiteral("thirteen char"));
            QTest::mouseClick(d.ok_button(), Qt::LeftButton);
            EXPECT_TRUE(d.isVisible());
            QTest::mouseClick(d.cancel_button(), Qt::LeftButton);
        });
        f.insert_text_action()->trigger();
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    ASSERT_EQ(dialogs_.messages.size(), 2);
    EXPECT_TRUE(dialogs_.messages[0].startsWith(QString::fromUtf8("输入的字符含有无法转换的字符")));
    EXPECT_EQ(dialogs_.messages[1], QString::fromUtf8("输入字符过多，请保证输入字符数量在限定的范围内。"));
    EXPECT_TRUE(same_bytes(w.records().macros[0], full));

    // Twelve steps fit exactly but push twelve steps off: asked, answered no.
    dialogs_.messages.clear();
    dialogs_.answer_yes = false;
    {
        modal_answer<Tmacro_str_edit> answer(type_text(QStringLiteral("hello world1")));
        f.insert_text_action()->trigger();
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    ASSERT_EQ(dialogs_.messages.size(), 1);
    EXPECT_TRUE(dialogs_.messages[0].contains(QLatin1String("12")));
    EXPECT_TRUE(same_bytes(w.records().macros[0], full));

    // Answered yes: the steps go in, the last twelve are gone.
    dialogs_.answer_yes = true;
    {
        modal_answer<Tmacro_str_edit> answer(type_text(QStringLiteral("hello world1")));
        f.insert_text_action()->trigger();
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    steps want = full_steps();
    const steps typed = {key(0x0B), key(0x08), key(0x0F), key(0x0F), key(0x12), key(0x2C),
                         key(0x1A), key(0x12), key(0x15), key(0x0F), key(0x07), key(0x1E)};
    std::copy(typed.begin(), typed.end(), want.begin() + 500);
    EXPECT_TRUE(same_bytes(w.records().macros[0], group_bytes(want)));

    // An empty text inserts nothing and asks nothing.
    dialogs_.messages.clear();
    {
        modal_answer<Tmacro_str_edit> answer(type_text(QString()));
        f.insert_text_action()->trigger();
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    EXPECT_TRUE(same_bytes(w.records().macros[0], group_bytes(want)));
}

TEST_F(MacroPage, PickerClosedWithoutAChoiceAndAPageGoneUnderItsDialogsWriteNothing) {
    Tmain_form& w = open_board();
    Tmacro_edit_frame& f = open_page(w, 2);
    const bytes start = group_bytes(keys_from_a(4));
    std::copy(start.begin(), start.end(), w.records().macros[2].begin());
    {
        modal_answer<Tfunc_sel> answer([](Tfunc_sel& p) { p.reject(); });
        double_click_row(f, 1);
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    EXPECT_TRUE(same_bytes(w.records().macros[2], start));

    // The connection ends while the picker is open; its choice then goes
    // nowhere.
    {
        modal_answer<Tfunc_sel> answer([&](Tfunc_sel& p) {
            w.disconnect_device();
            w.teardown_pages();
            click_in_picker(page_keys, "key_2c")(p);
        });
        double_click_row(f, 1);
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    }
    EXPECT_EQ(page_of(w), nullptr);
    EXPECT_TRUE(same_bytes(w.records().macros[2], start));
}

// ---------------------------------------------------------------- files

TEST_F(MacroPage, GroupSavedToAFileLoadsIntoAnotherAndBadFilesChangeNothing) {
    Tmain_form& w = open_board();
    Tmacro_edit_frame& f = open_page(w, 1);
    const bytes one = group_bytes(keys_from_a(6));
    std::copy(one.begin(), one.end(), w.records().macros[1].begin());
    dialogs_.file_to_save = QString::fromStdString(folder_.file("one.macro"));
    QTest::mouseClick(f.save_file_button(), Qt::LeftButton);
    bytes file = {0x54, 0x27, 0x69, 0x23};
    file.insert(file.end(), one.begin(), one.end());
    const std::string on_disk = folder_.read("one.macro");
    EXPECT_EQ(bytes(on_disk.begin(), on_disk.end()), file);

    f.group_select()->setCurrentIndex(9);
    const bytes nine = group_bytes(full_steps());
    std::copy(nine.begin(), nine.end(), w.records().macros[9].begin());
    struct bad_file {
        std::string content; // empty: no file at all
        QString message;
    };
    std::string layer_magic = std::string("\x52\x27\x69\x23", 4) + std::string(2048, '\x02');
    const bad_file bad[] = {
        {std::string(2051, '\x01'), QString::fromUtf8("文件大小错误！")},
        {layer_magic, QString::fromUtf8("无法识别的硬件配置文件！")},
        {{}, QString::fromUtf8("file：%1open fail！")},
    };
    int n = 0;
    for (const bad_file& b : bad) {
        const std::string path =
            b.content.empty() ? folder_.file("missing.macro") : folder_.write("bad" + std::to_string(n++), b.content);
        dialogs_.messages.clear();
        dialogs_.file_to_open = QString::fromStdString(path);
        QTest::mouseClick(f.load_file_button(), Qt::LeftButton);
        ASSERT_EQ(dialogs_.messages.size(), 1);
        EXPECT_EQ(dialogs_.messages[0], b.message.contains(QLatin1String("%1")) ? b.message.arg(dialogs_.file_to_open)
                                                                                 : b.message);
        EXPECT_TRUE(same_bytes(w.records().macros[9], nine));
    }

    dialogs_.messages.clear();
    dialogs_.file_to_open = QString::fromStdString(folder_.file("one.macro"));
    QTest::mouseClick(f.load_file_button(), Qt::LeftButton);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    EXPECT_TRUE(same_bytes(w.records().macros[9], one));
    EXPECT_EQ(action_text(f, 5).toStdString(), func_code_to_desc_str(w.texts(), key(0x09), true));
    EXPECT_EQ(action_text(f, 6), QString());
    EXPECT_TRUE(kb_->messages_of(cmd::write_macro).empty());
}

// ---------------------------------------------------------------- texts

TEST_F(MacroPage, EveryTextOfThePageHasItsIdAndBuiltInDefault) {
    static const text_default page_texts[] = {
        {1603, "当前编辑的组："},
        {1603, "当前编辑的组："},
        {1604, "从键盘读取"},
        {1605, "保存到键盘"},
        {1606, "另存为文件"},
        {1607, "从文件加载"},
        {1608, "删除所选，并保持空白"},
        {1609, "删除所选，其后的前移填补空白"},
        {1610, "插入一步宏"},
        {1611, "在当前位置插入要模拟输出的字符串"},
        {1600, "文件大小错误！"},
        {1602, "无法识别的硬件配置文件！"},
        {1612, "警告"},
        {1613, "插入后，本组末尾的%u个非空步将被挤出本组并丢失。确定要插入吗？"},
        {1653, "注意：只能输入a-z,A-Z,0-9的字符，输入其他的字符将无法转换。"},
        {1652, "最多可输入%u个字符，包括回车。当前已输入%u个字符，还可以再输入%d个。"},
        {1650, "输入的字符含有无法转换的字符，请清理后再继续。字符仅允许a-z,A-Z,0-9，不可包含其他字符。"},
        {1651, "输入字符过多，请保证输入字符数量在限定的范围内。"},
    };
    folder_.write("Language/A.ini", "[Language]\r\n");
    folder_.write("Language/B.ini", marking_language(page_texts));
    const std::string short_file = folder_.write("short.macro", std::string(2051, '\x01'));
    const std::string foreign_file = folder_.write("foreign.macro", std::string(2052, '\x01'));
    Tmain_form& w = open_board();
    Tmacro_edit_frame& f = open_page(w, 0);
    const bytes full = group_bytes(full_steps());
    std::copy(full.begin(), full.end(), w.records().macros[0].begin());
    dialogs_.answer_yes = false;

    auto shown = [&] {
        std::vector<std::string> t;
        t.push_back(f.group_label()->text().toStdString());
        t.push_back(f.group_label()->toolTip().toStdString());
        for (QPushButton* b : {f.read_button(), f.save_button(), f.save_file_button(), f.load_file_button()})
            t.push_back(b->text().toStdString());
        for (QAction* a : {f.blank_action(), f.delete_action(), f.insert_action(), f.insert_text_action()})
            t.push_back(a->text().toStdString());
        for (const std::string& file : {short_file, foreign_file}) {
            dialogs_.messages.clear();
            dialogs_.file_to_open = QString::fromStdString(file);
            QTest::mouseClick(f.load_file_button(), Qt::LeftButton);
            t.push_back(dialogs_.messages.value(0).toStdString());
        }
        select_rows(f, {0});
        dialogs_.messages.clear();
        f.insert_action()->trigger();
        t.push_back(dialogs_.last_caption.toStdString());
        t.push_back(dialogs_.messages.value(0).toStdString());
        dialogs_.messages.clear();
        modal_answer<Tmacro_str_edit> answer([&](Tmacro_str_edit& d) {
            t.push_back(d.note_label()->text().toStdString());
            t.push_back(d.counter_label()->text().toStdString());
            d.editer()->setPlainText(QString::fromUtf8("\u00e9"));
            QTest::mouseClick(d.ok_button(), Qt::LeftButton);
            d.editer()->setPlainText(QString(600, QLatin1Char('a')));
            QTest::mouseClick(d.ok_button(), Qt::LeftButton);
            t.push_back(dialogs_.messages.value(0).toStdString());
            t.push_back(dialogs_.messages.value(1).toStdString());
            d.reject();
        });
        f.insert_text_action()->trigger();
        EXPECT_TRUE(wait_until([&] { return answer.done(); }));
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
        // Templates are shown filled in; their first characters are fixed.
        const std::string def = t.def;
        const size_t fixed = std::min(def.find('%'), def.size());
        EXPECT_EQ(built_in[i].substr(0, fixed), def.substr(0, fixed));
        EXPECT_EQ(marked[i].substr(0, marker(t.id).size()), marker(t.id));
    }
    EXPECT_TRUE(same_bytes(w.records().macros[0], full));
}

} // namespace
} // namespace qvk::testing
