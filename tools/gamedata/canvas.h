// canvas.h -- a small RGB painter for the content generator: shapes with soft edges, gradients,
// a built-in 5 x 7 glyph set drawn large with an outline, and BMP output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gamedata {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

Rgb Mix(Rgb a, Rgb b, double t);   // t 0: a, 1: b

class Canvas {
public:
    Canvas(int width, int height, Rgb fill = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb Get(int x, int y) const;
    // Blends colour over pixel (x, y) by coverage 0..1; outside the canvas nothing happens.
    void Blend(int x, int y, Rgb colour, double coverage);
    void Set(int x, int y, Rgb colour) { Blend(x, y, colour, 1.0); }

    void FillRect(int x, int y, int w, int h, Rgb colour);
    // Top-to-bottom gradient over a rectangle.
    void VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom);
    // Ellipse with a one-pixel soft edge; alpha scales the whole shape.
    void FillEllipse(double cx, double cy, double rx, double ry, Rgb colour, double alpha = 1.0);
    // Ring of the given thickness.
    void Ring(double cx, double cy, double r, double thickness, Rgb colour, double alpha = 1.0);
    // Triangle with soft edges.
    void FillTriangle(double x0, double y0, double x1, double y1, double x2, double y2, Rgb colour, double alpha = 1.0);

    // Glyph of the built-in set (codes 0x21 to 0x7E; others draw nothing) with its top-left at
    // (x, y), each glyph dot scale x scale pixels, filled with a top-to-bottom gradient and
    // ringed by an outline of `outline` pixels. The baseline lies kGlyphHeight * scale below y;
    // descenders reach kGlyphDescent * scale further down.
    void Glyph(char c, int x, int y, int scale, Rgb top, Rgb bottom, Rgb outline_colour, int outline);
    void Text(const std::string& text, int x, int y, int scale, Rgb top, Rgb bottom, Rgb outline_colour,
              int outline, int spacing);
    // Width in pixels of a text drawn with Text.
    static int TextWidth(const std::string& text, int scale, int spacing);

    // 24-bit BMP file image.
    std::vector<uint8_t> ToBmp() const;

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

// Glyph size of the built-in set in dots: 5 x 7 down to the baseline, and two rows below it
// for the descenders of g, j, p, q and y.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphDescent = 2;
constexpr int kGlyphRows = kGlyphHeight + kGlyphDescent;
// Row r (0 top, kGlyphHeight the first below the baseline) of a glyph: bit 4 is the leftmost
// dot. 0 for codes without a glyph.
uint8_t GlyphRow(char c, int r);

} // namespace gamedata
