// stage_demo_scene_test.cpp -- the stage demo's script commands, waits, fades and message, and where
// the demo leads, on small scripts and pictures written into a scratch folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/StageDemoScene.h"
#include "scene_harness.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using gametest::SceneHarness;
namespace fs = std::filesystem;

const char kScript[] = "GameData/Stage1/Demo/Script/Main.scs";

// The header every case shares: the message comes from y 480 to y 300.
std::vector<std::string> Header(const std::string& surfaces = "2") {
    return {"// test", "#UseSurfaceCount " + surfaces, "#ScriptEndButton 6", "#MasInitPosY 480",
            "#MasTargetPosY 300", "#InitEnd"};
}

void WriteScript(const std::vector<std::string>& header, const std::vector<std::string>& commands) {
    std::vector<std::string> lines = header;
    lines.insert(lines.end(), commands.begin(), commands.end());
    gametest::WriteLines(kScript, lines);
}

void WritePicture(const std::string& file, int w, int h, uint32_t colour) {
    if (fs::path(file).has_parent_path()) fs::create_directories(fs::path(file).parent_path());
    ASSERT_EQ(gametest::SolidPlane(w, h, colour)->Save(file), 0);
}

CStageDemoScript* Script(SceneHarness& h) {
    auto* scene = h.Scene<CStageDemoScene>();
    return scene ? scene->GetScript() : nullptr;
}

TEST(StageDemoTest, PictureFadesInThenTheMessageSlidesInAndWaitsForItsKey) {
    SceneHarness h("ff_demo_message");
    WritePicture("pic.bmp", 640, 480, 0x204080);
    WritePicture("msg.bmp", 200, 60, 0xFFFFFF);
    WriteScript(Header(), {"#Image \"pic.bmp\" 5", "#Message \"msg.bmp\" 0.25", "#WaitInKey 5", "#ScriptEnd"});
    h.Keys("19: Z\n20:\n79: Z\n80:\n");   // pushed in frames 20 and 80
    h.Start(kSceneStageDemo);
    h.Frame();
    CStageDemoScript* script = Script(h);
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->GetPictureAlpha(), 5) << "the fade-in advances in the draw step";
    EXPECT_EQ(script->GetMessageX() >> 10, 320 - 100);
    EXPECT_EQ(script->GetMessageSpeed(), 256);
    EXPECT_FALSE(script->IsShown(1)) << "no message before the picture is at full alpha";
    h.Run(49);
    EXPECT_EQ(script->GetPictureAlpha(), 250);
    EXPECT_EQ(script->GetMessageY(), 480 << 10);
    h.Frame();   // frame 51: full alpha
    EXPECT_EQ(script->GetPictureAlpha(), 255);
    h.Frame();   // the message moves a quarter of the way
    EXPECT_TRUE(script->IsShown(1));
    EXPECT_EQ(script->GetMessageY(), (480 << 10) - (180 << 10) / 4);
    EXPECT_FALSE(script->HasArrived());
    EXPECT_FALSE(script->IsRunning()) << "the key of frame 21 came before the message arrived";
    h.Run(27);   // frame 79
    EXPECT_TRUE(script->HasArrived());
    EXPECT_EQ(script->GetMessageY() >> 10, 300);
    EXPECT_FALSE(h.Scene<CStageDemoScene>() == nullptr);
    h.Frame();   // frame 80: the key turns the message back
    EXPECT_TRUE(script->IsRunning());
    EXPECT_EQ(script->GetMessageTargetY(), 480 << 10);
    h.Frame();   // frame 81: #ScriptEnd, on to the stage
    EXPECT_EQ(h.Requested(), (std::vector<int>{kSceneStageDemo, kScenePlay}));
}

TEST(StageDemoTest, FadeAndMessageSpeedsPastTheirRangeAreHeld) {
    SceneHarness h("ff_demo_speeds");
    WritePicture("pic.bmp", 64, 48, 0x204080);
    WriteScript(Header(), {"#Image \"pic.bmp\" 2147483647", "#Message \"pic.bmp\" 2.5", "#Wait 5", "#ScriptEnd"});
    h.Start(kSceneStageDemo);
    h.Run(3);
    ASSERT_NE(Script(h), nullptr);
    EXPECT_EQ(Script(h)->GetPictureAlphaStep(), 255);
    EXPECT_EQ(Script(h)->GetMessageSpeed(), 1024);
}

TEST(StageDemoTest, TimedWaitsAndTheBackgroundFadeResumeTheScript) {
    struct Case {
        const char* command;
        int end_frame;   // the frame of #ScriptEnd
    };
    const Case cases[] = {
        {"#Wait 10", 11},      // counted down in frames 1 to 10, read on in frame 11
        {"#Wait 1", 2},
        {"#Wait 0", 2},        // resumes the next frame instead of waiting for ever
        {"#Wait -5", 2},
        {"#BgFadeOut 64", 5},  // 191, 127, 63, 1 in frames 1 to 4
        {"#BgFadeOut 300", 2},
        {"#BgFadeOut -2147483000", 256},   // held to 1: 254, 253, ... 0 in frames 1 to 255
        {"#WaitInKey 5", 4},   // the picture is at full alpha: the resting message counts as arrived
        {"#Wait 2\r\n#BgFadeOut 64", 7},   // a finished wait leaves the fade its whole length
    };
    for (const Case& c : cases) {
        SceneHarness h("ff_demo_wait");
        WritePicture("pic.bmp", 640, 480, 0xC0C0C0);
        WriteScript(Header(), {"#Image \"pic.bmp\" 255", c.command, "#ScriptEnd"});
        h.Keys("2: Z\n3:\n");   // pushed in frame 3
        h.Start(kSceneStageDemo);
        EXPECT_EQ(h.RunUntilJump(300), c.end_frame) << c.command;
    }
}

TEST(StageDemoTest, BackgroundFadeDarkensThePictureCumulatively) {
    SceneHarness h("ff_demo_fade");
    WritePicture("pic.bmp", 640, 480, 0xC0C0C0);
    WriteScript(Header(), {"#Image \"pic.bmp\" 255", "#BgFadeOut 64", "#WaitInKey 5"});
    h.Start(kSceneStageDemo);
    h.Frame();
    CStageDemoScript* script = Script(h);
    ASSERT_NE(script, nullptr);
    EXPECT_TRUE(script->IsBackgroundFading());
    EXPECT_EQ(script->GetFadeLevel(), 191);
    const uint32_t first = gametest::PixelAt(*script->GetPlane(0), 10, 10) & 0xFF;
    h.Run(3);
    EXPECT_FALSE(script->IsBackgroundFading());
    EXPECT_EQ(script->GetFadeLevel(), 1);
    EXPECT_LT(gametest::PixelAt(*script->GetPlane(0), 10, 10) & 0xFF, first);
    EXPECT_EQ(first, 0xC0u * 191 / 255);
}

TEST(StageDemoTest, WhereTheDemoLeadsAndHowItEndsEarly) {
    struct Case {
        const char* name;
        bool script;            // write a script at all
        std::vector<std::string> commands;
        int stage;
        const char* keys;
        int frames;             // frame of the jump
        int scene;
    };
    const Case cases[] = {
        {"ends, stage follows", true, {"#ScriptEnd"}, 1, "", 1, kScenePlay},
        {"ending, ranking follows", true, {"#ScriptEnd"}, 4, "", 1, kSceneScoreRank},
        {"missing script goes on at once", false, {}, 1, "", 1, kScenePlay},
        {"missing ending goes to the ranking", false, {}, 4, "", 1, kSceneScoreRank},
        {"end button", true, {"#Wait 100", "#ScriptEnd"}, 1, "6: X\n7:\n", 7, kScenePlay},
        {"no #ScriptEnd waits for the end button", true, {"#Wait 1"}, 1, "30: Return\n", 31, kScenePlay},
        {"an empty script goes on at once", true, {}, 1, "", 1, kScenePlay},
    };
    for (const Case& c : cases) {
        SceneHarness h("ff_demo_end");
        h.State().current_stage = c.stage;
        if (c.script) {
            // The stage of the script: Stage<n> after the first "Stage"; no commands, no header.
            std::vector<std::string> lines = c.commands.empty() ? c.commands : Header();
            lines.insert(lines.end(), c.commands.begin(), c.commands.end());
            gametest::WriteLines("GameData/Stage" + std::to_string(c.stage) + "/Demo/Script/Main.scs", lines);
        }
        h.Keys(c.keys);
        h.Start(kSceneStageDemo);
        EXPECT_EQ(h.RunUntilJump(100), c.frames) << c.name;
        EXPECT_EQ(h.Requested(), (std::vector<int>{kSceneStageDemo, c.scene})) << c.name;
    }
}

TEST(StageDemoTest, SurfaceCountsBelowTwoStillGiveThePictureAndMessagePlanes) {
    struct Case {
        const char* count;
        int planes;
    };
    for (const Case c : {Case{"0", 2}, Case{"1", 2}, Case{"3", 3}, Case{"-4", 2}, Case{"100000", 32}}) {
        SceneHarness h("ff_demo_planes");
        WritePicture("msg.bmp", 64, 16, 0xFFFFFF);
        WriteScript(Header(c.count), {"#Image \"missing.bmp\" 255", "#Message \"msg.bmp\" 0.5", "#WaitInKey 5"});
        h.Start(kSceneStageDemo);
        h.Run(3);
        CStageDemoScript* script = Script(h);
        ASSERT_NE(script, nullptr) << c.count;
        EXPECT_EQ(script->GetPlaneCount(), c.planes) << c.count;
        EXPECT_TRUE(script->IsShown(0)) << "a missing picture still sets its bit";
        EXPECT_TRUE(script->IsShown(1));
    }
}

} // namespace

namespace {

TEST(StageDemoTest, PictureAndMessageAreRecordedBehindAndInFrontOfTheInterface) {
    SceneHarness h("ff_demo_draw");
    WritePicture("pic.bmp", 640, 480, 0x204080);
    WritePicture("msg.bmp", 200, 60, 0xFFFFFF);
    WriteScript(Header(), {"#Image \"pic.bmp\" 255", "#Message \"msg.bmp\" 1.0", "#WaitInKey 5"});
    h.Start(kSceneStageDemo);
    h.Run(3);
    auto* scene = h.Scene<CStageDemoScene>();
    ASSERT_NE(scene, nullptr);
    CDrawListPlane& deferred = *CGameObjectRegistry::GetInstance()->GetDrawListPlane();
    scene->OnDraw(KTL::smart_ptr<ISurface>());
    struct Expected {
        int32_t layer;
        int32_t kind;
    };
    const Expected expected[] = {{10000, kBltBlendConst}, {1000, kBltCopyKeyed}};
    ASSERT_EQ(deferred.GetRecords().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(deferred.GetRecords()[i].layer, expected[i].layer) << i;
        EXPECT_EQ(deferred.GetRecords()[i].kind, expected[i].kind) << i;
    }
    deferred.ClearRecords();
}

} // namespace
