// play_fixture.h -- what the play objects' tests share: a scratch working folder with the
// registry made, small sprite definitions and pictures written there, a recorder holding
// scripted button masks, a gauge and a list of the sounds played.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/InputRecorder.h"
#include "game/PlayerFish.h"
#include "game_test_util.h"
#include "tests/scratch_dir.h"

namespace playtest {

using namespace zuderadeDoruVAV3ed;

// Button masks.
constexpr uint16_t kUp = 1 << 1, kDown = 1 << 2, kLeft = 1 << 3, kRight = 1 << 4, kFlap = 1 << 5;

struct Gauge : IPlayerGauge {
    uint32_t amount = 0;
    uint32_t GetAmount() const override { return amount; }
    void SetAmount(uint32_t value) override { amount = value; }
};

class PlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        CGameObjectRegistry::GetInstance()->CreateObjects();
        camera_.follow = 512;
    }
    void TearDown() override { CGameObjectRegistry::GetInstance()->ReleaseObjects(); }

    // A sprite definition over one 64 x 64 picture: each sprite number with its frame count,
    // every frame w x h at the picture's corner, offset so that the position is its centre.
    std::string WriteSprites(const std::string& name, const std::map<int, int>& frames, int w, int h) {
        const std::string picture = name + ".bmp";
        gametest::SolidPlane(64, 64, 0x336699)->Save(picture);
        std::vector<std::string> lines{"#Plane \"" + picture + "\""};
        for (const auto& [sprite, count] : frames) {
            lines.push_back("#Sprite " + std::to_string(sprite));
            for (int i = 0; i < count; ++i)
                lines.push_back("#Frame 0, 0, 0, " + std::to_string(w) + ", " + std::to_string(h) + ", " +
                                std::to_string(-w / 2) + ", " + std::to_string(-h / 2));
        }
        gametest::WriteLines(name, lines);
        return name;
    }

    // A recorder playing the masks, one per frame, then no button.
    void Script(const std::vector<uint16_t>& masks) {
        std::vector<uint8_t> bytes{static_cast<uint8_t>(masks.size() & 0xFF), static_cast<uint8_t>(masks.size() >> 8)};
        for (uint16_t mask : masks) bytes.insert(bytes.end(), {static_cast<uint8_t>(mask), static_cast<uint8_t>(mask >> 8)});
        gametest::WriteBytes("script.bin", bytes);
        recorder_ = std::make_unique<CInputRecorder>(KTL::smart_ptr<CKeyBase>());
        ASSERT_FALSE(LoadReplayFile(*recorder_, "script.bin", 1));
    }

    // Moves, eats, draws and flushes one frame as the play scene does.
    void Frame(CPlayerFish& player) {
        player.Move();
        player.HitCheckFish();
        player.Draw(nullptr);
        FlushDrawRecords(*CGameObjectRegistry::GetInstance()->GetDrawListPlane(), nullptr);
    }

    // The draw records waiting, counted by layer.
    static std::map<int32_t, int> Layers() {
        std::map<int32_t, int> layers;
        for (const DrawRecord& r : CGameObjectRegistry::GetInstance()->GetDrawListPlane()->GetRecords()) ++layers[r.layer];
        return layers;
    }

    testutil::ScratchWorkDir dir_{"ff_play"};
    GameCamera camera_;
    Gauge gauge_;
    std::unique_ptr<CInputRecorder> recorder_;
    std::vector<std::pair<int, int>> sounds_;
};

} // namespace playtest
