// audio_device_test.cpp -- the software mixer and its buffers on the manual device: cursors,
// loop and one-shot ends, locks across the end, duplicates, lost buffers, focus, gains.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "platform/audio.h"
#include "platform/audio_mix.h"
#include "tests/sound/sound_test_util.h"

namespace {

using platform::AudioResult;

class SoundDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::UseManualAudioOutput(true);
        device_ = platform::AudioDevice::Create();
        ASSERT_TRUE(device_);
        ASSERT_EQ(device_->Initialize(), AudioResult::kOk);
        ASSERT_STREQ(platform::GetAudioOutputName(), "manual");
        platform::TakeCapturedAudio();
        platform::SetAudioCapture(true);
    }
    void TearDown() override {
        platform::SetAudioCapture(false);
        platform::SetAudioFocus(true);
        platform::ResetAudioLineGains();
    }

    // A 44100 Hz stereo 16-bit buffer of frames ToneSample frames.
    std::unique_ptr<platform::SoundBuffer> MakeBuffer(uint32_t frames, uint32_t flags = platform::kBufferCtrlVolume,
                                                      uint32_t rate = 44100, uint16_t channels = 2) {
        platform::WaveFormatEx format{platform::kWaveFormatPcm, channels, rate, rate * 2 * channels,
                                      static_cast<uint16_t>(2 * channels), 16, 0};
        platform::BufferDesc desc;
        desc.flags = flags;
        desc.buffer_bytes = frames * format.block_align;
        desc.format = &format;
        std::unique_ptr<platform::SoundBuffer> buffer;
        EXPECT_EQ(device_->CreateSoundBuffer(desc, &buffer), AudioResult::kOk);
        if (!buffer) return buffer;
        void *p1 = nullptr, *p2 = nullptr;
        uint32_t s1 = 0, s2 = 0;
        EXPECT_EQ(buffer->Lock(0, desc.buffer_bytes, &p1, &s1, &p2, &s2, 0), AudioResult::kOk);
        const std::string pcm = soundtest::PcmBytes(frames, channels, 16);
        std::memcpy(p1, pcm.data(), s1);
        EXPECT_EQ(buffer->Unlock(p1, s1, p2, s2), AudioResult::kOk);
        return buffer;
    }

    std::unique_ptr<platform::AudioDevice> device_;
};

TEST_F(SoundDeviceTest, CursorsFollowTheRenderAndWrapWhenLooping) {
    auto buffer = MakeBuffer(3000);
    ASSERT_EQ(buffer->Play(platform::kPlayLooping), AudioResult::kOk);
    struct Step {
        int frames;
        uint32_t play, write;
    };
    // Chunks of 1024 frames: the play cursor is the start of the last chunk, the write cursor
    // the next frame to mix, both in bytes and wrapping at 3000 frames.
    const Step steps[] = {{0, 0, 0}, {1024, 0, 4096}, {1024, 4096, 8192}, {1024, 8192, (3072 - 3000) * 4}};
    for (const Step& step : steps) {
        platform::RenderManualAudio(step.frames);
        uint32_t play = 1, write = 1;
        ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), AudioResult::kOk);
        EXPECT_EQ(play, step.play) << step.frames;
        EXPECT_EQ(write, step.write) << step.frames;
    }
    uint32_t status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, platform::kStatusPlaying | platform::kStatusLooping);
    // The looping output is the buffer over and over, sample for sample.
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    ASSERT_EQ(out.size(), 3072u * 2);
    for (size_t i = 0; i < 3072; ++i) {
        ASSERT_EQ(out[2 * i], soundtest::ToneSample(i % 3000, 0)) << i;
        ASSERT_EQ(out[2 * i + 1], soundtest::ToneSample(i % 3000, 1)) << i;
    }
}

TEST_F(SoundDeviceTest, OneShotStopsAtItsEndFollowedBySilence) {
    auto buffer = MakeBuffer(1500);
    ASSERT_EQ(buffer->Play(0), AudioResult::kOk);
    platform::RenderManualAudio(2048);
    uint32_t status = 9;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    ASSERT_EQ(out.size(), 4096u);
    EXPECT_EQ(out[2 * 1499], soundtest::ToneSample(1499, 0));
    for (size_t i = 1500 * 2; i < out.size(); ++i) ASSERT_EQ(out[i], 0) << i;
}

TEST_F(SoundDeviceTest, StopsJumpsAndLoudStartsFadeWithoutAStep) {
    auto buffer = MakeBuffer(4000);
    void* data = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(buffer->Lock(0, 16000, &data, &size, nullptr, nullptr, 0), AudioResult::kOk);
    for (int i = 0; i < 8000; ++i) static_cast<int16_t*>(data)[i] = static_cast<int16_t>(-30000 + 15 * (i / 2));
    ASSERT_EQ(buffer->Unlock(data, size, nullptr, 0), AudioResult::kOk);   // a slow rise, loud from its first frame
    int worst = 0;
    int16_t last[2] = {0, 0};
    auto render = [&] {
        platform::RenderManualAudio(1000);
        const std::vector<int16_t> out = platform::TakeCapturedAudio();
        for (size_t i = 0; i < out.size(); ++i) worst = std::max(worst, std::abs(out[i] - std::exchange(last[i % 2], out[i])));
    };
    buffer->Play(platform::kPlayLooping);
    render();
    // A static sound's replay: a jump to the start, a stop, a play.
    buffer->SetCurrentPosition(0);
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    buffer->Play(platform::kPlayLooping);
    render();
    buffer->Stop();
    uint32_t status = 1, play = 0, play_after = 1;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u) << "stopped at once";
    buffer->GetCurrentPosition(&play, nullptr);
    render();
    buffer->GetCurrentPosition(&play_after, nullptr);
    EXPECT_EQ(play_after, play) << "the fade moves no cursor";
    buffer->Play(platform::kPlayLooping);
    render();
    buffer.reset();   // destroyed while playing
    render();
    EXPECT_LT(worst, 512) << "a step of 1/64 of full scale or more";
    EXPECT_EQ(last[0], 0);
}

TEST_F(SoundDeviceTest, LockSplitsAcrossTheEndAndCommitsOnlyOnUnlock) {
    auto buffer = MakeBuffer(100);   // 400 bytes
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t s1 = 0, s2 = 0;
    ASSERT_EQ(buffer->Lock(360, 100, &p1, &s1, &p2, &s2, 0), AudioResult::kOk);
    EXPECT_EQ(s1, 40u);
    EXPECT_EQ(s2, 60u);
    ASSERT_NE(p2, nullptr);
    // The staging copy holds what the buffer holds.
    EXPECT_EQ(static_cast<int16_t*>(p1)[0], soundtest::ToneSample(90, 0));
    EXPECT_EQ(static_cast<int16_t*>(p2)[0], soundtest::ToneSample(0, 0));
    std::memset(p1, 0, s1);
    std::memset(p2, 0, s2);
    // A second lock while one is out is refused; bad ranges too.
    void *q1 = nullptr, *q2 = nullptr;
    uint32_t t1 = 0, t2 = 0;
    EXPECT_EQ(buffer->Lock(0, 4, &q1, &t1, &q2, &t2, 0), AudioResult::kInvalidCall);
    ASSERT_EQ(buffer->Play(platform::kPlayLooping), AudioResult::kOk);
    platform::RenderManualAudio(100);
    std::vector<int16_t> out = platform::TakeCapturedAudio();
    EXPECT_EQ(out[2 * 5], soundtest::ToneSample(5, 0)) << "not committed before Unlock";
    ASSERT_EQ(buffer->Unlock(p1, s1, p2, s2), AudioResult::kOk);
    platform::RenderManualAudio(100);
    out = platform::TakeCapturedAudio();
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2 * 14], 0);
    EXPECT_EQ(out[2 * 15], soundtest::ToneSample(15, 0));
    EXPECT_EQ(out[2 * 90], 0);
    EXPECT_EQ(buffer->Lock(400, 4, &q1, &t1, &q2, &t2, 0), AudioResult::kInvalidParam);
    EXPECT_EQ(buffer->Lock(0, 401, &q1, &t1, &q2, &t2, 0), AudioResult::kInvalidParam);
    EXPECT_EQ(buffer->Lock(0, 0, &q1, &t1, &q2, &t2, 0), AudioResult::kInvalidParam);
}

TEST_F(SoundDeviceTest, DuplicatesShareMemoryButNotCursors) {
    auto buffer = MakeBuffer(2000);
    std::unique_ptr<platform::SoundBuffer> copy;
    ASSERT_EQ(device_->DuplicateSoundBuffer(buffer.get(), &copy), AudioResult::kOk);
    ASSERT_TRUE(copy);
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t s1 = 0, s2 = 0;
    ASSERT_EQ(buffer->Lock(0, 8000, &p1, &s1, &p2, &s2, 0), AudioResult::kOk);
    std::memset(p1, 0, s1);
    ASSERT_EQ(buffer->Unlock(p1, s1, p2, s2), AudioResult::kOk);
    ASSERT_EQ(copy->Lock(0, 8, &p1, &s1, &p2, &s2, 0), AudioResult::kOk);
    EXPECT_EQ(static_cast<int16_t*>(p1)[0], 0) << "the duplicate sees the original's memory";
    ASSERT_EQ(copy->Unlock(p1, s1, p2, s2), AudioResult::kOk);
    ASSERT_EQ(copy->Play(0), AudioResult::kOk);
    platform::RenderManualAudio(1024);
    uint32_t play = 0, write = 0;
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(write, 0u);
    copy->GetCurrentPosition(&play, &write);
    EXPECT_EQ(write, 4096u);
}

TEST_F(SoundDeviceTest, LostBuffersRefuseUntilRestoredAndLoseTheirContents) {
    auto buffer = MakeBuffer(1000);
    ASSERT_EQ(buffer->Play(platform::kPlayLooping), AudioResult::kOk);
    platform::LoseAllSoundBuffers();
    uint32_t status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, platform::kStatusBufferLost);
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t s1 = 0, s2 = 0;
    EXPECT_EQ(buffer->Lock(0, 4, &p1, &s1, &p2, &s2, 0), AudioResult::kBufferLost);
    EXPECT_EQ(buffer->Play(0), AudioResult::kBufferLost);
    platform::RenderManualAudio(256);
    for (int16_t v : platform::TakeCapturedAudio()) ASSERT_EQ(v, 0);
    ASSERT_EQ(buffer->Restore(), AudioResult::kOk);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(buffer->Lock(0, 4, &p1, &s1, &p2, &s2, 0), AudioResult::kOk);
    EXPECT_EQ(static_cast<int16_t*>(p1)[0], 0);
    buffer->Unlock(p1, s1, p2, s2);
}

TEST_F(SoundDeviceTest, OnlyGlobalFocusBuffersSoundWithoutFocus) {
    auto local = MakeBuffer(4000, platform::kBufferCtrlVolume);
    auto global = MakeBuffer(4000, platform::kBufferCtrlVolume | platform::kBufferGlobalFocus, 44100, 1);
    ASSERT_EQ(local->SetVolume(platform::kVolumeMin), AudioResult::kOk);
    ASSERT_EQ(local->Play(0), AudioResult::kOk);
    ASSERT_EQ(global->Play(0), AudioResult::kOk);
    ASSERT_EQ(local->SetVolume(0), AudioResult::kOk);
    platform::SetAudioFocus(false);
    platform::RenderManualAudio(100);
    std::vector<int16_t> out = platform::TakeCapturedAudio();
    // Only the mono global-focus buffer is heard, on both sides.
    EXPECT_EQ(out[20], soundtest::ToneSample(10, 0));
    EXPECT_EQ(out[21], soundtest::ToneSample(10, 0));
    uint32_t play = 0, write = 0;
    local->GetCurrentPosition(&play, &write);
    EXPECT_EQ(write, 400u) << "a muted buffer goes on playing";
    platform::SetAudioFocus(true);
    platform::RenderManualAudio(1);
    out = platform::TakeCapturedAudio();
    EXPECT_EQ(out[0], std::clamp(soundtest::ToneSample(100, 0) + soundtest::ToneSample(100, 0), -32768, 32767));
}

TEST_F(SoundDeviceTest, VolumePanFrequencyNeedTheirControlFlags) {
    struct Case {
        uint32_t flags;
        AudioResult volume, pan, frequency;
    };
    const Case cases[] = {
        {0, AudioResult::kControlUnavailable, AudioResult::kControlUnavailable, AudioResult::kControlUnavailable},
        {platform::kBufferCtrlVolume | platform::kBufferCtrlPan | platform::kBufferCtrlFrequency, AudioResult::kOk,
         AudioResult::kOk, AudioResult::kOk},
    };
    for (const Case& c : cases) {
        auto buffer = MakeBuffer(100, c.flags);
        EXPECT_EQ(buffer->SetVolume(-600), c.volume);
        EXPECT_EQ(buffer->SetPan(2000), c.pan);
        EXPECT_EQ(buffer->SetFrequency(22050), c.frequency);
    }
    auto buffer = MakeBuffer(100, platform::kBufferCtrlVolume | platform::kBufferCtrlPan | platform::kBufferCtrlFrequency);
    EXPECT_EQ(buffer->SetVolume(1), AudioResult::kInvalidParam);
    EXPECT_EQ(buffer->SetVolume(-10001), AudioResult::kInvalidParam);
    EXPECT_EQ(buffer->SetPan(10001), AudioResult::kInvalidParam);
    EXPECT_EQ(buffer->SetFrequency(99), AudioResult::kInvalidParam);
    EXPECT_EQ(buffer->SetFrequency(0), AudioResult::kOk);
    uint32_t frequency = 0;
    buffer->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 44100u);
}

TEST_F(SoundDeviceTest, GainsOfVolumePanAndMixerLinesScaleTheMix) {
    auto buffer = MakeBuffer(4000, platform::kBufferCtrlVolume | platform::kBufferCtrlPan);
    struct Case {
        int volume, pan;
        float wave, speakers;
        double left, right;   // expected gains
    };
    const double minus6db = std::pow(10.0, -600 / 2000.0);
    const Case cases[] = {
        {0, 0, 1.0f, 1.0f, 1.0, 1.0},
        {-600, 0, 1.0f, 1.0f, minus6db, minus6db},
        {0, 600, 1.0f, 1.0f, minus6db, 1.0},
        {0, -600, 1.0f, 1.0f, 1.0, minus6db},
        {0, 0, 0.5f, 1.0f, 0.5, 0.5},
        {0, 0, 1.0f, 0.25f, 0.25, 0.25},
        {-10000, 0, 1.0f, 1.0f, 0.0, 0.0},
    };
    ASSERT_EQ(buffer->Play(platform::kPlayLooping), AudioResult::kOk);
    uint32_t frame = 0;
    for (const Case& c : cases) {
        buffer->SetVolume(c.volume);
        buffer->SetPan(c.pan);
        platform::SetAudioLineGain(platform::AudioLine::kWave, c.wave);
        platform::SetAudioLineGain(platform::AudioLine::kSpeakers, c.speakers);
        // A line's new gain is reached after the mixer's fade.
        const int at = soundtest::kMixerFadeFrames;
        platform::RenderManualAudio(at + 1);
        const std::vector<int16_t> out = platform::TakeCapturedAudio();
        EXPECT_NEAR(out[2 * at], soundtest::ToneSample(frame + at, 0) * c.left, 1.0) << c.volume << " " << c.pan;
        EXPECT_NEAR(out[2 * at + 1], soundtest::ToneSample(frame + at, 1) * c.right, 1.0) << c.volume << " " << c.pan;
        frame += at + 1;
    }
}

class ConstantSource final : public platform::IAudioSource {
public:
    void Mix(float* stereo, int frames) override {
        for (int i = 0; i < 2 * frames; ++i) stereo[i] += 0.25f;
    }
};

TEST_F(SoundDeviceTest, AttachedSourcesJoinTheMixUnderTheSpeakersGain) {
    ConstantSource source;
    platform::AttachAudioSource(&source, platform::AudioLine::kSynth);
    platform::SetAudioLineGain(platform::AudioLine::kSynth, 0.5f);
    platform::SetAudioLineGain(platform::AudioLine::kSpeakers, 0.5f);
    platform::RenderManualAudio(4);
    platform::DetachAudioSource(&source);
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    EXPECT_EQ(out[0], static_cast<int16_t>(0.25f * 0.5f * 0.5f * 32768.0f));
}

TEST_F(SoundDeviceTest, HalfRateBufferIsStretchedTwice) {
    auto buffer = MakeBuffer(100, platform::kBufferCtrlVolume, 22050);
    ASSERT_EQ(buffer->Play(0), AudioResult::kOk);
    platform::RenderManualAudio(256);
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    EXPECT_EQ(out[2 * 20], soundtest::ToneSample(10, 0));
    EXPECT_NEAR(out[2 * 21], (soundtest::ToneSample(10, 0) + soundtest::ToneSample(11, 0)) / 2.0, 1.0);
    EXPECT_EQ(out[2 * 200], 0) << "ended after 200 frames";
}

TEST_F(SoundDeviceTest, PrimaryFormatNeedsPriorityAndIsKept) {
    platform::BufferDesc desc;
    desc.flags = platform::kBufferPrimary;
    std::unique_ptr<platform::SoundBuffer> primary;
    ASSERT_EQ(device_->CreateSoundBuffer(desc, &primary), AudioResult::kOk);
    platform::WaveFormatEx format{platform::kWaveFormatPcm, 2, 44100, 176400, 4, 16, 0};
    ASSERT_EQ(device_->SetCooperativeLevel(nullptr, platform::kCooperativeNormal), AudioResult::kOk);
    EXPECT_EQ(primary->SetFormat(&format), AudioResult::kPriorityNeeded);
    ASSERT_EQ(device_->SetCooperativeLevel(nullptr, platform::kCooperativePriority), AudioResult::kOk);
    EXPECT_EQ(primary->SetFormat(&format), AudioResult::kOk);
    platform::WaveFormatEx got{};
    uint32_t written = 0;
    ASSERT_EQ(primary->GetFormat(&got, sizeof(got), &written), AudioResult::kOk);
    EXPECT_EQ(written, 18u);
    EXPECT_EQ(std::memcmp(&got, &format, sizeof(got)), 0);
}

TEST_F(SoundDeviceTest, BadDescriptionsAreRefused) {
    platform::WaveFormatEx pcm{platform::kWaveFormatPcm, 2, 44100, 176400, 4, 16, 0};
    platform::WaveFormatEx bad_bits = pcm;
    bad_bits.bits_per_sample = 12;
    platform::WaveFormatEx compressed = pcm;
    compressed.format_tag = 0x55;
    struct Case {
        uint32_t size, bytes;
        const platform::WaveFormatEx* format;
        AudioResult expected;
    };
    const Case cases[] = {
        {20, 400, &pcm, AudioResult::kOk},        {24, 400, &pcm, AudioResult::kInvalidParam},
        {20, 0, &pcm, AudioResult::kInvalidParam}, {20, 400, nullptr, AudioResult::kInvalidParam},
        {20, 400, &bad_bits, AudioResult::kBadFormat}, {20, 400, &compressed, AudioResult::kBadFormat},
    };
    for (const Case& c : cases) {
        platform::BufferDesc desc;
        desc.size = c.size;
        desc.buffer_bytes = c.bytes;
        desc.format = c.format;
        std::unique_ptr<platform::SoundBuffer> buffer;
        EXPECT_EQ(device_->CreateSoundBuffer(desc, &buffer), c.expected) << c.size << " " << c.bytes;
        EXPECT_EQ(buffer != nullptr, c.expected == AudioResult::kOk);
    }
}

} // namespace
