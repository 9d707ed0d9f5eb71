// install_deps_test.cpp -- the set-up script against stand-ins of the package tools: a lock held by
// another package manager run is waited for, not a failure.
#include <gtest/gtest.h>

#include <fstream>

#include "tools_test_util.h"

namespace {

using namespace toolstest;

TEST(InstallDepsTest, WaitsWhileAnotherRunHoldsTheLock) {
    const testutil::ScratchDir dir("ff_install_deps");
    // Every package is missing; the first apt-get is refused the lock, the others succeed.
    std::ofstream(dir.path() / "dpkg-query") << "#!/bin/sh\n";
    std::ofstream(dir.path() / "apt-get") << "#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/calls.txt\"\n"
                                             "mkdir \"$(dirname \"$0\")/refused\" 2>/dev/null || exit 0\n"
                                             "echo 'E: Could not get lock /var/lib/apt/lists/lock.' >&2; exit 100\n";
    std::ofstream(dir.path() / "sudo") << "#!/bin/sh\nexec \"$@\"\n";
    ASSERT_EQ(RunCommand("chmod +x " + Quote(dir.path()) + "/* && PATH=" + Quote(dir.path()) + ":\"$PATH\" " +
                         Quote(fs::path(FF_SOURCE_DIR) / "tools/install-deps.sh") + " >/dev/null 2>&1"),
              0);
    std::ifstream calls(dir.path() / "calls.txt");
    int updates = 0, installs = 0;
    for (std::string call; std::getline(calls, call);) {
        updates += call.find("update") != std::string::npos;
        installs += call.find("install -y") != std::string::npos;
    }
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(installs, 1);
}

} // namespace
