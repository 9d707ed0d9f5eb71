// bitmap_font_test.cpp -- the number texts, the font file's sections, the glyph cells drawn,
// the blurred font's hidden leading zeros and jitter, and fonts made from broken data.
#include <gtest/gtest.h>

#include "game/BitmapFont.h"
#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/FlyingDistance.h"
#include "game/GameObjectRegistry.h"
#include "game_test_util.h"
#include "platform/bmp.h"
#include "sdk/app/Rand.h"
#include "tests/scratch_dir.h"

namespace {

using namespace zuderadeDoruVAV3ed;
namespace fs = std::filesystem;

TEST(NumberTextTest, TimeAndDistanceFormatsClampAtTheirLimits) {
    struct Case {
        bool time;
        int32_t value;
        const char* expected;
    };
    const Case cases[] = {
        {true, 0, "TIME 00:00:00"},
        {true, 8345, "TIME 01:23:45"},
        {true, 599999, "TIME 99:59:99"},
        {true, 600000, "TIME 99:59:99"},
        {true, -1, "TIME 00:00:00"},
        {true, INT32_MAX, "TIME 99:59:99"},
        {false, 0, "~~~0.00m"},
        {false, (123 << 16) | 0x8000, "~123.50m"},
        {false, 1000 << 16, "1000.00m"},
        {false, 5 << 16, "~~~5.00m"},
        {false, (9999 << 16) | 0xFFFF, "9999.99m"},
        {false, 10000 << 16, "9999.99m"},
        {false, INT32_MAX, "9999.99m"},
        {false, -(3 << 16), "~~~0.00m"},
    };
    for (const Case& c : cases) {
        std::string text = "xx";
        if (c.time) FormatTime(text, c.value);
        else FormatDistance(c.value, text);
        EXPECT_EQ(text, c.expected) << (c.time ? "time " : "distance ") << c.value;
    }
}

TEST(NumberTextTest, GlyphCodedTextsMapToDigitsWithLeadingBlanks) {
    struct Case {
        int32_t leap;   // world units, a metre of 1024
        const char* glyphs;
        const char* shown;
        int blanked;
    };
    const Case cases[] = {
        {0, "!!!!+!!,", "~~~0.00m", 3},
        {(123 << 10) | 512, "!\"#$+&!,", "~123.50m", 1},
        {1000 << 10, "\"!!!+!!,", "1000.00m", 0},
    };
    for (const Case& c : cases) {
        std::string glyphs;
        CFlyingDistance::FormatLeap(c.leap, 0, glyphs);
        EXPECT_EQ(glyphs, c.glyphs);
        std::string shown = "????????";
        EXPECT_EQ(MapTextToDigitGlyphs(glyphs, shown), c.blanked);
        EXPECT_EQ(shown, c.shown);
    }
    std::string shorter = "ab";
    EXPECT_EQ(MapTextToDigitGlyphs("!!!!+!!,", shorter), 2) << "only the target's own characters";
    EXPECT_EQ(shorter, "~~");
    std::string kept = "abcdefgh";
    MapTextToDigitGlyphs("x\"y", kept);
    EXPECT_EQ(kept, "a1cdefgh");
}

// A sheet of w x h in one colour with pixel (0, 0) black: the colour key.
void WriteSheet(const fs::path& path, int w, int h) {
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4, 0xC0);
    pixels[0] = pixels[1] = pixels[2] = 0;
    gametest::WriteBytes(path, platform::EncodeBmp(pixels.data(), w * 4, w, h, false));
}

class BitmapFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSheet("plain.bmp", 80, 30);
        WriteSheet("blur.bmp", 8, 130);
        CGameObjectRegistry::GetInstance()->CreateObjects();
        ResetDataFailureCount();
    }
    void TearDown() override { CGameObjectRegistry::GetInstance()->ReleaseObjects(); }

    void WriteFile(const std::vector<std::string>& lines) { gametest::WriteLines(kBitmapTextFile, lines); }

    testutil::ScratchWorkDir dir_{"ff_bitmap_font"};
    CDrawListPlane deferred_;
};

const std::vector<std::string> kGoodFile = {
    "// fonts",       "#LoadBitmapCount 3", "#FontType 0 1 0", "#Font0 \"plain.bmp\"", "#TextSize 8 10",
    "#TextCount 10 3", "#TextSize 99 99",   "#Font2 \"plain.bmp\"", "#TextSize 4 5",   "#TextCount 20 6",
    "#Font1 \"blur.bmp\"", "#TextSize 8 10", "#TextCount 1 13", "#BlurringRadius 3",
};

TEST_F(BitmapFontTest, SectionsAreFoundByTheirOwnNumber) {
    WriteFile(kGoodFile);
    CBitmapFontSet set;
    set.Load();
    ASSERT_EQ(set.GetCount(), 3);
    EXPECT_EQ(GetDataFailureCount(), 0);
    struct Expect {
        int w, h, columns, rows;
        bool blurred;
    };
    const Expect expected[] = {{8, 10, 10, 3, false}, {8, 10, 1, 13, true}, {4, 5, 20, 6, false}};
    for (int i = 0; i < 3; ++i) {
        CBitmapFontBase* font = set.GetFont(i);
        ASSERT_TRUE(font);
        EXPECT_TRUE(font->IsLoaded());
        EXPECT_EQ(font->GetCellWidth(), expected[i].w) << i;
        EXPECT_EQ(font->GetCellHeight(), expected[i].h) << i;
        EXPECT_EQ(font->GetColumns(), expected[i].columns) << i;
        EXPECT_EQ(font->GetRows(), expected[i].rows) << i;
        EXPECT_EQ(dynamic_cast<CBlurBitmapFont*>(font) != nullptr, expected[i].blurred) << i;
    }
    EXPECT_EQ(static_cast<CBlurBitmapFont*>(set.GetFont(1))->GetRadius(), 3);
    EXPECT_EQ(set.GetFont(3), nullptr);
    EXPECT_EQ(set.GetFont(-1), nullptr);
}

TEST_F(BitmapFontTest, FontOneIsNotTakenFromTheSectionOfFontTen) {
    std::vector<std::string> lines = {"#LoadBitmapCount 11", "#FontType 0 0 0 0 0 0 0 0 0 0 0",
                                      "#Font10 \"plain.bmp\"", "#TextSize 2 2", "#TextCount 2 2",
                                      "#Font1 \"plain.bmp\"", "#TextSize 8 10", "#TextCount 10 3"};
    WriteFile(lines);
    CBitmapFontSet set;
    set.Load();
    ASSERT_EQ(set.GetCount(), 11);
    EXPECT_EQ(set.GetFont(1)->GetCellWidth(), 8);
    EXPECT_EQ(set.GetFont(10)->GetCellWidth(), 2);
    EXPECT_FALSE(set.GetFont(0)->IsLoaded());
}

TEST_F(BitmapFontTest, PlainFontDrawsOneCellPerCharacterFromItsGrid) {
    WriteFile(kGoodFile);
    CBitmapFontSet set;
    set.Load();
    set.Draw(0, "!0 }~A", 1000, 100, 50, &deferred_, 200);
    // '!' cell 0, '0' cell 15, ' ' nothing, '}' cell 92 (past the rows given), '~' nothing, 'A' cell 32
    struct Cell {
        int x, left, top;
    };
    const Cell cells[] = {{100, 0, 0}, {108, 40, 10}, {124, 16, 90}, {140, 16, 30}};
    ASSERT_EQ(deferred_.GetRecords().size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const DrawRecord& record = deferred_.GetRecords()[i];
        EXPECT_EQ(record.layer, 1000);
        EXPECT_EQ(record.kind, kBltBlendConstKeyed);
        EXPECT_EQ(record.args->param[0], 200u);
        EXPECT_EQ(record.args->pos.x, cells[i].x) << i;
        EXPECT_EQ(record.args->pos.y, 50);
        EXPECT_EQ(record.args->src.left, cells[i].left) << i;
        EXPECT_EQ(record.args->src.top, cells[i].top) << i;
        EXPECT_EQ(record.args->src.right - record.args->src.left, 8);
    }
}

// The x positions drawn by the blurred font for a text, with the random generator seeded.
std::vector<std::pair<int, int>> BlurDraw(CBitmapFontSet& set, CDrawListPlane& deferred, const std::string& text,
                                          uint32_t seed) {
    CGameObjectRegistry::GetInstance()->GetRandom()->SetSeed(seed);
    FlushDrawRecords(deferred, nullptr);
    set.Draw(1, text, 1000, 0, 100, &deferred);
    std::vector<std::pair<int, int>> drawn;
    for (const DrawRecord& record : deferred.GetRecords())
        drawn.push_back({record.args->pos.x, record.args->src.top / 10});
    return drawn;
}

TEST_F(BitmapFontTest, BlurredFontHidesUpToThreeLeadingZerosAndJittersWithinItsRadius) {
    WriteFile(kGoodFile);
    CBitmapFontSet set;
    set.Load();
    struct Case {
        std::string text;
        std::vector<int> cells;   // the glyph cells drawn, in order
    };
    const Case cases[] = {
        {"!!!!+!!,", {0, 10, 0, 0, 11}},            // 0.00m: the last integer digit shows
        {"\"!!!+!!,", {1, 0, 0, 0, 10, 0, 0, 11}},  // 1000.00m: all four digits
        {"!\"!!+!!,", {1, 0, 0, 10, 0, 0, 11}},     // a zero after a non-zero is drawn
        {"!!\"!", {1, 0}},
        {"!./", {}},                                // codes above '-' are skipped
    };
    for (const Case& c : cases) {
        auto drawn = BlurDraw(set, deferred_, c.text, 42);
        ASSERT_EQ(drawn.size(), c.cells.size()) << c.text;
        for (size_t i = 0; i < drawn.size(); ++i) EXPECT_EQ(drawn[i].second, c.cells[i]) << c.text << " " << i;
    }
    // The same seed gives the same jitter; every offset is within the radius.
    auto first = BlurDraw(set, deferred_, "\"#$%+&',", 7);
    EXPECT_EQ(first, BlurDraw(set, deferred_, "\"#$%+&',", 7));
    bool moved = false;
    for (size_t i = 0; i < first.size(); ++i) {
        const int dx = first[i].first - static_cast<int>(i) * 8;
        EXPECT_LE(std::abs(dx), 3);
        moved = moved || dx != 0;
    }
    EXPECT_TRUE(moved);
}

TEST_F(BitmapFontTest, BrokenFontDataDrawsNothingAndIsCounted) {
    struct Case {
        std::vector<std::string> lines;
        int count;           // fonts in the set
        int failures;        // data failures reported
        std::string text;
        size_t drawn;        // cells drawn with font 0
    };
    const std::string long_text(500, 'A');
    const Case cases[] = {
        {{"#LoadBitmapCount 1", "#FontType 0", "#Font0 \"missing.bmp\"", "#TextSize 8 10", "#TextCount 10 3"},
         1, 1, "AB", 2},   // the cells are recorded; a missing picture draws nothing at the flush
        {{"#LoadBitmapCount 1", "#FontType 0", "#Font0 \"plain.bmp\"", "#TextSize 0 0", "#TextCount 0 0"},
         1, 1, "AB", 0},
        {{"#LoadBitmapCount 1", "#FontType 7", "#Font0 \"plain.bmp\""}, 1, 1, "AB", 0},
        {{"#LoadBitmapCount 1", "#FontType 0"}, 1, 1, "AB", 0},
        {{"#LoadBitmapCount 1", "#FontType 0", "#Font0 \"plain.bmp\"", "#TextSize 8 10", "#TextCount 10 3"},
         1, 0, long_text, CBitmapFontBase::kMaxText},
        {{"#LoadBitmapCount -4", "#FontType 0"}, 0, 0, "AB", 0},
    };
    for (const Case& c : cases) {
        WriteFile(c.lines);
        ResetDataFailureCount();
        CBitmapFontSet set;
        set.Load();
        EXPECT_EQ(set.GetCount(), c.count) << c.lines[1];
        EXPECT_EQ(GetDataFailureCount(), c.failures) << c.lines[1];
        FlushDrawRecords(deferred_, nullptr);
        set.Draw(0, c.text, 1000, 0, 0, &deferred_);
        EXPECT_EQ(deferred_.GetRecords().size(), c.drawn) << c.lines[1];
        KTL::smart_ptr<CFastPlane> back = gametest::SolidPlane(32, 32, 0);
        FlushDrawRecords(deferred_, back.get());
    }
    fs::remove(kBitmapTextFile);
    CBitmapFontSet none;
    none.Load();
    EXPECT_EQ(none.GetCount(), 0);
    none.Draw(0, "A", 0, 0, 0, &deferred_);
    EXPECT_TRUE(deferred_.GetRecords().empty());
}

} // namespace
