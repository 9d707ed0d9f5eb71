// virtual_key_test.cpp -- CVirtualKey's combining and CDefaultKeyInput driven by scripted keys and a virtual pad.
#include <gtest/gtest.h>

#include "input_test_support.h"
#include "sdk/input/VirtualKey.h"

namespace {

using namespace zuderadeDoruVAV3ed;

// A device whose keys and result the test sets directly.
class FakeDevice : public CKeyBase {
public:
    int32_t Input() override {
        FlipKeys();
        for (int k = 0; k < kKeyCount; ++k) CurrentKeys()[k] = held[k];
        ++polls;
        return result;
    }
    uint8_t held[kKeyCount] = {};
    int32_t result = 0;
    int polls = 0;
};

class VirtualKeyTest : public input_test::InputTest {};

TEST_F(VirtualKeyTest, AnyBoundKeyHoldsTheVirtualKeyAndResultsAreOred) {
    CVirtualKey keys;
    FakeDevice a, b;
    keys.AddDevice(KTL::smart_ptr<CKeyBase>::NotOwned(&a));
    keys.AddDevice(KTL::smart_ptr<CKeyBase>::NotOwned(&b));
    keys.AddKey(3, 0, 10);
    keys.AddKey(3, 1, 20);

    EXPECT_EQ(keys.Input(), 0);
    EXPECT_EQ(a.polls, 1);
    EXPECT_EQ(b.polls, 1);
    EXPECT_FALSE(keys.IsKeyPress(3));

    b.held[20] = 1;
    a.result = 1;
    b.result = 2;
    EXPECT_EQ(keys.Input(), 3);
    EXPECT_TRUE(keys.IsKeyPress(3));
    EXPECT_TRUE(keys.IsKeyPush(3));
    EXPECT_EQ(keys.GetKeyData()[3], 0xFF);

    a.result = -1;
    EXPECT_EQ(keys.Input(), -1);
}

TEST_F(VirtualKeyTest, UnboundAndOutOfRangeKeysAreNeverHeld) {
    CVirtualKey keys;
    FakeDevice a;
    std::fill(std::begin(a.held), std::end(a.held), uint8_t{1});
    keys.AddDevice(KTL::smart_ptr<CKeyBase>::NotOwned(&a));
    keys.AddKey(0, 0, 5);
    // Out of range entries are refused (logged), an entry naming a missing device never holds.
    keys.AddKey(88, 0, 5);
    keys.AddKey(-1, 0, 5);
    keys.AddKey(1, 0, 256);
    keys.AddKey(2, 7, 5);
    ASSERT_EQ(keys.Input(), 0);
    EXPECT_TRUE(keys.IsKeyPress(0));
    for (int k = 1; k < 256; ++k) EXPECT_FALSE(keys.IsKeyPress(k)) << k;

    keys.ClearKeyList();
    ASSERT_EQ(keys.Input(), 0);
    EXPECT_FALSE(keys.IsKeyPress(0));
}

TEST_F(VirtualKeyTest, SecondKeyBoundToAHeldButtonGivesNoSecondPush) {
    CDefaultKeyInput input(false);
    UseScript("0: Space\n"
              "2: Space Z\n"
              "3: Z\n"
              "4:\n"
              "5: Z\n");
    Frame(input);
    EXPECT_TRUE(input.IsKeyPush(5));
    Frame(input);
    EXPECT_FALSE(input.IsKeyPush(5));
    Frame(input);   // Z joins Space
    EXPECT_TRUE(input.IsKeyPress(5));
    EXPECT_FALSE(input.IsKeyPush(5));
    Frame(input);   // Space lets go, Z holds on
    EXPECT_TRUE(input.IsKeyPress(5));
    EXPECT_FALSE(input.IsKeyPush(5));
    Frame(input);
    EXPECT_FALSE(input.IsKeyPress(5));
    Frame(input);
    EXPECT_TRUE(input.IsKeyPush(5));
}

// Every row of the default bindings: each keyboard key on its own holds its button, and pushes
// it in the first frame only.
TEST_F(VirtualKeyTest, DefaultKeyboardBindings) {
    struct Row { int button; std::vector<const char*> keys; } rows[] = {
        {0, {"Escape"}},         {1, {"KP8", "Up"}},    {2, {"KP2", "Down"}},
        {3, {"KP4", "Left"}},    {4, {"KP6", "Right"}}, {5, {"Space", "Z"}},
        {6, {"Return", "X", "KPEnter"}}, {7, {"C"}},   {8, {"A"}},
        {9, {"S"}},              {10, {"D"}},
    };
    CDefaultKeyInput input(false);
    for (const Row& row : rows) {
        for (const char* key : row.keys) {
            std::string script = std::string("0:\n1: ") + key + "\n";
            UseScript(script.c_str());
            Frame(input);
            ASSERT_FALSE(input.IsKeyPress(row.button)) << key;
            Frame(input);
            for (int button = 0; button < 88; ++button) {
                EXPECT_EQ(input.IsKeyPress(button), button == row.button) << key << " button " << button;
                EXPECT_EQ(input.IsKeyPush(button), button == row.button) << key << " button " << button;
            }
            Frame(input);
            EXPECT_TRUE(input.IsKeyPress(row.button)) << key;
            EXPECT_FALSE(input.IsKeyPush(row.button)) << key;
        }
    }
}

TEST_F(VirtualKeyTest, WithoutAPadTheJoystickReportsOne) {
    CDefaultKeyInput input(false);
    EXPECT_FALSE(input.GetJoyStick().IsValid());
    EXPECT_EQ(input.Input(), 1);
    // ... and -1 when the keyboard's input was lost on top of it.
    input.Input();
    platform::FeedFocus(false);
    EXPECT_EQ(input.Input(), -1);
}

class DefaultKeyInputPadTest : public input_test::InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        pad_ = platform::JoyAttachVirtualForTest(false, 2, 8, 0);
        ASSERT_GE(pad_, 0);
    }
    void TearDown() override {
        platform::JoyDetachVirtualForTest(pad_);
        InputTest::TearDown();
    }
    int pad_ = -1;
};

TEST_F(DefaultKeyInputPadTest, PadButtonsAndStickAreBound) {
    CDefaultKeyInput input(false);
    ASSERT_TRUE(input.GetJoyStick().IsValid());
    EXPECT_EQ(input.GetJoyStick().GetButtonMax(), 6);
    EXPECT_EQ(input.Input(), 0);
    for (int b = 0; b < 6; ++b) {
        ASSERT_TRUE(platform::JoySetVirtualButtonForTest(pad_, b, true));
        ASSERT_EQ(input.Input(), 0);
        EXPECT_TRUE(input.IsKeyPush(5 + b)) << b;
        ASSERT_TRUE(platform::JoySetVirtualButtonForTest(pad_, b, false));
    }
    ASSERT_TRUE(platform::JoySetVirtualAxisForTest(pad_, 0, 32767));
    ASSERT_EQ(input.Input(), 0);
    EXPECT_TRUE(input.IsKeyPress(4));
    EXPECT_FALSE(input.IsKeyPress(3));
}

TEST_F(DefaultKeyInputPadTest, KeyboardAndPadTogetherHoldOnce) {
    CDefaultKeyInput input(false);
    UseScript("0: Up\n");
    ASSERT_TRUE(platform::JoySetVirtualAxisForTest(pad_, 1, -32768));
    EXPECT_EQ(Frame(input), 0);
    EXPECT_TRUE(input.IsKeyPush(1));
    // Letting go of the keyboard keeps the button held through the pad.
    UseScript("0:\n");
    EXPECT_EQ(Frame(input), 0);
    EXPECT_TRUE(input.IsKeyPress(1));
    EXPECT_FALSE(input.IsKeyPush(1));
    ASSERT_TRUE(platform::JoySetVirtualAxisForTest(pad_, 1, 0));
    EXPECT_EQ(Frame(input), 0);
    EXPECT_FALSE(input.IsKeyPress(1));
}

TEST_F(DefaultKeyInputPadTest, FocusLossReadFailureAndReacquire) {
    CDefaultKeyInput input(false);
    UseScript("0: Right\n");
    ASSERT_EQ(Frame(input), 0);
    ASSERT_TRUE(input.IsKeyPush(4));

    // Focus lost: the keyboard answers -1, then 1, and its keys are up; the pad still reads.
    platform::FeedFocus(false);
    ASSERT_TRUE(platform::JoySetVirtualButtonForTest(pad_, 0, true));
    EXPECT_EQ(input.Input(), -1);
    EXPECT_FALSE(input.IsKeyPress(4));
    EXPECT_TRUE(input.IsKeyPush(5));
    EXPECT_EQ(input.Input(), 1);
    EXPECT_FALSE(input.IsKeyPress(4));
    ASSERT_TRUE(platform::JoySetVirtualButtonForTest(pad_, 0, false));

    // Focus back: the held key is pushed anew.
    platform::FeedFocus(true);
    EXPECT_EQ(Frame(input), 0);
    EXPECT_TRUE(input.IsKeyPush(4));

    // One failed read: all keys up this frame, the next poll re-acquires and reads.
    Faults([](platform::KeyboardFaults& f) { f.reads_failed = 1; });
    EXPECT_EQ(Frame(input), 1);
    EXPECT_FALSE(input.IsKeyPress(4));
    EXPECT_EQ(Frame(input), 0);
    EXPECT_TRUE(input.IsKeyPush(4));

    // The pad pulled out: 2, and its buttons are not seen as held.
    ASSERT_TRUE(platform::JoySetVirtualButtonForTest(pad_, 1, true));
    ASSERT_EQ(Frame(input), 0);
    ASSERT_TRUE(input.IsKeyPress(6));
    ASSERT_TRUE(platform::JoyDetachVirtualForTest(pad_));
    EXPECT_EQ(Frame(input), 2);
    EXPECT_FALSE(input.IsKeyPress(6));
    EXPECT_EQ(Frame(input), 2);
    EXPECT_FALSE(input.IsKeyPress(6));
    EXPECT_TRUE(input.IsKeyPress(4));
}

} // namespace
