// Drawing layer benchmarks, each next to a memset of the same bytes as its baseline:
// a 225 x 33 rectangle fill, a shaded face of 33 lines with a fresh pen per line, and a
// 225 x 33 gradient.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using namespace sorrel::gdi;

namespace {

constexpr int face_width = 225;
constexpr int face_height = 33;

void BM_Baseline_Memset(benchmark::State& state)
{
    std::vector<uint32_t> pixels(size_t(face_width) * face_height);
    uint8_t value = 0;
    for (auto _ : state) {
        std::memset(pixels.data(), ++value, pixels.size() * sizeof(uint32_t));
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Baseline_Memset);

void BM_FillRect(benchmark::State& state)
{
    Surface surface(face_width, face_height, 0);
    HDC dc = CreateSurfaceDC(surface);
    RECT r {0, 0, face_width, face_height};
    COLORREF color = 0;
    for (auto _ : state) {
        HBRUSH brush = CreateSolidBrush(++color & 0xFFFFFF);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    DeleteDC(dc);
}
BENCHMARK(BM_FillRect);

void BM_ShadedFaceLines(benchmark::State& state)
{
    Surface surface(face_width, face_height, 0);
    HDC dc = CreateSurfaceDC(surface);
    HGDIOBJ stock = GetStockObject(BLACK_PEN);
    for (auto _ : state) {
        for (int y = 0; y < face_height; ++y) {
            HGDIOBJ old = SelectObject(dc, CreatePen(PS_SOLID, 1, RGB(255 - y, 255 - y, 255 - 2 * y)));
            if (old != stock)
                DeleteObject(old);
            MoveToEx(dc, 0, y, nullptr);
            LineTo(dc, face_width, y);
        }
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    DeleteObject(SelectObject(dc, stock));
    DeleteDC(dc);
}
BENCHMARK(BM_ShadedFaceLines);

void BM_GradientFill(benchmark::State& state)
{
    Surface surface(face_width, face_height, 0);
    HDC dc = CreateSurfaceDC(surface);
    TRIVERTEX v[2]
        = {{0, 0, 0xFF00, 0x8000, 0x2000, 0}, {face_width, face_height, 0x1000, 0x4000, 0xFF00, 0}};
    GRADIENT_RECT mesh {0, 1};
    ULONG mode = ULONG(state.range(0));
    for (auto _ : state) {
        GradientFill(dc, v, 2, &mesh, 1, mode);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    DeleteDC(dc);
}
BENCHMARK(BM_GradientFill)->Arg(GRADIENT_FILL_RECT_H)->Arg(GRADIENT_FILL_RECT_V);

} // namespace
