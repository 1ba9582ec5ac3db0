#include "platform/host/UserControl.h"

#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <cmath>

namespace sorrel::host {

UserControl::UserControl() = default;
UserControl::~UserControl() = default;

static int tpp_x()
{
    Host* host = Host::current_or_null();
    return host ? host->TwipsPerPixelX() : 15;
}

static int tpp_y()
{
    Host* host = Host::current_or_null();
    return host ? host->TwipsPerPixelY() : 15;
}

// Twips in one unit of each scale mode; pixels depend on the host's ratio.
static double twips_per_unit(int16_t mode, bool vertical)
{
    switch (mode) {
    case vbTwips:
        return 1.0;
    case vbPoints:
        return 20.0;
    case vbPixels:
        return vertical ? tpp_y() : tpp_x();
    case vbInches:
        return 1440.0;
    case vbMillimeters:
        return 1440.0 / 25.4;
    case vbCentimeters:
        return 1440.0 / 2.54;
    case vbHimetric:
        return 1440.0 / 2540.0;
    default:
        return vertical ? tpp_y() : tpp_x();
    }
}

void UserControl::ScaleMode(int16_t mode)
{
    if (mode == vbPixels || mode == vbTwips || mode == vbPoints || mode == vbInches || mode == vbMillimeters
        || mode == vbCentimeters || mode == vbHimetric)
        m_scale_mode = mode;
}

float UserControl::ScaleWidth() const
{
    return float(m_canvas.width() * twips_per_unit(vbPixels, false) / twips_per_unit(m_scale_mode, false));
}

float UserControl::ScaleHeight() const
{
    return float(m_canvas.height() * twips_per_unit(vbPixels, true) / twips_per_unit(m_scale_mode, true));
}

float UserControl::ScaleX(float value, int16_t from, int16_t to) const
{
    if (from == vbUser)
        from = m_scale_mode;
    if (to == vbUser)
        to = m_scale_mode;
    return float(value * twips_per_unit(from, false) / twips_per_unit(to, false));
}

float UserControl::ScaleY(float value, int16_t from, int16_t to) const
{
    if (from == vbUser)
        from = m_scale_mode;
    if (to == vbUser)
        to = m_scale_mode;
    return float(value * twips_per_unit(from, true) / twips_per_unit(to, true));
}

float UserControl::to_pixels_x(float v) const
{
    return m_scale_mode == vbPixels ? v : ScaleX(v, m_scale_mode, vbPixels);
}

float UserControl::to_pixels_y(float v) const
{
    return m_scale_mode == vbPixels ? v : ScaleY(v, m_scale_mode, vbPixels);
}

void UserControl::Refresh()
{
    invalidate();
}

void UserControl::PaintPicture(const PictureRef& picture, float x, float y, std::optional<float> w,
    std::optional<float> h, float sx, float sy, std::optional<float> sw, std::optional<float> sh)
{
    auto px = [&](std::optional<float> v) -> std::optional<float> {
        if (!v)
            return {};
        return to_pixels_x(*v);
    };
    auto py = [&](std::optional<float> v) -> std::optional<float> {
        if (!v)
            return {};
        return to_pixels_y(*v);
    };
    m_canvas.PaintPicture(picture, to_pixels_x(x), to_pixels_y(y), px(w), py(h), to_pixels_x(sx),
        to_pixels_y(sy), px(sw), py(sh));
}

float UserControl::CurrentX() const
{
    return m_scale_mode == vbPixels ? m_canvas.CurrentX()
                                    : ScaleX(m_canvas.CurrentX(), vbPixels, m_scale_mode);
}

void UserControl::CurrentX(float x)
{
    m_canvas.CurrentX(to_pixels_x(x));
}

float UserControl::CurrentY() const
{
    return m_scale_mode == vbPixels ? m_canvas.CurrentY()
                                    : ScaleY(m_canvas.CurrentY(), vbPixels, m_scale_mode);
}

void UserControl::CurrentY(float y)
{
    m_canvas.CurrentY(to_pixels_y(y));
}

void UserControl::Print(std::string_view text, bool new_line)
{
    m_canvas.Print(text, new_line);
}

void UserControl::BackColor(gdi::Color color)
{
    m_canvas.BackColor(color);
}

bool UserControl::MousePointer(int16_t pointer)
{
    if (!((pointer >= 0 && pointer <= 15) || pointer == 99))
        return false;
    m_mouse_pointer = pointer;
    return true;
}

AmbientProperties UserControl::Ambient() const
{
    AmbientProperties ambient;
    ambient.DisplayName = DisplayName();
    if (Form* form = Parent()) {
        ambient.UserMode = !form->design_mode();
        ambient.Font = form->Font();
        ambient.BackColor = form->BackColor();
        ambient.ForeColor = form->ForeColor();
    }
    return ambient;
}

bool UserControl::AmbientUserMode() const
{
    Form* form = Parent();
    return !form || !form->design_mode();
}

int UserControl::ParentControls() const
{
    Form* form = Parent();
    return form ? form->Controls().Count() + 1 : 1;
}

void UserControl::PropertyChanged(std::string_view key)
{
    // Only a design has anything to save; at run time nothing ever reads or clears the log.
    Form* form = Parent();
    if (!form || !form->design_mode())
        return;
    m_changed_properties.emplace_back(key);
    form->set_dirty(true);
}

void UserControl::RaiseEvent(std::string_view event, std::initializer_list<EventArg> args)
{
    if (Form* form = Parent())
        form->dispatch_event(*this, event, EventArgs(args.begin(), args.size()));
}

void UserControl::handle_resize()
{
    gdi::Rect r = pixel_rect();
    m_canvas.resize(r.width(), r.height());
    if (m_loaded)
        UserControl_Resize();
}

float UserControl::mouse_x_from_pixels(int x) const
{
    return m_scale_mode == vbPixels ? float(x) : ScaleX(float(x), vbPixels, m_scale_mode);
}

float UserControl::mouse_y_from_pixels(int y) const
{
    return m_scale_mode == vbPixels ? float(y) : ScaleY(float(y), vbPixels, m_scale_mode);
}

void UserControl::handle_mouse_down(int16_t button, int16_t shift, float x, float y)
{
    UserControl_MouseDown(button, shift, x, y);
}

void UserControl::handle_mouse_move(int16_t button, int16_t shift, float x, float y)
{
    UserControl_MouseMove(button, shift, x, y);
}

void UserControl::handle_mouse_up(int16_t button, int16_t shift, float x, float y)
{
    UserControl_MouseUp(button, shift, x, y);
}

void UserControl::handle_click()
{
    UserControl_Click();
}

void UserControl::handle_dbl_click()
{
    UserControl_DblClick();
}

void UserControl::handle_key_down(int16_t& key_code, int16_t& shift)
{
    UserControl_KeyDown(key_code, shift);
}

void UserControl::handle_key_press(int16_t& key_ascii)
{
    UserControl_KeyPress(key_ascii);
}

void UserControl::handle_key_up(int16_t& key_code, int16_t& shift)
{
    UserControl_KeyUp(key_code, shift);
}

void UserControl::handle_access_key(int16_t key_ascii)
{
    UserControl_AccessKeyPress(key_ascii);
}

void UserControl::handle_got_focus()
{
    UserControl_EnterFocus();
}

void UserControl::handle_lost_focus()
{
    UserControl_ExitFocus();
}

} // namespace sorrel::host
