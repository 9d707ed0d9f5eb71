// SoundCue.h -- the sound effects that the play's interface objects ask for, by their number in
// the sound-effect list and the channel to play them on.
#pragma once

#include <functional>

namespace zuderadeDoruVAV3ed {

// Plays sound effect `number` on `channel`.
void PlaySoundEffect(int number, int channel);

// Every request also goes to this listener (empty function: none); for tests.
void SetSoundEffectListener(std::function<void(int number, int channel)> listener);

} // namespace zuderadeDoruVAV3ed
