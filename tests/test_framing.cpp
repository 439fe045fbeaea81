// What reaches the wire for each kind of send, how replies of several
// chunks are put back together, and the fixed queues in between.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <thread>

#include "link/data_rebuild.h"
#include "link/hidconnect.h"
#include "link/link_kind.h"
#include "link/my_fifo_buff.h"
#include "link/packet.h"
#include "link_fakes.h"
#include "sim/virtual_keyboard.h"

namespace qvk::testing {
namespace {

using namespace std::chrono_literals;
using packet::read_u32;

// A started link to a virtual keyboard that reports without pauses.
struct wire {
    explicit wire(uint32_t kind = kind_usb) {
        device = std::make_shared<sim::virtual_keyboard>(kind, "K", 0x0100);
        device->set_report_interval(0us);
        transport = std::make_shared<sim::virtual_transport>();
        transport->add(device);
        bus.add(transport);
        link = std::make_unique<hidconnect>(&sink, kind, 0, device->open_path(), bus);
        EXPECT_TRUE(link->is_open());
        EXPECT_FALSE(link->start());
    }
    std::vector<packet::report65> expect_reports(size_t n) {
        EXPECT_TRUE(device->wait_received(n, 5s));
        return device->received();
    }
    recording_sink sink;
    std::shared_ptr<sim::virtual_keyboard> device;
    std::shared_ptr<sim::virtual_transport> transport;
    device_bus bus;
    std::unique_ptr<hidconnect> link;
};

std::vector<uint8_t> counting_bytes(size_t n) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), uint8_t(1));
    return v;
}

TEST(Framing, ShortCommandCarriesItsArgumentsAndNothingElse) {
    wire w;
    ASSERT_EQ(w.link->queue_command(231, 0xAB, 0x1234, 0xDEADBEEF, true), 0);
    const auto r = w.expect_reports(1)[0];
    packet::report65 expected{};
    expected[1] = 2;
    expected[1 + 5] = 231;
    expected[1 + 8] = 0xAB;
    expected[1 + 9] = 0x34;
    expected[1 + 10] = 0x12;
    expected[1 + 11] = 0xEF;
    expected[1 + 12] = 0xBE;
    expected[1 + 13] = 0xAD;
    expected[1 + 14] = 0xDE;
    EXPECT_EQ(r, expected);
    EXPECT_EQ(w.link->queue_command(232, 0, 0, 0, true), 1);
    EXPECT_EQ(w.link->queue_block(232, 0, 4, counting_bytes(4).data(), true), 1);
    EXPECT_EQ(w.link->queue_block(30, 0, 0, counting_bytes(1).data(), true), 1);
    EXPECT_EQ(w.link->queue_block(30, 0, 4, nullptr, true), 1);
}

TEST(Framing, BlocksUpTo56BytesTravelInOneReportWithoutSub) {
    wire w;
    const auto data = counting_bytes(56);
    ASSERT_EQ(w.link->queue_block(46, 7, 56, data.data(), true), 0);
    // No chunk header and no sub value: type, command, then the data.
    packet::report65 expected{};
    expected[1] = 2;
    expected[1 + 5] = 46;
    std::copy(data.begin(), data.end(), expected.begin() + 1 + 8);
    EXPECT_EQ(w.expect_reports(1)[0], expected);

    wire short_block;
    ASSERT_EQ(short_block.link->queue_block(46, 7, 1, data.data(), true), 0);
    packet::report65 one{};
    one[1] = 2;
    one[1 + 5] = 46;
    one[1 + 8] = data[0];
    EXPECT_EQ(short_block.expect_reports(1)[0], one);
}

TEST(Framing, LongBlocksAreCutIntoNumberedChunks) {
    struct row {
        size_t length;
        std::vector<uint32_t> chunk_lengths;
        std::vector<uint32_t> positions;
    };
    const row rows[] = {
        {57, {52, 5}, {0, 2}},
        {104, {52, 52}, {0, 2}},
        {160, {52, 52, 52, 4}, {0, 1, 1, 2}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.length);
        wire w;
        const auto data = counting_bytes(r.length);
        ASSERT_EQ(w.link->queue_block(42, 5, uint32_t(r.length), data.data(), true), 0);
        const auto reports = w.expect_reports(r.chunk_lengths.size());
        ASSERT_EQ(reports.size(), r.chunk_lengths.size());
        size_t offset = 0;
        for (size_t i = 0; i < reports.size(); ++i) {
            const uint8_t* p = &reports[i][1];
            EXPECT_EQ(p[0] & 0x0F, 2);
            EXPECT_EQ(packet::chunk_length_of(p), r.chunk_lengths[i]);
            EXPECT_EQ(read_u32(p) >> 10, r.length); // total in every chunk
            EXPECT_EQ(p[5], 42);
            const uint32_t word = read_u32(p + 8);
            EXPECT_EQ(word & 3, r.positions[i]);
            EXPECT_EQ((word >> 2) & 0xFFFFF, i);
            EXPECT_EQ(word >> 22, 5u); // sub value in every chunk
            EXPECT_TRUE(std::equal(data.begin() + long(offset), data.begin() + long(offset + r.chunk_lengths[i]),
                                   p + 12));
            EXPECT_EQ(p[4] | p[6] | p[7], 0); // reserved
            EXPECT_TRUE(std::all_of(p + 12 + r.chunk_lengths[i], p + 64, [](uint8_t b) { return b == 0; }));
            offset += r.chunk_lengths[i];
        }
    }
}

TEST(Framing, ReportIdFollowsTheLinkKind) {
    for (uint32_t kind : {kind_usb, kind_usb_boot, kind_ble, kind_rf_boot, kind_rf_receiver}) {
        wire w(kind);
        ASSERT_EQ(w.link->queue_command(1, 0, 0, 0, true), 0);
        EXPECT_EQ(w.expect_reports(1)[0][0], kind == kind_ble ? 6 : 0) << kind;
    }
    // A link of no known kind has no report ID: every send is refused, even
    // on an open interface.
    for (uint32_t kind : {uint32_t(kind_none), 6u}) {
        wire w;
        hidconnect odd(&w.sink, kind, 0, w.device->open_path(), w.bus);
        ASSERT_TRUE(odd.is_open());
        const auto data = counting_bytes(100);
        EXPECT_EQ(odd.queue_command(1, 0, 0, 0, false), 1) << kind;
        EXPECT_EQ(odd.queue_block(42, 0, 56, data.data(), false), 1) << kind;
        EXPECT_EQ(odd.queue_block(42, 0, 100, data.data(), false), 1) << kind;
    }
    EXPECT_EQ(report_id_for_kind(0), -1);
    EXPECT_EQ(report_id_for_kind(6), -1);
}

// A chunk as the keyboard would send it.
packet::packet64 chunk(uint32_t total, uint32_t index, packet::chunk_position pos, size_t length, uint8_t fill = 0x5A) {
    std::vector<uint8_t> data(length, fill);
    return packet::make_chunk(41, 3, total, index, pos, data.data(), length);
}

TEST(Reassembly, AcceptsOnlyACompleteOrderedChain) {
    using packet::first, packet::middle, packet::last;
    struct row {
        const char* what;
        std::vector<packet::packet64> chunks;
        std::vector<int> results;
    };
    auto long_chunk = chunk(60, 0, first, 52);
    long_chunk[0] = uint8_t((long_chunk[0] & 0x0F) | (60 & 0xF) << 4); // length field 60 > 52
    long_chunk[1] = uint8_t((long_chunk[1] & 0xFC) | (60 >> 4));
    const row rows[] = {
        {"first then last", {chunk(60, 0, first, 52), chunk(60, 1, last, 8)}, {1, 0}},
        {"last with a skipped index", {chunk(60, 0, first, 52), chunk(60, 2, last, 8)}, {1, 2}},
        {"middle before any first", {chunk(160, 1, middle, 52)}, {2}},
        {"last before any first", {chunk(8, 1, last, 8)}, {2}},
        {"total does not match", {chunk(70, 0, first, 52), chunk(70, 1, last, 8)}, {1, 2}},
        {"length field past the packet", {long_chunk}, {2}},
        {"a new first chunk starts again",
         {chunk(160, 0, first, 52), chunk(160, 1, middle, 52), chunk(60, 0, first, 52), chunk(60, 1, last, 8)},
         {1, 1, 1, 0}},
    };
    for (const row& r : rows) {
        data_rebuild rebuild(100);
        for (size_t i = 0; i < r.chunks.size(); ++i)
            EXPECT_EQ(rebuild.add_chunk(r.chunks[i].data()), r.results[i]) << r.what << " chunk " << i;
    }
}

TEST(Reassembly, NeverWritesPastItsBuffer) {
    // Capacity 52 holds 52 + 1024 = 1076 bytes: 20 chunks of 52 and one of
    // 36 fill it exactly; one byte more does not fit.
    data_rebuild rebuild(52);
    ASSERT_EQ(rebuild.buffer_size(), 1076u);
    ASSERT_EQ(rebuild.add_chunk(chunk(100000, 0, packet::first, 52).data()), 1);
    for (uint32_t i = 1; i < 20; ++i) ASSERT_EQ(rebuild.add_chunk(chunk(100000, i, packet::middle, 52).data()), 1);
    EXPECT_EQ(rebuild.add_chunk(chunk(100000, 20, packet::middle, 36).data()), 1);
    EXPECT_EQ(rebuild.add_chunk(chunk(100000, 21, packet::middle, 1).data()), 2);

    // A reply that fills the buffer to the last byte still completes.
    data_rebuild exact(52);
    ASSERT_EQ(exact.add_chunk(chunk(1076, 0, packet::first, 52).data()), 1);
    for (uint32_t i = 1; i < 20; ++i) ASSERT_EQ(exact.add_chunk(chunk(1076, i, packet::middle, 52).data()), 1);
    EXPECT_EQ(exact.add_chunk(chunk(1076, 20, packet::last, 36, 0x77).data()), 0);
    EXPECT_EQ(exact.data()[1075], 0x77);
    EXPECT_EQ(data_rebuild(0).add_chunk(chunk(60, 0, packet::first, 52).data()), 2);
    EXPECT_EQ(rebuild.add_chunk(nullptr), 2);
}

TEST(Reassembly, CompletedReplyHoldsTheBytesInOrder) {
    const auto data = counting_bytes(1536);
    std::vector<packet::packet64> chunks;
    packet::segment_block(41, 3, data.data(), data.size(), [&](const packet::packet64& p) {
        chunks.push_back(p);
        return true;
    });
    data_rebuild rebuild(1536);
    int result = -1;
    for (const auto& c : chunks) result = rebuild.add_chunk(c.data());
    ASSERT_EQ(result, 0);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), rebuild.data()));
    EXPECT_EQ(packet::chunk_sub_of(chunks.back().data()), 3u);
}

TEST(Fifo, FullRingRefusesEmptyRingLeavesOutputAlone) {
    MyFifoBuff fifo(3, 2);
    const uint8_t a[2] = {1, 1}, b[2] = {2, 2}, c[2] = {3, 3}, d[2] = {4, 4};
    EXPECT_TRUE(fifo.put(a));
    EXPECT_TRUE(fifo.put(b));
    EXPECT_TRUE(fifo.put(c));
    EXPECT_FALSE(fifo.put(d));
    EXPECT_EQ(fifo.size(), 3u);
    uint8_t out[2];
    ASSERT_TRUE(fifo.get(out));
    EXPECT_EQ(out[0], 1);
    EXPECT_TRUE(fifo.put(d)); // wraps around
    for (uint8_t want : {2, 3, 4}) {
        ASSERT_TRUE(fifo.get(out));
        EXPECT_EQ(out[0], want);
    }
    out[0] = 99;
    EXPECT_FALSE(fifo.get(out));
    EXPECT_EQ(out[0], 99);
    EXPECT_EQ(fifo.size(), 0u);
}

} // namespace
} // namespace qvk::testing
