// full_game_content_test.cpp -- a whole game of the headless driver on the full content: a new
// game through the three stages, their stories, the ending and the ranking, during which no file
// the game opens is missing or refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas.h"
#include "tools_test_util.h"

namespace {

using namespace toolstest;

TEST(FullGameContentTest, ANewGameOnTheFullContentReadsEveryFileItOpensAndEndsInTheRanking) {
    const DataRoot root("ff_full_content", false);
    fs::create_directory_symlink(BinaryDir() / "GameData", root / "GameData");
    // New game from the title menu; swimming right and leaping, with decide now and then for the
    // stories (in the play it flaps, which moves the frames at which the scenes change). Once back
    // on the title, decide starts the next game: only the scenes up to that title are compared.
    const SimRun game = Sim(root, LeapScript(150, 10000, "Z", 10000), "--scene 2 --seed 7 --frames 10000");
    ASSERT_EQ(game.exit_code, 0) << "a file the game opened is missing or refused";
    std::vector<std::string> scenes = Scenes(game), stages = game.stages;
    ASSERT_GE(scenes.size(), 10u) << "the game did not come back to the title";
    scenes.resize(10);
    stages.resize(10);
    EXPECT_EQ(scenes, (std::vector<std::string>{"2", "2,8", "2,8,3", "2,8,3,8", "2,8,3,8,3", "2,8,3,8,3,8",
                                                      "2,8,3,8,3,8,3", "2,8,3,8,3,8,3,8", "2,8,3,8,3,8,3,8,5",
                                                      "2,8,3,8,3,8,3,8,5,2"}));
    EXPECT_EQ(stages, (std::vector<std::string>{"1", "1", "1", "2", "2", "3", "3", "4", "4", "1"}));
    const auto record = ReadSave(root.path());
    for (int stage = 1; stage <= 3; ++stage) EXPECT_TRUE(record.IsCleared(stage)) << stage;
}

// The generator's lower-case letters without an ascender start at the x-height (row 2), so a g
// is not as tall as a 9, and g, j, p, q and y reach two rows below the baseline (row 6), so a p
// is not a P.
TEST(FullGameContentTest, LowerCaseGlyphsStartAtTheXHeightAndDescendBelowTheBaseline) {
    for (char c : std::string("acegmnopqrsuvwxyz"))
        EXPECT_EQ(gamedata::GlyphRow(c, 0) | gamedata::GlyphRow(c, 1), 0) << c;
    for (char c : std::string("gjpqy")) EXPECT_NE(gamedata::GlyphRow(c, gamedata::kGlyphRows - 1), 0) << c;
}

} // namespace
