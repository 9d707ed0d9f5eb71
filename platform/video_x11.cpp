// video_x11.cpp -- whether a window manager runs on the X display of an SDL window.
//
// A full-screen request is carried out by the window manager; without one the X server leaves
// the window as it was while SDL takes it for desktop-sized. Kept apart from video_sdl.cpp so
// that Xlib's names stay out of the rest of the platform.
#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/video_c.h"

namespace platform::video_internal {

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)

bool g_x_error = false;

extern "C" int NoteXError(Display*, XErrorEvent*) {
    g_x_error = true;
    return 0;
}

// The window named by a WINDOW-typed property; 0 when there is none (or the window is gone).
::Window WindowProperty(Display* display, ::Window window, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    ::Window value = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &remaining,
                           &data) == Success &&
        data && type == XA_WINDOW && format == 32 && count == 1)
        value = *reinterpret_cast<::Window*>(data);
    if (data) XFree(data);
    return value;
}

// An EWMH window manager names a window of its own on the root, which names itself again; a
// name left behind by a window manager that has gone points to no window (an X error, caught).
bool X11WindowManagerRuns(Display* display) {
    XSync(display, False);
    g_x_error = false;
    auto* previous = XSetErrorHandler(NoteXError);
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const ::Window wm = WindowProperty(display, DefaultRootWindow(display), check);
    const bool runs = wm != 0 && WindowProperty(display, wm, check) == wm;
    XSync(display, False);
    XSetErrorHandler(previous);
    return runs && !g_x_error;
}

#endif

} // namespace

bool WindowManagerRuns(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info)) return true;
#if defined(SDL_VIDEO_DRIVER_X11)
    if (info.subsystem == SDL_SYSWM_X11) return X11WindowManagerRuns(info.info.x11.display);
#endif
    // Other systems (a Wayland compositor, for one) always place their windows themselves.
    return true;
}

} // namespace platform::video_internal
