#include "platform/host/StandardPainting.h"

namespace sorrel::host::painting {

static void hline(gdi::Surface& s, int x0, int x1, int y, gdi::Color c)
{
    s.fill_rect({x0, y, x1, y + 1}, c);
}

static void vline(gdi::Surface& s, int x, int y0, int y1, gdi::Color c)
{
    s.fill_rect({x, y0, x + 1, y1}, c);
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
    hline(s, r.left, r.right - 1, r.top, shadow);
    vline(s, r.left, r.top, r.bottom - 1, shadow);
    hline(s, r.left, r.right, r.bottom - 1, highlight);
    vline(s, r.right - 1, r.top, r.bottom, highlight);
    // Inner: dark shadow top-left, light bottom-right
    hline(s, r.left + 1, r.right - 2, r.top + 1, dark);
    vline(s, r.left + 1, r.top + 1, r.bottom - 2, dark);
    hline(s, r.left + 1, r.right - 1, r.bottom - 2, light);
    vline(s, r.right - 2, r.top + 1, r.bottom - 1, light);
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

std::vector<std::string> lines_of(gdi::HDC dc, std::string_view text, int wrap_width)
{
    std::vector<std::string> hard;
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (c == '\n' || c == '\r') {
            hard.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    hard.push_back(current);
    if (wrap_width <= 0)
        return hard;
    std::vector<std::string> lines;
    for (auto& line : hard) {
        std::string rest = line;
        while (!rest.empty() && measure(dc, rest).width > wrap_width) {
            // Break at the last space that keeps the line within the width, else at a character.
            size_t cut = std::string::npos;
            for (size_t p = rest.find(' '); p != std::string::npos; p = rest.find(' ', p + 1)) {
                if (measure(dc, rest.substr(0, p)).width <= wrap_width)
                    cut = p;
                else
                    break;
            }
            if (cut == std::string::npos || cut == 0) {
                size_t n = 1;
                while (n < rest.size() && measure(dc, rest.substr(0, n + 1)).width <= wrap_width)
                    ++n;
                lines.push_back(rest.substr(0, n));
                rest = rest.substr(n);
            } else {
                lines.push_back(rest.substr(0, cut));
                rest = rest.substr(cut + 1);
            }
        }
        lines.push_back(rest);
    }
    return lines;
}

} // namespace sorrel::host::painting
