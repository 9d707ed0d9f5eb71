// joystick.h -- the joystick stand-in: numbered pads with capabilities and positions, over SDL2.
//
// Pads are numbered from 0 in the order they appear. A pad that is pulled out keeps its number
// (its reads fail with kJoyErrUnplugged) and the next pad plugged in takes it back: the same pad
// first, else any, so a game that chose a number plays on after a pad is swapped. Game
// controllers read their left stick and d-pad as X and Y and their buttons in the order A, B, X,
// Y, left shoulder, right shoulder, back, start, left stick, right stick, guide; other joysticks
// read axes 0 and 1, hat 0 and their buttons as numbered. Both axes run from 0 to 65535 with
// the centre at 32768. Works without any device (count 0) and without a display.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr int32_t kJoyOk = 0;
inline constexpr int32_t kJoyErrNoDriver = 6;      // the joystick service did not start
inline constexpr int32_t kJoyErrParams = 165;      // no pad of that number
inline constexpr int32_t kJoyErrUnplugged = 167;   // the pad of that number is pulled out

inline constexpr uint32_t kJoyAxisMax = 65535;
inline constexpr int kJoyMaxButtons = 32;

struct JoyCaps {
    uint32_t x_min = 0, x_max = 0;
    uint32_t y_min = 0, y_max = 0;
    uint32_t button_count = 0;   // at most kJoyMaxButtons
};

struct JoyPosition {
    uint32_t x = 0, y = 0;
    uint32_t buttons = 0;        // bit i: button i held
};

// Pad numbers in use, pulled-out pads included.
uint32_t JoyDeviceCount();
int32_t JoyGetCaps(uint32_t id, JoyCaps& caps);
// Position with buttons 0 to 3 only.
int32_t JoyGetPosition(uint32_t id, JoyPosition& position);
// Position with every button.
int32_t JoyGetPositionEx(uint32_t id, JoyPosition& position);
// Device arrivals and removals from the window's pump (an SDL_Event); other events are ignored.
void JoyHandleSdlEvent(const void* sdl_event);

// For tests: pads without hardware (SDL virtual joysticks). Attach returns a handle, -1 on failure.
int JoyAttachVirtualForTest(bool game_controller, int axes, int buttons, int hats);
bool JoySetVirtualAxisForTest(int handle, int axis, int16_t value);
bool JoySetVirtualButtonForTest(int handle, int button, bool down);
bool JoySetVirtualHatForTest(int handle, int hat, uint8_t value);   // SDL hat bits: 1 up 2 right 4 down 8 left
bool JoyDetachVirtualForTest(int handle);
// Forgets every pad number (closing the pads).
void JoyResetForTest();

} // namespace platform
