// The mixer's thread renders while the application's thread plays, stops, seeks, changes the
// volume and destroys: no race, no deadlock, and a device's end message arrives across threads.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "platform/audio_mix.h"
#include "platform/mci.h"
#include "platform/midi_player.h"
#include "platform/music.h"
#include "platform/video.h"
#include "tests/midi_builder.h"
#include "tests/scratch_dir.h"

using namespace platform;

namespace {

// Renders blocks of 256 frames until told to stop.
class MixerThread {
public:
    MixerThread() : thread_([this] {
        std::vector<float> out(512);
        while (!stop_.load()) {
            std::fill(out.begin(), out.end(), 0.0f);
            MixAudioSources(out.data(), 256);
            blocks_.fetch_add(1);
        }
    }) {}
    ~MixerThread() {
        stop_ = true;
        thread_.join();
    }
    // Waits until n more blocks have been rendered (bounded by a count of yields, not by time).
    void WaitBlocks(long n) {
        long until = blocks_.load() + n;
        for (long i = 0; blocks_.load() < until && i < 100000000; ++i) std::this_thread::yield();
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<long> blocks_{0};
    std::thread thread_;
};

TEST(MidiThreads, PerformanceCallsWhileTheMixerRenders) {
    if (FindGeneralMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font";
    std::string error;
    auto bytes = testutil::MakePianoPhrase();
    MusicLoader loader;
    auto segment = loader.LoadSegment(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(segment);
    MixerThread mixer;
    for (int round = 0; round < 3; ++round) {
        auto performance = MusicPerformance::Create(error);
        ASSERT_TRUE(performance) << error;
        segment->SetRepeats(kRepeatForever);
        for (int i = 0; i < 20; ++i) {
            segment->SetStartPoint(i * 90);
            auto state = performance->PlaySegment(*segment);
            mixer.WaitBlocks(2);
            MusicTime seek;
            state->GetSeek(seek);
            EXPECT_GE(seek, 0);
            performance->SetMasterVolume(-100 * i);
            if (i % 3 == 0) performance->Stop(segment.get(), state.get());
            performance->IsPlaying(segment.get(), nullptr);
        }
        // Destroyed while playing, with the mixer running.
    }
}

TEST(MidiThreads, EndMessagePostedFromTheMixerThread) {
    if (FindGeneralMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font";
    testutil::ScratchDir scratch("midi_threads");
    std::string path = (scratch.path() / "a.mid").string();
    auto bytes = testutil::MakePianoPhrase();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    auto window = Window::Create(WindowOptions{});
    ASSERT_TRUE(window);
    std::string error;
    auto device = MciSequencer::Open(path, error);
    ASSERT_TRUE(device) << error;
    MixerThread mixer;
    ASSERT_TRUE(device->Play(1990, window.get()));   // 10 ms before the end
    PostedMessage m{};
    bool arrived = false;
    for (int i = 0; i < 2000 && !arrived; ++i) {
        mixer.WaitBlocks(1);
        arrived = TakePostedMessage(window.get(), m);
    }
    ASSERT_TRUE(arrived);
    EXPECT_EQ(m.message, kMsgMciNotify);
    EXPECT_EQ(m.lparam, intptr_t(device->DeviceId()));
    device->Play(0, window.get());
    device.reset();   // closed mid-play with the mixer running
}

} // namespace
