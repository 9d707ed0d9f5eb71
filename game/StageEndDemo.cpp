// StageEndDemo.cpp -- the goal demo.
#include "game/StageEndDemo.h"

#include "game/DrawListPlane.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kGoalLayer = 2000;
} // namespace

CStageEndDemo::CStageEndDemo() = default;
CStageEndDemo::~CStageEndDemo() = default;

void CStageEndDemo::Load(const std::string& file) {
    pictures_.Clear();
    draw_x_ = draw_y_ = goal_line_ = near_line_ = draw_start_ = 0;
    alpha_step_ = 0;
    std::vector<std::string> lines;
    if (!ReadDataLines(file, "CStageEndDemo::Load", lines)) return;
    CStringScanner scanner;
    for (const std::string& line : lines) {
        scanner.SetText(line);
        int n = 0;
        if (pictures_.ReadLine(scanner, file, "CStageEndDemo::Load")) {
        } else if (scanner.IsMatch("#GoalPoint")) {
            scanner.GetNum(n);
            goal_line_ = near_line_ = PixelsToFixed(n);
        } else if (scanner.IsMatch("#GoalDrawStartPoint")) {
            scanner.GetNum(n);
            draw_start_ = PixelsToFixed(n);
        } else if (scanner.IsMatch("#GoalDrawPos")) {
            scanner.GetNum(draw_x_);
            scanner.GetNum(draw_y_);
        } else if (scanner.IsMatch("#GoalAlphaTrangtion")) {
            scanner.GetNum(n);
            alpha_step_ = static_cast<uint8_t>(n);
        }
    }
}

bool CStageEndDemo::Move(int32_t player_x) {
    showing_ = player_x >= draw_start_;
    if (static_cast<int64_t>(player_x) >= static_cast<int64_t>(near_line_) - kNearDistance) {
        near_goal_ = 1;
        if (player_x >= goal_line_) return true;
    } else {
        near_goal_ = 0;
    }
    alpha_ = static_cast<uint8_t>(alpha_ + alpha_step_);
    return false;
}

void CStageEndDemo::Draw() {
    CDrawListPlane* deferred = GetDeferredPlane();
    if (!deferred || !showing_) return;
    deferred->SetLayer(kGoalLayer);
    DrawPlaneBlendConstKeyed(deferred, pictures_.Get(0), draw_x_, draw_y_, alpha_, nullptr, nullptr, nullptr);
}

} // namespace zuderadeDoruVAV3ed
