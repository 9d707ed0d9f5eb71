// MIDI through FluidSynth into the mix: the music performance plays, stops, resumes from its
// seek point, loops and follows its master volume; the sequencer device posts its end message
// to the window. Skipped where no General MIDI sound font is installed.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/audio_mix.h"
#include "platform/mci.h"
#include "platform/midi_player.h"
#include "platform/music.h"
#include "platform/video.h"
#include "tests/midi_builder.h"
#include "tests/scratch_dir.h"

using namespace platform;

namespace {

#define SKIP_WITHOUT_SOUND_FONT()                                                         \
    if (FindGeneralMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font"

// Pulls frames from the mix as the audio device would, and measures them.
double RenderRms(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) * 2, 0.0f);
    for (int done = 0; done < frames; done += 512)
        MixAudioSources(out.data() + size_t(done) * 2, std::min(512, frames - done));
    double sum = 0;
    for (float v : out) sum += double(v) * v;
    return std::sqrt(sum / out.size());
}

constexpr double kSilence = 1e-5;

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAudioLineGains();
        if (FindGeneralMidiSoundFont().empty()) return;
        std::string error;
        performance = MusicPerformance::Create(error);
        ASSERT_TRUE(performance) << error;
        auto bytes = testutil::MakePianoPhrase();
        segment = loader.LoadSegment(bytes.data(), bytes.size(), error);
        ASSERT_TRUE(segment) << error;
        ASSERT_TRUE(segment->Download(*performance));
    }
    void TearDown() override { ResetAudioLineGains(); }

    MusicLoader loader;
    std::unique_ptr<MusicPerformance> performance;
    std::unique_ptr<MusicSegment> segment;
};

TEST_F(MusicTest, PlaysStopsAndResumesFromItsSeekPoint) {
    SKIP_WITHOUT_SOUND_FONT();
    EXPECT_EQ(segment->GetLength(), 1920);
    ReferenceTime length = 0, start = -1;
    ASSERT_TRUE(performance->MusicToReferenceTime(*segment, segment->GetLength(), length));
    ASSERT_TRUE(performance->MusicToReferenceTime(*segment, 0, start));
    EXPECT_EQ((length - start) / 10000, 2000);   // milliseconds

    EXPECT_LT(RenderRms(4410), kSilence);   // nothing plays yet
    auto state = performance->PlaySegment(*segment);
    ASSERT_TRUE(state);
    EXPECT_TRUE(performance->IsPlaying(segment.get(), state.get()));
    EXPECT_GT(RenderRms(22050), 1e-3);   // the first half second: audible
    MusicTime seek = 0;
    ASSERT_TRUE(state->GetSeek(seek));
    EXPECT_NEAR(seek, 480, 1);

    EXPECT_TRUE(performance->Stop(segment.get(), state.get()));
    EXPECT_FALSE(performance->IsPlaying(segment.get(), state.get()));
    RenderRms(44100);   // the released notes die away
    EXPECT_LT(RenderRms(4410), kSilence);
    ASSERT_TRUE(state->GetSeek(seek));
    EXPECT_NEAR(seek, 480, 1);   // kept where it stopped

    ASSERT_TRUE(segment->SetStartPoint(seek));
    auto resumed = performance->PlaySegment(*segment);
    EXPECT_FALSE(performance->IsPlaying(segment.get(), state.get()));   // the old play is over
    EXPECT_TRUE(performance->IsPlaying(segment.get(), resumed.get()));
    RenderRms(44100);
    ASSERT_TRUE(resumed->GetSeek(seek));
    EXPECT_NEAR(seek, 480 + 960, 1);
    RenderRms(44100);   // past the end
    EXPECT_FALSE(performance->IsPlaying(nullptr, nullptr));
    ASSERT_TRUE(resumed->GetSeek(seek));
    EXPECT_EQ(seek, 1920);
    EXPECT_FALSE(segment->SetStartPoint(1921));
    EXPECT_FALSE(segment->SetStartPoint(-1));
}

TEST_F(MusicTest, LoopsWithoutEndAndFollowsTheVolumes) {
    SKIP_WITHOUT_SOUND_FONT();
    segment->SetRepeats(kRepeatForever);
    auto state = performance->PlaySegment(*segment);
    RenderRms(44100 * 5);   // two and a half passes
    EXPECT_TRUE(performance->IsPlaying(segment.get(), state.get()));
    MusicTime seek = 0;
    ASSERT_TRUE(state->GetSeek(seek));
    EXPECT_NEAR(seek, 960, 1);

    // Each measure hears the same notes from silence, the reverberation of the last one gone.
    // The synthesiser's chorus and its blocks of 64 frames keep their own phase, so two measures
    // differ by a few percent.
    auto measure = [&] {
        performance->Stop(nullptr, nullptr);
        RenderRms(44100 * 2);
        segment->SetStartPoint(0);
        performance->PlaySegment(*segment);
        return RenderRms(11025);
    };
    double full = measure();
    EXPECT_GT(full, 1e-3);
    performance->SetMasterVolume(-2000);   // -20 dB: a tenth
    EXPECT_NEAR(measure() / full, 0.1, 0.01 * 1.5);
    performance->SetMasterVolume(-50000);
    EXPECT_EQ(performance->GetMasterVolume(), kMusicVolumeMin);
    EXPECT_LT(measure(), full * 1e-4);
    performance->SetMasterVolume(0);
    SetAudioLineGain(AudioLine::kSynth, 0.5f);   // the mixer line scales the synthesiser
    EXPECT_NEAR(measure() / full, 0.5, 0.05);
    SetAudioLineGain(AudioLine::kWave, 0.0f);    // other lines do not
    EXPECT_NEAR(measure() / full, 0.5, 0.05);
}

TEST(MusicLoader, RefusesWhatIsNoMidiFile) {
    MusicLoader loader;
    std::string error;
    const char junk[] = "RIFF....WAVEfmt ";
    EXPECT_FALSE(loader.LoadSegment(junk, sizeof junk, error));
    EXPECT_FALSE(error.empty());
}

TEST(MidiPlayer, NoSoundFontMeansNoPerformance) {
    const std::string none;
    SetSoundFontForTest(&none);
    std::string error;
    EXPECT_FALSE(MusicPerformance::CanCreate());
    EXPECT_FALSE(MusicPerformance::Create(error));
    EXPECT_FALSE(error.empty());
    const std::string missing = "/nonexistent/GM.sf2";
    SetSoundFontForTest(&missing);
    EXPECT_FALSE(MidiPlayer::Create(error));
    SetSoundFontForTest(nullptr);
}

class MciTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (FindGeneralMidiSoundFont().empty()) return;
        path = (scratch.path() / "Tune.mid").string();
        auto bytes = testutil::MakePianoPhrase();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        window = Window::Create(WindowOptions{});
        ASSERT_TRUE(window);
    }
    int Notifications(uint32_t id) {
        int n = 0;
        PostedMessage m;
        while (TakePostedMessage(window.get(), m))
            if (m.message == kMsgMciNotify && m.wparam == kMciNotifySuccessful && m.lparam == intptr_t(id)) ++n;
        return n;
    }
    testutil::ScratchDir scratch{"mci"};
    std::string path;
    std::unique_ptr<Window> window;
};

TEST_F(MciTest, PostsItsEndMessageOnlyForAPlayThatReachesTheEnd) {
    SKIP_WITHOUT_SOUND_FONT();
    std::string error;
    auto device = MciSequencer::Open(path, error);
    ASSERT_TRUE(device) << error;
    device->SetTimeFormat(MciTimeFormat::kMilliseconds);
    uint32_t length = 0, position = 0;
    ASSERT_TRUE(device->GetLength(length));
    EXPECT_EQ(length, 2000u);

    ASSERT_TRUE(device->Play(0, window.get()));
    EXPECT_GT(RenderRms(22050), 1e-3);
    ASSERT_TRUE(device->GetPosition(position));
    EXPECT_NEAR(position, 500, 1);
    ASSERT_TRUE(device->Stop());
    RenderRms(44100 * 3);
    EXPECT_EQ(Notifications(device->DeviceId()), 0);   // stopped before the end
    ASSERT_TRUE(device->GetPosition(position));
    EXPECT_NEAR(position, 500, 1);

    ASSERT_TRUE(device->Seek(1500));
    ASSERT_TRUE(device->GetPosition(position));
    EXPECT_EQ(position, 1500u);
    EXPECT_FALSE(device->IsPlaying());
    ASSERT_TRUE(device->Play(position, window.get()));
    RenderRms(44100 / 4);
    EXPECT_EQ(Notifications(device->DeviceId()), 0);
    RenderRms(44100 / 2);   // past the end
    EXPECT_FALSE(device->IsPlaying());
    EXPECT_EQ(Notifications(device->DeviceId()), 1);
    RenderRms(44100);
    EXPECT_EQ(Notifications(device->DeviceId()), 0);   // once only

    device->SetTimeFormat(MciTimeFormat::kTicks);
    ASSERT_TRUE(device->GetLength(length));
    EXPECT_EQ(length, 1920u);
}

TEST_F(MciTest, MessagesToAClosedWindowAreDropped) {
    SKIP_WITHOUT_SOUND_FONT();
    std::string error;
    auto device = MciSequencer::Open(path, error);
    ASSERT_TRUE(device) << error;
    Window* gone = window.get();
    ASSERT_TRUE(device->Play(1900, gone));
    window.reset();
    RenderRms(44100);   // the end falls due with no window to tell
    EXPECT_FALSE(PostWindowMessage(gone, 1, 2, 3));
    EXPECT_FALSE(device->IsPlaying());

    EXPECT_FALSE(MciSequencer::Open((scratch.path() / "missing.mid").string(), error));
    std::ofstream(scratch.path() / "bad.mid") << "MThd garbage";
    EXPECT_FALSE(MciSequencer::Open((scratch.path() / "bad.mid").string(), error));
    EXPECT_NE(error.find("bad.mid"), std::string::npos);
}

} // namespace
