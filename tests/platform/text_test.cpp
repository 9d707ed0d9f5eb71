// Tests of CP932 <-> UTF-8 conversion and the CP932-aware helpers.
#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

// "表示" in CP932: the second byte of 表 is '\' (0x5C).
const std::string kHyouji = "\x95\x5C\x8E\xA6";

TEST(Text, RoundTripsJapanese) {
    EXPECT_EQ(platform::Cp932ToUtf8(kHyouji), "表示");
    EXPECT_EQ(platform::Utf8ToCp932("表示"), kHyouji);
    EXPECT_EQ(platform::Cp932ToUtf8("\xB1\xB2"), "ｱｲ");   // half-width katakana, one byte each
}

TEST(Text, BadBytesBecomeQuestionMarks) {
    EXPECT_EQ(platform::Cp932ToUtf8("a\x81"), "a?");        // lone lead byte at the end
    EXPECT_EQ(platform::Utf8ToCp932("x\xFFy"), "x?y");
}

TEST(Text, DisplayKeepsUtf8AndConvertsCp932Runs) {
    std::string mixed = "ファイル " + kHyouji + ".txt";
    EXPECT_EQ(platform::ToDisplayUtf8(mixed), "ファイル 表示.txt");
    // A half-width katakana before ASCII must not swallow the ASCII byte.
    EXPECT_EQ(platform::ToDisplayUtf8("\xB1" "A"), "ｱA");
}

TEST(Text, LowerCaseStepsOverSecondBytes) {
    // 0x83 0x41 is "ア": its second byte looks like 'A' and must stay.
    std::string s = "ABC\x83\x41Z";
    platform::Cp932ToLowerAscii(s.data(), s.size());
    EXPECT_EQ(s, "abc\x83\x41z");
    std::string lone = "AB\x81";   // a lone lead byte ends the walk without reading past it
    platform::Cp932ToLowerAscii(lone.data(), lone.size());
    EXPECT_EQ(lone, "ab\x81");
}

// Only 'A' to 'Z' change, in every locale; bytes of CP932 and UTF-8 text stay as they are.
TEST(Text, AsciiLowerCasingLeavesEveryOtherByte) {
    for (int c = 0; c < 256; ++c) {
        const char in = static_cast<char>(c);
        const char expected = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : in;
        ASSERT_EQ(platform::ToLowerAscii(in), expected) << c;
    }
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {"Escape", "escAPE", true}, {".DLL", ".dll", true}, {"", "", true},   {"KP8", "kp8", true},
        {"Space", "Spac", false},   {"\xC4", "\xE4", false},  {"[", "{", false}, {"@", "`", false},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::EqualsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " " << c.b;
}

} // namespace
