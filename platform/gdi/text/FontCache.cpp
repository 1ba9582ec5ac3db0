#include "platform/gdi/text/FontCache.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <cctype>
#include <cstring>

namespace sorrel::gdi {

// A program that asks for ever new fonts must not grow without bound; past this many requests the
// lookup tables start over (fonts still in use stay alive with their users).
static constexpr size_t max_requests = 512;

FontCache& FontCache::the()
{
    // Deliberately never destroyed: font objects still alive at exit hold faces of this library,
    // and there is no order of static destruction that would free them safely.
    static FontCache* cache = new FontCache;
    return *cache;
}

FontCache::FontCache()
{
    if (FT_Init_FreeType(&m_library) != 0) {
        m_library = nullptr;
        return;
    }
    // The classic TrueType interpreter hints in both directions, as Windows does for grayscale
    // text: crisp stems and whole-pixel advance widths. Older FreeType builds may not offer it.
    FT_UInt interpreter = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(m_library, "truetype", "interpreter-version", &interpreter);
}

static void append_int(std::string& key, int value)
{
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    key.append(bytes, sizeof value);
}

std::shared_ptr<Font> FontCache::font(std::string_view face_name, int height, bool bold, bool italic)
{
    if (m_last.font && m_last.height == height && m_last.bold == bold && m_last.italic == italic
        && m_last.face_name == face_name)
        return m_last.font;
    std::shared_ptr<Font> font = lookup(face_name, height, bold, italic);
    if (font)
        m_last = {std::string(face_name), height, bold, italic, font};
    return font;
}

std::shared_ptr<Font> FontCache::lookup(std::string_view face_name, int height, bool bold, bool italic)
{
    m_key.assign(face_name);
    m_key += '\0';
    append_int(m_key, height);
    m_key += char((bold ? 1 : 0) | (italic ? 2 : 0));
    if (auto it = m_requests.find(m_key); it != m_requests.end())
        return it->second;

    if (m_requests.size() >= max_requests) {
        m_requests.clear();
        m_sized.clear();
    }

    FaceName face_request = FaceName::parse(face_name);
    face_request.bold |= bold;
    face_request.italic |= italic;
    auto face = resolve_face(face_request);
    if (!face)
        return nullptr;

    int ppem = Font::ppem_for_height(face->design(), height);
    std::string sized_key
        = face->file().path + '\0' + std::to_string(face->file().index) + '\0' + std::to_string(ppem);
    std::shared_ptr<Font> font;
    if (auto it = m_sized.find(sized_key); it != m_sized.end()) {
        font = it->second;
    } else {
        font = Font::create(face, height);
        if (!font)
            return nullptr;
        m_sized.emplace(std::move(sized_key), font);
    }
    m_requests.emplace(m_key, font);
    return font;
}

std::shared_ptr<Font> FontCache::default_font()
{
    return font("System", 16, true, false);
}

std::shared_ptr<FontFace> FontCache::resolve_face(const FaceName& request)
{
    std::string key;
    for (char c : request.family)
        key += char(std::tolower(static_cast<unsigned char>(c)));
    key += '\0';
    key += char((request.bold ? 1 : 0) | (request.italic ? 2 : 0));
    if (auto it = m_faces_by_style.find(key); it != m_faces_by_style.end())
        return it->second;

    for (const FontFile& file : m_resolver.candidates(request)) {
        if (auto face = load_face(file)) {
            m_faces_by_style.emplace(std::move(key), face);
            return face;
        }
    }
    return nullptr;
}

std::shared_ptr<FontFace> FontCache::load_face(const FontFile& file)
{
    std::string key = file.path + '\0' + std::to_string(file.index);
    if (auto it = m_faces_by_file.find(key); it != m_faces_by_file.end())
        return it->second;
    auto face = FontFace::load(m_library, file);
    if (face)
        m_faces_by_file.emplace(std::move(key), face);
    return face;
}

} // namespace sorrel::gdi
