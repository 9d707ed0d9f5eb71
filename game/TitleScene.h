// TitleScene.h -- the title: the picture fading in, the menu (new game, stage select, exit),
// the stage-select carousel of cleared stages, and the attract alternation of ranking and replay.
#pragma once

#include <cstdint>

#include "game/Scene.h"

namespace zuderadeDoruVAV3ed {

class CFastPlane;

class CTitleScene : public CSceneBase {
public:
    enum State : int { kFadeIn = 0, kStageSelect = 1, kMenu = 2, kFadeOut = 3 };
    static constexpr int kIdleFrames = 120;
    static constexpr int kFrontAngle = 384;
    static constexpr int kThird = 170;           // a third of a turn of 512
    static constexpr int kRotationStep = 16;
    static constexpr int kCarouselX = 220, kCarouselY = 260;   // a card's top-left at the carousel's centre

    struct CarouselItem {
        int32_t angle = 0;       // 512 a turn
        int32_t remaining = 0;   // rotation left
        int32_t x = 0, y = 0, depth = 0;   // 16.16
    };

    CTitleScene();
    ~CTitleScene() override;

    void OnInit() override;
    void OnMove(const KTL::smart_ptr<ISurface>& back) override;
    void OnDraw(const KTL::smart_ptr<ISurface>& back) override;

    // The carousel's step: a turn started by left or right, one frame of rotation, positions.
    void MoveMenu();

    int GetState() const { return state_; }
    int GetAlpha() const { return alpha_; }
    int GetIdleCounter() const { return idle_counter_; }
    int GetMenuCursor() const { return menu_cursor_; }
    int GetBrightness(int item) const { return brightness_[item]; }
    int GetCarouselCursor() const { return carousel_cursor_; }
    const CarouselItem& GetItem(int i) const { return items_[i]; }
    int GetItemAlpha(int i) const { return item_alpha_[i]; }
    bool IsReady() const { return ready_ != 0; }

private:
    void MoveMenuState();
    void MoveStageSelect();
    void MoveFadeOut();
    void StartStageSelect();

    KTL::smart_ptr<CFastPlane> background_;
    KTL::smart_ptr<CFastPlane> menu_;
    KTL::smart_ptr<CFastPlane> stage_cards_[4];   // stages 1 to 3, then the locked card
    int state_ = kFadeIn;
    int32_t alpha_ = 0;
    int32_t idle_counter_ = 0;
    int32_t menu_cursor_ = 0;
    int16_t brightness_[3] = {};
    uint8_t step_ = 16;
    int32_t carousel_cursor_ = 0;
    CarouselItem items_[3];
    int32_t base_angle_ = kFrontAngle;
    uint8_t direction_ = 0;
    uint8_t ready_ = 1;
    uint8_t item_alpha_[3] = {};
};

constexpr const char kTitleBackground[] = "GameData/Title/Image/TitleBackGraund.bmp";
constexpr const char kTitleMenu[] = "GameData/Title/Image/title_menu.bmp";
// Stage cards 1 to 3, then the card of a stage not yet cleared.
constexpr const char* const kTitleStageCards[4] = {
    "GameData/Title/Image/StageSelect1.bmp", "GameData/Title/Image/StageSelect2.bmp",
    "GameData/Title/Image/StageSelect3.bmp", "GameData/Title/Image/StageSelect0.bmp"};

} // namespace zuderadeDoruVAV3ed
