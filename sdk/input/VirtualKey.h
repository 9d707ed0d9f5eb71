// VirtualKey.h -- virtual keys over several devices, and the game's default keyboard-and-pad set.
//
// A virtual key is held when any (device, key) pair bound to it is held. The combined state is
// itself double-buffered, so holding one bound key and then pressing another bound to the same
// virtual key gives no second push.
#pragma once

#include <cstdint>
#include <vector>

#include "sdk/input/JoyStick.h"
#include "sdk/input/KeyBase.h"
#include "sdk/input/KeyInput.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

// Virtual keys 0 to 87, each bound to a list of device keys. Byte i of the state is 0xFF while
// virtual key i is held; bytes 88 to 255 stay 0.
class CVirtualKey : public CKeyBase {
public:
    static constexpr int kVirtualKeyCount = 88;

    CVirtualKey();

    // Polls every device in the order added, then combines; the OR of the devices' results.
    int32_t Input() override;
    // Appends a device; its number is the count of devices before it.
    void AddDevice(const KTL::smart_ptr<CKeyBase>& device);
    // Binds a device's key to a virtual key. An entry out of range is logged and ignored; an
    // entry naming a device never added is never held.
    void AddKey(int virtual_key, int device, int key);
    // Unbinds every virtual key.
    void ClearKeyList();

private:
    struct KeyEntry {
        int32_t device;   // position in devices_
        int32_t key;      // key number on that device
    };
    std::vector<KeyEntry> key_lists_[kVirtualKeyCount];   // in the order bound
    std::vector<KTL::smart_ptr<CKeyBase>> devices_;
};

// The game's input: the keyboard (device 0) and a joystick selector (device 1) with the game's
// eleven virtual keys bound.
class CDefaultKeyInput : public CVirtualKey {
public:
    // background false: the keyboard is read only while the window has the focus.
    explicit CDefaultKeyInput(bool background);
    ~CDefaultKeyInput() override = default;

    CKeyInput& GetKeyboard() { return keyboard_; }
    CJoyStickSelector& GetJoyStick() { return joystick_; }

private:
    CKeyInput keyboard_;
    CJoyStickSelector joystick_;
};

} // namespace zuderadeDoruVAV3ed
