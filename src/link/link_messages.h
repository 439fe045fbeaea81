#pragma once
// What a link tells the window, from its reader and writer threads. The
// window side turns each call into a posted event handled on its own thread.

#include <cstdint>

namespace qvk {

namespace msg {
constexpr uint32_t report_queued = 3044; // wparam device index
constexpr uint32_t send_done = 3045;     // wparam 0 queue empty / 1 write failed, lparam device index
constexpr uint32_t send_progress = 3046; // wparam device index, lparam reports written
constexpr uint32_t link_lost = 3047;     // wparam device index
constexpr uint32_t device_info = 3048;   // wparam device index
} // namespace msg

class link_message_sink {
public:
    virtual ~link_message_sink() = default;
    // Called from the link's threads; must only hand the message on.
    virtual void post_message(uint32_t message, uintptr_t wparam, intptr_t lparam) = 0;
};

} // namespace qvk
