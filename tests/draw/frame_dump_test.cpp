// frame_dump_test.cpp -- end to end: the example program, run headless, composes a faded picture
// and a colour-keyed sprite on the back plane and presents it; the dumped frames are checked
// pixel by pixel at 32 bits and at 16 bits (FLYINGFISH_DEPTHS=16, an RGB565 back plane).
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/draw/draw_test_util.h"
#include "tests/instance_name.h"
#include "tools/frame_demo/demo_draw.h"

namespace {

using namespace drawtest;
using namespace demo_draw;

const std::string kDemo = std::string(FF_BINARY_DIR) + "/tools/frame_demo";
constexpr int kFrames = 4;   // presented frames 0..2 are dumped, each checked

// The program runs under this test's own single-instance name. Leak checks of a sanitizer
// build are off in the child: this test reads its pictures, not its exit.
bool RunDemo(const std::string& env, const std::string& dump_dir, std::string& output) {
    const std::string out_file = dump_dir + ".out";
    std::filesystem::remove_all(dump_dir);
    const std::string command = "cd '" + std::string(FF_BINARY_DIR) + "' && env ASAN_OPTIONS=detect_leaks=0 " +
                                testutil::TestInstanceEnv() +
                                " FLYINGFISH_VIDEO=headless FLYINGFISH_CLOCK=virtual FLYINGFISH_MAX_FRAMES=" +
                                std::to_string(kFrames) + " FLYINGFISH_DUMP='" + dump_dir + "' " + env + " '" + kDemo +
                                "' >'" + out_file + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::vector<uint8_t> bytes = ReadBytes(out_file);
    output.assign(bytes.begin(), bytes.end());
    return status == 0 && output.find("frame_demo: frames") != std::string::npos;
}

// What the display of a type shows for a colour: stored in the type, read back by the copy to
// the 32-bit frame.
Colour Shown(int type, uint32_t rgb) {
    return StoredAs(type, FromARGB(rgb | 0xFF000000u));
}

// The picture's pixel after the fade in the display's type: each channel widened, scaled by
// level / 255 and truncated to its width again.
Colour Faded(int type, uint32_t rgb) {
    const Colour c = Shown(type, rgb);
    const Bits bits = BitsOf(type);
    auto fade = [](int v, int n) { return (v * kFadeLevel / 255) & (0xFF << (8 - n)) & 0xFF; };
    return {fade(c.r, bits.r), fade(c.g, bits.g), fade(c.b, bits.b), 255};
}

void CheckDumps(const std::string& env, int display_type) {
    const Scratch scratch("dump" + std::to_string(display_type));
    const std::string& dir = scratch.path;
    std::string output;
    ASSERT_TRUE(std::filesystem::exists(kDemo)) << kDemo;
    ASSERT_TRUE(RunDemo(env, dir, output)) << output;
    for (int frame = 0; frame < kFrames - 1; ++frame) {
        SCOPED_TRACE("dumped frame " + std::to_string(frame));
        char name[32];
        std::snprintf(name, sizeof name, "/frame%05d.bmp", frame);
        const std::vector<uint8_t> file = ReadBytes(dir + name);
        CBmpImage image;
        std::string reason;
        ASSERT_EQ(DecodeBmp(file.data(), file.size(), image, reason), 0) << reason << " " << output;
        ASSERT_EQ(image.width, 640);
        ASSERT_EQ(image.height, 480);
        auto at = [&](int x, int y) {
            const uint8_t* p = image.Row(y) + 4 * x;
            return Colour{p[2], p[1], p[0], 255};
        };
        // The demo's own background around the picture, through the display's type.
        EXPECT_EQ(at(kPictureX - 1, kPictureY + 5), Shown(display_type, 0x102040));
        EXPECT_EQ(at(kPictureX + kPictureWidth, kPictureY + 5), Shown(display_type, 0x102040));
        // Inside: the sprite's disc of this frame's colour, the faded picture wherever the
        // sprite's key colour left it visible.
        const int sprite_frame = frame % 2;
        int disc_pixels = 0;
        for (int y = 0; y < kPictureHeight; ++y)
            for (int x = 0; x < kPictureWidth; ++x) {
                const int sx = kPictureX + x - kSpriteX, sy = kPictureY + y - kSpriteY;
                const bool on_sprite = sx >= 0 && sy >= 0 && sx < kFrameSize && sy < kFrameSize &&
                                       SpriteColour(sprite_frame, sx, sy) != kKeyColour;
                const Colour want = on_sprite ? Shown(display_type, kFrameColour[sprite_frame])
                                              : Faded(display_type, PictureColour(x, y));
                disc_pixels += on_sprite;
                ASSERT_EQ(at(kPictureX + x, kPictureY + y), want) << "at picture pixel " << x << "," << y;
            }
        EXPECT_GT(disc_pixels, 1000);
    }
}

TEST(FrameDump, FadedPictureAndKeyedSpriteAt32Bits) {
    CheckDumps("", kSurfaceXRGB8888);
}

TEST(FrameDump, FadedPictureAndKeyedSpriteAt16Bits) {
    CheckDumps("FLYINGFISH_DEPTHS=16", kSurfaceRGB565);
}

} // namespace
