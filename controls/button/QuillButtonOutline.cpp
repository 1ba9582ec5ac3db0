// The button's window outline: segment shapes with slanted ends, or a rectangle with the corner
// cells its face style leaves out. The window owns each outline once it has it.

#include "controls/button/QuillButton.h"

#include "platform/host/Host.h"

namespace sorrel::controls {

void QuillButton::UserControl_Resize()
{
    // Before the first show or repaint there is nothing to fit.
    if (!m_paint_ready)
        return;
    BuildOutline();
    // From here on the window owns the region and frees it when it is replaced. A window that
    // refuses it leaves the region with us, so it goes at once.
    if (m_outline_region && host().SetWindowRgn(hWnd(), m_outline_region, gdi::TRUE) == 0) {
        gdi::DeleteObject(m_outline_region);
        m_outline_region = nullptr;
    }
    LayoutCaption();
    PrepareIcon();
    RefreshButton();
}

void QuillButton::BuildOutline()
{
    int w = face_width();
    int h = face_height();

    int32_t slant_l = slant_left();
    int32_t slant_r = slant_right();
    if (slant_l != 0 || slant_r != 0) {
        // The slant is 18 pixels whatever the height; the face style plays no part.
        gdi::POINT corners[4] = {{0, 0}, {slant_l, h}, {w, h}, {w - slant_r, 0}};
        m_outline_region = gdi::CreatePolygonRgn(corners, 4, gdi::WINDING);
        return;
    }

    m_outline_region = gdi::CreateRectRgn(0, 0, w, h);
    auto cut = [&](int left, int top, int right, int bottom) {
        gdi::HRGN cell = gdi::CreateRectRgn(left, top, right, bottom);
        gdi::CombineRgn(m_outline_region, m_outline_region, cell, gdi::RGN_DIFF);
        gdi::DeleteObject(cell);
    };
    switch (face_type()) {
    case FaceType::Classic:
        // The corner pixels of the dark outline.
        cut(0, 0, 1, 1);
        cut(0, h - 1, 1, h);
        cut(w - 1, 0, w, 1);
        cut(w - 1, h - 1, w, h);
        break;
    case FaceType::XP:
    case FaceType::Macintosh:
        // Three pixels at each corner round the outline off.
        cut(0, 0, 2, 1);
        cut(0, h - 1, 2, h);
        cut(w - 2, 0, w, 1);
        cut(w - 2, h - 1, w, h);
        cut(0, 1, 1, 2);
        cut(0, h - 2, 1, h - 1);
        cut(w - 1, 1, w, 2);
        cut(w - 1, h - 2, w, h - 1);
        break;
    case FaceType::Soft:
        cut(0, h - 1, 1, h);
        cut(w - 1, 0, w, 1);
        break;
    default:
        break;
    }
}

} // namespace sorrel::controls
