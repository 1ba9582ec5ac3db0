// The button's model: its public properties and their setter rules, persistence in the property
// store, and the lifecycle notifications.
//
// [SECTION] Help texts and registration
// [SECTION] Construction and shared helpers
// [SECTION] Face and outline settings
// [SECTION] Colour settings
// [SECTION] Caption, font and icon settings
// [SECTION] Other settings
// [SECTION] Lifecycle and persistence

#include "controls/button/QuillButton.h"

#include "platform/host/Accessibility.h"
#include "platform/host/ControlRegistry.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace sorrel::controls {

namespace {

constexpr std::string_view GraphicsModeCaution
    = "Caution: Using non-default may cause buttons to not display properly on other operating systems.";
constexpr std::string_view GradientFaceMessage
    = "This option is not available for Windowx XP or Machintosh style buttons";
constexpr std::string_view GradientPlatformMessage
    = "This option is not available on the following operating "
      "systems.\r\n\r\n - Win NT 4 and lower\r\n - Windows 95 and "
      "earlier";

constexpr std::array<std::pair<std::string_view, std::string_view>, 28> PropertyHelp {{
    {"ButtonType", "One of several button types. Read-only at runtime"},
    {"ButtonStyle", "Default rectangular or segmeneted"},
    {"ColorScheme", "Most colors are ignored unless Custom ColorScheme is applied. Read-only at runtime"},
    {"BackColor", "Not applicable unless Custom ColorScheme is applied."},
    {"ForeColor", "Color of button caption font."},
    {"MouseOver", "Font color when mouse hovers over a button. CustomColor Scheme must be applied. "},
    {"EmbossEngraveMid",
        "Middle color between fore color and EmbossEngrave Shadow color. Not used with Shadow caption "
        "style."},
    {"EmbossEngraveShadow", "The shadow color used when embossing, engraving or shadowing button caption."},
    {"GradientStartColor", "N/A for Win95 & below. Color to begin gradient fill."},
    {"GradientStopColor", "N/A for Win95 & below. Color to end gradient fill."},
    {"GradientOrientation", ""},
    {"Caption", "Button Caption"},
    {"Font", "Button caption font"},
    {"CaptionStyle", "Engraved, Embossed, Shadowed or Plain. Applicable when ColorScheme is Custom Colors."},
    {"CaptionOrientation", "Changes text between horizontal and veritcal display. Read-only at runtime"},
    {"Alignment", "Alignment of caption within the button. Read-only at runtime"},
    {"Icon", "Button icon."},
    {"IconSize", "Icon size to display on button. Image list name and icon index must be provided."},
    {"IconAlignmentValue", "Icon left or right edge of caption. Read-only at runtime"},
    {"Enabled", "Returns/set value to determine whether button can interact with user-generated events."},
    {"ShowFocus",
        "When button has focus, display an inner rectangle or highlight button. Style dependent upon button "
        "type."},
    {"OptionButton",
        "IF set to True then button acts as an option button, otherwise acts as a command button."},
    {"Value",
        "Applicable only when OptionButton is set to true. Either True for selected or False for "
        "unselected."},
    {"GraphicsMode", "Used to force vertical text to display."},
    {"MousePointer", "Sets a custom mouse pointer."},
    {"MouseIcon", "Sets a custom mouse icon."},
    {"hwnd", "Button Window handle"},
    {"Container", ""},
}};

bool is_custom_scheme(SchemeKind scheme)
{
    return scheme == SchemeKind::Custom || scheme == SchemeKind::Gradient;
}

// A picture reference that holds no pixels counts as no picture.
bool holds_picture(const host::PictureRef& picture)
{
    return picture && picture->Type() != int16_t(host::PictureType::None) && picture->pixel_width() > 0
        && picture->pixel_height() > 0;
}

} // namespace

// [SECTION] Help texts and registration

std::string_view quill_button_property_help(std::string_view property)
{
    for (auto& [name, help] : PropertyHelp) {
        if (name == property)
            return help;
    }
    return {};
}

void register_quill_button()
{
    host::register_control_kind("QuillButton", [] { return std::make_unique<QuillButton>(); });
}

// [SECTION] Construction and shared helpers

QuillButton::QuillButton()
{
    TimerHover.on_tick = [this] { TimerHover_Timer(); };
    picIcon.Visible(false);
}

QuillButton::~QuillButton()
{
    release_caption_font();
    release_pen();
}

int QuillButton::face_width() const
{
    return int(host::round_half_even(ScaleWidth()));
}

int QuillButton::face_height() const
{
    return int(host::round_half_even(ScaleHeight()));
}

bool QuillButton::design_mode() const
{
    return !AmbientUserMode();
}

gdi::HDC QuillButton::parent_dc() const
{
    host::Form* form = Parent();
    return form ? form->hDC() : nullptr;
}

void QuillButton::mark(std::string_view key)
{
    if (design_mode())
        PropertyChanged(key);
}

void QuillButton::mark_all(std::initializer_list<std::string_view> keys)
{
    if (!design_mode())
        return;
    for (auto key : keys)
        PropertyChanged(key);
}

void QuillButton::attach_text_font(host::FontRef font)
{
    m_text_font_subscription.reset();
    TextFont = std::move(font);
    host::UserControl::Font(TextFont);
    if (TextFont)
        m_text_font_subscription
            = TextFont->subscribe([this](const std::string& name) { TextFont_FontChanged(name); });
}

int32_t QuillButton::effective_graphics_mode(int32_t requested)
{
    return requested >= 0 ? requested : ProbePlatform(false);
}

bool QuillButton::store_design_setting(
    int32_t& field, int32_t value, int32_t lowest, int32_t highest, std::string_view key)
{
    if (value < lowest || value > highest || value == field || !design_mode())
        return false;
    field = value;
    mark(key);
    return true;
}

// [SECTION] Face and outline settings

void QuillButton::ButtonType(int32_t value)
{
    if (value < int32_t(FaceType::Classic) || value > int32_t(FaceType::Macintosh) || value == m_button_type)
        return;
    // The XP and Macintosh faces have no gradient; this holds in both modes.
    const FaceType type = FaceType(value);
    if ((type == FaceType::XP || type == FaceType::Macintosh) && scheme() == SchemeKind::Gradient)
        set_scheme(SchemeKind::Custom);
    if (!design_mode())
        return;
    m_button_type = value;
    mark("BTYPE");
    UserControl_Resize();
}

void QuillButton::ButtonStyle(int32_t value)
{
    if (value == m_button_style || value < int32_t(OutlineStyle::Rectangle)
        || value > int32_t(OutlineStyle::SlantedLeft))
        return;
    if (!design_mode())
        return;
    // A segmented button has no room for a vertical caption.
    if (OutlineStyle(value) != OutlineStyle::Rectangle) {
        m_caption_orientation = 0;
        mark("ORIENT");
    }
    m_button_style = value;
    mark("BSTYLE");
    UserControl_Resize();
}

void QuillButton::CaptionOrientation(int32_t value)
{
    if (!store_design_setting(m_caption_orientation, value, 0, 2, "ORIENT"))
        return;
    m_layout_dirty = true;
    RefreshButton();
}

void QuillButton::Alignment(int32_t value)
{
    if (!store_design_setting(m_alignment, value, 0, 2, "ALIGN"))
        return;
    LayoutCaption();
    RefreshButton();
}

void QuillButton::ShowFocus(bool value)
{
    if (!design_mode())
        return;
    mark("SHOWF");
    m_show_focus = value;
}

// [SECTION] Colour settings

void QuillButton::ColorScheme(int32_t value)
{
    if (value < int32_t(SchemeKind::System) || value > int32_t(SchemeKind::Gradient)
        || value == m_color_scheme)
        return;
    bool design = design_mode();
    if (ProbePlatform(true) == -1) {
        // Without gradient fill no scheme change is offered at all.
        if (design)
            host().MsgBox(GradientPlatformMessage, host::vbOKOnly + host::vbInformation);
        return;
    }
    if (!design)
        return;
    m_color_scheme = value;
    mark_all({"COLTYPE", "BCOL", "FCOL", "FCOLO", "EMBOSSM", "EMBOSSS"});
    if (!is_custom_scheme(SchemeKind(value)))
        m_caption_style = 0;
    ApplyColorScheme(true);
    RefreshButton();
}

bool QuillButton::enter_custom_scheme(std::initializer_list<std::string_view> keys_when_switching)
{
    if (is_custom_scheme(scheme()))
        return true;
    if (!design_mode())
        return false;
    set_scheme(SchemeKind::Custom);
    mark_all(keys_when_switching);
    return true;
}

bool QuillButton::store_custom_color(gdi::Color& field, gdi::Color value, std::string_view key,
    std::initializer_list<std::string_view> keys_when_switching)
{
    // The current value is refused as given; a system-colour reference is resolved only when
    // stored, so that naming the button face switches a system-coloured button to custom colours.
    if (value == field || !enter_custom_scheme(keys_when_switching))
        return false;
    field = TranslateSystemColor(value);
    mark(key);
    ApplyColorScheme(false);
    return true;
}

void QuillButton::BackColor(gdi::Color value)
{
    if (!store_custom_color(m_back_color, value, "BCOL", {"COLTYPE", "FCOL", "FCOLO"}))
        return;
    // The greyed icon is backed with the face colour.
    PrepareIcon();
    RefreshButton();
}

void QuillButton::ForeColor(gdi::Color value)
{
    if (store_custom_color(m_fore_color, value, "FCOL", {"COLTYPE", "BCOL", "FCOLO"}))
        RefreshButton();
}

void QuillButton::MouseOver(gdi::Color value)
{
    if (store_custom_color(m_mouse_over, value, "FCOLO", {"COLTYPE", "BCOL", "FCOL"}))
        RefreshButton();
}

void QuillButton::EmbossEngraveShadow(gdi::Color value)
{
    if (store_custom_color(
            m_emboss_shadow, value, "EMBOSSS", {"COLTYPE", "FCOL", "FCOLO", "BCOL", "EMBOSSM"}))
        RefreshButton();
}

void QuillButton::EmbossEngraveMid(gdi::Color value)
{
    if (store_custom_color(m_emboss_mid, value, "EMBOSSM", {"COLTYPE", "FCOL", "FCOLO", "BCOL", "EMBOSSS"}))
        RefreshButton();
}

void QuillButton::CaptionStyle(int32_t value)
{
    if (value == m_caption_style || value < 0 || value > 3)
        return;
    if (!enter_custom_scheme({"COLTYPE", "BCOL", "FCOL", "FCOLO", "EMBOSSM", "EMBOSSS"}))
        return;
    m_caption_style = value;
    mark("STYLE");
    ApplyColorScheme(false);
    RefreshButton();
}

void QuillButton::GradientStartColor(gdi::Color value)
{
    set_gradient_color(m_gradient_start, value, "GStart", "GStop");
}

void QuillButton::GradientStopColor(gdi::Color value)
{
    set_gradient_color(m_gradient_stop, value, "GStop", "GStart");
}

void QuillButton::set_gradient_color(
    gdi::Color& field, gdi::Color value, std::string_view key, std::string_view other_key)
{
    if (value == field)
        return;
    bool design = design_mode();
    if (face_type() == FaceType::XP || face_type() == FaceType::Macintosh) {
        if (design)
            host().MsgBox(GradientFaceMessage, host::vbOKOnly + host::vbInformation);
        return;
    }
    if (scheme() != SchemeKind::Gradient) {
        if (!design)
            return;
        set_scheme(SchemeKind::Gradient);
        mark_all({"COLTYPE", "FCOL", "FCOLO", "BCOL", other_key});
    }
    field = TranslateSystemColor(value);
    mark(key);
    ApplyColorScheme(false);
    PrepareIcon();
    RefreshButton();
}

void QuillButton::GradientOrientation(int32_t value)
{
    // Stored at once in both modes; the face shows it from the next repaint.
    m_gradient_orientation = value;
    if (scheme() == SchemeKind::Gradient && design_mode()) {
        mark("GStyle");
        RefreshButton();
    }
}

// [SECTION] Caption, font and icon settings

void QuillButton::Caption(std::string value)
{
    m_caption = std::move(value);
    ParseAccessKey();
    mark("TX");
    m_layout_dirty = true;
    RefreshButton();
    accessible_changed(host::AccessibleEvent::Name);
}

void QuillButton::Font(host::FontRef font)
{
    // A button always has a caption font; "no font" is refused.
    if (!font)
        return;
    attach_text_font(std::move(font));
    mark("FONT");
    m_layout_dirty = true;
    RefreshButton();
}

void QuillButton::TextFont_FontChanged(const std::string& /*PropertyName*/)
{
    host::UserControl::Font(TextFont);
    mark("FONT");
    m_layout_dirty = true;
    RefreshButton();
}

void QuillButton::Icon(host::PictureRef picture)
{
    // A picture without pixels is stored as no picture.
    if (holds_picture(picture)) {
        m_icon = std::move(picture);
        m_has_icon = true;
    } else {
        m_icon = nullptr;
        m_has_icon = false;
    }
    mark("BTNICON");
    LayoutCaption();
    PrepareIcon();
    RefreshButton();
}

void QuillButton::IconSize(int32_t value)
{
    if (!store_design_setting(m_icon_size, value, 1, 4, "IconSize"))
        return;
    if (m_has_icon) {
        LayoutCaption();
        PrepareIcon();
        RefreshButton();
    }
}

void QuillButton::IconAlignmentValue(int32_t value)
{
    if (!store_design_setting(m_icon_alignment, value, 0, 1, "ICONAlign"))
        return;
    if (m_has_icon) {
        LayoutCaption();
        RefreshButton();
    }
}

// [SECTION] Other settings

void QuillButton::Enabled(bool value)
{
    bool was_enabled = host::Control::Enabled();
    m_enabled = value;
    host::Control::Enabled(value);
    mark("ENAB");
    if (value && !was_enabled)
        ResumeHover();
    RefreshButton();
}

void QuillButton::MousePointer(int32_t value)
{
    // The host takes 16-bit codes; a value that does not fit is no code it knows.
    if (value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max())
        host::UserControl::MousePointer(int16_t(value));
    mark("MPTR");
}

void QuillButton::MouseIcon(host::PictureRef picture)
{
    host::UserControl::MouseIcon(std::move(picture));
    mark("MICON");
}

void QuillButton::GraphicsMode(int32_t value)
{
    if (value >= 0)
        host().MsgBox(GraphicsModeCaution, host::vbOKOnly + host::vbExclamation);
    mark("GMODE");
    m_requested_graphics_mode = value;
    m_effective_graphics_mode = effective_graphics_mode(value);
    RefreshButton();
}

// [SECTION] Lifecycle and persistence

void QuillButton::UserControl_Initialize()
{
    m_last_mouse_button = 1;
    m_paint_ready = false;
}

void QuillButton::UserControl_InitProperties()
{
    host::AmbientProperties ambient = Ambient();

    m_enabled = true;
    host::Control::Enabled(true);

    m_caption = ambient.DisplayName.empty() ? Name() : ambient.DisplayName;
    ParseAccessKey();

    // The button gets its own copy of the container's font: renaming the face must not change
    // the font of the window and of every other control that shares it.
    host::FontRef font = ambient.Font ? ambient.Font->clone() : host::StdFont::create();
    font->Name("Times New Roman");
    attach_text_font(std::move(font));
    m_layout_dirty = true;

    m_button_type = int32_t(FaceType::Bevel);
    m_button_style = int32_t(OutlineStyle::Rectangle);
    m_color_scheme = int32_t(SchemeKind::System);
    m_back_color = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    m_fore_color = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
    m_gradient_start = 0;
    m_gradient_stop = 0xFF0000;
    m_gradient_orientation = 0;
    m_alignment = 1;
    m_caption_orientation = 0;
    m_icon_size = 2;
    m_icon_alignment = 0;
    m_requested_graphics_mode = -1;
    m_effective_graphics_mode = ProbePlatform(false);
    m_show_focus = true;

    ApplyColorScheme(false);
}

namespace {

// Reads that fall back to the default when the stored value cannot be converted (a damaged
// store), so that loading never fails.
template<class Convert>
auto read_or(const host::PropertyBag& bag, std::string_view key, const host::Variant& fallback,
    Convert convert) -> decltype(convert(fallback))
{
    try {
        return convert(bag.ReadProperty(key, fallback));
    } catch (const host::VariantError&) {
        return convert(fallback);
    }
}

int32_t read_long(const host::PropertyBag& bag, std::string_view key, int32_t fallback)
{
    return read_or(bag, key, host::Variant(fallback), [](const host::Variant& v) { return v.to_long(); });
}

gdi::Color read_colour(const host::PropertyBag& bag, std::string_view key, gdi::Color fallback)
{
    return read_or(
        bag, key, host::Variant::color(fallback), [](const host::Variant& v) { return v.to_color(); });
}

bool read_bool(const host::PropertyBag& bag, std::string_view key, bool fallback)
{
    return read_or(bag, key, host::Variant(fallback), [](const host::Variant& v) { return v.to_bool(); });
}

} // namespace

void QuillButton::UserControl_ReadProperties(host::PropertyBag& PropBag)
{
    m_button_type = read_long(PropBag, "BTYPE", 2);
    m_button_style = read_long(PropBag, "BSTYLE", 0);
    // Only the setter's shapes have an outline, margins and slants; any other stored shape is
    // the rectangle, for every painter alike.
    if (m_button_style < int32_t(OutlineStyle::Rectangle)
        || m_button_style > int32_t(OutlineStyle::SlantedLeft))
        m_button_style = int32_t(OutlineStyle::Rectangle);
    m_value = read_bool(PropBag, "OPTVAL", false);
    m_option_button = read_bool(PropBag, "OPTMOD", false);
    m_caption
        = read_or(PropBag, "TX", host::Variant(Name()), [](const host::Variant& v) { return v.to_string(); });
    m_enabled = read_bool(PropBag, "ENAB", true);

    host::FontRef current_font = host::UserControl::Font();
    host::FontRef font = read_or(
        PropBag, "FONT", host::Variant(current_font), [](const host::Variant& v) { return v.to_font(); });
    if (!font)
        font = current_font ? current_font : host::StdFont::create();
    TextFont = font;

    m_color_scheme = read_long(PropBag, "COLTYPE", 1);
    m_back_color = read_colour(PropBag, "BCOL", gdi::GetSysColor(gdi::COLOR_BTNFACE));
    m_fore_color = read_colour(PropBag, "FCOL", gdi::GetSysColor(gdi::COLOR_BTNTEXT));
    m_mouse_over = read_colour(PropBag, "FCOLO", gdi::GetSysColor(gdi::COLOR_BTNTEXT));
    m_gradient_start = read_colour(PropBag, "GStart", 0);
    m_gradient_stop = read_colour(PropBag, "GStop", 0xFF0000);
    m_gradient_orientation = read_long(PropBag, "GStyle", 0);
    m_emboss_mid = read_colour(PropBag, "EMBOSSM", m_back_color);
    m_emboss_shadow = read_colour(PropBag, "EMBOSSS", gdi::GetSysColor(gdi::COLOR_BTNHIGHLIGHT));
    int16_t pointer = read_or(
        PropBag, "MPTR", host::Variant(int16_t(0)), [](const host::Variant& v) { return v.to_integer(); });
    host::UserControl::MousePointer(pointer);
    host::UserControl::MouseIcon(read_or(PropBag, "MICON", host::Variant(host::PictureRef()),
        [](const host::Variant& v) { return v.to_picture(); }));
    m_alignment = read_long(PropBag, "ALIGN", 1);
    m_icon_alignment = read_long(PropBag, "ICONAlign", 0);
    m_caption_style = read_long(PropBag, "STYLE", 0);
    m_caption_orientation = read_long(PropBag, "ORIENT", 0);
    m_icon_size = read_long(PropBag, "IconSize", 2);
    m_icon = read_or(PropBag, "BTNICON", host::Variant(host::PictureRef()),
        [](const host::Variant& v) { return v.to_picture(); });
    int32_t platform_mode = ProbePlatform(false);
    m_requested_graphics_mode = read_long(PropBag, "GMODE", platform_mode);
    m_effective_graphics_mode = m_requested_graphics_mode >= 0 ? m_requested_graphics_mode : platform_mode;
    m_show_focus = read_bool(PropBag, "SHOWF", true);

    if (ProbePlatform(true) == -1 && scheme() == SchemeKind::Gradient)
        set_scheme(SchemeKind::Custom);
    host::Control::Enabled(m_enabled);
    attach_text_font(TextFont);
    m_layout_dirty = true;
    ParseAccessKey();
    if (!holds_picture(m_icon))
        m_icon = nullptr;
    m_has_icon = m_icon != nullptr;
    ApplyColorScheme(false);
}

void QuillButton::UserControl_WriteProperties(host::PropertyBag& PropBag)
{
    auto colour = [](gdi::Color c) { return host::Variant::color(c); };
    auto whole = [](int32_t v) { return host::Variant(v); };

    PropBag.WriteProperty("BTNICON", host::Variant(m_icon));
    PropBag.WriteProperty("BTYPE", whole(m_button_type));
    PropBag.WriteProperty("TX", host::Variant(m_caption));
    PropBag.WriteProperty("ENAB", host::Variant(m_enabled));
    PropBag.WriteProperty("FONT", host::Variant(TextFont));
    PropBag.WriteProperty("COLTYPE", whole(m_color_scheme));
    PropBag.WriteProperty("BCOL", colour(m_back_color));
    PropBag.WriteProperty("FCOL", colour(m_fore_color));
    PropBag.WriteProperty("FCOLO", colour(m_mouse_over));
    PropBag.WriteProperty("EMBOSSM", colour(m_emboss_mid));
    PropBag.WriteProperty("EMBOSSS", colour(m_emboss_shadow));
    PropBag.WriteProperty("MPTR", host::Variant(host::UserControl::MousePointer()));
    PropBag.WriteProperty("MICON", host::Variant(host::UserControl::MouseIcon()));
    PropBag.WriteProperty("ALIGN", whole(m_alignment));
    PropBag.WriteProperty("ICONAlign", whole(m_icon_alignment));
    PropBag.WriteProperty("ORIENT", whole(m_caption_orientation));
    PropBag.WriteProperty("STYLE", whole(m_caption_style));
    PropBag.WriteProperty("IconSize", whole(m_icon_size));
    PropBag.WriteProperty("SHOWF", host::Variant(m_show_focus));
    PropBag.WriteProperty("BSTYLE", whole(m_button_style));
    PropBag.WriteProperty("OPTVAL", host::Variant(m_value));
    PropBag.WriteProperty("OPTMOD", host::Variant(m_option_button));
    PropBag.WriteProperty("GStart", colour(m_gradient_start));
    PropBag.WriteProperty("GStop", colour(m_gradient_stop));
    PropBag.WriteProperty("GStyle", whole(m_gradient_orientation));
    PropBag.WriteProperty("GMODE", whole(m_requested_graphics_mode));
}

void QuillButton::UserControl_Terminate()
{
    // The outline belongs to the window once handed over; it goes with the window.
    TimerHover.Enabled(false);
    m_text_font_subscription.reset();
    m_icon = nullptr;
    m_has_icon = false;
    m_terminated = true;
}

} // namespace sorrel::controls
