#pragma once
// Fixed ring of fixed-size records guarded by one lock. Both queues of a link
// are rings of 4096 reports of 65 bytes; the storage is allocated once.

#include <cstdint>
#include <memory>
#include <mutex>

namespace qvk {

class MyFifoBuff {
public:
    MyFifoBuff(uint32_t slots, uint32_t slot_size);
    MyFifoBuff(const MyFifoBuff&) = delete;
    MyFifoBuff& operator=(const MyFifoBuff&) = delete;

    // Copies slot_size bytes in. Returns false (and stores nothing) when the
    // ring is full, so that a caller never takes a dropped record for sent.
    bool put(const uint8_t* record);
    // Copies the oldest record out. Returns false and leaves out untouched
    // when the ring is empty.
    bool get(uint8_t* out);
    uint32_t size() const;
    uint32_t slot_count() const { return slots_; }
    uint32_t slot_size() const { return slot_size_; }

private:
    const uint32_t slots_;
    const uint32_t slot_size_;
    std::unique_ptr<uint8_t[]> storage_;
    uint32_t read_index_ = 0;
    uint32_t write_index_ = 0;
    uint32_t count_ = 0;
    mutable std::mutex lock_;
};

} // namespace qvk
