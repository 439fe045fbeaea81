// The audio capture and the volume reader against a real sound server that
// each test starts for itself. Without a server these tests fail and say why.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "link_fakes.h"
#include "music/audio_messages.h"
#include "music/my_audio_snap.h"
#include "music/sys_volume.h"
#include "sound_server.h"

namespace qvk::music {
namespace {

using namespace std::chrono_literals;

class AudioCapture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.running()) << "No private sound server could be started: " << server.failure();
    }
    void TearDown() override { testing::sound_server::end_process(player); }

    size_t results(uintptr_t wparam) const {
        size_t n = 0;
        for (const testing::posted& p : window.all()) n += p.message == msg::audio_snap && p.wparam == wparam;
        return n;
    }
    bool wait_for_result(uintptr_t wparam, size_t n, std::chrono::milliseconds timeout = 5s) const {
        return window.wait_until(
            [&](const std::vector<testing::posted>& all) {
                size_t k = 0;
                for (const testing::posted& p : all) k += p.message == msg::audio_snap && p.wparam == wparam;
                return k >= n;
            },
            timeout);
    }
    void play_tone(double hz, double seconds) {
        const std::string wav = server.folder() + "/tone.wav";
        testing::write_tone_wav(wav, hz, seconds);
        player = server.play(wav);
        ASSERT_GT(player, 0) << "paplay could not be started";
    }

    testing::sound_server server;
    testing::recording_sink window;
    pid_t player = 0;
};

size_t peak_bin(const spectrum_snapshot& s) {
    size_t best = 1;
    for (size_t b = 1; b < published_bins; ++b)
        if (bin_magnitude(s.re[b], s.im[b]) > bin_magnitude(s.re[best], s.im[best])) best = b;
    return best;
}

TEST_F(AudioCapture, SilenceGivesNothingAndAOneKilohertzToneLandsInBin93) {
    my_audio_snap snap(window, 500);
    ASSERT_TRUE(snap.start());
    EXPECT_EQ(snap.device_id(), "test");

    // Nothing plays: the monitor delivers silence, which completes no block.
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(results(audio_result::spectrum_ready), 0u);

    play_tone(1000.0, 3.0);
    ASSERT_TRUE(wait_for_result(audio_result::spectrum_ready, 5)) << "no spectrum arrived while a tone played";
    const spectrum_snapshot s = snap.spectrum();
    EXPECT_EQ(peak_bin(s), 93u); // 1000 Hz / (44100 / 4096) Hz per bin
    EXPECT_GT(s.vu_level, 100);
    EXPECT_EQ(snap.vu_level(), snap.spectrum().vu_level);
    EXPECT_EQ(results(audio_result::device_gone), 0u);
}

TEST_F(AudioCapture, StoppingEndsWithTheStoppedResultLast) {
    play_tone(1000.0, 3.0);
    {
        my_audio_snap snap(window, 500);
        ASSERT_TRUE(snap.start());
        ASSERT_TRUE(wait_for_result(audio_result::spectrum_ready, 2));
    }
    const std::vector<testing::posted> all = window.all();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back().wparam, audio_result::stopped);
    EXPECT_EQ(results(audio_result::stopped), 1u);
    EXPECT_EQ(results(audio_result::device_gone), 0u);
}

TEST_F(AudioCapture, UnloadingTheOutputEndsTheCaptureWithDeviceGone) {
    my_audio_snap snap(window, 500);
    ASSERT_TRUE(snap.start());
    play_tone(1000.0, 3.0);
    ASSERT_TRUE(wait_for_result(audio_result::spectrum_ready, 1));
    ASSERT_TRUE(server.pactl({"unload-module", "module-null-sink"}));
    ASSERT_TRUE(wait_for_result(audio_result::device_gone, 1)) << "the capture did not notice the output going";
    // The closing message is the last one, and no second capture starts
    // while there is no output at all.
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(window.all().back().wparam, audio_result::device_gone);
    my_audio_snap again(window, 500);
    EXPECT_FALSE(again.start());
}

TEST_F(AudioCapture, ChangingTheDefaultOutputEndsTheCaptureAndTheQuerySeesTheNewOne) {
    ASSERT_TRUE(server.pactl({"load-module", "module-null-sink", "sink_name=other"}));
    my_audio_snap snap(window, 500);
    ASSERT_TRUE(snap.start());
    ASSERT_EQ(snap.device_id(), "test");
    ASSERT_TRUE(server.pactl({"set-default-sink", "other"}));
    ASSERT_TRUE(wait_for_result(audio_result::device_gone, 1)) << "the capture went on recording the old output";

    my_audio_snap probe(window, 500);
    ASSERT_TRUE(probe.query_default_device());
    EXPECT_EQ(probe.device_id(), "other");
    my_audio_snap next(window, 500);
    ASSERT_TRUE(next.start());
    EXPECT_EQ(next.device_id(), "other");
}

TEST_F(AudioCapture, TheVolumeReaderFollowsTheOutputVolume) {
    my_audio_snap_get_sys_volume volume;
    EXPECT_EQ(volume.level(), 2.0f);
    ASSERT_TRUE(volume.open());
    EXPECT_NEAR(volume.level(), 1.0f, 0.01f);
    struct volume_case {
        const char* set;
        float level;
    };
    for (const volume_case c : {volume_case{"50%", 0.5f}, {"0%", 0.0f}, {"25%", 0.25f}, {"150%", 1.0f}}) {
        ASSERT_TRUE(server.pactl({"set-sink-volume", "test", c.set}));
        volume.refresh();
        EXPECT_NEAR(volume.level(), c.level, 0.01f) << c.set;
    }
}

TEST(AudioWithoutServer, StartQueryAndVolumeFailPlainly) {
    char folder[] = "/tmp/qvk-nosound-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    testing::use_empty_runtime_folder(folder);
    testing::recording_sink window;
    {
        my_audio_snap snap(window, 500);
        EXPECT_FALSE(snap.start());
        EXPECT_FALSE(snap.query_default_device());
        EXPECT_EQ(snap.vu_level(), 0);
    }
    EXPECT_TRUE(window.all().empty()); // no thread ran, nothing was posted
    my_audio_snap_get_sys_volume volume;
    EXPECT_FALSE(volume.open());
    EXPECT_EQ(volume.level(), 2.0f);
    rmdir(folder);
}

} // namespace
} // namespace qvk::music
