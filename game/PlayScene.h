// PlayScene.h -- the play of one stage (CGameMainScene: its objects, the six-state machine, the
// records and replays at the goal) and the two scenes that run it: CPlayScene plays live and
// records the buttons, CReplayScene plays a stored replay back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/GameObject.h"
#include "game/PlayerFish.h"
#include "game/Scene.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CAirGauge;
class CBackGround;
class CFastPlane;
class CFishManager;
class CFlyingDistance;
class CGameMainMenu;
class CGameTimer;
struct CGameState;
class CInputRecorder;
class CMapGauge;
class CStageEndDemo;
class CStageEndScoreShow;
class CStageStartDemo;

constexpr const char kDemoPlayFile[] = "GameData/Shared/LoadList/DemoPlay.ltd";

// The "DEMO PLAY" picture shown over a replay, fading in.
class CDemoPlayLogo {
public:
    // Reads DemoPlay.ltd; a missing file leaves the logo without a picture, unreported.
    void Load(const std::string& file = kDemoPlayFile);
    // Raises the alpha by one (to 255) and records the picture at layer 250.
    void Draw();

    CFastPlane* GetPicture() const { return plane_.get(); }
    int32_t GetAlpha() const { return alpha_; }
    int32_t GetX() const { return x_; }
    int32_t GetY() const { return y_; }

private:
    KTL::smart_ptr<CFastPlane> plane_;
    int32_t x_ = 0, y_ = 0;
    int32_t alpha_ = 0;
};

// What the play looked like in the frame the goal line was reached.
struct GoalSnapshot {
    bool reached = false;
    uint32_t recorder_index = 0;
    int32_t x = 0, y = 0, vx = 0, vy = 0;
    uint32_t gauge = 0;
    int32_t best_jump = 0;
};

class CGameMainScene {
public:
    enum State : int { kStart = 0, kStartDemo = 1, kPlay = 2, kScoreShow = 3, kBeginFade = 4, kFadeOut = 5 };
    static constexpr int32_t kCameraStartY = -240 * 1024;
    static constexpr int32_t kCameraFollow = 512;

    CGameMainScene();
    ~CGameMainScene();

    // Builds and loads every object of the current stage. control may be null (no scene jumps).
    void Load(CSceneControl* control, CInputRecorder* recorder);
    // One frame of the state machine.
    void OnMove();
    // Records the current state's drawing.
    void OnDraw(ISurface* back);
    // At a live goal: the run's best jump and elapsed time become the records of the stage (1 to
    // 3 only) when strictly better, each saving the recording as its replay; the stage is marked
    // cleared and the save file written.
    void StoreRecords(int stage);

    int GetState() const { return state_; }
    bool IsPaused() const { return paused_ != 0; }
    CPlayerFish& GetPlayer() { return *player_; }
    CFishManager& GetFishManager() { return *fish_; }
    CBackGround& GetBackGround() { return *background_; }
    const GameCamera& GetCamera() const { return *camera_; }
    CGameTimer& GetTimer() { return *timer_; }
    CAirGauge& GetGauge() { return *gauge_; }
    CFlyingDistance& GetDistance() { return *distance_; }
    CStageEndDemo& GetEndDemo() { return *end_demo_; }
    CMapGauge& GetMapGauge() { return *map_gauge_; }
    CDemoPlayLogo& GetLogo() { return logo_; }
    CInputRecorder* GetRecorder() const { return recorder_; }
    const GoalSnapshot& GetGoal() const { return goal_; }
    // The gauge amount the stage starts with (after load, on a retry, in a replay).
    int GetStartGauge() const { return start_gauge_; }

private:
    // The player fish's links to the gauge and the flying distance.
    struct GaugeLink : IPlayerGauge {
        CAirGauge* gauge = nullptr;
        uint32_t GetAmount() const override;
        void SetAmount(uint32_t amount) override;
    };
    struct DistanceLink : IFlightTracker {
        CFlyingDistance* distance = nullptr;
        void Track(int32_t x, int32_t y) override;
    };

    bool IsReplay() const;
    void MovePlay();
    void Retry();
    void FinishStage();
    void UpdateMap();
    // The timer's elapsed time in hundredths of a second.
    int32_t Elapsed() const;
    void Jump(int scene);

    std::vector<KTL::smart_ptr<IGameObject>> objects_;   // the player, the background, the fish
    CPlayerFish* player_ = nullptr;
    CBackGround* background_ = nullptr;
    CFishManager* fish_ = nullptr;
    std::unique_ptr<GameCamera> camera_;
    std::unique_ptr<CGameTimer> timer_;
    std::unique_ptr<CAirGauge> gauge_;
    std::unique_ptr<CFlyingDistance> distance_;
    std::unique_ptr<CGameMainMenu> menu_;
    std::unique_ptr<CStageStartDemo> start_demo_;
    std::unique_ptr<CStageEndDemo> end_demo_;
    std::unique_ptr<CMapGauge> map_gauge_;
    std::unique_ptr<CStageEndScoreShow> score_show_;
    CInputRecorder* recorder_ = nullptr;   // not owned
    CSceneControl* control_ = nullptr;     // not owned
    uint8_t paused_ = 0;
    int32_t state_ = kStart;
    CDemoPlayLogo logo_;
    GaugeLink gauge_link_;
    DistanceLink distance_link_;
    int start_gauge_ = 0;
    GoalSnapshot goal_;
};

// The scenes that own a stage's play; they differ only in how they start.
class CStagePlayScene : public CSceneBase {
public:
    CStagePlayScene();
    ~CStagePlayScene() override;

    void OnMove(const KTL::smart_ptr<ISurface>& back) override;
    void OnDraw(const KTL::smart_ptr<ISurface>& back) override;

    // Null until OnInit has loaded a stage.
    CGameMainScene* GetMain() const { return main_.get(); }
    CInputRecorder* GetRecorder() const { return recorder_.get(); }

protected:
    // Makes the play and a recorder of 16 frames, zeroed and recording.
    void Prepare();

    std::unique_ptr<CGameMainScene> main_;
    std::unique_ptr<CInputRecorder> recorder_;
    bool loaded_ = false;
};

// Scene 3: the live play of the current stage, recorded.
class CPlayScene : public CStagePlayScene {
public:
    void OnInit() override;
};

// Scene 6: the next stored replay of the cursor, or the ranking when there is none.
class CReplayScene : public CStagePlayScene {
public:
    void OnInit() override;
};

// Walks the replay cursor of the game state from its place over every stage and kind (at most
// 2 x final stage tries) and loads the first replay file found into the recorder. The stage
// loaded, or 0 when none was found; the cursor has moved past every file tried.
int FindReplay(CGameState& state, CInputRecorder& recorder);

} // namespace zuderadeDoruVAV3ed
