// scene_art.cpp -- the shared painting helpers of the scene pictures.
#include "scene_art.h"

#include <algorithm>
#include <cmath>

namespace gamedata {

void PaintFish(Canvas& c, double cx, double cy, double s, const FishColours& k, bool mirrored, double spread) {
    const double d = mirrored ? -1.0 : 1.0;
    auto X = [&](double dx) { return cx + d * dx * s / 40.0; };
    auto Y = [&](double dy) { return cy + dy * s / 40.0; };
    // The far wing, the tail fork, the body, the belly, the near wing and the eye.
    c.FillTriangle(X(-5), Y(-6), X(-40), Y(-6 - 40 * spread), X(25), Y(-10), k.wing, 0.6);
    c.FillTriangle(X(-38), Y(0), X(-62), Y(-18), X(-58), Y(16), k.back);
    c.FillEllipse(X(0), Y(0), 42 * s / 40.0, 14 * s / 40.0, k.back);
    c.FillEllipse(X(4), Y(5), 34 * s / 40.0, 7 * s / 40.0, k.belly);
    c.FillTriangle(X(-8), Y(-2), X(-30), Y(-2 - 46 * spread), X(30), Y(-6), k.wing, 0.85);
    c.FillTriangle(X(-4), Y(6), X(-26), Y(6 + 22 * spread), X(18), Y(8), k.wing, 0.7);
    c.FillEllipse(X(28), Y(-3), 4.5 * s / 40.0, 4.5 * s / 40.0, k.eye);
    c.FillEllipse(X(29.5), Y(-3), 2.2 * s / 40.0, 2.2 * s / 40.0, Rgb{10, 10, 30});
}

void PaintSun(Canvas& c, double cx, double cy, double r, Rgb colour, double glow, int clip_y) {
    for (int y = static_cast<int>(cy - 2 * r); y < std::min<double>(clip_y, cy + 2 * r); ++y) {
        for (int x = static_cast<int>(cx - 2 * r); x <= cx + 2 * r; ++x) {
            const double d = std::hypot(x - cx, y - cy);
            if (d <= r) c.Blend(x, y, colour, std::min(1.0, r - d + 0.5));
            else if (d < 2 * r) c.Blend(x, y, colour, glow * (2 * r - d) / r);
        }
    }
}

void PaintCloud(Canvas& c, double cx, double cy, double w, Rgb colour, double alpha) {
    const double puffs[][3] = {{-0.35, 0.05, 0.22}, {-0.1, -0.12, 0.3}, {0.18, -0.05, 0.26}, {0.38, 0.07, 0.18},
                               {0.0, 0.1, 0.34}};
    for (const auto& p : puffs) c.FillEllipse(cx + p[0] * w, cy + p[1] * w, p[2] * w, p[2] * w * 0.55, colour, alpha);
}

void PaintSkyAndSea(Canvas& c, int horizon, Rgb sky_top, Rgb sky_bottom, Rgb sea_top, Rgb sea_bottom, Rgb crest,
                    double crest_alpha) {
    c.VerticalGradient(0, 0, c.Width(), horizon, sky_top, sky_bottom);
    c.VerticalGradient(0, horizon, c.Width(), c.Height() - horizon, sea_top, sea_bottom);
    for (int row = 0; row < 14; ++row) {
        const double y0 = horizon + 6 + row * row * 1.1 + row * 4;
        const double amplitude = 1 + row * 0.35, length = 14 + row * 3;
        for (int x = 0; x < c.Width(); ++x) {
            const double y = y0 + amplitude * std::sin(x / length + row * 1.7);
            if (std::sin(x / (length * 2.3) + row) > 0.2) c.Blend(x, static_cast<int>(y), crest, crest_alpha);
        }
    }
}

void PaintPanel(Canvas& c, int x, int y, int w, int h, int r, Rgb fill, Rgb border, int b) {
    auto rounded = [&c](int x0, int y0, int w0, int h0, int r0, Rgb colour) {
        c.FillRect(x0 + r0, y0, w0 - 2 * r0, h0, colour);
        c.FillRect(x0, y0 + r0, w0, h0 - 2 * r0, colour);
        for (int cx : {x0 + r0, x0 + w0 - r0 - 1})
            for (int cy : {y0 + r0, y0 + h0 - r0 - 1}) c.FillEllipse(cx, cy, r0, r0, colour);
    };
    rounded(x, y, w, h, r, border);
    rounded(x + b, y + b, w - 2 * b, h - 2 * b, r > b ? r - b : 1, fill);
}

void CentredText(Canvas& c, const std::string& text, int cx, int y, int scale, Rgb top, Rgb bottom, Rgb outline,
                 int outline_width, int spacing) {
    c.Text(text, cx - Canvas::TextWidth(text, scale, spacing) / 2, y, scale, top, bottom, outline, outline_width,
           spacing);
}

void PaintBubbles(Canvas& c, int x, int y, int w, int h, int count, Rgb colour, unsigned seed) {
    unsigned v = seed * 2654435761u + 12345u;
    auto next = [&v] {
        v = v * 1103515245u + 12345u;
        return (v >> 8) & 0xFFFF;
    };
    for (int i = 0; i < count; ++i) {
        const double bx = x + next() % (w > 0 ? w : 1), by = y + next() % (h > 0 ? h : 1);
        const double r = 1.5 + next() % 5;
        c.Ring(bx, by, r, 1.0, colour, 0.7);
        c.FillEllipse(bx - r * 0.35, by - r * 0.35, r * 0.3, r * 0.3, Rgb{255, 255, 255}, 0.8);
    }
}

} // namespace gamedata
