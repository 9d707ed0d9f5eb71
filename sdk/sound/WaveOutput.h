// WaveOutput.h -- the wave output through which wave sounds get their buffers, the options and
// stream factory it hands them, and the restore of lost static sounds on re-activation.
#pragma once

#include <list>

#include "sdk/app/WinHook.h"
#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/Sound.h"
#include "sdk/sound/SoundBuffer.h"
#include "sdk/sound/StreamFactory.h"

namespace zuderadeDoruVAV3ed {

class CDirectSound;

// The stream factory and three buffer options (global focus, pan and frequency control).
class CStreamFactoryHolder {
public:
    CStreamFactoryHolder() : factory_(new CStreamFactory) {}
    virtual ~CStreamFactoryHolder() = default;
    virtual void SetGlobalFocus(bool on) { global_focus_ = on; }
    virtual bool IsGlobalFocus() { return global_focus_; }
    virtual void SetPanControl(bool on) { pan_control_ = on; }
    virtual bool IsPanControl() { return pan_control_; }
    virtual void SetFrequencyControl(bool on) { frequency_control_ = on; }
    virtual bool IsFrequencyControl() { return frequency_control_; }
    virtual void SetStreamFactory(const KTL::smart_ptr<CStreamFactory>& factory) {
        if (!(factory == factory_)) factory_ = factory;
    }
    virtual KTL::smart_ptr<CStreamFactory> GetStreamFactory() { return factory_; }

private:
    bool global_focus_ = false;
    bool pan_control_ = false;
    bool frequency_control_ = false;
    KTL::smart_ptr<CStreamFactory> factory_;
};

class CWaveOutput {
public:
    CWaveOutput() : holder_(new CStreamFactoryHolder) {}
    virtual ~CWaveOutput() = default;
    virtual bool IsValid() = 0;
    virtual void CreateSoundBuffer(KTL::smart_ptr<ISoundBuffer>& out) = 0;
    virtual KTL::smart_ptr<CStreamFactoryHolder> GetStreamFactory() { return holder_; }
    virtual void SetStreamFactory(const KTL::smart_ptr<CStreamFactoryHolder>& holder) {
        if (!(holder == holder_)) holder_ = holder;
    }
    virtual std::list<ISound*>& GetBufferList() { return sounds_; }
    // Keeps static wave sounds only: 0 when added, 1 for any other sound.
    virtual int AddBuffer(ISound* sound);
    // 0 when the sound was listed (its first entry goes), 1 when not.
    virtual int ReleaseBuffer(ISound* sound);

protected:
    std::list<ISound*> sounds_;   // not owned
    KTL::smart_ptr<CStreamFactoryHolder> holder_;
};

class CWaveOutputDirectSound : public CWaveOutput, public IWinHook {
public:
    explicit CWaveOutputDirectSound(CDirectSound* sound);
    ~CWaveOutputDirectSound() override;

    bool IsValid() override { return true; }
    void CreateSoundBuffer(KTL::smart_ptr<ISoundBuffer>& out) override { CreateBuffer(out); }
    // Sets the primary format: rate index r (11025 * (r + 1) Hz), bits index b (8 or 16 bits),
    // stereo or mono. 0 on success or when unchanged; 1 cooperative level refused, 2 format
    // refused, 3 device unusable.
    virtual int SetFormat(int rate_index, int bits_index, bool stereo);
    virtual void CreateBuffer(KTL::smart_ptr<ISoundBuffer>& out);
    // On re-activation of the application every registered sound is restored.
    intptr_t WndProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) override;

    KTL::smart_ptr<ISoundBuffer> GetPrimaryBuffer() const { return primary_; }
    int GetFormatCode() const { return format_code_; }

private:
    void RestoreAll();

    CDirectSound* sound_;
    KTL::smart_ptr<ISoundBuffer> primary_;
    int format_code_ = -1;
};

} // namespace zuderadeDoruVAV3ed
