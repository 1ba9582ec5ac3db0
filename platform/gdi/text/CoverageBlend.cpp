#include "platform/gdi/text/CoverageBlend.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace sorrel::gdi {

void CoverageBlend::blend_rows(uint32_t* pixels, size_t pixel_stride, const uint8_t* coverage,
    size_t coverage_stride, int count, int rows) const
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool wide = __builtin_cpu_supports("avx2");
    if (wide && count >= 8) {
        blend_rows_wide(pixels, pixel_stride, coverage, coverage_stride, count, rows);
        return;
    }
#endif
    for (int row = 0; row < rows; ++row, pixels += pixel_stride, coverage += coverage_stride)
        blend_row(pixels, coverage, count);
}

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

// mix() on four pixels: each 128-bit half of a register holds two.
__attribute__((target("avx2"), always_inline)) inline __m256i mix_wide(
    __m256i under, __m256i cover, __m256i colour)
{
    __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(under, _mm256_sub_epi16(_mm256_set1_epi16(255), cover)),
        _mm256_mullo_epi16(colour, cover));
    return _mm256_mulhi_epu16(_mm256_add_epi16(t, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

} // namespace

void CoverageBlend::blend_rows_wide(uint32_t* pixels, size_t pixel_stride, const uint8_t* coverage,
    size_t coverage_stride, int count, int rows) const
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i colour = _mm256_broadcastsi128_si256(m_color_words);
    const __m256i colour_bytes = _mm256_set1_epi32(0x00FFFFFF);
    for (int row = 0; row < rows; ++row, pixels += pixel_stride, coverage += coverage_stride) {
        int i = 0;
        for (; i + 8 <= count; i += 8) {
            // Coverage bytes 0..3 go to the low half (pixels 0..3), 4..7 to the high half, each
            // repeated over its pixel's colour bytes.
            __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(coverage + i));
            eight = _mm_unpacklo_epi8(eight, eight);
            __m256i cover
                = _mm256_set_m128i(_mm_unpackhi_epi16(eight, eight), _mm_unpacklo_epi16(eight, eight));
            cover = _mm256_and_si256(cover, colour_bytes);
            auto* target = reinterpret_cast<__m256i*>(pixels + i);
            __m256i under = _mm256_loadu_si256(target);
            __m256i low
                = mix_wide(_mm256_unpacklo_epi8(under, zero), _mm256_unpacklo_epi8(cover, zero), colour);
            __m256i high
                = mix_wide(_mm256_unpackhi_epi8(under, zero), _mm256_unpackhi_epi8(cover, zero), colour);
            _mm256_storeu_si256(target, _mm256_packus_epi16(low, high));
        }
        if (i < count)
            blend_row(pixels + i, coverage + i, count - i);
    }
}
#endif

} // namespace sorrel::gdi
