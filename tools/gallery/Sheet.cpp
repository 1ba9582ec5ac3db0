#include "tools/gallery/Sheet.h"

#include "platform/gdi/Gdi.h"
#include "platform/host/StdPicture.h"

#include <algorithm>
#include <cstring>

namespace sorrel::gallery {

namespace {

constexpr gdi::Color Paper = 0xF4F4F4;
constexpr gdi::Color Ink = 0x202020;
constexpr gdi::Color Muted = 0x606060;
constexpr int Margin = 16;
constexpr int Gap = 14;
constexpr int LabelHeight = 15;
constexpr int LineHeight = 16;

// Text on the sheet in a plain sans face; the font lives for one call.
class Writer {
public:
    explicit Writer(gdi::Surface& surface)
        : m_dc(gdi::CreateSurfaceDC(surface))
    {
        gdi::SetBkMode(m_dc, gdi::TRANSPARENT);
    }
    ~Writer() { gdi::DeleteDC(m_dc); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void text(int x, int y, const std::string& text, int height, gdi::Color colour, bool bold = false)
    {
        with_font(height, bold, [&] {
            gdi::SetTextColor(m_dc, colour);
            gdi::TextOutA(m_dc, x, y, text.c_str(), int(text.size()));
        });
    }
    int width(const std::string& text, int height, bool bold = false)
    {
        gdi::SIZE size {};
        with_font(
            height, bold, [&] { gdi::GetTextExtentPoint32A(m_dc, text.c_str(), int(text.size()), &size); });
        return size.cx;
    }

private:
    template<class F> void with_font(int height, bool bold, F&& use)
    {
        gdi::LOGFONTA lf {};
        lf.lfHeight = -height;
        std::string face = bold ? "Liberation Sans Bold" : "Liberation Sans";
        std::memcpy(lf.lfFaceName, face.c_str(), face.size() + 1);
        gdi::HFONT font = gdi::CreateFontIndirectA(&lf);
        gdi::HGDIOBJ previous = gdi::SelectObject(m_dc, font);
        use();
        gdi::SelectObject(m_dc, previous);
        gdi::DeleteObject(font);
    }

    gdi::HDC m_dc;
};

} // namespace

Sheet::Sheet(std::string title)
    : m_title(std::move(title))
{ }

void Sheet::row(std::string label)
{
    m_rows.push_back({std::move(label), {}});
}

void Sheet::add(gdi::Surface picture, std::string label)
{
    if (m_rows.empty())
        row("");
    m_rows.back().cells.push_back({std::move(picture), std::move(label)});
}

size_t Sheet::cell_count() const
{
    size_t n = 0;
    for (auto& r : m_rows)
        n += r.cells.size();
    return n;
}

gdi::Surface Sheet::render() const
{
    // Measure: every column is as wide as its widest picture or label, every row as high as its
    // tallest picture plus the label line.
    gdi::Surface scratch(1, 1);
    Writer measure(scratch);
    int row_label_width = 0;
    for (auto& r : m_rows)
        row_label_width = std::max(row_label_width, measure.width(r.label, 11, true));
    std::vector<int> column_width;
    for (auto& r : m_rows)
        for (size_t i = 0; i < r.cells.size(); ++i) {
            if (column_width.size() <= i)
                column_width.push_back(0);
            int w = std::max(r.cells[i].picture.width(), measure.width(r.cells[i].label, 10));
            column_width[i] = std::max(column_width[i], w);
        }
    int width = Margin + row_label_width + Gap;
    for (int w : column_width)
        width += w + Gap;
    width = std::max(width + Margin, Margin * 2 + measure.width(m_title, 16, true));
    for (auto& note : m_notes)
        width = std::max(width, Margin * 2 + measure.width(note, 11));

    int height = Margin + 24 + int(m_notes.size()) * LineHeight + Gap;
    std::vector<int> row_height;
    for (auto& r : m_rows) {
        int h = 0;
        for (auto& c : r.cells)
            h = std::max(h, c.picture.height());
        row_height.push_back(h + LabelHeight + 4);
        height += row_height.back() + Gap;
    }
    height += Margin;

    gdi::Surface sheet(width, height, Paper);
    Writer out(sheet);
    out.text(Margin, Margin, m_title, 16, Ink, true);
    int y = Margin + 24;
    for (auto& note : m_notes) {
        out.text(Margin, y, note, 11, Muted);
        y += LineHeight;
    }
    y += Gap;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const Row& row = m_rows[r];
        out.text(Margin, y + 4, row.label, 11, Ink, true);
        int x = Margin + row_label_width + Gap;
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const Cell& cell = row.cells[i];
            for (int py = 0; py < cell.picture.height(); ++py)
                for (int px = 0; px < cell.picture.width(); ++px) {
                    gdi::Color c = cell.picture.pixel(px, py);
                    // Pixels outside the button's window outline carry no alpha.
                    if (gdi::alpha_of(c) != 0)
                        sheet.set_pixel(x + px, y + py, gdi::without_alpha(c));
                }
            out.text(x, y + cell.picture.height() + 3, cell.label, 10, Muted);
            x += column_width[i] + Gap;
        }
        y += row_height[r] + Gap;
    }
    return sheet;
}

host::ErrorOr<void> Sheet::save(const std::string& path) const
{
    return host::save_png(render(), path);
}

} // namespace sorrel::gallery
