// scene_art.h -- painting helpers shared by the title, story, game-over and ranking pictures:
// skies, seas, clouds, rounded panels, the flying fish and the centred lettering.
#pragma once

#include <string>

#include "canvas.h"

namespace gamedata {

// Colour key of the keyed scene pictures (their pixel (0, 0)).
constexpr Rgb kSceneKey{0, 0, 0};

struct FishColours {
    Rgb back{40, 90, 170}, belly{200, 225, 245}, wing{120, 200, 240}, eye{250, 250, 255};
};

// A flying fish centred on (cx, cy), `size` its body half-length, facing right (or left when
// mirrored), wings spread by `spread` (0 folded, 1 wide).
void PaintFish(Canvas& canvas, double cx, double cy, double size, const FishColours& colours, bool mirrored = false,
               double spread = 1.0);
// A sun or moon of radius r with a glow of twice its size, painted only above clip_y.
void PaintSun(Canvas& canvas, double cx, double cy, double r, Rgb colour, double glow, int clip_y);
// A soft cloud of a few overlapping puffs.
void PaintCloud(Canvas& canvas, double cx, double cy, double width, Rgb colour, double alpha);
// Sky above horizon_y and sea below it, with crest lines on the sea.
void PaintSkyAndSea(Canvas& canvas, int horizon_y, Rgb sky_top, Rgb sky_bottom, Rgb sea_top, Rgb sea_bottom,
                    Rgb crest, double crest_alpha);
// A rounded panel: the border colour, then the fill inset by `border` pixels.
void PaintPanel(Canvas& canvas, int x, int y, int w, int h, int radius, Rgb fill, Rgb border, int border_width);
// Text centred on cx with its top at y.
void CentredText(Canvas& canvas, const std::string& text, int cx, int y, int scale, Rgb top, Rgb bottom, Rgb outline,
                 int outline_width, int spacing);
// Rising bubbles scattered over a rectangle.
void PaintBubbles(Canvas& canvas, int x, int y, int w, int h, int count, Rgb colour, unsigned seed);

} // namespace gamedata
