// SoundFactory.cpp -- sounds by kind and by file name, and the devices they share.
#include "sdk/sound/SoundFactory.h"

#include <algorithm>

#include "sdk/file/PathHelper.h"
#include "sdk/sound/DirectMusic.h"
#include "sdk/sound/DirectSound.h"
#include "sdk/sound/MIDIOutput.h"
#include "sdk/sound/WaveOutput.h"
#include "sdk/sound/WaveSound.h"

namespace zuderadeDoruVAV3ed {

CSoundFactory::CSoundFactory() : holder_(new CStreamFactoryHolder) {}

CSoundFactory::~CSoundFactory() {
    holder_.reset();
    sounds_.clear();
    delete wave_output_.device;
    delete direct_music_.device;
    delete direct_sound_.device;
}

void CSoundFactory::AddRefDirectSound() {
    if (direct_sound_.count++ == 0) direct_sound_.device = new CDirectSound;
}

void CSoundFactory::ReleaseDirectSound() {
    if (direct_sound_.count == 0 || --direct_sound_.count != 0) return;
    delete direct_sound_.device;
    direct_sound_.device = nullptr;
}

template <class Device>
void CSoundFactory::AddRefOverDirectSound(DeviceSlot<Device>& slot) {
    AddRefDirectSound();
    slot.over = GetDirectSound();
    if (slot.count++ == 0) slot.device = new Device(slot.over);
}

template <class Device>
void CSoundFactory::ReleaseOverDirectSound(DeviceSlot<Device>& slot) {
    if (slot.count > 0 && --slot.count == 0) {
        delete slot.device;
        slot.device = nullptr;
    }
    ReleaseDirectSound();
}

void CSoundFactory::AddRefDirectMusic() { AddRefOverDirectSound(direct_music_); }
void CSoundFactory::ReleaseDirectMusic() { ReleaseOverDirectSound(direct_music_); }
void CSoundFactory::AddRefWaveOutput() { AddRefOverDirectSound(wave_output_); }
void CSoundFactory::ReleaseWaveOutput() { ReleaseOverDirectSound(wave_output_); }

ISoundFactory::SoundPtr CSoundFactory::Listed(ISound* sound, void (CSoundFactory::*on_destroyed)(ISound*)) {
    SoundPtr out(sound);
    sounds_.push_back(sound);
    out.SetAfterDestroy([this, sound, on_destroyed] { (this->*on_destroyed)(sound); });
    return out;
}

ISoundFactory::SoundPtr& CSoundFactory::CreateSound(SoundPtr& out, int kind) {
    switch (kind) {
    case kSoundNone:
        return out = Listed(new CNullSound, &CSoundFactory::OnSoundDestroyed);
    case kSoundMidiMci:
        if (!CMIDIOutput::CanUseMIDI()) break;
        return out = Listed(new CMIDIOutputMCI, &CSoundFactory::OnSoundDestroyed);
    case kSoundMidiDirectMusic:
        if (!CDirectMusic::CanUse()) break;
        AddRefDirectMusic();
        return out = Listed(new CMIDIOutputDM(GetDirectMusic()), &CSoundFactory::OnDirectMusicSoundDestroyed);
    case kSoundWaveStatic:
    case kSoundWaveStream:
    case kSoundWave: {
        if (!CDirectSound::CanUse()) break;
        AddRefWaveOutput();
        GetWaveOutput()->SetStreamFactory(holder_);
        auto* sound = new CSound(GetWaveOutput());
        sound->SetStreamMode(kind == kSoundWaveStatic ? IsStreamPlay() : kind == kSoundWave);
        return out = Listed(sound, &CSoundFactory::OnWaveSoundDestroyed);
    }
    default:
        break;
    }
    return out = SoundPtr(new CNullSound);
}

ISoundFactory::SoundPtr& CSoundFactory::CreateWaveSoundEx(SoundPtr& out, void*, bool streaming) {
    return CreateSound(out, streaming ? kSoundWave : kSoundWaveStream);
}

ISoundFactory::SoundPtr& CSoundFactory::CreateWaveSound(SoundPtr& out) { return CreateSound(out, kSoundWaveStatic); }

ISoundFactory::SoundPtr& CSoundFactory::CreateMIDISound(SoundPtr& out) {
    CreateSound(out, midi_first_);
    if (out->GetType() == kSoundNone) CreateSound(out, midi_second_);
    return out;
}

ISoundFactory::SoundPtr& CSoundFactory::LoadSound(SoundPtr& out, const std::string& file_name) {
    std::string suffix = PathHelper::GetSuffix(file_name);
    ToLowerShiftJis(suffix);
    SoundPtr sound;
    if (suffix == "mid") CreateMIDISound(sound);
    else CreateWaveSound(sound);
    if (sound->Open(file_name) != 0) sound = SoundPtr(new CNullSound);
    return out = sound;
}

void CSoundFactory::SetMIDIKinds(int first, int second) {
    midi_first_ = first;
    midi_second_ = second;
}

KTL::smart_ptr<CStreamFactoryHolder> CSoundFactory::GetStreamFactory() { return holder_; }

void CSoundFactory::SetStreamFactory(const KTL::smart_ptr<CStreamFactoryHolder>& holder) {
    if (!(holder == holder_)) holder_ = holder;
}

bool CSoundFactory::Unlist(ISound* sound) {
    auto it = std::find(sounds_.begin(), sounds_.end(), sound);
    if (it == sounds_.end()) return false;
    sounds_.erase(it);
    return true;
}

void CSoundFactory::OnSoundDestroyed(ISound* sound) { Unlist(sound); }

void CSoundFactory::OnWaveSoundDestroyed(ISound* sound) {
    if (Unlist(sound)) ReleaseWaveOutput();
}

void CSoundFactory::OnDirectMusicSoundDestroyed(ISound* sound) {
    if (Unlist(sound)) ReleaseDirectMusic();
}

} // namespace zuderadeDoruVAV3ed
