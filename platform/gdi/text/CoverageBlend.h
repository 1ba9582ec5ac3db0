#pragma once

#include "platform/gdi/Color.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace sorrel::gdi {

// Mixes one colour into pixels by 8-bit coverage. Each channel becomes
// (under * (255 - coverage) + over * coverage) / 255 rounded to the nearest, so that no coverage
// leaves a pixel as it was and full coverage gives the colour; the pixel's top byte is kept.
// Every sum fits 16 bits (at most 255 * 255 + 127), and the division by 255 is done with shifts
// or a multiplication: x / 255 == (x + 1 + (x >> 8)) >> 8 for every such x.
class CoverageBlend {
public:
    explicit CoverageBlend(Color color)
        : m_lanes(to_lanes(color))
    {
#ifdef __SSE2__
        m_color_words = _mm_unpacklo_epi8(_mm_set1_epi32(int(without_alpha(color))), _mm_setzero_si128());
#endif
    }

    // One pixel, its channels in 16-bit lanes of a 64-bit word (red, blue, then green).
    uint32_t operator()(uint32_t pixel, unsigned coverage) const
    {
        uint64_t x = to_lanes(pixel) * (255 - coverage) + m_lanes * coverage + lane_ones * 127;
        x += ((x >> 8) & lane_bytes) + lane_ones;
        x = (x >> 8) & lane_bytes;
        return (pixel & 0xFF000000) | uint32_t(x & 0x00FF00FF) | uint32_t((x >> 24) & 0x0000FF00);
    }

    // `count` pixels, each by its own coverage.
    void blend_row(uint32_t* pixels, const uint8_t* coverage, int count) const
    {
#ifdef __SSE2__
        const __m128i zero = _mm_setzero_si128();
        int i = 0;
        for (; i + 4 <= count; i += 4) {
            __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + i));
            uint32_t four;
            std::memcpy(&four, coverage + i, sizeof four);
            // Each pixel's coverage in its three colour bytes; the top byte gets none.
            __m128i cover = _mm_cvtsi32_si128(int(four));
            cover = _mm_unpacklo_epi8(cover, cover);
            cover = _mm_and_si128(_mm_unpacklo_epi16(cover, cover), _mm_set1_epi32(0x00FFFFFF));
            __m128i low = mix(_mm_unpacklo_epi8(under, zero), _mm_unpacklo_epi8(cover, zero));
            __m128i high = mix(_mm_unpackhi_epi8(under, zero), _mm_unpackhi_epi8(cover, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), _mm_packus_epi16(low, high));
        }
        if (i + 2 <= count) {
            __m128i under = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixels + i));
            __m128i cover = _mm_set_epi16(0, coverage[i + 1], coverage[i + 1], coverage[i + 1], 0,
                coverage[i], coverage[i], coverage[i]);
            __m128i mixed = mix(_mm_unpacklo_epi8(under, zero), cover);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels + i), _mm_packus_epi16(mixed, mixed));
            i += 2;
        }
        if (i < count && coverage[i])
            pixels[i] = (*this)(pixels[i], coverage[i]);
#else
        for (int i = 0; i < count; ++i) {
            if (coverage[i])
                pixels[i] = (*this)(pixels[i], coverage[i]);
        }
#endif
    }

    // `rows` rows of `count` pixels, row r at pixels + r * pixel_stride with its coverage at
    // coverage + r * coverage_stride. Processors with 256-bit integer vectors mix eight pixels at
    // a time; the result is the same either way.
    void blend_rows(uint32_t* pixels, size_t pixel_stride, const uint8_t* coverage, size_t coverage_stride,
        int count, int rows) const;

private:
#if defined(__x86_64__) && defined(__GNUC__)
    __attribute__((target("avx2"))) void blend_rows_wide(uint32_t* pixels, size_t pixel_stride,
        const uint8_t* coverage, size_t coverage_stride, int count, int rows) const;
#endif

    static constexpr uint64_t lane_ones = 0x0000'0001'0001'0001;
    static constexpr uint64_t lane_bytes = 0x0000'00FF'00FF'00FF;

    static uint64_t to_lanes(uint32_t pixel)
    {
        return uint64_t(pixel & 0x00FF00FF) | (uint64_t(pixel & 0x0000FF00) << 24);
    }

#ifdef __SSE2__
    // Two pixels' channels in 16-bit lanes, mixed by the coverage in the matching lanes of
    // `cover`. (t + 128) * 257 >> 16 is the division by 255 rounded, for every t up to 65025.
    __m128i mix(__m128i under, __m128i cover) const
    {
        const __m128i full = _mm_set1_epi16(255);
        __m128i t = _mm_add_epi16(
            _mm_mullo_epi16(under, _mm_sub_epi16(full, cover)), _mm_mullo_epi16(m_color_words, cover));
        return _mm_mulhi_epu16(_mm_add_epi16(t, _mm_set1_epi16(128)), _mm_set1_epi16(257));
    }

    __m128i m_color_words; // the colour's channels as 16-bit lanes, twice, with no top byte
#endif
    uint64_t m_lanes;
};

} // namespace sorrel::gdi
