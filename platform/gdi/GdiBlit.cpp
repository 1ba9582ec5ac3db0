// BitBlt and StretchBlt (source copy, COLORONCOLOR stretching).

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/StretchCopy.h"

namespace sorrel::gdi {

namespace {

BOOL blit(HDC destination, BlitCoords dst, HDC source, BlitCoords src, DWORD rop)
{
    DeviceContext* target = dc_from_handle(destination);
    DeviceContext* origin = dc_from_handle(source);
    if (!target || !origin || rop != SRCCOPY)
        return FALSE;
    if (!target->surface() || !origin->surface())
        return FALSE;
    dst.x += target->origin.x;
    dst.y += target->origin.y;
    src.x += origin->origin.x;
    src.y += origin->origin.y;
    const Region* clip = target->clip_region() ? &*target->clip_region() : nullptr;
    stretch_copy({target->surface(), target->clip_box(), clip}, dst, *origin->surface(), src);
    return TRUE;
}

} // namespace

BOOL BitBlt(
    HDC destination, int x, int y, int width, int height, HDC source, int source_x, int source_y, DWORD rop)
{
    return blit(destination, {x, y, width, height}, source, {source_x, source_y, width, height}, rop);
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int source_x, int source_y,
    int source_width, int source_height, DWORD rop)
{
    return blit(
        destination, {x, y, width, height}, source, {source_x, source_y, source_width, source_height}, rop);
}

} // namespace sorrel::gdi
