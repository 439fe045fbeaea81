#pragma once
// Records what the default output device plays (its monitor, never a
// microphone) as unsigned 8-bit stereo at 44100 Hz, and hands the packets to
// the analysis pipeline. The capture thread drives the sound server
// connection; it ends with message 3125 wParam 1 when the device goes away,
// the default output changes or the server fails, and with wParam 2 when
// asked to stop.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "link/link_messages.h"
#include "music/audio_pipeline.h"

namespace qvk::music {

class pulse_session;

class my_audio_snap {
public:
    static constexpr uint32_t sample_rate = 44100;
    static constexpr uint8_t channels = 2;

    // `vu_gain` is the keyboard's level gain in thousandths at the start;
    // set_vu_gain() passes later changes to the analysis.
    my_audio_snap(link_message_sink& window, uint16_t vu_gain);
    // Stops the capture and waits for both threads before anything is freed.
    ~my_audio_snap();
    my_audio_snap(const my_audio_snap&) = delete;
    my_audio_snap& operator=(const my_audio_snap&) = delete;

    // Opens the default output's monitor and starts the threads; false, with
    // everything released and no thread running, when any step fails.
    bool start();
    // Only finds the default output device and reads its identifier.
    bool query_default_device();
    const std::string& device_id() const { return device_id_; }

    // The last spectrum and level (all zero before the first one).
    spectrum_snapshot spectrum() const;
    uint8_t vu_level() const { return spectrum().vu_level; }
    void set_vu_gain(uint16_t gain);

private:
    struct stream_state;
    void capture_loop();
    bool stop_requested();
    void end_capture(uintptr_t result);
    void release_stream();

    link_message_sink& window_;
    uint16_t vu_gain_;
    std::unique_ptr<audio_pipeline> pipeline_; // from start() on
    std::string device_id_;
    std::unique_ptr<pulse_session> session_;
    std::unique_ptr<stream_state> stream_;
    std::mutex lock_; // guards stop_ and the release of the session
    bool stop_ = false;
    std::thread capture_;
};

} // namespace qvk::music
