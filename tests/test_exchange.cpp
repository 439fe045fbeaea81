// The real main window against a keyboard the test answers by hand: the send
// checks and their messages, the busy state around sends and replies, the
// initial read and how replies are routed.

#include <QLabel>
#include <QProgressBar>
#include <QThread>

#include "app/device_list.h"
#include "app/link_event.h"
#include "app/ui_batt_disp.h"
#include "layers/layer_state.h"
#include "link/link_kind.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

using InitialRead = window_test;

TEST_F(InitialRead, RequestsLeaveInOrderEachOnlyAfterThePreviousReply) {
    auto kb = add_manual_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    // Default function layer 3, active trigger layer 5.
    std::vector<uint8_t> layer_state(record_size::layer_state, 1);
    layer_state[layer_state::off_default_flayer] = 3;
    layer_state[layer_state::off_active_tlayer] = 5;
    const uint8_t expected_sub[initial_read_step_count] = {0, 0, 0, 0, 0, 3, 5, 0, 0};

    for (unsigned step = 0; step < initial_read_step_count; ++step) {
        packet::packet64 p;
        ASSERT_TRUE(kb->wait_request(step + 1, p)) << "step " << step;
        EXPECT_EQ(packet::command_of(p.data()), initial_read_steps[step].command) << "step " << step;
        EXPECT_EQ(p[packet::off_sub], expected_sub[step]) << "step " << step;
        // Nothing more leaves until this request is answered.
        wait_until([] { return false; }, std::chrono::milliseconds(20));
        EXPECT_EQ(kb->requests().size(), step + 1) << "step " << step;
        EXPECT_TRUE(w.is_task_busy());
        EXPECT_TRUE(w.read_progress_bar()->isVisibleTo(w.card(c_device_list)));
        EXPECT_EQ(w.read_progress_bar()->value(), int(step) + 1);
        EXPECT_FALSE(w.action("fl_0")->isEnabled() && w.current_card() == c_flayer_edit);

        const uint8_t c = initial_read_steps[step].command;
        const std::vector<uint8_t> record = initial_read_record(c, expected_sub[step], layer_state);
        kb->reply_record(c, expected_sub[step], record);
    }
    ASSERT_TRUE(wait_until([&] { return !w.is_task_busy(); }));
    EXPECT_TRUE(w.initial_read_finished());
    EXPECT_FALSE(w.read_progress_bar()->isVisibleTo(w.card(c_device_list)));
    EXPECT_EQ(w.read_progress_bar()->value(), 0);

    // The battery state follows, without a sub.
    packet::packet64 p;
    ASSERT_TRUE(kb->wait_request(initial_read_step_count + 1, p));
    EXPECT_EQ(packet::command_of(p.data()), cmd::read_battery);

    keyboard_records& r = w.records();
    EXPECT_TRUE(same_bytes(r.scan_params, patterned(record_size::scan_params, 10)));
    EXPECT_EQ(r.ble_support, 1);
    EXPECT_TRUE(same_bytes(r.ble_params, patterned(record_size::ble_params, 20)));
    EXPECT_TRUE(same_bytes(r.kb_layout, patterned(record_size::kb_layout, 30)));
    EXPECT_TRUE(same_bytes(r.layer_state, layer_state));
    EXPECT_TRUE(same_bytes(r.flayers[3], patterned(record_size::flayer, 40 + 3)));
    EXPECT_TRUE(r.flayer_loaded[3]);
    EXPECT_FALSE(r.flayer_loaded[0]);
    EXPECT_TRUE(same_bytes(r.tlayers[5], patterned(record_size::tlayer, 50 + 5)));
    EXPECT_TRUE(r.tlayer_loaded[5]);
    EXPECT_TRUE(same_bytes(r.lighting, patterned(record_size::lighting, 60)));
    EXPECT_TRUE(same_bytes(r.indicator_actions, patterned(record_size::indicator_actions, 70)));
    for (unsigned s = 0; s < initial_read_step_count; ++s) EXPECT_TRUE(w.is_read_done(s));

    // Disconnecting forgets what was read, so the next connection reads again.
    w.disconnect_device();
    EXPECT_FALSE(w.is_read_done(0));
    EXPECT_FALSE(r.flayer_loaded[3]);
}

TEST_F(InitialRead, BootloaderGetsNoReadAndHearsOnlyMaintenanceStatus) {
    auto kb = add_manual_keyboard(kind_usb_boot);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    EXPECT_FALSE(w.is_task_busy());
    wait_until([] { return false; }, std::chrono::milliseconds(30));
    EXPECT_TRUE(kb->requests().empty());

    kb->reply_record(cmd::read_layer_state, 0, std::vector<uint8_t>(record_size::layer_state, 7));
    kb->reply_record(cmd::maintenance_status, 0, {31});
    ASSERT_TRUE(wait_until([&] { return w.records().maintenance_status[0] == 31; }));
    EXPECT_EQ(w.records().layer_state[0], 0);
    EXPECT_FALSE(w.is_read_done(4));
}

TEST_F(InitialRead, ChunkedReplyWithALostMiddleChunkIsDroppedAndALaterCopyAccepted) {
    auto kb = add_manual_keyboard(kind_usb);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    kb->reply_record(cmd::read_scan_params, 0, patterned(record_size::scan_params, 0));
    kb->reply_record(cmd::read_ble_support, 0, {0});
    kb->reply_record(cmd::read_ble_params, 0, patterned(record_size::ble_params, 0));
    packet::packet64 p;
    ASSERT_TRUE(kb->wait_request(4, p));
    ASSERT_EQ(packet::command_of(p.data()), cmd::read_layout);

    auto broken = manual_keyboard::record_chunks(cmd::read_layout, 0, patterned(record_size::kb_layout, 1));
    ASSERT_GT(broken.size(), 3u);
    broken.erase(broken.begin() + long(broken.size() / 2));
    for (const auto& c : broken) kb->send_packet(c);
    wait_until([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_FALSE(w.is_read_done(3));
    EXPECT_EQ(kb->requests().size(), 4u);
    EXPECT_EQ(w.records().kb_layout[0], 0);

    kb->reply_record(cmd::read_layout, 0, patterned(record_size::kb_layout, 9));
    ASSERT_TRUE(kb->wait_request(5, p));
    EXPECT_EQ(packet::command_of(p.data()), cmd::read_layer_state);
    EXPECT_TRUE(w.is_read_done(3));
    EXPECT_EQ(w.records().kb_layout[0], 9);
    EXPECT_EQ(w.records().kb_layout[record_size::kb_layout - 1], uint8_t(9 + record_size::kb_layout - 1));
}

TEST_F(InitialRead, AKeyboardThatNeverAnswersKeepsTheToolBusyUntilDisconnected) {
    auto kb = add_manual_keyboard(kind_rf_receiver);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    wait_until([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(kb->requests().size(), 1u);
    EXPECT_TRUE(w.is_task_busy());
    w.disconnect_device();
    EXPECT_FALSE(w.is_task_busy());
}

TEST_F(InitialRead, ReplyStillQueuedWhenTheWindowClosesIsNotHandled) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    kb->reply_record(cmd::layer_state_changed, 0, std::vector<uint8_t>(record_size::layer_state, 6));
    // The reply is in the link's queue; its message has not been handled.
    for (int i = 0; i < 2000 && w.active_link()->pending_replies() == 0; ++i) QThread::msleep(1);
    ASSERT_EQ(w.active_link()->pending_replies(), 1u);
    w.close();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.records().layer_state[0], 0);
}

using Sending = window_test;

TEST_F(Sending, RefusesWithTheMessageThatSaysWhy) {
    struct refusal {
        const char* situation;
        std::function<void(Tmain_form&, manual_keyboard&)> prepare;
        uint32_t command;
        const char* message; // null: no message
    };
    const refusal cases[] = {
        {"command out of range", [](Tmain_form&, manual_keyboard&) {}, 232, nullptr},
        {"no device connected", [](Tmain_form& w, manual_keyboard&) { w.disconnect_device(); }, 49,
         "尚未与设备连接，请在设备列表页面选择一个设备用于连接！"},
        {"busy", [](Tmain_form& w, manual_keyboard&) { w.set_busy(2, 1); }, 49, "当前通信繁忙，请稍后再试。"},
        {"threads ended",
         [](Tmain_form& w, manual_keyboard& kb) {
             kb.unplug();
             // The link notices on its next read; its message is not handled yet.
             for (int i = 0; i < 2000 && w.active_link()->is_running(); ++i) QThread::msleep(1);
         },
         49, "与设备的连接出现错误，数据收发线程未启动！您应该在设备列表页面重新选择一个设备用于连接。"},
        {"send queue full",
         [](Tmain_form& w, manual_keyboard&) {
             // Queued without waking the writer, until nothing fits.
             while (w.active_link()->queue_command(cmd::read_battery, 0, 0, 0, false) == 0) {
             }
         },
         49, "数据传输出现错误！请重试或者在设备列表页面重新选择一个设备用于连接。"},
    };
    for (const refusal& c : cases) {
        SCOPED_TRACE(c.situation);
        window_.reset();
        dialogs_.messages.clear();
        std::shared_ptr<manual_keyboard> kb;
        Tmain_form& w = open_read(kb);
        kb->clear_received();
        c.prepare(w, *kb);
        const bool was_busy = w.is_busy();
        EXPECT_EQ(w.send_command(c.command, 0, 0, 0, 0, true), 1);
        const uint8_t data[10] = {};
        EXPECT_EQ(w.send_block(c.command == 232 ? 232 : cmd::write_layer_state, 0, data, sizeof data, 0, true), 1);
        if (c.message) {
            ASSERT_EQ(dialogs_.messages.size(), 2);
            EXPECT_EQ(dialogs_.messages[0], QString::fromUtf8(c.message));
            EXPECT_EQ(dialogs_.messages[1], QString::fromUtf8(c.message));
        } else {
            EXPECT_TRUE(dialogs_.messages.isEmpty());
        }
        // A refused send leaves the busy state as it was.
        EXPECT_EQ(w.is_busy(), was_busy);
        window_.reset();
        for (const auto& r : kb->received()) EXPECT_NE(packet::command_of(&r[1]), cmd::write_layer_state);
        transport_->remove(kb);
    }
}

TEST_F(Sending, BlockWithoutDataIsRefusedSilently) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    const uint8_t data[4] = {};
    EXPECT_EQ(w.send_block(cmd::write_layer_state, 0, data, 0, 0, true), 1);
    EXPECT_EQ(w.send_block(cmd::write_layer_state, 0, nullptr, 4, 0, true), 1);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    EXPECT_FALSE(w.is_busy());
}

TEST_F(Sending, WriteEndsTheBusyStateWhenSentAndAReadWhenAnswered) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    kb->clear_received();

    // A write without a reply: the indicator stops once the queue is empty.
    const std::vector<uint8_t> state = {2, 1, 1, 0, 0, 0, 0, 0, 0, 4};
    ASSERT_EQ(w.send_block(cmd::write_layer_state, 0, state.data(), uint32_t(state.size()), 0, true), 0);
    EXPECT_TRUE(w.is_busy());
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    ASSERT_EQ(kb->received().size(), 1u);
    EXPECT_TRUE(std::equal(state.begin(), state.end(), kb->received()[0].begin() + 1 + packet::off_block_data));

    // Blocks queued without the kick leave the indicator alone until the last.
    const std::vector<uint8_t> layer = patterned(record_size::flayer, 3);
    ASSERT_EQ(w.send_block(cmd::write_flayer, 1, layer.data(), uint32_t(layer.size()), 0, false), 0);
    EXPECT_FALSE(w.is_busy());
    ASSERT_EQ(w.send_block(cmd::write_flayer, 2, layer.data(), uint32_t(layer.size()), 0, true), 0);
    EXPECT_TRUE(w.is_busy());
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    EXPECT_EQ(kb->received().size(), 1u + 2 * 30);

    // A read that awaits its reply keeps the indicator running after sending.
    const uint8_t layer_shown = uint8_t(cur_flayer(w));
    ASSERT_EQ(w.send_command(cmd::read_flayer, layer_shown, 0, 0, 1, true), 0);
    packet::packet64 p;
    ASSERT_TRUE(kb->wait_request(62, p));
    wait_until([] { return false; }, std::chrono::milliseconds(30));
    EXPECT_TRUE(w.is_busy());
    kb->reply_record(cmd::read_flayer, layer_shown, patterned(record_size::flayer, 77));
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    EXPECT_TRUE(w.records().flayer_loaded[layer_shown]);
    EXPECT_EQ(w.records().flayers[layer_shown][0], 77);
}

TEST_F(Sending, KeyboardGoneDuringAWriteReturnsToTheList) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    w.action("drive_config")->trigger();
    kb->unplug();
    const uint8_t state[10] = {};
    w.send_block(cmd::write_layer_state, 0, state, sizeof state, 0, true);
    ASSERT_TRUE(wait_until([&] { return w.active_link() == nullptr; }));
    EXPECT_FALSE(w.is_busy());
    EXPECT_EQ(w.current_card(), c_device_list);
}

TEST_F(Sending, NoticesFromTheKeyboardAreKept) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    kb->reply_record(cmd::layer_state_changed, 0, {4, 1, 0, 1, 0, 0, 0, 0, 0, 2});
    kb->reply_record(cmd::bkl_effect, 0, {9});
    kb->reply_record(cmd::rhythm_state, 0, {1});
    ASSERT_TRUE(wait_until([&] { return w.records().rhythm_state[0] == 1; }));
    EXPECT_EQ(w.records().layer_state[0], 4);
    EXPECT_EQ(w.records().layer_state[9], 2);
    EXPECT_EQ(w.records().bkl_effect[0], 9);
    EXPECT_FALSE(w.is_busy());
}

using VirtualKeyboardRead = window_test;

TEST_F(VirtualKeyboardRead, ConnectingFillsEveryRecordFromTheKeyboard) {
    folder_.write("Skin.ini", "[AutoConnKB]\r\nEnable=1\r\n");
    auto kb = add_keyboard(kind_usb, "Full Board", 0x0105);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_NE(w.active_link(), nullptr);
    ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy(); }));
    const uint8_t expected_battery = kb->record(cmd::read_battery)[0];
    ASSERT_TRUE(wait_until([&] { return w.battery()->level() == expected_battery; }));

    const keyboard_records& r = w.records();
    EXPECT_TRUE(same_bytes(r.scan_params, kb->record(cmd::read_scan_params)));
    EXPECT_EQ(r.ble_support, kb->record(cmd::read_ble_support)[0]);
    EXPECT_TRUE(same_bytes(r.ble_params, kb->record(cmd::read_ble_params)));
    EXPECT_TRUE(same_bytes(r.kb_layout, kb->record(cmd::read_layout)));
    EXPECT_TRUE(same_bytes(r.layer_state, kb->record(cmd::read_layer_state)));
    const uint8_t fl = r.layer_state[layer_state::off_default_flayer];
    const uint8_t tl = r.layer_state[layer_state::off_active_tlayer];
    EXPECT_TRUE(same_bytes(r.flayers[fl], kb->record(cmd::read_flayer, fl)));
    EXPECT_TRUE(same_bytes(r.tlayers[tl], kb->record(cmd::read_tlayer, tl)));
    EXPECT_TRUE(same_bytes(r.lighting, kb->record(cmd::read_lighting)));
    EXPECT_TRUE(same_bytes(r.indicator_actions, kb->record(cmd::read_indicator_actions)));
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("QVK Dual Mode Keyboard Tools V1.1--->(Full Board[USB])"));
    // Pages open now.
    w.action("fl_0")->trigger();
    EXPECT_EQ(w.current_card(), c_flayer_edit);
}

TEST_F(VirtualKeyboardRead, LostChunkLeavesTheReadWaitingUntilDisconnected) {
    auto kb = add_keyboard(kind_ble, "B");
    kb->drop_chunk(cmd::read_layout, 7);
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    ASSERT_TRUE(wait_until([&] { return w.is_read_done(2); }));
    wait_until([] { return false; }, std::chrono::milliseconds(150));
    EXPECT_FALSE(w.is_read_done(3));
    EXPECT_TRUE(w.is_task_busy());
    // The user gives up: disconnecting ends the busy state; connecting again
    // reads everything.
    w.device_picture_double_click(0);
    EXPECT_FALSE(w.is_task_busy());
    w.device_picture_double_click(0);
    ASSERT_TRUE(wait_until([&] { return w.initial_read_finished(); }));
}

TEST_F(VirtualKeyboardRead, RestartIntoTheBootloaderIsFoundAgainAsABootloader) {
    auto kb = add_keyboard(kind_usb, "K");
    Tmain_form& w = open_window();
    detect_and_probe();
    ASSERT_FALSE(w.connect_device(0));
    ASSERT_TRUE(wait_until([&] { return w.initial_read_finished() && !w.is_busy(); }));
    ASSERT_EQ(w.send_command(cmd::start_bootloader, 0, 0, 0, 0, true), 0);
    ASSERT_TRUE(wait_until([&] { return w.active_link() == nullptr; }));
    ASSERT_TRUE(wait_until([&] { return w.device_list().shown_kind(0) == kind_usb_boot; }, std::chrono::seconds(4)));
    EXPECT_EQ(w.device_list().label(0)->text(), "K[USB BL]");
}

using PageReads = window_test;

TEST_F(PageReads, BrokenOrStrayRepliesEndTheAwaitedReadWithoutStoring) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    struct read_case {
        uint8_t command;
        uint32_t sub;
        size_t size;
        bool broken;
        bool stored;
    };
    const read_case cases[] = {
        {cmd::read_macro, 5, record_size::macro_group, true, false},
        {cmd::read_macro, 5, record_size::macro_group, false, true},
        {cmd::read_macro, 100, record_size::macro_group, false, false},
        {cmd::read_flayer, 9, record_size::flayer, false, false},
        {cmd::read_tlayer, 2, record_size::tlayer, true, false},
        {cmd::read_custom_picture, 31, record_size::custom_picture, false, true},
        {cmd::read_custom_picture, 32, record_size::custom_picture, false, false},
    };
    uint8_t seed = 100;
    for (const read_case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.command) << " sub " << c.sub << (c.broken ? " broken" : ""));
        ++seed;
        ASSERT_EQ(w.send_command(c.command, uint8_t(c.sub), 0, 0, 1, true), 0);
        auto chunks = manual_keyboard::record_chunks(c.command, c.sub, patterned(c.size, seed));
        if (c.broken) chunks.erase(chunks.begin() + 1);
        for (const auto& p : chunks) kb->send_packet(p);
        ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
        // The rest of a broken reply still comes in; each chunk is dropped.
        wait_until([] { return false; }, std::chrono::milliseconds(50));
        const keyboard_records& r = w.records();
        bool stored = false;
        switch (c.command) {
        case cmd::read_macro: stored = c.sub < 100 && r.macros[c.sub][0] == seed; break;
        case cmd::read_flayer: stored = std::any_of(r.flayers.begin(), r.flayers.end(), [&](const auto& l) { return l[0] == seed; }); break;
        case cmd::read_tlayer: stored = r.tlayer_loaded[c.sub]; break;
        case cmd::read_custom_picture: stored = r.custom_picture[0] == seed && r.custom_picture_number == c.sub; break;
        }
        EXPECT_EQ(stored, c.stored);
    }
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(PageReads, FailedWriteShowsTheSendErrorAndEndsTheBusyState) {
    std::shared_ptr<manual_keyboard> kb;
    Tmain_form& w = open_read(kb);
    w.set_busy(2, 1);
    QCoreApplication::postEvent(&w, new link_event(msg::send_done, 1, 0));
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.is_busy());
    ASSERT_EQ(dialogs_.messages.size(), 1);
    EXPECT_EQ(dialogs_.messages[0], QString::fromUtf8("数据发送错误！"));
}

} // namespace
} // namespace qvk::testing
