// stream_sound_test.cpp -- the streamed wave sound on the manual device: its ring, looping
// output sample for sample, the play-out of a one-shot, pauses and the refill thread's life.
#include <gtest/gtest.h>

#include "sdk/sound/WaveStreamSound.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using soundtest::Tone;
using soundtest::ToneSample;

class StreamSoundTest : public soundtest::SoundFixture {
protected:
    // The captured output is the tone from frame `from` on for count frames.
    static void ExpectTone(const std::vector<int16_t>& out, size_t first, size_t count, uint64_t tone_frames,
                           uint64_t from = 0) {
        ASSERT_GE(out.size(), 2 * (first + count));
        for (size_t i = 0; i < count; ++i) {
            const uint64_t t = (from + i) % tone_frames;
            ASSERT_EQ(out[2 * (first + i)], ToneSample(t, 0)) << "frame " << first + i;
            ASSERT_EQ(out[2 * (first + i) + 1], ToneSample(t, 1)) << "frame " << first + i;
        }
    }
    static void ExpectSilence(const std::vector<int16_t>& out, size_t first) {
        for (size_t i = 2 * first; i < out.size(); ++i) ASSERT_EQ(out[i], 0) << "frame " << i / 2;
    }
};

TEST_F(StreamSoundTest, RingOfThreeBlocksAndFirstFill) {
    soundtest::WavSpec spec;   // 22050 Hz 16-bit mono
    spec.frames = 22050 * 4;
    const std::string name = Make("long.wav", soundtest::WavBytes(spec));
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(name), 0);
    EXPECT_EQ(sound.GetLength(), 4000);
    ASSERT_EQ(sound.Play(), 0);
    KTL::smart_ptr<ISoundBuffer> buffer = sound.GetBuffer();
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t s1 = 0, s2 = 0;
    ASSERT_EQ(buffer->Lock(0, 132300, &p1, &s1, &p2, &s2), 0);
    buffer->Unlock(p1, s1, p2, s2);
    EXPECT_EQ(buffer->Lock(0, 132301, &p1, &s1, &p2, &s2), 2);
    // Nothing has played, so the stream stands where the first fill left it.
    EXPECT_EQ(sound.GetStream()->GetCurrentPos(), static_cast<int>(115760ull * 1000 / 44100));
    sound.Stop();
}

TEST_F(StreamSoundTest, LoopingOneSecondStreamRepeatsExactly) {
    Tone().frames = 44100;
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    sound.SetLoopPlay(true);
    ASSERT_EQ(sound.Play(), 0);
    uint64_t rendered = 0;
    RenderStreamed(44100 * 7, rendered);
    EXPECT_TRUE(sound.IsPlay());
    sound.Stop();
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    ExpectTone(out, 0, 44100 * 7, 44100);
}

TEST_F(StreamSoundTest, ShortReadsAreOwedAndStillLoopExactly) {
    Tone().frames = 30000;
    Tone().max_read = 4000 * 4;   // every read short
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    sound.SetLoopPlay(true);
    ASSERT_EQ(sound.Play(), 0);
    uint64_t rendered = 0;
    RenderStreamed(44100 * 6, rendered);
    sound.Stop();
    ExpectTone(platform::TakeCapturedAudio(), 0, 44100 * 6, 30000);
}

TEST_F(StreamSoundTest, OneShotLongerThanTheRingPlaysOutToSilenceAndStops) {
    Tone().frames = 44100 * 4 + 1000;
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    ASSERT_EQ(sound.Play(), 0);
    uint64_t rendered = 0;
    RenderStreamed(44100 * 4 + 1000, rendered, &sound);
    // A second of rendering after the end: silence, never the ring's old audio.
    RenderStreamed(44100, rendered, &sound);
    ASSERT_TRUE(soundtest::WaitFor([&] { return !sound.IsPlay(); }));
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    ExpectTone(out, 0, 44100 * 4 + 1000, UINT64_MAX);
    ExpectSilence(out, 44100 * 4 + 1000);
    EXPECT_EQ(sound.GetCurrentPos(), 0);
    EXPECT_EQ(sound.GetStream()->GetCurrentPos(), 0) << "rewound";
}

TEST_F(StreamSoundTest, StreamShorterThanTheFirstFill) {
    struct Case {
        bool loop;
    };
    for (const Case c : {Case{false}, Case{true}}) {
        Tone().frames = 20000;
        Tone().end_reads = 0;
        Tone().commits_at_end = 0;
        CWaveStreamSound sound(output_.get());
        ASSERT_EQ(sound.Open(ToneName()), 0);
        sound.SetLoopPlay(c.loop);
        platform::TakeCapturedAudio();
        ASSERT_EQ(sound.Play(), 0);
        uint64_t rendered = 0;
        RenderStreamed(44100 * 3, rendered, c.loop ? nullptr : &sound);
        const std::vector<int16_t> out = platform::TakeCapturedAudio();
        if (c.loop) {
            EXPECT_TRUE(sound.IsPlay());
            ExpectTone(out, 0, 44100 * 3, 20000);
            sound.Stop();
        } else {
            ASSERT_TRUE(soundtest::WaitFor([&] { return !sound.IsPlay(); }));
            ExpectTone(out, 0, 20000, UINT64_MAX);
            ExpectSilence(out, 20000);
        }
    }
}

TEST_F(StreamSoundTest, EightBitOneShotEndsInSilence) {
    soundtest::WavSpec spec;
    spec.rate = 11025;
    spec.bits = 8;
    spec.frames = 11025;
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(Make("eight.wav", soundtest::WavBytes(spec))), 0);
    ASSERT_EQ(sound.Play(), 0);
    ASSERT_TRUE(soundtest::WaitFor([&] {
        platform::RenderManualAudio(1024);
        return !sound.IsPlay();
    }));
    ExpectSilence(platform::TakeCapturedAudio(), 44100 + 16);
}

TEST_F(StreamSoundTest, EmptyStreamEndsInsteadOfSpinning) {
    for (bool loop : {false, true}) {
        Tone().frames = 0;
        CWaveStreamSound sound(output_.get());
        ASSERT_EQ(sound.Open(ToneName()), 0);
        sound.SetLoopPlay(loop);
        ASSERT_EQ(sound.Play(), 0);
        // The end is met as the cursors move on.
        ASSERT_TRUE(soundtest::WaitFor([&] {
            platform::RenderManualAudio(1024);
            return !sound.IsPlay();
        })) << loop;
        EXPECT_EQ(sound.GetCurrentPos(), 0);
    }
}

TEST_F(StreamSoundTest, LoopingPositionRunsBackToZero) {
    Tone().frames = 44100;
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    sound.SetLoopPlay(true);
    ASSERT_EQ(sound.Play(), 0);
    uint64_t rendered = 0;
    RenderStreamed(44100 / 2, rendered);
    ASSERT_TRUE(soundtest::WaitFor([&] { return sound.GetCurrentPos() >= 400; }));
    RenderStreamed(44100 * 3 / 4, rendered);   // 1.25 s in
    ASSERT_TRUE(soundtest::WaitFor([&] { return sound.GetCurrentPos() < 400; }));
    EXPECT_TRUE(sound.IsPlay());
    sound.Stop();
}

TEST_F(StreamSoundTest, PauseStopReplayAndPlayWhilePaused) {
    Tone().frames = 44100 * 5;
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    ASSERT_EQ(sound.Play(), 0);
    uint64_t rendered = 0;
    RenderStreamed(11025, rendered);
    ASSERT_EQ(sound.Pause(), 0);
    EXPECT_FALSE(sound.IsPlay());
    EXPECT_EQ(sound.Stop(), 0);   // does nothing while paused
    ASSERT_EQ(sound.Replay(), 0);
    EXPECT_TRUE(sound.IsPlay());
    RenderStreamed(11025, rendered);
    ExpectTone(platform::TakeCapturedAudio(), 0, 22050, UINT64_MAX);
    // Play on a paused sound refills from where the stream stands and plays from there.
    ASSERT_EQ(sound.Pause(), 0);
    const uint64_t next = Tone().delivered / 4;
    ASSERT_EQ(sound.Play(), 0);
    EXPECT_TRUE(sound.IsPlay());
    platform::RenderManualAudio(1000);
    const size_t fade = soundtest::kMixerFadeFrames;   // from the paused place over to the new one
    ExpectTone(platform::TakeCapturedAudio(), fade, 1000 - fade, UINT64_MAX, next + fade);
    sound.Stop();
    EXPECT_EQ(sound.GetCurrentPos(), 0);
}

TEST_F(StreamSoundTest, PausedSoundClosesReopensAndDestroysCleanly) {
    Tone().frames = 44100 * 5;
    for (int round = 0; round < 3; ++round) {
        auto sound = std::make_unique<CWaveStreamSound>(output_.get());
        ASSERT_EQ(sound->Open(ToneName()), 0);
        ASSERT_EQ(sound->Play(), 0);
        platform::RenderManualAudio(44100 / 2);
        ASSERT_EQ(sound->Pause(), 0);
        switch (round) {
        case 0:
            EXPECT_EQ(sound->Close(), 0);
            EXPECT_FALSE(sound->IsRunning()) << "Close ends the refill thread";
            break;
        case 1:
            EXPECT_EQ(sound->Open(ToneName()), 0);
            EXPECT_FALSE(sound->IsRunning()) << "Open ends the refill thread";
            EXPECT_EQ(sound->Play(), 0);
            sound->Pause();
            break;
        default:
            break;
        }
        sound.reset();   // destroying a paused sound ends its thread first
    }
}

TEST_F(StreamSoundTest, SetCurrentPosMovesTheStreamOrRestartsThere) {
    Tone().frames = 44100 * 5;
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    EXPECT_EQ(sound.SetCurrentPos(2000), 0);
    EXPECT_FALSE(sound.IsPlay());
    EXPECT_EQ(sound.GetCurrentPos(), 2000);
    EXPECT_EQ(sound.GetStream()->GetCurrentPos(), 2000);
    ASSERT_EQ(sound.Play(), 0);
    EXPECT_EQ(sound.SetCurrentPos(1000), 0);
    EXPECT_TRUE(sound.IsPlay());
    platform::TakeCapturedAudio();
    const size_t fade = soundtest::kMixerFadeFrames;   // the tone is loud there: it fades in
    platform::RenderManualAudio(fade + 100);
    ExpectTone(platform::TakeCapturedAudio(), fade, 100, UINT64_MAX, 44100 + fade);
    sound.Stop();
}

TEST_F(StreamSoundTest, UnreadableFileOpensButDoesNotPlay) {
    CWaveStreamSound sound(output_.get());
    EXPECT_EQ(sound.Open((dir_.path() / "missing.wav").string()), 0);
    EXPECT_EQ(sound.GetFileName(), (dir_.path() / "missing.wav").string());
    EXPECT_EQ(sound.Play(), 1);
    EXPECT_TRUE(log_.Contains("CWaveStreamSound::InitBuffer ファイルが読み込めてない"));
    EXPECT_EQ(sound.GetCurrentPos(), -1);
    EXPECT_EQ(sound.SetCurrentPos(0), 1);
    EXPECT_EQ(sound.Open(""), 0);
    EXPECT_EQ(sound.GetFileName(), "");
}

TEST_F(StreamSoundTest, LostBufferIsReopenedStopped) {
    Tone().frames = 44100 * 5;
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(ToneName()), 0);
    ASSERT_EQ(sound.Play(), 0);
    platform::LoseAllSoundBuffers();
    EXPECT_FALSE(sound.IsPlay());
    const int opens = Tone().opens;
    EXPECT_EQ(sound.Restore(), 0);
    EXPECT_EQ(Tone().opens, opens + 1);
    EXPECT_FALSE(sound.IsPlay());
    EXPECT_EQ(sound.Play(), 0);
    sound.Stop();
}

} // namespace
