// Renders the gallery's sheets of controls to PNG files, headless, for people and reviews.
//
//   sorrel-gallery [--out DIR] [--scale N] [--list] [SHEET...]
//
// Without sheet names every sheet is rendered. Files are named after the sheets. --scale
// enlarges every pixel to N x N, for looking at single pixels.

#include "platform/host/StdPicture.h"
#include "tools/gallery/SheetRegistry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace sorrel::gallery;

namespace {

sorrel::gdi::Surface enlarged(const sorrel::gdi::Surface& in, int scale)
{
    if (scale == 1)
        return in;
    sorrel::gdi::Surface out(in.width() * scale, in.height() * scale);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.set_pixel(x, y, in.pixel(x / scale, y / scale));
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    std::string out_dir = "gallery";
    std::vector<std::string> wanted;
    int scale = 1;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            out_dir = argv[++i];
        } else if (arg == "--scale" && i + 1 < argc) {
            scale = std::clamp(std::atoi(argv[++i]), 1, 8);
        } else if (arg == "--list") {
            for (auto& sheet : sheet_definitions())
                std::printf("%-20s %s\n", sheet.name.c_str(), sheet.about.c_str());
            return 0;
        } else if (arg == "--help" || arg == "-h") {
            std::printf("usage: sorrel-gallery [--out DIR] [--scale N] [--list] [SHEET...]\n");
            return 0;
        } else {
            wanted.push_back(arg);
        }
    }
    for (auto& name : wanted) {
        bool known = false;
        for (auto& sheet : sheet_definitions())
            known = known || sheet.name == name;
        if (!known) {
            std::fprintf(stderr, "sorrel-gallery: no sheet named \"%s\" (see --list)\n", name.c_str());
            return 2;
        }
    }

    std::error_code error;
    std::filesystem::create_directories(out_dir, error);
    if (error) {
        std::fprintf(
            stderr, "sorrel-gallery: cannot create %s: %s\n", out_dir.c_str(), error.message().c_str());
        return 1;
    }
    int failures = 0;
    for (auto& sheet : sheet_definitions()) {
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), sheet.name) == wanted.end())
            continue;
        std::string path = (std::filesystem::path(out_dir) / (sheet.name + ".png")).string();
        auto saved = sorrel::host::save_png(enlarged(sheet.build().render(), scale), path);
        if (saved.is_error()) {
            std::fprintf(stderr, "sorrel-gallery: %s: %s\n", path.c_str(), saved.error().message.c_str());
            ++failures;
            continue;
        }
        std::printf("%s\n", path.c_str());
    }
    return failures ? 1 : 0;
}
