// Draws the pictures of the progress bar and the check box and writes them as PNG files.
//
//   make_artwork <progressbar-folder> <check-folder> [<preview-folder>]
//
// The pictures are committed next to the controls; this program is how they were made, so a
// change of palette is a change here followed by a run. With a preview folder it also writes
// enlarged sheets to look at.
//
// [SECTION] Pixels and PNG output
// [SECTION] Colour helpers
// [SECTION] Progress bar: tiles, blank, frame skin
// [SECTION] Check box: twelve state pictures
// [SECTION] Preview sheets
// [SECTION] Main

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// [SECTION] Pixels and PNG output

struct Rgba {
    int r {0}, g {0}, b {0}, a {255};
};

struct Picture {
    int width {0};
    int height {0};
    std::vector<Rgba> pixels;

    Picture(int w, int h, Rgba fill = {255, 255, 255, 0})
        : width(w)
        , height(h)
        , pixels(size_t(w) * size_t(h), fill)
    { }
    Rgba& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Rgba& at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

bool write_png(const std::string& path, const Picture& picture)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "make_artwork: cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8, PNG_COLOR_TYPE_RGBA,
        PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // No time stamp or gamma chunk: the same drawing gives the same bytes on every run.
    png_write_info(png, info);
    std::vector<png_byte> row(size_t(picture.width) * 4);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.at(x, y);
            row[size_t(x) * 4 + 0] = png_byte(std::clamp(p.r, 0, 255));
            row[size_t(x) * 4 + 1] = png_byte(std::clamp(p.g, 0, 255));
            row[size_t(x) * 4 + 2] = png_byte(std::clamp(p.b, 0, 255));
            row[size_t(x) * 4 + 3] = png_byte(std::clamp(p.a, 0, 255));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

// [SECTION] Colour helpers

constexpr Rgba rgb(int r, int g, int b)
{
    return {r, g, b, 255};
}

// t > 0 moves towards white, t < 0 towards black, by that fraction.
Rgba shade(Rgba c, double t)
{
    auto channel = [t](int v) {
        double out = t >= 0 ? v + (255 - v) * t : v * (1 + t);
        return int(std::lround(out));
    };
    return {channel(c.r), channel(c.g), channel(c.b), c.a};
}

Rgba mix(Rgba a, Rgba b, double t)
{
    auto channel = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b), channel(a.a, b.a)};
}

Rgba with_alpha(Rgba c, int a)
{
    c.a = a;
    return c;
}

// [SECTION] Progress bar: tiles, blank, frame skin

constexpr int TileWidth = 8;
constexpr int TileHeight = 10;
constexpr int SkinWidth = 59;
constexpr int SkinHeight = 13;

// The trough inside the frame. It is one colour from top to bottom, so that the blank tile
// that erases the moving chunk matches it at any height the interior is stretched to; the
// sunken look comes from the shaded edge lines.
Rgba trough(double /*fraction*/)
{
    return rgb(246, 248, 250);
}

struct TileSet {
    const char* name;
    Rgba base;
    bool metallic;
};

constexpr std::array<double, TileHeight> GlossProfile {
    -0.28, 0.50, 0.40, 0.30, 0.18, -0.04, -0.02, 0.04, 0.10, -0.30};
constexpr std::array<double, TileHeight> MetalProfile {
    -0.30, 0.80, 0.58, 0.22, -0.04, -0.16, -0.22, -0.10, 0.18, -0.40};
constexpr std::array<double, TileWidth> ColumnProfile {-0.22, 0.06, 0.02, 0, 0, -0.02, -0.06, -0.24};

// Index 2 is the full tile; 1 and 0 fade into the trough, for the moving chunk's trailing end.
Picture make_tile(const TileSet& set, int index)
{
    static constexpr std::array<double, 3> Fade {0.62, 0.32, 0.0};
    Picture tile(TileWidth, TileHeight);
    const auto& profile = set.metallic ? MetalProfile : GlossProfile;
    for (int y = 0; y < TileHeight; ++y) {
        for (int x = 0; x < TileWidth; ++x) {
            Rgba c = shade(shade(set.base, profile[size_t(y)]), ColumnProfile[size_t(x)]);
            tile.at(x, y) = mix(c, trough(y / double(TileHeight - 1)), Fade[size_t(index)]);
        }
    }
    return tile;
}

Picture make_blank()
{
    Picture blank(TileWidth, TileHeight);
    for (int y = 0; y < TileHeight; ++y)
        for (int x = 0; x < TileWidth; ++x)
            blank.at(x, y) = trough(y / double(TileHeight - 1));
    return blank;
}

// The frame skin: three-pixel rounded edges around a sunken trough. Rows 3 to 10 are the trough
// (row 10 also starts the bottom edge pieces, so it is trough-coloured too).
Picture make_skin()
{
    const Rgba outer = rgb(112, 128, 146);
    const Rgba top_shadow = rgb(184, 194, 205);
    const Rgba top_inner = rgb(214, 221, 229);
    const Rgba side_shadow = rgb(196, 205, 215);
    const Rgba side_inner = rgb(224, 229, 235);
    const Rgba bottom_light = rgb(255, 255, 255);
    const Rgba right_light = rgb(244, 246, 249);

    Picture skin(SkinWidth, SkinHeight);
    for (int y = 3; y <= 10; ++y)
        for (int x = 3; x < SkinWidth - 3; ++x)
            skin.at(x, y) = trough((y - 3) / 7.0);
    for (int x = 0; x < SkinWidth; ++x) {
        skin.at(x, 0) = outer;
        skin.at(x, 1) = top_shadow;
        skin.at(x, 2) = top_inner;
        skin.at(x, 11) = bottom_light;
        skin.at(x, 12) = outer;
    }
    for (int y = 1; y < SkinHeight - 1; ++y) {
        skin.at(0, y) = outer;
        skin.at(SkinWidth - 1, y) = outer;
        if (y >= 3 && y <= 10) {
            skin.at(1, y) = side_shadow;
            skin.at(2, y) = side_inner;
            skin.at(SkinWidth - 2, y) = right_light;
            skin.at(SkinWidth - 3, y) = trough((y - 3) / 7.0);
        }
    }
    // Corners: the outermost pixel is see-through and its neighbours are half-covered.
    auto round_corner = [&](int cx, int cy, int dx, int dy) {
        skin.at(cx, cy) = with_alpha(outer, 0);
        skin.at(cx + dx, cy) = with_alpha(outer, 150);
        skin.at(cx, cy + dy) = with_alpha(outer, 150);
        skin.at(cx + dx, cy + dy) = mix(outer, top_shadow, 0.35);
    };
    round_corner(0, 0, 1, 1);
    round_corner(SkinWidth - 1, 0, -1, 1);
    round_corner(0, SkinHeight - 1, 1, -1);
    round_corner(SkinWidth - 1, SkinHeight - 1, -1, -1);
    skin.at(2, 2) = mix(top_shadow, side_inner, 0.5);
    skin.at(SkinWidth - 3, 2) = top_inner;
    return skin;
}

// [SECTION] Check box: twelve state pictures

constexpr int CheckSize = 13;

enum class Look { Idle, Mouseover, Pushed, Disabled };
enum class Mark { None, Tick, Greyed };

struct CheckPalette {
    Rgba border;
    Rgba fill_top;
    Rgba fill_bottom;
    Rgba ring; // the one-pixel ring inside the border; alpha 0 when the look has none
    Rgba mark;
    Rgba mark_shadow;
    Rgba greyed_top;
    Rgba greyed_bottom;
};

CheckPalette palette_of(Look look)
{
    switch (look) {
    case Look::Idle:
        return {rgb(38, 84, 136), rgb(252, 253, 254), rgb(212, 220, 230), {0, 0, 0, 0}, rgb(26, 112, 40),
            rgb(120, 170, 128), rgb(150, 160, 172), rgb(104, 114, 126)};
    case Look::Mouseover:
        return {rgb(64, 128, 196), rgb(255, 255, 255), rgb(236, 242, 248), rgb(255, 196, 84),
            rgb(30, 136, 46), rgb(150, 200, 156), rgb(170, 180, 192), rgb(124, 134, 146)};
    case Look::Pushed:
        return {rgb(22, 56, 98), rgb(168, 180, 196), rgb(198, 208, 220), rgb(120, 136, 156), rgb(14, 84, 26),
            rgb(96, 130, 104), rgb(112, 122, 134), rgb(80, 90, 102)};
    case Look::Disabled:
        break;
    }
    return {rgb(176, 180, 186), rgb(246, 246, 246), rgb(234, 234, 234), {0, 0, 0, 0}, rgb(172, 172, 172),
        rgb(214, 214, 214), rgb(206, 206, 206), rgb(192, 192, 192)};
}

// The tick, a 7 x 7 stroke three pixels thick, drawn from (3, 3).
constexpr std::array<const char*, 7> TickShape {
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
};

Picture make_check(Look look, Mark mark)
{
    const CheckPalette p = palette_of(look);
    Picture box(CheckSize, CheckSize, {255, 255, 255, 0});
    const int last = CheckSize - 1;
    for (int y = 1; y < last; ++y)
        for (int x = 1; x < last; ++x)
            box.at(x, y) = mix(p.fill_top, p.fill_bottom, (x + y - 2) / double(2 * (last - 2)));
    if (p.ring.a) {
        for (int i = 1; i < last; ++i) {
            box.at(i, 1) = mix(p.ring, p.fill_top, 0.25);
            box.at(1, i) = mix(p.ring, p.fill_top, 0.25);
            box.at(i, last - 1) = p.ring;
            box.at(last - 1, i) = p.ring;
        }
    }
    for (int i = 1; i < last; ++i) {
        box.at(i, 0) = p.border;
        box.at(i, last) = p.border;
        box.at(0, i) = p.border;
        box.at(last, i) = p.border;
    }
    // Rounded corners: the corner pixel shows what is behind, its inner neighbour softens the turn.
    for (auto [cx, cy, dx, dy] : std::array<std::array<int, 4>, 4> {
             {{0, 0, 1, 1}, {last, 0, -1, 1}, {0, last, 1, -1}, {last, last, -1, -1}}}) {
        box.at(cx, cy) = with_alpha(p.border, 40);
        box.at(cx + dx, cy + dy) = mix(p.border, box.at(cx + dx, cy + dy), 0.3);
    }

    if (mark == Mark::Tick) {
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 7; ++x) {
                if (TickShape[size_t(y)][x] != '#')
                    continue;
                box.at(3 + x, 3 + y) = p.mark;
                // A soft shadow under the lower edge of the stroke keeps it crisp on the gradient.
                bool below_empty = y == 6 || TickShape[size_t(y + 1)][x] != '#';
                if (below_empty && 4 + y < last - 1)
                    box.at(3 + x, 4 + y) = mix(p.mark_shadow, box.at(3 + x, 4 + y), 0.45);
            }
        }
    } else if (mark == Mark::Greyed) {
        for (int y = 3; y <= 9; ++y)
            for (int x = 3; x <= 9; ++x)
                box.at(x, y) = mix(p.greyed_top, p.greyed_bottom, (y - 3) / 6.0);
        for (int i = 3; i <= 9; ++i) {
            box.at(i, 3) = shade(p.greyed_top, 0.25);
            box.at(3, i) = shade(box.at(3, i), 0.12);
        }
    }
    return box;
}

struct CheckPicture {
    const char* name;
    Look look;
    Mark mark;
};

constexpr std::array<CheckPicture, 12> CheckPictures {{
    {"IdleNoValue", Look::Idle, Mark::None},
    {"IdleChecked", Look::Idle, Mark::Tick},
    {"IdleGreyed", Look::Idle, Mark::Greyed},
    {"MouseoverNoValue", Look::Mouseover, Mark::None},
    {"MouseoverChecked", Look::Mouseover, Mark::Tick},
    {"MouseoverGreyed", Look::Mouseover, Mark::Greyed},
    {"PushedNoValue", Look::Pushed, Mark::None},
    {"PushedChecked", Look::Pushed, Mark::Tick},
    {"PushedGreyed", Look::Pushed, Mark::Greyed},
    {"DisabledNoValue", Look::Disabled, Mark::None},
    {"CheckedDisabled", Look::Disabled, Mark::Tick},
    {"DisabledGrey", Look::Disabled, Mark::Greyed},
}};

// [SECTION] Preview sheets

Rgba over(Rgba top, Rgba bottom)
{
    Rgba out = mix(bottom, top, top.a / 255.0);
    out.a = 255;
    return out;
}

void blit(Picture& to, const Picture& from, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh)
{
    for (int y = 0; y < dh; ++y) {
        for (int x = 0; x < dw; ++x) {
            int fx = sx + x * sw / dw;
            int fy = sy + y * sh / dh;
            int tx = dx + x, ty = dy + y;
            if (tx < 0 || ty < 0 || tx >= to.width || ty >= to.height)
                continue;
            to.at(tx, ty) = over(from.at(fx, fy), to.at(tx, ty));
        }
    }
}

Picture enlarge(const Picture& small, int factor)
{
    Picture big(small.width * factor, small.height * factor);
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x)
            big.at(x, y) = small.at(x / factor, y / factor);
    return big;
}

// A 225 x 17 bar as the main window shows it, frame and tiles drawn the way the control does.
Picture preview_bar(const Picture& skin, const Picture& tile, int tiles)
{
    const int w = 225, h = 17;
    Picture bar(w, h, rgb(255, 255, 255));
    blit(bar, skin, 0, 0, 3, 3, 0, 0, 3, 3);
    blit(bar, skin, 56, 0, 3, 3, w - 3, 0, 3, 3);
    blit(bar, skin, 56, 10, 3, 3, w - 3, h - 3, 3, 3);
    blit(bar, skin, 0, 10, 3, 3, 0, h - 3, 3, 3);
    blit(bar, skin, 3, 0, 12, 3, 3, 0, w - 6, 3);
    blit(bar, skin, 56, 3, 3, 3, w - 3, 3, 3, h - 6);
    blit(bar, skin, 3, 10, 1, 3, 3, h - 3, w - 6, 3);
    blit(bar, skin, 0, 3, 3, 3, 0, 3, 3, h - 6);
    blit(bar, skin, 4, 4, 51, 7, 3, 3, w - 6, h - 6);
    for (int i = 0; i < tiles; ++i)
        blit(bar, tile, 0, 0, TileWidth, TileHeight, 4 + 10 * i, 3, TileWidth, h - 6);
    return bar;
}

// [SECTION] Main

constexpr std::array<TileSet, 8> TileSets {{
    {"master", rgb(46, 164, 60), false},
    {"blue", rgb(44, 104, 206), false},
    {"bluemet", rgb(58, 104, 180), true},
    {"goldmet", rgb(196, 152, 36), true},
    {"grmet", rgb(58, 144, 72), true},
    {"greymet", rgb(132, 138, 146), true},
    {"orangemet", rgb(226, 116, 28), true},
    {"redmet", rgb(196, 40, 40), true},
}};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_artwork <progressbar-folder> <check-folder> [<preview-folder>]\n");
        return 2;
    }
    const std::string bar_folder = argv[1];
    const std::string check_folder = argv[2];
    bool ok = true;

    const Picture skin = make_skin();
    ok &= write_png(bar_folder + "/img.png", skin);
    ok &= write_png(bar_folder + "/blank.png", make_blank());
    for (const TileSet& set : TileSets)
        for (int i = 0; i < 3; ++i)
            ok &= write_png(bar_folder + "/" + set.name + std::to_string(i) + ".png", make_tile(set, i));
    for (const CheckPicture& picture : CheckPictures)
        ok &= write_png(check_folder + "/" + picture.name + ".png", make_check(picture.look, picture.mark));

    if (argc > 3) {
        const std::string preview = argv[3];
        // Progress bars: every look, full and part-filled, and the three tiles of each set.
        Picture sheet(240, 8 + int(TileSets.size()) * 44, rgb(255, 255, 255));
        for (size_t s = 0; s < TileSets.size(); ++s) {
            const int top = 8 + int(s) * 44;
            blit(sheet, preview_bar(skin, make_tile(TileSets[s], 2), 22), 0, 0, 225, 17, 4, top, 225, 17);
            blit(sheet, preview_bar(skin, make_tile(TileSets[s], 2), 9), 0, 0, 225, 17, 4, top + 19, 225, 17);
            for (int i = 0; i < 3; ++i)
                blit(sheet, make_tile(TileSets[s], i), 0, 0, 8, 10, 150 + 12 * i, top + 22, 8, 10);
        }
        ok &= write_png(preview + "/progressbar-sheet.png", enlarge(sheet, 4));
        Picture checks(4 * 20 + 4, 3 * 20 + 4, rgb(255, 255, 255));
        for (size_t i = 0; i < CheckPictures.size(); ++i) {
            const int look = int(i) / 3, value = int(i) % 3;
            blit(checks, make_check(CheckPictures[i].look, CheckPictures[i].mark), 0, 0, 13, 13,
                4 + look * 20, 4 + value * 20, 13, 13);
        }
        ok &= write_png(preview + "/check-sheet.png", enlarge(checks, 10));
        ok &= write_png(preview + "/check-sheet-1x.png", checks);
    }
    return ok ? 0 : 1;
}
