#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"
#include "platform/host/StdFont.h"
#include "platform/host/StdPicture.h"

#include <optional>
#include <string_view>

namespace sorrel::host {

// Scale modes of ScaleX / ScaleY and of a surface's coordinates.
constexpr int16_t vbUser = 0;
constexpr int16_t vbTwips = 1;
constexpr int16_t vbPoints = 2;
constexpr int16_t vbPixels = 3;
constexpr int16_t vbInches = 5;
constexpr int16_t vbMillimeters = 6;
constexpr int16_t vbCentimeters = 7;
constexpr int16_t vbHimetric = 8;

// A colour with the top bit set names a system colour (index in the low byte); others are plain.
gdi::Color resolve_color(gdi::Color color);

// A persistent drawing surface with its device context: what is drawn stays until it is drawn
// over or cleared (the Basic runtime's AutoRedraw). The user control, the picture box and the
// form each own one. The device context lives as long as the canvas; its text colour follows
// ForeColor, its background colour BackColor, and the selected font follows Font.
class Canvas {
public:
    Canvas();
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    gdi::HDC hDC() const { return m_dc; }
    gdi::Surface& pixels() { return m_pixels; }
    const gdi::Surface& pixels() const { return m_pixels; }
    int width() const { return m_pixels.width(); }
    int height() const { return m_pixels.height(); }

    // Keeps what fits and fills the rest with BackColor.
    void resize(int width, int height);
    // Fills with BackColor and puts CurrentX / CurrentY at 0.
    void Cls();

    gdi::Color ForeColor() const { return m_fore_color; }
    void ForeColor(gdi::Color color);
    gdi::Color BackColor() const { return m_back_color; }
    // BackColor with a system colour resolved: what Cls fills with.
    gdi::Color back_pixel() const { return resolve_color(m_back_color); }
    // Also clears the surface, as setting BackColor does in the Basic runtime.
    void BackColor(gdi::Color color);
    // The system's colours changed: colours that refer to them are looked up again, and the
    // canvas is cleared to its background.
    void refresh_system_colors()
    {
        ForeColor(m_fore_color);
        BackColor(m_back_color);
    }
    const FontRef& Font() const { return m_font; }
    // Selects a drawing-layer font made from `font` into the DC; a later change of the font
    // object is picked up at the next Print.
    void Font(FontRef font);

    // Position of the next Print, in pixels.
    float CurrentX() const { return m_current_x; }
    void CurrentX(float x) { m_current_x = x; }
    float CurrentY() const { return m_current_y; }
    void CurrentY(float y) { m_current_y = y; }
    // Text in the DC's selected font and text colour on a transparent background, with its top
    // left at CurrentX / CurrentY. With `new_line` CurrentX goes back to 0 and CurrentY down by
    // the text height; without it CurrentX moves past the text.
    void Print(std::string_view text, bool new_line = true);

    // Draws `picture` (or its part sx, sy, sw, sh) into x, y, w, h, stretching as needed and
    // keeping transparent pixels transparent. Missing sizes mean the picture's own size; all
    // values are pixels of this canvas and of the picture.
    void PaintPicture(const PictureRef& picture, float x, float y, std::optional<float> w = {},
        std::optional<float> h = {}, float sx = 0, float sy = 0, std::optional<float> sw = {},
        std::optional<float> sh = {});

private:
    void select_font();

    gdi::Surface m_pixels;
    gdi::HDC m_dc {nullptr};
    gdi::Color m_fore_color {0};
    gdi::Color m_back_color {0x00FFFFFF};
    FontRef m_font;
    StdFont::Subscription m_font_subscription;
    gdi::HFONT m_selected_font {nullptr};
    float m_current_x {0};
    float m_current_y {0};
};

} // namespace sorrel::host
