// How the standard controls keep their design in a form file: each key is read with the
// control's current value as default, so a file names only what differs.

#include "platform/host/CheckBox.h"
#include "platform/host/Frame.h"
#include "platform/host/Image.h"
#include "platform/host/PictureBox.h"
#include "platform/host/TextBox.h"
#include "platform/host/Timer.h"

namespace sorrel::host {

namespace {

// A stored value of the wrong type leaves the property as it was.
template<class F> void read(const PropertyBag& bag, std::string_view key, F&& apply)
{
    if (!bag.contains(key))
        return;
    try {
        apply(bag.ReadProperty(key));
    } catch (const VariantError&) { }
}

} // namespace

void Frame::read_design_properties(const PropertyBag& bag)
{
    read(bag, "Caption", [&](const Variant& v) { Caption(v.to_string()); });
    read(bag, "BorderStyle", [&](const Variant& v) { BorderStyle(v.to_integer()); });
    read(bag, "BackColor", [&](const Variant& v) { BackColor(v.to_color()); });
    read(bag, "ForeColor", [&](const Variant& v) { ForeColor(v.to_color()); });
    read(bag, "Font", [&](const Variant& v) {
        if (auto font = v.to_font())
            Font(font);
    });
}

void Frame::write_design_properties(PropertyBag& bag) const
{
    bag.WriteProperty("Caption", m_caption, std::string());
    bag.WriteProperty("BorderStyle", m_border_style, int16_t(1));
    bag.WriteProperty("BackColor", Variant::color(BackColor()), Variant::color(0x8000000F));
    bag.WriteProperty("ForeColor", Variant::color(ForeColor()), Variant::color(0x80000012));
    if (Font())
        bag.WriteProperty("Font", Font());
}

void TextBox::read_design_properties(const PropertyBag& bag)
{
    read(bag, "MultiLine", [&](const Variant& v) { MultiLine(v.to_bool()); });
    read(bag, "Alignment", [&](const Variant& v) { Alignment(v.to_integer()); });
    read(bag, "Locked", [&](const Variant& v) { Locked(v.to_bool()); });
    read(bag, "BorderStyle", [&](const Variant& v) { BorderStyle(v.to_integer()); });
    read(bag, "BackColor", [&](const Variant& v) { BackColor(v.to_color()); });
    read(bag, "ForeColor", [&](const Variant& v) { ForeColor(v.to_color()); });
    read(bag, "Font", [&](const Variant& v) {
        if (auto font = v.to_font())
            Font(font);
    });
    read(bag, "Text", [&](const Variant& v) { Text(v.to_string()); });
}

void TextBox::write_design_properties(PropertyBag& bag) const
{
    bag.WriteProperty("MultiLine", m_multi_line, false);
    bag.WriteProperty("Alignment", m_alignment, int16_t(0));
    bag.WriteProperty("Locked", m_locked, false);
    bag.WriteProperty("BorderStyle", m_border_style, int16_t(1));
    bag.WriteProperty("BackColor", Variant::color(BackColor()), Variant::color(0x80000005));
    bag.WriteProperty("ForeColor", Variant::color(ForeColor()), Variant::color(0x80000008));
    if (Font())
        bag.WriteProperty("Font", Font());
    bag.WriteProperty("Text", m_text, std::string());
}

void CheckBox::read_design_properties(const PropertyBag& bag)
{
    read(bag, "Caption", [&](const Variant& v) { Caption(v.to_string()); });
    read(bag, "Value", [&](const Variant& v) { Value(v.to_integer()); });
    read(bag, "BackColor", [&](const Variant& v) { BackColor(v.to_color()); });
    read(bag, "ForeColor", [&](const Variant& v) { ForeColor(v.to_color()); });
    read(bag, "Font", [&](const Variant& v) {
        if (auto font = v.to_font())
            Font(font);
    });
}

void CheckBox::write_design_properties(PropertyBag& bag) const
{
    bag.WriteProperty("Caption", m_caption);
    bag.WriteProperty("Value", m_value, int16_t(0));
    bag.WriteProperty("BackColor", Variant::color(BackColor()), Variant::color(0x8000000F));
    bag.WriteProperty("ForeColor", Variant::color(ForeColor()), Variant::color(0x80000012));
    if (Font())
        bag.WriteProperty("Font", Font());
}

void PictureBox::read_design_properties(const PropertyBag& bag)
{
    read(bag, "BackColor", [&](const Variant& v) { BackColor(v.to_color()); });
    read(bag, "BorderStyle", [&](const Variant& v) { BorderStyle(v.to_integer()); });
    read(bag, "Picture", [&](const Variant& v) { Picture(v.to_picture()); });
}

void PictureBox::write_design_properties(PropertyBag& bag) const
{
    bag.WriteProperty("BackColor", Variant::color(BackColor()), Variant::color(0x8000000F));
    bag.WriteProperty("BorderStyle", m_border_style, int16_t(0));
    if (m_picture)
        bag.WriteProperty("Picture", m_picture);
}

void Image::read_design_properties(const PropertyBag& bag)
{
    read(bag, "Stretch", [&](const Variant& v) { Stretch(v.to_bool()); });
    read(bag, "Picture", [&](const Variant& v) { Picture(v.to_picture()); });
}

void Image::write_design_properties(PropertyBag& bag) const
{
    bag.WriteProperty("Stretch", m_stretch, false);
    if (m_picture)
        bag.WriteProperty("Picture", m_picture);
}

void Timer::read_design_properties(const PropertyBag& bag)
{
    read(bag, "Interval", [&](const Variant& v) { Interval(v.to_long()); });
    read(bag, "Enabled", [&](const Variant& v) { Enabled(v.to_bool()); });
}

void Timer::write_design_properties(PropertyBag& bag) const
{
    bag.WriteProperty("Interval", m_interval, int32_t(0));
    bag.WriteProperty("Enabled", m_enabled, true);
}

} // namespace sorrel::host
