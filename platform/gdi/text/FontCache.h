#pragma once

#include "platform/gdi/text/Font.h"
#include "platform/gdi/text/FontResolver.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct FT_LibraryRec_;

namespace sorrel::gdi {

// Every font the program has asked for, so that asking again (the button builds its caption font
// on every paint) is one hash lookup, or none for the same request twice in a row. Requests
// resolve to loaded faces, faces and pixel sizes to sized fonts, which hold the rendered glyphs;
// fonts and faces are shared by everything that uses them and are never reloaded. Used from the
// one user-interface thread only.
class FontCache {
public:
    static FontCache& the();

    // A font for the face name (style words included) at the height (Windows rule, see Font),
    // with bold and italic also asked for by flag. Falls back to a sans face for unknown names;
    // null only when no font file at all can be loaded.
    std::shared_ptr<Font> font(std::string_view face_name, int height, bool bold, bool italic);

    // The font of a device context that has no font selected.
    std::shared_ptr<Font> default_font();

    size_t cached_font_count() const { return m_sized.size(); }
    FT_LibraryRec_* library() const { return m_library; }

private:
    FontCache();
    std::shared_ptr<Font> lookup(std::string_view face_name, int height, bool bold, bool italic);
    std::shared_ptr<FontFace> resolve_face(const FaceName&);
    std::shared_ptr<FontFace> load_face(const FontFile&);

    FT_LibraryRec_* m_library {nullptr};
    FontResolver m_resolver;
    std::unordered_map<std::string, std::shared_ptr<FontFace>> m_faces_by_file;
    std::unordered_map<std::string, std::shared_ptr<FontFace>> m_faces_by_style;
    std::unordered_map<std::string, std::shared_ptr<Font>> m_sized; // by face and ppem
    std::unordered_map<std::string, std::shared_ptr<Font>> m_requests; // by request as given
    std::string m_key; // reused so that a cache hit allocates nothing
    // The latest request and its answer: a control that rebuilds its font for every paint asks
    // the same question again and again.
    struct LastRequest {
        std::string face_name;
        int height {0};
        bool bold {false};
        bool italic {false};
        std::shared_ptr<Font> font;
    };
    LastRequest m_last;
};

} // namespace sorrel::gdi
