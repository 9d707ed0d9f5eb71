// StageEndScoreShow.cpp -- the stage-clear score show.
#include "game/StageEndScoreShow.h"

#include <algorithm>

#include "game/BitmapFont.h"
#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kTextLayer = 1000;
constexpr int kImageLayer = 2000;
constexpr int kScoreFont = 2;
constexpr int kButtonSkip = 6;
} // namespace

CStageEndScoreShow::CStageEndScoreShow() = default;
CStageEndScoreShow::~CStageEndScoreShow() = default;

void CStageEndScoreShow::Create(const std::string& file) {
    picture_.reset(new CFastPlane());
    picture_->SetSystemMemoryFlag(true);
    Load(file);
    Restart();
}

void CStageEndScoreShow::Load(const std::string& file) {
    jump_x_ = jump_y_ = time_x_ = time_y_ = clear_x_ = clear_y_ = 0;
    loaded_step_ = loaded_wait_ = 0;
    std::vector<std::string> lines;
    if (!ReadDataLines(file, "CStageEndScoreShow::Load", lines)) return;
    CStringScanner scanner;
    for (const std::string& line : lines) {
        scanner.SetText(line);
        if (scanner.IsMatch("#StageClearHiJumpPos")) {
            ReadScreenPoint(scanner, jump_x_, jump_y_, "CStageEndScoreShow::Load", "#StageClearHiJumpPos");
        } else if (scanner.IsMatch("#StageClearTimePos")) {
            ReadScreenPoint(scanner, time_x_, time_y_, "CStageEndScoreShow::Load", "#StageClearTimePos");
        } else if (scanner.IsMatch("#StageClearScoreBlend")) {
            scanner.GetNum(loaded_step_);
        } else if (scanner.IsMatch("#StageClearScoreWait")) {
            // Below 0 ends the show as 0 does; held there so the count down cannot overflow.
            ReadNumberIn(scanner, loaded_wait_, 0, INT32_MAX, "CStageEndScoreShow::Load", "#StageClearScoreWait");
        } else if (scanner.IsMatch("#StageClearImage")) {
            std::string name;
            scanner.GetStr(name);
            picture_ = LoadPicture(name, "CStageEndScoreShow::Load");
        } else if (scanner.IsMatch("#StageClearPos")) {
            ReadScreenPoint(scanner, clear_x_, clear_y_, "CStageEndScoreShow::Load", "#StageClearPos");
        }
    }
}

void CStageEndScoreShow::Restart() {
    alpha_ = 0;
    alpha_step_ = loaded_step_;
    wait_ = loaded_wait_;
}

bool CStageEndScoreShow::Move(int32_t jump, int32_t time) {
    alpha_ = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(alpha_) + alpha_step_, 0, 255));
    if (IsLiveButtonPush(kButtonSkip)) wait_ = 0;
    if (--wait_ <= 0) return true;
    std::string distance;
    FormatDistance(jump, distance);
    jump_text_ = "JUMP" + distance;
    FormatTime(time_text_, time);
    return false;
}

void CStageEndScoreShow::Draw(ISurface* destination, const std::function<void(ISurface*)>& draw_object) {
    // The show's texts and picture are recorded by layer; the play object gets the destination
    // itself, where it puts what lies beneath every record.
    CDrawListPlane* deferred = GetDeferredPlane();
    ISurface* own = deferred ? deferred : destination;
    CBitmapFontSet* fonts = CGameObjectRegistry::GetInstance()->GetFontSet();
    const uint32_t alpha = static_cast<uint32_t>(alpha_);
    if (own && fonts && fonts->GetCount() > kScoreFont) {
        fonts->Draw(kScoreFont, jump_text_, kTextLayer, jump_x_, jump_y_, own, alpha);
        fonts->Draw(kScoreFont, time_text_, kTextLayer, time_x_, time_y_, own, alpha);
    }
    if (deferred) deferred->SetLayer(kImageLayer);
    DrawPlaneBlendConstKeyed(own, picture_.get(), clear_x_, clear_y_, alpha, nullptr, nullptr, nullptr);
    if (draw_object) draw_object(destination);
}

} // namespace zuderadeDoruVAV3ed
