// joystick.cpp -- pads over SDL2 joysticks and game controllers, polled, numbered stably.
#include "platform/joystick.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/log.h"

namespace platform {

namespace {

struct Pad {
    SDL_JoystickID instance = -1;        // -1 while pulled out
    SDL_JoystickGUID guid{};             // to give a returning pad its number back
    SDL_Joystick* joystick = nullptr;
    SDL_GameController* controller = nullptr;   // set when SDL knows the pad's layout
};

struct Pads {
    std::mutex lock;
    bool started = false;
    bool start_failed = false;           // logged once; tried again at each call
    std::vector<Pad> pads;               // index = pad number
    std::vector<SDL_Joystick*> virtuals; // tests' virtual pads, by handle
};

Pads& ThePads() {
    static Pads pads;
    return pads;
}

void ClosePad(Pad& pad) {
    if (pad.controller) SDL_GameControllerClose(pad.controller);
    else if (pad.joystick) SDL_JoystickClose(pad.joystick);
    pad.controller = nullptr;
    pad.joystick = nullptr;
    pad.instance = -1;
}

// Starts SDL's joystick service once (again after somebody shut SDL down). Events stay off:
// pads are polled, so an event queue that nobody drains (headless) never fills up.
bool Start(Pads& pads) {
    if (pads.started && SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return true;
    if (pads.started) {
        // SDL was shut down under us: its handles are gone, the numbers stay.
        for (Pad& pad : pads.pads) pad = Pad{-1, pad.guid, nullptr, nullptr};
        pads.virtuals.clear();
        pads.started = false;
    }
    // Started before any window (headless), SDL's event service would take SIGINT and SIGTERM
    // and turn them into quit events that nobody reads: the process would ignore both.
    if (!SDL_WasInit(SDL_INIT_EVENTS)) SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        if (!pads.start_failed) LogWrite(std::string("joystick: SDL cannot start its joystick service: ") + SDL_GetError());
        pads.start_failed = true;
        return false;
    }
    SDL_JoystickEventState(SDL_IGNORE);
    SDL_GameControllerEventState(SDL_IGNORE);
    pads.started = true;
    return true;
}

// Takes in the devices that came and lets go of the ones that left.
void Reconcile(Pads& pads) {
    SDL_JoystickUpdate();
    for (Pad& pad : pads.pads) {
        if (pad.joystick && !SDL_JoystickGetAttached(pad.joystick)) ClosePad(pad);
    }
    int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
        auto known = std::find_if(pads.pads.begin(), pads.pads.end(),
                                  [&](const Pad& pad) { return pad.instance == instance; });
        if (known != pads.pads.end()) continue;

        Pad opened;
        if (SDL_IsGameController(index)) {
            opened.controller = SDL_GameControllerOpen(index);
            if (opened.controller) opened.joystick = SDL_GameControllerGetJoystick(opened.controller);
        }
        if (!opened.joystick) opened.joystick = SDL_JoystickOpen(index);
        if (!opened.joystick) continue;
        opened.instance = instance;
        opened.guid = SDL_JoystickGetGUID(opened.joystick);

        // The number this pad had before, else the first free one, else a new one.
        auto free_same = std::find_if(pads.pads.begin(), pads.pads.end(), [&](const Pad& pad) {
            return pad.instance == -1 && std::memcmp(&pad.guid, &opened.guid, sizeof opened.guid) == 0;
        });
        auto free_any = std::find_if(pads.pads.begin(), pads.pads.end(),
                                     [](const Pad& pad) { return pad.instance == -1; });
        if (free_same != pads.pads.end()) *free_same = opened;
        else if (free_any != pads.pads.end()) *free_any = opened;
        else pads.pads.push_back(opened);
    }
}

// The pad of a number, brought up to date; an error result when there is none to read.
int32_t FindPad(Pads& pads, uint32_t id, Pad*& found) {
    if (!Start(pads)) return kJoyErrNoDriver;
    Reconcile(pads);
    if (id >= pads.pads.size()) return kJoyErrParams;
    if (!pads.pads[id].joystick) return kJoyErrUnplugged;
    found = &pads.pads[id];
    return kJoyOk;
}

uint32_t AxisPosition(Sint16 value) { return static_cast<uint32_t>(value + 32768); }

void ReadController(SDL_GameController* controller, JoyPosition& position) {
    position.x = AxisPosition(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX));
    position.y = AxisPosition(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
    auto held = [&](SDL_GameControllerButton button) { return SDL_GameControllerGetButton(controller, button) != 0; };
    if (held(SDL_CONTROLLER_BUTTON_DPAD_LEFT)) position.x = 0;
    if (held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) position.x = kJoyAxisMax;
    if (held(SDL_CONTROLLER_BUTTON_DPAD_UP)) position.y = 0;
    if (held(SDL_CONTROLLER_BUTTON_DPAD_DOWN)) position.y = kJoyAxisMax;

    static constexpr SDL_GameControllerButton kOrder[] = {
        SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
        SDL_CONTROLLER_BUTTON_Y, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
        SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_LEFTSTICK,
        SDL_CONTROLLER_BUTTON_RIGHTSTICK, SDL_CONTROLLER_BUTTON_GUIDE,
    };
    position.buttons = 0;
    for (size_t i = 0; i < std::size(kOrder); ++i) {
        if (held(kOrder[i])) position.buttons |= 1u << i;
    }
}

constexpr uint32_t kControllerButtons = 11;

void ReadJoystick(SDL_Joystick* joystick, JoyPosition& position) {
    int axes = SDL_JoystickNumAxes(joystick);
    position.x = axes > 0 ? AxisPosition(SDL_JoystickGetAxis(joystick, 0)) : 32768;
    position.y = axes > 1 ? AxisPosition(SDL_JoystickGetAxis(joystick, 1)) : 32768;
    if (SDL_JoystickNumHats(joystick) > 0) {
        Uint8 hat = SDL_JoystickGetHat(joystick, 0);
        if (hat & SDL_HAT_LEFT) position.x = 0;
        if (hat & SDL_HAT_RIGHT) position.x = kJoyAxisMax;
        if (hat & SDL_HAT_UP) position.y = 0;
        if (hat & SDL_HAT_DOWN) position.y = kJoyAxisMax;
    }
    int buttons = std::min(SDL_JoystickNumButtons(joystick), kJoyMaxButtons);
    position.buttons = 0;
    for (int i = 0; i < buttons; ++i) {
        if (SDL_JoystickGetButton(joystick, i)) position.buttons |= 1u << i;
    }
}

// The virtual pad of a test handle and its current device index; false when it is gone.
bool FindVirtual(Pads& pads, int handle, SDL_Joystick*& joystick, int& index) {
    if (handle < 0 || static_cast<size_t>(handle) >= pads.virtuals.size() || !pads.virtuals[handle]) return false;
    joystick = pads.virtuals[handle];
    SDL_JoystickID instance = SDL_JoystickInstanceID(joystick);
    for (index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == instance) return true;
    }
    return false;
}

// Runs call(joystick) on a test's virtual pad under the lock; false when the pad is gone or SDL refuses.
template <class Call>
bool WithVirtual(int handle, Call call) {
    Pads& pads = ThePads();
    std::lock_guard<std::mutex> guard(pads.lock);
    SDL_Joystick* joystick = nullptr;
    int index = 0;
    return FindVirtual(pads, handle, joystick, index) && call(joystick) == 0;
}

} // namespace

uint32_t JoyDeviceCount() {
    Pads& pads = ThePads();
    std::lock_guard<std::mutex> guard(pads.lock);
    if (!Start(pads)) return 0;
    Reconcile(pads);
    return static_cast<uint32_t>(pads.pads.size());
}

int32_t JoyGetCaps(uint32_t id, JoyCaps& caps) {
    Pads& pads = ThePads();
    std::lock_guard<std::mutex> guard(pads.lock);
    Pad* pad = nullptr;
    if (int32_t result = FindPad(pads, id, pad); result != kJoyOk) return result;
    caps = JoyCaps{};
    caps.x_max = kJoyAxisMax;
    caps.y_max = kJoyAxisMax;
    caps.button_count = pad->controller
        ? kControllerButtons
        : static_cast<uint32_t>(std::clamp(SDL_JoystickNumButtons(pad->joystick), 0, kJoyMaxButtons));
    return kJoyOk;
}

int32_t JoyGetPositionEx(uint32_t id, JoyPosition& position) {
    Pads& pads = ThePads();
    std::lock_guard<std::mutex> guard(pads.lock);
    Pad* pad = nullptr;
    if (int32_t result = FindPad(pads, id, pad); result != kJoyOk) return result;
    if (pad->controller) ReadController(pad->controller, position);
    else ReadJoystick(pad->joystick, position);
    return kJoyOk;
}

int32_t JoyGetPosition(uint32_t id, JoyPosition& position) {
    int32_t result = JoyGetPositionEx(id, position);
    position.buttons &= 0xF;
    return result;
}

void JoyHandleSdlEvent(const void* sdl_event) {
    if (!sdl_event) return;
    switch (static_cast<const SDL_Event*>(sdl_event)->type) {
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED: {
        Pads& pads = ThePads();
        std::lock_guard<std::mutex> guard(pads.lock);
        if (Start(pads)) Reconcile(pads);
        break;
    }
    default:
        break;
    }
}

int JoyAttachVirtualForTest(bool game_controller, int axes, int buttons, int hats) {
    Pads& pads = ThePads();
    std::lock_guard<std::mutex> guard(pads.lock);
    if (!Start(pads)) return -1;
    SDL_JoystickType type = game_controller ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
    int index = SDL_JoystickAttachVirtual(type, axes, buttons, hats);
    if (index < 0) return -1;
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    if (!joystick) {
        SDL_JoystickDetachVirtual(index);
        return -1;
    }
    pads.virtuals.push_back(joystick);
    return static_cast<int>(pads.virtuals.size() - 1);
}

bool JoySetVirtualAxisForTest(int handle, int axis, int16_t value) {
    return WithVirtual(handle, [&](SDL_Joystick* joystick) { return SDL_JoystickSetVirtualAxis(joystick, axis, value); });
}

bool JoySetVirtualButtonForTest(int handle, int button, bool down) {
    return WithVirtual(handle, [&](SDL_Joystick* joystick) {
        return SDL_JoystickSetVirtualButton(joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
    });
}

bool JoySetVirtualHatForTest(int handle, int hat, uint8_t value) {
    return WithVirtual(handle, [&](SDL_Joystick* joystick) { return SDL_JoystickSetVirtualHat(joystick, hat, value); });
}

bool JoyDetachVirtualForTest(int handle) {
    Pads& pads = ThePads();
    std::lock_guard<std::mutex> guard(pads.lock);
    SDL_Joystick* joystick = nullptr;
    int index = 0;
    if (!FindVirtual(pads, handle, joystick, index)) return false;
    bool detached = SDL_JoystickDetachVirtual(index) == 0;
    SDL_JoystickClose(joystick);
    pads.virtuals[handle] = nullptr;
    return detached;
}

void JoyResetForTest() {
    Pads& pads = ThePads();
    std::lock_guard<std::mutex> guard(pads.lock);
    if (pads.started && SDL_WasInit(SDL_INIT_GAMECONTROLLER)) {
        for (Pad& pad : pads.pads) ClosePad(pad);
    }
    pads.pads.clear();
}

} // namespace platform
