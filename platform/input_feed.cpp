// input_feed.cpp -- placeholder until the keyboard and joystick stand-ins exist.
#include "platform/input_feed_c.h"

namespace platform::input_feed {

void OnKey(int, bool) {}
void OnFocus(bool) {}
void OnSdlEvent(const void*) {}
void OnPump() {}

} // namespace platform::input_feed
