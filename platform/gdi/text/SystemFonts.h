#pragma once

#include "platform/gdi/text/FontResolver.h"

#include <optional>
#include <string_view>

// The system's font database that FontResolver asks before it falls back to the Liberation files
// by path: fontconfig on Linux (FontconfigFonts.cpp). The Windows build has none yet
// (NoSystemFonts.cpp), so there every face comes from those files.
namespace sorrel::gdi {

enum class Match { SameFamily, ClosestFace };

bool equal_ignoring_case(std::string_view a, std::string_view b);

// The best file the system has for the family and style. With `SameFamily`, only when the family
// it picks carries the requested name: fontconfig answers every query with some face, and a
// stranger would not keep the metrics the caller relies on.
std::optional<FontFile> match_family(
    _FcConfig* config, std::string_view family, bool bold, bool italic, Match wanted = Match::SameFamily);

} // namespace sorrel::gdi
