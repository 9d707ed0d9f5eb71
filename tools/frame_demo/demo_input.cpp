// demo_input.cpp -- the example's per-frame look at the game's buttons.
#include "demo_input.h"

#include "sdk/base/ErrorLog.h"
#include "sdk/input/VirtualKey.h"

using namespace zuderadeDoruVAV3ed;

namespace {
constexpr int kButtons = 11;   // the game's buttons: Esc, four directions, six more
constexpr int kBox = 24;       // box size and gap in pixels
constexpr uint32_t kUpColour = 0x00304060u;
constexpr uint32_t kHeldColour = 0x0040E040u;
constexpr uint32_t kPushedColour = 0x00FFFFFFu;
} // namespace

// The keyboard follows the window's focus, as the game's does.
CDemoInput::CDemoInput() : keys_(std::make_unique<CDefaultKeyInput>(false)) {}

CDemoInput::~CDemoInput() = default;

void CDemoInput::Poll(int frame) {
    keys_->Input();
    held_ = pushed_ = 0;
    for (int b = 0; b < kButtons; ++b) {
        if (keys_->IsKeyPress(b)) held_ |= 1u << b;
        if (keys_->IsKeyPush(b)) pushed_ |= 1u << b;
    }
    // To the log, not to stdout: the program's own output is its one summary line.
    if (held_ || pushed_) CErrorLog::Out("frame_demo: frame %d held 0x%04X pushed 0x%04X", frame, held_, pushed_);
}

void CDemoInput::Draw(uint32_t* pixels, int width, int height) const {
    for (int b = 0; b < kButtons; ++b) {
        uint32_t colour = (pushed_ >> b) & 1 ? kPushedColour : (held_ >> b) & 1 ? kHeldColour : kUpColour;
        int left = kBox + b * 2 * kBox;
        for (int y = kBox; y < 2 * kBox && y < height; ++y)
            for (int x = left; x < left + kBox && x < width; ++x) pixels[y * width + x] = colour;
    }
}
