// fishsim_scenes_test.cpp -- end-to-end runs through the title, the ranking, the stage demos and
// the game-over screen on the test data set: which scenes follow each other, in which frames,
// and that every file they open is there.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "tools_test_util.h"

namespace {

using namespace toolstest;

using Entered = std::vector<std::pair<int, std::string>>;

// A title that fades the volume out (new game, stage select, the replay) leaves once the
// 1000 ms fade has run on the virtual clock, 31 frames after the decision, rather than after
// its 16 frames of picture fade.
constexpr int kVolumeFadeFrames = 31;

// The page wait of the test data set's ranking.
int RankingWait() {
    std::ifstream in(MiniData() / "Score/LoadList/ScoreRank.ltd");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("#ScoreChangeWait ", 0) == 0) return std::stoi(line.substr(17));
    return -1;
}

TEST(FishsimScenesTest, LeftAloneTheGameShowsTheRankingThenAReplay) {
    const DataRoot root("ff_sim_attract");
    // Logo 60 + 43 frames; title 43 fade-in + 120 idle + 16 fade-out; ranking three pages of
    // wait + 2 frames; title again, leaving for the replay once the volume has faded out; with no
    // replay saved the replay scene hands over to the ranking at once.
    const int wait = RankingWait();
    ASSERT_GE(wait, 0);
    const int ranking = 103 + 178, title = ranking + 3 * (wait + 2) - 1, replay = title + 178 - 16 + kVolumeFadeFrames;
    const SimRun run = Sim(root, "", "--frames " + std::to_string(replay + 5));
    ASSERT_EQ(run.exit_code, 0) << "every file opened is there";
    EXPECT_EQ(run.entered, (Entered{{1, "1"}, {103, "1,2"}, {ranking, "1,2,5"}, {title, "1,2,5,2"},
                                    {replay, "1,2,5,2,6,5"}}));
    EXPECT_EQ(run.dump.at("state.stage"), "1");
}

TEST(FishsimScenesTest, NewGamePlaysTheStageOneStoryThenAsksForTheStage) {
    const DataRoot root("ff_sim_newgame");
    // Decide on "new game", then push decide now and then to page through the messages.
    std::string keys = "150: Z\n151:\n";
    for (int f = 260; f <= 460; f += 40) keys += std::to_string(f) + ": Z\n" + std::to_string(f + 1) + ":\n";
    const SimRun run = Sim(root, keys, "--frames 700");
    ASSERT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.entered.size(), 4u);
    EXPECT_EQ(run.entered[2], (std::pair<int, std::string>{151 + kVolumeFadeFrames, "1,2,8"}));
    EXPECT_EQ(run.entered[3].second, "1,2,8,3");
    EXPECT_EQ(run.dump.at("state.stage"), "1");
}

TEST(FishsimScenesTest, StageSelectOffersOnlyClearedStages) {
    struct Case {
        uint8_t cleared2;
        const char* scenes;
        const char* stage;
    };
    for (const Case c : {Case{1, "1,2,3", "2"}, Case{0, "1,2", "1"}}) {
        const DataRoot root("ff_sim_select");
        std::vector<char> save(28, 0);
        save[25] = static_cast<char>(c.cleared2);
        fs::create_directories(root / "SaveData");
        std::ofstream(root / "SaveData/save.bin", std::ios::binary).write(save.data(), 28);
        // Stage select, turn left to stage 2, decide.
        const SimRun run = Sim(root, "150: Down\n151:\n152: Z\n153:\n160: Left\n161:\n180: Z\n181:\n", "--frames 260");
        ASSERT_EQ(run.exit_code, 0);
        EXPECT_EQ(run.dump.at("scenes"), c.scenes) << int(c.cleared2);
        EXPECT_EQ(run.dump.at("state.stage"), c.stage);
        if (c.cleared2) {
            EXPECT_EQ(run.entered.back().first, 181 + kVolumeFadeFrames);
        }
    }
}

TEST(FishsimScenesTest, GameOverContinuesTheStageOrEndsAtTheTitle) {
    struct Case {
        const char* keys;
        const char* scenes;
        const char* stage;
    };
    for (const Case c : {Case{"60: Z\n61:\n", "7,3", "2"}, Case{"60: Down\n61:\n62: Z\n63:\n", "7,2", "1"}}) {
        const DataRoot root("ff_sim_gameover");
        const SimRun run = Sim(root, c.keys, "--scene 7 --stage 2 --frames 200");
        ASSERT_EQ(run.exit_code, 0);
        ASSERT_GE(run.entered.size(), 2u) << c.keys;
        EXPECT_EQ(run.entered[1].second, c.scenes) << c.keys;
        EXPECT_EQ(run.dump.at("state.stage"), c.stage) << c.keys;
    }
}

TEST(FishsimScenesTest, EveryStoryEndsInItsStageAndTheEndingInTheRanking) {
    for (int stage = 1; stage <= 4; ++stage) {
        const DataRoot root("ff_sim_story");
        std::string keys;
        for (int f = 60; f <= 460; f += 25) keys += std::to_string(f) + ": Z\n" + std::to_string(f + 1) + ":\n";
        const SimRun run = Sim(root, keys, "--scene 8 --stage " + std::to_string(stage) + " --frames 600");
        ASSERT_EQ(run.exit_code, 0) << stage;
        ASSERT_GE(run.entered.size(), 2u) << stage;
        EXPECT_EQ(run.entered[1].second, stage == 4 ? "8,5" : "8,3") << stage;
        // Skipping with X ends the story at once.
        const SimRun skip = Sim(root, "10: X\n", "--scene 8 --stage " + std::to_string(stage) + " --frames 30");
        ASSERT_GE(skip.entered.size(), 2u) << stage;
        EXPECT_EQ(skip.entered[1].first, 11) << stage;
    }
}

} // namespace
