#include "platform/gdi/text/CoverageBlend.h"

#include <gtest/gtest.h>
#include <vector>

using namespace sorrel::gdi;

namespace {

// The blend written the plain way: each channel moves towards the colour by coverage / 255 of
// the distance, rounded half away from zero; no coverage leaves the pixel alone.
uint32_t plain_blend(uint32_t pixel, Color color, unsigned coverage)
{
    if (coverage == 0)
        return pixel;
    if (coverage == 255)
        return (pixel & 0xFF000000) | without_alpha(color);
    auto mix = [coverage](unsigned under, unsigned over) {
        int d = int(over) - int(under);
        return unsigned(int(under) + (d * int(coverage) + (d >= 0 ? 127 : -127)) / 255);
    };
    return (pixel & 0xFF000000) | mix(pixel & 0xFF, red_of(color))
        | (mix((pixel >> 8) & 0xFF, green_of(color)) << 8)
        | (mix((pixel >> 16) & 0xFF, blue_of(color)) << 16);
}

// Every channel value once per pixel index, a different one in each channel, and a top byte
// that must survive.
uint32_t pixel_for(unsigned i)
{
    return (i & 0xFF) | ((255 - (i & 0xFF)) << 8) | (((i ^ 0x5A) & 0xFF) << 16) | (((i * 7) & 0xFF) << 24);
}

Color colour_for(unsigned over)
{
    // The colour's top byte is not part of the colour.
    return over | ((over ^ 0xA5) << 8) | ((255 - over) << 16) | 0x3C000000;
}

} // namespace

// All 256 x 256 x 256 cases of coverage, pixel channel and colour channel, one pixel at a time, a
// row at a time and through the block path (eight pixels at a time where the processor can), in
// every channel.
TEST(CoverageBlend, MatchesThePlainBlendInEveryCase)
{
    std::vector<uint32_t> row(256);
    std::vector<uint32_t> block(256);
    std::vector<uint8_t> coverage(256);
    int mismatches = 0;
    for (unsigned over = 0; over < 256; ++over) {
        const Color colour = colour_for(over);
        const CoverageBlend blend(colour);
        for (unsigned shift = 0; shift < 256; ++shift) {
            // Pixel i meets every coverage once as `shift` goes round.
            for (unsigned i = 0; i < 256; ++i) {
                row[i] = pixel_for(i);
                coverage[i] = uint8_t(shift + i * 37);
            }
            block = row;
            blend.blend_row(row.data(), coverage.data(), 256);
            blend.blend_rows(block.data(), 128, coverage.data(), 128, 128, 2);
            for (unsigned i = 0; i < 256 && mismatches < 10; ++i) {
                uint32_t expected = plain_blend(pixel_for(i), colour, coverage[i]);
                if (row[i] != expected || block[i] != expected
                    || blend(pixel_for(i), coverage[i]) != expected) {
                    ADD_FAILURE() << std::hex << "pixel " << pixel_for(i) << " colour " << colour
                                  << " coverage " << unsigned(coverage[i]) << ": expected " << expected
                                  << ", row gave " << row[i] << ", block gave " << block[i] << ", pixel gave "
                                  << blend(pixel_for(i), coverage[i]);
                    ++mismatches;
                }
            }
        }
    }
}

// Rows of every short length, at every alignment, blend exactly their own pixels.
TEST(CoverageBlend, RowsOfAnyLengthTouchOnlyTheirPixels)
{
    const Color colour = rgb(200, 30, 90);
    const CoverageBlend blend(colour);
    for (int length = 0; length <= 11; ++length) {
        for (int start = 0; start < 4; ++start) {
            std::vector<uint32_t> pixels(20);
            std::vector<uint8_t> coverage(20);
            for (int i = 0; i < 20; ++i) {
                pixels[size_t(i)] = pixel_for(unsigned(i * 29));
                coverage[size_t(i)] = uint8_t(i * 53 + length);
            }
            const std::vector<uint32_t> before = pixels;
            blend.blend_row(pixels.data() + start, coverage.data() + start, length);
            for (int i = 0; i < 20; ++i) {
                bool inside = i >= start && i < start + length;
                uint32_t expected = inside ? plain_blend(before[size_t(i)], colour, coverage[size_t(i)])
                                           : before[size_t(i)];
                EXPECT_EQ(pixels[size_t(i)], expected)
                    << "length " << length << " start " << start << " pixel " << i;
            }
        }
    }
}

// Blocks of rows of any length, at every alignment, blend exactly their own pixels, row by row.
TEST(CoverageBlend, BlocksOfRowsTouchOnlyTheirPixels)
{
    const Color colour = rgb(20, 230, 140);
    const CoverageBlend blend(colour);
    constexpr int stride = 24, coverage_stride = 23, rows = 3;
    for (int length = 0; length <= 19; ++length) {
        for (int start = 0; start < 4; ++start) {
            std::vector<uint32_t> pixels(stride * rows);
            std::vector<uint8_t> coverage(coverage_stride * rows);
            for (size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = pixel_for(unsigned(i * 29));
            for (size_t i = 0; i < coverage.size(); ++i)
                coverage[i] = uint8_t(i * 53 + size_t(length));
            const std::vector<uint32_t> before = pixels;
            blend.blend_rows(
                pixels.data() + start, stride, coverage.data() + start, coverage_stride, length, rows);
            for (int r = 0; r < rows; ++r) {
                for (int x = 0; x < stride; ++x) {
                    size_t at = size_t(r * stride + x);
                    bool inside = x >= start && x < start + length;
                    uint32_t expected = inside
                        ? plain_blend(before[at], colour, coverage[size_t(r * coverage_stride + x)])
                        : before[at];
                    EXPECT_EQ(pixels[at], expected)
                        << "length " << length << " start " << start << " row " << r << " pixel " << x;
                }
            }
        }
    }
}
