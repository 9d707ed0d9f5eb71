// SceneSound.cpp -- the scenes' sound calls through the registry.
#include "game/SceneSound.h"

#include "game/GameObjectRegistry.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/sound/VolumeControl.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kMainLine = 0;
CVolumeControl* Volume() { return CGameObjectRegistry::GetInstance()->GetVolumeControl(); }
} // namespace

bool PlaySceneSE(int number, int channel) {
    if (channel < 0 || channel >= kSoundChannels) {
        CErrorLog::Out("PlaySceneSEに失敗 (チャンネル%dは範囲外, 効果音%d)", channel, number);
        return false;
    }
    if (!CGameObjectRegistry::GetInstance()->GetSESet()) return false;
    // FIXME: PlaySE(number, channel) on the sound-effect set once its interface exists.
    return true;
}

void StopSceneSEChannel(int channel) {
    if (channel < 0 || channel >= kSoundChannels || !CGameObjectRegistry::GetInstance()->GetSESet()) return;
    // FIXME: Stop on the channel's sound once the sound-effect set's interface exists.
}

void PreloadSceneSE(int number) {
    if (!CGameObjectRegistry::GetInstance()->GetSESet()) return;
    // FIXME: load into channel 0 of the sound-effect set once its interface exists.
    (void)number;
}

void PlaySceneBGM(int number, bool loop) {
    if (!CGameObjectRegistry::GetInstance()->GetBGMSet()) return;
    // FIXME: PlayBGM(number, loop) on the music set once its interface exists.
    (void)number;
    (void)loop;
}

void StopSceneBGM() {
    if (!CGameObjectRegistry::GetInstance()->GetBGMSet()) return;
    // FIXME: Stop on the music set's sound once its interface exists.
}

void SetSceneBGMLoop(bool loop) {
    if (!CGameObjectRegistry::GetInstance()->GetBGMSet()) return;
    // FIXME: SetLoopPlay on the music set's sound once its interface exists.
    (void)loop;
}

bool IsSceneBGMPlaying() {
    if (!CGameObjectRegistry::GetInstance()->GetBGMSet()) return false;
    // FIXME: ask the music set's sound once its interface exists.
    return false;
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
