// WaveSound.cpp -- the switchable wave sound.
#include "sdk/sound/WaveSound.h"

#include "sdk/sound/WaveStaticSound.h"
#include "sdk/sound/WaveStreamSound.h"

namespace zuderadeDoruVAV3ed {

CSound::CSound(CWaveOutputDirectSound* output) : inner_(new CWaveStaticSound(output)), output_(output) {}

int CSound::Stop() {
    saved_volume_ = inner_->GetVolume();
    inner_->Stop();
    inner_->SetVolume(saved_volume_);
    return 0;
}

void CSound::SetStreamMode(bool streaming) {
    if (streaming == streaming_) return;
    streaming_ = streaming;
    const std::string name = inner_->GetFileName();
    const bool loop = inner_->IsLoopPlay();
    const int volume = inner_->GetVolume();
    const bool playing = inner_->IsPlay();
    inner_->Close();
    if (streaming) inner_.reset(new CWaveStreamSound(output_));
    else inner_.reset(new CWaveStaticSound(output_));
    inner_->SetLoopPlay(loop);
    inner_->Open(name);
    if (playing) inner_->Play();
    inner_->SetVolume(volume);
}

} // namespace zuderadeDoruVAV3ed
