// The host's side of accessibility: the window's tree from the controls' own descriptions, the
// states only the host knows, events and announcements to the backend, and default actions
// queued until the loop runs them. See Accessibility.h for the shape of the tree.

#include "platform/host/Host.h"

#include <algorithm>

namespace sorrel::host {

void Control::accessible_changed(AccessibleEvent event) const
{
    if (Host* host = Host::current_or_null())
        host->accessible_changed(*this, event);
}

namespace {

// What of the control can be seen in the window: its rectangle cut by each container's.
gdi::Rect visible_part(const Control& control)
{
    gdi::Rect part = control.client_rect();
    for (const Control* c = control.Container(); c && !part.is_empty(); c = c->Container())
        part = part.intersected(c->client_rect());
    return part;
}

} // namespace

bool Host::in_accessible_tree(const Control& control) const
{
    if (!m_form)
        return false;
    if (&control == m_form)
        return true;
    // Only the form's own controls: a user control's constituents belong to it.
    const auto& order = m_form->controls_in_order();
    if (std::find(order.begin(), order.end(), &control) == order.end())
        return false;
    for (const Control* c = &control; c && c != m_form; c = c->Container()) {
        AccessibleNode scratch;
        if (!c->accessible_offered() || !c->describe_accessible(scratch))
            return false;
    }
    return true;
}

std::optional<AccessibleNode> Host::describe(const Control& control)
{
    AccessibleNode node;
    if (!control.accessible_offered() || !control.describe_accessible(node))
        return std::nullopt;
    node.id = control.hWnd();
    node.bounds = control.client_rect();
    bool shown = control.is_shown();
    bool available = control.is_effectively_enabled() && control.enabled_property() && m_modal_depth == 0;
    if (!shown)
        node.states.set(AccessibleState::Invisible);
    else if (visible_part(control).is_empty())
        node.states.set(AccessibleState::Offscreen);
    if (!available)
        node.states.set(AccessibleState::Unavailable);
    if (control.can_focus() && shown && available)
        node.states.set(AccessibleState::Focusable);
    if (m_focused == &control)
        node.states.set(AccessibleState::Focused);
    // List items: ids of their own, bounds from the list's pixels to the window's, and what
    // holds for the list holds for them.
    gdi::Point origin = control.client_origin();
    gdi::Rect seen = shown ? visible_part(control) : gdi::Rect {};
    for (size_t i = 0; i < node.children.size(); ++i) {
        AccessibleNode& item = node.children[i];
        if (item.id == 0)
            item.id = accessible_item_id(control, int(i));
        item.bounds = item.bounds.translated(origin.x, origin.y);
        item.states.set(AccessibleState::Invisible, !shown);
        item.states.set(AccessibleState::Offscreen, shown && item.bounds.intersected(seen).is_empty());
        item.states.set(AccessibleState::Unavailable, !available);
    }
    return node;
}

AccessibleNode Host::accessible_tree()
{
    AccessibleNode root;
    if (!m_form)
        return root;
    root.id = m_form->hWnd();
    root.role = AccessibleRole::Window;
    root.name = m_form->Caption();
    root.bounds = m_form->client_rect();
    if (!m_form->is_effectively_enabled() || m_modal_depth > 0)
        root.states.set(AccessibleState::Unavailable);
    if (!m_focused)
        root.states.set(AccessibleState::Focused);
    // Containment order puts a container before what it holds, so one pass per level finds each
    // control's children in order.
    const auto& order = m_form->controls_in_order();
    auto add_children = [&](auto& self, AccessibleNode& parent, const Control& container) -> void {
        for (Control* c : order) {
            if (c->Container() != &container)
                continue;
            std::optional<AccessibleNode> node = describe(*c);
            if (!node)
                continue;
            self(self, *node, *c);
            parent.children.push_back(std::move(*node));
        }
    };
    add_children(add_children, root, *m_form);
    return root;
}

std::optional<AccessibleNode> Host::accessible_node(WindowHandle id)
{
    if (id == 0)
        return std::nullopt;
    AccessibleNode tree = accessible_tree();
    if (const AccessibleNode* node = tree.find(id))
        return *node;
    return std::nullopt;
}

WindowHandle Host::accessible_item_id(const Control& list, int index)
{
    auto [it, added] = m_item_ids.try_emplace({list.hWnd(), index}, 0);
    if (added)
        it->second = allocate_window_handle();
    return it->second;
}

bool Host::request_accessible_action(WindowHandle id)
{
    if (m_ended || m_modal_depth > 0)
        return false;
    Control* control = control_from_handle(id);
    if (!control || !in_accessible_tree(*control))
        return false;
    std::optional<AccessibleNode> node = describe(*control);
    if (!node || node->default_action.empty() || node->states.has(AccessibleState::Unavailable)
        || node->states.has(AccessibleState::Invisible))
        return false;
    m_accessible_actions.push_back(id);
    return true;
}

// Called from flush_queued_input once the input queue is empty. The action is what a keyboard
// user does: the control takes the focus and Space goes down and up on it, through the queue,
// so the handlers see exactly the events of a keystroke.
bool Host::start_accessible_action()
{
    while (!m_accessible_actions.empty() && !m_ended && m_modal_depth == 0) {
        WindowHandle id = m_accessible_actions.front();
        m_accessible_actions.pop_front();
        // The window may have changed since the request: a page went, a button was disabled.
        Control* control = control_from_handle(id);
        if (!control || !in_accessible_tree(*control))
            continue;
        std::optional<AccessibleNode> node = describe(*control);
        if (!node || node->default_action.empty() || node->states.has(AccessibleState::Unavailable)
            || node->states.has(AccessibleState::Invisible))
            continue;
        set_focus(control);
        if (m_focused != control)
            continue;
        m_queued_input.push_back({InputEvent::Kind::KeyDown, 0, 0, 0, 0, vbKeySpace});
        m_queued_input.push_back({InputEvent::Kind::KeyUp, 0, 0, 0, 0, vbKeySpace});
        return true;
    }
    return false;
}

void Host::accessible_changed(const Control& control, AccessibleEvent event)
{
    if (!m_form || !in_accessible_tree(control))
        return;
    m_backend->accessible_event(event, control.hWnd());
    if ((event == AccessibleEvent::Show || event == AccessibleEvent::Hide) && &control != m_form) {
        // A container coming or going (a page) changes what the window holds.
        for (Control* c : m_form->controls_in_order()) {
            if (c->Container() == &control) {
                m_backend->accessible_event(AccessibleEvent::TreeChanged, m_form->hWnd());
                break;
            }
        }
    }
    if (event != AccessibleEvent::Value)
        return;
    // A progress bar speaks at each new tenth of its range, never more often: a removal may
    // take tens of thousands of steps.
    std::optional<AccessibleNode> node = describe(control);
    if (!node || !node->range)
        return;
    int tenth = accessible_percent(*node->range) / 10;
    int& last = m_announced_tenth[control.hWnd()];
    if (tenth > last && control.is_shown())
        announce("Progress " + std::to_string(tenth * 10) + "%");
    // Going back (a new run) starts counting again from there.
    last = tenth;
}

void Host::announce(std::string_view text)
{
    if (!text.empty())
        m_backend->announce(std::string(text));
}

} // namespace sorrel::host
