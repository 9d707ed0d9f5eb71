// sprite_test.cpp -- sprite-definition files (good and broken) and the frame stepping and
// drawing of CSprite::BltNext, checked pixel by pixel against a plain model.
#include <gtest/gtest.h>

#include "sdk/draw/FastDraw.h"
#include "sdk/draw/Sprite.h"
#include "tests/draw/draw_test_util.h"

namespace {

using namespace drawtest;

constexpr uint32_t kKey = 0xFF00FF;       // magenta, the sheet's pixel (0, 0)
constexpr uint32_t kBackground = 0x0A0B0C;

// The sheet: 8 x 4, every pixel its own colour, the key colour at (0, 0), (1, 1) and (5, 2).
uint32_t SheetColour(int x, int y) {
    if ((x == 0 && y == 0) || (x == 1 && y == 1) || (x == 5 && y == 2)) return kKey;
    return 0x102030u + static_cast<uint32_t>(x) * 0x0B0000 + static_cast<uint32_t>(y) * 0x000D00 + 1;
}

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        display_ = CFastDraw::Create();
        display_->BeginChangeDisplay();
        display_->TestDisplayMode(20, 12, false, 32);
        display_->EndChangeDisplay();
        MemorySurface sheet(kSurfaceXRGB8888, 8, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x) ARGBToPixel(SheetColour(x, y), sheet.At(x, y), kSurfaceXRGB8888);
        ASSERT_EQ(sheet.Save(dir_ + "/sheet.bmp"), 0);
        destination_.CreateSurface(20, 12);
    }

    // Writes a definition file; "$" stands for the scratch folder.
    std::string Definition(const std::string& name, std::string text) {
        for (size_t at; (at = text.find('$')) != std::string::npos;) text.replace(at, 1, dir_);
        const std::string path = dir_ + "/" + name;
        WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
        return path;
    }

    void ResetDestination() {
        destination_.SetFillColor(kBackground);
        destination_.Clear(nullptr);
        expected_.assign(20 * 12, kBackground);
    }
    // The model: the frame's rectangle of the sheet at (x, y), key pixels left out unless plain.
    void ExpectFrame(const RECT& r, int x, int y, bool plain) {
        for (int sy = r.top; sy < r.bottom; ++sy)
            for (int sx = r.left; sx < r.right; ++sx) {
                const int dx = x + sx - r.left, dy = y + sy - r.top;
                if (dx < 0 || dy < 0 || dx >= 20 || dy >= 12) continue;
                if (plain || SheetColour(sx, sy) != kKey) expected_[dy * 20 + dx] = SheetColour(sx, sy);
            }
    }
    void CheckDestination() {
        CSurfaceLockGuard lock(*destination_.GetSurfaceInfo());
        ASSERT_FALSE(lock.Failed());
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(PixelToARGB(destination_.GetSurfaceInfo()->PixelAt(x, y), kSurfaceXRGB8888) & 0xFFFFFF,
                          expected_[y * 20 + x])
                    << "at " << x << "," << y;
    }

    const Scratch scratch_{"sprite"};
    const std::string dir_ = scratch_.path;
    KTL::smart_ptr<CFastDraw> display_;
    CFastPlane destination_;
    std::vector<uint32_t> expected_;
};

const char* kGoodDefinition =
    "// test sprites\r\n"
    "#Plane \"$/sheet.bmp\"\r\n"
    "#Plane \"$/missing.bmp\"\r\n"
    "\r\n"
    "#Sprite 0\r\n"
    "#Frame 0, 0, 0, 4, 4, 0, 0\r\n"
    "#Frame 0, 4, 0, 8, 4, -2, 1   // a trailing comment\r\n"
    "#Frame\t0 2 2 6 4\t3 -1 1\r\n"
    "#Sprite 2\r\n"
    "#Frame 0, 0, 0, 8, 4\r\n"
    "#Sprite 3\r\n"
    "#Frame 1, 0, 0, 4, 4\r\n";

TEST_F(SpriteTest, ReadsPlanesSpritesAndFrames) {
    CSpriteChara chara;
    ASSERT_EQ(chara.Load(Definition("good.txt", kGoodDefinition)), 0);
    EXPECT_EQ(chara.GetPlaneCount(), 2);
    EXPECT_TRUE(chara.GetPlane(0)->GetSurfaceInfo()->IsValid());
    EXPECT_FALSE(chara.GetPlane(1)->GetSurfaceInfo()->IsValid());   // its picture is missing
    EXPECT_EQ(chara.GetSpriteCount(), 4);
    EXPECT_EQ(chara.GetFrameCount(0), 3);
    EXPECT_EQ(chara.GetFrameCount(1), 0);
    EXPECT_EQ(chara.GetFrameCount(2), 1);
    EXPECT_EQ(chara.GetFrameCount(-1), 0);
    EXPECT_EQ(chara.GetFrameCount(4), 0);
    const CSpriteFrame* frame = chara.GetFrame(0, 1);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->rect.left, 4);
    EXPECT_EQ(frame->rect.right, 8);
    EXPECT_EQ(frame->Width(), 4);
    EXPECT_EQ(frame->Height(), 4);
    EXPECT_EQ(frame->offset_x, -2);
    EXPECT_EQ(frame->offset_y, 1);
    EXPECT_FALSE(frame->plain);
    EXPECT_TRUE(chara.GetFrame(0, 2)->plain);
    EXPECT_EQ(chara.GetFrame(0, 3), nullptr);
    EXPECT_EQ(chara.GetFrame(2, 0)->offset_x, 0);
}

TEST_F(SpriteTest, BrokenLinesAreSkippedAndTheRestLoads) {
    CSpriteChara chara;
    ASSERT_EQ(chara.Load(Definition("broken.txt",
                                    "#Frame 0 0 0 4 4\n"            // before any sprite
                                    "#Plane\n"                      // no file name
                                    "#Plane \"$/sheet.bmp\"\n"
                                    "#Sprite -1\n"
                                    "#Frame 0 0 0 4 4\n"            // belongs to the bad sprite
                                    "#Sprite 99999\n"
                                    "#Sprite x\n"
                                    "#Sprite 1\n"
                                    "#Frame 0 0 0 4\n"              // a field short
                                    "#Frame 0 0 0 4 4 1\n"          // an offset without its pair
                                    "#Frame 0 0 0 4 4 0 0 0 7\n"    // a field too many
                                    "#Frame 1 0 0 4 4\n"            // no such plane
                                    "#Frame -1 0 0 4 4\n"
                                    "#Frame 0 4 0 4 4\n"            // empty rectangle
                                    "#Frame 0 0 3 4 1\n"            // upside down
                                    "#Frame 0 0 0 2 2 junk\n"
                                    "#Frame 0 -2147483648 0 2147483647 4\n"   // width beyond 32 bits
                                    "#Frame 0 -1 0 4 4\n"          // outside any picture
                                    "#Frame 0 0 0 4 16385\n"
                                    "#Frames 0 0 0 2 2\n"           // not a keyword of ours
                                    "#Nonsense\n"
                                    "#Frame 0 1 1 3 3\n"            // the one good frame
                                    "\xE3\x81\x82\x82\xA0\n")),     // stray text
              0);
    EXPECT_EQ(chara.GetPlaneCount(), 1);
    EXPECT_EQ(chara.GetSpriteCount(), 2);
    EXPECT_EQ(chara.GetFrameCount(0), 0);
    ASSERT_EQ(chara.GetFrameCount(1), 1);
    EXPECT_EQ(chara.GetFrame(1, 0)->rect.left, 1);
}

TEST_F(SpriteTest, AMissingFileKeepsTheDefinition) {
    CSpriteChara chara;
    ASSERT_EQ(chara.Load(Definition("good.txt", kGoodDefinition)), 0);
    EXPECT_EQ(chara.Load(dir_ + "/nothing.txt"), 1);
    EXPECT_EQ(chara.GetFrameCount(0), 3);
    ASSERT_EQ(chara.Load(Definition("empty.txt", "")), 0);   // an empty file is an empty definition
    EXPECT_EQ(chara.GetSpriteCount(), 0);
}

TEST_F(SpriteTest, BltNextDrawsEachFrameThenWraps) {
    KTL::smart_ptr<CSpriteChara> chara(new CSpriteChara());
    ASSERT_EQ(chara->Load(Definition("good.txt", kGoodDefinition)), 0);
    CSprite sprite(chara);
    const RECT frames[3] = {{0, 0, 4, 4}, {4, 0, 8, 4}, {2, 2, 6, 4}};
    const int off_x[3] = {0, -2, 3}, off_y[3] = {0, 1, -1};
    for (int step = 0; step < 7; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int f = step % 3;
        EXPECT_EQ(sprite.GetFrameNo(), f);
        EXPECT_EQ(sprite.IsLastFrame(), f == 2);
        ResetDestination();
        EXPECT_EQ(sprite.BltNext(&destination_, 5, 3, nullptr, nullptr), 3);
        ExpectFrame(frames[f], 5 + off_x[f], 3 + off_y[f], f == 2);
        CheckDestination();
    }
}

TEST_F(SpriteTest, SpriteNumbersFramesAndDefinitions) {
    KTL::smart_ptr<CSpriteChara> chara(new CSpriteChara());
    ASSERT_EQ(chara->Load(Definition("good.txt", kGoodDefinition)), 0);
    CSprite sprite;
    EXPECT_EQ(sprite.GetFrameCount(), 0);
    EXPECT_EQ(sprite.GetCurrentFrame(), nullptr);
    EXPECT_EQ(sprite.BltNext(&destination_, 0, 0, nullptr, nullptr), 0);   // no definition
    sprite.SetSpriteNo(2);
    sprite.SetFrameNo(5);
    sprite.SetChara(chara);   // attaching resets both
    EXPECT_EQ(sprite.GetSpriteNo(), 0);
    EXPECT_EQ(sprite.GetFrameNo(), 0);
    sprite.BltNext(&destination_, 0, 0, nullptr, nullptr);
    sprite.SetSpriteNo(0);    // the same number: the animation goes on
    EXPECT_EQ(sprite.GetFrameNo(), 1);
    EXPECT_EQ(sprite.GetCurrentFrame()->rect.left, 4);
    sprite.SetSpriteNo(2);    // another number starts at its first frame
    EXPECT_EQ(sprite.GetFrameNo(), 0);
    EXPECT_TRUE(sprite.IsLastFrame());
    // A frame index set past the end starts over instead of reading past the frames.
    sprite.SetSpriteNo(0);
    sprite.SetFrameNo(17);
    EXPECT_EQ(sprite.GetCurrentFrame(), nullptr);
    ResetDestination();
    EXPECT_EQ(sprite.BltNext(&destination_, 1, 1, nullptr, nullptr), 3);
    ExpectFrame(RECT{0, 0, 4, 4}, 1, 1, false);
    CheckDestination();
    EXPECT_EQ(sprite.GetFrameNo(), 1);
}

TEST_F(SpriteTest, EmptyOrUnknownSpritesDrawNothing) {
    KTL::smart_ptr<CSpriteChara> chara(new CSpriteChara());
    ASSERT_EQ(chara->Load(Definition("good.txt", kGoodDefinition)), 0);
    CSprite sprite(chara);
    ResetDestination();
    for (int number : {1, 4, 99, -3, 1 << 30}) {
        sprite.SetSpriteNo(number);
        EXPECT_EQ(sprite.BltNext(&destination_, 2, 2, nullptr, nullptr), 0) << number;
        EXPECT_EQ(sprite.GetFrameNo(), 0);
        EXPECT_FALSE(sprite.IsLastFrame());
    }
    // Offsets that push the position past the 32-bit range draw nothing (and never wrap round).
    const std::string far = Definition("far.txt", "#Plane \"$/sheet.bmp\"\n#Sprite 0\n"
                                                  "#Frame 0 0 0 4 4 2147483647 -2147483648\n"
                                                  "#Frame 0 0 0 4 4 -2147483648 2147483647\n");
    KTL::smart_ptr<CSpriteChara> far_chara(new CSpriteChara());
    ASSERT_EQ(far_chara->Load(far), 0);
    CSprite far_sprite(far_chara);
    EXPECT_EQ(far_sprite.BltNext(&destination_, 10, -10, nullptr, nullptr), 2);
    EXPECT_EQ(far_sprite.BltNext(&destination_, -10, 10, nullptr, nullptr), 2);
    // A frame cut from a plane whose picture is missing: counted, stepped, not drawn.
    sprite.SetSpriteNo(3);
    EXPECT_EQ(sprite.BltNext(&destination_, 2, 2, nullptr, nullptr), 1);
    EXPECT_EQ(sprite.BltNext(nullptr, 2, 2, nullptr, nullptr), 1);
    CheckDestination();
}

TEST_F(SpriteTest, StretchAndClip) {
    KTL::smart_ptr<CSpriteChara> chara(new CSpriteChara());
    ASSERT_EQ(chara->Load(Definition("good.txt", kGoodDefinition)), 0);
    CSprite sprite(chara);
    sprite.SetSpriteNo(2);   // the whole sheet, keyed
    ResetDestination();
    const SIZE doubled{16, 8};
    EXPECT_EQ(sprite.BltNext(&destination_, 2, 1, &doubled, nullptr), 1);
    // Every sheet pixel becomes a 2 x 2 block; key pixels stay out.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            if (SheetColour(x / 2, y / 2) != kKey) expected_[(1 + y) * 20 + 2 + x] = SheetColour(x / 2, y / 2);
    CheckDestination();

    ResetDestination();
    const RECT clip{4, 2, 7, 4};
    EXPECT_EQ(sprite.BltNext(&destination_, 2, 1, nullptr, &clip), 1);
    ExpectFrame(RECT{2, 1, 5, 3}, 4, 2, false);
    CheckDestination();
}

} // namespace
