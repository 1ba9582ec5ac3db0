// Operations not written yet: each fails the way the Windows call fails.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"

namespace sorrel::gdi {

BOOL MoveToEx(HDC, int, int, POINT*)
{
    return FALSE;
}
BOOL LineTo(HDC, int, int)
{
    return FALSE;
}
BOOL GetCurrentPositionEx(HDC, POINT*)
{
    return FALSE;
}
BOOL SetPixelV(HDC, int, int, COLORREF)
{
    return FALSE;
}
COLORREF SetPixel(HDC, int, int, COLORREF)
{
    return CLR_INVALID;
}
COLORREF GetPixel(HDC, int, int)
{
    return CLR_INVALID;
}
BOOL Polygon(HDC, const POINT*, int)
{
    return FALSE;
}
BOOL Polyline(HDC, const POINT*, int)
{
    return FALSE;
}
BOOL Rectangle(HDC, int, int, int, int)
{
    return FALSE;
}
HRGN CreateRectRgn(int, int, int, int)
{
    return nullptr;
}
HRGN CreateRectRgnIndirect(const RECT*)
{
    return nullptr;
}
HRGN CreatePolygonRgn(const POINT*, int, int)
{
    return nullptr;
}
int CombineRgn(HRGN, HRGN, HRGN, int)
{
    return ERROR;
}
BOOL FillRgn(HDC, HRGN, HBRUSH)
{
    return FALSE;
}
BOOL PtInRegion(HRGN, int, int)
{
    return FALSE;
}
int GetRgnBox(HRGN, RECT*)
{
    return ERROR;
}
int OffsetRgn(HRGN, int, int)
{
    return ERROR;
}
BOOL EqualRgn(HRGN, HRGN)
{
    return FALSE;
}
BOOL SetRectRgn(HRGN, int, int, int, int)
{
    return FALSE;
}
int SelectClipRgn(HDC, HRGN)
{
    return ERROR;
}
int GetClipBox(HDC, RECT*)
{
    return ERROR;
}
BOOL BitBlt(HDC, int, int, int, int, HDC, int, int, DWORD)
{
    return FALSE;
}
BOOL StretchBlt(HDC, int, int, int, int, HDC, int, int, int, int, DWORD)
{
    return FALSE;
}
BOOL GradientFill(HDC, const TRIVERTEX*, ULONG, const void*, ULONG, ULONG)
{
    return FALSE;
}
BOOL DrawStateA(HDC, HBRUSH, DRAWSTATEPROC, LPARAM, WPARAM, int, int, int, int, UINT)
{
    return FALSE;
}
BOOL DrawIconEx(HDC, int, int, HICON, int, int, UINT, HBRUSH, UINT)
{
    return FALSE;
}

} // namespace sorrel::gdi
