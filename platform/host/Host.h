#pragma once

// The control host: forms and controls, their notifications, the property store, timers,
// message boxes, focus and input, on one user-interface thread, over an SDL2 or headless
// backend.
//
// [SECTION] Where things are
//   Variant.h         typed values with the Basic conversions (Integer, Long, Single, Boolean...)
//   PropertyBag.h     a control instance's stored properties: ReadProperty / WriteProperty
//   StdFont.h         shared font objects with change notices (FontRef)
//   StdPicture.h      shared pictures (PictureRef), LoadPicture for .ico/.bmp/.png, save_png
//   Events.h          EventArg (by-reference event arguments), EventRecorder
//   Control.h         anything on a form: Name, Index, Container, twips geometry, hWnd, z-order
//   Canvas.h          a persistent surface with its DC: Cls, Print, PaintPicture, colours, font
//   UserControl.h     the base of our controls: surface, ambient, PropertyChanged, RaiseEvent and
//                     the UserControl_* notifications
//   Timer.h PictureBox.h CheckBox.h Image.h Frame.h TextBox.h   constituent and standard controls
//   Form.h            forms: Controls, load/save of form files, event handlers
//   ControlRegistry.h control kinds by name for form files
//   Backend.h         what SDL2 and headless provide
//   Accessibility.h   the tree screen readers read: roles, states, the text form of a tree
//   Host.h            this file: services (MsgBox, DoEvents, End, SendKeys, Timer, twips per
//                     pixel, GetCursorPos, WindowFromPoint, SetWindowRgn) and the event loop
//
// [SECTION] Design notes
// - The newest Host is the current one (Host::current()); controls reach it through host(). A
//   host made while another exists (a test inside a fixture) hands the role back when it goes.
// - Nothing paints on demand: controls draw on their persistent surfaces and mark them; the host
//   composes marked areas into the window frame and presents only pixels that changed, at the
//   end of each event, in DoEvents, Sleep and while a message box is open.
// - Input follows Windows: capture from press to release; press, release, click; for a double
//   click press, release, click, double click, release; disabled windows pass the pointer to
//   their container; a window region decides which pixels belong to a window.
// - End() ends the program: the event loop stops, timers stop and further message boxes answer
//   at once without showing; the handler that called End still returns normally.
// - A close request (the window's close button, a quit from the desktop, a signal, a script's
//   `close`) is never dropped: outside a message box it ends the program at once; while a box is
//   open the box gives the answer that does least (No, or OK) and the program ends as it returns.
//   Loops that read no input (a deletion pass) ask check_for_close() between their steps.

#include "platform/gdi/Gdi.h"
#include "platform/host/Accessibility.h"
#include "platform/host/Backend.h"
#include "platform/host/Control.h"
#include "platform/host/Events.h"
#include "platform/host/Form.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host {

class Timer;

// Message box styles and answers.
constexpr int32_t vbOKOnly = 0;
constexpr int32_t vbYesNo = 4;
constexpr int32_t vbCritical = 16;
constexpr int32_t vbExclamation = 48;
constexpr int32_t vbInformation = 64;
constexpr int vbOK = 1;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

// Windows virtual-key codes the host itself knows.
constexpr int16_t vbKeyBack = 8;
constexpr int16_t vbKeyTab = 9;
constexpr int16_t vbKeyReturn = 13;
constexpr int16_t vbKeyShift = 16;
constexpr int16_t vbKeyControl = 17;
constexpr int16_t vbKeyMenu = 18; // Alt
constexpr int16_t vbKeyEscape = 27;
constexpr int16_t vbKeySpace = 32;
constexpr int16_t vbKeyLeft = 37;
constexpr int16_t vbKeyUp = 38;
constexpr int16_t vbKeyRight = 39;
constexpr int16_t vbKeyDown = 40;

class Host {
public:
    explicit Host(std::unique_ptr<Backend> backend);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The newest host of the process; a programming error to ask without one.
    static Host& current();
    static Host* current_or_null();

    Backend& backend() { return *m_backend; }

    // Services -------------------------------------------------------------------------------
    // A modal box; the answer is 1 (OK), 6 (Yes) or 7 (No). An empty title means the
    // application's title. Timers keep running while it is open.
    int MsgBox(std::string_view text, int32_t style = vbOKOnly, std::string_view title = {});
    // Handles pending input, due timers and repaints, then returns.
    void DoEvents();
    void End();
    bool has_ended() const { return m_ended; }

    // Closing --------------------------------------------------------------------------------
    // The user closes the window. Outside a message box the program's close handling runs now
    // (the program ends); while a box is open it waits until the box returns, and the box gives
    // its least answer at once.
    void request_close();
    // The same from a signal handler: async-signal-safe, it only records the request, which the
    // host takes up at its next look (event loop, DoEvents, a box's wait, check_for_close()).
    static void request_close_from_signal();
    // Takes up close requests that wait outside the input a handler reads (a signal; the window's
    // close button while a long step runs) and says whether the program is ending. Cheap enough
    // to call between the files of a deletion.
    bool check_for_close();
    // A close waits for the open box: the box should return its least answer now.
    bool close_waiting() const { return m_close_waiting; }
    // "{Tab}" moves the focus to the next control, "+{Tab}" to the previous one; queued, so the
    // move happens once the current notification returns.
    void SendKeys(std::string_view keys);
    // Seconds since midnight.
    float seconds_since_midnight();
    int TwipsPerPixelX() const { return m_twips_per_pixel_x; }
    int TwipsPerPixelY() const { return m_twips_per_pixel_y; }
    void set_twips_per_pixel(int x, int y);
    // The pointer in screen pixels.
    gdi::BOOL GetCursorPos(gdi::POINT* point);
    // The window under a screen point: the topmost visible, enabled window whose region holds
    // the point (a disabled window gives its container); 0 outside the form, and 0 at the
    // pointer while another window (another program's, a message box) lies over the form there.
    WindowHandle WindowFromPoint(gdi::POINT point);
    // The window takes the region (its own pixels) and deletes it when replaced or destroyed.
    // Returns 0 for an unknown window (the region then still belongs to the caller).
    int SetWindowRgn(WindowHandle window, gdi::HRGN region, gdi::BOOL redraw);
    // Presents pending changes, then blocks for `ms` without handling input or timers.
    void Sleep(double ms);

    const std::string& app_title() const { return m_app_title; }
    void set_app_title(std::string title) { m_app_title = std::move(title); }

    // Forms ----------------------------------------------------------------------------------
    // Opens the form's window and shows the form (Show/Resize notifications, first frame).
    void show(Form& form);
    Form* form() const { return m_form; }
    // The form goes away: the host shows nothing until the next show().
    void forget_form();
    // Runs the event loop until End() or the window closes; returns the exit status (0).
    int run();

    // Windows --------------------------------------------------------------------------------
    WindowHandle allocate_window_handle() { return ++m_last_hwnd; }
    Control* control_from_handle(WindowHandle window) const;
    // The deepest window under a point of the form's client area, with the point in its pixels.
    Control* window_at(gdi::Point client_point) const;
    // The form's control under a point: the deepest window there, or, when that window is a
    // constituent of a user control, the form's control that holds it (a press on a check box's
    // picture is a press on the check box). Null outside the form.
    Control* control_at(gdi::Point client_point) const;
    void register_control(Control& control);
    void unregister_control(Control& control);

    // Focus ----------------------------------------------------------------------------------
    Control* focused() const { return m_focused; }
    void set_focus(Control* control);
    // The controls that take the focus, in tab order.
    std::vector<Control*> tab_order() const;
    void focus_next(bool backwards);

    // Input ----------------------------------------------------------------------------------
    // Delivers one input event (and the keystrokes SendKeys queued while handling it), then
    // presents. Backends and tests call it.
    void dispatch(const InputEvent& event);
    // The pointer's position in client pixels as the host last saw it.
    gdi::Point pointer() const { return m_pointer; }
    Control* capture() const { return m_capture; }
    // Longest gap between the presses of a double click, in milliseconds.
    double double_click_ms() const { return m_double_click_ms; }
    // The next press starts afresh and cannot complete a double click (a scripted click takes
    // no time, so two in a row would otherwise make one).
    void forget_last_press() { m_last_press_window = nullptr; }

    // Timers ---------------------------------------------------------------------------------
    void register_timer(host::Timer& timer);
    void unregister_timer(host::Timer& timer);
    double now_ms() { return m_backend->now_ms(); }
    // The earliest due time of a running timer; negative when none runs.
    double next_timer_due() const;
    // Fires every timer due at or before now, earliest first; returns how many fired.
    int fire_due_timers();
    // One step of a modal wait (message box): due timers, then present.
    void run_modal_step();
    int modal_depth() const { return m_modal_depth; }

    // Presenting -----------------------------------------------------------------------------
    void invalidate_client_rect(const gdi::Rect& client_rect);
    // Composes the marked areas and presents the pixels that changed; returns whether anything
    // was presented.
    bool present_pending();
    // The composed window as last presented.
    const gdi::Surface& frame() const { return m_frame; }
    int presented_frame_count() const { return m_presented_frames; }

    // Accessibility (Accessibility.h) ----------------------------------------------------------
    // The shown form's tree as screen readers see it (a root with id 0 and no children when no
    // form is shown).
    AccessibleNode accessible_tree();
    // One node of that tree (a control or a list item); empty for an unknown id.
    std::optional<AccessibleNode> accessible_node(WindowHandle id);
    // Queues the node's default action and returns at once; it runs from the host's loop (run,
    // DoEvents) like a user's keystroke. False, and nothing queued, when the node is unknown,
    // has no default action or is unavailable (or hidden). A backend that takes the request
    // while inside wait_event returns from it (with no event) so that the loop runs it now.
    bool request_accessible_action(WindowHandle id);
    // The id of item `index` (0-based) of a list, the same every time it is asked.
    WindowHandle accessible_item_id(const Control& list, int index);
    // From the controls (Control::accessible_changed): passes the event on to the backend when
    // the control is in the tree. A progress bar's value also gives an announcement each time it
    // reaches a new tenth.
    void accessible_changed(const Control& control, AccessibleEvent event);
    // Asks the backend to speak `text` (the window's code: a verdict, a list of failures).
    void announce(std::string_view text);

    // Events ---------------------------------------------------------------------------------
    // Every event raised by any control reaches the recorder first (null: none).
    void set_event_recorder(EventRecorder* recorder) { m_recorder = recorder; }
    EventRecorder* event_recorder() const { return m_recorder; }

private:
    void deliver(const InputEvent& event);
    void deliver_mouse(const InputEvent& event);
    void deliver_key(const InputEvent& event);
    bool try_access_key(int16_t key);
    void flush_queued_input();
    Control* input_target(Control* window) const;
    void compose(const gdi::Rect& area, gdi::Surface& target) const;
    bool in_accessible_tree(const Control& control) const;
    std::optional<AccessibleNode> describe(const Control& control);
    bool start_accessible_action();

    std::unique_ptr<Backend> m_backend;
    Form* m_form {nullptr};
    std::string m_app_title {"Sorrel"};
    int m_twips_per_pixel_x {15};
    int m_twips_per_pixel_y {15};
    bool m_ended {false};
    bool m_close_waiting {false};
    Host* m_previous {nullptr};
    WindowHandle m_last_hwnd {0};
    std::vector<Control*> m_controls;
    std::vector<host::Timer*> m_timers;
    Control* m_focused {nullptr};
    Control* m_capture {nullptr};
    int16_t m_buttons_down {0};
    gdi::Point m_pointer {-1, -1};
    // Double-click detection: the last press that could begin one.
    Control* m_last_press_window {nullptr};
    int16_t m_last_press_button {0};
    double m_last_press_ms {-1e9};
    gdi::Point m_last_press_point;
    bool m_in_double_click {false};
    double m_double_click_ms {500};
    std::deque<InputEvent> m_queued_input;
    bool m_dispatching {false};
    bool m_flushing {false};
    int m_modal_depth {0};
    // What needs presenting, as one rectangle: presenting composes their union anyway, and a
    // control that repaints many times between two presents must not grow a list.
    std::optional<gdi::Rect> m_dirty;
    gdi::Surface m_frame;
    gdi::Surface m_scratch;
    int m_presented_frames {0};
    bool m_showing {false}; // inside show(): presents wait for its one frame
    EventRecorder* m_recorder {nullptr};
    // Default actions a backend asked for, run from the loop.
    std::deque<WindowHandle> m_accessible_actions;
    // List items' ids: (list, index) -> id.
    std::map<std::pair<WindowHandle, int>, WindowHandle> m_item_ids;
    // The tenth of its range each progress bar last announced.
    std::map<WindowHandle, int> m_announced_tenth;
};

// The Windows-style calls the painters and pollers use, on the current host.
gdi::BOOL GetCursorPos(gdi::POINT* point);
WindowHandle WindowFromPoint(gdi::POINT point);
int SetWindowRgn(WindowHandle window, gdi::HRGN region, gdi::BOOL redraw);

} // namespace sorrel::host
