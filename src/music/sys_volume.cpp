#include "music/sys_volume.h"

#include <algorithm>

#include "music/pulse_session.h"

namespace qvk::music {

namespace {
constexpr float no_volume = 2.0f;
constexpr std::chrono::milliseconds refresh_timeout{500};
} // namespace

my_audio_snap_get_sys_volume::my_audio_snap_get_sys_volume() = default;
my_audio_snap_get_sys_volume::~my_audio_snap_get_sys_volume() = default;

bool my_audio_snap_get_sys_volume::open() {
    auto session = std::make_unique<pulse_session>();
    if (!session->connect("qvk system volume")) return false;
    const std::optional<output_device> device = session->default_output();
    if (!device) return false;
    session_ = std::move(session);
    level_ = static_cast<float>(std::clamp(device->volume, 0.0, 1.0));
    return true;
}

void my_audio_snap_get_sys_volume::refresh() {
    if (!session_) return;
    // The default output may have changed since the last read: ask again.
    if (const std::optional<output_device> device = session_->default_output(refresh_timeout))
        level_ = static_cast<float>(std::clamp(device->volume, 0.0, 1.0));
}

float my_audio_snap_get_sys_volume::level() const { return session_ ? level_ : no_volume; }

} // namespace qvk::music
