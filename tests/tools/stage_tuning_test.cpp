// stage_tuning_test.cpp -- the full content's stages played by simple scripts on the headless
// driver: every stage can be cleared, and each leaves less time to spare than the one before.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tools_test_util.h"

namespace {

using namespace toolstest;

// The timer left at the goal in hundredths of a second; -1 when the time ran out.
int SpareTime(int stage, const std::string& script) {
    const DataRoot root("ff_stage_tuning", false);
    fs::create_directory_symlink(BinaryDir() / "GameData", root / "GameData");
    std::ofstream(root / "keys.txt") << script;
    const std::string command = Fishsim() + " --root " +
                                Quote(root.path()) + " --scene 3 --stage " + std::to_string(stage) +
                                " --seed 3 --frames 9000 --strict-data --input " + Quote(root / "keys.txt") +
                                " --dump " + Quote(root / "dump.txt") + " 2>/dev/null";
    EXPECT_EQ(RunCommand(command), 0) << "stage " << stage;
    auto dump = ReadPairs(root / "dump.txt");
    if (dump.count("goal.index") == 0) return -1;
    return std::stoi(dump["timer.current"]) >> 10;
}

TEST(StageTuningTest, EveryStageClearsAndEachIsHarderThanTheLast) {
    const std::string leaps = LeapScript(150);
    int previous = 1 << 30;
    for (int stage = 1; stage <= 3; ++stage) {
        const int spare = SpareTime(stage, leaps);
        EXPECT_GT(spare, 0) << "stage " << stage << " is cleared with time left";
        EXPECT_LT(spare, previous) << "stage " << stage << " leaves less time than the one before";
        previous = spare;
    }
    // Stage 1 forgives a player who only holds right; stage 3 drowns one.
    EXPECT_GT(SpareTime(1, "0: Right\n"), 6000);
    EXPECT_EQ(SpareTime(3, "0: Right\n"), -1);
}

} // namespace
