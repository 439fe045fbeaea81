// Feeds arbitrary packets, as a keyboard might send them, to a reassembler.
// Whatever arrives, it must never read or write outside its buffers, and a
// completed reply must never claim more bytes than the buffer holds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "link/data_rebuild.h"
#include "link/packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint32_t capacity = uint32_t(data[0] | data[1] << 8) % 5000;
    qvk::data_rebuild r(capacity);
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
    }
    return 0;
}
