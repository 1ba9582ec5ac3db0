#include "platform/host/StdFont.h"

#include "platform/host/PropertyBag.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sorrel::host {

StdFont::Subscription::Subscription(Subscription&& other) noexcept
    : m_font(std::move(other.m_font))
    , m_id(other.m_id)
{
    other.m_id = 0;
}

StdFont::Subscription& StdFont::Subscription::operator=(Subscription&& other) noexcept
{
    if (this != &other) {
        reset();
        m_font = std::move(other.m_font);
        m_id = other.m_id;
        other.m_id = 0;
    }
    return *this;
}

void StdFont::Subscription::reset()
{
    if (auto font = m_font.lock()) {
        std::erase_if(font->m_subscribers, [&](auto& s) { return s.first == m_id; });
    }
    m_font.reset();
    m_id = 0;
}

StdFont::StdFont(std::string name, double size)
    : m_name(std::move(name))
    , m_size_e4(std::llround(size * 10000.0))
{ }

std::shared_ptr<StdFont> StdFont::create(std::string name, double size)
{
    return std::make_shared<StdFont>(std::move(name), size);
}

std::shared_ptr<StdFont> StdFont::clone() const
{
    auto copy = create(m_name, Size());
    copy->m_size_e4 = m_size_e4;
    copy->m_weight = m_weight;
    copy->m_charset = m_charset;
    copy->m_italic = m_italic;
    copy->m_underline = m_underline;
    copy->m_strikethrough = m_strikethrough;
    return copy;
}

void StdFont::changed(const char* property)
{
    // Handlers may subscribe or unsubscribe while we call them: iterate over a copy.
    auto subscribers = m_subscribers;
    std::string name(property);
    for (auto& [id, handler] : subscribers) {
        if (handler)
            handler(name);
    }
}

void StdFont::Name(std::string name)
{
    if (name == m_name)
        return;
    m_name = std::move(name);
    changed("Name");
}

void StdFont::Size(double points)
{
    if (!std::isfinite(points) || points <= 0 || points > 2160)
        return; // the font dialog's range; other sizes are refused
    int64_t size = std::llround(points * 10000.0);
    if (size == m_size_e4)
        return;
    m_size_e4 = size;
    changed("Size");
}

void StdFont::Bold(bool bold)
{
    int16_t weight = bold ? 700 : 400;
    if (weight == m_weight)
        return;
    m_weight = weight;
    changed("Bold");
}

void StdFont::Italic(bool italic)
{
    if (italic == m_italic)
        return;
    m_italic = italic;
    changed("Italic");
}

void StdFont::Underline(bool underline)
{
    if (underline == m_underline)
        return;
    m_underline = underline;
    changed("Underline");
}

void StdFont::Strikethrough(bool strikethrough)
{
    if (strikethrough == m_strikethrough)
        return;
    m_strikethrough = strikethrough;
    changed("Strikethrough");
}

void StdFont::Weight(int16_t weight)
{
    weight = std::clamp<int16_t>(weight, 0, 1000);
    if (weight == m_weight)
        return;
    m_weight = weight;
    changed("Weight");
}

void StdFont::Charset(int16_t charset)
{
    if (charset == m_charset)
        return;
    m_charset = charset;
    changed("Charset");
}

StdFont::Subscription StdFont::subscribe(ChangeHandler handler)
{
    int id = m_next_id++;
    m_subscribers.emplace_back(id, std::move(handler));
    return Subscription(weak_from_this(), id);
}

bool StdFont::same_as(const StdFont& other) const
{
    return keys_match(m_name, other.m_name) && m_size_e4 == other.m_size_e4 && m_weight == other.m_weight
        && m_charset == other.m_charset && m_italic == other.m_italic && m_underline == other.m_underline
        && m_strikethrough == other.m_strikethrough;
}

gdi::LOGFONTA StdFont::to_logfont(int twips_per_pixel_y) const
{
    gdi::LOGFONTA lf {};
    if (twips_per_pixel_y <= 0)
        twips_per_pixel_y = 15;
    // A negative height asks for that character height: points * 20 twips, in pixels.
    lf.lfHeight = -gdi::LONG(std::lround(Size() * 20.0 / twips_per_pixel_y));
    lf.lfWeight = m_weight;
    lf.lfItalic = m_italic;
    lf.lfUnderline = m_underline;
    lf.lfStrikeOut = m_strikethrough;
    lf.lfCharSet = gdi::BYTE(m_charset);
    size_t n = std::min(m_name.size(), size_t(gdi::LF_FACESIZE - 1));
    std::memcpy(lf.lfFaceName, m_name.data(), n);
    lf.lfFaceName[n] = 0;
    return lf;
}

} // namespace sorrel::host
