// The paint pipeline: background, caption font, the face painter of the ButtonType, and the
// host refresh. PaintButton turns the button's state into one FaceLook that every step reads. Each
// step is trapped on its own, so a fault in one (a face painter, say) still lets the surface reach
// the screen.

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

FaceLook QuillButton::face_look(bool snapshot) const
{
    FaceLook face;
    face.selected = m_option_button && m_value;
    face.focused = m_has_focus;
    face.pointer_inside = m_mouse_inside;
    face.snapshot = snapshot;
    // The snapshot is the disabled look, whatever the button's own state.
    face.state = snapshot ? FaceState::Disabled : m_button_state;
    face.enabled = snapshot ? false : m_enabled;
    return face;
}

void QuillButton::PaintButton(bool snapshot)
{
    // The Macintosh face shows a set option button pressed, and the button stays in the pressed
    // state until the next state change.
    if (!snapshot && face_type() == FaceType::Macintosh && m_option_button && m_value)
        m_button_state = FaceState::Pressed;
    const FaceLook face = face_look(snapshot);

    trapped([&] {
        const FaceSize size {ScaleWidth(), ScaleHeight()};
        if (scheme() == SchemeKind::Gradient) {
            PaintGradient();
        } else if (face_type() == FaceType::Flat && scheme() == SchemeKind::Custom && !face.pointer_over()) {
            // The idle flat button shows its container's colour.
            gdi::Color back = Parent() ? gdi::GetBkColor(parent_dc()) : Ambient().BackColor;
            FillOrOutline(0, 0, size.W(), size.H(), back, false);
        } else {
            FillOrOutline(0, 0, size.W(), size.H(), m_palette.face, false);
        }
    });
    trapped([&] {
        if (m_layout_dirty)
            CreateCaptionFont(true);
    });
    trapped([&] {
        switch (face_type()) {
        case FaceType::Classic:
            PaintClassicFace(face);
            break;
        case FaceType::Bevel:
            PaintBevelFace(face);
            break;
        case FaceType::XP:
            PaintXPFace(face);
            break;
        case FaceType::Soft:
            PaintSoftFace(face);
            break;
        case FaceType::Ring:
            PaintRingFace(face);
            break;
        case FaceType::Macintosh:
            PaintMacFace(face);
            break;
        default:
            PaintThinFace(face);
            break;
        }
    });
    trapped([&] { Refresh(); });

    // The designer always sees the up look after a repaint.
    if (design_mode())
        m_button_state = FaceState::Up;
}

} // namespace sorrel::controls
