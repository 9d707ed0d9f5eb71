// ScreenEffect.cpp -- the curtain wipe and the easing sprite.
#include "game/ScreenEffect.h"

#include <algorithm>
#include <cstdint>

#include "game/DrawListPlane.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/draw/FastPlane.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr int32_t kEffectLayer = 500;
constexpr int32_t kMoverLayer = 250;
} // namespace

CScreenEffect::CScreenEffect() : plane_(new CFastPlane()) {
    plane_->SetSystemMemoryFlag(true);
    plane_->CreateSurface(640, 480);
}

CScreenEffect::~CScreenEffect() = default;

void CScreenEffect::Init() {
    key_color = 0;
    curtain_color = 0xFFFFFF;
    width = 640;
    height = 480;
    horizontal = 1;
    closing = 1;
    done = 1;
    frozen = 0;
    meeting_position = 99;
    frames = 60;
    plane_->SetColorKey(key_color);
    Start();
}

void CScreenEffect::Start() {
    const int32_t w = width, h = height, l = Length();
    // Curtains meeting on or past an edge would never pass each other, and a wipe of too many
    // frames would not move at all: either would hold the game in the wipe for ever.
    const int32_t m = std::clamp(meeting_position, 1, std::max(l - 1, 1));
    const int32_t n = std::clamp(frames, 1, kMaxWipeFrames);
    if (m != meeting_position || frames > n)
        CErrorLog::Out("CScreenEffect::Startで合わせ位置%dを%d, フレーム数%dを%dにする", meeting_position, m, frames, n);
    meeting_position = m;   // where Move ends the wipe
    // Both curtains start empty at their edges.
    curtain[0] = horizontal ? RECT{0, 0, 0, h} : RECT{0, 0, w, 0};
    curtain[1] = horizontal ? RECT{w, 0, w, h} : RECT{0, h, w, h};
    open_rect = RECT{0, 0, w, h};
    const int64_t first = static_cast<int64_t>(m) << 16;
    const int64_t second = static_cast<int64_t>(l - m) << 16;
    if (closing) {
        position[0] = position[1] = 0;
        speed[0] = static_cast<int32_t>(static_cast<uint32_t>(first) / static_cast<uint32_t>(n));
        speed[1] = static_cast<int32_t>(static_cast<uint32_t>(second) / static_cast<uint32_t>(n));
    } else {
        position[0] = static_cast<int32_t>(first);
        position[1] = static_cast<int32_t>(second);
        speed[0] = static_cast<int32_t>(-first / n);
        speed[1] = static_cast<int32_t>(-second / n);
        if (!horizontal) {
            curtain[0] = RECT{0, 0, w, m};
            curtain[1] = RECT{0, m, w, h};
        }
    }
}

void CScreenEffect::Restart() {
    done = 0;
    frozen = 0;
    frame_counter = 0;
    plane_->SetFillColor(key_color);
    plane_->Clear(nullptr);
    Start();
}

void CScreenEffect::SetEdges(int32_t first_far, int32_t second_near) {
    open_rect = RECT{0, 0, width, height};
    if (horizontal) {
        curtain[0].right = first_far;
        curtain[1].left = second_near;
        open_rect.left = first_far;
        open_rect.right = second_near;
    } else {
        curtain[0].bottom = first_far;
        curtain[1].top = second_near;
        open_rect.top = first_far;
        open_rect.bottom = second_near;
    }
}

void CScreenEffect::Move() {
    if (done || frozen) return;
    position[0] += speed[0];
    position[1] += speed[1];
    const int32_t l = Length(), m = meeting_position;
    const int32_t p1 = position[0] >> 16;
    const int32_t near2 = l - (position[1] >> 16);
    SetEdges(p1, near2);
    if (closing) {
        if (p1 > m && near2 < m) {
            SetEdges(m, m);
            done = 1;
        }
    } else if (p1 < 0 && near2 > m) {
        SetEdges(0, l);
        open_rect = RECT{0, 0, width, height};
        done = 1;
    }
    ++frame_counter;
}

void CScreenEffect::Draw(CDrawListPlane& deferred) {
    if (!frozen) {
        plane_->SetFillColor(key_color);
        plane_->Clear(&open_rect);
        plane_->SetFillColor(curtain_color);
        plane_->Clear(&curtain[0]);
        plane_->Clear(&curtain[1]);
    }
    deferred.SetLayer(kEffectLayer);
    DrawPlaneCopyKeyed(&deferred, plane_.get(), 0, 0, nullptr, nullptr, nullptr);
}

void CMover::Reset() {
    position_arrived = 0;
    value_arrived = 0;
    if (!reverse) {
        x = start.x;
        y = start.y;
        target_x = start.target_x;
        target_y = start.target_y;
        w = start.w;
        h = start.h;
        target_w = start.target_w;
        target_h = start.target_h;
        value_step = start.step;
        value = start.value;
        value_target = start.end_value;
    } else {
        x = start.target_x;
        y = start.target_y;
        target_x = start.x;
        target_y = start.y;
        value = start.end_value;
        value_target = start.value;
        value_step = -start.step;
    }
}

void CMover::Move() {
    if (!active) return;
    if (!value_arrived) {
        // A value steps only towards its target and stops on it; one that starts on it has
        // arrived, one that starts past it stays where it is.
        const bool before = reverse ? value > value_target : value < value_target;
        if (before) {
            const int64_t next = std::clamp<int64_t>(int64_t{value} + value_step, INT32_MIN, INT32_MAX);
            value = static_cast<int32_t>(reverse ? std::max<int64_t>(next, value_target)
                                                 : std::min<int64_t>(next, value_target));
        }
        if (value == value_target) value_arrived = 1;
    }
    auto step = [this](int32_t from, int32_t to) {
        int32_t d = static_cast<int32_t>((static_cast<int64_t>(to - from) * rate) >> 10);
        return d == 0 ? 1 : d;
    };
    x += step(x, target_x);
    y += step(y, target_y);
    position_arrived = (x >> 10) == (target_x >> 10) && (y >> 10) == (target_y >> 10);
    w += static_cast<int32_t>((static_cast<int64_t>(target_w - w) * rate) >> 10);
    h += static_cast<int32_t>((static_cast<int64_t>(target_h - h) * rate) >> 10);
    if (position_arrived && value_arrived) active = 0;
}

void CMover::Draw(CDrawListPlane& deferred) {
    if (!visible || !plane) return;
    deferred.SetLayer(kMoverLayer);
    const int left = (x >> 10) - (w >> 11);
    const int top = (y >> 10) - (h >> 11);
    const SIZE size{w >> 10, h >> 10};
    if (draw_mode == 0)
        DrawPlaneCopyKeyed(&deferred, plane, left, top, &size, &source_rect, nullptr);
    else if (draw_mode == 1)
        DrawPlaneBlendConstKeyed(&deferred, plane, left, top, static_cast<uint32_t>(value >> 10), &size,
                                 &source_rect, nullptr);
}

} // namespace zuderadeDoruVAV3ed
