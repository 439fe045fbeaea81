#pragma once
// A private sound server for the audio tests: a PulseAudio daemon in a
// fresh runtime folder with one null output named "test" as the default,
// started by the test and stopped by its PID at the end. Works as root.
// When no server can be started, why is kept in failure() for the test to
// report; tests never pass without one.

#include <string>
#include <sys/types.h>
#include <vector>

namespace qvk::testing {

class sound_server {
public:
    sound_server();
    ~sound_server();
    sound_server(const sound_server&) = delete;
    sound_server& operator=(const sound_server&) = delete;

    bool running() const { return pid_ > 0; }
    const std::string& failure() const { return failure_; }
    const std::string& folder() const { return folder_; }

    // Runs pactl with the arguments against this server; true when it succeeded.
    bool pactl(const std::vector<std::string>& args) const;
    // Plays a file into the given output in the background; the player's PID.
    pid_t play(const std::string& wav_file, const std::string& device = "test") const;
    static void end_process(pid_t pid);

private:
    std::string folder_;
    std::string failure_;
    pid_t pid_ = 0;
};

// Writes a WAV file of unsigned 8-bit stereo at 44100 Hz: a sine of the
// given frequency on both channels.
void write_tone_wav(const std::string& path, double hz, double seconds, double amplitude = 100.0);

// Points the sound clients of this process at a runtime folder with no server.
void use_empty_runtime_folder(const std::string& folder);

} // namespace qvk::testing
