// joystick_test.cpp -- pads over SDL virtual joysticks: numbering, thresholds, buttons, pulled-out pads, the selector.
#include <gtest/gtest.h>

#include "input_test_support.h"
#include "sdk/input/JoyStick.h"

namespace {

using namespace zuderadeDoruVAV3ed;

enum JoyKey { kUp = 0, kDown = 1, kLeft = 2, kRight = 3, kButton0 = 4 };

class JoyStickTest : public input_test::InputTest {
protected:
    void TearDown() override {
        for (int handle : handles_) platform::JoyDetachVirtualForTest(handle);
        InputTest::TearDown();
    }
    // A plain joystick (2 axes, n buttons, 1 hat) or a game controller.
    int Attach(bool controller, int buttons = 8) {
        int handle = controller ? platform::JoyAttachVirtualForTest(true, 6, 15, 0)
                                : platform::JoyAttachVirtualForTest(false, 2, buttons, 1);
        EXPECT_GE(handle, 0);
        handles_.push_back(handle);
        return handle;
    }
    std::vector<int> handles_;
};

TEST_F(JoyStickTest, WithoutPadsNothingCanBeSelected) {
    EXPECT_EQ(platform::JoyDeviceCount(), 0u);
    CJoyStick joystick;
    EXPECT_EQ(joystick.SelectDevice(0), 1);
    EXPECT_EQ(joystick.SelectDevice(-1), 1);
    EXPECT_FALSE(joystick.IsValid());
    EXPECT_EQ(joystick.Input(), 1);
    EXPECT_FALSE(joystick.IsKeyPress(kUp));
}

TEST_F(JoyStickTest, StickPastAThirdOfItsRangeIsADirection) {
    int pad = Attach(false);
    CJoyStick joystick;
    ASSERT_EQ(joystick.SelectDevice(0), 0);
    EXPECT_TRUE(joystick.IsValid());

    // Range 0..65535 gives thresholds 21845 and 43690; the position is the SDL value + 32768.
    struct { int16_t x, y; bool up, down, left, right; } cases[] = {
        {0, 0, false, false, false, false},
        {21845 - 32768, 0, false, false, false, false},       // exactly X low: not left
        {21844 - 32768, 0, false, false, true, false},
        {43690 - 32768, 0, false, false, false, false},       // exactly X high: not right
        {43691 - 32768, 0, false, false, false, true},
        {0, -32768, true, false, false, false},
        {0, 32767, false, true, false, false},
        {-32768, 32767, false, true, true, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(platform::JoySetVirtualAxisForTest(pad, 0, c.x));
        ASSERT_TRUE(platform::JoySetVirtualAxisForTest(pad, 1, c.y));
        ASSERT_EQ(joystick.Input(), 0);
        EXPECT_EQ(joystick.IsKeyPress(kUp), c.up) << c.x << "," << c.y;
        EXPECT_EQ(joystick.IsKeyPress(kDown), c.down) << c.x << "," << c.y;
        EXPECT_EQ(joystick.IsKeyPress(kLeft), c.left) << c.x << "," << c.y;
        EXPECT_EQ(joystick.IsKeyPress(kRight), c.right) << c.x << "," << c.y;
    }
}

TEST_F(JoyStickTest, HatDpadAndControllerButtons) {
    int plain = Attach(false);
    int controller = Attach(true);
    CJoyStick first, second;
    ASSERT_EQ(first.SelectDevice(0), 0);
    ASSERT_EQ(second.SelectDevice(1), 0);
    ASSERT_TRUE(platform::JoySetVirtualHatForTest(plain, 0, 8));            // left
    ASSERT_TRUE(platform::JoySetVirtualButtonForTest(controller, 11, true)); // d-pad up of the virtual controller
    ASSERT_EQ(first.Input(), 0);
    ASSERT_EQ(second.Input(), 0);
    EXPECT_TRUE(first.IsKeyPress(kLeft));
    EXPECT_TRUE(second.IsKeyPress(kUp));
    EXPECT_FALSE(second.IsKeyPress(kButton0 + 11)) << "d-pad buttons are not buttons";

    // A controller's buttons come in its layout's order: B is button 1.
    ASSERT_TRUE(platform::JoySetVirtualButtonForTest(controller, 1, true));
    ASSERT_EQ(second.Input(), 0);
    EXPECT_FALSE(second.IsKeyPress(kButton0));
    EXPECT_TRUE(second.IsKeyPress(kButton0 + 1));
}

TEST_F(JoyStickTest, ButtonsUpToTheButtonCountAndTheirPushes) {
    int pad = Attach(false, 8);
    CJoyStick joystick;
    ASSERT_EQ(joystick.SelectDevice(0), 0);
    EXPECT_EQ(joystick.GetButtonMax(), 6);
    for (int b = 0; b < 8; ++b) ASSERT_TRUE(platform::JoySetVirtualButtonForTest(pad, b, true));
    ASSERT_EQ(joystick.Input(), 0);
    for (int b = 0; b < 6; ++b) {
        EXPECT_TRUE(joystick.IsKeyPress(kButton0 + b)) << b;
        EXPECT_TRUE(joystick.IsKeyPush(kButton0 + b)) << b;
    }
    EXPECT_FALSE(joystick.IsKeyPress(kButton0 + 6)) << "past the button count";
    ASSERT_EQ(joystick.Input(), 0);
    EXPECT_TRUE(joystick.IsKeyPress(kButton0));
    EXPECT_FALSE(joystick.IsKeyPush(kButton0));

    // Four buttons or fewer take the short read: buttons 0 to 3 only.
    EXPECT_EQ(joystick.SetButtonMax(5), 0);
    EXPECT_FALSE(joystick.IsKeyPress(kButton0)) << "SetButtonMax resets the keys";
    ASSERT_EQ(joystick.Input(), 0);
    EXPECT_TRUE(joystick.IsKeyPress(kButton0 + 4));
    joystick.SetButtonMax(4);
    ASSERT_EQ(joystick.Input(), 0);
    EXPECT_TRUE(joystick.IsKeyPress(kButton0 + 3));
    EXPECT_EQ(joystick.GetKeyData()[kButton0 + 4], 0);
}

TEST_F(JoyStickTest, PulledOutPadReadsNothingAndComesBackUnderItsNumber) {
    int pad = Attach(false);
    CJoyStick joystick;
    ASSERT_EQ(joystick.SelectDevice(0), 0);
    ASSERT_TRUE(platform::JoySetVirtualButtonForTest(pad, 0, true));
    ASSERT_EQ(joystick.Input(), 0);
    ASSERT_TRUE(joystick.IsKeyPress(kButton0));

    ASSERT_TRUE(platform::JoyDetachVirtualForTest(pad));
    // Every failing poll shows no key (not the state of two polls ago).
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(joystick.Input(), 2);
        EXPECT_FALSE(joystick.IsKeyPress(kButton0));
    }
    EXPECT_EQ(platform::JoyDeviceCount(), 1u);

    int again = Attach(false);
    ASSERT_TRUE(platform::JoySetVirtualButtonForTest(again, 0, true));
    EXPECT_EQ(joystick.Input(), 0);
    EXPECT_TRUE(joystick.IsKeyPush(kButton0));
}

TEST_F(JoyStickTest, SelectorForwardsToTheJoystickItHolds) {
    CJoyStickSelector selector;
    EXPECT_TRUE(selector.IsValid());
    EXPECT_NE(dynamic_cast<CNullJoyStick*>(selector.GetDevice().get()), nullptr);

    // No pad: the failed joystick stays installed and reports 1.
    EXPECT_EQ(selector.SelectDevice(0), 1);
    EXPECT_NE(dynamic_cast<CJoyStick*>(selector.GetDevice().get()), nullptr);
    EXPECT_FALSE(selector.IsValid());
    EXPECT_EQ(selector.Input(), 1);

    EXPECT_EQ(selector.SelectDevice(-1), 1);
    EXPECT_TRUE(selector.IsValid());
    EXPECT_FALSE(selector.IsKeyPress(kUp));

    int pad = Attach(false);
    ASSERT_EQ(selector.SelectDevice(0), 0);
    EXPECT_EQ(selector.SetButtonMax(6), 0);
    EXPECT_EQ(selector.GetButtonMax(), 6);
    ASSERT_TRUE(platform::JoySetVirtualButtonForTest(pad, 2, true));
    ASSERT_EQ(selector.Input(), 0);
    EXPECT_TRUE(selector.IsKeyPress(kButton0 + 2));
    EXPECT_TRUE(selector.IsKeyPush(kButton0 + 2));
    EXPECT_EQ(selector.GetKeyData()[kButton0 + 2], 1);
    EXPECT_EQ(selector.GetKeyData(), selector.GetDevice()->GetKeyData());
}

} // namespace
