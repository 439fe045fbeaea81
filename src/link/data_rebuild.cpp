#include "link/data_rebuild.h"

#include <cstring>

#include "link/packet.h"

namespace qvk {

data_rebuild::data_rebuild(uint32_t capacity) {
    if (capacity != 0) {
        buffer_size_ = size_t(capacity) + 1024;
        buffer_ = std::make_unique<uint8_t[]>(buffer_size_);
    }
}

int data_rebuild::add_chunk(const uint8_t* p) {
    using namespace packet;
    if (!p) return error;
    const chunk_position pos = position_of(p);
    const uint32_t index = chunk_index_of(p);
    if (pos == first) {
        total_ = total_length_of(p);
        received_ = 0;
        last_index_ = 0;
        started_ = true;
    }
    if (!started_ || !buffer_) return error;
    if (pos != first && index != last_index_ + 1) return error;

    // A chunk carries at most 52 bytes after its header; a larger length
    // field would read past the packet.
    const uint32_t length = chunk_length_of(p);
    if (length > chunk_data_max) return error;
    if (size_t(received_) + length > buffer_size_) return error;

    std::memcpy(buffer_.get() + received_, p + off_chunk_data, length);
    received_ += length;
    last_index_ = index;

    if (pos == last) return received_ == total_ ? complete : error;
    return more;
}

} // namespace qvk
