// demoplay.cpp -- the "DEMO PLAY" sign that fades in over a replayed run (DemoPlay.ltd).
#include <string>

#include "canvas.h"
#include "content.h"

namespace gamedata {

void WriteDemoPlay(const std::string& root) {
    const std::string picture = "GameData/Shared/Image/DemoPlay.bmp";
    Canvas c(272, 56, Rgb{0, 0, 0});
    // A dark pill behind the words, so they read on the bright sky as on the deep sea.
    for (int j = 6; j < 50; ++j)
        for (int i = 4; i < 268; ++i) {
            const double dx = i < 26 ? 26 - i : i > 246 ? i - 246 : 0;
            const double dy = j < 28 ? 28 - j : j - 28;
            if (dx * dx + (dx > 0 ? dy * dy : 0) <= 22 * 22) c.Set(i, j, Rgb{16, 28, 64});
        }
    const std::string text = "DEMO PLAY";
    c.Text(text, 136 - Canvas::TextWidth(text, 4, 4) / 2, 14, 4, Rgb{255, 255, 255}, Rgb{255, 210, 90},
           Rgb{90, 40, 0}, 2, 4);
    WriteBytes(root, picture, c.ToBmp());
    WriteText(root, "GameData/Shared/LoadList/DemoPlay.ltd",
              {"// The sign shown over a replayed run: its top-left corner and its picture",
               "#DemoPlayLogoPos 184 380", "#DemoPlayLogoImageFile " + Quoted(picture)});
}

} // namespace gamedata
