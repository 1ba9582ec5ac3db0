// The paint pipeline and the faces: exact pixels of the XP and Macintosh looks, the selected
// option encoding, the snapshot pass, tiny faces, and drawing objects after many paints.

#include "QuillButtonTestSupport.h"
#include "controls/button/PaintSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sorrel;
using namespace sorrel::controls;
using namespace sorrel::controls::testing_support;

namespace {

constexpr gdi::Color Grey = 0xC0C0C0;

gdi::Color P(gdi::Color c, int n)
{
    return QuillButtonTestAccess::shift(c, n, true);
}
gdi::Color A(gdi::Color c, int n)
{
    return QuillButtonTestAccess::shift(c, n, false);
}

// A button on a shown form, with the fixed grey scheme, and a second control that holds the
// focus so that the button paints without its focus look.
QuillButton& grey_button(ButtonHost& bh, int type, int w, int h, std::string caption = "")
{
    auto& other = bh.add("Other", 300, 250, 40, 20);
    auto& b = bh.add("Cmd", 10, 10, w, h);
    bh.show();
    other.SetFocus();
    b.ButtonType(type);
    b.ColorScheme(3);
    b.Caption(std::move(caption));
    return b;
}

class ButtonPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        gdi::reset_sys_colors();
        gdi::reset_version_info();
    }

    void paint(QuillButton& b, int32_t state)
    {
        QuillButtonTestAccess(b).set_state(state);
        b.RefreshButton();
    }
    static gdi::Color at(QuillButton& b, int x, int y)
    {
        return gdi::without_alpha(b.canvas().pixels().pixel(x, y));
    }

    ButtonHost bh {true};
};

} // namespace

TEST_F(ButtonPaint, XPRowsShadeByRoundedSteps)
{
    // Types can be set at design time only; the form then runs.
    auto& b = grey_button(bh, 3, 60, 20);
    bh.form->set_design_mode(false);
    paint(b, 0);
    const gdi::Color B = P(Grey, 48);
    EXPECT_EQ(B, 0xF0F0F0u);
    // Step 1.25: row 6 is shaded by 8 and row 10 by 12 (7.5 and 12.5, halves to even).
    EXPECT_EQ(at(b, 30, 6), P(B, -8));
    EXPECT_EQ(at(b, 30, 10), P(B, -12));
    for (int row = 4; row <= 15; ++row)
        EXPECT_EQ(at(b, 30, row), P(B, -int(std::nearbyint(1.25f * row)))) << "row " << row;
    // The navy outline with its pixel-rounded corners.
    EXPECT_EQ(at(b, 30, 0), 0x733C00u);
    EXPECT_EQ(at(b, 1, 1), 0x7B4D10u);
}

TEST_F(ButtonPaint, XPPressedReversesTheRowsAndDrawsItsBevelInOrder)
{
    auto& b = grey_button(bh, 3, 60, 20);
    bh.form->set_design_mode(false);
    paint(b, 2);
    const gdi::Color B = P(P(Grey, 48), -32);
    // Darkest at the top: row r is shaded by round(1.25 x (20 - r)).
    EXPECT_EQ(at(b, 30, 4), P(B, -20));
    EXPECT_EQ(at(b, 30, 15), P(B, -6));
    // Later lines win where they cross: the left edge over the top rows.
    EXPECT_EQ(at(b, 1, 2), P(B, -32));
    EXPECT_EQ(at(b, 2, 2), P(B, -22));
    EXPECT_EQ(at(b, 1, 17), P(B, -32));
    EXPECT_EQ(at(b, 30, 17), P(B, 10));
    EXPECT_EQ(at(b, 57, 10), B);
    EXPECT_EQ(at(b, 57, 17), P(B, 10));
    EXPECT_EQ(at(b, 58, 18), 0x7B4D10u);
    EXPECT_EQ(at(b, 30, 19), 0x733C00u);
}

TEST_F(ButtonPaint, XPDisabledGreyFill)
{
    auto& b = grey_button(bh, 3, 60, 20);
    bh.form->set_design_mode(false);
    b.Enabled(false);
    paint(b, 0);
    EXPECT_EQ(at(b, 30, 10), 0xD2D8D8u);
    EXPECT_EQ(at(b, 30, 0), P(P(Grey, 48), -84));
    EXPECT_EQ(at(b, 1, 1), P(P(Grey, 48), -72));
}

TEST_F(ButtonPaint, MacPressedKeepsItsDetailsOnTheLastInnerColumnAndRow)
{
    auto& b = grey_button(bh, 8, 40, 24);
    bh.form->set_design_mode(false);
    paint(b, 2);
    QuillButtonTestAccess t(b);
    const int W = 40, H = 24;
    const gdi::Color fill = A(t.colours().shadow, -16);
    EXPECT_EQ(at(b, 20, 12), fill);
    // Column W - 2.
    EXPECT_EQ(at(b, W - 2, 1), t.colours().dark_shadow);
    EXPECT_EQ(at(b, W - 2, 2), A(t.colours().shadow, -32));
    for (int y = 3; y <= H - 3; ++y)
        EXPECT_EQ(at(b, W - 2, y), A(t.colours().shadow, -16)) << "y " << y;
    EXPECT_EQ(at(b, W - 2, H - 2), t.colours().dark_shadow);
    // Row H - 2: corner pixels at both ends, the face in between.
    EXPECT_EQ(at(b, 1, H - 2), t.colours().dark_shadow);
    EXPECT_EQ(at(b, 2, H - 2), A(t.colours().shadow, -32));
    EXPECT_EQ(at(b, 20, H - 2), t.colours().face);
    EXPECT_EQ(at(b, W - 3, H - 2), A(t.colours().shadow, -32));
    EXPECT_EQ(at(b, 0, 0), t.colours().dark_shadow);
}

TEST_F(ButtonPaint, MacSetOptionButtonIsDrawnPressedWithALightCaption)
{
    auto& b = grey_button(bh, 8, 80, 30, "WWW");
    bh.form->set_design_mode(false);
    b.OptionButton(true);
    b.Value(true);
    paint(b, 4);
    QuillButtonTestAccess t(b);
    EXPECT_EQ(t.state(), 2);
    // The caption is light on the dark pressed fill: inside the face nothing is darker than the
    // fill, and the text's pixels are lighter.
    const gdi::Color fill = A(t.colours().shadow, -16);
    int lighter = 0, darker = 0;
    for (int y = 3; y < 27; ++y)
        for (int x = 3; x < 77; ++x) {
            lighter += gdi::green_of(at(b, x, y)) > gdi::green_of(fill);
            darker += gdi::green_of(at(b, x, y)) < gdi::green_of(fill);
        }
    EXPECT_GT(lighter, 10);
    EXPECT_EQ(darker, 0);
}

TEST_F(ButtonPaint, SelectedOptionButtonsPaintTheirSelectedLookAndKeepTheirState)
{
    for (int type = 1; type <= 7; ++type) {
        ButtonHost h(true);
        auto& b = h.add("Opt", 10, 10, 80, 30);
        h.show();
        b.ButtonType(type);
        b.ColorScheme(3);
        b.Caption("");
        h.form->set_design_mode(false);
        b.OptionButton(true);
        b.Value(true);
        for (int state : {0, 2, 3, 4}) {
            QuillButtonTestAccess(b).set_state(state);
            b.RefreshButton();
            EXPECT_EQ(QuillButtonTestAccess(b).state(), state) << "type " << type;
        }
        // Types other than the XP face fill with the light colour (the soft face lightens it).
        if (type != 3) {
            gdi::Color expected = type == 4 ? A(0xDFDFDF, 2) : gdi::Color(0xDFDFDF);
            EXPECT_EQ(gdi::without_alpha(b.canvas().pixels().pixel(3, 15)), expected) << "type " << type;
        }
    }
}

TEST_F(ButtonPaint, DesignTimePaintsEndInTheUpState)
{
    auto& b = grey_button(bh, 2, 80, 30);
    paint(b, 4);
    EXPECT_EQ(QuillButtonTestAccess(b).state(), 0);
    bh.form->set_design_mode(false);
    paint(b, 4);
    EXPECT_EQ(QuillButtonTestAccess(b).state(), 4);
}

TEST_F(ButtonPaint, FlatButtonShowsItsContainerWhileIdle)
{
    auto& b = grey_button(bh, 7, 80, 30);
    b.BackColor(0x336699);
    bh.form->BackColor(0x00AA00);
    bh.form->set_design_mode(false);
    paint(b, 0);
    EXPECT_EQ(at(b, 40, 15), 0x00AA00u);
    EXPECT_EQ(at(b, 0, 0), 0x00AA00u); // no ring while idle
    paint(b, 4);
    EXPECT_EQ(at(b, 40, 15), 0x336699u);
    EXPECT_NE(at(b, 0, 0), 0x336699u);
}

TEST_F(ButtonPaint, SnapshotPassDrawsNoCaption)
{
    for (int type = 1; type <= 8; ++type) {
        ButtonHost h(true);
        auto& b = h.add("Cmd", 10, 10, 80, 30);
        h.show();
        b.ButtonType(type);
        b.ColorScheme(3);
        b.Caption("WWWW");
        h.form->set_design_mode(false);
        // The icon setter runs PrepareIcon, whose snapshot pass leaves the caption out; the
        // snapshot members come back afterwards.
        gdi::Surface pixels(8, 8, 0xFF0000FF);
        QuillButtonTestAccess(b).set_state(3);
        b.Icon(host::StdPicture::from_surface(pixels, host::PictureType::Bitmap));
        EXPECT_TRUE(b.Enabled());
        EXPECT_EQ(QuillButtonTestAccess(b).state(), 3) << "type " << type;
    }
}

TEST_F(ButtonPaint, TinyFacesDoNotFault)
{
    for (int type = 1; type <= 9; ++type)
        for (int h : {0, 1, 2}) {
            ButtonHost small(true);
            auto& b = small.add("Cmd", 10, 10, 30, 30);
            small.show();
            b.ButtonType(type == 9 ? 6 : type);
            if (type == 9)
                QuillButtonTestAccess(b).set_type_raw(99);
            b.Caption("Tiny && &Caption");
            b.Move(150, 150, 30 * 15, float(h * 15));
            for (int state : {0, 2, 3, 4}) {
                QuillButtonTestAccess(b).set_state(state);
                b.RefreshButton();
            }
            b.Enabled(false);
            b.RefreshButton();
        }
}

// [SECTION] Mended looks

namespace {

// A disabled button with the fixed grey scheme and no caption, with or without a picture, on a
// run-time form; a set option button when `option_set`.
gdi::Surface disabled_face(int type, int w, int h, bool option_set, const host::PictureRef& icon)
{
    ButtonHost bh(true);
    auto& b = grey_button(bh, type, w, h);
    bh.form->set_design_mode(false);
    b.OptionButton(option_set);
    b.Value(option_set);
    b.Enabled(false);
    if (icon)
        b.Icon(icon);
    b.RefreshButton();
    return b.canvas().pixels();
}

host::PictureRef bitmap(int side, gdi::Color colour)
{
    return host::StdPicture::from_surface(
        gdi::Surface(side, side, gdi::with_alpha(colour, 0xFF)), host::PictureType::Bitmap);
}

int differing_pixels(const gdi::Surface& a, const gdi::Surface& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += gdi::without_alpha(a.pixel(x, y)) != gdi::without_alpha(b.pixel(x, y));
    return count;
}

} // namespace

// A blank picture greys to nothing: the disabled face shows no trace of it, on a face lower than
// the picture (no cut-off, no bevel shadow lifted into the icon's last row) and on a set
// Macintosh option button (no light square on the dark pressed fill).
TEST_F(ButtonPaint, BlankGreyedIconLeavesTheDisabledFaceAsItIs)
{
    const host::PictureRef blank = bitmap(32, 0xFFFFFF);
    EXPECT_EQ(
        differing_pixels(disabled_face(2, 60, 20, false, blank), disabled_face(2, 60, 20, false, nullptr)),
        0);
    EXPECT_EQ(
        differing_pixels(disabled_face(8, 80, 30, true, blank), disabled_face(8, 80, 30, true, nullptr)), 0);
}

// The greyed copy of a picture taller than the face keeps its bottom edge.
TEST_F(ButtonPaint, GreyedIconOfAPictureTallerThanTheFaceIsWhole)
{
    gdi::Surface framed(32, 32, gdi::with_alpha(0xFFFFFF, 0xFF));
    for (int i = 0; i < 32; ++i)
        for (int t = 0; t < 2; ++t) {
            framed.set_pixel(i, t, gdi::with_alpha(0, 0xFF));
            framed.set_pixel(i, 31 - t, gdi::with_alpha(0, 0xFF));
        }
    ButtonHost bh(true);
    auto& b = bh.add("Cmd", 10, 10, 60, 20);
    bh.show();
    b.ColorScheme(3);
    b.Caption("");
    bh.form->set_design_mode(false);
    b.Enabled(false);
    b.Icon(host::StdPicture::from_surface(framed, host::PictureType::Bitmap));
    const gdi::Surface& copy = QuillButtonTestAccess(b).icon_box().canvas().pixels();
    ASSERT_EQ(copy.height(), 16);
    for (int x = 2; x < 14; ++x) {
        EXPECT_EQ(gdi::without_alpha(copy.pixel(x, 0)), gdi::GetSysColor(gdi::COLOR_3DSHADOW)) << x;
        EXPECT_EQ(gdi::without_alpha(copy.pixel(x, 15)), gdi::GetSysColor(gdi::COLOR_3DSHADOW)) << x;
    }
}

// A set option button on the gradient scheme draws its caption in the start colour only where
// that reads on the light fill of its selected look.
TEST_F(ButtonPaint, SetGradientOptionButtonCaptionReadsOnItsFill)
{
    for (gdi::Color start : {gdi::Color(0xE0E0E0), gdi::Color(0x800000)}) {
        ButtonHost h(true);
        auto& b = h.add("Opt", 10, 10, 80, 30);
        h.show();
        b.BackColor(0xC0C0C0);
        b.GradientStartColor(start);
        b.Caption("WWW");
        h.form->set_design_mode(false);
        b.OptionButton(true);
        b.Value(true);
        b.RefreshButton();
        const gdi::Color fill = QuillButtonTestAccess(b).colours().light;
        gdi::Color darkest = fill;
        for (int y = 3; y < 27; ++y)
            for (int x = 3; x < 77; ++x) {
                const gdi::Color c = at(b, x, y);
                if (gdi::green_of(c) < gdi::green_of(darkest))
                    darkest = c;
            }
        EXPECT_GE(contrast_ratio(darkest, fill), 4.5) << std::hex << start;
        // Navy reads, and stays: the text is blue.
        EXPECT_EQ(gdi::blue_of(darkest) > gdi::red_of(darkest) + 64, start == 0x800000)
            << std::hex << start << " " << darkest;
    }
}

namespace {

// A focused bevel button with a slanted end (its focus rectangle surrounds the caption) in
// `state`, painted with or without its focus rectangle.
gdi::Surface slanted_focused_face(bool show_focus, int32_t state, const char* caption = "Scan")
{
    ButtonHost bh(true);
    auto& b = grey_button(bh, 2, 100, 30, caption);
    b.ButtonStyle(1);
    b.ShowFocus(show_focus);
    bh.form->set_design_mode(false);
    b.SetFocus();
    QuillButtonTestAccess(b).set_state(state);
    b.RefreshButton();
    return b.canvas().pixels();
}

// The smallest rectangle around the pixels where `a` and `b` differ.
gdi::Rect difference_bounds(const gdi::Surface& a, const gdi::Surface& b)
{
    gdi::Rect r {a.width(), a.height(), 0, 0};
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (gdi::without_alpha(a.pixel(x, y)) != gdi::without_alpha(b.pixel(x, y)))
                r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                    std::max(r.bottom, y + 1)};
    return r;
}

} // namespace

// Pressed, the caption moves one pixel right and down; its focus rectangle moves with it, the
// same size, so that it never runs through the text.
TEST_F(ButtonPaint, FocusRectangleMovesWithAPressedCaption)
{
    const gdi::Rect up = difference_bounds(slanted_focused_face(true, 3), slanted_focused_face(false, 3));
    const gdi::Rect pressed
        = difference_bounds(slanted_focused_face(true, 2), slanted_focused_face(false, 2));
    ASSERT_FALSE(up.is_empty());
    EXPECT_EQ(pressed.left, up.left + 1);
    EXPECT_EQ(pressed.top, up.top + 1);
    EXPECT_EQ(pressed.width(), up.width());
    EXPECT_EQ(pressed.height(), up.height());
    // The pressed caption's ink lies inside the rectangle, clear of its dotted edges.
    const gdi::Rect ink
        = difference_bounds(slanted_focused_face(false, 2, "Scan"), slanted_focused_face(false, 2, ""));
    ASSERT_FALSE(ink.is_empty());
    EXPECT_GT(ink.left, pressed.left);
    EXPECT_GT(ink.top, pressed.top);
    EXPECT_LT(ink.right, pressed.right);
    EXPECT_LT(ink.bottom, pressed.bottom);
}

// A stored outline outside the setter's four is the rectangle everywhere, saved back as such.
TEST_F(ButtonPaint, StoredButtonStyleOutsideTheFourLoadsAsTheRectangle)
{
    for (int32_t stored : {-1, 4, 7}) {
        host::PropertyBag bag;
        bag.add("BSTYLE", host::Variant(stored));
        bag.add("BTYPE", host::Variant(int32_t(3)));
        ButtonHost h(false);
        auto& b = h.add("Cmd", 10, 10, 80, 30, nullptr, -1, &bag);
        h.show();
        EXPECT_EQ(b.ButtonStyle(), 0) << stored;
        host::PropertyBag saved;
        b.UserControl_WriteProperties(saved);
        EXPECT_EQ(saved.ReadProperty("BSTYLE").to_long(), 0) << stored;
    }
}

// A paint leaves at most its last pen and the caption font selected; nothing piles up, and
// both go with the button.
TEST_F(ButtonPaint, AThousandPaintsLeaveNoDrawingObjectAlive)
{
    for (int type = 1; type <= 8; ++type) {
        const size_t at_start = gdi::live_object_count();
        {
            ButtonHost h(true);
            auto& b = h.add("Cmd", 10, 10, 120, 32);
            h.show();
            b.ButtonType(type);
            b.Caption("Begin &Scan");
            if (type == 5)
                b.CaptionOrientation(1);
            b.RefreshButton();
            const size_t before = gdi::live_object_count();
            for (int i = 0; i < 1000; ++i) {
                QuillButtonTestAccess(b).set_state(i % 5 == 1 ? 0 : i % 5);
                b.RefreshButton();
            }
            EXPECT_EQ(gdi::live_object_count(), before) << "type " << type;
        }
        EXPECT_EQ(gdi::live_object_count(), at_start) << "type " << type;
    }
}
