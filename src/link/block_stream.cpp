#include "link/block_stream.h"

namespace qvk {

namespace {
uint32_t chunks_for(size_t bytes) {
    return uint32_t((bytes + packet::chunk_data_max - 1) / packet::chunk_data_max);
}
} // namespace

block_stream::block_stream(uint8_t command, uint32_t sub, const uint8_t* data, size_t length)
    : command_(command), sub_(sub), framable_(data && length != 0 && length <= packet::total_length_max) {
    if (framable_) data_.assign(data, data + length);
}

packet::packet64 block_stream::next() {
    const size_t rest = data_.size() - offset_;
    size_t n;
    packet::chunk_position pos;
    if (rest > packet::chunk_data_max) {
        n = packet::chunk_data_max;
        pos = index_ == 0 ? packet::first : packet::middle;
    } else {
        n = rest;
        pos = packet::last;
    }
    const packet::packet64 p =
        packet::make_chunk(command_, sub_, uint32_t(data_.size()), index_, pos, data_.data() + offset_, n);
    offset_ += n;
    ++index_;
    return p;
}

uint32_t block_stream::chunks_total() const { return chunks_for(data_.size()); }

uint32_t block_stream::chunks_left() const { return chunks_for(data_.size() - offset_); }

} // namespace qvk
