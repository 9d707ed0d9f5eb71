// Tests of platform files: case-insensitive lookup, whole reads, atomic replace under failure.
#include "platform/fs.h"
#include "tests/scratch_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FsTest : public ::testing::Test {
protected:
    // The folder is opened up again before its removal, whatever a test did to it.
    void TearDown() override {
        std::error_code error;
        fs::permissions(root_, fs::perms::all, error);
    }
    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }
    void Put(const std::string& relative, const std::string& content) const {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative, std::ios::binary) << content;
    }
    std::string Get(const std::string& relative) const {
        std::vector<uint8_t> data;
        EXPECT_TRUE(platform::ReadWholeFile(Path(relative), data));
        return std::string(data.begin(), data.end());
    }
    // Names in a folder, to prove that no temporary was left behind.
    std::vector<std::string> List(const std::string& relative) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root_ / relative)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    const testutil::ScratchDir scratch_{"ff_fs_test"};
    const fs::path root_ = scratch_.path();
};

TEST_F(FsTest, ResolvePathMatchesComponentsIgnoringCase) {
    Put("GameData/Stage1/LoadList/Fish.ltd", "x");
    EXPECT_EQ(platform::ResolvePath(Path("GameData/Stage1/LoadList/Fish.ltd")), Path("GameData/Stage1/LoadList/Fish.ltd"));
    EXPECT_EQ(platform::ResolvePath(Path("gamedata\\STAGE1\\loadlist\\FISH.LTD")),
              Path("GameData/Stage1/LoadList/Fish.ltd"));
    // A new file in an existing folder of another case lands in that folder.
    EXPECT_EQ(platform::ResolvePath(Path("GAMEDATA/stage1/New.bin")), Path("GameData/Stage1/New.bin"));
    // Nothing from the first missing component on is changed.
    EXPECT_EQ(platform::ResolvePath(Path("gamedata/Missing/X/y.txt")), Path("GameData/Missing/X/y.txt"));
    EXPECT_TRUE(platform::FileExists(Path("GAMEDATA/STAGE1/LOADLIST/fish.ltd")));
    EXPECT_TRUE(platform::IsDirectory(Path("gamedata/stage1")));
    EXPECT_FALSE(platform::FileExists(Path("gamedata/stage1")));
    // Past the system's limit a path is not walked (8 million components, each copying the path
    // so far, would take hours): it comes back as given.
    std::string deep = Path("gamedata/");
    for (int i = 0; i < 8 << 20; ++i) deep += "a/";
    EXPECT_TRUE(platform::ResolvePath(deep) == deep);
}

TEST_F(FsTest, ResolvePathRelativeAndAmbiguous) {
    Put("Dir/b.TXT", "upper");
    Put("Dir/B.txt", "lower");
    // Two spellings match: the bytewise smallest wins, every time.
    EXPECT_EQ(platform::ResolvePath(Path("dir/b.txt")), Path("Dir/B.txt"));
    std::error_code error;
    fs::path old = fs::current_path();
    fs::current_path(root_);
    EXPECT_EQ(platform::ResolvePath("dir\\b.TXT"), "Dir/b.TXT");
    EXPECT_EQ(platform::ResolvePath("./DIR/../dir/B.TXT"), "./Dir/../Dir/B.txt");
    fs::current_path(old);
}

TEST_F(FsTest, Cp932NameFindsItsUtf8SpellingOnDisk) {
    Put("表示/a.txt", "x");
    EXPECT_EQ(platform::ResolvePath(Path("\x95\x5C\x8E\xA6/A.TXT")), Path("表示/a.txt"));
}

TEST_F(FsTest, FullNameIsAbsoluteAndFolded) {
    fs::path old = fs::current_path();
    fs::current_path(root_);
    EXPECT_EQ(platform::FullName("a\\b\\..\\c.txt"), (fs::current_path() / "a/c.txt").string());
    fs::current_path(old);
    EXPECT_EQ(platform::FullName("/x/./y/"), "/x/y");
}

TEST_F(FsTest, ReadsWholeFilesWithAnyBytes) {
    std::string content(200000, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    Put("big.bin", content);
    EXPECT_EQ(Get("BIG.bin"), content);
    Put("empty.bin", "");
    EXPECT_EQ(Get("empty.bin"), "");
    std::vector<uint8_t> data{1, 2};
    EXPECT_FALSE(platform::ReadWholeFile(Path("missing.bin"), data));
    EXPECT_TRUE(data.empty());
    EXPECT_FALSE(platform::ReadWholeFile(root_.string(), data));   // a folder
    // A FIFO, a device and a file past the limit are refused, neither waited for nor read.
    ASSERT_EQ(::mkfifo(Path("fifo.ltd").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", root_ / "zero.ltd");
    Put("huge.bin", "");
    fs::resize_file(root_ / "huge.bin", platform::kMaxReadSize + 1);   // sparse
    for (const char* name : {"fifo.ltd", "zero.ltd", "huge.bin"}) EXPECT_FALSE(platform::ReadWholeFile(Path(name), data));
    EXPECT_EQ(platform::ReadFileHead(Path("fifo.ltd"), nullptr, 0), -1);
    char head[8] = {};
    EXPECT_EQ(platform::ReadFileHead(Path("big.bin"), head, 8), 8);
    EXPECT_EQ(platform::ReadFileHead(Path("empty.bin"), head, 8), 0);
    EXPECT_EQ(platform::ReadFileHead(Path("missing.bin"), head, 8), -1);
}

TEST_F(FsTest, AtomicWriteCreatesReplacesAndKeepsMode) {
    Put("Save/save.bin", "old");
    fs::permissions(Path("Save/save.bin"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(platform::WriteFileAtomic(Path("save/SAVE.BIN"), "new!", 4), 0);
    EXPECT_EQ(Get("Save/save.bin"), "new!");
    EXPECT_EQ(fs::status(Path("Save/save.bin")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(platform::WriteFileAtomic(Path("Save/other.bin"), nullptr, 0), 0);   // empty file
    EXPECT_EQ(Get("Save/other.bin"), "");
    EXPECT_EQ(List("Save"), (std::vector<std::string>{"other.bin", "save.bin"}));
}

TEST_F(FsTest, AtomicWriteFailuresLeaveOldFileAndNoTemporary) {
    Put("Save/save.bin", "old");
    Put("file", "plain");
    // Parent is a file, the folder is missing, arguments are bad: the temporary cannot be made.
    EXPECT_EQ(platform::WriteFileAtomic(Path("file/save.bin"), "x", 1), 1);
    EXPECT_EQ(platform::WriteFileAtomic(Path("NoSuchFolder/save.bin"), "x", 1), 1);
    EXPECT_EQ(platform::WriteFileAtomic(Path("Save/save.bin"), nullptr, 5), 1);
    EXPECT_EQ(platform::WriteFileAtomic("", "x", 1), 1);
    // The target is a folder: the rename fails and the temporary is removed.
    fs::create_directories(root_ / "Save/folder.bin");
    EXPECT_EQ(platform::WriteFileAtomic(Path("Save/folder.bin"), "x", 1), 4);
    EXPECT_EQ(Get("Save/save.bin"), "old");
    EXPECT_EQ(Get("file"), "plain");
    EXPECT_EQ(List("Save"), (std::vector<std::string>{"folder.bin", "save.bin"}));
}

// A write that fails half-way (file size limit): reported, old file whole, nothing left over.
TEST_F(FsTest, AtomicWriteSurvivesAFailedWrite) {
    Put("Save/save.bin", "old contents");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string big(5000, 'n');
        _exit(platform::WriteFileAtomic(Path("Save/save.bin"), big.data(), big.size()));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(Get("Save/save.bin"), "old contents");
    EXPECT_EQ(List("Save"), (std::vector<std::string>{"save.bin"}));
}

TEST_F(FsTest, FoldersTemporariesAndProgramDirectory) {
    Put("Data/x", "");
    EXPECT_TRUE(platform::CreateDirectories(Path("DATA/Sub/Deeper")));
    EXPECT_TRUE(fs::is_directory(root_ / "Data/Sub/Deeper"));
    EXPECT_FALSE(platform::CreateDirectories(Path("Data/x/y")));   // x is a file
    std::string temporary = platform::MakeTemporaryFile("ff_test_", ".mid");
    ASSERT_FALSE(temporary.empty());
    EXPECT_TRUE(platform::FileExists(temporary));
    EXPECT_EQ(temporary.substr(temporary.size() - 4), ".mid");
    EXPECT_TRUE(platform::RemoveFile(temporary));
    EXPECT_FALSE(platform::RemoveFile(temporary));
    EXPECT_TRUE(fs::is_directory(platform::ProgramDirectory()));
    FILE* f = platform::OpenFile(Path("data/X"), "rb");
    ASSERT_NE(f, nullptr);
    fclose(f);
    EXPECT_EQ(platform::OpenFile(Path("data/X"), nullptr), nullptr);
}

} // namespace
