// input_script_test.cpp -- the input script's format, its bad lines and its frame stepping.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "input_test_support.h"

namespace {

using input_test::LogCapture;
namespace scan = platform::scan;

std::vector<uint8_t> Held(const platform::InputScript& script, uint32_t frame) {
    uint8_t state[256];
    script.StateAt(frame, state);
    std::vector<uint8_t> held;
    for (int k = 0; k < 256; ++k) {
        if (state[k]) {
            EXPECT_EQ(state[k], 0x80);
            held.push_back(static_cast<uint8_t>(k));
        }
    }
    return held;
}

class InputScriptTest : public input_test::InputTest {};

TEST_F(InputScriptTest, EachLineHoldsItsKeysUntilTheNext) {
    auto script = platform::InputScript::Parse("# a comment line\n"
                                               "\n"
                                               "5: Right  space   # flap while going right\n"
                                               "7:\r\n"
                                               "9 : z, up\n",
                                               "t");
    EXPECT_EQ(script.LineCount(), 3u);
    EXPECT_TRUE(Held(script, 0).empty());
    EXPECT_TRUE(Held(script, 4).empty());
    EXPECT_EQ(Held(script, 5), (std::vector<uint8_t>{scan::kSpace, scan::kRight}));
    EXPECT_EQ(Held(script, 6), (std::vector<uint8_t>{scan::kSpace, scan::kRight}));
    EXPECT_TRUE(Held(script, 7).empty());
    EXPECT_EQ(Held(script, 9), (std::vector<uint8_t>{scan::kZ, scan::kUp}));
    EXPECT_EQ(Held(script, 4000000000u), (std::vector<uint8_t>{scan::kZ, scan::kUp}));
}

TEST_F(InputScriptTest, BadLinesAreLoggedAndSkipped) {
    LogCapture log;
    auto script = platform::InputScript::Parse("3: Space\n"
                                               "Space\n"            // no frame
                                               "x4: Up\n"           // not a number
                                               "2: Down\n"          // goes back in time
                                               "3: Down\n"          // repeats a frame
                                               "99999999999: Up\n"  // too large
                                               "8: Left Jump\n",    // unknown key, line kept
                                               "bad.txt");
    std::string text = log.Text();
    EXPECT_EQ(script.LineCount(), 2u);
    EXPECT_EQ(Held(script, 8), (std::vector<uint8_t>{scan::kLeft}));
    EXPECT_NE(text.find("bad.txt:2:"), std::string::npos) << text;
    EXPECT_NE(text.find("bad.txt:3:"), std::string::npos) << text;
    EXPECT_NE(text.find("bad.txt:4:"), std::string::npos) << text;
    EXPECT_NE(text.find("bad.txt:5:"), std::string::npos) << text;
    EXPECT_NE(text.find("bad.txt:6:"), std::string::npos) << text;
    EXPECT_NE(text.find("bad.txt:7: unknown key \"Jump\""), std::string::npos) << text;
}

TEST_F(InputScriptTest, LoadReadsAFileAndAMissingFileOrAFolderGivesNothing) {
    auto path = std::filesystem::temp_directory_path() /
                ("ff_input_script_test_" + std::to_string(std::random_device{}()) + ".txt");
    {
        std::ofstream file(path);
        file << "0: Escape\n";
    }
    auto script = platform::InputScript::Load(path.string());
    ASSERT_TRUE(script.has_value());
    EXPECT_EQ(Held(*script, 0), (std::vector<uint8_t>{scan::kEscape}));
    std::filesystem::remove(path);
    EXPECT_FALSE(platform::InputScript::Load(path.string()).has_value());
    // A folder is no script either (it must not run as one that never presses a key).
    EXPECT_FALSE(platform::InputScript::Load(path.parent_path().string()).has_value());
}

TEST_F(InputScriptTest, StepFeedsOneFrameAtATime) {
    EXPECT_FALSE(platform::StepInputScript()) << "no script, nothing to step";
    UseScript("1: A\n");
    platform::KeyboardDevice device;
    ASSERT_EQ(device.SetDataFormat(256), platform::kKeyOk);
    ASSERT_EQ(device.SetCooperativeLevel(nullptr, platform::kKeyCoopNonExclusive | platform::kKeyCoopForeground),
              platform::kKeyOk);
    ASSERT_EQ(device.Acquire(), platform::kKeyOk);
    uint8_t state[256];
    for (uint32_t frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(platform::InputScriptFrame(), frame);
        ASSERT_TRUE(platform::StepInputScript());
        ASSERT_EQ(device.GetDeviceState(256, state), platform::kKeyOk);
        EXPECT_EQ(state[scan::kA], frame >= 1 ? 0x80 : 0) << frame;
    }
    EXPECT_TRUE(platform::InputScriptActive());
}

} // namespace
