#include "controls/check/Check.h"

#include "controls/check/CheckPictures.h"
#include "platform/host/ControlRegistry.h"
#include "platform/host/Variant.h"

#include <memory>

namespace sorrel::controls {

namespace {

constexpr gdi::Color DefaultCaptionColor = 0x00800000;
constexpr gdi::Color DefaultBackColor = 0x00FFFFFF;
constexpr gdi::Color DefaultDisabledColor = 0x00C0C0C0;

// Runs one step of a sequence whose steps all run even when one meets a damaged value.
template<class Step> void step(Step&& run)
{
    try {
        run();
    } catch (const host::VariantError&) { }
}

} // namespace

Check::Check()
{
    Picture1.Move(0, 0, 195, 195);
    Check1.Move(-30, 0, 855, 195);
    Check1.Caption("Check1");
    Check1.BackColor(DefaultBackColor);
    Picture1.BackColor(DefaultBackColor);
    host::Image* holders[]
        = {&IdleNoValue, &IdleChecked, &IdleGreyed, &MouseoverNoValue, &MouseoverChecked, &MouseoverGreyed,
            &PushedNoValue, &PushedChecked, &PushedGreyed, &DisabledNoValue, &CheckedDisabled, &DisabledGrey};
    for (host::Image* holder : holders) {
        holder->Move(0, 0, 195, 195);
        holder->Picture(check_pictures::built_in().find(holder->Name()));
    }

    Picture1.on_mouse_down
        = [this](int16_t b, int16_t s, float x, float y) { Picture1_MouseDown(b, s, x, y); };
    Picture1.on_mouse_up = [this](int16_t b, int16_t s, float x, float y) { Picture1_MouseUp(b, s, x, y); };
    Picture1.on_dbl_click = [this] { Picture1_DblClick(); };
    Check1.on_mouse_down = [this](int16_t b, int16_t s, float x, float y) { Check1_MouseDown(b, s, x, y); };
    Check1.on_mouse_up = [this](int16_t b, int16_t s, float x, float y) { Check1_MouseUp(b, s, x, y); };
    Check1.on_dbl_click = [this] { Check1_DblClick(); };
    Timer1.on_tick = [this] { Timer1_Timer(); };
}

// [Properties]

void Check::Caption(std::string caption)
{
    Check1.Caption(std::move(caption));
    PropertyChanged("Caption");
}

std::string Check::dump_text() const
{
    // The stored value: the getter would show the resting picture as it reads.
    return "value " + std::to_string(m_value) + " " + host::quoted(Check1.Caption());
}

void Check::Font(const host::FontRef& font)
{
    Check1.Font(font);
}

void Check::ForeColor(gdi::Color color)
{
    m_fore_color = color;
    PropertyChanged("ForeColor");
    Check1.ForeColor(color);
}

void Check::BackColor(gdi::Color color)
{
    Check1.BackColor(color);
    UserControl::BackColor(color);
    Picture1.BackColor(color);
    PropertyChanged("BackColor");
}

void Check::DisabledColor(gdi::Color color)
{
    m_disabled_color = color;
    PropertyChanged("DisabledColor");
}

// [Initialisation and persistence]

void Check::UserControl_InitProperties()
{
    const host::AmbientProperties ambient = Ambient();
    Value(0);
    Caption(ambient.DisplayName);
    Enabled(true);
    Font(ambient.Font);
    m_fore_color = 0;
    m_disabled_color = DefaultDisabledColor;
}

void Check::UserControl_ReadProperties(host::PropertyBag& PropBag)
{
    const host::AmbientProperties ambient = Ambient();
    step([&] { Value(PropBag.ReadProperty("Value", int32_t(0)).to_long()); });
    step([&] { Caption(PropBag.ReadProperty("Caption", ambient.DisplayName).to_string()); });
    step([&] { Enabled(PropBag.ReadProperty("Enabled", true).to_bool()); });
    // A damaged font entry leaves the caption in the form's font rather than in none.
    host::FontRef font = ambient.Font;
    step([&] { font = PropBag.ReadProperty("Font", ambient.Font).to_font(); });
    Font(font);
    step([&] { Check1.ForeColor(PropBag.ReadProperty("ForeColor", DefaultCaptionColor).to_color()); });
    step([&] { Check1.Caption(PropBag.ReadProperty("Caption", ambient.DisplayName).to_string()); });
    step([&] { Check1.BackColor(PropBag.ReadProperty("BackColor", DefaultBackColor).to_color()); });
    step([&] { m_fore_color = PropBag.ReadProperty("ForeColor").to_color(); });
    step([&] { m_disabled_color = PropBag.ReadProperty("DisabledColor", DefaultDisabledColor).to_color(); });
}

void Check::UserControl_WriteProperties(host::PropertyBag& PropBag)
{
    const host::AmbientProperties ambient = Ambient();
    PropBag.WriteProperty("Value", m_value, int32_t(0));
    PropBag.WriteProperty("Caption", Check1.Caption(), ambient.DisplayName);
    PropBag.WriteProperty("Enabled", m_enabled, true);
    PropBag.WriteProperty("Font", Check1.Font(), ambient.Font);
    PropBag.WriteProperty("ForeColor", Check1.ForeColor(), DefaultCaptionColor);
    PropBag.WriteProperty("Caption", Check1.Caption(), "Check1");
    PropBag.WriteProperty("BackColor", Check1.BackColor(), DefaultBackColor);
    PropBag.WriteProperty("ForeColor", m_fore_color, host::Variant());
    PropBag.WriteProperty("DisabledColor", m_disabled_color, DefaultDisabledColor);
}

// [Layout]

void Check::UserControl_Resize()
{
    const float H = Height();
    const float W = Width();
    Picture1.Top(H / 2 - Picture1.Height() / 2);
    UserControl::BackColor(Check1.BackColor());
    // The state pictures have soft, see-through corners: they show the box's background.
    Picture1.BackColor(Check1.BackColor());
    Check1.ForeColor(m_enabled ? m_fore_color : m_disabled_color);
    Check1.Width(W - Check1.Left());
    Check1.Height(H);
    Check1.Top(H / 2 - Check1.Height() / 2);
}

void Check::UserControl_Show()
{
    Timer1.Enabled(run_mode());
}

bool Check::run_mode() const
{
    return AmbientUserMode();
}

host::ErrorOr<void> register_check()
{
    if (auto loaded = check_pictures::built_in().load(); loaded.is_error())
        return loaded;
    host::register_control_kind("Check", [] { return std::make_unique<Check>(); });
    return {};
}

} // namespace sorrel::controls
