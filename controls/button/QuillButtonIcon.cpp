// The button's icon: drawn as an S x S square (S = IconSize x 8) with its own transparency while
// enabled, and as a greyed copy prepared in advance in the hidden picture box picIcon while
// disabled. The greyed copy's background carries the face pixels from where the icon will sit,
// so that it shows no square on gradients and shaded faces.

#include "controls/button/PaintSupport.h"
#include "controls/button/QuillButton.h"

#include <cmath>

namespace sorrel::controls {

namespace {

// A memory surface of its own, released however drawing on it ends.
struct ScratchBitmap {
    ScratchBitmap(gdi::HDC like, int width, int height)
        : dc(gdi::CreateCompatibleDC(like))
        , bitmap(gdi::CreateCompatibleBitmap(like, width, height))
        , previous(gdi::SelectObject(dc, bitmap))
    { }
    ~ScratchBitmap()
    {
        gdi::SelectObject(dc, previous);
        gdi::DeleteObject(bitmap);
        gdi::DeleteDC(dc);
    }
    ScratchBitmap(const ScratchBitmap&) = delete;
    ScratchBitmap& operator=(const ScratchBitmap&) = delete;

    gdi::HDC dc;
    gdi::HBITMAP bitmap;
    gdi::HGDIOBJ previous;
};

} // namespace

void QuillButton::DrawIcon(bool enabled, int32_t x, int32_t y)
{
    const int32_t S = icon_side(m_icon_size);
    if (enabled) {
        PaintPicture(m_icon, float(x), float(y), float(S), float(S));
        return;
    }
    gdi::BitBlt(hDC(), x, y, S, S, picIcon.hDC(), 0, 0, gdi::SRCCOPY);
}

void QuillButton::PrepareIcon()
{
    if (!m_has_icon || !m_icon)
        return;
    try {
        const int32_t S = icon_side(m_icon_size);
        const gdi::HDC dc = hDC();
        const int32_t iw
            = host::to_int_half_even(ScaleX(float(m_icon->Width()), host::vbHimetric, host::vbPixels));
        const int32_t ih
            = host::to_int_half_even(ScaleY(float(m_icon->Height()), host::vbHimetric, host::vbPixels));

        const float side = host::pixels_to_twips(S);
        const float left = std::trunc(std::fabs(picIcon.Width() - float(m_icon_size)) / 2);
        picIcon.Visible(false);
        picIcon.Move(left, picIcon.Top(), side, side);
        picIcon.Picture(nullptr);
        picIcon.Cls();
        const gdi::HDC pic = picIcon.hDC();
        FillOrOutline(0, 0, S, S, m_palette.face, false, pic);

        // The greyed copy is drawn at the picture's full size on a scratch bitmap of its own: on
        // the face, a face lower or narrower than the picture would cut it off.
        if (iw > 0 && ih > 0) {
            ScratchBitmap scratch(dc, iw, ih);
            FillOrOutline(0, 0, iw, ih, m_palette.face, false, scratch.dc);
            const gdi::UINT flags = m_icon->Type() == int16_t(host::PictureType::Bitmap)
                ? gdi::DST_BITMAP | gdi::DSS_DISABLED
                : gdi::DST_ICON | gdi::DSS_DISABLED;
            gdi::DrawStateA(
                scratch.dc, nullptr, nullptr, gdi::LPARAM(m_icon->Handle()), 0, 0, 0, iw, ih, flags);
            gdi::StretchBlt(pic, 0, 0, S, S, scratch.dc, 0, 0, iw, ih, gdi::SRCCOPY);
        }

        // The disabled face without caption and icon.
        PaintButton(true);

        // The copy's key-coloured background takes the face pixels it will lie on.
        for (int32_t x = 0; x < S; ++x) {
            for (int32_t y = 0; y < S; ++y) {
                if (gdi::GetPixel(pic, x, y) != m_palette.face)
                    continue;
                gdi::COLORREF face = gdi::GetPixel(dc, m_icon_x + x, m_icon_y + y);
                if (face != gdi::CLR_INVALID && face != m_palette.face)
                    gdi::SetPixelV(pic, x, y, face);
            }
        }
    } catch (...) {
        // The icon keeps the image prepared last time.
    }
}

} // namespace sorrel::controls
