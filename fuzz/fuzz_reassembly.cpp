// Feeds arbitrary packets, as a keyboard might send them, to a reassembler
// and to the set of reassemblers the window keeps per reply command.
// Whatever arrives, nothing may read or write outside its buffers, a
// completed reply must never claim more bytes than the buffer holds, and a
// completed record always has exactly its record's size.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/command_catalogue.h"
#include "link/data_rebuild.h"
#include "link/packet.h"
#include "link/reply_reassembly.h"

namespace {

uint32_t capacity_of(uint8_t command) {
    using namespace qvk;
    switch (command) {
    case cmd::read_ble_params: return record_size::ble_params;
    case cmd::read_layout: return record_size::kb_layout;
    case cmd::read_flayer: return record_size::flayer;
    case cmd::read_tlayer: return record_size::tlayer;
    case cmd::read_lighting: return record_size::lighting;
    case cmd::read_custom_picture: return record_size::custom_picture;
    case cmd::read_macro: return record_size::macro_group;
    default: return command; // any other size, small ones included
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint32_t capacity = uint32_t(data[0] | data[1] << 8) % 5000;
    qvk::data_rebuild r(capacity);
    qvk::reply_reassembly replies;
    std::vector<uint8_t> record;
    data += 2;
    size -= 2;
    uint8_t p[qvk::packet::packet_size];
    while (size > 0) {
        const size_t n = size < sizeof p ? size : sizeof p;
        std::memset(p, 0, sizeof p);
        std::memcpy(p, data, n);
        data += n;
        size -= n;
        if (r.add_chunk(p) == qvk::data_rebuild::complete && r.received() > r.buffer_size()) std::abort();
        const uint8_t command = qvk::packet::command_of(p);
        uint32_t sub = 0;
        if (replies.add(command, capacity_of(command), p, record, sub) == qvk::data_rebuild::complete &&
            record.size() != capacity_of(command))
            std::abort();
    }
    return 0;
}
