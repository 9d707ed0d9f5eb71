// full_game_test.cpp -- whole games of the headless driver on the test data set: a new game
// through every stage, its stories, the ending and the ranking, after which the stage select
// offers every stage; and a run out of time, continued or ended on the game-over screen.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tools_test_util.h"

namespace {

using namespace toolstest;

TEST(FullGameTest, ANewGameClearsEveryStageSeesTheEndingAndTheRankingThenOffersEveryStage) {
    const DataRoot root("ff_full_game");
    // New game from the title menu; then swimming right, with decide now and then to page through
    // the stories (in the play it flaps). The title the ranking returns to is left alone.
    const SimRun game = Sim(root, Taps("Right", "Z", 50, 1480, 20), "--scene 2 --seed 7 --frames 1600");
    ASSERT_EQ(game.exit_code, 0) << "every file opened is there";
    EXPECT_EQ(Scenes(game), (std::vector<std::string>{"2", "2,8", "2,8,3", "2,8,3,8", "2,8,3,8,3", "2,8,3,8,3,8",
                                                      "2,8,3,8,3,8,3", "2,8,3,8,3,8,3,8", "2,8,3,8,3,8,3,8,5",
                                                      "2,8,3,8,3,8,3,8,5,2"}));
    // Each story and play of stages 1 to 3, the ending as the story past the final stage, and the
    // ranking sets the stage back to 1.
    EXPECT_EQ(game.stages, (std::vector<std::string>{"1", "1", "1", "2", "2", "3", "3", "4", "4", "1"}));
    EXPECT_EQ(game.dump.at("scene"), "2");

    const auto record = ReadSave(root.path());
    for (int stage = 1; stage <= 3; ++stage) EXPECT_TRUE(record.IsCleared(stage)) << stage;

    // The stage select now starts each stage: turn the carousel left 0, 1 or 2 times and decide.
    for (int turns = 0; turns < 3; ++turns) {
        std::string keys = "50: Down\n51:\n52: Z\n53:\n";
        for (int t = 0; t < turns; ++t)
            keys += std::to_string(70 + 20 * t) + ": Left\n" + std::to_string(71 + 20 * t) + ":\n";
        keys += "110: Z\n111:\n";
        const SimRun select = Sim(root, keys, "--scene 2 --seed 7 --frames 160");
        ASSERT_EQ(select.exit_code, 0);
        EXPECT_EQ(Scenes(select), (std::vector<std::string>{"2", "2,3"})) << turns;
        EXPECT_EQ(select.dump.at("state.stage"), std::to_string(turns + 1));
    }
    // A chosen stage played to its goal is followed by the continue-or-end screen, not the next story.
    const SimRun single =
        Sim(root, "50: Down\n51:\n52: Z\n53:\n110: Z\n111:\n130: Right\n", "--scene 2 --seed 7 --frames 700");
    ASSERT_EQ(single.exit_code, 0);
    EXPECT_EQ(Scenes(single), (std::vector<std::string>{"2", "2,3", "2,3,7"}));
    EXPECT_EQ(single.dump.at("state.stage"), "1");
}

TEST(FullGameTest, RunningOutOfTimeLeadsToGameOverWhereContinueReplaysTheStageAndEndGoesToTheTitle) {
    struct Case {
        const char* name;
        std::string keys;   // nothing is pushed in the play: its time runs out
        std::string next;
        const char* stage;
    };
    const Case cases[] = {
        // Decide is tapped from before the choice opens; only the taps after it count.
        {"continue", Taps("", "Z", 640, 760, 10), "3,7,3", "2"},
        {"end", "720: Down\n721:\n" + Taps("", "Z", 730, 770, 10), "3,7,2", "1"},
    };
    for (const Case& c : cases) {
        const DataRoot root("ff_full_timeout");
        const SimRun run = Sim(root, c.keys, "--scene 3 --stage 2 --seed 7 --frames 880");
        ASSERT_EQ(run.exit_code, 0) << c.name;
        EXPECT_EQ(Scenes(run), (std::vector<std::string>{"3", "3,7", c.next})) << c.name;
        EXPECT_EQ(run.dump.at("state.stage"), c.stage) << c.name;
        const auto record = ReadSave(root.path());
        EXPECT_FALSE(record.IsCleared(2)) << c.name << ": a time-out stores nothing";
        EXPECT_FALSE(fs::exists(root / "SaveData/replay20.bin")) << c.name;
        EXPECT_FALSE(fs::exists(root / "SaveData/replay21.bin")) << c.name;
        if (c.next == "3,7,3") {
            // The stage starts again from the top: a full timer, a recorder at its first frames.
            EXPECT_NE(run.dump.at("timer.current"), "0") << c.name;
            EXPECT_LT(std::stoi(run.dump.at("recorder.index")), 200) << c.name;
        }
    }
}

} // namespace
