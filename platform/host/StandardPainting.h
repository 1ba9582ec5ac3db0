#pragma once

// The classic look of the host's own controls (check box, frame, text field, lists, the message
// box): 3-D edges, arrows, scroll bars and text lines in a canvas's font. Every piece draws in the
// current system colours.

#include "platform/host/Canvas.h"

#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host::painting {

// A two-pixel sunken edge just inside `r` (text fields, the check square).
void sunken_edge(gdi::Surface& s, const gdi::Rect& r);
// An etched (engraved) one-pixel line pair rectangle inside `r` (frames).
void etched_rect(gdi::Surface& s, const gdi::Rect& r);
// A one-pixel frame just inside `r`.
void frame(gdi::Surface& s, const gdi::Rect& r, gdi::Color colour);
// The raised edge just inside `r`: highlight top and left, the dark shadow bottom and right with
// the shadow inside it. Nothing for a rectangle narrower or lower than two pixels.
void raised_edge(gdi::Surface& s, const gdi::Rect& r);
// `r` in the face colour inside a raised edge (header cells, scroll buttons and thumbs, buttons).
void raised_panel(gdi::Surface& s, const gdi::Rect& r);

enum class Direction { Up, Down, Left, Right };
// A solid triangle seven pixels wide and four deep pointing in `direction`, the top-left corner
// of its bounding box at `origin`.
void arrow(gdi::Surface& s, gdi::Point origin, Direction direction, gdi::Color colour);
// The same triangle about the centre of `r`.
void arrow_in(gdi::Surface& s, const gdi::Rect& r, Direction direction, gdi::Color colour);

// A scroll bar's parts; an empty thumb is not drawn.
struct ScrollBarParts {
    gdi::Rect track;
    gdi::Rect back_button; // up or left
    gdi::Rect forward_button; // down or right
    gdi::Rect thumb;
    bool horizontal {false};
};
// The track as a fine checker of face and highlight, the two arrow buttons and the thumb.
void scroll_bar(gdi::Surface& s, const ScrollBarParts& bar);

struct TextSize {
    int width {0};
    int height {0};
};
TextSize measure(gdi::HDC dc, std::string_view text);
// Draws one line with its top-left at (x, y) in the DC's font and text colour, transparently.
void text_at(gdi::HDC dc, int x, int y, std::string_view text);
// text_at, with only the part inside `clip` drawn.
void text_clipped(gdi::HDC dc, int x, int y, const gdi::Rect& clip, std::string_view text);
// Splits at CR LF (or a lone LF); with `wrap_width` > 0 also wraps long lines at spaces.
std::vector<std::string> lines_of(gdi::HDC dc, std::string_view text, int wrap_width);

} // namespace sorrel::host::painting
