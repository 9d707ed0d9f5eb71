// keys.cpp -- the keyboard stand-in: one shared key state, opened devices, SDL scancode mapping.
#include "platform/keys.h"

#include <SDL2/SDL_scancode.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/text.h"

namespace platform {

namespace {

// The process's keyboard; every device and feed goes through it under its lock.
struct Keyboard {
    std::mutex lock;
    uint8_t keys[kKeyStateSize] = {};
    bool focused = true;   // a headless or scripted run is always in the foreground
    KeyboardFaults faults;
    std::vector<KeyboardDevice*> devices;
};

Keyboard& TheKeyboard() {
    static Keyboard keyboard;
    return keyboard;
}

struct KeyRow {
    int sdl;             // SDL scancode
    uint8_t code;        // scan code
    const char* name;    // name in input scripts
};

// Every key that has a scan code; the rest of the keyboard reads as never held.
constexpr KeyRow kKeyRows[] = {
    {SDL_SCANCODE_ESCAPE, 0x01, "Escape"},     {SDL_SCANCODE_1, 0x02, "1"},
    {SDL_SCANCODE_2, 0x03, "2"},               {SDL_SCANCODE_3, 0x04, "3"},
    {SDL_SCANCODE_4, 0x05, "4"},               {SDL_SCANCODE_5, 0x06, "5"},
    {SDL_SCANCODE_6, 0x07, "6"},               {SDL_SCANCODE_7, 0x08, "7"},
    {SDL_SCANCODE_8, 0x09, "8"},               {SDL_SCANCODE_9, 0x0A, "9"},
    {SDL_SCANCODE_0, 0x0B, "0"},               {SDL_SCANCODE_MINUS, 0x0C, "Minus"},
    {SDL_SCANCODE_EQUALS, 0x0D, "Equals"},     {SDL_SCANCODE_BACKSPACE, 0x0E, "Backspace"},
    {SDL_SCANCODE_TAB, 0x0F, "Tab"},           {SDL_SCANCODE_Q, 0x10, "Q"},
    {SDL_SCANCODE_W, 0x11, "W"},               {SDL_SCANCODE_E, 0x12, "E"},
    {SDL_SCANCODE_R, 0x13, "R"},               {SDL_SCANCODE_T, 0x14, "T"},
    {SDL_SCANCODE_Y, 0x15, "Y"},               {SDL_SCANCODE_U, 0x16, "U"},
    {SDL_SCANCODE_I, 0x17, "I"},               {SDL_SCANCODE_O, 0x18, "O"},
    {SDL_SCANCODE_P, 0x19, "P"},               {SDL_SCANCODE_LEFTBRACKET, 0x1A, "LeftBracket"},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B, "RightBracket"}, {SDL_SCANCODE_RETURN, 0x1C, "Return"},
    {SDL_SCANCODE_LCTRL, 0x1D, "LeftControl"}, {SDL_SCANCODE_A, 0x1E, "A"},
    {SDL_SCANCODE_S, 0x1F, "S"},               {SDL_SCANCODE_D, 0x20, "D"},
    {SDL_SCANCODE_F, 0x21, "F"},               {SDL_SCANCODE_G, 0x22, "G"},
    {SDL_SCANCODE_H, 0x23, "H"},               {SDL_SCANCODE_J, 0x24, "J"},
    {SDL_SCANCODE_K, 0x25, "K"},               {SDL_SCANCODE_L, 0x26, "L"},
    {SDL_SCANCODE_SEMICOLON, 0x27, "Semicolon"}, {SDL_SCANCODE_APOSTROPHE, 0x28, "Apostrophe"},
    {SDL_SCANCODE_GRAVE, 0x29, "Grave"},       {SDL_SCANCODE_LSHIFT, 0x2A, "LeftShift"},
    {SDL_SCANCODE_BACKSLASH, 0x2B, "Backslash"}, {SDL_SCANCODE_Z, 0x2C, "Z"},
    {SDL_SCANCODE_X, 0x2D, "X"},               {SDL_SCANCODE_C, 0x2E, "C"},
    {SDL_SCANCODE_V, 0x2F, "V"},               {SDL_SCANCODE_B, 0x30, "B"},
    {SDL_SCANCODE_N, 0x31, "N"},               {SDL_SCANCODE_M, 0x32, "M"},
    {SDL_SCANCODE_COMMA, 0x33, "Comma"},       {SDL_SCANCODE_PERIOD, 0x34, "Period"},
    {SDL_SCANCODE_SLASH, 0x35, "Slash"},       {SDL_SCANCODE_RSHIFT, 0x36, "RightShift"},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37, "KPMultiply"}, {SDL_SCANCODE_LALT, 0x38, "LeftAlt"},
    {SDL_SCANCODE_SPACE, 0x39, "Space"},       {SDL_SCANCODE_CAPSLOCK, 0x3A, "CapsLock"},
    {SDL_SCANCODE_F1, 0x3B, "F1"},             {SDL_SCANCODE_F2, 0x3C, "F2"},
    {SDL_SCANCODE_F3, 0x3D, "F3"},             {SDL_SCANCODE_F4, 0x3E, "F4"},
    {SDL_SCANCODE_F5, 0x3F, "F5"},             {SDL_SCANCODE_F6, 0x40, "F6"},
    {SDL_SCANCODE_F7, 0x41, "F7"},             {SDL_SCANCODE_F8, 0x42, "F8"},
    {SDL_SCANCODE_F9, 0x43, "F9"},             {SDL_SCANCODE_F10, 0x44, "F10"},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45, "NumLock"}, {SDL_SCANCODE_SCROLLLOCK, 0x46, "ScrollLock"},
    {SDL_SCANCODE_KP_7, 0x47, "KP7"},          {SDL_SCANCODE_KP_8, 0x48, "KP8"},
    {SDL_SCANCODE_KP_9, 0x49, "KP9"},          {SDL_SCANCODE_KP_MINUS, 0x4A, "KPMinus"},
    {SDL_SCANCODE_KP_4, 0x4B, "KP4"},          {SDL_SCANCODE_KP_5, 0x4C, "KP5"},
    {SDL_SCANCODE_KP_6, 0x4D, "KP6"},          {SDL_SCANCODE_KP_PLUS, 0x4E, "KPPlus"},
    {SDL_SCANCODE_KP_1, 0x4F, "KP1"},          {SDL_SCANCODE_KP_2, 0x50, "KP2"},
    {SDL_SCANCODE_KP_3, 0x51, "KP3"},          {SDL_SCANCODE_KP_0, 0x52, "KP0"},
    {SDL_SCANCODE_KP_PERIOD, 0x53, "KPPeriod"}, {SDL_SCANCODE_F11, 0x57, "F11"},
    {SDL_SCANCODE_F12, 0x58, "F12"},           {SDL_SCANCODE_KP_ENTER, 0x9C, "KPEnter"},
    {SDL_SCANCODE_RCTRL, 0x9D, "RightControl"}, {SDL_SCANCODE_KP_DIVIDE, 0xB5, "KPDivide"},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7, "PrintScreen"}, {SDL_SCANCODE_RALT, 0xB8, "RightAlt"},
    {SDL_SCANCODE_PAUSE, 0xC5, "Pause"},       {SDL_SCANCODE_HOME, 0xC7, "Home"},
    {SDL_SCANCODE_UP, 0xC8, "Up"},             {SDL_SCANCODE_PAGEUP, 0xC9, "PageUp"},
    {SDL_SCANCODE_LEFT, 0xCB, "Left"},         {SDL_SCANCODE_RIGHT, 0xCD, "Right"},
    {SDL_SCANCODE_END, 0xCF, "End"},           {SDL_SCANCODE_DOWN, 0xD0, "Down"},
    {SDL_SCANCODE_PAGEDOWN, 0xD1, "PageDown"}, {SDL_SCANCODE_INSERT, 0xD2, "Insert"},
    {SDL_SCANCODE_DELETE, 0xD3, "Delete"},     {SDL_SCANCODE_LGUI, 0xDB, "LeftWindows"},
    {SDL_SCANCODE_RGUI, 0xDC, "RightWindows"}, {SDL_SCANCODE_APPLICATION, 0xDD, "Menu"},
};

// The service and the fallback module hand out the same thing: keyboards over the shared state.
class LocalKeyInputService final : public KeyInputService {
public:
    int32_t Initialize(uint32_t version) override {
        std::lock_guard<std::mutex> guard(TheKeyboard().lock);
        const KeyboardFaults& faults = TheKeyboard().faults;
        if (version >= 0x0500) return faults.initialize_0500 ? kKeyErrGeneric : kKeyOk;
        return faults.initialize_0300 ? kKeyErrGeneric : kKeyOk;
    }
    std::unique_ptr<KeyboardDevice> CreateKeyboard(int32_t& result) override {
        {
            std::lock_guard<std::mutex> guard(TheKeyboard().lock);
            if (TheKeyboard().faults.create_device) {
                result = kKeyErrGeneric;
                return nullptr;
            }
        }
        result = kKeyOk;
        return std::make_unique<KeyboardDevice>();
    }
};

KeyboardFaults CurrentFaults() {
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    return TheKeyboard().faults;
}

} // namespace

KeyboardDevice::KeyboardDevice() {
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    TheKeyboard().devices.push_back(this);
}

KeyboardDevice::~KeyboardDevice() {
    Keyboard& keyboard = TheKeyboard();
    std::lock_guard<std::mutex> guard(keyboard.lock);
    keyboard.devices.erase(std::remove(keyboard.devices.begin(), keyboard.devices.end(), this),
                           keyboard.devices.end());
}

int32_t KeyboardDevice::SetDataFormat(uint32_t state_size) {
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    if (TheKeyboard().faults.set_data_format) return kKeyErrGeneric;
    if (state_size != kKeyStateSize) return kKeyErrInvalidParam;
    format_set_ = true;
    return kKeyOk;
}

int32_t KeyboardDevice::SetCooperativeLevel(const void*, uint32_t flags) {
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    if (TheKeyboard().faults.set_cooperative_level) return kKeyErrGeneric;
    // Exactly one of each pair must be given.
    bool one_access = ((flags & kKeyCoopExclusive) != 0) != ((flags & kKeyCoopNonExclusive) != 0);
    bool one_place = ((flags & kKeyCoopForeground) != 0) != ((flags & kKeyCoopBackground) != 0);
    if (!one_access || !one_place) return kKeyErrInvalidParam;
    cooperation_ = flags;
    return kKeyOk;
}

int32_t KeyboardDevice::Acquire() {
    Keyboard& keyboard = TheKeyboard();
    std::lock_guard<std::mutex> guard(keyboard.lock);
    if (!format_set_) return kKeyErrInvalidParam;
    if (keyboard.faults.acquire) return kKeyErrOtherAppHasPriority;
    if (acquired_) return kKeyNoEffect;
    if ((cooperation_ & kKeyCoopForeground) && !keyboard.focused) return kKeyErrOtherAppHasPriority;
    acquired_ = true;
    lost_ = false;
    return kKeyOk;
}

int32_t KeyboardDevice::Unacquire() {
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    if (!acquired_) return kKeyNoEffect;
    acquired_ = false;
    return kKeyOk;
}

int32_t KeyboardDevice::GetDeviceState(uint32_t size, void* data) {
    Keyboard& keyboard = TheKeyboard();
    std::lock_guard<std::mutex> guard(keyboard.lock);
    int32_t result = kKeyOk;
    if (size != kKeyStateSize || !data) {
        result = kKeyErrInvalidParam;
    } else if (keyboard.faults.reads_lost > 0) {
        --keyboard.faults.reads_lost;
        result = kKeyErrInputLost;
    } else if (keyboard.faults.reads_failed > 0) {
        --keyboard.faults.reads_failed;
        result = kKeyErrGeneric;
    } else if (lost_) {
        lost_ = false;
        result = kKeyErrInputLost;
    } else if (!acquired_) {
        result = kKeyErrNotAcquired;
    }
    if (result != kKeyOk) {
        acquired_ = false;
        return result;
    }
    std::memcpy(data, keyboard.keys, kKeyStateSize);
    return kKeyOk;
}

bool KeyboardDevice::IsAcquired() const {
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    return acquired_;
}

std::unique_ptr<KeyInputService> CreateKeyInputService() {
    if (CurrentFaults().service_create) return nullptr;
    return std::make_unique<LocalKeyInputService>();
}

std::unique_ptr<KeyInputLibrary> KeyInputLibrary::Load() {
    if (CurrentFaults().library_load) return nullptr;
    return std::make_unique<KeyInputLibrary>();
}

bool KeyInputLibrary::HasCreateEntry() const { return !CurrentFaults().library_entry; }

int32_t KeyInputLibrary::Create(uint32_t, std::unique_ptr<KeyInputService>& out) {
    KeyboardFaults faults = CurrentFaults();
    if (faults.library_create) return kKeyErrGeneric;
    out = faults.library_no_service ? nullptr : std::make_unique<LocalKeyInputService>();
    return kKeyOk;
}

void FeedKey(uint8_t scan_code, bool down) {
    if (scan_code == 0) return;
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    TheKeyboard().keys[scan_code] = down ? kKeyDown : 0;
}

void FeedKeyboardState(const uint8_t (&state)[kKeyStateSize]) {
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    for (uint32_t i = 0; i < kKeyStateSize; ++i) TheKeyboard().keys[i] = (state[i] & kKeyDown) ? kKeyDown : 0;
}

void FeedFocus(bool focused) {
    Keyboard& keyboard = TheKeyboard();
    std::lock_guard<std::mutex> guard(keyboard.lock);
    keyboard.focused = focused;
    if (focused) return;
    // Keys released while the window is away never reach us: forget them all now.
    std::memset(keyboard.keys, 0, sizeof keyboard.keys);
    for (KeyboardDevice* device : keyboard.devices) {
        if (device->acquired_ && (device->cooperation_ & kKeyCoopForeground)) {
            device->acquired_ = false;
            device->lost_ = true;
        }
    }
}

bool KeyboardHasFocus() {
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    return TheKeyboard().focused;
}

uint8_t ScanCodeFromSdl(int sdl_scancode) {
    for (const KeyRow& row : kKeyRows) {
        if (row.sdl == sdl_scancode) return row.code;
    }
    return 0;
}

uint8_t ScanCodeFromName(std::string_view name) {
    for (const KeyRow& row : kKeyRows) {
        if (EqualsIgnoringAsciiCase(row.name, name)) return row.code;
    }
    return 0;
}

void SetKeyboardFaultsForTest(const KeyboardFaults& faults) {
    std::lock_guard<std::mutex> guard(TheKeyboard().lock);
    TheKeyboard().faults = faults;
}

void ResetKeyboardForTest() {
    Keyboard& keyboard = TheKeyboard();
    std::lock_guard<std::mutex> guard(keyboard.lock);
    std::memset(keyboard.keys, 0, sizeof keyboard.keys);
    keyboard.focused = true;
    keyboard.faults = KeyboardFaults();
}

} // namespace platform
