// Fades on the virtual clock, stepped by the application's periodic callbacks: fades in and out
// reach their targets on time, a reset restores at once, fades of 0 ms end at once, fades end on
// schedule without a mixer device, and the callback leaves the list once all lines are idle.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/audio_mix.h"
#include "platform/clock.h"
#include "platform/mixer.h"
#include "sdk/app/AppFrame.h"
#include "sdk/sound/VolumeControl.h"

using namespace zuderadeDoruVAV3ed;
using platform::AudioLine;

namespace {

// An application whose body is the test, on a virtual clock that moves only when told.
class FadeApp : public CAppFrame {
public:
    explicit FadeApp(std::function<void(FadeApp&)> body) : body_(std::move(body)) {}
    ~FadeApp() override { Stop(); }

    bool Run() {
        platform::SetFrameClockForTest(&clock_);
        bool ok = Start() == 0;
        for (int i = 0; ok && i < 1000 && IsRunning(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ok = ok && !IsRunning();
        platform::SetFrameClockForTest(nullptr);
        return ok;
    }
    // Moves time on by ms and pumps once: the periodic callbacks that fell due run.
    void Step(uint32_t ms) {
        clock_.Advance(uint64_t(ms) * 1000);
        PumpMessages();
    }
    size_t Callbacks() { return GetIdList()->GetCount(); }

protected:
    void MainThread() override { body_(*this); }

private:
    std::function<void(FadeApp&)> body_;
    platform::VirtualClock clock_;
};

float Gain(AudioLine line) { return platform::GetAudioLineGain(line); }

class VolumeControlTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetMixerLayoutForTest(nullptr); }
    void TearDown() override { platform::SetMixerLayoutForTest(nullptr); }
};

TEST_F(VolumeControlTest, FadeInAndOutReachTheirTargetsOnTime) {
    FadeApp app([](FadeApp& self) {
        CVolumeControl volume;
        ASSERT_EQ(volume.FadeIn(kMixerLineWave, 100), 0);
        EXPECT_EQ(Gain(AudioLine::kWave), 0.0f);   // the first rate is written at once
        EXPECT_EQ(self.Callbacks(), 1u);
        // Every 20 ms the rate follows the time; t = 1.0 does not yet end the fade.
        for (int ms = 20; ms <= 100; ms += 20) {
            self.Step(20);
            EXPECT_NEAR(Gain(AudioLine::kWave), ms / 100.0, 1e-4) << ms;
            EXPECT_TRUE(volume.IsFade(kMixerLineWave)) << ms;
        }
        self.Step(20);
        EXPECT_FALSE(volume.IsFade(kMixerLineWave));
        EXPECT_EQ(Gain(AudioLine::kWave), 1.0f);
        EXPECT_EQ(self.Callbacks(), 1u);   // unhooked one period later
        self.Step(20);
        EXPECT_EQ(self.Callbacks(), 0u);

        ASSERT_EQ(volume.FadeOut(kMixerLineSpeakers, 200), 0);
        for (int i = 0; i < 5; ++i) self.Step(20);
        EXPECT_NEAR(Gain(AudioLine::kSpeakers), 0.5, 1e-4);
        // A fade-in before the fade-out ends starts from silence toward the volume saved before
        // the fade-out.
        ASSERT_EQ(volume.FadeIn(kMixerLineSpeakers, 40), 0);
        EXPECT_EQ(Gain(AudioLine::kSpeakers), 0.0f);
        self.Step(20);
        EXPECT_NEAR(Gain(AudioLine::kSpeakers), 0.5, 1e-4);
        self.Step(40);
        EXPECT_EQ(Gain(AudioLine::kSpeakers), 1.0f);
        EXPECT_FALSE(volume.IsFade(kMixerLineSpeakers));

        ASSERT_EQ(volume.FadeOut(kMixerLineSynth, 60), 0);
        for (int i = 0; i < 4; ++i) self.Step(20);
        EXPECT_FALSE(volume.IsFade(kMixerLineSynth));
        EXPECT_EQ(Gain(AudioLine::kSynth), 0.0f);   // a fade-out ends in silence
        self.Step(20);
        EXPECT_EQ(self.Callbacks(), 0u);
    });
    ASSERT_TRUE(app.Run());
    EXPECT_EQ(Gain(AudioLine::kSynth), 1.0f);   // the mixer's close restored the line
}

TEST_F(VolumeControlTest, ResetMidFadeRestoresAtOnceAndTheNextFadeSavesAgain) {
    FadeApp app([](FadeApp& self) {
        CVolumeControl volume;
        volume.FadeOut(kMixerLineCD, 100);
        self.Step(60);
        EXPECT_NEAR(Gain(AudioLine::kCD), 0.4, 1e-4);
        ASSERT_EQ(volume.ResetVolume(kMixerLineCD), 0);
        EXPECT_FALSE(volume.IsFade(kMixerLineCD));
        EXPECT_EQ(Gain(AudioLine::kCD), 1.0f);

        // Somebody else halves the line; the next fade takes that as its reference.
        std::unique_ptr<platform::MixerDevice> device;
        ASSERT_EQ(platform::MixerDevice::Open(0, device), platform::MixerResult::kOk);
        platform::MixerLineInfo line;
        ASSERT_EQ(device->GetSource(0, 2, line), platform::MixerResult::kOk);
        std::vector<platform::MixerControlInfo> controls;
        ASSERT_EQ(device->GetLineControls(line.line_id, controls), platform::MixerResult::kOk);
        ASSERT_EQ(device->SetControlValues(controls[0].control_id, {32768, 32768}), platform::MixerResult::kOk);
        volume.FadeIn(kMixerLineCD, 100);
        self.Step(120);
        EXPECT_NEAR(Gain(AudioLine::kCD), 0.5, 1e-4);   // ended at the volume saved by this fade
    });
    ASSERT_TRUE(app.Run());
}

TEST_F(VolumeControlTest, FadesOfZeroMillisecondsEndAtOnce) {
    FadeApp app([](FadeApp& self) {
        CVolumeControl volume;
        ASSERT_EQ(volume.FadeOut(kMixerLineWave, 0), 0);
        EXPECT_FALSE(volume.IsFade(kMixerLineWave));
        EXPECT_EQ(Gain(AudioLine::kWave), 0.0f);
        ASSERT_EQ(volume.FadeIn(kMixerLineWave, 0), 0);
        EXPECT_FALSE(volume.IsFade(kMixerLineWave));
        EXPECT_EQ(Gain(AudioLine::kWave), 1.0f);
        self.Step(20);
        EXPECT_EQ(self.Callbacks(), 0u);
    });
    ASSERT_TRUE(app.Run());
}

TEST_F(VolumeControlTest, FadesEndOnScheduleWithoutAMixerDevice) {
    std::vector<platform::MixerDevice::DestinationSpec> none;
    platform::SetMixerLayoutForTest(&none);
    FadeApp app([](FadeApp& self) {
        CVolumeControl volume;
        volume.FadeIn(kMixerLineSpeakers, 100);
        volume.FadeOut(kMixerLineSynth, 40);
        self.Step(60);
        EXPECT_TRUE(volume.IsFade(kMixerLineSpeakers));
        EXPECT_FALSE(volume.IsFade(kMixerLineSynth));
        self.Step(60);
        EXPECT_FALSE(volume.IsFade(kMixerLineSpeakers));
        self.Step(20);
        EXPECT_EQ(self.Callbacks(), 0u);   // nothing keeps running for ever
        EXPECT_EQ(Gain(AudioLine::kSpeakers), 1.0f);   // and nothing was written
    });
    ASSERT_TRUE(app.Run());
}

TEST_F(VolumeControlTest, CompletionCallsAndBadLines) {
    FadeApp app([](FadeApp& self) {
        CVolumeControl volume;
        int fired = 0;
        auto count = KTL::make_bound_call([&fired] { ++fired; });
        EXPECT_FALSE(volume.StopFade(kMixerLineWave));   // nothing runs
        volume.SetCompletionCall(kMixerLineWave, count);
        EXPECT_FALSE(volume.StopFade(kMixerLineWave));
        volume.FadeOut(kMixerLineWave, 40);
        self.Step(60);
        // The fade-out whose completion call fired returns to the saved volume at once.
        EXPECT_EQ(fired, 1);
        EXPECT_FALSE(volume.IsFade(kMixerLineWave));
        EXPECT_EQ(Gain(AudioLine::kWave), 1.0f);

        volume.SetCompletionCall(kMixerLineWave, count);
        volume.FadeIn(kMixerLineWave, 100);
        volume.FadeOut(kMixerLineWave, 100);   // replaces the fade-in, firing its call
        EXPECT_EQ(fired, 2);
        EXPECT_TRUE(volume.IsFade(kMixerLineWave));

        for (int line : {-1, 4, 99}) {
            EXPECT_EQ(volume.FadeIn(line, 10), 1);
            EXPECT_EQ(volume.FadeOut(line, 10), 1);
            EXPECT_EQ(volume.ResetVolume(line), 1);
            EXPECT_FALSE(volume.IsFade(line));
            EXPECT_FALSE(volume.StopFade(line));
        }
    });
    ASSERT_TRUE(app.Run());
}

TEST_F(VolumeControlTest, WithoutAnApplicationNothingIsHooked) {
    CVolumeControl volume;
    volume.FadeOut(kMixerLineWave, 0);   // ends at once all the same
    EXPECT_FALSE(volume.IsRegistered());
    EXPECT_EQ(Gain(AudioLine::kWave), 0.0f);
    volume.ResetVolume(kMixerLineWave);
    EXPECT_EQ(Gain(AudioLine::kWave), 1.0f);

    // Nothing would step a longer fade: it ends at once too, so nobody waits on it for ever.
    volume.FadeOut(kMixerLineWave, 1000);
    EXPECT_FALSE(volume.IsFade(kMixerLineWave));
    EXPECT_EQ(Gain(AudioLine::kWave), 0.0f);
    volume.FadeIn(kMixerLineWave, 500);
    EXPECT_FALSE(volume.IsFade(kMixerLineWave));
    EXPECT_EQ(Gain(AudioLine::kWave), 1.0f);
}

} // namespace
