#include "platform/gdi/text/SystemFonts.h"

namespace sorrel::gdi {

FontResolver::FontResolver() = default;

FontResolver::~FontResolver() = default;

std::optional<FontFile> match_family(_FcConfig*, std::string_view, bool, bool, Match)
{
    return {};
}

} // namespace sorrel::gdi
