#include "platform/gdi/text/SystemFonts.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace sorrel::gdi {

// Every face comes from the system's own font database, substitutes and all, so the Liberation
// files are never looked for by path.
const bool system_knows_windows_faces = true;

std::span<const std::string_view> liberation_folders()
{
    return {};
}

FontResolver::FontResolver() = default;

FontResolver::~FontResolver() = default;

namespace {

std::atomic<int> live_objects {0};

// A memory device context with one font selected, for one query; both are deleted at the end.
class FontQuery {
public:
    explicit FontQuery(const LOGFONTW& description)
    {
        m_dc = CreateCompatibleDC(nullptr);
        if (!m_dc)
            return;
        ++live_objects;
        m_font = CreateFontIndirectW(&description);
        if (!m_font)
            return;
        ++live_objects;
        m_previous = SelectObject(m_dc, m_font);
    }
    ~FontQuery()
    {
        if (m_previous)
            SelectObject(m_dc, m_previous);
        if (m_font && DeleteObject(m_font))
            --live_objects;
        if (m_dc && DeleteDC(m_dc))
            --live_objects;
    }
    FontQuery(const FontQuery&) = delete;
    FontQuery& operator=(const FontQuery&) = delete;

    bool ready() const { return m_previous != nullptr; }
    HDC dc() const { return m_dc; }

private:
    HDC m_dc {nullptr};
    HFONT m_font {nullptr};
    HGDIOBJ m_previous {nullptr};
};

// GetFontData takes a table's tag as the four bytes read in file order into a little-endian word.
constexpr DWORD collection_tag = 'f' << 24 | 'c' << 16 | 't' << 8 | 't';

std::wstring widen(std::string_view text)
{
    std::wstring wide(text.size(), L'\0');
    int length = MultiByteToWideChar(1252, 0, text.data(), int(text.size()), wide.data(), int(wide.size()));
    wide.resize(std::max(length, 0));
    return wide;
}

// A table of the selected font (0: the whole font), or nothing when GDI has no such data, as for
// bitmap and vector fonts.
std::vector<unsigned char> font_data(HDC dc, DWORD table)
{
    DWORD size = GetFontData(dc, table, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0)
        return {};
    std::vector<unsigned char> bytes(size);
    if (GetFontData(dc, table, 0, bytes.data(), size) != size)
        return {};
    return bytes;
}

uint32_t big_endian(const unsigned char* bytes, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// Which face of a collection is selected: the one whose table directory is the one GDI gives for
// the selected font, which starts at that face's own header.
std::optional<int> index_in_collection(HDC dc, const std::vector<unsigned char>& collection)
{
    unsigned char header[12];
    if (GetFontData(dc, 0, 0, header, sizeof header) != sizeof header)
        return {};
    size_t directory_size = 12 + 16 * size_t(big_endian(header + 4, 2));
    std::vector<unsigned char> directory(directory_size);
    if (GetFontData(dc, 0, 0, directory.data(), DWORD(directory_size)) != directory_size)
        return {};
    if (collection.size() < 12)
        return {};
    uint32_t faces = big_endian(&collection[8], 4);
    for (uint32_t i = 0; i < faces && 12 + 4 * (size_t(i) + 1) <= collection.size(); ++i) {
        size_t offset = big_endian(&collection[12 + 4 * size_t(i)], 4);
        if (offset <= collection.size() && collection.size() - offset >= directory_size
            && std::memcmp(&collection[offset], directory.data(), directory_size) == 0)
            return int(i);
    }
    return {};
}

// The pitch-and-family hint that makes GDI pick a face of the generic kind.
BYTE pitch_and_family(std::string_view family)
{
    if (family == "serif")
        return VARIABLE_PITCH | FF_ROMAN;
    if (family == "sans-serif")
        return VARIABLE_PITCH | FF_SWISS;
    if (family == "monospace")
        return FIXED_PITCH | FF_MODERN;
    return DEFAULT_PITCH | FF_DONTCARE;
}

} // namespace

int live_font_query_objects()
{
    return live_objects;
}

// Face names compare alike in every language.
constexpr LCID invariant_locale = MAKELCID(MAKELANGID(LANG_INVARIANT, SUBLANG_NEUTRAL), SORT_DEFAULT);

std::optional<FontFile> match_family(
    _FcConfig*, std::string_view family, bool bold, bool italic, Match wanted)
{
    LOGFONTW description {};
    // Any size selects the same outline file, and the faces are shared by every size.
    description.lfHeight = -16;
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = italic;
    // Sorrel's texts are Windows-1252.
    description.lfCharSet = ANSI_CHARSET;
    // Only outline fonts hand over their file; a bitmap font of the same name is passed over.
    description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    description.lfPitchAndFamily = pitch_and_family(family);
    std::wstring name = description.lfPitchAndFamily == (DEFAULT_PITCH | FF_DONTCARE) ? widen(family) : L"";
    if (name.size() >= LF_FACESIZE)
        return {};
    std::copy(name.begin(), name.end(), description.lfFaceName);

    FontQuery query(description);
    if (!query.ready())
        return {};
    wchar_t chosen[LF_FACESIZE] {};
    if (GetTextFaceW(query.dc(), LF_FACESIZE, chosen) == 0)
        return {};
    if (wanted == Match::SameFamily
        && CompareStringW(invariant_locale, NORM_IGNORECASE, chosen, -1, name.c_str(), int(name.size()))
            != CSTR_EQUAL)
        return {};

    FontFile file;
    auto collection = font_data(query.dc(), collection_tag);
    if (collection.size() >= 4 && std::memcmp(collection.data(), "ttcf", 4) == 0) {
        auto index = index_in_collection(query.dc(), collection);
        if (!index)
            return {};
        file.index = *index;
        file.data = std::make_shared<const std::vector<unsigned char>>(std::move(collection));
    } else {
        auto bytes = font_data(query.dc(), 0);
        if (bytes.empty())
            return {};
        file.data = std::make_shared<const std::vector<unsigned char>>(std::move(bytes));
    }
    // The bytes have no path: a digest of them names them, so that two names the system maps to
    // the same file (a substitute and its target) load it once.
    size_t digest = std::hash<std::string_view> {}(
        std::string_view(reinterpret_cast<const char*>(file.data->data()), file.data->size()));
    char label[64];
    std::snprintf(label, sizeof label, "system font %016llx (%zu bytes)",
        static_cast<unsigned long long>(digest), file.data->size());
    file.path = label;
    return file;
}

} // namespace sorrel::gdi
