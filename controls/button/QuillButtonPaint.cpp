// The paint pipeline: background, caption font, the face painter of the ButtonType, and the
// host refresh. Each step is trapped on its own, so a fault in one (a face painter, say) still
// lets the surface reach the screen and the snapshot members come back.

#include "controls/button/PaintSupport.h"
#include "controls/button/QuillButton.h"

namespace sorrel::controls {

namespace {

template<class Step> void trapped(Step&& step)
{
    try {
        step();
    } catch (...) {
        // A failed step leaves the surface as far as it got; painting goes on.
    }
}

} // namespace

void QuillButton::PaintButton(bool snapshot)
{
    // The snapshot pass paints the disabled look that PrepareIcon lifts the icon's background
    // from; only the members change, the host control stays as it is.
    const int32_t saved_state = ButtonState;
    const bool saved_enabled = m_enabled;
    if (snapshot) {
        ButtonState = 1;
        m_enabled = false;
    }
    PaintingSnapshot = snapshot;

    trapped([&] {
        const FaceSize size {ScaleWidth(), ScaleHeight()};
        if (m_color_scheme == 5) {
            PaintGradient();
        } else if (m_button_type == 7 && m_color_scheme == 2 && ButtonState != 4) {
            // The idle flat button shows its container's colour.
            gdi::Color back = Parent() ? gdi::GetBkColor(parent_dc()) : Ambient().BackColor;
            FillOrOutline(0, 0, size.W(), size.H(), back, false);
        } else {
            FillOrOutline(0, 0, size.W(), size.H(), FaceColor, false);
        }
    });
    trapped([&] {
        if (LayoutDirty)
            CreateCaptionFont(true);
    });
    trapped([&] {
        switch (m_button_type) {
        case 1:
            PaintClassicFace(snapshot);
            break;
        case 2:
            PaintBevelFace(snapshot);
            break;
        case 3:
            PaintXPFace(snapshot);
            break;
        case 4:
            PaintSoftFace(snapshot);
            break;
        case 5:
            PaintRingFace(snapshot);
            break;
        case 8:
            PaintMacFace(snapshot);
            break;
        default:
            PaintThinFace(snapshot);
            break;
        }
    });
    trapped([&] { Refresh(); });

    if (snapshot) {
        ButtonState = saved_state;
        m_enabled = saved_enabled;
    }
    PaintingSnapshot = false;
    // The designer always sees the up look after a repaint.
    if (design_mode())
        ButtonState = 0;
}

} // namespace sorrel::controls
