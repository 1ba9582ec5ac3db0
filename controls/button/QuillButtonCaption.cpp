// The caption: its access key, its font (bold and italic through the face name, rotated for a
// vertical caption), its layout on the face, and its drawing in up to three passes.
//
// [SECTION] Access key
// [SECTION] Caption font
// [SECTION] Layout
// [SECTION] Drawing

#include "controls/button/PaintSupport.h"
#include "controls/button/QuillButton.h"
#include "platform/host/Host.h"

#include <cstring>

namespace sorrel::controls {

using gdi::Color;

// [SECTION] Access key

void QuillButton::ParseAccessKey()
{
    AccessKeyMarker marker = find_access_key(m_caption);
    m_access_key_pos = 0;
    m_access_key_width = 0;
    m_underline_x = 0;
    m_underline_y = 0;
    // A caption without a marker has no access key: an earlier caption's key must not linger.
    AccessKeys(marker.key);
    if (marker.found)
        m_access_key_pos = marker.position;
}

// [SECTION] Caption font

namespace {

// "Arial" bold and italic becomes "Arial Bold Italic". When the whole name does not fit the
// 32-byte face-name field, the family is cut rather than the style words, so the style survives.
void compose_face_name(gdi::LOGFONTA& lf, const host::StdFont& font)
{
    std::string style;
    if (font.Bold())
        style += " Bold";
    if (font.Italic())
        style += " Italic";
    std::string family = font.Name();
    const size_t room = gdi::LF_FACESIZE - 1;
    if (family.size() + style.size() > room)
        family.resize(room - style.size());
    std::string name = family + style;
    std::memcpy(lf.lfFaceName, name.data(), name.size());
    lf.lfFaceName[name.size()] = '\0';
}

} // namespace

void QuillButton::CreateCaptionFont(bool relayout)
{
    const gdi::HDC dc = hDC();
    gdi::SetGraphicsMode(dc, m_effective_graphics_mode);

    gdi::LOGFONTA lf {};
    if (TextFont) {
        compose_face_name(lf, *TextFont);
        host::Host* host = host::Host::current_or_null();
        const int twips_per_pixel = host ? host->TwipsPerPixelY() : 15;
        lf.lfHeight
            = -host::to_int_half_even(TextFont->Size() * 20.0 / (twips_per_pixel > 0 ? twips_per_pixel : 15));
        lf.lfUnderline = TextFont->Underline() ? 1 : 0;
        lf.lfStrikeOut = TextFont->Strikethrough() ? 1 : 0;
    }

    // A new layout font replaces the kept one; the surface's own font goes back in first, so
    // that what the new font replaces is never an older caption font.
    if (relayout)
        release_caption_font();

    m_caption_font = gdi::CreateFontIndirectA(&lf);
    m_previous_font = static_cast<gdi::HFONT>(gdi::SelectObject(dc, m_caption_font));

    if (m_caption_orientation != 0) {
        gdi::TEXTMETRICA metrics {};
        if (gdi::GetTextMetricsA(dc, &metrics) && metrics.tmPitchAndFamily < gdi::TMPF_TRUETYPE
            && design_mode())
            host::Host::current().MsgBox("Non-True Type fonts may not draw vertically", host::vbInformation);
    }

    // Lines are measured upright, before the font turns.
    if (relayout)
        LayoutCaption();

    if (m_caption_orientation != 0) {
        gdi::SelectObject(dc, m_previous_font);
        gdi::DeleteObject(m_caption_font);
        lf.lfEscapement = m_caption_orientation == 1 ? 900 : 2700;
        m_caption_font = gdi::CreateFontIndirectA(&lf);
        m_previous_font = static_cast<gdi::HFONT>(gdi::SelectObject(dc, m_caption_font));
    }

    // The layout font stays selected after the paint, so that layouts between paints (setters,
    // resizing) measure in the caption font.
    if (relayout) {
        m_kept_caption_font = m_caption_font;
        m_surface_font = m_previous_font;
    }
}

void QuillButton::release_caption_font()
{
    if (!m_kept_caption_font)
        return;
    const gdi::HDC dc = hDC();
    if (gdi::GetCurrentObject(dc, gdi::OBJ_FONT) == m_kept_caption_font
        && !gdi::SelectObject(dc, m_surface_font))
        gdi::SelectObject(dc, gdi::GetStockObject(gdi::SYSTEM_FONT));
    gdi::DeleteObject(m_kept_caption_font);
    m_kept_caption_font = nullptr;
    m_surface_font = nullptr;
}

// [SECTION] Layout

void QuillButton::LayoutCaption()
{
    const gdi::HDC dc = hDC();
    // Measures the upright extent in the font selected now: DT_CALCRECT | DT_SINGLELINE |
    // DT_NOCLIP | DT_NOPREFIX.
    auto measure = [dc](std::string_view text) {
        gdi::RECT rect {0, 0, 0, 0};
        gdi::DrawTextA(dc, text.empty() ? "" : text.data(), int(text.size()), &rect, 0xD20);
        return TextExtent {rect.right, rect.bottom};
    };

    CaptionLayoutInput in;
    in.caption = m_caption;
    in.access_key_pos = m_access_key_pos;
    in.width = face_width();
    in.height = face_height();
    in.button_style = m_button_style;
    in.alignment = m_alignment;
    in.orientation = m_caption_orientation;
    in.icon_alignment = m_icon_alignment;
    in.icon_size = icon_side(m_icon_size) / 8;
    in.has_icon = m_has_icon;
    // The font selected now decides every measure; without a description of it, nothing is kept.
    gdi::LOGFONTA font {};
    const bool font_known = gdi::GetObjectA(gdi::GetCurrentObject(dc, gdi::OBJ_FONT), int(sizeof font), &font)
        == int(sizeof font);
    CaptionLayoutInput key = in;
    key.caption = {};
    const bool unchanged = font_known && m_layout_memo && m_layout_memo->caption == in.caption
        && m_layout_memo->input == key && std::memcmp(&m_layout_memo->font, &font, sizeof font) == 0;
    CaptionLayout fresh;
    if (!unchanged) {
        fresh = layout_caption(in, measure);
        m_caption_lines = std::move(fresh.lines);
        fresh.lines.clear();
        if (font_known)
            m_layout_memo = LayoutMemo {std::string(in.caption), key, font, std::move(fresh)};
        else
            m_layout_memo.reset();
    }
    const CaptionLayout& layout = m_layout_memo ? m_layout_memo->layout : fresh;
    if (layout.has_rect)
        m_caption_rect = layout.rect;
    // An access key that this layout did not place (cut away by "...") draws no underline.
    m_access_key_width = static_cast<int16_t>(layout.key_found ? layout.access_key_width : 0);
    m_access_key_line = layout.key_found ? layout.access_key_line : 0;
    m_underline_x = layout.key_found ? layout.underline_x : 0;
    m_underline_y = layout.key_found ? layout.underline_y : 0;
    if (layout.icon_placed) {
        m_icon_x = layout.icon_x;
        m_icon_y = layout.icon_y;
    }
}

// [SECTION] Drawing

int32_t QuillButton::pressed_offset(const FaceLook& face) const
{
    // Pressed push buttons move their caption and icon one pixel right and down; the soft face
    // and option buttons never do.
    return (face.pressed() && face_type() != FaceType::Soft && !m_option_button) ? 1 : 0;
}

void QuillButton::DrawCaptionAndIcon(
    const FaceLook& face, Color textColour, Color secondColour, Color firstColour)
{
    const int32_t P = pressed_offset(face);

    Color colour[3] = {firstColour, secondColour, textColour};
    int32_t offset[3] = {-1, 1, 0};
    // Styled captions: two offset passes in the emboss colours under the text.
    auto styled = [&](int32_t style, Color mid, Color shade, Color text) {
        switch (style) {
        case 1:
            colour[0] = shade, offset[0] = -1, colour[1] = mid, offset[1] = 1;
            break;
        case 2:
            colour[0] = mid, offset[0] = -1, colour[1] = shade, offset[1] = 1;
            break;
        default:
            colour[0] = shade, offset[0] = 1, colour[1] = shade, offset[1] = -1;
            break;
        }
        colour[2] = text;
    };
    if (face.enabled && m_caption_style >= 1 && m_caption_style <= 3) {
        styled(m_caption_style, m_emboss_mid, m_emboss_shadow, m_palette.text);
    } else if (scheme() == SchemeKind::Gradient && !face.enabled) {
        // A disabled caption on a gradient is engraved in shades of the container's colour.
        const Color back = Parent() ? gdi::GetBkColor(parent_dc()) : Ambient().BackColor;
        const Color mid = ShiftColor(back, -192, false);
        const Color shade = ShiftColor(back, 31, false);
        if (face.selected)
            styled(1, mid, shade, ShiftColor(back, 47, false));
        else
            styled(2, mid, shade, 0);
    } else if (scheme() == SchemeKind::Gradient && face.selected) {
        // The gradient's start colour, unless it is lost on the selected look's light fill.
        colour[2] = textColour == NoPass
            ? m_gradient_start
            : readable_colour(m_palette.light, {m_gradient_start & 0xFFFFFF, textColour & 0xFFFFFF});
    }

    const gdi::HDC dc = hDC();
    try {
        CreateCaptionFont(false);
        gdi::SetBkMode(dc, gdi::TRANSPARENT);
        for (const CaptionLine& line : m_caption_lines) {
            for (int pass = 0; pass < 3; ++pass) {
                if (colour[pass] == NoPass)
                    continue;
                gdi::SetTextColor(dc, colour[pass]);
                gdi::TextOutA(dc, line.Left + P + offset[pass], line.Top + P + offset[pass],
                    line.Text.empty() ? "" : line.Text.data(), int(line.Text.size()));
            }
        }
        if (m_access_key_pos != 0 && textColour != NoPass) {
            if (m_caption_orientation == 0)
                DrawLine(m_underline_x + P, m_underline_y + P, m_underline_x + m_access_key_width + P,
                    m_underline_y + P, textColour);
            else
                DrawLine(m_underline_x + P, m_underline_y + P, m_underline_x + P,
                    m_underline_y + m_access_key_width + P, textColour);
        }
        // The snapshot is the background of the icon being prepared: an icon on it (the set
        // Macintosh option button draws its caption there) would only lend it the old image.
        if (m_has_icon && !face.snapshot)
            DrawIcon(face.enabled, m_icon_x + P, m_icon_y + P);
    } catch (...) {
        // The face stays as painted; the font is released below all the same.
    }
    gdi::SelectObject(dc, m_previous_font);
    gdi::DeleteObject(m_caption_font);
    m_caption_font = nullptr;
}

} // namespace sorrel::controls
