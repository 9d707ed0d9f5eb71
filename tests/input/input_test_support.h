// input_test_support.h -- shared set-up of the input tests: clean platform devices, scripted frames, log capture.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/input_script.h"
#include "platform/joystick.h"
#include "platform/keys.h"
#include "sdk/input/KeyBase.h"

namespace input_test {

// Every test starts with all keys up, the focus on, no faults, no script and no pads.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAll(); }
    void TearDown() override { ResetAll(); }

    static void ResetAll() {
        platform::ResetKeyboardForTest();
        platform::SetInputScriptForTest(std::nullopt);
        platform::JoyResetForTest();
    }

    // Runs a script from frame 0.
    static void UseScript(const char* text) {
        platform::SetInputScriptForTest(platform::InputScript::Parse(text, "test"));
    }
    // One main-loop frame: the pump feeds the script's next state, then the device is polled.
    static int32_t Frame(zuderadeDoruVAV3ed::CKeyBase& device) {
        platform::StepInputScript();
        return device.Input();
    }
    static void Faults(void (*set)(platform::KeyboardFaults&)) {
        platform::KeyboardFaults faults;
        set(faults);
        platform::SetKeyboardFaultsForTest(faults);
    }
};

// Collects what the error log prints while it lives (the log prints when FLYINGFISH_LOG=stderr,
// which the test program sets before its first log text).
class LogCapture {
public:
    LogCapture() { ::testing::internal::CaptureStderr(); }
    std::string Text() {
        if (!done_) text_ = ::testing::internal::GetCapturedStderr();
        done_ = true;
        return text_;
    }
    ~LogCapture() { Text(); }
private:
    bool done_ = false;
    std::string text_;
};

} // namespace input_test
