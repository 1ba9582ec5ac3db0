#include "HostTestSupport.h"

#include "platform/host/CheckBox.h"
#include "platform/host/Frame.h"
#include "platform/host/StandardPainting.h"
#include "platform/host/TextBox.h"

#include <gtest/gtest.h>

#include <random>

using namespace sorrel;
using namespace sorrel::host;
using namespace sorrel::host::testing;

namespace {

struct Standard : HostFixture, ::testing::Test {
    // Pixels of `s` in the rectangle within `tolerance` of colour `c` in every channel (text
    // is smoothed, so its ink is near, not always at, the text colour).
    static int count(const gdi::Surface& s, gdi::Color c, gdi::Rect r, int tolerance = 0)
    {
        int n = 0;
        r = r.intersected(s.bounds());
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                gdi::Color p = s.pixel(x, y);
                n += std::abs(gdi::red_of(p) - gdi::red_of(c)) <= tolerance
                    && std::abs(gdi::green_of(p) - gdi::green_of(c)) <= tolerance
                    && std::abs(gdi::blue_of(p) - gdi::blue_of(c)) <= tolerance;
            }
        }
        return n;
    }
    static constexpr int ink = 0x30;
};

} // namespace

TEST_F(Standard, ACheckBoxDrawsItsCaptionInItsFontAndColours)
{
    auto& uc = add("UC", 0, 0, 100, 20);
    CheckBox check(uc, "Check1");
    check.Move(-30, 0, 855, 255);
    EXPECT_EQ(check.Caption(), "Check1");
    check.BackColor(0x00FFFFFF);
    check.ForeColor(0x000000C0);
    check.Font(StdFont::create("Liberation Sans", 8.25));
    check.Caption("Remove");
    auto& s = check.canvas().pixels();
    int caption = count(s, 0x000000C0, {16, 0, s.width(), s.height()}, ink);
    EXPECT_GT(caption, 10);
    EXPECT_EQ(count(s, 0x000000C0, {0, 0, 13, s.height()}, ink), 0); // the square has no caption colour
    // A bigger font draws more caption pixels; the font's own change notice repaints.
    check.Font()->Size(14);
    EXPECT_GT(count(s, 0x000000C0, {16, 0, s.width(), s.height()}, ink), caption);
    // Disabled: the caption turns grey.
    check.Enabled(false);
    EXPECT_EQ(count(s, 0x000000C0, s.bounds(), ink), 0);
}

TEST_F(Standard, ACheckBoxTogglesOnALeftClickOnly)
{
    auto& uc = add("UC", 0, 0, 100, 20);
    CheckBox check(uc, "Check1");
    check.Move(0, 0, 1500, 300);
    int clicks = 0;
    check.on_click = [&] { ++clicks; };
    host->show(*form);
    headless->click(check);
    EXPECT_EQ(check.Value(), 1);
    headless->advance(1000);
    headless->click(check, vbRightButton);
    EXPECT_EQ(check.Value(), 1);
    check.Value(2);
    headless->advance(1000);
    headless->click(check);
    EXPECT_EQ(check.Value(), 0);
    EXPECT_EQ(clicks, 2);
    check.Value(7); // not a check box value
    EXPECT_EQ(check.Value(), 0);
}

TEST_F(Standard, FramesWithAndWithoutBorder)
{
    auto& plain = form->add<Frame>("Frame2");
    plain.Move(0, 0, 1500, 1500);
    plain.BorderStyle(0);
    plain.BackColor(0x80000005); // the system window colour, resolved when painting
    auto& edged = form->add<Frame>("Frame4");
    edged.Move(1500, 0, 1500, 1500);
    edged.BackColor(0x00FFFFFF);
    edged.Font(StdFont::create("Liberation Sans", 8.25));
    edged.Caption("Detected Versions:");
    host->show(*form);
    auto& screen = headless->screen();
    gdi::Color window = gdi::GetSysColor(gdi::COLOR_WINDOW);
    EXPECT_EQ(count(screen, window, {0, 0, 100, 100}), 100 * 100);
    gdi::Color shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    EXPECT_GT(count(screen, shadow, {100, 90, 200, 100}), 50); // the bottom edge
    EXPECT_EQ(count(screen, shadow, {100 + 6, 0, 100 + 20, 3}), 0); // the caption breaks the top edge
    EXPECT_EQ(edged.dump_text(), "\"Detected Versions:\"");
}

TEST_F(Standard, TextFieldsWrapCentreAndTakeTyping)
{
    auto& text = form->add<TextBox>("Text1");
    text.Move(0, 0, 1500, 900);
    text.Font(StdFont::create("Liberation Sans", 8.25));
    text.MultiLine(true);
    text.Text("one two three four five six seven eight nine ten");
    auto& s = text.canvas().pixels();
    int rows_with_ink = 0;
    for (int y = 0; y < s.height(); ++y)
        rows_with_ink += count(s, 0x000000, {3, y, s.width() - 3, y + 1}, ink) > 0;
    EXPECT_GT(rows_with_ink, 12); // more than one line of text

    auto& centred = form->add<TextBox>("Text4");
    centred.Move(0, 1000, 1095, 285);
    centred.Font(StdFont::create("Liberation Sans", 8.25));
    centred.Alignment(2);
    centred.Text("7.0");
    auto& c = centred.canvas().pixels();
    int left = -1, right = -1;
    for (int x = 3; x < c.width() - 3; ++x) {
        if (count(c, 0x000000, {x, 3, x + 1, c.height() - 3}, ink)) {
            if (left < 0)
                left = x;
            right = x;
        }
    }
    ASSERT_GE(left, 0);
    EXPECT_NEAR((left + right) / 2.0, c.width() / 2.0, 3);

    host->show(*form);
    text.SetFocus();
    text.Text("");
    headless->type("Hi");
    headless->key(vbKeyReturn);
    headless->type("x");
    headless->key(vbKeyBack);
    headless->key(vbKeyBack); // removes the CR LF pair at once
    EXPECT_EQ(text.Text(), "Hi");
    text.MultiLine(false);
    headless->key(vbKeyReturn);
    EXPECT_EQ(text.Text(), "Hi");
    text.Locked(true);
    headless->type("!");
    EXPECT_EQ(text.Text(), "Hi");
    EXPECT_EQ(text.dump_text(), "\"Hi\"");
}

namespace {

// The wrap measured the plain way: every candidate piece measured whole.
std::vector<std::string> wrapped_by_measuring_each_piece(gdi::HDC dc, std::string_view text, int width)
{
    std::vector<std::string> lines;
    std::string rest;
    auto wrap = [&] {
        auto w = [&](std::string_view piece) { return painting::measure(dc, piece).width; };
        while (!rest.empty() && w(rest) > width) {
            size_t cut = std::string::npos;
            for (size_t p = rest.find(' '); p != std::string::npos && w(rest.substr(0, p)) <= width;
                 p = rest.find(' ', p + 1))
                cut = p;
            size_t n = 1;
            if (cut == std::string::npos || cut == 0) {
                while (n < rest.size() && w(rest.substr(0, n + 1)) <= width)
                    ++n;
                lines.push_back(rest.substr(0, n));
                rest.erase(0, n);
            } else {
                lines.push_back(rest.substr(0, cut));
                rest.erase(0, cut + 1);
            }
        }
        lines.push_back(rest);
        rest.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\r' || text[i] == '\n')
            wrap();
        else
            rest += text[i];
    }
    wrap();
    return lines;
}

} // namespace

TEST_F(Standard, TextWrapsAsMeasuringEachPieceWholeWould)
{
    TextBox box(*form, "Text1");
    box.Font(StdFont::create("Liberation Sans", 8.25));
    gdi::HDC dc = box.canvas().hDC();
    // Words of every length (some wider than any width tried), narrow and wide letters, runs of
    // spaces, the failure list's "; " separator, accented bytes and each kind of line break.
    std::mt19937 random(12);
    std::vector<std::string> const pieces {"i", "W", "ll", "mmmm", "caf\xE9.txt", "msmsgs.exe", "; ", " ",
        "  ", "\r\n", "\n", "\r", "Supercalifragilisticexpialidocious_and_then_some_more.dll"};
    std::string text = " ";
    for (int i = 0; i < 3000; ++i) {
        text += pieces[random() % pieces.size()];
        if (random() % 3)
            text += ' ';
    }
    for (int width : {1, 4, 9, 23, 57, 150, 400, 5000}) {
        SCOPED_TRACE(width);
        auto expected = wrapped_by_measuring_each_piece(dc, text, width);
        EXPECT_GT(expected.size(), width < 5000 ? 400u : 100u);
        EXPECT_EQ(painting::lines_of(dc, text, width), expected);
    }
    EXPECT_EQ(painting::lines_of(dc, "", 50), std::vector<std::string> {""});
    EXPECT_EQ(painting::lines_of(dc, "a b\r\n c", 0), (std::vector<std::string> {"a b", " c"}));
}
