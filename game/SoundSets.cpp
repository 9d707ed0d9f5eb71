// SoundSets.cpp -- the sound-effect channels and the music tracks.
#include "game/SoundSets.h"

#include <algorithm>

#include "game/DataFiles.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"
#include "sdk/sound/StreamFactory.h"
#include "sdk/sound/WaveOutput.h"

namespace zuderadeDoruVAV3ed {

CSESet::~CSESet() {
    channels_.clear();
    cache_.reset();
}

void CSESet::Load(int channels) {
    cache_.reset(new CResourceCache);
    policy_ = new CCountPolicy;
    cache_->SetCountPolicy(KTL::smart_ptr<IResourceCountPolicy>(policy_));
    channels_.assign(static_cast<size_t>(std::max(channels, 0)), SoundPtr());
    policy_->limit = static_cast<int32_t>(channels_.size());
    cache_->factory = KTL::smart_ptr<CSoundFactory>::NotOwned(this);
    LoadList();
}

void CSESet::LoadList() {
    if (cache_ && cache_->Load(kListFile, 0) != 0) ReportDataFailure("CSESet::LoadList", kListFile, "読めない");
}

bool CSESet::LoadSE(int number, int channel) {
    if (channel < 0 || channel >= GetChannelCount()) {
        CErrorLog::Out("CSESet::PlaySEに失敗 (チャンネル%dは範囲外, 効果音%d)", channel, number);
        return false;
    }
    if (number < 0 || static_cast<size_t>(number) >= cache_->GetCount()) {
        CErrorLog::Out("CSESet::PlaySEに失敗 (効果音%dはリストにない, %zu個)", number, cache_->GetCount());
        return false;
    }
    cache_->Get(channels_[static_cast<size_t>(channel)], number);
    return true;
}

bool CSESet::PlaySE(int number, int channel) {
    if (!LoadSE(number, channel)) return false;
    channels_[static_cast<size_t>(channel)]->Play();
    return true;
}

ISoundFactory::SoundPtr& CSESet::LoadSound(SoundPtr& out, const std::string& file_name) {
    CSoundFactory::LoadSound(out, file_name);
    // A wave sound without a length has no data: its file was missing or refused. (Without a
    // sound device every sound is the null sound, and nothing can be told.)
    if (out->GetType() >= kSoundWaveStatic && out->GetLength() <= 0)
        ReportDataFailure("CSESet::LoadSE", file_name, "開けない");
    return out;
}

ISound* CSESet::GetChannelSound(int channel) const {
    if (channel < 0 || channel >= GetChannelCount()) return nullptr;
    return channels_[static_cast<size_t>(channel)].get();
}

CBGMSet::~CBGMSet() {
    names_.clear();
    music_.reset();
}

void CBGMSet::Create() {
    LoadList();
    KTL::smart_ptr<CStreamFactoryHolder> holder = GetStreamFactory();
    holder->SetGlobalFocus(true);
    holder->GetStreamFactory()->GetExtensionMap()->SetStr("ogg", "CVorbisStream");
    SetStreamPlay(true);
    CreateWaveSound(music_);
}

void CBGMSet::LoadList() {
    names_.clear();
    CFile file;
    if (file.ReadWithArchive(kListFile) != 0) {
        ReportDataFailure("CBGMSet::LoadList", kListFile, "読めない");
        return;
    }
    size_t next = 0;
    std::string line;
    CStringScanner scanner;
    while (file.ReadTextLine(line) == 0) {
        scanner.SetText(line);
        if (scanner.IsMatch("//")) continue;
        if (scanner.IsMatch("#BGMFileCount")) {
            int count = 0;
            if (scanner.GetNum(count) != 0 || count < 0 || count > kMaxTracks) {
                CErrorLog::Out("CBGMSet::LoadListに失敗 (#BGMFileCountの数が不正, 0から%dにする: %s)", kMaxTracks,
                               line.c_str());
                count = std::clamp(count, 0, kMaxTracks);
            }
            names_.assign(static_cast<size_t>(count), std::string());
            next = 0;
        } else if (scanner.IsMatch("#BGMFile")) {
            std::string name;
            scanner.GetStr(name);
            if (next >= names_.size()) {
                CErrorLog::Out("CBGMSet::LoadListに失敗 (#BGMFileが#BGMFileCountより多い: %s)", name.c_str());
                continue;
            }
            names_[next++] = name;
        }
    }
}

bool CBGMSet::PlayBGM(int number, bool loop) {
    if (!music_) return false;
    if (number < 0 || static_cast<size_t>(number) >= names_.size()) {
        CErrorLog::Out("CBGMSet::PlayBGMに失敗 (曲%dはリストにない, %zu曲)", number, names_.size());
        return false;
    }
    music_->Stop();
    music_->Open(names_[static_cast<size_t>(number)]);
    music_->SetLoopPlay(loop);
    music_->Play();
    return true;
}

} // namespace zuderadeDoruVAV3ed
