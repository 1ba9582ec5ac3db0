// The text operations of the Windows-style facade: font creation, metrics, measuring and drawing.
//
// Only left-aligned, top-referenced text (TA_LEFT | TA_TOP) exists: a font's escapement turns the
// text about its reference point by a quarter turn (see TextPainter). The graphics mode makes no
// difference to the result: rotated fonts turn the same way in both modes.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/text/FontCache.h"
#include "platform/gdi/text/FontObject.h"
#include "platform/gdi/text/TextPainter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::gdi {

namespace {

struct SelectedFont {
    Font* font {nullptr};
    Rotation rotation {Rotation::None};
    bool underline {false};
    bool strike_out {false};
};

// The stock fonts, in the faces our resolver maps the Windows ones to.
std::unique_ptr<GdiObject> make_stock_font(int index)
{
    LOGFONTA description {};
    auto set_face = [&](const char* name) { std::strncpy(description.lfFaceName, name, LF_FACESIZE - 1); };
    switch (index) {
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
        description.lfHeight = 16;
        description.lfWeight = FW_BOLD;
        set_face("System");
        break;
    case DEFAULT_GUI_FONT:
        description.lfHeight = -11;
        set_face("MS Shell Dlg");
        break;
    case ANSI_VAR_FONT:
        description.lfHeight = -11;
        set_face("MS Sans Serif");
        break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
        description.lfHeight = -13;
        set_face("Courier New");
        break;
    default:
        return nullptr;
    }
    return FontObject::create(description);
}

[[maybe_unused]] const bool stock_fonts_registered = (set_stock_font_factory(make_stock_font), true);

SelectedFont selected_font(const DeviceContext& context)
{
    if (auto* object = object_cast<FontObject>(context.font()))
        return {&object->font(), object->rotation(), object->underline(), object->strike_out()};
    // No font (or one that could not be made): the default face, upright and plain.
    static std::shared_ptr<Font> fallback = FontCache::the().default_font();
    return {fallback.get()};
}

// The text a length argument names: -1 means up to the terminating NUL. Null for other
// negative lengths and for a null pointer with a length, which the calls refuse.
std::optional<std::string_view> text_argument(const char* text, int length)
{
    if (length == -1)
        return text ? std::string_view(text) : std::string_view();
    if (length < 0 || (!text && length > 0))
        return std::nullopt;
    return std::string_view(text, size_t(length));
}

int clamp_coordinate(int64_t value)
{
    return int(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

// Draws `text` with its reference point at device (x, y), clipped to the context's surface and
// clip region, and further to `limit` when given.
void draw_text(DeviceContext& context, const SelectedFont& selected, Point at, std::string_view text,
    const Rect* limit = nullptr)
{
    Surface* surface = context.surface();
    if (!surface || !selected.font)
        return;
    TextStyle style;
    style.color = context.text_color;
    style.rotation = selected.rotation;
    style.underline = selected.underline;
    style.strike_out = selected.strike_out;
    if (context.bk_mode == OPAQUE)
        style.background = context.bk_color;

    const auto& region = context.clip_region();
    if (!region) {
        TextPainter(*surface, limit ? *limit : surface->bounds()).draw_text(*selected.font, at, text, style);
        return;
    }
    if (!limit) {
        TextPainter(*surface, std::span<const Rect>(region->rects()))
            .draw_text(*selected.font, at, text, style);
        return;
    }
    std::vector<Rect> clip = region->rects();
    for (Rect& r : clip)
        r = r.intersected(*limit);
    TextPainter(*surface, std::span<const Rect>(clip)).draw_text(*selected.font, at, text, style);
}

// DrawText's prefix rule: "&&" shows one ampersand, a single "&" marks the next character and is
// not shown (the mark's underline is not drawn).
std::string without_prefixes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

// Calls `line(text)` for each line: the whole text when it is a single line, else the pieces
// between line feeds, each without a carriage return before its feed. Empty text has no lines
// unless it is a single line.
template<class F> void for_each_line(std::string_view text, bool single_line, F&& line)
{
    if (single_line) {
        line(text);
        return;
    }
    if (text.empty())
        return;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        std::string_view piece = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!piece.empty() && piece.back() == '\r')
            piece.remove_suffix(1);
        line(piece);
        if (end == std::string_view::npos)
            return;
        start = end + 1;
    }
}

} // namespace

HFONT CreateFontIndirectA(const LOGFONTA* font)
{
    if (!font)
        return nullptr;
    auto object = FontObject::create(*font);
    if (!object)
        return nullptr;
    return register_object<HFONT>(std::move(object));
}

int GetObjectA(HGDIOBJ object, int size, void* buffer)
{
    auto* font = object_cast<FontObject>(object);
    if (!font || size < 0)
        return 0;
    if (!buffer)
        return int(sizeof(LOGFONTA));
    int copied = std::min(size, int(sizeof(LOGFONTA)));
    std::memcpy(buffer, &font->description(), size_t(copied));
    return copied;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics)
{
    DeviceContext* context = dc_from_handle(dc);
    if (!context || !metrics)
        return FALSE;
    if (auto* object = object_cast<FontObject>(context->font())) {
        *metrics = object->text_metrics();
        return TRUE;
    }
    // The default font has no object; describe it through a temporary one.
    LOGFONTA description {};
    description.lfHeight = 16;
    description.lfWeight = FW_BOLD;
    std::strncpy(description.lfFaceName, "System", LF_FACESIZE - 1);
    auto object = FontObject::create(description);
    if (!object)
        return FALSE;
    *metrics = object->text_metrics();
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size)
{
    DeviceContext* context = dc_from_handle(dc);
    auto string = text_argument(text, length);
    if (!context || !size || !string || length == -1)
        return FALSE;
    SelectedFont selected = selected_font(*context);
    if (!selected.font)
        return FALSE;
    size->cx = selected.font->text_width(*string);
    size->cy = selected.font->metrics().height;
    return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int length)
{
    DeviceContext* context = dc_from_handle(dc);
    auto string = text_argument(text, length);
    if (!context || !string || length == -1)
        return FALSE;
    if (string->empty())
        return TRUE;
    Point at {
        clamp_coordinate(int64_t(x) + context->origin.x), clamp_coordinate(int64_t(y) + context->origin.y)};
    draw_text(*context, selected_font(*context), at, *string);
    return TRUE;
}

BOOL ExtTextOutA(
    HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, UINT length, const INT* dx)
{
    if ((options & ~ETO_CLIPPED) != 0 || dx || ((options & ETO_CLIPPED) && !rect) || length > UINT(INT_MAX))
        return FALSE;
    if (!(options & ETO_CLIPPED))
        return TextOutA(dc, x, y, text, int(length));
    DeviceContext* context = dc_from_handle(dc);
    auto string = text_argument(text, int(length));
    if (!context || !string)
        return FALSE;
    if (string->empty())
        return TRUE;
    const Rect limit {clamp_coordinate(int64_t(rect->left) + context->origin.x),
        clamp_coordinate(int64_t(rect->top) + context->origin.y),
        clamp_coordinate(int64_t(rect->right) + context->origin.x),
        clamp_coordinate(int64_t(rect->bottom) + context->origin.y)};
    Point at {
        clamp_coordinate(int64_t(x) + context->origin.x), clamp_coordinate(int64_t(y) + context->origin.y)};
    draw_text(*context, selected_font(*context), at, *string, &limit);
    return TRUE;
}

// Measures or draws left-aligned lines. Lines break only at line feeds (no word breaking, no tab
// expansion); DT_CENTER, DT_RIGHT, DT_VCENTER and DT_BOTTOM place the block inside the rectangle
// when drawing, and drawing is clipped to the rectangle unless DT_NOCLIP is given.
int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format)
{
    DeviceContext* context = dc_from_handle(dc);
    auto string = text_argument(text, length);
    if (!context || !rect || !string)
        return 0;
    // An explicit length of zero does nothing at all, while an empty terminated string still
    // measures one line (or no line without DT_SINGLELINE), as on Windows.
    if (length == 0)
        return 0;
    SelectedFont selected = selected_font(*context);
    if (!selected.font)
        return 0;
    Font& font = *selected.font;
    const int line_height = font.metrics().height;

    // Text without an ampersand is shown as it is, without a copy.
    std::string stripped;
    std::string_view shown = *string;
    if (!(format & DT_NOPREFIX) && shown.find('&') != std::string_view::npos) {
        stripped = without_prefixes(shown);
        shown = stripped;
    }
    const bool single_line = format & DT_SINGLELINE;
    size_t line_count = 0;
    int width = 0;
    for_each_line(shown, single_line, [&](std::string_view line) {
        ++line_count;
        width = std::max(width, font.text_width(line));
    });
    int height = clamp_coordinate(int64_t(line_height) * int64_t(line_count));

    if (format & DT_CALCRECT) {
        rect->right = clamp_coordinate(int64_t(rect->left) + width);
        rect->bottom = clamp_coordinate(int64_t(rect->top) + height);
        return line_count == 0 ? line_height : height;
    }

    int64_t top = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = rect->top + (int64_t(rect->bottom) - rect->top - height) / 2;
        else if (format & DT_BOTTOM)
            top = int64_t(rect->bottom) - height;
    }
    Rect limit {clamp_coordinate(int64_t(rect->left) + context->origin.x),
        clamp_coordinate(int64_t(rect->top) + context->origin.y),
        clamp_coordinate(int64_t(rect->right) + context->origin.x),
        clamp_coordinate(int64_t(rect->bottom) + context->origin.y)};
    int64_t line_top = top;
    for_each_line(shown, single_line, [&](std::string_view line) {
        int line_width = font.text_width(line);
        int64_t left = rect->left;
        if (format & DT_CENTER)
            left = rect->left + (int64_t(rect->right) - rect->left - line_width) / 2;
        else if (format & DT_RIGHT)
            left = int64_t(rect->right) - line_width;
        Point at {clamp_coordinate(left + context->origin.x), clamp_coordinate(line_top + context->origin.y)};
        draw_text(*context, selected, at, line, (format & DT_NOCLIP) ? nullptr : &limit);
        line_top += line_height;
    });
    return line_count == 0 ? line_height : height;
}

} // namespace sorrel::gdi
