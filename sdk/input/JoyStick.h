// JoyStick.h -- the joystick devices: CJoyStick over the platform's pads, the do-nothing
// CNullJoyStick, and CJoyStickSelector, which holds one of the two and forwards to it.
//
// Joystick key numbers: 0 up, 1 down, 2 left, 3 right, 4 + i button i.
#pragma once

#include <cstdint>

#include "sdk/input/KeyBase.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

// What every joystick offers after the key state.
class IJoyStick : public CKeyBase {
public:
    // Chooses the pad by number; 0 on success.
    virtual int32_t SelectDevice(int32_t id) = 0;
    // How many buttons to report; 0.
    virtual int32_t SetButtonMax(int32_t count) = 0;
    virtual int32_t GetButtonMax() = 0;
    virtual bool IsValid() = 0;
};

// A pad of the platform. A stick direction counts once the stick is past the first or the last
// third of its range. Not valid (no keys, Input returns 1) until SelectDevice succeeds.
class CJoyStick : public IJoyStick {
public:
    explicit CJoyStick(int32_t button_count = 6);

    // 0; 1 when not valid; 2 when the pad cannot be read (all its keys then read as up).
    int32_t Input() override;
    // 0; 1 for a number out of range; 3 without capabilities; 4 when the pad cannot be read.
    int32_t SelectDevice(int32_t id) override;
    int32_t SetButtonMax(int32_t count) override;
    int32_t GetButtonMax() override { return button_count_; }
    bool IsValid() override { return valid_; }

private:
    bool valid_ = false;
    int32_t joystick_id_ = 0;      // pad number in use
    int32_t button_count_;         // buttons reported
    uint32_t x_low_ = 0, x_high_ = 0, y_low_ = 0, y_high_ = 0;   // direction thresholds
    int32_t requested_id_ = 0;     // argument of the last SelectDevice, kept even when refused
};

// Stands in when no joystick is wanted: never a key, always valid.
class CNullJoyStick : public IJoyStick {
public:
    int32_t Input() override { return 0; }
    bool IsKeyPress(int) const override { return false; }
    bool IsKeyPush(int) const override { return false; }
    int32_t SelectDevice(int32_t) override { return 0; }
    int32_t SetButtonMax(int32_t) override { return 0; }
    int32_t GetButtonMax() override { return 0; }
    bool IsValid() override { return true; }
};

// Holds the joystick in use (a CNullJoyStick until a pad is selected) and forwards to it. Its
// own key arrays are never filled; ResetKey clears only them.
class CJoyStickSelector : public IJoyStick {
public:
    CJoyStickSelector();

    int32_t Input() override;
    bool IsKeyPress(int key) const override;
    bool IsKeyPush(int key) const override;
    uint8_t* GetKeyData() override;
    // id < 0: back to CNullJoyStick, 1. Otherwise a new CJoyStick is installed (and kept even
    // when its selection fails); 1 when that failed, else 0.
    int32_t SelectDevice(int32_t id) override;
    int32_t SetButtonMax(int32_t count) override;
    int32_t GetButtonMax() override;
    bool IsValid() override;

    KTL::smart_ptr<IJoyStick> GetDevice() const { return device_; }
    void UseNullDevice();

private:
    KTL::smart_ptr<IJoyStick> device_;   // owned
};

} // namespace zuderadeDoruVAV3ed
