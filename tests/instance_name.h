// instance_name.h -- the single-instance name under which one test runs copies of a program.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace testutil {

// "ff-<pid>-<suite>.<test>": its own for every test of every run, so the copies a test starts
// never meet a person's game, another checkout's tests or a test running beside it.
inline std::string TestInstanceName() {
    std::string name = "ff-" + std::to_string(getpid());
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info())
        name += "-" + std::string(test->test_suite_name()) + "." + test->name();
    return name;
}

// The environment setting that gives a started program that name.
inline std::string TestInstanceEnv() { return "FLYINGFISH_INSTANCE='" + TestInstanceName() + "'"; }

} // namespace testutil
