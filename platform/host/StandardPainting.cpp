#include "platform/host/StandardPainting.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace sorrel::host::painting {

static void hline(gdi::Surface& s, int x0, int x1, int y, gdi::Color c)
{
    s.fill_rect({x0, y, x1, y + 1}, c);
}

static void vline(gdi::Surface& s, int x, int y0, int y1, gdi::Color c)
{
    s.fill_rect({x, y0, x + 1, y1}, c);
}

// One ring of an edge: `top_left` along the top and left, `bottom_right` along the bottom and
// right, which owns the top-right and bottom-left corners.
static void edge_ring(gdi::Surface& s, const gdi::Rect& r, gdi::Color top_left, gdi::Color bottom_right)
{
    hline(s, r.left, r.right - 1, r.top, top_left);
    vline(s, r.left, r.top, r.bottom - 1, top_left);
    hline(s, r.left, r.right, r.bottom - 1, bottom_right);
    vline(s, r.right - 1, r.top, r.bottom, bottom_right);
}

void sunken_edge(gdi::Surface& s, const gdi::Rect& r)
{
    if (r.width() < 4 || r.height() < 4)
        return;
    gdi::Color shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    gdi::Color dark = gdi::GetSysColor(gdi::COLOR_3DDKSHADOW);
    gdi::Color light = gdi::GetSysColor(gdi::COLOR_3DLIGHT);
    gdi::Color highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    // Outer: shadow top-left, highlight bottom-right
    edge_ring(s, r, shadow, highlight);
    // Inner: dark shadow top-left, light bottom-right
    edge_ring(s, r.inflated(-1, -1), dark, light);
}

void etched_rect(gdi::Surface& s, const gdi::Rect& r)
{
    if (r.width() < 2 || r.height() < 2)
        return;
    gdi::Color shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    gdi::Color highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    // Highlight first, offset by one; the shadow line over it.
    hline(s, r.left + 1, r.right, r.top + 1, highlight);
    vline(s, r.left + 1, r.top + 1, r.bottom, highlight);
    hline(s, r.left, r.right, r.bottom - 1, highlight);
    vline(s, r.right - 1, r.top, r.bottom, highlight);
    hline(s, r.left, r.right - 1, r.top, shadow);
    vline(s, r.left, r.top, r.bottom - 1, shadow);
    hline(s, r.left, r.right - 1, r.bottom - 2, shadow);
    vline(s, r.right - 2, r.top, r.bottom - 1, shadow);
}

void frame(gdi::Surface& s, const gdi::Rect& r, gdi::Color colour)
{
    edge_ring(s, r, colour, colour);
}

void raised_edge(gdi::Surface& s, const gdi::Rect& r)
{
    if (r.width() < 2 || r.height() < 2)
        return;
    gdi::Color highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    gdi::Color shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    gdi::Color dark = gdi::GetSysColor(gdi::COLOR_3DDKSHADOW);
    // Light top and left, shadow inside the dark right and bottom edges
    edge_ring(s, r, highlight, dark);
    hline(s, r.left + 1, r.right - 1, r.bottom - 2, shadow);
    vline(s, r.right - 2, r.top + 1, r.bottom - 1, shadow);
}

void raised_panel(gdi::Surface& s, const gdi::Rect& r)
{
    if (r.width() < 2 || r.height() < 2)
        return;
    s.fill_rect(r, gdi::GetSysColor(gdi::COLOR_BTNFACE));
    raised_edge(s, r);
}

void arrow(gdi::Surface& s, gdi::Point origin, Direction direction, gdi::Color colour)
{
    const int x = origin.x, y = origin.y;
    // Row (or column) i from the base: 7 - 2i pixels long.
    for (int i = 0; i < 4; ++i) {
        switch (direction) {
        case Direction::Down:
            s.fill_rect({x + i, y + i, x + 7 - i, y + i + 1}, colour);
            break;
        case Direction::Up:
            s.fill_rect({x + i, y + 3 - i, x + 7 - i, y + 4 - i}, colour);
            break;
        case Direction::Right:
            s.fill_rect({x + i, y + i, x + i + 1, y + 7 - i}, colour);
            break;
        case Direction::Left:
            s.fill_rect({x + 3 - i, y + i, x + 4 - i, y + 7 - i}, colour);
            break;
        }
    }
}

void arrow_in(gdi::Surface& s, const gdi::Rect& r, Direction direction, gdi::Color colour)
{
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const bool vertical = direction == Direction::Up || direction == Direction::Down;
    arrow(s, vertical ? gdi::Point {cx - 3, cy - 2} : gdi::Point {cx - 2, cy - 3}, direction, colour);
}

void scroll_bar(gdi::Surface& s, const ScrollBarParts& bar)
{
    gdi::Color face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    gdi::Color highlight = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
    for (int y = bar.track.top; y < bar.track.bottom; ++y) {
        for (int x = bar.track.left; x < bar.track.right; ++x)
            s.set_pixel(x, y, ((x + y) & 1) ? face : highlight);
    }
    gdi::Color arrow_colour = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
    raised_panel(s, bar.back_button);
    arrow_in(s, bar.back_button, bar.horizontal ? Direction::Left : Direction::Up, arrow_colour);
    raised_panel(s, bar.forward_button);
    arrow_in(s, bar.forward_button, bar.horizontal ? Direction::Right : Direction::Down, arrow_colour);
    if (!bar.thumb.is_empty())
        raised_panel(s, bar.thumb);
}

TextSize measure(gdi::HDC dc, std::string_view text)
{
    gdi::SIZE size {};
    if (text.empty()) {
        gdi::TEXTMETRICA tm {};
        if (gdi::GetTextMetricsA(dc, &tm))
            return {0, int(tm.tmHeight)};
        return {};
    }
    if (!gdi::GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size))
        return {};
    return {int(size.cx), int(size.cy)};
}

void text_at(gdi::HDC dc, int x, int y, std::string_view text)
{
    if (text.empty())
        return;
    int old_mode = gdi::SetBkMode(dc, gdi::TRANSPARENT);
    gdi::TextOutA(dc, x, y, text.data(), int(text.size()));
    gdi::SetBkMode(dc, old_mode);
}

void text_clipped(gdi::HDC dc, int x, int y, const gdi::Rect& clip, std::string_view text)
{
    if (text.empty())
        return;
    const gdi::RECT rect {clip.left, clip.top, clip.right, clip.bottom};
    int old_mode = gdi::SetBkMode(dc, gdi::TRANSPARENT);
    gdi::ExtTextOutA(dc, x, y, gdi::ETO_CLIPPED, &rect, text.data(), gdi::UINT(text.size()), nullptr);
    gdi::SetBkMode(dc, old_mode);
}

namespace {

// The widths of single characters in the DC's font, each measured once. A line's width is the
// plain sum of its characters' advances (no kerning), so sums of these give any piece's width.
class CharacterWidths {
public:
    explicit CharacterWidths(gdi::HDC dc)
        : m_dc(dc)
    {
        m_width.fill(-1);
    }
    int64_t operator()(char c)
    {
        int& width = m_width[uint8_t(c)];
        if (width < 0)
            width = std::max(measure(m_dc, std::string_view(&c, 1)).width, 0);
        return width;
    }

private:
    gdi::HDC m_dc;
    std::array<int, 256> m_width;
};

// Wraps a line without line breaks at the last space that keeps a piece within `wrap_width`, else
// (a word wider than that) after the last character that fits, at least one. Running sums of the
// character widths stand in for measuring each candidate piece, so this is linear in the line's
// length: a failure list is one line of thousands of names.
void wrap_line(
    std::string_view line, int wrap_width, CharacterWidths& widths, std::vector<std::string>& lines)
{
    constexpr size_t none = std::string_view::npos;
    size_t const n = line.size();
    int64_t total = 0;
    for (char c : line)
        total += widths(c);
    // line[start, fits) is the longest piece from start within the width; `passed` is the width
    // of line[0, start), `reached` that of line[0, fits), and `space` the last space before fits.
    size_t start = 0, fits = 0, space = none;
    int64_t passed = 0, reached = 0;
    auto move_start = [&](size_t to) {
        for (; start < to; ++start)
            passed += widths(line[start]);
    };
    while (start < n && total - passed > wrap_width) {
        if (fits < start) {
            fits = start;
            reached = passed;
        }
        while (fits < n && reached + widths(line[fits]) - passed <= wrap_width) {
            if (line[fits] == ' ')
                space = fits;
            reached += widths(line[fits]);
            ++fits;
        }
        // The rest is wider than the width, so fits < n.
        size_t cut = line[fits] == ' ' ? fits : space;
        if (cut == none || cut <= start) {
            size_t taken = std::max<size_t>(fits - start, 1);
            lines.emplace_back(line.substr(start, taken));
            move_start(start + taken);
        } else {
            lines.emplace_back(line.substr(start, cut - start));
            move_start(cut + 1);
        }
    }
    lines.emplace_back(line.substr(start));
}

} // namespace

std::vector<std::string> lines_of(gdi::HDC dc, std::string_view text, int wrap_width)
{
    std::vector<std::string_view> hard;
    size_t begin = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\n' && c != '\r')
            continue;
        hard.push_back(text.substr(begin, i - begin));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        begin = i + 1;
    }
    hard.push_back(text.substr(begin));
    std::vector<std::string> lines;
    if (wrap_width <= 0) {
        lines.assign(hard.begin(), hard.end());
        return lines;
    }
    CharacterWidths widths(dc);
    for (auto line : hard)
        wrap_line(line, wrap_width, widths, lines);
    return lines;
}

} // namespace sorrel::host::painting
