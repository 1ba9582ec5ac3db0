// The caption as drawn: its font (face name, height, flags, rotation, the one kept font), the
// drawing passes and their colours, the pressed offset, and icons with their greyed copies.

#include "QuillButtonTestSupport.h"
#include "platform/gdi/text/FontObject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace sorrel;
using namespace sorrel::controls;
using namespace sorrel::controls::testing_support;

namespace {

gdi::Color shifted(gdi::Color c, int n)
{
    return QuillButtonTestAccess::shift(c, n, false);
}

class ButtonCaption : public ::testing::Test {
protected:
    void SetUp() override
    {
        gdi::reset_sys_colors();
        gdi::reset_version_info();
    }

    // A shown button at design time (every setting takes), with a bystander that holds the focus.
    QuillButton& make(int type, int w, int h, std::string caption)
    {
        auto& other = bh.add("Other", 300, 250, 40, 20);
        auto& b = bh.add("Cmd", 10, 10, w, h);
        bh.show();
        other.SetFocus();
        b.ButtonType(type);
        b.Caption(std::move(caption));
        return b;
    }
    static gdi::LOGFONTA kept_font(QuillButton& b)
    {
        auto* font = gdi::object_cast<gdi::FontObject>(gdi::GetCurrentObject(b.hDC(), gdi::OBJ_FONT));
        return font ? font->description() : gdi::LOGFONTA {};
    }
    static std::set<gdi::Color> colours(QuillButton& b, gdi::Rect area)
    {
        std::set<gdi::Color> out;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                out.insert(gdi::without_alpha(b.canvas().pixels().pixel(x, y)));
        return out;
    }
    // The bounding box of pixels that differ from `background` inside `area`.
    static gdi::Rect ink(QuillButton& b, gdi::Rect area, gdi::Color background)
    {
        gdi::Rect box {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (gdi::without_alpha(b.canvas().pixels().pixel(x, y)) != background)
                    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                        std::max(box.bottom, y + 1)};
        return box;
    }

    ButtonHost bh {true};
};

} // namespace

TEST_F(ButtonCaption, FontFaceNameHeightAndFlags)
{
    auto& b = make(2, 120, 33, "Scan");
    auto font = host::StdFont::create("Arial", 12);
    font->Bold(true);
    font->Italic(true);
    font->Underline(true);
    font->Strikethrough(true);
    b.Font(font);
    gdi::LOGFONTA lf = kept_font(b);
    EXPECT_STREQ(lf.lfFaceName, "Arial Bold Italic");
    EXPECT_EQ(lf.lfHeight, -16); // 12 points of 20 twips, 15 twips to a pixel
    EXPECT_EQ(lf.lfWeight, 0);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_EQ(lf.lfEscapement, 0);

    // 8.25 points is 11 pixels; a name too long for the field keeps its style words.
    auto long_name = host::StdFont::create("An Exceedingly Long Family Name", 8.25);
    long_name->Bold(true);
    b.Font(long_name);
    lf = kept_font(b);
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(std::strlen(lf.lfFaceName), size_t(gdi::LF_FACESIZE - 1));
    EXPECT_TRUE(std::string(lf.lfFaceName).ends_with(" Bold"));

    b.CaptionOrientation(1);
    EXPECT_EQ(kept_font(b).lfEscapement, 900);
    EXPECT_EQ(kept_font(b).lfOrientation, 0);
    b.CaptionOrientation(2);
    EXPECT_EQ(kept_font(b).lfEscapement, 2700);
}

TEST_F(ButtonCaption, AccessKeyGoesToTheHost)
{
    auto& b = make(2, 120, 33, "&Scan");
    EXPECT_EQ(b.AccessKeys(), "s");
    b.Caption("Save && &Exit");
    EXPECT_EQ(b.AccessKeys(), "e");
    b.Caption("Scan&");
    EXPECT_EQ(b.AccessKeys(), "");
    b.Caption("&Scan");
    b.Caption("Save && Exit");
    EXPECT_EQ(b.AccessKeys(), "");
}

TEST_F(ButtonCaption, OneKeptFontThatGoesWithTheButton)
{
    const size_t before = gdi::live_object_count();
    {
        ButtonHost h(true);
        auto& b = h.add("Cmd", 10, 10, 120, 33);
        h.show();
        b.Caption("&Scan");
        const size_t shown = gdi::live_object_count();
        for (int i = 0; i < 20; ++i)
            b.RefreshButton();
        b.CaptionOrientation(2);
        b.RefreshButton();
        EXPECT_EQ(gdi::live_object_count(), shown);
        h.form->unload();
    }
    EXPECT_EQ(gdi::live_object_count(), before);
}

TEST_F(ButtonCaption, VerticalCaptionWithANonTrueTypeFontWarnsAtDesignTimeOnly)
{
    auto& b = make(2, 40, 120, "Scan");
    // A Type 1 face: scalable, but not TrueType.
    b.Font(host::StdFont::create("Nimbus Sans Narrow", 8));
    gdi::TEXTMETRICA tm {};
    gdi::GetTextMetricsA(b.hDC(), &tm);
    if (tm.tmPitchAndFamily >= gdi::TMPF_TRUETYPE)
        GTEST_SKIP() << "no font here reports a pitch-and-family byte below 4";
    bh.backend->clear_boxes();
    b.CaptionOrientation(1);
    ASSERT_FALSE(bh.messages().empty());
    EXPECT_EQ(bh.messages().back().text, "Non-True Type fonts may not draw vertically");
    EXPECT_EQ(bh.messages().back().style, 64);
    bh.backend->clear_boxes();
    bh.form->set_design_mode(false);
    b.RefreshButton();
    EXPECT_TRUE(bh.messages().empty());
}

TEST_F(ButtonCaption, PressedPushButtonsMoveTheCaptionOnePixel)
{
    // How far the caption's ink moves between the up and the pressed paint.
    auto shift = [](int type, bool option) {
        ButtonHost h(true);
        auto& other = h.add("Other", 300, 250, 40, 20);
        auto& b = h.add("Cmd", 10, 10, 120, 33);
        h.show();
        other.SetFocus();
        b.ButtonType(type);
        b.Caption("Scan");
        h.form->set_design_mode(false);
        b.OptionButton(option);
        QuillButtonTestAccess t(b);
        const gdi::Rect inside {8, 8, 112, 25};
        t.set_state(0);
        b.RefreshButton();
        gdi::Rect up = ink(b, inside, t.colours().face);
        t.set_state(2);
        b.RefreshButton();
        gdi::Rect pressed = ink(b, inside, t.colours().face);
        return std::pair {pressed.left - up.left, pressed.top - up.top};
    };
    EXPECT_EQ(shift(6, false), (std::pair {1, 1}));
    EXPECT_EQ(shift(5, false), (std::pair {1, 1}));
    // The soft face never moves its caption; option buttons don't either.
    EXPECT_EQ(shift(4, false), (std::pair {0, 0}));
    EXPECT_EQ(shift(6, true), (std::pair {0, 0}));
}

TEST_F(ButtonCaption, StyledCaptionsDrawTwoOffsetPassesUnderTheText)
{
    auto& b = make(6, 120, 33, "Scan");
    b.BackColor(0x808080);
    b.ForeColor(0x000000);
    b.EmbossEngraveShadow(0xFFFFFF);
    b.EmbossEngraveMid(0x0000FF);
    b.Font(host::StdFont::create("Liberation Sans Bold", 12));
    const gdi::Rect inside {6, 4, 114, 29};
    for (int style : {1, 2, 3}) {
        b.CaptionStyle(style);
        std::set<gdi::Color> seen = colours(b, inside);
        EXPECT_TRUE(seen.count(0x000000)) << "style " << style;
        EXPECT_TRUE(seen.count(0xFFFFFF)) << "style " << style;
        EXPECT_EQ(seen.count(0x0000FF) != 0, style != 3) << "style " << style;
    }
    // The shadowed style puts the shadow below and right of the text: its ink ends one pixel
    // further right and lower.
    b.CaptionStyle(0);
    QuillButtonTestAccess t(b);
    gdi::Rect plain = ink(b, inside, t.colours().face);
    b.CaptionStyle(3);
    gdi::Rect shadowed = ink(b, inside, t.colours().face);
    EXPECT_EQ(shadowed.right, plain.right + 1);
    EXPECT_EQ(shadowed.left, plain.left - 1);
}

TEST_F(ButtonCaption, DisabledGradientCaptionIsEngravedInShadesOfTheContainer)
{
    auto& b = make(6, 120, 33, "Scan");
    b.GradientStartColor(0x000000);
    b.GradientStopColor(0x000000);
    b.Font(host::StdFont::create("Liberation Sans Bold", 12));
    bh.form->BackColor(0x606060);
    bh.form->set_design_mode(false);
    b.Enabled(false);
    std::set<gdi::Color> seen = colours(b, {6, 4, 114, 29});
    EXPECT_TRUE(seen.count(0x000000)); // the text
    EXPECT_TRUE(seen.count(shifted(0x606060, 31))); // the light pass
    EXPECT_TRUE(seen.count(shifted(0x606060, -192))); // the dark pass (0 here, clamped)

    // A set option button writes its text in the container colour lightened by 47.
    b.OptionButton(true);
    b.Value(true);
    seen = colours(b, {6, 4, 114, 29});
    EXPECT_TRUE(seen.count(shifted(0x606060, 47)));
}

TEST_F(ButtonCaption, UnderlineIsDrawnInTheTextColour)
{
    auto& b = make(6, 120, 33, "&Wide");
    b.BackColor(0x808080);
    b.ForeColor(0x0000FF);
    b.Font(host::StdFont::create("Liberation Sans", 12));
    // The underline is a run of text-coloured pixels in one row under the W.
    const auto& pixels = b.canvas().pixels();
    int longest = 0;
    for (int y = 0; y < 33; ++y) {
        int run = 0;
        for (int x = 0; x < 120; ++x) {
            run = gdi::without_alpha(pixels.pixel(x, y)) == 0x0000FF ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    EXPECT_GE(longest, 8);
}

TEST_F(ButtonCaption, IconsDrawAtTheirSizeAndGreyWhenDisabled)
{
    auto& b = make(6, 120, 40, "Scan");
    gdi::Surface red(32, 32, 0xFF0000FF);
    b.IconSize(2);
    b.Icon(host::StdPicture::from_surface(red, host::PictureType::Bitmap));
    bh.form->set_design_mode(false);
    b.RefreshButton();
    gdi::Rect box = ink(b, {2, 2, 118, 38}, QuillButtonTestAccess(b).colours().face);
    // The 32 x 32 picture is drawn at 16 x 16 (the text lies to its right).
    int red_pixels = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            red_pixels += gdi::without_alpha(b.canvas().pixels().pixel(x, y)) == 0x0000FF;
    EXPECT_EQ(red_pixels, 16 * 16);
    EXPECT_GT(box.width(), 16);

    // Disabled: the greyed copy replaces it; no red remains.
    b.Enabled(false);
    red_pixels = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            red_pixels += gdi::without_alpha(b.canvas().pixels().pixel(x, y)) == 0x0000FF;
    EXPECT_EQ(red_pixels, 0);
}

TEST_F(ButtonCaption, GreyedIconCarriesTheFaceBehindItsTransparentPixels)
{
    // An icon that is transparent but for a 4 x 4 block, on a gradient face: the disabled copy's
    // background pixels come from the gradient where the icon sits.
    auto& b = make(2, 120, 40, "");
    gdi::Surface pixels(16, 16, 0x00000000);
    for (int y = 6; y < 10; ++y)
        for (int x = 6; x < 10; ++x)
            pixels.set_pixel(x, y, 0xFF000000);
    b.GradientStartColor(0x000000);
    b.GradientStopColor(0xFFFFFF);
    b.Icon(host::StdPicture::from_surface(pixels, host::PictureType::Icon));
    bh.form->set_design_mode(false);
    b.Enabled(false);
    QuillButtonTestAccess t(b);
    // The icon sits in the middle (52, 12); one of its corner pixels shows the gradient colour of
    // the face right under it, not the key colour.
    gdi::Color corner = gdi::without_alpha(b.canvas().pixels().pixel(52, 12));
    EXPECT_NE(corner, t.colours().face);
    gdi::Color row_colour = gdi::without_alpha(b.canvas().pixels().pixel(52, 30));
    EXPECT_EQ(gdi::red_of(corner), gdi::red_of(row_colour));
}

// Repaints reuse the last layout only while the caption, the face and the font are the same:
// a font changed in place, a new caption or a new size each lay the caption out again, and
// going back gives back the first picture.
TEST_F(ButtonCaption, TheLayoutFollowsEveryChangeBetweenPaints)
{
    auto& b = make(6, 160, 33, "Begin Scan");
    b.BackColor(0x808080);
    auto font = host::StdFont::create("Liberation Sans", 9);
    b.Font(font);
    QuillButtonTestAccess t(b);
    const gdi::Rect inside {6, 4, 154, 29};
    b.RefreshButton();
    const gdi::Surface first = b.canvas().pixels();
    const gdi::Rect plain = ink(b, inside, t.colours().face);

    b.Font()->Bold(true);
    b.RefreshButton();
    EXPECT_GT(ink(b, inside, t.colours().face).width(), plain.width());

    b.Font()->Bold(false);
    b.Caption("Begin Scan now");
    EXPECT_GT(ink(b, inside, t.colours().face).width(), plain.width());
    b.Caption("Begin Scan");
    b.Move(150, 150, 200 * 15, 33 * 15);
    EXPECT_GT(ink(b, {6, 4, 194, 29}, t.colours().face).left, plain.left);

    b.Move(150, 150, 160 * 15, 33 * 15);
    b.RefreshButton();
    EXPECT_EQ(b.canvas().pixels(), first);
}
