// demo_input.h -- the example's input: polls the default key input once per frame, logs the
// buttons held and pushed, and draws one box per button.
#pragma once

#include <cstdint>
#include <memory>

namespace zuderadeDoruVAV3ed { class CDefaultKeyInput; }

class CDemoInput {
public:
    CDemoInput();
    ~CDemoInput();

    // Polls the keys of this frame; logs "frame_demo: frame N held 0xHHHH pushed 0xPPPP" when a
    // button is held or pushed.
    void Poll(int frame);
    // Draws a row of boxes onto an XRGB8888 plane: dim while a button is up, lit while held,
    // white in the frame it is pushed.
    void Draw(uint32_t* pixels, int width, int height) const;
    // True when the button was pushed this frame (button 0 is Esc).
    bool IsPushed(int button) const { return (pushed_ >> button) & 1u; }

private:
    std::unique_ptr<zuderadeDoruVAV3ed::CDefaultKeyInput> keys_;   // made on the application thread
    uint32_t held_ = 0;     // bit b: button b held this frame
    uint32_t pushed_ = 0;   // bit b: button b pushed this frame
};
