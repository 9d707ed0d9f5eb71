// real_window_test.cpp -- a key sent to the example's real window under a virtual X server is pushed for one frame and held while down.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/instance_name.h"
#include "tests/scratch_dir.h"
#include "tests/x_waits.h"

namespace {

namespace fs = std::filesystem;

bool HaveCommand(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Starts the example with a real window (its frame limit only a safety net), gives the mapped
// window the focus, holds Space until the example has logged it in three frames, and ends it
// with SIGTERM, which closes its window.
constexpr const char kDriver[] = R"sh(
demo="$1"; out="$2"
deadline=$(($(date +%s) + 240))
FLYINGFISH_VIDEO=sdl FLYINGFISH_MAX_FRAMES=9000 FLYINGFISH_LOG=stderr "$demo" > "$out" 2> "$out.log" &
pid=$!
if find_window && focus; then
  xdotool keydown space
  within '[ "$(grep -c "held 0x0020" "$out.log")" -ge 3 ]'
  xdotool keyup space
fi
kill $pid
wait $pid
)sh";

struct FrameLine {
    int frame;
    unsigned held, pushed;
};

TEST(RealWindowTest, SpaceIsPushedOnceAndHeldWhileDown) {
    if (!HaveCommand("xvfb-run") || !HaveCommand("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool is missing";
    fs::path demo = fs::path(FF_BINARY_DIR) / "tools" / "frame_demo";
    if (!fs::is_regular_file(demo)) GTEST_SKIP() << "the example is not built: " << demo;

    const testutil::ScratchDir scratch("ff_real_window");
    const fs::path& dir = scratch.path();
    fs::path driver = dir / "driver.sh";
    fs::path out = dir / "out.txt";
    std::ofstream(driver) << testutil::kXWaits << kDriver;

    // The test's own instance name keeps other copies away; xvfb-run -a gives it a display of its
    // own (a number that another server takes first is tried again with the next). The X
    // libraries' own allocations cannot be told apart from the program's: no leak check.
    std::string command = "timeout 300 env " + testutil::TestInstanceEnv() + " ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 800x600x24' sh '" +
                          driver.string() + "' '" + demo.string() + "' '" + out.string() + "'";
    int status = std::system(command.c_str());

    // The example's output is its summary line; the buttons of each frame are in its log.
    std::ifstream text(out);
    std::string line, summary;
    for (int count = 0; std::getline(text, line); ++count) summary = count ? "more than one line" : line;
    EXPECT_EQ(summary.rfind("frame_demo: frames ", 0), 0u) << summary;
    std::ifstream log(out.string() + ".log");
    std::vector<FrameLine> lines;
    while (std::getline(log, line)) {
        FrameLine f{};
        if (std::sscanf(line.c_str(), "frame_demo: frame %d held 0x%x pushed 0x%x", &f.frame, &f.held, &f.pushed) == 3)
            lines.push_back(f);
    }
    ASSERT_EQ(status, 0) << "the example did not end by the signal";

    // Button 5 (Space): one push, then held in every following frame of one unbroken run.
    ASSERT_FALSE(lines.empty()) << "no button was seen";
    EXPECT_EQ(lines.front().pushed, 1u << 5);
    int pushes = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].held, 1u << 5) << "frame " << lines[i].frame;
        if (i > 0) {
            EXPECT_EQ(lines[i].frame, lines[i - 1].frame + 1) << "the hold was broken";
        }
        pushes += lines[i].pushed != 0;
    }
    EXPECT_EQ(pushes, 1);
    EXPECT_GE(lines.size(), 3u);
}

} // namespace
