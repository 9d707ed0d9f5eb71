// WaveOutput.cpp -- the wave output over the sound device.
#include "sdk/sound/WaveOutput.h"

#include <algorithm>
#include <vector>

#include "sdk/app/AppManager.h"
#include "sdk/sound/DirectSound.h"

namespace zuderadeDoruVAV3ed {

int CWaveOutput::AddBuffer(ISound* sound) {
    if (!sound || sound->GetType() != kSoundWaveStatic) return 1;
    sounds_.push_back(sound);
    return 0;
}

int CWaveOutput::ReleaseBuffer(ISound* sound) {
    auto it = std::find(sounds_.begin(), sounds_.end(), sound);
    if (it == sounds_.end()) return 1;
    sounds_.erase(it);
    return 0;
}

CWaveOutputDirectSound::CWaveOutputDirectSound(CDirectSound* sound)
    : sound_(sound), primary_(new CDirectSoundBufferA(sound)) {
    CAppManager::GetInstance()->AddWinHook(this);
}

CWaveOutputDirectSound::~CWaveOutputDirectSound() {
    CAppManager::GetInstance()->DelWinHook(this);
    primary_.reset();
    holder_.reset();
    sounds_.clear();
}

void CWaveOutputDirectSound::RestoreAll() {
    // A restore may reload a sound but never registers or removes one; walk a copy all the same.
    std::vector<ISound*> sounds(sounds_.begin(), sounds_.end());
    for (ISound* sound : sounds)
        if (auto* wave = dynamic_cast<IWaveSound*>(sound)) wave->Restore();
}

intptr_t CWaveOutputDirectSound::WndProc(WindowHandle, uint32_t message, uintptr_t wparam, intptr_t) {
    if (message == kMsgActivateApp && wparam != 0) RestoreAll();
    return 0;
}

int CWaveOutputDirectSound::SetFormat(int rate_index, int bits_index, bool stereo) {
    const int code = (bits_index + 2 * rate_index) * 2 + (stereo ? 1 : 0);
    if (code == format_code_) return 0;
    if (sound_->GetStatus() != CDirectSound::kReady) return 3;
    if (sound_->SetCooperativeLevel(platform::kCooperativePriority) != 0) return 1;
    if (format_code_ == -1) primary_->Create(nullptr, 0, false, nullptr);
    WAVEFORMATEX format{};
    format.format_tag = platform::kWaveFormatPcm;
    format.channels = stereo ? 2 : 1;
    format.samples_per_sec = static_cast<uint32_t>((rate_index + 1) * 11025);
    format.bits_per_sample = static_cast<uint16_t>(bits_index * 8 + 8);
    format.block_align = static_cast<uint16_t>(format.channels * format.bits_per_sample / 8);
    format.avg_bytes_per_sec = format.samples_per_sec * format.block_align;
    format.cb_size = 0;
    if (primary_->SetFormat(&format) != 0) return 2;
    format_code_ = code;
    RestoreAll();
    return 0;
}

void CWaveOutputDirectSound::CreateBuffer(KTL::smart_ptr<ISoundBuffer>& out) {
    if (sound_->GetStatus() == CDirectSound::kReady) out.reset(new CDirectSoundBufferB(sound_));
    else out.reset(new CNullSoundBuffer);
}

} // namespace zuderadeDoruVAV3ed
