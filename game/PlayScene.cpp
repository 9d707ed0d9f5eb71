// PlayScene.cpp -- the play of one stage and the live and replay scenes that run it.
#include "game/PlayScene.h"

#include <algorithm>
#include <cstdlib>

#include "game/AirGauge.h"
#include "game/BackGround.h"
#include "game/DrawListPlane.h"
#include "game/FishManager.h"
#include "game/FlyingDistance.h"
#include "game/GameMainMenu.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/GameTimer.h"
#include "game/InputRecorder.h"
#include "game/MapGauge.h"
#include "game/SceneSound.h"
#include "game/ScreenEffect.h"
#include "game/SoundCue.h"
#include "game/StageEndDemo.h"
#include "game/StageEndScoreShow.h"
#include "game/StageStartDemo.h"
#include "platform/fs.h"
#include "sdk/file/StringScanner.h"
#include "sdk/input/VirtualKey.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr int kButtonCancel = 6;
constexpr int kLogoLayer = 250;
constexpr int kRecorderStartFrames = 16;
constexpr uint32_t kCurtainColor = 0x10101;
constexpr int kSoundGoal = 11;
constexpr int kFirstStartVoice = 12;
constexpr int kStartVoices = 3;
constexpr int kMusicClear = 1;
constexpr int kFirstStageMusic = 4;
// The effects the play uses, loaded ahead so that their first use does not stall a frame.
constexpr int kPreloadedSounds[] = {11, 3, 5, 4, 6, 7, 8, 2, 18, 15, 23, 24};

// The screen effect's wipe along y (opening) or x (closing), restarted.
void StartWipe(bool horizontal, int frames, int meeting) {
    CScreenEffect* effect = CGameObjectRegistry::GetInstance()->GetScreenEffect();
    if (!effect) return;
    effect->horizontal = horizontal ? 1 : 0;
    effect->closing = horizontal ? 1 : 0;
    effect->frames = frames;
    effect->meeting_position = meeting;
    effect->curtain_color = kCurtainColor;
    effect->Restart();
}

} // namespace

void CDemoPlayLogo::Load(const std::string& file) {
    if (!platform::FileExists(file)) return;   // a missing file means no logo, unreported
    std::vector<std::string> lines;
    if (!ReadDataLines(file, "CDemoPlayLogo::Load", lines)) return;
    CStringScanner scanner;
    for (const std::string& line : lines) {
        scanner.SetText(line);
        if (scanner.IsMatch("#DemoPlayLogoPos")) {
            scanner.GetNum(x_);
            scanner.GetNum(y_);
            alpha_ = 0;
        } else if (scanner.IsMatch("#DemoPlayLogoImageFile")) {
            std::string name;
            scanner.GetStr(name);
            plane_ = LoadPicture(name, "CDemoPlayLogo::Load");
        }
    }
}

void CDemoPlayLogo::Draw() {
    alpha_ = std::min(alpha_ + 1, 255);
    if (CDrawListPlane* deferred = GetDeferredPlane()) {
        deferred->SetLayer(kLogoLayer);
        DrawPlaneBlendConstKeyed(deferred, plane_.get(), x_, y_, static_cast<uint32_t>(alpha_), nullptr, nullptr,
                                 nullptr);
    }
}

uint32_t CGameMainScene::GaugeLink::GetAmount() const { return static_cast<uint32_t>(gauge->GetAmount()); }
void CGameMainScene::GaugeLink::SetAmount(uint32_t amount) {
    gauge->SetAmount(static_cast<int>(std::min<uint32_t>(amount, 255)));
}
void CGameMainScene::DistanceLink::Track(int32_t x, int32_t y) { distance->Track(x, y); }

CGameMainScene::CGameMainScene() = default;

CGameMainScene::~CGameMainScene() {
    // Members go in reverse order; the play objects hold the camera, so they go first.
    objects_.clear();
}

bool CGameMainScene::IsReplay() const { return recorder_ && !recorder_->IsRecording(); }

void CGameMainScene::Load(CSceneControl* control, CInputRecorder* recorder) {
    control_ = control;
    recorder_ = recorder;
    objects_.resize(3);
    player_ = new CPlayerFish();
    background_ = new CBackGround();
    fish_ = new CFishManager();
    objects_[0].reset(player_);
    objects_[1].reset(background_);
    objects_[2].reset(fish_);

    camera_ = std::make_unique<GameCamera>();
    timer_ = std::make_unique<CGameTimer>();
    gauge_ = std::make_unique<CAirGauge>();
    distance_ = std::make_unique<CFlyingDistance>();
    menu_ = std::make_unique<CGameMainMenu>();
    start_demo_ = std::make_unique<CStageStartDemo>();
    end_demo_ = std::make_unique<CStageEndDemo>();
    map_gauge_ = std::make_unique<CMapGauge>();
    score_show_ = std::make_unique<CStageEndScoreShow>();
    camera_->follow = kCameraFollow;

    timer_->Load();
    timer_->Reset();   // current := the start value when counting down, else 0; alarm armed
    distance_->Load();
    gauge_->Create();
    start_gauge_ = gauge_->GetAmount();
    menu_->Load();
    start_demo_->Create();
    end_demo_->ClearFlags();
    end_demo_->SetAlpha(255);
    end_demo_->Load();
    map_gauge_->Load();
    score_show_->Create();

    for (auto& object : objects_) object->Create(camera_.get());

    // The near-goal test takes the player's half width off the line.
    if (const CSpriteFrame* frame = player_->GetBodySprite().GetCurrentFrame())
        end_demo_->SetNearGoalLine(WrapSub(end_demo_->GetNearGoalLine(), WrapMul(frame->Width(), 512)));

    gauge_link_.gauge = gauge_.get();
    distance_link_.distance = distance_.get();
    player_->SetGauge(&gauge_link_);
    player_->SetFlightTracker(&distance_link_);
    player_->SetFishManager(fish_);
    player_->SetRecorder(recorder_);
    player_->SetGoalLine(end_demo_->GetGoalLine());
    player_->SetSoundPlayer(PlaySoundEffect);
    fish_->SetPlayer(player_);

    paused_ = 0;
    state_ = kStart;
    goal_ = GoalSnapshot();
    // The timer's seconds at 30 frames a second, and 128 frames to spare.
    if (recorder_) recorder_->SetFrameCount(static_cast<uint32_t>(((timer_->GetLimit() >> 10) / 100) * 30 + 128));
    logo_.Load();
}

int32_t CGameMainScene::Elapsed() const { return (timer_->GetLimit() >> 10) - (timer_->GetCurrent() >> 10); }

void CGameMainScene::UpdateMap() { map_gauge_->SetProgress(player_->GetLive().x, end_demo_->GetGoalLine()); }

void CGameMainScene::Jump(int scene) {
    if (control_) control_->JumpScene(scene);
    // A key still held is not seen as pushed by the next scene.
    if (CDefaultKeyInput* input = CGameObjectRegistry::GetInstance()->GetInput()) input->Input();
}

void CGameMainScene::OnMove() {
    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    CScreenEffect* effect = registry->GetScreenEffect();
    switch (state_) {
    case kStart:
        camera_->target_x = camera_->x = 0;
        camera_->target_y = camera_->y = kCameraStartY;
        StartWipe(false, 20, 240);
        background_->Move();
        fish_->Move();
        if (CGameState* state = registry->GetGameState()) PlaySceneBGM(state->current_stage + kFirstStageMusic, true);
        for (int sound : kPreloadedSounds) PreloadSceneSE(sound);
        PlaySoundEffect(kFirstStartVoice + static_cast<int>(NextRandom() % kStartVoices), 0);
        state_ = kStartDemo;
        break;
    case kStartDemo: {
        if (start_demo_->Move()) state_ = kPlay;
        // The fish glides in towards x = 0 by about a tenth of the distance a frame.
        int32_t& x = player_->GetLive().x;
        if (x < 0) {
            const int64_t step = (std::llabs(int64_t{x}) * 102) >> 10;
            x = static_cast<int32_t>(std::min<int64_t>(int64_t{x} + step, 0));
        }
        if (effect) effect->Move();
        UpdateMap();
        break;
    }
    case kPlay: MovePlay(); break;
    case kScoreShow:
        if (score_show_->Move(distance_->GetBestJump(), Elapsed())) state_ = kBeginFade;
        break;
    case kBeginFade:
        StartWipe(true, 10, 320);
        state_ = kFadeOut;
        break;
    case kFadeOut:
        if (effect) effect->Move();
        if (!effect || effect->done) FinishStage();
        break;
    default: break;
    }
}

void CGameMainScene::MovePlay() {
    // The pause button is asked of the live key input, never of the recorder.
    if (IsLiveButtonPush(kButtonCancel)) {
        if (IsReplay()) {
            if (CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState()) state->current_stage = 1;
            Jump(kSceneTitle);
            return;
        }
        paused_ = 1;
    }
    if (paused_) {
        switch (menu_->Move()) {
        case CGameMainMenu::kResume:
            paused_ = 0;
            menu_->Reset();
            break;
        case CGameMainMenu::kRetry:
            paused_ = 0;
            menu_->Reset();
            Retry();
            break;
        case CGameMainMenu::kQuit: Jump(kSceneTitle); break;
        default: break;
        }
        return;
    }
    for (auto& object : objects_) object->Move();
    timer_->Move();
    if (timer_->GetCurrent() == 0) state_ = kBeginFade;
    player_->HitCheckFish();
    // Near the goal the camera stops following x.
    player_->GetLive().follow_x = end_demo_->IsNearGoal() ? 0 : 1;
    const PlayerBlock& live = player_->GetLive();
    if (end_demo_->Move(live.x)) {
        goal_.reached = true;
        goal_.recorder_index = recorder_ ? recorder_->GetFrameIndex() : 0;
        goal_.x = live.x;
        goal_.y = live.y;
        goal_.vx = live.vx;
        goal_.vy = live.vy;
        goal_.gauge = static_cast<uint32_t>(gauge_->GetAmount());
        goal_.best_jump = distance_->GetBestJump();
        state_ = kBeginFade;
        if (!IsReplay() && timer_->GetCurrent() != 0) {
            PlaySoundEffect(kSoundGoal, 0);
            PlaySceneBGM(kMusicClear, false);
            state_ = kScoreShow;
        }
    }
    UpdateMap();
}

void CGameMainScene::Retry() {
    for (auto& object : objects_) object->Reset();
    distance_->Reset();
    timer_->Reset();
    // The gauge starts again where the stage starts, as a replay of this run will.
    gauge_->SetAmount(start_gauge_);
    start_demo_->Reset();
    end_demo_->ClearFlags();
    score_show_->Restart();
    if (recorder_) recorder_->Reset();
    goal_ = GoalSnapshot();
    state_ = kStart;
}

void CGameMainScene::StoreRecords(int stage) {
    CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState();
    // Only the stages the save record holds keep records.
    if (!state || stage < 1 || stage > SaveRecord::kStages) return;
    // A save file that could not be read at start is never replaced, nor its replays.
    const bool write_replays = recorder_ && !state->save_unreadable;
    const uint32_t jump = static_cast<uint32_t>(distance_->GetBestJump());
    if (state->save.GetBestFlight(stage) < jump) {
        state->save.SetBestFlight(stage, jump);
        if (write_replays) SaveReplay(*recorder_, stage, 0);
    }
    const uint32_t elapsed = static_cast<uint32_t>(Elapsed());
    if (state->save.BeatsBestTime(stage, elapsed)) {
        state->save.SetBestTime(stage, elapsed);
        if (write_replays) SaveReplay(*recorder_, stage, 1);
    }
    state->save.SetCleared(stage, true);
    SaveGameData(*state);
}

void CGameMainScene::FinishStage() {
    CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState();
    if (IsReplay()) {
        if (state) state->current_stage = 1;
        Jump(kSceneTitle);
        return;
    }
    if (timer_->GetCurrent() == 0) {   // the time ran out: nothing is stored
        Jump(kSceneGameOver);
        return;
    }
    if (IsSceneBGMPlaying()) return;   // the fanfare ends first
    if (!state) return;
    const int stage = state->current_stage;
    StoreRecords(stage);
    if (state->single_stage) {
        Jump(kSceneGameOver);
    } else if (state->replay) {
        state->current_stage = 1;
        Jump(kSceneTitle);
    } else {
        state->current_stage = stage + 1;
        Jump(kSceneStageDemo);
    }
}

void CGameMainScene::OnDraw(ISurface* back) {
    CDrawListPlane* deferred = GetDeferredPlane();
    CScreenEffect* effect = CGameObjectRegistry::GetInstance()->GetScreenEffect();
    switch (state_) {
    case kStartDemo:
        start_demo_->Draw();
        if (effect && deferred) effect->Draw(*deferred);
        player_->Draw(back);
        background_->Draw(back);
        distance_->Draw();
        timer_->Draw();
        gauge_->Draw();
        map_gauge_->Draw();
        break;
    case kPlay: {
        if (paused_) {
            menu_->Draw();
        } else {
            for (auto& object : objects_) object->Draw(back);
            distance_->Draw();
            timer_->Draw();
            gauge_->Draw();
            end_demo_->Draw();
            map_gauge_->Draw();
        }
        const CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState();
        if (state && state->replay) logo_.Draw();
        break;
    }
    case kScoreShow:
        // The show records its texts and picture above the backdrop's layers; the backdrop's fill
        // goes on the back plane itself, beneath them all.
        score_show_->Draw(back, [this](ISurface* destination) { background_->Draw(destination); });
        break;
    case kFadeOut:
        if (effect && deferred) effect->Draw(*deferred);
        break;
    default: break;
    }
}

int FindReplay(CGameState& state, CInputRecorder& recorder) {
    const int tries = 2 * std::max(state.final_stage, 0);
    for (int i = 0; i < tries; ++i) {
        const int stage = state.replay_stage;
        const bool failed = LoadReplay(recorder, stage, state.replay_kind);
        state.replay_stage += 1;
        if (static_cast<uint32_t>(state.replay_stage) > static_cast<uint32_t>(state.final_stage)) {
            state.replay_stage = 1;
            state.replay_kind ^= 1;
        }
        if (!failed) return stage;
    }
    return 0;
}

CStagePlayScene::CStagePlayScene() = default;

CStagePlayScene::~CStagePlayScene() {
    main_.reset();
    recorder_.reset();
}

void CStagePlayScene::Prepare() {
    main_ = std::make_unique<CGameMainScene>();
    recorder_ = std::make_unique<CInputRecorder>(
        KTL::smart_ptr<CKeyBase>(CGameObjectRegistry::GetInstance()->GetInputPtr()));
    recorder_->SetFrameCount(kRecorderStartFrames);
    recorder_->Reset();
    recorder_->SetRecording(true);
}

void CStagePlayScene::OnMove(const KTL::smart_ptr<ISurface>&) {
    if (loaded_) main_->OnMove();
}

void CStagePlayScene::OnDraw(const KTL::smart_ptr<ISurface>& back) {
    if (loaded_) main_->OnDraw(back.get());
}

void CPlayScene::OnInit() {
    Prepare();
    main_->Load(scene_control_.get(), recorder_.get());
    recorder_->Reset();   // as many masks as the stage's frame count, zeroed
    recorder_->SetRecording(true);
    loaded_ = true;
}

void CReplayScene::OnInit() {
    Prepare();
    CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState();
    const int stage = state ? FindReplay(*state, *recorder_) : 0;
    if (stage == 0) {
        JumpAndPoll(kSceneScoreRank);
        return;
    }
    state->current_stage = stage;
    recorder_->SetRecording(false);
    main_->Load(scene_control_.get(), recorder_.get());
    loaded_ = true;
}

} // namespace zuderadeDoruVAV3ed
