// SoundCue.cpp -- forwarding sound-effect requests.
#include "game/SoundCue.h"

#include "game/SceneSound.h"

#include <utility>

namespace zuderadeDoruVAV3ed {

namespace {
std::function<void(int, int)>& Listener() {
    static std::function<void(int, int)> listener;
    return listener;
}
} // namespace

void PlaySoundEffect(int number, int channel) {
    PlaySceneSE(number, channel);
    if (Listener()) Listener()(number, channel);
}

void SetSoundEffectListener(std::function<void(int number, int channel)> listener) {
    Listener() = std::move(listener);
}

} // namespace zuderadeDoruVAV3ed
