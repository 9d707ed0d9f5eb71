// SceneSound.cpp -- the scenes' sound calls through the registry.
#include "game/SceneSound.h"

#include "game/GameObjectRegistry.h"
#include "game/SoundSets.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/sound/VolumeControl.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kMainLine = 0;
CVolumeControl* Volume() { return CGameObjectRegistry::GetInstance()->GetVolumeControl(); }
CSESet* Effects() { return CGameObjectRegistry::GetInstance()->GetSESet(); }
// The music sound (null without a music set or before its Create).
ISound* Music() {
    CBGMSet* music = CGameObjectRegistry::GetInstance()->GetBGMSet();
    return music ? music->GetSound() : nullptr;
}
} // namespace

bool PlaySceneSE(int number, int channel) {
    if (channel < 0 || channel >= kSoundChannels) {
        CErrorLog::Out("PlaySceneSEに失敗 (チャンネル%dは範囲外, 効果音%d)", channel, number);
        return false;
    }
    CSESet* effects = Effects();
    return effects && effects->GetCache() && effects->PlaySE(number, channel);
}

void StopSceneSEChannel(int channel) {
    CSESet* effects = Effects();
    if (ISound* sound = effects ? effects->GetChannelSound(channel) : nullptr) sound->Stop();
}

void PreloadSceneSE(int number) {
    CSESet* effects = Effects();
    if (effects && effects->GetCache()) effects->LoadSE(number, 0);
}

void PlaySceneBGM(int number, bool loop) {
    if (CBGMSet* music = CGameObjectRegistry::GetInstance()->GetBGMSet()) music->PlayBGM(number, loop);
}

void StopSceneBGM() {
    if (ISound* music = Music()) music->Stop();
}

void SetSceneBGMLoop(bool loop) {
    if (ISound* music = Music()) music->SetLoopPlay(loop);
}

bool IsSceneBGMPlaying() {
    ISound* music = Music();
    return music && music->IsPlay();
}

void FadeOutMainVolume(uint32_t ms) {
    if (CVolumeControl* volume = Volume()) volume->FadeOut(kMainLine, ms);
}
void FadeInMainVolume(uint32_t ms) {
    if (CVolumeControl* volume = Volume()) volume->FadeIn(kMainLine, ms);
}
bool IsMainVolumeFading() {
    CVolumeControl* volume = Volume();
    return volume && volume->IsFade(kMainLine);
}
void ResetMainVolume() {
    if (CVolumeControl* volume = Volume()) volume->ResetVolume(kMainLine);
}

} // namespace zuderadeDoruVAV3ed
