// polygon_plane_test.cpp -- polygon blits onto the display's memory planes through the surface
// slot that every plane inherits.
#include <gtest/gtest.h>

#include "sdk/draw/FastDraw.h"
#include "sdk/draw/FastPlane.h"
#include "tests/draw/draw_test_util.h"

namespace {

using namespace drawtest;

TEST(PolygonOnPlanes, TexturedTriangleAndPlaneWithoutPixels) {
    KTL::smart_ptr<CFastDraw> display = CFastDraw::Create();
    display->BeginChangeDisplay();
    ASSERT_EQ(display->TestDisplayMode(640, 480, true, 32), 0);
    ASSERT_EQ(display->EndChangeDisplay(), 0);
    CFastPlane plane(display.get());
    MemorySurface texture(kSurfaceXRGB8888, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) ARGBToPixel(0xFF000000u | uint32_t(x * 60) << 16 | uint32_t(y * 60), texture.At(x, y), kSurfaceXRGB8888);

    // Before the plane has pixels it cannot be locked.
    const POINT tri[3] = {{0, 0}, {3, 0}, {0, 3}};
    const PolygonInfo info{tri, tri, nullptr, 0, 3};
    EXPECT_EQ(plane.PolygonBlt(kPolyBltCopy, texture.GetSurfaceInfo(), &info, nullptr), 1);

    ASSERT_EQ(plane.CreateSurface(4, 4), 0);
    const int type = plane.GetSurfaceType();
    ASSERT_EQ(type, kSurfaceXRGB8888);
    ASSERT_EQ(plane.PolygonBlt(kPolyBltCopy, texture.GetSurfaceInfo(), &info, nullptr), 0);
    const Colour black{0, 0, 0, 255};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const Colour want = x + y <= 3 ? texture.Read(x, y) : black;
            EXPECT_EQ(RefRead(type, plane.GetSurfaceInfo()->PixelAt(x, y)), want) << x << "," << y;
        }
}

} // namespace
