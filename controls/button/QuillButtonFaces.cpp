// The classic, bevel, soft, ring and thin faces (ButtonType 1, 2, 4, 5, and 6, 7 and any other
// value). Each draws the whole face for the current state over the background PaintButton laid,
// then the caption and icon once.
//
// [SECTION] Classic (1)
// [SECTION] Bevel (2)
// [SECTION] Soft (4)
// [SECTION] Ring (5)
// [SECTION] Thin and flat (6, 7, other)

#include "controls/button/PaintSupport.h"
#include "controls/button/QuillButton.h"

namespace sorrel::controls {

using gdi::Color;

// [SECTION] Classic (1)

void QuillButton::PaintClassicFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();

    if (face.selected) {
        FillOrOutline(0, 0, W, H, LightColor, false);
        DrawBevel(ShadowColor, HighlightColor, ShadowColor, HighlightColor, 0, false);
        if (face.enabled) {
            if (face.focused || face.pressed())
                DrawFocusIndicator(face);
            DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
        } else if (!face.snapshot) {
            DrawCaptionAndIcon(face, ShadowColor, HighlightColor, NoPass);
        }
        return;
    }
    if (face.pressed()) {
        DrawBevel(ShadowColor, HighlightColor, ShadowColor, HighlightColor, 1, false);
        FillOrOutline(0, 0, W, H, DarkShadowColor, true);
        DrawFocusIndicator(face);
        DrawCaptionAndIcon(face, TextColor, NoPass, NoPass);
        return;
    }
    DrawBevel(HighlightColor, ShadowColor, HighlightColor, ShadowColor, 1, false);
    FillOrOutline(0, 0, W, H, DarkShadowColor, true);
    if (face.enabled) {
        DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
        if (face.focused)
            DrawFocusIndicator(face);
    } else if (!face.snapshot) {
        DrawCaptionAndIcon(face, ShadowColor, HighlightColor, NoPass);
    }
}

// [SECTION] Bevel (2)

void QuillButton::PaintBevelFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();

    if (face.selected) {
        FillOrOutline(0, 0, W, H, LightColor, false);
        DrawBevel(DarkShadowColor, HighlightColor, ShadowColor, LightColor, 0, false);
        if (face.enabled) {
            if (face.focused || face.pressed())
                DrawFocusIndicator(face);
            DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
        } else if (!face.snapshot) {
            DrawCaptionAndIcon(face, ShadowColor, NoPass, NoPass);
        }
        return;
    }
    if (face.pressed()) {
        FillOrOutline(0, 0, W, H, DarkShadowColor, true);
        FillOrOutline(1, 1, size.W(-1), size.H(-1), ShadowColor, true);
        DrawFocusIndicator(face);
        DrawCaptionAndIcon(face, TextColor, NoPass, NoPass);
        return;
    }
    DrawBevel(HighlightColor, DarkShadowColor, LightColor, ShadowColor, 1, false);
    if (face.enabled) {
        if (face.focused) {
            FillOrOutline(0, 0, W, H, DarkShadowColor, true);
            DrawFocusIndicator(face);
        }
        DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
    } else if (!face.snapshot) {
        // A disabled option button shows a flat grey caption; a push button an engraved one.
        if (m_option_button)
            DrawCaptionAndIcon(face, ShadowColor, NoPass, NoPass);
        else
            DrawCaptionAndIcon(face, ShadowColor, HighlightColor, NoPass);
    }
}

// [SECTION] Soft (4)

void QuillButton::PaintSoftFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    auto A = [](Color c, int32_t n) { return ShiftColor(c, n, false); };

    // The raised soft face: a lightened face inside a highlight ring and a darker outline.
    auto soft_face = [&] {
        FillOrOutline(1, 1, size.W(-1), size.H(-1), A(FaceColor, 12), false);
        FillOrOutline(1, 1, size.W(-1), size.H(-1), HighlightColor, true);
        FillOrOutline(0, 0, size.W(-1), size.H(-1), A(ShadowColor, -26), true);
        if (outline_style() != OutlineStyle::Rectangle) {
            SetPixelAt(1, size.H(-2), A(ShadowColor, 26));
            SetPixelAt(size.W(-2), 1, A(ShadowColor, 26));
        }
    };

    if (face.selected) {
        FillOrOutline(0, 0, W, H, A(LightColor, 2), false);
        DrawBevel(ShadowColor, HighlightColor, 0, 0, 0, true);
        if (face.enabled) {
            DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
            if (face.focused)
                DrawFocusIndicator(face);
        } else if (!face.snapshot) {
            DrawCaptionAndIcon(face, ShadowColor, NoPass, NoPass);
        }
        return;
    }
    if (face.pressed()) {
        FillOrOutline(1, 1, size.W(-2), size.H(-2), A(ShadowColor, 16), false);
        DrawCaptionAndIcon(face, TextColor, NoPass, NoPass);
        DrawFocusIndicator(face);
        FillOrOutline(0, 0, size.W(-1), size.H(-1), A(ShadowColor, -26), true);
        return;
    }
    if (face.enabled) {
        soft_face();
        if (face.focused)
            DrawFocusIndicator(face);
        DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
        return;
    }
    if (m_option_button)
        soft_face();
    else
        FillOrOutline(0, 0, W, H, ShadowColor, true);
    if (!face.snapshot)
        DrawCaptionAndIcon(face, ShadowColor, NoPass, NoPass);
}

// [SECTION] Ring (5)

void QuillButton::PaintRingFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    const Color L = ShiftColor(LightColor, 8, false);

    if (face.selected) {
        FillOrOutline(0, 0, W, H, LightColor, false);
        DrawBevel(ShadowColor, L, ShadowColor, L, 0, false);
        if (face.enabled) {
            DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
            if (face.focused)
                DrawFocusIndicator(face);
        } else if (!face.snapshot) {
            DrawCaptionAndIcon(face, ShadowColor, NoPass, NoPass);
        }
        return;
    }
    if (face.pressed()) {
        FillOrOutline(0, 0, size.W(-1), size.H(-1), ShiftColor(ShadowColor, -26, false), true);
        DrawCaptionAndIcon(face, TextColor, NoPass, NoPass);
        DrawFocusIndicator(face);
        DrawBevel(ShadowColor, L, ShadowColor, L, 0, false);
        return;
    }
    if (face.enabled) {
        DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
        DrawBevel(L, ShadowColor, L, ShadowColor, 0, false);
        if (face.focused)
            DrawFocusIndicator(face);
        return;
    }
    if (!face.snapshot)
        DrawCaptionAndIcon(face, ShadowColor, NoPass, NoPass);
    DrawBevel(L, ShadowColor, L, ShadowColor, 0, false);
}

// [SECTION] Thin and flat (6, 7, other)

void QuillButton::PaintThinFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();

    if (face.selected) {
        FillOrOutline(0, 0, W, H, LightColor, false);
        DrawBevel(ShadowColor, HighlightColor, 0, 0, 0, true);
        if (face.enabled) {
            DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
            if (face.focused)
                DrawFocusIndicator(face);
        } else if (!face.snapshot) {
            DrawCaptionAndIcon(face, ShadowColor, HighlightColor, NoPass);
        }
        return;
    }
    if (face.pressed()) {
        DrawCaptionAndIcon(face, TextColor, NoPass, NoPass);
        DrawFocusIndicator(face);
        DrawBevel(ShadowColor, HighlightColor, 0, 0, 0, true);
        return;
    }
    if (face.enabled) {
        DrawCaptionAndIcon(face, face.pointer_over() ? HoverTextColor : TextColor, NoPass, NoPass);
        // The flat button (7) shows its ring only while the pointer is over it.
        if (face_type() != FaceType::Flat || face.pointer_inside || face.pointer_over())
            DrawBevel(HighlightColor, ShadowColor, 0, 0, 0, true);
        if (face.focused)
            DrawFocusIndicator(face);
        return;
    }
    if (!face.snapshot)
        DrawCaptionAndIcon(face, ShadowColor, HighlightColor, NoPass);
    if (face_type() == FaceType::Thin)
        DrawBevel(HighlightColor, ShadowColor, 0, 0, 0, true);
    else
        FillOrOutline(0, 0, W, H, ShadowColor, true);
}

} // namespace sorrel::controls
