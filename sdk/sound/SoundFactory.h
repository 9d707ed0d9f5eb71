// SoundFactory.h -- where the game gets its sound objects: by kind or by file name, over sound
// devices that are created with the first sound needing them and destroyed with the last.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/Sound.h"

namespace zuderadeDoruVAV3ed {

class CDirectMusic;
class CDirectSound;
class CStreamFactoryHolder;
class CWaveOutputDirectSound;

class ISoundFactory {
public:
    using SoundPtr = KTL::smart_ptr<ISound>;

    // A wave sound, streamed or static whatever the factory's stream play flag.
    virtual SoundPtr& CreateWaveSoundEx(SoundPtr& out, void* unused, bool streaming) = 0;
    // A sound playing the file ("mid" files are MIDI, every other one a wave sound); a null
    // sound when it cannot be opened.
    virtual SoundPtr& LoadSound(SoundPtr& out, const std::string& file_name) = 0;
    virtual SoundPtr& CreateWaveSound(SoundPtr& out) = 0;
    // The first MIDI kind, else the second.
    virtual SoundPtr& CreateMIDISound(SoundPtr& out) = 0;
    virtual std::list<ISound*>& GetSoundList() = 0;
    virtual void AddRefDirectSound() = 0;
    virtual void ReleaseDirectSound() = 0;
    virtual CDirectSound* GetDirectSound() = 0;
    virtual void AddRefDirectMusic() = 0;
    virtual void ReleaseDirectMusic() = 0;
    virtual CDirectMusic* GetDirectMusic() = 0;
    virtual void AddRefWaveOutput() = 0;
    virtual void ReleaseWaveOutput() = 0;
    virtual CWaveOutputDirectSound* GetWaveOutput() = 0;
    virtual void SetMIDIKinds(int first, int second) = 0;
    virtual KTL::smart_ptr<CStreamFactoryHolder> GetStreamFactory() = 0;
    virtual void SetStreamFactory(const KTL::smart_ptr<CStreamFactoryHolder>& holder) = 0;
    virtual void SetStreamPlay(bool streaming) = 0;
    virtual bool IsStreamPlay() = 0;
    virtual ~ISoundFactory() = default;
};

// Every sound it hands out is held by a smart_ptr whose last release, after deleting the sound,
// tells the factory, so the factory must outlive its sounds. Application thread only.
class CSoundFactory : public ISoundFactory {
public:
    CSoundFactory();
    ~CSoundFactory() override;   // deletes the devices whatever their counts
    CSoundFactory(const CSoundFactory&) = delete;
    CSoundFactory& operator=(const CSoundFactory&) = delete;

    SoundPtr& CreateWaveSoundEx(SoundPtr& out, void* unused, bool streaming) override;
    SoundPtr& LoadSound(SoundPtr& out, const std::string& file_name) override;
    SoundPtr& CreateWaveSound(SoundPtr& out) override;
    SoundPtr& CreateMIDISound(SoundPtr& out) override;
    std::list<ISound*>& GetSoundList() override { return sounds_; }
    void AddRefDirectSound() override;
    void ReleaseDirectSound() override;
    CDirectSound* GetDirectSound() override { return direct_sound_.device; }
    void AddRefDirectMusic() override;
    void ReleaseDirectMusic() override;
    CDirectMusic* GetDirectMusic() override { return direct_music_.device; }
    void AddRefWaveOutput() override;
    void ReleaseWaveOutput() override;
    CWaveOutputDirectSound* GetWaveOutput() override { return wave_output_.device; }
    void SetMIDIKinds(int first, int second) override;
    KTL::smart_ptr<CStreamFactoryHolder> GetStreamFactory() override;
    void SetStreamFactory(const KTL::smart_ptr<CStreamFactoryHolder>& holder) override;
    void SetStreamPlay(bool streaming) override { stream_play_ = streaming; }
    bool IsStreamPlay() override { return stream_play_; }

    // A sound of a kind (a SoundType); a null sound, not listed, when its device cannot be used
    // or the kind is unknown.
    SoundPtr& CreateSound(SoundPtr& out, int kind);

private:
    // A device, how many sounds count on it and the sound device it is built over.
    template <class Device>
    struct DeviceSlot {
        Device* device = nullptr;
        uint32_t count = 0;
        CDirectSound* over = nullptr;
    };

    // A device built over the sound device: counts on the sound device too.
    template <class Device>
    void AddRefOverDirectSound(DeviceSlot<Device>& slot);
    template <class Device>
    void ReleaseOverDirectSound(DeviceSlot<Device>& slot);
    // Lists the sound and has on_destroyed called with its address once it is deleted.
    SoundPtr Listed(ISound* sound, void (CSoundFactory::*on_destroyed)(ISound*));
    // Unlists the sound; false when it was not listed.
    bool Unlist(ISound* sound);
    void OnSoundDestroyed(ISound* sound);
    void OnWaveSoundDestroyed(ISound* sound);
    void OnDirectMusicSoundDestroyed(ISound* sound);

    DeviceSlot<CDirectSound> direct_sound_;
    DeviceSlot<CDirectMusic> direct_music_;
    DeviceSlot<CWaveOutputDirectSound> wave_output_;
    std::list<ISound*> sounds_;   // not owned
    int midi_first_ = kSoundMidiDirectMusic;
    int midi_second_ = kSoundMidiMci;
    KTL::smart_ptr<CStreamFactoryHolder> holder_;
    bool stream_play_ = false;
};

} // namespace zuderadeDoruVAV3ed
