// WinHook.h -- window-message hooks and the window handle and message numbers of the SDK.
#pragma once

#include <cstdint>

namespace platform { class Window; }

namespace zuderadeDoruVAV3ed {

// The SDK's window handle: the platform layer's window (null when there is none).
using WindowHandle = platform::Window*;

// Message numbers used by the frame and its hooks, defined by the project itself.
enum : uint32_t {
    kMsgDestroy = 0x0002,
    kMsgActivate = 0x0006,
    kMsgClose = 0x0010,
    kMsgQuit = 0x0012,
    kMsgActivateApp = 0x001C,
    kMsgKeyDown = 0x0100,
    kMsgKeyUp = 0x0101,
    kMsgSize = 0x0005,
    kMsgUser = 0x0400,
};

// A window-message hook: the window offers each message to its hooks in order; the first
// non-zero answer ends the dispatch, 0 passes it on (finally to the window procedure).
class IWinHook {
public:
    virtual intptr_t WndProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) = 0;
    virtual ~IWinHook() = default;
};

} // namespace zuderadeDoruVAV3ed
