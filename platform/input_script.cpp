// input_script.cpp -- parses input scripts and feeds their key states to the keyboard per frame.
#include "platform/input_script.h"

#include <algorithm>
#include <charconv>
#include <mutex>
#include <sstream>

#include "platform/env.h"
#include "platform/fs.h"
#include "platform/keys.h"
#include "platform/log.h"

namespace platform {

namespace {

void LogLine(const std::string& source, size_t line, const std::string& what) {
    LogWrite("input script " + source + ":" + std::to_string(line) + ": " + what);
}

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// The script that drives the keyboard and the frame it feeds next.
struct ScriptRunner {
    std::mutex lock;
    bool environment_read = false;
    std::optional<InputScript> script;
    uint32_t frame = 0;
};

ScriptRunner& Runner() {
    static ScriptRunner runner;
    return runner;
}

// Loads FLYINGFISH_INPUT at the first use (the caller holds the lock).
void ReadEnvironmentOnce(ScriptRunner& runner) {
    if (runner.environment_read) return;
    runner.environment_read = true;
    std::string path = GetEnv("FLYINGFISH_INPUT");
    if (path.empty()) return;
    runner.script = InputScript::Load(path);
    if (!runner.script) LogWrite("input script " + path + " cannot be read; the live keyboard is used");
}

} // namespace

InputScript InputScript::Parse(std::string_view text, const std::string& source) {
    InputScript result;
    std::istringstream lines{std::string(text)};
    std::string raw;
    size_t number = 0;
    while (std::getline(lines, raw)) {
        ++number;
        std::string_view line = raw;
        line = Trim(line.substr(0, line.find('#')));
        if (line.empty()) continue;

        // "frame:" then the held keys.
        size_t colon = line.find(':');
        std::string_view frame_text = colon == std::string_view::npos ? line : Trim(line.substr(0, colon));
        uint32_t frame = 0;
        auto [end, error] = std::from_chars(frame_text.data(), frame_text.data() + frame_text.size(), frame);
        if (colon == std::string_view::npos || error != std::errc() || end != frame_text.data() + frame_text.size()) {
            LogLine(source, number, "expected \"frame: keys\", line skipped");
            continue;
        }
        if (!result.steps_.empty() && frame <= result.steps_.back().frame) {
            LogLine(source, number, "frame " + std::to_string(frame) + " does not follow the line before, line skipped");
            continue;
        }

        Step step{frame, {}};
        std::string list(line.substr(colon + 1));
        std::replace(list.begin(), list.end(), ',', ' ');
        std::istringstream names{list};
        std::string name;
        while (names >> name) {
            uint8_t code = ScanCodeFromName(name);
            if (code == 0) {
                LogLine(source, number, "unknown key \"" + name + "\" ignored");
                continue;
            }
            step.keys.push_back(code);
        }
        result.steps_.push_back(std::move(step));
    }
    return result;
}

std::optional<InputScript> InputScript::Load(const std::string& path) {
    // A folder or an unreadable file is no script (a folder would otherwise read as empty).
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return std::nullopt;
    return Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), path);
}

void InputScript::StateAt(uint32_t frame, uint8_t (&state)[256]) const {
    std::fill(std::begin(state), std::end(state), uint8_t{0});
    // The last step that starts at or before frame.
    auto after = std::upper_bound(steps_.begin(), steps_.end(), frame,
                                  [](uint32_t f, const Step& step) { return f < step.frame; });
    if (after == steps_.begin()) return;
    for (uint8_t code : std::prev(after)->keys) state[code] = kKeyDown;
}

bool InputScriptActive() {
    ScriptRunner& runner = Runner();
    std::lock_guard<std::mutex> guard(runner.lock);
    ReadEnvironmentOnce(runner);
    return runner.script.has_value();
}

bool StepInputScript() {
    ScriptRunner& runner = Runner();
    uint8_t state[256];
    {
        std::lock_guard<std::mutex> guard(runner.lock);
        ReadEnvironmentOnce(runner);
        if (!runner.script) return false;
        runner.script->StateAt(runner.frame, state);
        if (runner.frame != UINT32_MAX) ++runner.frame;
    }
    FeedKeyboardState(state);
    return true;
}

uint32_t InputScriptFrame() {
    ScriptRunner& runner = Runner();
    std::lock_guard<std::mutex> guard(runner.lock);
    return runner.frame;
}

void SetInputScriptForTest(std::optional<InputScript> script) {
    ScriptRunner& runner = Runner();
    {
        std::lock_guard<std::mutex> guard(runner.lock);
        runner.environment_read = true;
        runner.script = std::move(script);
        runner.frame = 0;
    }
    FeedFocus(true);
}

} // namespace platform
