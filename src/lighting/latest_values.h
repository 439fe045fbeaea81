#pragma once
// Values waiting to leave while an earlier send is still going out: one per
// send type, a newer value replacing the waiting one in its place, taken
// out oldest type first. A bar released while the link is busy then sends
// its last value once the link is free, and a fast user never fills the
// send queue.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace qvk {

class latest_values {
public:
    void put(int type, uint32_t value) {
        for (auto& w : waiting_)
            if (w.first == type) {
                w.second = value;
                return;
            }
        waiting_.emplace_back(type, value);
    }
    std::optional<std::pair<int, uint32_t>> take() {
        if (waiting_.empty()) return std::nullopt;
        const auto first = waiting_.front();
        waiting_.erase(waiting_.begin());
        return first;
    }
    bool empty() const { return waiting_.empty(); }
    size_t size() const { return waiting_.size(); }

private:
    std::vector<std::pair<int, uint32_t>> waiting_;
};

} // namespace qvk
