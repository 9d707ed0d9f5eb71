// video_sdl.cpp -- the window on a real display through SDL2: one streaming texture, scaled to fit.
#include <SDL.h>

#include <cstring>
#include <string>

#include "platform/audio.h"
#include "platform/input_feed_c.h"
#include "platform/log.h"
#include "platform/text.h"
#include "platform/video_c.h"

namespace platform::video_internal {

namespace {

constexpr Uint32 kJoystickSystems = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;

bool IsJoystickEvent(Uint32 type) {
    // Joystick events are numbered from 0x600, game-controller events from 0x650, touch from 0x700.
    return type >= SDL_JOYAXISMOTION && type < SDL_FINGERDOWN;
}

class SdlWindow final : public WindowCommon {
public:
    ~SdlWindow() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        if (joysticks_) SDL_QuitSubSystem(kJoystickSystems);
        if (video_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // False (with a log text) when SDL offers no window on a real display.
    bool Open(const WindowOptions& options) {
        // Nearest-neighbour scaling for the full-screen picture; set before any texture exists.
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            LogWrite(std::string("video: SDL video does not start: ") + SDL_GetError());
            return false;
        }
        video_ = true;
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) {
            LogWrite(std::string("video: SDL has no display (driver ") + (driver ? driver : "none") + ")");
            return false;
        }
        // A missing joystick subsystem costs the joystick only, never the window.
        joysticks_ = SDL_InitSubSystem(kJoystickSystems) == 0;
        if (!joysticks_) LogWrite(std::string("video: SDL joysticks unavailable: ") + SDL_GetError());

        width_ = options.client_width > 0 ? options.client_width : 640;
        height_ = options.client_height > 0 ? options.client_height : 480;
        std::string caption = ToDisplayUtf8(options.caption);
        window_ = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width_,
                                   height_, SDL_WINDOW_SHOWN);
        if (!window_) {
            LogWrite(std::string("video: SDL_CreateWindow failed: ") + SDL_GetError());
            return false;
        }
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) {
            LogWrite(std::string("video: SDL_CreateRenderer failed: ") + SDL_GetError());
            return false;
        }
        // The picture keeps its size in pixels; SDL scales it to the window and letterboxes.
        SDL_RenderSetLogicalSize(renderer_, width_, height_);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderPresent(renderer_);
        LogWrite(std::string("video: SDL window ") + std::to_string(width_) + " x " + std::to_string(height_) +
                 " on " + driver);
        return true;
    }

    void Pump() override {
        SDL_Event event;
        close_queued_ = false;
        while (SDL_PollEvent(&event)) {
            switch (event.type) {
            case SDL_QUIT:
                QueueCloseOnce();
                break;
            case SDL_WINDOWEVENT:
                OnWindowEvent(event.window);
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                // Auto-repeat adds nothing to a key state.
                if (!event.key.repeat) input_feed::OnKey(event.key.keysym.scancode, event.type == SDL_KEYDOWN);
                break;
            default:
                if (IsJoystickEvent(event.type)) input_feed::OnSdlEvent(&event);
                break;
            }
        }
        FinishPump();
    }

    // With no window manager to carry out the request the window covers the display itself.
    bool SetFullScreen(bool full_screen) override {
        const bool cover = full_screen && !WindowManagerRuns(window_);
        if (covering_ && !cover) Uncover();
        if (SDL_SetWindowFullscreen(window_, full_screen && !cover ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
            LogWrite(std::string("video: full screen refused: ") + SDL_GetError());
            return false;
        }
        return !cover || Cover();
    }

    void Raise() override {
        if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window_);
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_);
    }

    bool IsHeadless() const override { return false; }
    bool HasFocus() const override { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0; }

protected:
    void ShowFrame(const void* pixels, int pitch, int width, int height) override {
        if (!texture_ || width != texture_width_ || height != texture_height_) {
            if (texture_) SDL_DestroyTexture(texture_);
            // XRGB8888: bytes B, G, R, spare in memory, as the back plane keeps them.
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width,
                                         height);
            if (!texture_) {
                LogWrite(std::string("video: SDL_CreateTexture failed: ") + SDL_GetError());
                return;
            }
            texture_width_ = width;
            texture_height_ = height;
        }
        void* target = nullptr;
        int target_pitch = 0;
        if (SDL_LockTexture(texture_, nullptr, &target, &target_pitch) != 0) return;
        // Row by row: the source pitch may be negative (bottom-up planes).
        const uint8_t* src = static_cast<const uint8_t*>(pixels);
        uint8_t* dst = static_cast<uint8_t*>(target);
        for (int y = 0; y < height; ++y)
            std::memcpy(dst + static_cast<ptrdiff_t>(y) * target_pitch, src + static_cast<ptrdiff_t>(y) * pitch,
                        static_cast<size_t>(width) * 4);
        SDL_UnlockTexture(texture_);
        Redraw();
    }

private:
    // The last window's close comes twice (window event and quit): one close per pump.
    void QueueCloseOnce() {
        if (!close_queued_) Queue(WindowEventType::kClose);
        close_queued_ = true;
    }

    void OnWindowEvent(const SDL_WindowEvent& event) {
        switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            QueueCloseOnce();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            input_feed::OnFocus(true);
            SetAudioFocus(true);
            Queue(WindowEventType::kActivate);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            input_feed::OnFocus(false);
            SetAudioFocus(false);
            Queue(WindowEventType::kDeactivate);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            Queue(WindowEventType::kMinimize);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            Queue(WindowEventType::kRestore);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            Redraw();
            break;
        default:
            break;
        }
    }

    // A borderless window at the bounds of its display; the picture is letterboxed into it.
    bool Cover() {
        SDL_Rect bounds;
        const int display = SDL_GetWindowDisplayIndex(window_);
        if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0) {
            LogWrite(std::string("video: full screen refused, no display bounds: ") + SDL_GetError());
            return false;
        }
        if (!covering_)
            LogWrite("video: no window manager; the window covers the display, " + std::to_string(bounds.w) + " x " +
                     std::to_string(bounds.h));
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window_, bounds.w, bounds.h);
        covering_ = true;
        return true;
    }

    // Back to the client size, centred, with a border.
    void Uncover() {
        SDL_SetWindowSize(window_, width_, height_);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        SDL_SetWindowBordered(window_, SDL_TRUE);
        covering_ = false;
    }

    // Shows the last frame again (also after the window was uncovered).
    void Redraw() {
        SDL_RenderClear(renderer_);
        if (texture_) SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;   // streaming, the size of the last frame
    int texture_width_ = 0;
    int texture_height_ = 0;
    int width_ = 640;                  // client size
    int height_ = 480;
    bool close_queued_ = false;        // within the running pump
    bool covering_ = false;            // full screen made by the window itself
    bool video_ = false;               // SDL's video subsystem started by this window
    bool joysticks_ = false;           // the joystick subsystems started with the window
};

} // namespace

std::unique_ptr<Window> CreateSdlWindow(const WindowOptions& options) {
    auto window = std::make_unique<SdlWindow>();
    if (!window->Open(options)) return nullptr;
    return window;
}

} // namespace platform::video_internal
