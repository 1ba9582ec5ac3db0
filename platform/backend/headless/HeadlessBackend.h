#pragma once

#include "platform/host/Backend.h"
#include "platform/host/ErrorOr.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sorrel::host {
class Control;
}

namespace sorrel::backend {

// A backend without a display, for tests and UI scripts.
//
// Time is virtual: it stands still until advance() moves it, and every timer that falls due on
// the way fires at its due time, earliest first. Input is injected by name or position and
// handled at once. Message boxes take their answers from a queue (with an optional delay during
// which time advances and timers fire, so a box can stay open while they run) and every box
// shown is recorded with the answer it got. The user may close the window now or at a later
// moment of virtual time (during a scan's yields, a box's wait, or between the files of a
// removal that asks Host::check_for_close). The window's pixels are kept and can be saved as
// PNG.
class HeadlessBackend final : public host::Backend {
public:
    struct ShownBox {
        std::string text;
        int32_t style {0};
        std::string title;
        int answer {0};
        bool answered {true}; // false: no answer was queued
        int queued {0}; // the answer taken from the queue
        bool fits {true}; // false: the queued answer names a button the box does not have
        bool closed {false}; // a close request ended the box
        int script_line {0}; // where the queued answer came from (queue_answer)
    };
    // An answer that closes the window while the box is open, instead of pressing a button.
    static constexpr int CloseWindow = -1;

    // The host takes ownership; keep the raw pointer for driving it.
    static std::unique_ptr<HeadlessBackend> create() { return std::make_unique<HeadlessBackend>(); }

    // Backend ----------------------------------------------------------------------------------
    double now_ms() override;
    double seconds_since_midnight() override;
    void open_window(const std::string& caption, int client_width, int client_height,
        const host::PictureRef& icon) override;
    void set_caption(const std::string& caption) override { m_caption = caption; }
    void close_window() override { m_window_open = false; }
    void present(const gdi::Surface& frame, std::span<const gdi::Rect> changed) override;
    std::optional<host::InputEvent> wait_event(double timeout_ms) override;
    void sleep_ms(double ms) override;
    bool take_close_request() override;
    gdi::Point cursor_position() override { return m_cursor; }
    gdi::Point client_origin() override { return m_client_origin; }
    host::WindowUnderPointer window_under_pointer() override { return m_window_under_pointer; }
    int message_box(const host::MessageBoxRequest& request) override;
    void accessible_event(host::AccessibleEvent event, host::WindowHandle id) override
    {
        m_accessible_events.push_back({event, id});
    }
    void announce(const std::string& text) override { m_announcements.push_back(text); }

    // Clock ------------------------------------------------------------------------------------
    // Moves virtual time on by `ms`, firing every timer that falls due, in order.
    void advance(double ms);
    void set_time_of_day(double seconds) { m_midnight_offset_ms = seconds * 1000.0 - m_now_ms; }
    // Runs on the real clock instead (for measuring the event loop): waits sleep, time passes
    // by itself and advance() is not used.
    void use_real_clock(bool real);

    // Input ------------------------------------------------------------------------------------
    // Positions are client pixels of the form.
    void mouse_move(int x, int y, int16_t shift = 0);
    void mouse_down(int16_t button = 1, int16_t shift = 0);
    void mouse_up(int16_t button = 1, int16_t shift = 0);
    void mouse_leave();
    // Turns the wheel where the pointer is: 120 a notch, positive away from the user.
    void mouse_wheel(int16_t delta);
    void key_down(int16_t key_code, int16_t shift = 0);
    void key_up(int16_t key_code, int16_t shift = 0);
    void type_char(int16_t character, int16_t shift = 0);
    // Key down, the character for printable keys, key up.
    void key(int16_t key_code, int16_t shift = 0);
    void type(std::string_view text);
    // Delivers `event` as it stands; a mouse press, release or move puts the pointer at its
    // position first.
    void input(const host::InputEvent& event);

    // A point that lies in the control (the centre, or the pixel nearest it that belongs to the
    // control's window or to one of its constituents), in client pixels; empty when the control
    // is hidden or covered there.
    std::optional<gdi::Point> point_in(const host::Control& control) const;
    // Moves there, presses and releases: a single click, never the second half of a double
    // click, however little time has passed. Press and move_to only move there first.
    bool click(const host::Control& control, int16_t button = 1);
    void click_at(int x, int y, int16_t button = 1);
    bool double_click(const host::Control& control);
    bool press(const host::Control& control, int16_t button = 1);
    bool move_to(const host::Control& control);
    void release(int16_t button = 1) { mouse_up(button); }

    // Closing ----------------------------------------------------------------------------------
    // The user closes the window now (Host::request_close).
    void user_close();
    // ... or once `ms` of virtual time have passed, whatever runs then.
    void close_after(double ms);

    // Message boxes ----------------------------------------------------------------------------
    // The next box shown answers `answer` (1 OK, 6 Yes, 7 No, or CloseWindow) after `delay_ms`
    // of virtual time, and after `while_open` has run (the user doing something else first). An
    // answer the box has no button for is recorded (fits false) and the box gives its least
    // answer.
    void queue_answer(
        int answer, double delay_ms = 0, int script_line = 0, std::function<void()> while_open = {});
    size_t queued_answers() const { return m_answers.size(); }
    // The script line of the next queued answer (0 when none).
    int next_answer_line() const { return m_answers.empty() ? 0 : m_answers.front().script_line; }
    void clear_answers() { m_answers.clear(); }
    const std::vector<ShownBox>& boxes() const { return m_boxes; }
    void clear_boxes() { m_boxes.clear(); }
    // A box was shown with no answer queued (it answered OK / No at once).
    bool saw_unanswered_box() const { return m_unanswered; }
    void clear_unanswered() { m_unanswered = false; }
    // Called as each box is shown, before it is answered, and as it returns.
    std::function<void(const ShownBox&)> on_box_shown;
    std::function<void(const ShownBox&)> on_box_answered;

    // Screen -----------------------------------------------------------------------------------
    const gdi::Surface& screen() const { return m_screen; }
    host::ErrorOr<void> save_screenshot(const std::string& path) const;
    int present_count() const { return m_present_count; }
    // Pixels presented so far (a repaint with identical pixels adds none).
    long presented_pixels() const { return m_presented_pixels; }
    const std::string& caption() const { return m_caption; }
    bool window_open() const { return m_window_open; }

    // Accessibility ----------------------------------------------------------------------------
    // What the host told a screen reader, in order, since the last clear.
    struct AccessibleEventRecord {
        host::AccessibleEvent event;
        host::WindowHandle id;
    };
    const std::vector<AccessibleEventRecord>& accessible_events() const { return m_accessible_events; }
    void clear_accessible_events() { m_accessible_events.clear(); }
    const std::vector<std::string>& announcements() const { return m_announcements; }
    void clear_announcements() { m_announcements.clear(); }

    // The screen position of the client area (GetCursorPos answers in screen pixels).
    void set_client_origin(gdi::Point origin) { m_client_origin = origin; }
    // Which top-level window the pointer is over: Other stands for a window of another program,
    // or a message box, lying over the form at the pointer (the form by default).
    void set_window_under_pointer(host::WindowUnderPointer window) { m_window_under_pointer = window; }

private:
    void send(const host::InputEvent& event);
    // Moves the clock to `target`, firing on the way each timer that falls due at its own time.
    void run_timers_until(double target);

    struct Answer {
        int answer;
        double delay_ms;
        int script_line;
        std::function<void()> while_open;
    };

    double m_now_ms {0};
    bool m_real_clock {false};
    double m_real_start_ms {0};
    double m_midnight_offset_ms {9 * 3600 * 1000.0};
    gdi::Point m_client_origin {100, 100};
    gdi::Point m_cursor {0, 0};
    host::WindowUnderPointer m_window_under_pointer {host::WindowUnderPointer::Form};
    gdi::Surface m_screen;
    std::string m_caption;
    bool m_window_open {false};
    int m_present_count {0};
    long m_presented_pixels {0};
    std::deque<Answer> m_answers;
    std::vector<ShownBox> m_boxes;
    bool m_unanswered {false};
    std::optional<double> m_close_at;
    std::vector<AccessibleEventRecord> m_accessible_events;
    std::vector<std::string> m_announcements;
};

} // namespace sorrel::backend
