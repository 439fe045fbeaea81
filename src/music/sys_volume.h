#pragma once
// Reads the master volume of the default output device.

#include <memory>

namespace qvk::music {

class pulse_session;

class my_audio_snap_get_sys_volume {
public:
    my_audio_snap_get_sys_volume();
    ~my_audio_snap_get_sys_volume();

    // Connects to the sound server and reads the volume once; false when the
    // server or its default output cannot be reached.
    bool open();
    // Reads the default output's volume again; keeps the last value when the
    // server does not answer.
    void refresh();
    // The last volume read, 0.0..1.0 (louder than nominal counts as 1.0),
    // or 2.0 when not open.
    float level() const;

private:
    std::unique_ptr<pulse_session> session_;
    float level_ = 0.0f;
};

} // namespace qvk::music
