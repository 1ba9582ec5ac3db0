// The colour helpers and the drawing primitives every painter of the button draws through. Each
// primitive fetches the control's device context when it draws. Brushes live within one call;
// a pen stays selected until the next primitive's pen replaces and deletes it, so one pen at
// most outlives a paint, and the control deletes it when it goes.

#include "controls/button/PaintSupport.h"
#include "controls/button/QuillButton.h"

#include <algorithm>
#include <cstdio>

namespace sorrel::controls {

namespace {

// Selects a new solid one-pixel pen and deletes the one it replaces. The pen is not restored:
// it stays selected until the next primitive replaces it, or until the control goes.
void use_pen(gdi::HDC dc, gdi::Color colour)
{
    gdi::DeleteObject(gdi::SelectObject(dc, gdi::CreatePen(gdi::PS_SOLID, 1, colour)));
}

} // namespace

gdi::Color QuillButton::ShiftColor(gdi::Color colour, int32_t amount, bool proportional, std::string* text)
{
    const gdi::Color result = shifted_colour(colour, amount, proportional);
    if (text) {
        char digits[16];
        std::snprintf(
            digits, sizeof(digits), "%03u%03u%03u", result & 0xFF, (result >> 8) & 0xFF, result >> 16);
        *text = digits;
    }
    return result;
}

gdi::Color QuillButton::TranslateSystemColor(gdi::Color value)
{
    if (int32_t(value) < -1)
        return gdi::GetSysColor(int(value & 0xFF));
    return value;
}

int32_t QuillButton::slant_right() const
{
    return (outline_style() == OutlineStyle::SlantedRight || outline_style() == OutlineStyle::SlantedBoth)
        ? 18
        : 0;
}

int32_t QuillButton::slant_left() const
{
    return (outline_style() == OutlineStyle::SlantedBoth || outline_style() == OutlineStyle::SlantedLeft) ? 18
                                                                                                          : 0;
}

void QuillButton::release_pen()
{
    if (gdi::HDC dc = hDC())
        gdi::DeleteObject(gdi::SelectObject(dc, gdi::GetStockObject(gdi::BLACK_PEN)));
}

void QuillButton::SetPixelAt(int32_t x, int32_t y, gdi::Color colour)
{
    gdi::SetPixelV(hDC(), x, y, colour);
}

void QuillButton::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, gdi::Color colour)
{
    gdi::HDC dc = hDC();
    use_pen(dc, colour);
    gdi::MoveToEx(dc, x1, y1, nullptr);
    gdi::LineTo(dc, x2, y2);
}

void QuillButton::FillOrOutline(
    int32_t left, int32_t top, int32_t right, int32_t bottom, gdi::Color colour, bool outline, gdi::HDC dc)
{
    if (!dc)
        dc = hDC();
    gdi::RECT rect {left, top, right, bottom};
    int32_t slant_l = slant_left();
    int32_t slant_r = slant_right();
    if (!outline) {
        gdi::HBRUSH brush = gdi::CreateSolidBrush(colour);
        gdi::FillRect(dc, &rect, brush);
        gdi::DeleteObject(brush);
    } else if (slant_l != 0 || slant_r != 0) {
        // The segment outline is drawn on the control's own surface; its inside stays as it is.
        gdi::HDC own = hDC();
        use_pen(own, colour);
        gdi::HGDIOBJ previous_brush = gdi::SelectObject(own, gdi::GetStockObject(gdi::NULL_BRUSH));
        gdi::POINT corners[4]
            = {{left, top}, {right - slant_r, top}, {right, bottom - 1}, {left + slant_l, bottom - 1}};
        gdi::Polygon(own, corners, 4);
        if (previous_brush)
            gdi::SelectObject(own, previous_brush);
    } else {
        gdi::HBRUSH brush = gdi::CreateSolidBrush(colour);
        gdi::FrameRect(dc, &rect, brush);
        gdi::DeleteObject(brush);
    }
}

void QuillButton::DrawBevel(
    gdi::Color c1, gdi::Color c2, gdi::Color c3, gdi::Color c4, int16_t BevelInset, bool OuterOnly)
{
    gdi::HDC dc = hDC();
    int32_t a = BevelInset;
    int32_t rt = face_width() - 1;
    int32_t bt = face_height() - 1;
    int32_t l = slant_left();
    int32_t r = slant_right();

    // Outer left and top edges.
    use_pen(dc, c1);
    gdi::MoveToEx(dc, a + l, bt, nullptr);
    gdi::LineTo(dc, a, a);
    gdi::LineTo(dc, rt - r, a);
    // Outer right and bottom edges; they always lie on the last column and row.
    use_pen(dc, c2);
    gdi::LineTo(dc, rt, bt);
    gdi::LineTo(dc, a + l - 1, bt);
    gdi::MoveToEx(dc, a + 1 + l, bt, nullptr);
    if (OuterOnly)
        return;
    // Inner left and top edges.
    use_pen(dc, c3);
    gdi::LineTo(dc, a + 1, a + 1);
    gdi::LineTo(dc, rt - r - 1, a + 1);
    // Inner right and bottom edges.
    use_pen(dc, c4);
    gdi::LineTo(dc, rt - 1, bt - 1);
    gdi::LineTo(dc, a + l, bt - 1);
}

void QuillButton::DrawFocusIndicator(const FaceLook& face)
{
    if (!m_show_focus)
        return;
    gdi::HDC dc = hDC();
    gdi::RECT rect;
    bool segmented = slant_left() != 0 || slant_right() != 0;
    if (segmented || face_type() == FaceType::Soft) {
        // Around the caption, which a press moves: the rectangle moves with it.
        const int32_t P = pressed_offset(face);
        rect = {m_caption_rect.Left + P, m_caption_rect.Top + P, m_caption_rect.Right + P,
            m_caption_rect.Bottom + P};
    } else
        rect = {4, 4, face_width() - 4, face_height() - 4};
    use_pen(dc, face_type() == FaceType::Soft ? gdi::Color(0xCC9999) : gdi::Color(0));
    // Drawn by inverting pixels: drawing it twice takes it away again.
    gdi::DrawFocusRect(dc, &rect);
    host::UserControl::ForeColor(m_palette.text);
}

void QuillButton::PaintGradient()
{
    float w = ScaleWidth();
    float h = ScaleHeight();
    // b decides which corner carries the start colour: orientations 2 and 3 run backwards.
    int b = m_gradient_orientation > 1 ? 1 : 0;
    auto vertex = [](float x, float y, gdi::Color colour) {
        gdi::Color c = ShiftColor(colour, 0, false);
        gdi::TRIVERTEX v {};
        v.x = gdi::LONG(host::round_half_even(x));
        v.y = gdi::LONG(host::round_half_even(y));
        v.Red = gdi::COLOR16((c & 0xFF) << 8);
        v.Green = gdi::COLOR16(((c >> 8) & 0xFF) << 8);
        v.Blue = gdi::COLOR16(((c >> 16) & 0xFF) << 8);
        v.Alpha = 0;
        return v;
    };
    gdi::TRIVERTEX vertices[2];
    vertices[b] = vertex(float(b) * w, float(b) * h, m_gradient_start);
    vertices[1 - b] = vertex(w - float(b) * w, h - float(b) * h, m_gradient_stop);
    gdi::GRADIENT_RECT mesh {0, 1};
    // Orientations outside 0..3 (only a stored value can be one) run horizontally.
    int64_t mode = int64_t(m_gradient_orientation) - 2 * b;
    gdi::ULONG fill_mode = mode == 1 ? gdi::GRADIENT_FILL_RECT_V : gdi::GRADIENT_FILL_RECT_H;
    gdi::GradientFill(hDC(), vertices, 2, &mesh, 1, fill_mode);
}

} // namespace sorrel::controls
