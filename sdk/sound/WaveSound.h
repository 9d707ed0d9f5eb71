// WaveSound.h -- CSound: the wave sound the factory hands out, static or streamed inside and
// switchable between the two.
#pragma once

#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/Sound.h"

namespace zuderadeDoruVAV3ed {

class CWaveOutputDirectSound;

class CSound : public IWaveSound {
public:
    explicit CSound(CWaveOutputDirectSound* output);

    int Open(const std::string& file_name) override { return inner_->Open(file_name); }
    int Close() override { return inner_->Close(); }
    int Play() override { return inner_->Play(); }
    int Pause() override { return inner_->Pause(); }
    int Replay() override { return inner_->Replay(); }
    // Stops the inner sound, keeping its volume; always 0.
    int Stop() override;
    bool IsPlay() override { return inner_->IsPlay(); }
    int SetLoopPlay(bool loop) override { return inner_->SetLoopPlay(loop); }
    bool IsLoopPlay() override { return inner_->IsLoopPlay(); }
    int SetCurrentPos(int ms) override { return inner_->SetCurrentPos(ms); }
    int GetCurrentPos() override { return inner_->GetCurrentPos(); }
    int GetLength() override { return inner_->GetLength(); }
    int SetVolume(int volume) override { return inner_->SetVolume(volume); }
    int GetVolume() override { return inner_->GetVolume(); }
    int GetType() override { return kSoundWave; }
    std::string GetFileName() override { return inner_->GetFileName(); }
    int Restore() override { return inner_->Restore(); }

    // Replaces the inner sound by a streamed (true) or static one, carrying over the file, the
    // loop flag, the volume and whether it plays (from its beginning).
    void SetStreamMode(bool streaming);
    bool IsStreamMode() const { return streaming_; }

private:
    KTL::smart_ptr<IWaveSound> inner_;
    CWaveOutputDirectSound* output_;
    int saved_volume_ = 0;
    bool streaming_ = false;
};

} // namespace zuderadeDoruVAV3ed
