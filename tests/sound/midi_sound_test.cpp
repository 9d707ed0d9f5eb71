// midi_sound_test.cpp -- the MIDI sounds on the manual audio device: the music-device sound plays
// audibly, stops, resumes, seeks and loops with its pause count; the sequencer sound stops or
// starts again on its end message, which reaches it through the window's pump. Skipped where no
// General MIDI sound font is installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/midi_player.h"
#include "sdk/app/AppFrame.h"
#include "sdk/app/AppManager.h"
#include "sdk/sound/DirectMusic.h"
#include "sdk/sound/MIDIOutput.h"
#include "tests/midi_builder.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace zuderadeDoruVAV3ed;

#define SKIP_WITHOUT_SOUND_FONT()                                                         \
    if (platform::FindGeneralMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font"

// The loudest sample rendered over frames (the capture is on).
int Peak(int frames) {
    platform::TakeCapturedAudio();
    platform::RenderManualAudio(frames);
    int peak = 0;
    for (int16_t v : platform::TakeCapturedAudio()) peak = std::max(peak, std::abs(int{v}));
    return peak;
}

constexpr int kAudible = 300;

std::string WritePhrase(const testutil::ScratchDir& dir, const char* name) {
    const auto bytes = testutil::MakePianoPhrase();   // 1920 ticks, 2000 ms
    const std::string path = (dir.path() / name).string();
    soundtest::WriteFile(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

class MidiDMTest : public soundtest::SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        if (platform::FindGeneralMidiSoundFont().empty()) return;
        music_ = std::make_unique<CDirectMusic>(device_.get());
        ASSERT_EQ(music_->GetStatus(), CDirectMusic::kReady);
        sound_ = std::make_unique<CMIDIOutputDM>(music_.get());
        path_ = WritePhrase(dir_, "Phrase.mid");
    }
    void TearDown() override {
        sound_.reset();
        music_.reset();
        SoundFixture::TearDown();
    }
    // Lets released notes die away.
    void Quiet() {
        Peak(44100 * 2);
        ASSERT_LT(Peak(4410), 2);
    }

    std::unique_ptr<CDirectMusic> music_;
    std::unique_ptr<CMIDIOutputDM> sound_;
    std::string path_;
};

TEST_F(MidiDMTest, PlaysStopsAndResumesWhereItStopped) {
    SKIP_WITHOUT_SOUND_FONT();
    EXPECT_EQ(sound_->Play(), -2);   // nothing open
    ASSERT_EQ(sound_->Open(path_), 0);
    EXPECT_EQ(sound_->GetType(), kSoundMidiDirectMusic);
    EXPECT_EQ(sound_->GetLength(), 2000);
    EXPECT_EQ(sound_->GetCurrentPos(), -2);   // not playing

    ASSERT_EQ(sound_->Play(), 0);
    EXPECT_GT(Peak(22050), kAudible);
    EXPECT_TRUE(sound_->IsPlay());
    EXPECT_NEAR(sound_->GetCurrentPos(), 500, 2);

    // Two stops need two replays.
    EXPECT_EQ(sound_->Stop(), 0);
    EXPECT_EQ(sound_->Stop(), 0);
    EXPECT_FALSE(sound_->IsPlay());
    Quiet();
    EXPECT_EQ(sound_->Replay(), 0);
    EXPECT_FALSE(sound_->IsPlay());
    EXPECT_LT(Peak(4410), 2);
    EXPECT_EQ(sound_->Replay(), 0);
    EXPECT_TRUE(sound_->IsPlay());
    EXPECT_NEAR(sound_->GetCurrentPos(), 500, 2);   // from where it stopped
    EXPECT_GT(Peak(22050), kAudible);

    Peak(44100 * 2);   // past the end
    EXPECT_FALSE(sound_->IsPlay());
    EXPECT_EQ(sound_->Close(), 0);
    EXPECT_EQ(sound_->GetLength(), -2);
}

TEST_F(MidiDMTest, SeeksWhilePlayingAndKeepsTheSeekWhileStopped) {
    SKIP_WITHOUT_SOUND_FONT();
    EXPECT_EQ(sound_->SetCurrentPos(100), -1);   // nothing open
    ASSERT_EQ(sound_->Open(path_), 0);
    ASSERT_EQ(sound_->Play(), 0);
    Peak(4410);
    EXPECT_EQ(sound_->SetCurrentPos(1500), 0);
    EXPECT_TRUE(sound_->IsPlay());
    EXPECT_NEAR(sound_->GetCurrentPos(), 1500, 2);
    Peak(11025);
    EXPECT_NEAR(sound_->GetCurrentPos(), 1750, 2);

    // Stopped: the seek waits for the replay; Play still starts from the beginning.
    sound_->Stop();
    EXPECT_EQ(sound_->SetCurrentPos(1000), 0);
    EXPECT_FALSE(sound_->IsPlay());
    sound_->Replay();
    EXPECT_NEAR(sound_->GetCurrentPos(), 1000, 2);
    sound_->Stop();
    EXPECT_EQ(sound_->SetCurrentPos(99999), 0);   // held to the end
    ASSERT_EQ(sound_->Play(), 0);
    EXPECT_NEAR(sound_->GetCurrentPos(), 0, 2);
}

TEST_F(MidiDMTest, LoopsUntilStoppedAndSetsTheSharedVolume) {
    SKIP_WITHOUT_SOUND_FONT();
    ASSERT_EQ(sound_->Open(path_), 0);
    EXPECT_EQ(sound_->SetLoopPlay(true), 0);
    EXPECT_TRUE(sound_->IsLoopPlay());
    ASSERT_EQ(sound_->Play(), 0);
    Peak(44100 * 5);   // two and a half passes
    EXPECT_TRUE(sound_->IsPlay());
    EXPECT_NEAR(sound_->GetCurrentPos(), 1000, 2);
    EXPECT_GT(Peak(22050), kAudible);

    EXPECT_EQ(sound_->SetVolume(-1500), 0);
    EXPECT_EQ(sound_->GetVolume(), -1500);
    CMIDIOutputDM other(music_.get());
    EXPECT_EQ(other.GetVolume(), -1500);   // one master volume for the device
    sound_->Stop();
    EXPECT_FALSE(sound_->IsPlay());
}

TEST_F(MidiDMTest, BadFilesAndAFailedDeviceAreRefused) {
    SKIP_WITHOUT_SOUND_FONT();
    EXPECT_EQ(sound_->Open((dir_.path() / "missing.mid").string()), 1);
    EXPECT_TRUE(log_.Contains("CMIDIOutputDM::Openで読み込むファイルが無い"));
    EXPECT_EQ(sound_->Open(Make("junk.mid", "MThd junk")), 2);
    EXPECT_EQ(sound_->Play(), -2);

    // A piece of no length has no point to seek to.
    testutil::SmfTrack empty;
    empty.End();
    const auto bytes = testutil::MakeSmf(0, 480, {empty});
    ASSERT_EQ(sound_->Open(Make("empty.mid", std::string(bytes.begin(), bytes.end()))), 0);
    EXPECT_EQ(sound_->GetLength(), 0);
    EXPECT_EQ(sound_->SetCurrentPos(0), -2);

    // A music device whose set-up failed: every operation answers as without a device.
    const std::string none;
    platform::SetSoundFontForTest(&none);
    CDirectMusic failed(device_.get());
    platform::SetSoundFontForTest(nullptr);
    EXPECT_EQ(failed.GetStatus(), CDirectMusic::kCreateFailed);
    CMIDIOutputDM orphan(&failed);
    for (int result : {orphan.Open(path_), orphan.Play(), orphan.Replay(), orphan.Stop(), orphan.SetCurrentPos(10),
                       orphan.GetCurrentPos(), orphan.GetLength(), orphan.SetVolume(0), orphan.GetVolume()})
        EXPECT_EQ(result, -1);
    EXPECT_FALSE(orphan.IsPlay());
    EXPECT_EQ(orphan.Close(), 0);
}

// The sequencer sound runs on an application thread, whose window receives the end message.
class MciApp : public CAppFrame {
public:
    explicit MciApp(std::string path, bool loop) : path_(std::move(path)), loop_(loop) {}
    ~MciApp() override { Stop(); }

    std::vector<std::string> failures;
    bool playing_after_end = false;
    int position_after_end = -1;
    int stop_result = -1, replay_result = -1;

protected:
    void MainThread() override {
        auto check = [this](bool ok, const char* what) {
            if (!ok) failures.push_back(what);
        };
        CMIDIOutputMCI sound;
        check(sound.Play() == 1, "Play before Open opens no device");
        check(sound.Open(path_) == 0, "Open");
        check(sound.GetType() == kSoundMidiMci, "type");
        sound.SetLoopPlay(loop_);
        check(sound.Play() == 0, "Play");
        check(sound.GetLength() == 2000, "length");
        check(Peak(22050) > kAudible, "audible");
        stop_result = sound.Stop();
        sound.Stop();
        check(sound.Replay() == 0 && !sound.IsPlay(), "one replay of two stops stays stopped");
        replay_result = sound.Replay();
        check(sound.IsPlay() && std::abs(sound.GetCurrentPos() - 500) <= 2, "resumes where it stopped");
        check(sound.SetCurrentPos(1800) == 0, "seek");
        Peak(44100 / 2);   // past the end: the message is posted
        check(sound.IsPlay(), "plays until the message arrives");
        PumpMessages();
        playing_after_end = sound.IsPlay();
        position_after_end = sound.GetCurrentPos();
        sound.Stop();
        check(sound.Close() == 0 && sound.GetCurrentPos() == -1, "closed");
    }

private:
    std::string path_;
    bool loop_;
};

class MidiMciTest : public soundtest::SoundFixture {};

TEST_F(MidiMciTest, EndMessageStopsOrRestartsTheSound) {
    SKIP_WITHOUT_SOUND_FONT();
    EXPECT_TRUE(CMIDIOutput::CanUseMIDI());
    const std::string path = WritePhrase(dir_, "Tune.mid");
    struct Case {
        bool loop;
        bool playing_after_end;
    };
    for (const Case& c : {Case{false, false}, Case{true, true}}) {
        SCOPED_TRACE(c.loop ? "looping" : "once");
        MciApp app(path, c.loop);
        ASSERT_EQ(app.Start(), 0);
        ASSERT_TRUE(soundtest::WaitFor([&] { return !app.IsRunning(); }));
        EXPECT_TRUE(app.failures.empty()) << ::testing::PrintToString(app.failures);
        EXPECT_EQ(app.stop_result, 0);
        EXPECT_EQ(app.replay_result, 0);
        EXPECT_EQ(app.playing_after_end, c.playing_after_end);
        if (c.loop) EXPECT_LT(app.position_after_end, 100);   // from the start again
        else EXPECT_EQ(app.position_after_end, 2000);
    }
}

TEST_F(MidiMciTest, MissingFileAndUnopenedDevice) {
    CMIDIOutputMCI sound;
    EXPECT_EQ(sound.Open((dir_.path() / "missing.mid").string()), 1);
    EXPECT_TRUE(log_.Contains("CMIDIOutputMCI::Openで読み込むファイルが無い"));
    EXPECT_EQ(sound.Stop(), 1);
    EXPECT_EQ(sound.SetCurrentPos(10), -1);
    EXPECT_EQ(sound.GetLength(), -1);
    EXPECT_EQ(sound.SetVolume(0), -1);
    ASSERT_EQ(sound.Open(Make("junk.mid", "not midi")), 0);   // read; the device opens at Play
    EXPECT_EQ(sound.Play(), 1);
    EXPECT_TRUE(log_.Contains("CMIDIOutput::MIDIデバイスがオープンできない。"));
    EXPECT_FALSE(sound.IsPlay());
}

} // namespace
