// ScoreRankScene.cpp -- the ranking's layout file, pages, bubbles and drawing.
#include "game/ScoreRankScene.h"

#include <algorithm>
#include <cstdint>

#include "game/BitmapFont.h"
#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "sdk/app/Rand.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int kBubbleCell = 8;
constexpr const char kCaller[] = "CScoreRank::Init";

CGameState* State() { return CGameObjectRegistry::GetInstance()->GetGameState(); }

// One spring step towards the target; a step of 0 still creeps by 1/1024 px.
int32_t Spring(int32_t current, int32_t target, int32_t rate) {
    // In 64 bits: a broken layout file may place texts at the ends of the 32-bit range.
    const int64_t step = ((int64_t{target} - current) * rate) >> 10;
    const int64_t next = int64_t{current} + (step == 0 ? 1 : step);
    return static_cast<int32_t>(std::clamp<int64_t>(next, INT32_MIN, INT32_MAX));
}
} // namespace

void CScoreRank::Init(const std::string& file) {
    page_state_ = 0;
    for (Bubble& bubble : bubbles_) bubble = Bubble();
    pictures_.Clear();
    CFile text;
    if (text.ReadWithArchive(file) != 0) {
        ReportDataFailure(kCaller, file, "読めない");
    } else {
        std::string line, name;
        CStringScanner scanner;
        int next_text = 0;
        while (text.ReadTextLine(line) == 0) {
            scanner.SetText(line);
            if (scanner.IsMatch("//")) continue;
            if (scanner.IsMatch("#LoadImageCount")) {
                pictures_.Create(ReadDemoCount(scanner, kCaller));
            } else if (scanner.IsMatch("#ImageFileName")) {
                if (scanner.GetStr(name) == 0) pictures_.LoadNext(name, file, kCaller);
            } else if (scanner.IsMatch("#Param")) {
                if (next_text >= kTexts) continue;   // only four texts exist
                Text& t = texts_[next_text++];
                int v[4] = {};
                for (int& value : v) scanner.GetNum(value);
                float rate = 0;
                scanner.GetFloat(rate);
                t.start_x = PixelsToFixed(v[0]), t.start_y = PixelsToFixed(v[1]);
                t.loaded_target_x = PixelsToFixed(v[2]), t.loaded_target_y = PixelsToFixed(v[3]);
                t.loaded_rate = DecimalToFixed(rate);
            } else if (scanner.IsMatch("#ScoreChangeWait")) {
                // Below 0 turns the page as 0 does; held there so the count down cannot overflow.
                ReadNumberIn(scanner, page_wait_, 0, INT32_MAX, kCaller, "#ScoreChangeWait");
            }
        }
    }
    ResetPage();
}

void CScoreRank::ResetPage() {
    for (Text& t : texts_) {
        t.x = t.start_x, t.y = t.start_y;
        t.target_x = t.loaded_target_x, t.target_y = t.loaded_target_y;
        t.rate = t.loaded_rate;
    }
}

void CScoreRank::AnimatePage() {
    for (Text& t : texts_) {
        t.x = Spring(t.x, t.target_x, t.rate);
        t.y = Spring(t.y, t.target_y, t.rate);
    }
}

void CScoreRank::SetUpPage(int stage) {
    ResetPage();
    const CGameState* state = State();
    std::string distance;
    FormatDistance(static_cast<int32_t>(state ? state->save.GetBestFlight(stage) : 0), distance);
    texts_[0].text = "JUMP" + distance;
    FormatTime(texts_[1].text, static_cast<int32_t>(state ? state->save.GetBestTime(stage) : 0));
    texts_[2].text = "STAGE " + std::to_string(stage);
    // Set on the first page only; the later pages keep it.
    if (stage == 1) texts_[3].text = "HI SCORE";
    wait_counter_ = page_wait_;
    ++page_state_;
}

bool CScoreRank::Move() {
    CGameState* state = State();
    if (IsButtonPushed(kButtonCancelSkip)) {
        if (state) state->current_stage = 1;
        return true;
    }
    switch (page_state_) {
    case 0:
    case 2:
    case 4: SetUpPage(page_state_ / 2 + 1); break;
    default:
        AnimatePage();
        if (--wait_counter_ < 0) {
            if (page_state_ >= 5) {
                if (state) state->current_stage = 1;
                return true;
            }
            ++page_state_;
        }
        break;
    }
    MoveBubbles();
    return false;
}

void CScoreRank::MoveBubbles() {
    if (CRand* random = CGameObjectRegistry::GetInstance()->GetRandom()) {
        for (Bubble& bubble : bubbles_) {
            if (bubble.live) continue;
            const uint32_t r1 = random->Get(), r2 = random->Get(), r3 = random->Get(), r4 = random->Get();
            bubble.speed = -static_cast<int32_t>(((r1 & 7) + 1) * 1024);
            bubble.y = 480 << 10;
            bubble.x = static_cast<int32_t>(r2 % 648) - 8;
            bubble.cell = static_cast<int32_t>(r3 & 3);
            bubble.layer = static_cast<int32_t>(r4 % 2000);
            bubble.live = 1;
            break;
        }
    }
    for (Bubble& bubble : bubbles_) {
        if (!bubble.live) continue;
        bubble.y += bubble.speed;
        if (bubble.y < 0) bubble.live = 0;
    }
}

int CScoreRank::LiveBubbles() const {
    int count = 0;
    for (const Bubble& bubble : bubbles_) count += bubble.live;
    return count;
}

void CScoreRank::Draw() {
    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    CDrawListPlane* deferred = registry->GetDrawListPlane();
    if (!deferred) return;
    deferred->SetLayer(kBackgroundLayer);
    DrawPlaneCopy(deferred, pictures_.Get(0), 0, 0, nullptr, nullptr, nullptr);
    CBitmapFontSet* fonts = registry->GetFontSet();
    if (fonts && fonts->GetCount() > kFont) {
        for (const Text& t : texts_) fonts->Draw(kFont, t.text, kTextLayer, t.x >> 10, t.y >> 10, deferred, 255);
    }
    CFastPlane* cells = pictures_.Get(1);
    if (!cells) return;   // no bubble picture: no bubbles
    for (const Bubble& bubble : bubbles_) {
        if (!bubble.live) continue;
        deferred->SetLayer(bubble.layer);
        const RECT cell{0, bubble.cell * kBubbleCell, kBubbleCell, bubble.cell * kBubbleCell + kBubbleCell};
        DrawPlaneCopyKeyed(deferred, cells, bubble.x, bubble.y >> 10, nullptr, &cell, nullptr);
    }
}

void CScoreRankScene::OnInit() {
    rank_.reset(new CScoreRank());
    rank_->Init();
}

void CScoreRankScene::OnMove(const KTL::smart_ptr<ISurface>&) {
    if (rank_->Move()) JumpAndPoll(kSceneTitle);
}

void CScoreRankScene::OnDraw(const KTL::smart_ptr<ISurface>&) { rank_->Draw(); }

} // namespace zuderadeDoruVAV3ed
