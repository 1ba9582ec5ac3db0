#include "platform/gdi/text/FontResolver.h"
#include "platform/gdi/text/SystemFonts.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <optional>

namespace sorrel::gdi {

namespace {

constexpr std::string_view serif_family = "Liberation Serif";
constexpr std::string_view sans_family = "Liberation Sans";
constexpr std::string_view mono_family = "Liberation Mono";

struct Alias {
    std::string_view name;
    std::string_view family;
};

// Windows face names and the installed metric-compatible family each one stands for.
constexpr std::array aliases {
    Alias {"times new roman", serif_family},
    Alias {"times", serif_family},
    Alias {"tms rmn", serif_family},
    Alias {"ms serif", serif_family},
    Alias {"serif", serif_family},
    Alias {"arial", sans_family},
    Alias {"helvetica", sans_family},
    Alias {"ms sans serif", sans_family},
    Alias {"microsoft sans serif", sans_family},
    Alias {"ms shell dlg", sans_family},
    Alias {"ms shell dlg 2", sans_family},
    Alias {"tahoma", sans_family},
    Alias {"verdana", sans_family},
    Alias {"system", sans_family},
    Alias {"sans serif", sans_family},
    Alias {"sans-serif", sans_family},
    Alias {"courier new", mono_family},
    Alias {"courier", mono_family},
    Alias {"fixedsys", mono_family},
    Alias {"terminal", mono_family},
    Alias {"lucida console", mono_family},
    Alias {"monospace", mono_family},
};

std::string_view style_file_suffix(bool bold, bool italic)
{
    if (bold && italic)
        return "-BoldItalic.ttf";
    if (bold)
        return "-Bold.ttf";
    if (italic)
        return "-Italic.ttf";
    return "-Regular.ttf";
}

void add_unique(std::vector<FontFile>& files, FontFile file)
{
    if (std::find(files.begin(), files.end(), file) == files.end())
        files.push_back(std::move(file));
}

// fontconfig's name for the kind of face a metric-compatible family belongs to.
std::string_view generic_family(std::string_view family)
{
    if (family == serif_family)
        return "serif";
    if (family == mono_family)
        return "monospace";
    return "sans-serif";
}

void warn_missing_liberation_once()
{
    static std::atomic<bool> warned {false};
    if (!warned.exchange(true))
        std::fputs("sorrel: warning: the Liberation fonts are missing (Debian package fonts-liberation2); "
                   "texts use the closest installed faces\n",
            stderr);
}

} // namespace

bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string FontResolver::substitute_family(std::string_view family)
{
    if (family.empty())
        return std::string(sans_family);
    for (const auto& alias : aliases) {
        if (equal_ignoring_case(alias.name, family))
            return std::string(alias.family);
    }
    return std::string(family);
}

std::vector<FontFile> FontResolver::candidates(const FaceName& face) const
{
    std::vector<FontFile> files;
    std::string family = substitute_family(face.family);
    // Without the metric-compatible face, fontconfig's closest face of the same kind draws the
    // text: the layout may shift, but a text is never left blank.
    auto add_closest = [&](std::string_view metric_family) {
        if (auto file = match_family(
                m_config, generic_family(metric_family), face.bold, face.italic, Match::ClosestFace)) {
            add_unique(files, std::move(*file));
            if (!system_knows_windows_faces)
                warn_missing_liberation_once();
        }
    };
    if (system_knows_windows_faces && !face.family.empty()) {
        if (auto file = match_family(m_config, face.family, face.bold, face.italic))
            add_unique(files, std::move(*file));
    }
    if (auto file = match_family(m_config, family, face.bold, face.italic))
        add_unique(files, std::move(*file));
    else if (files.empty() && family.starts_with("Liberation"))
        add_closest(family);
    if (!equal_ignoring_case(family, sans_family)) {
        if (auto file = match_family(m_config, sans_family, face.bold, face.italic))
            add_unique(files, std::move(*file));
    }
    if (files.empty())
        add_closest(sans_family);

    // The Liberation files themselves, for a family that has them and then for the sans family.
    std::string stem;
    for (char c : family) {
        if (c != ' ')
            stem += c;
    }
    for (std::string_view candidate_stem : {std::string_view {stem}, std::string_view {"LiberationSans"}}) {
        if (!candidate_stem.starts_with("Liberation"))
            continue;
        for (auto dir : liberation_folders()) {
            std::string prefix = std::string(dir) + std::string(candidate_stem);
            add_unique(files, {prefix + std::string(style_file_suffix(face.bold, face.italic)), 0});
            add_unique(files, {prefix + "-Regular.ttf", 0});
        }
    }
    return files;
}

} // namespace sorrel::gdi
