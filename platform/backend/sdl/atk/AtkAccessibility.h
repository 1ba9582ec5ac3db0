#pragma once

// The SDL backend's windows for screen readers on Linux: the host's accessible tree (and an open
// message box's) as ATK objects, published on the AT-SPI bus by ATK's bridge.
//
// [SECTION] Life
//   start() does nothing and returns null unless an accessibility bus is there (a desktop
//   without one pays nothing) and the libraries load. NO_AT_BRIDGE=1 turns it off, as it does for
//   other toolkits.
//
// [SECTION] The loop
//   Everything runs on the user-interface thread, inside GLib's default main context, which the
//   backend drives: pump() between events (non-blocking), and begin_wait()/end_wait() around a
//   blocking wait for SDL's input, during which a helper thread watches GLib's descriptors and
//   wakes SDL's wait when a call from the bus comes in.
//
// [SECTION] Changes
//   The host says what changed (Backend::accessible_event); here that only marks the trees as
//   stale. The next pump reads them again and tells the bus each difference it finds (states,
//   names, values, children), so a burst of changes between two pumps costs one reading.

#include "platform/gdi/Rect.h"
#include "platform/host/Accessibility.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

typedef struct _AtkObject AtkObject; // NOLINT(bugprone-reserved-identifier): ATK's own name

namespace sorrel::backend {

class GlibWaker;

// What the backend offers the screen reader.
class AtkSource {
public:
    virtual ~AtkSource() = default;
    virtual std::string application_name() = 0;
    // The top-level windows as trees: the form's first, then an open message box's.
    virtual std::vector<host::AccessibleNode> accessible_windows() = 0;
    // A rectangle of a top-level window's client pixels, in screen pixels.
    virtual gdi::Rect screen_rect(host::WindowHandle window, const gdi::Rect& client) = 0;
    // Queues a node's default action and returns at once; false when it has none now.
    virtual bool do_default_action(host::WindowHandle id) = 0;
    // Whether one of the windows has the keyboard (the newest of them is then the active one).
    virtual bool has_keyboard_focus() = 0;
};

class AtkAccessibility {
public:
    // `wake` ends a blocking wait for SDL's input from another thread.
    static std::unique_ptr<AtkAccessibility> start(AtkSource& source, std::function<void()> wake);
    ~AtkAccessibility();
    AtkAccessibility(const AtkAccessibility&) = delete;
    AtkAccessibility& operator=(const AtkAccessibility&) = delete;

    // The trees are stale: the next pump reads them again.
    void changed() { m_stale = true; }
    void announce(const std::string& text);
    // Tells the bus what changed and answers the calls that wait, without blocking.
    void pump();
    // Around a blocking wait: begin_wait gives the longest the wait may last (ms; negative: no
    // limit), end_wait answers what came in meanwhile.
    int begin_wait();
    void end_wait();

    // For the ATK objects (AtkObjects.cpp) -----------------------------------------------------
    static AtkAccessibility* current() { return s_current; }
    static constexpr host::WindowHandle ApplicationId = 0;
    static constexpr host::WindowHandle NotificationId = -1;
    struct Entry {
        const host::AccessibleNode* node {nullptr};
        host::WindowHandle parent {ApplicationId};
        host::WindowHandle window {0}; // the top-level window it is in
        int index {0}; // among its parent's children
    };
    const Entry* entry(host::WindowHandle id);
    // The top-level windows, in the application's order.
    const std::vector<host::AccessibleNode>& windows();
    // The top-level window that has the keyboard; ApplicationId for none.
    host::WindowHandle active_window() const { return m_active; }
    // The object of a node (made on first use), owned here.
    AtkObject* object(host::WindowHandle id);
    // Texts as UTF-8 for ATK, kept until the next reading.
    const char* utf8(const std::string& text);
    const std::string& application_name() const { return m_application_name; }
    const std::string& notification() const { return m_notification; }
    AtkSource& source() { return m_source; }

private:
    AtkAccessibility(AtkSource& source, std::function<void()> wake);
    bool register_with_bus();
    void read_trees();
    void index(
        const host::AccessibleNode& node, host::WindowHandle parent, host::WindowHandle window, int at);
    void tell_differences(const std::unordered_map<host::WindowHandle, host::AccessibleNode>& before);
    void tell_children(host::WindowHandle id, const std::vector<host::WindowHandle>& before,
        const std::vector<host::WindowHandle>& after);
    void tell_focus_and_activation();
    host::WindowHandle active_now();

    static AtkAccessibility* s_current;
    AtkSource& m_source;
    std::unique_ptr<GlibWaker> m_waker;
    std::string m_application_name;
    std::vector<host::AccessibleNode> m_windows;
    std::unordered_map<host::WindowHandle, Entry> m_entries;
    std::unordered_map<host::WindowHandle, AtkObject*> m_objects;
    std::unordered_map<std::string, std::string> m_utf8;
    std::vector<std::string> m_announcements;
    std::string m_notification;
    host::WindowHandle m_active {ApplicationId};
    host::WindowHandle m_focused {ApplicationId};
    bool m_stale {true};
    bool m_bridged {false};
};

} // namespace sorrel::backend
