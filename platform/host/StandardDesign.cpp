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

// The colours and font of a control on its own canvas, stored alike by each of them.
void read_colours_and_font(CanvasControl& control, const PropertyBag& bag)
{
    read(bag, "BackColor", [&](const Variant& v) { control.BackColor(v.to_color()); });
    read(bag, "ForeColor", [&](const Variant& v) { control.ForeColor(v.to_color()); });
    read(bag, "Font", [&](const Variant& v) {
        if (auto font = v.to_font())
            control.Font(font);
    });
}

void write_colours_and_font(
    const CanvasControl& control, PropertyBag& bag, gdi::Color back_color, gdi::Color fore_color)
{
    bag.WriteProperty("BackColor", Variant::color(control.BackColor()), Variant::color(back_color));
    bag.WriteProperty("ForeColor", Variant::color(control.ForeColor()), Variant::color(fore_color));
    if (control.Font())
        bag.WriteProperty("Font", control.Font());
}

} // namespace

void Frame::read_design_properties(const PropertyBag& bag)
{
    read(bag, "Caption", [&](const Variant& v) { Caption(v.to_string()); });
    read(bag, "BorderStyle", [&](const Variant& v) { BorderStyle(v.to_integer()); });
    read_colours_and_font(*this, bag);
}

void Frame::write_design_properties(PropertyBag& bag) const
{
    bag.WriteProperty("Caption", m_caption, std::string());
    bag.WriteProperty("BorderStyle", m_border_style, int16_t(1));
    write_colours_and_font(*this, bag, 0x8000000F, 0x80000012);
}

void TextBox::read_design_properties(const PropertyBag& bag)
{
    read(bag, "MultiLine", [&](const Variant& v) { MultiLine(v.to_bool()); });
    read(bag, "Alignment", [&](const Variant& v) { Alignment(v.to_integer()); });
    read(bag, "Locked", [&](const Variant& v) { Locked(v.to_bool()); });
    read(bag, "BorderStyle", [&](const Variant& v) { BorderStyle(v.to_integer()); });
    read_colours_and_font(*this, bag);
    read(bag, "Text", [&](const Variant& v) { Text(v.to_string()); });
}

void TextBox::write_design_properties(PropertyBag& bag) const
{
    bag.WriteProperty("MultiLine", m_multi_line, false);
    bag.WriteProperty("Alignment", m_alignment, int16_t(0));
    bag.WriteProperty("Locked", m_locked, false);
    bag.WriteProperty("BorderStyle", m_border_style, int16_t(1));
    write_colours_and_font(*this, bag, 0x80000005, 0x80000008);
    bag.WriteProperty("Text", m_text, std::string());
}

void CheckBox::read_design_properties(const PropertyBag& bag)
{
    read(bag, "Caption", [&](const Variant& v) { Caption(v.to_string()); });
    read(bag, "Value", [&](const Variant& v) { Value(v.to_integer()); });
    read_colours_and_font(*this, bag);
}

void CheckBox::write_design_properties(PropertyBag& bag) const
{
    bag.WriteProperty("Caption", m_caption);
    bag.WriteProperty("Value", m_value, int16_t(0));
    write_colours_and_font(*this, bag, 0x8000000F, 0x80000012);
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
