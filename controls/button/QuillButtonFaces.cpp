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

// The caption of a face that is not held down: in the text colour (the pointer-over colour under
// the pointer) with the focus mark while focused, greyed when disabled, and none on the snapshot.
// `grey_second` is the greyed caption's second pass.
void QuillButton::DrawRestingCaption(const FaceLook& face, gdi::Color grey_second)
{
    const Palette& pal = m_palette;
    if (face.enabled) {
        DrawCaptionAndIcon(face, face.pointer_over() ? pal.hover_text : pal.text, NoPass, NoPass);
        if (face.focused)
            DrawFocusIndicator(face);
    } else if (!face.snapshot) {
        DrawCaptionAndIcon(face, pal.shadow, grey_second, NoPass);
    }
}

// A set option button on the classic and bevel faces: sunk into the light colour, with the focus
// mark while focused or held. `grey_second` is the disabled caption's second pass.
void QuillButton::PaintSetOptionFace(
    const FaceLook& face, std::array<gdi::Color, 4> bevel, gdi::Color grey_second)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const Palette& pal = m_palette;
    FillOrOutline(0, 0, size.W(), size.H(), pal.light, false);
    DrawBevel(bevel[0], bevel[1], bevel[2], bevel[3], 0, false);
    if (face.enabled) {
        if (face.focused || face.pressed())
            DrawFocusIndicator(face);
        DrawCaptionAndIcon(face, face.pointer_over() ? pal.hover_text : pal.text, NoPass, NoPass);
    } else if (!face.snapshot) {
        DrawCaptionAndIcon(face, pal.shadow, grey_second, NoPass);
    }
}

void QuillButton::PaintClassicFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    const Palette& pal = m_palette;

    if (face.selected) {
        PaintSetOptionFace(face, {pal.shadow, pal.highlight, pal.shadow, pal.highlight}, pal.highlight);
        return;
    }
    if (face.pressed()) {
        DrawBevel(pal.shadow, pal.highlight, pal.shadow, pal.highlight, 1, false);
        FillOrOutline(0, 0, W, H, pal.dark_shadow, true);
        DrawFocusIndicator(face);
        DrawCaptionAndIcon(face, pal.text, NoPass, NoPass);
        return;
    }
    DrawBevel(pal.highlight, pal.shadow, pal.highlight, pal.shadow, 1, false);
    FillOrOutline(0, 0, W, H, pal.dark_shadow, true);
    DrawRestingCaption(face, pal.highlight);
}

// [SECTION] Bevel (2)

void QuillButton::PaintBevelFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    const Palette& pal = m_palette;

    if (face.selected) {
        PaintSetOptionFace(face, {pal.dark_shadow, pal.highlight, pal.shadow, pal.light}, NoPass);
        return;
    }
    if (face.pressed()) {
        FillOrOutline(0, 0, W, H, pal.dark_shadow, true);
        FillOrOutline(1, 1, size.W(-1), size.H(-1), pal.shadow, true);
        DrawFocusIndicator(face);
        DrawCaptionAndIcon(face, pal.text, NoPass, NoPass);
        return;
    }
    DrawBevel(pal.highlight, pal.dark_shadow, pal.light, pal.shadow, 1, false);
    if (face.enabled) {
        if (face.focused) {
            FillOrOutline(0, 0, W, H, pal.dark_shadow, true);
            DrawFocusIndicator(face);
        }
        DrawCaptionAndIcon(face, face.pointer_over() ? pal.hover_text : pal.text, NoPass, NoPass);
    } else if (!face.snapshot) {
        // A disabled option button shows a flat grey caption; a push button an engraved one.
        if (m_option_button)
            DrawCaptionAndIcon(face, pal.shadow, NoPass, NoPass);
        else
            DrawCaptionAndIcon(face, pal.shadow, pal.highlight, NoPass);
    }
}

// [SECTION] Soft (4)

void QuillButton::PaintSoftFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    const Palette& pal = m_palette;
    auto A = [](Color c, int32_t n) { return ShiftColor(c, n, false); };

    // The raised soft face: a lightened face inside a highlight ring and a darker outline.
    auto soft_face = [&] {
        FillOrOutline(1, 1, size.W(-1), size.H(-1), A(pal.face, 12), false);
        FillOrOutline(1, 1, size.W(-1), size.H(-1), pal.highlight, true);
        FillOrOutline(0, 0, size.W(-1), size.H(-1), A(pal.shadow, -26), true);
        if (outline_style() != OutlineStyle::Rectangle) {
            SetPixelAt(1, size.H(-2), A(pal.shadow, 26));
            SetPixelAt(size.W(-2), 1, A(pal.shadow, 26));
        }
    };

    if (face.selected) {
        FillOrOutline(0, 0, W, H, A(pal.light, 2), false);
        DrawBevel(pal.shadow, pal.highlight, 0, 0, 0, true);
        DrawRestingCaption(face, NoPass);
        return;
    }
    if (face.pressed()) {
        FillOrOutline(1, 1, size.W(-2), size.H(-2), A(pal.shadow, 16), false);
        DrawCaptionAndIcon(face, pal.text, NoPass, NoPass);
        DrawFocusIndicator(face);
        FillOrOutline(0, 0, size.W(-1), size.H(-1), A(pal.shadow, -26), true);
        return;
    }
    if (face.enabled) {
        soft_face();
        if (face.focused)
            DrawFocusIndicator(face);
        DrawCaptionAndIcon(face, face.pointer_over() ? pal.hover_text : pal.text, NoPass, NoPass);
        return;
    }
    if (m_option_button)
        soft_face();
    else
        FillOrOutline(0, 0, W, H, pal.shadow, true);
    if (!face.snapshot)
        DrawCaptionAndIcon(face, pal.shadow, NoPass, NoPass);
}

// [SECTION] Ring (5)

void QuillButton::PaintRingFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    const Palette& pal = m_palette;
    const Color L = ShiftColor(pal.light, 8, false);

    if (face.selected) {
        FillOrOutline(0, 0, W, H, pal.light, false);
        DrawBevel(pal.shadow, L, pal.shadow, L, 0, false);
        DrawRestingCaption(face, NoPass);
        return;
    }
    if (face.pressed()) {
        FillOrOutline(0, 0, size.W(-1), size.H(-1), ShiftColor(pal.shadow, -26, false), true);
        DrawCaptionAndIcon(face, pal.text, NoPass, NoPass);
        DrawFocusIndicator(face);
        DrawBevel(pal.shadow, L, pal.shadow, L, 0, false);
        return;
    }
    if (face.enabled) {
        DrawCaptionAndIcon(face, face.pointer_over() ? pal.hover_text : pal.text, NoPass, NoPass);
        DrawBevel(L, pal.shadow, L, pal.shadow, 0, false);
        if (face.focused)
            DrawFocusIndicator(face);
        return;
    }
    if (!face.snapshot)
        DrawCaptionAndIcon(face, pal.shadow, NoPass, NoPass);
    DrawBevel(L, pal.shadow, L, pal.shadow, 0, false);
}

// [SECTION] Thin and flat (6, 7, other)

void QuillButton::PaintThinFace(const FaceLook& face)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    const Palette& pal = m_palette;

    if (face.selected) {
        FillOrOutline(0, 0, W, H, pal.light, false);
        DrawBevel(pal.shadow, pal.highlight, 0, 0, 0, true);
        DrawRestingCaption(face, pal.highlight);
        return;
    }
    if (face.pressed()) {
        DrawCaptionAndIcon(face, pal.text, NoPass, NoPass);
        DrawFocusIndicator(face);
        DrawBevel(pal.shadow, pal.highlight, 0, 0, 0, true);
        return;
    }
    if (face.enabled) {
        DrawCaptionAndIcon(face, face.pointer_over() ? pal.hover_text : pal.text, NoPass, NoPass);
        // The flat button (7) shows its ring only while the pointer is over it.
        if (face_type() != FaceType::Flat || face.pointer_inside || face.pointer_over())
            DrawBevel(pal.highlight, pal.shadow, 0, 0, 0, true);
        if (face.focused)
            DrawFocusIndicator(face);
        return;
    }
    if (!face.snapshot)
        DrawCaptionAndIcon(face, pal.shadow, pal.highlight, NoPass);
    if (face_type() == FaceType::Thin)
        DrawBevel(pal.highlight, pal.shadow, 0, 0, 0, true);
    else
        FillOrOutline(0, 0, W, H, pal.shadow, true);
}

} // namespace sorrel::controls
