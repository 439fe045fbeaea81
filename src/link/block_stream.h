#pragma once
// The chunks of one long block, produced one at a time: a block longer than
// the send queue is queued piece by piece as the queue drains, and every
// chunk carries the position, index and total length of the whole block.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/packet.h"

namespace qvk {

class block_stream {
public:
    // A block the framing cannot carry (empty, or longer than the 22-bit
    // total) is done from the start and yields nothing.
    block_stream(uint8_t command, uint32_t sub, const uint8_t* data, size_t length);

    bool framable() const { return framable_; }
    bool done() const { return offset_ >= data_.size() || !framable_; }
    // The next chunk; call only while not done.
    packet::packet64 next();
    uint32_t chunks_total() const;
    uint32_t chunks_left() const;

private:
    uint8_t command_;
    uint32_t sub_;
    std::vector<uint8_t> data_;
    bool framable_;
    size_t offset_ = 0;
    uint32_t index_ = 0;
};

} // namespace qvk
