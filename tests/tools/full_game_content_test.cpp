// full_game_content_test.cpp -- a whole game of the headless driver on the full content: a new
// game through the three stages, their stories, the ending and the ranking, during which no file
// the game opens is missing or refused; and a scripted run that shows the same frames on a busy
// core as alone.
#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "tests/instance_name.h"
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

// CPU-bound children pinned to one core, for at most five minutes; killed when it goes.
class BusyCore {
public:
    BusyCore(int cpu, int loops) {
        for (int i = 0; i < loops; ++i) {
            const pid_t pid = fork();
            if (pid != 0) {
                if (pid > 0) pids_.push_back(pid);
                continue;
            }
            cpu_set_t set;
            CPU_ZERO(&set);
            CPU_SET(cpu, &set);
            sched_setaffinity(0, sizeof set, &set);
            alarm(300);
            for (volatile unsigned spin = 0;; spin = spin + 1) {}
        }
    }
    ~BusyCore() {
        for (pid_t pid : pids_) kill(pid, SIGKILL);
        for (pid_t pid : pids_) waitpid(pid, nullptr, 0);
    }

private:
    std::vector<pid_t> pids_;
};

size_t HashOfFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::hash<std::string>()(std::string(std::istreambuf_iterator<char>(in), {}));
}

// A hash of each frame dumped into dir, which is then removed.
std::map<std::string, size_t> TakeFrames(const fs::path& dir) {
    std::map<std::string, size_t> frames;
    for (const auto& entry : fs::directory_iterator(dir)) frames[entry.path().filename()] = HashOfFile(entry.path());
    fs::remove_all(dir);
    return frames;
}

// On the virtual clock the sound is mixed in step with the frames, so the stage-clear fanfare
// that the play waits for ends in the same frame however fast the program runs: the same script
// gives the same frames and files alone and pinned to one core beside busy loops, and the game
// goes on to stage 2.
TEST(FullGameContentTest, TheRealProgramShowsTheSameFramesAloneAndOnOneBusyCore) {
    cpu_set_t allowed;
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    int cpu = CPU_SETSIZE - 1;
    while (cpu > 0 && !CPU_ISSET(cpu, &allowed)) --cpu;
    std::vector<std::map<std::string, size_t>> runs;
    for (const bool pinned : {false, true}) {
        const DataRoot root("ff_vclock", false);
        fs::create_directory_symlink(BinaryDir() / "GameData", root / "GameData");
        std::ofstream(root / "keys.txt") << Taps("Right", "Z", 50, 3000, 20);
        std::unique_ptr<BusyCore> busy;
        if (pinned) busy = std::make_unique<BusyCore>(cpu, 2);
        const std::string pin = pinned ? "taskset -c " + std::to_string(cpu) + " " : "";
        const int code = RunCommand("cd " + Quote(root.path()) + " && " + ProgramEnv() + testutil::TestInstanceEnv() +
                                    " FLYINGFISH_VIDEO=headless FLYINGFISH_CLOCK=virtual FLYINGFISH_MAX_FRAMES=3000"
                                    " FLYINGFISH_INPUT=keys.txt FLYINGFISH_DUMP=frames:20 SDL_AUDIODRIVER=dummy " +
                                    pin + "timeout 300 " + Quote(BinaryDir() / "flyingfish") + " >/dev/null 2>&1");
        busy.reset();
        ASSERT_EQ(code, 0) << "pinned " << pinned;
        EXPECT_TRUE(ReadSave(root.path()).IsCleared(1)) << "stage 1 never handed over to stage 2; pinned " << pinned;
        runs.push_back(TakeFrames(root / "frames"));
        for (const char* file : {"save.bin", "replay10.bin", "replay11.bin"})
            runs.back()[file] = HashOfFile(root / "SaveData" / file);
    }
    EXPECT_EQ(runs[0].size(), 150u + 3u);
    for (const auto& [name, hash] : runs[0]) EXPECT_EQ(runs[1][name], hash) << name;
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
