// tools_test_util.h -- running the built programs on a copy of the test data set in a scratch
// folder, and reading what they leave behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

#include "game/GameState.h"
#include "tests/scratch_dir.h"

namespace toolstest {

namespace fs = std::filesystem;

inline fs::path BinaryDir() { return fs::path(FF_BINARY_DIR); }
inline fs::path MiniData() { return BinaryDir() / "gd-mini" / "GameData"; }

// Runs a shell command; its exit code (-1 when it did not exit normally).
inline int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

// Environment for a program run by a test: leaks of the libraries beneath SDL are not the
// program's own (they matter only in sanitizer builds).
inline std::string ProgramEnv() {
    return "LSAN_OPTIONS=suppressions=" + Quote(fs::path(FF_SOURCE_DIR) / "tests/app/frame_demo_lsan.supp") + " ";
}

// The headless driver's command; a run that never ends is stopped after five minutes, so a fault
// that keeps the game running fails its test instead of hanging the suite.
inline std::string Fishsim() {
    return ProgramEnv() + "timeout 300 " + Quote(BinaryDir() / "tools" / "fishsim");
}

// A fresh root holding a copy of the test data set (GameData/, no SaveData/).
class DataRoot : public testutil::ScratchDir {
public:
    explicit DataRoot(const std::string& prefix, bool with_data = true) : ScratchDir(prefix) {
        if (with_data) fs::copy(MiniData(), path() / "GameData", fs::copy_options::recursive);
    }
    fs::path operator/(const std::string& name) const { return path() / name; }
};

// key=value lines.
inline std::map<std::string, std::string> ReadPairs(const fs::path& path) {
    std::map<std::string, std::string> pairs;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) pairs[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return pairs;
}

// What a fishsim run left: its exit code, its dump, and the frames in which the list of scenes
// asked for grew, with the list and the current stage then.
struct SimRun {
    int exit_code = -1;
    std::map<std::string, std::string> dump;
    std::vector<std::pair<int, std::string>> entered;   // (frame, scene list) at each change
    std::vector<std::string> stages;                     // the current stage at each change
};

// Runs fishsim on root with --strict-data, the keys (none when empty) and the options.
inline SimRun Sim(const DataRoot& root, const std::string& keys, const std::string& options) {
    std::string command = Fishsim() + " --root " + Quote(root.path()) + " --strict-data --dump " +
                          Quote(root / "dump.txt") + " --trace " + Quote(root / "trace.txt") + " " + options;
    if (!keys.empty()) {
        std::ofstream(root / "keys.txt", std::ios::trunc) << keys;
        command += " --input " + Quote(root / "keys.txt");
    }
    SimRun run;
    run.exit_code = RunCommand(command + " 2>/dev/null");
    run.dump = ReadPairs(root / "dump.txt");
    std::ifstream trace(root / "trace.txt");
    std::string previous;
    // Each trace line: "frame=N frames=N scenes=LIST scene=N state.stage=S ...".
    auto value = [](const std::string& line, const std::string& key) {
        const size_t at = line.find(" " + key + "=");
        if (at == std::string::npos) return std::string();
        const size_t start = at + key.size() + 2;
        return line.substr(start, line.find(' ', start) - start);
    };
    for (std::string line; std::getline(trace, line);) {
        const std::string scenes = value(line, "scenes");
        if (scenes != previous) {
            run.entered.emplace_back(std::stoi(line.substr(6)), scenes);
            run.stages.push_back(value(line, "state.stage"));
        }
        previous = scenes;
    }
    return run;
}

// Taps of `key` every `period` frames in [from, to), each held for one frame while `held` stays down.
inline std::string Taps(const std::string& held, const std::string& key, int from, int to, int period) {
    std::string script;
    for (int f = from; f < to; f += period)
        script += std::to_string(f) + ": " + held + " " + key + "\n" + std::to_string(f + 1) + ": " + held + "\n";
    return script + std::to_string(to) + ":\n";
}

// Holds right; every `period` frames the last 30 also hold up, so the fish leaps and breathes.
// With `tap` given, that key is also pushed for one frame every 20 frames from frame 50 to
// `tap_until` (it turns the pages of the stories; in the play it flaps).
inline std::string LeapScript(int period, int frames = 6000, const std::string& tap = "", int tap_until = 0) {
    std::string script, previous = "-";
    for (int frame = 0; frame < frames; ++frame) {
        std::string keys = frame % period >= period - 30 ? "Right Up" : "Right";
        if (!tap.empty() && frame >= 50 && frame < tap_until && frame % 20 == 10) keys += " " + tap;
        if (keys != previous) script += std::to_string(frame) + ": " + keys + "\n";
        previous = keys;
    }
    return script;
}

// The save file a run left (a fresh record when there is none or it is short).
inline zuderadeDoruVAV3ed::SaveRecord ReadSave(const fs::path& root) {
    std::ifstream in(root / "SaveData/save.bin", std::ios::binary);
    const std::vector<char> save((std::istreambuf_iterator<char>(in)), {});
    zuderadeDoruVAV3ed::SaveRecord record;
    EXPECT_EQ(save.size(), zuderadeDoruVAV3ed::SaveRecord::kFileSize);
    if (save.size() == zuderadeDoruVAV3ed::SaveRecord::kFileSize)
        record.FromBytes(reinterpret_cast<const uint8_t*>(save.data()));
    return record;
}

// The lists of scenes a run went through, one at each change.
inline std::vector<std::string> Scenes(const SimRun& run) {
    std::vector<std::string> scenes;
    for (const auto& entry : run.entered) scenes.push_back(entry.second);
    return scenes;
}

} // namespace toolstest
