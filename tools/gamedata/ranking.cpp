// ranking.cpp -- the game-over pictures and Demo.ltd, the ranking's picture, bubble cells and
// ScoreRank.ltd.
#include <cmath>

#include "content.h"
#include "scene_art.h"

namespace gamedata {

namespace {

const Rgb kInk{10, 22, 64};
const std::string kGameOverDir = "GameData/GameOver/Image/";
const std::string kScoreDir = "GameData/Score/Image/";

// The fish drifting down into the deep, in a round window of dark water.
Canvas Sinking() {
    Canvas c(320, 200, kSceneKey);
    for (int r = 100; r > 0; r -= 2)
        c.FillEllipse(160, 100, r * 1.58, r * 0.98, Mix(Rgb{6, 20, 60}, Rgb{30, 80, 150}, 1.0 - r / 100.0));
    PaintFish(c, 160, 112, 44, FishColours{Rgb{70, 80, 120}, Rgb{170, 180, 200}, Rgb{120, 140, 180}}, true, 0.2);
    // Crossed-out eye: a sleepy line over it.
    c.FillTriangle(122, 106, 136, 104, 136, 108, Rgb{20, 20, 40});
    PaintBubbles(c, 120, 20, 90, 60, 9, Rgb{180, 220, 255}, 7);
    return c;
}

void WriteGameOver(const std::string& root) {
    WriteBytes(root, kGameOverDir + "Sinking.bmp", Sinking().ToBmp());

    Canvas title(520, 110, kSceneKey);
    CentredText(title, "GAME OVER", 260, 20, 10, Rgb{255, 236, 200}, Rgb{230, 60, 50}, Rgb{250, 250, 250}, 3, 6);
    WriteBytes(root, kGameOverDir + "GameOverText.bmp", title.ToBmp());

    Canvas choice(240, 64, kSceneKey);
    CentredText(choice, "CONTINUE", 120, 5, 3, Rgb{255, 255, 255}, Rgb{140, 220, 255}, kInk, 2, 3);
    CentredText(choice, "END", 120, 37, 3, Rgb{255, 255, 255}, Rgb{140, 220, 255}, kInk, 2, 3);
    WriteBytes(root, kGameOverDir + "Choice.bmp", choice.ToBmp());

    Canvas cursor(40, 32, kSceneKey);
    PaintFish(cursor, 22, 17, 14, FishColours{Rgb{230, 150, 30}, Rgb{255, 240, 160}, Rgb{255, 210, 90}}, false, 0.6);
    WriteBytes(root, kGameOverDir + "Cursor.bmp", cursor.ToBmp());

    WriteText(root, "GameData/GameOver/LoadList/Demo.ltd",
              {"// Game over: movers 0 the sinking fish, 1 the words (their fade times the demo),",
               "// 2 the choice, 3 the selection fish (moves down 32 px for END)",
               "#MaxImageFile 4",
               "#ImageFileName " + Quoted(kGameOverDir + "Sinking.bmp"),
               "#ImageFileName " + Quoted(kGameOverDir + "GameOverText.bmp"),
               "#ImageFileName " + Quoted(kGameOverDir + "Choice.bmp"),
               "#ImageFileName " + Quoted(kGameOverDir + "Cursor.bmp"),
               "#MaxInstance 4",
               "// start x y, target x y, start w h, target w h, rate, alpha speed, start alpha, target alpha,",
               "// source left top right bottom, draw mode, picture",
               "#ObjectData 320 600 320 250 320 200 320 200 0.12 6.0 0 255 0 0 320 200 1 0",
               "#ObjectData 320 -80 320 90 260 55 520 110 0.15 6.0 0 255 0 0 520 110 1 1",
               "#ObjectData 320 520 320 400 240 64 240 64 0.2 6.0 0 255 0 0 240 64 1 2",
               "#ObjectData -40 384 196 384 40 32 40 32 0.25 8.0 0 255 0 0 40 32 1 3"});
}

// The ranking's picture: deep water with light from above, sea grass and a panel for the texts.
Canvas RankBackground() {
    Canvas c(640, 480);
    c.VerticalGradient(0, 0, 640, 480, Rgb{24, 110, 180}, Rgb{4, 18, 56});
    for (int i = 0; i < 6; ++i)
        c.FillTriangle(40 + i * 110, 0, 0 + i * 120, 480, 90 + i * 120, 480, Rgb{180, 230, 255}, 0.07);
    c.VerticalGradient(0, 440, 640, 40, Rgb{120, 110, 80}, Rgb{60, 50, 40});
    for (int k = 0; k < 9; ++k) {
        const double base = 20 + k * 76;
        for (int j = 0; j < 14; ++j)
            c.FillEllipse(base + 10 * std::sin(j * 0.6 + k), 470 - j * 9.0, 6, 8, Rgb{30, static_cast<uint8_t>(120 + (k % 3) * 20), 70}, 0.9);
    }
    PaintFish(c, 540, 400, 24, FishColours{Rgb{30, 60, 110}, Rgb{90, 130, 170}, Rgb{70, 120, 170}}, true, 0.6);
    PaintFish(c, 90, 130, 18, FishColours{Rgb{30, 60, 110}, Rgb{90, 130, 170}, Rgb{70, 120, 170}}, false, 0.6);
    CentredText(c, "RANKING", 320, 18, 7, Rgb{255, 255, 255}, Rgb{120, 220, 255}, kInk, 4, 6);
    PaintPanel(c, 140, 150, 360, 210, 18, Rgb{12, 40, 90}, Rgb{150, 210, 255}, 3);
    CentredText(c, "X: BACK TO THE TITLE", 320, 380, 2, Rgb{200, 230, 255}, Rgb{160, 200, 240}, kInk, 1, 3);
    return c;
}

// Four bubble cells of 8 x 8, smallest first.
Canvas BubbleCells() {
    Canvas c(8, 32, kSceneKey);
    const double radius[4] = {1.6, 2.2, 2.9, 3.6};
    for (int i = 0; i < 4; ++i) {
        c.Ring(3.5, i * 8 + 3.5, radius[i], 0.9, Rgb{200, 236, 255});
        c.FillEllipse(2.6, i * 8 + 2.6, 0.8, 0.8, Rgb{255, 255, 255});
    }
    return c;
}

void WriteRanking(const std::string& root, bool mini) {
    WriteBytes(root, kScoreDir + "RankBack.bmp", RankBackground().ToBmp());
    WriteBytes(root, kScoreDir + "Bubble.bmp", BubbleCells().ToBmp());
    WriteText(root, "GameData/Score/LoadList/ScoreRank.ltd",
              {"// The ranking: pictures 0 the background, 1 the bubble cells",
               "#LoadImageCount 2",
               "#ImageFileName " + Quoted(kScoreDir + "RankBack.bmp"),
               "#ImageFileName " + Quoted(kScoreDir + "Bubble.bmp"),
               "// Texts: start x y, target x y, rate; distance, time, stage name, HI SCORE",
               "#Param 700 250 200 250 0.2",
               "#Param -300 300 190 300 0.2",
               "#Param 250 -40 250 180 0.25",
               "#Param 240 520 240 100 0.2",
               mini ? "#ScoreChangeWait 20" : "#ScoreChangeWait 150"});
}

} // namespace

void WriteSceneScreens(const std::string& root, bool mini) {
    WriteGameOver(root);
    WriteRanking(root, mini);
}

} // namespace gamedata
