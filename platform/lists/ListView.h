#pragma once

#include "platform/host/Accessibility.h"
#include "platform/host/Canvas.h"
#include "platform/host/Control.h"
#include "platform/lists/ListScroll.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::lists {

class ListView;

// A column of the report view: its header text and width in twips.
struct ColumnHeader {
    std::string Text;
    float Width {1440};
};

// One row: its text (first column) and the texts of the other columns.
class ListItem {
public:
    ListItem(ListView& owner, std::string text)
        : m_owner(&owner)
        , m_text(std::move(text))
    { }

    const std::string& Text() const { return m_text; }
    void Text(std::string text);
    // The text of column `index` + 1 (SubItems(1) is the second column); empty when unset.
    std::string SubItems(int index) const;
    // Index 0 or below changes nothing.
    void SubItems(int index, std::string text);

private:
    ListView* m_owner;
    std::string m_text;
    std::vector<std::string> m_sub_items;
};

// A list view in report view: a header row with the columns' texts, one row per item, a
// vertical scroll bar (with wheel scrolling) once the items overflow the height, and a
// horizontal one once the columns overflow the width. Items are only ever added; references to
// them stay valid as long as the view.
//
// Column widths. Until the user sizes a column, the first column gives up what the view lacks,
// down to the width of its header text, so that the other columns show whole also when the
// vertical bar takes its room. Dragging a divider in the header (a few pixels either side of a
// column's right edge) sizes that column; from then on every column keeps the width shown.
class ListView : public host::Control {
public:
    class Columns {
    public:
        explicit Columns(ListView& view)
            : m_view(view)
        { }
        ColumnHeader& Add(std::string text, float width_twips = 1440);
        int Count() const { return int(m_view.m_columns.size()); }
        // 1 .. Count().
        const ColumnHeader& Item(int index) const { return m_view.m_columns.at(size_t(index - 1)); }

    private:
        ListView& m_view;
    };

    class Items {
    public:
        explicit Items(ListView& view)
            : m_view(view)
        { }
        ListItem& Add(std::string text);
        int Count() const { return int(m_view.m_items.size()); }
        // 1 .. Count().
        ListItem& Item(int index) const { return m_view.m_items.at(size_t(index - 1)); }

    private:
        ListView& m_view;
    };

    ListView();

    std::string_view kind() const override { return "ListView"; }
    const gdi::Surface* surface() const override { return &m_canvas.pixels(); }

    Columns ColumnHeaders() { return Columns(*this); }
    Items ListItems() { return Items(*this); }
    int item_count() const { return int(m_items.size()); }

    const host::FontRef& Font() const { return m_canvas.Font(); }
    void Font(host::FontRef font);

    // Scrolling ------------------------------------------------------------------------------
    const ListScroll& scroll() const { return m_scroll; }
    // Counts pixels: its first unit shown is how far the columns are scrolled to the left.
    const ListScroll& horizontal_scroll() const { return m_hscroll; }
    // The first row shown.
    int TopRow() const { return m_scroll.top_row(); }
    // Wheel turns in Windows units: 120 a notch, positive away from the user (up); three rows
    // a notch.
    void MouseWheel(int delta);
    // Pixel layout, for the painter and the tests.
    gdi::Rect client_area() const;
    int header_height() const;
    int row_height() const;
    gdi::Rect rows_area() const;
    // Column `index` (1 .. Count) as shown: its width, and the x of its right edge (the
    // divider) after horizontal scrolling.
    int column_width(int index) const;
    int divider_x(int index) const;
    // The distance either side of a divider that takes a press to size the column.
    static constexpr int DividerGrip = 3;

    // The column headers, then each row after "; ", every text in quotes:
    // "Path" "Version"; "c:\\Program Files\\Messenger" "4.7.3001.0".
    std::string dump_text() const override;
    bool describe_accessible(host::AccessibleNode& node) const override;

    void read_design_properties(const host::PropertyBag& bag) override;
    void write_design_properties(host::PropertyBag& bag) const override;

    // Input, in the view's pixels.
    void handle_mouse_down(int16_t button, int16_t shift, float x, float y) override;
    void handle_mouse_move(int16_t button, int16_t shift, float x, float y) override;
    void handle_mouse_up(int16_t button, int16_t shift, float x, float y) override;
    bool handle_mouse_wheel(int delta) override;
    float mouse_x_from_pixels(int x) const override { return float(x); }
    float mouse_y_from_pixels(int y) const override { return float(y); }

protected:
    void handle_system_colors_changed() override
    {
        m_canvas.refresh_system_colors();
        repaint();
    }
    void handle_resize() override;

private:
    friend class ListItem;
    void layout();
    // The shown widths of the columns for `width` pixels of view.
    void fit_columns(int width);
    // The column whose divider lies under a header point; -1 when none.
    int divider_at(int x, int y) const;
    void repaint();
    void item_changed()
    {
        repaint();
        accessible_changed(host::AccessibleEvent::TreeChanged);
    }

    host::Canvas m_canvas;
    std::vector<ColumnHeader> m_columns;
    std::deque<ListItem> m_items;
    std::vector<int> m_widths; // shown width of each column, in pixels
    bool m_fit_columns {true};
    int m_sizing_column {-1};
    int m_sizing_grip {0}; // the pointer's distance from the divider when the drag began
    ListScroll m_scroll;
    ListScroll m_hscroll {ListScroll::Orientation::Horizontal};
    int m_wheel_rest {0};
};

} // namespace sorrel::lists
