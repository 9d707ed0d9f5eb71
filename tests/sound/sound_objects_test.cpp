// sound_objects_test.cpp -- the time conversions, the null sound and the switchable wave sound.
#include <gtest/gtest.h>

#include "sdk/sound/WaveSound.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace zuderadeDoruVAV3ed;

TEST(SoundTimeTest, ConversionsBothWays) {
    struct Case {
        int ms, hour, minute, second, millisecond;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0}, {3723004, 1, 2, 3, 4}, {90000000, 25, 0, 0, 0}, {2147483647, 596, 31, 23, 647},
    };
    CNullSound sound;
    for (const Case& c : cases) {
        int h = -9, m = -9, s = -9, ms = -9;
        ASSERT_EQ(sound.ConvertFromMilliseconds(c.ms, &h, &m, &s, &ms), 0);
        EXPECT_EQ(h, c.hour);
        EXPECT_EQ(m, c.minute);
        EXPECT_EQ(s, c.second);
        EXPECT_EQ(ms, c.millisecond);
        int back = -1;
        ASSERT_EQ(sound.ConvertToMilliseconds(&back, c.hour, c.minute, c.second, c.millisecond), 0);
        EXPECT_EQ(back, c.ms);
    }
}

TEST(SoundTimeTest, RefusedConversionsWriteNothing) {
    CNullSound sound;
    int h = 7, m = 7, s = 7, ms = 7;
    EXPECT_EQ(sound.ConvertFromMilliseconds(-1, &h, &m, &s, &ms), -1);
    EXPECT_EQ(h + m + s + ms, 28);
    struct Case {
        int hour, minute, second, millisecond;
    };
    // Negative parts, and sums past the int range (which 32-bit arithmetic would wrap).
    const Case cases[] = {{0, -1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 0, -1}, {596, 31, 23, 648}, {1000000, 0, 0, 0}};
    for (const Case& c : cases) {
        int out = 12345;
        EXPECT_EQ(sound.ConvertToMilliseconds(&out, c.hour, c.minute, c.second, c.millisecond), -1) << c.hour;
        EXPECT_EQ(out, 12345);
    }
}

TEST(NullSoundTest, AnswersAsSilence) {
    CNullSound sound;
    EXPECT_EQ(sound.Open("anything"), 0);
    EXPECT_EQ(sound.Play(), 0);
    EXPECT_FALSE(sound.IsPlay());
    EXPECT_EQ(sound.GetVolume(), -10000);
    EXPECT_EQ(sound.SetVolume(0), -1);
    EXPECT_EQ(sound.GetLength(), -1);
    EXPECT_EQ(sound.GetCurrentPos(), -1);
    EXPECT_EQ(sound.SetCurrentPos(0), -1);
    EXPECT_EQ(sound.GetType(), 0);
    EXPECT_EQ(sound.GetFileName(), "");
    EXPECT_FALSE(sound.IsLoopPlay());
    EXPECT_EQ(sound.SetLoopPlay(true), 0);
    EXPECT_TRUE(sound.IsLoopPlay());
}

TEST(NullSoundBufferTest, EveryOperationRefuses) {
    CNullSoundBuffer buffer;
    int v = 5;
    uint32_t u = 5;
    EXPECT_FALSE(buffer.IsValid());
    EXPECT_EQ(buffer.Create(nullptr, 4, true, nullptr), -1);
    EXPECT_EQ(buffer.GetStatus(), -1);
    EXPECT_EQ(buffer.GetVolume(&v), -1);
    EXPECT_EQ(buffer.GetFrequency(&u), -1);
    EXPECT_EQ(v, 5);
    EXPECT_EQ(u, 5u);
    EXPECT_EQ(buffer.Play(true), -1);
    KTL::smart_ptr<ISoundBuffer> copy;
    buffer.Duplicate(copy);
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->IsValid());
}

using SwitchSoundTest = soundtest::SoundFixture;

TEST_F(SwitchSoundTest, SwitchCarriesFileLoopVolumeAndPlay) {
    soundtest::Tone().frames = 44100 * 5;
    CSound sound(output_.get());
    EXPECT_EQ(sound.GetType(), 5);
    sound.SetStreamMode(false);   // already static: nothing happens
    EXPECT_FALSE(sound.IsStreamMode());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    sound.SetLoopPlay(true);
    ASSERT_EQ(sound.Play(), 0);
    ASSERT_EQ(sound.SetVolume(-1000), 0);
    for (bool streaming : {true, false}) {
        platform::RenderManualAudio(4096);
        sound.SetStreamMode(streaming);
        EXPECT_EQ(sound.IsStreamMode(), streaming);
        EXPECT_EQ(sound.GetType(), 5);
        EXPECT_EQ(sound.GetFileName(), ToneName());
        EXPECT_TRUE(sound.IsLoopPlay());
        EXPECT_TRUE(sound.IsPlay());
        EXPECT_EQ(sound.GetVolume(), -1000);
        EXPECT_EQ(sound.GetCurrentPos(), 0) << "starts again from its beginning";
    }
    EXPECT_EQ(sound.Stop(), 0);
    EXPECT_FALSE(sound.IsPlay());
    EXPECT_EQ(sound.GetVolume(), -1000);
}

TEST_F(SwitchSoundTest, NewSoundSwitchedToStreamingHasNoFile) {
    CSound sound(output_.get());
    sound.SetStreamMode(true);
    EXPECT_TRUE(sound.IsStreamMode());
    EXPECT_EQ(sound.GetFileName(), "");
    EXPECT_EQ(sound.Play(), 1);
    EXPECT_EQ(sound.Stop(), 0);
}

} // namespace
