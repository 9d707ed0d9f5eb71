// Tests of the path helpers, CP932 lower-casing and CStringMap with its text file form.
#include "sdk/file/PathHelper.h"
#include "sdk/file/StringMap.h"

#include "file_test_util.h"

using namespace zuderadeDoruVAV3ed;

namespace {

TEST(PathHelper, SuffixOfTheLastComponentOnly) {
    EXPECT_EQ(PathHelper::GetSuffix("GameData/Sound/BGM/Title.OGG"), "OGG");
    EXPECT_EQ(PathHelper::GetSuffix("a.tar.gz"), "gz");
    EXPECT_EQ(PathHelper::GetSuffix("GameData\\v1.2\\noext"), "");
    EXPECT_EQ(PathHelper::GetSuffix("GameData/v1.2/noext"), "");
    EXPECT_EQ(PathHelper::GetSuffix("dot."), "");
    EXPECT_EQ(PathHelper::GetSuffix(""), "");
    // 表 ends in 0x5C, which is not a separator there.
    EXPECT_EQ(PathHelper::GetSuffix("x.\x95\x5C"), "\x95\x5C");
}

TEST(PathHelper, ToLowerShiftJisStepsOverSecondBytes) {
    std::string s = "TITLE.OGG\x83\x41\x83\x5A" "ABC";   // アゼ: second bytes 'A' and 'Z'
    ToLowerShiftJis(s);
    EXPECT_EQ(s, "title.ogg\x83\x41\x83\x5A" "abc");
    char c_string[] = "MID\x81";   // lone lead byte: stops at the terminator
    ToLowerShiftJis(c_string);
    EXPECT_STREQ(c_string, "mid\x81");
    ToLowerShiftJis(static_cast<char*>(nullptr));
}

TEST(StringMap, OrderedBytewise) {
    CStringMap map;
    map.SetStr("wav", "A");
    map.SetStr("ogg", "CVorbisStream");
    map.SetStr("\x82\xA0", "high");   // bytes >= 0x80 sort after ASCII
    map.SetStr("Ogg", "upper");
    map.SetStr("ogg", "CVorbisStream2");
    std::vector<std::string> keys;
    for (const auto& [key, value] : map) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Ogg", "ogg", "wav", "\x82\xA0"}));
    std::string value = "unchanged";
    EXPECT_TRUE(map.GetStr("ogg", value));
    EXPECT_EQ(value, "CVorbisStream2");
    EXPECT_FALSE(map.GetStr("mp3", value));
    EXPECT_EQ(value, "CVorbisStream2");
}

using StringMapFileTest = ScratchFolderTest;

TEST_F(StringMapFileTest, SavesAndLoadsItsTextForm) {
    CStringMap map;
    map.SetStr("ogg", "CVorbisStream");
    map.SetStr("key with space", "value, with comma");
    map.SetStr("empty", "");
    ASSERT_EQ(map.Save("map.txt"), 0);
    CStringMap loaded;
    ASSERT_EQ(loaded.Load("MAP.TXT"), 0);
    EXPECT_EQ(loaded.GetMap(), map.GetMap());

    Put("hand.txt", "// comment\r\nogg CVorbisStream\r\nlonely\r\n\"a b\" c d\r\n");
    CStringMap hand;
    ASSERT_EQ(hand.Load("hand.txt"), 0);
    EXPECT_EQ(hand.GetCount(), 2u);
    std::string value;
    EXPECT_TRUE(hand.GetStr("a b", value));
    EXPECT_EQ(value, "c");
    EXPECT_NE(hand.Load("missing.txt"), 0);
}

TEST_F(StringMapFileTest, AnEntryThatCannotBeWrittenLeavesTheFileAlone) {
    Put("map.txt", "old contents");
    CStringMap map;
    map.SetStr("quote", "say \"hi\"");
    EXPECT_NE(map.Save("map.txt"), 0);
    EXPECT_EQ(Slurp("map.txt"), "old contents");
    EXPECT_FALSE(logged_.empty());
}

} // namespace
