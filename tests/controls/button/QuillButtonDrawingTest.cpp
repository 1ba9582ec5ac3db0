// The button's outline, its colour schemes and its drawing primitives, on exact pixels.

#include "QuillButtonTestSupport.h"

#include <gtest/gtest.h>

using namespace sorrel;
using namespace sorrel::controls;
using namespace sorrel::controls::testing_support;

namespace {

constexpr gdi::Color Paper = 0x00FFFFFF;
constexpr gdi::Color Ink1 = 0x000000FF;
constexpr gdi::Color Ink2 = 0x0000FF00;
constexpr gdi::Color Ink3 = 0x00FF0000;
constexpr gdi::Color Ink4 = 0x00808000;

class Drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        gdi::reset_sys_colors();
        gdi::reset_version_info();
    }
    void TearDown() override
    {
        gdi::reset_sys_colors();
        gdi::reset_version_info();
    }
};

gdi::Color pixel(QuillButton& b, int x, int y)
{
    return gdi::without_alpha(b.canvas().pixels().pixel(x, y));
}

// The cells of the surface in `colour`, as "x,y" strings, for comparing short lists.
std::vector<std::string> cells_in(QuillButton& b, gdi::Color colour)
{
    std::vector<std::string> cells;
    auto& s = b.canvas().pixels();
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            if (gdi::without_alpha(s.pixel(x, y)) == colour)
                cells.push_back(std::to_string(x) + "," + std::to_string(y));
        }
    }
    return cells;
}

// A shown 100 x 30 button whose surface is blank paper.
struct Canvas100x30 {
    explicit Canvas100x30(bool design = true)
        : h(design)
        , b(h.add("Cmd", 10, 10, 100, 30))
        , access(b)
    {
        h.show();
        blank();
    }
    void blank() { access.fill_or_outline(0, 0, 100, 30, Paper, false); }
    ButtonHost h;
    QuillButton& b;
    QuillButtonTestAccess access;
};

// [SECTION] Outline

TEST_F(Drawing, SegmentOutlinesSlantByEighteenPixels)
{
    Canvas100x30 c;
    c.b.ButtonStyle(2);
    gdi::HRGN region = c.b.window_region();
    ASSERT_TRUE(region);
    gdi::RECT box;
    gdi::GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, 30);
    EXPECT_TRUE(gdi::PtInRegion(region, 50, 15));
    EXPECT_TRUE(gdi::PtInRegion(region, 2, 1));
    EXPECT_FALSE(gdi::PtInRegion(region, 1, 28)); // bottom-left cut
    EXPECT_TRUE(gdi::PtInRegion(region, 98, 28));
    EXPECT_FALSE(gdi::PtInRegion(region, 98, 1)); // top-right cut

    c.b.ButtonStyle(1);
    region = c.b.window_region();
    EXPECT_TRUE(gdi::PtInRegion(region, 0, 28));
    EXPECT_TRUE(gdi::PtInRegion(region, 0, 0));
    EXPECT_FALSE(gdi::PtInRegion(region, 98, 1));

    c.b.ButtonStyle(3);
    region = c.b.window_region();
    EXPECT_FALSE(gdi::PtInRegion(region, 1, 28));
    EXPECT_TRUE(gdi::PtInRegion(region, 99, 0));

    // The corner cuts of the face styles play no part in segments.
    c.b.ButtonType(1);
    EXPECT_TRUE(gdi::PtInRegion(c.b.window_region(), 99, 0));
}

TEST_F(Drawing, RectangularOutlinesCutTheCornersOfTheirFace)
{
    Canvas100x30 c;
    auto inside = [&](int x, int y) { return bool(gdi::PtInRegion(c.b.window_region(), x, y)); };
    const std::vector<std::pair<int, int>> corners {{0, 0}, {99, 0}, {0, 29}, {99, 29}};

    for (int type : {2, 5, 6, 7}) {
        c.b.ButtonType(type);
        for (auto [x, y] : corners)
            EXPECT_TRUE(inside(x, y)) << type;
    }
    c.b.ButtonType(1);
    for (auto [x, y] : corners)
        EXPECT_FALSE(inside(x, y));
    EXPECT_TRUE(inside(1, 0));
    EXPECT_TRUE(inside(0, 1));

    c.b.ButtonType(4);
    EXPECT_TRUE(inside(0, 0));
    EXPECT_FALSE(inside(0, 29));
    EXPECT_FALSE(inside(99, 0));
    EXPECT_TRUE(inside(99, 29));

    for (int type : {3, 8}) {
        c.b.ButtonType(type);
        for (auto [x, y] : std::vector<std::pair<int, int>> {
                 {0, 0}, {1, 0}, {0, 1}, {98, 0}, {99, 1}, {0, 28}, {1, 29}, {99, 28}, {98, 29}})
            EXPECT_FALSE(inside(x, y)) << type << " " << x << "," << y;
        EXPECT_TRUE(inside(1, 1));
        EXPECT_TRUE(inside(2, 0));
        EXPECT_TRUE(inside(0, 2));
        EXPECT_TRUE(inside(97, 29));
    }
}

TEST_F(Drawing, ResizingBeforeTheFirstShowDoesNothing)
{
    ButtonHost h;
    auto& b = h.add("Cmd", 10, 10, 100, 30);
    b.Move(0, 0, 80 * 15, 20 * 15);
    EXPECT_FALSE(b.window_region());
    EXPECT_FALSE(QuillButtonTestAccess(b).paint_ready());
}

TEST_F(Drawing, EveryResizeHandsANewOutlineToTheWindow)
{
    Canvas100x30 c(false);
    size_t live = gdi::live_object_count();
    gdi::HRGN first = c.b.window_region();
    c.b.Move(150, 150, 120 * 15, 40 * 15);
    gdi::HRGN second = c.b.window_region();
    EXPECT_NE(first, second);
    // The window let its old region go; the new one is alive and owned by the window.
    EXPECT_EQ(gdi::GetObjectType(first), 0u);
    EXPECT_EQ(gdi::GetObjectType(second), gdi::OBJ_REGION);
    EXPECT_TRUE(gdi::PtInRegion(second, 119, 39));
    for (int i = 0; i < 50; ++i)
        c.b.Move(150, 150, float((60 + i) * 15), 40 * 15);
    EXPECT_EQ(gdi::live_object_count(), live);
}

// [SECTION] Colours

TEST_F(Drawing, ShiftColorInBothModes)
{
    std::string text;
    EXPECT_EQ(QuillButtonTestAccess::shift(0xC0C0C0, 48, false, &text), 0xF0F0F0u);
    EXPECT_EQ(text, "240240240");
    EXPECT_EQ(QuillButtonTestAccess::shift(0xC0C0C0, 48, true), 0xF0F0F0u);
    EXPECT_EQ(QuillButtonTestAccess::shift(0x808080, 48, false), 0xB0B0B0u);
    EXPECT_EQ(QuillButtonTestAccess::shift(0x808080, 48, true), 0xA0B0B0u);
    EXPECT_EQ(QuillButtonTestAccess::shift(0xFFFFFF, 48, false, &text), 0xFFFFFFu);
    EXPECT_EQ(text, "255255255");
    EXPECT_EQ(QuillButtonTestAccess::shift(0, -24, false, &text), 0u);
    EXPECT_EQ(text, "000000000");
    EXPECT_EQ(QuillButtonTestAccess::shift(0x123456, -192, false), 0u);
    // Proportional blue truncates toward zero: 100 - 100 * 24 / 192 = 87.5 -> 88.
    EXPECT_EQ(QuillButtonTestAccess::shift(0x640000, -24, true), 0x580000u);
}

TEST_F(Drawing, TranslateSystemColor)
{
    EXPECT_EQ(QuillButtonTestAccess::translate(0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(QuillButtonTestAccess::translate(0x00123456), 0x00123456u);
    EXPECT_EQ(QuillButtonTestAccess::translate(0x8000000F), gdi::GetSysColor(gdi::COLOR_BTNFACE));
    EXPECT_EQ(QuillButtonTestAccess::translate(0x80000014), gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT));
}

TEST_F(Drawing, CustomSchemeShadesClampAtBlack)
{
    Canvas100x30 c;
    c.b.BackColor(0x404040);
    EXPECT_EQ(c.access.face(), 0x404040u);
    EXPECT_EQ(c.access.shadow(), 0u);
    EXPECT_EQ(c.access.light(), 0x5F5F5Fu);
    EXPECT_EQ(c.access.highlight(), 0x6F6F6Fu);
    EXPECT_EQ(c.access.dark_shadow(), 0u);
}

TEST_F(Drawing, ContainerSchemeFollowsTheWindowsSurface)
{
    Canvas100x30 c;
    c.h.form->BackColor(0xFFFFFF);
    c.h.form->ForeColor(0x000080);
    c.b.ColorScheme(4);
    EXPECT_EQ(c.access.face(), 0xFFFFFFu);
    EXPECT_EQ(c.access.light(), 0xFFFFFFu);
    EXPECT_EQ(c.access.highlight(), 0xFFFFFFu);
    EXPECT_EQ(c.access.shadow(), 0xBFBFBFu);
    EXPECT_EQ(c.access.dark_shadow(), 0x3F3F3Fu);
    EXPECT_EQ(c.access.hover_text(), 0x000080u);
    EXPECT_EQ(c.b.BackColor(), 0xFFFFFFu);
    // The container's colour changes reach the palette.
    c.h.form->BackColor(0x808080);
    EXPECT_EQ(c.access.face(), 0x808080u);
}

TEST_F(Drawing, SchemeSwitchesResetOrKeepTheCustomColours)
{
    Canvas100x30 c;
    c.b.BackColor(0x102030);
    c.b.MouseOver(0x00FF00);
    EXPECT_EQ(c.b.ColorScheme(), 2);
    c.b.ColorScheme(1);
    EXPECT_EQ(c.b.BackColor(), gdi::GetSysColor(gdi::COLOR_BTNFACE));
    EXPECT_EQ(c.b.ForeColor(), gdi::GetSysColor(gdi::COLOR_BTNTEXT));
    EXPECT_EQ(c.b.MouseOver(), gdi::GetSysColor(gdi::COLOR_BTNTEXT));
    EXPECT_EQ(c.b.EmbossEngraveMid(), 0xC0C0C0u);
    EXPECT_EQ(c.access.light(), gdi::GetSysColor(gdi::COLOR_3DLIGHT));

    c.b.ColorScheme(3);
    EXPECT_EQ(c.access.light(), 0xDFDFDFu);
    EXPECT_EQ(c.access.shadow(), 0x808080u);
    c.b.EmbossEngraveMid(0x123456);
    // Back to custom: the colours stay what they were.
    EXPECT_EQ(c.b.ColorScheme(), 2);
    EXPECT_EQ(c.b.BackColor(), 0xC0C0C0u);
    EXPECT_EQ(c.b.EmbossEngraveMid(), 0x123456u);
    c.b.ColorScheme(5);
    EXPECT_EQ(c.b.BackColor(), 0xC0C0C0u);
    EXPECT_EQ(c.access.face(), 0xC0C0C0u);
}

TEST_F(Drawing, PlatformProbe)
{
    Canvas100x30 c;
    auto platform = [](gdi::DWORD id, gdi::DWORD major, gdi::DWORD minor) {
        gdi::OSVERSIONINFOA info {};
        info.dwOSVersionInfoSize = sizeof(info);
        info.dwPlatformId = id;
        info.dwMajorVersion = major;
        info.dwMinorVersion = minor;
        gdi::set_version_info(info);
    };
    struct Case {
        gdi::DWORD id, major, minor;
        int16_t mode, gradient;
    };
    for (auto k : std::vector<Case> {{1, 4, 0, 0, -1}, {1, 4, 10, 0, 0}, {1, 4, 90, 0, 0}, {2, 3, 51, 2, -1},
             {2, 4, 0, 1, -1}, {2, 5, 0, 0, 0}, {2, 5, 1, 0, 0}, {2, 6, 1, 0, 0}, {2, 10, 0, 0, 0},
             {2, 4, 1, 0, 0}}) {
        platform(k.id, k.major, k.minor);
        EXPECT_EQ(c.access.probe(false), k.mode) << k.id << "." << k.major << "." << k.minor;
        EXPECT_EQ(c.access.probe(true), k.gradient) << k.id << "." << k.major << "." << k.minor;
    }
}

// [SECTION] Primitives

TEST_F(Drawing, LineLeavesOutItsEndPoint)
{
    Canvas100x30 c;
    c.access.line(0, 5, 10, 5, Ink1);
    EXPECT_EQ(cells_in(c.b, Ink1),
        (std::vector<std::string> {"0,5", "1,5", "2,5", "3,5", "4,5", "5,5", "6,5", "7,5", "8,5", "9,5"}));
}

TEST_F(Drawing, BevelWithInsetOne)
{
    Canvas100x30 c;
    c.access.bevel(Ink1, Ink2, Ink3, Ink4, 1, false);
    auto expect_run = [&](gdi::Color colour, int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                EXPECT_EQ(pixel(c.b, x, y), colour) << x << "," << y;
    };
    // Outer ring: c1 left and top, c2 right and bottom (over c1's pixel at (1, 29)); then the
    // inner ring: c3 left and top (over c2's pixel at (2, 29)), c4 right and bottom.
    expect_run(Ink1, 1, 2, 1, 28);
    expect_run(Ink1, 1, 1, 98, 1);
    expect_run(Ink2, 99, 1, 99, 28);
    expect_run(Ink2, 1, 29, 1, 29);
    expect_run(Ink2, 3, 29, 99, 29);
    expect_run(Ink3, 2, 3, 2, 27);
    expect_run(Ink3, 2, 29, 2, 29);
    expect_run(Ink3, 2, 2, 97, 2);
    expect_run(Ink4, 98, 2, 98, 27);
    expect_run(Ink4, 2, 28, 98, 28);
    EXPECT_EQ(cells_in(c.b, Ink1).size(), 27u + 98u);
    EXPECT_EQ(cells_in(c.b, Ink2).size(), 28u + 98u);
    EXPECT_EQ(cells_in(c.b, Ink3).size(), 26u + 96u);
    EXPECT_EQ(cells_in(c.b, Ink4).size(), 26u + 97u);
    EXPECT_EQ(pixel(c.b, 0, 0), Paper);
    EXPECT_EQ(pixel(c.b, 50, 15), Paper);

    // Only the outer ring.
    c.blank();
    c.access.bevel(Ink1, Ink2, Ink3, Ink4, 0, true);
    EXPECT_TRUE(cells_in(c.b, Ink3).empty());
    EXPECT_EQ(pixel(c.b, 0, 0), Ink1);
    EXPECT_EQ(pixel(c.b, 99, 29), Ink2);
}

TEST_F(Drawing, BevelFollowsTheSegmentSlants)
{
    Canvas100x30 c;
    c.b.ButtonStyle(2);
    c.blank();
    c.access.bevel(Ink1, Ink2, Ink3, Ink4, 0, true);
    // c1 runs up the slanted left end to the top-left corner, then along the top to (81, 0);
    // c2 runs down the slanted right end and back along the bottom to (17, 29).
    EXPECT_EQ(pixel(c.b, 17, 28), Ink1);
    EXPECT_EQ(pixel(c.b, 0, 0), Ink1);
    EXPECT_EQ(pixel(c.b, 80, 0), Ink1);
    EXPECT_EQ(pixel(c.b, 81, 0), Ink2);
    EXPECT_EQ(pixel(c.b, 99, 29), Ink2);
    EXPECT_EQ(pixel(c.b, 18, 29), Ink2);
    EXPECT_EQ(pixel(c.b, 17, 29), Paper);
    EXPECT_EQ(pixel(c.b, 99, 0), Paper);
    EXPECT_EQ(pixel(c.b, 5, 28), Paper);
}

TEST_F(Drawing, FillAndOutline)
{
    Canvas100x30 c;
    c.access.fill_or_outline(10, 5, 20, 8, Ink1, false);
    EXPECT_EQ(cells_in(c.b, Ink1).size(), 30u);
    EXPECT_EQ(pixel(c.b, 19, 7), Ink1);
    EXPECT_EQ(pixel(c.b, 20, 7), Paper);

    c.blank();
    c.access.fill_or_outline(0, 0, 100, 30, Ink2, true);
    EXPECT_EQ(cells_in(c.b, Ink2).size(), size_t(2 * 100 + 2 * 28));
    EXPECT_EQ(pixel(c.b, 99, 29), Ink2);
    EXPECT_EQ(pixel(c.b, 1, 1), Paper);

    // A segment outline: the polygon (0, 0), (82, 0), (100, 29), (18, 29), inside untouched.
    c.b.ButtonStyle(2);
    c.blank();
    c.access.fill_or_outline(0, 0, 100, 30, Ink3, true);
    EXPECT_EQ(pixel(c.b, 0, 0), Ink3);
    EXPECT_EQ(pixel(c.b, 82, 0), Ink3);
    EXPECT_EQ(pixel(c.b, 18, 29), Ink3);
    EXPECT_EQ(pixel(c.b, 50, 29), Ink3);
    EXPECT_EQ(pixel(c.b, 85, 1), Paper);
    EXPECT_EQ(pixel(c.b, 50, 15), Paper);
    EXPECT_EQ(pixel(c.b, 99, 0), Paper);

    // A style only a damaged store can give outlines the rectangle.
    c.access.set_style_raw(7);
    c.blank();
    c.access.fill_or_outline(0, 0, 100, 30, Ink4, true);
    EXPECT_EQ(cells_in(c.b, Ink4).size(), size_t(2 * 100 + 2 * 28));
}

TEST_F(Drawing, FocusIndicator)
{
    Canvas100x30 c;
    c.b.ForeColor(0x0000AA);
    c.b.canvas().ForeColor(0x123456);
    c.b.ShowFocus(false);
    c.blank();
    c.access.focus_indicator();
    EXPECT_EQ(cells_in(c.b, Paper).size(), 3000u);
    EXPECT_EQ(c.b.canvas().ForeColor(), 0x123456u);

    c.b.ShowFocus(true);
    c.access.focus_indicator();
    // Dots on the border of (4, 4, 96, 26) and nowhere else.
    auto dots = cells_in(c.b, 0);
    EXPECT_GT(dots.size(), 100u);
    for (auto& cell : dots) {
        int x = std::stoi(cell), y = std::stoi(cell.substr(cell.find(',') + 1));
        EXPECT_TRUE((x == 4 || x == 95 || y == 4 || y == 25) && x >= 4 && x <= 95 && y >= 4 && y <= 25)
            << cell;
    }
    EXPECT_EQ(c.b.canvas().ForeColor(), 0x0000AAu);
    // Drawn twice it is gone.
    c.access.focus_indicator();
    EXPECT_EQ(cells_in(c.b, Paper).size(), 3000u);
}

TEST_F(Drawing, GradientRunsFromStartToStop)
{
    Canvas100x30 c;
    c.b.GradientStartColor(0x0000FF);
    c.b.GradientStopColor(0xFF0000);
    auto near = [](gdi::Color a, gdi::Color b) {
        return std::abs(int(a & 0xFF) - int(b & 0xFF)) <= 12 && std::abs(int(a >> 16) - int(b >> 16)) <= 12;
    };
    c.b.GradientOrientation(0);
    c.access.gradient();
    EXPECT_TRUE(near(pixel(c.b, 0, 15), 0x0000FF));
    EXPECT_TRUE(near(pixel(c.b, 99, 15), 0xFF0000));
    c.b.GradientOrientation(2);
    c.access.gradient();
    EXPECT_TRUE(near(pixel(c.b, 0, 15), 0xFF0000));
    EXPECT_TRUE(near(pixel(c.b, 99, 15), 0x0000FF));
    c.b.GradientOrientation(1);
    c.access.gradient();
    EXPECT_TRUE(near(pixel(c.b, 50, 0), 0x0000FF));
    EXPECT_TRUE(near(pixel(c.b, 50, 29), 0xFF0000));
    c.b.GradientOrientation(3);
    c.access.gradient();
    EXPECT_TRUE(near(pixel(c.b, 50, 0), 0xFF0000));
    EXPECT_TRUE(near(pixel(c.b, 50, 29), 0x0000FF));
    // An orientation only the store can hold still paints, horizontally.
    c.b.GradientOrientation(9);
    c.access.gradient();
    EXPECT_TRUE(near(pixel(c.b, 0, 15), 0xFF0000));
}

TEST_F(Drawing, AThousandRepaintsLeaveNoDrawingObjectAlive)
{
    Canvas100x30 c(false);
    c.b.RefreshButton();
    size_t live = gdi::live_object_count();
    QuillButtonTestAccess access(c.b);
    for (int i = 0; i < 1000; ++i) {
        access.set_state(i % 5 == 1 ? 0 : i % 5);
        c.b.RefreshButton();
        access.bevel(Ink1, Ink2, Ink3, Ink4, 1, false);
        access.fill_or_outline(0, 0, 100, 30, Ink1, i % 2 == 0);
        access.focus_indicator();
        access.gradient();
    }
    EXPECT_EQ(gdi::live_object_count(), live);
}

} // namespace
