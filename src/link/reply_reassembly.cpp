#include "link/reply_reassembly.h"

#include <algorithm>
#include <cstring>

#include "link/packet.h"

namespace qvk {

int reply_reassembly::add(uint8_t command, uint32_t capacity, const uint8_t* p, std::vector<uint8_t>& record,
                          uint32_t& sub) {
    auto& slot = slots_[command];
    if (!slot) slot = std::make_unique<data_rebuild>(capacity);
    const int r = slot->add_chunk(p);
    if (r == data_rebuild::complete) {
        record.assign(capacity, 0);
        std::memcpy(record.data(), slot->data(), std::min<size_t>(capacity, slot->buffer_size()));
        sub = packet::chunk_sub_of(p);
    }
    if (r != data_rebuild::more) slots_.erase(command);
    return r;
}

} // namespace qvk
