// input_feed.cpp -- what the window's pump hands to the input layer: keys, focus, pads, frames.
#include "platform/input_feed_c.h"

#include "platform/input_script.h"
#include "platform/joystick.h"
#include "platform/keys.h"

namespace platform::input_feed {

// A running input script is the keyboard: live keys and focus changes are not its frames.
void OnKey(int sdl_scancode, bool down) {
    if (InputScriptActive()) return;
    FeedKey(ScanCodeFromSdl(sdl_scancode), down);
}

void OnFocus(bool focused) {
    if (InputScriptActive()) return;
    FeedFocus(focused);
}

void OnSdlEvent(const void* sdl_event) { JoyHandleSdlEvent(sdl_event); }

void OnPump() { StepInputScript(); }

} // namespace platform::input_feed
