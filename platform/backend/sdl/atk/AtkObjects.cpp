#include "platform/backend/sdl/atk/AtkObjects.h"

#include "platform/backend/sdl/atk/AtkAccessibility.h"
#include "platform/backend/sdl/atk/AtkLibrary.h"

#include <cctype>
#include <list>
#include <string>
#include <utility>

// [SECTION] Node lookup
// [SECTION] AtkObject
// [SECTION] AtkComponent, AtkAction, AtkValue
// [SECTION] AtkUtil
// [SECTION] Types

namespace sorrel::backend {

using host::AccessibleNode;
using host::AccessibleRole;
using host::AccessibleState;
using host::WindowHandle;

// [SECTION] Node lookup

namespace {

GType s_node_type = 0;
GType s_window_type = 0;
GType s_ranged_type = 0;

WindowHandle id_of(gpointer object)
{
    return static_cast<SorrelAtkNode*>(object)->id;
}

// The node behind an object; null for the application, the notification, and a node that is
// no longer in the trees (its object outlives it until the screen reader lets go).
const AtkAccessibility::Entry* entry_of(gpointer object)
{
    AtkAccessibility* a11y = AtkAccessibility::current();
    return a11y ? a11y->entry(id_of(object)) : nullptr;
}

const AccessibleNode* node_of(gpointer object)
{
    const AtkAccessibility::Entry* entry = entry_of(object);
    return entry ? entry->node : nullptr;
}

AtkRole atk_role(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::Window:
        return ATK_ROLE_FRAME;
    case AccessibleRole::PushButton:
        return ATK_ROLE_PUSH_BUTTON;
    case AccessibleRole::RadioButton:
        return ATK_ROLE_RADIO_BUTTON;
    case AccessibleRole::CheckBox:
        return ATK_ROLE_CHECK_BOX;
    case AccessibleRole::ProgressBar:
        return ATK_ROLE_PROGRESS_BAR;
    case AccessibleRole::Text:
        // Read-only text that is all in its name: a label to ATK, which expects AtkText behind
        // its text role.
        return ATK_ROLE_LABEL;
    case AccessibleRole::Grouping:
        return ATK_ROLE_GROUPING;
    case AccessibleRole::Graphic:
        return ATK_ROLE_IMAGE;
    case AccessibleRole::List:
        return ATK_ROLE_LIST;
    case AccessibleRole::ListItem:
        return ATK_ROLE_LIST_ITEM;
    case AccessibleRole::Dialog:
        return ATK_ROLE_DIALOG;
    }
    return ATK_ROLE_UNKNOWN;
}

// "Alt+B" in ATK's key binding form ("<Alt>b"), as the mnemonic of the action.
std::string atk_keybinding(const std::string& shortcut)
{
    std::string binding;
    size_t start = 0;
    for (size_t plus; (plus = shortcut.find('+', start)) != std::string::npos && plus + 1 < shortcut.size();
         start = plus + 1)
        binding += "<" + shortcut.substr(start, plus - start) + ">";
    std::string key = shortcut.substr(start);
    for (char& c : key)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return binding + key;
}

} // namespace

// [SECTION] AtkObject

namespace {

const gchar* node_get_name(AtkObject* object)
{
    AtkAccessibility* a11y = AtkAccessibility::current();
    if (!a11y)
        return "";
    if (id_of(object) == AtkAccessibility::ApplicationId)
        return a11y->utf8(a11y->application_name());
    if (id_of(object) == AtkAccessibility::NotificationId)
        return a11y->utf8(a11y->notification());
    const AccessibleNode* node = node_of(object);
    return a11y->utf8(node ? node->name : std::string());
}

const gchar* node_get_description(AtkObject* object)
{
    AtkAccessibility* a11y = AtkAccessibility::current();
    const AccessibleNode* node = node_of(object);
    return a11y ? a11y->utf8(node ? node->description : std::string()) : "";
}

AtkObject* node_get_parent(AtkObject* object)
{
    AtkAccessibility* a11y = AtkAccessibility::current();
    WindowHandle id = id_of(object);
    if (!a11y || id == AtkAccessibility::ApplicationId)
        return nullptr;
    if (id == AtkAccessibility::NotificationId) {
        const auto& windows = a11y->windows();
        return windows.empty() ? nullptr : a11y->object(windows.front().id);
    }
    const AtkAccessibility::Entry* entry = a11y->entry(id);
    return a11y->object(entry ? entry->parent : AtkAccessibility::ApplicationId);
}

gint node_get_n_children(AtkObject* object)
{
    AtkAccessibility* a11y = AtkAccessibility::current();
    if (!a11y)
        return 0;
    if (id_of(object) == AtkAccessibility::ApplicationId)
        return gint(a11y->windows().size());
    const AccessibleNode* node = node_of(object);
    return node ? gint(node->children.size()) : 0;
}

AtkObject* node_ref_child(AtkObject* object, gint index)
{
    AtkAccessibility* a11y = AtkAccessibility::current();
    if (!a11y || index < 0)
        return nullptr;
    WindowHandle child = 0;
    if (id_of(object) == AtkAccessibility::ApplicationId) {
        if (size_t(index) >= a11y->windows().size())
            return nullptr;
        child = a11y->windows()[size_t(index)].id;
    } else {
        const AccessibleNode* node = node_of(object);
        if (!node || size_t(index) >= node->children.size())
            return nullptr;
        child = node->children[size_t(index)].id;
    }
    AtkObject* found = a11y->object(child);
    return found ? static_cast<AtkObject*>((atk().g_object_ref)(found)) : nullptr;
}

gint node_get_index_in_parent(AtkObject* object)
{
    const AtkAccessibility::Entry* entry = entry_of(object);
    return entry ? entry->index : -1;
}

AtkRole node_get_role(AtkObject* object)
{
    if (id_of(object) == AtkAccessibility::ApplicationId)
        return ATK_ROLE_APPLICATION;
    if (id_of(object) == AtkAccessibility::NotificationId)
        return ATK_ROLE_NOTIFICATION;
    const AccessibleNode* node = node_of(object);
    return node ? atk_role(node->role) : ATK_ROLE_UNKNOWN;
}

AtkStateSet* node_ref_state_set(AtkObject* object)
{
    AtkStateSet* set = atk().atk_state_set_new();
    auto add = [&](AtkStateType state) { atk().atk_state_set_add_state(set, state); };
    WindowHandle id = id_of(object);
    if (id == AtkAccessibility::ApplicationId || id == AtkAccessibility::NotificationId) {
        add(ATK_STATE_ENABLED);
        add(ATK_STATE_VISIBLE);
        add(ATK_STATE_SHOWING);
        return set;
    }
    const AtkAccessibility::Entry* entry = entry_of(object);
    if (!entry) {
        // Gone from the window: a screen reader holding it learns that it is dead.
        add(ATK_STATE_DEFUNCT);
        return set;
    }
    const AccessibleNode& node = *entry->node;
    auto has = [&](AccessibleState state) { return node.states.has(state); };
    if (!has(AccessibleState::Invisible)) {
        add(ATK_STATE_VISIBLE);
        if (!has(AccessibleState::Offscreen))
            add(ATK_STATE_SHOWING);
    }
    if (!has(AccessibleState::Unavailable)) {
        add(ATK_STATE_ENABLED);
        add(ATK_STATE_SENSITIVE);
    }
    if (has(AccessibleState::Focusable))
        add(ATK_STATE_FOCUSABLE);
    if (has(AccessibleState::Focused))
        add(ATK_STATE_FOCUSED);
    if (has(AccessibleState::Checked))
        add(ATK_STATE_CHECKED);
    if (has(AccessibleState::Pressed))
        add(ATK_STATE_PRESSED);
    if (has(AccessibleState::Mixed))
        add(ATK_STATE_INDETERMINATE);
    if (node.role == AccessibleRole::CheckBox || node.role == AccessibleRole::RadioButton)
        add(ATK_STATE_CHECKABLE);
    if (node.role == AccessibleRole::Text)
        add(ATK_STATE_READ_ONLY);
    if (entry->parent == AtkAccessibility::ApplicationId) {
        if (AtkAccessibility::current()->active_window() == id)
            add(ATK_STATE_ACTIVE);
        if (node.role == AccessibleRole::Dialog)
            add(ATK_STATE_MODAL);
    }
    return set;
}

} // namespace

// [SECTION] AtkComponent, AtkAction, AtkValue

namespace {

void component_get_extents(
    AtkComponent* component, gint* x, gint* y, gint* width, gint* height, AtkCoordType coords)
{
    gdi::Rect r;
    AtkAccessibility* a11y = AtkAccessibility::current();
    const AtkAccessibility::Entry* entry = entry_of(component);
    if (a11y && entry) {
        gdi::Rect client = entry->node->bounds;
        r = a11y->source().screen_rect(entry->window, client);
        gdi::Rect origin;
        if (coords == ATK_XY_WINDOW) {
            origin = a11y->source().screen_rect(entry->window, {});
        } else if (coords == ATK_XY_PARENT && entry->parent != AtkAccessibility::ApplicationId) {
            const AtkAccessibility::Entry* parent = a11y->entry(entry->parent);
            origin = parent ? a11y->source().screen_rect(parent->window, parent->node->bounds) : gdi::Rect {};
        }
        r = r.translated(-origin.left, -origin.top);
    }
    if (x)
        *x = r.left;
    if (y)
        *y = r.top;
    if (width)
        *width = r.width();
    if (height)
        *height = r.height();
}

const AccessibleNode* actionable(AtkAction* action, gint index)
{
    const AccessibleNode* node = node_of(action);
    return node && index == 0 && !node->default_action.empty() ? node : nullptr;
}

gboolean action_do_action(AtkAction* action, gint index)
{
    AtkAccessibility* a11y = AtkAccessibility::current();
    const AccessibleNode* node = actionable(action, index);
    return a11y && node && a11y->source().do_default_action(node->id);
}

gint action_get_n_actions(AtkAction* action)
{
    return actionable(action, 0) ? 1 : 0;
}

const gchar* action_get_name(AtkAction* action, gint index)
{
    const AccessibleNode* node = actionable(action, index);
    return node ? AtkAccessibility::current()->utf8(node->default_action) : nullptr;
}

const gchar* action_get_keybinding(AtkAction* action, gint index)
{
    const AccessibleNode* node = actionable(action, index);
    if (!node || node->shortcut.empty())
        return nullptr;
    return AtkAccessibility::current()->utf8(atk_keybinding(node->shortcut));
}

host::AccessibleRange range_of(AtkValue* value)
{
    const AccessibleNode* node = node_of(value);
    return node && node->range ? *node->range : host::AccessibleRange {};
}

void value_get_current_value(AtkValue* value, GValue* out)
{
    atk().g_value_init(out, G_TYPE_DOUBLE);
    atk().g_value_set_double(out, range_of(value).current);
}

void value_get_minimum_value(AtkValue* value, GValue* out)
{
    atk().g_value_init(out, G_TYPE_DOUBLE);
    atk().g_value_set_double(out, range_of(value).min);
}

void value_get_maximum_value(AtkValue* value, GValue* out)
{
    atk().g_value_init(out, G_TYPE_DOUBLE);
    atk().g_value_set_double(out, range_of(value).max);
}

void value_get_value_and_text(AtkValue* value, gdouble* current, gchar** text)
{
    const AccessibleNode* node = node_of(value);
    if (current)
        *current = range_of(value).current;
    if (text)
        *text = atk().g_strdup(node ? node->value.c_str() : "");
}

AtkRange* value_get_range(AtkValue* value)
{
    host::AccessibleRange range = range_of(value);
    return atk().atk_range_new(range.min, range.max, nullptr);
}

} // namespace

// [SECTION] AtkUtil

namespace {

// Listeners the bridge adds by event name ("Gtk:AtkObject:state-change"), as emission hooks on
// the signal of that name; the toolkit part of the name is not looked at.
struct Listener {
    guint signal;
    gulong hook;
};
std::list<std::pair<guint, Listener>> s_listeners;
guint s_last_listener = 0;

guint util_add_global_event_listener(GSignalEmissionHook listener, const gchar* event_type)
{
    std::string name = event_type ? event_type : "";
    size_t first = name.find(':');
    size_t second = first == std::string::npos ? std::string::npos : name.find(':', first + 1);
    if (second == std::string::npos)
        return 0; // "window:create" and its kind: the bridge then asks for AtkWindow's signals
    std::string type_name = name.substr(first + 1, second - first - 1);
    std::string signal_name = name.substr(second + 1);
    GType type = atk().g_type_from_name(type_name.c_str());
    if (!type)
        return 0;
    if (atk().g_type_fundamental(type) == G_TYPE_INTERFACE)
        atk().g_type_default_interface_ref(type);
    else
        atk().g_type_class_ref(type);
    guint signal = atk().g_signal_lookup(signal_name.c_str(), type);
    if (!signal)
        return 0;
    gulong hook = atk().g_signal_add_emission_hook(signal, 0, listener, nullptr, nullptr);
    s_listeners.emplace_back(++s_last_listener, Listener {signal, hook});
    return s_last_listener;
}

void util_remove_global_event_listener(guint id)
{
    std::erase_if(s_listeners, [&](const auto& entry) {
        if (entry.first != id)
            return false;
        atk().g_signal_remove_emission_hook(entry.second.signal, entry.second.hook);
        return true;
    });
}

AtkObject* util_get_root()
{
    AtkAccessibility* a11y = AtkAccessibility::current();
    return a11y ? a11y->object(AtkAccessibility::ApplicationId) : nullptr;
}

const gchar* util_get_toolkit_name()
{
    return "Sorrel";
}

const gchar* util_get_toolkit_version()
{
    return "1";
}

} // namespace

// [SECTION] Types

namespace {

void node_class_init(gpointer klass, gpointer)
{
    auto* object = static_cast<AtkObjectClass*>(klass);
    object->get_name = node_get_name;
    object->get_description = node_get_description;
    object->get_parent = node_get_parent;
    object->get_n_children = node_get_n_children;
    object->ref_child = node_ref_child;
    object->get_index_in_parent = node_get_index_in_parent;
    object->get_role = node_get_role;
    object->ref_state_set = node_ref_state_set;
}

void component_init(gpointer iface, gpointer)
{
    static_cast<AtkComponentIface*>(iface)->get_extents = component_get_extents;
}

void action_init(gpointer iface, gpointer)
{
    auto* action = static_cast<AtkActionIface*>(iface);
    action->do_action = action_do_action;
    action->get_n_actions = action_get_n_actions;
    action->get_name = action_get_name;
    action->get_localized_name = action_get_name;
    action->get_keybinding = action_get_keybinding;
}

void value_init(gpointer iface, gpointer)
{
    auto* value = static_cast<AtkValueIface*>(iface);
    value->get_current_value = value_get_current_value;
    value->get_minimum_value = value_get_minimum_value;
    value->get_maximum_value = value_get_maximum_value;
    value->get_value_and_text = value_get_value_and_text;
    value->get_range = value_get_range;
}

GType register_type(GType parent, const char* name, GClassInitFunc class_init)
{
    GTypeInfo info {};
    info.class_size = sizeof(AtkObjectClass);
    info.class_init = class_init;
    info.instance_size = sizeof(SorrelAtkNode);
    return atk().g_type_register_static(parent, name, &info, GTypeFlags(0));
}

void add_interface(GType type, GType iface, GInterfaceInitFunc init)
{
    GInterfaceInfo info {init, nullptr, nullptr};
    atk().g_type_add_interface_static(type, iface, &info);
}

} // namespace

void register_atk_types()
{
    if (s_node_type)
        return;
    s_node_type = register_type(atk().atk_object_get_type(), "SorrelAtkNode", node_class_init);
    add_interface(s_node_type, atk().atk_component_get_type(), component_init);
    add_interface(s_node_type, atk().atk_action_get_type(), action_init);
    s_window_type = register_type(s_node_type, "SorrelAtkWindow", nullptr);
    add_interface(s_window_type, atk().atk_window_get_type(), nullptr);
    s_ranged_type = register_type(s_node_type, "SorrelAtkRanged", nullptr);
    add_interface(s_ranged_type, atk().atk_value_get_type(), value_init);

    // ATK asks its AtkUtil class for the root and for event listeners; a toolkit fills them in.
    auto* util = static_cast<AtkUtilClass*>(atk().g_type_class_ref(atk().atk_util_get_type()));
    util->add_global_event_listener = util_add_global_event_listener;
    util->remove_global_event_listener = util_remove_global_event_listener;
    util->get_root = util_get_root;
    util->get_toolkit_name = util_get_toolkit_name;
    util->get_toolkit_version = util_get_toolkit_version;
}

AtkObject* make_atk_object(AtkNodeKind kind, WindowHandle id)
{
    GType type = kind == AtkNodeKind::Window ? s_window_type
        : kind == AtkNodeKind::Ranged        ? s_ranged_type
                                             : s_node_type;
    auto* object = static_cast<SorrelAtkNode*>(atk().g_object_new(type, nullptr));
    object->id = id;
    return &object->parent;
}

bool atk_has_announcement()
{
    return atk().g_signal_lookup("announcement", atk().atk_object_get_type()) != 0;
}

} // namespace sorrel::backend
