#pragma once

// What a screen reader learns about the window: one description per control, built by the host
// from what each control says of itself (Control::describe_accessible), and read alike by the
// system backends (Active Accessibility, AT-SPI) and by the script runner's `dump accessible`.
//
// [SECTION] The tree
//   The window is the root (role Window, named after the form's caption). Its children are the
//   form's controls in containment order, nested as their containers are (a frame's controls
//   under the frame). A user control's constituents are part of it, never nodes of their own.
//   Controls that tell the host they are not offered (timers, working controls the user never
//   sees) are left out with everything inside them. Hidden controls stay in the tree with the
//   invisible state, so that a page that comes and goes keeps its nodes' ids.
//
// [SECTION] Ids
//   A control's node id is its WindowHandle (never 0). A list's items get ids of their own from
//   the same counter, so ids never collide; an item keeps its id for the life of the host.
//
// [SECTION] Default actions
//   A backend asks Host::request_accessible_action(id). The call returns at once: the host queues
//   the action and runs it from its own loop (the event loop, DoEvents), through the keyboard
//   path a user would take (the control takes the focus, then Space goes down and up), because
//   the action may open a modal message box and a screen reader's call must not wait for it.
//
// [SECTION] The text form
//   One line per node, two spaces of indent per level, children in order:
//
//     <role> "<name>" [<states>] value="<value>" action="<action>" key="<shortcut>"
//
//   The name is always written; the other fields only when they are not empty. States are
//   comma-separated without spaces, in the order of AccessibleState. Texts use C escapes: \\ for
//   a backslash, \" for a quote, \r \n \t, and \xHH for other bytes below 32. Every other byte is
//   written as it stands (UTF-8). Role names are those of accessible_role_name().

#include "platform/gdi/Rect.h"
#include "platform/host/Control.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host {

enum class AccessibleRole {
    Window,
    PushButton,
    RadioButton,
    CheckBox,
    ProgressBar,
    Text, // read-only text; its name is the text
    Grouping,
    Graphic,
    List,
    ListItem,
    Dialog,
};

// "window", "push button", "radio button", "check box", "progress bar", "text", "grouping",
// "graphic", "list", "list item", "dialog".
std::string_view accessible_role_name(AccessibleRole role);

// Bit flags; AccessibleStates holds any number of them.
enum class AccessibleState : uint32_t {
    Focused = 1u << 0,
    Focusable = 1u << 1,
    Unavailable = 1u << 2, // the control or its window is disabled (also while a message box is open)
    Checked = 1u << 3,
    Pressed = 1u << 4,
    Invisible = 1u << 5, // the control or one of its containers is hidden
    Offscreen = 1u << 6, // shown, but no pixel of it lies in the window's client area
    Mixed = 1u << 7, // a check box neither ticked nor unticked (greyed)
};
constexpr int AccessibleStateCount = 8;

// "focused", "focusable", "unavailable", "checked", "pressed", "invisible", "offscreen", "mixed".
std::string_view accessible_state_name(AccessibleState state);

class AccessibleStates {
public:
    constexpr AccessibleStates() = default;
    constexpr bool has(AccessibleState state) const { return (m_bits & uint32_t(state)) != 0; }
    constexpr void set(AccessibleState state, bool on = true)
    {
        m_bits = on ? (m_bits | uint32_t(state)) : (m_bits & ~uint32_t(state));
    }
    constexpr uint32_t bits() const { return m_bits; }
    constexpr bool operator==(const AccessibleStates&) const = default;

private:
    uint32_t m_bits {0};
};

// The numbers behind a progress bar's value.
struct AccessibleRange {
    double min {0};
    double max {0};
    double current {0};
    bool operator==(const AccessibleRange&) const = default;
};

struct AccessibleNode {
    WindowHandle id {0};
    AccessibleRole role {AccessibleRole::Window};
    std::string name; // a caption without its "&" marker; a text field's text
    std::string description;
    std::string value; // a progress bar's percent ("40%")
    std::optional<AccessibleRange> range;
    std::string default_action; // "Press", "Check", "Uncheck"; empty: none
    std::string shortcut; // "Alt+B"; empty: none
    AccessibleStates states;
    gdi::Rect bounds; // in the form's client pixels
    std::vector<AccessibleNode> children;

    // The node with this id in the subtree (this one included); null when there is none.
    const AccessibleNode* find(WindowHandle node_id) const;
};

// What changed, as the host tells the backend (Backend::accessible_event).
enum class AccessibleEvent {
    Focus, // the node took the focus
    State, // a state changed: enabled, checked, pressed
    Value, // the value changed (a progress bar moved)
    Name, // the name changed (a caption, a text field's text)
    Show, // the node became visible
    Hide, // the node was hidden
    TreeChanged, // nodes under this one came, went or changed places (a page change, list items)
};

// The text form of a tree (see the top of this file), one line per node, each ending in '\n'.
std::string accessible_text(const AccessibleNode& root);
// One node's line, without indent or line end.
std::string accessible_line(const AccessibleNode& node);

// Helpers for controls describing themselves.
// A caption as shown: "&&" becomes "&" and the first single "&" (the access-key marker) goes.
std::string caption_without_marker(std::string_view caption);
// The shortcut for an access-key character: 'b' gives "Alt+B"; empty for none.
std::string shortcut_for_access_key(std::string_view access_keys);
// A progress bar's percent, 0 to 100, from its range: floored, clamped, and 0 for an empty range.
int accessible_percent(const AccessibleRange& range);

} // namespace sorrel::host
