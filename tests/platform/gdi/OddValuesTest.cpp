// Odd arguments: empty and inverted rectangles, far-away coordinates, empty surfaces. Each is
// refused or clipped, never a crash, an overflow or a long loop.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <gtest/gtest.h>

#include <climits>

using namespace sorrel::gdi;

namespace {

class OddValues : public ::testing::Test {
protected:
    void SetUp() override { dc = CreateSurfaceDC(surface); }
    void TearDown() override { DeleteDC(dc); }

    int count(Color c) const
    {
        int n = 0;
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                n += surface.pixel(x, y) == c;
        return n;
    }

    Surface surface {20, 10, 0xFFFFFF};
    HDC dc {};
};

} // namespace

TEST_F(OddValues, LinesToFarAwayPointsAreClippedNotWalked)
{
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, INT_MAX, 5); // about 2^31 pixels long, shallow: row 0 only
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(surface.pixel(x, 0), 0u) << x;
    EXPECT_EQ(count(0), 20);

    surface.fill(0xFFFFFF);
    MoveToEx(dc, INT_MIN, INT_MIN, nullptr);
    LineTo(dc, INT_MAX, INT_MAX); // through the origin at 45 degrees
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(surface.pixel(i, i), 0u) << i;
    EXPECT_EQ(count(0), 10);

    surface.fill(0xFFFFFF);
    MoveToEx(dc, 5, INT_MAX - 1, nullptr);
    LineTo(dc, 5, INT_MIN); // vertical, both ends far away
    EXPECT_EQ(count(0), 10);
    POINT far[3] = {{INT_MIN, INT_MIN}, {INT_MAX, 3}, {3, INT_MAX}};
    EXPECT_TRUE(Polygon(dc, far, 3));
}

TEST_F(OddValues, RectanglesEmptyInvertedAndHuge)
{
    HBRUSH red = CreateSolidBrush(0x0000FF);
    RECT empty {5, 5, 5, 9};
    FillRect(dc, &empty, red);
    FrameRect(dc, &empty, red);
    EXPECT_EQ(count(0x0000FF), 0);

    RECT inverted {9, 4, 3, 2}; // columns 4..9, rows 3..4
    FillRect(dc, &inverted, red);
    EXPECT_EQ(count(0x0000FF), 12);
    EXPECT_EQ(surface.pixel(4, 3), 0x0000FFu);
    EXPECT_EQ(surface.pixel(9, 4), 0x0000FFu);
    surface.fill(0xFFFFFF);
    EXPECT_EQ(FrameRect(dc, &inverted, red), 0);
    EXPECT_EQ(count(0x0000FF), 0);

    RECT everything {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    FillRect(dc, &everything, red);
    EXPECT_EQ(count(0x0000FF), 200);
    FrameRect(dc, &everything, HBRUSH(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(count(0x0000FF), 200); // the frame lies far outside
    DrawFocusRect(dc, &everything);
    RECT backwards {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    DrawFocusRect(dc, &backwards);
    PatBlt(dc, INT_MAX, INT_MAX, INT_MIN, INT_MIN, PATCOPY);

    RECT r {INT_MAX - 1, 0, INT_MAX, 1};
    InflateRect(&r, INT_MAX, 5);
    EXPECT_EQ(r.right, INT_MAX);
    EXPECT_EQ(r.left, -1);
    OffsetRect(&r, INT_MIN, 0);
    EXPECT_EQ(r.left, INT_MIN);
    DeleteObject(red);
}

TEST_F(OddValues, GradientsBlitsAndRegionsWithExtremeGeometry)
{
    TRIVERTEX v[2] = {{INT_MIN, INT_MIN, 0, 0, 0, 0}, {INT_MAX, INT_MAX, 0xFF00, 0xFF00, 0xFF00, 0}};
    GRADIENT_RECT mesh {0, 1};
    EXPECT_TRUE(GradientFill(dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_H));
    GRADIENT_RECT bad {0, 7};
    EXPECT_FALSE(GradientFill(dc, v, 2, &bad, 1, GRADIENT_FILL_RECT_V));

    Surface source(3, 3, 0x00FF00);
    HDC src = CreateSurfaceDC(source);
    EXPECT_TRUE(StretchBlt(dc, 0, 0, INT_MAX, INT_MAX, src, 0, 0, 3, 3, SRCCOPY));
    EXPECT_EQ(count(0x00FF00), 200);
    EXPECT_TRUE(
        StretchBlt(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX, src, INT_MAX, INT_MIN, -7, INT_MAX, SRCCOPY));
    EXPECT_TRUE(StretchBlt(dc, 19, 9, -20, -10, src, 2, 2, -3, -3, SRCCOPY)); // mirrored both ways
    EXPECT_TRUE(BitBlt(dc, -5, -5, INT_MAX, INT_MAX, src, INT_MIN, INT_MIN, SRCCOPY));
    DeleteDC(src);

    POINT far[4] = {{INT_MIN, 0}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {0, INT_MAX}};
    HRGN region = CreatePolygonRgn(far, 4, WINDING);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, 1000, 1000));
    OffsetRgn(region, INT_MAX, INT_MAX); // stops at the coordinate range or is refused, never wraps
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_LE(box.left, box.right);
    EXPECT_TRUE(FillRgn(dc, region, HBRUSH(GetStockObject(BLACK_BRUSH))));
    DeleteObject(region);

    SetViewportOrgEx(dc, INT_MAX, INT_MIN, nullptr);
    LineTo(dc, INT_MAX, INT_MIN);
    SetPixelV(dc, INT_MAX, 0, 0);
    EXPECT_EQ(GetPixel(dc, INT_MAX, INT_MAX), CLR_INVALID);
}

TEST(OddSurfaces, AnEmptySurfaceAcceptsEveryOperationAndShowsNothing)
{
    Surface empty(0, 0);
    Surface negative(-5, 7);
    EXPECT_TRUE(negative.is_empty());
    HDC dc = CreateSurfaceDC(empty);
    RECT r {0, 0, 10, 10};
    MoveToEx(dc, 0, 0, nullptr);
    EXPECT_TRUE(LineTo(dc, 10, 3));
    EXPECT_TRUE(SetPixelV(dc, 0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    FillRect(dc, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
    DrawFocusRect(dc, &r);
    TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {10, 10, 0, 0, 0, 0}};
    GRADIENT_RECT mesh {0, 1};
    GradientFill(dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_H);
    HDC other = CreateSurfaceDC(negative);
    BitBlt(dc, 0, 0, 5, 5, other, 0, 0, SRCCOPY);
    StretchBlt(other, 0, 0, 5, 5, dc, 0, 0, 2, 2, SRCCOPY);
    DeleteDC(other);
    DeleteDC(dc);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 1 << 20, 1 << 20), nullptr);
    EXPECT_EQ(CreateBitmapFromSurface(empty), nullptr);
}

TEST(Gradients, EveryPixelFollowsTheTruncatingInterpolation)
{
    // The fill steps through a row without dividing; it must agree with the direct formula
    // c = (c0 (len - pos) + c1 pos) / len / 256 at every pixel, for short and very long runs,
    // rising and falling channels, and gradients that start far left of the surface.
    struct Trial {
        int x0, x1;
        COLOR16 r0, r1, g0, g1, b0, b1;
    };
    const Trial trials[] = {
        {0, 7, 0xFF00, 0x0000, 0x1200, 0x1300, 0xFFFF, 0xFFFE},
        {0, 225, 0xFF00, 0x1000, 0x8000, 0x4000, 0x2000, 0xFF00},
        {-65000, 536, 0x0000, 0xFFFF, 0xFFFF, 0x0000, 0x8000, 0x8001},
        {-30000, 33, 0x1234, 0xFEDC, 0x0100, 0x0000, 0xFF00, 0xFF00},
    };
    for (const Trial& t : trials) {
        Surface surface(500, 1, 0);
        HDC dc = CreateSurfaceDC(surface);
        TRIVERTEX v[2] = {{t.x0, 0, t.r0, t.g0, t.b0, 0}, {t.x1, 1, t.r1, t.g1, t.b1, 0}};
        GRADIENT_RECT mesh {0, 1};
        ASSERT_TRUE(GradientFill(dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_H));
        DeleteDC(dc);
        uint32_t len = uint32_t(t.x1 - t.x0);
        auto channel = [len](uint32_t c0, uint32_t c1, uint32_t pos) {
            return uint8_t((c0 * (len - pos) + c1 * pos) / len / 256);
        };
        for (int x = 0; x < std::min(500, t.x1); ++x) {
            uint32_t pos = uint32_t(x - t.x0);
            Color want = rgb(channel(t.r0, t.r1, pos), channel(t.g0, t.g1, pos), channel(t.b0, t.b1, pos));
            ASSERT_EQ(surface.pixel(x, 0), want) << "x " << x << " of gradient from " << t.x0;
        }
    }
}
