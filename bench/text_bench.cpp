// Text costs of one button paint: building the caption font and measuring with it, and drawing
// the caption. The baseline clears a button-sized surface, so each figure reads as a multiple of
// that clear.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <benchmark/benchmark.h>
#include <cstring>

using namespace sorrel::gdi;

namespace {

constexpr int button_width = 225;
constexpr int button_height = 33;
constexpr const char* caption = "Begin Scan";

LOGFONTA caption_font(LONG escapement = 0)
{
    LOGFONTA description {};
    description.lfHeight = -11;
    description.lfEscapement = escapement;
    std::strncpy(description.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    return description;
}

void BM_BaselineClearButtonSurface(benchmark::State& state)
{
    Surface surface(button_width, button_height);
    for (auto _ : state) {
        std::memset(surface.data(), 0xEC, sizeof(uint32_t) * button_width * button_height);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BaselineClearButtonSurface);

// Create, select, measure, select back and delete a font whose face and size were used before.
void BM_FontCreateMeasureDelete(benchmark::State& state)
{
    Surface surface(button_width, button_height);
    HDC dc = CreateSurfaceDC(surface);
    LOGFONTA description = caption_font();
    HFONT warm = CreateFontIndirectA(&description);
    DeleteObject(warm);
    for (auto _ : state) {
        HFONT font = CreateFontIndirectA(&description);
        HGDIOBJ previous = SelectObject(dc, font);
        RECT rect {0, 0, 0, 0};
        DrawTextA(dc, caption, -1, &rect, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
        benchmark::DoNotOptimize(rect);
        SelectObject(dc, previous);
        DeleteObject(font);
    }
    DeleteDC(dc);
}
BENCHMARK(BM_FontCreateMeasureDelete);

void text_out(benchmark::State& state, LONG escapement, int width, int height, int x, int y)
{
    Surface surface(width, height, 0xD8E9EC);
    HDC dc = CreateSurfaceDC(surface);
    LOGFONTA description = caption_font(escapement);
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, caption, 10);
    for (auto _ : state) {
        TextOutA(dc, x, y, caption, 10);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
}

void BM_TextOutCaption(benchmark::State& state)
{
    text_out(state, 0, button_width, button_height, 85, 10);
}
BENCHMARK(BM_TextOutCaption);

void BM_TextOutCaptionUpwards(benchmark::State& state)
{
    // A vertical caption on a button standing on its end.
    text_out(state, 900, button_height, button_width, 10, 140);
}
BENCHMARK(BM_TextOutCaptionUpwards);

} // namespace
