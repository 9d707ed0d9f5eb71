// frame_demo end to end: runs that end by themselves, by Esc or by SIGTERM, a second copy,
// frame dumps, a real window.
//
// Every run holds a single-instance name of its own test (FLYINGFISH_INSTANCE), so copies run
// by other tests, other checkouts or a person's game never meet it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/instance_name.h"
#include "tests/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kDemo = std::string(FF_BINARY_DIR) + "/tools/frame_demo";
// In checked builds: leaks inside SDL and D-Bus are theirs, not the program's.
const std::string kLeakOptions =
    "LSAN_OPTIONS=suppressions='" + std::string(FF_SOURCE_DIR) + "/tests/app/frame_demo_lsan.supp'";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A scratch folder of this test, removed at the end.
class FrameDemoTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs::exists(kDemo)) << kDemo; }

    struct Run {
        int exit_code = -1;
        double seconds = 0;
        std::string out, err;
        bool Ran() const { return out.find("frame_demo: frames") != std::string::npos; }
    };

    // The shell words that start the demo in the build folder with the given environment (the
    // test's own video setting replaced by env's) and this test's instance name. Every run
    // needs a FLYINGFISH_MAX_FRAMES, so that none can run on for ever.
    std::string DemoCommand(const std::string& env, const std::string& wrapper = "") const {
        return "cd '" + std::string(FF_BINARY_DIR) + "' && " + wrapper + " env -u FLYINGFISH_VIDEO " + kLeakOptions +
               " " + testutil::TestInstanceEnv() + " " + env + " '" + kDemo + "'";
    }

    // Runs the demo to its end, with args after the program's name.
    Run RunDemo(const std::string& env, const std::string& wrapper = "", const std::string& args = "") {
        Run run;
        std::string command = DemoCommand(env, wrapper) + " " + args + " >'" + (dir_ / "out").string() + "' 2>'" +
                              (dir_ / "err").string() + "'";
        auto start = Clock::now();
        int status = std::system(command.c_str());
        run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadFile(dir_ / "out");
        run.err = ReadFile(dir_ / "err");
        return run;
    }

    const testutil::ScratchDir scratch_{"frame_demo_test"};
    const fs::path dir_ = scratch_.path();
};

} // namespace

TEST_F(FrameDemoTest, HeadlessRunEndsByItselfAfterThreeSeconds) {
    Run run = RunDemo("FLYINGFISH_VIDEO=headless FLYINGFISH_MAX_FRAMES=90");
    ASSERT_TRUE(run.Ran()) << run.err;
    EXPECT_EQ(run.exit_code, 0);
    // The close comes with the 90th pump: 89 frames, each 1/30 s, and a tick each second (a
    // third one when a loaded machine stretches the run past 3 s).
    int frames = 0, drawn = 0, skipped = 0, ticks = 0;
    ASSERT_EQ(std::sscanf(run.out.c_str(), "frame_demo: frames %d drawn %d skipped %d ticks %d", &frames, &drawn,
                          &skipped, &ticks),
              4)
        << run.out;
    EXPECT_EQ(frames, 89);
    EXPECT_EQ(drawn + skipped, 89);
    EXPECT_GE(ticks, 2);
    EXPECT_LE(ticks, 3);
    EXPECT_GT(run.seconds, 2.5);   // paced by the real clock; no upper bound on a busy machine
}

TEST_F(FrameDemoTest, VirtualClockRunsTheSameFramesAtOnce) {
    // 600 frames are 20 s of frame time. On the virtual clock nothing sleeps, so the run must
    // take well under that in wall time however slow the build; the bound is half of it.
    Run run = RunDemo("FLYINGFISH_VIDEO=headless FLYINGFISH_CLOCK=virtual FLYINGFISH_MAX_FRAMES=600");
    ASSERT_TRUE(run.Ran()) << run.err;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_NE(run.out.find("frames 599 drawn 599 skipped 0 ticks 19"), std::string::npos) << run.out;
    EXPECT_LT(run.seconds, 10.0);
}

TEST_F(FrameDemoTest, SecondCopyExitsAtOnceAndTheFirstRaisesItsWindow) {
    // The first copy runs in the background for about four seconds, logging to its stderr.
    fs::path first_err = dir_ / "first_err", first_out = dir_ / "first_out", first_rc = dir_ / "first_rc";
    std::string command = "(" + DemoCommand("FLYINGFISH_VIDEO=headless FLYINGFISH_MAX_FRAMES=120 FLYINGFISH_LOG=stderr") +
                          " >'" + first_out.string() + "' 2>'" + first_err.string() + "'; echo $? >'" +
                          first_rc.string() + "') &";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // Its window exists once the log says so.
    bool started = false;
    for (int i = 0; i < 3000 && !started && !fs::exists(first_rc); ++i) {
        started = ReadFile(first_err).find("video: headless window") != std::string::npos;
        if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(started) << ReadFile(first_err);

    Run second = RunDemo("FLYINGFISH_VIDEO=headless FLYINGFISH_MAX_FRAMES=30 FLYINGFISH_LOG=stderr");
    EXPECT_EQ(second.exit_code, 0);
    EXPECT_FALSE(second.Ran()) << second.out;
    EXPECT_LT(second.seconds, 5.0);   // it ran no frames (it would take 1 s); startup only
    EXPECT_NE(second.err.find("は既に起動しているので前面に出して終了する"), std::string::npos) << second.err;

    for (int i = 0; i < 3000 && !fs::exists(first_rc); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadFile(first_rc), "0\n");
    EXPECT_NE(ReadFile(first_out).find("frame_demo: frames 119 "), std::string::npos) << ReadFile(first_out);
    EXPECT_NE(ReadFile(first_err).find("raising it"), std::string::npos) << ReadFile(first_err);
}

// Ways a run ends before its frame limit: Esc (from an input script), a frame limit that is not
// a number, which closes the window at once with a log text, or --help, which prints the usage.
// And a run with no display and no video setting, which says on stderr, with the log off, that
// it has no window.
TEST_F(FrameDemoTest, EscAnUnreadableFrameLimitOrHelpEndsTheRun) {
    const fs::path script = dir_ / "esc.txt";
    std::ofstream(script) << "5: Escape\n";
    struct Case {
        std::string env;
        std::string summary;   // the demo's last line
        std::string logged;    // "" when nothing particular is logged
        std::string args = "";
    };
    const Case cases[] = {
        {"FLYINGFISH_MAX_FRAMES=300 FLYINGFISH_INPUT='" + script.string() + "'", "frame_demo: frames 6 drawn 6 ", ""},
        {"FLYINGFISH_MAX_FRAMES=abc", "frame_demo: frames 0 ",
         "FLYINGFISH_MAX_FRAMES=abc is not a positive number of frames"},
        {"FLYINGFISH_MAX_FRAMES=-5", "frame_demo: frames 0 ", "FLYINGFISH_MAX_FRAMES=-5 is not"},
        {"FLYINGFISH_VIDEO= DISPLAY= WAYLAND_DISPLAY= FLYINGFISH_LOG= FLYINGFISH_MAX_FRAMES=3", "frame_demo: frames 2 ",
         "video: no display"},
        {"FLYINGFISH_MAX_FRAMES=30", "usage: frame_demo\n", "", "--help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.env);
        Run run = RunDemo("FLYINGFISH_VIDEO=headless FLYINGFISH_CLOCK=virtual FLYINGFISH_LOG=stderr " + c.env, "", c.args);
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_NE(run.out.find(c.summary), std::string::npos) << run.out;
        if (!c.logged.empty()) {
            EXPECT_NE(run.err.find(c.logged), std::string::npos) << run.err;
        } else {
            EXPECT_EQ(run.err.find("no display"), std::string::npos) << run.err;   // told to be headless
        }
    }
}

// A headless run ended by SIGTERM ends as a closed window does: its summary is printed and its
// temporary files are gone.
TEST_F(FrameDemoTest, SigtermEndsAHeadlessRunThatRemovesItsTemporaryFiles) {
    const fs::path temp = dir_ / "tmp";
    fs::create_directories(temp);
    // The demo makes three temporary files at its first frame; SIGTERM follows once all exist.
    const std::string script = "(" + DemoCommand("FLYINGFISH_VIDEO=headless FLYINGFISH_MAX_FRAMES=9000 FLYINGFISH_LOG=stderr TMPDIR='" +
                                                 temp.string() + "'") +
                               " >'" + (dir_ / "out").string() + "' 2>'" + (dir_ / "err").string() +
                               "' & pid=$!; i=0; while [ $(ls '" + temp.string() +
                               "' | wc -l) -lt 3 ] && [ $i -lt 6000 ]; do sleep 0.01; i=$((i+1)); done; "
                               "ls '" + temp.string() + "' >'" + (dir_ / "seen").string() +
                               "'; kill -TERM $pid; wait $pid; echo $? >'" + (dir_ / "rc").string() + "')";
    ASSERT_EQ(std::system(script.c_str()), 0);
    const std::string seen = ReadFile(dir_ / "seen");
    EXPECT_EQ(std::count(seen.begin(), seen.end(), '\n'), 3) << seen;
    EXPECT_EQ(ReadFile(dir_ / "rc"), "0\n") << ReadFile(dir_ / "err");
    EXPECT_NE(ReadFile(dir_ / "out").find("frame_demo: frames"), std::string::npos) << ReadFile(dir_ / "out");
    EXPECT_NE(ReadFile(dir_ / "err").find("asked to end by a signal"), std::string::npos) << ReadFile(dir_ / "err");
    EXPECT_TRUE(fs::is_empty(temp)) << ReadFile(dir_ / "seen");
}

TEST_F(FrameDemoTest, DumpsEveryNthPresentedFrameAsBmp) {
    fs::path dumps = dir_ / "dumps";
    Run run = RunDemo("FLYINGFISH_VIDEO=headless FLYINGFISH_CLOCK=virtual FLYINGFISH_MAX_FRAMES=12 FLYINGFISH_DUMP='" +
                      dumps.string() + ":5'");
    ASSERT_TRUE(run.Ran()) << run.err;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dumps)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"frame00000.bmp", "frame00005.bmp", "frame00010.bmp"}));

    std::string bmp = ReadFile(dumps / "frame00005.bmp");
    EXPECT_EQ(bmp.size(), 54u + 640u * 480u * 3u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
}

TEST_F(FrameDemoTest, SdlWindowUnderXvfbPresentsAndEnds) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    // The X server's client libraries leak from modules unloaded before the leak check, which
    // cannot be named in suppressions: leaks are not checked in this run.
    Run run = RunDemo("ASAN_OPTIONS=detect_leaks=0 FLYINGFISH_MAX_FRAMES=30 FLYINGFISH_LOG=stderr", "xvfb-run -a");
    ASSERT_TRUE(run.Ran()) << run.err;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_NE(run.err.find("video: SDL window 640 x 480"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("refused a frame"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("frames 29 drawn"), std::string::npos) << run.out;
}
