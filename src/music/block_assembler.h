#pragma once
// Gathers captured packets of stereo 8-bit frames into blocks of 4096 bytes.
// A packet is copied whole behind the bytes gathered so far; what runs past
// the end of the block is carried over to start the next one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "music/audio_analysis.h"

namespace qvk::music {

class block_assembler {
public:
    // Called with every completed block, before the next packet is taken.
    using block_handler = std::function<void(std::span<const uint8_t, block_bytes>)>;

    explicit block_assembler(block_handler on_block) : on_block_(std::move(on_block)) {}

    // Takes one packet of any length. Packets longer than the carry area are
    // taken a block's worth at a time, so no byte is lost or overrun.
    void append(std::span<const uint8_t> packet);

    size_t fill() const { return fill_; }
    size_t carry() const { return carry_; }

private:
    void append_piece(std::span<const uint8_t> piece);

    block_handler on_block_;
    // The block with the carry area right behind it.
    std::array<uint8_t, 2 * block_bytes> buffer_{};
    size_t fill_ = 0;
    size_t carry_ = 0;
};

} // namespace qvk::music
