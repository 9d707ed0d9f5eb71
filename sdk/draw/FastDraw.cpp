// FastDraw.cpp -- per-thread displays, display modes through the platform, and presentation.
#include "sdk/draw/FastDraw.h"

#include <map>
#include <thread>

#include "platform/video.h"
#include "sdk/app/AppManager.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/draw/AlphaTables.h"
#include "sdk/thread/CriticalSection.h"

namespace zuderadeDoruVAV3ed {

namespace {

// The displays by thread. Function-local so that displays made during static start-up work.
struct DisplayMap {
    CCriticalSection lock;
    std::map<std::thread::id, CFastDraw*> by_thread;
};
DisplayMap& Displays() {
    static DisplayMap displays;
    return displays;
}

int TypeOfDepth(int bits_per_pixel) {
    switch (bits_per_pixel) {
    case 32: return kSurfaceXRGB8888;
    case 24: return kSurfaceRGB888;
    case 16: return kSurfaceRGB565;
    default: return kSurfaceUnknown;
    }
}

} // namespace

KTL::smart_ptr<CFastDraw> CFastDraw::Create() {
    KTL::smart_ptr<CFastDraw> display(new CFastDraw());
    DisplayMap& displays = Displays();
    CCriticalLock lock(&displays.lock);
    displays.by_thread[std::this_thread::get_id()] = display.get();
    return display;
}

CFastDraw* CFastDraw::GetCurrent() {
    DisplayMap& displays = Displays();
    CCriticalLock lock(&displays.lock);
    auto found = displays.by_thread.find(std::this_thread::get_id());
    return found == displays.by_thread.end() ? nullptr : found->second;
}

CFastDraw::CFastDraw() : back_plane_(this) {
    // The blend tables stand before any blit can run.
    InitAlphaTables();
}

CFastDraw::~CFastDraw() {
    // May run on another thread than the one the display belongs to.
    DisplayMap& displays = Displays();
    CCriticalLock lock(&displays.lock);
    for (auto it = displays.by_thread.begin(); it != displays.by_thread.end(); ++it) {
        if (it->second == this) {
            displays.by_thread.erase(it);
            break;
        }
    }
}

void CFastDraw::BeginChangeDisplay() {
    changing_ = true;
    mode_set_ = false;
}

int CFastDraw::TestDisplayMode(int width, int height, bool full_screen, int bits_per_pixel) {
    if (!changing_ || mode_set_) return 1;
    const int type = TypeOfDepth(bits_per_pixel);
    if (type == kSurfaceUnknown || !platform::DisplayDepthAvailable(bits_per_pixel)) {
        CErrorLog::Out("CFastDraw::TestDisplayMode %d x %d %dbppに失敗", width, height, bits_per_pixel);
        return 2;
    }
    // A back plane that cannot be made leaves the plane and the mode in force as they were.
    const int old_type = surface_type_;
    surface_type_ = type;
    if (back_plane_.CreateSurface(width, height) != 0) {
        surface_type_ = old_type;
        CErrorLog::Out("CFastDraw::TestDisplayMode バックプレーンの作成に失敗 %d x %d", width, height);
        return 3;
    }
    if (WindowHandle window = CAppManager::StaticGetHWnd()) {
        // A refused full screen still leaves a usable window: the mode stands, shown windowed.
        if (!window->SetFullScreen(full_screen))
            CErrorLog::Out("CFastDraw::TestDisplayMode フルスクリーンに切り替えられない");
    }
    bits_per_pixel_ = bits_per_pixel;
    full_screen_ = full_screen;
    mode_set_ = true;
    return 0;
}

int CFastDraw::EndChangeDisplay() {
    changing_ = false;
    if (!mode_set_) {
        CErrorLog::Out("CFastDraw::EndChangeDisplay 使える画面モードが無い");
        return 1;
    }
    return 0;
}

int CFastDraw::OnDraw(const RECT* rect, bool) {
    CSurfaceInfo* back = back_plane_.GetSurfaceInfo();
    if (!back->IsValid()) return 1;
    WindowHandle window = CAppManager::StaticGetHWnd();
    if (!window) return -1;
    const int width = back->GetWidth();
    const int height = back->GetHeight();

    // An XRGB8888 back plane is shown as it is.
    if (back->GetSurfaceType() == kSurfaceXRGB8888 && !rect) {
        CSurfaceLockGuard lock(*back);
        if (lock.Failed()) return 1;
        window->Present(back->GetPtr(), back->GetPitch(), width, height);
        return 0;
    }
    // Other types go through the copy blitter into the staging frame, which keeps what lies
    // outside rect from earlier frames.
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    if (staging_.size() != bytes || staging_info_.GetWidth() != width || staging_info_.GetHeight() != height) {
        staging_.assign(bytes, 0);
        staging_info_.Init(staging_.data(), width * 4, width, height, kSurfaceXRGB8888);
    }
    RECT area;
    if (!ClipToSurface(*back, rect, area)) return 0;
    const POINT pos{area.left, area.top};
    BltInfo info;
    info.pos = &pos;
    info.src = &area;
    staging_info_.GeneralBlt(kBltCopy, back, &info, nullptr);
    CSurfaceLockGuard lock(staging_info_);
    if (lock.Failed()) return 1;
    window->Present(staging_info_.GetPtr(), staging_info_.GetPitch(), width, height);
    return 0;
}

} // namespace zuderadeDoruVAV3ed
