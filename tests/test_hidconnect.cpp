// A link's life against the virtual keyboard: what it posts, in which order,
// and that its threads always end.

#include <gtest/gtest.h>

#include <algorithm>

#include "common/text_codec.h"
#include "link/hidconnect.h"
#include "link/link_kind.h"
#include "link_fakes.h"
#include "sim/virtual_keyboard.h"

namespace qvk::testing {
namespace {

using namespace std::chrono_literals;

class Link : public ::testing::Test {
protected:
    void SetUp() override {
        device = std::make_shared<sim::virtual_keyboard>(kind_usb, "K", 0x0102);
        device->set_report_interval(0us);
        transport = std::make_shared<sim::virtual_transport>();
        transport->add(device);
        bus.add(transport);
    }
    std::unique_ptr<hidconnect> started_link(uint32_t index = 0) {
        auto l = std::make_unique<hidconnect>(&sink, kind_usb, index, device->open_path(), bus);
        EXPECT_TRUE(l->is_open());
        EXPECT_FALSE(l->start());
        return l;
    }
    recording_sink sink;
    std::shared_ptr<sim::virtual_keyboard> device;
    std::shared_ptr<sim::virtual_transport> transport;
    device_bus bus;
};

TEST_F(Link, ReportsReachTheDeviceInQueueOrder) {
    auto link = started_link(2);
    for (uint8_t i = 0; i < 200; ++i) ASSERT_EQ(link->queue_command(40, i, 0, 0, false), 0);
    ASSERT_EQ(link->kick(), 0);
    ASSERT_TRUE(device->wait_received(200, 5s));
    const auto got = device->received();
    ASSERT_EQ(got.size(), 200u);
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i][1 + 8], uint8_t(i));

    // Every write posts one message: 3046 with the reports written so far
    // while more are queued, 3045 with wParam 0 when the queue ran empty.
    // The writer may drain the queue before the loop above has filled it,
    // so 3045 can also come early; only the last write must end with it.
    auto writes = [](const std::vector<posted>& all) {
        std::vector<posted> w;
        for (const posted& p : all)
            if (p.message == msg::send_progress || (p.message == msg::send_done && p.wparam == 0)) w.push_back(p);
        return w;
    };
    ASSERT_TRUE(sink.wait_until([&](const std::vector<posted>& all) { return writes(all).size() >= 200; }));
    EXPECT_EQ(link->sent_count(), 200u);
    const auto w = writes(sink.all());
    ASSERT_EQ(w.size(), 200u);
    EXPECT_EQ(w.back().message, msg::send_done);
    for (size_t k = 0; k < w.size(); ++k) {
        if (w[k].message == msg::send_progress) {
            EXPECT_EQ(w[k].wparam, 2u) << k;                 // device index
            EXPECT_EQ(w[k].lparam, intptr_t(k + 1)) << k;    // written so far
        } else {
            EXPECT_EQ(w[k].lparam, 2) << k;                  // device index
        }
    }
}

TEST_F(Link, DeviceInformationIsStoredAndAnnounced) {
    device->set_name("Q");
    auto link = started_link(3);
    ASSERT_EQ(link->queue_command(hidconnect::command_device_info, 0, 0, 0, true), 0);
    ASSERT_TRUE(sink.wait_for(msg::device_info));
    EXPECT_EQ(link->device_name(), "Q");
    EXPECT_EQ(link->get_firmware_version(), 0x0102);
    for (const posted& p : sink.all()) {
        if (p.message == msg::device_info) {
            EXPECT_EQ(p.wparam, 3u);
        }
    }
    EXPECT_EQ(link->pending_replies(), 0u); // not queued as a reply
}

TEST_F(Link, DeviceNameEndsBeforeTheVersionBytes) {
    auto link = started_link();
    packet::packet64 info{};
    info[0] = 2;
    info[5] = hidconnect::command_device_info;
    std::fill(info.begin() + 8, info.end(), uint8_t('E')); // no NUL anywhere
    info[33] = 'C';                                         // version, not text
    info[34] = 'D';
    device->send_packet(info);
    ASSERT_TRUE(sink.wait_for(msg::device_info));
    EXPECT_EQ(link->device_name(), std::string(25, 'E'));
    EXPECT_EQ(link->get_firmware_version(), 0x4443);
}

TEST_F(Link, ChineseNamesAreDecodedFromTheKeyboardsCodePage) {
    device->set_name("键盘");
    auto link = started_link();
    link->queue_command(hidconnect::command_device_info, 0, 0, 0, true);
    ASSERT_TRUE(sink.wait_for(msg::device_info));
    EXPECT_EQ(link->device_name(), "键盘");
}

TEST_F(Link, OnlyPacketsOfTypeTwoAreTakenAndRepliesComeOutWhole) {
    auto link = started_link();
    packet::packet64 wrong = packet::make_short_command(40, 1, 0, 0);
    wrong[0] = 0x13; // type 3
    packet::packet64 wrong_info = packet::make_short_command(hidconnect::command_device_info, 0, 0, 0);
    wrong_info[0] = 0x00;
    wrong_info[8] = 'X';
    packet::packet64 good{};
    for (size_t i = 0; i < good.size(); ++i) good[i] = uint8_t(0x80 + i);
    good[0] = 0x22; // type 2 in the low nibble, whatever lies above it
    good[5] = 40;
    device->send_packet(wrong);
    device->send_packet(wrong_info);
    device->send_packet(good);
    // The reader takes reports in the order they were sent, so once the good
    // one is announced the wrong ones have been looked at and passed over.
    ASSERT_TRUE(sink.wait_for(msg::report_queued));
    EXPECT_EQ(sink.count(msg::report_queued), 1u);
    EXPECT_EQ(sink.count(msg::device_info), 0u);
    EXPECT_EQ(link->device_name(), "");
    EXPECT_EQ(link->pending_replies(), 1u);
    packet::packet64 got;
    got.fill(0xEE);
    ASSERT_FALSE(link->pop_reply(got.data()));
    EXPECT_EQ(got, good); // all 64 packet bytes, without the report ID
    got.fill(0xEE);
    EXPECT_TRUE(link->pop_reply(got.data())); // nothing more
    EXPECT_EQ(got[0], 0xEE);
}

TEST_F(Link, DestroyingAStartedLinkEndsBothThreadsSilently) {
    auto link = started_link();
    ASSERT_TRUE(link->is_running());
    link.reset(); // a read is pending now
    EXPECT_EQ(device->open_handles(), 0u);
    EXPECT_EQ(sink.count(msg::link_lost), 0u);
}

TEST_F(Link, UnpluggingLosesTheLink) {
    auto link = started_link(5);
    device->unplug();
    ASSERT_TRUE(sink.wait_for(msg::link_lost));
    EXPECT_EQ(sink.all().back().wparam, 5u);
    // The link is marked down before the loss is announced.
    EXPECT_FALSE(link->is_running());
    EXPECT_EQ(link->kick(), 1);
    EXPECT_TRUE(link->start()); // a lost link does not come back
}

// What a keyboard's hidraw node delivers: the link's reports among the
// short reports of its other collections.
std::vector<uint8_t> link_report(uint8_t report_id, uint8_t mark) {
    const packet::packet64 p = packet::make_short_command(40, mark, 0, 0);
    std::vector<uint8_t> r{report_id};
    r.insert(r.end(), p.begin(), p.end());
    return r;
}
std::vector<uint8_t> packet_without_id(uint8_t mark) {
    const packet::packet64 p = packet::make_short_command(40, mark, 0, 0);
    return {p.begin(), p.end()};
}
const std::vector<uint8_t> consumer_volume_up{0x02, 0xE9, 0x00};
const std::vector<uint8_t> consumer_released{0x02, 0x00, 0x00};
const std::vector<uint8_t> boot_keyboard_a{0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00};

TEST(LinkInput, OnlyFullReportsOfTheLinksIdReachTheWindowInOrder) {
    struct row {
        const char* name;
        uint32_t kind;
        std::vector<std::vector<uint8_t>> reads;
    };
    // The marks 1, 2, 3 are the link's reports; 9 must not come through.
    const row rows[] = {
        {"Bluetooth, report ID 6", kind_ble,
         {consumer_volume_up, link_report(6, 1), boot_keyboard_a, consumer_released,
          link_report(0, 9), packet_without_id(9), link_report(6, 2), link_report(5, 9), link_report(6, 3)}},
        // hidraw gives a device without numbered reports its 64 bytes alone.
        {"USB, no report IDs", kind_usb,
         {packet_without_id(1), consumer_volume_up, link_report(0, 2), link_report(6, 9), boot_keyboard_a,
          packet_without_id(3)}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        auto transport = std::make_shared<fixed_transport>();
        transport->input = r.reads;
        device_bus bus;
        bus.add(transport);
        recording_sink sink;
        hidconnect link(&sink, r.kind, 0, "fixed:0", bus);
        ASSERT_FALSE(link.start());
        // Reads are taken in order, so once the last report is announced
        // everything before it has been looked at.
        ASSERT_TRUE(sink.wait_for(msg::report_queued, 3));
        EXPECT_EQ(sink.count(msg::report_queued), 3u);
        EXPECT_EQ(link.pending_replies(), 3u);
        for (uint8_t mark = 1; mark <= 3; ++mark) {
            packet::packet64 got;
            ASSERT_FALSE(link.pop_reply(got.data()));
            EXPECT_EQ(got, packet::make_short_command(40, mark, 0, 0));
        }
    }
}

// Links to interfaces that never deliver a report.
class LinkFailure : public ::testing::Test {
protected:
    void SetUp() override { bus.add(transport); }
    std::shared_ptr<fixed_transport> transport = std::make_shared<fixed_transport>();
    device_bus bus;
    recording_sink sink;
};

TEST_F(LinkFailure, AFailedWriteReportsTheErrorBeforeTheLoss) {
    transport->writes_fail = true;
    hidconnect link(&sink, kind_ble, 4, "fixed:0", bus);
    ASSERT_FALSE(link.start());
    ASSERT_EQ(link.queue_command(31, 0, 0, 0, true), 0);
    ASSERT_TRUE(sink.wait_for(msg::link_lost));
    const auto posted = sink.all();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].message, msg::send_done);
    EXPECT_EQ(posted[0].wparam, 1u);
    EXPECT_EQ(posted[0].lparam, 4);
    EXPECT_EQ(posted[1].message, msg::link_lost);
    EXPECT_EQ(posted[1].wparam, 4u);
    EXPECT_FALSE(link.is_running());
    EXPECT_EQ(link.kick(), 1);
}

TEST_F(LinkFailure, StartAndQueueRefusals) {
    hidconnect unopenable(&sink, kind_usb, 0, "fixed:unopenable", bus);
    EXPECT_FALSE(unopenable.is_open());
    EXPECT_TRUE(unopenable.start());
    hidconnect unknown_path(&sink, kind_usb, 0, "/nowhere/at/all", device_bus());
    EXPECT_FALSE(unknown_path.is_open());

    hidconnect no_kind(&sink, kind_none, 0, "fixed:0", bus);
    EXPECT_TRUE(no_kind.start());
    EXPECT_EQ(no_kind.queue_command(1, 0, 0, 0, false), 1);

    hidconnect link(&sink, kind_usb, 0, "fixed:0", bus);
    EXPECT_EQ(link.kick(), 1); // no writer yet
    EXPECT_FALSE(link.start());
    EXPECT_TRUE(link.start()); // already running
}

TEST_F(LinkFailure, ABlockThatDoesNotFitIsNotQueuedAtAll) {
    // A writer that is never woken keeps everything queued.
    hidconnect link(&sink, kind_usb, 0, "fixed:0", bus);
    std::vector<uint8_t> block(52 * 4000, 0x11);
    ASSERT_EQ(link.queue_block(7, 0, uint32_t(block.size()), block.data(), false), 0);
    // 96 slots are left; a block of 97 chunks is refused whole.
    std::vector<uint8_t> second(52 * 97, 0x22);
    EXPECT_EQ(link.queue_block(7, 0, uint32_t(second.size()), second.data(), false), 1);
    std::vector<uint8_t> fits(52 * 96, 0x33);
    EXPECT_EQ(link.queue_block(7, 0, uint32_t(fits.size()), fits.data(), false), 0);
    EXPECT_EQ(link.queue_command(2, 0, 0, 0, false), 1); // the queue is full now
}

} // namespace
} // namespace qvk::testing
