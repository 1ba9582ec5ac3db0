#pragma once

#include "platform/gdi/text/FontResolver.h"

#include <optional>
#include <span>
#include <string_view>

// The system's font database that FontResolver asks: fontconfig on Linux (posix/SystemFonts.cpp),
// Windows' own GDI on Windows (win32/SystemFonts.cpp).
namespace sorrel::gdi {

enum class Match { SameFamily, ClosestFace };

bool equal_ignoring_case(std::string_view a, std::string_view b);

// Whether the system knows the Windows face names itself, with substitutes of its own (Windows'
// FontSubstitutes): then it is asked for a name as given before Sorrel's own aliases apply, and
// a face it picks for want of a better one is the expected outcome, not a missing package.
extern const bool system_knows_windows_faces;

// The folders where the Liberation files are looked for by path when the database has none.
std::span<const std::string_view> liberation_folders();

// The best file the system has for the family and style; the family may also be one of the
// generic names "serif", "sans-serif" and "monospace". With `SameFamily`, only when the family it
// picks carries the requested name: the system answers every query with some face, and a
// stranger would not keep the metrics the caller relies on.
std::optional<FontFile> match_family(
    _FcConfig* config, std::string_view family, bool bold, bool italic, Match wanted = Match::SameFamily);

#ifdef _WIN32
// GDI objects that the font queries hold at this moment: none between two queries.
int live_font_query_objects();
#endif

} // namespace sorrel::gdi
