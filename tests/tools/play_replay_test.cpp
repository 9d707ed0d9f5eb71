// play_replay_test.cpp -- end-to-end stage plays of the headless driver on the test data set: a
// scripted clear keeps its records and replays, the replays play back exactly (also after a
// retry and with skipped frames), a time-out stores nothing, and the demo play's search and exit.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "game/GameState.h"
#include "tools_test_util.h"

namespace {

using namespace toolstest;
using zuderadeDoruVAV3ed::SaveRecord;

// Stage 1 of the test set: a 20-second timer, so (20 x 30 + 128) frames are recorded.
constexpr size_t kReplayBytes = 2 * (20 * 30 + 128);
// Swim right and up from the first frame: a leap out of the water and the goal in about ten seconds.
constexpr const char kClear[] = "0: Right Up\n";
// The same after opening the pause menu and choosing retry.
constexpr const char kRetryClear[] = "0: Right Up\n60: Right Up Return\n61: Right Up\n100: Right Up Space\n101: Right Up\n";

using Pairs = std::map<std::string, std::string>;

// Runs fishsim on root (seeded, at most 3000 frames, fewer when the options say so: the game never
// ends by itself) with the keys and options; its dump.
Pairs Play(const DataRoot& root, const std::string& options, const std::string& keys = "") {
    std::string command = Fishsim() + " --root " + Quote(root.path()) + " --seed 7 --frames 3000 --dump " +
                          Quote(root / "dump.txt") + " " + options;
    if (!keys.empty()) {
        std::ofstream(root / "keys.txt", std::ios::trunc) << keys;
        command += " --input " + Quote(root / "keys.txt");
    }
    fs::remove(root / "dump.txt");
    EXPECT_EQ(RunCommand(command + " 2>/dev/null"), 0) << options;
    return ReadPairs(root / "dump.txt");
}

Pairs Goal(const Pairs& dump) {
    Pairs goal;
    for (const auto& [key, value] : dump)
        if (key.rfind("goal.", 0) == 0) goal[key] = value;
    return goal;
}

std::vector<char> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// A save file whose stage-1 records any clear beats: a flight of 0 and a time of ~0.
void WriteEasyRecords(const DataRoot& root) {
    SaveRecord record;
    for (int stage = 1; stage <= 3; ++stage) record.SetBestTime(stage, 0xFFFFFFFFu);
    uint8_t bytes[SaveRecord::kFileSize];
    record.ToBytes(bytes);
    fs::create_directories(root / "SaveData");
    std::ofstream(root / "SaveData/save.bin", std::ios::binary).write(reinterpret_cast<char*>(bytes), sizeof bytes);
}

TEST(PlayReplayTest, AClearKeepsBothReplaysAndEveryReplayPlaysBackExactly) {
    struct Case {
        const char* name;
        const char* keys;
        int skip_every;   // frames marked as late on the live side
    };
    for (const Case& c : {Case{"plain", kClear, 0}, Case{"pause and retry", kRetryClear, 0},
                          Case{"skipped frames", kClear, 3}}) {
        SCOPED_TRACE(c.name);
        const DataRoot root("ff_play_clear");
        WriteEasyRecords(root);
        const std::string skip = c.skip_every ? " --skip-every " + std::to_string(c.skip_every) : "";
        Pairs live = Play(root, "--scene 3 --stage 1 --strict-data" + skip, c.keys);
        EXPECT_EQ(live["scenes"], "3,8");
        EXPECT_EQ(live["state.stage"], "2");
        ASSERT_FALSE(Goal(live).empty());
        EXPECT_NE(live["goal.jump"], "0");

        const std::vector<char> flight = Bytes(root / "SaveData/replay10.bin");
        EXPECT_EQ(flight.size(), kReplayBytes);
        EXPECT_EQ(flight, Bytes(root / "SaveData/replay11.bin")) << "one run, both records";
        SaveRecord saved;
        const std::vector<char> save = Bytes(root / "SaveData/save.bin");
        ASSERT_EQ(save.size(), SaveRecord::kFileSize);
        saved.FromBytes(reinterpret_cast<const uint8_t*>(save.data()));
        EXPECT_TRUE(saved.IsCleared(1));
        EXPECT_EQ(std::to_string(saved.GetBestFlight(1)), live["goal.jump"]);

        // The replay (kind 0 of stage 1 comes first) on both draw paths, up to the title that
        // follows it (the title idles for 179 frames before it moves on).
        for (const char* replay_skip : {"", " --skip-every 2"}) {
            Pairs replay = Play(root, std::string("--scene 6 --frames 400") + replay_skip);
            EXPECT_EQ(replay["scenes"], "6,2");
            EXPECT_EQ(replay["state.stage"], "1");
            EXPECT_EQ(Goal(replay), Goal(live)) << replay_skip;
        }

        // The same run again equals both records: nothing new is kept.
        fs::remove(root / "SaveData/replay10.bin");
        fs::remove(root / "SaveData/replay11.bin");
        Play(root, "--scene 3 --stage 1" + skip, c.keys);
        EXPECT_FALSE(fs::exists(root / "SaveData/replay10.bin"));
        EXPECT_FALSE(fs::exists(root / "SaveData/replay11.bin"));
        EXPECT_EQ(Bytes(root / "SaveData/save.bin"), save);
    }
}

TEST(PlayReplayTest, RunningOutOfTimeStoresNothing) {
    const DataRoot root("ff_play_timeout");
    WriteEasyRecords(root);
    const std::vector<char> before = Bytes(root / "SaveData/save.bin");
    Pairs dump = Play(root, "--scene 3 --stage 1");
    EXPECT_EQ(dump["scenes"], "3,7");
    EXPECT_EQ(dump["timer.current"], "0");
    EXPECT_TRUE(Goal(dump).empty());
    EXPECT_EQ(Bytes(root / "SaveData/save.bin"), before);
    EXPECT_FALSE(fs::exists(root / "SaveData/replay10.bin"));
    EXPECT_FALSE(fs::exists(root / "SaveData/replay11.bin"));
}

TEST(PlayReplayTest, TheDemoPlayEndsOnButtonSixOrFindsNothing) {
    const DataRoot root("ff_play_demo");
    Pairs none = Play(root, "--scene 6 --stage 2 --frames 1");
    EXPECT_EQ(none["scenes"], "6,5") << "no replay of any stage or kind";
    EXPECT_EQ(none.count("play.state"), 0u);

    WriteEasyRecords(root);
    Play(root, "--scene 3 --stage 1", kClear);
    fs::remove(root / "SaveData/replay10.bin");   // the search goes on to kind 1
    Pairs ended = Play(root, "--scene 6 --stage 3 --frames 200", "80: Return\n");
    EXPECT_EQ(ended["scenes"], "6,2");
    EXPECT_EQ(ended["state.stage"], "1");
    EXPECT_EQ(ended["play.state"], "2");
    EXPECT_TRUE(Goal(ended).empty());
    EXPECT_EQ(ended["frames"], "200");
    EXPECT_EQ(ended["scene"], "2") << "the title stands";
}

} // namespace
