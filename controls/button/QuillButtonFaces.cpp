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

void QuillButton::PaintClassicFace(bool snapshot)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    SelectedStateScope selected(ButtonState, m_option_button && m_value);

    if (ButtonState < 0) {
        FillOrOutline(0, 0, W, H, LightColor, false);
        DrawBevel(ShadowColor, HighlightColor, ShadowColor, HighlightColor, 0, false);
        if (m_enabled) {
            if (HasFocus || ButtonState == -3)
                DrawFocusIndicator();
            DrawCaptionAndIcon(ButtonState == -5 ? HoverTextColor : TextColor, NoPass, NoPass);
        } else if (!snapshot) {
            DrawCaptionAndIcon(ShadowColor, HighlightColor, NoPass);
        }
        return;
    }
    if (ButtonState == 2) {
        DrawBevel(ShadowColor, HighlightColor, ShadowColor, HighlightColor, 1, false);
        FillOrOutline(0, 0, W, H, DarkShadowColor, true);
        DrawFocusIndicator();
        DrawCaptionAndIcon(TextColor, NoPass, NoPass);
        return;
    }
    DrawBevel(HighlightColor, ShadowColor, HighlightColor, ShadowColor, 1, false);
    FillOrOutline(0, 0, W, H, DarkShadowColor, true);
    if (m_enabled) {
        DrawCaptionAndIcon(ButtonState == 4 ? HoverTextColor : TextColor, NoPass, NoPass);
        if (HasFocus)
            DrawFocusIndicator();
    } else if (!snapshot) {
        DrawCaptionAndIcon(ShadowColor, HighlightColor, NoPass);
    }
}

// [SECTION] Bevel (2)

void QuillButton::PaintBevelFace(bool snapshot)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    SelectedStateScope selected(ButtonState, m_option_button && m_value);

    if (ButtonState < 0) {
        FillOrOutline(0, 0, W, H, LightColor, false);
        DrawBevel(DarkShadowColor, HighlightColor, ShadowColor, LightColor, 0, false);
        if (m_enabled) {
            if (HasFocus || ButtonState == -3)
                DrawFocusIndicator();
            DrawCaptionAndIcon(ButtonState == -5 ? HoverTextColor : TextColor, NoPass, NoPass);
        } else if (!snapshot) {
            DrawCaptionAndIcon(ShadowColor, NoPass, NoPass);
        }
        return;
    }
    if (ButtonState == 2) {
        FillOrOutline(0, 0, W, H, DarkShadowColor, true);
        FillOrOutline(1, 1, size.W(-1), size.H(-1), ShadowColor, true);
        DrawFocusIndicator();
        DrawCaptionAndIcon(TextColor, NoPass, NoPass);
        return;
    }
    DrawBevel(HighlightColor, DarkShadowColor, LightColor, ShadowColor, 1, false);
    if (m_enabled) {
        if (HasFocus) {
            FillOrOutline(0, 0, W, H, DarkShadowColor, true);
            DrawFocusIndicator();
        }
        DrawCaptionAndIcon(ButtonState == 4 ? HoverTextColor : TextColor, NoPass, NoPass);
    } else if (!snapshot) {
        // A disabled option button shows a flat grey caption; a push button an engraved one.
        if (m_option_button)
            DrawCaptionAndIcon(ShadowColor, NoPass, NoPass);
        else
            DrawCaptionAndIcon(ShadowColor, HighlightColor, NoPass);
    }
}

// [SECTION] Soft (4)

void QuillButton::PaintSoftFace(bool snapshot)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    auto A = [](Color c, int32_t n) { return ShiftColor(c, n, false); };
    SelectedStateScope selected(ButtonState, m_option_button && m_value);

    // The raised soft face: a lightened face inside a highlight ring and a darker outline.
    auto soft_face = [&] {
        FillOrOutline(1, 1, size.W(-1), size.H(-1), A(FaceColor, 12), false);
        FillOrOutline(1, 1, size.W(-1), size.H(-1), HighlightColor, true);
        FillOrOutline(0, 0, size.W(-1), size.H(-1), A(ShadowColor, -26), true);
        if (m_button_style != 0) {
            SetPixelAt(1, size.H(-2), A(ShadowColor, 26));
            SetPixelAt(size.W(-2), 1, A(ShadowColor, 26));
        }
    };

    if (ButtonState < 0) {
        FillOrOutline(0, 0, W, H, A(LightColor, 2), false);
        DrawBevel(ShadowColor, HighlightColor, 0, 0, 0, true);
        if (m_enabled) {
            DrawCaptionAndIcon(ButtonState == -5 ? HoverTextColor : TextColor, NoPass, NoPass);
            if (HasFocus)
                DrawFocusIndicator();
        } else if (!snapshot) {
            DrawCaptionAndIcon(ShadowColor, NoPass, NoPass);
        }
        return;
    }
    if (ButtonState == 2) {
        FillOrOutline(1, 1, size.W(-2), size.H(-2), A(ShadowColor, 16), false);
        DrawCaptionAndIcon(TextColor, NoPass, NoPass);
        DrawFocusIndicator();
        FillOrOutline(0, 0, size.W(-1), size.H(-1), A(ShadowColor, -26), true);
        return;
    }
    if (m_enabled) {
        soft_face();
        if (HasFocus)
            DrawFocusIndicator();
        DrawCaptionAndIcon(ButtonState == 4 ? HoverTextColor : TextColor, NoPass, NoPass);
        return;
    }
    if (m_option_button)
        soft_face();
    else
        FillOrOutline(0, 0, W, H, ShadowColor, true);
    if (!snapshot)
        DrawCaptionAndIcon(ShadowColor, NoPass, NoPass);
}

// [SECTION] Ring (5)

void QuillButton::PaintRingFace(bool snapshot)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    const Color L = ShiftColor(LightColor, 8, false);
    SelectedStateScope selected(ButtonState, m_option_button && m_value);

    if (ButtonState < 0) {
        FillOrOutline(0, 0, W, H, LightColor, false);
        DrawBevel(ShadowColor, L, ShadowColor, L, 0, false);
        if (m_enabled) {
            DrawCaptionAndIcon(ButtonState == -5 ? HoverTextColor : TextColor, NoPass, NoPass);
            if (HasFocus)
                DrawFocusIndicator();
        } else if (!snapshot) {
            DrawCaptionAndIcon(ShadowColor, NoPass, NoPass);
        }
        return;
    }
    if (ButtonState == 2) {
        FillOrOutline(0, 0, size.W(-1), size.H(-1), ShiftColor(ShadowColor, -26, false), true);
        DrawCaptionAndIcon(TextColor, NoPass, NoPass);
        DrawFocusIndicator();
        DrawBevel(ShadowColor, L, ShadowColor, L, 0, false);
        return;
    }
    if (m_enabled) {
        DrawCaptionAndIcon(ButtonState == 4 ? HoverTextColor : TextColor, NoPass, NoPass);
        DrawBevel(L, ShadowColor, L, ShadowColor, 0, false);
        if (HasFocus)
            DrawFocusIndicator();
        return;
    }
    if (!snapshot)
        DrawCaptionAndIcon(ShadowColor, NoPass, NoPass);
    DrawBevel(L, ShadowColor, L, ShadowColor, 0, false);
}

// [SECTION] Thin and flat (6, 7, other)

void QuillButton::PaintThinFace(bool snapshot)
{
    const FaceSize size {ScaleWidth(), ScaleHeight()};
    const int32_t W = size.W(), H = size.H();
    SelectedStateScope selected(ButtonState, m_option_button && m_value);

    if (ButtonState < 0) {
        FillOrOutline(0, 0, W, H, LightColor, false);
        DrawBevel(ShadowColor, HighlightColor, 0, 0, 0, true);
        if (m_enabled) {
            DrawCaptionAndIcon(ButtonState == -5 ? HoverTextColor : TextColor, NoPass, NoPass);
            if (HasFocus)
                DrawFocusIndicator();
        } else if (!snapshot) {
            DrawCaptionAndIcon(ShadowColor, HighlightColor, NoPass);
        }
        return;
    }
    if (ButtonState == 2) {
        DrawCaptionAndIcon(TextColor, NoPass, NoPass);
        DrawFocusIndicator();
        DrawBevel(ShadowColor, HighlightColor, 0, 0, 0, true);
        return;
    }
    if (m_enabled) {
        DrawCaptionAndIcon(ButtonState == 4 ? HoverTextColor : TextColor, NoPass, NoPass);
        // The flat button (7) shows its ring only while the pointer is over it.
        if (m_button_type != 7 || MouseInside || ButtonState == 4)
            DrawBevel(HighlightColor, ShadowColor, 0, 0, 0, true);
        if (HasFocus)
            DrawFocusIndicator();
        return;
    }
    if (!snapshot)
        DrawCaptionAndIcon(ShadowColor, HighlightColor, NoPass);
    if (m_button_type == 6)
        DrawBevel(HighlightColor, ShadowColor, 0, 0, 0, true);
    else
        FillOrOutline(0, 0, W, H, ShadowColor, true);
}

} // namespace sorrel::controls
