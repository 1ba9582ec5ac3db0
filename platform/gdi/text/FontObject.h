#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/gdi/ObjectTable.h"
#include "platform/gdi/text/Font.h"

#include <cstddef>
#include <memory>

namespace sorrel::gdi {

// The object behind an HFONT: the description it was created from and the cached sized font it
// resolved to. Creating the same description again shares the sized font and its glyphs.
class FontObject final : public GdiObject {
public:
    static constexpr ObjectKind static_kind = ObjectKind::Font;

    // Null when the description is missing or no face at all can be loaded.
    static std::unique_ptr<FontObject> create(const LOGFONTA&);

    const LOGFONTA& description() const { return m_description; }
    Font& font() const { return *m_font; }
    Rotation rotation() const { return m_rotation; }
    bool underline() const { return m_description.lfUnderline != 0; }
    bool strike_out() const { return m_description.lfStrikeOut != 0; }

    TEXTMETRICA text_metrics() const;

    // Controls make and delete their fonts on every paint: the storage is recycled.
    static void* operator new(size_t);
    static void operator delete(void*);

private:
    FontObject(const LOGFONTA&, std::shared_ptr<Font>);

    LOGFONTA m_description;
    std::shared_ptr<Font> m_font;
    Rotation m_rotation {Rotation::None};
};

} // namespace sorrel::gdi
