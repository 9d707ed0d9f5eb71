// xvfb_play_test.cpp -- the real program on the full data set under a virtual X server, played
// by real key events sent to its window: from the logo through the title and the first story
// into stage 1, with pictures of the X screen saved on the way; Esc ends it with exit code 0.
// The pictures show the whole game picture, letterboxed, with and without a window manager.
#include <gtest/gtest.h>

#include <array>
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
game="$1"; root="$2"; pictures="$3"; screen="$4"; wm="$5"
cd "$root" || exit 3
fail() { echo "$1" >> failed.txt; }
probe=atime.probe
echo probe > $probe
find GameData $probe -type f -exec touch -a -d 2000-01-01 {} +
cat $probe > /dev/null
[ "$(stat -c %X $probe)" -gt 946771200 ] || exit 77
# The window manager, when there is one, runs before the game starts.
if [ -n "$wm" ]; then
  $wm > wm.txt 2>&1 &
  wm_pid=$!
  tries=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    tries=$((tries + 1)); [ $tries -lt 600 ] || { fail wm; break; }; sleep 0.1
  done
fi

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
# A screenshot of the whole X screen: the number of colours in it, and how far its picture (cut
# from the letterbox, scaled to 640 x 480) is from the headless frame $1.bmp in the top rows and
# the right columns (mean difference, 0 to 1; 0 when there is no headless frame).
shot() {
  import -window root "$pictures/$prefix$1.png" || return
  bands="0 0"
  if [ -f "$1.bmp" ]; then
    w=${screen%x*}; h=${screen#*x}; pw=$w; ph=$((w * 3 / 4))
    [ $((w * 3)) -gt $((h * 4)) ] && { pw=$((h * 4 / 3)); ph=$h; }
    convert "$pictures/$prefix$1.png" -crop ${pw}x$ph+$(((w - pw) / 2))+$(((h - ph) / 2)) +repage \
      -resize '640x480!' scaled.png
    band() { compare -metric MAE "scaled.png[$1]" "$2.bmp[$1]" null: 2>&1 | sed -n 's/.*(\(.*\))$/\1/p'; }
    top=$(band 640x96+0+0 $1); right=$(band 128x480+512+0 $1); bands="${top:-1} ${right:-1}"
  fi
  echo "$1 $(identify -format %k "$pictures/$prefix$1.png") $bands" >> shots.txt
}
prefix=xvfb_${wm:+${wm}_}
# A key held for a few frames: pressed and let go within one frame, the game would not see it.
press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; }

window=""
found_window() { window=$(xdotool search --pid $pid --name . 2>/dev/null | head -n 1); [ -n "$window" ]; }
if within found_window 120; then
  xdotool windowfocus --sync $window 2>/dev/null || xdotool windowfocus $window
  # The title fades in (under a second) and then takes decide; taps before that are let go.
  if within "read_from Title" 120; then
    sleep 2; shot title
    within "press z; sleep 0.3; read_from Stage1/Demo" 120 || fail story
  else
    fail title
  fi
  if read_from Stage1/Demo; then
    sleep 4; shot stage_demo
    # Decide turns the story's pages; when they are done the play starts.
    within "press z; sleep 0.3; read_from Stage1/Game" 300 || fail play
  fi
  if read_from Stage1/Game; then
    # The play's start demo, then swimming right for a while.
    sleep 3; xdotool keydown Right; sleep 3; shot play; xdotool keyup Right
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
if [ -n "$wm" ]; then kill $wm_pid; wait $wm_pid; fi
exit 0
)sh";

struct Screen {
    const char* wm;       // "" : none
    const char* size;     // the X screen, width x height
};
void PrintTo(const Screen& screen, std::ostream* out) { *out << screen.size << " " << screen.wm; }

class XvfbPlayTest : public ::testing::TestWithParam<Screen> {};

TEST_P(XvfbPlayTest, TheRealProgramIsPlayedByKeysFromTheLogoIntoStageOneAndQuitsOnEsc) {
    const std::string wm = GetParam().wm;
    for (const char* command : {"xvfb-run", "xdotool", "import", "identify", "convert", "compare", "xprop"})
        if (!HaveCommand(command)) GTEST_SKIP() << command << " is not installed";
    if (!wm.empty() && !HaveCommand(wm.c_str())) GTEST_SKIP() << wm << " is not installed";
    const fs::path game = BinaryDir() / "flyingfish";
    ASSERT_TRUE(fs::is_regular_file(game));
    const DataRoot root("ff_xvfb_play", false);
    fs::copy(BinaryDir() / "GameData", root / "GameData", fs::copy_options::recursive);
    std::ofstream(root / "driver.sh") << kDriver;
    const fs::path pictures = BinaryDir() / "pictures";
    fs::create_directories(pictures);
    // The same scenes headless, as they are drawn: the title and the play swimming right.
    std::ofstream(root / "right.txt") << "0: Right\n";
    ASSERT_EQ(RunCommand(Fishsim() + " --root " + Quote(root.path()) + " --scene 2 --frames 60 --shot " +
                         Quote(root / "title.bmp") + " >/dev/null 2>&1 && " + Fishsim() + " --root " +
                         Quote(root.path()) + " --scene 3 --stage 1 --frames 200 --input right.txt --shot " +
                         Quote(root / "play.bmp") + " >/dev/null 2>&1"), 0);
    fs::remove_all(root / "SaveData");

    // The X libraries' own allocations cannot be told apart from the program's: no leak check.
    const std::string env = testutil::TestInstanceEnv() + " ASAN_OPTIONS=detect_leaks=0 ";
    const int status = RunCommand("timeout 900 env " + env + "xvfb-run -a -s '-screen 0 " + GetParam().size +
                                  "x24' sh " + Quote(root / "driver.sh") + " " + Quote(game) + " " +
                                  Quote(root.path()) + " " + Quote(pictures) + " " + GetParam().size + " '" + wm + "'");
    if (status == 77) GTEST_SKIP() << "file access times are not kept here";
    ASSERT_EQ(status, 0);

    std::ifstream failed(root / "failed.txt");
    std::string step;
    EXPECT_FALSE(std::getline(failed, step)) << "not reached: " << step;
    // Each screenshot shows a picture, not a black or a one-colour screen; the title and the play
    // show the whole of it: their top and right bands are those of the headless frames.
    std::map<std::string, std::array<double, 3>> shot;
    std::ifstream shots(root / "shots.txt");
    for (std::string name; shots >> name;) shots >> shot[name][0] >> shot[name][1] >> shot[name][2];
    for (const char* name : {"title", "stage_demo", "play"}) {
        const auto& [colours, top, right] = shot.try_emplace(name, std::array<double, 3>{0, 1, 1}).first->second;
        EXPECT_GT(colours, 100) << name;
        EXPECT_LT(top, 0.15) << name << ": the top of the picture differs";
        EXPECT_LT(right, 0.15) << name << ": the right of the picture differs";
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

// Without a window manager the window covers the screen itself (here letterboxed); with one it is
// asked to.
INSTANTIATE_TEST_SUITE_P(Screens, XvfbPlayTest,
                         ::testing::Values(Screen{"", "1280x720"}, Screen{"openbox", "800x600"}),
                         [](const auto& info) { return std::string(info.param.wm[0] ? "Openbox" : "NoWindowManager"); });

} // namespace
