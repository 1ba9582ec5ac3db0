#include "platform/gdi/text/FontObject.h"

#include "platform/base/Sanitizer.h"
#include "platform/gdi/text/FontCache.h"

#include <array>
#include <cstring>
#include <string_view>

namespace sorrel::gdi {

// Weights from semi-bold up select the bold style, as the Windows font mapper does.
static constexpr LONG bold_weight_threshold = 600;

// The storage of deleted font objects, kept for the next ones. The sanitizer build always goes to
// the heap, so that a use after deletion is still caught.
#ifdef SORREL_ADDRESS_SANITIZED
static constexpr bool recycle_objects = false;
#else
static constexpr bool recycle_objects = true;
#endif
static constexpr size_t max_spare_objects = 16;
static std::array<void*, max_spare_objects> s_spare_objects;
static size_t s_spare_count = 0;

void* FontObject::operator new(size_t size)
{
    if (size == sizeof(FontObject) && s_spare_count > 0)
        return s_spare_objects[--s_spare_count];
    return ::operator new(size);
}

void FontObject::operator delete(void* storage)
{
    if (recycle_objects && storage && s_spare_count < max_spare_objects) {
        s_spare_objects[s_spare_count++] = storage;
        return;
    }
    ::operator delete(storage);
}

std::unique_ptr<FontObject> FontObject::create(const LOGFONTA& description)
{
    // The face name field need not be terminated when it is full.
    std::string_view face_name(description.lfFaceName, strnlen(description.lfFaceName, LF_FACESIZE));
    auto font = FontCache::the().font(face_name, description.lfHeight,
        description.lfWeight >= bold_weight_threshold, description.lfItalic != 0);
    if (!font)
        return nullptr;
    return std::unique_ptr<FontObject>(new FontObject(description, std::move(font)));
}

FontObject::FontObject(const LOGFONTA& description, std::shared_ptr<Font> font)
    : GdiObject(static_kind)
    , m_description(description)
    , m_font(std::move(font))
    , m_rotation(rotation_from_escapement(description.lfEscapement))
{ }

TEXTMETRICA FontObject::text_metrics() const
{
    const FontMetrics& m = m_font->metrics();
    TEXTMETRICA tm {};
    tm.tmHeight = m.height;
    tm.tmAscent = m.ascent;
    tm.tmDescent = m.descent;
    tm.tmInternalLeading = m.internal_leading;
    tm.tmExternalLeading = m.external_leading;
    tm.tmAveCharWidth = m.average_char_width;
    tm.tmMaxCharWidth = m.max_char_width;
    tm.tmWeight = m.weight;
    tm.tmOverhang = 0;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    // The range Windows reports for an outline font through the single-byte interface.
    tm.tmFirstChar = 0x1E;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = m.italic ? 0xFF : 0;
    tm.tmUnderlined = underline() ? 0xFF : 0;
    tm.tmStruckOut = strike_out() ? 0xFF : 0;
    tm.tmPitchAndFamily = m.pitch_and_family;
    tm.tmCharSet = ANSI_CHARSET;
    return tm;
}

} // namespace sorrel::gdi
