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
#include "tests/x_waits.h"
#include "tools_test_util.h"

namespace {

using namespace toolstest;

bool HaveCommand(const char* name) { return RunCommand(std::string("command -v ") + name + " >/dev/null 2>&1") == 0; }

// Runs in the X server: starts the game in the root, finds its window, and steers it by the data
// folders it reads (a folder's files get a fresh access time when the scene using them starts):
// Title/ then Stage1/Demo/ then Stage1/Game/. It counts the frames the game presents by the frame
// dumps it leaves, so that keys are held and pictures taken after a number of frames, not of
// seconds. Every wait polls up to one deadline; a step that is not reached writes its name to
// failed.txt and the game is sent Esc anyway. Exit 77: access times are not kept on this file
// system, so the scenes cannot be followed.
constexpr const char kDriver[] = R"sh(
game="$1"; root="$2"; pictures="$3"; screen="$4"; wm="$5"; min_colours="$6"; max_difference="$7"
cd "$root" || exit 3
deadline=$(($(date +%s) + 360))
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
  within 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' || fail wm
fi

FLYINGFISH_VIDEO=sdl FLYINGFISH_LOG=stderr FLYINGFISH_DUMP=frames:5 SDL_AUDIODRIVER=dummy "$game" > out.txt 2> err.txt &
pid=$!
echo $pid > pid.txt

# True once a file under the folder has been read.
read_from() { [ -n "$(find "GameData/$1" -type f -newerat 2001-01-01 -print -quit)" ]; }
# The frames presented so far, to the last five: the number of the newest dump (older ones are
# removed as they are passed).
presented() {
  newest=$(ls frames 2>/dev/null | tail -n 1)
  [ -n "$newest" ] || { echo 0; return; }
  find frames -name 'frame*.bmp' ! -name "$newest" -delete
  n=${newest#frame}; echo $((1${n%.bmp} - 100000))
}
# Waits until the game has presented at least $1 more frames.
frames_pass() { target=$(($(presented) + $1 + 5)); within '[ "$(presented)" -ge $target ]'; }
# A key held while the game presents a few frames and let go for as many: one push, however slowly
# the game runs.
press() { focus; xdotool keydown "$1"; frames_pass 5; xdotool keyup "$1"; frames_pass 5; }
# A screenshot of the whole X screen: the number of colours in it, and how far its picture (cut
# from the letterbox, scaled to 640 x 480) is from the headless frame $1.bmp in the top rows and
# the right columns (mean difference, 0 to 1; 0 when there is no headless frame). True when it
# shows the picture: enough colours, and the bands of the headless frame.
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
  colours=$(identify -format %k "$pictures/$prefix$1.png")
  echo "$1 $colours $bands" >> shots.txt
  echo "$colours $bands" | awk -v c=$min_colours -v d=$max_difference '{ exit !($1 > c && $2 < d && $3 < d) }'
}
prefix=xvfb_${wm:+${wm}_}

if ! find_window; then
  fail window
elif ! focus; then
  fail focus
else
  # The title fades in within a second and then takes decide; a push before that is let go.
  if within "read_from Title"; then
    frames_pass 30; within "shot title"
    within "press z; read_from Stage1/Demo" || fail story
  else
    fail title
  fi
  if read_from Stage1/Demo; then
    frames_pass 90; within "shot stage_demo"
    # Decide turns the story's pages; when they are done the play starts.
    within "press z; read_from Stage1/Game" || fail play
  fi
  if read_from Stage1/Game; then
    # The play's start demo, then swimming right for a while.
    frames_pass 90; focus; xdotool keydown Right; frames_pass 90; within "shot play"; xdotool keyup Right
  fi
fi
# Esc, held until the game has ended; a game that stays is stopped (its signal handling also
# exits with 0).
deadline=$(($(date +%s) + 60))
focus; xdotool keydown Escape
within false
xdotool keyup Escape
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

// A screenshot shows the game's picture: more colours than a blank or one-colour screen, and
// where a headless frame is there to compare, its top and right bands at most this far from it.
constexpr int kMinColours = 100;
constexpr double kMaxDifference = 0.15;

TEST_P(XvfbPlayTest, TheRealProgramIsPlayedByKeysFromTheLogoIntoStageOneAndQuitsOnEsc) {
    const std::string wm = GetParam().wm;
    for (const char* command : {"xvfb-run", "xdotool", "import", "identify", "convert", "compare", "xprop"})
        if (!HaveCommand(command)) GTEST_SKIP() << command << " is not installed";
    if (!wm.empty() && !HaveCommand(wm.c_str())) GTEST_SKIP() << wm << " is not installed";
    const fs::path game = BinaryDir() / "flyingfish";
    ASSERT_TRUE(fs::is_regular_file(game));
    const DataRoot root("ff_xvfb_play", false);
    fs::copy(BinaryDir() / "GameData", root / "GameData", fs::copy_options::recursive);
    std::ofstream(root / "driver.sh") << testutil::kXWaits << kDriver;
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
    // xvfb-run -a gives the run a display of its own (a number that another server takes first is
    // tried again with the next), so the X tests never meet.
    const std::string env = testutil::TestInstanceEnv() + " ASAN_OPTIONS=detect_leaks=0 ";
    const int status = RunCommand("timeout 480 env " + env + "xvfb-run -a -s '-screen 0 " + GetParam().size +
                                  "x24' sh " + Quote(root / "driver.sh") + " " + Quote(game) + " " +
                                  Quote(root.path()) + " " + Quote(pictures) + " " + GetParam().size + " '" + wm +
                                  "' " + std::to_string(kMinColours) + " " + std::to_string(kMaxDifference));
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
        EXPECT_GT(colours, kMinColours) << name;
        EXPECT_LT(top, kMaxDifference) << name << ": the top of the picture differs";
        EXPECT_LT(right, kMaxDifference) << name << ": the right of the picture differs";
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
