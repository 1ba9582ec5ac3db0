#pragma once

#include "platform/host/Backend.h"
#include "platform/host/ErrorOr.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Only the handle types, so that users of the backend need not see <windows.h>.
struct HWND__;
struct HICON__;

namespace sorrel::backend {

struct AccessibleLink;

// A real top-level window on Win32. The form's client area is drawn at a whole-number scale taken
// from the monitor's DPI into a bitmap of the window's size; a present copies the changed
// rectangles into it and puts only those on the screen with SetDIBitsToDevice.
//
// Input is what Windows delivers, unchanged where the host speaks Windows already: button codes
// 1, 2, 4, the shift mask, virtual-key codes as they come, typed characters (WM_CHAR, UTF-16)
// converted to Windows-1252 ("?" for what the code page lacks). The mouse is captured from press
// to release.
//
// Message boxes are the system's own MessageBoxW, owned by the window, so that they look and read
// like every other box on the desktop. The box runs its own modal loop; a thread timer, which that
// loop dispatches, runs the host's timers and repaints while it is open, and ends the box with its
// least answer when a close waits.
//
// Screen readers read the window through Active Accessibility (AccessibleObject.h): the window
// answers WM_GETOBJECT with the host's tree, and the host's changes go out as WinEvents.
class Win32Backend final : public host::Backend {
public:
    // `scale` 0 takes the monitor's. Fails (with the system's reason in `error`) when the window
    // class cannot be registered.
    static host::ErrorOr<std::unique_ptr<Win32Backend>> create(int scale = 0);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    double now_ms() override;
    double seconds_since_midnight() override;
    void open_window(const std::string& caption, int client_width, int client_height,
        const host::PictureRef& icon) override;
    void set_caption(const std::string& caption) override;
    void close_window() override;
    void present(const gdi::Surface& frame, std::span<const gdi::Rect> changed) override;
    std::optional<host::InputEvent> wait_event(double timeout_ms) override;
    void sleep_ms(double ms) override;
    bool take_close_request() override;
    gdi::Point cursor_position() override;
    gdi::Point client_origin() override;
    host::WindowUnderPointer window_under_pointer() override;
    int message_box(const host::MessageBoxRequest& request) override;
    void accessible_event(host::AccessibleEvent event, host::WindowHandle id) override;
    void announce(const std::string& text) override;

    int scale() const { return m_scale; }
    host::Host* host() const { return m_host; }
    HWND__* window() const { return m_window; }
    // Why open_window made no window; empty while there is one.
    const std::string& window_error() const { return m_window_error; }

    // The window procedure's work and one tick of an open box's timer; public only for the
    // callbacks that Windows calls.
    intptr_t handle_message(unsigned message, uintptr_t wparam, intptr_t lparam);
    void run_box_step(uintptr_t timer);
    // Ends the current wait for input early: a screen reader's call, taken among the messages,
    // has queued work for the host's loop.
    void wake() { m_woken = true; }

    explicit Win32Backend(int scale);

private:
    bool pump_messages();
    void push(host::InputEvent event);
    void take_mouse(unsigned message, intptr_t lparam);
    void take_character(char16_t unit);
    void paint(const gdi::Rect& window_area);
    void scale_into_bitmap(const gdi::Rect& area);
    void fit_window_to_client();
    void release_icons();
    intptr_t answer_accessible_object(uintptr_t wparam, intptr_t lparam);
    void notify(unsigned event, host::WindowHandle id);

    HWND__* m_window {nullptr};
    std::string m_window_error;
    int m_scale {1};
    bool m_fixed_scale {false};
    gdi::Surface m_frame; // the form's pixels as last presented
    std::vector<uint32_t> m_bitmap; // the window's pixels: m_frame scaled, in the DIB's byte order
    HICON__* m_big_icon {nullptr};
    HICON__* m_small_icon {nullptr};
    int16_t m_buttons {0};
    bool m_tracking_leave {false};
    char16_t m_high_surrogate {0};
    bool m_in_message_box {false};
    std::deque<host::InputEvent> m_pending;
    int64_t m_counter_start {0};
    double m_counter_ms {1};
    double m_next_close_look_ms {0};
    // Shared with the accessible objects handed out; made when a client first asks.
    std::shared_ptr<AccessibleLink> m_accessible;
    bool m_com_ready {false};
    bool m_woken {false};
    // The value each node was last announced with: a removal's bar moves far more often than
    // its percent, and a screen reader need only hear the percent.
    std::map<host::WindowHandle, std::string> m_notified_values;
};

// The whole-number scale for a monitor of `dpi` dots per inch: 96 to a step, rounded, 1 to 4.
int scale_from_dpi(unsigned dpi);

} // namespace sorrel::backend
