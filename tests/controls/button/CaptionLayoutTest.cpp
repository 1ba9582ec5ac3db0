#include "controls/button/CaptionLayout.h"

#include <gtest/gtest.h>

using namespace sorrel::controls;

namespace {

// Every character is 10 pixels wide and every line 16 high, so that widths are easy to follow.
TextExtent fixed_measure(std::string_view text)
{
    return {int(text.size()) * 10, 16};
}

CaptionLayout lay_out(std::string_view caption, int w, int h, CaptionLayoutInput extra = {})
{
    extra.caption = caption;
    extra.access_key_pos = find_access_key(caption).position;
    extra.width = w;
    extra.height = h;
    return layout_caption(extra, fixed_measure);
}

std::vector<std::string> texts(const CaptionLayout& layout)
{
    std::vector<std::string> out;
    for (auto& line : layout.lines)
        out.push_back(line.Text);
    return out;
}

} // namespace

TEST(CaptionAccessKey, MarkersPairsAndTrailingAmpersand)
{
    auto scan = find_access_key("&Scan");
    EXPECT_TRUE(scan.found);
    EXPECT_EQ(scan.position, 1);
    EXPECT_EQ(scan.key, "s");
    EXPECT_EQ(display_caption("&Scan", scan.position), "Scan");

    auto save = find_access_key("Save && Exit");
    EXPECT_FALSE(save.found);
    EXPECT_EQ(save.position, 0);
    EXPECT_EQ(display_caption("Save && Exit", 0), "Save & Exit");

    auto exit = find_access_key("Save && &Exit");
    EXPECT_EQ(exit.position, 8);
    EXPECT_EQ(exit.key, "e");
    EXPECT_EQ(display_caption("Save && &Exit", 8), "Save & Exit");

    auto x = find_access_key("&&&X");
    EXPECT_EQ(x.position, 2);
    EXPECT_EQ(x.key, "x");
    EXPECT_EQ(display_caption("&&&X", 2), "&X");

    auto trailing = find_access_key("Scan&");
    EXPECT_TRUE(trailing.found);
    EXPECT_EQ(trailing.key, "");
    EXPECT_EQ(display_caption("Scan&", trailing.position), "Scan");

    // A later single "&" stays visible.
    EXPECT_EQ(display_caption("&A & B", 1), "A & B");
}

TEST(CaptionLayout, UnderlineSitsUnderTheKeyCharacter)
{
    auto scan = lay_out("&Scan", 100, 30);
    ASSERT_TRUE(scan.key_found);
    EXPECT_EQ(scan.access_key_width, 10);
    EXPECT_EQ(scan.lines[0].Left, 30);
    EXPECT_EQ(scan.underline_x, 30);
    EXPECT_EQ(scan.underline_y, scan.lines[0].Top + 16);

    auto exit = lay_out("Save && &Exit", 200, 30);
    ASSERT_TRUE(exit.key_found);
    EXPECT_EQ(exit.lines[0].Text, "Save & Exit");
    EXPECT_EQ(exit.underline_x, exit.lines[0].Left + 70);

    auto x = lay_out("&&&X", 100, 30);
    ASSERT_TRUE(x.key_found);
    EXPECT_EQ(x.underline_x, x.lines[0].Left + 10);

    EXPECT_FALSE(lay_out("Save && Exit", 200, 30).key_found);
    EXPECT_FALSE(lay_out("Scan&", 100, 30).key_found);
}

TEST(CaptionLayout, OneLineCentredWithoutWrapping)
{
    // "Begin Scan" fits (100 <= 112 - 12), so its space never breaks it.
    auto layout = lay_out("Begin Scan", 112, 33);
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_EQ(layout.lines[0].Text, "Begin Scan");
    EXPECT_EQ(layout.lines[0].Left, 6);
    EXPECT_EQ(layout.lines[0].Top, 8);
    // Trailing spaces are not part of the line's width.
    EXPECT_EQ(lay_out("OK   ", 100, 30).lines[0].Width, 20);
    // Lower than one line: no wrapping and no shortening.
    auto low = lay_out("Begin Scan Now", 50, 10);
    ASSERT_EQ(low.lines.size(), 1u);
    EXPECT_EQ(low.lines[0].Text, "Begin Scan Now");
}

TEST(CaptionLayout, WrapsAndShortens)
{
    auto wrapped = lay_out("Hello world", 70, 40);
    EXPECT_EQ(texts(wrapped), (std::vector<std::string> {"Hello", "world"}));
    EXPECT_EQ(wrapped.lines[0].Top, 4);
    EXPECT_EQ(wrapped.lines[1].Top, 20);

    // L = 100, a 200-pixel word, 21 characters with the appended space: 2 characters and "...".
    auto shortened = lay_out("abcdefghijklmnopqrst", 112, 30);
    EXPECT_EQ(texts(shortened), (std::vector<std::string> {"ab..."}));

    // The share is of the first word alone: on a 100-pixel face (L = 88) a 12-letter word keeps
    // Int(88 / 120 * 12) \ 2 = 4 letters, however long the rest of the caption, and the rest
    // goes on on the next lines.
    auto first_word = lay_out("abcdefghijkl mnop qrst uvwx yzab cdef ghij klmn", 100, 100);
    EXPECT_EQ(texts(first_word)[0], "abcd...");
    EXPECT_EQ(texts(first_word)[1], "mnop");
    for (const CaptionLine& line : first_word.lines)
        EXPECT_LE(line.Width, 88) << line.Text;
    // A piece that still overflows gives up letters until it fits, down to one: on a 60-pixel
    // face (L = 48) "ab..." is 50 pixels wide.
    auto narrow = lay_out("abcdefghijklmnopqrstuvwxyz", 60, 30);
    EXPECT_EQ(texts(narrow), (std::vector<std::string> {"a..."}));

    // A later long word is cut into pieces as long as the previous line (4 with its space).
    auto cut = lay_out("aaa bbbbbbbbbbbbbbbbbbbb", 45, 100);
    EXPECT_EQ(texts(cut), (std::vector<std::string> {"aaa", "bbbb", "bbbb", "bbbb", "bbbb", "bbbb"}));
    // The line limit is M = H \ Th lines, plus one for what remains.
    auto limited = lay_out("aaa bbbbbbbbbbbbbbbbbbbb", 45, 33);
    EXPECT_EQ(texts(limited), (std::vector<std::string> {"aaa", "bbbb", "bbbb"}));
}

TEST(CaptionLayout, EmptyCaptions)
{
    auto none = lay_out("", 100, 30);
    ASSERT_EQ(none.lines.size(), 1u);
    EXPECT_EQ(none.lines[0].Text, "");
    EXPECT_FALSE(none.icon_placed);
    EXPECT_EQ(lay_out("", 1, 1).lines.size(), 1u);

    CaptionLayoutInput icon;
    icon.has_icon = true;
    auto centred = lay_out("", 100, 30, icon);
    EXPECT_TRUE(centred.icon_placed);
    EXPECT_FALSE(centred.has_rect);
    EXPECT_EQ(centred.icon_x, 42);
    EXPECT_EQ(centred.icon_y, 7);
    icon.button_style = 1;
    EXPECT_EQ(lay_out("", 100, 30, icon).icon_x, 33);
    icon.button_style = 3;
    EXPECT_EQ(lay_out("", 100, 30, icon).icon_x, 51);
}

TEST(CaptionLayout, IconBesideTheText)
{
    CaptionLayoutInput in;
    in.has_icon = true;
    in.alignment = 0;
    in.icon_alignment = 1;
    auto after = lay_out("Go", 120, 30, in);
    EXPECT_EQ(after.lines[0].Left, 6);
    EXPECT_EQ(after.icon_x, 6 + 20 + 5);
    EXPECT_EQ(after.icon_y, 7);

    in.alignment = 1;
    in.icon_alignment = 0;
    auto before = lay_out("Go", 120, 30, in);
    EXPECT_EQ(before.lines[0].Left, 50 + 10);
    EXPECT_EQ(before.icon_x, 60 - 16 - 5);
    // The focus rectangle surrounds the text with a margin.
    EXPECT_EQ(before.rect, (CaptionBox {57, 4, 81, 24}));
}

TEST(CaptionLayout, VerticalCaptionsAtEachAlignment)
{
    CaptionLayoutInput in;
    in.orientation = 1;
    in.alignment = 0;
    auto up_left = lay_out("Scan", 30, 100, in);
    EXPECT_EQ(up_left.lines[0].Top, 100 - 6); // lower end at H - O - 6
    EXPECT_EQ(up_left.lines[0].Left, 7);
    in.alignment = 2;
    auto up_right = lay_out("Scan", 30, 100, in);
    EXPECT_EQ(up_right.lines[0].Top - 40, 6); // upper end 6 below the top
    in.alignment = 1;
    auto up_centre = lay_out("Scan", 30, 100, in);
    EXPECT_EQ(up_centre.lines[0].Top, 70);
    EXPECT_EQ(up_centre.rect, (CaptionBox {4, 27, 24, 71}));

    in.orientation = 2;
    in.alignment = 0;
    auto down_left = lay_out("Scan", 30, 100, in);
    EXPECT_EQ(down_left.lines[0].Top, 6);
    EXPECT_EQ(down_left.lines[0].Left, 23); // occupies x 7..22
    in.alignment = 2;
    EXPECT_EQ(lay_out("Scan", 30, 100, in).lines[0].Top, 100 - 40 - 6);
    in.alignment = 1;
    auto down_centre = lay_out("Scan", 30, 100, in);
    EXPECT_EQ(down_centre.lines[0].Top, 30);
    EXPECT_EQ(down_centre.rect, (CaptionBox {4, 27, 24, 71}));

    // Underlines of a vertical caption run along the reading direction.
    in.orientation = 1;
    auto key = lay_out("Sc&an", 30, 100, in);
    ASSERT_TRUE(key.key_found);
    EXPECT_EQ(key.underline_x, key.lines[0].Left + 16);
    EXPECT_EQ(key.underline_y, key.lines[0].Top - 30);
}

TEST(CaptionLayout, DamagedValuesDoNotCrash)
{
    CaptionLayoutInput in;
    in.button_style = 7;
    in.alignment = 9;
    in.orientation = -3;
    in.icon_size = -4;
    in.has_icon = true;
    for (int w : {0, 1, 5, 400})
        for (int h : {0, 1, 5, 400})
            EXPECT_FALSE(lay_out("A rather long caption with several words", w, h, in).lines.empty());
}
