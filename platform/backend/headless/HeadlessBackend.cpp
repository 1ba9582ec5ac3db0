#include "platform/backend/headless/HeadlessBackend.h"

#include "platform/gdi/GdiObjects.h"
#include "platform/host/Host.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace sorrel::backend {

using host::InputEvent;

double HeadlessBackend::seconds_since_midnight()
{
    double ms = std::fmod(m_now_ms + m_midnight_offset_ms, 86400000.0);
    if (ms < 0)
        ms += 86400000.0;
    return ms / 1000.0;
}

void HeadlessBackend::open_window(
    const std::string& caption, int client_width, int client_height, const host::PictureRef&)
{
    m_caption = caption;
    m_window_open = true;
    m_screen = gdi::Surface(client_width, client_height, 0);
}

void HeadlessBackend::present(const gdi::Surface& frame, std::span<const gdi::Rect> changed)
{
    if (m_screen.width() != frame.width() || m_screen.height() != frame.height())
        m_screen = gdi::Surface(frame.width(), frame.height(), 0);
    for (const gdi::Rect& r : changed) {
        gdi::Rect area = r.intersected(frame.bounds());
        for (int y = area.top; y < area.bottom; ++y) {
            std::copy(frame.scanline(y) + area.left, frame.scanline(y) + area.right,
                m_screen.scanline(y) + area.left);
        }
        m_presented_pixels += long(area.width()) * area.height();
    }
    ++m_present_count;
}

static double steady_ms()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void HeadlessBackend::use_real_clock(bool real)
{
    m_real_clock = real;
    m_real_start_ms = steady_ms() - m_now_ms;
}

double HeadlessBackend::now_ms()
{
    if (m_real_clock)
        m_now_ms = steady_ms() - m_real_start_ms;
    return m_now_ms;
}

void HeadlessBackend::sleep_ms(double ms)
{
    if (!(ms > 0))
        return;
    if (m_real_clock)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
    else
        m_now_ms += ms;
}

std::optional<InputEvent> HeadlessBackend::wait_event(double timeout_ms)
{
    // Input is delivered as it is injected; there is never anything waiting. On the real clock
    // the wait is a sleep (at most a second, so that a loop without timers still turns).
    if (m_real_clock && timeout_ms != 0)
        sleep_ms(timeout_ms < 0 ? 1000.0 : std::min(timeout_ms, 1000.0));
    return std::nullopt;
}

void HeadlessBackend::advance(double ms)
{
    if (!m_host || !(ms > 0))
        return;
    run_timers_until(m_now_ms + ms);
    m_host->present_pending();
}

void HeadlessBackend::run_timers_until(double target)
{
    for (;;) {
        // A close ends the wait: the program ends, or the open box gives way.
        if (m_host->check_for_close() || m_host->close_waiting())
            return;
        double due = m_host->next_timer_due();
        if (m_close_at && *m_close_at <= target && (due < 0 || *m_close_at <= due)) {
            m_now_ms = std::max(m_now_ms, *m_close_at);
            m_close_at.reset();
            m_host->request_close();
            continue;
        }
        if (due < 0 || due > target)
            break;
        m_now_ms = std::max(m_now_ms, due);
        if (m_host->fire_due_timers() == 0)
            break;
        m_host->present_pending();
    }
    m_now_ms = std::max(m_now_ms, target);
}

bool HeadlessBackend::take_close_request()
{
    if (!m_close_at || *m_close_at > now_ms())
        return false;
    m_close_at.reset();
    return true;
}

void HeadlessBackend::user_close()
{
    if (m_host)
        m_host->request_close();
}

void HeadlessBackend::close_after(double ms)
{
    m_close_at = now_ms() + std::max(ms, 0.0);
}

int HeadlessBackend::message_box(const host::MessageBoxRequest& request)
{
    int buttons = request.style & 0xF;
    int least = buttons == host::vbYesNo ? host::vbNo : host::vbOK;
    size_t index = m_boxes.size();
    m_boxes.push_back({request.text, request.style, request.title, least});
    if (on_box_shown)
        on_box_shown(m_boxes[index]);
    // Boxes shown while this one waits (a timer's) may grow the list: keep to the index.
    auto finish = [&](int answer) {
        m_boxes[index].answer = answer;
        if (on_box_answered)
            on_box_answered(m_boxes[index]);
        return answer;
    };
    if (m_answers.empty()) {
        m_unanswered = true;
        m_boxes[index].answered = false;
        return finish(least);
    }
    Answer answer = m_answers.front();
    m_answers.pop_front();
    m_boxes[index].script_line = answer.script_line;
    m_boxes[index].queued = answer.answer;
    if (answer.while_open)
        answer.while_open();
    if (answer.answer == CloseWindow)
        m_host->request_close();
    // While the box is open time passes and timers run (they may open boxes of their own).
    else if (answer.delay_ms > 0)
        run_timers_until(m_now_ms + answer.delay_ms);
    // A signal may have come meanwhile.
    m_host->check_for_close();
    if (m_host->close_waiting()) {
        m_boxes[index].closed = true;
        return finish(least);
    }
    bool fits = buttons == host::vbYesNo ? (answer.answer == host::vbYes || answer.answer == host::vbNo)
        : buttons == host::vbOKOnly      ? answer.answer == host::vbOK
                                         : true;
    if (!fits) {
        m_boxes[index].fits = false;
        return finish(least);
    }
    return finish(answer.answer);
}

void HeadlessBackend::send(const InputEvent& event)
{
    if (m_host)
        m_host->dispatch(event);
}

void HeadlessBackend::input(const InputEvent& event)
{
    if (event.kind == InputEvent::Kind::MouseMove || event.kind == InputEvent::Kind::MouseDown
        || event.kind == InputEvent::Kind::MouseUp)
        m_cursor = {event.x + m_client_origin.x, event.y + m_client_origin.y};
    send(event);
}

void HeadlessBackend::mouse_move(int x, int y, int16_t shift)
{
    m_cursor = {x + m_client_origin.x, y + m_client_origin.y};
    send({InputEvent::Kind::MouseMove, x, y, 0, shift, 0});
}

void HeadlessBackend::mouse_down(int16_t button, int16_t shift)
{
    send({InputEvent::Kind::MouseDown, m_cursor.x - m_client_origin.x, m_cursor.y - m_client_origin.y, button,
        shift, 0});
}

void HeadlessBackend::mouse_up(int16_t button, int16_t shift)
{
    send({InputEvent::Kind::MouseUp, m_cursor.x - m_client_origin.x, m_cursor.y - m_client_origin.y, button,
        shift, 0});
}

void HeadlessBackend::mouse_leave()
{
    // Far outside the window and the screen's other windows.
    m_cursor = {-10000, -10000};
    send({InputEvent::Kind::MouseLeave, 0, 0, 0, 0, 0});
}

void HeadlessBackend::mouse_wheel(int16_t delta)
{
    send({InputEvent::Kind::MouseWheel, 0, 0, 0, 0, delta});
}

void HeadlessBackend::key_down(int16_t key_code, int16_t shift)
{
    send({InputEvent::Kind::KeyDown, 0, 0, 0, shift, key_code});
}

void HeadlessBackend::key_up(int16_t key_code, int16_t shift)
{
    send({InputEvent::Kind::KeyUp, 0, 0, 0, shift, key_code});
}

void HeadlessBackend::type_char(int16_t character, int16_t shift)
{
    send({InputEvent::Kind::Char, 0, 0, 0, shift, character});
}

void HeadlessBackend::key(int16_t key_code, int16_t shift)
{
    key_down(key_code, shift);
    // Keys that produce a character: space, Enter, Escape, Backspace, letters and digits.
    bool printable = key_code == 8 || key_code == 13 || key_code == 27 || key_code == 32
        || (key_code >= '0' && key_code <= '9') || (key_code >= 'A' && key_code <= 'Z');
    if (printable && !(shift & (host::vbCtrlMask | host::vbAltMask))) {
        int16_t c = key_code;
        if (c >= 'A' && c <= 'Z' && !(shift & host::vbShiftMask))
            c = int16_t(c + 32);
        type_char(c, shift);
    }
    key_up(key_code, shift);
}

void HeadlessBackend::type(std::string_view text)
{
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        int16_t vk = int16_t(std::toupper(c));
        int16_t shift = std::isupper(c) ? host::vbShiftMask : 0;
        if (!std::isalnum(c) && c != ' ')
            vk = 0;
        if (vk)
            key_down(vk, shift);
        type_char(int16_t(c), shift);
        if (vk)
            key_up(vk, shift);
    }
}

std::optional<gdi::Point> HeadlessBackend::point_in(const host::Control& control) const
{
    if (!m_host || !control.is_shown() || !control.has_window())
        return std::nullopt;
    gdi::Rect r = control.client_rect();
    if (r.is_empty())
        return std::nullopt;
    gdi::Point centre {r.left + r.width() / 2, r.top + r.height() / 2};
    // The pixel nearest the centre that really belongs to the control (or to one of its
    // constituents).
    std::optional<gdi::Point> best;
    long best_distance = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            long dx = x - centre.x, dy = y - centre.y;
            long d = dx * dx + dy * dy;
            if (best && d >= best_distance)
                continue;
            if (m_host->control_at({x, y}) != &control && m_host->window_at({x, y}) != &control)
                continue;
            best = gdi::Point {x, y};
            best_distance = d;
            if (d == 0)
                return best;
        }
    }
    return best;
}

bool HeadlessBackend::move_to(const host::Control& control)
{
    auto p = point_in(control);
    if (!p)
        return false;
    mouse_move(p->x, p->y);
    return true;
}

bool HeadlessBackend::press(const host::Control& control, int16_t button)
{
    if (!move_to(control))
        return false;
    mouse_down(button);
    return true;
}

bool HeadlessBackend::click(const host::Control& control, int16_t button)
{
    if (m_host)
        m_host->forget_last_press();
    if (!press(control, button))
        return false;
    mouse_up(button);
    return true;
}

void HeadlessBackend::click_at(int x, int y, int16_t button)
{
    if (m_host)
        m_host->forget_last_press();
    mouse_move(x, y);
    mouse_down(button);
    mouse_up(button);
}

bool HeadlessBackend::double_click(const host::Control& control)
{
    if (!click(control))
        return false;
    mouse_down(1);
    mouse_up(1);
    return true;
}

void HeadlessBackend::queue_answer(
    int answer, double delay_ms, int script_line, std::function<void()> while_open)
{
    m_answers.push_back({answer, delay_ms, script_line, std::move(while_open)});
}

host::ErrorOr<void> HeadlessBackend::save_screenshot(const std::string& path) const
{
    return host::save_png(m_screen, path);
}

} // namespace sorrel::backend
