// fishsim.cpp -- the headless game driver: runs the game's real main loop on the virtual clock
// from a data root, with scripted keys, and reports what happened (see docs/fishsim.md).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "game/BitmapFont.h"
#include "game/DataFiles.h"
#include "game/FishManager.h"
#include "game/FlyingDistance.h"
#include "game/GameMain.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "game/GameTimer.h"
#include "game/AirGauge.h"
#include "game/InputRecorder.h"
#include "game/PlayScene.h"
#include "game/Scene.h"
#include "sdk/app/SceneControl.h"
#include "sdk/draw/FastDraw.h"
#include "sdk/ktl/exception.h"
#include "sdk/thread/AppInitializer.h"
#include "sdk/thread/Thread.h"

using namespace zuderadeDoruVAV3ed;

namespace {

constexpr const char kUsage[] =
    "usage: fishsim [--root DIR] [--scene N] [--stage S] [--seed S] [--input FILE] [--frames N]\n"
    "               [--strict-data] [--dump FILE] [--shot FILE.bmp] [--trace FILE] [--skip-every K]\n"
    "       fishsim fmt time N        (N hundredths of a second)\n"
    "       fishsim fmt distance N    (N metres in 16.16 fixed point)\n";

struct Options {
    std::string root = ".";
    int scene = 1;
    int stage = 0;
    bool seeded = false;
    uint32_t seed = 0;
    std::string input, dump, shot, trace;
    long frames = 0;   // 0: until the loop ends
    int skip_every = 0;
    bool strict = false;
};

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Gathers the key=value pairs of the running game after every frame.
class CSimObserver : public IGameFrameObserver {
public:
    explicit CSimObserver(const Options& options) : options_(options) {
        if (!options.trace.empty()) {
            trace_.open(options.trace, std::ios::trunc);
            if (!trace_) std::fprintf(stderr, "fishsim: cannot write %s\n", options.trace.c_str());
        }
    }

    bool OnFrame(CGameMainThread& game, int frame, bool) override {
        frames_ = frame;
        Collect(game);
        if (trace_.is_open()) {
            trace_ << "frame=" << frame;
            for (const auto& [key, value] : pairs_) trace_ << ' ' << key << '=' << value;
            trace_ << '\n';
        }
        return options_.frames <= 0 || frame < options_.frames;
    }

    void OnLoopEnd(CGameMainThread& game, int frames) override {
        frames_ = frames;
        Collect(game);
        if (options_.shot.empty()) return;
        CFastDraw* draw = game.GetFastDraw();
        if (!draw || draw->GetBackPlane()->Save(options_.shot) != 0) {
            std::fprintf(stderr, "fishsim: cannot save the frame to %s\n", options_.shot.c_str());
            shot_failed_ = true;
        }
    }

    int Frames() const { return frames_; }
    const Pairs& Values() const { return pairs_; }
    bool ShotFailed() const { return shot_failed_; }

private:
    void Collect(CGameMainThread& game) {
        std::string scenes;
        int top = 0;
        if (CSceneFactory* factory = game.GetSceneFactory()) {
            for (int n : factory->GetRequested()) scenes += (scenes.empty() ? "" : ",") + std::to_string(n);
            if (game.GetSceneControl() && game.GetSceneControl()->GetScene()) top = factory->GetLastMade();
        }
        const CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState();
        pairs_ = {{"frames", std::to_string(frames_)},
                  {"scenes", scenes},
                  {"scene", std::to_string(top)},
                  {"state.stage", std::to_string(state ? state->current_stage : 0)},
                  {"state.final", std::to_string(state ? state->final_stage : 0)}};
        CollectPlay(game);
        pairs_.insert(pairs_.end(), play_.begin(), play_.end());
    }

    // The play's values while a play or replay scene runs; the last ones stay after it ends.
    void CollectPlay(CGameMainThread& game) {
        CSceneControl* control = game.GetSceneControl();
        auto* scene = control ? dynamic_cast<CStagePlayScene*>(control->GetScene().get()) : nullptr;
        CGameMainScene* main = scene ? scene->GetMain() : nullptr;
        if (!main || !main->GetRecorder()) return;
        play_.clear();
        auto add = [this](const std::string& key, long long value) { play_.emplace_back(key, std::to_string(value)); };
        add("play.state", main->GetState());
        add("play.paused", main->IsPaused());
        const PlayerBlock& player = main->GetPlayer().GetLive();
        add("player.x", player.x);
        add("player.y", player.y);
        add("player.vx", player.vx);
        add("player.vy", player.vy);
        add("player.mode", player.mode);
        add("player.air", player.air);
        add("player.gauge", main->GetGauge().GetAmount());
        add("timer.current", main->GetTimer().GetCurrent());
        const auto& best = main->GetDistance().GetEntries();
        for (size_t i = 0; i < 3; ++i) add("distance.best" + std::to_string(i), i < best.size() ? best[i].value : 0);
        add("recorder.index", main->GetRecorder()->GetFrameIndex());
        const auto& fish = main->GetFishManager().GetFish();
        for (size_t i = 0; i < fish.size(); ++i) add("fish." + std::to_string(i) + ".alive", fish[i].alive);
        add("camera.x", main->GetCamera().x);
        add("camera.y", main->GetCamera().y);
        const GoalSnapshot& goal = main->GetGoal();
        if (goal.reached) {
            add("goal.index", goal.recorder_index);
            add("goal.x", goal.x);
            add("goal.y", goal.y);
            add("goal.vx", goal.vx);
            add("goal.vy", goal.vy);
            add("goal.gauge", goal.gauge);
            add("goal.jump", goal.best_jump);
        }
    }

    const Options& options_;
    std::ofstream trace_;
    Pairs pairs_;
    Pairs play_;
    int frames_ = 0;
    bool shot_failed_ = false;
};

bool ParseLong(const char* text, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0';
}

// Paths given on the command line are taken from where fishsim was started.
std::string Absolute(const std::string& path) {
    return path.empty() ? path : std::filesystem::absolute(path).string();
}

int Format(int argc, char** argv) {
    long value = 0;
    if (argc != 4 || !ParseLong(argv[3], value)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string text;
    const std::string what = argv[2];
    if (what == "time") FormatTime(text, static_cast<int32_t>(value));
    else if (what == "distance") FormatDistance(static_cast<int32_t>(value), text);
    else {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::printf("%s\n", text.c_str());
    return 0;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--strict-data") {
            options.strict = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        long number = 0;
        if (arg == "--root") options.root = value;
        else if (arg == "--input") options.input = Absolute(value);
        else if (arg == "--dump") options.dump = Absolute(value);
        else if (arg == "--shot") options.shot = Absolute(value);
        else if (arg == "--trace") options.trace = Absolute(value);
        else if (!ParseLong(value, number)) return false;
        else if (arg == "--scene") options.scene = static_cast<int>(number);
        else if (arg == "--stage") options.stage = static_cast<int>(number);
        else if (arg == "--seed") options.seeded = true, options.seed = static_cast<uint32_t>(number);
        else if (arg == "--frames") options.frames = number;
        else if (arg == "--skip-every") options.skip_every = static_cast<int>(number);
        else return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "fmt") return Format(argc, argv);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (chdir(options.root.c_str()) != 0) {
        std::fprintf(stderr, "fishsim: cannot enter the root folder %s\n", options.root.c_str());
        return 2;
    }
    // The platform's controls for a run without a window, a sound card or a real clock.
    setenv("FLYINGFISH_VIDEO", "headless", 1);
    setenv("FLYINGFISH_CLOCK", "virtual", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("FLYINGFISH_MAX_FRAMES");
    if (options.input.empty()) unsetenv("FLYINGFISH_INPUT");
    else setenv("FLYINGFISH_INPUT", options.input.c_str(), 1);

    KTL::InstallExceptionReporter();
    CSimObserver observer(options);
    CGameRunOptions run;
    run.first_scene = options.scene;
    run.stage = options.stage;
    run.seeded = options.seeded;
    run.seed = options.seed;
    run.observer = &observer;
    run.skip_every = options.skip_every;
    {
        // No single-instance lock: a test driver runs beside the game and beside other drivers.
        CAppInitializer initializer(nullptr, nullptr, "", 0);
        CThreadManager::StartThread(new CGameApp(run));
    }

    if (!options.dump.empty()) {
        std::ofstream dump(options.dump, std::ios::trunc);
        for (const auto& [key, value] : observer.Values()) dump << key << '=' << value << '\n';
        if (!dump) std::fprintf(stderr, "fishsim: cannot write %s\n", options.dump.c_str());
    }
    const int failures = GetDataFailureCount();
    if (options.strict && failures > 0) {
        std::fprintf(stderr, "fishsim: %d data file(s) missing or refused\n", failures);
        return 1;
    }
    return observer.ShotFailed() ? 1 : 0;
}
