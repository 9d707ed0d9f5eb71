// input_feed_c.h -- private to platform/: how the window's pump feeds the input layer.
#pragma once

namespace platform::input_feed {

// A key went down or up (SDL scancode).
void OnKey(int sdl_scancode, bool down);
// The window gained or lost the input focus.
void OnFocus(bool focused);
// Any other SDL event (joystick and game-controller devices, axes, buttons); opaque here.
void OnSdlEvent(const void* sdl_event);
// Called once per pump pass by either back-end (scripted input advances by main-loop frame).
void OnPump();

} // namespace platform::input_feed
