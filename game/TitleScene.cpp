// TitleScene.cpp -- the title scene's fade, menu, carousel and the ways out of it.
#include "game/TitleScene.h"

#include <algorithm>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/SceneSound.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/draw/TrigTable.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr int kSeTitle = 1, kSeDecide = 17, kSeCursor = 19, kSeCancel = 20, kSeStageSelect = 22;
constexpr int kBgmTitle = 0;
constexpr uint32_t kFadeOutMs = 1000, kFadeInMs = 100;
constexpr int kMenuItemWidth = 168, kMenuItemHeight = 32, kMenuTop = 300, kMenuPitch = 48;

KTL::smart_ptr<CFastPlane> LoadPlane(const char* file) {
    KTL::smart_ptr<CFastPlane> plane(new CFastPlane());
    plane->SetSystemMemoryFlag(true);
    if (plane->Load(file) != 0) ReportDataFailure("CTitleScene::OnInit", file, "画像が読めない");
    return plane;
}

CGameState& GameState() { return *CGameObjectRegistry::GetInstance()->GetGameState(); }

const CTrigTable& Trig() {
    const CTrigTable* table = CGameObjectRegistry::GetInstance()->GetTrigTable();
    return table ? *table : CTrigTable::Get();
}

} // namespace

CTitleScene::CTitleScene() = default;
CTitleScene::~CTitleScene() = default;

void CTitleScene::OnInit() {
    background_ = LoadPlane(kTitleBackground);
    menu_ = LoadPlane(kTitleMenu);
    for (int i = 0; i < 4; ++i) stage_cards_[i] = LoadPlane(kTitleStageCards[i]);
    step_ = 16;
    base_angle_ = kFrontAngle;
    ready_ = 1;
    direction_ = 0;
    state_ = kFadeIn;
    alpha_ = 0;
    menu_cursor_ = 0;
    carousel_cursor_ = 0;
    std::fill(std::begin(brightness_), std::end(brightness_), int16_t{0});
    PlaySceneBGM(kBgmTitle, false);
    PlaySceneSE(kSeTitle, 0);
}

void CTitleScene::OnMove(const KTL::smart_ptr<ISurface>&) {
    switch (state_) {
    case kFadeIn:
        alpha_ += 6;
        if (alpha_ > 255) {
            alpha_ = 255;
            state_ = kMenu;
            idle_counter_ = kIdleFrames;
        }
        break;
    case kMenu: MoveMenuState(); break;
    case kStageSelect: MoveStageSelect(); break;
    case kFadeOut: MoveFadeOut(); break;
    default: break;
    }
}

void CTitleScene::MoveMenuState() {
    CGameState& state = GameState();
    if (IsButtonPushed(kButtonDecide)) {
        state.replay = 0;
        switch (menu_cursor_) {
        case 0:   // new game
            PlaySceneSE(kSeDecide, 0);
            alpha_ = 255;
            state_ = kFadeOut;
            state.single_stage = 0;
            FadeOutMainVolume(kFadeOutMs);
            break;
        case 1: StartStageSelect(); break;
        default: state.quit = 1; break;
        }
        return;
    }
    if (--idle_counter_ == 0) {
        alpha_ = 255;
        state_ = kFadeOut;
        if (state.attract_toggle == 1) FadeOutMainVolume(kFadeOutMs);
        return;
    }
    if (IsButtonPushed(kButtonUp)) {
        PlaySceneSE(kSeCursor, 0);
        menu_cursor_ = menu_cursor_ == 0 ? 2 : menu_cursor_ - 1;
        idle_counter_ = kIdleFrames;
    } else if (IsButtonPushed(kButtonDown)) {
        PlaySceneSE(kSeCursor, 0);
        menu_cursor_ = menu_cursor_ == 2 ? 0 : menu_cursor_ + 1;
        idle_counter_ = kIdleFrames;
    }
    for (int i = 0; i < 3; ++i) {
        int value = brightness_[i];
        if (i == menu_cursor_) {
            if (value < 255) value = std::min(255, value + step_);
        } else {
            value += value <= 64 ? step_ : -step_;
        }
        brightness_[i] = static_cast<int16_t>(value);
    }
}

void CTitleScene::StartStageSelect() {
    PlaySceneSE(kSeStageSelect, 0);
    state_ = kStageSelect;
    for (int i = 0; i < 3; ++i) {
        items_[i].angle = kFrontAngle - kThird * i;   // 384, 214, 44
        items_[i].remaining = 0;
    }
    MoveMenu();
    SetSceneBGMLoop(true);
}

void CTitleScene::MoveStageSelect() {
    MoveMenu();
    if (!ready_) return;
    CGameState& state = GameState();
    if (IsButtonPushed(kButtonDecide)) {
        if (!state.save.IsCleared(carousel_cursor_ + 1)) return;
        PlaySceneSE(kSeDecide, 0);
        state.current_stage = carousel_cursor_ + 1;
        state.single_stage = 1;
        state_ = kFadeOut;
        FadeOutMainVolume(kFadeOutMs);
    } else if (IsButtonPushed(kButtonCancelSkip)) {
        PlaySceneSE(kSeCancel, 0);
        state_ = kMenu;
        SetSceneBGMLoop(false);
    }
}

void CTitleScene::MoveFadeOut() {
    alpha_ -= step_;
    for (int16_t& value : brightness_) value = static_cast<int16_t>(std::max(0, value - step_));
    if (alpha_ >= 0) return;
    alpha_ = 0;
    StopSceneSEChannel(0);
    CGameState& state = GameState();
    if (idle_counter_ == 0) {
        if (state.attract_toggle == 1) {
            if (IsMainVolumeFading()) return;
            state.attract_toggle = 0;
            state.replay = 1;
            StopSceneBGM();
            FadeInMainVolume(kFadeInMs);
            JumpAndPoll(kSceneReplay);
        } else {
            state.attract_toggle = 1;
            state.replay = 0;
            JumpAndPoll(kSceneScoreRank);
        }
        return;
    }
    if (IsMainVolumeFading()) return;
    StopSceneBGM();
    FadeInMainVolume(kFadeInMs);
    JumpAndPoll(state.single_stage == 1 ? kScenePlay : kSceneStageDemo);
}

void CTitleScene::MoveMenu() {
    if (ready_ && IsButtonPushed(kButtonLeft)) {
        PlaySceneSE(kSeCursor, 0);
        carousel_cursor_ = carousel_cursor_ == 2 ? 0 : carousel_cursor_ + 1;
        direction_ = 0;
        for (CarouselItem& item : items_) item.remaining = kThird;
        ready_ = 0;
    }
    if (ready_ && IsButtonPushed(kButtonRight)) {
        PlaySceneSE(kSeCursor, 0);
        carousel_cursor_ = carousel_cursor_ == 0 ? 2 : carousel_cursor_ - 1;
        direction_ = 1;
        for (CarouselItem& item : items_) item.remaining = kThird;
        ready_ = 0;
    }
    for (CarouselItem& item : items_) {
        if (item.remaining > 0) {
            // The turn overshoots the third by a few units, then snaps.
            item.angle += direction_ == 0 ? -kRotationStep : kRotationStep;
            item.remaining -= kRotationStep;
        } else {
            for (int k = 0; k < 3; ++k) items_[(carousel_cursor_ + k) % 3].angle = (base_angle_ + kThird * k) % 512;
            ready_ = 1;
        }
    }
    const CTrigTable& trig = Trig();
    for (int i = 0; i < 3; ++i) {
        CarouselItem& item = items_[i];
        // The table wraps the angle itself: the angles run below 0 and past 511 while turning.
        item.x = trig.Cos(item.angle) * 200;
        item.y = trig.Sin(item.angle) * -35;
        item.depth = trig.Sin(item.angle) * 35;
        item_alpha_[i] = static_cast<uint8_t>((((item.y >> 16) + 35) * 113283 >> 16) + 121);
    }
}

void CTitleScene::OnDraw(const KTL::smart_ptr<ISurface>& back) {
    if (!back) return;
    if (state_ == kFadeOut) {
        back->SetFillColor(0);
        back->Clear(nullptr);
    }
    DrawPlaneBlendConst(back.get(), background_.get(), 0, 0, static_cast<uint32_t>(alpha_), nullptr, nullptr, nullptr);
    if (state_ == kMenu || state_ == kFadeOut) {
        int width = 0, height = 0;
        menu_->GetSize(width, height);
        for (int i = 0; i < 3; ++i) {
            const RECT rect{0, kMenuItemHeight * i, kMenuItemWidth, kMenuItemHeight * (i + 1)};
            DrawPlaneBlendConstKeyed(back.get(), menu_.get(), (640 - width) >> 1, kMenuTop + kMenuPitch * i,
                                     static_cast<uint32_t>(std::clamp<int>(brightness_[i], 0, 255)), nullptr, &rect,
                                     nullptr);
        }
    }
    if (state_ == kStageSelect) {
        CDrawListPlane* deferred = CGameObjectRegistry::GetInstance()->GetDrawListPlane();
        if (!deferred) return;
        for (int i = 0; i < 3; ++i) {
            const int card = GameState().save.IsCleared(i + 1) ? i : 3;
            deferred->SetLayer(items_[i].depth);
            DrawPlaneBlendConstKeyed(deferred, stage_cards_[card].get(), kCarouselX + (items_[i].x >> 16),
                                     kCarouselY + (items_[i].y >> 16), item_alpha_[i], nullptr, nullptr, nullptr);
        }
    }
}

} // namespace zuderadeDoruVAV3ed
