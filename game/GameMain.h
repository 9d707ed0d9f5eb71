// GameMain.h -- the game's application (CGameApp) and its main body (CGameMainThread): set-up,
// the per-frame loop (input, move, draw, deferred-draw flush, present, frame wait), tear-down.
#pragma once

#include <cstdint>

#include "sdk/app/AppFrame.h"
#include "sdk/app/AppListener.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CDrawListPlane;
class CFastDraw;
class CGameMainThread;
class ISurface;
class CSceneControl;
class CSceneFactory;

// Told of every frame of the loop (by a driver that runs the game without a player).
class IGameFrameObserver {
public:
    virtual ~IGameFrameObserver() = default;
    // After frame number `frame` (1 for the first) was moved and, unless `drawn` is false,
    // drawn and presented. false ends the loop after this frame, as a closed window does.
    virtual bool OnFrame(CGameMainThread& game, int frame, bool drawn) = 0;
    // After the loop, before anything is released.
    virtual void OnLoopEnd(CGameMainThread& game, int frames) {}
};

// How the main body starts; the defaults are the game's own.
struct CGameRunOptions {
    int first_scene = 1;                      // the logo
    int stage = 0;                            // > 0: the current stage after the settings load
    bool seeded = false;                      // true: seed the random generator with `seed`
    uint32_t seed = 0;
    IGameFrameObserver* observer = nullptr;   // not owned
    int skip_every = 0;                       // > 0: every such frame is taken as late (skipped)
};

class CGameMainThread : public CAppListener {
public:
    explicit CGameMainThread(const CGameRunOptions& options = CGameRunOptions());
    ~CGameMainThread() override;

    void SetFastDraw(const KTL::smart_ptr<CFastDraw>& draw) { fast_draw_ = draw; }
    CFastDraw* GetFastDraw() const { return fast_draw_.get(); }
    // The scene control and its factory while the main body runs (null otherwise).
    CSceneControl* GetSceneControl() const { return scene_control_; }
    CSceneFactory* GetSceneFactory() const { return scene_factory_; }

    void Main() override;

private:
    void SetUp();

    CGameRunOptions options_;
    KTL::smart_ptr<CFastDraw> fast_draw_;
    CSceneControl* scene_control_ = nullptr;   // owned by Main
    CSceneFactory* scene_factory_ = nullptr;   // owned by the scene control
};

class CGameApp : public CAppFrame {
public:
    explicit CGameApp(const CGameRunOptions& options = CGameRunOptions()) : options_(options) {}

protected:
    int OnPreCreate(CAppFrameOption& option) override;
    void MainThread() override;

private:
    CGameRunOptions options_;
};

// The draw step of one frame: the top scene draws, then the deferred records are replayed onto
// the back plane and the frame is presented. A skipped (late) frame still runs the scene's draw
// step, so animations advance in every frame alike, but drops its records and presents nothing.
// true when the frame was presented.
bool DrawFrame(CSceneControl& control, const KTL::smart_ptr<ISurface>& back, CDrawListPlane& deferred,
               CFastDraw* draw, bool skip);

constexpr const char kGameCaption[] = "ぴちぴちはねーるん";

} // namespace zuderadeDoruVAV3ed
