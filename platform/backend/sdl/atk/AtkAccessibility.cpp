#include "platform/backend/sdl/atk/AtkAccessibility.h"

#include "platform/backend/sdl/atk/AtkLibrary.h"
#include "platform/backend/sdl/atk/AtkObjects.h"
#include "platform/backend/sdl/atk/GlibWaker.h"
#include "platform/base/Cp1252.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string_view>

// [SECTION] Life
// [SECTION] The trees
// [SECTION] Telling the bus

namespace sorrel::backend {

using host::AccessibleNode;
using host::AccessibleState;
using host::WindowHandle;

AtkAccessibility* AtkAccessibility::s_current = nullptr;

// [SECTION] Life

namespace {

// Whether a screen reader could be listening: the accessibility bus's launcher runs (its socket
// is in the runtime folder), or the session names the bus itself. Looked at without D-Bus, so
// that a desktop without the bus maps no library for it.
bool accessibility_bus_present()
{
    if (const char* off = std::getenv("NO_AT_BRIDGE"); off && std::strcmp(off, "1") == 0)
        return false;
    if (const char* address = std::getenv("AT_SPI_BUS_ADDRESS"); address && *address)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
        return false;
    DIR* folder = ::opendir((std::string(runtime) + "/at-spi").c_str());
    if (!folder)
        return false;
    bool found = false;
    while (const dirent* entry = ::readdir(folder)) {
        // "bus", or "bus_0" for display :0.
        std::string_view name = entry->d_name;
        if (name == "bus" || name.starts_with("bus_"))
            found = true;
    }
    ::closedir(folder);
    return found;
}

} // namespace

std::unique_ptr<AtkAccessibility> AtkAccessibility::start(AtkSource& source, std::function<void()> wake)
{
    if (s_current || !accessibility_bus_present() || !load_atk())
        return nullptr;
    std::unique_ptr<AtkAccessibility> a11y(new AtkAccessibility(source, std::move(wake)));
    if (!a11y->register_with_bus())
        return nullptr;
    return a11y;
}

AtkAccessibility::AtkAccessibility(AtkSource& source, std::function<void()> wake)
    : m_source(source)
    , m_waker(std::make_unique<GlibWaker>(std::move(wake)))
{
    s_current = this;
}

AtkAccessibility::~AtkAccessibility()
{
    m_waker.reset();
    if (m_bridged)
        atk().atk_bridge_adaptor_cleanup();
    // The objects may still be held by the bridge's caches; without a tree they answer as dead.
    s_current = nullptr;
    for (auto& [id, object] : m_objects)
        atk().g_object_unref(object);
}

bool AtkAccessibility::register_with_bus()
{
    register_atk_types();
    read_trees();
    m_stale = false;
    m_active = active_now();
    // The bridge finds the bus, announces the application to the registry and answers its calls
    // from GLib's default context from now on.
    m_bridged = atk().atk_bridge_adaptor_init(nullptr, nullptr) == 0;
    return m_bridged;
}

void AtkAccessibility::announce(const std::string& text)
{
    m_announcements.push_back(text);
}

void AtkAccessibility::pump()
{
    if (m_stale || !m_announcements.empty()) {
        auto before = std::unordered_map<WindowHandle, AccessibleNode>();
        for (auto& [id, entry] : m_entries) {
            AccessibleNode copy = *entry.node;
            copy.children.clear();
            for (const AccessibleNode& child : entry.node->children)
                copy.children.emplace_back().id = child.id;
            before.emplace(id, std::move(copy));
        }
        std::vector<WindowHandle> windows_before;
        for (const AccessibleNode& window : m_windows)
            windows_before.push_back(window.id);
        if (m_stale)
            read_trees();
        m_stale = false;
        std::vector<WindowHandle> windows_after;
        for (const AccessibleNode& window : m_windows)
            windows_after.push_back(window.id);
        tell_children(ApplicationId, windows_before, windows_after);
        tell_differences(before);
        tell_focus_and_activation();
        for (const std::string& text : m_announcements) {
            if (m_windows.empty())
                break;
            AtkObject* window = object(m_windows.front().id);
            if (atk_has_announcement()) {
                atk().g_signal_emit_by_name(window, "announcement", utf8(text));
            } else {
                // ATK before 2.50 has no announcements: a notification that shows is what
                // screen readers read out without moving the focus.
                m_notification = text;
                AtkObject* notice = object(NotificationId);
                atk().atk_object_notify_state_change(notice, ATK_STATE_SHOWING, TRUE);
            }
        }
        m_announcements.clear();
    }
    GlibWaker::iterate();
}

int AtkAccessibility::begin_wait()
{
    pump();
    return m_waker->begin();
}

void AtkAccessibility::end_wait()
{
    m_waker->end();
}

// [SECTION] The trees

void AtkAccessibility::read_trees()
{
    m_windows = m_source.accessible_windows();
    m_entries.clear();
    m_utf8.clear();
    for (size_t i = 0; i < m_windows.size(); ++i)
        index(m_windows[i], ApplicationId, m_windows[i].id, int(i));
    m_application_name = m_source.application_name();
}

void AtkAccessibility::index(const AccessibleNode& node, WindowHandle parent, WindowHandle window, int at)
{
    m_entries[node.id] = Entry {&node, parent, window, at};
    for (size_t i = 0; i < node.children.size(); ++i)
        index(node.children[i], node.id, window, int(i));
}

const AtkAccessibility::Entry* AtkAccessibility::entry(WindowHandle id)
{
    auto found = m_entries.find(id);
    return found == m_entries.end() ? nullptr : &found->second;
}

const std::vector<AccessibleNode>& AtkAccessibility::windows()
{
    return m_windows;
}

AtkObject* AtkAccessibility::object(WindowHandle id)
{
    if (auto found = m_objects.find(id); found != m_objects.end())
        return found->second;
    AtkNodeKind kind = AtkNodeKind::Node;
    if (const Entry* e = entry(id)) {
        if (e->parent == ApplicationId)
            kind = AtkNodeKind::Window;
        else if (e->node->range)
            kind = AtkNodeKind::Ranged;
    } else if (id != ApplicationId && id != NotificationId) {
        return nullptr;
    }
    AtkObject* made = make_atk_object(kind, id);
    m_objects.emplace(id, made);
    return made;
}

const char* AtkAccessibility::utf8(const std::string& text)
{
    // The host's texts are Windows-1252, like every text of the controls.
    auto [at, added] = m_utf8.try_emplace(text);
    if (added)
        at->second = base::cp1252_to_utf8(text);
    return at->second.c_str();
}

// [SECTION] Telling the bus

void AtkAccessibility::tell_children(
    WindowHandle id, const std::vector<WindowHandle>& before, const std::vector<WindowHandle>& after)
{
    if (before == after)
        return;
    AtkObject* parent = object(id);
    for (size_t i = before.size(); i-- > 0;) {
        // A child nobody asked for has no object, and nobody to tell.
        auto found = m_objects.find(before[i]);
        if (found == m_objects.end() || std::find(after.begin(), after.end(), before[i]) != after.end())
            continue;
        atk().g_signal_emit_by_name(parent, "children-changed::remove", guint(i), found->second);
        if (id == ApplicationId)
            atk().g_signal_emit_by_name(found->second, "destroy");
        atk().atk_object_notify_state_change(found->second, ATK_STATE_DEFUNCT, TRUE);
    }
    for (size_t i = 0; i < after.size(); ++i) {
        if (std::find(before.begin(), before.end(), after[i]) == before.end()) {
            AtkObject* child = object(after[i]);
            atk().g_signal_emit_by_name(parent, "children-changed::add", guint(i), child);
            if (id == ApplicationId)
                atk().g_signal_emit_by_name(child, "create");
        }
    }
}

void AtkAccessibility::tell_differences(const std::unordered_map<WindowHandle, AccessibleNode>& before)
{
    struct Flag {
        AccessibleState state;
        AtkStateType atk;
        bool when_set; // ATK's state is there when Sorrel's is (true) or when it is not
    };
    static const Flag flags[] = {
        {AccessibleState::Unavailable, ATK_STATE_ENABLED, false},
        {AccessibleState::Unavailable, ATK_STATE_SENSITIVE, false},
        {AccessibleState::Focusable, ATK_STATE_FOCUSABLE, true},
        {AccessibleState::Checked, ATK_STATE_CHECKED, true},
        {AccessibleState::Pressed, ATK_STATE_PRESSED, true},
        {AccessibleState::Mixed, ATK_STATE_INDETERMINATE, true},
        {AccessibleState::Invisible, ATK_STATE_VISIBLE, false},
        {AccessibleState::Offscreen, ATK_STATE_SHOWING, false},
    };
    for (auto& [id, now] : m_entries) {
        auto was = before.find(id);
        if (was == before.end())
            continue;
        const AccessibleNode& old = was->second;
        const AccessibleNode& node = *now.node;
        // Only nodes a screen reader has asked for have objects to tell about.
        auto found = m_objects.find(id);
        if (found == m_objects.end())
            continue;
        AtkObject* object = found->second;
        if (node.name != old.name)
            atk().g_object_notify(reinterpret_cast<GObject*>(object), "accessible-name");
        if (node.description != old.description)
            atk().g_object_notify(reinterpret_cast<GObject*>(object), "accessible-description");
        if (node.value != old.value || node.range != old.range) {
            atk().g_object_notify(reinterpret_cast<GObject*>(object), "accessible-value");
            if (node.range)
                atk().g_signal_emit_by_name(object, "value-changed", node.range->current, utf8(node.value));
        }
        for (const Flag& flag : flags) {
            bool on = node.states.has(flag.state) == flag.when_set;
            bool was_on = old.states.has(flag.state) == flag.when_set;
            // Showing also goes with visibility.
            if (flag.atk == ATK_STATE_SHOWING) {
                on = on && !node.states.has(AccessibleState::Invisible);
                was_on = was_on && !old.states.has(AccessibleState::Invisible);
            }
            if (on != was_on)
                atk().atk_object_notify_state_change(object, flag.atk, on);
        }
        std::vector<WindowHandle> children_before, children_after;
        for (const AccessibleNode& child : old.children)
            children_before.push_back(child.id);
        for (const AccessibleNode& child : node.children)
            children_after.push_back(child.id);
        tell_children(id, children_before, children_after);
    }
}

WindowHandle AtkAccessibility::active_now()
{
    // Input goes to the newest window: an open box, else the form.
    return !m_windows.empty() && m_source.has_keyboard_focus() ? m_windows.back().id : ApplicationId;
}

// A window that takes or loses the keyboard is told as activated or deactivated (screen readers
// follow the active window); the focus is told when it moves to another node or another window,
// also when the node is new (a box's first button).
void AtkAccessibility::tell_focus_and_activation()
{
    WindowHandle active = active_now();
    if (active != m_active) {
        if (auto old = m_objects.find(m_active); old != m_objects.end() && entry(m_active)) {
            atk().atk_object_notify_state_change(old->second, ATK_STATE_ACTIVE, FALSE);
            atk().g_signal_emit_by_name(old->second, "deactivate");
        }
        if (active != ApplicationId) {
            atk().atk_object_notify_state_change(object(active), ATK_STATE_ACTIVE, TRUE);
            atk().g_signal_emit_by_name(object(active), "activate");
        }
        m_active = active;
    }
    WindowHandle focused = ApplicationId;
    std::function<void(const AccessibleNode&)> find = [&](const AccessibleNode& node) {
        if (node.states.has(AccessibleState::Focused))
            focused = node.id;
        for (const AccessibleNode& child : node.children)
            find(child);
    };
    if (!m_windows.empty())
        find(m_windows.back());
    if (focused == m_focused)
        return;
    if (auto old = m_objects.find(m_focused); old != m_objects.end())
        atk().atk_object_notify_state_change(old->second, ATK_STATE_FOCUSED, FALSE);
    m_focused = focused;
    if (focused != ApplicationId) {
        AtkObject* now = object(focused);
        atk().atk_object_notify_state_change(now, ATK_STATE_FOCUSED, TRUE);
        atk().atk_focus_tracker_notify(now);
    }
}

} // namespace sorrel::backend
