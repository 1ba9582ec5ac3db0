// Stand-ins for the paint pipeline, the faces, the caption and the icon until their own files
// land: the pipeline lays the background and shows the surface, the rest draws nothing.

#include "controls/button/QuillButton.h"

namespace sorrel::controls {

void QuillButton::PaintButton(bool /*snapshot*/)
{
    int w = face_width();
    int h = face_height();
    if (m_color_scheme == 5) {
        PaintGradient();
    } else if (m_button_type == 7 && m_color_scheme == 2 && ButtonState != 4) {
        gdi::Color container_back = Parent() ? gdi::GetBkColor(parent_dc()) : Ambient().BackColor;
        FillOrOutline(0, 0, w, h, container_back, false);
    } else {
        FillOrOutline(0, 0, w, h, FaceColor, false);
    }
    Refresh();
    if (design_mode())
        ButtonState = 0;
}

void QuillButton::PaintClassicFace(bool)
{ }
void QuillButton::PaintBevelFace(bool)
{ }
void QuillButton::PaintXPFace(bool)
{ }
void QuillButton::PaintSoftFace(bool)
{ }
void QuillButton::PaintRingFace(bool)
{ }
void QuillButton::PaintThinFace(bool)
{ }
void QuillButton::PaintMacFace(bool)
{ }
void QuillButton::ParseAccessKey()
{ }
void QuillButton::CreateCaptionFont(bool)
{ }
void QuillButton::LayoutCaption()
{ }
void QuillButton::DrawCaptionAndIcon(gdi::Color, gdi::Color, gdi::Color)
{ }
void QuillButton::PrepareIcon()
{ }
void QuillButton::release_caption_font()
{ }

} // namespace sorrel::controls
