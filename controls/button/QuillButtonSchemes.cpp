// The platform probe (gradient availability and the caption's graphics mode) and the colour
// schemes that derive the seven palette colours every painter reads.

#include "controls/button/PaintSupport.h"
#include "controls/button/QuillButton.h"

#include "platform/host/Form.h"

#include <array>
#include <string>

namespace sorrel::controls {

namespace {

struct PlatformAnswer {
    std::string_view key; // platform identifier . major . minor
    int16_t graphics_mode;
    int16_t gradient_answer;
};

// The platforms whose answers differ from the default (0 and 0) and the ones that have them.
constexpr std::array<PlatformAnswer, 7> KnownPlatforms {{
    {"1.4.0", 0, -1}, // Windows 95: no gradient fill
    {"1.4.10", 0, 0}, // Windows 98
    {"1.4.90", 0, 0}, // Windows Me
    {"2.3.51", 2, -1}, // Windows NT 3.51
    {"2.4.0", 1, -1}, // Windows NT 4.0
    {"2.5.0", 0, 0}, // Windows 2000
    {"2.5.1", 0, 0}, // Windows XP
}};

// A face colour and the four shades derived from it.
Palette derived_palette(gdi::Color face, gdi::Color text, gdi::Color hover_text)
{
    return {face, shifted_colour(face, 31, false), shifted_colour(face, 47, false),
        shifted_colour(face, -64, false), shifted_colour(face, -192, false), text, hover_text};
}

constexpr Palette LightGreyPalette {0xC0C0C0, 0xDFDFDF, 0xFFFFFF, 0x808080, 0, 0, 0};

// The system colour of each palette entry.
struct SystemShade {
    gdi::Color Palette::*member;
    int index;
};
constexpr std::array<SystemShade, 7> SystemShades {{
    {&Palette::face, gdi::COLOR_BTNFACE},
    {&Palette::light, gdi::COLOR_3DLIGHT},
    {&Palette::highlight, gdi::COLOR_BTNHIGHLIGHT},
    {&Palette::shadow, gdi::COLOR_BTNSHADOW},
    {&Palette::dark_shadow, gdi::COLOR_3DDKSHADOW},
    {&Palette::text, gdi::COLOR_BTNTEXT},
    {&Palette::hover_text, gdi::COLOR_BTNTEXT},
}};

} // namespace

int16_t QuillButton::ProbePlatform(bool gradientQuery)
{
    gdi::OSVERSIONINFOA info {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!gdi::GetVersionExA(&info))
        return 0;
    std::string key = std::to_string(info.dwPlatformId) + "." + std::to_string(info.dwMajorVersion) + "."
        + std::to_string(info.dwMinorVersion);
    for (auto& platform : KnownPlatforms) {
        if (platform.key == key)
            return gradientQuery ? platform.gradient_answer : platform.graphics_mode;
    }
    return 0;
}

Palette QuillButton::scheme_palette() const
{
    switch (scheme()) {
    case SchemeKind::Custom:
    case SchemeKind::Gradient:
        // Everything follows the custom colour properties.
        return derived_palette(m_back_color, m_fore_color, m_mouse_over);
    case SchemeKind::LightGrey:
        return LightGreyPalette;
    case SchemeKind::Container: {
        // The colours of the container's drawing surface.
        if (gdi::HDC dc = parent_dc()) {
            const gdi::Color text = gdi::GetTextColor(dc);
            return derived_palette(gdi::GetBkColor(dc), text, text);
        }
        const host::AmbientProperties ambient = Ambient();
        return derived_palette(ambient.BackColor, ambient.ForeColor, ambient.ForeColor);
    }
    default: {
        // The system's button colours; also any damaged scheme value.
        Palette palette;
        for (const SystemShade& shade : SystemShades)
            palette.*shade.member = gdi::GetSysColor(shade.index);
        return palette;
    }
    }
}

void QuillButton::ApplyColorScheme(bool resetColours)
{
    m_palette = scheme_palette();
    if (scheme() == SchemeKind::Custom || scheme() == SchemeKind::Gradient)
        return;
    // The other schemes set the standard emboss colours and, on request, take the custom colour
    // properties from the palette.
    m_emboss_mid = 0xC0C0C0;
    m_emboss_shadow = 0xFFFFFF;
    if (resetColours) {
        m_back_color = m_palette.face;
        m_fore_color = m_palette.text;
        m_mouse_over = m_palette.hover_text;
    }
}

} // namespace sorrel::controls
