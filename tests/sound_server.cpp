#include "sound_server.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qvk::testing {

namespace {
using namespace std::chrono_literals;

// Runs a program to its end; its exit status, or -1 when it could not run.
int run(const std::vector<std::string>& argv, bool quiet = true) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

bool on_path(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t at = 0;
    while (at <= dirs.size()) {
        const size_t end = dirs.find(':', at);
        const std::string dir = dirs.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return false;
}

void put_le(std::ofstream& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}
} // namespace

void use_empty_runtime_folder(const std::string& folder) {
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("PULSE_RUNTIME_PATH", (folder + "/pulse").c_str(), 1);
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_SINK");
    unsetenv("PULSE_SOURCE");
}

sound_server::sound_server() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qvk-sound-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        failure_ = "no private runtime folder could be made";
        return;
    }
    folder_ = tmpl;
    use_empty_runtime_folder(folder_);
    if (!on_path("pulseaudio") || !on_path("pactl") || !on_path("paplay")) {
        failure_ = "pulseaudio, pactl or paplay is not installed (scripts/install-deps.sh installs them)";
        return;
    }
    const int rc = run({"pulseaudio", "-D", "--exit-idle-time=-1", "--system=false", "-n",
                        "--load=module-null-sink sink_name=test", "--load=module-native-protocol-unix"});
    if (rc != 0) {
        failure_ = "the pulseaudio daemon did not start (exit status " + std::to_string(rc) + ")";
        return;
    }
    // The daemon writes its PID once it runs; wait until it answers.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (pid_ == 0) {
            std::ifstream pid_file(folder_ + "/pulse/pid");
            pid_t pid = 0;
            if (pid_file >> pid && pid > 0) pid_ = pid;
        }
        if (pid_ > 0 && pactl({"info"})) return;
        std::this_thread::sleep_for(50ms);
    }
    failure_ = "the pulseaudio daemon did not answer within 10 s";
    if (pid_ > 0) end_process(pid_);
    pid_ = 0;
}

sound_server::~sound_server() {
    if (pid_ > 0) end_process(pid_);
    if (!folder_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
}

bool sound_server::pactl(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{"pactl"};
    argv.insert(argv.end(), args.begin(), args.end());
    return run(argv) == 0;
}

pid_t sound_server::play(const std::string& wav_file, const std::string& device) const {
    const std::string dev = "--device=" + device;
    char* args[] = {const_cast<char*>("paplay"), const_cast<char*>(dev.c_str()), const_cast<char*>(wav_file.c_str()),
                    nullptr};
    pid_t pid = 0;
    return posix_spawnp(&pid, "paplay", nullptr, nullptr, args, environ) == 0 ? pid : 0;
}

void sound_server::end_process(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    // Our own children are reaped; the daemon (not our child) is watched until gone.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        if (kill(pid, 0) != 0) return;
        std::this_thread::sleep_for(20ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, WNOHANG);
}

void write_tone_wav(const std::string& path, double hz, double seconds, double amplitude) {
    constexpr uint32_t rate = 44100;
    constexpr uint16_t channels = 2;
    const uint32_t frames = static_cast<uint32_t>(seconds * rate);
    const uint32_t data_bytes = frames * channels;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put_le(out, 36 + data_bytes, 4);
    out.write("WAVEfmt ", 8);
    put_le(out, 16, 4);
    put_le(out, 1, 2); // PCM
    put_le(out, channels, 2);
    put_le(out, rate, 4);
    put_le(out, rate * channels, 4);
    put_le(out, channels, 2);
    put_le(out, 8, 2);
    out.write("data", 4);
    put_le(out, data_bytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const double s = 128.0 + amplitude * std::sin(2.0 * M_PI * hz * i / rate);
        const char v = static_cast<char>(static_cast<uint8_t>(std::lround(s)));
        out.put(v);
        out.put(v);
    }
}

} // namespace qvk::testing
