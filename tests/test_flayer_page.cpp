// The function-layer page of the real main window, offscreen: opening a
// layer, the tiles of the strip, Save and its one-second pause, layer files,
// the keyboard drawing and its key clicks answered through the real picker,
// and what a lost or new connection does to the page.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <map>

#include "app/link_event.h"
#include "functions/func_code.h"
#include "functions/func_description.h"
#include "functions/func_sel.h"
#include "functions/key_code_convert.h"
#include "layers/flayer_mgr.h"
#include "layers/kb_layout.h"
#include "layers/layer_state.h"
#include "link/link_kind.h"
#include "marked_texts.h"
#include "sim/default_records.h"
#include "picker_answer.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

using bytes = std::vector<uint8_t>;

// Row 3 of the virtual keyboard's board: CapsLock, A, S, D, F, G, H...; in
// layer 0 every key types its own usage on press and release.
constexpr unsigned home_row = 3;
constexpr unsigned col_a = 1;
unsigned key_id(unsigned column, unsigned row) { return sim::board_key_id(column, row); }

bytes slot_bytes(Tmain_form& w, unsigned layer, unsigned id) {
    const auto& l = w.records().flayers[layer];
    return bytes(l.begin() + long(flayer::slot_size * id), l.begin() + long(flayer::slot_size * (id + 1)));
}

bytes first10(const std::vector<uint8_t>& data) {
    return bytes(data.begin(), data.begin() + long(std::min<size_t>(data.size(), record_size::layer_state)));
}

// Clicks the upper (release) or lower (press) half of a key picture.
void click_key(QWidget* key, Qt::MouseButton button, bool lower) {
    QTest::mouseClick(key, button, Qt::NoModifier,
                      QPoint(key->width() / 2, lower ? key->height() * 3 / 4 : key->height() / 4));
}

// Picks a combo item with the keyboard, as a user does, so that the combo
// reports the choice.
void choose_item(QComboBox* combo, int item) {
    combo->setCurrentIndex(item == 0 ? 1 : item - 1);
    QTest::keyClick(combo, item == 0 ? Qt::Key_Up : Qt::Key_Down);
    ASSERT_EQ(combo->currentIndex(), item);
}

// The shared answer to the next picker the window opens.
using picker_answer = next_picker;

// A picker answer: choose a list item (if given), then click a button of a page.
std::function<void(Tfunc_sel&)> click_in_picker(func_sel_page page, const char* button, const char* list = nullptr,
                                                 int item = 0) {
    return [=](Tfunc_sel& p) {
        p.pages()->setCurrentIndex(page);
        QCoreApplication::processEvents();
        if (list) {
            auto* c = p.findChild<QComboBox*>(QString::fromLatin1(list));
            ASSERT_NE(c, nullptr) << list;
            c->setCurrentIndex(item);
        }
        auto* b = p.findChild<QAbstractButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    };
}

void close_picker(Tfunc_sel& p) { p.reject(); }

// Every key picture of the drawing, by matrix position.
std::map<std::pair<unsigned, unsigned>, key_picture*> pictures(const fl_edit_class& e) {
    std::map<std::pair<unsigned, unsigned>, key_picture*> out;
    for (unsigned c = 0; c < layout::max_columns; ++c)
        for (unsigned r = 0; r < layout::max_rows; ++r)
            if (key_picture* k = e.picture_at(c, r)) out[{c, r}] = k;
    return out;
}

// The key pictures on the page's canvas, whoever made them.
std::vector<key_picture*> pictures_on(Tmain_form& w) {
    std::vector<key_picture*> out;
    for (QWidget* c : w.page_panel(c_flayer_edit)->findChildren<QWidget*>())
        if (auto* k = dynamic_cast<key_picture*>(c)) out.push_back(k);
    return out;
}

// The share of a key picture's pixels that are of a kind of colour.
double share_of(const key_picture& k, const std::function<bool(QRgb)>& kind) {
    const QImage& img = k.image();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += kind(img.pixel(x, y) & 0xFFFFFF);
    return double(n) / double(std::max<qsizetype>(1, qsizetype(img.width()) * img.height()));
}

bool plain_fill(QRgb p) { return p == 0x6AB5FF; }

// Whether two drawings of a key differ above its middle row and from it down.
std::pair<bool, bool> halves_changed(const QImage& before, const QImage& after) {
    bool upper = false, lower = false;
    const int middle = after.height() / 2;
    for (int y = 0; y < std::min(before.height(), after.height()); ++y)
        for (int x = 0; x < std::min(before.width(), after.width()); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) (y < middle ? upper : lower) = true;
    return {upper, lower};
}

struct placed_key {
    unsigned column, row;
    uint8_t kind;
    uint16_t x, y, w, h;
    uint8_t id;
};

// A layout record declaring `columns` x `rows` with only the given entries.
bytes layout_with(unsigned columns, unsigned rows, std::initializer_list<placed_key> keys) {
    bytes r(record_size::kb_layout, 0);
    r[layout::off_present] = 1;
    r[layout::off_columns] = uint8_t(columns);
    r[layout::off_rows] = uint8_t(rows);
    for (const placed_key& k : keys) {
        layout::key_entry e;
        e.kind = k.kind;
        e.x = k.x;
        e.y = k.y;
        e.width = k.w;
        e.height = k.h;
        e.key_id = k.id;
        layout::write_key_entry(r.data(), k.column, k.row, e);
    }
    return r;
}

QString text_of(Tmain_form& w, uint32_t id, const char* def) { return w.lng(id, def); }

// A tile acts once its press event is over; the click runs that action too.
void click_tile(layer_tile* tile, Qt::MouseButton button) {
    QTest::mouseClick(tile, button);
    QCoreApplication::processEvents();
}

// The full virtual keyboard, connected and read, its layer drawn.
class FlayerPage : public window_test {
protected:
    Tmain_form& open_board(const bytes& layout = {}, const bytes& state = {}) {
        kb_ = add_keyboard(kind_usb);
        if (!layout.empty()) {
            EXPECT_TRUE(kb_->set_record(cmd::read_layout, 0, layout));
        }
        if (!state.empty()) {
            EXPECT_TRUE(kb_->set_record(cmd::read_layer_state, 0, state));
        }
        Tmain_form& w = open_window();
        detect_and_probe();
        EXPECT_FALSE(w.connect_device(0));
        wait_read(w);
        return w;
    }
    // Plugs the keyboard back in and connects it again.
    void plug_and_connect(Tmain_form& w) {
        kb_->plug();
        detect_and_probe();
        ASSERT_FALSE(w.connect_device(0));
        wait_read(w);
    }
    void wait_read(Tmain_form& w) {
        EXPECT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy() && flayer_editor(w); }));
    }
    // Opens function layer L and waits until it is there.
    void open_layer(Tmain_form& w, unsigned layer) {
        w.action(QStringLiteral("fl_%1").arg(layer))->trigger();
        ASSERT_EQ(w.current_card(), c_flayer_edit);
        ASSERT_TRUE(wait_until([&] { return w.records().flayer_loaded[layer] && !w.is_busy(); }));
    }
    void click_strip_button(Tmain_form& w, unsigned b) {
        QTest::mouseClick(flayer_strip(w)->button(b), Qt::LeftButton);
    }
    size_t sent(uint8_t command) const { return kb_->messages_of(command).size(); }

    std::shared_ptr<sim::virtual_keyboard> kb_;
};

// ---------------------------------------------------------------- end to end

TEST_F(FlayerPage, KeyEditedThroughThePickerIsSavedIntoTheKeyboardsLayer) {
    Tmain_form& w = open_board();
    kb_->clear_messages();
    w.action("fl_3")->trigger();
    EXPECT_EQ(w.current_card(), c_flayer_edit);
    EXPECT_EQ(w.current_page_label(), QString::fromUtf8("功能层3"));
    EXPECT_EQ(cur_flayer(w), 3u);
    ASSERT_TRUE(wait_until([&] { return w.records().flayer_loaded[3] && !w.is_busy(); }));
    const auto reads = kb_->messages_of(cmd::read_flayer);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].sub, 3u);
    const bytes before = kb_->record(cmd::read_flayer, 3);
    EXPECT_TRUE(same_bytes(w.records().flayers[3], before));
    EXPECT_EQ(flayer_editor(w)->shown_layer(), 3u);

    // The drawing lies on the canvas of the card's scroll area.
    auto* scroll = w.card(c_flayer_edit)->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->widget(), w.page_panel(c_flayer_edit));
    key_picture* a = flayer_editor(w)->picture_at(col_a, home_row);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->parentWidget(), w.page_panel(c_flayer_edit));
    EXPECT_EQ(flayer_strip(w)->tile(0)->parentWidget(), w.page_panel(c_flayer_edit));

    // Key A, lower half: the picker's Space key; a key press is released
    // with the same code.
    picker_answer answer(click_in_picker(page_keys, "key_2c"));
    click_key(a, Qt::LeftButton, true);
    ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    bytes edited = before;
    const size_t at = flayer::slot_size * key_id(col_a, home_row);
    for (size_t half : {flayer::off_press, flayer::off_release}) {
        edited[at + half] = fk_key;
        edited[at + half + 1] = 0x2C;
        edited[at + half + 2] = 0;
        edited[at + half + 3] = 0;
    }
    EXPECT_TRUE(same_bytes(w.records().flayers[3], edited));
    EXPECT_EQ(sent(cmd::write_flayer), 0u); // nothing leaves before Save

    QTest::mouseClick(flayer_strip(w)->save_button(), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return kb_->record(cmd::read_flayer, 3) == edited && !w.is_busy(); }));
    const auto writes = kb_->messages_of(cmd::write_flayer);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].sub, 3u);
    EXPECT_EQ(writes[0].data, edited);
    EXPECT_TRUE(w.records().flayer_loaded[3]);
}

// ---------------------------------------------------------------- strip tiles

QRgb pixel_of(QWidget* w, QPoint at) { return w->grab().toImage().pixel(at) & 0xFFFFFF; }

void expect_tiles(Tmain_form& w, const std::array<int, 8>& states) {
    static const QRgb fills[3] = {0xBBBBBB, 0x73E199, 0xFF8040};
    static const char* const hints[3] = {"层已关闭，鼠标左键开启，右键切换到这个层",
                                         "层已开启，鼠标左键关闭，右键切换到这个层",
                                         "当前的默认层，鼠标右键其他层则切换到其他层"};
    for (unsigned i = 0; i < 8; ++i) {
        const layer_tile* t = flayer_strip(w)->tile(i);
        EXPECT_EQ(t->state(), states[i]) << "tile " << i;
        EXPECT_EQ(t->toolTip(), QString::fromUtf8(hints[states[i]])) << "tile " << i;
        EXPECT_EQ(pixel_of(flayer_strip(w)->tile(i), {4, 4}), fills[states[i]]) << "tile " << i;
    }
}

TEST_F(FlayerPage, TileClicksSendTheLayerStateAndRedrawTheirTiles) {
    Tmain_form& w = open_board({}, {0, 1, 0, 0, 0, 0, 0, 0, 0, 3});
    open_layer(w, 0);
    expect_tiles(w, {2, 0, 0, 0, 0, 0, 0, 0});
    kb_->clear_messages();
    struct click {
        unsigned tile;
        Qt::MouseButton button;
        bytes state_sent; // empty: nothing is sent
        std::array<int, 8> tiles;
    };
    const click clicks[] = {
        {2, Qt::LeftButton, {0, 1, 0, 1, 0, 0, 0, 0, 0, 3}, {2, 0, 1, 0, 0, 0, 0, 0}},
        {2, Qt::LeftButton, {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, {2, 0, 0, 0, 0, 0, 0, 0}},
        {4, Qt::MiddleButton, {}, {2, 0, 0, 0, 0, 0, 0, 0}},
        {5, Qt::RightButton, {5, 1, 0, 0, 0, 0, 1, 0, 0, 3}, {1, 0, 0, 0, 0, 2, 0, 0}},
        // Right-clicking the default changes nothing but is sent all the same.
        {5, Qt::RightButton, {5, 1, 0, 0, 0, 0, 1, 0, 0, 3}, {1, 0, 0, 0, 0, 2, 0, 0}},
        {0, Qt::MiddleButton, {}, {1, 0, 0, 0, 0, 2, 0, 0}},
        {0, Qt::LeftButton, {5, 0, 0, 0, 0, 0, 1, 0, 0, 3}, {0, 0, 0, 0, 0, 2, 0, 0}},
    };
    size_t expected = 0;
    for (const click& c : clicks) {
        SCOPED_TRACE(::testing::Message() << "tile " << c.tile << " button " << int(c.button));
        click_tile(flayer_strip(w)->tile(c.tile), c.button);
        expect_tiles(w, c.tiles);
        if (c.state_sent.empty()) continue;
        ++expected;
        // A send from a middle click before would show up here as one too many.
        ASSERT_TRUE(wait_until([&] { return sent(cmd::write_layer_state) >= expected && !w.is_busy(); }));
        const auto m = kb_->messages_of(cmd::write_layer_state);
        ASSERT_EQ(m.size(), expected);
        EXPECT_EQ(first10(m.back().data), c.state_sent);
        EXPECT_TRUE(same_bytes(w.records().layer_state, c.state_sent));
    }
    EXPECT_EQ(cur_flayer(w), 0u);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(FlayerPage, TileUnderTheMouseIsOutlinedInRedUntilTheMouseLeaves) {
    Tmain_form& w = open_board();
    const flayer_mgr& s = *flayer_strip(w);
    auto outline = [&](unsigned i) { return pixel_of(s.tile(i), {0, s.tile(i)->height() / 2}); };
    auto inner = [&](unsigned i) { return pixel_of(s.tile(i), {1, s.tile(i)->height() / 2}); };
    auto enter = [&](unsigned i) {
        QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(s.tile(i), &e);
    };
    for (unsigned i = 0; i < 8; ++i) EXPECT_EQ(outline(i), 0xECEC00u) << i;
    EXPECT_EQ(inner(0), 0x267397u);
    enter(1);
    EXPECT_EQ(outline(1), 0xFF0000u);
    enter(2); // the mouse moved on without a leave for tile 1
    EXPECT_EQ(outline(1), 0xECEC00u);
    EXPECT_EQ(outline(2), 0xFF0000u);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(s.tile(2), &leave);
    for (unsigned i = 0; i < 8; ++i) EXPECT_EQ(outline(i), 0xECEC00u) << i;
    EXPECT_EQ(inner(2), 0x267397u);
}

TEST_F(FlayerPage, StateReportedByTheKeyboardRedrawsTheTilesOnly) {
    Tmain_form& w = open_board();
    open_layer(w, 2);
    kb_->clear_messages();
    const bytes reported = {5, 1, 0, 0, 0, 0, 0, 0, 0, 3};
    kb_->notify_layer_state(reported);
    ASSERT_TRUE(wait_until([&] { return flayer_strip(w)->tile(5)->state() == 2; }));
    expect_tiles(w, {1, 0, 0, 0, 0, 2, 0, 0});
    EXPECT_TRUE(same_bytes(w.records().layer_state, reported));
    EXPECT_EQ(cur_flayer(w), 2u);
    EXPECT_EQ(flayer_editor(w)->shown_layer(), 2u);

    // Left-clicking the new default sets its own flag and nothing else. It
    // is the first thing the window sends after the report: the report
    // itself made it ask for nothing.
    click_tile(flayer_strip(w)->tile(5), Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return !kb_->messages().empty() && !w.is_busy(); }));
    const auto m = kb_->messages();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].command, cmd::write_layer_state);
    EXPECT_EQ(first10(m[0].data), (bytes{5, 1, 0, 0, 0, 0, 1, 0, 0, 3}));
    expect_tiles(w, {1, 0, 0, 0, 0, 2, 0, 0});
}

// ---------------------------------------------------------------- Save

TEST_F(FlayerPage, SaveIsPausedForASecondAfterEachPress) {
    Tmain_form& w = open_board();
    open_layer(w, 1);
    kb_->clear_messages();
    QPushButton* save = flayer_strip(w)->save_button();
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_TRUE(save_button_timer(w)->isActive());
    EXPECT_EQ(save_button_timer(w)->interval(), 1000);
    QTest::mouseClick(save, Qt::LeftButton); // a second press in the pause
    ASSERT_TRUE(wait_until([&] { return sent(cmd::write_flayer) >= 1 && !w.is_busy(); }));
    ASSERT_TRUE(wait_until([&] { return save->isEnabled(); })); // when the timer fires
    EXPECT_FALSE(save_button_timer(w)->isActive());
    auto writes = kb_->messages_of(cmd::write_flayer);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].sub, 1u);
    EXPECT_TRUE(same_bytes(w.records().flayers[1], writes[0].data));

    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_TRUE(wait_until([&] { return sent(cmd::write_flayer) == 2 && !w.is_busy(); }));
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(FlayerPage, RefusedSaveStillPausesTheButton) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    kb_->clear_messages();
    w.set_task_busy(true);
    QPushButton* save = flayer_strip(w)->save_button();
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_TRUE(save_button_timer(w)->isActive());
    EXPECT_EQ(dialogs_.messages, QStringList{QString::fromUtf8("当前通信繁忙，请稍后再试。")});
    w.set_task_busy(false);
    ASSERT_TRUE(wait_until([&] { return save->isEnabled(); }));
    EXPECT_EQ(sent(cmd::write_flayer), 0u);
}

// ---------------------------------------------------------------- files and Clear

TEST_F(FlayerPage, LayerSavedAsAFileLoadsIntoAnotherLayerAndStaysAcrossPages) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    const auto layer0 = w.records().flayers[0];
    const std::string path = folder_.file("layer0.Fl_Cfg");
    dialogs_.file_to_save = QString::fromStdString(path);
    click_strip_button(w, layer_strip::btn_save_as);
    const std::string file = folder_.read("layer0.Fl_Cfg");
    ASSERT_EQ(file.size(), 1540u);
    EXPECT_EQ(file.substr(0, 4), std::string("\x52\x27\x69\x23", 4));
    EXPECT_TRUE(std::equal(layer0.begin(), layer0.end(), reinterpret_cast<const uint8_t*>(file.data()) + 4));

    open_layer(w, 2);
    ASSERT_FALSE(same_bytes(w.records().flayers[2], bytes(layer0.begin(), layer0.end())));
    kb_->clear_messages();
    dialogs_.file_to_open = QString::fromStdString(path);
    click_strip_button(w, layer_strip::btn_load);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    EXPECT_EQ(w.records().flayers[2], layer0);
    EXPECT_TRUE(w.records().flayer_loaded[2]);
    // The drawing shows what was loaded: key A types A again.
    const unsigned a = key_id(col_a, home_row);
    const QString a_hint = flayer_editor(w)->picture_at(col_a, home_row)->toolTip();
    EXPECT_TRUE(a_hint.contains(QString::fromStdString(func_code_to_desc_str(
        w.texts(), fc_from(w.records().flayers[2].data() + flayer::slot_size * a), false))));

    // Another page and back: the loaded layer is neither read again nor lost.
    open_layer(w, 5);
    w.action("fl_2")->trigger();
    EXPECT_EQ(cur_flayer(w), 2u);
    EXPECT_EQ(w.records().flayers[2], layer0);
    EXPECT_EQ(w.records().flayers[0], layer0);
    EXPECT_TRUE(wait_until([&] { return !w.is_busy(); }));
    const auto reads = kb_->messages_of(cmd::read_flayer);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].sub, 5u);
    EXPECT_EQ(sent(cmd::write_flayer), 0u);
}

TEST_F(FlayerPage, FilesThatCannotBeUsedAreReportedAndChangeNothing) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    const auto before = w.records().flayers[0];
    const std::string magic("\x52\x27\x69\x23", 4);
    const std::string trigger_magic("\x53\x27\x69\x23", 4);
    const std::string path_1539 = folder_.write("short.Fl_Cfg", magic + std::string(1535, '\x07'));
    const std::string path_1541 = folder_.write("long.Fl_Cfg", magic + std::string(1537, '\x07'));
    const std::string path_tl = folder_.write("trigger.Fl_Cfg", trigger_magic + std::string(1536, '\x07'));
    const QString missing = QString::fromStdString(folder_.file("missing.Fl_Cfg"));
    struct load_case {
        QString path;
        QString message;
    };
    const load_case cases[] = {
        {QString::fromStdString(path_1539), QString::fromUtf8("文件大小错误！")},
        {QString::fromStdString(path_1541), QString::fromUtf8("文件大小错误！")},
        {QString::fromStdString(path_tl), QString::fromUtf8("错误！无法识别的配置文件！")},
        {missing, QString::fromUtf8("file：") + missing + QString::fromUtf8("open fail！")},
        {QString(), QString()}, // the dialog cancelled
    };
    kb_->clear_messages();
    for (const load_case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        dialogs_.messages.clear();
        dialogs_.file_to_open = c.path;
        click_strip_button(w, layer_strip::btn_load);
        if (c.message.isEmpty())
            EXPECT_TRUE(dialogs_.messages.isEmpty());
        else
            EXPECT_EQ(dialogs_.messages, QStringList{c.message});
        EXPECT_EQ(w.records().flayers[0], before);
    }

    const QString no_folder = QString::fromStdString(folder_.file("no/such/folder/l.Fl_Cfg"));
    dialogs_.messages.clear();
    dialogs_.file_to_save = no_folder;
    click_strip_button(w, layer_strip::btn_save_as);
    EXPECT_EQ(dialogs_.messages, QStringList{QString::fromUtf8("file[") + no_folder + QString::fromUtf8("]create fail！")});
    EXPECT_FALSE(std::filesystem::exists(folder_.file("no")));
    dialogs_.messages.clear();
    dialogs_.file_to_save.clear();
    click_strip_button(w, layer_strip::btn_save_as);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    EXPECT_EQ(w.records().flayers[0], before);
    EXPECT_TRUE(wait_until([&] { return !w.is_busy(); }));
    EXPECT_TRUE(kb_->messages().empty());
}

TEST_F(FlayerPage, ClearAsksFirstAndEmptiesOnlyTheCurrentLayerUntilSaved) {
    Tmain_form& w = open_board();
    open_layer(w, 1);
    open_layer(w, 0);
    const auto layer0 = w.records().flayers[0];
    const auto layer1 = w.records().flayers[1];
    kb_->clear_messages();

    dialogs_.answer_yes = false;
    click_strip_button(w, layer_strip::btn_clear);
    EXPECT_EQ(dialogs_.messages, QStringList{QString::fromUtf8("这会清空本层的所有配置，确定要这么做吗？")});
    EXPECT_EQ(w.records().flayers[0], layer0);

    key_picture* a = flayer_editor(w)->picture_at(col_a, home_row);
    const QString transparent = QString::fromStdString(func_code_to_desc_str(w.texts(), func_code{}, false));
    ASSERT_FALSE(a->toolTip().contains(transparent));
    dialogs_.answer_yes = true;
    click_strip_button(w, layer_strip::btn_clear);
    EXPECT_TRUE(std::all_of(w.records().flayers[0].begin(), w.records().flayers[0].end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(w.records().flayers[1], layer1);
    // Redrawn: every key now shows the transparent function in both halves.
    EXPECT_EQ(a->toolTip().count(transparent), 2);

    open_layer(w, 1);
    w.action("fl_0")->trigger();
    EXPECT_TRUE(std::all_of(w.records().flayers[0].begin(), w.records().flayers[0].end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(a->toolTip().count(transparent), 2);
    EXPECT_TRUE(wait_until([&] { return !w.is_busy(); }));
    EXPECT_TRUE(kb_->messages().empty());
}

// ---------------------------------------------------------------- the drawing

TEST_F(FlayerPage, KeysArePlacedFromTheLayoutAtTheChosenScale) {
    const bytes layout = layout_with(3, 2,
                                     {{0, 0, layout::entry_key, 41, 0, 41, 40, 5},
                                      {1, 0, layout::entry_flayer_only, 100, 50, 60, 30, 6},
                                      {2, 1, layout::entry_key, 7, 133, 33, 21, 7}});
    Tmain_form& w = open_board(layout);
    open_layer(w, 0);
    fl_edit_class& e = *flayer_editor(w);
    flayer_mgr& strip = *flayer_strip(w);
    EXPECT_EQ(e.top_offset(), 96);
    EXPECT_FLOAT_EQ(e.view_scale(), w.dpi().scale);

    std::vector<QRect> strip_geometry;
    auto strip_now = [&] {
        std::vector<QRect> g;
        for (unsigned i = 0; i < 8; ++i) g.push_back(strip.tile(i)->geometry());
        for (unsigned i = 0; i < 4; ++i) g.push_back(strip.button(i)->geometry());
        g.push_back(strip.colour_combo()->geometry());
        g.push_back(strip.scale_combo()->geometry());
        return g;
    };
    strip_geometry = strip_now();

    struct scale_case {
        int item;
        QRect k0, k1, k2;
    };
    const scale_case cases[] = {
        {1, {41, 96, 41, 40}, {100, 146, 60, 30}, {7, 229, 33, 21}},
        {2, {51, 96, 51, 50}, {125, 158, 75, 37}, {8, 262, 41, 26}}, // 1.25: 51.25, 37.5, 166.25 truncated
        {3, {61, 96, 61, 60}, {150, 171, 90, 45}, {10, 295, 49, 31}},
        {4, {71, 96, 71, 70}, {175, 183, 105, 52}, {12, 328, 57, 36}},
        {5, {82, 96, 82, 80}, {200, 196, 120, 60}, {14, 362, 66, 42}},
    };
    for (const scale_case& c : cases) {
        SCOPED_TRACE(c.item);
        choose_item(strip.scale_combo(), c.item);
        EXPECT_EQ(e.picture_at(0, 0)->geometry(), c.k0);
        EXPECT_EQ(e.picture_at(1, 0)->geometry(), c.k1);
        EXPECT_EQ(e.picture_at(2, 1)->geometry(), c.k2);
        EXPECT_EQ(e.picture_at(0, 0)->image().size(), c.k0.size());
        EXPECT_EQ(strip_now(), strip_geometry);
        // The canvas grows with the drawing, so that it can be scrolled to.
        EXPECT_GE(w.page_panel(c_flayer_edit)->minimumHeight(), c.k2.bottom() + 1);
    }
    choose_item(strip.scale_combo(), 0);
    EXPECT_FLOAT_EQ(e.view_scale(), w.dpi().scale);
    EXPECT_EQ(e.picture_at(1, 0)->geometry(), QRect(int(100 * w.dpi().scale), int(50 * w.dpi().scale) + 96,
                                                    int(60 * w.dpi().scale), int(30 * w.dpi().scale)));
}

TEST_F(FlayerPage, LayoutOutsideTheMatrixLimitsDrawsNothing) {
    const std::initializer_list<placed_key> keys = {
        {0, 0, layout::entry_key, 0, 0, 40, 40, 0},
        {25, 7, layout::entry_flayer_only, 1000, 300, 40, 40, 191},
        {24, 7, layout::entry_light_only, 960, 300, 40, 40, 190},
        {12, 4, 2, 480, 160, 40, 40, 100},
        {13, 4, layout::entry_key, 520, 160, 40, 40, 200}, // a key ID beyond the layer's slots
    };
    struct limit_case {
        unsigned columns, rows;
        bool drawn;
    };
    const limit_case cases[] = {{26, 8, true}, {27, 8, false}, {26, 9, false}, {0, 8, false}, {26, 0, false}};
    kb_ = add_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    for (const limit_case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.columns << " x " << c.rows);
        ASSERT_TRUE(kb_->set_record(cmd::read_layout, 0, layout_with(c.columns, c.rows, keys)));
        w.device_picture_double_click(0);
        wait_read(w);
        ASSERT_NE(flayer_editor(w), nullptr);
        open_layer(w, 0);
        for (int redraw = 0; redraw < 2; ++redraw) {
            const auto drawn = pictures(*flayer_editor(w));
            if (!c.drawn) {
                EXPECT_TRUE(drawn.empty());
            } else {
                EXPECT_EQ(drawn.size(), 3u);
                EXPECT_TRUE(drawn.count({0, 0}));
                EXPECT_TRUE(drawn.count({25, 7}));
                ASSERT_TRUE(drawn.count({13, 4}));
                key_picture* beyond = drawn.at({13, 4});
                EXPECT_FALSE(beyond->isHidden());
                EXPECT_EQ(beyond->key_id(), 200u);
                EXPECT_TRUE(beyond->toolTip().isEmpty());
                // Clicks on it change nothing and open no picker.
                const auto layers = w.records().flayers;
                for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
                    click_key(beyond, b, true);
                    click_key(beyond, b, false);
                }
                wait_until([] { return QApplication::activeModalWidget() != nullptr; }, std::chrono::milliseconds(50));
                EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
                EXPECT_EQ(w.records().flayers, layers);
            }
            choose_item(flayer_strip(w)->colour_combo(), 1 - redraw); // a redraw
        }
        w.device_picture_double_click(0);
        ASSERT_EQ(flayer_editor(w), nullptr);
    }
}

TEST_F(FlayerPage, RightAndMiddleClicksEditOneHalfAndRepaintOnlyThatKey) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    kb_->clear_messages();
    const auto keys = pictures(*flayer_editor(w));
    ASSERT_EQ(keys.size(), 104u);
    struct click_case {
        unsigned column;
        Qt::MouseButton button;
        bool lower;
        bool at_middle; // on the last row of its half (H/2 - 1 or H/2)
        bytes slot_after;
    };
    const click_case cases[] = {
        {col_a, Qt::RightButton, true, false, {0, 0, 0, 0, 2, 0x04, 0, 0}},
        {col_a + 1, Qt::MiddleButton, false, false, {2, 0x16, 0, 0, 1, 0, 0, 0}}, // S
        {col_a + 2, Qt::RightButton, false, false, {2, 0x07, 0, 0, 0, 0, 0, 0}},  // D
        {col_a + 3, Qt::MiddleButton, true, false, {1, 0, 0, 0, 2, 0x09, 0, 0}},  // F
        {col_a + 4, Qt::RightButton, true, true, {0, 0, 0, 0, 2, 0x0A, 0, 0}},    // G at H/2
        {col_a + 5, Qt::RightButton, false, true, {2, 0x0B, 0, 0, 0, 0, 0, 0}},   // H at H/2 - 1
    };
    for (const click_case& c : cases) {
        SCOPED_TRACE(c.column);
        std::map<key_picture*, qint64> painted;
        for (const auto& [pos, k] : keys) painted[k] = k->image().cacheKey();
        key_picture* k = keys.at({c.column, home_row});
        const QImage drawn = k->image().copy();
        if (c.at_middle)
            QTest::mouseClick(k, c.button, Qt::NoModifier, QPoint(k->width() / 2, k->height() / 2 - (c.lower ? 0 : 1)));
        else
            click_key(k, c.button, c.lower);
        const unsigned id = key_id(c.column, home_row);
        EXPECT_EQ(slot_bytes(w, 0, id), c.slot_after);
        // That key shows the change; no other key was painted again.
        const uint8_t* slot = w.records().flayers[0].data() + flayer::slot_size * id;
        const QString hint = text_of(w, 600, "按键弹起：") +
                             QString::fromStdString(func_code_to_desc_str(w.texts(), fc_from(slot + 4), false));
        EXPECT_TRUE(k->toolTip().startsWith(hint)) << k->toolTip().toStdString();
        // The release function is drawn in the upper half, the press
        // function in the lower one: only the clicked half looks different.
        EXPECT_EQ(halves_changed(drawn, k->image()), std::make_pair(!c.lower, c.lower));
        for (const auto& [other, key] : painted)
            EXPECT_EQ(other->image().cacheKey() != key, other == k) << other->objectName().toStdString();
    }
    wait_until([] { return QApplication::activeModalWidget() != nullptr; }, std::chrono::milliseconds(50));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(kb_->messages().empty());
}

TEST_F(FlayerPage, HintGivesTheReleaseAndPressFunctionsInFull) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    key_picture* a = flayer_editor(w)->picture_at(col_a, home_row);
    click_key(a, Qt::RightButton, false); // release: transparent, press: A
    const uint8_t* slot = w.records().flayers[0].data() + flayer::slot_size * key_id(col_a, home_row);
    const QString release = text_of(w, 600, "按键弹起：") +
                            QString::fromStdString(func_code_to_desc_str(w.texts(), fc_from(slot + 4), false));
    const QString press = text_of(w, 601, "按键按下：") +
                          QString::fromStdString(func_code_to_desc_str(w.texts(), fc_from(slot), false));
    ASSERT_NE(release, press);
    EXPECT_TRUE(release.startsWith(QString::fromUtf8("按键弹起：")));
    EXPECT_TRUE(press.startsWith(QString::fromUtf8("按键按下：")));
    const QString hint = a->toolTip();
    ASSERT_TRUE(hint.startsWith(release) && hint.endsWith(press)) << hint.toStdString();
    const QString between = hint.mid(release.size(), hint.size() - release.size() - press.size());
    EXPECT_TRUE(between == QStringLiteral("\n") || between == QStringLiteral("\r\n")) << between.toStdString();
}

// A language chosen while the page is up reaches the strip and the keys.
TEST_F(FlayerPage, LanguageChangeReachesTheStripAndTheKeys) {
    folder_.write("Language/A.ini", "[Language]\r\n");
    folder_.write("Language/B.ini",
                  "[Language]\r\n303=Store\r\n313=Leaf\r\n600=Up:\r\n701=Open layer\r\n702=Default layer\r\n");
    Tmain_form& w = open_board({}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}); // layer 1 open
    open_layer(w, 0);
    const flayer_mgr& s = *flayer_strip(w);
    ASSERT_EQ(s.save_button()->text(), QString::fromUtf8("保存"));
    w.language_combo()->setCurrentIndex(w.language_combo()->count() - 1);
    EXPECT_EQ(s.save_button()->text(), QStringLiteral("Store"));
    EXPECT_EQ(s.colour_combo()->itemText(2), QStringLiteral("Leaf"));
    EXPECT_EQ(s.tile(0)->toolTip(), QStringLiteral("Default layer"));
    EXPECT_EQ(s.tile(1)->toolTip(), QStringLiteral("Open layer"));
    EXPECT_TRUE(flayer_editor(w)->picture_at(col_a, home_row)->toolTip().startsWith(QStringLiteral("Up:")));
}

// Every text of the page is looked up by its own ID and falls back to its
// own built-in default: under a language that turns each ID into a marker
// every text shows its marker, and without one it shows the default.
TEST_F(FlayerPage, EveryTextOfThePageHasItsIdAndBuiltInDefault) {
    static const text_default page_texts[] = {
        {303, "保存"},
        {304, "将当前层配置保存到键盘内"},
        {305, "另存为"},
        {306, "将当前层配置保存为一个文件，便于将来恢复或者共享给朋友"},
        {307, "加载文件"},
        {308, "打开一个层配置文件，并加载到当前层，您可以保存到键盘内，或者编辑"},
        {309, "清空本层"},
        {310, "这将清空本层的所有配置，所有当前层的数据都会丢失"},
        {311, "默认"},
        {312, "白色"},
        {313, "绿色"},
        {314, "选择图标的配色"},
        {315, "自动"},
        {316, "选择图标的缩放比例，[自动]则使用操作系统设置的缩放比例"},
        {317, "这会清空本层的所有配置，确定要这么做吗？"},
        {318, "警告"},
        {339, "文件大小错误！"},
        {341, "错误！无法识别的配置文件！"},
        {600, "按键弹起："},
        {601, "按键按下："},
        {700, "层已关闭，鼠标左键开启，右键切换到这个层"},
        {701, "层已开启，鼠标左键关闭，右键切换到这个层"},
        {702, "当前的默认层，鼠标右键其他层则切换到其他层"},
    };
    folder_.write("Language/A.ini", "[Language]\r\n");
    folder_.write("Language/B.ini", marking_language(page_texts));
    const std::string short_file = folder_.write("short.Fl_Cfg", std::string(1539, '\x01'));
    const std::string foreign_file = folder_.write("foreign.Fl_Cfg", std::string(1540, '\x01'));
    Tmain_form& w = open_board({}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}); // layer 0 default, layer 1 open
    open_layer(w, 0);
    dialogs_.answer_yes = false;

    // Everything the page shows, in the order of the table above; the key
    // hint's two halves stand for 600 and 601.
    auto shown = [&] {
        const flayer_mgr& s = *flayer_strip(w);
        std::vector<std::string> t;
        for (unsigned b = 0; b < layer_strip::button_count; ++b) {
            t.push_back(s.button(b)->text().toStdString());
            t.push_back(s.button(b)->toolTip().toStdString());
        }
        for (int i = 0; i < 3; ++i) t.push_back(s.colour_combo()->itemText(i).toStdString());
        t.push_back(s.colour_combo()->toolTip().toStdString());
        t.push_back(s.scale_combo()->itemText(0).toStdString());
        t.push_back(s.scale_combo()->toolTip().toStdString());
        dialogs_.messages.clear();
        click_strip_button(w, layer_strip::btn_clear);
        t.push_back(dialogs_.messages.value(0).toStdString());
        t.push_back(dialogs_.last_caption.toStdString());
        for (const std::string& f : {short_file, foreign_file}) {
            dialogs_.messages.clear();
            dialogs_.file_to_open = QString::fromStdString(f);
            click_strip_button(w, layer_strip::btn_load);
            t.push_back(dialogs_.messages.value(0).toStdString());
        }
        const QStringList hint = flayer_editor(w)->picture_at(col_a, home_row)->toolTip().split(QLatin1Char('\n'));
        // Each line of the hint starts with its text; a default and a marker
        // are both five characters long.
        t.push_back(hint.value(0).left(5).toStdString());
        t.push_back(hint.value(1).left(5).toStdString());
        t.push_back(s.tile(2)->toolTip().toStdString());
        t.push_back(s.tile(1)->toolTip().toStdString());
        t.push_back(s.tile(0)->toolTip().toStdString());
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
        EXPECT_EQ(built_in[i], t.def);
        EXPECT_EQ(marked[i].substr(0, marker(t.id).size()), marker(t.id));
    }
}

TEST_F(FlayerPage, PickerChoicesAndThePressToReleaseCopy) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    struct pick_case {
        const char* what;
        unsigned column;
        bool disable_release_first; // middle-click the upper half before
        bool lower;
        std::function<void(Tfunc_sel&)> answer;
        bytes slot_after;
    };
    const pick_case cases[] = {
        {"left mouse button on the press half", col_a, false, true, click_in_picker(page_mouse, "btn_mouse_left"),
         {5, 0x04, 0, 0, 5, 0x04, 0, 0}},
        {"switch to layer 2 on the press half", col_a + 1, false, true,
         click_in_picker(page_layers, "btn_flayer_switch", "cb_flayer_switch", 2), {0x0E, 2, 0, 0, 2, 0x16, 0, 0}},
        {"a key on the release half", col_a + 2, false, false, click_in_picker(page_keys, "key_2c"),
         {2, 0x07, 0, 0, 2, 0x2C, 0, 0}},
        {"left mouse button on the release half", col_a + 3, false, false,
         click_in_picker(page_mouse, "btn_mouse_left"), {2, 0x09, 0, 0, 5, 0x09, 0, 0}},
        {"closed without a choice on a press half holding a key", col_a + 4, true, true, close_picker,
         {2, 0x0A, 0, 0, 2, 0x0A, 0, 0}},
        {"closed without a choice on the release half", col_a + 5, true, false, close_picker,
         {2, 0x0B, 0, 0, 1, 0, 0, 0}},
    };
    for (const pick_case& c : cases) {
        SCOPED_TRACE(c.what);
        key_picture* k = flayer_editor(w)->picture_at(c.column, home_row);
        ASSERT_NE(k, nullptr);
        if (c.disable_release_first) click_key(k, Qt::MiddleButton, false);
        const qint64 painted = k->image().cacheKey();
        picker_answer answer(c.answer);
        click_key(k, Qt::LeftButton, c.lower);
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
        EXPECT_EQ(slot_bytes(w, 0, key_id(c.column, home_row)), c.slot_after);
        EXPECT_NE(k->image().cacheKey(), painted); // drawn again after the picker
    }
}

TEST_F(FlayerPage, IconColourChoiceRedrawsEveryKeyOnItsCap) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    const auto keys = pictures(*flayer_editor(w));
    for (const auto& [pos, k] : keys) EXPECT_GT(share_of(*k, plain_fill), 0.5) << k->objectName().toStdString();

    // A large part of each key is the colour of its cap (the rest: rim, texts,
    // line). The function texts are white on the green cap and in the plain
    // drawing, black on the white cap; no cap has such pixels of its own.
    const auto white = [](QRgb p) { return p == 0xFFFFFF; };
    const auto black = [](QRgb p) { return qRed(p) < 0x30 && qGreen(p) < 0x30 && qBlue(p) < 0x30; };
    struct colour_case {
        int item;
        std::function<bool(QRgb)> looks_right;
        std::function<bool(QRgb)> text;
    };
    const colour_case cases[] = {
        {2, [](QRgb p) { return qGreen(p) > qRed(p) + 40 && qGreen(p) > qBlue(p) + 20; }, white},
        {1, [](QRgb p) { return qRed(p) > 0xC0 && qGreen(p) > 0xC0 && qBlue(p) > 0xC0 && !plain_fill(p); }, black},
        {0, plain_fill, white},
    };
    for (const colour_case& c : cases) {
        SCOPED_TRACE(c.item);
        std::map<key_picture*, qint64> painted;
        for (const auto& [pos, k] : keys) painted[k] = k->image().cacheKey();
        choose_item(flayer_strip(w)->colour_combo(), c.item);
        for (const auto& [pos, k] : keys) {
            EXPECT_NE(k->image().cacheKey(), painted[k]) << k->objectName().toStdString();
            EXPECT_GT(share_of(*k, c.looks_right), 0.3) << k->objectName().toStdString();
        }
        EXPECT_GT(share_of(*keys.at({col_a, home_row}), c.text), 0.0); // "A" twice
    }
}

TEST_F(FlayerPage, LayerNotYetReceivedShowsNoKeysToEdit) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    const auto keys = pictures(*flayer_editor(w));
    ASSERT_FALSE(keys.empty());
    kb_->never_answer(cmd::read_flayer);
    w.action("fl_4")->trigger();
    EXPECT_EQ(cur_flayer(w), 4u);
    EXPECT_EQ(w.current_page_label(), QString::fromUtf8("功能层4"));
    // Layer 0's keys are not left on screen under layer 4's name, and
    // clicking where they were edits nothing.
    for (const auto& [pos, k] : keys) EXPECT_TRUE(k->isHidden()) << k->objectName().toStdString();
    const auto layers = w.records().flayers;
    key_picture* a = keys.at({col_a, home_row});
    click_key(a, Qt::RightButton, true);
    click_key(a, Qt::MiddleButton, false);
    click_key(a, Qt::LeftButton, true);
    wait_until([] { return QApplication::activeModalWidget() != nullptr; }, std::chrono::milliseconds(50));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(w.records().flayers, layers);
}

// ---------------------------------------------------------------- lifecycle

// The drawing starts 96 pixels down, or lower when a large screen scale
// makes the strip taller, so no key ever covers the toolbar. (ctest runs
// this at screen scales 1 and 2.)
TEST_F(FlayerPage, DrawingStartsBelowTheStripAtEveryScreenScale) {
    Tmain_form& w = open_board();
    const flayer_mgr& s = *flayer_strip(w);
    const fl_edit_class& e = *flayer_editor(w);
    const int strip_bottom = s.bottom();
    EXPECT_EQ(e.top_offset(), std::max(96, strip_bottom + 16));
    if (w.dpi().scale == 1.0f) {
        EXPECT_EQ(e.top_offset(), 96);
    }
    // The key in the top-left corner of the default board (y = 8).
    const key_picture* esc = e.picture_at(0, 0);
    ASSERT_NE(esc, nullptr);
    EXPECT_GT(esc->y(), strip_bottom);
    for (unsigned b = 0; b < layer_strip::button_count; ++b)
        EXPECT_FALSE(esc->geometry().intersects(s.button(b)->geometry())) << b;
    EXPECT_FALSE(esc->geometry().intersects(s.colour_combo()->geometry()));
}

TEST_F(FlayerPage, StripControlsArePlacedAndCaptioned) {
    Tmain_form& w = open_board();
    if (w.dpi().scale != 1.0f) GTEST_SKIP() << "places are checked at screen scale 1";
    const flayer_mgr& s = *flayer_strip(w);
    for (unsigned i = 0; i < 8; ++i) EXPECT_EQ(s.tile(i)->geometry(), QRect(12 + 92 * int(i), 20, 80, 24)) << i;
    const char* const captions[4] = {"保存", "另存为", "加载文件", "清空本层"};
    for (unsigned i = 0; i < 4; ++i) {
        EXPECT_EQ(s.button(i)->geometry(), QRect(12 + 92 * int(i), 56, 80, 24)) << i;
        EXPECT_EQ(s.button(i)->text(), QString::fromUtf8(captions[i]));
        EXPECT_FALSE(s.button(i)->toolTip().isEmpty());
    }
    const QComboBox* combos[2] = {s.colour_combo(), s.scale_combo()};
    for (int j = 0; j < 2; ++j) {
        const QRect g = combos[j]->geometry();
        EXPECT_EQ(g.x(), j == 0 ? 380 : 472);
        EXPECT_EQ(g.width(), 80);
        EXPECT_EQ(g.y(), 56 + (24 - g.height()) / 2);
        EXPECT_EQ(combos[j]->currentIndex(), 0);
    }
    EXPECT_EQ(s.colour_combo()->itemText(2), QString::fromUtf8("绿色"));
    EXPECT_EQ(s.colour_combo()->toolTip(), QString::fromUtf8("选择图标的配色"));
    const QStringList scales = {QString::fromUtf8("自动"), "1x", "1.25x", "1.5x", "1.75x", "2x"};
    ASSERT_EQ(s.scale_combo()->count(), scales.size());
    for (int i = 0; i < scales.size(); ++i) EXPECT_EQ(s.scale_combo()->itemText(i), scales[i]);
}

// At other screen scales every size and place is the scaled figure cut to
// whole pixels, the tile gaps included (so combo j lines up with tile 4 + j),
// while the gap between the tiles and the buttons stays 12 pixels.
TEST(FlayerStrip, PlacesFollowTheScreenScale) {
    temp_dir d;
    const key_code_convert texts(d.file("qvk-tools"));
    QWidget card;
    std::array<uint8_t, record_size::layer_state> state{};
    struct scale_case {
        float scale;
        int w, h, tile_top, button_top;
        std::array<int, 8> left;
    };
    const scale_case cases[] = {
        {1.125f, 90, 27, 22, 61, {13, 116, 220, 323, 427, 530, 634, 737}}, // 108 dpi: gaps of 13.5
        {1.25f, 100, 30, 25, 67, {15, 130, 245, 360, 475, 590, 705, 820}},
        {1.5f, 120, 36, 30, 78, {18, 156, 294, 432, 570, 708, 846, 984}},
    };
    for (const scale_case& c : cases) {
        SCOPED_TRACE(c.scale);
        const flayer_mgr s(&card, c.scale, state.data(), texts, [](int, int, int) {});
        for (unsigned i = 0; i < 8; ++i)
            EXPECT_EQ(s.tile(i)->geometry(), QRect(c.left[i], c.tile_top, c.w, c.h)) << "tile " << i;
        for (unsigned i = 0; i < 4; ++i)
            EXPECT_EQ(s.button(i)->geometry(), QRect(c.left[i], c.button_top, c.w, c.h)) << "button " << i;
        const QComboBox* combos[2] = {s.colour_combo(), s.scale_combo()};
        for (int j = 0; j < 2; ++j) {
            const QRect g = combos[j]->geometry();
            EXPECT_EQ(g.x(), c.left[4 + j]) << "combo " << j;
            EXPECT_EQ(g.width(), c.w) << "combo " << j;
            EXPECT_EQ(g.y(), c.button_top + (c.h - g.height()) / 2) << "combo " << j;
        }
    }
}

TEST_F(FlayerPage, NewConnectionStartsWithAFreshStripAndDrawing) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    const QRect first_a = flayer_editor(w)->picture_at(col_a, home_row)->geometry();
    choose_item(flayer_strip(w)->scale_combo(), 5);
    choose_item(flayer_strip(w)->colour_combo(), 2);
    ASSERT_NE(flayer_editor(w)->picture_at(col_a, home_row)->geometry(), first_a);

    w.device_picture_double_click(0); // disconnect
    EXPECT_EQ(flayer_strip(w), nullptr);
    EXPECT_EQ(flayer_editor(w), nullptr);
    EXPECT_TRUE(pictures_on(w).empty());

    w.device_picture_double_click(0); // connect again
    wait_read(w);
    ASSERT_NE(flayer_strip(w), nullptr);
    EXPECT_EQ(flayer_strip(w)->scale_combo()->currentIndex(), 0);
    EXPECT_EQ(flayer_strip(w)->colour_combo()->currentIndex(), 0);
    EXPECT_FLOAT_EQ(flayer_editor(w)->view_scale(), w.dpi().scale);
    open_layer(w, 0);
    key_picture* a = flayer_editor(w)->picture_at(col_a, home_row);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->geometry(), first_a);
    EXPECT_GT(share_of(*a, plain_fill), 0.5);
    EXPECT_EQ(pictures_on(w).size(), 104u); // the old pictures went with the old drawing
}

TEST_F(FlayerPage, PickerOpenWhenTheConnectionEndsWritesNothing) {
    Tmain_form& w = open_board();
    for (bool connect_again : {false, true}) {
        SCOPED_TRACE(connect_again ? "connected again before the choice" : "unplugged");
        open_layer(w, 0);
        const unsigned a = key_id(col_a, home_row);
        const bytes before = slot_bytes(w, 0, a);
        picker_answer answer([&](Tfunc_sel& p) {
            kb_->unplug();
            ASSERT_TRUE(wait_until([&] { return flayer_strip(w) == nullptr; }));
            EXPECT_EQ(flayer_editor(w), nullptr);
            if (connect_again) {
                // A new drawing of the same layer is up when the choice is made.
                plug_and_connect(w);
                ASSERT_NE(flayer_editor(w), nullptr);
            }
            click_in_picker(page_mouse, "btn_mouse_left")(p);
        });
        click_key(flayer_editor(w)->picture_at(col_a, home_row), Qt::LeftButton, true);
        ASSERT_TRUE(wait_until([&] { return answer.done(); }));
        EXPECT_EQ(slot_bytes(w, 0, a), before);
        if (!connect_again) {
            EXPECT_EQ(w.active_link(), nullptr);
            EXPECT_EQ(flayer_strip(w), nullptr);
            EXPECT_EQ(flayer_editor(w), nullptr);
            plug_and_connect(w);
        }
    }
}

// A tile click whose send is refused shows a message; the keyboard is
// unplugged while it is up, so the strip goes away under the click. Nothing
// of the strip may be touched afterwards (the sanitizer sees it if it is).
TEST_F(FlayerPage, StripTornDownWhileATileClickShowsAMessage) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        SCOPED_TRACE(int(button));
        // Another task runs, so the send is refused. (A read in flight would
        // not do: the battery reply that follows every connection may still
        // come in and end that busy state before the click.)
        w.set_task_busy(true);
        dialogs_.while_shown = [&] {
            dialogs_.while_shown = nullptr;
            kb_->unplug();
            ASSERT_TRUE(wait_until([&] { return flayer_strip(w) == nullptr; }));
        };
        click_tile(flayer_strip(w)->tile(3), button);
        QCoreApplication::processEvents();
        EXPECT_EQ(flayer_strip(w), nullptr);
        EXPECT_EQ(dialogs_.messages.size(), 1);
        dialogs_.messages.clear();
        plug_and_connect(w);
    }
}

// The window is closed (from the tray) while the picker is open: the picker
// goes with it, can still turn its pages while its loop ends, and nothing is
// written into the layer.
TEST_F(FlayerPage, ClosingTheWindowClosesAnOpenPicker) {
    Tmain_form& w = open_board();
    open_layer(w, 0);
    const unsigned a = key_id(col_a, home_row);
    const bytes before = slot_bytes(w, 0, a);
    picker_answer answer([&](Tfunc_sel& p) {
        w.quit_from_tray();
        EXPECT_FALSE(p.isVisible());
        p.pages()->setCurrentIndex(page_media); // fills its list from the texts
        QCoreApplication::processEvents();
    });
    click_key(flayer_editor(w)->picture_at(col_a, home_row), Qt::LeftButton, true);
    ASSERT_TRUE(wait_until([&] { return answer.done(); }));
    EXPECT_EQ(slot_bytes(w, 0, a), before);
    EXPECT_EQ(flayer_editor(w), nullptr);
}

// ---------------------------------------------------------------- hand-answered keyboard

using FlayerReads = window_test;

TEST_F(FlayerReads, UnreadLayerIsAskedForAndOnlyAWholeReplyForItIsKept) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    ASSERT_TRUE(w.records().flayer_loaded[0]);
    const auto layer2 = w.records().flayers[2];
    const auto layer3 = w.records().flayers[3];
    kb->clear_received();

    w.action("fl_3")->trigger();
    EXPECT_EQ(w.current_card(), c_flayer_edit);
    EXPECT_EQ(w.current_page_label(), QString::fromUtf8("功能层3"));
    packet::packet64 p;
    ASSERT_TRUE(kb->wait_request(1, p));
    EXPECT_EQ(packet::command_of(p.data()), cmd::read_flayer);
    EXPECT_EQ(p[packet::off_sub], 3);
    EXPECT_TRUE(w.is_busy());
    // Sent, the read still waits for its reply.
    QCoreApplication::postEvent(&w, new link_event(msg::send_done, 0, 0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.is_busy());

    kb->reply_record(cmd::read_flayer, 2, patterned(record_size::flayer, 0x90));
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    EXPECT_EQ(w.records().flayers[2], layer2);
    EXPECT_EQ(w.records().flayers[3], layer3);
    EXPECT_FALSE(w.records().flayer_loaded[2]);
    EXPECT_FALSE(w.records().flayer_loaded[3]);
    EXPECT_EQ(cur_flayer(w), 3u);

    // Asked again, the reply loses a chunk on the way: the rest is dropped
    // and the busy state ends.
    w.action("fl_3")->trigger();
    ASSERT_TRUE(kb->wait_request(2, p));
    EXPECT_EQ(p[packet::off_sub], 3);
    auto chunks = manual_keyboard::record_chunks(cmd::read_flayer, 3, patterned(record_size::flayer, 0x92));
    chunks.erase(chunks.begin() + 1);
    for (const auto& c : chunks) kb->send_packet(c);
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    EXPECT_EQ(w.records().flayers[3], layer3);
    EXPECT_FALSE(w.records().flayer_loaded[3]);

    // And again: now the right layer comes whole and is kept.
    w.action("fl_3")->trigger();
    ASSERT_TRUE(kb->wait_request(3, p));
    EXPECT_EQ(packet::command_of(p.data()), cmd::read_flayer);
    EXPECT_EQ(p[packet::off_sub], 3);
    kb->reply_record(cmd::read_flayer, 3, patterned(record_size::flayer, 0x91));
    ASSERT_TRUE(wait_until([&] { return !w.is_busy() && w.records().flayer_loaded[3]; }));
    EXPECT_TRUE(same_bytes(w.records().flayers[3], patterned(record_size::flayer, 0x91)));

    // Layers already here are not asked for: the next request is the one
    // sent after opening them.
    w.action("fl_0")->trigger();
    EXPECT_EQ(cur_flayer(w), 0u);
    w.action("fl_3")->trigger();
    EXPECT_EQ(cur_flayer(w), 3u);
    w.request_battery_update();
    ASSERT_TRUE(kb->wait_request(4, p));
    EXPECT_EQ(packet::command_of(p.data()), cmd::read_battery);
    EXPECT_EQ(kb->requests().size(), 4u);
}

TEST_F(FlayerReads, ReportBeforeTheStateIsReadCreatesTheStripAndPicksTheLayer) {
    auto kb = add_manual_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    kb->reply_record(cmd::layer_state_changed, 0, {4, 0, 0, 0, 0, 0, 1, 0, 0, 2});
    ASSERT_TRUE(wait_until([&] { return flayer_strip(w) != nullptr; }));
    EXPECT_EQ(cur_flayer(w), 4u);
    EXPECT_EQ(flayer_strip(w)->tile(4)->state(), 2);
    EXPECT_EQ(flayer_strip(w)->tile(5)->state(), 1);
    EXPECT_FALSE(w.is_read_done(4));

    // The read goes on in order, one request per reply (a report that
    // pushed it on would have asked twice); the state it reads redraws the
    // strip but keeps the layer chosen when the strip was made.
    answer_initial_read(*kb, {0, 1, 1, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(wait_until([&] { return !w.is_task_busy(); }));
    EXPECT_EQ(cur_flayer(w), 4u);
    EXPECT_EQ(flayer_strip(w)->tile(0)->state(), 2);
    EXPECT_EQ(flayer_strip(w)->tile(1)->state(), 1);
    EXPECT_EQ(flayer_strip(w)->tile(4)->state(), 0);
    // The layer the read brought (the default, 0) is not the one shown.
    EXPECT_FALSE(w.records().flayer_loaded[0]);
}

TEST_F(FlayerReads, DefaultLayerOutOfRangeShowsLayerZeroAndRightClicksKeepTheTriggerByte) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb, kind_usb, {9, 0, 0, 0, 0, 0, 0, 0, 0, 3});
    packet::packet64 p;

    EXPECT_EQ(cur_flayer(w), 0u);
    ASSERT_NE(flayer_strip(w), nullptr);
    for (unsigned i = 0; i < 8; ++i) EXPECT_EQ(flayer_strip(w)->tile(i)->state(), 0) << i;
    click_tile(flayer_strip(w)->tile(2), Qt::RightButton);
    ASSERT_TRUE(kb->wait_request(initial_read_step_count + 2, p));
    EXPECT_EQ(packet::command_of(p.data()), cmd::write_layer_state);
    EXPECT_EQ(bytes(p.begin() + packet::off_block_data, p.begin() + packet::off_block_data + 10),
              (bytes{2, 0, 0, 1, 0, 0, 0, 0, 0, 3}));
    EXPECT_EQ(flayer_strip(w)->tile(2)->state(), 2);
    EXPECT_EQ(cur_flayer(w), 0u);
}

TEST_F(FlayerReads, KeysBeyondWhatADrawingHoldsGetNoPictureAndTheRestStillWorks) {
    // A layout whose sizes would ask for gigabytes of key pictures.
    const bytes layout = layout_with(8, 1, {
        {0, 0, layout::entry_key, 0, 0, 40, 40, 5},
        {1, 0, layout::entry_key, 50, 0, 4000, 4000, 6},
        {2, 0, layout::entry_key, 0, 0, 65535, 65535, 7},
        {3, 0, layout::entry_flayer_only, 65000, 0, 40, 40, 8},
        {4, 0, layout::entry_key, 0, 1000, 40, 40, 9},   // reaches below the drawing
        {5, 0, layout::entry_key, 2048 - 320, 1024 - 160, 320, 160, 10}, // the largest key, in the corner
        {6, 0, layout::entry_key, 100, 0, 321, 40, 11},
        {7, 0, layout::entry_key, 150, 0, 40, 161, 12},
    });
    auto kb = add_manual_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    for (unsigned step = 0; step < initial_read_step_count; ++step) {
        packet::packet64 p;
        ASSERT_TRUE(kb->wait_request(step + 1, p)) << "step " << step;
        const uint8_t c = packet::command_of(p.data());
        const bytes record =
            c == cmd::read_layout ? layout : initial_read_record(c, p[packet::off_sub], bytes(10, 0));
        kb->reply_record(c, p[packet::off_sub], record);
    }
    ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && flayer_editor(w); }));
    w.action("fl_0")->trigger();
    for (int scale_item : {1, 5}) {
        SCOPED_TRACE(scale_item);
        choose_item(flayer_strip(w)->scale_combo(), scale_item);
        const auto drawn = pictures(*flayer_editor(w));
        ASSERT_EQ(drawn.size(), 2u);
        ASSERT_TRUE(drawn.count({0, 0}));
        ASSERT_TRUE(drawn.count({5, 0}));
        const float s = flayer_editor(w)->view_scale();
        EXPECT_EQ(drawn.at({5, 0})->size(), QSize(int(320 * s), int(160 * s)));
        qsizetype image_bytes = 0;
        for (key_picture* k : pictures_on(w)) image_bytes += k->image().sizeInBytes();
        EXPECT_LE(image_bytes, qsizetype(4 * (40 * 40 + 320 * 160) * s * s) + 4096);
    }
    // The keys that are drawn still edit their slots.
    const bytes before = slot_bytes(w, 0, 5);
    click_key(flayer_editor(w)->picture_at(0, 0), Qt::RightButton, true);
    bytes want = before;
    std::fill(want.begin() + long(flayer::off_press), want.begin() + long(flayer::off_press) + 4, 0);
    EXPECT_EQ(slot_bytes(w, 0, 5), want);
}

} // namespace
} // namespace qvk::testing
