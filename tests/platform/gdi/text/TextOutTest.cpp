#include "platform/gdi/Gdi.h"
#include "platform/gdi/text/FontCache.h"
#include "platform/gdi/text/TextPainter.h"
#include "tests/platform/gdi/text/TextTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace sorrel::gdi;
using sorrel::gdi::test::font_description;
using sorrel::gdi::test::FontFixture;

namespace {

const std::string caption = "Begin Scan";

struct Drawn {
    Rect box;
    int width {0};
    TEXTMETRICA tm {};
};

Drawn draw_caption(FontFixture& fixture, int x, int y)
{
    SetBkMode(fixture.dc, TRANSPARENT);
    SIZE size {};
    GetTextExtentPoint32A(fixture.dc, caption.c_str(), int(caption.size()), &size);
    EXPECT_TRUE(TextOutA(fixture.dc, x, y, caption.c_str(), int(caption.size())));
    return {fixture.changed_pixels(), size.cx, fixture.metrics()};
}

// The drawn pixels lie inside `cell` and cover most of it along the reading direction.
void expect_inside_cell(const Drawn& drawn, const Rect& cell, bool horizontal)
{
    ASSERT_FALSE(drawn.box.is_empty());
    EXPECT_GE(drawn.box.left, cell.left);
    EXPECT_GE(drawn.box.top, cell.top);
    EXPECT_LE(drawn.box.right, cell.right);
    EXPECT_LE(drawn.box.bottom, cell.bottom);
    int along = horizontal ? drawn.box.width() : drawn.box.height();
    EXPECT_GE(along, drawn.width - 3);
}

} // namespace

TEST(TextOut, UprightTextFillsTheCellRightOfAndBelowThePoint)
{
    FontFixture fixture(font_description("MS Sans Serif", -11));
    Drawn drawn = draw_caption(fixture, 20, 30);
    expect_inside_cell(drawn, Rect::from_size(20, 30, drawn.width, drawn.tm.tmHeight), true);
    // Capitals reach up to the top of the em square, below the internal leading.
    EXPECT_LE(drawn.box.top, 30 + drawn.tm.tmInternalLeading + 1);
}

TEST(TextOut, UpwardTextFillsTheCellRightOfThePointAndAboveIt)
{
    FontFixture fixture(font_description("MS Sans Serif", -11, 900));
    Drawn drawn = draw_caption(fixture, 20, 150);
    expect_inside_cell(drawn, Rect {20, 150 - drawn.width, 20 + drawn.tm.tmHeight, 150}, false);
    // The text starts at the point: its first letter touches the row above it.
    EXPECT_GE(drawn.box.bottom, 150 - 2);
}

TEST(TextOut, DownwardTextFillsTheCellLeftOfThePointAndBelowIt)
{
    FontFixture fixture(font_description("MS Sans Serif", -11, 2700));
    Drawn drawn = draw_caption(fixture, 100, 20);
    expect_inside_cell(drawn, Rect {100 - drawn.tm.tmHeight, 20, 100, 20 + drawn.width}, false);
    EXPECT_LE(drawn.box.top, 20 + 2);
}

TEST(TextOut, RotatedGlyphsAreTheUprightOnesTurned)
{
    FontFixture upright(font_description("Arial", -13));
    FontFixture upward(font_description("Arial", -13, 900));
    draw_caption(upright, 10, 10);
    draw_caption(upward, 10, 190);
    // Upright pixel (u, v) from the point lands at (x + v, y - 1 - u) when reading upwards.
    for (int v = 0; v < upright.metrics().tmHeight; ++v) {
        for (int u = 0; u < 100; ++u)
            ASSERT_EQ(upright.surface.pixel(10 + u, 10 + v), upward.surface.pixel(10 + v, 189 - u))
                << u << "," << v;
    }
}

TEST(TextOut, UnderlineRunsTheLengthOfTheTextBelowTheBaseline)
{
    for (LONG escapement : {0, 900, 2700}) {
        LOGFONTA plain_description = font_description("Arial", -12, escapement);
        LOGFONTA underlined_description = plain_description;
        underlined_description.lfUnderline = 1;
        FontFixture plain(plain_description);
        FontFixture underlined(underlined_description);
        Point at = escapement == 900 ? Point {50, 150}
            : escapement == 2700     ? Point {150, 50}
                                     : Point {20, 20};
        Drawn without = draw_caption(plain, at.x, at.y);
        Drawn with = draw_caption(underlined, at.x, at.y);

        // The longest run of drawn pixels along the text, by row of the text's own frame.
        auto run_at = [&](const FontFixture& fixture, int v) {
            int run = 0;
            for (int u = 0; u < with.width; ++u) {
                Point p = escapement == 900 ? Point {at.x + v, at.y - 1 - u}
                    : escapement == 2700    ? Point {at.x - 1 - v, at.y + u}
                                            : Point {at.x + u, at.y + v};
                if (fixture.surface.pixel(p.x, p.y) != FontFixture::background)
                    ++run;
            }
            return run;
        };
        int line_v = -1;
        for (int v = 0; v < with.tm.tmHeight + 2 && line_v < 0; ++v) {
            if (run_at(underlined, v) == with.width)
                line_v = v;
        }
        EXPECT_GE(line_v, with.tm.tmAscent) << escapement;
        EXPECT_LT(line_v, with.tm.tmHeight) << escapement;
        EXPECT_LT(run_at(plain, line_v), without.width) << escapement;
    }
}

TEST(TextOut, OpaqueModeFillsTheCellWithTheBackgroundColour)
{
    FontFixture fixture(font_description("Arial", -12));
    SetBkColor(fixture.dc, RGB(0, 0, 255));
    SetBkMode(fixture.dc, OPAQUE);
    SIZE size {};
    GetTextExtentPoint32A(fixture.dc, "Exit", 4, &size);
    TextOutA(fixture.dc, 5, 6, "Exit", 4);
    EXPECT_EQ(fixture.changed_pixels(), Rect::from_size(5, 6, size.cx, size.cy));
    EXPECT_EQ(fixture.surface.pixel(5, 6), RGB(0, 0, 255));
}

TEST(TextOut, TextIsBlendedInItsColourAndClipped)
{
    FontFixture fixture(font_description("Arial", -20), 40, 30);
    SetBkMode(fixture.dc, TRANSPARENT);
    SetTextColor(fixture.dc, RGB(200, 0, 0));
    // Far past every edge: only the part on the surface is drawn.
    EXPECT_TRUE(TextOutA(fixture.dc, -15, -8, "WWWWWWWW", 8));
    EXPECT_TRUE(TextOutA(fixture.dc, INT_MAX - 5, INT_MIN + 5, "WWW", 3));
    bool solid = false;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            Color c = fixture.surface.pixel(x, y);
            solid |= c == RGB(200, 0, 0);
            // Every mix of red over white keeps green and blue equal.
            EXPECT_EQ(green_of(c), blue_of(c));
            EXPECT_GE(red_of(c), 200);
        }
    }
    EXPECT_TRUE(solid);
    EXPECT_EQ(fixture.changed_pixels().left, 0);
    EXPECT_EQ(fixture.changed_pixels().top, 0);
}

// A glyph ending at the last pixel of the last row blends exactly its own cells, whatever its
// width: nothing past the surface is touched (the sanitizer build checks the memory).
TEST(TextOut, GlyphsAtTheBottomRightCornerStayInside)
{
    auto font = FontCache::the().font("Arial", -12, false, false);
    for (char c : std::string("ilmW")) {
        const Glyph& glyph = font->glyph(uint8_t(c), Rotation::None);
        ASSERT_FALSE(glyph.is_empty());
        Surface surface(glyph.width + 3, glyph.height + 2, 0xFFFFFF);
        TextPainter painter(surface, surface.bounds());
        TextStyle style;
        style.color = RGB(0, 0, 200);
        const Point at {surface.width() - glyph.width - glyph.dx, surface.height() - glyph.height - glyph.dy};
        painter.draw_text(*font, at, std::string(1, c), style);
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x) {
                bool cell = x >= surface.width() - glyph.width && y >= surface.height() - glyph.height;
                uint8_t cover = cell
                    ? glyph.at(x - (surface.width() - glyph.width), y - (surface.height() - glyph.height))
                    : 0;
                EXPECT_EQ(surface.pixel(x, y) == 0xFFFFFFu, cover == 0) << c << " at " << x << "," << y;
            }
    }
}

TEST(TextOut, ViewportOriginMovesTheText)
{
    FontFixture moved(font_description("Arial", -12));
    FontFixture direct(font_description("Arial", -12));
    SetViewportOrgEx(moved.dc, 7, 9, nullptr);
    Drawn a = draw_caption(moved, 10, 10);
    Drawn b = draw_caption(direct, 17, 19);
    EXPECT_EQ(a.box, b.box);
}

TEST(TextPainter, ClipRectanglesLimitTheGlyphs)
{
    Surface surface(60, 20, 0xFFFFFF);
    Rect parts[] = {{0, 0, 10, 20}, {30, 0, 60, 10}};
    auto font = FontCache::the().font("Arial", -14, false, false);
    TextPainter painter(surface, parts);
    TextStyle style;
    style.underline = true;
    painter.draw_text(*font, {0, 0}, "MMMMMMMM", style);
    bool inside = false;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 60; ++x) {
            bool visible = parts[0].contains(x, y) || parts[1].contains(x, y);
            if (!visible) {
                EXPECT_EQ(surface.pixel(x, y), 0xFFFFFFu) << x << "," << y;
            }
            inside |= visible && surface.pixel(x, y) != 0xFFFFFF;
        }
    }
    EXPECT_TRUE(inside);
}

TEST(DrawText, PlacesTheLineInTheRectangleAndClipsToIt)
{
    FontFixture centred(font_description("Arial", -12));
    SetBkMode(centred.dc, TRANSPARENT);
    RECT box {0, 0, 200, 40};
    EXPECT_EQ(DrawTextA(centred.dc, "Exit", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE),
        centred.metrics().tmHeight);
    Rect drawn = centred.changed_pixels();
    EXPECT_NEAR(drawn.left + drawn.right, 200, 3);
    EXPECT_NEAR(drawn.top + drawn.bottom, 40 + centred.metrics().tmInternalLeading, 4);

    FontFixture clipped(font_description("Arial", -12));
    SetBkMode(clipped.dc, TRANSPARENT);
    RECT narrow {10, 10, 30, 20};
    DrawTextA(clipped.dc, "Remove Options", -1, &narrow, DT_SINGLELINE);
    Rect limited = clipped.changed_pixels();
    EXPECT_FALSE(limited.is_empty());
    EXPECT_EQ(limited.intersected(Rect {10, 10, 30, 20}), limited);
}

TEST(TextOut, ClippedTextMatchesTextOutUnderAClipRegion)
{
    const char* text = "Messenger 4.7";
    // The clip starts right of the text, reaches past the surface, is empty, or sits under a
    // shifted origin; each must draw what the same rectangle as a clip region draws.
    for (RECT clip :
        {RECT {20, 8, 60, 20}, RECT {-5, -5, 300, 300}, RECT {30, 10, 30, 20}, RECT {12, 9, 50, 16}}) {
        for (int origin : {0, 7}) {
            FontFixture with_region(font_description("MS Sans Serif", -11), 120, 40);
            FontFixture clipped(font_description("MS Sans Serif", -11), 120, 40);
            SetViewportOrgEx(with_region.dc, origin, origin, nullptr);
            SetViewportOrgEx(clipped.dc, origin, origin, nullptr);
            SetBkMode(with_region.dc, TRANSPARENT);
            SetBkMode(clipped.dc, TRANSPARENT);
            RECT device {clip.left + origin, clip.top + origin, clip.right + origin, clip.bottom + origin};
            HRGN region = CreateRectRgnIndirect(&device);
            SelectClipRgn(with_region.dc, region);
            DeleteObject(region);
            TextOutA(with_region.dc, 10, 6, text, int(std::strlen(text)));
            EXPECT_TRUE(
                ExtTextOutA(clipped.dc, 10, 6, ETO_CLIPPED, &clip, text, UINT(std::strlen(text)), nullptr));
            EXPECT_TRUE(clipped.surface == with_region.surface) << clip.left << " origin " << origin;
        }
    }
    // Options it does not carry out are refused rather than ignored.
    FontFixture fixture(font_description("MS Sans Serif", -11));
    RECT r {0, 0, 50, 20};
    EXPECT_FALSE(ExtTextOutA(fixture.dc, 0, 0, ETO_CLIPPED | 0x2, &r, "a", 1, nullptr));
    EXPECT_FALSE(ExtTextOutA(fixture.dc, 0, 0, ETO_CLIPPED, nullptr, "a", 1, nullptr));
    INT dx[1] = {5};
    EXPECT_FALSE(ExtTextOutA(fixture.dc, 0, 0, 0, nullptr, "a", 1, dx));
    EXPECT_TRUE(fixture.changed_pixels().is_empty());
}
