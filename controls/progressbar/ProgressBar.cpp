#include "controls/progressbar/ProgressBar.h"

#include "controls/progressbar/ProgressBarPictures.h"
#include "platform/host/Accessibility.h"
#include "platform/host/ControlRegistry.h"
#include "platform/host/Host.h"

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace sorrel::controls {

namespace {

// A stored number as a double; something that is no number (or not a finite one) counts as none.
std::optional<double> number_of(const host::Variant& value)
{
    try {
        if (value.is_empty())
            return 0.0;
        double number = value.to_double();
        if (!std::isfinite(number))
            return std::nullopt;
        return number;
    } catch (const host::VariantError&) {
        return std::nullopt;
    }
}

double number_or_zero(const host::Variant& value)
{
    return number_of(value).value_or(0.0);
}

// Min and Max read back as Longs; a stored value beyond the Long range reads as its nearest end.
int32_t long_of(const host::Variant& value)
{
    double v = host::round_half_even(number_or_zero(value));
    if (!(v >= std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return int32_t(v);
}

void show_error(host::Host& host, std::string_view text)
{
    host.MsgBox(text, host::vbCritical, "Error");
}

} // namespace

ProgressBar::ProgressBar()
{
    for (int look = 0; look < LookCount; ++look) {
        for (int i = 0; i < 3; ++i) {
            host::Image& holder = m_looks[size_t(look)][size_t(i)];
            holder.attach(*this, std::string(LookNames[size_t(look)]), int16_t(i));
            holder.Picture(progressbar_pictures::built_in().find(
                std::string(LookNames[size_t(look)]) + std::to_string(i)));
        }
    }
    for (int i = 0; i < 3; ++i)
        m_pc[size_t(i)].attach(*this, "pc", int16_t(i));
    blank.attach(*this, "blank");
    blank.Picture(progressbar_pictures::built_in().find("blank"));
    img.attach(*this, "img");
    img.Picture(progressbar_pictures::built_in().find("img"));
}

// [Properties]

void ProgressBar::Value(int32_t value)
{
    if (value > number_or_zero(m_max)) {
        show_error(host(), "Value can NOT be higher than Maximum !");
        return;
    }
    if (value < number_or_zero(m_min)) {
        show_error(host(), "Value can NOT be smaller than minimum !");
        return;
    }
    bool changed = value != m_value;
    m_value = value;
    PropertyChanged("Value");
    RepaintAfterValue();
    if (changed)
        accessible_changed(host::AccessibleEvent::Value);
}

void ProgressBar::Style(int32_t style)
{
    m_style = style;
    PropertyChanged("Style");
}

void ProgressBar::ProgressLook(int32_t look)
{
    m_progress_look = look;
    PropertyChanged("ProgressLook");
    ApplyLook();
}

double ProgressBar::min_number() const
{
    return number_or_zero(m_min);
}

double ProgressBar::max_number() const
{
    return number_or_zero(m_max);
}

int32_t ProgressBar::Min() const
{
    return long_of(m_min);
}

int32_t ProgressBar::Max() const
{
    return long_of(m_max);
}

std::string ProgressBar::dump_text() const
{
    return "min " + std::to_string(Min()) + " max " + std::to_string(Max()) + " value "
        + std::to_string(m_value);
}

void ProgressBar::Min(const host::Variant& value)
{
    auto number = number_of(value);
    if (!number) // Not a number at all: refused without a word, as Basic code would fail here.
        return;
    if (*number > number_or_zero(m_max)) {
        show_error(host(), "Minimum can NOT be biger than maximum !");
        return;
    }
    if (*number < 0) {
        show_error(host(), "Minimum can NOT be smaller then 0 !");
        return;
    }
    m_min = value;
    PropertyChanged("Min");
    accessible_changed(host::AccessibleEvent::Value);
}

void ProgressBar::Max(const host::Variant& value)
{
    auto number = number_of(value);
    if (!number)
        return;
    if (*number < number_or_zero(m_min)) {
        show_error(host(), "Maximum can NOT be smaller than minimum !");
        return;
    }
    m_max = value;
    PropertyChanged("Max");
    accessible_changed(host::AccessibleEvent::Value);
}

bool ProgressBar::describe_accessible(host::AccessibleNode& node) const
{
    node.role = host::AccessibleRole::ProgressBar;
    node.range = host::AccessibleRange {double(Min()), double(Max()), double(m_value)};
    node.value = std::to_string(host::accessible_percent(*node.range)) + "%";
    return true;
}

void ProgressBar::ApplyLook()
{
    if (m_progress_look < 0 || m_progress_look >= LookCount)
        return;
    const TileSet& set = m_looks[size_t(m_progress_look)];
    for (size_t i = 0; i < 3; ++i)
        m_pc[i].Picture(set[i].Picture());
}

void ProgressBar::RepaintAfterValue()
{
    if (m_style == 0) {
        PaintBlocks();
        return;
    }
    if (number_or_zero(m_max) == m_value)
        UserControl_Resize();
    else
        PaintAlternate();
}

// [Persistence]

void ProgressBar::UserControl_InitProperties()
{
    m_max = host::Variant(int16_t(100));
    m_min = host::Variant(int16_t(0));
    m_value = 0;
    m_style = 0;
    m_progress_look = 0;
}

void ProgressBar::UserControl_ReadProperties(host::PropertyBag& PropBag)
{
    // A damaged entry reads as the property's default instead of failing the whole load.
    auto read_number = [&](std::string_view key, int16_t fallback) {
        host::Variant value = PropBag.ReadProperty(key, fallback);
        return number_of(value) ? value : host::Variant(fallback);
    };
    auto read_long = [&](std::string_view key) {
        try {
            return PropBag.ReadProperty(key, int32_t(0)).to_long();
        } catch (const host::VariantError&) {
            return int32_t(0);
        }
    };
    m_min = read_number("Min", 0);
    m_max = read_number("Max", 100);
    m_value = read_long("Value");
    m_style = read_long("Style");
    ProgressLook(read_long("ProgressLook"));
}

void ProgressBar::UserControl_WriteProperties(host::PropertyBag& PropBag)
{
    PropBag.WriteProperty("Min", m_min, int16_t(0));
    PropBag.WriteProperty("Max", m_max, int16_t(100));
    PropBag.WriteProperty("Value", m_value, int32_t(0));
    PropBag.WriteProperty("Style", m_style, int32_t(0));
    PropBag.WriteProperty("ProgressLook", m_progress_look, int32_t(0));
}

host::ErrorOr<void> register_progress_bar()
{
    if (auto loaded = progressbar_pictures::built_in().load(); loaded.is_error())
        return loaded;
    host::register_control_kind("ProgressBar", [] { return std::make_unique<ProgressBar>(); });
    return {};
}

} // namespace sorrel::controls
