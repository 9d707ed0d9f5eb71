// pictures.cpp -- the settings file, the logo card and the bitmap-font sheets.
#include <cmath>
#include <string>

#include "canvas.h"
#include "content.h"

namespace gamedata {

namespace {

constexpr Rgb kKey{0, 0, 0};   // colour key of the glyph sheets (their pixel (0, 0))
// Cells of the plain fonts: a glyph of scale 3 with its descenders and a 2-pixel outline, the
// baseline where a 28-pixel cell had it.
constexpr int kPlainCellHeight = 34;

struct SheetStyle {
    Rgb top, bottom, outline;
};

// A grid of the glyphs '!' to '}' row by row, each centred in its cell with its descender rows,
// so that a descender stays inside its own cell.
Canvas PlainSheet(int cell_w, int cell_h, int columns, int rows, int scale, int outline, const SheetStyle& style) {
    Canvas sheet(cell_w * columns, cell_h * rows, kKey);
    const int gw = kGlyphWidth * scale, gh = kGlyphRows * scale;
    for (int g = 0; g < 0x7D - 0x21 + 1; ++g) {
        const int x = g % columns * cell_w + (cell_w - gw) / 2;
        const int y = g / columns * cell_h + (cell_h - gh) / 2;
        sheet.Glyph(static_cast<char>(0x21 + g), x, y, scale, style.top, style.bottom, style.outline, outline);
    }
    return sheet;
}

} // namespace

void WriteSettings(const std::string& root, bool mini) {
    WriteText(root, "GameData/Initialize/LoadList/Init.ltd",
              {"// Start-up settings: the first and last stage, the records of a new save file",
               "#StartStage 1",
               "#FinalStage 3",
               mini ? "#JumpHiScoreDefault 10 20 30" : "#JumpHiScoreDefault 30 45 60",
               mini ? "#TimeHiScoreDefault 60 90 120" : "#TimeHiScoreDefault 120 150 180"});
}

void WriteLogo(const std::string& root) {
    Canvas card(640, 480);
    // Night sky over a calm sea.
    card.VerticalGradient(0, 0, 640, 300, Rgb{4, 8, 28}, Rgb{22, 40, 86});
    card.VerticalGradient(0, 300, 640, 180, Rgb{8, 46, 92}, Rgb{2, 14, 36});
    for (int r = 110; r > 34; r -= 8) card.FillEllipse(570, 80, r, r, Rgb{60, 80, 140}, 0.06);
    card.FillEllipse(570, 80, 34, 34, Rgb{236, 240, 210});
    for (int i = 0; i < 60; ++i) {
        const double x = std::fmod(i * 137.5, 640.0), y = std::fmod(i * 71.3, 260.0);
        card.FillEllipse(x, y, 1.1, 1.1, Rgb{220, 230, 255}, 0.4 + 0.5 * ((i * 7) % 5) / 4.0);
    }
    // Moonlight on the water and the waves' crests.
    for (int y = 300; y < 400; y += 6)
        card.FillEllipse(570, y + 3, 40.0 - (y - 300) * 0.2, 1.5, Rgb{200, 210, 190}, 0.5);
    for (int x = 0; x < 640; ++x) {
        const double crest = 300 + 3 * std::sin(x / 23.0) + 2 * std::sin(x / 9.0);
        for (int y = static_cast<int>(crest) - 1; y < static_cast<int>(crest) + 2; ++y)
            card.Blend(x, y, Rgb{150, 200, 230}, 0.6);
    }
    // The flying fish, wings spread, leaping over the surface.
    const Rgb wing{120, 200, 240}, back{40, 90, 170}, belly{200, 225, 245};
    card.FillTriangle(300, 215, 250, 150, 360, 200, wing, 0.85);
    card.FillTriangle(310, 225, 270, 280, 365, 235, wing, 0.6);
    card.FillTriangle(250, 225, 200, 195, 205, 255, back);
    card.FillEllipse(320, 225, 85, 30, back);
    card.FillEllipse(325, 235, 75, 17, belly);
    card.FillTriangle(360, 200, 330, 160, 395, 205, wing, 0.9);
    card.FillEllipse(378, 218, 7, 7, Rgb{250, 250, 255});
    card.FillEllipse(380, 218, 3.5, 3.5, Rgb{10, 10, 30});
    for (int i = 0; i < 7; ++i)
        card.FillEllipse(200 - i * 18.0, 262 + i * 6.0, 4.0 - i * 0.4, 4.0 - i * 0.4, Rgb{180, 220, 250}, 0.8);
    for (int i = 0; i < 14; ++i)
        card.Ring(60 + i * 43 % 560, 470 - (i * 29) % 150, 3 + i % 4, 1.2, Rgb{140, 200, 240}, 0.5);
    // The title and its line.
    const std::string title = "FLYINGFISH";
    const int title_x = (640 - Canvas::TextWidth(title, 6, 6)) / 2;
    card.Text(title, title_x, 322, 6, Rgb{255, 255, 255}, Rgb{120, 220, 255}, Rgb{10, 24, 70}, 3, 6);
    const std::string motto = "SWIM - EAT - LEAP - GLIDE";
    card.Text(motto, (640 - Canvas::TextWidth(motto, 2, 4)) / 2, 400, 2, Rgb{230, 240, 255}, Rgb{160, 200, 240},
              Rgb{10, 24, 70}, 1, 4);
    WriteBytes(root, "GameData/Logo/Image/LogoCredit.bmp", card.ToBmp());
}

void WriteFonts(const std::string& root) {
    const std::string dir = "GameData/Shared/Image/Font/";
    WriteBytes(root, dir + "Font0.bmp",
               PlainSheet(20, kPlainCellHeight, 16, 6, 3, 2, {Rgb{255, 255, 255}, Rgb{255, 236, 150}, Rgb{16, 24, 64}}).ToBmp());
    WriteBytes(root, dir + "Font2.bmp",
               PlainSheet(20, kPlainCellHeight, 16, 6, 3, 2, {Rgb{255, 255, 255}, Rgb{140, 210, 255}, Rgb{12, 30, 80}}).ToBmp());
    WriteBytes(root, dir + "Font3.bmp",
               PlainSheet(20, kPlainCellHeight, 16, 6, 3, 2, {Rgb{255, 240, 120}, Rgb{255, 70, 40}, Rgb{70, 8, 8}}).ToBmp());

    // The blurred font: one column of the digits, the point, the unit mark and a dash.
    const std::string cells = "0123456789.m-";
    Canvas column(28, 40 * static_cast<int>(cells.size()), kKey);
    for (size_t i = 0; i < cells.size(); ++i)
        column.Glyph(cells[i], 4, static_cast<int>(i) * 40 + 6, 4, Rgb{240, 255, 255}, Rgb{80, 220, 255},
                     Rgb{8, 40, 110}, 2);
    WriteBytes(root, dir + "Font1.bmp", column.ToBmp());

    WriteText(root, "GameData/Shared/LoadList/BitmapText.ltd",
              {"// Bitmap fonts: 0 timer and best leaps, 1 flight distance (blurred),",
               "// 2 score show and ranking, 3 timer at its alarm",
               "#LoadBitmapCount 4",
               "#FontType 0 1 0 0",
               "#Font0 " + Quoted(dir + "Font0.bmp"),
               "#TextSize 20 " + std::to_string(kPlainCellHeight),
               "#TextCount 16 6",
               "#Font2 " + Quoted(dir + "Font2.bmp"),
               "#TextSize 20 " + std::to_string(kPlainCellHeight),
               "#TextCount 16 6",
               "#Font3 " + Quoted(dir + "Font3.bmp"),
               "#TextSize 20 " + std::to_string(kPlainCellHeight),
               "#TextCount 16 6",
               "// The blurred font reads on to the end of the file: its section stands last.",
               "#Font1 " + Quoted(dir + "Font1.bmp"),
               "#TextSize 28 40",
               "#TextCount 1 13",
               "#BlurringRadius 2"});
}

} // namespace gamedata
