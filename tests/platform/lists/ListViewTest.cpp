#include "platform/lists/ListView.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/Host.h"
#include "platform/lists/ListScroll.h"

#include <gtest/gtest.h>

using namespace sorrel;
using lists::ListScroll;

namespace {

struct View : ::testing::Test {
    backend::HeadlessBackend* headless {nullptr};
    std::unique_ptr<host::Host> host;
    std::unique_ptr<host::Form> form;
    lists::ListView* view {nullptr};

    void SetUp() override
    {
        auto backend = backend::HeadlessBackend::create();
        headless = backend.get();
        host = std::make_unique<host::Host>(std::move(backend));
        form = std::make_unique<host::Form>();
        form->set_client_size_twips(300 * 15, 200 * 15);
        view = &form->add<lists::ListView>("ListView1");
        // The main window's list: 257 x 57 pixels, two columns.
        view->Move(0, 0, 3855, 855);
        view->ColumnHeaders().Add("Path", 2840);
        view->ColumnHeaders().Add("Version", 1000);
        host->show(*form);
    }
    void TearDown() override
    {
        form.reset();
        host.reset();
    }
    void add_items(int count)
    {
        for (int i = 0; i < count; ++i)
            view->ListItems().Add("item " + std::to_string(i)).SubItems(1, std::to_string(i));
    }
    const gdi::Surface& pixels() const { return *view->surface(); }
};

} // namespace

TEST_F(View, ItemsAreAddedWithTheirSubItemsAndDumpedAsRows)
{
    auto& first = view->ListItems().Add("c:\\Program Files\\Messenger");
    first.SubItems(1, "4.7.3001.0");
    auto& second = view->ListItems().Add("d:\\Program Files\\MSN Messenger");
    add_items(3);
    // Earlier items stay where they are while more are added.
    EXPECT_EQ(first.SubItems(1), "4.7.3001.0");
    EXPECT_EQ(second.SubItems(1), "");
    EXPECT_EQ(second.SubItems(0), "");
    EXPECT_EQ(second.SubItems(7), "");
    EXPECT_EQ(view->ListItems().Count(), 5);
    EXPECT_EQ(&view->ListItems().Item(1), &first);
    EXPECT_EQ(view->dump_text().substr(0, 100),
        R"("Path" "Version"; "c:\\Program Files\\Messenger" "4.7.3001.0"; "d:\\Program Files\\MSN Messenger" "")");
}

TEST_F(View, TheScrollBarComesOnlyOnceTheRowsOverflow)
{
    int page = view->scroll().page();
    ASSERT_GE(page, 2) << "the main window's two findings fit without scrolling";
    add_items(page);
    EXPECT_FALSE(view->scroll().is_needed());
    gdi::Rect client = view->client_area();
    // Without a bar the rows reach the right edge of the client area.
    EXPECT_EQ(view->rows_area().right, client.right);

    add_items(1);
    ASSERT_TRUE(view->scroll().is_needed());
    EXPECT_EQ(view->rows_area().right, client.right - ListScroll::BarWidth);
    // The bar is drawn: the up arrow's face and its dark edge at the client's right.
    gdi::Rect up = view->scroll().up_arrow();
    EXPECT_EQ(pixels().pixel(up.left + 3, up.top + 3) & 0xFFFFFF, gdi::GetSysColor(gdi::COLOR_BTNFACE));
    EXPECT_EQ(pixels().pixel(up.right - 1, up.top + 3) & 0xFFFFFF, gdi::GetSysColor(gdi::COLOR_3DDKSHADOW));
}

TEST_F(View, WheelAndBarMoveTheFirstRowWithinRange)
{
    add_items(20);
    int page = view->scroll().page();
    int last = 20 - page;
    view->MouseWheel(-120);
    EXPECT_EQ(view->TopRow(), 3);
    view->MouseWheel(-60); // half a notch waits for the other half
    EXPECT_EQ(view->TopRow(), 3);
    view->MouseWheel(-60);
    EXPECT_EQ(view->TopRow(), 6);
    view->MouseWheel(-120 * 50);
    EXPECT_EQ(view->TopRow(), last);
    view->MouseWheel(120 * 50);
    EXPECT_EQ(view->TopRow(), 0);

    // Pressing the parts of the bar, in the view's pixels.
    const ListScroll& bar = view->scroll();
    auto press = [&](gdi::Rect r) {
        view->handle_mouse_down(1, 0, float(r.left + 2), float((r.top + r.bottom) / 2));
        view->handle_mouse_up(1, 0, float(r.left + 2), float((r.top + r.bottom) / 2));
    };
    press(bar.down_arrow());
    EXPECT_EQ(view->TopRow(), 1);
    press(bar.up_arrow());
    press(bar.up_arrow());
    EXPECT_EQ(view->TopRow(), 0);
    gdi::Rect below {bar.track().left, bar.thumb().bottom, bar.track().right, bar.track().bottom};
    press(below);
    EXPECT_EQ(view->TopRow(), page);

    // Dragging the thumb to the bottom of the track shows the last rows.
    gdi::Rect thumb = bar.thumb();
    view->handle_mouse_down(1, 0, float(thumb.left + 2), float(thumb.top + 1));
    EXPECT_TRUE(bar.is_dragging());
    view->handle_mouse_move(1, 0, float(thumb.left + 2), float(bar.track().bottom + 40));
    EXPECT_EQ(view->TopRow(), last);
    view->handle_mouse_move(1, 0, float(thumb.left + 2), float(bar.track().top - 40));
    EXPECT_EQ(view->TopRow(), 0);
    view->handle_mouse_up(1, 0, 0, 0);
    EXPECT_FALSE(bar.is_dragging());
}

TEST_F(View, TheWheelReachesTheViewUnderThePointer)
{
    add_items(20);
    auto centre = headless->point_in(*view);
    ASSERT_TRUE(centre.has_value());
    headless->mouse_move(centre->x, centre->y);
    headless->mouse_wheel(-240);
    EXPECT_EQ(view->TopRow(), 6);
    headless->mouse_leave();
    headless->mouse_wheel(240);
    EXPECT_EQ(view->TopRow(), 6) << "not over the view";
}

TEST(ListScrollGeometry, AThinBarOrFewRowsNeverDividesByZero)
{
    ListScroll scroll;
    scroll.set_geometry({0, 0, 16, 10}, 5, 0);
    EXPECT_TRUE(scroll.is_needed());
    EXPECT_TRUE(scroll.thumb().is_empty());
    EXPECT_FALSE(scroll.drag(5));
    EXPECT_TRUE(scroll.scroll_by(2));
    scroll.set_geometry({0, 0, 16, 100}, 0, 4);
    EXPECT_FALSE(scroll.is_needed());
    EXPECT_EQ(scroll.top_row(), 0);
    EXPECT_EQ(scroll.part_at(5, 50), ListScroll::Part::None);
}

TEST_F(View, ColumnsComeFromTheFormFileAndGoBackToIt)
{
    host::PropertyBag saved;
    view->write_design_properties(saved);
    auto& copy = form->add<lists::ListView>("ListView2");
    copy.read_design_properties(saved);
    ASSERT_EQ(copy.ColumnHeaders().Count(), 2);
    EXPECT_EQ(copy.ColumnHeaders().Item(2).Text, "Version");
    EXPECT_EQ(copy.ColumnHeaders().Item(1).Width, 2840);
}

// The main window's columns (189 + 67 pixels) are three pixels wider than its view; the Path
// column gives up that much, and the scroll bar's room too once it shows.
TEST_F(View, TheFirstColumnMakesRoomSoTheOthersShowWhole)
{
    int client = view->client_area().width();
    int version = host::twips_to_pixels(1000);
    add_items(2);
    EXPECT_EQ(view->column_width(2), version);
    EXPECT_EQ(view->column_width(1) + version, client);
    EXPECT_FALSE(view->horizontal_scroll().is_needed());

    add_items(1);
    ASSERT_TRUE(view->scroll().is_needed());
    EXPECT_EQ(view->column_width(2), version);
    EXPECT_EQ(view->divider_x(2), view->rows_area().right);
    EXPECT_FALSE(view->horizontal_scroll().is_needed());
    // The designed widths stay as they were.
    EXPECT_EQ(view->ColumnHeaders().Item(1).Width, 2840);
}

TEST_F(View, ColumnsWiderThanTheViewScrollSideways)
{
    // Too narrow for even the Path header and the whole Version column.
    view->Move(0, 0, 1200, 855);
    add_items(1);
    const ListScroll& bar = view->horizontal_scroll();
    ASSERT_TRUE(bar.is_needed());
    gdi::Rect client = view->client_area();
    EXPECT_EQ(bar.bar(),
        (gdi::Rect {client.left, client.bottom - ListScroll::BarWidth, client.right, client.bottom}));
    EXPECT_EQ(view->rows_area().bottom, bar.bar().top);
    int shown = view->divider_x(2);
    view->handle_mouse_down(1, 0, float(bar.down_arrow().left + 2), float(bar.bar().top + 4));
    view->handle_mouse_up(1, 0, 0, 0);
    EXPECT_EQ(bar.top_row(), 8);
    EXPECT_EQ(view->divider_x(2), shown - 8);
    view->handle_mouse_down(1, 0, float(bar.down_arrow().left - 1), float(bar.bar().top + 4));
    view->handle_mouse_up(1, 0, 0, 0);
    // Scrolled to the end, the last column ends at the view's right edge.
    EXPECT_EQ(view->divider_x(2), view->rows_area().right);

    // Both bars: the rows lose the room of both, and the corner between them is no bar's.
    add_items(5);
    ASSERT_TRUE(view->scroll().is_needed());
    EXPECT_EQ(view->scroll().bar().bottom, bar.bar().top);
    EXPECT_EQ(bar.bar().right, view->scroll().bar().left);
}

TEST_F(View, DraggingAHeaderDividerSizesTheColumn)
{
    add_items(2);
    int path = view->column_width(1);
    int divider = view->divider_x(1);
    int y = view->client_area().top + 3;
    // A press beside a divider grips it; the column follows the pointer.
    view->handle_mouse_down(1, 0, float(divider + 2), float(y));
    view->handle_mouse_move(1, 0, float(divider + 32), float(y));
    view->handle_mouse_up(1, 0, 0, 0);
    EXPECT_EQ(view->column_width(1), path + 30);
    EXPECT_EQ(view->ColumnHeaders().Item(1).Width, host::pixels_to_twips(path + 30));
    ASSERT_TRUE(view->horizontal_scroll().is_needed());
    // Sized by the user, the first column no longer makes room when the vertical bar comes.
    add_items(3);
    EXPECT_EQ(view->column_width(1), path + 30);

    // Dragged back past its left edge, a column is empty, and can still be widened again.
    view->handle_mouse_down(1, 0, float(view->divider_x(1)), float(y));
    view->handle_mouse_move(1, 0, 0, float(y));
    view->handle_mouse_up(1, 0, 0, 0);
    EXPECT_EQ(view->column_width(1), 0);
    view->handle_mouse_down(1, 0, float(view->divider_x(1) + 1), float(y));
    view->handle_mouse_move(1, 0, float(view->divider_x(1) + 21), float(y));
    view->handle_mouse_up(1, 0, 0, 0);
    EXPECT_EQ(view->column_width(1), 20);
}
