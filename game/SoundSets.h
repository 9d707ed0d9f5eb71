// SoundSets.h -- the game's two sound factories: the sound effects, numbered by their line in
// the effect list and played on numbered channels, and the music, whose tracks of the music list
// all play through one streamed sound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/ResourceCache.h"
#include "sdk/sound/SoundFactory.h"

namespace zuderadeDoruVAV3ed {

class CSESet : public CSoundFactory {
public:
    static constexpr const char kListFile[] = "GameData/Sound/SE/LoadList/SE.vll";

    CSESet() = default;
    ~CSESet() override;   // the channels and the cache let go of their sounds first

    // Makes the cache and n empty channels, then reads the list.
    void Load(int channels);
    void LoadList();
    // Plays effect number on channel (the channel's old sound is let go, not stopped). false,
    // logged, for a number outside the list or a channel outside the channels.
    bool PlaySE(int number, int channel);
    // Puts effect number's sound on channel without playing it (loading it into the cache);
    // false, logged, as PlaySE.
    bool LoadSE(int number, int channel);
    // The sound that channel holds (null when none or out of range).
    ISound* GetChannelSound(int channel) const;
    // The cache's loader: an effect file that no reader opens gives a silent sound and counts as
    // a data failure.
    SoundPtr& LoadSound(SoundPtr& out, const std::string& file_name) override;
    int GetChannelCount() const { return static_cast<int>(channels_.size()); }
    CResourceCache* GetCache() const { return cache_.get(); }

private:
    // Counts the loaded effects against the channel count.
    class CCountPolicy : public IResourceCountPolicy {
    public:
        void CountUp() override { ++count; }
        void CountDown() override { --count; }
        bool IsOverLimit() override { return count > limit; }
        int32_t count = 0;
        int32_t limit = 0x7FFFFFFF;
    };

    KTL::smart_ptr<CResourceCache> cache_;
    CCountPolicy* policy_ = nullptr;   // owned by the cache
    std::vector<SoundPtr> channels_;
};

class CBGMSet : public CSoundFactory {
public:
    static constexpr const char kListFile[] = "GameData/Sound/BGM/LoadList/BGM.vll";
    // "#BGMFileCount" is cut to this (a broken count must not ask for unbounded memory).
    static constexpr int kMaxTracks = 256;

    CBGMSet() = default;
    ~CBGMSet() override;

    // Reads the list and makes the streamed music sound, whose buffers play in the background too
    // and whose Ogg files are read by the decoder plug-in's reader.
    void Create();
    // The track names of the list (none when it cannot be read).
    void LoadList();
    // Stops the music, opens track number and plays it. false, logged, for a number outside the list.
    bool PlayBGM(int number, bool loop);
    // The music sound (null before Create).
    ISound* GetSound() const { return music_.get(); }
    const std::vector<std::string>& GetFileNames() const { return names_; }

private:
    SoundPtr music_;
    std::vector<std::string> names_;
};

} // namespace zuderadeDoruVAV3ed
