#include "platform/host/Control.h"

#include "platform/host/Accessibility.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

namespace sorrel::host {

int twips_to_pixels(float twips)
{
    Host* host = Host::current_or_null();
    int tpp = host ? host->TwipsPerPixelX() : 15;
    return host::to_int_half_away(double(twips) / tpp);
}

float pixels_to_twips(int pixels)
{
    Host* host = Host::current_or_null();
    int tpp = host ? host->TwipsPerPixelX() : 15;
    return float(pixels * tpp);
}

static int twips_to_pixels_y(float twips)
{
    Host* host = Host::current_or_null();
    int tpp = host ? host->TwipsPerPixelY() : 15;
    return host::to_int_half_away(double(twips) / tpp);
}

Control::Control()
{
    if (Host* host = Host::current_or_null()) {
        m_hwnd = host->allocate_window_handle();
        host->register_control(*this);
    }
}

Control::~Control()
{
    set_window_region(nullptr);
    for (Control* child : m_children)
        child->m_container = nullptr;
    m_children.clear();
    if (m_container) {
        if (is_shown())
            invalidate();
        auto& siblings = m_container->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        m_container = nullptr;
    }
    if (Host* host = Host::current_or_null())
        host->unregister_control(*this);
}

Host& Control::host() const
{
    return Host::current();
}

Form* Control::Parent() const
{
    for (const Control* c = this; c; c = c->m_container) {
        if (c->m_is_form)
            return static_cast<Form*>(const_cast<Control*>(c));
    }
    return nullptr;
}

std::string Control::DisplayName() const
{
    if (m_index < 0)
        return m_name;
    return m_name + "(" + std::to_string(m_index) + ")";
}

void Control::attach(Control& container, std::string name, int16_t index)
{
    assert(&container != this);
    detach();
    m_name = std::move(name);
    m_index = index;
    m_container = &container;
    container.m_children.push_back(this);
    if (is_shown())
        invalidate();
}

void Control::detach()
{
    if (!m_container)
        return;
    if (is_shown())
        invalidate();
    auto& siblings = m_container->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    m_container = nullptr;
}

void Control::Move(float left, float top, float width, float height)
{
    // Sizes below zero are refused by the Basic runtime ("Invalid property value"); clamp.
    width = std::max(width, 0.0f);
    height = std::max(height, 0.0f);
    if (left == m_left && top == m_top && width == m_width && height == m_height)
        return;
    gdi::Rect old_pixels = pixel_rect();
    bool shown = is_shown();
    if (shown)
        invalidate();
    m_left = left;
    m_top = top;
    bool size_changed = width != m_width || height != m_height;
    m_width = width;
    m_height = height;
    gdi::Rect new_pixels = pixel_rect();
    if (size_changed || old_pixels.width() != new_pixels.width()
        || old_pixels.height() != new_pixels.height())
        handle_resize();
    if (shown)
        invalidate();
}

void Control::Visible(bool visible)
{
    if (visible == m_visible)
        return;
    bool was_shown = is_shown();
    m_visible = visible;
    if (was_shown || is_shown())
        invalidate();
    if (Host* host = Host::current_or_null()) {
        if (!is_shown() && host->focused()) {
            // A control that disappears loses the focus (and so does anything inside it).
            for (Control* c = host->focused(); c; c = c->m_container) {
                if (c == this) {
                    host->set_focus(nullptr);
                    break;
                }
            }
        }
    }
    handle_state_changed();
    accessible_changed(visible ? AccessibleEvent::Show : AccessibleEvent::Hide);
}

bool Control::is_shown() const
{
    for (const Control* c = this; c; c = c->m_container) {
        if (!c->m_visible)
            return false;
        if (!c->m_container && !c->m_is_form)
            return false; // not placed on a form
    }
    return true;
}

void Control::Enabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (Host* host = Host::current_or_null()) {
        if (!enabled && host->focused() == this)
            host->set_focus(nullptr);
    }
    handle_state_changed();
    accessible_changed(AccessibleEvent::State);
}

bool Control::is_effectively_enabled() const
{
    for (const Control* c = this; c; c = c->m_container) {
        if (!c->m_enabled)
            return false;
    }
    return true;
}

void Control::ZOrder(int position)
{
    if (!m_container)
        return;
    auto& siblings = m_container->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    if (position == 0)
        siblings.push_back(this);
    else
        siblings.insert(siblings.begin(), this);
    if (is_shown())
        invalidate();
}

void Control::set_window_region(gdi::HRGN region)
{
    if (region == m_region)
        return;
    if (m_region)
        gdi::DeleteObject(m_region);
    m_region = region;
    if (is_shown())
        invalidate();
}

void Control::SetFocus()
{
    if (Host* host = Host::current_or_null())
        host->set_focus(this);
}

bool Control::has_focus() const
{
    Host* host = Host::current_or_null();
    return host && host->focused() == this;
}

gdi::Rect Control::pixel_rect() const
{
    int left = twips_to_pixels(m_left);
    int top = twips_to_pixels_y(m_top);
    int width = twips_to_pixels(m_width);
    int height = twips_to_pixels_y(m_height);
    if (m_is_form)
        left = top = 0; // a form's rectangle is its client area
    return gdi::Rect::from_size(left, top, width, height);
}

gdi::Point Control::client_origin() const
{
    gdi::Point origin {0, 0};
    for (const Control* c = this; c && c->m_container; c = c->m_container) {
        gdi::Rect r = c->pixel_rect();
        origin.x += r.left;
        origin.y += r.top;
    }
    return origin;
}

gdi::Rect Control::client_rect() const
{
    gdi::Rect own = pixel_rect();
    if (!m_container)
        return gdi::Rect::from_size(0, 0, own.width(), own.height());
    gdi::Point origin = m_container->client_origin();
    return gdi::Rect::from_size(origin.x + own.left, origin.y + own.top, own.width(), own.height());
}

void Control::invalidate()
{
    Host* host = Host::current_or_null();
    if (!host || !Parent())
        return;
    host->invalidate_client_rect(client_rect());
}

void Control::invalidate(const gdi::Rect& own_pixels)
{
    Host* host = Host::current_or_null();
    if (!host || !Parent())
        return;
    gdi::Point origin = client_origin();
    host->invalidate_client_rect(own_pixels.translated(origin.x, origin.y));
}

std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (static_cast<unsigned char>(c) < 32) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\x%02x", static_cast<unsigned char>(c));
                out += buffer;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

float Control::mouse_x_from_pixels(int x) const
{
    return pixels_to_twips(x);
}

float Control::mouse_y_from_pixels(int y) const
{
    Host* host = Host::current_or_null();
    return float(y * (host ? host->TwipsPerPixelY() : 15));
}

} // namespace sorrel::host
