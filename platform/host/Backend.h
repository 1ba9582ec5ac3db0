#pragma once

#include "platform/gdi/Rect.h"
#include "platform/gdi/Surface.h"
#include "platform/host/Accessibility.h"
#include "platform/host/StdPicture.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace sorrel::host {

class Host;

// Input as the backend delivers it, in the form's client pixels.
struct InputEvent {
    enum class Kind {
        MouseMove,
        MouseDown,
        MouseUp,
        MouseLeave, // the pointer left the window
        MouseWheel, // the wheel turned under the pointer: `key` is the turn, 120 a notch, positive away from
                    // the user
        KeyDown,
        KeyUp,
        Char, // a typed character (after KeyDown, before KeyUp), in `key` as Windows-1252
        Close, // the user closed the window
        SystemColors, // the system's colours changed; GetSysColor has the new ones already
    };
    Kind kind {Kind::MouseMove};
    int x {0};
    int y {0};
    int16_t button {0}; // 1 left, 2 right, 4 middle (for MouseDown / MouseUp)
    int16_t shift {0}; // 1 Shift, 2 Ctrl, 4 Alt
    int16_t key {0}; // Windows virtual-key code, or the character for Char
};

// The top-level window under the pointer, as far as the form's hover polls need to know it.
enum class WindowUnderPointer {
    Form, // the form's own window
    Other, // a window lying over the form there: another program's, or one of our message boxes
    None, // no window of ours (the pointer is outside the form)
};

struct MessageBoxRequest {
    std::string text;
    int32_t style {0};
    std::string title;
};

// What a host needs from the platform: a clock, a window to present frames in, input, the
// pointer position and modal message boxes. Three backends implement it: SDL2 on Linux, Win32 on
// Windows, and headless for the tests, scripts and screenshots.
class Backend {
public:
    virtual ~Backend() = default;

    // Called once by the Host that takes ownership.
    virtual void attach(Host& host) { m_host = &host; }

    // Milliseconds on a monotonic clock (virtual in the headless backend).
    virtual double now_ms() = 0;
    virtual double seconds_since_midnight() = 0;

    // Opens (or updates) the window for a form.
    virtual void open_window(
        const std::string& caption, int client_width, int client_height, const PictureRef& icon)
        = 0;
    virtual void set_caption(const std::string& caption) = 0;
    virtual void close_window() = 0;
    // Shows the changed rectangles of `frame` (the whole client area, in pixels).
    virtual void present(const gdi::Surface& frame, std::span<const gdi::Rect> changed) = 0;

    // Waits at most `timeout_ms` (negative: no limit) for input and returns it; empty on timeout.
    // The headless backend never waits: input comes from the test or script.
    virtual std::optional<InputEvent> wait_event(double timeout_ms) = 0;
    // Sleeps without handling input (RefreshAndWait's pressed face); virtual time advances.
    virtual void sleep_ms(double ms) = 0;
    // Whether the user has asked to close the window, looked up without taking any other input
    // (Host::check_for_close, between the steps of a loop that reads no input, so it must be
    // cheap when called very often).
    virtual bool take_close_request() { return false; }

    // The pointer in screen pixels, and where the client area's top-left is on the screen.
    virtual gdi::Point cursor_position() = 0;
    virtual gdi::Point client_origin() = 0;
    // Which top-level window the pointer is over. A backend that cannot tell answers Form, and
    // the form's controls under the point decide alone.
    virtual WindowUnderPointer window_under_pointer() { return WindowUnderPointer::Form; }

    // Shows a modal box and returns the answer (1 OK, 6 Yes, 7 No). While it is open the
    // backend keeps the host's timers and repaints running (Host::run_modal_step), not input to
    // the form. A close request (Host::request_close) is never dropped: when one comes, or
    // Host::close_waiting() says one waits, the box returns at once with any answer; the host
    // turns it into the least one.
    virtual int message_box(const MessageBoxRequest& request) = 0;

    // Accessibility (see Accessibility.h). A backend without it ignores both. The host tells
    // what changed on a node of Host::accessible_tree() (for TreeChanged, under it), and asks
    // for `text` to be spoken politely, without moving the focus: the verdict, the list of
    // files left behind, the progress at every tenth. Both come on the user-interface thread;
    // the backend reads the host's tree when it needs the node's new state.
    virtual void accessible_event(AccessibleEvent /*event*/, WindowHandle /*id*/) { }
    virtual void announce(const std::string& /*text*/) { }

protected:
    Host* m_host {nullptr};
};

} // namespace sorrel::host
