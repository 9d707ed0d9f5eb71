// player_fish_test.cpp -- the player fish driven frame by frame by scripted buttons: swimming,
// sinking, limits, gauge, sea floor and left border, leaving the water, flapping, the leap's
// top, splash-down, drowning and rescue, eating, the camera, a retry, and broken player files.
#include <gtest/gtest.h>

#include "game/DataFiles.h"
#include "game/FishManager.h"
#include "game/WaterDrop.h"
#include "play_fixture.h"

namespace {

using namespace playtest;

// 22.10 values of the player file below.
constexpr int32_t kAx = 1024, kAy = 512, kMaxVx = 4096, kMaxVy = 3072, kDragX = 128, kDragY = 256;
constexpr int32_t kAirDrag = 256, kGravity = 512, kFlapX = 2048, kFlapY = 4096;
constexpr int32_t kStartX = 100 * 1024, kStartY = -100 * 1024;

class PlayerFishTest : public PlayTest {
protected:
    // Writes the player file (any key replaced by overrides) and its sprites, and creates the fish.
    void CreatePlayer(const std::map<std::string, std::string>& overrides = {}) {
        std::map<int, int> body;
        for (int s = 0; s < 30; ++s) body[s] = 2;
        body[22] = body[23] = 6;
        WriteSprites("body.txt", body, 16, 8);
        WriteSprites("fx.txt", {{0, 3}, {1, 1}}, 8, 8);
        std::map<std::string, std::string> keys{
            {"#LoadSpriteCharFileCount", "2"}, {"#MaxSprite", "4"},
            {"#SpriteText", "\"body.txt\" \"fx.txt\""}, {"#InitSpriteNo", "0"},
            {"#InitPos", "100 -100"}, {"#InitMoveVector", "0 0"}, {"#MaxMoveVector", "4.0 3.0"},
            {"#InitAccel", "1.0 0.5"}, {"#AarResistance", "0.25"}, {"#WaterResistance", "0.125 0.25"},
            {"#Gravity", "0.5"}, {"#Buoyancy", "2.0 4.0"}, {"#Colijyon", "10 0 8 6"},
            {"#ButtonPushDrawPos", "500 400"}, {"#MaxAir", "100"}, {"#AlertAir", "50 30 10"},
            {"#DrowningMove", "2 1"}};
        for (const auto& [key, value] : overrides) keys[key] = value;
        // The counts first, as a player file gives them.
        std::vector<std::string> lines{"// player", "#LoadSpriteCharFileCount " + keys["#LoadSpriteCharFileCount"],
                                       "#MaxSprite " + keys["#MaxSprite"]};
        for (const auto& [key, value] : keys)
            if (key != "#LoadSpriteCharFileCount" && key != "#MaxSprite" && value != "-") lines.push_back(key + " " + value);
        gametest::WriteLines("Hopfin.ltd", lines);
        player_.SetGauge(&gauge_);
        player_.SetSoundPlayer([this](int se, int channel) { sounds_.emplace_back(se, channel); });
        player_.CreateFrom(&camera_, "Hopfin.ltd");
        player_.SetRecorder(recorder_.get());
    }
    // Runs frames with the script's buttons.
    void Run(int frames) {
        for (int i = 0; i < frames; ++i) Frame(player_);
    }
    bool Played(int se, int channel) const {
        return std::find(sounds_.begin(), sounds_.end(), std::make_pair(se, channel)) != sounds_.end();
    }

    CPlayerFish player_;
};

TEST_F(PlayerFishTest, TheFileFillsTheLoadedBlockAndResetCopiesIt) {
    Script({});
    CreatePlayer();
    const PlayerBlock& b = player_.GetLoaded();
    EXPECT_EQ(b.x, kStartX);
    EXPECT_EQ(b.y, kStartY);
    EXPECT_EQ(b.prev_vx, -1);
    EXPECT_EQ(b.file_max_vx, kMaxVx);
    EXPECT_EQ(b.file_ay, kAy);
    EXPECT_EQ(b.water_drag_y, kDragY);
    EXPECT_EQ(b.col_w, 8 * 1024);
    EXPECT_EQ(b.max_air, 100u);
    EXPECT_EQ(b.follow_x, 1);
    EXPECT_EQ(b.from_air_or_drowning, 1);
    EXPECT_EQ(player_.GetLive().x, kStartX);
    EXPECT_EQ(camera_.x, kStartX);
    EXPECT_EQ(camera_.y, kStartY);
    EXPECT_EQ(player_.GetSprite(3).GetSpriteNo(), CPlayerFish::kBubbleRising);
    EXPECT_EQ(player_.GetSprite(2).GetSpriteNo(), 1);
}

TEST_F(PlayerFishTest, VelocityStepsUnderWaterFrameByFrame) {
    struct Case {
        const char* name;
        std::string init_move;
        uint16_t mask;
        std::vector<std::pair<int32_t, int32_t>> v;   // (vx, vy) after each frame
    };
    const Case cases[] = {
        // right: +1024 then drag 1/8; vy 0 sinks at -2 x drag, then is dragged by 1/4
        {"right", "0 0", kRight, {{896, -512}, {1680, -384}, {2366, -288}}},
        {"nothing: sinking", "0 0", 0, {{0, -512}, {0, -384}, {0, -288}, {0, -216}}},
        {"left", "0 0", kLeft, {{-896, -512}, {-1680, -384}}},
        // up and down: up while vy <= max vy, else down
        {"up and down above the limit", "0 5.0", kUp | kDown, {{0, 3456}, {0, 2208}, {0, 2040}}},
        // the limit is tested before the step, so vx passes it by one step
        {"right from the limit", "4.0 0", kRight, {{4480, -512}, {3920, -384}}},
    };
    for (const Case& c : cases) {
        Script(std::vector<uint16_t>(c.v.size(), c.mask));
        player_ = CPlayerFish();
        CreatePlayer({{"#InitMoveVector", c.init_move}});
        int32_t x = kStartX, y = kStartY;
        for (size_t f = 0; f < c.v.size(); ++f) {
            Frame(player_);
            x += c.v[f].first;
            y += c.v[f].second;
            EXPECT_EQ(player_.GetLive().vx, c.v[f].first) << c.name << " frame " << f;
            EXPECT_EQ(player_.GetLive().vy, c.v[f].second) << c.name << " frame " << f;
            EXPECT_EQ(player_.GetLive().x, x) << c.name << " frame " << f;
            EXPECT_EQ(player_.GetLive().y, y) << c.name << " frame " << f;
        }
    }
}

TEST_F(PlayerFishTest, AnEmptyGaugeRestoresTheFilesAccelerationAndPushingSpendsIt) {
    struct Case {
        uint32_t gauge;
        uint16_t mask;
        bool restored;
        uint32_t gauge_after;
    };
    for (const Case c : {Case{0, kRight, true, 0}, Case{5, kRight, false, 4}, Case{5, kDown, false, 4},
                         Case{5, kUp, false, 5}, Case{5, kLeft, false, 5}}) {
        Script({c.mask});
        player_ = CPlayerFish();
        CreatePlayer();
        gauge_.amount = c.gauge;
        player_.GetLive().ax = 3000;
        player_.GetLive().max_vx = 9000;
        Frame(player_);
        EXPECT_EQ(player_.GetLive().ax, c.restored ? kAx : 3000) << c.gauge << " " << c.mask;
        EXPECT_EQ(player_.GetLive().max_vx, c.restored ? kMaxVx : 9000);
        EXPECT_EQ(gauge_.amount, c.gauge_after) << c.mask;
    }
}

TEST_F(PlayerFishTest, TheSeaFloorAndTheLeftBorderStopTheFish) {
    Script({0, 0});
    CreatePlayer();
    PlayerBlock& b = player_.GetLive();
    b.x = 100;
    b.vx = -5000;
    b.y = CPlayerFish::kSeaFloor + 100;
    b.vy = -4000;
    Frame(player_);
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.vx, 0);
    EXPECT_EQ(b.y, CPlayerFish::kSeaFloor);
    EXPECT_EQ(b.vy, 0);
    // The camera never centres below -240 px.
    for (int i = 0; i < 40; ++i) Frame(player_);
    EXPECT_EQ(camera_.target_y, CPlayerFish::kCameraLowest);
    EXPECT_GE(camera_.y, CPlayerFish::kCameraLowest - 1024) << "within the pixel the shift drops";
    EXPECT_LE(camera_.y, CPlayerFish::kCameraLowest + 2048);
}

TEST_F(PlayerFishTest, TheCameraClosesHalfTheWholePixelDistanceEachFrame) {
    Script({0});
    CreatePlayer();
    camera_.x = 0;
    camera_.y = 0;
    Frame(player_);
    const PlayerBlock& b = player_.GetLive();
    EXPECT_EQ(camera_.prev_x, 0);
    EXPECT_EQ(camera_.target_x, b.x);
    EXPECT_EQ(camera_.x, (b.x >> 10) * 512);
    EXPECT_EQ(camera_.y, (b.y >> 10) * 512);
}

TEST_F(PlayerFishTest, LeavingTheWaterGlidingFlappingAndSplashingDown) {
    // Frame 0 leaves the water; 1 glides; 2 flaps (pushed) with gauge; then falls back.
    Script({0, 0, kFlap, 0});
    CreatePlayer();
    gauge_.amount = 3;
    PlayerBlock& b = player_.GetLive();
    b.y = -1024;
    b.vy = 3000;
    Frame(player_);   // still the swim step: drag, then out
    ASSERT_GE(b.y, 0);
    Frame(player_);   // the first air frame
    EXPECT_EQ(player_.GetBodySprite().GetSpriteNo(), CPlayerFish::kGlideSprite + 0) << "vx = 0 keeps facing right";
    EXPECT_TRUE(b.splash_on) << "crossed the surface";
    EXPECT_TRUE(Played(2, 0)) << "leaving the water";
    EXPECT_EQ(b.entered_air, 1);
    EXPECT_EQ(std::count_if(player_.GetWaterDrop().GetDrops().begin(), player_.GetWaterDrop().GetDrops().end(),
                            [](const WaterDropRecord& d) { return d.live; }),
              0) << "no drop file: no pool";
    const int32_t vx = b.vx, vy = b.vy;
    Frame(player_);   // flap
    EXPECT_EQ(b.vx, std::max(vx - kAirDrag, 0) + kFlapX);
    EXPECT_EQ(b.vy, std::max(vy - kAirDrag, 0) - kGravity + kFlapY);
    EXPECT_EQ(gauge_.amount, 2u);
    EXPECT_EQ(player_.GetBodySprite().GetSpriteNo(), CPlayerFish::kFlapSprite);
    EXPECT_TRUE(b.hint_on);
    // Fall until back in the water: the splash into the water and the return sound.
    for (int i = 0; i < 200 && b.y >= 0; ++i) Frame(player_);
    ASSERT_LT(b.y, 0);
    Frame(player_);
    EXPECT_TRUE(Played(3, 0));
    EXPECT_TRUE(Played(18, 2));
    EXPECT_EQ(b.entered_air, 0);
    EXPECT_EQ(b.air, b.max_air - 1) << "refilled, then one frame used";
    EXPECT_LT(player_.GetBodySprite().GetSpriteNo(), 4);
}

TEST_F(PlayerFishTest, AFlapNeedsTheGauge) {
    Script({kFlap});
    CreatePlayer();
    gauge_.amount = 0;
    PlayerBlock& b = player_.GetLive();
    b.y = 100 * 1024;
    Frame(player_);
    EXPECT_EQ(b.vy, -kGravity);
    EXPECT_FALSE(b.flap_sound_pending);
}

TEST_F(PlayerFishTest, TheLeapVoiceSoundsOnceAtTheTopOfAHighLeap) {
    struct Case {
        int32_t y;
        bool voice;
    };
    for (const Case c : {Case{300 * 1024, true}, Case{240 * 1024, false}}) {
        Script({0, 0});
        player_ = CPlayerFish();
        sounds_.clear();
        CreatePlayer();
        PlayerBlock& b = player_.GetLive();
        b.y = c.y;
        b.vy = kAirDrag;   // drag takes it to 0, gravity turns it down
        b.prev_vy = 0;
        b.leap_voice_armed = 1;
        Frame(player_);
        const int voices = static_cast<int>(std::count_if(sounds_.begin(), sounds_.end(), [](auto s) {
            return s.first >= 6 && s.first <= 8 && s.second == 0;
        }));
        EXPECT_EQ(voices, c.voice ? 1 : 0) << c.y;
        EXPECT_EQ(b.leap_voice_armed, c.voice ? 0 : 1);
    }
}

TEST_F(PlayerFishTest, RunningOutOfAirDrownsUntilTheBubbleIsReached) {
    // Air 5 with alerts at 3, 2, 1: the mode rises as the air falls, then the fish drowns.
    Script(std::vector<uint16_t>(400, kUp));
    CreatePlayer({{"#MaxAir", "5"}, {"#AlertAir", "3 2 1"}});
    player_.SetGoalLine(150 * 1024);
    PlayerBlock& b = player_.GetLive();
    const uint32_t modes[5] = {0, 0, 1, 2, 4};
    for (uint32_t mode : modes) {
        Frame(player_);
        EXPECT_EQ(b.mode, mode) << "air " << b.air;
    }
    EXPECT_EQ(b.air, 0u);
    EXPECT_EQ(player_.GetBubbleX(), b.prev_x) << "where the air ran out, before the frame's step";
    EXPECT_EQ(player_.GetBubbleY(), b.prev_y);
    Frame(player_);
    EXPECT_EQ(player_.GetBodySprite().GetSpriteNo(), CPlayerFish::kDrownSprite);
    EXPECT_TRUE(Played(4, 0));
    // Holding up, the drowning fish stays under the surface, left of the goal line.
    b.x = 200 * 1024;
    for (int i = 0; i < 300 && player_.GetBubbleY() < 0; ++i) {
        Frame(player_);
        ASSERT_LT(b.y, 0);
        ASSERT_LT(b.x, 150 * 1024);
        ASSERT_EQ(b.mode, 4u);
    }
    ASSERT_GE(player_.GetBubbleY(), 0);
    EXPECT_GE(b.y, -1024) << "held just under the surface";
    // Meeting the bubble at the surface: air again.
    b.x = player_.GetBubbleX() + 2048;
    b.vx = 0;
    Frame(player_);
    EXPECT_EQ(b.mode, 0u);
    EXPECT_EQ(b.air, 4u) << "refilled to 5, one frame used";
    EXPECT_LT(player_.GetBodySprite().GetSpriteNo(), 4);
}

TEST_F(PlayerFishTest, ResetRestoresTheFreshStartAndItsAnimations) {
    Script(std::vector<uint16_t>(30, kLeft | kDown));
    CreatePlayer({{"#MaxAir", "10"}, {"#AlertAir", "8 6 4"}});
    gauge_.amount = 20;
    for (int i = 0; i < 25; ++i) Frame(player_);
    ASSERT_EQ(player_.GetLive().mode, 4u);
    player_.Reset();
    const PlayerBlock& live = player_.GetLive();
    const PlayerBlock& loaded = player_.GetLoaded();
    EXPECT_EQ(std::make_tuple(live.x, live.y, live.vx, live.vy, live.air, live.mode, live.ax),
              std::make_tuple(loaded.x, loaded.y, loaded.vx, loaded.vy, loaded.air, loaded.mode, loaded.ax));
    for (int s = 0; s < 4; ++s) EXPECT_EQ(player_.GetSprite(s).GetFrameNo(), 0) << s;
    EXPECT_EQ(player_.GetSprite(0).GetSpriteNo(), 0);
    EXPECT_EQ(player_.GetSprite(3).GetSpriteNo(), CPlayerFish::kBubbleRising);
}

class PlayerEatingTest : public PlayerFishTest {
protected:
    // Two kinds: 0 gains 200, 1 gains 100 with its own acceleration; fish 16 x 8.
    void CreateFish(const std::vector<std::string>& placed) {
        WriteSprites("fish.txt", {{0, 1}, {1, 1}}, 16, 8);
        gametest::WriteLines("Fish_0.txt", {"#Level 1", "#Newness 2.0 2.0 10.0 10.0 200 1.0", "#SpNo 0"});
        gametest::WriteLines("Fish_1.txt", {"#Level 2", "#Newness 3.0 3.0 20.0 20.0 100 1.0",
                                            "#Newness 4.0 4.0 30.0 30.0 100 1.0", "#SpNo 1"});
        std::vector<std::string> lines{"#MaxFish " + std::to_string(placed.size())};
        lines.insert(lines.end(), placed.begin(), placed.end());
        lines.push_back("#LoadFishParam 2 0 1");
        gametest::WriteLines("Fish.ltd", lines);
        fish_.CreateFrom(&camera_, "fish.txt", "Fish.ltd", "Fish_");
        player_.SetFishManager(&fish_);
        fish_.SetPlayer(&player_);
    }
    CFishManager fish_;
};

TEST_F(PlayerEatingTest, SeveralFishInOneFrameAddTheirGainsAndTheLastKindWins) {
    Script({});
    CreatePlayer();
    // At the mouth (x + 10 px) and around it; one kind 1 fish of a level it lacks.
    CreateFish({"#SetFish 0 0 1 110 -100", "#SetFish 1 1 1 115 -98", "#SetFish 1 5 1 110 -100",
                "#SetFish 0 0 1 200 -100"});
    gauge_.amount = 10;
    player_.HitCheckFish();
    const auto& fish = fish_.GetFish();
    EXPECT_EQ(fish[0].alive, 0);
    EXPECT_EQ(fish[1].alive, 0);
    EXPECT_EQ(fish[2].alive, 1) << "an unknown level gives nothing and stays";
    EXPECT_EQ(fish[3].alive, 1) << "out of reach";
    EXPECT_EQ(gauge_.amount, 255u);
    EXPECT_EQ(player_.GetLive().ax, 4096);
    EXPECT_EQ(player_.GetLive().max_vy, 30 * 1024);
    EXPECT_EQ(player_.GetBodySprite().GetSpriteNo(), CPlayerFish::kEatSprite);
    EXPECT_EQ(std::count(sounds_.begin(), sounds_.end(), std::make_pair(23, 2)), 2);
}

TEST_F(PlayerEatingTest, TheReachIsStrictAndMirrorsWithTheFacing) {
    struct Case {
        int32_t vx;
        int fish_x;   // pixels; the player at 100, mouth 10 px ahead, reach 8 + 8
        bool eaten;
    };
    const Case cases[] = {{0, 125, true}, {0, 126, false}, {0, 94, false}, {0, 95, true},
                          {-1, 75, true}, {-1, 74, false}, {-1, 105, true}, {-1, 106, false}};
    for (const Case& c : cases) {
        Script({});
        player_ = CPlayerFish();
        fish_ = CFishManager();
        CreatePlayer();
        CreateFish({"#SetFish 0 0 1 " + std::to_string(c.fish_x) + " -100"});
        player_.GetLive().vx = c.vx;
        player_.HitCheckFish();
        EXPECT_EQ(fish_.GetFish()[0].alive == 0, c.eaten) << c.vx << " " << c.fish_x;
    }
}

TEST_F(PlayerEatingTest, NoEatingWhileTurningOrDrowning) {
    struct Case {
        int sprite;
        uint32_t mode;
        bool eats;
    };
    for (const Case c : {Case{2, 0, false}, Case{3, 0, false}, Case{6, 1, false}, Case{16, 4, false},
                         Case{0, 0, true}, Case{21, 0, true}}) {
        Script({});
        player_ = CPlayerFish();
        fish_ = CFishManager();
        CreatePlayer();
        CreateFish({"#SetFish 0 0 1 110 -100"});
        player_.GetSprite(0).SetSpriteNo(c.sprite);
        player_.GetLive().mode = c.mode;
        player_.HitCheckFish();
        EXPECT_EQ(fish_.GetFish()[0].alive == 0, c.eats) << c.sprite;
    }
}

TEST_F(PlayerFishTest, BrokenPlayerFilesNeverReachPastTheirSlots) {
    const std::map<std::string, std::string> files[] = {
        {{"#MaxSprite", "1"}, {"#LoadSpriteCharFileCount", "0"}},
        {{"#MaxSprite", "-5"}, {"#LoadSpriteCharFileCount", "1"}, {"#SpriteText", "\"a\" \"b\" \"c\" \"d\""}},
        {{"#SpriteText", "-"}, {"#InitSpriteNo", "9999"}},
        {{"#MaxSprite", "100000000"}, {"#LoadSpriteCharFileCount", "100000000"}},
    };
    for (const auto& overrides : files) {
        Script(std::vector<uint16_t>(20, kLeft));
        player_ = CPlayerFish();
        CreatePlayer(overrides);
        EXPECT_GE(player_.GetSpriteCount(), 4);
        Run(20);
        EXPECT_LT(player_.GetLive().vx, 0) << "the fish still swims";
    }
}

TEST_F(PlayerFishTest, ATurnWithoutPicturesEndsAtOnce) {
    Script({kLeft, kLeft});
    CreatePlayer({{"#SpriteText", "-"}});
    Frame(player_);
    EXPECT_EQ(player_.GetBodySprite().GetSpriteNo(), 1) << "turned to the left within the frame";
}

TEST_F(PlayerFishTest, AMissingFileLeavesEverythingZeroAndIsLogged) {
    Script({0});
    const int before = GetDataFailureCount();
    player_.SetGauge(&gauge_);
    player_.CreateFrom(&camera_, "missing/Hopfin.ltd");
    player_.SetRecorder(recorder_.get());
    EXPECT_GT(GetDataFailureCount(), before);
    Frame(player_);
    EXPECT_EQ(player_.GetLive().x, 0);
    EXPECT_EQ(player_.GetLive().y, 0);
}

} // namespace
