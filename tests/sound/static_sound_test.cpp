// static_sound_test.cpp -- the static wave sound: buffer size and length, pauses, positions,
// short reads, and files that give nothing.
#include <gtest/gtest.h>

#include "sdk/sound/WaveStaticSound.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace zuderadeDoruVAV3ed;

using StaticSoundTest = soundtest::SoundFixture;

TEST_F(StaticSoundTest, OneSecondOf22kMonoMakesItsBuffer) {
    soundtest::WavSpec spec;   // 22050 Hz 16-bit mono, 1000 ms
    CWaveStaticSound sound(output_.get());
    ASSERT_EQ(sound.Open(Make("one.wav", soundtest::WavBytes(spec))), 0);
    EXPECT_EQ(sound.GetLength(), 1000);
    EXPECT_EQ(sound.GetType(), 3);
    // The sound's buffer holds 44100 bytes: a 1 s stereo output of the 22 kHz mono data.
    ASSERT_EQ(sound.Play(), 0);
    platform::RenderManualAudio(44100 + 10);
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    EXPECT_EQ(out[2 * 44098], soundtest::ToneSample(22049, 0));
    EXPECT_EQ(out[2 * 44100 + 2], 0);
    EXPECT_FALSE(sound.IsPlay());
}

TEST_F(StaticSoundTest, ShortReadsStillFillTheWholeBuffer) {
    soundtest::Tone().frames = 10000;
    soundtest::Tone().max_read = 1000;
    CWaveStaticSound sound(output_.get());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    ASSERT_EQ(sound.Play(), 0);
    platform::RenderManualAudio(10000);
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    // 10000 frames last 226 ms, so the buffer holds 39866 bytes: 9966 whole frames, all read.
    EXPECT_EQ(out[2 * 9965], soundtest::ToneSample(9965, 0));
    EXPECT_EQ(out[2 * 5000 + 1], soundtest::ToneSample(5000, 1));
}

TEST_F(StaticSoundTest, PausesNestAndPlayStartsAgain) {
    soundtest::Tone().frames = 44100;
    CWaveStaticSound sound(output_.get());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    EXPECT_EQ(sound.Pause(), 0);   // stopped: nothing changes
    EXPECT_EQ(sound.Replay(), 0);
    EXPECT_FALSE(sound.IsPlay());
    ASSERT_EQ(sound.Play(), 0);
    platform::RenderManualAudio(2048);
    EXPECT_EQ(sound.Pause(), 0);
    EXPECT_EQ(sound.Pause(), 0);
    EXPECT_FALSE(sound.IsPlay());
    EXPECT_EQ(sound.Replay(), 0);
    EXPECT_FALSE(sound.IsPlay()) << "two pauses need two replays";
    EXPECT_EQ(sound.Replay(), 0);
    EXPECT_TRUE(sound.IsPlay());
    EXPECT_EQ(sound.GetCurrentPos(), static_cast<int>(2048ull * 4 * 1000 / 176400)) << "paused where mixing stood";
    sound.Pause();
    ASSERT_EQ(sound.Play(), 0);
    EXPECT_TRUE(sound.IsPlay());
    EXPECT_EQ(sound.GetCurrentPos(), 0);
    EXPECT_EQ(sound.SetCurrentPos(500), 0);
    EXPECT_EQ(sound.GetCurrentPos(), 500);
    EXPECT_EQ(sound.Stop(), 0);
    EXPECT_EQ(sound.GetCurrentPos(), 0);
}

TEST_F(StaticSoundTest, EmptyAndUnreadableSounds) {
    struct Case {
        std::string name;
    };
    const Case cases[] = {{""}, {(dir_.path() / "missing.wav").string()}, {Make("junk.wav", "RIFF????WAVEjunk")}};
    for (const Case& c : cases) {
        CWaveStaticSound sound(output_.get());
        EXPECT_EQ(sound.Load(c.name), 0) << c.name;
        EXPECT_EQ(sound.GetFileName(), "");
        EXPECT_EQ(sound.SetCurrentPos(0), -1);
        EXPECT_EQ(sound.GetCurrentPos(), -1);
        EXPECT_EQ(sound.Play(), 1);
        EXPECT_TRUE(log_.Contains("CWaveStaticSound::Play GetBuffer()->Play()に失敗！"));
        EXPECT_EQ(sound.GetVolume(), 0);
        EXPECT_TRUE(log_.Contains("CWaveStaticSound::GetVolumeに失敗"));
    }
}

TEST_F(StaticSoundTest, TooShortToBufferFailsWithItsLog) {
    soundtest::Tone().frames = 0;
    CWaveStaticSound sound(output_.get());
    EXPECT_EQ(sound.Open(ToneName()), 1);
    EXPECT_TRUE(log_.Contains("CWaveStaticSound::Load サウンドバッファの作成に失敗！"));
    EXPECT_EQ(sound.Play(), 1);
}

} // namespace
