#include "link/my_fifo_buff.h"

#include <cstring>

namespace qvk {

MyFifoBuff::MyFifoBuff(uint32_t slots, uint32_t slot_size)
    : slots_(slots), slot_size_(slot_size) {
    // Rounded up to a multiple of 4 bytes, as the record copies assume.
    const size_t bytes = (static_cast<size_t>(slots) * slot_size + 3u) & ~size_t{3};
    storage_ = std::make_unique<uint8_t[]>(bytes == 0 ? 4 : bytes);
}

bool MyFifoBuff::put(const uint8_t* record) {
    std::lock_guard<std::mutex> guard(lock_);
    if (count_ >= slots_) return false;
    if (write_index_ >= slots_) write_index_ = 0;
    std::memcpy(storage_.get() + static_cast<size_t>(write_index_) * slot_size_, record, slot_size_);
    ++write_index_;
    ++count_;
    return true;
}

bool MyFifoBuff::get(uint8_t* out) {
    std::lock_guard<std::mutex> guard(lock_);
    if (count_ == 0) return false;
    std::memcpy(out, storage_.get() + static_cast<size_t>(read_index_) * slot_size_, slot_size_);
    read_index_ = (read_index_ + 1 == slots_) ? 0 : read_index_ + 1;
    --count_;
    return true;
}

uint32_t MyFifoBuff::size() const {
    std::lock_guard<std::mutex> guard(lock_);
    return count_;
}

} // namespace qvk
