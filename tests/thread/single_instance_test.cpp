// Tests of CheckSingleInstance across processes: a second copy exits and raises the first; a
// killed first copy leaves nothing behind.
#include "sdk/thread/Mutex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/instance.h"
#include "platform/log.h"

using namespace zuderadeDoruVAV3ed;

extern char** environ;

namespace {

const std::string kProbe = std::string(FF_BINARY_DIR) + "/tests/instance_probe/instance_probe";

// A running probe with its standard output on a pipe.
struct Probe {
    pid_t pid = -1;
    int out = -1;
    std::string buffer;

    bool Start(const std::string& name, const std::string& run_ms) {
        int pipe_fds[2];
        if (pipe2(pipe_fds, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
        const char* argv[] = {kProbe.c_str(), name.c_str(), run_ms.c_str(), nullptr};
        int error = posix_spawn(&pid, kProbe.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipe_fds[1]);
        out = pipe_fds[0];
        return error == 0;
    }
    // True when line appears on the probe's output within timeout_ms.
    bool WaitForLine(const std::string& line, int timeout_ms) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        for (;;) {
            size_t at = buffer.find(line + "\n");
            if (at != std::string::npos) {
                buffer.erase(0, at + line.size() + 1);
                return true;
            }
            int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            deadline - std::chrono::steady_clock::now()).count());
            if (left <= 0) return false;
            pollfd in{out, POLLIN, 0};
            if (poll(&in, 1, left) <= 0) return false;
            char chunk[256];
            ssize_t n = read(out, chunk, sizeof chunk);
            if (n <= 0) return false;
            buffer.append(chunk, static_cast<size_t>(n));
        }
    }
    // The exit code (-1 when it did not end within timeout_ms or ended by a signal).
    int Wait(int timeout_ms) {
        for (int waited = 0; waited <= timeout_ms; waited += 5) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(5000);
        }
        return -1;
    }
    void Kill() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }
    ~Probe() {
        Kill();
        if (out >= 0) close(out);
    }
};

TEST(SingleInstance, SecondCopyExitsAndRaisesTheFirstAndAKilledFirstLeavesNothing) {
    // A name of this run, so a game or another test run of this user is not disturbed.
    std::string name = "Hopf-test-" + std::to_string(getpid());
    Probe first;
    ASSERT_TRUE(first.Start(name, "20000"));
    ASSERT_TRUE(first.WaitForLine("running", 5000));

    Probe second;
    ASSERT_TRUE(second.Start(name, "20000"));
    EXPECT_EQ(second.Wait(5000), 3);
    EXPECT_TRUE(second.WaitForLine("second", 1000));
    EXPECT_TRUE(first.WaitForLine("raise", 5000));

    first.Kill();   // SIGKILL: no clean-up runs, the kernel frees the name
    Probe third;
    ASSERT_TRUE(third.Start(name, "50"));
    EXPECT_TRUE(third.WaitForLine("running", 5000));
    EXPECT_EQ(third.Wait(5000), 0);
}

TEST(SingleInstance, InProcessChecksAndNullMutex) {
    std::string name = "Hopf-inproc-" + std::to_string(getpid());
    std::vector<std::string> logged;
    platform::SetLogCaptureForTest([&](std::string_view text) { logged.emplace_back(text); });
    EXPECT_TRUE(CheckSingleInstance(nullptr, name));   // logged, the program runs on
    EXPECT_EQ(logged.size(), 1u);
    {
        CMutex held;
        EXPECT_TRUE(CheckSingleInstance(&held, name));
        EXPECT_TRUE(held.IsHeld());
        logged.clear();
        CMutex other;
        EXPECT_FALSE(CheckSingleInstance(&other, name));
        EXPECT_FALSE(other.IsHeld());
        // The second copy says why it ends.
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_NE(logged[0].find(name + "は既に起動しているので前面に出して終了する"), std::string::npos) << logged[0];
        platform::SetLogCaptureForTest(nullptr);
        while (platform::TakeRaiseRequest()) {
        }
    }
    CMutex after;   // the first one's destructor released the name
    EXPECT_TRUE(CheckSingleInstance(&after, name));
}

// FLYINGFISH_INSTANCE replaces the program's name when set and not empty.
TEST(SingleInstance, InstanceNameFromTheEnvironment) {
    struct Case {
        const char* env;   // null: unset
        const char* expected;
    };
    const Case cases[] = {{nullptr, "Hopf"}, {"", "Hopf"}, {"ff-own-name", "ff-own-name"}};
    for (const Case& c : cases) {
        if (c.env)
            setenv("FLYINGFISH_INSTANCE", c.env, 1);
        else
            unsetenv("FLYINGFISH_INSTANCE");
        EXPECT_EQ(platform::InstanceName("Hopf"), c.expected) << (c.env ? c.env : "unset");
    }
    unsetenv("FLYINGFISH_INSTANCE");
}

} // namespace
