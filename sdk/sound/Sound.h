// Sound.h -- the sound-object interface every sound answers to, the sound kinds, and the silent
// sound that stands in where no device or file works.
#pragma once

#include <cstdint>
#include <string>

namespace zuderadeDoruVAV3ed {

// The kind of a sound: GetType's value and the sound factory's kind argument.
enum SoundType : int32_t {
    kSoundNone = 0,
    kSoundMidiMci = 1,
    kSoundMidiDirectMusic = 2,
    kSoundWaveStatic = 3,
    kSoundWaveStream = 4,
    kSoundWave = 5,
};

// Positions and lengths in milliseconds (-1: not available); volume in hundredths of a decibel of
// attenuation (0 full, -10000 silent).
class ISound {
public:
    virtual int Open(const std::string& file_name) = 0;
    virtual int Close() = 0;
    virtual int Play() = 0;
    virtual int Pause() = 0;
    virtual int Replay() = 0;
    virtual int Stop() = 0;
    virtual bool IsPlay() = 0;
    virtual int SetLoopPlay(bool loop) = 0;
    virtual bool IsLoopPlay() = 0;
    virtual int SetCurrentPos(int ms) = 0;
    virtual int GetCurrentPos() = 0;
    virtual int GetLength() = 0;
    virtual int SetVolume(int volume) = 0;
    virtual int GetVolume() = 0;
    virtual int GetType() = 0;
    virtual std::string GetFileName() = 0;
    // Split into hours (not wrapped at 24), minutes, seconds and milliseconds: -1 for a negative
    // ms (nothing written), else 0.
    virtual int ConvertFromMilliseconds(int ms, int* hour, int* minute, int* second, int* millisecond);
    // Joined back: -1 when any part is negative or the sum does not fit (nothing written), else 0.
    virtual int ConvertToMilliseconds(int* ms, int hour, int minute, int second, int millisecond);
    virtual ~ISound() = default;
};

// The wave sounds played through sound buffers.
class IWaveSound : public ISound {
public:
    // Makes a sound whose buffer was lost playable again.
    virtual int Restore() = 0;
};

class CNullSound : public ISound {
public:
    int Open(const std::string&) override { return 0; }
    int Close() override { return 0; }
    int Play() override { return 0; }
    int Pause() override { return 0; }
    int Replay() override { return 0; }
    int Stop() override { return 0; }
    bool IsPlay() override { return false; }
    int SetLoopPlay(bool loop) override {
        loop_ = loop;
        return 0;
    }
    bool IsLoopPlay() override { return loop_; }
    int SetCurrentPos(int) override { return -1; }
    int GetCurrentPos() override { return -1; }
    int GetLength() override { return -1; }
    int SetVolume(int) override { return -1; }
    int GetVolume() override { return -10000; }
    int GetType() override { return kSoundNone; }
    std::string GetFileName() override { return std::string(); }

private:
    bool loop_ = false;
};

} // namespace zuderadeDoruVAV3ed
