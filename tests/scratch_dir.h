// scratch_dir.h -- a fresh, uniquely named folder for one test, removed with all it holds at the end.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <unistd.h>

namespace testutil {

// "<temp>/<prefix>_<pid>_<random>[_<test>]", made empty. ctest runs the tests of one program as
// parallel processes, so the test's name alone would not keep two runs apart.
inline std::filesystem::path MakeScratchDir(const std::string& prefix) {
    std::string name = prefix + "_" + std::to_string(getpid()) + "_" + std::to_string(std::random_device{}());
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) name += "_" + std::string(test->name());
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// A scratch folder removed when the object goes, also after a failed assertion.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix) : path_(MakeScratchDir(prefix)) {}
    ~ScratchDir() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The folder given is the working directory while the object lives.
class WorkDir {
public:
    explicit WorkDir(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkDir() {
        std::error_code error;
        std::filesystem::current_path(old_, error);
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

private:
    std::filesystem::path old_;
};

// A scratch folder that is the working directory while it lives.
class ScratchWorkDir : public ScratchDir {
public:
    explicit ScratchWorkDir(const std::string& prefix) : ScratchDir(prefix), work_(path()) {}

private:
    WorkDir work_;
};

} // namespace testutil
