#pragma once

// Drawing shared by the standard controls (check box, frame, text field): classic 3-D edges and
// text lines in a canvas's font.

#include "platform/host/Canvas.h"

#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host::painting {

// A two-pixel sunken edge just inside `r` (text fields, the check square).
void sunken_edge(gdi::Surface& s, const gdi::Rect& r);
// An etched (engraved) one-pixel line pair rectangle inside `r` (frames).
void etched_rect(gdi::Surface& s, const gdi::Rect& r);

struct TextSize {
    int width {0};
    int height {0};
};
TextSize measure(gdi::HDC dc, std::string_view text);
// Draws one line with its top-left at (x, y) in the DC's font and text colour, transparently.
void text_at(gdi::HDC dc, int x, int y, std::string_view text);
// Splits at CR LF (or a lone LF); with `wrap_width` > 0 also wraps long lines at spaces.
std::vector<std::string> lines_of(gdi::HDC dc, std::string_view text, int wrap_width);

} // namespace sorrel::host::painting
