// video_headless.cpp -- the window without a display: events are only those the platform makes.
#include <atomic>
#include <csignal>
#include <mutex>
#include <string>

#include "platform/input_feed_c.h"
#include "platform/log.h"
#include "platform/video_c.h"

namespace platform::video_internal {

namespace {

// Set by SIGTERM or SIGINT; the pump turns it into a close, so the program ends through its
// normal shut-down (and removes its temporary files). The handler goes with the first signal:
// a second one ends the program at once.
std::atomic<bool> g_end_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnEndSignal(int) { g_end_requested.store(true); }

// Installs the handler for the signals whose action is still the default.
void CatchEndSignals() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : {SIGTERM, SIGINT}) {
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction action {};
            action.sa_handler = OnEndSignal;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESETHAND | SA_RESTART;
            sigaction(signal, &action, nullptr);
        }
    });
}

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
        if (g_end_requested.exchange(false)) {
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
