// device_output_test.cpp -- the sound device, its buffer wrappers and the wave output: failures
// by step, result numbers, primary formats, registration and the restore on re-activation.
#include <gtest/gtest.h>

#include "sdk/sound/SoundBuffer.h"
#include "sdk/sound/WaveSound.h"
#include "sdk/sound/WaveStaticSound.h"
#include "sdk/sound/WaveStreamSound.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace zuderadeDoruVAV3ed;

class DeviceOutputTest : public soundtest::SoundFixture {
protected:
    static WAVEFORMATEX Pcm() { return WAVEFORMATEX{platform::kWaveFormatPcm, 2, 44100, 176400, 4, 16, 0}; }
};

TEST_F(DeviceOutputTest, DeviceFailuresByStepGiveNullBuffers) {
    struct Case {
        platform::AudioFault fault;
        int status;
        const char* log;
    };
    const Case cases[] = {
        {platform::AudioFault::kCreate, 1, "CDirectSound::CDirectSound() objectの作成に失敗"},
        {platform::AudioFault::kInitialize, 2, "CDirectSound::CDirectSound() Initializeに失敗"},
        {platform::AudioFault::kCooperativeLevel, 3, "CDirectSound::CDirectSound() SetCooperativeLevelの失敗"},
    };
    for (const Case& c : cases) {
        platform::SetAudioFaultForTest(c.fault);
        CDirectSound device;
        platform::SetAudioFaultForTest(platform::AudioFault::kNone);
        EXPECT_EQ(device.GetStatus(), c.status);
        EXPECT_TRUE(log_.Contains(c.log)) << c.log;
        EXPECT_EQ(device.SetCooperativeLevel(platform::kCooperativeNormal), 1);
        EXPECT_TRUE(log_.Contains("CDirectSound::SetCooperativeLevel(1) DirectSoundの初期化に失敗している"));
        CWaveOutputDirectSound output(&device);
        KTL::smart_ptr<ISoundBuffer> buffer;
        output.CreateSoundBuffer(buffer);
        ASSERT_TRUE(buffer);
        EXPECT_FALSE(buffer->IsValid());
        EXPECT_EQ(output.SetFormat(3, 1, true), 3);
        // A wave sound on it plays nothing and says so.
        CSound sound(&output);
        EXPECT_EQ(sound.Open(Make("tone.wav", soundtest::WavBytes(soundtest::WavSpec{}))), 1);
        EXPECT_FALSE(sound.IsPlay());
    }
    EXPECT_TRUE(CDirectSound::CanUse());
}

TEST_F(DeviceOutputTest, WrapperResultsBeforeAndAfterCreate) {
    CDirectSoundBufferB buffer(device_.get());
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t s1 = 0, s2 = 0;
    EXPECT_EQ(buffer.GetStatus(), 0);
    EXPECT_EQ(buffer.Lock(0, 4, &p1, &s1, &p2, &s2), 1);
    EXPECT_EQ(buffer.Play(false), 1);
    EXPECT_EQ(buffer.SetVolume(0), 1);
    const WAVEFORMATEX format = Pcm();
    ASSERT_EQ(buffer.Create(&format, 4000, true, nullptr), 0);
    EXPECT_EQ(buffer.GetStatus(), 2);
    EXPECT_EQ(buffer.SetPan(100), 2) << "no pan control without the option";
    ASSERT_EQ(buffer.Lock(0, 4000, &p1, &s1, &p2, &s2), 0);
    for (uint32_t i = 0; i < s1; ++i) ASSERT_EQ(static_cast<uint8_t*>(p1)[i], 0);
    buffer.Unlock(p1, s1, p2, s2);
    ASSERT_EQ(buffer.Play(true), 0);
    EXPECT_EQ(buffer.GetStatus(), 3);
    // A lost buffer: Play tells loss apart (2); Lock restores it and succeeds.
    platform::LoseAllSoundBuffers();
    EXPECT_EQ(buffer.GetStatus(), 1);
    EXPECT_EQ(buffer.Play(false), 2);
    EXPECT_EQ(buffer.Lock(0, 4, &p1, &s1, &p2, &s2), 0);
    buffer.Unlock(p1, s1, p2, s2);
    EXPECT_EQ(buffer.GetStatus(), 2);
    WAVEFORMATEX got{};
    ASSERT_EQ(buffer.GetFormat(&got), 0);
    EXPECT_EQ(+got.avg_bytes_per_sec, 176400u);
}

TEST_F(DeviceOutputTest, OptionsBecomeBufferCapabilities) {
    CStreamFactoryHolder options;
    options.SetGlobalFocus(true);
    options.SetPanControl(true);
    options.SetFrequencyControl(true);
    CDirectSoundBufferB buffer(device_.get());
    const WAVEFORMATEX format = Pcm();
    ASSERT_EQ(buffer.Create(&format, 4000, false, &options), 0);
    EXPECT_EQ(buffer.SetPan(-300), 0);
    EXPECT_EQ(buffer.SetFrequency(22050), 0);
    uint32_t frequency = 0;
    EXPECT_EQ(buffer.GetFrequency(&frequency), 0);
    EXPECT_EQ(frequency, 22050u);
    // Global focus: still heard while the window has no focus.
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t s1 = 0, s2 = 0;
    ASSERT_EQ(buffer.Lock(0, 4000, &p1, &s1, &p2, &s2), 0);
    std::memset(p1, 0x40, s1);
    buffer.Unlock(p1, s1, p2, s2);
    buffer.Play(true);
    platform::SetAudioFocus(false);
    platform::RenderManualAudio(8);
    platform::SetAudioFocus(true);
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    EXPECT_NE(out[2 * 7], 0);
    // Duplicates of a secondary buffer share it; the primary buffer has none.
    KTL::smart_ptr<ISoundBuffer> copy;
    buffer.Duplicate(copy);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->IsValid());
    CDirectSoundBufferA primary(device_.get());
    primary.Duplicate(copy);
    EXPECT_FALSE(copy);
}

TEST_F(DeviceOutputTest, SetFormatBuildsThePrimaryFormat) {
    struct Case {
        int rate, bits;
        bool stereo;
        uint32_t samples;
        uint16_t channels, bits_per_sample, align;
        uint32_t bytes;
    };
    const Case cases[] = {
        {3, 1, true, 44100, 2, 16, 4, 176400},
        {1, 0, false, 22050, 1, 8, 1, 22050},
        {0, 1, true, 11025, 2, 16, 4, 44100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(output_->SetFormat(c.rate, c.bits, c.stereo), 0);
        EXPECT_EQ(output_->GetFormatCode(), (c.bits + 2 * c.rate) * 2 + (c.stereo ? 1 : 0));
        WAVEFORMATEX got{};
        ASSERT_EQ(output_->GetPrimaryBuffer()->GetFormat(&got), 0);
        EXPECT_EQ(+got.samples_per_sec, c.samples);
        EXPECT_EQ(+got.channels, c.channels);
        EXPECT_EQ(+got.bits_per_sample, c.bits_per_sample);
        EXPECT_EQ(+got.block_align, c.align);
        EXPECT_EQ(+got.avg_bytes_per_sec, c.bytes);
    }
    EXPECT_EQ(output_->SetFormat(0, 1, true), 0) << "unchanged";
}

TEST_F(DeviceOutputTest, OnlyStaticSoundsAreRegistered) {
    const size_t before = output_->GetBufferList().size();
    {
        CWaveStaticSound still(output_.get());
        CWaveStreamSound streamed(output_.get());
        CSound wave(output_.get());   // its static inner sound registers, not the CSound
        CNullSound none;
        EXPECT_EQ(output_->GetBufferList().size(), before + 2);
        EXPECT_EQ(output_->AddBuffer(&streamed), 1);
        EXPECT_EQ(output_->AddBuffer(&wave), 1);
        EXPECT_EQ(output_->AddBuffer(&none), 1);
        EXPECT_EQ(output_->ReleaseBuffer(&none), 1);
        EXPECT_EQ(output_->GetBufferList().size(), before + 2);
    }
    EXPECT_EQ(output_->GetBufferList().size(), before);
}

TEST_F(DeviceOutputTest, ReactivationReloadsLostStaticSounds) {
    soundtest::WavSpec spec;
    spec.rate = 44100;
    spec.channels = 2;
    spec.frames = 4000;
    const std::string name = Make("effect.wav", soundtest::WavBytes(spec));
    CWaveStaticSound sound(output_.get());
    ASSERT_EQ(sound.Open(name), 0);
    platform::LoseAllSoundBuffers();
    Activate(false);
    EXPECT_EQ(sound.GetFileName(), name);
    ASSERT_EQ(sound.Play(), 0) << "Play meets the lost buffer and restores it";
    EXPECT_FALSE(sound.IsPlay()) << "restored stopped";
    platform::LoseAllSoundBuffers();
    Activate(true);
    ASSERT_EQ(sound.Play(), 0);
    platform::TakeCapturedAudio();
    platform::RenderManualAudio(100);
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    EXPECT_EQ(out[2 * 50], soundtest::ToneSample(50, 0)) << "the contents were loaded again";
}

} // namespace
