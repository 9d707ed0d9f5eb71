// ScoreRankScene.h -- the ranking: one page per stage with its name, its best flight and its best
// time sliding into place over a picture of the sea, with bubbles rising across the screen.
#pragma once

#include <cstdint>
#include <string>

#include "game/DemoFiles.h"
#include "game/Scene.h"

namespace zuderadeDoruVAV3ed {

class CScoreRank {
public:
    static constexpr int kTexts = 4;   // distance, time, stage name, "HI SCORE"
    static constexpr int kBubbles = 128;
    static constexpr int kTextLayer = 1000, kBackgroundLayer = 10000;
    static constexpr int kFont = 2;

    struct Text {
        int32_t x = 0, y = 0, target_x = 0, target_y = 0, rate = 0;   // 22.10, rate x 1024
        int32_t start_x = 0, start_y = 0, loaded_target_x = 0, loaded_target_y = 0, loaded_rate = 0;
        std::string text;
    };
    struct Bubble {
        int32_t x = 0;        // pixels
        int32_t y = 0;        // 22.10
        int32_t speed = 0;    // 22.10 a frame, negative upwards
        int32_t cell = 0;
        int32_t layer = 0;
        uint8_t live = 0;
    };

    // Reads the layout file and sets up for the first page.
    void Init(const std::string& file = kScoreRankFile);
    // One frame; true when the ranking is over (the current stage is then 1).
    bool Move();
    void Draw();

    void ResetPage();
    void AnimatePage();

    int GetPageState() const { return page_state_; }
    int GetWaitCounter() const { return wait_counter_; }
    int GetPageWait() const { return page_wait_; }
    const Text& GetText(int i) const { return texts_[i]; }
    const Bubble& GetBubble(int i) const { return bubbles_[i]; }
    Bubble& Bubbles(int i) { return bubbles_[i]; }
    int LiveBubbles() const;
    const CDemoPictures& GetPictures() const { return pictures_; }

    static constexpr const char kScoreRankFile[] = "GameData/Score/LoadList/ScoreRank.ltd";

private:
    void SetUpPage(int stage);
    void MoveBubbles();

    CDemoPictures pictures_;   // 0 the background, 1 the bubble cells
    int page_state_ = 0;
    Text texts_[kTexts];
    Bubble bubbles_[kBubbles];
    int32_t wait_counter_ = 0;
    int32_t page_wait_ = 0;
};

class CScoreRankScene : public CSceneBase {
public:
    void OnInit() override;
    void OnMove(const KTL::smart_ptr<ISurface>& back) override;
    void OnDraw(const KTL::smart_ptr<ISurface>& back) override;

    CScoreRank* GetRank() const { return rank_.get(); }

private:
    KTL::smart_ptr<CScoreRank> rank_;
};

} // namespace zuderadeDoruVAV3ed
