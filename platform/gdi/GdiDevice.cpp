// Device contexts, drawing objects, selection and device-context state.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"

#include <array>
#include <utility>

namespace sorrel::gdi {

namespace {

constexpr int stock_count = default_bitmap_stock_index + 1;

uintptr_t make_stock(int index)
{
    switch (index) {
    case WHITE_BRUSH:
        return register_stock_object_value(std::make_unique<BrushObject>(0xFFFFFF));
    case LTGRAY_BRUSH:
        return register_stock_object_value(std::make_unique<BrushObject>(0xC0C0C0));
    case GRAY_BRUSH:
        return register_stock_object_value(std::make_unique<BrushObject>(0x808080));
    case DKGRAY_BRUSH:
        return register_stock_object_value(std::make_unique<BrushObject>(0x404040));
    case BLACK_BRUSH:
        return register_stock_object_value(std::make_unique<BrushObject>(0x000000));
    case NULL_BRUSH:
        return register_stock_object_value(std::make_unique<BrushObject>(0, true));
    case WHITE_PEN:
        return register_stock_object_value(std::make_unique<PenObject>(PS_SOLID, 1, 0xFFFFFF));
    case BLACK_PEN:
        return register_stock_object_value(std::make_unique<PenObject>(PS_SOLID, 1, 0x000000));
    case NULL_PEN:
        return register_stock_object_value(std::make_unique<PenObject>(PS_NULL, 1, 0));
    case default_bitmap_stock_index:
        return register_stock_object_value(std::make_unique<BitmapObject>(Surface(1, 1, 0)));
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT:
        if (StockFontFactory factory = stock_font_factory())
            return register_stock_object_value(factory(index));
        return 0;
    default:
        return 0;
    }
}

} // namespace

HGDIOBJ GetStockObject(int index)
{
    static std::array<uintptr_t, stock_count> stock {};
    if (index < 0 || index >= stock_count)
        return nullptr;
    if (stock[index] == 0)
        stock[index] = make_stock(index);
    return handle_from_value<HGDIOBJ>(stock[index]);
}

// [SECTION] Device contexts

HDC CreateSurfaceDC(Surface& surface)
{
    return register_object<HDC>(std::make_unique<DeviceContext>(&surface));
}

HDC CreateCompatibleDC(HDC dc)
{
    if (dc && !dc_from_handle(dc))
        return nullptr;
    return register_object<HDC>(std::make_unique<DeviceContext>(nullptr));
}

BOOL DeleteDC(HDC dc)
{
    if (!dc_from_handle(dc))
        return FALSE;
    return release_object(handle_value(dc)) ? TRUE : FALSE;
}

Surface* SurfaceOfDC(HDC dc)
{
    DeviceContext* context = dc_from_handle(dc);
    return context ? context->surface() : nullptr;
}

// [SECTION] Drawing objects

HPEN CreatePen(int style, int width, COLORREF color)
{
    if (style < PS_SOLID || style > PS_INSIDEFRAME)
        return nullptr;
    return handle_from_value<HPEN>(
        ObjectTable::the().add(new PenObject(style, std::max(width, 0), without_alpha(color)), false));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    return handle_from_value<HBRUSH>(ObjectTable::the().add(new BrushObject(without_alpha(color)), false));
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    ObjectTable& table = ObjectTable::the();
    DeviceContext* context = dc_from_handle(dc);
    uintptr_t value = handle_value(object);
    // Pens first: a shaded face selects a fresh one for every line.
    if (auto* pen = static_cast<PenObject*>(table.lookup(value, ObjectKind::Pen)))
        return context ? context->select(pen) : nullptr;
    GdiObject* target = table.lookup(value);
    if (!context || !target)
        return nullptr;
    switch (target->kind()) {
    case ObjectKind::Brush:
        return context->select(static_cast<BrushObject*>(target));
    case ObjectKind::Font:
        return context->select_font_object(target);
    case ObjectKind::Bitmap:
        return context->select(static_cast<BitmapObject*>(target));
    case ObjectKind::Region:
        return handle_from_value<HGDIOBJ>(uintptr_t(SelectClipRgn(dc, HRGN(object))));
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object)
{
    ObjectTable& table = ObjectTable::the();
    uintptr_t value = handle_value(object);
    if (auto* pen = static_cast<PenObject*>(table.lookup(value, ObjectKind::Pen))) {
        table.release(pen);
        return TRUE;
    }
    GdiObject* target = table.lookup(value);
    if (!target)
        return FALSE;
    switch (target->kind()) {
    // Device contexts and icons have their own deletion calls.
    case ObjectKind::DeviceContext:
    case ObjectKind::Icon:
        return FALSE;
    case ObjectKind::Brush:
        table.release(static_cast<BrushObject*>(target));
        return TRUE;
    default:
        table.release(target);
        return TRUE;
    }
}

DWORD GetObjectType(HGDIOBJ object)
{
    GdiObject* target = lookup_object(handle_value(object));
    if (!target)
        return 0;
    switch (target->kind()) {
    case ObjectKind::Pen:
        return OBJ_PEN;
    case ObjectKind::Brush:
        return OBJ_BRUSH;
    case ObjectKind::Font:
        return OBJ_FONT;
    case ObjectKind::Region:
        return OBJ_REGION;
    case ObjectKind::Bitmap:
        return OBJ_BITMAP;
    case ObjectKind::DeviceContext:
        return static_cast<DeviceContext*>(target)->is_memory_dc() ? OBJ_MEMDC : OBJ_DC;
    case ObjectKind::Icon:
        return 0;
    }
    return 0;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return context->pen();
    case OBJ_BRUSH:
        return context->brush();
    case OBJ_FONT:
        return context->font();
    case OBJ_BITMAP:
        return context->bitmap();
    default:
        return nullptr;
    }
}

HBITMAP CreateBitmapFromSurface(const Surface& pixels)
{
    if (pixels.is_empty())
        return nullptr;
    return register_object<HBITMAP>(std::make_unique<BitmapObject>(pixels));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    // Pictures are small; an absurd size is refused rather than allocated.
    constexpr int64_t max_pixels = int64_t(1) << 24;
    if ((dc && !dc_from_handle(dc)) || width <= 0 || height <= 0 || int64_t(width) * height > max_pixels)
        return nullptr;
    Surface pixels(width, height, 0);
    if (pixels.is_empty())
        return nullptr;
    return register_object<HBITMAP>(std::make_unique<BitmapObject>(std::move(pixels)));
}

HICON CreateIconFromSurface(const Surface& pixels)
{
    if (pixels.is_empty())
        return nullptr;
    return register_object<HICON>(std::make_unique<IconObject>(pixels));
}

BOOL DestroyIcon(HICON icon)
{
    if (!object_cast<IconObject>(icon))
        return FALSE;
    return release_object(handle_value(icon)) ? TRUE : FALSE;
}

const Surface* SurfaceOfBitmap(HBITMAP bitmap)
{
    auto* object = object_cast<BitmapObject>(bitmap);
    return object ? &object->pixels : nullptr;
}

const Surface* SurfaceOfIcon(HICON icon)
{
    auto* object = object_cast<IconObject>(icon);
    return object ? &object->pixels : nullptr;
}

// [SECTION] Device context state

int SetGraphicsMode(HDC dc, int mode)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || (mode != GM_COMPATIBLE && mode != GM_ADVANCED))
        return 0;
    return std::exchange(context->graphics_mode, mode);
}

int GetGraphicsMode(HDC dc)
{
    DeviceContext* context = dc_from_handle(dc);
    return context ? context->graphics_mode : 0;
}

COLORREF SetTextColor(HDC dc, COLORREF color)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return CLR_INVALID;
    return std::exchange(context->text_color, without_alpha(color));
}

COLORREF GetTextColor(HDC dc)
{
    DeviceContext* context = dc_from_handle(dc);
    return context ? context->text_color : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF color)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return CLR_INVALID;
    return std::exchange(context->bk_color, without_alpha(color));
}

COLORREF GetBkColor(HDC dc)
{
    DeviceContext* context = dc_from_handle(dc);
    return context ? context->bk_color : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    return std::exchange(context->bk_mode, mode);
}

int GetBkMode(HDC dc)
{
    DeviceContext* context = dc_from_handle(dc);
    return context ? context->bk_mode : 0;
}

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context)
        return FALSE;
    if (previous)
        *previous = {context->origin.x, context->origin.y};
    context->origin = {x, y};
    return TRUE;
}

BOOL GetViewportOrgEx(HDC dc, POINT* origin)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || !origin)
        return FALSE;
    *origin = {context->origin.x, context->origin.y};
    return TRUE;
}

} // namespace sorrel::gdi
