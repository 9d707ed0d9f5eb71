// plane_test.cpp -- memory planes in the display's type (loading, colour key by position,
// clearing, failed loads) and the per-thread display with its modes and back plane.
#include <gtest/gtest.h>

#include <thread>

#include "sdk/draw/FastDraw.h"
#include "sdk/draw/FastPlane.h"
#include "tests/draw/draw_test_util.h"

namespace {

using namespace drawtest;

// A display of this thread in the given depth (made fresh for each test).
KTL::smart_ptr<CFastDraw> DisplayOf(int bits_per_pixel) {
    KTL::smart_ptr<CFastDraw> display = CFastDraw::Create();
    display->BeginChangeDisplay();
    EXPECT_EQ(display->TestDisplayMode(640, 480, true, bits_per_pixel), 0);
    EXPECT_EQ(display->EndChangeDisplay(), 0);
    return display;
}

class PlaneTest : public ::testing::Test {
protected:
    // A picture saved from a surface of the given type: pixel (x, y) of colour Pick(x, y).
    std::string Picture(const char* name, bool alpha, int width = 5, int height = 3) {
        MemorySurface source(kSurfaceARGB8888, width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) ARGBToPixel(Pick(x, y), source.At(x, y), kSurfaceARGB8888);
        const std::string path = dir_ + "/" + name;
        EXPECT_EQ(alpha ? source.Save2(path) : source.Save(path), 0);
        return path;
    }
    static uint32_t Pick(int x, int y) { return 0x40000000u * (x % 4) + 0x00302010u * (y + 1) + 0x000F0907u * x; }

    const Scratch scratch_{"plane"};
    const std::string dir_ = scratch_.path;
};

TEST_F(PlaneTest, LoadTakesTheDisplayTypeOrItsAlphaTwin) {
    struct Case {
        int depth, plain_type, alpha_type;
    };
    for (Case c : {Case{32, kSurfaceXRGB8888, kSurfaceARGB8888}, Case{24, kSurfaceRGB888, kSurfaceARGB8888},
                   Case{16, kSurfaceRGB565, kSurfaceARGB4565}}) {
        SCOPED_TRACE("depth " + std::to_string(c.depth));
        KTL::smart_ptr<CFastDraw> display = DisplayOf(c.depth);
        for (bool alpha : {false, true}) {
            CFastPlane plane(display.get());
            ASSERT_EQ(plane.Load(Picture(alpha ? "a.bmp" : "p.bmp", alpha)), 0);
            const int type = alpha ? c.alpha_type : c.plain_type;
            ASSERT_EQ(plane.GetSurfaceType(), type);
            int w = 0, h = 0;
            EXPECT_EQ(plane.GetSize(w, h), 0);
            EXPECT_EQ(w, 5);
            EXPECT_EQ(h, 3);
            CSurfaceLockGuard lock(*plane.GetSurfaceInfo());
            ASSERT_FALSE(lock.Failed());
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x) {
                    Colour want = FromARGB(Pick(x, y));
                    if (!alpha) want.a = 255;
                    ASSERT_EQ(RefRead(type, plane.GetSurfaceInfo()->PixelAt(x, y)), StoredAs(type, want));
                }
        }
        // Planes made without an owner follow the calling thread's display.
        CFastPlane orphan;
        ASSERT_EQ(orphan.CreateSurface(2, 2), 0);
        EXPECT_EQ(orphan.GetSurfaceType(), c.plain_type);
        ASSERT_EQ(orphan.CreateSurface(2, 2, true), 0);
        EXPECT_EQ(orphan.GetSurfaceType(), c.alpha_type);
    }
}

TEST_F(PlaneTest, ColourKeyComesFromTheTopLeftPixel) {
    KTL::smart_ptr<CFastDraw> display = DisplayOf(16);
    CFastPlane plane(display.get());
    ASSERT_EQ(plane.Load(Picture("k.bmp", false)), 0);
    // The key, converted back to the plane's type, is the pixel at (0, 0) exactly.
    const uint32_t key = plane.GetColorKey();
    EXPECT_EQ(ConvertColorKey(kSurfaceRGB565, key),
              static_cast<uint32_t>(plane.GetSurfaceInfo()->GetPtr()[0] | plane.GetSurfaceInfo()->GetPtr()[1] << 8));
    EXPECT_EQ(plane.SetColorKeyPos(4, 2), 0);
    EXPECT_EQ(FromARGB(plane.GetColorKey() | 0xFF000000u), StoredAs(kSurfaceRGB565, FromARGB(Pick(4, 2) | 0xFF000000u)));
    EXPECT_EQ(plane.SetColorKeyPos(5, 0), 1);   // outside: key unchanged
    EXPECT_EQ(plane.SetColorKeyPos(-1, 0), 1);
    EXPECT_EQ(FromARGB(plane.GetColorKey() | 0xFF000000u), StoredAs(kSurfaceRGB565, FromARGB(Pick(4, 2) | 0xFF000000u)));
    plane.SetColorKeyRGB(1, 2, 3);
    EXPECT_EQ(plane.GetColorKey(), 0x010203u);
    // CreateSurface clears to 0, so its key is black.
    plane.SetColorKey(0x123456);
    ASSERT_EQ(plane.CreateSurface(3, 3), 0);
    EXPECT_EQ(plane.GetColorKey() & 0xFFFFFF, 0u);
}

TEST_F(PlaneTest, FailedLoadsLeaveThePlaneAsItWas) {
    KTL::smart_ptr<CFastDraw> display = DisplayOf(32);
    CFastPlane plane(display.get());
    ASSERT_EQ(plane.CreateSurface(4, 4), 0);
    plane.SetFillColor(0xFF123456);
    plane.Clear(nullptr);
    plane.SetColorKey(0x00ABCDEF);
    const uint8_t* pixels = plane.GetSurfaceInfo()->GetPtr();
    const std::vector<uint8_t> before(pixels, pixels + 16 * 4);

    std::vector<uint8_t> broken = ReadBytes(Picture("whole.bmp", false, 8, 8));
    broken.resize(broken.size() / 2);
    WriteBytes(dir_ + "/broken.bmp", broken);
    WriteBytes(dir_ + "/empty.bmp", {});
    WriteBytes(dir_ + "/text.bmp", {'h', 'e', 'l', 'l', 'o'});

    EXPECT_EQ(plane.Load(dir_ + "/missing.bmp"), 1);
    EXPECT_EQ(plane.Load(dir_ + "/broken.bmp"), 2);
    EXPECT_EQ(plane.Load(dir_ + "/empty.bmp"), 2);
    EXPECT_EQ(plane.Load(dir_ + "/text.bmp"), 2);
    int w = 0, h = 0;
    plane.GetSize(w, h);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 4);
    EXPECT_EQ(plane.GetSurfaceType(), kSurfaceXRGB8888);
    EXPECT_EQ(plane.GetColorKey(), 0x00ABCDEFu);
    EXPECT_EQ(plane.GetSurfaceInfo()->GetPtr(), pixels);
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 16 * 4), before);

    // Impossible sizes fail the same way.
    EXPECT_EQ(plane.CreateSurface(0, 5), 1);
    EXPECT_EQ(plane.CreateSurface(5, -1), 1);
    EXPECT_EQ(plane.CreateSurface(100000, 100000), 1);
    plane.GetSize(w, h);
    EXPECT_EQ(w, 4);
}

TEST_F(PlaneTest, ClearFillsOnlyTheClippedRectangle) {
    KTL::smart_ptr<CFastDraw> display = DisplayOf(24);
    CFastPlane plane(display.get());
    ASSERT_EQ(plane.CreateSurface(7, 5), 0);
    plane.SetFillColor(0xFF102030);
    EXPECT_EQ(plane.GetFillColor(), 0xFF102030u);
    const RECT rect{5, -3, 20, 2};
    ASSERT_EQ(plane.Clear(&rect), 0);
    CSurfaceInfo* info = plane.GetSurfaceInfo();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const Colour want = (x >= 5 && y < 2) ? Colour{0x10, 0x20, 0x30, 255} : Colour{0, 0, 0, 255};
            ASSERT_EQ(RefRead(kSurfaceRGB888, info->PixelAt(x, y)), want) << x << "," << y;
        }
}

TEST_F(PlaneTest, PlanesWithoutPixels) {
    CFastPlane plane;
    int w = 7, h = 7;
    EXPECT_EQ(plane.GetSize(w, h), 1);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(plane.Clear(nullptr), 1);
    EXPECT_EQ(plane.SetColorKeyPos(0, 0), 1);
    EXPECT_EQ(plane.Save(dir_ + "/none.bmp"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/none.bmp"));
    MemorySurface source(kSurfaceXRGB8888, 2, 2);
    EXPECT_EQ(plane.GeneralBlt(kBltCopy, source.GetSurfaceInfo(), nullptr, nullptr), 1);   // cannot lock
    EXPECT_EQ(plane.GeneralBlt(kBltCopy, nullptr, nullptr, nullptr), 1);
    ASSERT_EQ(plane.CreateSurface(2, 2), 0);
    plane.Release();
    EXPECT_EQ(plane.GetSize(w, h), 1);
}

// --- the display ---------------------------------------------------------------------------

TEST(FastDrawTest, ModesAreSetOnlyInsideAChangeAndOnlyOnce) {
    KTL::smart_ptr<CFastDraw> display = CFastDraw::Create();
    EXPECT_EQ(display->GetSurfaceType(), kSurfaceXRGB8888);
    EXPECT_EQ(display->TestDisplayMode(640, 480, true, 16), 1);   // no change open
    EXPECT_FALSE(display->GetBackPlane()->GetSurfaceInfo()->IsValid());

    display->BeginChangeDisplay();
    EXPECT_EQ(display->TestDisplayMode(640, 480, true, 8), 2);    // not a depth of ours
    EXPECT_EQ(display->TestDisplayMode(640, 480, true, 16), 0);
    EXPECT_EQ(display->TestDisplayMode(640, 480, true, 32), 1);   // the first that worked stays
    EXPECT_EQ(display->EndChangeDisplay(), 0);
    EXPECT_EQ(display->GetSurfaceType(), kSurfaceRGB565);
    EXPECT_EQ(display->GetBitsPerPixel(), 16);
    int w = 0, h = 0;
    display->GetBackPlane()->GetSize(w, h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(display->GetBackPlane()->GetSurfaceType(), kSurfaceRGB565);

    // A change where nothing works keeps what was in force.
    display->BeginChangeDisplay();
    EXPECT_EQ(display->TestDisplayMode(0, 480, true, 32), 3);
    EXPECT_EQ(display->EndChangeDisplay(), 1);
    EXPECT_EQ(display->GetSurfaceType(), kSurfaceRGB565);
    EXPECT_TRUE(display->GetBackPlane()->GetSurfaceInfo()->IsValid());

    display->BeginChangeDisplay();
    EXPECT_EQ(display->TestDisplayMode(320, 240, false, 24), 0);
    EXPECT_EQ(display->EndChangeDisplay(), 0);
    EXPECT_EQ(display->GetBackPlane()->GetSurfaceType(), kSurfaceRGB888);
}

TEST(FastDrawTest, OneDisplayPerThread) {
    KTL::smart_ptr<CFastDraw> mine = CFastDraw::Create();
    EXPECT_EQ(CFastDraw::GetCurrent(), mine.get());
    CFastDraw* seen_there = mine.get();
    KTL::smart_ptr<CFastDraw> theirs;
    std::thread other([&] {
        seen_there = CFastDraw::GetCurrent();
        theirs = CFastDraw::Create();
    });
    other.join();
    EXPECT_EQ(seen_there, nullptr);
    EXPECT_EQ(CFastDraw::GetCurrent(), mine.get());
    theirs = nullptr;   // destroyed on another thread than its own: its entry goes
    mine = nullptr;
    EXPECT_EQ(CFastDraw::GetCurrent(), nullptr);
}

TEST(FastDrawTest, PresentingNeedsABackPlaneAndAWindow) {
    KTL::smart_ptr<CFastDraw> display = CFastDraw::Create();
    EXPECT_EQ(display->OnDraw(nullptr, true), 1);    // no mode yet, so no back plane
    display->BeginChangeDisplay();
    display->TestDisplayMode(64, 48, false, 16);
    display->EndChangeDisplay();
    EXPECT_EQ(display->OnDraw(nullptr, true), -1);   // this thread has no window
}

} // namespace
