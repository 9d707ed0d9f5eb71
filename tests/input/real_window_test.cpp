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

namespace {

namespace fs = std::filesystem;

bool HaveCommand(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Starts the example with a real window, focuses it, holds Space for 0.7 s; a run that shows no
// window in time is tried again.
constexpr const char kDriver[] = R"(#!/bin/sh
demo="$1"; out="$2"
for attempt in 1 2 3 4 5 6 7 8 9 10; do
  FLYINGFISH_VIDEO=sdl FLYINGFISH_MAX_FRAMES=120 "$demo" > "$out" 2>"$out.err" &
  pid=$!
  win=""
  while [ -z "$win" ] && kill -0 $pid 2>/dev/null; do
    win=$(xdotool search --name '^frame_demo$' 2>/dev/null | head -1)
    [ -z "$win" ] && sleep 0.1
  done
  if [ -n "$win" ]; then
    xdotool windowfocus --sync "$win"
    sleep 0.5
    xdotool keydown space
    sleep 0.7
    xdotool keyup space
  fi
  wait $pid
  grep -q '^frame_demo: frames' "$out" && exit 0
  sleep 1
done
exit 1
)";

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
    std::ofstream(driver) << kDriver;

    // The test's own instance name keeps other copies away.
    std::string command = "timeout 120 env " + testutil::TestInstanceEnv() + " xvfb-run -a -s '-screen 0 800x600x24' sh '" +
                          driver.string() + "' '" + demo.string() + "' '" + out.string() + "'";
    int status = std::system(command.c_str());

    std::ifstream text(out);
    std::vector<FrameLine> lines;
    std::string line;
    while (std::getline(text, line)) {
        FrameLine f{};
        if (std::sscanf(line.c_str(), "frame_demo: frame %d held 0x%x pushed 0x%x", &f.frame, &f.held, &f.pushed) == 3)
            lines.push_back(f);
    }
    ASSERT_EQ(status, 0) << "the example never ran to its end with a window";

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
    EXPECT_GE(lines.size(), 3u) << "0.7 s of holding is about 21 frames";
}

} // namespace
