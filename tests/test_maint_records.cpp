// The firmware file checks, the settings records' fields and the device-name
// rule, and the chunk stream that carries a block longer than the send queue.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/block_stream.h"
#include "link/command_catalogue.h"
#include "link/data_rebuild.h"
#include "link/hidconnect.h"
#include "link/link_kind.h"
#include "link_fakes.h"
#include "sim/virtual_keyboard.h"
#include "maint/device_settings.h"
#include "maint/firmware_file.h"

namespace qvk::testing {
namespace {

using bytes = std::vector<uint8_t>;

bytes pattern(size_t n, uint8_t seed) {
    bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i * 7);
    return b;
}

TEST(FirmwareFile, Crc8OfTheCheckStringIsA2) {
    const std::string check = "123456789";
    EXPECT_EQ(firmware::crc8({reinterpret_cast<const uint8_t*>(check.data()), check.size()}), 0xA2);
    EXPECT_EQ(firmware::crc8({}), 0x00);
}

TEST(FirmwareFile, EachDamageIsFoundByItsOwnCheckInOrder) {
    const bytes good = firmware::make_keyboard_file(pattern(400, 3), 0x0105);
    const bytes rf = firmware::make_receiver_file(pattern(400, 3), 0x0105);
    struct damage {
        const char* what;
        bytes file;
        uint32_t kind;
        firmware::fault before_question;
        firmware::fault fields;
    };
    auto with = [](bytes f, size_t at, uint8_t v) {
        f[at] = v;
        return f;
    };
    bytes longer = good;
    longer.push_back(0);
    bytes flipped = good;
    flipped[100] ^= 0x01;
    // Generator and markers wrong at once: the generator is reported first.
    bytes two_faults = with(with(good, 1, 0x02), 4, 0);
    const damage cases[] = {
        {"valid keyboard file", good, kind_usb, firmware::fault::none, firmware::fault::none},
        {"valid on every keyboard kind", good, kind_rf_receiver, firmware::fault::none, firmware::fault::none},
        {"valid on the USB bootloader", good, kind_usb_boot, firmware::fault::none, firmware::fault::none},
        {"valid receiver file", rf, kind_rf_boot, firmware::fault::none, firmware::fault::none},
        {"generator", with(good, 0, 0x01), kind_usb, firmware::fault::generator, firmware::fault::none},
        {"two faults", two_faults, kind_usb, firmware::fault::generator, firmware::fault::none},
        {"keyboard file on the 2.4 GHz bootloader", good, kind_rf_boot, firmware::fault::target,
         firmware::fault::none},
        {"receiver file on USB", rf, kind_usb, firmware::fault::target, firmware::fault::none},
        {"receiver file on the USB bootloader", rf, kind_usb_boot, firmware::fault::target, firmware::fault::none},
        {"one byte too long", longer, kind_usb, firmware::fault::size, firmware::fault::none},
        {"header only, too short", bytes(good.begin(), good.begin() + 20), kind_usb, firmware::fault::size,
         firmware::fault::none},
        {"empty file", bytes{}, kind_usb, firmware::fault::generator, firmware::fault::none},
        {"flipped payload byte", flipped, kind_usb, firmware::fault::crc, firmware::fault::none},
        {"marker FE", with(good, 4, 0xFD), kind_usb, firmware::fault::markers, firmware::fault::none},
        {"marker FF", with(good, 5, 0x00), kind_usb, firmware::fault::markers, firmware::fault::none},
        {"field 13 is 256", with(good, 14, 1), kind_usb, firmware::fault::none, firmware::fault::fields},
        {"field 17 is 256", with(good, 18, 1), kind_usb, firmware::fault::none, firmware::fault::fields},
        {"field 13 is 255", with(good, 13, 0xFF), kind_usb, firmware::fault::none, firmware::fault::none},
    };
    for (const damage& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(firmware::check_file(c.file, c.kind), c.before_question);
        EXPECT_EQ(firmware::check_fields(c.file), c.fields);
    }
}

TEST(FirmwareFile, OlderVersionAsksExceptOnTheUsbBootloader) {
    const bytes file = firmware::make_keyboard_file(pattern(60, 1), 0x0105);
    EXPECT_TRUE(firmware::older_than_running(file, kind_usb, 0x0106));
    EXPECT_TRUE(firmware::older_than_running(file, kind_ble, 0x0200));
    EXPECT_FALSE(firmware::older_than_running(file, kind_usb, 0x0105));
    EXPECT_FALSE(firmware::older_than_running(file, kind_usb_boot, 0x0200));
}

TEST(FirmwareFile, WhatTravelsOnEachLinkKind) {
    const bytes payload = pattern(130, 9);
    const bytes rf = firmware::make_receiver_file(payload, 0x0101);
    const auto image = firmware::image_to_send(rf, kind_rf_boot);
    EXPECT_EQ(bytes(image.begin(), image.end()), payload);
    const auto header = firmware::receiver_header(rf, kind_rf_boot);
    ASSERT_EQ(header.size(), 16u);
    EXPECT_TRUE(firmware::receiver_image_ok(header, payload));
    EXPECT_TRUE(firmware::receiver_header(rf, kind_usb_boot).empty());
    const bytes kb = firmware::make_keyboard_file(payload, 0x0101);
    EXPECT_EQ(firmware::image_to_send(kb, kind_usb).size(), kb.size());
    EXPECT_TRUE(firmware::keyboard_image_ok(kb));
}

TEST(SettingsRecords, FieldsSitAtTheirOffsets) {
    std::array<uint8_t, 9> scan{};
    settings::set_u16(scan, settings::scan::off_debounce, 0x0110);
    settings::set_u16(scan, settings::scan::off_sleep, 60);
    EXPECT_EQ(scan[1], 0x10);
    EXPECT_EQ(scan[2], 0x01);
    EXPECT_EQ(scan[7], 60);
    EXPECT_EQ(settings::get_u16(scan, settings::scan::off_debounce), 0x0110);

    std::array<uint8_t, 149> ble{};
    auto e3 = settings::entry(ble, 3);
    e3[settings::ble::off_own_mac] = 0xBC;
    e3[settings::ble::off_own_mac + 5] = 0xD2;
    EXPECT_EQ(ble[3 * 17 + 1], 0xBC);
    EXPECT_EQ(ble[3 * 17 + 6], 0xD2);
    const uint8_t mac[6] = {0xBC, 0x9A, 0x78, 0x56, 0x34, 0xD2};
    EXPECT_EQ(settings::mac_text(mac), "D2-34-56-78-9A-BC");
}

TEST(SettingsRecords, TimeListAndPowerItems) {
    const auto& l = settings::time_list();
    EXPECT_EQ(l.front(), 20);
    EXPECT_EQ(l[1], 40);
    EXPECT_EQ(l[2], 50);
    EXPECT_EQ(l[37], 400);
    EXPECT_EQ(l[38], 450);
    EXPECT_EQ(l.back(), 1000);
    EXPECT_EQ(settings::tx_power_index(-8), 0u);
    EXPECT_EQ(settings::tx_power_index(8), 9u);
    EXPECT_FALSE(settings::tx_power_index(1));
}

TEST(SettingsRecords, NameRuleCountsBytesInTheKeyboardsCodePage) {
    struct name_case {
        std::string name;
        size_t length;
        bool fits;
    };
    std::string han12, han13;
    for (int i = 0; i < 12; ++i) han12 += "键";
    han13 = han12 + "键";
    const name_case cases[] = {
        {std::string(24, 'a'), 24, true},
        {std::string(25, 'a'), 25, false},
        {"", 0, false},
        {han12, 24, true},
        {han13, 26, false},
        {std::string(23, 'a') + "键", 25, false},
    };
    for (const name_case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = settings::make_name_payload(c.name);
        EXPECT_EQ(p.length, c.length);
        EXPECT_EQ(p.fits(), c.fits);
        if (c.fits) {
            EXPECT_EQ(p.bytes[24], 0);
        }
    }
    const auto p = settings::make_name_payload("键A");
    EXPECT_EQ(p.bytes[0], 0xBC); // GBK 键 = BC FC
    EXPECT_EQ(p.bytes[1], 0xFC);
    EXPECT_EQ(p.bytes[2], 'A');
    EXPECT_EQ(p.bytes[3], 0);
}

TEST(BlockStream, ChunksOfABlockLongerThanTheQueueReassembleWhole) {
    const bytes block = pattern(300000, 5);
    block_stream s(7, 0, block.data(), block.size());
    EXPECT_EQ(s.chunks_total(), (300000u + 51) / 52);
    data_rebuild r(uint32_t(block.size()));
    int result = data_rebuild::more;
    uint32_t n = 0;
    while (!s.done()) {
        result = r.add_chunk(s.next().data());
        ++n;
        if (!s.done()) {
            ASSERT_EQ(result, data_rebuild::more);
        }
    }
    EXPECT_EQ(n, s.chunks_total());
    EXPECT_EQ(s.chunks_left(), 0u);
    ASSERT_EQ(result, data_rebuild::complete);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), r.data()));
    EXPECT_FALSE(block_stream(7, 0, block.data(), 0).framable());
}

TEST(StreamedBlock, ArrivesWholeInOrderWithNothingQueuedBetweenItsChunks) {
    using namespace std::chrono_literals;
    auto device = std::make_shared<sim::virtual_keyboard>(kind_usb_boot, "Stream", 0x0100);
    device->set_report_interval(0us);
    auto transport = std::make_shared<sim::virtual_transport>();
    transport->add(device);
    device_bus bus;
    bus.add(transport);
    recording_sink sink;
    hidconnect link(&sink, kind_usb_boot, 0, device->open_path(), bus);
    ASSERT_TRUE(link.is_open());
    ASSERT_FALSE(link.start());

    const bytes image = firmware::make_keyboard_file(pattern(300000 - 32, 2), 0x0200);
    const uint32_t chunks = uint32_t((image.size() + 51) / 52);
    ASSERT_GT(chunks, hidconnect::queue_slots);
    ASSERT_EQ(link.stream_block(cmd::firmware_image, 0, uint32_t(image.size()), image.data(), true), 0);
    // While the block streams, anything else would land between its chunks.
    EXPECT_TRUE(link.streaming());
    EXPECT_EQ(link.queue_command(cmd::read_battery, 0, 0, 0, true), 1);
    const uint8_t small[9] = {};
    EXPECT_EQ(link.queue_block(cmd::write_scan_params, 0, sizeof small, small, true), 1);
    EXPECT_EQ(link.stream_block(cmd::firmware_image, 0, uint32_t(image.size()), image.data(), true), 1);

    ASSERT_TRUE(device->wait_received(chunks, 30s));
    // One message for the queue running empty, at the very end.
    ASSERT_TRUE(sink.wait_for(msg::send_done));
    EXPECT_EQ(sink.count(msg::send_done), 1u);
    EXPECT_EQ(link.sent_count(), chunks);
    EXPECT_FALSE(link.streaming());
    const auto images = device->messages_of(cmd::firmware_image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].data, image);
    EXPECT_EQ(device->received_count(), chunks);
    // Once streamed, the link queues as before.
    EXPECT_EQ(link.queue_command(cmd::read_battery, 0, 0, 0, true), 0);
}

} // namespace
} // namespace qvk::testing
