#include "controls/progressbar/ProgressBar.h"

#include "controls/progressbar/ProgressBarPictures.h"

#include "platform/gdi/Gdi.h"
#include "platform/host/PropertyBag.h"
#include "tests/controls/progressbar/ControlTestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace sorrel::controls {
namespace {

using host::PropertyBag;
using host::Variant;

class ProgressBarTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(register_progress_bar().is_error()); }

    // A bar of `width` x 17 pixels, as the main window's bars are, shown. Like them it is loaded
    // from stored properties (at least its extents), which applies the look.
    ProgressBar& add_bar(int width, const PropertyBag* stored = nullptr)
    {
        PropertyBag extents;
        extents.add("_extentx", Variant(int32_t(host::pixels_to_himetric(width))));
        extents.add("_extenty", Variant(int32_t(450)));
        auto& bar = t.add<ProgressBar>(
            "ProgressBar1", 0, 0, float(width * 15), 17 * 15, stored ? stored : &extents);
        t.show();
        return bar;
    }
    std::vector<std::string> message_texts() const
    {
        std::vector<std::string> texts;
        for (const auto& m : t.messages()) {
            EXPECT_EQ(m.style, 16);
            EXPECT_EQ(m.title, "Error");
            texts.push_back(m.text);
        }
        return texts;
    }

    testing::ControlTestHost t;
};

const gdi::Surface& pixels(const ProgressBar& bar)
{
    return *bar.surface();
}

// The columns where any pixel differs from `before`.
std::set<int> changed_columns(const gdi::Surface& now, const gdi::Surface& before)
{
    std::set<int> columns;
    for (int y = 0; y < now.height(); ++y)
        for (int x = 0; x < now.width(); ++x)
            if (gdi::without_alpha(now.pixel(x, y)) != gdi::without_alpha(before.pixel(x, y)))
                columns.insert(x);
    return columns;
}

// Whole tiles 8 pixels wide at a 10-pixel pitch from x = 4 up to `last`, then `squeezed` more
// columns of the end piece.
std::set<int> tile_columns(int last, int squeezed = 0)
{
    std::set<int> columns;
    for (int left = 4; left <= last; left += 10)
        for (int i = 0; i < 8; ++i)
            columns.insert(left + i);
    for (int i = 0; i < squeezed; ++i)
        columns.insert(last + 10 + i);
    return columns;
}

TEST(ProgressBarPictures, AMissingDamagedOrMisSizedPictureIsNamedInTheStartUpError)
{
    using progressbar_pictures::EmbeddedPicture;
    const auto built_in = progressbar_pictures::embedded();
    EXPECT_FALSE(progressbar_pictures::built_in().verify(built_in).is_error());
    auto bytes_of = [&](std::string_view name) {
        for (const EmbeddedPicture& p : built_in)
            if (p.name == name)
                return p.bytes;
        return std::span<const uint8_t> {};
    };

    std::vector<EmbeddedPicture> missing;
    for (const EmbeddedPicture& p : built_in)
        if (p.name != "redmet2")
            missing.push_back(p);
    auto result = progressbar_pictures::built_in().verify(missing);
    ASSERT_TRUE(result.is_error());
    EXPECT_EQ(result.error().message, "Progress bar picture \"redmet2.png\" is not built into the program");

    // A copy of the built-in table with one picture's bytes replaced.
    auto with_bytes = [&](std::string_view name, std::span<const uint8_t> bytes) {
        std::vector<EmbeddedPicture> table(built_in.begin(), built_in.end());
        for (EmbeddedPicture& p : table)
            if (p.name == name)
                p.bytes = bytes;
        return table;
    };
    result = progressbar_pictures::built_in().verify(with_bytes("img", bytes_of("master0")));
    ASSERT_TRUE(result.is_error());
    EXPECT_EQ(result.error().message, "Progress bar picture \"img.png\" is not 59 x 13 pixels");

    const auto tile = bytes_of("blue1");
    result = progressbar_pictures::built_in().verify(with_bytes("blue1", tile.first(tile.size() / 2)));
    ASSERT_TRUE(result.is_error());
    EXPECT_NE(result.error().message.find("blue1.png"), std::string::npos) << result.error().message;
}

// [Properties and validation]

TEST_F(ProgressBarTest, RejectedValuesShowTheirMessageInTestOrderAndChangeNothing)
{
    auto& bar = add_bar(225);
    bar.Value(40);
    const gdi::Surface before = pixels(bar);
    bar.clear_changed_properties();

    bar.Value(101);
    bar.Value(-1);
    bar.Min(-1); // tested against Max first, then against 0
    bar.Min(150);
    bar.Max(-1);
    EXPECT_EQ(message_texts(),
        (std::vector<std::string> {"Value can NOT be higher than Maximum !",
            "Value can NOT be smaller than minimum !", "Minimum can NOT be smaller then 0 !",
            "Minimum can NOT be biger than maximum !", "Maximum can NOT be smaller than minimum !"}));
    EXPECT_EQ(bar.Value(), 40);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_TRUE(bar.changed_properties().empty());
    EXPECT_EQ(pixels(bar), before);
}

TEST_F(ProgressBarTest, BoundsAreAcceptedAndALowerMaxDoesNotRecheckValue)
{
    auto& bar = add_bar(225);
    t.form->set_design_mode(true); // where the changes are logged
    bar.clear_changed_properties();
    bar.Value(100);
    bar.Value(0);
    bar.Max(50);
    EXPECT_TRUE(t.messages().empty());
    bar.Value(100);
    bar.Value(60);
    EXPECT_EQ(message_texts(), std::vector<std::string>(2, "Value can NOT be higher than Maximum !"));
    EXPECT_EQ(bar.Value(), 0);
    bar.Value(50);
    EXPECT_EQ(bar.Value(), 50);
    EXPECT_EQ(bar.changed_properties(), (std::vector<std::string> {"Value", "Value", "Max", "Value"}));
}

TEST_F(ProgressBarTest, RunTimeChangesLeaveTheChangeLogEmpty)
{
    // A removal sets Value once per file; at run time none of it is kept.
    auto& bar = add_bar(225);
    bar.Max(int32_t(10000));
    for (int32_t v = 0; v <= 10000; ++v)
        bar.Value(v);
    bar.Min(int32_t(1));
    EXPECT_TRUE(bar.changed_properties().empty());
    EXPECT_FALSE(t.form->is_dirty());

    t.form->set_design_mode(true);
    bar.Value(int32_t(5));
    EXPECT_EQ(bar.changed_properties(), std::vector<std::string> {"Value"});
    EXPECT_TRUE(t.form->is_dirty());
}

TEST_F(ProgressBarTest, MinAndMaxKeepTheirTypeAndReadBackAsLongs)
{
    auto& bar = add_bar(225);
    bar.Max(Variant(99.5));
    bar.Min(Variant(2.5));
    EXPECT_EQ(bar.stored_max().type(), host::VariantType::Double);
    EXPECT_EQ(bar.stored_min().type(), host::VariantType::Double);
    EXPECT_EQ(bar.Max(), 100); // half to even
    EXPECT_EQ(bar.Min(), 2);
    // The comparisons use the numbers as given: 100 lies above 99.5.
    bar.Value(100);
    EXPECT_EQ(message_texts(), std::vector<std::string> {"Value can NOT be higher than Maximum !"});

    PropertyBag saved;
    bar.UserControl_WriteProperties(saved);
    EXPECT_EQ(saved.ReadProperty("max").type(), host::VariantType::Double);
    // A text that is no number, or a number that is not finite, is refused without a message.
    bar.Max(Variant("plenty"));
    bar.Max(Variant(std::nan("")));
    bar.Min(Variant(-std::numeric_limits<double>::infinity()));
    EXPECT_EQ(bar.stored_min().to_double(), 2.5);
    EXPECT_EQ(bar.stored_max().to_double(), 99.5);
}

// [Persistence]

TEST_F(ProgressBarTest, LoadsLowerCaseKeysWithoutValidationAndAppliesTheLook)
{
    PropertyBag stored;
    stored.add("min", Variant(int16_t(1)));
    stored.add("progresslook", Variant(int32_t(2)));
    stored.add("_extentx", Variant(int32_t(5953)));
    auto& bar = add_bar(225, &stored);
    EXPECT_EQ(bar.Min(), 1);
    EXPECT_EQ(bar.Value(), 0); // below Min, loaded as it is
    EXPECT_EQ(bar.ProgressLook(), 2);
    EXPECT_TRUE(t.messages().empty());
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(bar.pc()[i].Picture(), bar.tile_set(2)[i].Picture());

    // An unknown look stores the number and keeps the tiles.
    bar.ProgressLook(8);
    EXPECT_EQ(bar.ProgressLook(), 8);
    EXPECT_EQ(bar.pc()[2].Picture(), bar.tile_set(2)[2].Picture());
}

TEST_F(ProgressBarTest, DamagedStoredValuesReadAsTheirDefaults)
{
    PropertyBag stored;
    stored.add("Min", Variant("low"));
    stored.add("Max", Variant(int16_t(50)));
    stored.add("Value", Variant(1e12));
    stored.add("ProgressLook", Variant("green"));
    auto& bar = add_bar(225, &stored);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 50);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(bar.ProgressLook(), 0);
    bar.Value(50);
    EXPECT_EQ(bar.Value(), 50);
}

TEST_F(ProgressBarTest, SavesInOrderLeavingDefaultsOut)
{
    auto& bar = add_bar(225);
    PropertyBag defaults;
    bar.UserControl_WriteProperties(defaults);
    EXPECT_TRUE(defaults.is_empty());

    bar.Min(Variant(int16_t(1)));
    bar.Value(7);
    bar.Style(1);
    bar.ProgressLook(3);
    PropertyBag saved;
    bar.UserControl_WriteProperties(saved);
    std::vector<std::string> keys;
    for (const auto& entry : saved)
        keys.push_back(entry.key);
    EXPECT_EQ(keys, (std::vector<std::string> {"Min", "Value", "Style", "ProgressLook"}));
    EXPECT_EQ(saved.ReadProperty("Value").to_long(), 7);
}

// [Painting]

TEST_F(ProgressBarTest, FrameCornersAndEdgesComeFromTheirPiecesOfTheSkin)
{
    auto& bar = add_bar(225);
    const gdi::Surface& skin = bar.frame_skin().Picture()->pixels();
    const int W = 225, H = 17;
    auto expect_same = [&](int x, int y, int sx, int sy) {
        if (gdi::alpha_of(skin.pixel(sx, sy)) != 0xFF)
            return; // blended with the background
        EXPECT_EQ(gdi::without_alpha(pixels(bar).pixel(x, y)), gdi::without_alpha(skin.pixel(sx, sy)))
            << "at " << x << ", " << y;
    };
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            expect_same(i, j, i, j); // top-left
            expect_same(W - 3 + i, j, 56 + i, j); // top-right
            expect_same(W - 3 + i, H - 3 + j, 56 + i, 10 + j); // bottom-right
            expect_same(i, H - 3 + j, i, 10 + j); // bottom-left
            expect_same(100, j, 3, j); // top edge
            expect_same(100, H - 3 + j, 3, 10 + j); // bottom edge
            expect_same(i, 8, i, 4); // left edge, middle
            expect_same(W - 3 + i, 8, 56 + i, 4); // right edge, middle
        }
    }
}

TEST_F(ProgressBarTest, MainWindowRunEndsWithWholeTilesUpTo214AndNothingPastTheInnerEdge)
{
    PropertyBag stored;
    stored.add("min", Variant(int16_t(1)));
    stored.add("progresslook", Variant(int32_t(2)));
    auto& bar = add_bar(225, &stored);
    const gdi::Surface empty = pixels(bar);

    for (int v = 1; v <= 100; ++v) {
        const gdi::Surface before = pixels(bar);
        bar.Value(v);
        // Once tiles are being added, a step draws only its own new tile.
        if (v > 3) {
            for (int x : changed_columns(pixels(bar), before))
                EXPECT_TRUE(tile_columns(214).contains(x)) << "value " << v << " column " << x;
        }
    }
    EXPECT_EQ(changed_columns(pixels(bar), empty), tile_columns(214));
    EXPECT_TRUE(bar.fill_state().end_reached);
    EXPECT_EQ(bar.fill_state().cursor, 224);

    // Each tile is the look's third picture, stretched to the inner height.
    const gdi::Surface& tile = bar.pc()[2].Picture()->pixels();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(gdi::without_alpha(pixels(bar).pixel(4 + i, 3)), gdi::without_alpha(tile.pixel(i, 0)));
        EXPECT_EQ(gdi::without_alpha(pixels(bar).pixel(214 + i, 13)), gdi::without_alpha(tile.pixel(i, 9)));
    }
}

TEST_F(ProgressBarTest, EndPieceSqueezesTheLastTileIntoThePixelsLeft)
{
    auto& bar = add_bar(230); // inner edge at 227: the tile at 224 gets three columns
    const gdi::Surface empty = pixels(bar);
    for (int v = 1; v <= 100; ++v)
        bar.Value(v);
    EXPECT_EQ(changed_columns(pixels(bar), empty), tile_columns(214, 3));
    // The squeezed piece shows the tile's own left and right edges.
    const gdi::Surface& tile = bar.pc()[2].Picture()->pixels();
    EXPECT_EQ(gdi::without_alpha(pixels(bar).pixel(224, 3)), gdi::without_alpha(tile.pixel(1, 0)));
    EXPECT_EQ(gdi::without_alpha(pixels(bar).pixel(226, 3)), gdi::without_alpha(tile.pixel(6, 0)));
}

TEST_F(ProgressBarTest, ADecreaseRestartsTheFillAndMinShowsAnEmptyFrame)
{
    auto& bar = add_bar(225);
    const gdi::Surface empty = pixels(bar);
    for (int v = 1; v <= 50; ++v)
        bar.Value(v);
    EXPECT_EQ(changed_columns(pixels(bar), empty), tile_columns(104)); // below 50 * 2.25

    bar.Value(20); // 20 * 2.25 = 45 pixels: tiles up to x = 44
    EXPECT_EQ(changed_columns(pixels(bar), empty), tile_columns(44));
    bar.Value(23);
    EXPECT_EQ(changed_columns(pixels(bar), empty), tile_columns(44));
    bar.Value(25);
    EXPECT_EQ(changed_columns(pixels(bar), empty), tile_columns(54));

    bar.Value(0);
    EXPECT_EQ(pixels(bar), empty);
}

TEST_F(ProgressBarTest, AMaxOtherThan100FillsOneStepPerAssignedValue)
{
    auto& bar = add_bar(225);
    bar.Max(10); // 22.5 pixels a step
    const gdi::Surface empty = pixels(bar);
    bar.Value(1);
    EXPECT_EQ(changed_columns(pixels(bar), empty), tile_columns(14));
    bar.Value(7); // a jump is still one step
    EXPECT_EQ(changed_columns(pixels(bar), empty), tile_columns(44));
    bar.Value(8);
    EXPECT_EQ(changed_columns(pixels(bar), empty), tile_columns(64));
}

TEST_F(ProgressBarTest, RangeZeroPaintsNoFillAndTheSetterReturns)
{
    auto& bar = add_bar(225);
    bar.Max(0);
    const gdi::Surface empty = pixels(bar);
    bar.Value(0);
    bar.Value(0);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(pixels(bar), empty);

    bar.Max(5);
    bar.Min(5);
    bar.Value(5);
    EXPECT_EQ(bar.Value(), 5);
    EXPECT_EQ(pixels(bar), empty);
    EXPECT_TRUE(t.messages().empty());
}

TEST_F(ProgressBarTest, AlternativePainterMovesAChunkAndWrapsAtTheEdge)
{
    auto& bar = add_bar(40);
    bar.Style(1);
    const gdi::Surface empty = pixels(bar);

    bar.Value(1);
    EXPECT_EQ(
        changed_columns(pixels(bar), empty), (std::set<int> {4, 5, 6, 7, 9, 10, 11, 12, 14, 15, 16, 17}));
    bar.Value(2); // the blank tile erases 4..7
    EXPECT_EQ(
        changed_columns(pixels(bar), empty), (std::set<int> {9, 10, 11, 12, 14, 15, 16, 17, 19, 20, 21, 22}));
    EXPECT_EQ(bar.fill_state().alternate_cursor, 14);

    for (int v = 3; v <= 8; ++v)
        bar.Value(v);
    // p = 39 lay past the edge: the last sliver (34..37) was erased, leaving the empty frame,
    // and the chunk starts again at 2, without erasing.
    EXPECT_EQ(bar.fill_state().alternate_cursor, 2);
    EXPECT_EQ(pixels(bar), empty);
    bar.Value(9);
    EXPECT_TRUE(changed_columns(pixels(bar), empty).contains(2));

    // Max repaints the whole control.
    bar.Value(100);
    EXPECT_EQ(pixels(bar), empty);
    EXPECT_EQ(bar.fill_state().alternate_cursor, 4);
}

TEST_F(ProgressBarTest, PaintingLeavesNoDrawingObjectsBehind)
{
    auto& bar = add_bar(225);
    const size_t live = gdi::live_object_count();
    for (int v = 1; v <= 100; ++v)
        bar.Value(v);
    bar.Value(10);
    bar.Style(1);
    for (int v = 11; v <= 100; ++v)
        bar.Value(v);
    EXPECT_EQ(gdi::live_object_count(), live);
}

} // namespace
} // namespace sorrel::controls
