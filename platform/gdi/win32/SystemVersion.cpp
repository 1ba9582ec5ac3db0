#include "platform/gdi/SystemVersion.h"

#include <windows.h>

namespace sorrel::gdi {

SystemVersion system_version()
{
    OSVERSIONINFOW info {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info))
        return {};
    SystemVersion version {
        info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.dwPlatformId, {}};
    // "Service Pack 3": plain ASCII on every release.
    for (const wchar_t* c = info.szCSDVersion; *c; ++c)
        version.service_pack += *c < 0x80 ? char(*c) : '?';
    return version;
}

} // namespace sorrel::gdi
