// story.cpp -- the stage demos: a story picture and message panels for the start of stages 1
// to 3 and for the ending after the last stage, and the script that shows them.
#include <cmath>
#include <vector>

#include "content.h"
#include "scene_art.h"

namespace gamedata {

namespace {

const Rgb kInk{10, 22, 64};
constexpr int kPanelWidth = 560, kPanelHeight = 104;
// Music tracks of BGM.vll used here.
constexpr int kTrackStageDemo = 4, kTrackEnding = 8;

struct Story {
    int stage;
    std::vector<std::vector<std::string>> messages;   // panels of up to three lines
};

// A message panel: up to three lines of text and a small arrow asking for the decide key.
Canvas MessagePanel(const std::vector<std::string>& lines) {
    Canvas c(kPanelWidth, kPanelHeight, kSceneKey);
    PaintPanel(c, 0, 0, kPanelWidth, kPanelHeight, 16, Rgb{14, 36, 86}, Rgb{236, 244, 255}, 3);
    PaintPanel(c, 6, 6, kPanelWidth - 12, kPanelHeight - 12, 12, Rgb{20, 48, 110}, Rgb{90, 150, 220}, 1);
    const int top = (kPanelHeight - static_cast<int>(lines.size()) * 26) / 2 + 4;
    for (size_t i = 0; i < lines.size(); ++i)
        c.Text(lines[i], 24, top + static_cast<int>(i) * 26, 2, Rgb{255, 255, 255}, Rgb{200, 226, 255}, kInk, 1, 2);
    c.FillTriangle(kPanelWidth - 34, kPanelHeight - 26, kPanelWidth - 20, kPanelHeight - 26, kPanelWidth - 27,
                   kPanelHeight - 16, Rgb{255, 220, 110});
    return c;
}

// Stage 1: dawn over a sheltered bay, the young fish looking up from below the surface.
Canvas DawnBay() {
    Canvas c(640, 480);
    PaintSkyAndSea(c, 250, Rgb{70, 120, 200}, Rgb{255, 200, 160}, Rgb{60, 170, 200}, Rgb{8, 60, 120},
                   Rgb{255, 236, 210}, 0.5);
    PaintSun(c, 320, 250, 46, Rgb{255, 220, 140}, 0.4, 250);
    PaintCloud(c, 120, 90, 140, Rgb{255, 236, 220}, 0.8);
    PaintCloud(c, 500, 60, 110, Rgb{255, 236, 220}, 0.7);
    // Coral hills on the left and right, sea birds in the sky.
    c.FillEllipse(40, 470, 140, 80, Rgb{200, 90, 110});
    c.FillEllipse(610, 480, 120, 70, Rgb{230, 140, 90});
    for (int i = 0; i < 4; ++i) {
        const double bx = 420 + i * 40, by = 120 + (i % 2) * 16;
        c.FillTriangle(bx - 12, by, bx, by + 4, bx, by - 6, Rgb{40, 40, 60});
        c.FillTriangle(bx + 12, by, bx, by + 4, bx, by - 6, Rgb{40, 40, 60});
    }
    PaintBubbles(c, 200, 300, 240, 160, 20, Rgb{200, 240, 255}, 11);
    PaintFish(c, 320, 380, 60, FishColours{}, false, 0.5);
    return c;
}

// Stage 2: a sunset cape with high rocks, the fish leaping between the waves.
Canvas SunsetCape() {
    Canvas c(640, 480);
    PaintSkyAndSea(c, 270, Rgb{90, 40, 120}, Rgb{255, 150, 60}, Rgb{200, 100, 80}, Rgb{40, 16, 60},
                   Rgb{255, 200, 140}, 0.5);
    PaintSun(c, 470, 250, 34, Rgb{255, 230, 140}, 0.5, 270);
    for (int y = 275; y < 400; y += 7) c.FillEllipse(470, y, 30.0 - (y - 275) * 0.15, 1.6, Rgb{255, 220, 150}, 0.6);
    c.FillTriangle(0, 480, 0, 120, 170, 480, Rgb{50, 24, 40});
    c.FillTriangle(60, 480, 120, 200, 220, 480, Rgb{70, 34, 50});
    PaintCloud(c, 330, 80, 160, Rgb{255, 190, 160}, 0.6);
    PaintFish(c, 330, 200, 56, FishColours{Rgb{60, 60, 140}, Rgb{255, 220, 200}, Rgb{255, 180, 120}}, false, 1.0);
    for (int i = 0; i < 9; ++i)
        c.FillEllipse(250 - i * 12.0, 240 + i * i * 1.2, 4 - i * 0.3, 4 - i * 0.3, Rgb{255, 230, 200}, 0.8);
    return c;
}

// Stage 3: the moonlit straits, tall waves under the stars.
Canvas MoonlitStraits() {
    Canvas c(640, 480);
    PaintSkyAndSea(c, 280, Rgb{4, 8, 30}, Rgb{30, 50, 110}, Rgb{20, 50, 110}, Rgb{2, 10, 30}, Rgb{160, 190, 240},
                   0.45);
    for (int i = 0; i < 70; ++i)
        c.FillEllipse(std::fmod(i * 97.3 + i * i * 5.9, 640.0), std::fmod(i * 53.1 + i * i * 2.7, 260.0), 1.1, 1.1, Rgb{230, 236, 255},
                      0.4 + 0.1 * (i % 5));
    PaintSun(c, 150, 90, 40, Rgb{240, 240, 214}, 0.25, 280);
    for (int k = 0; k < 3; ++k) {
        const double base = 330 + k * 50;
        for (int x = 0; x < 640; ++x) {
            const double top = base - 26 * std::pow(std::fabs(std::sin(x / 90.0 + k)), 3);
            for (int y = static_cast<int>(top); y < base + 30; ++y)
                c.Blend(x, y, Mix(Rgb{50, 90, 170}, Rgb{8, 20, 60}, (y - top) / 60.0), 0.8);
            c.Blend(x, static_cast<int>(top), Rgb{200, 220, 255}, 0.8);
        }
    }
    PaintFish(c, 400, 250, 54, FishColours{Rgb{70, 100, 180}, Rgb{220, 230, 255}, Rgb{170, 210, 255}}, false, 0.9);
    return c;
}

// The ending: a whole school of flying fish across a huge rising moon.
Canvas Ending() {
    Canvas c(640, 480);
    PaintSkyAndSea(c, 320, Rgb{10, 14, 50}, Rgb{80, 70, 140}, Rgb{40, 60, 130}, Rgb{4, 12, 40}, Rgb{230, 220, 255},
                   0.5);
    for (int i = 0; i < 50; ++i)
        c.FillEllipse(std::fmod(i * 131.7 + i * i * 7.3, 640.0), std::fmod(i * 41.9 + i * i * 3.1, 200.0), 1.2, 1.2, Rgb{255, 250, 230}, 0.6);
    PaintSun(c, 320, 320, 120, Rgb{255, 246, 214}, 0.3, 320);
    for (int y = 324; y < 470; y += 6) c.FillEllipse(320, y, 110.0 - (y - 324) * 0.5, 2, Rgb{255, 240, 200}, 0.55);
    const FishColours dark{Rgb{20, 24, 60}, Rgb{50, 56, 100}, Rgb{40, 46, 90}, Rgb{240, 240, 255}};
    const double school[][3] = {{200, 250, 26}, {260, 220, 32}, {330, 200, 40}, {420, 230, 30},
                                {480, 270, 22}, {150, 290, 18}, {380, 280, 20}};
    for (const auto& f : school) PaintFish(c, f[0], f[1], f[2], dark, false, 1.0);
    PaintFish(c, 330, 120, 62, FishColours{}, false, 1.0);
    return c;
}

const std::vector<Story>& Stories() {
    static const std::vector<Story> stories = {
        {1,
         {{"Morning breaks over Coral Bay.", "A young flying fish looks up at the sky", "and dreams of gliding above it."},
          {"Hold Right to swim ahead and eat the", "small fish: they fill your POWER gauge,", "which keeps you fast and lets you flap."},
          {"Leap out of the water to breathe!", "Reach the goal before the time runs out.", "Z: flap in the air   Z: next  X: skip"}}},
        {2,
         {{"The sun sinks behind Sunset Cape.", "The currents grow strong here, and the", "fish are bigger and faster."},
          {"Bigger fish give more power and speed.", "When your fish turns red, its air is", "running low: leap out to breathe again."}}},
        {3,
         {{"Night falls over the Moonlit Straits.", "Beyond the tall waves lies the reef", "where the flying fish gather."},
          {"This is the last and longest stretch.", "Glide far, little fish -", "the whole school is waiting for you!"}}},
        {4,
         {{"You made it to the Moonlit Reef!", "The whole school leaps out of the sea", "to greet the new glider."},
          {"Together they fly across the rising", "moon, further than ever before."},
          {"THE END", "Thank you for playing!"}}},
    };
    return stories;
}

void WriteStory(const std::string& root, const Story& story, const Canvas& picture) {
    const std::string stage = "Stage" + std::to_string(story.stage);
    const std::string image_dir = "GameData/" + stage + "/Demo/Image/";
    WriteBytes(root, image_dir + "Story.bmp", picture.ToBmp());
    const bool ending = story.stage == 4;
    std::vector<std::string> script = {
        ending ? "// The ending after the last stage" : "// The story before stage " + std::to_string(story.stage),
        "#UseSurfaceCount 2",
        "#ScriptEndButton 6",
        "#MasInitPosY 500",
        "#MasTargetPosY 352",
        "#InitEnd",
        "#BGM_Play " + std::to_string(ending ? kTrackEnding : kTrackStageDemo) + " 1",
        "#Image " + Quoted(image_dir + "Story.bmp") + " 5",
        "#Wait 20",
    };
    for (size_t i = 0; i < story.messages.size(); ++i) {
        const std::string file = image_dir + "Message" + std::to_string(i + 1) + ".bmp";
        WriteBytes(root, file, MessagePanel(story.messages[i]).ToBmp());
        script.push_back("#Message " + Quoted(file) + " 0.25");
        script.push_back("#WaitInKey 5");
        script.push_back("#SE_Play 17");
    }
    script.insert(script.end(), {"#Wait 10", "#VolumeFadeOut 800", "#BgFadeOut 12", "#BGM_Stop", "#VolumeReset",
                                 "#ScriptEnd"});
    WriteText(root, "GameData/" + stage + "/Demo/Script/Main.scs", script);
}

} // namespace

void WriteStageDemos(const std::string& root) {
    const Canvas pictures[4] = {DawnBay(), SunsetCape(), MoonlitStraits(), Ending()};
    for (const Story& story : Stories()) WriteStory(root, story, pictures[story.stage - 1]);
}

} // namespace gamedata
