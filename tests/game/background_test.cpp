// background_test.cpp -- the background at fixed camera heights (fill and band rows), the
// scenery strips' wrap, the waves' drift and spacing, and the 2.5D layer's projection.
#include <gtest/gtest.h>

#include "game/BackGround.h"
#include "game/BackGround25D.h"
#include "game/BackObject.h"
#include "game/GameState.h"
#include "game/WaveLayer.h"
#include "play_fixture.h"

namespace {

using namespace playtest;

constexpr uint32_t kFill = 0x123456;

// Gradient row r is coloured (r & 255, r >> 8, 7), so a screen pixel names its picture row.
uint32_t RowColour(int r) { return static_cast<uint32_t>((r & 255) << 16 | (r >> 8) << 8 | 7); }
int RowOf(uint32_t colour) { return static_cast<int>((colour >> 16) | ((colour >> 8) & 0xFF) << 8); }

class BackGroundTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        CGameObjectRegistry::GetInstance()->GetGameState()->current_stage = 1;
        const std::string dir = "GameData/Stage1/Game/";
        std::filesystem::create_directories(dir + "LoadList");
        KTL::smart_ptr<CFastPlane> strip = gametest::SolidPlane(64, 1440, 0);
        for (int r = 0; r < 1440; ++r) {
            const RECT row{0, r, 64, r + 1};
            strip->SetFillColor(0xFF000000 | RowColour(r));
            strip->Clear(&row);
        }
        strip->Save("gradient.bmp");
        gametest::WriteLines(dir + "LoadList/Bg.ltd",
                             {"#FillColor " + std::to_string(0xFF000000u | kFill),
                              "#BackColorGraphicFileName \"gradient.bmp\"", "#WaveSpeed_X 0", "#WavePatCount 0"});
        background_.Create(&camera_);
        screen_ = gametest::SolidPlane(640, 480, 0xFF00FF);
    }
    void DrawAt(int32_t camera_y_px) {
        camera_.y = camera_y_px * 1024;
        background_.Draw(screen_.get());
        FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), screen_.get());
    }
    CBackGround background_;
    KTL::smart_ptr<CFastPlane> screen_;
};

TEST_F(BackGroundTest, FillAndBandRowsFollowTheCameraHeight) {
    struct Case {
        int camera_y;      // pixels
        int fill_rows;     // rows of the fill colour at the top
        int first_row;     // picture row shown on the first band row
    };
    const Case cases[] = {
        {-400, 0, 960},   // below the floor: as at -240, the sea down to the floor
        {-240, 0, 960},
        {0, 0, 720},      // at the surface: row 960 on the water line (screen row 240)
        {500, 0, 220},
        {720, 0, 0},
        {900, 180, 0},    // high in the sky: the top 180 rows are fill, the picture right below
        {1199, 479, 0},
        {1200, 480, 0},   // above the backdrop: one fill colour
        {5000, 480, 0},
    };
    for (const Case& c : cases) {
        DrawAt(c.camera_y);
        if (c.fill_rows > 0) {
            for (int y : {0, c.fill_rows - 1}) {
                EXPECT_EQ(gametest::PixelAt(*screen_, 100, y), kFill) << c.camera_y << " row " << y;
            }
        }
        if (c.fill_rows < 480) {
            EXPECT_EQ(RowOf(gametest::PixelAt(*screen_, 100, c.fill_rows)), c.first_row) << c.camera_y;
            if (c.fill_rows + 5 < 480) {
                EXPECT_EQ(RowOf(gametest::PixelAt(*screen_, 639, c.fill_rows + 5)), c.first_row + 5) << c.camera_y;
            }
        }
        if (c.camera_y == 0) {
            EXPECT_EQ(RowOf(gametest::PixelAt(*screen_, 320, 240)), 960);
        }
    }
}

TEST_F(BackGroundTest, TheLayersAreDrawnAtTheirLayerNumbers) {
    camera_.y = 0;
    background_.Draw(screen_.get());
    auto layers = Layers();
    EXPECT_EQ(layers[10000], 10);
    EXPECT_EQ(layers[7000], 0) << "no wave sprites in this folder";
    FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), nullptr);
}

class BackObjectTest : public PlayTest {
protected:
    CBackObject& Make(const std::string& rate, int width) {
        if (width > 0) gametest::SolidPlane(width, 20, 0x00FF00)->Save("strip.bmp");
        gametest::WriteLines("strip.ltd", {"#BackObjectGraphicFileName \"" + std::string(width > 0 ? "strip.bmp" : "none.bmp") + "\"",
                                           "#BackObjectScrolSpeed " + rate, "#BackObjectBaseLine -480"});
        strip_ = std::make_unique<CBackObject>("strip.ltd");
        strip_->Create(&camera_);
        return *strip_;
    }
    std::unique_ptr<CBackObject> strip_;
};

TEST_F(BackObjectTest, TheOffsetWrapsForAnyCameraXAndRate) {
    struct Case {
        const char* rate;
        int camera_x;   // pixels
        int32_t offset;
    };
    const Case cases[] = {{"1.0", 0, 0},     {"1.0", 250, 50},   {"1.0", -100, 100}, {"1.0", -200, 0},
                          {"0.5", -1, 199},  {"0.5", 60, 30},    {"0", -12345, 0},   {"2.0", -101, 198},
                          {"1.0", -2097152, 48}};
    for (const Case& c : cases) {
        CBackObject& strip = Make(c.rate, 200);
        EXPECT_EQ(strip.ScrollOffset(c.camera_x * 1024), c.offset) << c.rate << " at " << c.camera_x;
    }
}

TEST_F(BackObjectTest, TheStripStandsOnItsBaseLineAndDrawsInTwoPieces) {
    CBackObject& strip = Make("1.0", 200);
    EXPECT_EQ(strip.GetStartY(), (-480 + 20) * 1024);
    camera_.y = -240 * 1024;
    camera_.x = 50 * 1024;
    strip.Draw(nullptr);
    EXPECT_EQ(strip.GetScreenY(), 460);
    EXPECT_EQ(Layers()[8000], 2);
    FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), nullptr);
    camera_.y = 0;   // the floor below the screen: nothing
    strip.Draw(nullptr);
    EXPECT_EQ(Layers()[8000], 0);
    // A picture of width 0 draws nothing.
    CBackObject& empty = Make("1.0", 0);
    camera_.y = -240 * 1024;
    empty.Draw(nullptr);
    EXPECT_EQ(Layers()[8000], 0);
    EXPECT_EQ(empty.ScrollOffset(-5000), 0);
}

class WaveLayerTest : public PlayTest {
protected:
    void Make(const std::string& speed, int patterns) {
        WriteSprites("wave.txt", {{0, 2}, {1, 2}, {2, 2}}, 64, 16);
        gametest::WriteLines("bg.ltd", {"#WaveSpeed_X " + speed, "#WavePatCount " + std::to_string(patterns)});
        waves_.CreateFrom(&camera_, "wave.txt", "bg.ltd");
    }
    void CheckRow() {
        int m = 0;
        for (int i = 1; i < CWaveLayer::kWaves; ++i)
            if (waves_.GetWave(i).x < waves_.GetWave(m).x) m = i;
        for (int k = 1; k < CWaveLayer::kWaves; ++k)
            EXPECT_EQ(waves_.GetWave((m + k) % CWaveLayer::kWaves).x - waves_.GetWave(m).x, k * 64 * 1024 - (waves_.GetWave(m).x & 1023));
    }
    CWaveLayer waves_;
};

TEST_F(WaveLayerTest, WavesDriftAgainstTheCameraAndStayOneRowOf64PixelSteps) {
    Make("-0.5", 3);
    for (int i = 0; i < CWaveLayer::kWaves; ++i) {
        EXPECT_EQ(waves_.GetWave(i).x, i * 64 * 1024);
        EXPECT_LT(waves_.GetWave(i).sprite.GetSpriteNo(), 3);
    }
    struct Step {
        int camera_dx;   // pixels this frame
    };
    for (const Step s : {Step{0}, Step{100}, Step{100}, Step{-700}, Step{37}, Step{-3}, Step{650}}) {
        camera_.prev_x = camera_.x;
        camera_.x += s.camera_dx * 1024;
        waves_.Move();
        CheckRow();
        for (int i = 0; i < CWaveLayer::kWaves; ++i) {
            EXPECT_GE(waves_.GetWave(i).x >> 10, -64 - 1) << s.camera_dx;
            EXPECT_LE(waves_.GetWave(i).x >> 10, 704 + 640) << s.camera_dx;
        }
    }
}

TEST_F(WaveLayerTest, AWaveLeavingOnTheLeftComesBackOnTheRight) {
    Make("0", 3);
    camera_.prev_x = 0;
    camera_.x = 65 * 1024;   // wave 0 moves to -65 px: back at -65 rem 640 + 704 = 639
    waves_.Move();
    EXPECT_EQ(waves_.GetWave(1).x, -1 * 1024) << "now the leftmost, the others follow it";
    EXPECT_EQ(waves_.GetWave(0).x, (-1 + 640) * 1024);
    CheckRow();
}

TEST_F(WaveLayerTest, NoPatternCountMeansPatternZero) {
    Make("0", 0);
    for (int i = 0; i < CWaveLayer::kWaves; ++i) EXPECT_EQ(waves_.GetWave(i).sprite.GetSpriteNo(), 0);
    waves_.Draw(nullptr);
    EXPECT_EQ(Layers()[7000], CWaveLayer::kWaves);
    FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), nullptr);
}

TEST(Projection25DTest, DepthScalesXButNotY) {
    GameCamera camera;
    camera.x = 1000 * 1024;
    camera.y = 50 * 1024;
    struct Case {
        int x, y, z;   // pixels
        int32_t sx, sy, depth;
    };
    const Case cases[] = {{1000, 50, 0, 320, 240, 544},   {1544, 150, 0, 864, 140, 544},
                          {2088, 50, 544, 864, 240, 1088}, {1544, 50, -30, 863, 240, 545},
                          {456, -50, 544, 48, 340, 1088}};
    for (const Case& c : cases) {
        const Projection p = Project25D(c.x * 1024, c.y * 1024, c.z * 1024, camera);
        EXPECT_EQ(p.x, c.sx) << c.x << " " << c.z;
        EXPECT_EQ(p.y, c.sy);
        EXPECT_EQ(p.depth, c.depth);
    }
}

TEST_F(PlayTest, The25DLayerReadsMovesResetsAndSkipsWhatItCannotDraw) {
    gametest::SolidPlane(32, 32, 0x00FF00)->Save("pic.bmp");
    WriteSprites("sp.txt", {{0, 1}}, 16, 16);
    gametest::WriteLines("25d.ltd", {
        "#SpObjectData 0 0 0 1 1 1 0",   // before its array: ignored
        "#MaxSpObject 1", "#SpriteText \"sp.txt\"", "#SpObjectData 0 0 100 1 2 3 0", "#SpObjectData 9 9 9 9 9 9 0",
        "#MaxSurfaceObject 4",
        "#SurfaceObjectData 0 0 0 0 0 0 0 0 32 32 1 1 1 0 0 0",   // z fixed (flag 0)
        "#SurfaceObjectData 5 0 0 0 0 0 0 0 32 32 0 0 0 0 0 0",   // picture outside the list
        "#SurfaceObjectData 0 0 0 0 0 0 0 0 32 32 0 0 0 0 7 0",   // an unknown blend
        "#SurfaceObjectData 0 0 0 0 0 0 0 0 32 32 0 0 1 1 0 3",
        "#MaxImageFile 1", "#ImageFileName \"pic.bmp\"", "#ImageFileName \"more.bmp\""});
    CBackGround25D layer;
    layer.Create(&camera_);
    layer.LoadFile("25d.ltd");
    ASSERT_EQ(layer.GetSprites().size(), 1u);
    ASSERT_EQ(layer.GetSurfaces().size(), 4u);
    layer.Move();
    EXPECT_EQ(std::make_tuple(layer.GetSprites()[0].x, layer.GetSprites()[0].y, layer.GetSprites()[0].z),
              std::make_tuple(1024, 2048, 103 * 1024));
    EXPECT_EQ(layer.GetSurfaces()[0].z, 0) << "no z motion without its flag";
    EXPECT_EQ(layer.GetSurfaces()[3].z, 1024);
    layer.Draw(nullptr);
    auto layers = Layers();
    EXPECT_EQ(layers[9000], 2) << "the sprite and the first surface; not the missing picture or unknown blend";
    EXPECT_EQ(layers[9003], 1) << "the layer offset";
    FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), nullptr);
    layer.Reset();
    EXPECT_EQ(layer.GetSprites()[0].z, 100 * 1024);
    EXPECT_EQ(layer.GetSurfaces()[0].x, 0);
}

} // namespace
