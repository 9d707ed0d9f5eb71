// FastDraw.h -- CFastDraw, the per-thread display: mode change, the back plane and presentation.
//
// Each thread that draws has one (Create). A mode is chosen between BeginChangeDisplay and
// EndChangeDisplay; the first depth that works gives the back plane its type (32 bits:
// XRGB8888, 24: RGB888, 16: RGB565). OnDraw shows the back plane in the thread's window,
// converted to XRGB8888 where needed; a thread without a window draws but shows nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "sdk/draw/FastPlane.h"
#include "sdk/draw/SurfaceInfo.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CFastDraw {
public:
    // Makes the calling thread's display (replacing the one it had) and returns it.
    static KTL::smart_ptr<CFastDraw> Create();
    // The calling thread's display; null when it has none.
    static CFastDraw* GetCurrent();

    ~CFastDraw();
    CFastDraw(const CFastDraw&) = delete;
    CFastDraw& operator=(const CFastDraw&) = delete;

    // Opens a display change; the next successful TestDisplayMode sets the mode.
    void BeginChangeDisplay();
    // 0 when the mode was set; 1 when nothing was done (no change open, or a mode already set
    // in this change); 2 when the mode is refused; 3 when its back plane cannot be made.
    int TestDisplayMode(int width, int height, bool full_screen, int bits_per_pixel);
    // Closes the change: 0, or 1 when no mode was set in it.
    int EndChangeDisplay();

    // The plane each frame is composed on (no pixels before a mode is set).
    CFastPlane* GetBackPlane() { return &back_plane_; }
    // Shows the back plane (rect: only that part of it; null = all) in the thread's window.
    // 0 shown; 1 no back plane; -1 no window to show it in. wait_vsync is accepted and unused:
    // the platform paces nothing here (the frame timer does).
    int OnDraw(const RECT* rect, bool wait_vsync);

    // The display's pixel type: that of the mode in force, XRGB8888 before any mode.
    int GetSurfaceType() const { return surface_type_; }
    int GetBitsPerPixel() const { return bits_per_pixel_; }
    bool IsFullScreen() const { return full_screen_; }

private:
    CFastDraw();

    bool changing_ = false;             // between Begin- and EndChangeDisplay
    bool mode_set_ = false;             // a mode succeeded in the open (or last) change
    int surface_type_ = kSurfaceXRGB8888;
    int bits_per_pixel_ = 0;            // 0: no mode yet
    bool full_screen_ = false;
    CFastPlane back_plane_;
    std::vector<uint8_t> staging_;      // XRGB8888 copy of the back plane for other types
    CSurfaceInfo staging_info_;
};

} // namespace zuderadeDoruVAV3ed
