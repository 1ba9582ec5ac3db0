// The button's outline, colour schemes and drawing primitives, on exact pixels.

#include "QuillButtonTestSupport.h"

#include <gtest/gtest.h>

using namespace sorrel;
using namespace sorrel::controls;
using namespace sorrel::controls::testing_support;

namespace {

constexpr gdi::Color Paper = 0xFFFFFF;
constexpr gdi::Color Ink1 = 0x0000FF;
constexpr gdi::Color Ink2 = 0x00FF00;
constexpr gdi::Color Ink3 = 0xFF0000;
constexpr gdi::Color Ink4 = 0x808000;

// A shown 100 x 30 button at design time whose surface is blank paper.
class Drawing : public ::testing::Test {
protected:
    Drawing()
        : b(h.add("Cmd", 10, 10, 100, 30))
        , access(b)
    {
        h.show();
        blank();
    }
    ~Drawing() override
    {
        gdi::reset_sys_colors();
        gdi::reset_version_info();
    }
    void blank() { access.fill_or_outline(0, 0, 100, 30, Paper, false); }
    gdi::Color at(int x, int y) { return gdi::without_alpha(b.canvas().pixels().pixel(x, y)); }
    int count(gdi::Color colour)
    {
        int n = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 100; ++x)
                n += at(x, y) == colour;
        return n;
    }
    // Every cell from (x0, y0) to (x1, y1), both included, is `colour`.
    void expect_run(gdi::Color colour, int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                EXPECT_EQ(at(x, y), colour) << x << "," << y;
    }
    bool inside(int x, int y) { return gdi::PtInRegion(b.window_region(), x, y); }

    ButtonHost h {true};
    QuillButton& b;
    QuillButtonTestAccess access;
};

// [SECTION] Outline

TEST_F(Drawing, SegmentOutlinesSlantByEighteenPixels)
{
    b.ButtonStyle(2); // (0, 0), (18, 30), (100, 30), (82, 0)
    EXPECT_TRUE(inside(2, 1));
    EXPECT_FALSE(inside(1, 28));
    EXPECT_TRUE(inside(98, 28));
    EXPECT_FALSE(inside(98, 1));
    b.ButtonStyle(1); // (0, 0), (0, 30), (100, 30), (82, 0)
    EXPECT_TRUE(inside(0, 29));
    EXPECT_FALSE(inside(98, 1));
    b.ButtonStyle(3);
    b.ButtonType(1); // no corner cuts for segments
    EXPECT_FALSE(inside(1, 28));
    EXPECT_TRUE(inside(99, 0));
}

TEST_F(Drawing, RectangularOutlinesCutTheCornersOfTheirFace)
{
    struct Case {
        int type;
        std::vector<std::pair<int, int>> out, in;
    };
    std::vector<Case> cases {
        {2, {}, {{0, 0}, {99, 0}, {0, 29}, {99, 29}}},
        {7, {}, {{0, 0}, {99, 0}, {0, 29}, {99, 29}}},
        {1, {{0, 0}, {99, 0}, {0, 29}, {99, 29}}, {{1, 0}, {0, 1}, {98, 29}}},
        {4, {{0, 29}, {99, 0}}, {{0, 0}, {99, 29}}},
        {3, {{0, 0}, {1, 0}, {0, 1}, {98, 0}, {99, 1}, {0, 28}, {1, 29}, {99, 28}, {98, 29}},
            {{1, 1}, {2, 0}, {0, 2}, {97, 29}}},
        {8, {{0, 0}, {1, 0}, {0, 1}, {99, 28}}, {{1, 1}, {2, 0}}},
    };
    for (auto& c : cases) {
        b.ButtonType(c.type);
        for (auto [x, y] : c.out)
            EXPECT_FALSE(inside(x, y)) << c.type << ": " << x << "," << y;
        for (auto [x, y] : c.in)
            EXPECT_TRUE(inside(x, y)) << c.type << ": " << x << "," << y;
    }
}

TEST_F(Drawing, OutlinesBelongToTheWindow)
{
    ButtonHost other;
    auto& hidden = other.add("Cmd", 10, 10, 100, 30);
    hidden.Move(0, 0, 80 * 15, 20 * 15); // never shown: nothing happens
    EXPECT_FALSE(hidden.window_region());
    EXPECT_FALSE(QuillButtonTestAccess(hidden).paint_ready());

    other.show();
    size_t live = gdi::live_object_count();
    gdi::HRGN first = hidden.window_region();
    for (int i = 0; i < 50; ++i)
        hidden.Move(150, 150, float((60 + i) * 15), 40 * 15);
    EXPECT_EQ(gdi::GetObjectType(first), 0u); // the window let its old region go
    EXPECT_TRUE(gdi::PtInRegion(hidden.window_region(), 108, 39));
    EXPECT_EQ(gdi::live_object_count(), live);
}

// [SECTION] Colours

TEST_F(Drawing, ShiftAndTranslate)
{
    std::string text;
    EXPECT_EQ(access.shift(0xC0C0C0, 48, true, &text), 0xF0F0F0u);
    EXPECT_EQ(text, "240240240");
    EXPECT_EQ(access.shift(0x808080, 48, false), 0xB0B0B0u);
    EXPECT_EQ(access.shift(0x808080, 48, true), 0xA0B0B0u);
    EXPECT_EQ(access.shift(0xFFFFFF, 48, false, &text), 0xFFFFFFu);
    EXPECT_EQ(text, "255255255");
    EXPECT_EQ(access.shift(0, -24, false, &text), 0u);
    EXPECT_EQ(text, "000000000");
    EXPECT_EQ(access.shift(0x640000, -24, true), 0x580000u); // 100 - 2400 / 192 truncates to 88

    EXPECT_EQ(access.translate(0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(access.translate(0x123456), 0x123456u);
    EXPECT_EQ(access.translate(0x8000000F), gdi::GetSysColor(gdi::COLOR_BTNFACE));
}

// A value with the top bit set splits as a signed number: the low byte is red, and green and blue
// come out of truncating division as zero or below, then move and clamp like any channel.
TEST_F(Drawing, ShiftOfTopBitValues)
{
    std::string text;
    EXPECT_EQ(access.shift(0xFFFFFFFF, 31, false, &text), 0x001F1FFFu);
    EXPECT_EQ(text, "255031031");
    EXPECT_EQ(access.shift(0xFFFFFFFF, 31, true), 0x00001FFFu);
    EXPECT_EQ(access.shift(0xFFFF8080, 48, false), 0x003000B0u); // green -127, blue 0
    EXPECT_EQ(access.shift(0xFF00FF00, 31, false), 0x00001E1Fu); // green -1, blue -255
    EXPECT_EQ(access.shift(0x80000000, 0, false), 0u);
    EXPECT_EQ(access.shift(0x8000000F, 0, false), 0x0000000Fu);

    // A custom BackColor of -1 derives its shades from those channels.
    ButtonHost h(true);
    auto& b = h.add("Cmd1", 10, 10, 100, 30);
    b.BackColor(0xFFFFFFFF);
    EXPECT_EQ(QuillButtonTestAccess(b).colours().light, 0x001F1FFFu);
    EXPECT_EQ(QuillButtonTestAccess(b).colours().highlight, 0x002F2FFFu);
}

TEST_F(Drawing, Schemes)
{
    using Palette = std::vector<gdi::Color>;
    b.ForeColor(0x000080);
    b.BackColor(0x404040);
    EXPECT_EQ(access.palette(), (Palette {0x404040, 0x5F5F5F, 0x6F6F6F, 0, 0, 0x000080, 0}));

    h.form->BackColor(0xFFFFFF);
    h.form->ForeColor(0x800000);
    b.ColorScheme(4);
    EXPECT_EQ(
        access.palette(), (Palette {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xBFBFBF, 0x3F3F3F, 0x800000, 0x800000}));
    EXPECT_EQ(b.BackColor(), 0xFFFFFFu);
    h.form->BackColor(0x808080); // the container reports its change
    EXPECT_EQ(access.palette()[0], 0x808080u);

    b.ColorScheme(3);
    EXPECT_EQ(access.palette(), (Palette {0xC0C0C0, 0xDFDFDF, 0xFFFFFF, 0x808080, 0, 0, 0}));
    b.EmbossEngraveMid(0x123456);
    b.ColorScheme(1); // resets the custom colours from the system's
    EXPECT_EQ(b.BackColor(), gdi::GetSysColor(gdi::COLOR_BTNFACE));
    EXPECT_EQ(b.MouseOver(), gdi::GetSysColor(gdi::COLOR_BTNTEXT));
    EXPECT_EQ(b.EmbossEngraveMid(), 0xC0C0C0u);
    b.BackColor(0x102030);
    b.ColorScheme(5); // keeps them
    EXPECT_EQ(b.BackColor(), 0x102030u);
}

TEST_F(Drawing, PlatformProbe)
{
    using Answers = std::pair<int16_t, int16_t>;
    auto platform = [&](gdi::DWORD id, gdi::DWORD major, gdi::DWORD minor) {
        gdi::OSVERSIONINFOA info {};
        info.dwOSVersionInfoSize = sizeof(info);
        info.dwPlatformId = id;
        info.dwMajorVersion = major;
        info.dwMinorVersion = minor;
        gdi::set_version_info(info);
        return Answers {access.probe(false), access.probe(true)};
    };
    EXPECT_EQ(platform(1, 4, 0), (Answers {0, -1}));
    EXPECT_EQ(platform(2, 3, 51), (Answers {2, -1}));
    EXPECT_EQ(platform(2, 4, 0), (Answers {1, -1}));
    EXPECT_EQ(platform(2, 5, 1), (Answers {0, 0}));
    EXPECT_EQ(platform(2, 10, 0), (Answers {0, 0}));
}

// [SECTION] Primitives

TEST_F(Drawing, LineAndBevel)
{
    access.line(0, 5, 10, 5, Ink1);
    expect_run(Ink1, 0, 5, 9, 5);
    EXPECT_EQ(count(Ink1), 10);

    blank();
    access.bevel(Ink1, Ink2, Ink3, Ink4, 1, false);
    // Outer ring: c1 left and top, c2 right and bottom over c1's (1, 29); then the inner ring:
    // c3 left and top over c2's (2, 29), c4 right and bottom.
    expect_run(Ink1, 1, 2, 1, 28);
    expect_run(Ink1, 1, 1, 98, 1);
    expect_run(Ink2, 99, 1, 99, 28);
    expect_run(Ink2, 3, 29, 99, 29);
    expect_run(Ink2, 1, 29, 1, 29);
    expect_run(Ink3, 2, 3, 2, 27);
    expect_run(Ink3, 2, 29, 2, 29);
    expect_run(Ink3, 2, 2, 97, 2);
    expect_run(Ink4, 98, 2, 98, 27);
    expect_run(Ink4, 2, 28, 98, 28);
    EXPECT_EQ(count(Paper), 3000 - 125 - 126 - 122 - 123);

    // Outer ring only, along the slants of a segment.
    b.ButtonStyle(2);
    blank();
    access.bevel(Ink1, Ink2, Ink3, Ink4, 0, true);
    EXPECT_EQ(at(17, 28), Ink1);
    EXPECT_EQ(at(80, 0), Ink1);
    EXPECT_EQ(at(81, 0), Ink2);
    EXPECT_EQ(at(18, 29), Ink2);
    EXPECT_EQ(at(17, 29), Paper);
    EXPECT_EQ(count(Ink3), 0);
}

TEST_F(Drawing, FillAndOutline)
{
    access.fill_or_outline(10, 5, 20, 8, Ink1, false);
    EXPECT_EQ(count(Ink1), 30);
    expect_run(Ink1, 10, 5, 19, 7);

    access.fill_or_outline(0, 0, 100, 30, Ink2, true);
    EXPECT_EQ(count(Ink2), 2 * 100 + 2 * 28);

    // The segment outline (0, 0), (82, 0), (100, 29), (18, 29); its inside stays.
    b.ButtonStyle(2);
    blank();
    access.fill_or_outline(0, 0, 100, 30, Ink3, true);
    for (auto [x, y] :
        std::vector<std::pair<int, int>> {{0, 0}, {82, 0}, {83, 1}, {18, 29}, {50, 29}, {9, 15}})
        EXPECT_EQ(at(x, y), Ink3) << x << "," << y;
    for (auto [x, y] : std::vector<std::pair<int, int>> {{85, 1}, {50, 15}, {99, 0}, {5, 28}})
        EXPECT_EQ(at(x, y), Paper) << x << "," << y;

    // A style only a damaged store can give outlines the rectangle.
    access.set_style_raw(7);
    blank();
    access.fill_or_outline(0, 0, 100, 30, Ink4, true);
    EXPECT_EQ(count(Ink4), 2 * 100 + 2 * 28);
}

TEST_F(Drawing, FocusIndicator)
{
    b.ForeColor(0x0000AA);
    b.ShowFocus(false);
    blank();
    b.canvas().ForeColor(0x123456);
    access.focus_indicator();
    EXPECT_EQ(count(Paper), 3000);
    EXPECT_EQ(b.canvas().ForeColor(), 0x123456u);

    b.ShowFocus(true);
    access.focus_indicator();
    EXPECT_EQ(b.canvas().ForeColor(), 0x0000AAu);
    // Dots on the border of (4, 4, 96, 26) only; drawn twice they are gone.
    int dots = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (at(x, y) == Paper)
                continue;
            ++dots;
            EXPECT_TRUE((x == 4 || x == 95 || y == 4 || y == 25) && x >= 4 && x <= 95 && y >= 4 && y <= 25);
        }
    }
    EXPECT_GT(dots, 100);
    access.focus_indicator();
    EXPECT_EQ(count(Paper), 3000);
}

TEST_F(Drawing, GradientDirections)
{
    b.GradientStartColor(0x0000FF);
    b.GradientStopColor(0xFF0000);
    auto reddish = [&](int x, int y) { return (at(x, y) & 0xFF) > 0xF0 && (at(x, y) >> 16) < 0x10; };
    auto bluish = [&](int x, int y) { return (at(x, y) >> 16) > 0xF0 && (at(x, y) & 0xFF) < 0x10; };
    b.GradientOrientation(2); // right to left
    access.gradient();
    EXPECT_TRUE(bluish(0, 15));
    EXPECT_TRUE(reddish(99, 15));
    b.GradientOrientation(1); // top to bottom
    access.gradient();
    EXPECT_TRUE(reddish(50, 0));
    EXPECT_TRUE(bluish(50, 29));
    b.GradientOrientation(9); // only a stored value can be this: horizontal, start at the right
    access.gradient();
    EXPECT_TRUE(reddish(99, 15));
}

TEST_F(Drawing, AThousandRepaintsLeaveNoDrawingObjectAlive)
{
    h.form->set_design_mode(false);
    b.RefreshButton();
    size_t live = gdi::live_object_count();
    for (int i = 0; i < 1000; ++i) {
        access.set_state(i % 5);
        b.RefreshButton();
        access.bevel(Ink1, Ink2, Ink3, Ink4, 1, false);
        access.fill_or_outline(0, 0, 100, 30, Ink1, i % 2 == 0);
        access.focus_indicator();
        access.gradient();
    }
    EXPECT_EQ(gdi::live_object_count(), live);
}

} // namespace
