// The virtual keyboard driven through a real link: every read command gets
// a reply of the right form and size from the records it holds, writes land
// in those records, notifications reach the link, the maintenance sequence
// restarts the device into the right mode, and each fault switch does what
// a misbehaving keyboard would.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <thread>

#include "link/battery_reply.h"
#include "link/command_catalogue.h"
#include "link/data_rebuild.h"
#include "link/hid_detect_dev.h"
#include "link/hidconnect.h"
#include "link/link_kind.h"
#include "link_fakes.h"
#include "sim/default_records.h"
#include "maint/firmware_file.h"
#include "sim/virtual_keyboard.h"

namespace qvk::testing {
namespace {

using namespace std::chrono_literals;
using bytes = std::vector<uint8_t>;

// What the link received for one command: a single report's 56 payload
// bytes, or a reassembled long block with the sub value of its chunks.
struct reply {
    uint8_t command = 0;
    bool chunked = false;
    uint32_t sub = 0;
    bytes data;
    bool reassembled = true;   // false: the chunks did not go back together
    bool subs_consistent = true;
};

bytes pattern(size_t n, uint8_t seed) {
    bytes v(n);
    for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 7);
    return v;
}

bytes slice(const bytes& v, size_t offset, size_t n) { return bytes(v.begin() + offset, v.begin() + offset + n); }

// A virtual keyboard of one kind with a started link to it.
class keyboard : public ::testing::Test {
protected:
    void make(uint32_t kind, std::string name = "QVK Test") {
        device = std::make_shared<sim::virtual_keyboard>(kind, std::move(name), 0x0105);
        device->set_report_interval(0us);
        device->set_restart_pause(20ms);
        transport = std::make_shared<sim::virtual_transport>();
        transport->add(device);
        bus = device_bus{};
        bus.add(transport);
        connect();
    }
    void SetUp() override { make(kind_usb); }

    void connect() {
        link.reset();
        link = std::make_unique<hidconnect>(&sink, device->kind(), 0, device->open_path(), bus);
        ASSERT_TRUE(link->is_open());
        ASSERT_FALSE(link->start());
    }

    // Pops the next reply packet; nullopt when none came within the timeout.
    std::optional<packet::packet64> next_packet(std::chrono::milliseconds timeout = 5s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (link->pending_replies() == 0) {
            if (std::chrono::steady_clock::now() > end) return std::nullopt;
            std::this_thread::sleep_for(1ms);
        }
        packet::packet64 p;
        link->pop_reply(p.data());
        return p;
    }

    // The next complete reply, whatever its command.
    std::optional<reply> next_reply() {
        auto p = next_packet();
        if (!p) return std::nullopt;
        reply r;
        r.command = packet::command_of(p->data());
        if (packet::chunk_length_of(p->data()) == 0) {
            r.data.assign(p->begin() + 8, p->end());
            return r;
        }
        r.chunked = true;
        r.sub = packet::chunk_sub_of(p->data());
        data_rebuild rebuild(packet::total_length_of(p->data()));
        int result = rebuild.add_chunk(p->data());
        while (result == data_rebuild::more) {
            p = next_packet();
            if (!p) return std::nullopt;
            r.subs_consistent &= packet::chunk_sub_of(p->data()) == r.sub && packet::command_of(p->data()) == r.command;
            result = rebuild.add_chunk(p->data());
        }
        r.reassembled = result == data_rebuild::complete;
        r.data.assign(rebuild.data(), rebuild.data() + rebuild.received());
        return r;
    }

    std::optional<reply> ask(uint8_t command, uint8_t sub = 0) {
        EXPECT_EQ(link->queue_command(command, sub, 0, 0, true), 0);
        return next_reply();
    }

    void send(uint8_t command, uint8_t sub = 0, uint16_t value16 = 0, uint32_t value32 = 0) {
        ASSERT_EQ(link->queue_command(command, sub, value16, value32, true), 0);
    }
    void send_block(uint8_t command, uint8_t sub, const bytes& data) {
        ASSERT_EQ(link->queue_block(command, sub, uint32_t(data.size()), data.data(), true), 0);
    }
    // The device takes reports in order: once the Bluetooth support reply is
    // back, everything sent before it has been handled.
    void settle() {
        auto r = ask(cmd::read_ble_support);
        ASSERT_TRUE(r);
        ASSERT_EQ(r->command, cmd::read_ble_support);
    }

    bool wait_listed(uint32_t kind) {
        for (int i = 0; i < 500; ++i) {
            hid_detect_dev d(bus);
            d.search();
            if (d.count() == 1 && d.kind_of(0) == kind && d.open_path_of(0) == device->open_path()) return true;
            std::this_thread::sleep_for(2ms);
        }
        return false;
    }

    recording_sink sink;
    std::shared_ptr<sim::virtual_keyboard> device;
    std::shared_ptr<sim::virtual_transport> transport;
    device_bus bus;
    std::unique_ptr<hidconnect> link;
};

// ---------------------------------------------------------------- reads

struct read_case {
    uint8_t command;
    uint8_t sub;
    size_t size;
    bool chunked;
};

TEST_F(keyboard, EveryReadCommandIsAnsweredWithItsRecordInTheRightForm) {
    const read_case cases[] = {
        {cmd::read_scan_params, 0, record_size::scan_params, false},
        {cmd::read_ble_support, 0, record_size::ble_support, false},
        {cmd::read_layer_state, 0, record_size::layer_state, false},
        {cmd::read_indicator_actions, 0, record_size::indicator_actions, false},
        {cmd::read_battery, 0, record_size::battery, false},
        {cmd::read_trigger_mode, 0, record_size::trigger_mode, false},
        {cmd::read_ble_params, 0, record_size::ble_params, true},
        {cmd::read_layout, 0, record_size::kb_layout, true},
        {cmd::read_flayer, 0, record_size::flayer, true},
        {cmd::read_flayer, 7, record_size::flayer, true},
        {cmd::read_tlayer, 5, record_size::tlayer, true},
        {cmd::read_lighting, 0, record_size::lighting, true},
        {cmd::read_custom_picture, 31, record_size::custom_picture, true},
        {cmd::read_macro, 99, record_size::macro_group, true},
    };
    for (const read_case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "command " << int(c.command) << " sub " << int(c.sub));
        // Make each record distinct so a reply of the wrong record or sub shows.
        const bytes mine = pattern(c.size, uint8_t(c.command + c.sub));
        ASSERT_TRUE(device->set_record(c.command, c.sub, mine));
        auto r = ask(c.command, c.sub);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->command, c.command);
        EXPECT_EQ(r->chunked, c.chunked);
        ASSERT_TRUE(r->reassembled);
        if (c.chunked) {
            EXPECT_EQ(r->sub, c.sub);
            EXPECT_TRUE(r->subs_consistent);
            EXPECT_EQ(r->data, mine);
        } else {
            EXPECT_EQ(slice(r->data, 0, c.size), mine);
            EXPECT_TRUE(std::all_of(r->data.begin() + c.size, r->data.end(), [](uint8_t b) { return b == 0; }));
        }
    }
}

TEST_F(keyboard, ChunkedRepliesAreFramedLikeTheToolsOwnBlocks) {
    // 1536 bytes: 29 chunks of 52 and a last one of 28, indexes counting up.
    ASSERT_EQ(link->queue_command(cmd::read_flayer, 3, 0, 0, true), 0);
    for (uint32_t i = 0; i < 30; ++i) {
        auto p = next_packet();
        ASSERT_TRUE(p);
        EXPECT_EQ(packet::type_of(p->data()), packet::packet_type);
        EXPECT_EQ(packet::command_of(p->data()), cmd::read_flayer);
        EXPECT_EQ(packet::total_length_of(p->data()), 1536u);
        EXPECT_EQ(packet::chunk_index_of(p->data()), i);
        EXPECT_EQ(packet::chunk_sub_of(p->data()), 3u);
        EXPECT_EQ(packet::chunk_length_of(p->data()), i < 29 ? 52u : 28u);
        EXPECT_EQ(packet::position_of(p->data()), i == 0 ? packet::first : i < 29 ? packet::middle : packet::last);
    }
    EXPECT_FALSE(next_packet(50ms));
}

TEST_F(keyboard, ReadsOfLayersPicturesOrGroupsThatDoNotExistGoUnanswered) {
    const std::pair<uint8_t, uint8_t> missing[] = {
        {cmd::read_flayer, 8}, {cmd::read_tlayer, 8}, {cmd::read_custom_picture, 32}, {cmd::read_macro, 100}};
    for (auto [command, sub] : missing) send(command, sub);
    auto r = ask(cmd::read_ble_support);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->command, cmd::read_ble_support);
}

TEST_F(keyboard, BatteryReplyCarriesPercentAndLittleEndianDoubleVolts) {
    auto r = ask(cmd::read_battery);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->data[0], 76);
    EXPECT_DOUBLE_EQ(battery_reply::voltage_of(r->data.data()), 3.95);
}

TEST_F(keyboard, BootloadersAnswerDeviceInformationButHoldNoRecords) {
    for (uint32_t kind : {kind_usb_boot, kind_rf_boot}) {
        SCOPED_TRACE(kind);
        make(kind, "QVK BL");
        send(cmd::read_scan_params);
        send(hidconnect::command_device_info);
        ASSERT_TRUE(sink.wait_for(msg::device_info, kind == kind_usb_boot ? 1 : 2));
        EXPECT_EQ(link->device_name(), "QVK BL");
        EXPECT_EQ(link->get_firmware_version(), 0x0105);
        EXPECT_EQ(link->pending_replies(), 0u); // no reply to 31
    }
}

// ---------------------------------------------------------------- writes

struct block_case {
    uint8_t write;
    uint8_t sub;
    size_t size;
    uint8_t read;
    uint8_t read_sub;
    size_t offset; // where the block lands in the read record
};

TEST_F(keyboard, EveryBlockWriteLandsExactlyInItsRecord) {
    const block_case cases[] = {
        {cmd::write_scan_params, 0, 9, cmd::read_scan_params, 0, 0},
        {cmd::write_mac_table, 0, 136, cmd::read_ble_params, 0, 0},
        {cmd::write_flayer, 3, 1536, cmd::read_flayer, 3, 0},
        {cmd::write_tlayer, 6, 1520, cmd::read_tlayer, 6, 0},
        {cmd::write_indicator_actions, 0, 27, cmd::read_indicator_actions, 0, 0},
        {cmd::write_custom_data, 17, 624, cmd::read_custom_picture, 17, 0},
        {cmd::write_ambient_group, 4, 81, cmd::read_lighting, 0, 487 + 81 * 4},
        {cmd::write_indicator_lights, 0, 24, cmd::read_lighting, 0, 973},
        {cmd::write_beads, 0, 128, cmd::read_lighting, 0, 359},
        {cmd::write_macro, 42, 2048, cmd::read_macro, 42, 0},
        {cmd::write_trigger_mode, 0, 32, cmd::read_trigger_mode, 0, 0},
    };
    for (const block_case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "command " << int(c.write) << " sub " << int(c.sub));
        const bytes before = device->record(c.read, c.read_sub);
        const bytes neighbour = c.read_sub > 0 ? device->record(c.read, c.read_sub - 1) : bytes{};
        const bytes data = pattern(c.size, uint8_t(0x40 + c.write));
        send_block(c.write, c.sub, data);
        auto r = ask(c.read, c.read_sub);
        ASSERT_TRUE(r);
        bytes expected = before;
        std::copy(data.begin(), data.end(), expected.begin() + c.offset);
        EXPECT_EQ(slice(r->data, 0, expected.size()), expected);
        EXPECT_EQ(device->record(c.read, c.read_sub), expected);
        if (c.read_sub > 0) {
            EXPECT_EQ(device->record(c.read, c.read_sub - 1), neighbour);
        }
    }
}

TEST_F(keyboard, CustomEffectSettingsGoToTheGroupNamedInTheirFirstByte) {
    bytes block = pattern(13, 0x90);
    block[0] = 6;
    const bytes before = device->record(cmd::read_lighting);
    send_block(cmd::custom_bkl_settings, 0, block);
    settle();
    bytes expected = before;
    std::copy(block.begin() + 1, block.end(), expected.begin() + 998 + 12 * 6);
    EXPECT_EQ(device->record(cmd::read_lighting), expected);

    block[0] = 8; // no such group
    send_block(cmd::custom_bkl_settings, 0, block);
    settle();
    EXPECT_EQ(device->record(cmd::read_lighting), expected);
}

TEST_F(keyboard, LayerStateIsStoredUnlessItNamesALayerThatDoesNotExist) {
    const bytes good = {4, 1, 0, 1, 0, 1, 0, 0, 1, 7};
    send_block(cmd::write_layer_state, 0, good);
    auto r = ask(cmd::read_layer_state);
    ASSERT_TRUE(r);
    EXPECT_EQ(slice(r->data, 0, 10), good);
    for (const bytes& bad : {bytes{8, 1, 0, 0, 0, 0, 0, 0, 0, 0}, bytes{0, 1, 0, 0, 0, 0, 0, 0, 0, 8}}) {
        send_block(cmd::write_layer_state, 0, bad);
        settle();
        EXPECT_EQ(device->record(cmd::read_layer_state), good);
    }
}

TEST_F(keyboard, BlocksOfTheWrongLengthChangeNothing) {
    const bytes layer = device->record(cmd::read_flayer, 2);
    send_block(cmd::write_flayer, 2, pattern(1535, 1));
    send_block(cmd::write_flayer, 2, pattern(1537, 1));
    const bytes lighting = device->record(cmd::read_lighting);
    send_block(cmd::write_ambient_group, 6, pattern(81, 1)); // group 6 does not exist
    settle();
    EXPECT_EQ(device->record(cmd::read_flayer, 2), layer);
    EXPECT_EQ(device->record(cmd::read_lighting), lighting);
}

TEST_F(keyboard, BrokenBlocksAreDroppedAndTheNextOneTakenWhole) {
    auto raw = transport->open(device->open_path());
    ASSERT_TRUE(raw);
    auto chunks_of = [](const bytes& data, uint8_t sub) {
        std::vector<packet::packet64> out;
        packet::segment_block(cmd::write_flayer, sub, data.data(), data.size(), [&](const packet::packet64& c) {
            out.push_back(c);
            return true;
        });
        return out;
    };
    auto write = [&](const packet::packet64& p) {
        packet::report65 r{};
        std::copy(p.begin(), p.end(), r.begin() + 1);
        ASSERT_EQ(raw->write(r.data(), r.size()), 65);
    };
    const bytes before = device->record(cmd::read_flayer, 1);
    const auto cut = chunks_of(pattern(1536, 9), 1);
    write(cut[0]); // a block that stops after two chunks ...
    write(cut[1]);
    const auto gap = chunks_of(pattern(1536, 10), 1);
    for (size_t i = 0; i < gap.size(); ++i) // ... and one with a chunk missing
        if (i != 7) write(gap[i]);
    settle();
    EXPECT_EQ(device->record(cmd::read_flayer, 1), before);
    EXPECT_TRUE(device->messages_of(cmd::write_flayer).empty());

    const bytes whole = pattern(1536, 77);
    for (const auto& c : chunks_of(whole, 1)) write(c);
    settle();
    EXPECT_EQ(device->record(cmd::read_flayer, 1), whole);
}

struct short_case {
    uint8_t command;
    uint8_t sub;
    uint16_t value16;
    uint32_t value32;
    uint8_t read;
    size_t offset;
    bytes expected;
};

TEST_F(keyboard, ShortWritesChangeTheirFieldsOfTheRecords) {
    // Effect 5 supports centre correction, so speed, parameter and centre
    // commands after 54 land in its record at 7 + 20 x 5.
    const size_t e5 = 7 + 20 * 5;
    const short_case cases[] = {
        {cmd::set_ble_slot, 5, 0, 0, cmd::read_ble_params, 136, {5}},
        {cmd::set_ble_sleep, 1, 1200, 0, cmd::read_ble_params, 146, {1, 0xB0, 0x04}},
        {cmd::set_ble_sleep, 0, 300, 0, cmd::read_ble_params, 146, {0, 0x2C, 0x01}},
        {cmd::set_ble_power, 0xFC, 0, 0, cmd::read_ble_params, 145, {0xFC}},
        {cmd::bkl_driver_current, 201, 0, 0, cmd::read_lighting, 3, {201}},
        {cmd::bkl_red, 11, 0, 0, cmd::read_lighting, 4, {11}},
        {cmd::bkl_green, 22, 0, 0, cmd::read_lighting, 5, {22}},
        {cmd::bkl_blue, 33, 0, 0, cmd::read_lighting, 6, {33}},
        {cmd::bkl_effect, 5, 0, 0, cmd::read_lighting, 1, {5}},
        {cmd::bkl_speed, 0, 0x0123, 0, cmd::read_lighting, e5, {0x23, 0x01}},
        {cmd::bkl_parameter, 7, 0, 0, cmd::read_lighting, e5 + 6, {7}},
        {cmd::bkl_centre_correction, 0, 0, 0, cmd::read_lighting, e5 + 10, {0xFF}},
        {cmd::bkl_centre_correction, 1, 2, 0, cmd::read_lighting, e5 + 11, {1}},
        {cmd::bkl_master_switch, 0, 0, 0, cmd::read_lighting, 2, {0}},
        {cmd::rhythm_gains, 0, 500, 1500, cmd::read_lighting, 1127, {0xF4, 0x01, 0xDC, 0x05}},
    };
    for (const short_case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "command " << int(c.command) << " sub " << int(c.sub));
        const bytes before = device->record(c.read);
        send(c.command, c.sub, c.value16, c.value32);
        settle();
        bytes expected = before;
        std::copy(c.expected.begin(), c.expected.end(), expected.begin() + c.offset);
        EXPECT_EQ(device->record(c.read), expected);
    }
}

TEST_F(keyboard, ShortWritesOutsideWhatTheKeyboardHasChangeNothing) {
    const uint8_t effects = device->record(cmd::read_lighting)[0];
    const std::tuple<uint8_t, uint8_t, uint16_t> refused[] = {
        {cmd::bkl_effect, effects, 0},          // no such effect
        {cmd::bkl_centre_correction, 0, 2},     // effect 0 has no centre correction
        {cmd::set_ble_slot, 8, 0},              // eight slots only
    };
    for (auto [command, sub, value16] : refused) {
        SCOPED_TRACE(int(command));
        const bytes lighting = device->record(cmd::read_lighting);
        const bytes ble = device->record(cmd::read_ble_params);
        send(command, sub, value16);
        settle();
        EXPECT_EQ(device->record(cmd::read_lighting), lighting);
        EXPECT_EQ(device->record(cmd::read_ble_params), ble);
    }
    // A custom effect has no parameter.
    send(cmd::bkl_effect, uint8_t(effects - 1));
    settle();
    const bytes lighting = device->record(cmd::read_lighting);
    send(cmd::bkl_parameter, 9);
    settle();
    EXPECT_EQ(device->record(cmd::read_lighting), lighting);
}

TEST_F(keyboard, CustomEffectSpeedGoesToItsGroupRecord) {
    const uint8_t builtin = uint8_t(device->record(cmd::read_lighting)[0] - 8);
    send(cmd::bkl_effect, uint8_t(builtin + 2)); // custom effect 2
    send(cmd::bkl_speed, 0, 0x0177);
    settle();
    EXPECT_EQ(device->record(cmd::read_lighting)[998 + 12 * 2 + 1], 0x77);
}

TEST_F(keyboard, NameWriteChangesTheDeviceInformation) {
    bytes name(25, 0);
    const std::string text = "Desk Board";
    std::copy(text.begin(), text.end(), name.begin());
    send_block(cmd::write_name, 0, name);
    send(hidconnect::command_device_info);
    ASSERT_TRUE(sink.wait_for(msg::device_info));
    EXPECT_EQ(link->device_name(), "Desk Board");
    EXPECT_EQ(device->name(), "Desk Board");
}

TEST_F(keyboard, LongNamesAreCutWithoutSplittingACharacter) {
    device->set_name("键盘键盘键盘键盘键盘键盘A"); // 12 two-byte characters fill 24 bytes
    send(hidconnect::command_device_info);
    ASSERT_TRUE(sink.wait_for(msg::device_info));
    EXPECT_EQ(link->device_name(), "键盘键盘键盘键盘键盘键盘");
    device->set_name("A键盘键盘键盘键盘键盘键盘"); // the last character would need bytes 24 and 25
    send(hidconnect::command_device_info);
    ASSERT_TRUE(sink.wait_for(msg::device_info, 2));
    EXPECT_EQ(link->device_name(), "A键盘键盘键盘键盘键盘键");
}

TEST_F(keyboard, EmptyNameIsAnsweredAsEmpty) {
    device->set_name("");
    send(hidconnect::command_device_info);
    ASSERT_TRUE(sink.wait_for(msg::device_info));
    EXPECT_EQ(link->device_name(), "");
    EXPECT_EQ(link->get_firmware_version(), 0x0105);
}

TEST_F(keyboard, EveryMessageIsRecordedWithBlocksReassembled) {
    const bytes layer = pattern(1536, 3);
    send_block(cmd::write_flayer, 4, layer);
    send(cmd::rhythm_step, 1);
    send(cmd::system_volume, 64);
    const bytes frame = pattern(27, 5);
    send_block(cmd::spectrum_frame, 0, frame);
    settle();
    const auto all = device->messages();
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].command, cmd::write_flayer);
    EXPECT_TRUE(all[0].chunked);
    EXPECT_EQ(all[0].sub, 4u);
    EXPECT_EQ(all[0].data, layer);
    EXPECT_EQ(all[1].command, cmd::rhythm_step);
    EXPECT_EQ(all[1].sub, 1u);
    EXPECT_EQ(all[2].sub, 64u);
    EXPECT_TRUE(all[3].block);
    EXPECT_FALSE(all[3].chunked);
    EXPECT_EQ(slice(all[3].data, 0, 27), frame);
    EXPECT_EQ(device->messages_of(cmd::system_volume).size(), 1u);
}

// ---------------------------------------------------------------- notifications

TEST_F(keyboard, NotificationsReachTheLinkAndUpdateTheRecords) {
    const bytes state = {2, 1, 1, 1, 0, 0, 0, 0, 0, 3};
    device->notify_layer_state(state);
    auto r = next_reply();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->command, cmd::layer_state_changed);
    EXPECT_EQ(slice(r->data, 0, 10), state);
    EXPECT_EQ(device->record(cmd::read_layer_state), state);

    device->notify_rhythm_state(2);
    r = next_reply();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->command, cmd::rhythm_state);
    EXPECT_EQ(r->data[0], 2);

    const std::tuple<uint8_t, uint8_t, uint16_t, size_t> backlight[] = {
        {cmd::bkl_driver_current, 90, 0, 3}, {cmd::bkl_effect, 4, 0, 1}, {cmd::bkl_master_switch, 0, 0, 2}};
    for (auto [command, sub, value16, offset] : backlight) {
        device->notify_backlight(command, sub, value16);
        r = next_reply();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->command, command);
        EXPECT_EQ(r->data[0], sub);
        EXPECT_EQ(device->record(cmd::read_lighting)[offset], sub);
    }
    device->notify_backlight(cmd::bkl_speed, 0, 0x0321); // effect 4's speed
    r = next_reply();
    ASSERT_TRUE(r);
    EXPECT_EQ(sim::read_u16(&r->data[1]), 0x0321);
    EXPECT_EQ(sim::read_u16(&device->record(cmd::read_lighting)[7 + 20 * 4]), 0x0321);

    device->notify_status(sim::status::hardware_erased);
    r = next_reply();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->command, cmd::maintenance_status);
    EXPECT_EQ(r->data[0], sim::status::hardware_erased);
}

// ---------------------------------------------------------------- maintenance

TEST_F(keyboard, BootloaderRoundTripRestoresFactoryRecords) {
    // A changed layer, to see the factory defaults come back.
    const bytes factory_layer = device->record(cmd::read_flayer, 0);
    send_block(cmd::write_flayer, 0, pattern(1536, 1));
    bytes name(25, 0);
    name[0] = 'X';
    send_block(cmd::write_name, 0, name);
    settle();

    send(cmd::start_bootloader);
    ASSERT_TRUE(sink.wait_for(msg::link_lost));
    ASSERT_TRUE(wait_listed(kind_usb_boot));
    EXPECT_NE(device->id_string().find("pid_2021"), std::string::npos);
    connect();
    auto r = ask(cmd::factory_defaults);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->command, cmd::maintenance_status);
    EXPECT_EQ(r->data[0], sim::status::defaults_restored);
    EXPECT_EQ(device->record(cmd::read_flayer, 0), factory_layer);
    EXPECT_EQ(device->name(), "QVK Test");

    send(cmd::start_keyboard);
    ASSERT_TRUE(sink.wait_for(msg::link_lost, 2));
    ASSERT_TRUE(wait_listed(kind_usb));
    connect();
    r = ask(cmd::read_flayer, 0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->data, factory_layer);
}

TEST_F(keyboard, OnlyTheUsbKeyboardRestartsIntoTheBootloader) {
    for (uint32_t kind : {kind_ble, kind_rf_receiver}) {
        make(kind);
        send(cmd::start_bootloader);
        send(cmd::factory_defaults); // not in keyboard mode either
        settle();
        EXPECT_EQ(device->kind(), kind);
        EXPECT_EQ(link->pending_replies(), 0u);
    }
}

TEST_F(keyboard, ReceiverBootloaderStartsTheReceiver) {
    make(kind_rf_boot);
    send(cmd::start_keyboard);
    ASSERT_TRUE(sink.wait_for(msg::link_lost));
    ASSERT_TRUE(wait_listed(kind_rf_receiver));
}

TEST_F(keyboard, FirmwareTransferInKeyboardMode) {
    const bytes good = firmware::make_keyboard_file(pattern(3000, 11), 0x0207);
    auto r = ask(cmd::prepare_firmware);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->command, cmd::maintenance_status);
    EXPECT_EQ(r->data[0], sim::status::ready_for_image);
    send_block(cmd::firmware_image, 0, good);
    r = next_reply();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->data[0], sim::status::image_stored);

    send(cmd::start_upgrade);
    ASSERT_TRUE(sink.wait_for(msg::link_lost));
    ASSERT_TRUE(wait_listed(kind_usb));
    connect();
    send(hidconnect::command_device_info);
    ASSERT_TRUE(sink.wait_for(msg::device_info));
    EXPECT_EQ(link->get_firmware_version(), 0x0207);
}

TEST_F(keyboard, DamagedImagesAreAnsweredWithADataError) {
    const bytes good = firmware::make_keyboard_file(pattern(500, 2), 0x0200);
    bytes bad_crc = good;
    bad_crc.back() ^= 1;
    bytes short_file = good;
    short_file.pop_back();
    bytes wrong_target = good;
    wrong_target[2] = 0x22;
    bytes wrong_generator = good;
    wrong_generator[1] = 2;
    bytes wrong_marker = good;
    wrong_marker[4] = 0;
    bytes big_field = good;
    big_field[14] = 1; // field at 13 becomes 256
    for (const bytes& image : {bad_crc, short_file, wrong_target, wrong_generator, wrong_marker, big_field}) {
        auto r = ask(cmd::prepare_firmware);
        ASSERT_TRUE(r);
        send_block(cmd::firmware_image, 0, image);
        r = next_reply();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->command, cmd::maintenance_status);
        EXPECT_EQ(r->data[0], sim::status::data_error);
    }
    // An image that was not announced with command 71 is refused too.
    send_block(cmd::firmware_image, 0, good);
    auto r = next_reply();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->data[0], sim::status::data_error);
    // A refused image is never installed.
    send(cmd::start_upgrade);
    ASSERT_TRUE(sink.wait_for(msg::link_lost));
    ASSERT_TRUE(wait_listed(kind_usb));
    EXPECT_EQ(device->firmware_version(), 0x0105);
}

TEST_F(keyboard, UsbBootloaderTakesTheImageDirectlyAndReportsTheUpdate) {
    make(kind_usb_boot);
    send_block(cmd::firmware_image, 0, firmware::make_keyboard_file(pattern(100, 4), 0x0300));
    auto r = next_reply();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->data[0], sim::status::image_stored);
    r = ask(cmd::start_upgrade);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->data[0], sim::status::firmware_updated);
    EXPECT_EQ(device->firmware_version(), 0x0300);
}

TEST_F(keyboard, ReceiverBootloaderWantsItsHeaderBeforeThePayload) {
    make(kind_rf_boot);
    const bytes payload = pattern(700, 8);
    const bytes file = firmware::make_receiver_file(payload, 0x0300);
    const bytes header(file.begin() + 32, file.begin() + 48);
    send_block(cmd::firmware_image, 0, payload);
    auto r = next_reply();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->data[0], sim::status::data_error);
    // The header tells the payload's length and CRC: a payload cut short or
    // with a flipped byte is a data error.
    bytes cut = payload;
    cut.pop_back();
    bytes flipped = payload;
    flipped[300] ^= 0x40;
    for (const bytes& damaged : {cut, flipped}) {
        send_block(cmd::rf_firmware_header, 0, header);
        send_block(cmd::firmware_image, 0, damaged);
        r = next_reply();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->data[0], sim::status::data_error);
    }
    send_block(cmd::rf_firmware_header, 0, header);
    send_block(cmd::firmware_image, 0, payload);
    r = next_reply();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->data[0], sim::status::image_stored);
}

// ---------------------------------------------------------------- faults

TEST_F(keyboard, ACommandSetNeverToBeAnsweredGetsNoReply) {
    device->never_answer(cmd::read_scan_params);
    send(cmd::read_scan_params);
    auto r = ask(cmd::read_ble_support);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->command, cmd::read_ble_support);
    device->clear_faults();
    r = ask(cmd::read_scan_params);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->command, cmd::read_scan_params);
}

TEST_F(keyboard, ADroppedChunkBreaksOnlyTheNextReply) {
    device->drop_chunk(cmd::read_layout, 5);
    auto r = ask(cmd::read_layout);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->reassembled);
    // The reassembly stopped at chunk 6; the rest of that reply is still
    // queued and ends in its last chunk.
    while (auto p = next_packet(100ms))
        if (packet::position_of(p->data()) == packet::last) break;
    r = ask(cmd::read_layout);
    ASSERT_TRUE(r);
    ASSERT_TRUE(r->reassembled);
    EXPECT_EQ(r->data, device->record(cmd::read_layout));
}

TEST_F(keyboard, UnplugAfterCountsTheReportsThatStillArrive) {
    device->unplug_after(3);
    for (int i = 0; i < 5; ++i) link->queue_command(cmd::rhythm_step, uint8_t(i), 0, 0, true);
    ASSERT_TRUE(sink.wait_for(msg::link_lost));
    EXPECT_EQ(device->received_count(), 3u);
    EXPECT_FALSE(device->plugged());
    EXPECT_FALSE(transport->open(device->open_path()));
}

TEST_F(keyboard, ALinkLostToUnpluggingStaysLostAfterPluggingBackIn) {
    auto raw = transport->open(device->open_path());
    ASSERT_TRUE(raw);
    device->unplug();
    device->plug();
    uint8_t buf[65] = {};
    EXPECT_EQ(raw->read(buf, sizeof buf, 10), -1);
    EXPECT_EQ(raw->write(buf, sizeof buf), -1);
    EXPECT_TRUE(transport->open(device->open_path()));
}

// ---------------------------------------------------------------- report IDs

TEST_F(keyboard, RepliesCarryTheReportIdOfTheLinkKind) {
    for (uint32_t kind : {kind_usb, kind_ble, kind_rf_receiver}) {
        SCOPED_TRACE(kind);
        make(kind);
        link.reset();
        auto raw = transport->open(device->open_path());
        ASSERT_TRUE(raw);
        packet::report65 request{};
        request[0] = kind == kind_ble ? 6 : 0;
        const auto p = packet::make_short_command(cmd::read_ble_support, 0, 0, 0);
        std::copy(p.begin(), p.end(), request.begin() + 1);
        ASSERT_EQ(raw->write(request.data(), request.size()), 65);
        packet::report65 got{};
        ASSERT_EQ(raw->read(got.data(), got.size(), 2000), 65);
        EXPECT_EQ(got[0], kind == kind_ble ? 6 : 0);
        EXPECT_EQ(got[1 + 5], cmd::read_ble_support);
    }
}

} // namespace
} // namespace qvk::testing
