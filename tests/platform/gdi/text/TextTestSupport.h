#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cstring>

namespace sorrel::gdi::test {

inline LOGFONTA font_description(const char* face, LONG height, LONG escapement = 0)
{
    LOGFONTA description {};
    description.lfHeight = height;
    description.lfEscapement = escapement;
    std::strncpy(description.lfFaceName, face, LF_FACESIZE - 1);
    return description;
}

// A device context on its own surface with one font selected; everything is released at the end.
class FontFixture {
public:
    explicit FontFixture(const LOGFONTA& description, int width = 200, int height = 200)
        : surface(width, height, background)
    {
        dc = CreateSurfaceDC(surface);
        font = CreateFontIndirectA(&description);
        previous = SelectObject(dc, font);
    }
    ~FontFixture()
    {
        SelectObject(dc, previous);
        DeleteObject(font);
        DeleteDC(dc);
    }
    FontFixture(const FontFixture&) = delete;
    FontFixture& operator=(const FontFixture&) = delete;

    TEXTMETRICA metrics() const
    {
        TEXTMETRICA tm {};
        GetTextMetricsA(dc, &tm);
        return tm;
    }

    // The smallest rectangle around every pixel that differs from the background.
    Rect changed_pixels() const
    {
        Rect box {surface.width(), surface.height(), 0, 0};
        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                if (surface.pixel(x, y) != background) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
            }
        }
        return box.is_empty() ? Rect {} : box;
    }

    static constexpr Color background = 0xFFFFFF;
    Surface surface;
    HDC dc {nullptr};
    HFONT font {nullptr};
    HGDIOBJ previous {nullptr};
};

} // namespace sorrel::gdi::test
