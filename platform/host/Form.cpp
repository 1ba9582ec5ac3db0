#include "platform/host/Form.h"

#include "platform/host/Host.h"
#include "platform/host/UserControl.h"

#include <algorithm>

namespace sorrel::host {

// [SECTION] Controls collection

int ControlsCollection::Count() const
{
    return int(m_form.controls_in_order().size());
}

Control* ControlsCollection::Item(int position) const
{
    auto& order = m_form.controls_in_order();
    if (position < 0 || position >= int(order.size()))
        return nullptr;
    return order[size_t(position)];
}

Control* ControlsCollection::Item(std::string_view name, int16_t index) const
{
    for (Control* c : m_form.controls_in_order()) {
        if (keys_match(c->Name(), name) && (index < 0 || c->Index() == index))
            return c;
    }
    return nullptr;
}

// [SECTION] Form

Form::Form()
{
    mark_as_form();
    m_canvas.BackColor(0x8000000F);
    m_canvas.ForeColor(0x80000012);
    Font(StdFont::create("MS Sans Serif", 8.25));
}

Form::~Form()
{
    unload();
    // Last loaded first, so containers outlive their contents.
    while (!m_owned.empty())
        m_owned.pop_back();
    m_order.clear();
    if (Host* host = Host::current_or_null(); host && host->form() == this)
        host->forget_form();
}

void Form::Caption(std::string caption)
{
    m_caption = std::move(caption);
    if (Host* host = Host::current_or_null(); host && host->form() == this)
        host->backend().set_caption(m_caption);
    accessible_changed(AccessibleEvent::Name);
}

void Form::BackColor(gdi::Color color)
{
    m_canvas.BackColor(color);
    invalidate();
    notify_ambient_changed("BackColor");
}

void Form::ForeColor(gdi::Color color)
{
    m_canvas.ForeColor(color);
    notify_ambient_changed("ForeColor");
}

void Form::Font(const FontRef& font)
{
    m_font_subscription.reset();
    m_canvas.Font(font);
    if (font)
        m_font_subscription = font->subscribe([this](const std::string&) { notify_ambient_changed("Font"); });
    notify_ambient_changed("Font");
}

void Form::notify_ambient_changed(const std::string& property)
{
    for (Control* c : m_order) {
        if (auto* uc = dynamic_cast<UserControl*>(c); uc && uc->is_loaded())
            uc->UserControl_AmbientChanged(property);
    }
}

Control* Form::find(std::string_view display_name) const
{
    auto open = display_name.find('(');
    if (open != std::string_view::npos && display_name.ends_with(")")) {
        std::string_view name = display_name.substr(0, open);
        std::string_view digits = display_name.substr(open + 1, display_name.size() - open - 2);
        int index = 0;
        if (digits.empty() || digits.size() > 5)
            return nullptr;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return nullptr;
            index = index * 10 + (c - '0');
        }
        if (index > 32767)
            return nullptr;
        for (Control* c : m_order) {
            if (keys_match(c->Name(), name) && c->Index() == index)
                return c;
        }
        return nullptr;
    }
    for (Control* c : m_order) {
        if (keys_match(c->Name(), display_name))
            return c;
    }
    return nullptr;
}

Control& Form::add(std::unique_ptr<Control> control, std::string name, int16_t index, Control* container)
{
    Control& c = *control;
    c.attach(container ? *container : static_cast<Control&>(*this), std::move(name), index);
    c.TabIndex(int16_t(m_order.size()));
    m_owned.push_back(std::move(control));
    m_order.push_back(&c);
    return c;
}

void Form::load_control(Control& control, const PropertyBag* stored)
{
    if (auto* uc = dynamic_cast<UserControl*>(&control)) {
        uc->UserControl_Initialize();
        if (stored && !stored->is_empty()) {
            PropertyBag bag = *stored;
            uc->UserControl_ReadProperties(bag);
        } else {
            uc->UserControl_InitProperties();
        }
        uc->set_loaded(true);
        if (m_shown) {
            uc->UserControl_Show();
            uc->UserControl_Resize();
        }
    } else if (stored) {
        control.read_design_properties(*stored);
    }
}

void Form::show()
{
    if (m_shown)
        return;
    m_shown = true;
    for (Control* c : m_order) {
        if (auto* uc = dynamic_cast<UserControl*>(c); uc && uc->is_loaded()) {
            uc->UserControl_Show();
            uc->UserControl_Resize();
        }
    }
    invalidate();
}

void Form::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        if (auto* uc = dynamic_cast<UserControl*>(*it); uc && uc->is_loaded()) {
            uc->UserControl_Terminate();
            uc->set_loaded(false);
        }
    }
}

void Form::on_event(std::string_view control, std::string_view event, EventHandler handler)
{
    m_connections.push_back({std::string(control), std::string(event), std::move(handler)});
}

void Form::dispatch_event(Control& source, std::string_view event, EventArgs args)
{
    Host* host = Host::current_or_null();
    if (host && host->event_recorder()) {
        RecordedEvent record {source.DisplayName(), std::string(event), {}};
        for (auto& arg : args)
            record.args.push_back(arg.value());
        host->event_recorder()->record(std::move(record));
    }
    // A form being designed runs none of its code.
    if (m_design_mode)
        return;
    std::string display = source.DisplayName();
    // Handlers may connect more handlers: walk by index over the ones present now.
    size_t count = m_connections.size();
    for (size_t i = 0; i < count; ++i) {
        auto& connection = m_connections[i];
        if (!keys_match(connection.event, event))
            continue;
        if (!keys_match(connection.control, display) && !keys_match(connection.control, source.Name()))
            continue;
        EventHandler handler = connection.handler;
        if (handler)
            handler(args);
    }
}

void Form::handle_resize()
{
    gdi::Rect r = pixel_rect();
    m_canvas.resize(r.width(), r.height());
    m_canvas.Cls();
}

} // namespace sorrel::host
