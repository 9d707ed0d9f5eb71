// Scene.h -- the game's scenes: their base, the factory that makes them by number, the logo and
// the empty scene.
//
// Scene numbers: 1 logo, 2 title, 3 play, 4 empty, 5 score rank, 6 replay, 7 game over,
// 8 stage demo. The factory makes the scenes that exist; for any other number it makes nothing
// and the scene control's stack empties, which ends the main loop.
#pragma once

#include <cstdint>
#include <vector>

#include "sdk/app/SceneControl.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CFastPlane;
class CGameMainThread;

enum SceneNumber : int {
    kSceneLogo = 1,
    kSceneTitle = 2,
    kScenePlay = 3,
    kSceneEmpty = 4,
    kSceneScoreRank = 5,
    kSceneReplay = 6,
    kSceneGameOver = 7,
    kSceneStageDemo = 8,
};

// Button numbers of the key input.
enum Button : int {
    kButtonEscape = 0,
    kButtonUp = 1,
    kButtonDown = 2,
    kButtonLeft = 3,
    kButtonRight = 4,
    kButtonDecide = 5,
    kButtonCancelSkip = 6,
};

// Asks control (when there is one) for a jump, then polls the key input once more, so that a key
// still held is not seen as pushed by the next scene.
void JumpSceneAndPoll(CSceneControl* control, int number);

// Whether the button was pushed this frame (live key input; false without one).
bool IsButtonPushed(int button);

// Whether the button is one of the player's own (not Esc, which also ends the program).
inline bool IsPlayerButton(int button) { return button >= kButtonUp && button <= kButtonCancelSkip; }

class CSceneBase : public IScene {
public:
    ~CSceneBase() override;
    void SetOwner(CGameMainThread* owner) { owner_ = owner; }
    CGameMainThread* GetOwner() const { return owner_; }

protected:
    // Asks the control for a jump and polls the key input once more, so that a key still held
    // is not seen as pushed by the next scene.
    void JumpAndPoll(int number);

    CGameMainThread* owner_ = nullptr;
};

class CSceneFactory : public ISceneFactory {
public:
    explicit CSceneFactory(CGameMainThread* owner) : owner_(owner) {}
    KTL::smart_ptr<IScene> CreateScene(int number) override;

    // Every number asked for, in order (also those that could not be made).
    const std::vector<int>& GetRequested() const { return requested_; }
    // The number of the last scene made; 0 before any.
    int GetLastMade() const { return last_made_; }

private:
    CGameMainThread* owner_;
    std::vector<int> requested_;
    int last_made_ = 0;
};

class CEmptyScene : public CSceneBase {};

// The logo card for two seconds (or until button 6), then brightening to white, then the title.
class CLogoScene : public CSceneBase {
public:
    static constexpr int kWaitFrames = 60;
    static constexpr uint32_t kAddColor = 0x060606;

    CLogoScene();
    ~CLogoScene() override;

    void OnInit() override;
    void OnMove(const KTL::smart_ptr<ISurface>& back) override;
    void OnDraw(const KTL::smart_ptr<ISurface>& back) override;

    int GetState() const { return state_; }
    int GetLevel() const { return level_; }

private:
    KTL::smart_ptr<CFastPlane> plane_;
    int state_ = 0;          // 0 waiting, 1 fading
    int32_t counter_ = 0;    // frames left to wait; the added colour while fading
    int level_ = 0;          // fade level
};

constexpr const char kLogoPicture[] = "GameData/Logo/Image/LogoCredit.bmp";

} // namespace zuderadeDoruVAV3ed
