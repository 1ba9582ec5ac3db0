#include "platform/host/StandardPainting.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <gtest/gtest.h>

#include <string>

using namespace sorrel;
using namespace sorrel::host::painting;

namespace {

constexpr gdi::Color Paper = 0x123456;
constexpr gdi::Color Ink = 0x0000FF;

gdi::Color at(const gdi::Surface& s, int x, int y)
{
    return gdi::without_alpha(s.pixel(x, y));
}

// The surface as rows of '#' (ink) and '.' (anything else), for shapes read at a glance.
std::string picture(const gdi::Surface& s)
{
    std::string rows;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x)
            rows += at(s, x, y) == Ink ? '#' : '.';
        rows += '\n';
    }
    return rows;
}

} // namespace

TEST(StandardPainting, ArrowsPointTheirWayFromTheirBoxCorner)
{
    auto drawn = [](Direction direction, gdi::Point origin, int w, int h) {
        gdi::Surface s(w, h, Paper);
        arrow(s, origin, direction, Ink);
        return picture(s);
    };
    EXPECT_EQ(drawn(Direction::Down, {1, 1}, 9, 6),
        ".........\n.#######.\n..#####..\n...###...\n....#....\n.........\n");
    EXPECT_EQ(drawn(Direction::Up, {0, 0}, 7, 4), "...#...\n..###..\n.#####.\n#######\n");
    EXPECT_EQ(drawn(Direction::Right, {0, 0}, 4, 7), "#...\n##..\n###.\n####\n###.\n##..\n#...\n");
    EXPECT_EQ(drawn(Direction::Left, {0, 0}, 4, 7), "...#\n..##\n.###\n####\n.###\n..##\n...#\n");

    // Centred in a box: the vertical arrow's base row lies two above the centre row.
    gdi::Surface s(17, 17, Paper);
    arrow_in(s, {0, 0, 17, 17}, Direction::Down, Ink);
    EXPECT_EQ(at(s, 5, 6), Ink);
    EXPECT_EQ(at(s, 11, 6), Ink);
    EXPECT_EQ(at(s, 8, 9), Ink);
    EXPECT_EQ(at(s, 8, 10), Paper);
}

TEST(StandardPainting, RaisedPanelAndFrameDrawTheClassicEdges)
{
    const gdi::Color face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    const gdi::Color highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    const gdi::Color shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    const gdi::Color dark = gdi::GetSysColor(gdi::COLOR_3DDKSHADOW);

    gdi::Surface s(12, 10, Paper);
    raised_panel(s, {1, 1, 11, 9});
    EXPECT_EQ(at(s, 1, 1), highlight);
    EXPECT_EQ(at(s, 9, 1), highlight);
    EXPECT_EQ(at(s, 10, 1), dark); // the dark edge owns the top-right corner
    EXPECT_EQ(at(s, 1, 8), dark); // and the bottom-left one
    EXPECT_EQ(at(s, 9, 7), shadow);
    EXPECT_EQ(at(s, 5, 5), face);
    EXPECT_EQ(at(s, 0, 0), Paper);
    EXPECT_EQ(at(s, 11, 9), Paper);

    // Too small for an edge: nothing at all.
    gdi::Surface thin(4, 4, Paper);
    raised_panel(thin, {1, 1, 2, 4});
    EXPECT_EQ(at(thin, 1, 1), Paper);

    gdi::Surface framed(5, 4, Paper);
    frame(framed, framed.bounds(), Ink);
    EXPECT_EQ(picture(framed), "#####\n#...#\n#...#\n#####\n");
}

TEST(StandardPainting, ScrollBarChecksItsTrackAndLeavesOutAnEmptyThumb)
{
    const gdi::Color face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    const gdi::Color highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    gdi::Surface s(16, 60, Paper);
    ScrollBarParts bar {{0, 16, 16, 44}, {0, 0, 16, 16}, {0, 44, 16, 60}, {}, false};
    scroll_bar(s, bar);
    EXPECT_EQ(at(s, 0, 16), highlight);
    EXPECT_EQ(at(s, 1, 16), face);
    EXPECT_EQ(at(s, 0, 17), face);
    EXPECT_EQ(at(s, 7, 30), face); // no thumb drawn over the checker
    EXPECT_EQ(at(s, 8, 30), highlight);
    // Arrow buttons point up and down.
    EXPECT_EQ(at(s, 8, 6), gdi::GetSysColor(gdi::COLOR_BTNTEXT));
    EXPECT_EQ(at(s, 8, 53), gdi::GetSysColor(gdi::COLOR_BTNTEXT));

    bar.thumb = {0, 20, 16, 30};
    scroll_bar(s, bar);
    EXPECT_EQ(at(s, 7, 25), face);
    EXPECT_EQ(at(s, 8, 25), face);
}
