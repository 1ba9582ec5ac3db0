#pragma once

#include "platform/gdi/text/FaceName.h"

#include <memory>
#include <string>
#include <vector>

// fontconfig's own name for FcConfig, declared here so that only the Linux sources include it.
struct _FcConfig; // NOLINT(bugprone-reserved-identifier)

namespace sorrel::gdi {

// A font file and the face within it. Where the system hands over a font's bytes rather than its
// path (Windows), `data` holds them and `path` only names them; the faces loaded from them share
// the bytes and keep them alive.
struct FontFile {
    std::string path;
    int index {0};
    std::shared_ptr<const std::vector<unsigned char>> data {};
    bool operator==(const FontFile& other) const { return path == other.path && index == other.index; }
};

// Finds font files for a face name. The Windows faces the controls ask for resolve to installed
// faces with the same metrics (Times New Roman to Liberation Serif, Arial and MS Sans Serif to
// Liberation Sans, Courier New to Liberation Mono); any other name is looked up as it is and falls
// back to a sans face when nothing carries that name. On Windows the system's own face for the
// name as asked, after its font substitutes, comes before all of these.
class FontResolver {
public:
    FontResolver();
    // Trivial on Windows, where the system keeps the font database; Linux releases fontconfig's.
    ~FontResolver(); // NOLINT(performance-trivially-destructible)
    FontResolver(const FontResolver&) = delete;
    FontResolver& operator=(const FontResolver&) = delete;

    // Files to try for the face, best first and without duplicates. On Linux the list ends with
    // the known locations of the Liberation files, so a machine whose font configuration finds
    // nothing still has a face to load.
    std::vector<FontFile> candidates(const FaceName&) const;

    // The family that a face name resolves to before any file is looked at.
    static std::string substitute_family(std::string_view family);

private:
    _FcConfig* m_config {nullptr};
};

} // namespace sorrel::gdi
