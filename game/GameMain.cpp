// GameMain.cpp -- the game's set-up, main loop and tear-down on the application thread.
#include "game/GameMain.h"

#include <memory>

#include "game/BitmapFont.h"
#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/Scene.h"
#include "game/SceneSound.h"
#include "game/ScreenEffect.h"
#include "game/SoundSets.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "sdk/app/FPSTimer.h"
#include "sdk/app/Rand.h"
#include "sdk/app/SceneControl.h"
#include "sdk/draw/FastDraw.h"
#include "sdk/input/VirtualKey.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kFramesPerSecond = 30;
constexpr int kButtonEsc = 0;
constexpr const char kDataFolder[] = "GameData";
} // namespace

int CGameApp::OnPreCreate(CAppFrameOption& option) {
    option.caption = kGameCaption;
    option.class_name = "KORVANE_STUDIO";
    option.width = kScreenWidth;
    option.height = kScreenHeight;
    option.style = 0xCA0000;
    return 0;
}

void CGameApp::MainThread() {
    CGameMainThread body(options_);
    body.SetFastDraw(CFastDraw::Create());
    body.Run();
}

bool DrawFrame(CSceneControl& control, const KTL::smart_ptr<ISurface>& back, CDrawListPlane& deferred,
               CFastDraw* draw, bool skip) {
    control.OnDraw(back);
    if (skip) {
        FlushDrawRecords(deferred, nullptr);
        return false;
    }
    FlushDrawRecords(deferred, back.get());
    if (draw) draw->OnDraw(nullptr, true);
    return true;
}

CGameMainThread::CGameMainThread(const CGameRunOptions& options) : options_(options) {}

CGameMainThread::~CGameMainThread() { fast_draw_.reset(); }

void CGameMainThread::SetUp() {
    // The first depth that works stays; without any the game runs on and shows nothing.
    if (CFastDraw* draw = fast_draw_.get()) {
        draw->BeginChangeDisplay();
        for (int bits : {32, 24, 16}) draw->TestDisplayMode(kScreenWidth, kScreenHeight, true, bits);
        draw->EndChangeDisplay();
    }
    SetMainApp(true);

    // Without its data the game shows nothing at all: the player is told, log or no log.
    if (!platform::IsDirectory(kDataFolder))
        ReportDataFailure("CGameMainThread::Main", kDataFolder, "作業フォルダにない: 画面も音もなく進む", true);

    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    registry->CreateObjects();
    registry->GetRandom()->SetSeed(options_.seeded ? options_.seed : platform::TickCount());
    registry->GetFontSet()->Load();
    CGameState* state = registry->GetGameState();
    state->Reset(this);
    LoadGameSettings(*state);
    if (options_.stage > 0) state->current_stage = options_.stage;
    registry->GetScreenEffect()->Init();
    registry->GetSESet()->Load(kSoundChannels);
    registry->GetBGMSet()->Create();
}

void CGameMainThread::Main() {
    CFPSTimer timer;
    timer.SetFPS(kFramesPerSecond);
    SetUp();

    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    CSceneFactory* factory = new CSceneFactory(this);
    auto control = std::make_unique<CSceneControl>(KTL::smart_ptr<ISceneFactory>(factory));
    scene_control_ = control.get();
    scene_factory_ = factory;
    control->JumpScene(options_.first_scene);

    const auto back = KTL::smart_ptr<ISurface>::NotOwned(fast_draw_ ? fast_draw_->GetBackPlane() : nullptr);
    CDrawListPlane& deferred = *registry->GetDrawListPlane();
    CGameState& state = *registry->GetGameState();
    CDefaultKeyInput& input = *registry->GetInput();

    int frames = 0;
    while (IsThreadValid()) {
        input.Input();
        // Taken before the move: a scene that changes scene polls the keys again.
        const bool esc = input.IsKeyPush(kButtonEsc);
        control->OnMove(back);
        const bool has_scene = static_cast<bool>(control->GetScene());
        bool drawn = false;
        if (has_scene) {
            const bool forced = options_.skip_every > 0 && (frames + 1) % options_.skip_every == 0;
            drawn = DrawFrame(*control, back, deferred, fast_draw_.get(), timer.ToBeSkip() || forced);
            if (esc || input.IsKeyPush(kButtonEsc)) state.quit = 1;
        }
        ++frames;
        const bool go_on = !options_.observer || options_.observer->OnFrame(*this, frames, drawn);
        if (!has_scene) break;
        if (state.quit) {
            ResetMainVolume();
            break;
        }
        if (!go_on) break;
        timer.WaitFrame();
    }
    if (options_.observer) options_.observer->OnLoopEnd(*this, frames);

    registry->ReleaseObjects();
    scene_control_ = nullptr;
    scene_factory_ = nullptr;
    control.reset();
}

} // namespace zuderadeDoruVAV3ed
