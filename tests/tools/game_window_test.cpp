// game_window_test.cpp -- the real program under a virtual X server: its window with the
// caption, the logo presented, Esc ending it with exit code 0 and nothing left running.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include "tests/instance_name.h"
#include "tools_test_util.h"

namespace {

using namespace toolstest;

bool HaveCommand(const char* name) { return RunCommand(std::string("command -v ") + name + " >/dev/null 2>&1") == 0; }

// Starts the game in the root, finds its window by the caption (when xdotool is there), waits
// for it to end and writes its exit code, the window names seen and its process id.
constexpr const char kDriver[] = R"(#!/bin/sh
game="$1"; root="$2"
cd "$root" || exit 3
FLYINGFISH_VIDEO=sdl FLYINGFISH_INPUT=keys.txt FLYINGFISH_DUMP=frames FLYINGFISH_LOG=stderr \
  SDL_AUDIODRIVER=dummy "$game" > out.txt 2> err.txt &
pid=$!
echo $pid > pid.txt
if command -v xdotool >/dev/null 2>&1; then
  while kill -0 $pid 2>/dev/null && [ ! -s caption.txt ]; do
    for win in $(xdotool search --name . 2>/dev/null); do
      xdotool getwindowname "$win" >> caption.txt 2>/dev/null
    done
    sleep 0.05
  done
fi
wait $pid
echo $? > rc.txt
)";

TEST(GameWindowTest, OpensWithItsCaptionPlaysTheLogoAndQuitsOnEsc) {
    if (!HaveCommand("xvfb-run")) GTEST_SKIP() << "xvfb-run is not installed";
    const fs::path game = BinaryDir() / "flyingfish";
    ASSERT_TRUE(fs::is_regular_file(game));
    const DataRoot root("ff_game_window");
    std::ofstream(root / "driver.sh") << kDriver;
    // Esc in frame 60, before the logo would end by itself in frame 102.
    std::ofstream(root / "keys.txt") << "60: Escape\n";

    // A unique instance name keeps the single-instance lock apart from a player's game and from
    // other tests. The X libraries' own allocations cannot be told apart from the program's: no
    // leak check.
    const std::string instance = testutil::TestInstanceEnv() + " ASAN_OPTIONS=detect_leaks=0 ";
    const int status = RunCommand("timeout 120 env " + instance + "xvfb-run -a -s '-screen 0 800x600x24' sh " +
                                  Quote(root / "driver.sh") + " " + Quote(game) + " " + Quote(root.path()));
    ASSERT_EQ(status, 0);

    std::ifstream rc(root / "rc.txt");
    int code = -1;
    rc >> code;
    EXPECT_EQ(code, 0) << "the game's exit code";
    if (HaveCommand("xdotool")) {
        // The names of the server's windows while the game ran: one of them is the game's.
        std::ifstream names(root / "caption.txt");
        bool found = false;
        for (std::string name; std::getline(names, name);) found = found || name == "ぴちぴちはねーるん";
        EXPECT_TRUE(found) << "no window with the game's caption";
    }
    // Frames were presented, and fewer than the whole logo: Esc ended it.
    size_t frames = 0;
    if (fs::is_directory(root / "frames"))
        frames = static_cast<size_t>(std::distance(fs::directory_iterator(root / "frames"), fs::directory_iterator()));
    EXPECT_GT(frames, 0u);
    EXPECT_LE(frames, 61u);
    // Nothing of it is left running.
    std::ifstream pid_file(root / "pid.txt");
    pid_t pid = 0;
    pid_file >> pid;
    ASSERT_GT(pid, 0);
    EXPECT_NE(kill(pid, 0), 0);
    EXPECT_TRUE(fs::exists(root / "SaveData/save.bin"));
}

} // namespace
