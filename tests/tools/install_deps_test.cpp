// install_deps_test.cpp -- the set-up script against stand-ins of the package tools: a lock held by
// another package manager run is waited for, not a failure; play.sh installs and builds only what
// the game needs.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tools_test_util.h"

namespace {

using namespace toolstest;

// The apt-get calls, a line each, of a run of the script with these arguments against stand-ins of
// the package tools: every package is missing; the first apt-get is refused the lock.
std::string InstallCalls(const std::string& arguments) {
    const testutil::ScratchDir dir("ff_install_deps");
    std::ofstream(dir.path() / "dpkg-query") << "#!/bin/sh\n";
    std::ofstream(dir.path() / "apt-get") << "#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/calls.txt\"\n"
                                             "mkdir \"$(dirname \"$0\")/refused\" 2>/dev/null || exit 0\n"
                                             "echo 'E: Could not get lock /var/lib/apt/lists/lock.' >&2; exit 100\n";
    std::ofstream(dir.path() / "sudo") << "#!/bin/sh\nexec \"$@\"\n";
    EXPECT_EQ(RunCommand("chmod +x " + Quote(dir.path()) + "/* && PATH=" + Quote(dir.path()) + ":\"$PATH\" " +
                         Quote(fs::path(FF_SOURCE_DIR) / "tools/install-deps.sh") + " " + arguments + " >/dev/null 2>&1"),
              0);
    std::ifstream calls(dir.path() / "calls.txt");
    return {std::istreambuf_iterator<char>(calls), {}};
}

TEST(InstallDepsTest, WaitsWhileAnotherRunHoldsTheLock) {
    std::istringstream calls(InstallCalls(""));
    int updates = 0, installs = 0;
    for (std::string call; std::getline(calls, call);) {
        updates += call.find("update") != std::string::npos;
        installs += call.find("install -y") != std::string::npos;
    }
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(installs, 1);
}

// play.sh installs only what building and playing need, and the target it builds holds the game,
// its plug-in and its content, not the tests' data set, the tests or the benchmarks.
TEST(InstallDepsTest, PlayBuildsOnlyTheGameItsPlugInAndItsContent) {
    std::ifstream script(fs::path(FF_SOURCE_DIR) / "play.sh");
    const std::string text{std::istreambuf_iterator<char>(script), {}};
    EXPECT_NE(text.find("install-deps.sh play\n"), std::string::npos);
    const std::string installed = InstallCalls("play");
    EXPECT_NE(installed.find(" libsdl2-dev"), std::string::npos) << installed;
    for (const char* package : {"libgtest-dev", "libbenchmark-dev", "libpixman-1-dev", "sox", "xvfb", "openbox"})
        EXPECT_EQ(installed.find(std::string(" ") + package), std::string::npos) << package;
    if (!fs::exists(BinaryDir() / "build.ninja")) GTEST_SKIP() << "not a Ninja build";
    EXPECT_NE(text.find("--target play"), std::string::npos);
    const testutil::ScratchDir dir("ff_play_target");
    ASSERT_EQ(RunCommand("ninja -C " + Quote(BinaryDir()) + " -t commands play > " + Quote(dir.path() / "c")), 0);
    std::ifstream list(dir.path() / "c");
    const std::string commands{std::istreambuf_iterator<char>(list), {}};
    const std::string needed[] = {"-o flyingfish ", "-o plugin/or.dll ", "gamedata " + BinaryDir().string()};
    for (const std::string& part : needed)
        EXPECT_NE(commands.find(part), std::string::npos) << part;
    for (const char* part : {"gd-mini", "-o tests/", "-o bench/", "-o tools/fishsim"})
        EXPECT_EQ(commands.find(part), std::string::npos) << part;
}

} // namespace
