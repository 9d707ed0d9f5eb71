// input_script.h -- scripted keyboard states by main-loop frame (FLYINGFISH_INPUT=FILE).
//
// The text format is described in docs/input-script.md: one line "frame: key key ..." per change,
// frames counted from 0, each line giving every key held from that frame until the next line.
// While a script runs it is the keyboard: live key and focus events are ignored, so a headless
// run with the same script reads the same keys in every frame.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class InputScript {
public:
    // Parses text; a bad line or key name is logged (with source and line number) and skipped.
    static InputScript Parse(std::string_view text, const std::string& source);
    // Reads and parses a file; nothing (logged) when it cannot be read.
    static std::optional<InputScript> Load(const std::string& path);

    // The keyboard state of a frame: bit 7 set for each held key; all up before the first line.
    void StateAt(uint32_t frame, uint8_t (&state)[256]) const;
    size_t LineCount() const { return steps_.size(); }

private:
    struct Step {
        uint32_t frame;                 // first frame of this state
        std::vector<uint8_t> keys;      // scan codes held
    };
    std::vector<Step> steps_;           // ascending frames
};

// True while a script drives the keyboard (FLYINGFISH_INPUT, read once, or a test's script).
bool InputScriptActive();
// One main-loop frame: feeds the script's state for the next frame to the keyboard (the pump
// calls this once per pass). False, and nothing done, without a script.
bool StepInputScript();
// The frame that the next StepInputScript feeds.
uint32_t InputScriptFrame();
// For tests: run this script from frame 0 (nothing: back to the live keyboard).
void SetInputScriptForTest(std::optional<InputScript> script);

} // namespace platform
