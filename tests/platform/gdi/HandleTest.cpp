// Handle validation and object lifetimes: nothing leaks, and a bad handle is refused.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/ObjectTable.h"
#include "platform/gdi/Surface.h"

#include <gtest/gtest.h>

#include <vector>

using namespace sorrel::gdi;

TEST(GdiHandles, ASequenceOfEveryOperationLeavesNoObjectBehind)
{
    size_t start = live_object_count();
    {
        Surface surface(40, 30, 0xFFFFFF);
        HDC dc = CreateSurfaceDC(surface);
        ASSERT_NE(dc, nullptr);

        // A shaded face: a fresh pen per line, the old one deleted.
        for (int y = 0; y < 30; ++y) {
            HGDIOBJ old = SelectObject(dc, CreatePen(PS_SOLID, 1, RGB(y * 8, 0, 0)));
            if (old != GetStockObject(BLACK_PEN))
                DeleteObject(old);
            MoveToEx(dc, 0, y, nullptr);
            LineTo(dc, 40, y);
        }
        POINT quad[4] = {{0, 0}, {30, 0}, {39, 29}, {9, 29}};
        Polygon(dc, quad, 4);

        HBRUSH brush = CreateSolidBrush(0x00FF00);
        RECT r {2, 2, 20, 10};
        FillRect(dc, &r, brush);
        FrameRect(dc, &r, brush);
        DrawFocusRect(dc, &r);

        HRGN outline = CreateRectRgn(0, 0, 40, 30);
        HRGN corner = CreateRectRgn(0, 0, 1, 1);
        CombineRgn(outline, outline, corner, RGN_DIFF);
        HRGN slant = CreatePolygonRgn(quad, 4, WINDING);
        FillRgn(dc, slant, brush);
        SelectClipRgn(dc, outline);
        FillRect(dc, &r, brush);
        SelectClipRgn(dc, nullptr);
        for (HRGN region : {outline, corner, slant})
            DeleteObject(region);
        DeleteObject(brush);

        TRIVERTEX v[2] = {{0, 0, 0xFF00, 0, 0, 0}, {40, 30, 0, 0, 0xFF00, 0}};
        GRADIENT_RECT mesh {0, 1};
        GradientFill(dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_V);

        Surface pixels(8, 8, 0xFF000000);
        HBITMAP bitmap = CreateBitmapFromSurface(pixels);
        HICON icon = CreateIconFromSurface(pixels);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
        BitBlt(dc, 0, 0, 8, 8, memory, 0, 0, SRCCOPY);
        StretchBlt(memory, 0, 0, 8, 8, dc, 0, 0, 16, 16, SRCCOPY);
        SelectObject(memory, old_bitmap);
        DeleteDC(memory);
        DrawStateA(dc, nullptr, nullptr, LPARAM(bitmap), 0, 1, 1, 16, 16, DST_BITMAP | DSS_DISABLED);
        DrawStateA(dc, nullptr, nullptr, LPARAM(icon), 0, 1, 1, 0, 0, DST_ICON | DSS_DISABLED);
        DeleteObject(bitmap);
        DestroyIcon(icon);

        // The pen still selected is deleted while selected: it goes when the DC goes.
        DeleteObject(GetCurrentObject(dc, OBJ_PEN));
        DeleteDC(dc);
    }
    EXPECT_EQ(live_object_count(), start);
}

TEST(GdiHandles, DeletingASelectedObjectWaitsForTheDeviceContext)
{
    Surface surface(4, 1, 0xFFFFFF);
    HDC dc = CreateSurfaceDC(surface);
    size_t before = live_object_count();
    HPEN red = CreatePen(PS_SOLID, 1, 0x0000FF);
    SelectObject(dc, red);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_EQ(live_object_count(), before + 1);
    LineTo(dc, 4, 0); // still draws with it
    EXPECT_EQ(GetPixel(dc, 0, 0), 0x0000FFu);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    EXPECT_EQ(live_object_count(), before);
    EXPECT_EQ(SelectObject(dc, red), nullptr);
    DeleteDC(dc);
}

TEST(GdiHandles, NullDeletedStaleAndWrongKindHandlesAreRefused)
{
    Surface surface(4, 4, 0xFFFFFF);
    HDC dc = CreateSurfaceDC(surface);
    RECT r {0, 0, 4, 4};

    // Null.
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteDC(nullptr));
    EXPECT_EQ(FillRect(dc, &r, nullptr), 0);
    EXPECT_EQ(FillRect(nullptr, &r, HBRUSH(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_FALSE(LineTo(nullptr, 1, 1));
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
    EXPECT_EQ(CombineRgn(nullptr, nullptr, nullptr, RGN_OR), ERROR);
    EXPECT_EQ(SetTextColor(nullptr, 0), CLR_INVALID);

    // Deleted.
    HBRUSH brush = CreateSolidBrush(0x123456);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(FillRect(dc, &r, brush), 0);
    EXPECT_EQ(SelectObject(dc, brush), nullptr);

    // Stale: the slot is reused by a new object, the old handle stays dead.
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    DeleteObject(pen);
    std::vector<HPEN> pens;
    for (int i = 0; i < 200; ++i)
        pens.push_back(CreatePen(PS_SOLID, 1, 0));
    EXPECT_EQ(SelectObject(dc, pen), nullptr);
    EXPECT_EQ(GetObjectType(pen), 0u);
    for (HPEN p : pens)
        DeleteObject(p);

    // Made-up values.
    EXPECT_EQ(SelectObject(dc, handle_from_value<HGDIOBJ>(0xDEADBEEF)), nullptr);
    EXPECT_FALSE(DeleteObject(handle_from_value<HGDIOBJ>(1)));

    // Wrong kind.
    HPEN red = CreatePen(PS_SOLID, 1, 0x0000FF);
    HRGN region = CreateRectRgn(0, 0, 2, 2);
    Surface pixels(2, 2, 0xFF000000);
    HBITMAP bitmap = CreateBitmapFromSurface(pixels);
    EXPECT_EQ(FillRect(dc, &r, reinterpret_cast<HBRUSH>(red)), 0);
    EXPECT_FALSE(FillRgn(dc, reinterpret_cast<HRGN>(red), HBRUSH(GetStockObject(BLACK_BRUSH))));
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(red)));
    EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(bitmap)));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(dc)));
    EXPECT_FALSE(DrawStateA(dc, nullptr, nullptr, LPARAM(bitmap), 0, 0, 0, 0, 0, DST_ICON | DSS_DISABLED));
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr); // a bitmap goes only into a memory DC
    EXPECT_EQ(surface.pixel(0, 0), 0xFFFFFFu);
    DeleteObject(red);
    DeleteObject(region);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(GdiHandles, StockObjectsSurviveDeletion)
{
    size_t before = live_object_count();
    HGDIOBJ black = GetStockObject(BLACK_PEN);
    EXPECT_TRUE(DeleteObject(black));
    EXPECT_EQ(GetObjectType(black), OBJ_PEN);
    EXPECT_EQ(GetObjectType(GetStockObject(NULL_BRUSH)), OBJ_BRUSH);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(live_object_count(), before);
}

TEST(GdiHandles, ManyLivePensKeepTheirOwnColoursAsSlotsAreReused)
{
    // Enough pens to need several blocks of slots, deleted in a scattered order and replaced, so
    // that reused slots hold new pens next to old ones.
    constexpr int count = 700;
    size_t before = live_object_count();
    Surface surface(count, 1, 0);
    HDC dc = CreateSurfaceDC(surface);
    std::vector<HPEN> pens(count);
    std::vector<COLORREF> colors(count);
    for (int i = 0; i < count; ++i) {
        colors[i] = RGB(i & 0xFF, i >> 8, 7);
        pens[i] = CreatePen(PS_SOLID, 1, colors[i]);
    }
    for (int round = 0; round < 3; ++round) {
        std::vector<HPEN> gone;
        for (int i = round; i < count; i += 3) {
            gone.push_back(pens[i]);
            ASSERT_TRUE(DeleteObject(pens[i]));
        }
        for (int i = round; i < count; i += 3) {
            colors[i] = RGB(i & 0xFF, i >> 8, 100 + round);
            pens[i] = CreatePen(PS_SOLID, 1, colors[i]);
        }
        for (HPEN old : gone)
            EXPECT_EQ(GetObjectType(old), 0u);
        EXPECT_EQ(live_object_count(), before + 1 + count);
        for (int i = 0; i < count; ++i) {
            SelectObject(dc, pens[i]);
            MoveToEx(dc, i, 0, nullptr);
            LineTo(dc, i + 1, 0);
        }
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(surface.pixel(i, 0), colors[i]) << "pen " << i << " in round " << round;
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    for (HPEN pen : pens)
        DeleteObject(pen);
    DeleteDC(dc);
    EXPECT_EQ(live_object_count(), before);
}
