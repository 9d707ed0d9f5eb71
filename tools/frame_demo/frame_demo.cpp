// frame_demo.cpp -- an example application: a window, 30 frames per second, a periodic callback.
//
// It opens the window, counts frames with CFPSTimer, runs one periodic callback once a second
// and ends when Esc is pushed or the window closes (FLYINGFISH_MAX_FRAMES closes it by itself).
// At the end it prints one line: "frame_demo: frames N drawn N skipped N ticks N". "--help" or
// "-h" prints the usage instead.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "demo_draw.h"
#include "demo_input.h"
#include "platform/video.h"
#include "sdk/app/AppFrame.h"
#include "sdk/app/AppListener.h"
#include "sdk/app/AppManager.h"
#include "sdk/app/FPSTimer.h"
#include "sdk/app/WinMain.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/ktl/function_callback.h"
#include "tools/usage.h"

using namespace zuderadeDoruVAV3ed;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kButtonEsc = 0;   // ends the demo, as it ends the game

constexpr const char kUsage[] =
    "usage: frame_demo\n"
    "Shows a 640 x 480 window at 30 frames per second with a picture, a sprite and a box per game\n"
    "button until Esc is pushed or the window closes, then prints one summary line. Its log\n"
    "(FLYINGFISH_LOG=stderr) has a line for each frame in which a button is held or pushed, with\n"
    "the held and the pushed buttons as bit masks: \"frame 59 held 0x0030 pushed 0x0010\".\n";

// The demo's body on the application thread.
class CDemoMain : public CAppListener {
public:
    void Main() override {
        CFPSTimer timer;
        timer.SetFPS(30);
        SetMainApp(true);

        // One periodic callback, once a second, run by the pump.
        GetApp()->GetIdList()->Add(this, 1000, 1000, 0, KTL::make_bound_call([this] { ++ticks_; }));

        while (IsThreadValid()) {
            ++frames_;
            input_.Poll(frames_);
            if (timer.ToBeSkip()) {
                ++skipped_;
            } else {
                // Per-frame drawing and presenting goes here.
                DrawFrame();
                ++drawn_;
            }
            if (input_.IsPushed(kButtonEsc)) break;
            timer.WaitFrame();
        }

        GetApp()->GetIdList()->Remove(this);
        std::printf("frame_demo: frames %d drawn %d skipped %d ticks %d\n", frames_, drawn_, skipped_, ticks_);
        std::fflush(stdout);
    }

private:
    // A dark blue picture with a bright bar that moves down one line per frame.
    void DrawFrame() {
        WindowHandle window = CAppManager::StaticGetHWnd();
        if (!window) return;
        plane_.assign(static_cast<size_t>(kWidth) * kHeight, 0x00102040u);
        int bar = frames_ % kHeight;
        for (int y = bar; y < bar + 8 && y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) plane_[static_cast<size_t>(y) * kWidth + x] = 0x00F0C020u;
        input_.Draw(plane_.data(), kWidth, kHeight);
        draw_.Present(plane_.data(), kWidth, kHeight);   // through the SDK's display
    }

    std::vector<uint32_t> plane_;   // XRGB8888 back plane
    CDemoInput input_;              // the game's buttons, shown per frame
    CDemoDraw draw_;                // faded picture and sprite, presented by the SDK
    int frames_ = 0;
    int drawn_ = 0;
    int skipped_ = 0;
    int ticks_ = 0;
};

class CDemoApp : public CAppFrame {
protected:
    int OnPreCreate(CAppFrameOption& option) override {
        option.caption = "frame_demo";
        option.class_name = "FRAME_DEMO";
        option.width = kWidth;
        option.height = kHeight;
        option.style = 0xCA0000;
        return 0;
    }
    void MainThread() override {
        CDemoMain body;
        body.Run();
    }
};

CAppFrame* MakeDemoApp() { return new CDemoApp; }

} // namespace

int main(int argc, char** argv) {
    if (PrintUsageWhenAsked(argc, argv, kUsage)) return 0;
    std::string command_line;
    for (int i = 1; i < argc; ++i) command_line += (i > 1 ? " " : "") + std::string(argv[i]);
    return WinMain(nullptr, nullptr, command_line, 1, &MakeDemoApp);
}
