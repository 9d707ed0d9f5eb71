// play_test_util.h -- a fixture for the play's interface objects: a scratch working folder with
// the shared objects made, buttons pushed through a scripted device of the live key input, the
// sound effects asked for, the log texts written, and keyed pictures written as files.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "game/BitmapFont.h"
#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/ScreenEffect.h"
#include "game/SoundCue.h"
#include "game_test_util.h"
#include "platform/bmp.h"
#include "platform/log.h"
#include "sdk/input/VirtualKey.h"
#include "tests/scratch_dir.h"

namespace playtest {

using namespace zuderadeDoruVAV3ed;

// A key device whose held keys the test sets before each poll.
class ScriptedKeys : public CKeyBase {
public:
    int32_t Input() override {
        FlipKeys();
        for (int b = 0; b < 16; ++b) CurrentKeys()[b] = (held >> b) & 1 ? 0xFF : 0;
        return 0;
    }
    uint32_t held = 0;   // bit b: key b held at the next poll
};

// A w x h picture in one colour with pixel (0, 0) black (the colour key).
inline void WritePicture(const std::string& path, int w, int h, uint32_t colour = 0x40A0FF) {
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = colour & 0xFF;
        pixels[i + 1] = (colour >> 8) & 0xFF;
        pixels[i + 2] = (colour >> 16) & 0xFF;
        pixels[i + 3] = 0xFF;
    }
    pixels[0] = pixels[1] = pixels[2] = 0;
    gametest::WriteBytes(path, platform::EncodeBmp(pixels.data(), w * 4, w, h, false));
}

class PlayObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry_ = CGameObjectRegistry::GetInstance();
        registry_->CreateObjects();
        registry_->GetGameState()->current_stage = 1;
        registry_->GetScreenEffect()->Init();
        CDefaultKeyInput* input = registry_->GetInput();
        input->AddDevice(KTL::smart_ptr<CKeyBase>::NotOwned(&keys_));
        const int device = 2;   // after the keyboard and the joystick selector
        for (int button = 0; button <= 6; ++button) input->AddKey(button, device, button);
        SetSoundEffectListener([this](int number, int channel) { sounds_.push_back({number, channel}); });
        platform::SetLogCaptureForTest([this](std::string_view text) { logged_.emplace_back(text); });
        ResetDataFailureCount();
    }
    void TearDown() override {
        platform::SetLogCaptureForTest(nullptr);
        SetSoundEffectListener(nullptr);
        registry_->ReleaseObjects();
    }

    // Polls the live input with these buttons held (a bit per button).
    void Poll(uint32_t held = 0) {
        keys_.held = held;
        registry_->GetInput()->Input();
    }
    // A poll with every button up, then one with the button held: pushed this frame.
    void Push(int button) {
        Poll(0);
        Poll(1u << button);
    }

    // Fonts 0, 2, 3 plain and 1 blurred (no jitter), cells of 10 x 10, each its own picture.
    void LoadTestFonts() {
        for (int i = 0; i < 4; ++i) WritePicture("font" + std::to_string(i) + ".bmp", 160, 80);
        gametest::WriteLines(kBitmapTextFile,
                             {"#LoadBitmapCount 4", "#FontType 0 1 0 0", "#Font0 \"font0.bmp\"", "#TextSize 10 10",
                              "#TextCount 16 6", "#Font2 \"font2.bmp\"", "#TextSize 10 10", "#TextCount 16 6",
                              "#Font3 \"font3.bmp\"", "#TextSize 10 10", "#TextCount 16 6", "#Font1 \"font1.bmp\"",
                              "#TextSize 10 10", "#TextCount 1 13", "#BlurringRadius 0"});
        registry_->GetFontSet()->Load();
    }
    // The font whose picture a record draws (-1: none of the set).
    int FontOf(const DrawRecord& record) {
        CBitmapFontSet* fonts = registry_->GetFontSet();
        for (int i = 0; i < fonts->GetCount(); ++i)
            if (record.source.get() == fonts->GetFont(i)->GetPicture()->GetSurfaceInfoHolder().get()) return i;
        return -1;
    }

    CDrawListPlane& Deferred() { return *registry_->GetDrawListPlane(); }
    const std::vector<DrawRecord>& Records() { return Deferred().GetRecords(); }
    void ClearRecords() { FlushDrawRecords(Deferred(), nullptr); }

    // The path of a file for the current stage, as the loaders see it.
    std::string Staged(const char* file) {
        std::string path = file;
        InsertStageNumber(*registry_->GetGameState(), path);
        return path;
    }

    testutil::ScratchWorkDir dir_{"ff_play_object"};
    CGameObjectRegistry* registry_ = nullptr;
    ScriptedKeys keys_;
    std::vector<std::pair<int, int>> sounds_;   // number, channel
    std::vector<std::string> logged_;
};

} // namespace playtest
