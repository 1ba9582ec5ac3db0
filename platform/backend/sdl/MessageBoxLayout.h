#pragma once

// Where a message box puts its icon, text and buttons, worked out without a window: text wrapped
// to the room the screen gives, and cut with "..." when even the screen's height is not enough,
// while the question at its end and the buttons always stay on the box.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Rect.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::backend {

// The largest box, in the box's own (unscaled) pixels.
struct MessageBoxRoom {
    int width {0};
    int height {0};
};

// The room on a screen whose usable area is `screen_width` x `screen_height` real pixels, for a
// box drawn at `scale`: at most two thirds of the width, and the height less a title bar.
MessageBoxRoom message_box_room(int screen_width, int screen_height, int scale);

struct MessageBoxLayout {
    int width {0};
    int height {0};
    int line_height {13};
    std::vector<std::string> lines;
    gdi::Rect icon;
    gdi::Rect text;
    std::vector<gdi::Rect> buttons;
};

// The width of a single-line text in pixels.
using TextMeasure = std::function<int(std::string_view)>;

// Lines break at CR LF, CR or LF, and a line wider than the room breaks at its last space that
// fits (so a list joined with "; " breaks between its names), or inside a word wider than the
// room. When the lines are more than the room's height holds, the text is cut before its last
// line (the question) and the last line kept before the cut ends with "...".
MessageBoxLayout layout_message_box(std::string_view text, bool has_icon, int button_count,
    MessageBoxRoom room, const TextMeasure& measure, int line_height);

// The same with the box's own font.
MessageBoxLayout layout_message_box(
    std::string_view text, bool has_icon, int button_count, MessageBoxRoom room);

// A device context on `surface` with the box's font selected; frees both on destruction.
class MessageBoxDC {
public:
    explicit MessageBoxDC(gdi::Surface& surface);
    ~MessageBoxDC();
    MessageBoxDC(const MessageBoxDC&) = delete;
    MessageBoxDC& operator=(const MessageBoxDC&) = delete;

    gdi::SIZE measure(std::string_view text);
    gdi::HDC dc() const { return m_dc; }

private:
    gdi::HDC m_dc;
    gdi::HFONT m_font;
    gdi::HGDIOBJ m_previous;
};

} // namespace sorrel::backend
