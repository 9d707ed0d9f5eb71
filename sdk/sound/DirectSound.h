// DirectSound.h -- the process's sound device, over the platform's mixer.
#pragma once

#include <memory>

#include "platform/audio.h"
#include "sdk/app/WinHook.h"

namespace zuderadeDoruVAV3ed {

class CDirectSound {
public:
    // Status values.
    enum { kReady = 0, kCreateFailed = 1, kInitializeFailed = 2, kCooperativeLevelFailed = 3 };

    CDirectSound();
    virtual ~CDirectSound();
    CDirectSound(const CDirectSound&) = delete;
    CDirectSound& operator=(const CDirectSound&) = delete;

    // 0; 1 when the device failed earlier, 2 when the level is refused (both logged).
    int SetCooperativeLevel(int level);
    // Whether a device can be created at all (tried once per process).
    static bool CanUse();

    int GetStatus() const { return status_; }
    platform::AudioDevice* GetDevice() const { return device_.get(); }

private:
    void ReleaseDevice();

    std::unique_ptr<platform::AudioDevice> device_;
    WindowHandle window_ = nullptr;
    int status_ = kReady;
};

} // namespace zuderadeDoruVAV3ed
