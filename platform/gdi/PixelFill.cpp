#include "platform/gdi/PixelFill.h"

#include <cwchar>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SORREL_WIDE_PIXEL_FILL 1
#endif

namespace sorrel::gdi {

static_assert(sizeof(wchar_t) == sizeof(uint32_t), "pixel runs are filled as wide characters");

namespace {

// The C library's wide-character fill is a vectorised 32-bit fill everywhere we build.
void fill_with_library(uint32_t* pixels, size_t count, uint32_t color)
{
    std::wmemset(reinterpret_cast<wchar_t*>(pixels), static_cast<wchar_t>(color), count);
}

} // namespace

#ifdef SORREL_WIDE_PIXEL_FILL

// Below this many pixels the library's fill is a loop of vector stores as well, reached through
// a call and a dispatch; above it, it switches to string stores, which win for large areas.
static constexpr size_t library_fill_from = 512;

// Chosen at load time by the CPU's features. Lines and fills are mostly single rows of a few
// hundred pixels, where this inline loop of 64-byte stores beats the library's call.
__attribute__((target("default"))) void fill_pixel_run(uint32_t* pixels, size_t count, uint32_t color)
{
    fill_with_library(pixels, count, color);
}

__attribute__((target("avx512f"))) void fill_pixel_run(uint32_t* pixels, size_t count, uint32_t color)
{
    if (count >= library_fill_from) {
        fill_with_library(pixels, count, color);
        return;
    }
    // count >= 16: one unaligned store at each end, aligned stores between.
    __m512i value = _mm512_set1_epi32(int(color));
    uint32_t* end = pixels + count;
    _mm512_storeu_si512(pixels, value);
    auto* p = reinterpret_cast<uint32_t*>((reinterpret_cast<uintptr_t>(pixels) + 64) & ~uintptr_t(63));
    for (; end - p >= 16; p += 16)
        _mm512_store_si512(p, value);
    _mm512_storeu_si512(end - 16, value);
}

#else

void fill_pixel_run(uint32_t* pixels, size_t count, uint32_t color)
{
    fill_with_library(pixels, count, color);
}

#endif

} // namespace sorrel::gdi
