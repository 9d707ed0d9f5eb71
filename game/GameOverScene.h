// GameOverScene.h -- the game-over screen after a stage whose time ran out: an animation of
// movers, then a choice between continuing the stage and ending at the title.
#pragma once

#include <cstdint>
#include <vector>

#include "game/DemoFiles.h"
#include "game/Scene.h"

namespace zuderadeDoruVAV3ed {

class CGameOverDemo {
public:
    static constexpr int kTimingMover = 1;   // its fade times the steps
    static constexpr int kIconMover = 3;     // the selection icon

    // Reads the demo file, starts every mover forward and the game-over music.
    void Init(CSceneControl* control, const std::string& file = kGameOverDemoFile);
    void Move();
    // Clears the destination to black and records every mover.
    void Draw(ISurface* destination);

    int GetState() const { return state_; }
    int GetSelection() const { return selection_; }
    const std::vector<CMover>& GetMovers() const { return movers_; }
    const CDemoPictures& GetPictures() const { return pictures_; }

    static constexpr const char kGameOverDemoFile[] = "GameData/GameOver/LoadList/Demo.ltd";

private:
    void StepMovers();
    // The timing mover, null when the file gave too few movers.
    const CMover* Timing() const;

    CDemoPictures pictures_;
    std::vector<CMover> movers_;
    CSceneControl* control_ = nullptr;
    int state_ = 0;
    int selection_ = 0;   // 0 continue, 1 end
};

class CGameOverScene : public CSceneBase {
public:
    void OnInit() override;
    void OnMove(const KTL::smart_ptr<ISurface>& back) override;
    void OnDraw(const KTL::smart_ptr<ISurface>& back) override;

    CGameOverDemo* GetDemo() const { return demo_.get(); }

private:
    KTL::smart_ptr<CGameOverDemo> demo_;
};

} // namespace zuderadeDoruVAV3ed
