// The XP face (ButtonType 3): one shading line per pixel row, a navy outline with pixel-rounded
// corners, an orange rim while the pointer is over the button and a blue rim while it has the
// focus. The pressed and selected looks reverse the shading. Every shade is proportional: blue
// moves by its share of the amount, which keeps the face's tint.

#include "controls/button/PaintSupport.h"
#include "controls/button/QuillButton.h"

namespace sorrel::controls {

using gdi::Color;

namespace {

constexpr Color Navy = 0x733C00;
constexpr Color NavyCorner = 0x7B4D10;
constexpr Color HoverRim = 0x31B2FF;
constexpr Color HoverRimLight = 0x6BCBFF;
constexpr Color HoverRimDark = 0x0096E7;
constexpr Color HoverRimTop = 0xCEF3FF;
constexpr Color FocusRim = 0xE7AE8C;
constexpr Color FocusRimSide = 0xF0D1B5;
constexpr Color FocusRimBottom = 0xEF826B;
constexpr Color FocusRimTop = 0xFFE7CE;

} // namespace

void QuillButton::PaintXPFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    const Palette& pal = m_palette;
    auto P = [](Color c, int32_t n) { return shifted_colour(c, n, true); };

    // The shade of row i darkens by up to 25 towards the far end. A face without height has no
    // rows to shade, so the step is never divided by zero.
    const int32_t rows = size.H();
    const float step = size.h > 0 ? 25.0f / size.h : 0.0f;
    auto shade = [&](Color base, int32_t i) { return P(base, -host::to_int_half_even(step * float(i))); };
    auto corner_pixels = [&](Color c) {
        SetPixelAt(1, 1, c);
        SetPixelAt(1, size.H(-2), c);
        SetPixelAt(size.W(-2), 1, c);
        SetPixelAt(size.W(-2), size.H(-2), c);
    };
    auto pressed_bevel = [&](Color B) {
        DrawLine(2, size.H(-2), size.W(-2), size.H(-2), P(B, 16));
        DrawLine(1, size.H(-3), size.W(-2), size.H(-3), P(B, 10));
        DrawLine(size.W(-2), 2, size.W(-2), size.H(-2), P(B, 5));
        DrawLine(size.W(-3), 3, size.W(-3), size.H(-3), B);
        DrawLine(2, 1, size.W(-2), 1, P(B, -32));
        DrawLine(1, 2, size.W(-2), 2, P(B, -24));
        DrawLine(1, 2, 1, size.H(-2), P(B, -32));
        DrawLine(2, 2, 2, size.H(-2), P(B, -22));
    };
    auto rim = [&](bool hover, Color B) {
        if (hover) {
            if (outline_style() == OutlineStyle::Rectangle) {
                FillOrOutline(2, 2, size.W(-2), size.H(-2), HoverRim, true);
                DrawLine(1, 2, 1, size.H(-2), HoverRimLight);
                DrawLine(2, size.H(-2), size.W(-2), size.H(-2), HoverRimDark);
                DrawLine(2, 1, size.W(-2), 1, HoverRimTop);
                DrawLine(size.W(-2), 2, size.W(-2), size.H(-2), HoverRimLight);
            } else {
                FillOrOutline(0, 0, W, H, Navy, true);
                FillOrOutline(1, 1, size.W(-1), size.H(-1), HoverRimLight, true);
                FillOrOutline(2, 2, size.W(-2), size.H(-2), HoverRim, true);
            }
        } else if (face.focused) {
            if (outline_style() == OutlineStyle::Rectangle) {
                FillOrOutline(1, 2, size.W(-2), size.H(-2), FocusRim, true);
                DrawLine(3, 2, 3, size.H(-2), FocusRimSide);
                DrawLine(3, size.H(-2), size.W(-3), size.H(-2), FocusRimBottom);
                DrawLine(4, 3, size.W(-4), 3, FocusRimTop);
                DrawLine(size.W(-4), 3, size.W(-4), size.H(-3), FocusRimSide);
                FillOrOutline(1, 1, size.W(-1), size.H(-1), FocusRim, true);
            } else {
                FillOrOutline(0, 0, W, H, Navy, true);
                FillOrOutline(1, 1, size.W(-1), size.H(-1), FocusRim, true);
            }
        } else {
            // Idle bevel.
            DrawLine(2, size.H(-2), size.W(-2), size.H(-2), P(B, -48));
            DrawLine(1, size.H(-3), size.W(-2), size.H(-3), P(B, -32));
            DrawLine(size.W(-2), 2, size.W(-2), size.H(-2), P(B, -36));
            DrawLine(size.W(-3), 3, size.W(-3), size.H(-3), P(B, -24));
            DrawLine(2, 1, size.W(-2), 1, P(B, 16));
            DrawLine(1, 2, size.W(-2), 2, P(B, 10));
            DrawLine(1, 2, 1, size.H(-2), P(B, -5));
            DrawLine(2, 3, 2, size.H(-3), P(B, -10));
            FillOrOutline(0, 0, W, H, Navy, true);
        }
    };

    if (face.selected) {
        const Color B = P(P(pal.face, -22), 32);
        for (int32_t i = rows; i >= 1; --i)
            DrawLine(0, size.H(-i), W, size.H(-i), shade(B, i));
        if (outline_style() == OutlineStyle::Rectangle)
            corner_pixels(NavyCorner);
        pressed_bevel(B);
        FillOrOutline(0, 0, W, H, Navy, true);
        if (!face.enabled) {
            if (!face.snapshot)
                DrawCaptionAndIcon(face, pal.highlight, NoPass, NoPass);
            return;
        }
        rim(face.pointer_over(), B);
        DrawCaptionAndIcon(face, face.pointer_over() ? pal.hover_text : pal.text, NoPass, NoPass);
        return;
    }

    if (face.pressed()) {
        const Color B = P(P(pal.face, 48), -32);
        for (int32_t i = 1; i <= rows; ++i)
            DrawLine(0, size.H(-i), W, size.H(-i), shade(B, i));
        if (outline_style() == OutlineStyle::Rectangle)
            corner_pixels(NavyCorner);
        pressed_bevel(B);
        FillOrOutline(0, 0, W, H, Navy, true);
        DrawCaptionAndIcon(face, pal.text, NoPass, NoPass);
        if (face.focused)
            FillOrOutline(1, 2, size.W(-2), size.H(-2), FocusRim, true);
        return;
    }

    const Color B = P(pal.face, 48);
    if (!face.enabled) {
        FillOrOutline(0, 0, W, H, P(B, -24), false);
        FillOrOutline(0, 0, W, H, P(B, -84), true);
        if (outline_style() == OutlineStyle::Rectangle)
            corner_pixels(P(B, -72));
        if (!face.snapshot)
            DrawCaptionAndIcon(face, P(B, -104), NoPass, NoPass);
        return;
    }
    for (int32_t i = 1; i <= rows; ++i)
        DrawLine(0, i, W, i, shade(B, i));
    if (outline_style() == OutlineStyle::Rectangle) {
        FillOrOutline(0, 0, W, H, Navy, true);
        corner_pixels(NavyCorner);
    }
    rim(face.pointer_over(), B);
    // The blue rim is this face's focus mark; it never uses the dotted focus rectangle.
    DrawCaptionAndIcon(face, face.pointer_over() ? pal.hover_text : pal.text, NoPass, NoPass);
}

} // namespace sorrel::controls
