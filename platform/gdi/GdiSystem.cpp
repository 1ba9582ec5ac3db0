// System colours and the version record.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SystemVersion.h"

#include <array>
#include <cstring>

namespace sorrel::gdi {

namespace {

// The classic light-grey scheme, one entry per COLOR_* index.
constexpr std::array<COLORREF, SYS_COLOR_COUNT> classic_colors {
    0xC0C0C0, // COLOR_SCROLLBAR
    0x808000, // COLOR_BACKGROUND: teal desktop
    0x800000, // COLOR_ACTIVECAPTION: navy
    0x808080, // COLOR_INACTIVECAPTION
    0xC0C0C0, // COLOR_MENU
    0xFFFFFF, // COLOR_WINDOW
    0x000000, // COLOR_WINDOWFRAME
    0x000000, // COLOR_MENUTEXT
    0x000000, // COLOR_WINDOWTEXT
    0xFFFFFF, // COLOR_CAPTIONTEXT
    0xC0C0C0, // COLOR_ACTIVEBORDER
    0xC0C0C0, // COLOR_INACTIVEBORDER
    0x808080, // COLOR_APPWORKSPACE
    0x800000, // COLOR_HIGHLIGHT: navy
    0xFFFFFF, // COLOR_HIGHLIGHTTEXT
    0xC0C0C0, // COLOR_BTNFACE
    0x808080, // COLOR_BTNSHADOW
    0x808080, // COLOR_GRAYTEXT
    0x000000, // COLOR_BTNTEXT
    0xC0C0C0, // COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF, // COLOR_BTNHIGHLIGHT
    0x000000, // COLOR_3DDKSHADOW
    0xDFDFDF, // COLOR_3DLIGHT
    0x000000, // COLOR_INFOTEXT
    0xE1FFFF, // COLOR_INFOBK: pale yellow
    0xB5B5B5, // index 25 has no name; it keeps a neutral grey
    0xFF0000, // COLOR_HOTLIGHT: blue
    0xD08410, // COLOR_GRADIENTACTIVECAPTION
    0xB5B5B5, // COLOR_GRADIENTINACTIVECAPTION
    0x800000, // COLOR_MENUHILIGHT
    0xC0C0C0, // COLOR_MENUBAR
};

std::array<COLORREF, SYS_COLOR_COUNT> s_colors = classic_colors;

OSVERSIONINFOA default_version()
{
    SystemVersion system = system_version();
    OSVERSIONINFOA info {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    info.dwMajorVersion = system.major;
    info.dwMinorVersion = system.minor;
    info.dwBuildNumber = system.build;
    info.dwPlatformId = system.platform;
    system.service_pack.copy(info.szCSDVersion, sizeof(info.szCSDVersion) - 1);
    return info;
}

OSVERSIONINFOA s_version = default_version();

} // namespace

COLORREF GetSysColor(int index)
{
    if (index < 0 || index >= SYS_COLOR_COUNT)
        return 0;
    return s_colors[size_t(index)];
}

BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors)
{
    if (count < 0 || (count > 0 && (!indexes || !colors)))
        return FALSE;
    for (int i = 0; i < count; ++i) {
        if (indexes[i] >= 0 && indexes[i] < SYS_COLOR_COUNT)
            s_colors[size_t(indexes[i])] = colors[i] & 0xFFFFFF;
    }
    return TRUE;
}

void reset_sys_colors()
{
    s_colors = classic_colors;
}

BOOL GetVersionExA(OSVERSIONINFOA* info)
{
    // The extended record is 156 bytes; its first 148 are this one.
    constexpr DWORD extended_size = 156;
    if (!info
        || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)
            && info->dwOSVersionInfoSize != extended_size))
        return FALSE;
    DWORD size = info->dwOSVersionInfoSize;
    std::memcpy(info, &s_version, sizeof(OSVERSIONINFOA));
    info->dwOSVersionInfoSize = size;
    info->szCSDVersion[sizeof(info->szCSDVersion) - 1] = '\0';
    return TRUE;
}

void set_version_info(const OSVERSIONINFOA& info)
{
    s_version = info;
}

void reset_version_info()
{
    s_version = default_version();
}

} // namespace sorrel::gdi
