// The audio mixer over the mixer device: which lines it finds, volumes as fractions of the saved
// volume with every channel clamped, the rate read back, the restore at close, and a mixer
// without a device that answers -1 everywhere.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio_mix.h"
#include "platform/log.h"
#include "platform/mixer.h"
#include "sdk/sound/AudioMixer.h"

using namespace zuderadeDoruVAV3ed;
using platform::AudioLine;
using platform::MixerComponent;
using Spec = platform::MixerDevice::LineSpec;
using Values = std::vector<uint32_t>;

namespace {

// Restores the usual device and collects the log texts of one test.
class AudioMixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetMixerLayoutForTest(nullptr);
        platform::SetLogCaptureForTest([this](std::string_view text) {
            std::lock_guard<std::mutex> lock(mutex_);
            log_.emplace_back(text);
        });
    }
    void TearDown() override {
        platform::SetLogCaptureForTest({});
        platform::SetMixerLayoutForTest(nullptr);
    }
    bool Logged(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const std::string& line : log_)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    std::mutex mutex_;
    std::vector<std::string> log_;
};

float Gain(AudioLine line) { return platform::GetAudioLineGain(line); }

TEST_F(AudioMixerTest, RatesOfTheSavedVolumeAreClampedPerChannel) {
    CAudioMixer mixer;
    ASSERT_TRUE(mixer.IsOpen());
    Values v;
    for (int line = 0; line < kMixerLineCount; ++line) {
        ASSERT_EQ(mixer.GetVolume(line, v), 0) << line;
        EXPECT_EQ(v, (Values{65535, 65535})) << line;
    }
    ASSERT_EQ(mixer.SetVolume(kMixerLineWave, {30000, 0x10000}), 0);   // too loud: 65535
    ASSERT_EQ(mixer.SaveVolume(kMixerLineWave), 0);
    ASSERT_EQ(mixer.GetSavedVolume(kMixerLineWave, v), 0);
    EXPECT_EQ(v, (Values{30000, 65535}));
    struct Case {
        double rate;
        Values want;
    } cases[] = {
        {0.5, {15000, 32767}},
        {0.0, {0, 0}},
        {1.0, {30000, 65535}},
        {2.0, {60000, 65535}},                                      // above the saved volume, up to 65535
        {1e12, {65535, 65535}},                                     // no overflow in the conversion
        {-3.0, {0, 0}},
        {std::numeric_limits<double>::quiet_NaN(), {0, 0}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(mixer.SetVolumeRate(kMixerLineWave, c.rate), 0) << c.rate;
        ASSERT_EQ(mixer.GetVolume(kMixerLineWave, v), 0);
        EXPECT_EQ(v, c.want) << c.rate;
        EXPECT_NEAR(Gain(AudioLine::kWave), (c.want[0] + c.want[1]) / 2.0 / 65535, 1e-6) << c.rate;
    }
    double rate = -1;
    mixer.SetVolumeRate(kMixerLineWave, 0.5);
    ASSERT_EQ(mixer.GetVolumeRate(kMixerLineWave, &rate), 0);
    EXPECT_NEAR(rate, 0.5, 1e-4);
    EXPECT_LE(rate, 0.5);   // each channel rounds down
    EXPECT_EQ(Gain(AudioLine::kSynth), 1.0f);   // the other lines are untouched
}

TEST_F(AudioMixerTest, CloseRestoresEveryLineAndSaveMovesTheReference) {
    {
        CAudioMixer mixer;
        mixer.SetVolumeRate(kMixerLineSpeakers, 0.25);
        mixer.SetVolumeRate(kMixerLineCD, 0.0);
        EXPECT_NEAR(Gain(AudioLine::kSpeakers), 0.25, 1e-4);
        EXPECT_EQ(Gain(AudioLine::kCD), 0.0f);
    }
    EXPECT_EQ(Gain(AudioLine::kSpeakers), 1.0f);
    EXPECT_EQ(Gain(AudioLine::kCD), 1.0f);

    CAudioMixer mixer;
    mixer.SetVolume(kMixerLineSynth, {0, 0});
    double rate = -1;
    ASSERT_EQ(mixer.GetVolumeRate(kMixerLineSynth, &rate), 0);
    EXPECT_EQ(rate, 0.0);
    mixer.SaveVolume(kMixerLineSynth);                 // a silent reference
    ASSERT_EQ(mixer.GetVolumeRate(kMixerLineSynth, &rate), 0);
    EXPECT_EQ(rate, 0.0);                              // both sums 0
    mixer.SetVolume(kMixerLineSynth, {100, 100});
    ASSERT_EQ(mixer.GetVolumeRate(kMixerLineSynth, &rate), 0);
    EXPECT_EQ(rate, 65535.0);                          // saved 0, current not
    ASSERT_EQ(mixer.RestoreVolume(kMixerLineSynth), 0);
    Values v;
    mixer.GetVolume(kMixerLineSynth, v);
    EXPECT_EQ(v, (Values{0, 0}));
}

TEST_F(AudioMixerTest, LinesComeFromTheLastSpeakersAndTheFirstSourceOfEachKind) {
    // Line 0 of the second speakers; wave and synthesiser from the first; CD only in the second;
    // a second wave source and a source without a volume control are passed over.
    std::vector<platform::MixerDevice::DestinationSpec> layout = {
        {Spec{MixerComponent::kSpeakers, AudioLine::kWave},
         {Spec{MixerComponent::kWaveOut, AudioLine::kWave}, Spec{MixerComponent::kSynthesizer, AudioLine::kSynth, 2, false},
          Spec{MixerComponent::kSynthesizer, AudioLine::kSynth, 1}}},
        {Spec{MixerComponent::kOther, AudioLine::kCD}, {Spec{MixerComponent::kCompactDisc, AudioLine::kCD}}},
        {Spec{MixerComponent::kSpeakers, AudioLine::kSpeakers},
         {Spec{MixerComponent::kWaveOut, AudioLine::kCD}, Spec{MixerComponent::kCompactDisc, AudioLine::kCD}}},
    };
    platform::SetMixerLayoutForTest(&layout);
    CAudioMixer mixer;
    ASSERT_TRUE(mixer.IsOpen());
    Values v;
    ASSERT_EQ(mixer.GetVolume(kMixerLineSynth, v), 0);
    EXPECT_EQ(v.size(), 1u);   // the one-channel synthesiser with a volume control

    mixer.SetVolumeRate(kMixerLineSpeakers, 0.5);
    EXPECT_NEAR(Gain(AudioLine::kSpeakers), 0.5, 1e-4);
    EXPECT_EQ(Gain(AudioLine::kWave), 1.0f);
    mixer.SetVolumeRate(kMixerLineWave, 0.5);
    EXPECT_NEAR(Gain(AudioLine::kWave), 0.5, 1e-4);
    EXPECT_EQ(Gain(AudioLine::kCD), 1.0f);
    mixer.SetVolumeRate(kMixerLineCD, 0.0);
    EXPECT_EQ(Gain(AudioLine::kCD), 0.0f);
}

TEST_F(AudioMixerTest, MissingDeviceOrLineAnswersWithoutTouchingAnything) {
    std::vector<platform::MixerDevice::DestinationSpec> none;
    platform::SetMixerLayoutForTest(&none);
    {
        CAudioMixer mixer;
        EXPECT_FALSE(mixer.IsOpen());
        EXPECT_EQ(mixer.Open(), 2);
        EXPECT_TRUE(Logged("CAudioMixer::Open ミキサデバイス数が 0か、エラーが発生しました"));
        Values v;
        double rate;
        EXPECT_EQ(mixer.SetVolumeRate(0, 0.5), -1);
        EXPECT_EQ(mixer.SetVolume(0, {1, 1}), -1);
        EXPECT_EQ(mixer.RestoreVolume(0), -1);
        EXPECT_EQ(mixer.GetVolumeRate(0, &rate), -1);
        EXPECT_EQ(mixer.GetVolume(0, v), -1);
        EXPECT_EQ(mixer.GetSavedVolume(0, v), -1);
        EXPECT_EQ(mixer.SaveVolume(0), 1);
    }
    // A device whose speakers have no CD source; line numbers outside 0..3 are refused alike.
    std::vector<platform::MixerDevice::DestinationSpec> no_cd = {
        {Spec{MixerComponent::kSpeakers, AudioLine::kSpeakers}, {Spec{MixerComponent::kWaveOut, AudioLine::kWave}}}};
    platform::SetMixerLayoutForTest(&no_cd);
    CAudioMixer mixer;
    ASSERT_TRUE(mixer.IsOpen());
    for (int line : {int(kMixerLineSynth), int(kMixerLineCD), 4, -1, 1000000}) {
        Values v;
        EXPECT_EQ(mixer.SetVolumeRate(line, 0.5), -1) << line;
        EXPECT_EQ(mixer.GetVolume(line, v), -1) << line;
        EXPECT_EQ(mixer.RestoreVolume(line), 2) << line;
        EXPECT_EQ(mixer.SaveVolume(line), 1) << line;
        EXPECT_TRUE(Logged(std::to_string(line) + "のIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした"));
    }
    EXPECT_EQ(Gain(AudioLine::kCD), 1.0f);
}

TEST(MixerDevice, QueriesRefuseUnknownLinesControlsAndChannelCounts) {
    platform::SetMixerLayoutForTest(nullptr);
    std::unique_ptr<platform::MixerDevice> mixer;
    EXPECT_EQ(platform::MixerDevice::Open(1, mixer), platform::MixerResult::kBadDeviceId);
    ASSERT_EQ(platform::MixerDevice::Open(0, mixer), platform::MixerResult::kOk);
    platform::MixerLineInfo speakers, cd;
    ASSERT_EQ(mixer->GetDestination(0, speakers), platform::MixerResult::kOk);
    EXPECT_EQ(speakers.connections, 3);
    ASSERT_EQ(mixer->GetSource(0, 2, cd), platform::MixerResult::kOk);
    EXPECT_EQ(cd.component, MixerComponent::kCompactDisc);
    platform::MixerLineInfo info;
    EXPECT_EQ(mixer->GetDestination(1, info), platform::MixerResult::kInvalidParam);
    EXPECT_EQ(mixer->GetSource(0, 3, info), platform::MixerResult::kInvalidParam);
    std::vector<platform::MixerControlInfo> controls;
    EXPECT_EQ(mixer->GetLineControls(0x12345, controls), platform::MixerResult::kInvalidParam);
    ASSERT_EQ(mixer->GetLineControls(cd.line_id, controls), platform::MixerResult::kOk);
    ASSERT_EQ(controls.size(), 1u);
    Values v;
    EXPECT_EQ(mixer->GetControlValues(cd.line_id, 2, v), platform::MixerResult::kInvalidControl);   // a line id
    EXPECT_EQ(mixer->GetControlValues(controls[0].control_id, 3, v), platform::MixerResult::kInvalidParam);
    EXPECT_EQ(mixer->SetControlValues(controls[0].control_id, {1}), platform::MixerResult::kInvalidParam);
    ASSERT_EQ(mixer->SetControlValues(controls[0].control_id, {65535, 0}), platform::MixerResult::kOk);
    EXPECT_NEAR(platform::GetAudioLineGain(AudioLine::kCD), 0.5, 1e-6);
    platform::SetMixerLayoutForTest(nullptr);   // back to full volume
    EXPECT_EQ(platform::GetAudioLineGain(AudioLine::kCD), 1.0f);
}

} // namespace
