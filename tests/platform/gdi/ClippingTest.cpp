// Clipping never changes which pixels an operation lights: drawing onto a small surface gives
// the same pixels as the matching window of a large surface, for lines in every direction and
// for stretched copies.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using namespace sorrel::gdi;

namespace {

constexpr int big = 200;
constexpr int window_x = 70;
constexpr int window_y = 60;
constexpr int window_w = 37;
constexpr int window_h = 29;

// Runs `draw` on a big surface and on a small one whose origin is moved so that it sees the
// window (window_x, window_y) of the big one; returns whether the windows agree.
template<class Draw>::testing::AssertionResult same_in_window(Draw draw)
{
    Surface whole(big, big, 0xFFFFFF);
    Surface part(window_w, window_h, 0xFFFFFF);
    HDC whole_dc = CreateSurfaceDC(whole);
    HDC part_dc = CreateSurfaceDC(part);
    SetViewportOrgEx(part_dc, -window_x, -window_y, nullptr);
    draw(whole_dc);
    draw(part_dc);
    DeleteDC(whole_dc);
    DeleteDC(part_dc);
    for (int y = 0; y < window_h; ++y)
        for (int x = 0; x < window_w; ++x)
            if (part.pixel(x, y) != whole.pixel(window_x + x, window_y + y))
                return ::testing::AssertionFailure() << "differs at window pixel (" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(Clipping, LinesLightTheSamePixelsWhereverTheyAreCut)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> coordinate(0, big - 1);
    for (int i = 0; i < 300; ++i) {
        int x0 = coordinate(random), y0 = coordinate(random), x1 = coordinate(random),
            y1 = coordinate(random);
        EXPECT_TRUE(same_in_window([&](HDC dc) {
            MoveToEx(dc, x0, y0, nullptr);
            LineTo(dc, x1, y1);
        })) << "line ("
            << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")";
    }
}

TEST(Clipping, StraightLinesLightTheSamePixelsWithAndWithoutAClipRegion)
{
    // Without a clip region, horizontal and vertical lines take a shorter way; a clip region
    // covering the whole surface sends them the long way, which must agree.
    constexpr int side = 20;
    const int far = INT32_MAX;
    const int ends[] = {-far - 1, -30, -1, 0, 1, 7, 19, 20, 21, 40, far};
    const int across[] = {-1, 0, 9, 19, 20};
    HRGN everything = CreateRectRgn(0, 0, side, side);
    for (int a : ends) {
        for (int b : ends) {
            for (int c : across) {
                for (bool vertical : {false, true}) {
                    Surface plain(side, side, 0xFFFFFF);
                    Surface clipped(side, side, 0xFFFFFF);
                    HDC plain_dc = CreateSurfaceDC(plain);
                    HDC clipped_dc = CreateSurfaceDC(clipped);
                    SelectClipRgn(clipped_dc, everything);
                    for (HDC dc : {plain_dc, clipped_dc}) {
                        SetViewportOrgEx(dc, 0, 1, nullptr);
                        MoveToEx(dc, vertical ? c : a, vertical ? a : c, nullptr);
                        LineTo(dc, vertical ? c : b, vertical ? b : c);
                    }
                    DeleteDC(plain_dc);
                    DeleteDC(clipped_dc);
                    EXPECT_EQ(plain, clipped) << (vertical ? "vertical" : "horizontal") << " line from " << a
                                              << " to " << b << " at " << c;
                }
            }
        }
    }
    DeleteObject(everything);
}

TEST(Clipping, StretchedCopiesPickTheSameSourcePixelsWhereverTheyAreCut)
{
    // A source with a distinct colour per pixel, so any wrong pick shows.
    Surface source(23, 17, 0);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.set_pixel(x, y, rgb(uint8_t(x * 11), uint8_t(y * 15), 0x80));
    HDC source_dc = CreateSurfaceDC(source);
    std::mt19937 random(777);
    std::uniform_int_distribution<int> position(0, 120);
    std::uniform_int_distribution<int> size(1, 150);
    for (int i = 0; i < 200; ++i) {
        int dx = position(random), dy = position(random), dw = size(random), dh = size(random);
        int sw = 1 + int(random() % 23), sh = 1 + int(random() % 17);
        int sx = int(random() % (24 - sw)), sy = int(random() % (18 - sh));
        EXPECT_TRUE(same_in_window([&](HDC dc) {
            StretchBlt(dc, dx, dy, dw, dh, source_dc, sx, sy, sw, sh, SRCCOPY);
        })) << "stretch to "
            << dx << "," << dy << " " << dw << "x" << dh << " from " << sx << "," << sy << " " << sw << "x"
            << sh;
    }
    DeleteDC(source_dc);
}
