// Drawing layer benchmarks, each next to a memset of the same bytes as its baseline:
// a 225 x 33 rectangle fill, a shaded face of 33 lines with a fresh pen per line, a
// 225 x 33 gradient, a fan of slanted lines (half of them clipped), the button's outline
// region as a polygon, and a picture stretched onto and shrunk into the face.

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

void BM_SlantedLines(benchmark::State& state)
{
    Surface surface(face_width, face_height, 0);
    HDC dc = CreateSurfaceDC(surface);
    HGDIOBJ old = SelectObject(dc, CreatePen(PS_SOLID, 1, RGB(0, 0, 0x80)));
    for (auto _ : state) {
        // Every other line starts far outside the face, so the clipper does the work.
        for (int i = 0; i < face_height; ++i) {
            MoveToEx(dc, i % 2 ? -100000 : 0, i % 2 ? -3000 * i : i, nullptr);
            LineTo(dc, face_width - 1 - i, face_height - 1 - i / 2);
        }
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
}
BENCHMARK(BM_SlantedLines);

void BM_PolygonRegion(benchmark::State& state)
{
    // A face with cut corners, as the rounded button styles build it.
    POINT points[] = {{3, 0}, {face_width - 3, 0}, {face_width, 3}, {face_width, face_height - 3},
        {face_width - 3, face_height}, {3, face_height}, {0, face_height - 3}, {0, 3}};
    for (auto _ : state) {
        HRGN region = CreatePolygonRgn(points, 8, int(state.range(0)));
        benchmark::DoNotOptimize(region);
        DeleteObject(region);
    }
}
BENCHMARK(BM_PolygonRegion)->Arg(ALTERNATE)->Arg(WINDING);

void BM_StretchBlt(benchmark::State& state)
{
    Surface surface(face_width, face_height, 0);
    Surface picture(48, 48, 0);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.scanline(y)[x] = uint32_t(x * 5) | uint32_t(y * 5) << 8;
    HDC dc = CreateSurfaceDC(surface);
    HDC source = CreateSurfaceDC(picture);
    for (auto _ : state) {
        StretchBlt(dc, 0, 0, face_width, face_height, source, 0, 0, 48, 48, SRCCOPY);
        StretchBlt(dc, 4, 4, 20, 20, source, 47, 0, -48, 48, SRCCOPY);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    DeleteDC(source);
    DeleteDC(dc);
}
BENCHMARK(BM_StretchBlt);

} // namespace
