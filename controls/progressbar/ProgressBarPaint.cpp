// Painting of the progress bar: the frame on resize, then tiles added one change at a time.
//
// The block painter (Style 0) over time. `counter` is the step counter, `thr` the threshold,
// `cursor` the x of the next tile; a reset sets counter = thr = last = Value - Min (or both
// counter and thr to the remembered value after a decrease) and puts the cursor at 4.
//
//   Event                         What the painter does
//   ----------------------------  ----------------------------------------------------------
//   first Value after a reset     cursor is 4: full repaint (frame, reset), then as below
//   Value below the last one      remember it, full repaint; the reset starts from it
//   Value <= Min                  full repaint: an empty frame
//   Value < Min + thr             nothing more (the change is too small for a step)
//   otherwise                     thr += step (range / 100; 0 when Max <> 100), then tiles at
//                                 a 10-pixel pitch while cursor < counter * W / range, and
//                                 counter += 1
//   cursor + 10 reaches W         end piece: the last tile squeezed into what is left before
//                                 the inner edge (W - 3), then no more tiles until a reset
//   Max = Min (range 0)           the frame stays as it is: no step can be measured
//
// So a bar driven one unit per change shows (Value - Min) / (Max - Min) of its width, rounded
// up to whole tiles; one whose Max is not 100 grows by one step per assigned value.
//
// The moving-chunk painter (any other Style) draws three half-width slivers (pc 0, 1, 2) at
// p, p + 5, p + 10, erases the sliver at p - 5, and moves p on by 5; at the right edge it
// erases what is left and starts again at 2. A resize starts it at 4.

#include "controls/progressbar/ProgressBar.h"

#include "platform/host/Variant.h"

#include <cmath>
#include <limits>

namespace sorrel::controls {

namespace {

// A 16-bit conversion that saturates where the Basic runtime would stop with an overflow.
int16_t to_int16(double value)
{
    double v = host::round_half_even(value);
    if (!(v >= std::numeric_limits<int16_t>::min()))
        return std::numeric_limits<int16_t>::min();
    if (v > std::numeric_limits<int16_t>::max())
        return std::numeric_limits<int16_t>::max();
    return int16_t(v);
}

struct FramePiece {
    int sx, sy, sw, sh;
};

} // namespace

void ProgressBar::UserControl_Resize()
{
    ScaleMode(host::vbPixels);
    Cls();
    const int W = int(ScaleWidth());
    const int H = int(ScaleHeight());
    const host::PictureRef& skin = img.Picture();
    auto piece = [&](FramePiece source, float x, float y, float w, float h) {
        if (skin)
            PaintPicture(
                skin, x, y, w, h, float(source.sx), float(source.sy), float(source.sw), float(source.sh));
    };
    // Corners
    piece({0, 0, 3, 3}, 0, 0, 3, 3);
    piece({56, 0, 3, 3}, float(W - 3), 0, 3, 3);
    piece({56, 10, 3, 3}, float(W - 3), float(H - 3), 3, 3);
    piece({0, 10, 3, 3}, 0, float(H - 3), 3, 3);
    // Edges
    piece({3, 0, 12, 3}, 3, 0, float(W - 6), 3);
    piece({56, 3, 3, 3}, float(W - 3), 3, 3, float(to_int16(H - 6)));
    piece({3, 10, 1, 3}, 3, float(H - 3), float(W - 6), 3);
    piece({0, 3, 3, 3}, 0, 3, 3, float(H - 6));
    // Interior
    piece({4, 4, 51, 7}, 3, 3, float(W - 6), float(H - 6));
    Refresh();

    m_fill.alternate_cursor = 4;
    ResetFill();
}

void ProgressBar::ResetFill()
{
    m_fill.cursor = 4;
    if (m_fill.restart) {
        m_fill.threshold = m_fill.remembered_value;
        m_fill.step_counter = to_int16(m_fill.remembered_value);
        m_fill.restart = false;
    } else {
        const double progress = m_value - min_number();
        m_fill.threshold = progress;
        m_fill.step_counter = to_int16(progress);
        m_fill.last_value = progress;
    }
    m_fill.end_reached = false;
    m_fill.width = int(ScaleWidth());
    m_fill.fill_height = int(ScaleHeight()) - 6;
    const host::PictureRef& first = m_pc[0].Picture();
    m_fill.tile_width = first ? first->pixel_width() : 0;
    m_fill.tile_height = first ? first->pixel_height() : 0;
}

void ProgressBar::PaintTile(const host::Image& tile, float x, float width)
{
    const host::PictureRef& picture = tile.Picture();
    if (!picture || width <= 0 || m_fill.fill_height <= 0)
        return;
    PaintPicture(picture, x, 3, width, float(m_fill.fill_height), 0, 0, float(m_fill.tile_width),
        float(m_fill.tile_height));
    const int left = int(std::floor(x));
    invalidate(gdi::Rect::from_size(left, 3, int(std::ceil(x + width)) - left, m_fill.fill_height));
}

void ProgressBar::PaintBlocks()
{
    if (m_fill.cursor == 4)
        UserControl_Resize();
    if (m_value < m_fill.last_value) {
        m_fill.remembered_value = m_value;
        m_fill.restart = true;
        UserControl_Resize();
    } else {
        m_fill.last_value = m_value;
    }
    const double min = min_number();
    const double max = max_number();
    if (m_value <= min)
        UserControl_Resize();

    const double percent_width = m_fill.width * 0.01;
    const int16_t range = to_int16(max - min);
    double step = range * 0.01;
    if (max != 100 && m_value > 0)
        step = 0;
    if (m_value < min + m_fill.threshold)
        return;
    // With no range there is no unit to measure a step by; the fill stays as it is.
    if (range == 0)
        return;

    m_fill.threshold += step;
    const double pixels_per_unit = percent_width * (100.0 / range);
    while (m_fill.cursor < pixels_per_unit * m_fill.step_counter) {
        if (m_fill.cursor + 10 >= m_fill.width)
            PaintEndPiece();
        if (m_fill.end_reached)
            break;
        PaintTile(m_pc[2], float(m_fill.cursor), float(m_fill.tile_width));
        m_fill.cursor += 10;
    }
    if (m_fill.step_counter < std::numeric_limits<int16_t>::max())
        ++m_fill.step_counter;
}

void ProgressBar::PaintEndPiece()
{
    const int remaining = (m_fill.width - 3) - m_fill.cursor;
    if (remaining > 0)
        PaintTile(m_pc[2], float(m_fill.cursor), float(remaining));
    m_fill.end_reached = true;
}

void ProgressBar::PaintAlternate()
{
    const int p = m_fill.alternate_cursor;
    const int W = m_fill.width;
    const float sliver = float(m_fill.tile_width) / 2;
    if (p != 2 && p != 4)
        PaintTile(blank, float(p - 5), sliver);
    if (p + 20 < W)
        PaintTile(m_pc[2], float(p + 10), sliver);
    if (p + 10 < W)
        PaintTile(m_pc[1], float(p + 5), sliver);
    if (p + 5 < W)
        PaintTile(m_pc[0], float(p), sliver);
    if (p + 5 >= W) {
        const int16_t remaining = to_int16((W - 3) - p);
        if (remaining > 0)
            PaintTile(blank, float(p), float(remaining));
        m_fill.alternate_cursor = 2;
        return;
    }
    m_fill.alternate_cursor = p + 5;
}

} // namespace sorrel::controls
