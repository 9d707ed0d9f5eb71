// GameMainMenu.cpp -- the pause menu.
#include "game/GameMainMenu.h"

#include <algorithm>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/ScreenEffect.h"
#include "game/SoundCue.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr int kMenuLayer = 250;
constexpr int32_t kFullBlend = 255 * 1024;
constexpr uint32_t kCurtainColor = 0x010101;
constexpr int kButtonUp = 1, kButtonDown = 2, kButtonDecide = 5, kButtonCancel = 6;
constexpr int kMenuChannel = 2;
constexpr int kSoundMove = 19, kSoundDecide = 17, kSoundCancel = 20;

// Four pixel values to 22.10: start x, y, then target x, y.
void ReadPositions(CStringScanner& scanner, int32_t& x, int32_t& y, int32_t& tx, int32_t& ty) {
    int v[4] = {};
    for (int& n : v) scanner.GetNum(n);
    x = PixelsToFixed(v[0]);
    y = PixelsToFixed(v[1]);
    tx = PixelsToFixed(v[2]);
    ty = PixelsToFixed(v[3]);
}

int32_t ReadDecimal(CStringScanner& scanner) {
    float value = 0;
    scanner.GetFloat(value);
    return DecimalToFixed(value);
}

// A spring that arrives (see ArrivingRate): the menu takes a choice only once both have.
int32_t ReadSpring(CStringScanner& scanner, const char* what) {
    return ArrivingRate(ReadDecimal(scanner), "CGameMainMenu::Load", what);
}

} // namespace

CGameMainMenu::CGameMainMenu() = default;
CGameMainMenu::~CGameMainMenu() = default;

void CGameMainMenu::Load(const std::string& file) {
    loaded_ = Settings();
    pictures_.Clear();
    std::vector<std::string> lines;
    if (ReadDataLines(file, "CGameMainMenu::Load", lines)) {
        CStringScanner scanner;
        Settings& s = loaded_;
        for (const std::string& line : lines) {
            scanner.SetText(line);
            int n = 0;
            if (pictures_.ReadLine(scanner, file, "CGameMainMenu::Load")) {
            } else if (scanner.IsMatch("#MenuCommandPos")) {
                ReadPositions(scanner, s.panel_x, s.panel_y, s.panel_target_x, s.panel_target_y);
            } else if (scanner.IsMatch("#MenuCommandSpring")) {
                s.panel_spring = ReadSpring(scanner, "#MenuCommandSpring");
            } else if (scanner.IsMatch("#MenuCommandRect")) {
                ReadRect(scanner, s.panel_rect);
            } else if (scanner.IsMatch("#MenuIconPos")) {
                ReadPositions(scanner, s.icon_x, s.icon_y, s.icon_target_x, s.icon_target_y);
            } else if (scanner.IsMatch("#MenuIconSpring")) {
                s.icon_spring = ReadSpring(scanner, "#MenuIconSpring");
            } else if (scanner.IsMatch("#MenuIconRect")) {
                ReadRect(scanner, s.icon_rect);
            } else if (scanner.IsMatch("#LogoPos")) {
                scanner.GetNum(s.logo_x);
                scanner.GetNum(s.logo_y);
            } else if (scanner.IsMatch("#LogoBlendTransitionSpeed")) {
                s.logo_speed = ReadDecimal(scanner);
            } else if (scanner.IsMatch("#LogoBlend")) {
                scanner.GetNum(s.logo_blend[0]);
                scanner.GetNum(s.logo_blend[1]);
            } else if (scanner.IsMatch("#WipeSideTrue")) {
                scanner.GetNum(n);
                s.wipe_side = static_cast<uint8_t>(n);
            } else if (scanner.IsMatch("#WipeEndLine")) {
                scanner.GetNum(s.wipe_end_line);
            } else if (scanner.IsMatch("#WipeEndFrame")) {
                scanner.GetNum(s.wipe_end_frame);
            } else if (scanner.IsMatch("#WipePauseFrame")) {
                scanner.GetNum(s.wipe_hold_frame);
            }
        }
    }
    Reset();
}

void CGameMainMenu::Reset() {
    working_ = loaded_;
    blend_ = 0;
}

int32_t CGameMainMenu::SpringStep(int32_t p, int32_t target, int32_t spring) {
    const int64_t d = static_cast<int64_t>(target) - p;
    if (d == 0) return p;
    // 0 or below would never move, 2.0 or more never settle (the reader logs either).
    if (spring <= 0 || spring >= kNeverSettlingRate) return target;
    int64_t step = (d * spring) >> 10;
    if (step == 0) step = d > 0 ? 1 : -1;
    return static_cast<int32_t>(std::clamp<int64_t>(p + step, INT32_MIN, INT32_MAX));
}

void CGameMainMenu::LogoRise() {
    if ((blend_ & ~1023) < kFullBlend) LogoStep();
}

void CGameMainMenu::LogoFall() {
    if (blend_ >= 0) LogoStep();
}

void CGameMainMenu::LogoStep() {
    // In 64 bits: the speed may be anything a decimal of the file gives.
    blend_ = static_cast<int32_t>(std::clamp<int64_t>(int64_t{blend_} + working_.logo_speed, 0, kFullBlend));
}

void CGameMainMenu::StepPanel() {
    Settings& s = working_;
    s.panel_x = SpringStep(s.panel_x, s.panel_target_x, s.panel_spring);
    s.panel_y = SpringStep(s.panel_y, s.panel_target_y, s.panel_spring);
}

void CGameMainMenu::StepIcon() {
    Settings& s = working_;
    s.icon_x = SpringStep(s.icon_x, s.icon_target_x, s.icon_spring);
    s.icon_y = SpringStep(s.icon_y, s.icon_target_y, s.icon_spring);
}

bool CGameMainMenu::Arrived() const {
    const Settings& s = working_;
    return (s.panel_x >> 10) == (s.panel_target_x >> 10) && (s.panel_y >> 10) == (s.panel_target_y >> 10) &&
           (s.icon_x >> 10) == (s.icon_target_x >> 10) && (s.icon_y >> 10) == (s.icon_target_y >> 10);
}

int CGameMainMenu::Move() {
    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    CScreenEffect* effect = registry->GetScreenEffect();
    Settings& s = working_;
    switch (s.state) {
    case 0:
        if (effect) {
            effect->horizontal = s.wipe_side;
            effect->closing = 1;
            effect->frames = s.wipe_end_frame;
            effect->meeting_position = s.wipe_end_line;
            effect->curtain_color = kCurtainColor;
            effect->Restart();
            effect->Move();
        }
        s.state = 1;
        break;
    case 1:
        if (effect) effect->Move();
        // A hold frame at or past the wipe's end would never be reached: a finished wipe holds too.
        if (!effect || static_cast<uint32_t>(s.wipe_hold_frame) <= static_cast<uint32_t>(effect->frame_counter) ||
            effect->done) {
            if (effect) effect->frozen = 1;
            s.state = 2;
        }
        break;
    case 2:
        LogoRise();
        StepPanel();
        StepIcon();
        if (Arrived()) s.state = 3;
        break;
    case 3:
        LogoRise();
        if (IsLiveButtonPush(kButtonUp) || IsLiveButtonPush(kButtonDown)) {
            PlaySoundEffect(kSoundMove, kMenuChannel);
            s.selection ^= 1;
            s.icon_target_y = loaded_.icon_target_y + s.selection * kItemStep;
        }
        StepIcon();
        if (IsLiveButtonPush(kButtonDecide)) {
            PlaySoundEffect(kSoundDecide, kMenuChannel);
            if (effect) effect->frozen = 0;
            s.panel_target_x = loaded_.panel_x;
            s.panel_target_y = loaded_.panel_y;
            s.icon_target_x = loaded_.icon_x;
            s.icon_target_y = loaded_.icon_y;
            s.logo_speed = static_cast<int32_t>(std::clamp<int64_t>(-4LL * loaded_.logo_speed, INT32_MIN, INT32_MAX));
            s.state = 4;
            return kStay;
        }
        if (IsLiveButtonPush(kButtonCancel)) {
            PlaySoundEffect(kSoundCancel, kMenuChannel);
            return kResume;
        }
        break;
    case 4:
        if (effect) effect->Move();
        if (!effect || effect->done) s.state = 5;
        LogoFall();
        StepPanel();
        StepIcon();
        break;
    case 5:
        if (s.selection == 0) return kRetry;
        if (CGameState* state = registry->GetGameState()) state->current_stage = 1;
        return kQuit;
    default:
        break;
    }
    return kStay;
}

void CGameMainMenu::Draw() {
    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    CDrawListPlane* deferred = registry->GetDrawListPlane();
    if (!deferred) return;
    const Settings& s = working_;
    if (s.state >= 1 && s.state <= 5)
        if (CScreenEffect* effect = registry->GetScreenEffect()) effect->Draw(*deferred);
    if (s.state < 2 || s.state > 4) return;
    deferred->SetLayer(kMenuLayer);
    DrawPlaneCopyKeyed(deferred, pictures_.Get(0), s.panel_x >> 10, s.panel_y >> 10, nullptr, &s.panel_rect, nullptr);
    DrawPlaneCopyKeyed(deferred, pictures_.Get(0), s.icon_x >> 10, s.icon_y >> 10, nullptr, &s.icon_rect, nullptr);
    const uint32_t alpha = static_cast<uint32_t>(std::clamp(blend_ >> 10, 0, 255));
    DrawPlaneBlendConstKeyed(deferred, pictures_.Get(1), s.logo_x, s.logo_y, alpha, nullptr, nullptr, nullptr);
}

} // namespace zuderadeDoruVAV3ed
