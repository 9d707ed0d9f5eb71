// DirectSound.cpp -- the sound device and the buffer wrappers over it.
#include "sdk/sound/DirectSound.h"

#include <cstring>
#include <mutex>

#include "sdk/app/AppManager.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/sound/SoundBuffer.h"
#include "sdk/sound/WaveOutput.h"
#include "sdk/thread/ComInit.h"

namespace zuderadeDoruVAV3ed {

using platform::AudioResult;

namespace {

// The device counts one component-runtime initialisation of its thread while it is held.
std::unique_ptr<platform::AudioDevice> CreateDevice() {
    COMInitializeThisThread();
    auto device = platform::AudioDevice::Create();
    if (!device) COMUninitializeThisThread();
    return device;
}

int Result(AudioResult result) { return result == AudioResult::kOk ? 0 : 2; }

} // namespace

CDirectSound::CDirectSound() {
    window_ = CAppManager::GetInstance()->GetHWnd();
    device_ = CreateDevice();
    if (!device_) {
        CErrorLog::Out("CDirectSound::CDirectSound() objectの作成に失敗");
        status_ = kCreateFailed;
        return;
    }
    if (device_->Initialize() != AudioResult::kOk) {
        CErrorLog::Out("CDirectSound::CDirectSound() Initializeに失敗");
        ReleaseDevice();
        status_ = kInitializeFailed;
        return;
    }
    if (SetCooperativeLevel(platform::kCooperativeNormal) != 0) {
        CErrorLog::Out("CDirectSound::CDirectSound() SetCooperativeLevelの失敗");
        ReleaseDevice();
        status_ = kCooperativeLevelFailed;
        return;
    }
    status_ = kReady;
}

CDirectSound::~CDirectSound() {
    SetCooperativeLevel(platform::kCooperativeNormal);
    ReleaseDevice();
}

void CDirectSound::ReleaseDevice() {
    if (!device_) return;
    device_.reset();
    COMUninitializeThisThread();
}

int CDirectSound::SetCooperativeLevel(int level) {
    if (status_ != kReady || !device_) {
        CErrorLog::Out("CDirectSound::SetCooperativeLevel(%d) DirectSoundの初期化に失敗している", level);
        return 1;
    }
    if (device_->SetCooperativeLevel(window_, level) != AudioResult::kOk) {
        CErrorLog::Out("CDirectSound::SetCooperativeLevel(%d) SetCooperativeLevelの失敗", level);
        return 2;
    }
    return 0;
}

bool CDirectSound::CanUse() {
    static std::once_flag once;
    static bool usable = false;
    std::call_once(once, [] {
        auto device = CreateDevice();
        usable = device != nullptr;
        if (device) {
            device.reset();
            COMUninitializeThisThread();
        }
    });
    return usable;
}

// ---- buffer wrappers ----

int CDirectSoundBuffer::GetStatus() {
    if (!buffer_) return 0;
    uint32_t status = 0;
    if (buffer_->GetStatus(&status) != AudioResult::kOk) return 0;
    if (status & platform::kStatusBufferLost) return 1;
    return 2 + static_cast<int>(status & platform::kStatusPlaying);
}

int CDirectSoundBuffer::SetFormat(const WAVEFORMATEX* format) {
    return Call([&] { return buffer_->SetFormat(format); });
}

int CDirectSoundBuffer::GetFormat(WAVEFORMATEX* format) {
    return Call([&] { return buffer_->GetFormat(format, sizeof(WAVEFORMATEX), nullptr); });
}

int CDirectSoundBuffer::SetCurrentPosition(uint32_t offset) {
    return Call([&] { return buffer_->SetCurrentPosition(offset); });
}

int CDirectSoundBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) {
    return Call([&] { return buffer_->GetCurrentPosition(play, write); });
}

int CDirectSoundBuffer::SetVolume(int volume) {
    return Call([&] { return buffer_->SetVolume(volume); });
}

int CDirectSoundBuffer::GetVolume(int* volume) {
    return Call([&] { return buffer_->GetVolume(volume); });
}

int CDirectSoundBuffer::SetPan(int pan) {
    return Call([&] { return buffer_->SetPan(pan); });
}

int CDirectSoundBuffer::GetPan(int* pan) {
    return Call([&] { return buffer_->GetPan(pan); });
}

int CDirectSoundBuffer::SetFrequency(uint32_t frequency) {
    return Call([&] { return buffer_->SetFrequency(frequency); });
}

int CDirectSoundBuffer::GetFrequency(uint32_t* frequency) {
    return Call([&] { return buffer_->GetFrequency(frequency); });
}

int CDirectSoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2,
                             uint32_t* size2) {
    if (!buffer_) return 1;
    AudioResult result = buffer_->Lock(offset, bytes, part1, size1, part2, size2, 0);
    if (result == AudioResult::kBufferLost) {
        buffer_->Restore();
        result = buffer_->Lock(offset, bytes, part1, size1, part2, size2, 0);
    }
    return Result(result);
}

int CDirectSoundBuffer::Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2) {
    return Call([&] { return buffer_->Unlock(part1, size1, part2, size2); });
}

int CDirectSoundBuffer::Play(bool loop) {
    if (!buffer_) return 1;
    AudioResult result = buffer_->Play(loop ? platform::kPlayLooping : 0);
    if (result == AudioResult::kOk) return 0;
    return result == AudioResult::kBufferLost ? 2 : 3;
}

int CDirectSoundBuffer::Stop() {
    return Call([&] { return buffer_->Stop(); });
}

int CDirectSoundBuffer::Restore() {
    return Call([&] { return buffer_->Restore(); });
}

int CDirectSoundBufferA::Create(const WAVEFORMATEX*, uint32_t, bool, CStreamFactoryHolder*) {
    buffer_.reset();
    if (!sound_ || !sound_->GetDevice()) return 1;
    platform::BufferDesc desc;
    desc.flags = platform::kBufferPrimary;
    sound_->GetDevice()->CreateSoundBuffer(desc, &buffer_);
    return buffer_ ? 0 : 1;
}

void CDirectSoundBufferA::Duplicate(KTL::smart_ptr<ISoundBuffer>& out) { out.reset(); }

int CDirectSoundBufferB::Create(const WAVEFORMATEX* format, uint32_t bytes, bool clear, CStreamFactoryHolder* options) {
    buffer_.reset();
    if (!sound_ || !sound_->GetDevice()) return 1;
    platform::BufferDesc desc;
    desc.flags = platform::kBufferLocSoftware | platform::kBufferCtrlVolume;
    if (options) {
        if (options->IsGlobalFocus()) desc.flags |= platform::kBufferGlobalFocus;
        if (options->IsPanControl()) desc.flags |= platform::kBufferCtrlPan;
        if (options->IsFrequencyControl()) desc.flags |= platform::kBufferCtrlFrequency;
    }
    desc.buffer_bytes = bytes;
    desc.format = format;
    if (sound_->GetDevice()->CreateSoundBuffer(desc, &buffer_) != AudioResult::kOk || !buffer_) {
        buffer_.reset();
        return 1;
    }
    if (!clear) return 0;
    void* part1 = nullptr;
    uint32_t size1 = 0;
    if (Lock(0, bytes, &part1, &size1, nullptr, nullptr) != 0) return 2;
    std::memset(part1, SilenceByte(format), size1);
    if (Unlock(part1, size1, nullptr, 0) != 0) return 3;
    return 0;
}

void CDirectSoundBufferB::Duplicate(KTL::smart_ptr<ISoundBuffer>& out) {
    auto* copy = new CDirectSoundBufferB(sound_);
    if (buffer_ && sound_ && sound_->GetDevice() &&
        sound_->GetDevice()->DuplicateSoundBuffer(buffer_.get(), &copy->buffer_) == AudioResult::kOk && copy->buffer_) {
        out.reset(copy);
        return;
    }
    delete copy;
    out.reset(new CNullSoundBuffer);
}

} // namespace zuderadeDoruVAV3ed
