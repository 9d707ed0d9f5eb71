// StageDemoScene.cpp -- the stage demo's script reader and its scene.
#include "game/StageDemoScene.h"

#include <algorithm>
#include <cstdlib>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/SceneSound.h"
#include "game/StageData.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kPicture = 0, kMessage = 1;
constexpr int kPictureLayer = 10000, kMessageLayer = 1000;
constexpr int kWaitKey = 0, kWaitTime = 1;
constexpr char kCaller[] = "CStageDemoScript::RunScript";

// A coordinate of the script, held so that its 22.10 form fits 32 bits.
int ReadScreenNumber(CStringScanner& scanner, int& value, const char* what) {
    return ReadNumberIn(scanner, value, -kMaxScreenPixels, kMaxScreenPixels, "CStageDemoScript::ReadHeader", what);
}
} // namespace

CStageDemoScript::CStageDemoScript() = default;
CStageDemoScript::~CStageDemoScript() = default;

CFastPlane* CStageDemoScript::GetPlane(int i) const {
    return i >= 0 && i < GetPlaneCount() ? planes_[i].get() : nullptr;
}

bool CStageDemoScript::IsShown(int plane) const {
    if (plane < 0 || static_cast<size_t>(plane >> 5) >= shown_.size()) return false;
    return (shown_[plane >> 5] >> (plane & 31) & 1) != 0;
}

void CStageDemoScript::SetShown(int plane, bool shown) {
    if (plane < 0 || static_cast<size_t>(plane >> 5) >= shown_.size()) return;
    const uint32_t bit = 1u << (plane & 31);
    shown_[plane >> 5] = shown ? shown_[plane >> 5] | bit : shown_[plane >> 5] & ~bit;
}

void CStageDemoScript::CreatePlanes(int count) {
    if (count > kMaxPlanes) {
        CErrorLog::Out("CStageDemoScript::CreatePlanesで面の数%dを%dにする", count, kMaxPlanes);
        count = kMaxPlanes;
    }
    // The picture and the message always have their planes.
    count = std::max(count, kMinPlanes);
    planes_.clear();
    for (int i = 0; i < count; ++i) {
        KTL::smart_ptr<CFastPlane> plane(new CFastPlane());
        plane->CreateSurface(640, 480);
        planes_.push_back(plane);
    }
    shown_.assign(static_cast<size_t>((count + 31) >> 5), 0u);
}

void CStageDemoScript::LoadScript() {
    std::string path = kStageDemoScript;
    if (const CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState()) InsertStageNumber(*state, path);
    LoadScriptFile(path);
}

void CStageDemoScript::LoadScriptFile(const std::string& path) {
    CreatePlanes(kMinPlanes);
    file_.Close();
    file_open_ = false;
    if (file_.ReadWithArchive(path) != 0) {
        // Without its script the demo has nothing to show: the game goes on at once.
        ReportDataFailure("CStageDemoScript::LoadScript", path, "読めない");
        ended_ = 1;
        return;
    }
    file_open_ = true;
    ReadHeader();
}

void CStageDemoScript::ReadHeader() {
    std::string line;
    CStringScanner scanner;
    while (file_.ReadTextLine(line) == 0) {
        scanner.SetText(line);
        int value = 0;
        if (scanner.IsMatch("//")) continue;
        if (scanner.IsMatch("#UseSurfaceCount")) {
            if (scanner.GetNum(value) == 0) CreatePlanes(value);
        } else if (scanner.IsMatch("#ScriptEndButton")) {
            scanner.GetNum(script_end_button_);
        } else if (scanner.IsMatch("#MasInitPosY")) {
            if (ReadScreenNumber(scanner, value, "#MasInitPosY") == 0) message_start_y_ = value << 10;
        } else if (scanner.IsMatch("#MasTargetPosY")) {
            if (ReadScreenNumber(scanner, value, "#MasTargetPosY") == 0) message_header_target_y_ = value << 10;
        } else if (scanner.IsMatch("#InitEnd")) {
            return;
        }
    }
}

void CStageDemoScript::RunScript() {
    std::string line;
    CStringScanner scanner;
    while (running_ && file_open_) {
        if (file_.ReadTextLine(line) != 0) {
            // Out of lines before #ScriptEnd: the demo waits for its end button. When the script
            // named none the player can push (an empty script names none), only Esc could end it,
            // so it ends as with #ScriptEnd.
            if (!IsPlayerButton(script_end_button_)) {
                CErrorLog::Out("%sで#ScriptEndの前にスクリプトが終わった", kCaller);
                EndScript();
            }
            return;
        }
        scanner.SetText(line);
        Execute(scanner);
    }
}

void CStageDemoScript::EndScript() {
    file_.Close();
    file_open_ = false;
    ended_ = 1;
}

void CStageDemoScript::Execute(CStringScanner& scanner) {
    int value = 0;
    std::string name;
    if (scanner.IsMatch("//")) return;
    if (scanner.IsMatch("#Message")) {
        float speed = 0;
        scanner.GetStr(name);
        scanner.GetFloat(speed);
        CFastPlane* plane = GetPlane(kMessage);
        if (plane->Load(name) != 0) ReportDataFailure("CStageDemoScript::RunScript", name, "画像が読めない");
        message_speed_ = SettlingRate(DecimalToFixed(speed), kCaller, "#Messageの速さ");
        SetShown(kMessage, true);
        int width = 0, height = 0;
        plane->GetSize(width, height);
        message_x_ = message_target_x_ = (320 - (width >> 1)) << 10;
        message_y_ = message_start_y_;
        message_target_y_ = message_header_target_y_;
    } else if (scanner.IsMatch("#Image")) {
        scanner.GetStr(name);
        ReadNumberIn(scanner, value, -255, 255, kCaller, "#Imageの速さ");
        if (GetPlane(kPicture)->Load(name) != 0)
            ReportDataFailure("CStageDemoScript::RunScript", name, "画像が読めない");
        SetShown(kPicture, true);
        picture_alpha_step_ = value;
        picture_alpha_ = 0;
    } else if (scanner.IsMatch("#WaitInKey")) {
        scanner.GetNum(value);
        running_ = 0;
        wait_button_ = value;
        wait_kind_ = kWaitKey;
    } else if (scanner.IsMatch("#Wait")) {
        scanner.GetNum(value);
        running_ = 0;
        // At least one frame: a shorter count would never resume the script.
        wait_counter_ = HoldInRange(value, 1, INT32_MAX, kCaller, "#Wait");
        wait_kind_ = kWaitTime;
    } else if (scanner.IsMatch("#BgFadeOut")) {
        // The level falls from 255 by the step until below 1: a step of 0 or below (or none)
        // would never end the fade and could overflow the level; one above 255 ends it as 255 does.
        scanner.GetNum(value);
        fade_step_ = HoldInRange(value, 1, 255, kCaller, "#BgFadeOutの速さ");
        fade_level_ = 255;
        background_fading_ = 1;
        running_ = 0;
    } else if (scanner.IsMatch("#BGM_Play")) {
        int loop = 0;
        scanner.GetNum(value);
        scanner.GetNum(loop);
        PlaySceneBGM(value, loop > 0);
    } else if (scanner.IsMatch("#BGM_Stop")) {
        StopSceneBGM();
    } else if (scanner.IsMatch("#SE_Play")) {
        scanner.GetNum(value);
        PlaySceneSE(value, 0);
    } else if (scanner.IsMatch("#VolumeFadeOut")) {
        scanner.GetNum(value);
        FadeOutMainVolume(static_cast<uint32_t>(std::max(value, 0)));
    } else if (scanner.IsMatch("#VolumeReset")) {
        ResetMainVolume();
    } else if (scanner.IsMatch("#ScriptEndButton")) {
        // A header line among the commands: ignored like any other unknown line.
    } else if (scanner.IsMatch("#ScriptEnd")) {
        EndScript();
    }
}

void CStageDemoScript::UpdateWaits() {
    if (!running_) {
        if (wait_kind_ == kWaitTime) {
            // Only a running count resumes the script: a finished one leaves later stops alone.
            if (wait_counter_ > 0 && --wait_counter_ < 1) running_ = 1;
        } else if (wait_kind_ == kWaitKey && IsButtonPushed(wait_button_) && arrived_) {
            running_ = 1;
            message_target_y_ = message_start_y_;
            message_y_ = message_header_target_y_;
        }
    }
    if (IsButtonPushed(script_end_button_)) ended_ = 1;
    if (background_fading_) {
        fade_level_ -= fade_step_;
        if (fade_level_ < 1) {
            fade_level_ = 1;
            background_fading_ = 0;
            running_ = 1;
        }
        GetPlane(kPicture)->FadeEffect(fade_level_, nullptr);
    }
    if (picture_alpha_ == 255) {
        SetShown(kMessage, true);
        const int32_t step =
            static_cast<int32_t>((static_cast<int64_t>(message_target_y_ - message_y_) * message_speed_) >> 10);
        message_y_ += step;
        arrived_ = std::abs(step) < 1024;
    } else {
        SetShown(kMessage, false);
    }
}

void CStageDemoScript::DrawPlanes() {
    CDrawListPlane* deferred = CGameObjectRegistry::GetInstance()->GetDrawListPlane();
    if (!deferred) return;
    if (IsShown(kPicture)) {
        picture_alpha_ = std::clamp(picture_alpha_ + picture_alpha_step_, 0, 255);
        deferred->SetLayer(kPictureLayer);
        DrawPlaneBlendConst(deferred, GetPlane(kPicture), 0, 0, static_cast<uint32_t>(picture_alpha_), nullptr,
                            nullptr, nullptr);
    }
    if (IsShown(kMessage)) {
        deferred->SetLayer(kMessageLayer);
        DrawPlaneCopyKeyed(deferred, GetPlane(kMessage), message_x_ >> 10, message_y_ >> 10, nullptr, nullptr,
                           nullptr);
    }
}

CStageDemoScene::CStageDemoScene() = default;
CStageDemoScene::~CStageDemoScene() = default;

void CStageDemoScene::OnInit() {
    script_.reset(new CStageDemoScript());
    script_->LoadScript();
}

void CStageDemoScene::OnMove(const KTL::smart_ptr<ISurface>&) {
    script_->RunScript();
    script_->UpdateWaits();
    if (!script_->IsEnded()) return;
    const CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState();
    JumpAndPoll(state && state->final_stage < state->current_stage ? kSceneScoreRank : kScenePlay);
}

void CStageDemoScene::OnDraw(const KTL::smart_ptr<ISurface>&) { script_->DrawPlanes(); }

} // namespace zuderadeDoruVAV3ed
