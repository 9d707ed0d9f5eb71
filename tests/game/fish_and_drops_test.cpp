// fish_and_drops_test.cpp -- the fish manager (placing, waking, swimming, leaving, the cursor,
// a retry, broken fish files) and the water-drop pool (full pool, low drops, the circle).
#include <gtest/gtest.h>

#include <cmath>

#include "game/DataFiles.h"
#include "game/FishManager.h"
#include "game/WaterDrop.h"
#include "play_fixture.h"
#include "sdk/app/Rand.h"

namespace {

using namespace playtest;

class FishManagerTest : public PlayTest {
protected:
    // A player at x = 0 px with a 16 px wide body; fish 16 x 8 (half width 8 px); kind 0 swims
    // 2 px a frame at level 0 and 3 px at level 1.
    void SetUp() override {
        PlayTest::SetUp();
        WriteSprites("body.txt", {{0, 1}}, 16, 8);
        gametest::WriteLines("Hopfin.ltd", {"#LoadSpriteCharFileCount 2", "#MaxSprite 4", "#SpriteText \"body.txt\"",
                                            "#InitSpriteNo 0", "#InitPos 0 -100"});
        player_.CreateFrom(&camera_, "Hopfin.ltd");
        WriteSprites("fish.txt", {{0, 1}, {3, 2}}, 16, 8);
        gametest::WriteLines("Fish_0.txt", {"#Level 2", "#Newness 1 1 5 5 10 2.0", "#Newness 1 1 5 5 10 3.0", "#SpNo 3"});
    }
    void Create(const std::vector<std::string>& lines, const std::string& sprites = "fish.txt") {
        gametest::WriteLines("Fish.ltd", lines);
        fish_ = CFishManager();
        fish_.CreateFrom(&camera_, sprites, "Fish.ltd", "Fish_");
        fish_.SetPlayer(&player_);
    }
    void Place(const std::vector<std::string>& fish) {
        std::vector<std::string> lines{"#MaxFish " + std::to_string(fish.size()), "#LoadFishParam 1 0",
                                       "#CursolImageFile \"cursor.bmp\"", "#CursolShowRange 100 500"};
        lines.insert(lines.end(), fish.begin(), fish.end());
        gametest::SolidPlane(16, 10, 0xFFFF00)->Save("cursor.bmp");
        Create(lines);
    }
    CPlayerFish player_;
    CFishManager fish_;
};

TEST_F(FishManagerTest, AFishWakesWhenItsLeftEdgeComesWithin320PixelsOfThePlayersRightEdge) {
    struct Case {
        int x;   // pixels; the player's right edge at 8, the fish's left edge at x - 8
        int motion, level;
        int32_t x_after;   // after one Move, pixels x 1024
        uint8_t active;
    };
    const Case cases[] = {{336, 0, 0, 334 * 1024, 1}, {337, 0, 0, 337 * 1024, 0}, {336, 1, 0, 336 * 1024, 1},
                          {100, 0, 1, 97 * 1024, 1},  {-641, 0, 0, -641 * 1024, 1}, {-640, 0, 0, -642 * 1024, 1}};
    for (const Case& c : cases) {
        Place({"#SetFish 0 " + std::to_string(c.level) + " " + std::to_string(c.motion) + " " + std::to_string(c.x) +
               " -50"});
        fish_.Move();
        const FishRecord& f = fish_.GetFish()[0];
        EXPECT_EQ(f.x, c.x_after) << c.x;
        EXPECT_EQ(f.active, c.active) << c.x;
        EXPECT_EQ(f.alive, c.x < -640 ? 0 : 1) << c.x << ": gone only past -640 px";
        EXPECT_EQ(f.y, -50 * 1024);
    }
}

TEST_F(FishManagerTest, EveryFishTakesTheSizeOfTheFirstFrameOfSpriteZeroAndItsKindsSprite) {
    Place({"#SetFish 0 0 0 100 -50", "#SetFish 0 1 0 200 -50"});
    for (const FishRecord& f : fish_.GetFish()) {
        EXPECT_EQ(f.half_width, 8 * 1024);
        EXPECT_EQ(f.half_height, 4 * 1024);
        EXPECT_EQ(f.sprite->GetSpriteNo(), 3);
    }
}

TEST_F(FishManagerTest, TheCursorMarksLiveFishStrictlyInsideTheRange) {
    struct Case {
        int x;
        bool alive;
        bool cursor;
    };
    for (const Case c : {Case{100, true, false}, Case{101, true, true}, Case{499, true, true}, Case{500, true, false},
                         Case{300, false, false}}) {
        Place({"#SetFish 0 0 1 " + std::to_string(c.x) + " -50"});
        fish_.GetFish()[0].alive = c.alive;
        fish_.Draw(nullptr);
        auto layers = Layers();
        EXPECT_EQ(layers[2000], c.cursor ? 1 : 0) << c.x;
        if (c.cursor) {
            const DrawRecord* cursor = nullptr;
            for (const DrawRecord& r : CGameObjectRegistry::GetInstance()->GetDrawListPlane()->GetRecords())
                if (r.layer == 2000) cursor = &r;
            EXPECT_EQ(cursor->args->pos.x, 608);
            EXPECT_EQ(cursor->args->pos.y, fish_.GetCursorY() - 5) << "centred on the fish's height";
        }
        FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), nullptr);
    }
}

TEST_F(FishManagerTest, ResetBringsEatenAndGoneFishBackToWait) {
    Place({"#SetFish 0 0 0 100 -50", "#SetFish 0 0 0 -700 -50"});
    fish_.Move();
    fish_.GetFish()[0].alive = 0;
    ASSERT_EQ(fish_.GetFish()[1].alive, 0);
    fish_.Reset();
    for (const FishRecord& f : fish_.GetFish()) {
        EXPECT_EQ(f.alive, 1);
        EXPECT_EQ(f.active, 0);
        EXPECT_EQ(f.x, f.start_x);
    }
}

TEST_F(FishManagerTest, BrokenFishFilesPlaceOnlyWhatTheyCan) {
    gametest::WriteLines("Fish_1.txt", {"#Newness 1 1 5 5 10 2.0", "#Level 1", "#Newness 1 1 5 5 99 2.0",
                                        "#Newness 1 1 5 5 77 2.0"});
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        size_t placed;
    };
    const Case cases[] = {
        {"before #MaxFish", {"#SetFish 0 0 0 1 1", "#MaxFish 1", "#SetFish 0 0 0 2 2", "#LoadFishParam 1 0"}, 1},
        {"past #MaxFish", {"#MaxFish 1", "#SetFish 0 0 0 1 1", "#SetFish 0 0 0 2 2", "#LoadFishParam 1 0"}, 1},
        {"kinds without a file or beyond the list",
         {"#MaxFish 4", "#SetFish 0 0 0 1 1", "#SetFish 1 0 0 2 2", "#SetFish 2 0 0 3 3", "#SetFish -1 0 0 3 3",
          "#LoadFishParam 2 0 7"},
         1},
        {"a short kind list", {"#MaxFish 2", "#SetFish 0 0 0 1 1", "#SetFish 1 0 0 1 1", "#LoadFishParam 2 0"}, 1},
        {"a huge count", {"#MaxFish 2000000000", "#SetFish 0 0 0 1 1", "#LoadFishParam 1 0"}, 1},
    };
    for (const Case& c : cases) {
        Create(c.lines);
        EXPECT_EQ(fish_.GetFish().size(), c.placed) << c.name;
        fish_.Move();
        fish_.Draw(nullptr);
        FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), nullptr);
    }
    // "#Newness" before "#Level" and past its count are ignored.
    Create({"#MaxFish 1", "#SetFish 0 0 0 1 1", "#LoadFishParam 1 1"});
    ASSERT_NE(fish_.GetKind(0), nullptr);
    ASSERT_EQ(fish_.GetKind(0)->levels.size(), 1u);
    EXPECT_EQ(fish_.GetKind(0)->levels[0].gain, 99);
}

TEST_F(FishManagerTest, WithoutFishSpritesTheFishHaveNoSizeAndDrawNothing) {
    gametest::WriteLines("Fish.ltd", {"#MaxFish 1", "#SetFish 0 0 1 10 -50", "#LoadFishParam 1 0"});
    fish_.CreateFrom(&camera_, "missing.txt", "Fish.ltd", "Fish_");
    ASSERT_EQ(fish_.GetFish().size(), 1u);
    EXPECT_EQ(fish_.GetFish()[0].half_width, 0);
    fish_.Draw(nullptr);
    EXPECT_EQ(Layers()[6000], 0);
}

class WaterDropTest : public PlayTest {
protected:
    void Load(int count, int patterns, int radius, const std::string& gravity = "0.5") {
        gametest::SolidPlane(8, 32, 0x4080C0)->Save("drop.bmp");
        gametest::WriteLines("WaterDrop.ltd", {"#MaxInstance " + std::to_string(count), "#ImageFileName \"drop.bmp\"",
                                               "#ImagePat " + std::to_string(patterns), "#PatSize 8 8",
                                               "#Gravity " + gravity, "#BlurringRadius " + std::to_string(radius)});
        drops_ = CWaterDrop();
        drops_.Create(&camera_);
        drops_.LoadFile("WaterDrop.ltd");
    }
    int Live() const {
        return static_cast<int>(std::count_if(drops_.GetDrops().begin(), drops_.GetDrops().end(),
                                              [](const WaterDropRecord& d) { return d.live; }));
    }
    CWaterDrop drops_;
};

TEST_F(WaterDropTest, AFullPoolTakesNoMoreDropsAndResetFreesThem) {
    Load(3, 2, 10);
    for (int i = 0; i < 5; ++i) drops_.Emit(0, 200 * 1024);
    EXPECT_EQ(Live(), 3);
    drops_.Reset();
    EXPECT_EQ(Live(), 0);
}

TEST_F(WaterDropTest, DropsFallFromRestAndDieJustAboveTheSurface) {
    Load(4, 1, 0);
    drops_.Emit(0, 32 * 1024 + 512);   // born 32.5 px up: the first fall of 0.5 px ends it
    drops_.Emit(0, 100 * 1024);
    drops_.Move();
    EXPECT_EQ(drops_.GetDrops()[0].live, 0);
    EXPECT_EQ(drops_.GetDrops()[1].live, 1);
    EXPECT_EQ(drops_.GetDrops()[1].vy, -512);
    EXPECT_EQ(drops_.GetDrops()[1].y, 100 * 1024 - 512);
    drops_.Move();
    EXPECT_EQ(drops_.GetDrops()[1].y, 100 * 1024 - 512 - 1024);
}

TEST_F(WaterDropTest, DropsLandOnTheRadiusCircleTheSameForTheSameSeed) {
    Load(64, 3, 12);
    CRand* random = CGameObjectRegistry::GetInstance()->GetRandom();
    std::vector<std::pair<int32_t, int32_t>> first;
    for (int run = 0; run < 2; ++run) {
        random->SetSeed(20261207);
        drops_.Reset();
        for (int i = 0; i < 64; ++i) drops_.Emit(1000 * 1024, 500 * 1024);
        for (int i = 0; i < 64; ++i) {
            const WaterDropRecord& d = drops_.GetDrops()[i];
            const double r = std::hypot(d.x - 1000.0 * 1024, d.y - 500.0 * 1024) / 1024;
            EXPECT_NEAR(r, 12.0, 0.01) << i;
            EXPECT_TRUE(d.pattern == 0 || d.pattern == 1) << "patterns 0 .. count - 2";
            if (run == 0) first.emplace_back(d.x, d.y);
            else EXPECT_EQ(std::make_pair(d.x, d.y), first[i]) << i;
        }
    }
}

TEST_F(WaterDropTest, FewPatternsGiveOnlyPatternZero) {
    for (int patterns : {1, 0, -3}) {
        Load(16, patterns, 4);
        for (int i = 0; i < 16; ++i) drops_.Emit(0, 100 * 1024);
        for (const WaterDropRecord& d : drops_.GetDrops()) EXPECT_EQ(d.pattern, 0) << patterns;
    }
}

TEST_F(WaterDropTest, DropsAreRecordedWithThePlayerAndDieOffScreen) {
    Load(3, 2, 0);
    camera_.x = 0;
    camera_.y = 0;
    drops_.Emit(0, 100 * 1024);              // on screen
    drops_.Emit(-330 * 1024, 100 * 1024);    // its right edge left of the screen
    drops_.Emit(0, -241 * 1024);             // below the screen
    drops_.Draw(nullptr);
    EXPECT_EQ(Layers()[5000], 1);
    EXPECT_EQ(Live(), 1);
    FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), nullptr);
}

TEST_F(WaterDropTest, WithoutItsFileThePoolIsEmpty) {
    drops_.Create(&camera_);
    drops_.LoadFile("missing.ltd");
    drops_.Emit(0, 0);
    EXPECT_TRUE(drops_.GetDrops().empty());
}

} // namespace
