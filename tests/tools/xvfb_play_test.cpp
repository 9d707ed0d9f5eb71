// xvfb_play_test.cpp -- the real program on the full data set under a virtual X server, played
// by real key events sent to its window: from the logo through the title and the first story
// into stage 1, with pictures of the X screen saved on the way; Esc ends it with exit code 0.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <signal.h>
#include <string>
#include <unistd.h>

#include "tests/instance_name.h"
#include "tools_test_util.h"

namespace {

using namespace toolstest;

bool HaveCommand(const char* name) { return RunCommand(std::string("command -v ") + name + " >/dev/null 2>&1") == 0; }

// Runs in the X server: starts the game in the root, finds its window, and steers it by the data
// folders it reads (a folder's files get a fresh access time when the scene using them starts):
// Title/ then Stage1/Demo/ then Stage1/Game/. Each wait is bounded; a step that is not reached
// writes its name to failed.txt and the game is sent Esc anyway. Exit 77: access times are not
// kept on this file system, so the scenes cannot be followed.
constexpr const char kDriver[] = R"sh(#!/bin/sh
game="$1"; root="$2"; pictures="$3"
cd "$root" || exit 3
probe=atime.probe
echo probe > $probe
find GameData $probe -type f -exec touch -a -d 2000-01-01 {} +
cat $probe > /dev/null
[ "$(stat -c %X $probe)" -gt 946771200 ] || exit 77

FLYINGFISH_VIDEO=sdl FLYINGFISH_LOG=stderr SDL_AUDIODRIVER=dummy "$game" > out.txt 2> err.txt &
pid=$!
echo $pid > pid.txt

# Waits up to $2 seconds for `$1`; 1 when the game ended or the time ran out.
within() {
  end=$(($(date +%s) + $2))
  while ! eval "$1"; do
    kill -0 $pid 2>/dev/null || return 1
    [ "$(date +%s)" -lt $end ] || return 1
    sleep 0.1
  done
}
# True once a file under the folder has been read.
read_from() { [ -n "$(find "GameData/$1" -type f -newerat 2001-01-01 -print -quit)" ]; }
# A screenshot of the whole X screen, and the number of colours in it.
shot() { import -window root "$pictures/$1.png" && echo "$1 $(identify -format %k "$pictures/$1.png")" >> shots.txt; }
fail() { echo "$1" >> failed.txt; }
# A key held for a few frames: pressed and let go within one frame, the game would not see it.
press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; }

window=""
found_window() { window=$(xdotool search --pid $pid --name . 2>/dev/null | head -n 1); [ -n "$window" ]; }
if within found_window 120; then
  xdotool windowfocus --sync $window 2>/dev/null || xdotool windowfocus $window
  # The title fades in (under a second) and then takes decide; taps before that are let go.
  if within "read_from Title" 120; then
    sleep 2; shot xvfb_title
    within "press z; sleep 0.3; read_from Stage1/Demo" 120 || fail story
  else
    fail title
  fi
  if read_from Stage1/Demo; then
    sleep 4; shot xvfb_stage_demo
    # Decide turns the story's pages; when they are done the play starts.
    within "press z; sleep 0.3; read_from Stage1/Game" 300 || fail play
  fi
  if read_from Stage1/Game; then
    # The play's start demo, then swimming right for a while.
    sleep 3; xdotool keydown Right; sleep 3; shot xvfb_play; xdotool keyup Right
  fi
  press Escape
else
  fail window
fi
# Esc ends the game; a game that stays is stopped (its signal handling also exits with 0).
within false 120
if kill $pid 2>/dev/null; then fail quit; fi
wait $pid
echo $? > rc.txt
)sh";

TEST(XvfbPlayTest, TheRealProgramIsPlayedByKeysFromTheLogoIntoStageOneAndQuitsOnEsc) {
    for (const char* command : {"xvfb-run", "xdotool", "import", "identify"})
        if (!HaveCommand(command)) GTEST_SKIP() << command << " is not installed";
    const fs::path game = BinaryDir() / "flyingfish";
    ASSERT_TRUE(fs::is_regular_file(game));
    const DataRoot root("ff_xvfb_play", false);
    fs::copy(BinaryDir() / "GameData", root / "GameData", fs::copy_options::recursive);
    std::ofstream(root / "driver.sh") << kDriver;
    const fs::path pictures = BinaryDir() / "pictures";
    fs::create_directories(pictures);
    for (const char* name : {"xvfb_title.png", "xvfb_stage_demo.png", "xvfb_play.png"}) fs::remove(pictures / name);

    // The X libraries' own allocations cannot be told apart from the program's: no leak check.
    const std::string env = testutil::TestInstanceEnv() + " ASAN_OPTIONS=detect_leaks=0 ";
    const int status = RunCommand("timeout 900 env " + env + "xvfb-run -a -s '-screen 0 800x600x24' sh " +
                                  Quote(root / "driver.sh") + " " + Quote(game) + " " + Quote(root.path()) + " " +
                                  Quote(pictures));
    if (status == 77) GTEST_SKIP() << "file access times are not kept here";
    ASSERT_EQ(status, 0);

    std::ifstream failed(root / "failed.txt");
    std::string step;
    EXPECT_FALSE(std::getline(failed, step)) << "not reached: " << step;
    // Each screenshot shows a picture, not a black or a one-colour screen.
    std::map<std::string, int> colours;
    std::ifstream shots(root / "shots.txt");
    for (std::string name; shots >> name;) shots >> colours[name];
    for (const char* name : {"xvfb_title", "xvfb_stage_demo", "xvfb_play"}) {
        EXPECT_TRUE(fs::exists(pictures / (std::string(name) + ".png"))) << name;
        EXPECT_GT(colours[name], 100) << name;
    }

    std::ifstream rc(root / "rc.txt");
    int code = -1;
    rc >> code;
    EXPECT_EQ(code, 0) << "the game's exit code";
    // Nothing of it is left running.
    std::ifstream pid_file(root / "pid.txt");
    pid_t pid = 0;
    pid_file >> pid;
    ASSERT_GT(pid, 0);
    EXPECT_NE(kill(pid, 0), 0);
}

} // namespace
