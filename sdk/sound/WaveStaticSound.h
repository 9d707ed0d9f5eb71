// WaveStaticSound.h -- a wave sound decoded whole into one sound buffer (short effects).
#pragma once

#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/Sound.h"
#include "sdk/sound/SoundBuffer.h"

namespace zuderadeDoruVAV3ed {

class CWaveOutputDirectSound;

class CWaveStaticSound : public IWaveSound {
public:
    explicit CWaveStaticSound(CWaveOutputDirectSound* output);
    ~CWaveStaticSound() override;

    int Open(const std::string& file_name) override { return Load(file_name); }
    int Close() override;
    int Play() override;
    int Pause() override;
    int Replay() override;
    int Stop() override;
    bool IsPlay() override;
    int SetLoopPlay(bool loop) override {
        loop_ = loop;
        return 0;
    }
    bool IsLoopPlay() override { return loop_; }
    int SetCurrentPos(int ms) override;
    int GetCurrentPos() override;
    int GetLength() override { return static_cast<int>(length_ms_); }
    int SetVolume(int volume) override { return buffer_->SetVolume(volume); }
    int GetVolume() override;
    int GetType() override { return kSoundWaveStatic; }
    std::string GetFileName() override { return file_name_; }
    int Restore() override;

    // Decodes the file into a new buffer: 0 (also for an empty name or a file no reader opens,
    // which leave the sound empty), 1 to 4 by the failing step.
    int Load(const std::string& file_name);

private:
    KTL::smart_ptr<ISoundBuffer> buffer_;
    std::string file_name_;
    int pause_count_ = 0;
    bool loop_ = false;
    uint32_t bytes_per_second_ = 0;
    uint32_t length_ms_ = 0;
    CWaveOutputDirectSound* output_;
};

} // namespace zuderadeDoruVAV3ed
