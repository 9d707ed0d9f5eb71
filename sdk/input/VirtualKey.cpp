// VirtualKey.cpp -- combining device keys into virtual keys; the game's default bindings.
#include "sdk/input/VirtualKey.h"

#include "platform/keys.h"
#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

CVirtualKey::CVirtualKey() { ClearKeyList(); }

void CVirtualKey::AddDevice(const KTL::smart_ptr<CKeyBase>& device) { devices_.push_back(device); }

void CVirtualKey::AddKey(int virtual_key, int device, int key) {
    if (virtual_key < 0 || virtual_key >= kVirtualKeyCount || device < 0 || !IsKeyNumber(key)) {
        CErrorLog::Out("CVirtualKey::AddKeyで範囲外の指定(%d, %d, %d)", virtual_key, device, key);
        return;
    }
    key_lists_[virtual_key].push_back(KeyEntry{device, key});
}

void CVirtualKey::ClearKeyList() {
    for (std::vector<KeyEntry>& list : key_lists_) list.clear();
}

int32_t CVirtualKey::Input() {
    int32_t result = 0;
    for (KTL::smart_ptr<CKeyBase>& device : devices_) result |= device->Input();

    FlipKeys();
    ClearCurrentKeys();
    uint8_t* keys = CurrentKeys();
    // The first held entry of each list holds the virtual key.
    for (int virtual_key = 0; virtual_key < kVirtualKeyCount; ++virtual_key) {
        for (const KeyEntry& entry : key_lists_[virtual_key]) {
            if (static_cast<size_t>(entry.device) >= devices_.size()) continue;
            if (devices_[entry.device]->IsKeyPress(entry.key)) {
                keys[virtual_key] = 0xFF;
                break;
            }
        }
    }
    return result;
}

namespace {

constexpr int kKeyboard = 0;
constexpr int kJoyStick = 1;
constexpr int kNone = -1;

// One virtual key: its keyboard keys in order (0 ends the list), then its joystick key.
struct DefaultBinding {
    int virtual_key;
    uint8_t keyboard[3];
    int joystick;
};

namespace scan = platform::scan;
constexpr DefaultBinding kDefaultBindings[] = {
    {0, {scan::kEscape}, kNone},
    {1, {scan::kNumPad8, scan::kUp}, 0},
    {2, {scan::kNumPad2, scan::kDown}, 1},
    {3, {scan::kNumPad4, scan::kLeft}, 2},
    {4, {scan::kNumPad6, scan::kRight}, 3},
    {5, {scan::kSpace, scan::kZ}, 4},
    {6, {scan::kReturn, scan::kX, scan::kNumPadEnter}, 5},
    {7, {scan::kC}, 6},
    {8, {scan::kA}, 7},
    {9, {scan::kS}, 8},
    {10, {scan::kD}, 9},
};

} // namespace

CDefaultKeyInput::CDefaultKeyInput(bool background) : keyboard_(background) {
    AddDevice(KTL::smart_ptr<CKeyBase>::NotOwned(&keyboard_));
    AddDevice(KTL::smart_ptr<CKeyBase>::NotOwned(&joystick_));

    // The first pad, else the second.
    if (joystick_.SelectDevice(0) != 0) joystick_.SelectDevice(1);
    joystick_.SetButtonMax(6);

    for (const DefaultBinding& binding : kDefaultBindings) {
        for (uint8_t code : binding.keyboard) {
            if (code != 0) AddKey(binding.virtual_key, kKeyboard, code);
        }
        if (binding.joystick != kNone) AddKey(binding.virtual_key, kJoyStick, binding.joystick);
    }
}

} // namespace zuderadeDoruVAV3ed
