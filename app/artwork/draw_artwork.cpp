// Draws the main window's banner (234 x 50), the window icon (32 x 32) and the desktop's icons at
// the other sizes a theme asks for (icons/sorrel-N.png). Run it by hand after changing the drawing
// and commit the PNG files it writes (a test checks that they match):
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
    auto clip_to_lens = [=](Layer inner) -> Layer {
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
            std::fprintf(stderr, "%s\n", saved.error().c_str());
            return 1;
        }
    }
    return 0;
}
