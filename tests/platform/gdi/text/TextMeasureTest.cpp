#include "platform/gdi/Gdi.h"
#include "platform/gdi/text/Cp1252.h"
#include "platform/gdi/text/FontCache.h"
#include "tests/platform/gdi/text/TextTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace sorrel::gdi;
using sorrel::gdi::test::font_description;
using sorrel::gdi::test::FontFixture;

static constexpr UINT measure_flags = DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;

static int extent(HDC dc, const std::string& text)
{
    SIZE size {};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size));
    return size.cx;
}

TEST(TextMeasure, CalcRectGivesAdvanceSumAndCellHeight)
{
    static_assert(measure_flags == 0xD20);
    FontFixture fixture(font_description("MS Sans Serif", -11));
    const std::string text = "Begin Scan";
    int advances = 0;
    for (char c : text)
        advances += extent(fixture.dc, std::string(1, c));

    RECT rect {3, 4, 3, 4};
    int height = DrawTextA(fixture.dc, text.c_str(), int(text.size()), &rect, measure_flags);
    EXPECT_EQ(rect.left, 3);
    EXPECT_EQ(rect.top, 4);
    EXPECT_EQ(rect.right, 3 + advances);
    EXPECT_EQ(rect.bottom, 4 + fixture.metrics().tmHeight);
    EXPECT_EQ(height, fixture.metrics().tmHeight);
    EXPECT_EQ(extent(fixture.dc, text), advances);

    // The terminated form measures the same.
    RECT terminated {0, 0, 0, 0};
    DrawTextA(fixture.dc, text.c_str(), -1, &terminated, measure_flags);
    EXPECT_EQ(terminated.right, advances);
}

TEST(TextMeasure, EmptyTextFollowsWindows)
{
    FontFixture fixture(font_description("Arial", -12));
    // A length of zero changes nothing and reports no height.
    RECT untouched {10, 10, 100, 100};
    EXPECT_EQ(DrawTextA(fixture.dc, "abc", 0, &untouched, measure_flags), 0);
    EXPECT_EQ(untouched.right, 100);
    EXPECT_EQ(untouched.bottom, 100);

    // An empty terminated string is one empty line.
    RECT line {10, 10, 100, 100};
    EXPECT_EQ(DrawTextA(fixture.dc, "", -1, &line, measure_flags), fixture.metrics().tmHeight);
    EXPECT_EQ(line.right, 10);
    EXPECT_EQ(line.bottom, 10 + fixture.metrics().tmHeight);
}

TEST(TextMeasure, PrefixesAreHiddenUnlessNoPrefixIsGiven)
{
    FontFixture fixture(font_description("Arial", -12));
    RECT literal {0, 0, 0, 0};
    RECT prefixed {0, 0, 0, 0};
    DrawTextA(fixture.dc, "S&ave && Exit", -1, &literal, measure_flags);
    DrawTextA(fixture.dc, "S&ave && Exit", -1, &prefixed, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(literal.right, extent(fixture.dc, "S&ave && Exit"));
    EXPECT_EQ(prefixed.right, extent(fixture.dc, "Save & Exit"));
}

TEST(TextMeasure, RotationDoesNotChangeMeasurements)
{
    FontFixture upright(font_description("Times New Roman Bold", -13));
    FontFixture rotated(font_description("Times New Roman Bold", -13, 900));
    EXPECT_EQ(extent(upright.dc, "Remove Options"), extent(rotated.dc, "Remove Options"));
    EXPECT_EQ(upright.metrics().tmHeight, rotated.metrics().tmHeight);
}

TEST(TextMeasure, RecreatingAFontReusesTheCachedFont)
{
    auto measure = [] {
        FontFixture fixture(font_description("Courier New Italic", -15));
        return extent(fixture.dc, "Unistall");
    };
    int first = measure();
    size_t cached = FontCache::the().cached_font_count();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(measure(), first);
    EXPECT_EQ(FontCache::the().cached_font_count(), cached);
}

TEST(TextMeasure, FontsNeverLeak)
{
    Surface surface(20, 20);
    HDC dc = CreateSurfaceDC(surface);
    size_t before = live_object_count();
    for (int i = 0; i < 50; ++i) {
        LOGFONTA description
            = font_description(i % 2 ? "Arial Bold" : "Times New Roman", -10 - i % 7, 900 * (i % 4));
        HFONT font = CreateFontIndirectA(&description);
        HGDIOBJ previous = SelectObject(dc, font);
        RECT rect {0, 0, 0, 0};
        DrawTextA(dc, "Begin Scan", -1, &rect, measure_flags);
        SelectObject(dc, previous);
        EXPECT_TRUE(DeleteObject(font));
    }
    EXPECT_EQ(live_object_count(), before);

    // A font deleted while selected lives until it is selected out.
    LOGFONTA description = font_description("Arial", -12);
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ previous = SelectObject(dc, font);
    DeleteObject(font);
    TEXTMETRICA tm {};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    SelectObject(dc, previous);
    EXPECT_EQ(live_object_count(), before);
    DeleteDC(dc);
}

// A font describes itself as it was asked for; other objects and short buffers get nothing more.
TEST(TextMeasure, AFontGivesBackItsDescription)
{
    LOGFONTA description = font_description("Arial Bold", -13, 900);
    HFONT font = CreateFontIndirectA(&description);
    LOGFONTA copy {};
    EXPECT_EQ(GetObjectA(font, int(sizeof copy), &copy), int(sizeof copy));
    EXPECT_EQ(std::memcmp(&copy, &description, sizeof copy), 0);
    EXPECT_EQ(GetObjectA(font, 0, nullptr), int(sizeof copy));
    LONG height = 0;
    EXPECT_EQ(GetObjectA(font, int(sizeof height), &height), int(sizeof height));
    EXPECT_EQ(height, -13);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    EXPECT_EQ(GetObjectA(pen, int(sizeof copy), &copy), 0);
    DeleteObject(pen);
    DeleteObject(font);
    EXPECT_EQ(GetObjectA(font, int(sizeof copy), &copy), 0);
}

TEST(TextMeasure, BadArgumentsFailQuietly)
{
    FontFixture fixture(font_description("Arial", -12));
    RECT rect {0, 0, 0, 0};
    SIZE size {};
    TEXTMETRICA tm {};
    EXPECT_EQ(DrawTextA(nullptr, "x", 1, &rect, measure_flags), 0);
    EXPECT_EQ(DrawTextA(fixture.dc, "x", 1, nullptr, measure_flags), 0);
    EXPECT_EQ(DrawTextA(fixture.dc, nullptr, 5, &rect, measure_flags), 0);
    EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
    EXPECT_FALSE(GetTextMetricsA(fixture.dc, nullptr));
    EXPECT_FALSE(GetTextExtentPoint32A(fixture.dc, "x", -5, &size));
    EXPECT_FALSE(TextOutA(fixture.dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(reinterpret_cast<HDC>(fixture.font), 0, 0, "x", 1));
}

TEST(TextMeasure, BytesAreWindows1252Characters)
{
    EXPECT_EQ(cp1252_to_unicode(0x80), U'\u20AC');
    EXPECT_EQ(cp1252_to_unicode(0x9F), U'\u0178');
    EXPECT_EQ(cp1252_to_unicode(0xE9), U'\u00E9');
    EXPECT_EQ(cp1252_to_unicode(0x81), U'\u0081');

    // The euro sign has a glyph of its own; an undefined byte shows the missing-glyph box.
    FontFixture fixture(font_description("Arial", -20));
    EXPECT_NE(extent(fixture.dc, "\x80"), extent(fixture.dc, "\x81"));
    EXPECT_EQ(extent(fixture.dc, "\x81"), extent(fixture.dc, "\x8D"));
}
