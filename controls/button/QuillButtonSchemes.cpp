// The platform probe (gradient availability and the caption's graphics mode) and the colour
// schemes that derive the seven palette colours every painter reads.

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

void QuillButton::ApplyColorScheme(bool resetColours)
{
    auto derive_shades = [this] {
        // The order of the shades is fixed: shadow, light, highlight, dark shadow.
        ShadowColor = ShiftColor(FaceColor, -64, false);
        LightColor = ShiftColor(FaceColor, 31, false);
        HighlightColor = ShiftColor(FaceColor, 47, false);
        DarkShadowColor = ShiftColor(FaceColor, -192, false);
    };
    auto standard_emboss = [this] {
        m_emboss_mid = 0xC0C0C0;
        m_emboss_shadow = 0xFFFFFF;
    };

    switch (scheme()) {
    case SchemeKind::Custom:
    case SchemeKind::Gradient:
        // Custom and gradient: everything follows the custom colour properties.
        FaceColor = m_back_color;
        derive_shades();
        TextColor = m_fore_color;
        HoverTextColor = m_mouse_over;
        break;
    case SchemeKind::LightGrey:
        FaceColor = 0xC0C0C0;
        LightColor = 0xDFDFDF;
        HighlightColor = 0xFFFFFF;
        ShadowColor = 0x808080;
        DarkShadowColor = 0;
        TextColor = 0;
        HoverTextColor = 0;
        standard_emboss();
        if (resetColours) {
            m_back_color = 0xC0C0C0;
            m_fore_color = 0;
            m_mouse_over = 0;
        }
        break;
    case SchemeKind::Container: {
        // The colours of the container's drawing surface.
        gdi::HDC dc = parent_dc();
        if (dc) {
            FaceColor = gdi::GetBkColor(dc);
            TextColor = gdi::GetTextColor(dc);
        } else {
            host::AmbientProperties ambient = Ambient();
            FaceColor = ambient.BackColor;
            TextColor = ambient.ForeColor;
        }
        derive_shades();
        HoverTextColor = TextColor;
        standard_emboss();
        if (resetColours) {
            m_back_color = FaceColor;
            m_fore_color = TextColor;
            m_mouse_over = HoverTextColor;
        }
        break;
    }
    default:
        // The system's button colours; also any damaged scheme value.
        FaceColor = gdi::GetSysColor(gdi::COLOR_BTNFACE);
        LightColor = gdi::GetSysColor(gdi::COLOR_3DLIGHT);
        HighlightColor = gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT);
        ShadowColor = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
        DarkShadowColor = gdi::GetSysColor(gdi::COLOR_3DDKSHADOW);
        TextColor = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
        HoverTextColor = TextColor;
        standard_emboss();
        if (resetColours) {
            m_back_color = FaceColor;
            m_fore_color = TextColor;
            m_mouse_over = TextColor;
        }
        break;
    }
}

} // namespace sorrel::controls
