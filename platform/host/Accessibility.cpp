#include "platform/host/Accessibility.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace sorrel::host {

std::string_view accessible_role_name(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::Window:
        return "window";
    case AccessibleRole::PushButton:
        return "push button";
    case AccessibleRole::RadioButton:
        return "radio button";
    case AccessibleRole::CheckBox:
        return "check box";
    case AccessibleRole::ProgressBar:
        return "progress bar";
    case AccessibleRole::Text:
        return "text";
    case AccessibleRole::Grouping:
        return "grouping";
    case AccessibleRole::Graphic:
        return "graphic";
    case AccessibleRole::List:
        return "list";
    case AccessibleRole::ListItem:
        return "list item";
    case AccessibleRole::Dialog:
        return "dialog";
    }
    return "unknown";
}

std::string_view accessible_state_name(AccessibleState state)
{
    switch (state) {
    case AccessibleState::Focused:
        return "focused";
    case AccessibleState::Focusable:
        return "focusable";
    case AccessibleState::Unavailable:
        return "unavailable";
    case AccessibleState::Checked:
        return "checked";
    case AccessibleState::Pressed:
        return "pressed";
    case AccessibleState::Invisible:
        return "invisible";
    case AccessibleState::Offscreen:
        return "offscreen";
    case AccessibleState::Mixed:
        return "mixed";
    }
    return "unknown";
}

const AccessibleNode* AccessibleNode::find(WindowHandle node_id) const
{
    if (id == node_id)
        return this;
    for (const AccessibleNode& child : children) {
        if (const AccessibleNode* found = child.find(node_id))
            return found;
    }
    return nullptr;
}

std::string accessible_line(const AccessibleNode& node)
{
    std::string line(accessible_role_name(node.role));
    line += ' ';
    line += quoted(node.name);
    if (node.states.bits()) {
        line += " [";
        bool first = true;
        for (int bit = 0; bit < AccessibleStateCount; ++bit) {
            auto state = AccessibleState(1u << bit);
            if (!node.states.has(state))
                continue;
            if (!first)
                line += ',';
            line += accessible_state_name(state);
            first = false;
        }
        line += ']';
    }
    auto field = [&](std::string_view label, const std::string& text) {
        if (text.empty())
            return;
        line += ' ';
        line += label;
        line += '=';
        line += quoted(text);
    };
    field("value", node.value);
    field("action", node.default_action);
    field("key", node.shortcut);
    return line;
}

static void append_text(std::string& out, const AccessibleNode& node, size_t depth)
{
    out.append(depth * 2, ' ');
    out += accessible_line(node);
    out += '\n';
    for (const AccessibleNode& child : node.children)
        append_text(out, child, depth + 1);
}

std::string accessible_text(const AccessibleNode& root)
{
    std::string out;
    append_text(out, root, 0);
    return out;
}

std::string caption_without_marker(std::string_view caption)
{
    std::string text;
    text.reserve(caption.size());
    bool marker_gone = false;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] == '&') {
            text += '&';
            ++i;
        } else if (caption[i] == '&' && !marker_gone) {
            marker_gone = true;
        } else {
            text += caption[i];
        }
    }
    return text;
}

std::string shortcut_for_access_key(std::string_view access_keys)
{
    if (access_keys.empty())
        return {};
    auto key = static_cast<unsigned char>(access_keys.front());
    // A marker before a space or a control character gives no key a user could type with Alt.
    if (key <= ' ')
        return {};
    std::string shortcut = "Alt+";
    shortcut += key < 0x80 ? char(std::toupper(key)) : char(key);
    return shortcut;
}

int accessible_percent(const AccessibleRange& range)
{
    double span = range.max - range.min;
    if (!(span > 0))
        return 0;
    double percent = std::floor((range.current - range.min) * 100.0 / span);
    if (std::isnan(percent))
        return 0;
    return int(std::clamp(percent, 0.0, 100.0));
}

} // namespace sorrel::host
