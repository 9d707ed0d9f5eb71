// keyboard_test.cpp -- the keyboard stand-in, the key-input service's set-up statuses and CKeyInput's poll.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "input_test_support.h"
#include "sdk/app/AppFrame.h"
#include "sdk/input/KeyInput.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using input_test::LogCapture;
namespace scan = platform::scan;

class KeyboardDeviceTest : public input_test::InputTest {
protected:
    // A device ready to acquire with the given cooperation.
    static std::unique_ptr<platform::KeyboardDevice> Open(uint32_t place) {
        auto device = std::make_unique<platform::KeyboardDevice>();
        EXPECT_EQ(device->SetDataFormat(platform::kKeyStateSize), platform::kKeyOk);
        EXPECT_EQ(device->SetCooperativeLevel(nullptr, platform::kKeyCoopNonExclusive | place), platform::kKeyOk);
        return device;
    }
};

TEST_F(KeyboardDeviceTest, ReadsTheFedStateOnlyWhileAcquired) {
    auto device = Open(platform::kKeyCoopForeground);
    uint8_t state[256] = {};
    EXPECT_EQ(device->GetDeviceState(256, state), platform::kKeyErrNotAcquired);
    EXPECT_EQ(device->Acquire(), platform::kKeyOk);
    EXPECT_EQ(device->Acquire(), platform::kKeyNoEffect);
    platform::FeedKey(scan::kSpace, true);
    ASSERT_EQ(device->GetDeviceState(256, state), platform::kKeyOk);
    EXPECT_EQ(state[scan::kSpace], 0x80);
    EXPECT_EQ(state[scan::kZ], 0);
    EXPECT_EQ(device->GetDeviceState(255, state), platform::kKeyErrInvalidParam);
    EXPECT_FALSE(device->IsAcquired());
}

TEST_F(KeyboardDeviceTest, FocusLossTakesForegroundAcquisitionOnly) {
    auto foreground = Open(platform::kKeyCoopForeground);
    auto background = Open(platform::kKeyCoopBackground);
    ASSERT_EQ(foreground->Acquire(), platform::kKeyOk);
    ASSERT_EQ(background->Acquire(), platform::kKeyOk);
    platform::FeedKey(scan::kUp, true);
    platform::FeedFocus(false);

    uint8_t state[256];
    EXPECT_EQ(foreground->GetDeviceState(256, state), platform::kKeyErrInputLost);
    EXPECT_EQ(foreground->Acquire(), platform::kKeyErrOtherAppHasPriority);
    ASSERT_EQ(background->GetDeviceState(256, state), platform::kKeyOk);
    EXPECT_EQ(state[scan::kUp], 0) << "keys are released with the focus";

    platform::FeedFocus(true);
    EXPECT_EQ(foreground->Acquire(), platform::kKeyOk);
    EXPECT_EQ(foreground->GetDeviceState(256, state), platform::kKeyOk);
}

TEST_F(KeyboardDeviceTest, AFailedReadNeverLeavesTheDeviceAcquired) {
    auto device = Open(platform::kKeyCoopForeground);
    ASSERT_EQ(device->Acquire(), platform::kKeyOk);
    Faults([](platform::KeyboardFaults& f) { f.reads_failed = 1; });
    uint8_t state[256];
    EXPECT_EQ(device->GetDeviceState(256, state), platform::kKeyErrGeneric);
    // A fresh acquire, not "already acquired", so a caller that tests for 0 can go on.
    EXPECT_EQ(device->Acquire(), platform::kKeyOk);
    EXPECT_EQ(device->GetDeviceState(256, state), platform::kKeyOk);
}

TEST_F(KeyboardDeviceTest, SdlScancodesAndScriptNamesMapToTheBoundScanCodes) {
    EXPECT_EQ(platform::ScanCodeFromSdl(41), scan::kEscape);   // SDL_SCANCODE_ESCAPE
    EXPECT_EQ(platform::ScanCodeFromSdl(82), scan::kUp);       // SDL_SCANCODE_UP
    EXPECT_EQ(platform::ScanCodeFromSdl(88), scan::kNumPadEnter);
    EXPECT_EQ(platform::ScanCodeFromSdl(29), scan::kZ);
    EXPECT_EQ(platform::ScanCodeFromSdl(0), 0);
    EXPECT_EQ(platform::ScanCodeFromName("space"), scan::kSpace);
    EXPECT_EQ(platform::ScanCodeFromName("KP8"), scan::kNumPad8);
    EXPECT_EQ(platform::ScanCodeFromName("Return"), scan::kReturn);
    EXPECT_EQ(platform::ScanCodeFromName("NoSuchKey"), 0);
}

// Set-up statuses: each failing step gives its status and its log text.
struct StatusCase {
    const char* name;
    void (*fault)(platform::KeyboardFaults&);
    int32_t direct_status;
    int32_t key_status;
    const char* log;   // "" when nothing is logged
};

// Printed by name in test listings and failures rather than as raw bytes.
void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class KeyInputStatusTest : public input_test::InputTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(KeyInputStatusTest, StatusAndLog) {
    const StatusCase& c = GetParam();
    EXPECT_EQ(::testing::PrintToString(c), c.name);
    Faults(c.fault);
    LogCapture log;
    {
        CDirectInput direct;
        EXPECT_EQ(direct.GetStatus(), c.direct_status);
        EXPECT_EQ(direct.GetInterface() != nullptr, c.direct_status < 3);
    }
    CKeyInput keyboard(false);
    EXPECT_EQ(keyboard.GetStatus(), c.key_status);
    std::string text = log.Text();
    if (*c.log) {
        EXPECT_NE(text.find(c.log), std::string::npos) << text;
    } else {
        EXPECT_EQ(text.find("失敗"), std::string::npos) << text;
    }

    // An unusable keyboard answers 1 and reports no keys; a usable one reads.
    platform::SetKeyboardFaultsForTest({});
    platform::FeedKey(scan::kSpace, true);
    EXPECT_EQ(keyboard.Input(), c.key_status >= 3 ? 1 : 0);
    EXPECT_EQ(keyboard.IsKeyPress(scan::kSpace), c.key_status < 3);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, KeyInputStatusTest,
    ::testing::Values(
        StatusCase{"Ready", [](platform::KeyboardFaults&) {}, 0, 0, ""},
        StatusCase{"OldVersion", [](platform::KeyboardFaults& f) { f.initialize_0500 = true; }, 1, 1, ""},
        StatusCase{"ModuleReady", [](platform::KeyboardFaults& f) { f.service_create = true; }, 0, 0, ""},
        StatusCase{"ModuleOld",
                   [](platform::KeyboardFaults& f) { f.service_create = f.initialize_0500 = true; }, 2, 2, ""},
        StatusCase{"NoModule", [](platform::KeyboardFaults& f) { f.service_create = f.library_load = true; }, 3, 3,
                   "CDirectInput::CDirectInputでLoadLibraryに失敗"},
        StatusCase{"NoEntry", [](platform::KeyboardFaults& f) { f.service_create = f.library_entry = true; }, 3, 3,
                   "CDirectInput::CDirectInputでGetProcに失敗"},
        StatusCase{"CreateFails", [](platform::KeyboardFaults& f) { f.service_create = f.library_create = true; }, 3,
                   3, "CDirectInput::CDirectInputでDirectInputCreateに失敗"},
        StatusCase{"NoInterface",
                   [](platform::KeyboardFaults& f) { f.service_create = f.library_no_service = true; }, 4, 4,
                   "CDirectInput::CDirectInputでDirectInputInterfaceが得られない"},
        StatusCase{"NoVersion",
                   [](platform::KeyboardFaults& f) { f.initialize_0500 = f.initialize_0300 = true; }, 5, 5,
                   "CDirectInput::CKeyInputでDirectInputの初期化に失敗"},
        StatusCase{"NoDevice", [](platform::KeyboardFaults& f) { f.create_device = true; }, 0, 6,
                   "CKeyInput::CKeyInputでDirectInputの初期化CreateDeviceに失敗"},
        StatusCase{"NoFormat", [](platform::KeyboardFaults& f) { f.set_data_format = true; }, 0, 7,
                   "CKeyInput::CKeyInputでDirectInputの初期化SetDataFormatに失敗"},
        StatusCase{"NoCooperation", [](platform::KeyboardFaults& f) { f.set_cooperative_level = true; }, 0, 8,
                   "CKeyInput::CKeyInputでDirectInputの初期化SetCooperativeLevelに失敗"}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return info.param.name; });

class KeyInputTest : public input_test::InputTest {};

TEST_F(KeyInputTest, HeldOverTwoPollsIsPushedAfterTheFirstOnly) {
    CKeyInput keyboard(false);
    UseScript("0: Space\n");
    ASSERT_EQ(Frame(keyboard), 0);
    EXPECT_TRUE(keyboard.IsKeyPress(scan::kSpace));
    EXPECT_TRUE(keyboard.IsKeyPush(scan::kSpace));
    ASSERT_EQ(Frame(keyboard), 0);
    EXPECT_TRUE(keyboard.IsKeyPress(scan::kSpace));
    EXPECT_FALSE(keyboard.IsKeyPush(scan::kSpace));
    EXPECT_EQ(keyboard.GetKeyData()[scan::kSpace], 0x80);
    EXPECT_FALSE(keyboard.IsKeyPress(-1));
    EXPECT_FALSE(keyboard.IsKeyPress(256));
}

TEST_F(KeyInputTest, LostInputThatCannotBeTakenBackReadsAllUpUntilTheFocusReturns) {
    CKeyInput keyboard(false);
    platform::FeedKey(scan::kUp, true);
    ASSERT_EQ(keyboard.Input(), 0);
    EXPECT_TRUE(keyboard.IsAcquired());

    platform::FeedFocus(false);
    EXPECT_EQ(keyboard.Input(), -1);   // lost, and the re-acquire is refused in the background
    EXPECT_FALSE(keyboard.IsKeyPress(scan::kUp));
    EXPECT_FALSE(keyboard.IsAcquired());
    EXPECT_EQ(keyboard.Input(), 1);    // acquire first, still refused
    EXPECT_EQ(keyboard.Input(), 1);

    platform::FeedFocus(true);
    platform::FeedKey(scan::kUp, true);
    EXPECT_EQ(keyboard.Input(), 0);
    EXPECT_TRUE(keyboard.IsKeyPush(scan::kUp)) << "the key pushed again after the focus came back";
}

TEST_F(KeyInputTest, LostInputIsTakenBackWithinThePoll) {
    CKeyInput keyboard(false);
    ASSERT_EQ(keyboard.Input(), 0);
    platform::FeedKey(scan::kZ, true);
    Faults([](platform::KeyboardFaults& f) { f.reads_lost = 1; });
    EXPECT_EQ(keyboard.Input(), 0);
    EXPECT_TRUE(keyboard.IsKeyPress(scan::kZ));
}

TEST_F(KeyInputTest, AFailedReadClearsTheKeysAndTheNextPollReacquires) {
    CKeyInput keyboard(false);
    platform::FeedKey(scan::kX, true);
    ASSERT_EQ(keyboard.Input(), 0);
    Faults([](platform::KeyboardFaults& f) { f.reads_failed = 1; });
    EXPECT_EQ(keyboard.Input(), 1);
    EXPECT_FALSE(keyboard.IsKeyPress(scan::kX));
    EXPECT_FALSE(keyboard.IsAcquired());
    EXPECT_EQ(keyboard.Input(), 0);
    EXPECT_TRUE(keyboard.IsKeyPush(scan::kX));
}

TEST_F(KeyInputTest, BackgroundKeyboardReadsWithoutTheFocus) {
    CKeyInput foreground(false);
    CKeyInput background(true);
    platform::FeedFocus(false);
    EXPECT_EQ(foreground.Input(), 1);
    EXPECT_EQ(background.Input(), 0);
}

// An application frame that runs the test's body on its own thread (a headless window).
class BodyApp : public CAppFrame {
public:
    ~BodyApp() override { Stop(); }
    std::function<void(BodyApp&)> body;

protected:
    void MainThread() override { body(*this); }
};

TEST_F(KeyInputTest, OnTheApplicationThreadItHooksIntoTheWindowAndOutAgain) {
    LogCapture log;
    bool ran = false;
    BodyApp app;
    app.body = [&](BodyApp& self) {
        auto keyboard = std::make_unique<CKeyInput>(false);
        EXPECT_EQ(keyboard->GetStatus(), 0);
        platform::FeedKey(scan::kC, true);
        EXPECT_EQ(keyboard->Input(), 0);
        EXPECT_TRUE(keyboard->IsKeyPush(scan::kC));
        keyboard.reset();
        // A hook left registered would now be called on the destroyed keyboard.
        self.PostMessage(kMsgUser + 1);
        self.PumpMessages();
        ran = true;
    };
    ASSERT_EQ(app.Start(), 0);
    ASSERT_TRUE(app.WaitForEnd());
    EXPECT_TRUE(ran);
    std::string text = log.Text();
    EXPECT_EQ(text.find("見つからない"), std::string::npos) << text;
}

} // namespace
