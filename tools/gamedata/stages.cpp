// stages.cpp -- the play content of stages 1 to 3: the player fish, the fish to eat and their
// tables, water drops, the sky and sea backdrop, sea-floor and sky strips, waves and the
// distant scenery, each stage in its own palette (day, sunset, night).
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "canvas.h"
#include "content.h"

namespace gamedata {

namespace {

constexpr Rgb kKey{0, 0, 0};   // colour key of every sprite sheet (pixel (0, 0))
constexpr double kPi = 3.14159265358979;

struct Palette {
    Rgb sky_top, horizon, sea_top, sea_deep, sand, rock, weed, cloud, cloud_shade, bird;
    bool night;
};

const Palette kPalettes[3] = {
    {{38, 96, 196}, {176, 218, 246}, {44, 148, 196}, {6, 34, 78}, {214, 194, 146}, {120, 112, 104}, {46, 150, 84},
     {252, 252, 255}, {196, 210, 232}, {40, 44, 60}, false},
    {{66, 44, 116}, {252, 172, 96}, {58, 102, 150}, {12, 22, 56}, {196, 150, 116}, {104, 82, 86}, {60, 120, 80},
     {255, 214, 176}, {214, 140, 132}, {50, 30, 40}, false},
    {{6, 10, 34}, {44, 64, 116}, {24, 58, 100}, {3, 10, 28}, {120, 116, 120}, {70, 70, 86}, {30, 90, 70},
     {120, 130, 160}, {70, 80, 112}, {170, 180, 210}, true},
};

std::string Dir(int stage) { return "GameData/Stage" + std::to_string(stage) + "/Game/"; }

// A sheet of equal cells; frames are added one at a time and listed per sprite.
class Sheet {
public:
    Sheet(int cell_w, int cell_h, int columns, int rows)
        : cw_(cell_w), ch_(cell_h), columns_(columns), cells_(columns * rows),
          canvas_(cell_w * columns, cell_h * rows, kKey) {}
    // Draws a cell with paint(canvas, left, top) and returns the frame line of it. A frame past
    // the last cell would lie outside the picture: the run fails.
    std::string Add(int plane, const std::function<void(Canvas&, double, double)>& paint, int ox, int oy) {
        if (count_ >= cells_) {
            std::fprintf(stderr, "gamedata: a sheet of %d cells is given frame %d\n", cells_, count_ + 1);
            g_failed = true;
        }
        const int x = count_ % columns_ * cw_, y = count_ / columns_ * ch_;
        ++count_;
        paint(canvas_, x, y);
        return "#Frame " + std::to_string(plane) + ", " + std::to_string(x) + ", " + std::to_string(y) + ", " +
               std::to_string(x + cw_) + ", " + std::to_string(y + ch_) + ", " + std::to_string(ox) + ", " +
               std::to_string(oy);
    }
    Canvas& canvas() { return canvas_; }

private:
    int cw_, ch_, columns_, cells_;
    int count_ = 0;
    Canvas canvas_;
};

struct FishLook {
    Rgb back, belly;
    double wing = 0;      // 0 folded .. 1 spread
    double wing_up = 0;   // -1 down .. 1 up
    double tail = 0;      // -1 .. 1
    double mouth = 0;     // 0 closed .. 1 open
    double squash = 1;    // < 1 while turning to face the viewer
    bool dead = false;
};

// The flying fish centred at (cx, cy), dir +1 facing right, -1 left.
void FlyingFish(Canvas& c, double cx, double cy, int dir, const FishLook& f) {
    auto X = [&](double dx) { return cx + dir * dx * f.squash; };
    const Rgb fin = Mix(f.back, Rgb{200, 235, 255}, 0.55);
    // Forked tail, the lower lobe longer.
    c.FillTriangle(X(-16), cy, X(-29), cy - 8 + f.tail * 3, X(-24), cy + f.tail, fin);
    c.FillTriangle(X(-16), cy + 1, X(-31), cy + 10 + f.tail * 3, X(-24), cy + 1 + f.tail, fin);
    // The far wing (behind the body) when spread.
    if (f.wing > 0)
        c.FillTriangle(X(6), cy - 1, X(-14), cy - 4 - 15 * f.wing * f.wing_up, X(-4), cy + 1, Mix(fin, f.back, 0.4),
                       0.8);
    c.FillEllipse(cx, cy, 19 * f.squash + 1, 7, f.back);
    c.FillEllipse(cx + dir * f.squash, cy + 3, 16 * f.squash, 3.5, f.belly);
    c.FillEllipse(cx - dir * 2 * f.squash, cy - 4, 12 * f.squash, 1.2, Mix(f.back, Rgb{255, 255, 255}, 0.35), 0.7);
    // The near wing: folded along the side, or spread wide.
    if (f.wing > 0)
        c.FillTriangle(X(8), cy, X(-16), cy - 6 - 18 * f.wing * f.wing_up, X(-10), cy + 6 - 10 * f.wing * f.wing_up,
                       fin, 0.85);
    else
        c.FillTriangle(X(8), cy + 1, X(-8), cy - 2, X(-6), cy + 3, fin, 0.9);
    // Eye and mouth.
    if (f.dead) {
        for (int i = -2; i <= 2; ++i) {
            c.Set(static_cast<int>(X(12) + i), static_cast<int>(cy - 2 + i), Rgb{20, 20, 40});
            c.Set(static_cast<int>(X(12) + i), static_cast<int>(cy - 2 - i), Rgb{20, 20, 40});
        }
    } else {
        c.FillEllipse(X(12), cy - 2, 2.8, 2.8, Rgb{250, 250, 255});
        c.FillEllipse(X(12.7), cy - 2, 1.4, 1.4, Rgb{12, 12, 36});
    }
    if (f.mouth > 0) c.FillTriangle(X(20), cy - 3 * f.mouth, X(20), cy + 3 * f.mouth, X(14), cy, Rgb{90, 20, 40});
}

// A fish to eat, facing left, centred at (cx, cy): kind 0 sardine, 1 mackerel, 2 puffer.
void PreyFish(Canvas& c, double cx, double cy, int kind, double tail) {
    auto X = [&](double dx) { return cx - dx; };
    if (kind == 2) {
        const Rgb body{240, 196, 60}, spot{170, 110, 30};
        c.FillTriangle(X(-9), cy, X(-18), cy - 6 + tail * 2, X(-18), cy + 6 + tail * 2, Rgb{230, 150, 50});
        c.FillEllipse(cx, cy, 12, 10, body);
        c.FillEllipse(cx, cy + 4, 9, 5, Rgb{250, 236, 190});
        for (int i = 0; i < 5; ++i) c.FillEllipse(X(-6 + i * 3), cy - 5 + (i % 2) * 3, 1.3, 1.3, spot);
        c.FillEllipse(X(6), cy - 3, 2.4, 2.4, Rgb{250, 250, 255});
        c.FillEllipse(X(6.6), cy - 3, 1.2, 1.2, Rgb{12, 12, 36});
        return;
    }
    const Rgb back = kind == 0 ? Rgb{70, 110, 170} : Rgb{40, 120, 110};
    const Rgb belly = kind == 0 ? Rgb{214, 226, 240} : Rgb{220, 236, 220};
    const double len = kind == 0 ? 13 : 18;
    c.FillTriangle(X(-len + 3), cy, X(-len - 6), cy - 5 + tail * 2, X(-len - 6), cy + 5 + tail * 2, Mix(back, belly, 0.3));
    c.FillEllipse(cx, cy, len, kind == 0 ? 4.5 : 6, back);
    c.FillEllipse(cx, cy + 2, len - 2, 2.4, belly);
    if (kind == 1)
        for (int i = 0; i < 5; ++i) c.FillEllipse(X(-8 + i * 4), cy - 3, 0.9, 2.2, Rgb{20, 60, 60});
    c.FillEllipse(X(len - 5), cy - 1, 1.8, 1.8, Rgb{250, 250, 255});
    c.FillEllipse(X(len - 4.6), cy - 1, 0.9, 0.9, Rgb{12, 12, 36});
}

// The air bubble of radius r centred on (cx, cy): a light ring, a gloss spot at its upper left
// and a sparse glint along its lower right inside. Every other pixel stays the colour key, so
// the water shows through; anything blended here would blend with the key's black, not with
// the water, which is why the edges are hard too.
void AirBubble(Canvas& c, double cx, double cy, double r) {
    const Rgb ring{210, 240, 255}, gloss{250, 255, 255}, glint{170, 220, 250};
    const double gx = cx - r * 0.38, gy = cy - r * 0.42, grx = r / 4 + 0.5, gry = r / 5 + 0.5;
    for (int y = static_cast<int>(cy - r) - 2; y <= static_cast<int>(cy + r) + 2; ++y) {
        for (int x = static_cast<int>(cx - r) - 2; x <= static_cast<int>(cx + r) + 2; ++x) {
            const double px = x + 0.5 - cx, py = y + 0.5 - cy, d = std::hypot(px, py);
            const double ex = (x + 0.5 - gx) / grx, ey = (y + 0.5 - gy) / gry;
            if (std::fabs(d - r) < 0.9) c.Set(x, y, ring);
            else if (ex * ex + ey * ey <= 1) c.Set(x, y, gloss);
            else if (d < r - 1.5 && d > r - 3.5 && px + py > r * 0.7 && (x + y) % 2 == 0) c.Set(x, y, glint);
        }
    }
}

// The player's two definitions: the body with its bubble, and the splash with the button hint.
void WritePlayer(const std::string& root, int stage) {
    const std::string dir = Dir(stage);
    Sheet body(64, 40, 16, 10);
    std::vector<std::string> def{"// The flying fish: swim, turn, drown, glide, flap, eat; the drowning bubble",
                                 "#Plane " + Quoted(dir + "Image/Hopfin.bmp"),
                                 "#Plane " + Quoted(dir + "Image/HopfinBubble.bmp")};
    // Mode 0..3: fresh to short of air (the colour pales and reddens), 4 drowning.
    const Rgb backs[5] = {{36, 86, 168}, {52, 96, 170}, {96, 90, 160}, {150, 70, 110}, {96, 104, 120}};
    auto cell = [&](FishLook look, int dir_x) {
        return body.Add(0, [look, dir_x](Canvas& c, double x, double y) { FlyingFish(c, x + 32, y + 20, dir_x, look); },
                        -32, -20);
    };
    for (int mode = 0; mode < 5; ++mode) {
        FishLook base;
        base.back = backs[mode];
        base.belly = mode == 4 ? Rgb{170, 176, 184} : Rgb{214, 230, 246};
        base.dead = mode == 4;
        for (int facing = 0; facing < 2; ++facing) {
            def.push_back("#Sprite " + std::to_string(4 * mode + facing));
            for (int i = 0; i < 4; ++i) {
                FishLook look = base;
                look.tail = std::sin(i * kPi / 2);
                def.push_back(cell(look, facing ? -1 : 1));
            }
        }
        // Turns: to the left (from facing right), to the right (from facing left).
        for (int to_left = 1; to_left >= 0; --to_left) {
            def.push_back("#Sprite " + std::to_string(4 * mode + 2 + (1 - to_left)));
            const double squash[4] = {0.8, 0.35, 0.35, 0.8};
            for (int i = 0; i < 4; ++i) {
                FishLook look = base;
                look.squash = squash[i];
                const int facing = i < 2 ? (to_left ? 1 : -1) : (to_left ? -1 : 1);
                def.push_back(cell(look, facing));
            }
        }
    }
    FishLook air;
    air.back = backs[0];
    air.belly = Rgb{214, 230, 246};
    air.wing = 1;
    for (int facing = 0; facing < 2; ++facing) {   // glide
        def.push_back("#Sprite " + std::to_string(20 + facing));
        for (int i = 0; i < 2; ++i) {
            FishLook look = air;
            look.wing_up = 0.9 + 0.1 * i;
            def.push_back(cell(look, facing ? -1 : 1));
        }
    }
    for (int facing = 0; facing < 2; ++facing) {   // flap: down, up, down
        def.push_back("#Sprite " + std::to_string(22 + facing));
        for (int i = 0; i < 6; ++i) {
            FishLook look = air;
            look.wing_up = std::cos(i * kPi / 2.5);
            def.push_back(cell(look, facing ? -1 : 1));
        }
    }
    for (int facing = 0; facing < 2; ++facing) {   // eat: the mouth opens and snaps shut
        def.push_back("#Sprite " + std::to_string(24 + facing));
        const double mouth[4] = {0.6, 1.0, 1.0, 0.3};
        for (double m : mouth) {
            FishLook look = air;
            look.wing = 0;
            look.mouth = m;
            def.push_back(cell(look, facing ? -1 : 1));
        }
    }
    // The bubble: rising in a wobble (26, 27), then floating (28, 29).
    Sheet bubble(32, 32, 12, 1);
    for (int s = 26; s < 30; ++s) {
        def.push_back("#Sprite " + std::to_string(s));
        const int frames = s < 28 ? 4 : 2;
        for (int i = 0; i < frames; ++i) {
            const double r = 11 + (s < 28 ? i % 2 : 0) + (s >= 28 ? i : 0);
            def.push_back(
                bubble.Add(1, [r](Canvas& c, double x, double y) { AirBubble(c, x + 16, y + 16, r); }, -16, -16));
        }
    }
    WriteBytes(root, dir + "Image/Hopfin.bmp", body.canvas().ToBmp());
    WriteBytes(root, dir + "Image/HopfinBubble.bmp", bubble.canvas().ToBmp());
    WriteText(root, dir + "SpriteDefinition/Hopfin.txt", def);

    // Splash (sprite 0) and the flap hint (sprite 1).
    Sheet fx(64, 48, 8, 1);
    std::vector<std::string> fx_def{"// The splash at the surface and the flap hint",
                                    "#Plane " + Quoted(dir + "Image/HopfinEffect.bmp"), "#Sprite 0"};
    for (int i = 0; i < 6; ++i)
        fx_def.push_back(fx.Add(0, [i](Canvas& c, double x, double y) {
            const double t = (i + 1) / 6.0;
            for (int d = 0; d < 9; ++d) {
                const double a = kPi * (0.1 + 0.8 * d / 8.0);
                const double px = x + 32 - std::cos(a) * 26 * t, py = y + 44 - std::sin(a) * 40 * std::sin(t * kPi);
                c.FillEllipse(px, py, 3.0 - t, 3.5 - t, Rgb{220, 240, 255}, 1.0 - 0.5 * t);
            }
            c.FillEllipse(x + 32, y + 44, 22 * t + 6, 3, Rgb{240, 250, 255}, 0.9 - 0.6 * t);
        }, -32, -22));   // the foam (row 44) on the water line, 22 px below where the splash is shown
    fx_def.push_back("#Sprite 1");
    for (int i = 0; i < 2; ++i)
        fx_def.push_back(fx.Add(0, [i](Canvas& c, double x, double y) {
            const Rgb cap = i ? Rgb{255, 240, 150} : Rgb{230, 236, 250};
            c.FillRect(static_cast<int>(x) + 10, static_cast<int>(y) + 6, 44, 36, Rgb{40, 60, 110});
            c.FillRect(static_cast<int>(x) + 12, static_cast<int>(y) + 8, 40, 30, cap);
            c.Glyph('Z', static_cast<int>(x) + 22, static_cast<int>(y) + 10, 3, Rgb{30, 50, 120}, Rgb{20, 30, 80},
                    Rgb{255, 255, 255}, 1);
        }, 0, 0));
    WriteBytes(root, dir + "Image/HopfinEffect.bmp", fx.canvas().ToBmp());
    WriteText(root, dir + "SpriteDefinition/HopfinEffect.txt", fx_def);

    WriteText(root, dir + "LoadList/Hopfin.ltd",
              {"// The player fish: sprites, start, speeds and drags, collision, air",
               "#LoadSpriteCharFileCount 2",
               "#MaxSprite 4",
               "#SpriteText " + Quoted(dir + "SpriteDefinition/Hopfin.txt") + " " +
                   Quoted(dir + "SpriteDefinition/HopfinEffect.txt"),
               "#InitSpriteNo 0",
               "#InitPos 0 -200",
               "#InitMoveVector 0 0",
               "#MaxMoveVector 8.0 6.0",
               "#InitAccel 0.5 0.4",
               "#AarResistance 0.02",
               "#WaterResistance 0.06 0.08",
               "#Gravity 0.3",
               "#Buoyancy 1.5 5.0",
               "#Colijyon 14 0 14 9",
               "#ButtonPushDrawPos 540 410",   // clear of the fish-ahead markers at x 608
               "#MaxAir 1800",
               "#AlertAir 900 600 300",
               "#DrowningMove 1 3"});
}

// The fish sheet, the kinds' tables, the cursor and the placement of the stage's fish.
void WriteFish(const std::string& root, int stage, bool mini) {
    const std::string dir = Dir(stage);
    Sheet sheet(48, 28, 12, 1);
    std::vector<std::string> def{"// The fish to eat: 0 sardine, 1 mackerel, 2 puffer (all cells one size)",
                                 "#Plane " + Quoted(dir + "Image/Fish.bmp")};
    for (int kind = 0; kind < 3; ++kind) {
        def.push_back("#Sprite " + std::to_string(kind));
        for (int i = 0; i < 4; ++i)
            def.push_back(sheet.Add(0, [kind, i](Canvas& c, double x, double y) {
                PreyFish(c, x + 24, y + 14, kind, std::sin(i * kPi / 2));
            }, -24, -14));
    }
    WriteBytes(root, dir + "Image/Fish.bmp", sheet.canvas().ToBmp());
    WriteText(root, dir + "SpriteDefinition/FishSprite.txt", def);

    // ax ay max-vx max-vy gain speed, by level
    const char* tables[3][3] = {{"0.55 0.45 9.0 7.0 24 0.5", "0.6 0.5 9.5 7.5 30 0.8", "0.65 0.55 10.0 8.0 36 1.1"},
                                {"0.7 0.6 11.0 9.0 40 0.8", "0.75 0.65 12.0 10.0 52 1.2", "0.8 0.7 13.0 11.0 64 1.6"},
                                {"0.9 0.8 14.0 13.0 80 0.3", "1.0 0.9 16.0 15.0 100 0.5", "1.1 1.0 18.0 17.0 120 0.7"}};
    for (int kind = 0; kind < 3; ++kind) {
        std::vector<std::string> lines{"// Fish kind " + std::to_string(kind) +
                                           ": per level the acceleration and limits it gives, the gauge gain, its speed",
                                       "#Level 3", "#SpNo " + std::to_string(kind)};
        for (const char* t : tables[kind]) lines.push_back(std::string("#Newness ") + t);
        WriteText(root, dir + "FishParam/Fish_" + std::to_string(kind) + ".txt", lines);
    }

    Canvas cursor(24, 24, kKey);
    cursor.FillTriangle(4, 3, 22, 12, 4, 21, Rgb{255, 214, 60});
    cursor.FillTriangle(7, 7, 17, 12, 7, 17, Rgb{255, 250, 200});
    WriteBytes(root, dir + "Image/Cursol.bmp", cursor.ToBmp());

    std::vector<std::string> fish{"// The fish of the stage: kind level motion x y (pixels)"};
    std::vector<std::string> placed;
    if (mini && stage == 1) {
        // One on the straight path of a fish holding right from the start, one far off it.
        placed = {"#SetFish 0 0 1 300 -210", "#SetFish 1 0 1 900 -440"};
    } else {
        // Along the whole course: close together and near the surface on stage 1, further apart
        // and deeper on stage 3.
        const int spacing[3] = {150, 190, 240};
        const int depth[3] = {300, 360, 420};
        const int count = (kGoalPixels[stage - 1] - 420) / spacing[stage - 1];
        for (int i = 0; i < count; ++i) {
            const int x = 420 + i * spacing[stage - 1] + (i * 53) % 90;
            const int y = -40 - (i * 97 + stage * 31) % depth[stage - 1];
            const int kind = (i * 7 + stage) % 10 < 6 ? 0 : (i * 7 + stage) % 10 < 9 ? 1 : 2;
            const int level = (i / 50 + i % 3) % 3;
            const int motion = i % 4 == 3 ? 1 : 0;
            placed.push_back("#SetFish " + std::to_string(kind) + " " + std::to_string(level) + " " +
                             std::to_string(motion) + " " + std::to_string(x) + " " + std::to_string(y));
        }
    }
    fish.push_back("#MaxFish " + std::to_string(placed.size()));
    fish.insert(fish.end(), placed.begin(), placed.end());
    fish.push_back("#LoadFishParam 3 0 1 2");
    fish.push_back("#CursolImageFile " + Quoted(dir + "Image/Cursol.bmp"));
    fish.push_back("#CursolShowRange 320 1600");
    WriteText(root, dir + "LoadList/Fish.ltd", fish);
}

void WriteWaterDrops(const std::string& root, int stage) {
    const std::string dir = Dir(stage);
    Canvas drops(8, 32, kKey);
    for (int p = 0; p < 4; ++p) drops.FillEllipse(4, p * 8 + 4, 1.5 + p * 0.6, 2 + p * 0.6, Rgb{120, 170, 210});
    WriteBytes(root, dir + "Image/WaterDrop.bmp", drops.ToBmp());
    WriteText(root, dir + "LoadList/WaterDrop.ltd",
              {"// Drops shed by the rising fish", "#MaxInstance 64",
               "#ImageFileName " + Quoted(dir + "Image/WaterDrop.bmp"), "#ImagePat 5", "#PatSize 8 8",
               "#Gravity 0.4", "#BlurringRadius 12"});
}

// A soft cloud of a few puffs centred in its box.
void Cloud(Canvas& c, double cx, double cy, double scale, const Palette& p) {
    const double puffs[6][3] = {{-30, 4, 16}, {-12, -6, 20}, {10, -10, 22}, {30, 0, 16}, {0, 6, 18}, {-20, 8, 14}};
    for (const auto& puff : puffs)
        c.FillEllipse(cx + puff[0] * scale, cy + puff[1] * scale + 3, puff[2] * scale, puff[2] * scale * 0.8,
                      p.cloud_shade);
    for (const auto& puff : puffs)
        c.FillEllipse(cx + puff[0] * scale, cy + puff[1] * scale, puff[2] * scale * 0.92, puff[2] * scale * 0.72,
                      p.cloud);
}

void Bird(Canvas& c, double cx, double cy, double span, double up, Rgb colour) {
    c.FillTriangle(cx, cy, cx - span, cy - span * 0.5 * up, cx - span * 0.4, cy + 1, colour);
    c.FillTriangle(cx, cy, cx + span, cy - span * 0.5 * up, cx + span * 0.4, cy + 1, colour);
    c.FillEllipse(cx, cy + 0.5, span * 0.22, span * 0.12, colour);
}

void WriteBackground(const std::string& root, int stage) {
    const std::string dir = Dir(stage);
    const Palette& p = kPalettes[stage - 1];
    // The gradient strip: rows 0..959 sky, 960 the water line, 1440 the sea floor.
    Canvas strip(64, 1440);
    strip.VerticalGradient(0, 0, 64, 960, p.sky_top, p.horizon);
    strip.VerticalGradient(0, 960, 64, 480, p.sea_top, p.sea_deep);
    if (p.night)
        for (int i = 0; i < 16; ++i)
            strip.FillEllipse((i * 37) % 64, (i * 173) % 760, 0.7, 0.7, Rgb{230, 235, 255}, 0.3 + (i % 4) * 0.2);
    for (int y = 962; y < 1240; y += 2)   // light shimmering under the surface
        strip.FillEllipse(16 + (y * 7) % 40, y, 5, 0.6, Mix(p.sea_top, Rgb{255, 255, 255}, 0.3),
                          0.25 * (1240 - y) / 280.0);
    WriteBytes(root, dir + "Image/BgGradient.bmp", strip.ToBmp());
    const uint32_t fill = 0xFF000000u | uint32_t{p.sky_top.r} << 16 | uint32_t{p.sky_top.g} << 8 | p.sky_top.b;

    // The sea floor: dunes, rocks, weed and shells standing on the floor line.
    Canvas floor(640, 120, kKey);
    for (int x = 0; x < 640; ++x) {
        const double h = 34 + 10 * std::sin(x * 2 * kPi / 640 * 3) + 5 * std::sin(x * 2 * kPi / 640 * 7 + 1);
        for (int y = 119; y > 119 - h; --y)
            floor.Set(x, y, Mix(p.sand, Mix(p.sand, p.sea_deep, 0.5), (119 - y) / 60.0 * 0.5 + (y % 3 == 0) * 0.06));
    }
    for (int i = 0; i < 9; ++i) {
        const double x = 30 + i * 71 + (i * 29) % 23;
        for (int s = 0; s < 7; ++s) {   // weed: a wavy column of leaves
            const double y = 92 - s * 10, sway = 4 * std::sin(s * 0.9 + i);
            floor.FillEllipse(x + sway, y, 3, 7, Mix(p.weed, Rgb{0, 0, 0}, 0.1 * (s % 2)));
        }
    }
    for (int i = 0; i < 6; ++i)
        floor.FillEllipse(60 + i * 107, 98 - (i % 2) * 6, 16 + i % 3 * 6, 12 + i % 2 * 4, p.rock);
    for (int i = 0; i < 8; ++i)
        floor.FillEllipse(20 + i * 83, 108, 3, 2, Rgb{240, 220, 230});
    WriteBytes(root, dir + "Image/BgFloor.bmp", floor.ToBmp());

    // The sky strip: clouds and a flock of birds, scrolled slowly.
    Canvas sky(640, 200, kKey);
    Cloud(sky, 110, 60, 1.2, p);
    Cloud(sky, 360, 110, 0.9, p);
    Cloud(sky, 560, 40, 1.4, p);
    for (int i = 0; i < 5; ++i) Bird(sky, 240 + i * 16, 40 + (i % 2) * 8 + i * 2, 6, 1, p.bird);
    WriteBytes(root, dir + "Image/BgSky.bmp", sky.ToBmp());

    // Waves: three patterns of eight frames, each 64 wide; the crest rides on the water line
    // (offset -12). The game gives a wave that wraps round a new pattern from its first frame
    // while its neighbours go on, so any frame of any pattern must meet any other: the swell
    // fades out towards both edges, where every frame meets the water line level and flat.
    Sheet waves(64, 28, 8, 3);
    std::vector<std::string> wave_def{"// Waves along the surface: three patterns, each a rolling crest",
                                      "#Plane " + Quoted(dir + "Image/Wave.bmp")};
    for (int pattern = 0; pattern < 3; ++pattern) {
        wave_def.push_back("#Sprite " + std::to_string(pattern));
        for (int f = 0; f < 8; ++f)
            wave_def.push_back(waves.Add(0, [&p, pattern, f](Canvas& c, double x0, double y0) {
                for (int x = 0; x < 64; ++x) {
                    const double phase = 2 * kPi * (x / 64.0 + f / 8.0);
                    const double edge = std::sin(kPi * x / 64.0);
                    const double swell = 4 * std::sin(phase) + (pattern + 1) * 1.5 * std::sin(phase * 2);
                    const double crest = 12 - edge * edge * swell;
                    for (int y = static_cast<int>(crest); y < 28; ++y) {
                        const Rgb water = Mix(Mix(p.sea_top, Rgb{255, 255, 255}, 0.25), p.sea_top, (y - crest) / 10);
                        c.Set(static_cast<int>(x0) + x, static_cast<int>(y0) + y,
                              y - crest < 2 ? Rgb{236, 246, 255} : water);
                    }
                }
            }, 0, -12));
    }
    WriteBytes(root, dir + "Image/Wave.bmp", waves.canvas().ToBmp());
    WriteText(root, dir + "SpriteDefinition/WaveSprite.txt", wave_def);

    WriteText(root, dir + "LoadList/Bg.ltd",
              {"// Backdrop, the sea-floor strip and the waves",
               "#FillColor " + std::to_string(fill),
               "#BackColorGraphicFileName " + Quoted(dir + "Image/BgGradient.bmp"),
               "#BackObjectGraphicFileName " + Quoted(dir + "Image/BgFloor.bmp"),
               "#BackObjectScrolSpeed 1.0",
               "#BackObjectBaseLine -480",
               "#WaveSpeed_X -0.5",
               "#WavePatCount 3"});
    WriteText(root, dir + "LoadList/BgLoopAir.ltd",
              {"// The sky strip: clouds and birds far away", "#BackObjectGraphicFileName " + Quoted(dir + "Image/BgSky.bmp"),
               "#BackObjectScrolSpeed 0.25", "#BackObjectBaseLine 70"});

    // Distant scenery: islands on the horizon, the sun or moon, and birds flying by.
    Canvas island(160, 60, kKey);
    for (int x = 0; x < 160; ++x) {
        const double h = 46 * std::exp(-std::pow((x - 70) / 38.0, 2)) + 16 * std::exp(-std::pow((x - 120) / 20.0, 2));
        for (int y = 59; y > 59 - h; --y)
            island.Set(x, y, Mix(Mix(p.weed, p.horizon, 0.55), p.rock, (59 - y) / 80.0));
    }
    WriteBytes(root, dir + "Image/BgIsland.bmp", island.ToBmp());
    Canvas sun(72, 72, kKey);
    sun.FillEllipse(36, 36, 30, 30, p.night ? Rgb{236, 236, 210} : Mix(p.horizon, Rgb{255, 250, 210}, 0.7));
    if (p.night) sun.FillEllipse(46, 30, 22, 24, kKey);   // a crescent
    WriteBytes(root, dir + "Image/BgSun.bmp", sun.ToBmp());
    // The halo around it, added onto the sky (black adds nothing).
    Canvas glow(160, 160, kKey);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 160; ++x) {
            const double d = std::hypot(x - 79.5, y - 79.5) / 80.0;
            if (d < 1) glow.Set(x, y, Mix(kKey, p.night ? Rgb{40, 44, 56} : Rgb{90, 70, 40}, (1 - d) * (1 - d)));
        }
    WriteBytes(root, dir + "Image/BgGlow.bmp", glow.ToBmp());
    Sheet gulls(32, 16, 4, 1);
    std::vector<std::string> gull_def{"// A bird flapping", "#Plane " + Quoted(dir + "Image/BgBird.bmp"), "#Sprite 0"};
    for (int f = 0; f < 4; ++f)
        gull_def.push_back(gulls.Add(0, [&p, f](Canvas& c, double x, double y) {
            Bird(c, x + 16, y + 9, 13, std::cos(f * kPi / 2), p.bird);
        }, -16, -8));
    WriteBytes(root, dir + "Image/BgBird.bmp", gulls.canvas().ToBmp());
    WriteText(root, dir + "SpriteDefinition/BgBird.txt", gull_def);

    std::vector<std::string> far{"// Distant scenery in perspective", "#MaxImageFile 3",
                                 "#ImageFileName " + Quoted(dir + "Image/BgIsland.bmp"),
                                 "#ImageFileName " + Quoted(dir + "Image/BgSun.bmp"),
                                 "#ImageFileName " + Quoted(dir + "Image/BgGlow.bmp"),
                                 "#SpriteText " + Quoted(dir + "SpriteDefinition/BgBird.txt"), "#MaxSpObject 6"};
    for (int i = 0; i < 6; ++i)
        far.push_back("#SpObjectData " + std::to_string(600 + i * 900) + " " + std::to_string(160 + (i * 53) % 120) +
                      " " + std::to_string(300 + i * 100) + " -1 0 0 0");
    far.push_back("#MaxSurfaceObject 42");
    // picture x y z dx dy left top right bottom vx vy vz z-motion blend layer-offset
    const std::string sky_y = std::to_string(p.night ? 230 : 210);
    far.push_back("#SurfaceObjectData 2 0 " + sky_y + " 60000 -80 -80 0 0 160 160 0 0 0 0 1 3");
    far.push_back("#SurfaceObjectData 1 0 " + sky_y + " 60000 -36 -36 0 0 72 72 0 0 0 0 0 2");
    for (int i = 0; i < 40; ++i)
        far.push_back("#SurfaceObjectData 0 " + std::to_string(400 + i * 1100 + (i * 37) % 300) + " 60 " +
                      std::to_string(1200 + (i % 3) * 400) + " -80 0 0 0 160 60 0 0 0 0 0 " + std::to_string(1 - i % 2));
    WriteText(root, dir + "LoadList/Bg_25D.ltd", far);
}

} // namespace

void WriteStages(const std::string& root, bool mini) {
    for (int stage = 1; stage <= 3; ++stage) {
        WritePlayer(root, stage);
        WriteFish(root, stage, mini);
        WriteWaterDrops(root, stage);
        WriteBackground(root, stage);
    }
}

} // namespace gamedata
