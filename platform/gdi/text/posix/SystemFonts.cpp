#include "platform/gdi/text/SystemFonts.h"

#include "platform/base/Sanitizer.h"

#include <fontconfig/fontconfig.h>
#include <string>

namespace sorrel::gdi {

const bool system_knows_windows_faces = false;

std::span<const std::string_view> liberation_folders()
{
    static constexpr std::string_view folders[] {
        "/usr/share/fonts/truetype/liberation2/",
        "/usr/share/fonts/truetype/liberation/",
    };
    return folders;
}

std::optional<FontFile> match_family(
    FcConfig* config, std::string_view family, bool bold, bool italic, Match wanted)
{
    if (!config)
        return {};
    std::string name(family);
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return {};
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return {};

    std::optional<FontFile> found;
    bool family_matches = wanted == Match::ClosestFace;
    FcChar8* value = nullptr;
    for (int i = 0; !family_matches && FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch;
         ++i) {
        if (equal_ignoring_case(reinterpret_cast<const char*>(value), family)) {
            family_matches = true;
            break;
        }
    }
    FcChar8* file = nullptr;
    if (family_matches && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        int index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        found = FontFile {reinterpret_cast<const char*>(file), index};
    }
    FcPatternDestroy(match);
    return found;
}

#ifdef SORREL_ADDRESS_SANITIZED
// fontconfig (and D-Bus, which SDL starts for a real window) keep a few blocks of their one-time
// initialisation without a reference the leak checker can see; they are not ours to free, and
// they would fail every sanitized run. So does GLib for the accessibility bridge, which stays
// loaded until the program ends. The program has one list, and it lives here.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libdbus-1.so\nleak:libglib-2.0.so\nleak:libgobject-2.0.so\n"
           "leak:libatk-1.0.so\nleak:libatk-bridge-2.0.so\n";
}
#endif

FontResolver::FontResolver()
{
    m_config = FcInitLoadConfigAndFonts();
}

FontResolver::~FontResolver()
{
    if (m_config)
        FcConfigDestroy(m_config);
}

} // namespace sorrel::gdi
