// fishsim_test.cpp -- end-to-end runs of the headless game driver on the test data set: the
// logo's timing and picture, the save file's first writing, broken data and the options.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "sdk/draw/FastPlane.h"
#include "tools_test_util.h"

namespace {

using namespace toolstest;
using zuderadeDoruVAV3ed::CFastPlane;
using zuderadeDoruVAV3ed::CSurfaceInfo;
using zuderadeDoruVAV3ed::CSurfaceLockGuard;

// Runs fishsim on root with the options and the log off, stderr to err; its exit code.
int Sim(const DataRoot& root, const std::string& options, const fs::path& err = "/dev/null") {
    return RunCommand("FLYINGFISH_LOG=off " + Fishsim() + " --root " + Quote(root.path()) + " " + options + " 2>" +
                      Quote(err));
}

// The mean of the red, green and blue values of a saved frame; -1 when it cannot be read.
double MeanBrightness(const fs::path& shot) {
    CFastPlane plane;
    if (plane.Load(shot.string()) != 0) return -1;
    CSurfaceInfo* info = plane.GetSurfaceInfo();
    CSurfaceLockGuard lock(*info);
    double sum = 0;
    for (int y = 0; y < info->GetHeight(); y += 4) {
        for (int x = 0; x < info->GetWidth(); x += 4) {
            const uint8_t* p = info->PixelAt(x, y);
            sum += (p[0] + p[1] + p[2]) / 3.0;
        }
    }
    return sum / ((info->GetHeight() / 4) * (info->GetWidth() / 4));
}

TEST(FishsimTest, TheLogoBrightensAndReachesTheTitleOnTime) {
    struct Case {
        const char* input;   // script lines, "" for none
        int frames;          // frame in which scene 2 is asked for (counted from 1)
    };
    // Two seconds of the logo (60 frames), then 43 frames of fading; or at once with button 6.
    for (const Case& c : {Case{"", 103}, Case{"0: Return\n", 44}, Case{"0: X\n1:\n", 44}, Case{"10: Return\n", 54}}) {
        const DataRoot root("ff_fishsim_logo");
        std::string options = "--frames " + std::to_string(c.frames) + " --dump " + Quote(root / "dump.txt") +
                              " --trace " + Quote(root / "trace.txt");
        if (*c.input) {
            std::ofstream(root / "keys.txt") << c.input;
            options += " --input " + Quote(root / "keys.txt");
        }
        ASSERT_EQ(Sim(root, options + " --strict-data"), 0) << c.input;
        auto dump = ReadPairs(root / "dump.txt");
        EXPECT_EQ(dump["frames"], std::to_string(c.frames)) << c.input;
        EXPECT_EQ(dump["scenes"], "1,2");
        EXPECT_EQ(dump["scene"], "2");
        EXPECT_EQ(dump["state.stage"], "1");
        EXPECT_EQ(dump["state.final"], "3");
        // The trace has one line per frame, and the title is asked for only in the last.
        std::ifstream trace(root / "trace.txt");
        std::vector<std::string> lines;
        for (std::string line; std::getline(trace, line);) lines.push_back(line);
        ASSERT_EQ(lines.size(), static_cast<size_t>(c.frames));
        EXPECT_NE(lines[c.frames - 2].find(" scenes=1 scene=1 "), std::string::npos) << lines[c.frames - 2];
        EXPECT_EQ(lines.back().rfind("frame=" + std::to_string(c.frames) + " ", 0), 0u) << lines.back();
    }
}

TEST(FishsimTest, FramesAlongTheLogoGoFromTheCardToWhite) {
    const DataRoot root("ff_fishsim_shots");
    double previous = -1;
    for (int frames : {30, 75, 102}) {
        const fs::path shot = root / ("shot" + std::to_string(frames) + ".bmp");
        ASSERT_EQ(Sim(root, "--frames " + std::to_string(frames) + " --shot " + Quote(shot)), 0);
        const double mean = MeanBrightness(shot);
        if (frames == 30) {
            EXPECT_LT(mean, 90) << "the card is a night sea";
        }
        if (frames == 102) {
            EXPECT_GT(mean, 245) << "the card has brightened to white";
        }
        EXPECT_GT(mean, previous) << "frame " << frames;
        previous = mean;
    }
}

TEST(FishsimTest, TheFirstStartWritesTheSaveFileAndLaterStartsKeepIt) {
    const DataRoot root("ff_fishsim_save");
    ASSERT_EQ(Sim(root, "--frames 2"), 0);
    const fs::path save = root / "SaveData/save.bin";
    ASSERT_TRUE(fs::exists(save));
    ASSERT_EQ(fs::file_size(save), 28u);
    for (size_t size : {28, 27, 0}) {
        std::vector<char> bytes(size, '\x5A');
        std::ofstream(save, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(size));
        ASSERT_EQ(Sim(root, "--frames 2"), 0);
        std::ifstream in(save, std::ios::binary);
        EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(in), {}), bytes) << size << " bytes";
    }
}

TEST(FishsimTest, MissingOrBrokenDataEndsCleanlyAndStrictRunsFail) {
    struct Case {
        const char* name;
        std::function<void(const DataRoot&)> damage;
        bool told = false;   // said on stderr with the log off
    };
    const Case cases[] = {
        {"no GameData", [](const DataRoot& root) { fs::remove_all(root / "GameData"); }, true},
        {"no logo", [](const DataRoot& root) { fs::remove(root / "GameData/Logo/Image/LogoCredit.bmp"); }},
        {"broken logo",
         [](const DataRoot& root) { std::ofstream(root / "GameData/Logo/Image/LogoCredit.bmp") << "BMnot a picture"; }},
        {"no fonts", [](const DataRoot& root) { fs::remove(root / "GameData/Shared/LoadList/BitmapText.ltd"); }},
        {"no settings", [](const DataRoot& root) { fs::remove(root / "GameData/Initialize/LoadList/Init.ltd"); }, true},
    };
    for (const Case& c : cases) {
        const DataRoot root("ff_fishsim_broken");
        c.damage(root);
        EXPECT_EQ(Sim(root, "--frames 103 --dump " + Quote(root / "dump.txt"), root / "err.txt"), 0) << c.name;
        std::ifstream err(root / "err.txt");
        const std::string said{std::istreambuf_iterator<char>(err), {}};
        EXPECT_EQ(said.find("GameData") != std::string::npos, c.told) << c.name << ": " << said;
        EXPECT_EQ(ReadPairs(root / "dump.txt")["scenes"], "1,2") << c.name << ": the logo's timing is unchanged";
        EXPECT_EQ(Sim(root, "--frames 5 --strict-data"), 1) << c.name;
    }
}

TEST(FishsimTest, OptionsPickTheSceneStageAndLength) {
    const DataRoot root("ff_fishsim_options");
    ASSERT_EQ(Sim(root, "--scene 4 --stage 2 --seed 9 --frames 10 --dump " + Quote(root / "a.txt")), 0);
    auto dump = ReadPairs(root / "a.txt");
    EXPECT_EQ(dump["frames"], "10");
    EXPECT_EQ(dump["scenes"], "4");
    EXPECT_EQ(dump["scene"], "4");
    EXPECT_EQ(dump["state.stage"], "2");
    // A scene number the factory does not make ends the loop in its first frame.
    ASSERT_EQ(Sim(root, "--scene 9 --dump " + Quote(root / "b.txt")), 0);
    dump = ReadPairs(root / "b.txt");
    EXPECT_EQ(dump["frames"], "1");
    EXPECT_EQ(dump["scenes"], "9");
    EXPECT_EQ(dump["scene"], "0");
    // Esc ends the loop in the frame it is pushed.
    std::ofstream(root / "esc.txt") << "5: Escape\n";
    ASSERT_EQ(Sim(root, "--input " + Quote(root / "esc.txt") + " --dump " + Quote(root / "c.txt")), 0);
    EXPECT_EQ(ReadPairs(root / "c.txt")["frames"], "6");
    // Also where Esc ends the scene: a story script of garbage ends on Esc and so does the game.
    std::ofstream(root / "GameData/Stage1/Demo/Script/Main.scs") << "garbage\r\n";
    ASSERT_EQ(Sim(root, "--scene 8 --stage 1 --frames 60 --input " + Quote(root / "esc.txt") + " --dump " +
                            Quote(root / "d.txt")),
              0);
    EXPECT_EQ(ReadPairs(root / "d.txt")["frames"], "6");
    // Bad command lines and a missing root.
    EXPECT_EQ(Sim(root, "--frames"), 2);
    EXPECT_EQ(Sim(root, "--frames x"), 2);
    EXPECT_EQ(Sim(root, "--colour 3"), 2);
    EXPECT_EQ(RunCommand(Fishsim() + " --root " + Quote(root / "missing") + " 2>/dev/null"), 2);
}

TEST(FishsimTest, PrintsTheNumberFormats) {
    const DataRoot root("ff_fishsim_fmt", false);
    struct Case {
        const char* args;
        const char* expected;
    };
    for (const Case& c : {Case{"time 8345", "TIME 01:23:45"}, Case{"time 700000", "TIME 99:59:99"},
                          Case{"distance 8093696", "~123.50m"}, Case{"distance 0", "~~~0.00m"}}) {
        const fs::path out = root / "out.txt";
        ASSERT_EQ(RunCommand(Fishsim() + " fmt " + c.args + " > " + Quote(out)), 0);
        std::ifstream in(out);
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line, c.expected) << c.args;
    }
    EXPECT_EQ(RunCommand(Fishsim() + " fmt weight 3 2>/dev/null"), 2);
}

} // namespace
