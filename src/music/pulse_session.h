#pragma once
// One connection to the sound server on a main loop of its own, driven by
// whichever single thread holds the session. Used by the audio capture and
// the volume reader; nothing here knows about spectra.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct pa_mainloop;
struct pa_context;
struct pa_operation;

namespace qvk::music {

// What the tool needs to know of an output device.
struct output_device {
    uint32_t index = 0;
    std::string name;            // the device's identifier
    std::string monitor_source;  // the source that records what it plays
    double volume = 0.0;         // loudest channel, 1.0 = nominal
};

class pulse_session {
public:
    using clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds default_timeout{2000};

    pulse_session();
    ~pulse_session();
    pulse_session(const pulse_session&) = delete;
    pulse_session& operator=(const pulse_session&) = delete;

    // Connects to the running server (never starts one); false when there is
    // none or it does not answer in time.
    bool connect(const char* client_name, std::chrono::milliseconds timeout = default_timeout);
    bool connected() const;

    // Runs the loop until done() holds; false when the time runs out or the
    // connection fails first.
    bool run_until(const std::function<bool()>& done, std::chrono::milliseconds timeout = default_timeout);
    // Runs one round of the loop, waiting for the next event; false when the
    // loop fails.
    bool run_once();
    // Makes a waiting run_once() return; callable from any thread.
    void wake();

    // The default output device as the server sees it now.
    std::optional<output_device> default_output(std::chrono::milliseconds timeout = default_timeout);
    std::optional<std::string> default_output_name(std::chrono::milliseconds timeout = default_timeout);

    pa_mainloop* loop() const { return loop_; }
    pa_context* context() const { return context_; }

private:
    bool finish(pa_operation* op, const bool& answered, std::chrono::milliseconds timeout);

    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
};

} // namespace qvk::music
