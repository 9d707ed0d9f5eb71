// game_state_test.cpp -- Init.ltd, the save file's first writing, reading back and its short and
// missing forms, the stored stages and the per-stage paths.
#include <gtest/gtest.h>

#include <unistd.h>

#include "game/GameState.h"
#include "game_test_util.h"
#include "tests/scratch_dir.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using gametest::ReadBytes;
using gametest::WriteBytes;
using gametest::WriteLines;
namespace fs = std::filesystem;

const std::vector<std::string> kSettings = {"// settings", "#StartStage 2", "#FinalStage 3",
                                            "#JumpHiScoreDefault 100, 200, 300",
                                            "#TimeHiScoreDefault\t60 90 120", "#Unknown 5"};

std::vector<uint8_t> Record(const CGameState& state) {
    uint8_t bytes[SaveRecord::kFileSize];
    state.save.ToBytes(bytes);
    return std::vector<uint8_t>(bytes, bytes + sizeof bytes);
}

TEST(GameStateTest, SettingsLinesSetTheirFields) {
    struct Case {
        std::vector<std::string> lines;
        int stage, final_stage;
        uint32_t flight1, flight3, time1, time3;
    };
    const Case cases[] = {
        {kSettings, 2, 3, 6553600, 19660800, 6000, 12000},
        {{"#FinalStage 5"}, 0, 5, 0, 0, 0, 0},                          // no built-in defaults
        {{"// #StartStage 9", "#StartStage 1"}, 1, 0, 0, 0, 0, 0},       // comments skipped
        {{"#JumpHiScoreDefault 7"}, 0, 0, 7u << 16, 0, 0, 0},            // missing numbers stay 0
        {{"#timehiscoredefault 1 2 3"}, 0, 0, 0, 0, 100, 300},           // keywords ignore case
        {{"#StartStage 2147483647", "#FinalStage 1000000"}, kMaxStageNumber, kMaxStageNumber, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        testutil::ScratchWorkDir dir("ff_game_state");
        WriteLines(kSettingsFile, c.lines);
        CGameState state;
        state.Reset(nullptr);
        EXPECT_EQ(LoadGameSettings(state), 0);
        EXPECT_EQ(state.current_stage, c.stage) << c.lines[0];
        EXPECT_EQ(state.final_stage, c.final_stage) << c.lines[0];
        EXPECT_EQ(state.save.best_flight[0], c.flight1) << c.lines[0];
        EXPECT_EQ(state.save.best_flight[2], c.flight3) << c.lines[0];
        EXPECT_EQ(state.save.best_time[0], c.time1) << c.lines[0];
        EXPECT_EQ(state.save.best_time[2], c.time3) << c.lines[0];
        EXPECT_EQ(state.replay_stage, 1);
    }
}

TEST(GameStateTest, FirstStartWritesTheDefaultsAndTheSecondReadsThemBack) {
    testutil::ScratchWorkDir dir("ff_game_state");
    WriteLines(kSettingsFile, kSettings);
    CGameState first;
    first.Reset(nullptr);
    LoadGameSettings(first);
    const std::vector<uint8_t> written = ReadBytes(kSaveFile);
    ASSERT_EQ(written.size(), 28u);
    EXPECT_EQ(written, Record(first));
    EXPECT_EQ(written[0] | written[1] << 8 | written[2] << 16 | written[3] << 24, 6553600);
    EXPECT_EQ(std::vector<uint8_t>(written.begin() + 24, written.end()), std::vector<uint8_t>(4, 0));

    // The file overrides the defaults completely.
    std::vector<uint8_t> saved(28);
    for (size_t i = 0; i < saved.size(); ++i) saved[i] = static_cast<uint8_t>(i % 4 >= 2 ? 0 : i * 7 + 1);
    WriteBytes(kSaveFile, saved);
    // Temporaries of writes killed before their rename go; a live writer's and a player's files stay.
    const std::string live = ".save.bin." + std::to_string(getppid()) + ".0.7";
    for (const std::string& name : {std::string(".save.bin.2147483647.3.7"), live, std::string(".notes.1.2"),
                                    std::string(".my-backup.tar.2147483647.2.3")})
        WriteBytes(std::string(kSaveFolder) + "/" + name, saved);
    CGameState second;
    second.Reset(nullptr);
    LoadGameSettings(second);
    EXPECT_EQ(Record(second), saved);
    EXPECT_EQ(ReadBytes(kSaveFile), saved);
    EXPECT_FALSE(fs::exists(std::string(kSaveFolder) + "/.save.bin.2147483647.3.7"));
    EXPECT_EQ(std::distance(fs::directory_iterator(kSaveFolder), fs::directory_iterator()), 4);
}

TEST(GameStateTest, ShortEmptyOrLongSaveFilesAreHandledWithoutLosingThem) {
    struct Case {
        size_t size;
        bool used;
        uint8_t fill = 0x01;
    };
    // A jump below 0 (0xABABABAB) is none the game writes: its default is read instead.
    for (const Case c : {Case{0, false}, Case{1, false}, Case{27, false}, Case{28, true}, Case{40, true},
                         Case{28, false, 0xAB}}) {
        testutil::ScratchWorkDir dir("ff_game_state");
        WriteLines(kSettingsFile, kSettings);
        std::vector<uint8_t> saved(c.size, c.fill);
        WriteBytes(kSaveFile, saved);
        CGameState state;
        state.Reset(nullptr);
        LoadGameSettings(state);
        EXPECT_EQ(ReadBytes(kSaveFile), saved) << "a save file of " << c.size << " bytes was changed";
        EXPECT_EQ(state.save.best_flight[0], c.used ? 0x01010101u : 6553600u) << c.size;
    }
}

TEST(GameStateTest, MissingSettingsLeaveEverythingAloneAndSavingCreatesTheFolder) {
    testutil::ScratchWorkDir dir("ff_game_state");
    CGameState state;
    state.Reset(nullptr);
    EXPECT_EQ(LoadGameSettings(state), 1);
    EXPECT_EQ(state.current_stage, 0);
    EXPECT_FALSE(fs::exists(kSaveFolder));

    state.save.SetBestFlight(2, 1234);
    state.save.SetCleared(3, true);
    EXPECT_EQ(SaveGameData(state), 0);
    const std::vector<uint8_t> bytes = ReadBytes(kSaveFile);
    ASSERT_EQ(bytes.size(), 28u);
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 1234);
    EXPECT_EQ(bytes[26], 1);
    // Nothing but the file itself is left in the folder (no temporaries).
    EXPECT_EQ(std::distance(fs::directory_iterator(kSaveFolder), fs::directory_iterator()), 1);
}

TEST(GameStateTest, OnlyStagesOneToThreeAreStored) {
    SaveRecord record;
    for (int stage : {-1, 0, 4, 100}) {
        record.SetBestFlight(stage, 9);
        record.SetBestTime(stage, 9);
        record.SetCleared(stage, true);
        EXPECT_EQ(record.GetBestFlight(stage), 0u);
        EXPECT_FALSE(record.IsCleared(stage));
    }
    uint8_t bytes[SaveRecord::kFileSize];
    record.ToBytes(bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 28), std::vector<uint8_t>(28, 0));
    record.SetBestTime(3, 0x01020304);
    record.SetCleared(1, true);
    record.ToBytes(bytes);
    EXPECT_EQ(bytes[20], 0x04);
    EXPECT_EQ(bytes[23], 0x01);
    EXPECT_EQ(bytes[24], 1);
}

TEST(GameStateTest, StageNumberGoesAfterTheFirstStageOnly) {
    struct Case {
        int stage;
        std::string path, expected;
    };
    const Case cases[] = {
        {2, "GameData/Stage/Demo/Script/Main.scs", "GameData/Stage2/Demo/Script/Main.scs"},
        {1, "GameData/Stage/Game/LoadList/StageStartDemo.ltd", "GameData/Stage1/Game/LoadList/StageStartDemo.ltd"},
        {12, "Stage", "Stage12"},
        {3, "GameData/Shared/x.ltd", "GameData/Shared/x.ltd"},
    };
    for (const Case& c : cases) {
        CGameState state;
        state.current_stage = c.stage;
        std::string path = c.path;
        InsertStageNumber(state, path);
        EXPECT_EQ(path, c.expected);
    }
}

} // namespace
