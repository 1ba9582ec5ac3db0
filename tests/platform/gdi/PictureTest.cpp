// Pictures, pixels, clipping, system colours and the version record.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace sorrel::gdi;

namespace {

constexpr Color face = 0xC0C0C0;
constexpr Color hilight = 0xFFFFFF;
constexpr Color shadow = 0x808080;

// Rows of characters: '#' dark, 'w' white, 'g' light grey, '.' transparent (icons only).
Surface picture(std::initializer_list<const char*> rows)
{
    int h = int(rows.size());
    int w = int(std::strlen(*rows.begin()));
    Surface s(w, h, 0);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < w; ++x) {
            Color c = row[x] == '#' ? 0xFF202020
                : row[x] == 'w'     ? 0xFFFFFFFF
                : row[x] == 'g'     ? 0xFFC8C8C8
                                    : 0;
            s.set_pixel(x, y, c);
        }
        ++y;
    }
    return s;
}

std::string render(const Surface& s)
{
    std::string out;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            Color c = s.pixel(x, y) & 0xFFFFFF;
            out += c == face ? '.' : c == hilight ? 'h' : c == shadow ? 's' : '?';
        }
        out += '\n';
    }
    return out;
}

} // namespace

TEST(DrawState, DisabledIconIsEmbossedFromItsDarkOpaquePixels)
{
    Surface surface(6, 5, face);
    HDC dc = CreateSurfaceDC(surface);
    HICON icon = CreateIconFromSurface(picture({"#.w", "##g", ".#."}));
    EXPECT_TRUE(DrawStateA(dc, nullptr, nullptr, LPARAM(icon), 0, 1, 1, 0, 0, DST_ICON | DSS_DISABLED));
    // Light grey counts as dark enough; white and transparent pixels drop out.
    EXPECT_EQ(render(surface),
        "......\n"
        ".s....\n"
        ".sss..\n"
        "..shh.\n"
        "...h..\n");
    DestroyIcon(icon);
    DeleteDC(dc);
}

TEST(DrawState, DisabledBitmapUsesDarknessAndScalesToTheGivenSize)
{
    Surface surface(6, 6, face);
    HDC dc = CreateSurfaceDC(surface);
    // Mid grey and lighter are background in a bitmap.
    Surface bits = picture({"#g", "w#"});
    bits.set_pixel(1, 0, 0x808080);
    HBITMAP bitmap = CreateBitmapFromSurface(bits);
    EXPECT_TRUE(DrawStateA(dc, nullptr, nullptr, LPARAM(bitmap), 0, 0, 0, 4, 4, DST_BITMAP | DSS_DISABLED));
    EXPECT_EQ(render(surface),
        "ss....\n"
        "ssh...\n"
        ".hss..\n"
        "..ssh.\n"
        "...hh.\n"
        "......\n");
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(DrawState, NormalIconKeepsItsTransparencyAndBitmapsAreOpaque)
{
    Surface surface(3, 2, face);
    HDC dc = CreateSurfaceDC(surface);
    Surface icon_pixels = picture({"#.w"});
    HICON icon = CreateIconFromSurface(icon_pixels);
    HBITMAP bitmap = CreateBitmapFromSurface(icon_pixels);
    DrawStateA(dc, nullptr, nullptr, LPARAM(icon), 0, 0, 0, 0, 0, DST_ICON);
    DrawStateA(dc, nullptr, nullptr, LPARAM(bitmap), 0, 0, 1, 0, 0, DST_BITMAP);
    EXPECT_EQ(surface.pixel(0, 0), 0x202020u);
    EXPECT_EQ(surface.pixel(1, 0), face);
    EXPECT_EQ(surface.pixel(2, 0), 0xFFFFFFu);
    EXPECT_EQ(surface.pixel(1, 1), 0u); // the bitmap's transparent pixel is plain black
    EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, 6, 4, 0, nullptr, 0));
    EXPECT_FALSE(DrawStateA(dc, nullptr, nullptr, LPARAM(icon), 0, 0, 0, 0, 0, DST_TEXT));
    DestroyIcon(icon);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(Pixels, GetPixelIsInvalidOutsideTheSurfaceAndTheClip)
{
    Surface surface(4, 4, 0x123456);
    HDC dc = CreateSurfaceDC(surface);
    EXPECT_EQ(GetPixel(dc, 3, 3), 0x123456u);
    EXPECT_EQ(GetPixel(dc, 4, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID);

    HRGN clip = CreateRectRgn(1, 1, 3, 3);
    EXPECT_EQ(SelectClipRgn(dc, clip), SIMPLEREGION);
    DeleteObject(clip); // the DC keeps its own copy
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 1, 1), 0x123456u);
    RECT all {0, 0, 4, 4};
    FillRect(dc, &all, HBRUSH(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(surface.pixel(0, 0), 0x123456u);
    EXPECT_EQ(surface.pixel(2, 2), 0u);
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, 3);

    // The viewport origin moves drawing, not the clip.
    SelectClipRgn(dc, nullptr);
    SetViewportOrgEx(dc, 2, 1, nullptr);
    SetPixelV(dc, 0, 0, 0x0000FF);
    EXPECT_EQ(surface.pixel(2, 1), 0x0000FFu);
    EXPECT_EQ(GetPixel(dc, 0, 0), 0x0000FFu);
    DeleteDC(dc);
}

TEST(Pixels, MemoryContextsDrawIntoTheirBitmap)
{
    Surface pixels(3, 3, 0xFFFFFF);
    HBITMAP bitmap = CreateBitmapFromSurface(pixels);
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(SurfaceOfDC(memory), nullptr);
    EXPECT_EQ(SurfaceOfDC(memory)->width(), 1); // the stock one-pixel bitmap
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetPixelV(memory, 1, 1, 0x00FF00);
    EXPECT_EQ(SurfaceOfBitmap(bitmap)->pixel(1, 1), 0x00FF00u);
    EXPECT_EQ(pixels.pixel(1, 1), 0xFFFFFFu); // the bitmap has its own copy
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST(SystemColors, ClassicSchemeWithATestHook)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xC0C0C0u);
    EXPECT_EQ(GetSysColor(COLOR_3DHILIGHT), 0xFFFFFFu);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), 0x808080u);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), 0x800000u);
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), 0xE1FFFFu);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(31), 0u);

    int index = COLOR_BTNFACE;
    COLORREF color = 0x00D8E9EC;
    EXPECT_TRUE(SetSysColors(1, &index, &color));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xD8E9ECu);
    // A brush value of index + 1 paints the system colour.
    Surface surface(1, 1, 0);
    HDC dc = CreateSurfaceDC(surface);
    RECT r {0, 0, 1, 1};
    FillRect(dc, &r, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1)));
    EXPECT_EQ(surface.pixel(0, 0), 0xD8E9ECu);
    DeleteDC(dc);
    reset_sys_colors();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xC0C0C0u);
}

TEST(Version, RecordSizeIsCheckedAndTheRecordCanBeReplaced)
{
    OSVERSIONINFOA info {};
    EXPECT_FALSE(GetVersionExA(&info));
    EXPECT_FALSE(GetVersionExA(nullptr));
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
#ifndef _WIN32 // Windows answers for itself (below)
    EXPECT_EQ(info.dwMajorVersion, 10u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
#endif

    OSVERSIONINFOA xp {};
    xp.dwMajorVersion = 5;
    xp.dwMinorVersion = 1;
    xp.dwBuildNumber = 2600;
    xp.dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::strcpy(xp.szCSDVersion, "Service Pack 2");
    set_version_info(xp);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwOSVersionInfoSize, 148u);
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_STREQ(info.szCSDVersion, "Service Pack 2");
    reset_version_info();
}

#ifdef _WIN32
// The button's platform probe builds its key from this record. The Windows tests run under
// Windows versions that they name in SORREL_EXPECTED_PLATFORM_KEY (XP: "2.5.1", 2000: "2.5.0").
TEST(Version, OnWindowsTheRecordIsTheSystemsOwn)
{
    const char* expected = std::getenv("SORREL_EXPECTED_PLATFORM_KEY");
    if (!expected)
        GTEST_SKIP() << "SORREL_EXPECTED_PLATFORM_KEY names no Windows version to expect";
    OSVERSIONINFOA info {};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(std::to_string(info.dwPlatformId) + "." + std::to_string(info.dwMajorVersion) + "."
            + std::to_string(info.dwMinorVersion),
        expected);
}
#endif

TEST(DeviceContextState, ColoursModesAndFailureValues)
{
    Surface surface(1, 1);
    HDC dc = CreateSurfaceDC(surface);
    EXPECT_EQ(GetTextColor(dc), 0u);
    EXPECT_EQ(GetBkColor(dc), 0xFFFFFFu);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);
    EXPECT_EQ(SetTextColor(dc, 0x0000FF), 0u);
    EXPECT_EQ(GetTextColor(dc), 0x0000FFu);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    EXPECT_EQ(SetGraphicsMode(dc, GM_ADVANCED), GM_COMPATIBLE);
    EXPECT_EQ(SetGraphicsMode(dc, 3), 0);
    EXPECT_EQ(GetGraphicsMode(dc), GM_ADVANCED);
    DeleteDC(dc);
    EXPECT_EQ(GetGraphicsMode(dc), 0);
    EXPECT_EQ(GetBkColor(dc), CLR_INVALID);
}
