// DirectMusic.h -- the music device: a performance that plays MIDI segments and the loader that
// makes them.
#pragma once

#include <memory>

#include "platform/music.h"

namespace zuderadeDoruVAV3ed {

class CDirectSound;

class CDirectMusic {
public:
    // Status values.
    enum { kReady = 0, kCreateFailed = 1 };

    // Plays through the mixer that sound opened (null: the one the process has).
    explicit CDirectMusic(CDirectSound* sound);
    virtual ~CDirectMusic();
    CDirectMusic(const CDirectMusic&) = delete;
    CDirectMusic& operator=(const CDirectMusic&) = delete;

    // Whether a performance can be made at all (asked once per process).
    static bool CanUse();

    int GetStatus() const { return status_; }
    // null when the set-up failed.
    platform::MusicPerformance* GetPerformance() const { return performance_.get(); }
    platform::MusicLoader& GetLoader() { return loader_; }
    CDirectSound* GetDirectSound() const { return sound_; }

private:
    CDirectSound* sound_;
    std::unique_ptr<platform::MusicPerformance> performance_;
    platform::MusicLoader loader_;
    int status_ = kReady;
};

} // namespace zuderadeDoruVAV3ed
