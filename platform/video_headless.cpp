// video_headless.cpp -- the window without a display: events are only those the platform makes.
#include <string>

#include "platform/end_signal.h"
#include "platform/input_feed_c.h"
#include "platform/log.h"
#include "platform/video_c.h"

namespace platform::video_internal {

namespace {

class HeadlessWindow final : public WindowCommon {
public:
    explicit HeadlessWindow(const WindowOptions& options) {
        LogWrite("video: headless window " + std::to_string(options.client_width) + " x " +
                 std::to_string(options.client_height));
        CatchEndSignals();
        // A new window gets the focus, as a shown window would.
        input_feed::OnFocus(true);
        Queue(WindowEventType::kActivate);
    }
    void Pump() override {
        if (TakeEndRequest()) {
            LogWrite("video: asked to end by a signal; closing the window");
            Queue(WindowEventType::kClose);
        }
        FinishPump();
    }
    // Nothing to switch: both modes show nothing.
    bool SetFullScreen(bool) override { return true; }
    void Raise() override {}
    bool IsHeadless() const override { return true; }
    bool HasFocus() const override { return true; }

protected:
    void ShowFrame(const void*, int, int, int) override {}
};

} // namespace

std::unique_ptr<Window> CreateHeadlessWindow(const WindowOptions& options) {
    return std::make_unique<HeadlessWindow>(options);
}

} // namespace platform::video_internal
