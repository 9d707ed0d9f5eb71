// sound_fixture.h -- a sound device and wave output on the manual audio device, with the tone
// stream registered for "tone" files and the output captured.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/audio.h"
#include "sdk/app/WinHook.h"
#include "sdk/sound/Sound.h"
#include "sdk/sound/DirectSound.h"
#include "sdk/sound/WaveOutput.h"
#include "tests/scratch_dir.h"
#include "tests/sound/sound_test_util.h"

namespace soundtest {

class SoundFixture : public ::testing::Test {
protected:
    static constexpr uint32_t kToneBlock = 176400;                       // one second of the tone
    static constexpr uint32_t kToneFirstFill = (kToneBlock * 21 / 8) & ~3u;

    void SetUp() override {
        platform::UseManualAudioOutput(true);
        platform::SetAudioFaultForTest(platform::AudioFault::kNone);
        device_ = std::make_unique<zuderadeDoruVAV3ed::CDirectSound>();
        ASSERT_EQ(device_->GetStatus(), zuderadeDoruVAV3ed::CDirectSound::kReady);
        output_ = std::make_unique<zuderadeDoruVAV3ed::CWaveOutputDirectSound>(device_.get());
        RegisterToneStream();
        output_->GetStreamFactory()->GetStreamFactory()->GetExtensionMap()->SetStr("tone", "CTestToneStream");
        Tone().frames = 44100;
        Tone().max_read = 0xFFFFFFFF;
        Tone().delivered = 0;
        Tone().end_reads = 0;
        Tone().commits_at_end = 0;
        platform::TakeCapturedAudio();
        platform::SetAudioCapture(true);
    }
    void TearDown() override {
        platform::SetAudioCapture(false);
        output_.reset();
        device_.reset();
    }

    std::string Make(const std::string& name, const std::string& bytes) {
        const auto path = dir_.path() / name;
        WriteFile(path, bytes);
        return path.string();
    }
    std::string ToneName() const { return (dir_.path() / "music.tone").string(); }

    // Renders frames in quarter seconds; before each and after the last, waits until the refill thread has caught up
    // with what was played, so the outcome never depends on how fast the thread runs. Once a
    // one-shot tone has met its end, the wait is for the ring to be cleared behind its last data
    // (the one commit after the end).
    // A one-shot sound's play-out counts the play cursor's moves, so there the wait is also for
    // the sound to have seen each chunk played (the real output never moves a whole ring at once).
    void RenderStreamed(uint64_t frames, uint64_t& rendered_bytes, zuderadeDoruVAV3ed::ISound* one_shot = nullptr) {
        auto caught_up = [&] {
            if (one_shot && Tone().end_reads > 0) return platform::GetSoundBufferCommitCount() > Tone().commits_at_end;
            if (one_shot && Tone().delivered >= uint64_t{Tone().frames} * 4) return true;   // all in, end not yet met
            return Tone().delivered + kToneBlock / 2 > rendered_bytes + kToneFirstFill;
        };
        while (frames > 0) {
            ASSERT_TRUE(WaitFor(caught_up)) << "the refill thread did not catch up: rendered " << rendered_bytes
                                            << " delivered " << Tone().delivered;
            const int n = static_cast<int>(std::min<uint64_t>(frames, 11025));
            platform::RenderManualAudio(n);
            frames -= n;
            rendered_bytes += static_cast<uint64_t>(n) * 4;
            if (!one_shot) continue;
            const int seen_ms = static_cast<int>((rendered_bytes - std::min<uint64_t>(rendered_bytes, 8192)) * 1000 / kToneBlock);
            ASSERT_TRUE(WaitFor([&] { return !one_shot->IsPlay() || one_shot->GetCurrentPos() >= seen_ms; }))
                << "the refill thread did not follow the play cursor";
        }
        ASSERT_TRUE(WaitFor(caught_up)) << "the refill thread did not catch up at the end";
    }

    // Sends the application's re-activation to the output.
    void Activate(bool active) { output_->WndProc(nullptr, zuderadeDoruVAV3ed::kMsgActivateApp, active ? 1 : 0, 0); }

    testutil::ScratchDir dir_{"sound"};
    LogCapture log_;
    std::unique_ptr<zuderadeDoruVAV3ed::CDirectSound> device_;
    std::unique_ptr<zuderadeDoruVAV3ed::CWaveOutputDirectSound> output_;
};

} // namespace soundtest
