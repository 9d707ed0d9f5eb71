// Tests of CStringScanner on real keyword lines, and of a keyword file read through CFile.
#include "sdk/file/StringScanner.h"

#include <climits>

#include "file_test_util.h"
#include "sdk/file/File.h"

using namespace zuderadeDoruVAV3ed;

namespace {

TEST(StringScanner, KeywordsMatchIgnoringCaseAfterSeparators) {
    CStringScanner s(" \t,#startSTAGE 2");
    EXPECT_FALSE(s.IsMatch("#FinalStage"));
    EXPECT_TRUE(s.IsMatch("#StartStage"));
    int n = 0;
    EXPECT_EQ(s.GetNum(n), 0);
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(s.IsEnd());
    EXPECT_FALSE(s.IsMatch("#StartStage"));   // nothing left
    EXPECT_FALSE(s.IsMatch(""));
}

TEST(StringScanner, PrefixKeywordsAreTestedLongestFirst) {
    // "#Wait" is a prefix of "#WaitInKey": readers test the longer one first.
    CStringScanner s("#WaitInKey 5");
    EXPECT_TRUE(s.IsMatch("#WaitInKey"));
    int button = 0;
    EXPECT_EQ(s.GetNum(button), 0);
    EXPECT_EQ(button, 5);
    s.SetText("#Wait 30");
    EXPECT_FALSE(s.IsMatch("#WaitInKey"));
    EXPECT_TRUE(s.IsMatch("#Wait"));   // the failed match left the position alone
    int frames = 0;
    EXPECT_EQ(s.GetNum(frames), 0);
    EXPECT_EQ(frames, 30);
}

TEST(StringScanner, NumbersWithCommasAndNegatives) {
    CStringScanner s("#JumpHiScoreDefault 100,-200 ,\t300,");
    ASSERT_TRUE(s.IsMatch("#JumpHiScoreDefault"));
    int a = 0, b = 0, c = 0, d = 77;
    EXPECT_EQ(s.GetNum(a), 0);
    EXPECT_EQ(s.GetNum(b), 0);
    EXPECT_EQ(s.GetNum(c), 0);
    EXPECT_EQ(s.GetNum(d), 1);   // the line ended: d unchanged
    EXPECT_EQ(a, 100);
    EXPECT_EQ(b, -200);
    EXPECT_EQ(c, 300);
    EXPECT_EQ(d, 77);
}

TEST(StringScanner, BadOrOutOfRangeNumbersFailAndChangeNothing) {
    int n = 5;
    CStringScanner s("abc 99999999999 - -x 2147483647 -2147483648");
    EXPECT_EQ(s.GetNum(n), 1);   // a word
    EXPECT_TRUE(s.IsMatch("abc"));
    EXPECT_EQ(s.GetNum(n), 1);   // too large for an int
    EXPECT_EQ(n, 5);
    std::string word;
    EXPECT_EQ(s.GetStr(word), 0);   // the position stayed at the big number
    EXPECT_EQ(word, "99999999999");
    EXPECT_EQ(s.GetNum(n), 1);      // a lone minus
    EXPECT_TRUE(s.IsMatch("-"));
    EXPECT_EQ(s.GetNum(n), 1);      // "-x"
    EXPECT_TRUE(s.IsMatch("-x"));
    EXPECT_EQ(s.GetNum(n), 0);
    EXPECT_EQ(n, INT_MAX);
    EXPECT_EQ(s.GetNum(n), 0);
    EXPECT_EQ(n, INT_MIN);
    float f = 1.5f;
    s.SetText("1e999999 nan inf 1" + std::string(60, '0'));
    EXPECT_EQ(s.GetFloat(f), 0);    // reads "1" only: no exponents
    EXPECT_EQ(f, 1.0f);
    EXPECT_TRUE(s.IsMatch("e999999"));
    EXPECT_EQ(s.GetFloat(f), 1);    // "nan"
    EXPECT_TRUE(s.IsMatch("nan"));
    EXPECT_EQ(s.GetFloat(f), 1);    // "inf"
    EXPECT_TRUE(s.IsMatch("inf"));
    EXPECT_EQ(s.GetFloat(f), 1);    // 1e60 does not fit a float
    EXPECT_EQ(f, 1.0f);
}

TEST(StringScanner, Decimals) {
    CStringScanner s("#Message \"Mes01.bmp\" 0.25 -1.5 3 .5 -.75 2.");
    ASSERT_TRUE(s.IsMatch("#Message"));
    std::string file;
    ASSERT_EQ(s.GetStr(file), 0);
    EXPECT_EQ(file, "Mes01.bmp");
    float values[6] = {};
    for (float& v : values) EXPECT_EQ(s.GetFloat(v), 0);
    EXPECT_FLOAT_EQ(values[0], 0.25f);
    EXPECT_FLOAT_EQ(values[1], -1.5f);
    EXPECT_FLOAT_EQ(values[2], 3.0f);
    EXPECT_FLOAT_EQ(values[3], 0.5f);
    EXPECT_FLOAT_EQ(values[4], -0.75f);
    EXPECT_FLOAT_EQ(values[5], 2.0f);
    // (int)(value * 1024), as the readers store speeds.
    EXPECT_EQ(static_cast<int>(values[0] * 1024), 256);
}

TEST(StringScanner, QuotedAndBareStrings) {
    // 表 (0x95 0x5C) has '\' as its second byte; a quoted name may hold blanks and commas.
    std::string cp932 = "\x95\x5C\x8E\xA6";
    CStringScanner s("\"Game Data/a,b.bmp\" bare," + cp932 + ".bmp \"unclosed " + cp932);
    std::string a, b, c, d, e = "kept";
    EXPECT_EQ(s.GetStr(a), 0);
    EXPECT_EQ(s.GetStr(b), 0);
    EXPECT_EQ(s.GetStr(c), 0);
    EXPECT_EQ(s.GetStr(d), 0);
    EXPECT_EQ(s.GetStr(e), 1);
    EXPECT_EQ(a, "Game Data/a,b.bmp");
    EXPECT_EQ(b, "bare");
    EXPECT_EQ(c, cp932 + ".bmp");
    EXPECT_EQ(d, "unclosed " + cp932);   // an unclosed quote runs to the end of the line
    EXPECT_EQ(e, "kept");
    s.SetText("\"\"");
    EXPECT_EQ(s.GetStr(e), 0);
    EXPECT_EQ(e, "");
    s.SetText("word\x81");   // a lone lead byte at the end
    EXPECT_EQ(s.GetStr(e), 0);
    EXPECT_EQ(e, "word\x81");
}

TEST(StringScanner, CommentLines) {
    // "// 設定" in CP932.
    CStringScanner s("// \x90\xDD\x92\xE8 #StartStage 3");
    EXPECT_TRUE(s.IsMatch("//"));
    s.SetText("\t//#StartStage 3");
    EXPECT_TRUE(s.IsMatch("//"));
    s.SetText("#StartStage 3 // trailing");
    EXPECT_FALSE(s.IsMatch("//"));
}

using KeywordFileTest = ScratchFolderTest;

// A settings file as the game reads it: CP932, CR LF, comments, keywords in any case.
TEST_F(KeywordFileTest, ReadsASettingsFileLineByLine) {
    Put("GameData/Initialize/LoadList/Init.ltd",
        "// \x8F\x89\x8A\xFA\x90\xDD\x92\xE8\r\n"   // "// 初期設定"
        "#StartStage 1\r\n"
        "#finalstage\t3\r\n"
        "\r\n"
        "#JumpHiScoreDefault 10,20,30\r\n"
        "#TimeHiScoreDefault -1 2 3 // with a tail\r\n"
        "#Unknown 5\r\n"
        "#BGMFileCount 2\r\n"
        "#BGMFile \"Title.mid\"");
    CFile file;
    ASSERT_EQ(file.ReadWithArchive("gamedata/initialize/loadlist/init.ltd"), 0);
    int start = 0, final_stage = 0, jump[3] = {}, time[3] = {}, count = 0;
    std::string bgm;
    int comments = 0;
    std::string line;
    CStringScanner s;
    while (file.ReadTextLine(line) == 0) {
        s.SetText(line);
        if (s.IsMatch("//")) {
            ++comments;
        } else if (s.IsMatch("#StartStage")) {
            s.GetNum(start);
        } else if (s.IsMatch("#FinalStage")) {
            s.GetNum(final_stage);
        } else if (s.IsMatch("#JumpHiScoreDefault")) {
            for (int& v : jump) s.GetNum(v);
        } else if (s.IsMatch("#TimeHiScoreDefault")) {
            for (int& v : time) s.GetNum(v);
        } else if (s.IsMatch("#BGMFileCount")) {
            s.GetNum(count);
        } else if (s.IsMatch("#BGMFile")) {
            s.GetStr(bgm);
        }
    }
    EXPECT_EQ(comments, 1);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(final_stage, 3);
    EXPECT_EQ(jump[0] + jump[1] + jump[2], 60);
    EXPECT_EQ(time[0], -1);
    EXPECT_EQ(time[2], 3);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(bgm, "Title.mid");
}

} // namespace
