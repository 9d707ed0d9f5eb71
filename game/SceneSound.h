// SceneSound.h -- the sound calls of the menus and demos: effects by number and channel, the
// music track, and the fades of mixer line 0. Each goes through the registry's sets and does
// nothing while a set is missing, so the scenes run the same with or without sound.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

constexpr int kSoundChannels = 32;

// Plays effect n on channel c (0 to 31); a channel outside that range is logged and refused.
// true when the effect was played (false also while the sound-effect set is missing or not loaded).
bool PlaySceneSE(int number, int channel);
// Stops the sound that channel c holds.
void StopSceneSEChannel(int channel);
// Loads effect n into channel 0 without playing it, so that its first use does not stall a frame.
void PreloadSceneSE(int number);
// Stop, open track n, loop as given, play.
void PlaySceneBGM(int number, bool loop);
void StopSceneBGM();
void SetSceneBGMLoop(bool loop);
// Whether the music track still plays (false without a music set).
bool IsSceneBGMPlaying();

// Mixer line 0 (the game's volume): fades, the fade test (false without a volume control) and
// the reset.
void FadeOutMainVolume(uint32_t ms);
void FadeInMainVolume(uint32_t ms);
bool IsMainVolumeFading();
void ResetMainVolume();

} // namespace zuderadeDoruVAV3ed
