// JoyStick.cpp -- pad selection, direction thresholds and the per-frame poll of the joysticks.
#include "sdk/input/JoyStick.h"

#include <algorithm>

#include "platform/joystick.h"

namespace zuderadeDoruVAV3ed {

CJoyStick::CJoyStick(int32_t button_count) : button_count_(button_count) {}

int32_t CJoyStick::SelectDevice(int32_t id) {
    requested_id_ = id;
    valid_ = false;
    if (id < 0 || static_cast<uint32_t>(id) >= platform::JoyDeviceCount()) return 1;
    joystick_id_ = id;
    platform::JoyCaps caps;
    if (platform::JoyGetCaps(id, caps) != platform::kJoyOk) return 3;
    // Thirds of each range, unsigned and rounded down.
    x_low_ = (caps.x_max + 2 * caps.x_min) / 3;
    x_high_ = (caps.x_min + 2 * caps.x_max) / 3;
    y_low_ = (caps.y_max + 2 * caps.y_min) / 3;
    y_high_ = (caps.y_min + 2 * caps.y_max) / 3;
    platform::JoyPosition position;
    if (platform::JoyGetPosition(id, position) != platform::kJoyOk) return 4;
    valid_ = true;
    ResetKey();
    return 0;
}

int32_t CJoyStick::SetButtonMax(int32_t count) {
    button_count_ = count;
    ResetKey();
    return 0;
}

int32_t CJoyStick::Input() {
    if (!valid_) return 1;
    FlipKeys();
    // More than four buttons need the extended read.
    platform::JoyPosition position;
    int32_t result = button_count_ > 4 ? platform::JoyGetPositionEx(joystick_id_, position)
                                       : platform::JoyGetPosition(joystick_id_, position);
    if (result != platform::kJoyOk) {
        // A pad pulled out holds nothing, rather than the state of two polls ago.
        ClearCurrentKeys();
        return 2;
    }
    uint32_t x = position.x & 0xFFFF;
    uint32_t y = position.y & 0xFFFF;
    uint8_t* keys = CurrentKeys();
    keys[0] = y < y_low_;
    keys[1] = y > y_high_;
    keys[2] = x < x_low_;
    keys[3] = x > x_high_;
    // Bytes past the reported buttons keep what they held.
    int32_t buttons = std::min<int32_t>(button_count_, platform::kJoyMaxButtons);
    for (int32_t i = 0; i < buttons; ++i) keys[4 + i] = (position.buttons >> i) & 1;
    return 0;
}

CJoyStickSelector::CJoyStickSelector() { UseNullDevice(); }

void CJoyStickSelector::UseNullDevice() { device_ = KTL::smart_ptr<IJoyStick>(new CNullJoyStick); }

// Each forward holds its own counted copy, so the joystick outlives a call that replaces it.
int32_t CJoyStickSelector::Input() {
    KTL::smart_ptr<IJoyStick> device = device_;
    return device->Input();
}

bool CJoyStickSelector::IsKeyPress(int key) const {
    KTL::smart_ptr<IJoyStick> device = device_;
    return device->IsKeyPress(key);
}

bool CJoyStickSelector::IsKeyPush(int key) const {
    KTL::smart_ptr<IJoyStick> device = device_;
    return device->IsKeyPush(key);
}

uint8_t* CJoyStickSelector::GetKeyData() {
    KTL::smart_ptr<IJoyStick> device = device_;
    return device->GetKeyData();
}

int32_t CJoyStickSelector::SelectDevice(int32_t id) {
    if (id < 0) {
        UseNullDevice();
        return 1;
    }
    device_ = KTL::smart_ptr<IJoyStick>(new CJoyStick(6));
    KTL::smart_ptr<IJoyStick> device = device_;
    return device->SelectDevice(id) != 0 ? 1 : 0;
}

int32_t CJoyStickSelector::SetButtonMax(int32_t count) {
    KTL::smart_ptr<IJoyStick> device = device_;
    return device->SetButtonMax(count);
}

int32_t CJoyStickSelector::GetButtonMax() {
    KTL::smart_ptr<IJoyStick> device = device_;
    return device->GetButtonMax();
}

bool CJoyStickSelector::IsValid() {
    KTL::smart_ptr<IJoyStick> device = device_;
    return device->IsValid();
}

} // namespace zuderadeDoruVAV3ed
