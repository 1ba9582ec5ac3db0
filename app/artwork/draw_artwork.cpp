// Draws the main window's banner (234 x 50), the window icon (32 x 32), the desktop's icons at
// the other sizes a theme asks for (icons/sorrel-N.png) and the Windows program's icon file
// (sorrel.ico: the window icon in 16 and in 256 colours). Run it by hand after changing the
// drawing and commit the files it writes (a test checks that they match):
//   sorrel_draw_artwork app/artwork
//
// Shapes are tested at 4 x 4 points per pixel, so edges come out smooth; the title is drawn with
// the drawing layer at four times the size and shrunk the same way.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"
#include "platform/host/StdPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace sorrel;

namespace {

constexpr int Samples = 4;

struct Rgba {
    double r {0}, g {0}, b {0}, a {0};
};

Rgba rgb(int r, int g, int b, double a = 1)
{
    return {r / 255.0, g / 255.0, b / 255.0, a};
}

Rgba mix(Rgba a, Rgba b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// A layer: the colour it gives at a point, with alpha 0 where it has nothing.
using Layer = std::function<Rgba(double x, double y)>;

Rgba over(Rgba top, Rgba below)
{
    double a = top.a + below.a * (1 - top.a);
    if (a <= 0)
        return {};
    auto c = [&](double t, double b) { return (t * top.a + b * below.a * (1 - top.a)) / a; };
    return {c(top.r, below.r), c(top.g, below.g), c(top.b, below.b), a};
}

gdi::Surface render(int width, int height, const std::vector<Layer>& layers)
{
    gdi::Surface out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgba sum;
            for (int sy = 0; sy < Samples; ++sy) {
                for (int sx = 0; sx < Samples; ++sx) {
                    double px = x + (sx + 0.5) / Samples, py = y + (sy + 0.5) / Samples;
                    Rgba c;
                    for (auto& layer : layers)
                        c = over(layer(px, py), c);
                    // Premultiplied sums, so transparent samples don't darken the edges.
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
            }
            double n = Samples * Samples;
            double a = sum.a / n;
            auto channel = [&](double v) {
                return uint8_t(std::lround(std::clamp(a > 0 ? v / sum.a : 0, 0.0, 1.0) * 255));
            };
            out.set_pixel(x, y,
                gdi::with_alpha(
                    gdi::rgb(channel(sum.r), channel(sum.g), channel(sum.b)), uint8_t(std::lround(a * 255))));
        }
    }
    return out;
}

double rounded_box_distance(
    double x, double y, double left, double top, double right, double bottom, double radius)
{
    double cx = (left + right) / 2, cy = (top + bottom) / 2;
    double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double segment_distance(double x, double y, double ax, double ay, double bx, double by)
{
    double dx = bx - ax, dy = by - ay;
    double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - (ax + t * dx), y - (ay + t * dy));
}

// The finder mark: a magnifying glass over two people, one green and one blue (the two
// Messengers side by side), at `cx`, `cy` with lens radius `r`.
std::vector<Layer> finder_mark(double cx, double cy, double r)
{
    std::vector<Layer> layers;
    Rgba glass = rgb(232, 242, 252, 0.95);
    Rgba rim = rgb(44, 72, 118);
    Rgba handle = rgb(120, 78, 40);
    auto person = [=](double px, double py, double s, Rgba body, Rgba head) -> Layer {
        return [=](double x, double y) {
            double shoulders = std::hypot((x - px) / (0.62 * s), (y - (py + 0.55 * s)) / (0.45 * s));
            if (shoulders <= 1 && y <= py + 0.78 * s)
                return body;
            if (std::hypot(x - px, y - (py - 0.05 * s)) <= 0.3 * s)
                return head;
            return Rgba {};
        };
    };
    // Handle first, so the rim covers its end
    layers.push_back([=](double x, double y) {
        double k = r * 0.72;
        double d = segment_distance(x, y, cx + k, cy + k, cx + r * 1.55, cy + r * 1.55);
        return d <= r * 0.2 ? handle : Rgba {};
    });
    layers.push_back([=](double x, double y) { return std::hypot(x - cx, y - cy) <= r ? glass : Rgba {}; });
    double s = r * 0.78;
    auto clip_to_lens = [=](const Layer& inner) -> Layer {
        return [=](double x, double y) {
            return std::hypot(x - cx, y - cy) <= r * 0.86 ? inner(x, y) : Rgba {};
        };
    };
    layers.push_back(
        clip_to_lens(person(cx - r * 0.28, cy - r * 0.12, s, rgb(58, 150, 72), rgb(74, 178, 88))));
    layers.push_back(
        clip_to_lens(person(cx + r * 0.3, cy + r * 0.02, s, rgb(40, 104, 196), rgb(64, 132, 220))));
    layers.push_back([=](double x, double y) {
        double d = std::abs(std::hypot(x - cx, y - cy) - r);
        return d <= r * 0.13 ? rim : Rgba {};
    });
    // A glint on the glass
    layers.push_back([=](double x, double y) {
        double d = std::abs(std::hypot(x - cx, y - cy) - r * 0.68);
        double angle = std::atan2(y - cy, x - cx);
        return (d <= r * 0.06 && angle > -2.6 && angle < -1.9) ? rgb(255, 255, 255, 0.9) : Rgba {};
    });
    return layers;
}

// The text as a coverage mask at `Samples` times the size, from the drawing layer's fonts.
struct TextMask {
    gdi::Surface pixels;
    double x0 {0}, y0 {0};

    double coverage(double x, double y) const
    {
        int px = int((x - x0) * Samples), py = int((y - y0) * Samples);
        if (!pixels.in_bounds(px, py))
            return 0;
        return gdi::red_of(pixels.pixel(px, py)) / 255.0;
    }
};

TextMask text_mask(const char* text, const char* face, int height, int weight, bool italic, double x0,
    double y0, int width_px, int height_px)
{
    TextMask mask {gdi::Surface(width_px * Samples, height_px * Samples), x0, y0};
    mask.pixels.fill_rect(mask.pixels.bounds(), 0);
    gdi::HDC dc = gdi::CreateSurfaceDC(mask.pixels);
    gdi::LOGFONTA lf {};
    lf.lfHeight = -height * Samples;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    std::strncpy(lf.lfFaceName, face, sizeof(lf.lfFaceName) - 1);
    gdi::HFONT font = gdi::CreateFontIndirectA(&lf);
    gdi::HGDIOBJ old = gdi::SelectObject(dc, font);
    gdi::SetBkMode(dc, gdi::TRANSPARENT);
    gdi::SetTextColor(dc, gdi::rgb(255, 255, 255));
    gdi::TextOutA(dc, 0, 0, text, int(std::strlen(text)));
    gdi::SelectObject(dc, old);
    gdi::DeleteObject(font);
    gdi::DeleteDC(dc);
    return mask;
}

Layer text_layer(TextMask mask, Rgba color)
{
    return [mask = std::move(mask), color](double x, double y) {
        double c = mask.coverage(x, y);
        return c > 0 ? Rgba {color.r, color.g, color.b, color.a * c} : Rgba {};
    };
}

gdi::Surface banner()
{
    std::vector<Layer> layers;
    // Panel: a soft blue gradient in a rounded frame on the window's white
    layers.push_back([](double x, double y) {
        double d = rounded_box_distance(x, y, 0.5, 0.5, 233.5, 49.5, 7);
        if (d > 0)
            return rgb(255, 255, 255);
        if (d > -1)
            return rgb(150, 178, 214);
        Rgba left = rgb(214, 230, 248), right = rgb(248, 251, 254);
        Rgba c = mix(left, right, std::clamp(x / 234.0, 0.0, 1.0));
        // A light band along the top
        return mix(c, rgb(255, 255, 255), std::clamp((14 - y) / 14.0, 0.0, 1.0) * 0.45);
    });
    for (auto& layer : finder_mark(24, 22, 13))
        layers.push_back(layer);
    layers.push_back(text_layer(
        text_mask("Sorrel", "Liberation Serif", 26, 700, false, 52, 4, 120, 34), rgb(31, 58, 102)));
    layers.push_back(
        text_layer(text_mask("Messenger version check", "Liberation Sans", 10, 400, true, 54, 32, 170, 14),
            rgb(70, 92, 128)));
    return render(234, 50, layers);
}

// The icon at `size` pixels square: the 32-pixel drawing scaled.
gdi::Surface icon(int size = 32)
{
    double k = size / 32.0;
    return render(size, size, finder_mark(13.5 * k, 13.5 * k, 10 * k));
}

// [SECTION] The Windows icon file

struct Paletted {
    std::vector<gdi::Color> palette;
    std::vector<uint8_t> indices; // top-down
    std::vector<bool> transparent;
};

// The nearest palette colour to each pixel; a pixel less than half opaque is transparent.
Paletted quantize(const gdi::Surface& pixels, std::vector<gdi::Color> palette)
{
    Paletted out {std::move(palette), {}, {}};
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            gdi::Color c = pixels.pixel(x, y);
            bool clear = (c >> 24) < 128;
            size_t best = 0;
            long best_distance = -1;
            for (size_t i = 0; i < out.palette.size() && !clear; ++i) {
                gdi::Color p = out.palette[i];
                long dr = long(gdi::red_of(c)) - gdi::red_of(p),
                     dg = long(gdi::green_of(c)) - gdi::green_of(p),
                     db = long(gdi::blue_of(c)) - gdi::blue_of(p);
                long distance = dr * dr + dg * dg + db * db;
                if (best_distance < 0 || distance < best_distance) {
                    best = i;
                    best_distance = distance;
                }
            }
            out.indices.push_back(uint8_t(best));
            out.transparent.push_back(clear);
        }
    }
    return out;
}

// The 16 colours every display has.
std::vector<gdi::Color> sixteen_colours()
{
    return {gdi::rgb(0, 0, 0), gdi::rgb(128, 0, 0), gdi::rgb(0, 128, 0), gdi::rgb(128, 128, 0),
        gdi::rgb(0, 0, 128), gdi::rgb(128, 0, 128), gdi::rgb(0, 128, 128), gdi::rgb(192, 192, 192),
        gdi::rgb(128, 128, 128), gdi::rgb(255, 0, 0), gdi::rgb(0, 255, 0), gdi::rgb(255, 255, 0),
        gdi::rgb(0, 0, 255), gdi::rgb(255, 0, 255), gdi::rgb(0, 255, 255), gdi::rgb(255, 255, 255)};
}

// A colour cube of 6 steps a channel and 40 greys between its own.
std::vector<gdi::Color> colour_cube()
{
    std::vector<gdi::Color> palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back(gdi::rgb(uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51)));
    for (int i = 1; palette.size() < 256; ++i)
        palette.push_back(gdi::rgb(uint8_t(i * 255 / 41), uint8_t(i * 255 / 41), uint8_t(i * 255 / 41)));
    return palette;
}

void put16(std::vector<uint8_t>& out, unsigned v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// One icon image: its bitmap header (twice the height: colours, then the mask), palette, colour
// rows and mask rows, both bottom-up and padded to four bytes.
std::vector<uint8_t> icon_image(const Paletted& image, int size, int bits)
{
    std::vector<uint8_t> out;
    size_t row_bytes = (size_t(size) * size_t(bits) + 31) / 32 * 4;
    size_t mask_bytes = (size_t(size) + 31) / 32 * 4;
    put32(out, 40);
    put32(out, uint32_t(size));
    put32(out, uint32_t(size * 2));
    put16(out, 1);
    put16(out, unsigned(bits));
    put32(out, 0);
    put32(out, uint32_t((row_bytes + mask_bytes) * size_t(size)));
    put32(out, 0);
    put32(out, 0);
    put32(out, uint32_t(image.palette.size()));
    put32(out, 0);
    for (gdi::Color c : image.palette) {
        out.push_back(gdi::blue_of(c));
        out.push_back(gdi::green_of(c));
        out.push_back(gdi::red_of(c));
        out.push_back(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(row_bytes, 0);
        for (int x = 0; x < size; ++x) {
            size_t at = size_t(y) * size_t(size) + size_t(x);
            uint8_t index = image.transparent[at] ? 0 : image.indices[at];
            if (bits == 8)
                row[size_t(x)] = index;
            else
                row[size_t(x / 2)] |= uint8_t(x % 2 ? index : index << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(mask_bytes, 0);
        for (int x = 0; x < size; ++x) {
            if (image.transparent[size_t(y) * size_t(size) + size_t(x)])
                row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// An .ico file of the picture in 16 colours and in 256, as icons were made when a display might
// show either.
std::vector<uint8_t> icon_file(const gdi::Surface& pixels)
{
    int size = pixels.width();
    std::vector<std::pair<int, std::vector<uint8_t>>> images;
    images.emplace_back(4, icon_image(quantize(pixels, sixteen_colours()), size, 4));
    images.emplace_back(8, icon_image(quantize(pixels, colour_cube()), size, 8));
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, unsigned(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (auto& [bits, bytes] : images) {
        out.push_back(uint8_t(size));
        out.push_back(uint8_t(size));
        out.push_back(bits == 4 ? 16 : 0);
        out.push_back(0);
        put16(out, 1);
        put16(out, unsigned(bits));
        put32(out, uint32_t(bytes.size()));
        put32(out, offset);
        offset += uint32_t(bytes.size());
    }
    for (auto& image : images)
        out.insert(out.end(), image.second.begin(), image.second.end());
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder + "/icons", ec);
    std::vector<std::pair<std::string, gdi::Surface>> files;
    files.emplace_back("banner.png", banner());
    files.emplace_back("icon.png", icon());
    for (int size : {16, 24, 48, 64, 128, 256})
        files.emplace_back("icons/sorrel-" + std::to_string(size) + ".png", icon(size));
    for (auto& [name, pixels] : files) {
        if (auto saved = host::save_png(pixels, folder + "/" + name, true); saved.is_error()) {
            std::fprintf(stderr, "%s\n", saved.error().message.c_str());
            return 1;
        }
    }
    std::vector<uint8_t> ico = icon_file(icon());
    std::ofstream out(folder + "/sorrel.ico", std::ios::binary);
    out.write(reinterpret_cast<const char*>(ico.data()), std::streamsize(ico.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "cannot write %s/sorrel.ico\n", folder.c_str());
        return 1;
    }
    return 0;
}
