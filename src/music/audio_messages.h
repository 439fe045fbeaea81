#pragma once
// The message the audio capture posts to its window: one per spectrum, and
// one when the capture thread ends.

#include <cstdint>

namespace qvk {

namespace msg {
constexpr uint32_t audio_snap = 3125;
} // namespace msg

namespace audio_result {
constexpr uintptr_t spectrum_ready = 0; // a new spectrum and level can be read
constexpr uintptr_t device_gone = 1;    // capture failed or the output went away; the capture thread ended
constexpr uintptr_t stopped = 2;        // capture stopped on request; the capture thread ended
} // namespace audio_result

} // namespace qvk
