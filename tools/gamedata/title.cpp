// title.cpp -- the title picture with the game's logo lettering, the menu items and the
// stage-select cards.
#include <cmath>

#include "content.h"
#include "scene_art.h"

namespace gamedata {

namespace {

const std::string kDir = "GameData/Title/Image/";
const Rgb kNavy{10, 22, 64};

// The logo: "FLYING" bobbing on a wave above a large "FISH", a fish leaping through the
// lettering and a swoosh of spray beneath.
void PaintLogo(Canvas& c, int cx, int top) {
    const std::string upper = "FLYING", lower = "FISH";
    const int us = 7, uspace = 5, ls = 12, lspace = 8;
    const int uw = Canvas::TextWidth(upper, us, uspace), lw = Canvas::TextWidth(lower, ls, lspace);
    // Spray swoosh under the lettering.
    for (int i = 0; i < 90; ++i) {
        const double t = i / 89.0;
        const double x = cx - lw * 0.75 + t * lw * 1.5, y = top + 170 + 14 * std::sin(t * 3.14159 * 2);
        c.FillEllipse(x, y, 9 - 5 * std::fabs(t - 0.5), 4, Rgb{230, 248, 255}, 0.55);
    }
    auto letters = [&](const std::string& word, int scale, int spacing, int width, int y, double bob, Rgb a, Rgb b,
                       int shadow) {
        int x = cx - width / 2;
        for (size_t i = 0; i < word.size(); ++i) {
            const int dy = static_cast<int>(bob * std::sin(i * 1.1));
            if (shadow) c.Glyph(word[i], x + shadow, y + dy + shadow, scale, Rgb{8, 30, 70}, Rgb{8, 30, 70}, kNavy, 0);
            else c.Glyph(word[i], x, y + dy, scale, a, b, kNavy, 4);
            x += kGlyphWidth * scale + spacing;
        }
    };
    letters(upper, us, uspace, uw, top, 6, {}, {}, 6);
    letters(lower, ls, lspace, lw, top + 62, 4, {}, {}, 7);
    letters(upper, us, uspace, uw, top, 6, Rgb{255, 255, 255}, Rgb{110, 220, 255}, 0);
    letters(lower, ls, lspace, lw, top + 62, 4, Rgb{255, 246, 140}, Rgb{255, 120, 40}, 0);
    // The fish leaps through the gap between the two words, trailing drops.
    for (int i = 0; i < 8; ++i)
        c.FillEllipse(cx - lw / 2 - 40 - i * 16.0, top + 84 + i * i * 1.6, 4.5 - i * 0.4, 4.5 - i * 0.4,
                      Rgb{200, 240, 255}, 0.9);
    PaintFish(c, cx + lw / 2 + 52, top + 52, 46, FishColours{}, false, 1.0);
}

void WriteBackground(const std::string& root) {
    Canvas c(640, 480);
    PaintSkyAndSea(c, 292, Rgb{36, 110, 206}, Rgb{168, 220, 252}, Rgb{40, 150, 210}, Rgb{6, 36, 104},
                   Rgb{210, 240, 255}, 0.45);
    // The sun and its glow, clouds, a far island.
    PaintSun(c, 560, 58, 30, Rgb{255, 252, 228}, 0.45, 292);
    PaintCloud(c, 90, 60, 130, Rgb{255, 255, 255}, 0.85);
    PaintCloud(c, 420, 230, 110, Rgb{250, 252, 255}, 0.7);
    PaintCloud(c, 140, 250, 80, Rgb{250, 252, 255}, 0.6);
    c.FillEllipse(70, 294, 70, 12, Rgb{40, 100, 80});
    c.FillEllipse(64, 288, 30, 10, Rgb{60, 130, 90});
    c.FillTriangle(62, 290, 70, 246, 74, 290, Rgb{120, 90, 60});
    for (int i = 0; i < 5; ++i)
        c.FillEllipse(70 + 14 * std::cos(i * 1.25), 246 + 6 * std::sin(i * 1.25), 14, 4, Rgb{40, 140, 70});
    // Sun glitter on the water, darker water where the menu sits.
    for (int i = 0; i < 40; ++i)
        c.FillEllipse(520 + (i * 37) % 90, 300 + (i * 23) % 60, 5, 1.2, Rgb{255, 255, 230}, 0.6);
    c.VerticalGradient(0, 420, 640, 60, Rgb{6, 36, 104}, Rgb{2, 16, 50});
    PaintBubbles(c, 0, 330, 640, 150, 30, Rgb{160, 220, 255}, 3);
    PaintLogo(c, 320, 26);
    // The motto ends above row 242, where the stage select's back cards begin.
    CentredText(c, "SWIM - EAT - LEAP - GLIDE", 320, 222, 2, Rgb{255, 255, 255}, Rgb{210, 236, 255}, kNavy, 2, 4);
    WriteBytes(root, kDir + "TitleBackGraund.bmp", c.ToBmp());
}

// Three items of 168 x 32, one below the other.
void WriteMenu(const std::string& root) {
    Canvas c(168, 96, kSceneKey);
    const char* items[] = {"NEW GAME", "STAGE SELECT", "EXIT"};
    for (int i = 0; i < 3; ++i) {
        PaintPanel(c, 2, 32 * i + 2, 164, 28, 10, Rgb{18, 52, 120}, Rgb{150, 214, 255}, 2);
        CentredText(c, items[i], 84, 32 * i + 9, 2, Rgb{255, 255, 255}, Rgb{255, 230, 120}, kNavy, 1, 3);
    }
    WriteBytes(root, kDir + "title_menu.bmp", c.ToBmp());
}

struct CardTheme {
    const char* name;
    Rgb sky_top, sky_bottom, sea_top, sea_bottom, light;
    bool moon;
};

// A card of 200 x 150: the stage's sea in a frame, its number and name. In the stage select the
// front card covers the left card from its column 172 and the right card up to its column 25,
// so the captions keep within columns 26 to 171.
void WriteCard(const std::string& root, const std::string& file, int stage, const CardTheme& t) {
    Canvas c(200, 150, kSceneKey);
    PaintPanel(c, 0, 0, 200, 150, 14, Rgb{20, 40, 90}, Rgb{250, 230, 150}, 3);
    Canvas scene(184, 100);
    PaintSkyAndSea(scene, 58, t.sky_top, t.sky_bottom, t.sea_top, t.sea_bottom, Rgb{230, 245, 255}, 0.35);
    scene.FillEllipse(150, 26, 13, 13, t.light);
    if (t.moon) scene.FillEllipse(156, 22, 11, 11, t.sky_top);
    PaintCloud(scene, 50, 24, 50, Rgb{255, 255, 255}, t.moon ? 0.2 : 0.7);
    PaintFish(scene, 92, 48, 22, FishColours{}, false, 1.0);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 184; ++x) c.Set(8 + x, 8 + y, scene.Get(x, y));
    CentredText(c, "STAGE " + std::to_string(stage), 100, 113, 2, Rgb{255, 255, 255}, Rgb{255, 226, 120}, kNavy, 1, 3);
    CentredText(c, t.name, 100, 133, 1, Rgb{210, 236, 255}, Rgb{170, 210, 255}, kNavy, 0, 2);
    WriteBytes(root, file, c.ToBmp());
}

// The card of a stage not cleared yet: a padlock over a dark sea.
void WriteLockedCard(const std::string& root) {
    Canvas c(200, 150, kSceneKey);
    PaintPanel(c, 0, 0, 200, 150, 14, Rgb{24, 30, 48}, Rgb{110, 120, 140}, 3);
    c.VerticalGradient(8, 8, 184, 100, Rgb{30, 40, 70}, Rgb{14, 18, 34});
    c.Ring(100, 44, 18, 6, Rgb{170, 176, 190});
    c.FillRect(72, 48, 56, 44, Rgb{200, 170, 70});
    c.FillRect(76, 52, 48, 36, Rgb{230, 200, 90});
    c.FillEllipse(100, 66, 6, 6, Rgb{60, 40, 20});
    c.FillTriangle(96, 68, 104, 68, 100, 82, Rgb{60, 40, 20});
    CentredText(c, "LOCKED", 100, 113, 2, Rgb{200, 206, 220}, Rgb{150, 156, 170}, Rgb{10, 12, 20}, 1, 3);
    CentredText(c, "CLEAR IT IN A NEW GAME", 100, 133, 1, Rgb{170, 176, 190}, Rgb{140, 146, 160}, Rgb{10, 12, 20}, 0,
                1);
    WriteBytes(root, kDir + "StageSelect0.bmp", c.ToBmp());
}

} // namespace

void WriteTitle(const std::string& root) {
    WriteBackground(root);
    WriteMenu(root);
    const CardTheme themes[3] = {
        {"CORAL BAY AT DAWN", Rgb{90, 160, 230}, Rgb{250, 210, 170}, Rgb{40, 170, 200}, Rgb{10, 70, 130},
         Rgb{255, 240, 190}, false},
        {"SUNSET CAPE", Rgb{120, 60, 140}, Rgb{255, 150, 70}, Rgb{170, 80, 90}, Rgb{40, 20, 70}, Rgb{255, 210, 120},
         false},
        {"MOONLIT STRAITS", Rgb{8, 12, 40}, Rgb{30, 50, 100}, Rgb{20, 50, 100}, Rgb{4, 12, 36}, Rgb{240, 240, 210},
         true},
    };
    for (int i = 0; i < 3; ++i)
        WriteCard(root, kDir + "StageSelect" + std::to_string(i + 1) + ".bmp", i + 1, themes[i]);
    WriteLockedCard(root);
}

} // namespace gamedata
