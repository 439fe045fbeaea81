#pragma once
// The reassemblers of the chunked replies in flight, one per reply command.
// A reassembler exists from the first chunk that arrives for its command
// until the reply completes or breaks.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "link/data_rebuild.h"

namespace qvk {

class reply_reassembly {
public:
    // Feeds one chunk of a reply of `command` whose record is `capacity`
    // bytes. Returns data_rebuild::complete with the record (always exactly
    // capacity bytes, zero-filled past a shorter reply) in `record` and the
    // chunk's sub value in `sub`; data_rebuild::more while chunks are
    // missing; data_rebuild::error when the reply broke, which drops it.
    int add(uint8_t command, uint32_t capacity, const uint8_t* packet64, std::vector<uint8_t>& record, uint32_t& sub);

    bool in_progress(uint8_t command) const { return slots_.count(command) != 0; }
    void clear() { slots_.clear(); }

private:
    std::map<uint8_t, std::unique_ptr<data_rebuild>> slots_;
};

} // namespace qvk
