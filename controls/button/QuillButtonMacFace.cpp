// The Macintosh face (ButtonType 8): a light face in a dark outline whose corners are rounded by
// single pixels, highlight lines along the inner top and left edges and shadow lines along the
// inner right and bottom edges. The pressed look fills the face with a darkened shadow colour. A
// set option button is always drawn pressed.

#include "controls/button/PaintSupport.h"
#include "controls/button/QuillButton.h"

namespace sorrel::controls {

using gdi::Color;

void QuillButton::PaintMacFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    const Palette& pal = m_palette;
    auto A = [](Color c, int32_t n) { return ShiftColor(c, n, false); };

    // A set option button always shows the pressed look.
    const FaceState state = face.selected ? FaceState::Pressed : face.state;

    // The idle look's rounded corners and inner shading; ButtonStyle 0 only gets the pixels.
    auto idle_pixels = [&] {
        SetPixelAt(1, 1, pal.dark_shadow);
        SetPixelAt(1, size.H(-2), pal.dark_shadow);
        SetPixelAt(size.W(-2), 1, pal.dark_shadow);
        SetPixelAt(size.W(-2), size.H(-2), pal.dark_shadow);
        SetPixelAt(size.W(-4), size.H(-4), pal.face);
        SetPixelAt(size.W(-3), size.H(-3), pal.shadow);
        SetPixelAt(2, size.H(-2), pal.face);
        SetPixelAt(2, size.H(-3), pal.light);
        SetPixelAt(size.W(-2), 2, pal.face);
        SetPixelAt(size.W(-3), 2, pal.light);
    };
    auto idle_lines = [&] {
        DrawLine(3, 2, size.W(-3), 2, pal.highlight);
        DrawLine(2, 2, 2, size.H(-3), pal.highlight);
        DrawLine(size.W(-3), 1, size.W(-3), size.H(-3), pal.face);
        DrawLine(1, size.H(-3), size.W(-3), size.H(-3), pal.face);
        DrawLine(size.W(-2), 3, size.W(-2), size.H(-2), pal.shadow);
        DrawLine(3, size.H(-2), size.W(-2), size.H(-2), pal.shadow);
    };

    switch (state) {
    case FaceState::Pressed: {
        // The final fill covers most of these details; what survives lies on column W - 2 and
        // row H - 2.
        if (outline_style() == OutlineStyle::Rectangle) {
            SetPixelAt(2, 2, A(pal.shadow, -64));
            SetPixelAt(3, 3, A(pal.shadow, -32));
            SetPixelAt(1, 1, pal.dark_shadow);
            SetPixelAt(1, size.H(-2), pal.dark_shadow);
            SetPixelAt(size.W(-2), 1, pal.dark_shadow);
            SetPixelAt(size.W(-2), size.H(-2), pal.dark_shadow);
            SetPixelAt(size.W(-4), size.H(-4), pal.shadow);
            SetPixelAt(size.W(-2), size.H(-3), A(pal.shadow, -32));
            SetPixelAt(size.W(-3), size.H(-2), A(pal.shadow, -32));
            SetPixelAt(2, size.H(-2), A(pal.shadow, -32));
            SetPixelAt(size.W(-2), 2, A(pal.shadow, -32));
            SetPixelAt(2, size.H(-3), A(pal.shadow, -16));
            SetPixelAt(1, size.H(-3), A(pal.shadow, -16));
            SetPixelAt(size.W(-3), 2, A(pal.shadow, -16));
            SetPixelAt(size.W(-3), 1, A(pal.shadow, -16));
            FillOrOutline(1, 1, size.W(-2), size.H(-2), A(pal.shadow, -64), true);
            FillOrOutline(2, 2, size.W(-4), size.H(-4), A(pal.shadow, -32), true);
        }
        DrawLine(size.W(-3), 1, size.W(-3), size.H(-3), pal.shadow);
        DrawLine(1, size.H(-3), size.W(-2), size.H(-3), pal.shadow);
        DrawLine(size.W(-2), 3, size.W(-2), size.H(-2), A(pal.shadow, -16));
        DrawLine(2, size.H(-1), size.W(-2), size.H(-1), A(pal.shadow, -16));
        DrawFocusIndicator(face);
        FillOrOutline(1, 1, size.W(-2), size.H(-2), A(pal.shadow, -16), false);
        FillOrOutline(0, 0, W, H, pal.dark_shadow, true);
        if (!face.enabled) {
            // Also in the snapshot pass: the pressed look always carries its caption.
            DrawCaptionAndIcon(face, pal.light, NoPass, NoPass);
        } else if (face.selected) {
            DrawCaptionAndIcon(face, pal.light, NoPass, NoPass);
            if (face.focused)
                DrawFocusIndicator(face);
        } else {
            DrawCaptionAndIcon(face, pal.shadow, pal.highlight, NoPass);
        }
        return;
    }
    case FaceState::Up:
    case FaceState::Disabled:
    case FaceState::Focused:
    case FaceState::PointerOver:
        break;
    default:
        return;
    }

    if (face.enabled) {
        FillOrOutline(1, 1, size.W(-1), size.H(-1), pal.light, false);
        FillOrOutline(0, 0, W, H, pal.dark_shadow, true);
        if (outline_style() == OutlineStyle::Rectangle) {
            idle_pixels();
            idle_lines();
        }
        DrawCaptionAndIcon(face, face.pointer_over() ? pal.hover_text : pal.text, NoPass, NoPass);
        if (face.focused)
            DrawFocusIndicator(face);
        return;
    }
    FillOrOutline(1, 1, size.W(-2), size.H(-2), pal.light, false);
    FillOrOutline(0, 0, W, H, pal.dark_shadow, true);
    if (outline_style() == OutlineStyle::Rectangle)
        idle_pixels();
    idle_lines();
    if (outline_style() != OutlineStyle::Rectangle) {
        FillOrOutline(1, 1, size.W(-2), size.H(-2), pal.light, false);
        FillOrOutline(0, 0, W, H, pal.dark_shadow, true);
    }
    if (!face.snapshot)
        DrawCaptionAndIcon(face, pal.shadow, pal.highlight, NoPass);
}

} // namespace sorrel::controls
