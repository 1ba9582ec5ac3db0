#pragma once

// The Windows-style drawing facade: the GDI, USER32 and MSIMG32 drawing operations, with their
// Windows names, argument order and failure values, drawing on our own Surfaces.
//
// [SECTION] Windows types
// [SECTION] Handles
// [SECTION] Records
// [SECTION] Constants
// [SECTION] Device contexts
// [SECTION] Drawing objects
// [SECTION] Lines, pixels and polygons
// [SECTION] Rectangles
// [SECTION] Regions
// [SECTION] Device context state
// [SECTION] Pictures and gradients
// [SECTION] Text (implemented in platform/gdi/text/)
// [SECTION] System colours and version
//
// Every operation validates its handles: a null, deleted, stale or wrong-kind handle makes the
// call fail the way the Windows call does (0, FALSE, NULL, ERROR or CLR_INVALID), never crash.
// The layer is used from the one user-interface thread only.

#include "platform/gdi/Color.h"

#include <cstddef>
#include <cstdint>

namespace sorrel::gdi {

class Surface;

// [SECTION] Windows types

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = int32_t;
using ULONG = uint32_t;
using COLORREF = uint32_t;
using COLOR16 = unsigned short;
using CHAR = char;
using LPARAM = intptr_t;
using WPARAM = uintptr_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// [SECTION] Handles
//
// Handles are opaque pointer-sized values that are never dereferenced. The drawing-object handle
// types derive from one base so that an HPEN, HBRUSH, HFONT, HRGN or HBITMAP converts implicitly
// to HGDIOBJ (as it does on Windows); going back needs a cast, e.g. (HPEN)SelectObject(...).
// HDC and HICON are separate types, as icons and device contexts are not drawing objects.

struct GdiObjectHandle_ { };
struct PenHandle_ : GdiObjectHandle_ { };
struct BrushHandle_ : GdiObjectHandle_ { };
struct FontHandle_ : GdiObjectHandle_ { };
struct RegionHandle_ : GdiObjectHandle_ { };
struct BitmapHandle_ : GdiObjectHandle_ { };
struct IconHandle_ { };
struct DcHandle_ { };

using HGDIOBJ = GdiObjectHandle_*;
using HPEN = PenHandle_*;
using HBRUSH = BrushHandle_*;
using HFONT = FontHandle_*;
using HRGN = RegionHandle_*;
using HBITMAP = BitmapHandle_*;
using HICON = IconHandle_*;
using HDC = DcHandle_*;

// [SECTION] Records

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

struct TRIVERTEX {
    LONG x;
    LONG y;
    COLOR16 Red;
    COLOR16 Green;
    COLOR16 Blue;
    COLOR16 Alpha;
};

struct GRADIENT_RECT {
    ULONG UpperLeft;
    ULONG LowerRight;
};

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

// [SECTION] Constants

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c)
{
    return BYTE(c);
}
constexpr BYTE GetGValue(COLORREF c)
{
    return BYTE(c >> 8);
}
constexpr BYTE GetBValue(COLORREF c)
{
    return BYTE(c >> 16);
}

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;

// Object types, as GetObjectType reports them.
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_REGION = 8;
constexpr DWORD OBJ_MEMDC = 10;

// Region combination modes, fill modes and results.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Raster operations.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Gradient modes.
constexpr ULONG GRADIENT_FILL_RECT_H = 0;
constexpr ULONG GRADIENT_FILL_RECT_V = 1;
constexpr ULONG GRADIENT_FILL_TRIANGLE = 2;

// DrawText formats.
constexpr UINT ETO_CLIPPED = 0x4;
constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_TABSTOP = 0x80;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_EXTERNALLEADING = 0x200;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;
constexpr UINT DT_INTERNAL = 0x1000;
constexpr UINT DT_EDITCONTROL = 0x2000;
constexpr UINT DT_PATH_ELLIPSIS = 0x4000;
constexpr UINT DT_END_ELLIPSIS = 0x8000;
constexpr UINT DT_MODIFYSTRING = 0x10000;
constexpr UINT DT_RTLREADING = 0x20000;
constexpr UINT DT_WORD_ELLIPSIS = 0x40000;

// DrawState image types and states.
constexpr UINT DST_COMPLEX = 0x0;
constexpr UINT DST_TEXT = 0x1;
constexpr UINT DST_PREFIXTEXT = 0x2;
constexpr UINT DST_ICON = 0x3;
constexpr UINT DST_BITMAP = 0x4;
constexpr UINT DSS_NORMAL = 0x0;
constexpr UINT DSS_UNION = 0x10;
constexpr UINT DSS_DISABLED = 0x20;
constexpr UINT DSS_MONO = 0x80;
constexpr UINT DSS_RIGHT = 0x8000;

// Background modes and graphics modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int GM_COMPATIBLE = 1;
constexpr int GM_ADVANCED = 2;

// Font fields.
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;
constexpr BYTE TMPF_FIXED_PITCH = 0x01;
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;
constexpr BYTE TMPF_DEVICE = 0x08;

// System colour indexes.
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_DESKTOP = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_BTNHILIGHT = 20;
constexpr int COLOR_3DHIGHLIGHT = 20;
constexpr int COLOR_3DHILIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
constexpr int SYS_COLOR_COUNT = 31;

// Version platform identifiers.
constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

// [SECTION] Device contexts

// A device context that draws on `surface`, which must outlive it (our own, not a Windows call).
HDC CreateSurfaceDC(Surface& surface);
// A memory device context; it draws on the bitmap selected into it (none at first).
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// The surface a device context currently draws on, or nullptr.
Surface* SurfaceOfDC(HDC dc);

// [SECTION] Drawing objects

HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HGDIOBJ GetStockObject(int index);
// Selects a pen, brush, font or bitmap (into a memory DC) and returns the one it replaces, or
// NULL on failure. Selecting a region sets the clip region and returns the region result code
// cast to a handle, as Windows does.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
DWORD GetObjectType(HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

// Pictures: a bitmap keeps a copy of the surface; an icon is a bitmap whose pixels carry alpha in
// the top byte (0 transparent, anything else opaque). Our own constructors, not Windows calls.
HBITMAP CreateBitmapFromSurface(const Surface& pixels);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HICON CreateIconFromSurface(const Surface& pixels);
BOOL DestroyIcon(HICON icon);
// The pixels of a bitmap or icon, or nullptr (our own).
const Surface* SurfaceOfBitmap(HBITMAP bitmap);
const Surface* SurfaceOfIcon(HICON icon);

// Drawing objects, device contexts, bitmaps and icons alive now; stock objects are not counted.
size_t live_object_count();

// [SECTION] Lines, pixels and polygons

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL GetCurrentPositionEx(HDC dc, POINT* position);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the surface or the clip region.
COLORREF GetPixel(HDC dc, int x, int y);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Polyline(HDC dc, const POINT* points, int count);

// [SECTION] Rectangles

int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL DrawFocusRect(HDC dc, const RECT* rect);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL CopyRect(RECT* destination, const RECT* source);
BOOL InflateRect(RECT* rect, int dx, int dy);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL IntersectRect(RECT* destination, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* destination, const RECT* a, const RECT* b);
BOOL IsRectEmpty(const RECT* rect);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL EqualRect(const RECT* a, const RECT* b);

// [SECTION] Regions

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int count, int fill_mode);
// `destination` must already be a region; it may be one of the sources.
int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL PtInRegion(HRGN region, int x, int y);
int GetRgnBox(HRGN region, RECT* box);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// Clipping: the DC keeps a copy of the region (NULL removes the clip).
int SelectClipRgn(HDC dc, HRGN region);
int GetClipBox(HDC dc, RECT* box);

// [SECTION] Device context state

int SetGraphicsMode(HDC dc, int mode);
int GetGraphicsMode(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
// The logical origin: drawing at (0, 0) lands on device pixel (x, y).
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT* origin);

// [SECTION] Pictures and gradients

BOOL BitBlt(
    HDC destination, int x, int y, int width, int height, HDC source, int source_x, int source_y, DWORD rop);
BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int source_x, int source_y,
    int source_width, int source_height, DWORD rop);
BOOL GradientFill(
    HDC dc, const TRIVERTEX* vertices, ULONG vertex_count, const void* mesh, ULONG mesh_count, ULONG mode);

using DRAWSTATEPROC = BOOL (*)(HDC dc, LPARAM data, WPARAM wdata, int cx, int cy);
// Supports DST_ICON and DST_BITMAP (lData is the HICON or HBITMAP), normal or DSS_DISABLED.
BOOL DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC callback, LPARAM data, WPARAM wdata, int x, int y, int cx,
    int cy, UINT flags);
// Draws an icon with its own transparency, scaled to cx x cy (0 means the icon's own size).
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker_free, UINT flags);

// [SECTION] Text (implemented in platform/gdi/text/)

HFONT CreateFontIndirectA(const LOGFONTA* font);
// Fonts only: copies up to `size` bytes of the font's LOGFONTA into `buffer` and returns how many,
// or with `buffer` null returns the size of a LOGFONTA; 0 for anything else.
int GetObjectA(HGDIOBJ object, int size, void* buffer);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int length);
// TextOutA clipped to `rect` (logical coordinates) as well as to the clip region. Of the options
// only ETO_CLIPPED is supported, and `dx` must be null; anything else fails.
BOOL ExtTextOutA(
    HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, UINT length, const INT* dx);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size);

// [SECTION] System colours and version

COLORREF GetSysColor(int index);
BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors);
// Restores the built-in colour scheme (for tests).
void reset_sys_colors();

// `info->dwOSVersionInfoSize` must be 148 (or 156, the extended record, of which only the first
// 148 bytes are filled).
BOOL GetVersionExA(OSVERSIONINFOA* info);
// Makes GetVersionExA report `info` (for tests); reset_version_info() restores the default.
void set_version_info(const OSVERSIONINFOA& info);
void reset_version_info();

} // namespace sorrel::gdi
