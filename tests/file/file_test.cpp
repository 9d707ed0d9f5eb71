// Tests of CFile: whole-file images, lines, bytes, streams, atomic writes, temporaries, archives.
#include "sdk/file/File.h"

#include <cstring>

#include "file_test_util.h"

using namespace zuderadeDoruVAV3ed;

namespace {

using FileTest = ScratchFolderTest;

TEST_F(FileTest, ReadsWholeFilesByAnySpellingOfTheName) {
    std::string content("BM\0\x01\xFF\r\nrest", 10);
    Put("GameData/Title/Image/Logo.bmp", content);
    CFile file;
    ASSERT_EQ(file.ReadWithArchive("gamedata\\TITLE\\image\\logo.BMP"), 0);
    EXPECT_EQ(file.GetName(), "gamedata\\TITLE\\image\\logo.BMP");
    ASSERT_EQ(file.GetSize(), content.size());
    EXPECT_EQ(std::memcmp(file.GetData(), content.data(), content.size()), 0);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetData(), nullptr);
    EXPECT_EQ(file.GetSize(), 0u);

    Put("empty.txt", "");
    ASSERT_EQ(file.ReadWithArchive("empty.txt"), 0);   // an empty file is still read
    EXPECT_TRUE(file.HasImage());
    std::string line;
    EXPECT_EQ(file.ReadTextLine(line), 1);
}

TEST_F(FileTest, MissingFileAndNoImage) {
    CFile file;
    std::string line = "kept";
    char byte = 'k';
    EXPECT_EQ(file.ReadTextLine(line), 3);
    EXPECT_EQ(file.ReadBytes(&byte, 1), 2);
    EXPECT_EQ(file.ReadWithArchive("GameData/Nothing/here.txt"), 1);
    EXPECT_EQ(file.ReadWithArchive("nothing.txt"), 1);
    std::filesystem::create_directories("folder.txt");
    EXPECT_EQ(file.ReadWithArchive("folder.txt"), 1);   // a folder is not a file
    EXPECT_EQ(file.GetData(), nullptr);
    EXPECT_EQ(line, "kept");
    EXPECT_EQ(byte, 'k');
    EXPECT_TRUE(logged_.empty());   // a plain miss is the caller's to report
}

TEST_F(FileTest, TextLinesWithoutTheirEnds) {
    Put("lines.txt", "#A 1\r\nplain\n\r\n\nlast\r");
    CFile file;
    ASSERT_EQ(file.ReadWithArchive("lines.txt"), 0);
    std::vector<std::string> lines;
    std::string line;
    while (file.ReadTextLine(line) == 0) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"#A 1", "plain", "", "", "last"}));
    EXPECT_EQ(file.ReadTextLine(line), 1);
}

TEST_F(FileTest, ReadBytesNeverReadsPastTheImage) {
    Put("save.bin", "0123456789");
    CFile file;
    ASSERT_EQ(file.ReadWithArchive("save.bin"), 0);
    char buffer[16] = {};
    EXPECT_EQ(file.ReadBytes(buffer, 4), 0);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(file.ReadBytes(buffer, 7), 1);   // only 6 left: nothing copied, nothing moved
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(file.ReadBytes(buffer, 6), 0);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(file.ReadBytes(buffer, 1), 1);   // at the end
    EXPECT_EQ(file.ReadBytes(buffer, 0), 0);
    EXPECT_EQ(file.ReadBytes(nullptr, 0), 0);
}

TEST_F(FileTest, StreamsForReadingAndWriting) {
    CFile file;
    EXPECT_EQ(file.Read("SaveData/save.bin", "wb"), 1);   // no folder
    std::filesystem::create_directories("SaveData");
    ASSERT_EQ(file.Read("savedata/save.bin", "wb"), 0);   // created in the existing folder
    ASSERT_NE(file.GetStream(), nullptr);
    std::fputs("abc", file.GetStream());
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetStream(), nullptr);
    EXPECT_EQ(Slurp("SaveData/save.bin"), "abc");
    ASSERT_EQ(file.Read("SAVEDATA/SAVE.BIN", "rb"), 0);
    std::fseek(file.GetStream(), 1, SEEK_SET);
    EXPECT_EQ(std::fgetc(file.GetStream()), 'b');
    EXPECT_EQ(file.Read("missing.bin", "rb"), 1);
    EXPECT_EQ(file.GetStream(), nullptr);
}

TEST_F(FileTest, WriteReplacesAtomicallyAndReportsFailures) {
    Put("SaveData/save.bin", "old");
    const char data[] = "new data";
    EXPECT_EQ(CFile::Write("SaveData/save.bin", data, 8), 0);
    EXPECT_EQ(Slurp("SaveData/save.bin"), "new data");
    Put("plainfile", "x");
    EXPECT_NE(CFile::Write("plainfile/save.bin", data, 8), 0);   // parent is a file
    EXPECT_NE(CFile::Write("NoFolder/save.bin", data, 8), 0);
    EXPECT_NE(CFile::Write("SaveData/save.bin", nullptr, 8), 0);
    EXPECT_TRUE(LoggedContains("CFile::Write"));
    EXPECT_EQ(Slurp("SaveData/save.bin"), "new data");
}

TEST_F(FileTest, CreateTemporaryKeepsDiskNamesAndWritesOthers) {
    CFile file;
    EXPECT_EQ(file.CreateTemporary(false), 1);   // no image
    Put("Sound/BGM/Track.mid", "MThd....");
    ASSERT_EQ(file.ReadWithArchive("Sound/BGM/Track.mid"), 0);
    EXPECT_EQ(file.CreateTemporary(false), 0);
    EXPECT_EQ(file.GetName(), "Sound/BGM/Track.mid");
    EXPECT_EQ(file.GetData(), nullptr);   // the image was freed
    EXPECT_EQ(file.CreateTemporary(false), 1);

    ASSERT_EQ(file.ReadWithArchive("Sound/BGM/Track.mid"), 0);
    ASSERT_EQ(file.CreateTemporary(true), 0);
    std::string temporary = file.GetName();
    EXPECT_NE(temporary, "Sound/BGM/Track.mid");
    EXPECT_EQ(temporary.substr(temporary.size() - 4), ".mid");
    EXPECT_EQ(Slurp(temporary), "MThd....");
    file.Close();
    EXPECT_FALSE(std::filesystem::exists(temporary));   // deleted by Close
    EXPECT_TRUE(std::filesystem::exists("Sound/BGM/Track.mid"));
}

TEST_F(FileTest, ArchiveOfAMissingFolderIsRecognisedButNotRead) {
    std::filesystem::create_directories("GameData");
    Put("GameData/Stage.dat", std::string("veskpack") + std::string(32, '\0'));
    CFile file;
    EXPECT_EQ(file.ReadWithArchive("GameData/Stage/Game/LoadList/Fish.ltd"), 2);
    EXPECT_TRUE(LoggedContains("veskpack"));
    EXPECT_TRUE(LoggedContains("GameData/Stage.dat"));
    EXPECT_EQ(file.GetData(), nullptr);

    // The archive is named after the first missing folder, in any case.
    std::filesystem::create_directories("GameData/Sound");
    Put("GameData/Sound/SE.DAT", "duzeziVe");
    logged_.clear();
    EXPECT_EQ(file.ReadWithArchive("gamedata/sound/se/LoadList/SE.vll"), 2);
    EXPECT_TRUE(LoggedContains("duzeziVe"));

    Put("GameData/Junk.dat", "notmagic");
    logged_.clear();
    EXPECT_EQ(file.ReadWithArchive("GameData/Junk/a.txt"), 2);
    EXPECT_TRUE(LoggedContains("GameData/Junk.dat"));
    Put("GameData/Short.dat", "ves");
    EXPECT_EQ(file.ReadWithArchive("GameData/Short/a.txt"), 2);

    // The folder exists: its archive does not stand in for a file that is simply missing.
    std::filesystem::create_directories("GameData/Title");
    Put("GameData/Title.dat", "vovoreRa");
    logged_.clear();
    EXPECT_EQ(file.ReadWithArchive("GameData/Title/missing.bmp"), 1);
    EXPECT_TRUE(logged_.empty());
    // A file on disk wins over any archive.
    Put("GameData/Title/here.bmp", "BM");
    EXPECT_EQ(file.ReadWithArchive("GameData/Title/here.bmp"), 0);
}

TEST_F(FileTest, MakeFullNameIsAbsoluteAndResolved) {
    Put("GameData/Sound/a.wav", "RIFF");
    std::string full = CFile::MakeFullName("gamedata\\sound\\A.WAV");
    EXPECT_EQ(full, (std::filesystem::current_path() / "GameData/Sound/a.wav").string());
    EXPECT_EQ(CFile::MakeFullName("New/x.txt"), (std::filesystem::current_path() / "New/x.txt").string());
}

} // namespace
