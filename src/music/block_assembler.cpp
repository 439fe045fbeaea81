#include "music/block_assembler.h"

#include <algorithm>
#include <cstring>

namespace qvk::music {

void block_assembler::append(std::span<const uint8_t> packet) {
    while (!packet.empty()) {
        const size_t piece = std::min(packet.size(), block_bytes);
        append_piece(packet.first(piece));
        packet = packet.subspan(piece);
    }
}

void block_assembler::append_piece(std::span<const uint8_t> piece) {
    if (carry_ != 0) {
        std::memmove(buffer_.data(), buffer_.data() + block_bytes, carry_);
        fill_ = carry_;
        carry_ = 0;
    }
    // fill_ < 4096 and the piece is at most 4096 bytes: it fits the carry area.
    std::memcpy(buffer_.data() + fill_, piece.data(), piece.size());
    fill_ += piece.size();
    if (fill_ >= block_bytes) {
        carry_ = fill_ - block_bytes;
        fill_ = 0;
        if (on_block_) on_block_(std::span<const uint8_t, block_bytes>(buffer_.data(), block_bytes));
    }
}

} // namespace qvk::music
