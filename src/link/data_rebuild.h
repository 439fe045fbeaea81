#pragma once
// Reassembles one reply that the keyboard sends as a chain of chunks.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace qvk {

class data_rebuild {
public:
    enum result : int { complete = 0, more = 1, error = 2 };

    // The buffer holds capacity + 1024 bytes, so a reply slightly longer
    // than expected still reassembles; anything longer is an error.
    explicit data_rebuild(uint32_t capacity);

    // Feeds one 64-byte packet. Chunks must come first, then in index order;
    // the last chunk completes the reply when the byte count matches the
    // total announced by the first.
    int add_chunk(const uint8_t* packet64);

    const uint8_t* data() const { return buffer_.get(); }
    uint32_t total() const { return total_; }
    uint32_t received() const { return received_; }
    size_t buffer_size() const { return buffer_size_; }

private:
    uint32_t total_ = 0;
    uint32_t received_ = 0;
    uint32_t last_index_ = 0;
    bool started_ = false; // a first chunk has been seen
    size_t buffer_size_ = 0;
    std::unique_ptr<uint8_t[]> buffer_;
};

} // namespace qvk
