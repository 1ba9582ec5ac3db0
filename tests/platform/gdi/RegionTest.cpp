// Regions: hit tests, boxes and combinations, as the window outlines use them.

#include "platform/gdi/Region.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

using namespace sorrel::gdi;

namespace {

Region polygon(std::initializer_list<Point> points, FillRule rule = FillRule::Winding)
{
    std::vector<Point> v(points);
    return Region::from_polygon(v, rule);
}

} // namespace

TEST(Region, RectanglesAreNormalisedAndHitTestedWithExclusiveEdges)
{
    Region r = Region::from_rect({10, 8, 2, 3}); // corners in the other order
    EXPECT_EQ(r.bounding_box(), (Rect {2, 3, 10, 8}));
    EXPECT_TRUE(r.contains(2, 3));
    EXPECT_TRUE(r.contains(9, 7));
    EXPECT_FALSE(r.contains(10, 7));
    EXPECT_FALSE(r.contains(9, 8));
    EXPECT_TRUE(Region::from_rect({4, 4, 4, 9}).is_empty());
}

TEST(Region, SlantedButtonOutlineCoversTheParallelogram)
{
    // A 100 x 30 segment button with both ends slanted by 18 pixels.
    Region r = polygon({{0, 0}, {18, 30}, {100, 30}, {82, 0}});
    EXPECT_EQ(r.bounding_box(), (Rect {0, 0, 100, 30}));
    EXPECT_TRUE(r.contains(0, 0));
    EXPECT_TRUE(r.contains(81, 0));
    EXPECT_FALSE(r.contains(82, 0));
    EXPECT_FALSE(r.contains(17, 29));
    EXPECT_TRUE(r.contains(18, 29));
    EXPECT_TRUE(r.contains(99, 29));
    EXPECT_FALSE(r.contains(50, 30));

    // With an upright left end, the left column stays inside on every row.
    Region upright = polygon({{0, 0}, {0, 30}, {100, 30}, {82, 0}});
    for (int y = 0; y < 30; ++y)
        EXPECT_TRUE(upright.contains(0, y)) << y;
}

TEST(Region, RoundedCornersAreCutByDifference)
{
    Region face = Region::from_rect({0, 0, 100, 30});
    for (Rect corner : {Rect {0, 0, 1, 1}, Rect {0, 29, 1, 30}, Rect {99, 0, 100, 1}, Rect {99, 29, 100, 30}})
        face = face.subtracted(Region::from_rect(corner));
    EXPECT_FALSE(face.contains(0, 0));
    EXPECT_FALSE(face.contains(99, 29));
    EXPECT_TRUE(face.contains(1, 0));
    EXPECT_TRUE(face.contains(0, 1));
    EXPECT_EQ(face.bounding_box(), (Rect {0, 0, 100, 30}));
    EXPECT_EQ(face.rects().size(), 3u); // top row, middle band, bottom row

    // The same through the handle API, with the destination also a source.
    HRGN outline = CreateRectRgn(0, 0, 100, 30);
    HRGN cut = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(CombineRgn(outline, outline, cut, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(outline, 0, 0));
    RECT box;
    EXPECT_EQ(GetRgnBox(outline, &box), COMPLEXREGION);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(CombineRgn(cut, cut, cut, RGN_DIFF), NULLREGION);
    EXPECT_EQ(GetRgnBox(cut, &box), NULLREGION);
    EXPECT_EQ(box.left, box.right);
    DeleteObject(outline);
    DeleteObject(cut);
}

TEST(Region, CombinationsAndOffset)
{
    Region a = Region::from_rect({0, 0, 4, 4});
    Region b = Region::from_rect({2, 2, 6, 6});
    EXPECT_EQ(a.intersected(b), Region::from_rect({2, 2, 4, 4}));
    Region u = a.united(b);
    EXPECT_TRUE(u.contains(5, 5));
    EXPECT_FALSE(u.contains(5, 0));
    EXPECT_EQ(u.rects().size(), 3u);
    Region x = a.xored(b);
    EXPECT_FALSE(x.contains(3, 3));
    EXPECT_TRUE(x.contains(1, 1));
    EXPECT_TRUE(x.contains(4, 4));
    // Merging rebuilds the simplest banding: two halves make one rectangle.
    EXPECT_TRUE(Region::from_rect({0, 0, 2, 4}).united(Region::from_rect({2, 0, 4, 4})).is_rectangle());

    u.offset(10, -2);
    EXPECT_EQ(u.bounding_box(), (Rect {10, -2, 16, 4}));
    EXPECT_TRUE(u.contains(15, 3));
}

TEST(Region, SelfCrossingPolygonsByFillRule)
{
    // A pentagram: the centre has winding number 2.
    auto star = {Point {10, 0}, Point {16, 19}, Point {0, 7}, Point {20, 7}, Point {4, 19}};
    EXPECT_TRUE(Region::from_polygon(std::vector<Point>(star), FillRule::Winding).contains(10, 10));
    EXPECT_FALSE(Region::from_polygon(std::vector<Point>(star), FillRule::Alternate).contains(10, 10));
    EXPECT_TRUE(Region::from_polygon(std::vector<Point>(star), FillRule::Alternate).contains(10, 3));

    // A segment button narrower than its slant crosses itself; both lobes are kept.
    Region bow = polygon({{0, 0}, {18, 30}, {10, 30}, {-8, 0}});
    EXPECT_FALSE(bow.is_empty());
    EXPECT_TRUE(polygon({{3, 3}, {3, 3}, {3, 3}}).is_empty());
    EXPECT_TRUE(polygon({{0, 5}, {10, 5}, {20, 5}}).is_empty());
}
