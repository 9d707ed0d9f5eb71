// file_test_util.h -- a scratch folder made the working directory for one test, and log capture.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/log.h"

class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        old_cwd_ = std::filesystem::current_path();
        root_ = std::filesystem::temp_directory_path() /
                ("ff_file_test_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        std::filesystem::current_path(root_);
        platform::SetLogCaptureForTest([this](std::string_view text) { logged_.emplace_back(text); });
    }
    void TearDown() override {
        platform::SetLogCaptureForTest(nullptr);
        std::filesystem::current_path(old_cwd_);
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }
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

    std::filesystem::path old_cwd_;
    std::filesystem::path root_;
    std::vector<std::string> logged_;
};
