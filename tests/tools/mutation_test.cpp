// mutation_test.cpp -- the game against broken data. A seeded generator of its own damages one
// file of a copy of the test data set at a time (flipped bytes, a cut, 0, -1, 2147483647,
// -2147483648 or -2147483000 in a number, an empty file, a folder in its place) and the scene that
// reads the file runs on it, in the headless driver or, for the music that only the real program
// plays, in the real program headless. Every run must end by itself, without a crash or a
// sanitizer report, and leave the saved files (save.bin and the replays) as they were. Named
// breakages are fixed rows beside the random ones; theirs also say where the game must have got
// to. MUTATION_SEED and MUTATION_RUNS change the seed and the runs per kind for a longer run by
// hand.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "game/GameState.h"
#include "tests/instance_name.h"
#include "tools_test_util.h"

namespace {

using namespace toolstest;
using Bytes = std::string;

// A run that has not ended by then hangs (sanitizer builds are slow; a busy machine slower still).
constexpr int kTimeoutSeconds = 60;
constexpr int kDefaultRuns = 24;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

int EnvNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

// xorshift64*: the same runs for a seed on every machine.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }

private:
    uint64_t state_;
};

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    std::error_code error;
    fs::remove_all(path, error);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Ogg pages carry a checksum; a damaged page with its old sum is skipped by any reader, so the
// sums are made right again and the damage reaches the decoder.
void FixOggChecksums(Bytes& data) {
    static const auto table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int b = 0; b < 8; ++b) r = r & 0x80000000u ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    for (size_t at = data.find("OggS"); at != Bytes::npos && at + 27 <= data.size(); at = data.find("OggS", at + 4)) {
        const size_t segments = static_cast<uint8_t>(data[at + 26]);
        size_t length = 27 + segments;
        if (at + length > data.size()) break;
        for (size_t i = 0; i < segments; ++i) length += static_cast<uint8_t>(data[at + 27 + i]);
        if (at + length > data.size()) break;
        for (int i = 0; i < 4; ++i) data[at + 22 + i] = 0;
        uint32_t crc = 0;
        for (size_t i = 0; i < length; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ static_cast<uint8_t>(data[at + i])) & 0xFF];
        for (int i = 0; i < 4; ++i) data[at + 22 + i] = static_cast<char>(crc >> (8 * i));
    }
}

const char* const kNumbers[] = {"0", "-1", "2147483647", "-2147483648", "-2147483000"};

// The numbers of a text file ("-12", "0.5"), as (offset, length).
std::vector<std::pair<size_t, size_t>> NumberFields(const Bytes& text) {
    const auto digit = [&text](size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
    std::vector<std::pair<size_t, size_t>> fields;
    for (size_t at = 0; at < text.size();) {
        const size_t start = at;
        if (text[at] == '-' && digit(at + 1)) ++at;
        if (!digit(at)) {
            at = start + 1;
            continue;
        }
        while (digit(at)) ++at;
        if (at < text.size() && text[at] == '.' && digit(at + 1))
            for (++at; digit(at);) ++at;
        fields.emplace_back(start, at - start);
    }
    return fields;
}

// Damages one file; what was done, for the failure message.
std::string Mutate(const fs::path& file, bool text, Random& random) {
    Bytes data = ReadBytes(file);
    const bool ogg = file.extension() == ".ogg";
    std::ostringstream what;
    switch (random.Below(6)) {
    case 0:
    case 1: {   // flipped bytes
        const size_t flips = 1 + random.Below(8);
        what << "flips";
        for (size_t i = 0; i < flips && !data.empty(); ++i) {
            const size_t at = random.Below(data.size());
            data[at] = static_cast<char>(data[at] ^ (1 + random.Below(255)));
            what << " " << at;
        }
        break;
    }
    case 2: {   // cut short
        const size_t length = random.Below(data.size());
        data.resize(length);
        what << "cut to " << length;
        break;
    }
    case 3: {   // a number replaced: a written one in text, a 32-bit word of the header otherwise
        const char* value = kNumbers[random.Below(std::size(kNumbers))];
        if (text) {
            const auto fields = NumberFields(data);
            if (fields.empty()) return "no number";
            const auto [at, length] = fields[random.Below(fields.size())];
            data.replace(at, length, value);
            what << "number at " << at << " := " << value;
        } else {
            const size_t words = std::min<size_t>(data.size(), 64) / 4;
            if (words == 0) return "no number";
            const size_t at = 4 * random.Below(words);
            const uint32_t word = static_cast<uint32_t>(std::strtoll(value, nullptr, 10));
            for (int i = 0; i < 4; ++i) data[at + i] = static_cast<char>(word >> (8 * i));
            what << "word at " << at << " := " << value;
        }
        break;
    }
    case 4:
        data.clear();
        what << "empty";
        break;
    default:
        fs::remove(file);
        fs::create_directory(file);
        return "a folder";
    }
    if (ogg) FixOggChecksums(data);
    WriteBytes(file, data);
    return what.str();
}

// Every line of the text starting with one of the keywords gets its numbers (only the one at
// `field` when given) set to value.
void SetNumbers(const fs::path& file, const std::vector<std::string>& keywords, const std::string& value, int field = -1) {
    std::istringstream in(ReadBytes(file));
    std::string out;
    for (std::string line; std::getline(in, line);) {
        for (const std::string& keyword : keywords) {
            if (line.rfind(keyword + " ", 0) != 0) continue;
            std::string numbers = line.substr(keyword.size());
            const auto fields = NumberFields(numbers);
            for (int i = static_cast<int>(fields.size()) - 1; i >= 0; --i)
                if (field < 0 || i == field) numbers.replace(fields[i].first, fields[i].second, value);
            line = keyword + numbers;
        }
        out += line + "\n";
    }
    WriteBytes(file, out);
}

// How a damaged file is read: a scene of the headless driver, or the real program's title.
struct Scene {
    const char* options;   // fishsim options; nullptr for the real program
    const char* keys;
};
// The logo plays sound effect 0, which the sound kinds point at the file under test, as it
// starts; its first 60 frames only wait.
const Scene kLogo{"--frames 50", ""};
const Scene kTitle{"--scene 2 --frames 60", ""};
const Scene kRanking{"--scene 5 --frames 120", ""};
const Scene kGameOver{"--scene 7 --stage 1 --frames 150", "60: Z\n61:\n"};
const Scene kStory{"--scene 8 --stage 1 --frames 200", "60: Z\n61:\n100: Z\n101:\n140: Z\n141:\n"};
// Pause in the play, then choose Retry; the play starts again in frame 96.
const Scene kPlay{"--scene 3 --stage 1 --frames 140", "0: Right\n30: Right Return\n31: Right\n90: Right Z\n91: Right\n"};
// The stage played on to its score show.
const Scene kPlayToEnd{"--scene 3 --stage 1 --frames 300", "0: Right\n"};
const Scene kReplay{"--scene 6 --frames 150", ""};
// The real program: past the logo into the title, which plays its music.
const Scene kRealTitle{nullptr, "0: Return\n1:\n"};

// The scene that reads a file of the data set or of SaveData.
Scene SceneFor(const std::string& file) {
    const auto has = [&file](const char* part) { return file.find(part) != std::string::npos; };
    if (has("Sound/BGM/") && !has("LoadList")) return kRealTitle;
    if (has("Sound/") || has("Logo/")) return kLogo;
    if (has("Title/")) return kTitle;
    if (has("Score/") || has("save.bin")) return kRanking;
    if (has("GameOver/")) return kGameOver;
    if (has("/Demo/")) return kStory;
    if (has("replay") || has("DemoPlay")) return kReplay;
    return kPlay;
}

// A root with a copy of the test data set and saved files: records and two replays of stage 1.
class MutationRoot : public DataRoot {
public:
    MutationRoot() : DataRoot("ff_mutation", false) {
        // Hard links to one copy of the data set per test program: cheap, and a damaged file is
        // always written anew, never through a link.
        static const testutil::ScratchDir base("ff_mutation_base");
        if (!fs::exists(base.path() / "GameData")) fs::copy(MiniData(), base.path() / "GameData", fs::copy_options::recursive);
        fs::copy(base.path() / "GameData", *this / "GameData", fs::copy_options::recursive | fs::copy_options::create_hard_links);
        zuderadeDoruVAV3ed::SaveRecord record;
        // Records no short play beats, so a play that reaches the goal keeps them.
        for (int stage = 1; stage <= 3; ++stage) {
            record.SetBestFlight(stage, 9000u << 16);
            record.SetBestTime(stage, 1);
        }
        record.SetCleared(1, true);
        uint8_t bytes[zuderadeDoruVAV3ed::SaveRecord::kFileSize];
        record.ToBytes(bytes);
        fs::create_directories(*this / "SaveData");
        WriteBytes(*this / "SaveData/save.bin", Bytes(reinterpret_cast<char*>(bytes), sizeof bytes));
        // 24 x 30 frames: right, with up every 40 frames for a while.
        for (const char* name : {"SaveData/replay10.bin", "SaveData/replay11.bin"}) {
            Bytes replay{24, 0};
            for (int frame = 0; frame < 24 * 30 - 1; ++frame) replay += Bytes{frame % 40 < 12 ? '\x12' : '\x10', 0};
            WriteBytes(*this / name, replay);
        }
    }

    // Everything under SaveData: names with their bytes ("/" for a folder).
    std::map<std::string, Bytes> Saved() const {
        std::map<std::string, Bytes> saved;
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(*this / "SaveData", error); !error && it != fs::recursive_directory_iterator();
             it.increment(error))
            saved[fs::relative(it->path(), path()).string()] = it->is_directory() ? "/" : ReadBytes(it->path());
        return saved;
    }

    // Points sound effect 0 (the logo's) at the file.
    void PointLogoSoundAt(const std::string& file) {
        const fs::path list = *this / "GameData/Sound/SE/LoadList/SE.vll";
        std::istringstream in(ReadBytes(list));
        std::string out;
        bool done = false;
        for (std::string line; std::getline(in, line);) {
            if (!done && line.rfind("//", 0) != 0) {
                line = file;
                done = true;
            }
            out += line + "\n";
        }
        WriteBytes(list, out);
    }
};

// Runs the scene on the root; an empty string when it ended by itself, cleanly, with the saved
// files unchanged and the dump holding the expected "key=value" pairs (blank separated: where the
// game must have got to), otherwise what went wrong. A run still going at the limit is killed and
// reaped.
std::string RunScene(const MutationRoot& root, const Scene& scene, const std::string& expect = "") {
    const std::map<std::string, Bytes> saved = root.Saved();
    std::ofstream(root / "keys.txt", std::ios::trunc) << scene.keys;
    // A read that never ends must not take the machine's memory with it.
    const char* const limit =
        kSanitized ? "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}hard_rss_limit_mb=3000 " : "ulimit -v 4000000; ";
    const std::string timeout = "timeout -k 5 " + std::to_string(kTimeoutSeconds) + " ";
    std::string command;
    if (scene.options) {
        command = std::string(limit) + ProgramEnv() + timeout + Quote(BinaryDir() / "tools" / "fishsim") + " --root " +
                  Quote(root.path()) + " --seed 1 --input " + Quote(root / "keys.txt") + " --dump " +
                  Quote(root / "dump.txt") + " " + scene.options;
    } else {
        command = "cd " + Quote(root.path()) + " && " + limit + ProgramEnv() + testutil::TestInstanceEnv() +
                  " FLYINGFISH_VIDEO=headless FLYINGFISH_CLOCK=virtual FLYINGFISH_MAX_FRAMES=150 FLYINGFISH_INPUT=keys.txt "
                  "SDL_AUDIODRIVER=dummy " +
                  timeout + Quote(BinaryDir() / "flyingfish");
    }
    const int code = RunCommand(command + " >/dev/null 2>" + Quote(root / "stderr.txt"));
    std::string problem;
    const auto add = [&problem](const std::string& what) { problem += (problem.empty() ? "" : "; ") + what; };
    if (code == 124 || code == 137) add("did not end within " + std::to_string(kTimeoutSeconds) + " s");
    else if (code != 0) add("exit code " + std::to_string(code));
    std::istringstream err(ReadBytes(root / "stderr.txt"));
    for (std::string line; std::getline(err, line);) {
        if (line.find("Sanitizer") != std::string::npos || line.find("runtime error") != std::string::npos) {
            add(line);
            break;
        }
    }
    if (root.Saved() != saved) add("the saved files changed");
    std::istringstream wanted(expect);
    std::map<std::string, std::string> dump = ReadPairs(root / "dump.txt");
    for (std::string pair; wanted >> pair;) {
        const std::string key = pair.substr(0, pair.find('=')), value = dump[key];
        if (key + "=" + value != pair) add("not on to " + pair + " (" + value + ")");
    }
    return problem;
}

// A kind of data file: the files of it (relative to the root) and whether it is text.
struct Kind {
    const char* name;
    bool text;
    std::vector<std::string> files;
};

std::vector<std::string> DataFiles(const std::string& extension, const std::vector<std::string>& folders) {
    std::vector<std::string> files;
    for (const std::string& folder : folders)
        for (const auto& entry : fs::recursive_directory_iterator(MiniData() / folder))
            if (entry.is_regular_file() && entry.path().extension() == extension)
                files.push_back(fs::relative(entry.path(), MiniData().parent_path()).string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<Kind> Kinds() {
    const std::vector<std::string> scenes = {"Initialize", "Logo", "Title", "Score", "GameOver", "Shared", "Stage1"};
    return {
        {"Keywords", true, DataFiles(".ltd", scenes)},
        {"Lists", true, DataFiles(".vll", {"Sound"})},
        {"Scripts", true, DataFiles(".scs", {"Stage1"})},
        {"Bitmaps", false, DataFiles(".bmp", scenes)},
        {"Sprites", true, DataFiles(".txt", {"Stage1"})},
        {"Wave", false, DataFiles(".wav", {"Sound"})},
        {"Mp3", false, DataFiles(".mp3", {"Sound"})},
        {"Ogg", false, {"GameData/Sound/BGM/Title.ogg"}},
        {"Midi", false, DataFiles(".mid", {"Sound"})},
        {"Save", false, {"SaveData/save.bin"}},
        {"Replays", false, {"SaveData/replay10.bin", "SaveData/replay11.bin"}},
    };
}

void PrintTo(const Kind& kind, std::ostream* out) { *out << kind.name; }

class MutationTest : public ::testing::TestWithParam<Kind> {};

TEST_P(MutationTest, EveryRunEndsCleanlyAndKeepsTheSaves) {
    // Without the sanitizers the runs would find crashes and hangs only: the random runs belong
    // to the sanitizer build, unless asked for.
    if (!kSanitized && !std::getenv("MUTATION_RUNS")) GTEST_SKIP() << "random runs are for the sanitizer build";
    const Kind& kind = GetParam();
    ASSERT_FALSE(kind.files.empty());
    const int runs = EnvNumber("MUTATION_RUNS", kDefaultRuns);
    const auto seed = static_cast<uint64_t>(EnvNumber("MUTATION_SEED", 1));
    uint64_t name_hash = 1469598103934665603ull;   // FNV-1a: each kind its own runs
    for (const char* c = kind.name; *c; ++c) name_hash = (name_hash ^ static_cast<uint8_t>(*c)) * 1099511628211ull;
    Random random(seed ^ name_hash);
    for (int run = 0; run < runs; ++run) {
        MutationRoot root;
        const std::string& file = kind.files[random.Below(kind.files.size())];
        const std::string what = Mutate(root / file, kind.text, random);
        const bool sound = file.find("Sound/SE/") != std::string::npos && file.find("LoadList") == std::string::npos;
        if (sound) root.PointLogoSoundAt(file);
        const std::string problem = RunScene(root, SceneFor(file));
        EXPECT_EQ(problem, "") << file << ": " << what << " (seed " << seed << ", run " << run << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, MutationTest, ::testing::ValuesIn(Kinds()),
                         [](const ::testing::TestParamInfo<Kind>& info) { return std::string(info.param.name); });

// Named breakages: how each damages the root, and where the run must have got to despite it.
struct Breakage {
    const char* name;
    std::function<void(MutationRoot&)> damage;
    Scene scene;
    const char* expect = "";
};

// Where a run must have got to: kPlay left the pause menu with Retry and plays again; kGameOver
// (continue) and kStory went on to the play.
const char kPlaysOn[] = "play.state=2 play.paused=0";
const char kOnToPlay[] = "scene=3";

const char kInterface[] = "GameData/Stage1/Game/LoadList/InterFace.ltd";

std::vector<Breakage> Breakages() {
    const auto set = [](const char* file, std::vector<std::string> keywords, const char* value) {
        return [=](MutationRoot& root) { SetNumbers(root / file, keywords, value); };
    };
    const auto spring = [](const char* file, const char* rate) {
        return [=](MutationRoot& root) { SetNumbers(root / file, {"#ObjectData"}, rate, 8); };
    };
    const auto replace = [](const char* file, std::function<void(const fs::path&)> by) {
        return [=](MutationRoot& root) {
            fs::remove(root / file);
            by(root / file);
        };
    };
    const char* const final = "GameData/Initialize/LoadList/Init.ltd";
    const char* const menu = "GameData/Stage1/Game/LoadList/GameMainMenu.ltd";
    const char* const start = "GameData/Stage1/Game/LoadList/StageStartDemo.ltd";
    const char* const over = "GameData/GameOver/LoadList/Demo.ltd";
    const auto no_replays = [](MutationRoot& root) {
        fs::remove(root / "SaveData/replay10.bin");
        fs::remove(root / "SaveData/replay11.bin");
    };
    return {
        {"HugeMusicCount", set("GameData/Sound/BGM/LoadList/BGM.vll", {"#BGMFileCount"}, "2147483647"), kLogo},
        {"PauseMenuFileMissing", [=](MutationRoot& root) { fs::remove(root / menu); }, kPlay, kPlaysOn},
        {"PauseMenuWipeEndLine0", set(menu, {"#WipeEndLine"}, "0"), kPlay, kPlaysOn},
        {"PauseMenuSprings0_0001", set(menu, {"#MenuCommandSpring", "#MenuIconSpring"}, "0.0001"), kPlay, kPlaysOn},
        {"FinalStageMillion", [=](MutationRoot& root) { no_replays(root); SetNumbers(root / final, {"#FinalStage"}, "1000000"); }, kReplay},
        {"FinalStage2Pow30", [=](MutationRoot& root) { no_replays(root); SetNumbers(root / final, {"#FinalStage"}, "1073741824"); }, kReplay},
        {"DataFileIsFifo", replace("GameData/Score/LoadList/ScoreRank.ltd", [](const fs::path& p) { mkfifo(p.c_str(), 0644); }), kRanking},
        {"DataFileIsDevZero", replace(over, [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }), kGameOver},
        {"GameOverSpring2_5", spring(over, "2.5"), kGameOver, kOnToPlay},
        {"GameOverSpringMinus1", spring(over, "-1"), kGameOver, kOnToPlay},
        {"StageStartSpring2_5", spring(start, "2.5"), kPlay, kPlaysOn},
        {"StageStartSpringMinus1", spring(start, "-1"), kPlay, kPlaysOn},
        {"StoryScriptEmpty", [](MutationRoot& root) { WriteBytes(root / "GameData/Stage1/Demo/Script/Main.scs", ""); }, kStory,
         kOnToPlay},
        {"HugeInterfacePositions",
         set(kInterface, {"#TimePos", "#GaugeFramePos", "#GaugeGainPos", "#MapGaugePos", "#FlyingDistancePos",
                          "#FlyingDistanceHiPos", "#FlyingDistanceNextHiPos"}, "2147483647"), kPlay},
        {"HugeStageClearPositions",
         set("GameData/Stage1/Game/LoadList/StageEndScoreShow.ltd", {"#StageClearPos", "#StageClearHiJumpPos", "#StageClearTimePos"},
             "2147483647"), kPlayToEnd},
        {"HugeTextSizeAndBlur", set("GameData/Shared/LoadList/BitmapText.ltd", {"#TextSize", "#BlurringRadius"}, "2147483647"), kPlay},
        {"SaveFileIsFolder", replace("SaveData/save.bin", [](const fs::path& p) { fs::create_directory(p); }), kPlayToEnd},
        {"InitFileMissing", [=](MutationRoot& root) { fs::remove(root / final); }, kPlayToEnd},
        {"SaveTime0", [](MutationRoot& root) {
             Bytes save = ReadBytes(root / "SaveData/save.bin");
             WriteBytes(root / "SaveData/save.bin", save.replace(16, 4, 4, '\0'));   // stage 2's best time
         }, kPlayToEnd},
        {"CorruptOgg",
         [](MutationRoot& root) {
             // Eight bytes of the setup header changed: the system's decoder divides by zero on it.
             const fs::path file = root / "GameData/Sound/BGM/Title.ogg";
             Bytes data = ReadBytes(file);
             for (const auto& [at, value] : std::map<size_t, uint8_t>{
                      {830, 206}, {1670, 206}, {2426, 171}, {2992, 75}, {3104, 11}, {3172, 37}, {3354, 11}, {3356, 216}})
                 if (at < data.size()) data[at] = static_cast<char>(value);
             FixOggChecksums(data);
             WriteBytes(file, data);
         },
         kRealTitle},
    };
}

void PrintTo(const Breakage& breakage, std::ostream* out) { *out << breakage.name; }

class BreakageTest : public ::testing::TestWithParam<Breakage> {};

TEST_P(BreakageTest, EndsCleanlyAndKeepsTheSaves) {
    const Breakage& breakage = GetParam();
    MutationRoot root;
    breakage.damage(root);
    EXPECT_EQ(RunScene(root, breakage.scene, breakage.expect), "");
}

INSTANTIATE_TEST_SUITE_P(Named, BreakageTest, ::testing::ValuesIn(Breakages()),
                         [](const ::testing::TestParamInfo<Breakage>& info) { return std::string(info.param.name); });

} // namespace
