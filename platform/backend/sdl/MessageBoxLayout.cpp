#include "platform/backend/sdl/MessageBoxLayout.h"

#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cstdio>

namespace sorrel::backend {

namespace {

constexpr int margin = 12;
constexpr int button_width = 75;
constexpr int button_height = 23;
constexpr int button_gap = 6;
constexpr int icon_size = 32;
constexpr int min_width = 160;
// What a window manager's title bar and frame take from the screen's height.
constexpr int window_frame = 40;

std::vector<std::string_view> source_lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::string_view trim_spaces(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Appends `line` wrapped to `limit` pixels to `out`, until `out` holds `max_lines` lines. Only the
// first `limit` characters of what is left are ever measured: a glyph is at least a pixel wide,
// so a longer piece cannot fit, and a list of a hundred thousand names stays quick to lay out.
void wrap(std::string_view line, int limit, const TextMeasure& measure, std::vector<std::string>& out,
    size_t max_lines)
{
    size_t most = size_t(std::max(limit, 1));
    auto fits = [&](size_t end) { return end <= most && measure(line.substr(0, end)) <= limit; };
    do {
        if (out.size() >= max_lines)
            return;
        if (fits(line.size())) {
            out.emplace_back(trim_spaces(line));
            return;
        }
        // The longest piece that ends before a space and fits.
        size_t piece = 0;
        for (size_t space = line.find(' '); space != std::string_view::npos;
             space = line.find(' ', space + 1)) {
            if (trim_spaces(line.substr(0, space)).empty())
                continue;
            if (!fits(space))
                break;
            piece = space;
        }
        if (piece == 0) {
            // A word wider than the room breaks at its last character that fits (at least one).
            size_t low = 1, high = std::min(line.size(), most);
            while (low < high) {
                size_t middle = (low + high + 1) / 2;
                if (fits(middle))
                    low = middle;
                else
                    high = middle - 1;
            }
            piece = low;
        }
        out.emplace_back(trim_spaces(line.substr(0, piece)));
        line.remove_prefix(piece);
        while (!line.empty() && line.front() == ' ')
            line.remove_prefix(1);
    } while (!line.empty());
}

// Ends `line` with "...", shortened so that it still fits.
std::string with_ellipsis(std::string line, int limit, const TextMeasure& measure)
{
    line = std::string(trim_spaces(line));
    while (!line.empty() && measure(line + "...") > limit) {
        line.pop_back();
        line = std::string(trim_spaces(line));
    }
    return line + "...";
}

} // namespace

MessageBoxRoom message_box_room(int screen_width, int screen_height, int scale)
{
    scale = std::max(scale, 1);
    return {screen_width * 2 / 3 / scale, (screen_height - window_frame) / scale};
}

MessageBoxLayout layout_message_box(std::string_view text, bool has_icon, int button_count,
    MessageBoxRoom room, const TextMeasure& measure, int line_height)
{
    MessageBoxLayout layout;
    layout.line_height = std::max(line_height, 1);
    int icon = has_icon ? icon_size + margin : 0;
    int buttons_width = button_count * button_width + std::max(button_count - 1, 0) * button_gap;
    int limit = std::max(room.width - 2 * margin - icon, 1);
    size_t available = size_t(std::max((room.height - 3 * margin - button_height) / layout.line_height, 1));

    // The last line (the question) is laid out first: a cut never takes it.
    std::vector<std::string_view> sources = source_lines(text);
    std::vector<std::string> tail;
    bool blank_before_tail = false;
    if (sources.size() > 1) {
        wrap(sources.back(), limit, measure, tail, available);
        sources.pop_back();
        blank_before_tail = sources.back().empty();
    }
    std::vector<std::string> head;
    for (auto source : sources) {
        if (head.size() > available)
            break;
        wrap(source, limit, measure, head, available + 1);
    }

    if (head.size() + tail.size() > available) {
        // Keep at least one line of the text before the question, to carry the "...".
        if (tail.size() >= available)
            tail.erase(tail.begin(), tail.begin() + std::ptrdiff_t(tail.size() - (available - 1)));
        size_t room_left = available - tail.size();
        bool blank = blank_before_tail && room_left >= 2;
        head.resize(room_left - (blank ? 1 : 0));
        if (!head.empty())
            head.back() = with_ellipsis(head.back(), limit, measure);
        if (blank)
            head.emplace_back();
    }
    layout.lines = std::move(head);
    layout.lines.insert(layout.lines.end(), tail.begin(), tail.end());

    int text_width = 0;
    for (auto& line : layout.lines)
        text_width = std::max(text_width, measure(line));
    int text_height = int(layout.lines.size()) * layout.line_height;
    int width = std::max(margin * 2 + icon + text_width, margin * 2 + buttons_width);
    width = std::clamp(
        width, std::min(min_width, room.width), std::max(room.width, margin * 2 + buttons_width));
    int body = std::max(text_height, has_icon ? icon_size : 0);
    layout.width = width;
    layout.height = margin + body + margin + button_height + margin;
    layout.icon = has_icon ? gdi::Rect::from_size(margin, margin, icon_size, icon_size) : gdi::Rect {};
    layout.text
        = gdi::Rect::from_size(margin + icon, margin + (body - text_height) / 2, text_width, text_height);
    int x = (width - buttons_width) / 2;
    for (int i = 0; i < button_count; ++i) {
        layout.buttons.push_back(
            gdi::Rect::from_size(x, layout.height - margin - button_height, button_width, button_height));
        x += button_width + button_gap;
    }
    return layout;
}

MessageBoxLayout layout_message_box(
    std::string_view text, bool has_icon, int button_count, MessageBoxRoom room)
{
    gdi::Surface scratch(1, 1);
    MessageBoxDC dc(scratch);
    return layout_message_box(
        text, has_icon, button_count, room, [&](std::string_view s) { return int(dc.measure(s).cx); },
        std::max<int>(dc.measure("Xg").cy, 13));
}

MessageBoxDC::MessageBoxDC(gdi::Surface& surface)
{
    m_dc = gdi::CreateSurfaceDC(surface);
    gdi::LOGFONTA lf {};
    lf.lfHeight = -11;
    lf.lfWeight = 400;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "MS Sans Serif");
    m_font = gdi::CreateFontIndirectA(&lf);
    m_previous = gdi::SelectObject(m_dc, m_font);
    gdi::SetBkMode(m_dc, gdi::TRANSPARENT);
}

MessageBoxDC::~MessageBoxDC()
{
    gdi::SelectObject(m_dc, m_previous);
    gdi::DeleteObject(m_font);
    gdi::DeleteDC(m_dc);
}

gdi::SIZE MessageBoxDC::measure(std::string_view text)
{
    gdi::SIZE size {0, 0};
    if (text.empty()) {
        // The height of a line, without any width.
        if (!gdi::GetTextExtentPoint32A(m_dc, " ", 1, &size))
            size = {0, 13};
        size.cx = 0;
        return size;
    }
    if (!gdi::GetTextExtentPoint32A(m_dc, text.data(), int(text.size()), &size))
        size = {0, 13};
    return size;
}

} // namespace sorrel::backend
