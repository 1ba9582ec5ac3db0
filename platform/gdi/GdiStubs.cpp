// Operations not written yet: each fails the way the Windows call fails.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"

namespace sorrel::gdi {

BOOL DrawStateA(HDC, HBRUSH, DRAWSTATEPROC, LPARAM, WPARAM, int, int, int, int, UINT)
{
    return FALSE;
}
BOOL DrawIconEx(HDC, int, int, HICON, int, int, UINT, HBRUSH, UINT)
{
    return FALSE;
}

} // namespace sorrel::gdi
