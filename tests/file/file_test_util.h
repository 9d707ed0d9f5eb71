// file_test_util.h -- a scratch folder made the working directory for one test, and log capture.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/log.h"
#include "tests/scratch_dir.h"

class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetLogCaptureForTest([this](std::string_view text) { logged_.emplace_back(text); });
    }
    void TearDown() override { platform::SetLogCaptureForTest(nullptr); }
    static void Put(const std::string& path, const std::string& content) {
        std::filesystem::path p(path);
        if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool LoggedContains(const std::string& part) const {
        for (const auto& text : logged_)
            if (text.find(part) != std::string::npos) return true;
        return false;
    }

    const testutil::ScratchWorkDir scratch_{"ff_file_test"};
    std::vector<std::string> logged_;
};
