// interface.cpp -- the play's interface and its framing demos for every stage: the timer, power
// gauge, course map and leap display (InterFace.ltd), the pause menu (GameMainMenu.ltd), the
// stage-start and goal demos and the stage-clear show, with their pictures.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "canvas.h"
#include "content.h"

namespace gamedata {

namespace {

constexpr Rgb kKey{0, 0, 0};   // colour key of every keyed picture (its pixel (0, 0))
constexpr int kStages = 3;
const std::string kSharedImage = "GameData/Shared/Image/Interface/";

std::string StageDir(int stage) { return "GameData/Stage" + std::to_string(stage) + "/Game/"; }
std::string Num(int v) { return std::to_string(v); }

// A stage's colours: the sea of its map and the accent of its titles.
struct Theme {
    Rgb sea_top, sea_bottom, accent_top, accent_bottom, outline;
};
const Theme kThemes[kStages] = {
    {Rgb{90, 200, 250}, Rgb{20, 90, 190}, Rgb{255, 255, 255}, Rgb{120, 220, 255}, Rgb{10, 40, 110}},   // morning sea
    {Rgb{250, 170, 90}, Rgb{170, 60, 80}, Rgb{255, 250, 210}, Rgb{255, 170, 70}, Rgb{90, 30, 20}},     // sunset
    {Rgb{90, 90, 200}, Rgb{20, 20, 80}, Rgb{240, 240, 255}, Rgb{190, 150, 255}, Rgb{30, 16, 80}},     // night
};

// How much of pixel (i, j) lies inside the rectangle with round corners of radius r.
double RoundCoverage(int i, int j, int x, int y, int w, int h, double r) {
    const double cx = std::clamp<double>(i + 0.5, x + r, x + w - r);
    const double cy = std::clamp<double>(j + 0.5, y + r, y + h - r);
    return std::clamp(0.5 - (std::hypot(i + 0.5 - cx, j + 0.5 - cy) - r), 0.0, 1.0);
}

// A filled rectangle with round corners (soft edges).
void RoundRect(Canvas& c, int x, int y, int w, int h, int r, Rgb colour, double alpha = 1.0) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) c.Blend(i, j, colour, alpha * RoundCoverage(i, j, x, y, w, h, r));
}

// A round-cornered panel: outline, body gradient and a glossy top band.
void Panel(Canvas& c, int x, int y, int w, int h, int r, Rgb edge, Rgb top, Rgb bottom) {
    RoundRect(c, x, y, w, h, r, edge);
    for (int j = y + 3; j < y + h - 3; ++j) {
        const Rgb row = Mix(top, bottom, static_cast<double>(j - y) / (h - 1));
        for (int i = x + 3; i < x + w - 3; ++i) c.Blend(i, j, row, RoundCoverage(i, j, x + 3, y + 3, w - 6, h - 6, r - 3));
    }
    RoundRect(c, x + 6, y + 5, w - 12, h / 3, r / 2 + 1, Rgb{255, 255, 255}, 0.18);
}

// A small fish facing right, its body centred at (cx, cy).
void Fish(Canvas& c, double cx, double cy, double len, Rgb back, Rgb belly) {
    c.FillTriangle(cx - len * 0.45, cy, cx - len * 0.75, cy - len * 0.28, cx - len * 0.75, cy + len * 0.28, back);
    c.FillEllipse(cx, cy, len * 0.5, len * 0.26, back);
    c.FillEllipse(cx + len * 0.05, cy + len * 0.08, len * 0.38, len * 0.13, belly);
    c.FillTriangle(cx - len * 0.1, cy - len * 0.1, cx + len * 0.25, cy - len * 0.1, cx - len * 0.2, cy - len * 0.55,
                   Mix(back, Rgb{255, 255, 255}, 0.4), 0.9);
    c.FillEllipse(cx + len * 0.3, cy - len * 0.05, len * 0.07, len * 0.07, Rgb{250, 250, 255});
    c.FillEllipse(cx + len * 0.32, cy - len * 0.05, len * 0.035, len * 0.035, Rgb{10, 10, 30});
}

// Text centred at cx with its top at y.
void CentredText(Canvas& c, const std::string& text, int cx, int y, int scale, Rgb top, Rgb bottom, Rgb outline,
                 int outline_px, int spacing) {
    c.Text(text, cx - Canvas::TextWidth(text, scale, spacing) / 2, y, scale, top, bottom, outline, outline_px, spacing);
}

// A chequered goal flag on a pole, the pole's foot at (x, y).
void GoalFlag(Canvas& c, int x, int y, int square, Rgb dark) {
    c.FillRect(x, y - 6 * square, 2, 6 * square, Rgb{230, 230, 230});
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i)
            c.FillRect(x + 2 + i * square, y - 6 * square + j * square, square, square,
                       (i + j) % 2 ? dark : Rgb{250, 250, 250});
}

// The power gauge, which eating fills and swimming ahead, diving and flapping use up (the
// fish's breath has no meter: its colour shows it): the frame (0, 0)-(258, 36), whose slot at
// (70, 11) is left open for the filling, and below it the filling (0, 40)-(180, 54).
void WriteGauge(const std::string& root) {
    Canvas g(258, 54, kKey);
    Panel(g, 0, 0, 258, 36, 12, Rgb{12, 30, 80}, Rgb{70, 130, 210}, Rgb{20, 50, 120});
    RoundRect(g, 67, 8, 186, 20, 6, Rgb{230, 245, 255});
    g.FillRect(70, 11, 180, 14, kKey);
    g.Text("POWER", 6, 11, 2, Rgb{255, 255, 255}, Rgb{255, 230, 150}, Rgb{8, 20, 60}, 1, 2);
    // The filling.
    g.VerticalGradient(0, 40, 180, 14, Rgb{255, 245, 170}, Rgb{240, 130, 30});
    g.FillRect(0, 42, 180, 2, Rgb{255, 255, 225});
    for (int i = 0; i < 9; ++i) g.FillTriangle(8 + i * 20, 52, 14 + i * 20, 44, 20 + i * 20, 52, Rgb{255, 250, 210}, 0.5);
    WriteBytes(root, kSharedImage + "AirGauge.bmp", g.ToBmp());
}

// The course map of a stage (264 x 30, start at the left end, goal at the right) and the marker.
void WriteMap(const std::string& root, int stage) {
    const Theme& t = kThemes[stage - 1];
    Canvas m(264, 30, kKey);
    RoundRect(m, 0, 12, 264, 16, 8, Rgb{230, 240, 255});
    for (int j = 14; j < 26; ++j) {
        const Rgb row = Mix(t.sea_top, t.sea_bottom, (j - 14) / 11.0);
        for (int i = 2; i < 262; ++i) {
            const double wave = 1.5 * std::sin(i / 6.0 + stage);
            m.Set(i, j, j < 17 + wave ? Mix(row, Rgb{255, 255, 255}, 0.35) : row);
        }
    }
    for (int i = 1; i < 8; ++i) m.FillRect(i * 32, 22, 1, 4, Mix(t.sea_top, Rgb{255, 255, 255}, 0.6));
    m.FillEllipse(6, 20, 3, 3, Rgb{120, 255, 140});
    GoalFlag(m, 248, 22, 3, Rgb{20, 20, 30});
    WriteBytes(root, StageDir(stage) + "Image/Map.bmp", m.ToBmp());
}

void WriteMarker(const std::string& root) {
    Canvas k(24, 22, kKey);
    k.FillEllipse(12, 11, 11, 10, Rgb{250, 250, 250});
    k.FillEllipse(12, 11, 9.5, 8.5, Rgb{255, 200, 60});
    Fish(k, 13, 12, 15, Rgb{30, 90, 190}, Rgb{210, 235, 250});
    WriteBytes(root, kSharedImage + "MapMarker.bmp", k.ToBmp());
}

// The pause panel (280 x 120 with the two items) and the selection icon (28 x 22 at (0, 128)).
void WriteMenuPictures(const std::string& root) {
    Canvas p(288, 152, kKey);
    Panel(p, 0, 0, 280, 120, 18, Rgb{10, 24, 70}, Rgb{60, 110, 200}, Rgb{16, 36, 100});
    const Rgb top{255, 255, 255}, bottom{170, 220, 255}, line{8, 20, 60};
    p.Text("RETRY", 76, 30, 3, top, bottom, line, 2, 3);
    p.Text("QUIT", 76, 62, 3, top, bottom, line, 2, 3);
    p.FillRect(24, 98, 232, 2, Rgb{120, 170, 240});
    p.Text("SPACE: OK  X: BACK", 34, 104, 1, Rgb{220, 235, 255}, Rgb{200, 220, 255}, line, 1, 2);
    Fish(p, 15, 139, 24, Rgb{255, 170, 40}, Rgb{255, 240, 200});
    WriteBytes(root, kSharedImage + "MenuPanel.bmp", p.ToBmp());

    Canvas logo(280, 72, kKey);
    for (int i = 0; i < 5; ++i)
        logo.Ring(12 + i * 64, 60 - (i * 23) % 50, 4 + i % 3, 1.5, Rgb{180, 230, 255}, 0.9);
    CentredText(logo, "PAUSE", 140, 8, 8, Rgb{255, 255, 255}, Rgb{120, 210, 255}, Rgb{10, 30, 90}, 3, 6);
    WriteBytes(root, kSharedImage + "Pause.bmp", logo.ToBmp());
}

// "STAGE n" of a stage (320 x 64).
void WriteStageTitle(const std::string& root, int stage) {
    const Theme& t = kThemes[stage - 1];
    Canvas s(320, 64, kKey);
    CentredText(s, "STAGE " + Num(stage), 160, 4, 8, t.accent_top, t.accent_bottom, t.outline, 3, 5);
    WriteBytes(root, StageDir(stage) + "Image/StageTitle.bmp", s.ToBmp());
}

// "READY" at (0, 0)-(240, 60) and "GO!" at (0, 64)-(240, 124).
void WriteReadyGo(const std::string& root) {
    Canvas r(240, 124, kKey);
    CentredText(r, "READY", 120, 6, 6, Rgb{255, 255, 220}, Rgb{255, 200, 60}, Rgb{90, 40, 0}, 3, 5);
    CentredText(r, "GO!", 120, 68, 7, Rgb{255, 255, 255}, Rgb{255, 110, 80}, Rgb{90, 10, 10}, 3, 6);
    WriteBytes(root, kSharedImage + "ReadyGo.bmp", r.ToBmp());
}

void WriteGoal(const std::string& root) {
    Canvas g(256, 80, kKey);
    GoalFlag(g, 8, 74, 8, Rgb{30, 30, 40});
    GoalFlag(g, 212, 74, 8, Rgb{30, 30, 40});
    CentredText(g, "GOAL", 128, 14, 7, Rgb{255, 255, 200}, Rgb{255, 180, 40}, Rgb{80, 30, 0}, 3, 5);
    WriteBytes(root, kSharedImage + "Goal.bmp", g.ToBmp());
}

void WriteStageClear(const std::string& root) {
    Canvas c(480, 104, kKey);
    for (int i = 0; i < 12; ++i) {
        const double a = i * 0.52;
        c.FillEllipse(240 + 220 * std::cos(a), 52 + 44 * std::sin(a), 3, 3, Rgb{255, 240, 160}, 0.9);
    }
    CentredText(c, "STAGE CLEAR", 240, 24, 7, Rgb{255, 255, 255}, Rgb{120, 230, 255}, Rgb{10, 30, 100}, 3, 5);
    WriteBytes(root, kSharedImage + "StageClear.bmp", c.ToBmp());
}

void WriteInterfaceList(const std::string& root, int stage, bool mini) {
    // Count-down time of each stage; the alarm at the last thirty seconds. Holding right and
    // leaping now and then reaches the goal of stage 1 with two minutes to spare, of stage 2
    // with fifty seconds and of stage 3 with ten to fifteen; eating the fast fish buys more.
    const int minutes[kStages] = {3, 2, 2};
    const int seconds[kStages] = {0, 15, 10};
    const std::string dir = StageDir(stage);
    WriteText(root, dir + "LoadList/InterFace.ltd",
              {"// Play interface of stage " + Num(stage) + ": timer, power gauge, course map, leap display",
               "#TimePos 16 12",
               mini ? "#TimerCountDownStart 0 20 0" : "#TimerCountDownStart " + Num(minutes[stage - 1]) + " " +
                                                           Num(seconds[stage - 1]) + " 0",
               mini ? "#AlermStart 0 5 0" : "#AlermStart 0 30 0",
               "// The mode comes after the start value, so the count-down starts from it.",
               "#TimerMode 1",
               "#GaugeGraphic " + Quoted(kSharedImage + "AirGauge.bmp"),
               "#GaugeFramePos 370 12",
               "#GaugeGainPos 70 11",
               "#GaugeFrameRect 0 0 258 36",
               "#GaugeGainRect 0 40 180 54",
               "#GaugeGain 255",
               "#MapImageFile " + Quoted(dir + "Image/Map.bmp") + " " + Quoted(kSharedImage + "MapMarker.bmp"),
               "#MapGaugePos 188 442",
               "#FlyingDistancePos 208 64",
               "// 64 pixels make a metre.",
               "#FlyingDistanceMeterPixel 6",
               "#FlyingDistanceDrawCount 8",
               "#FlyingDistanceHiDrawCount 3",
               "// The best leaps end left of the fish-ahead markers at the right edge (x 608).",
               "#FlyingDistanceHiPos 440 56",
               "#FlyingDistanceNextHiPos 0 28"});
}

void WriteMenuList(const std::string& root, int stage, bool mini) {
    WriteText(root, StageDir(stage) + "LoadList/GameMainMenu.ltd",
              {"// Pause menu: the curtains close, panel and icon slide in from the right, the PAUSE logo fades in",
               "#MaxImageFile 2",
               "#ImageFileName " + Quoted(kSharedImage + "MenuPanel.bmp"),
               "#ImageFileName " + Quoted(kSharedImage + "Pause.bmp"),
               "#MenuCommandPos 660 210 180 210",
               mini ? "#MenuCommandSpring 0.5" : "#MenuCommandSpring 0.22",
               "#MenuCommandRect 0 0 280 120",
               "#MenuIconPos 720 240 210 240",
               mini ? "#MenuIconSpring 0.5" : "#MenuIconSpring 0.3",
               "#MenuIconRect 0 128 28 150",
               "#LogoPos 180 120",
               mini ? "#LogoBlendTransitionSpeed 64.0" : "#LogoBlendTransitionSpeed 12.0",
               "#LogoBlend 0 255",
               "#WipeSideTrue 1",
               "#WipeEndLine 320",
               "// The curtains meet in the last wipe frame (the frames divide 320 evenly) and the wipe",
               "// is held one frame later, showing the frame before: they cover the frozen play and the",
               "// slide's path, so nothing of either stays under the menu.",
               mini ? "#WipeEndFrame 4" : "#WipeEndFrame 20",
               mini ? "#WipePauseFrame 5" : "#WipePauseFrame 21"});
}

void WriteStartDemoList(const std::string& root, int stage, bool mini) {
    // The texts come one after the other, timed by the demo's two watched movers: the stage's
    // name zooms in from the left and holds until mover 1 arrives, then fades out; READY and GO!
    // start on their way with mover 1 but from 65000 pixels off the screen, so that they enter
    // it only after the name has gone: READY from the right, then GO! from below. Mover 1 has no
    // size and shows nothing: its way up (1200 pixels, a second) is the name's hold, and its way back
    // down (it creeps onto its start, two seconds) the time READY and GO! show before the play starts.
    // The full demo lasts 121 frames (the name 59, READY from frame 64, GO! from 86), the test
    // set's 12 (the name 4, READY from 7, GO! from 8).
    struct Mover {
        const char* places;   // start x y, target x y, start w h, target w h
        const char* full;     // rate, alpha speed (full content)
        const char* fast;     // the same for the test set
        const char* rest;     // start alpha, target alpha, source rectangle, draw mode, picture
    };
    const Mover movers[] = {
        {"-200 180 320 180 640 128 320 64", "0.15 6.0", "0.6 48.0", "0 255 0 0 320 64 1 0"},
        {mini ? "320 253 320 252 0 0 0 0" : "320 1452 320 252 0 0 0 0", "0.2 1.0", "0.7 1.0", "255 255 0 0 240 60 1 1"},
        {"65000 252 320 252 240 60 240 60", "0.115 1.0", "0.8 1.0", "255 255 0 0 240 60 1 1"},
        {"320 65000 320 330 240 60 240 60", "0.088 1.0", "0.7 1.0", "255 255 0 64 240 124 1 1"},
    };
    std::vector<std::string> lines = {
        "// Stage start: the stage's name, then READY from the right, then GO! from below; mover 1 shows",
        "// nothing and times them. All are blended with their alpha (mode 1), clear of the interface",
        "#MaxImageFile 2",
        "#ImageFileName " + Quoted(StageDir(stage) + "Image/StageTitle.bmp"),
        "#ImageFileName " + Quoted(kSharedImage + "ReadyGo.bmp"),
        "#MaxInstance 4"};
    for (const Mover& m : movers)
        lines.push_back("#ObjectData " + std::string(m.places) + " " + (mini ? m.fast : m.full) + " " + m.rest);
    WriteText(root, StageDir(stage) + "LoadList/StageStartDemo.ltd", lines);
}

void WriteEndDemoList(const std::string& root, int stage, bool mini) {
    const int g = mini ? 2048 : kGoalPixels[stage - 1];
    WriteText(root, StageDir(stage) + "LoadList/StageEndDemo.ltd",
              {"// Goal of stage " + Num(stage) + ": the line in world pixels and where its sign shows",
               "#MaxImageFile 1",
               "#ImageFileName " + Quoted(kSharedImage + "Goal.bmp"),
               "#GoalPoint " + Num(g),
               "#GoalDrawStartPoint " + Num(g - (mini ? 1024 : 2400)),
               "#GoalDrawPos 192 96",
               "#GoalAlphaTrangtion 6"});
}

void WriteScoreShowList(const std::string& root, int stage, bool mini) {
    WriteText(root, StageDir(stage) + "LoadList/StageEndScoreShow.ltd",
              {"// Stage clear: the picture and the run's best leap and time fade in",
               "#StageClearImage " + Quoted(kSharedImage + "StageClear.bmp"),
               "#StageClearPos 80 104",
               "#StageClearHiJumpPos 200 248",
               "#StageClearTimePos 190 288",
               mini ? "#StageClearScoreBlend 64" : "#StageClearScoreBlend 6",
               mini ? "#StageClearScoreWait 10" : "#StageClearScoreWait 180"});
}

} // namespace

void WriteInterface(const std::string& root, bool mini) {
    WriteGauge(root);
    WriteMarker(root);
    WriteMenuPictures(root);
    WriteReadyGo(root);
    WriteGoal(root);
    WriteStageClear(root);
    for (int stage = 1; stage <= kStages; ++stage) {
        WriteMap(root, stage);
        WriteStageTitle(root, stage);
        WriteInterfaceList(root, stage, mini);
        WriteMenuList(root, stage, mini);
        WriteStartDemoList(root, stage, mini);
        WriteEndDemoList(root, stage, mini);
        WriteScoreShowList(root, stage, mini);
    }
}

} // namespace gamedata
