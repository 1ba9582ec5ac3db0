#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"
#include "platform/host/ErrorOr.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace sorrel::host {

enum class PictureType : int16_t {
    None = 0,
    Bitmap = 1,
    Icon = 3,
};

// A picture object shared by reference (std::shared_ptr<StdPicture>; a null reference is "no
// picture"). It holds its pixels with alpha in the top byte (0xFF opaque, 0 transparent) and a
// drawing-layer handle made from them: an HBITMAP for bitmaps, an HICON for icons. Width and
// Height are in HIMETRIC (hundredths of a millimetre) at 96 pixels to the inch.
class StdPicture {
public:
    static std::shared_ptr<StdPicture> from_surface(
        gdi::Surface pixels, PictureType type = PictureType::Bitmap);
    ~StdPicture();
    StdPicture(const StdPicture&) = delete;
    StdPicture& operator=(const StdPicture&) = delete;

    int16_t Type() const { return int16_t(m_type); }
    int32_t Width() const;
    int32_t Height() const;
    // The HBITMAP or HICON, as an integer (0 for an empty picture).
    uintptr_t Handle() const;
    gdi::HBITMAP bitmap() const { return m_bitmap; }
    gdi::HICON icon() const { return m_icon; }

    const gdi::Surface& pixels() const { return m_pixels; }
    int pixel_width() const { return m_pixels.width(); }
    int pixel_height() const { return m_pixels.height(); }
    bool has_transparency() const;

    // The file the picture came from, if any (form files save pictures by path).
    const std::string& source_path() const { return m_source_path; }
    void set_source_path(std::string path) { m_source_path = std::move(path); }

    StdPicture(gdi::Surface pixels, PictureType type);

private:
    gdi::Surface m_pixels;
    PictureType m_type;
    gdi::HBITMAP m_bitmap {nullptr};
    gdi::HICON m_icon {nullptr};
    std::string m_source_path;
};

using PictureRef = std::shared_ptr<StdPicture>;

// Loads a .ico (the best image: the largest, preferring 32-bit over paletted), .bmp or .png file.
// A missing or damaged file gives an error naming the file and the fault, never a crash. A picture
// of more than 4096 x 4096 pixels (or 16384 on a side) is refused before its pixels are made.
ErrorOr<PictureRef> LoadPicture(const std::string& path);
// The same from bytes in memory (pictures built into the program); `name` appears in errors and
// its extension picks the format when the bytes don't say.
ErrorOr<PictureRef> LoadPictureFromMemory(std::span<const uint8_t> bytes, const std::string& name);

// Writes a surface as a PNG file with alpha (screenshots, saved pictures).
ErrorOr<void> save_png(const gdi::Surface& pixels, const std::string& path, bool keep_alpha = false);

// HIMETRIC <-> pixels at the design resolution (96 pixels to the inch).
int32_t pixels_to_himetric(int pixels);
double himetric_to_pixels(double himetric);

} // namespace sorrel::host
