#include "platform/host/Host.h"

#include "platform/gdi/GdiObjects.h"
#include "platform/host/ControlRegistry.h"
#include "platform/host/Timer.h"
#include "platform/host/UserControl.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cctype>
#include <cmath>

// [SECTION] Host life and services
// [SECTION] Windows and hit testing
// [SECTION] Focus
// [SECTION] Input
// [SECTION] Timers
// [SECTION] Presenting

namespace sorrel::host {

static Host* s_current = nullptr;
// Set by a signal handler; lock-free, so setting it is async-signal-safe.
static std::atomic<bool> s_close_signalled {false};
static_assert(std::atomic<bool>::is_always_lock_free);
// The longest the event loop waits for input before it looks for a signal's close request.
constexpr double SignalCheckInterval = 100;

// [SECTION] Host life and services

Host::Host(std::unique_ptr<Backend> backend)
    : m_backend(std::move(backend))
{
    m_previous = s_current;
    s_current = this;
    register_standard_control_kinds();
    m_backend->attach(*this);
}

Host::~Host()
{
    if (s_current == this)
        s_current = m_previous;
}

Host& Host::current()
{
    assert(s_current);
    return *s_current;
}

Host* Host::current_or_null()
{
    return s_current;
}

int Host::MsgBox(std::string_view text, int32_t style, std::string_view title)
{
    bool yes_no = (style & 0xF) == vbYesNo;
    int least = yes_no ? vbNo : vbOK;
    // After End, or with a close on its way, nothing more is shown; the answer is the one that
    // does least.
    if (check_for_close() || m_close_waiting)
        return least;
    MessageBoxRequest request {std::string(text), style, title.empty() ? m_app_title : std::string(title)};
    // A modal box takes the mouse: a press that was in progress is over for the form.
    m_capture = nullptr;
    m_buttons_down = 0;
    present_pending();
    ++m_modal_depth;
    int answer = m_backend->message_box(request);
    --m_modal_depth;
    if (yes_no && answer != vbYes && answer != vbNo)
        answer = vbNo;
    if (!yes_no && (style & 0xF) == vbOKOnly)
        answer = vbOK;
    if (m_close_waiting) {
        answer = least;
        // The outermost box has returned: the close that waited runs now.
        if (m_modal_depth == 0) {
            m_close_waiting = false;
            End();
        }
    }
    present_pending();
    return answer;
}

void Host::DoEvents()
{
    if (check_for_close())
        return;
    while (!m_ended) {
        auto event = m_backend->wait_event(0);
        if (!event)
            break;
        dispatch(*event);
    }
    fire_due_timers();
    flush_queued_input();
    present_pending();
}

void Host::End()
{
    m_ended = true;
    m_capture = nullptr;
}

void Host::request_close()
{
    if (m_ended)
        return;
    if (m_modal_depth > 0) {
        m_close_waiting = true;
        return;
    }
    End();
}

void Host::request_close_from_signal()
{
    s_close_signalled.store(true, std::memory_order_relaxed);
}

bool Host::check_for_close()
{
    if (m_ended)
        return true;
    if (s_close_signalled.exchange(false, std::memory_order_relaxed))
        request_close();
    if (!m_ended && !m_close_waiting && m_backend->take_close_request())
        request_close();
    return m_ended;
}

void Host::SendKeys(std::string_view keys)
{
    // Only the keystrokes the controls send are understood: "{Tab}" and "+{Tab}", repeated.
    size_t i = 0;
    while (i < keys.size()) {
        int16_t shift = 0;
        if (keys[i] == '+') {
            shift = vbShiftMask;
            ++i;
        }
        std::string_view rest = keys.substr(i);
        std::string lower;
        for (char c : rest.substr(0, 5))
            lower += char(std::tolower(static_cast<unsigned char>(c)));
        if (lower == "{tab}") {
            m_queued_input.push_back({InputEvent::Kind::KeyDown, 0, 0, 0, shift, vbKeyTab});
            m_queued_input.push_back({InputEvent::Kind::KeyUp, 0, 0, 0, shift, vbKeyTab});
            i += 5;
        } else {
            ++i; // anything else is ignored
        }
    }
    if (!m_dispatching)
        flush_queued_input();
}

float Host::seconds_since_midnight()
{
    return float(m_backend->seconds_since_midnight());
}

void Host::set_twips_per_pixel(int x, int y)
{
    m_twips_per_pixel_x = std::max(x, 1);
    m_twips_per_pixel_y = std::max(y, 1);
}

gdi::BOOL Host::GetCursorPos(gdi::POINT* point)
{
    if (!point)
        return gdi::FALSE;
    gdi::Point p = m_backend->cursor_position();
    point->x = p.x;
    point->y = p.y;
    return gdi::TRUE;
}

WindowHandle Host::WindowFromPoint(gdi::POINT point)
{
    // At the pointer, a window lying over the form hides the controls beneath it.
    gdi::Point cursor = m_backend->cursor_position();
    if (point.x == cursor.x && point.y == cursor.y
        && m_backend->window_under_pointer() != WindowUnderPointer::Form)
        return 0;
    gdi::Point origin = m_backend->client_origin();
    Control* window = input_target(window_at({point.x - origin.x, point.y - origin.y}));
    return window ? window->hWnd() : 0;
}

int Host::SetWindowRgn(WindowHandle window, gdi::HRGN region, gdi::BOOL redraw)
{
    Control* control = control_from_handle(window);
    if (!control)
        return 0;
    control->set_window_region(region);
    if (redraw)
        present_pending();
    return 1;
}

void Host::Sleep(double ms)
{
    present_pending();
    if (ms > 0)
        m_backend->sleep_ms(ms);
}

void Host::show(Form& form)
{
    m_form = &form;
    gdi::Rect client = form.pixel_rect();
    m_backend->open_window(form.Caption(), client.width(), client.height(), form.Icon());
    // The controls' first paints, and the outlines they hand over on showing, reach the screen
    // together in one frame when the window is first shown.
    m_showing = true;
    form.show();
    // The first control in tab order starts with the focus, as a dialog's first tab stop does.
    if (!m_focused) {
        auto order = tab_order();
        if (!order.empty())
            set_focus(order.front());
    }
    m_showing = false;
    m_frame = {};
    invalidate_client_rect(form.pixel_rect());
    present_pending();
}

void Host::forget_form()
{
    m_form = nullptr;
    m_focused = nullptr;
    m_capture = nullptr;
    m_dirty.reset();
}

int Host::run()
{
    while (!check_for_close() && m_form) {
        fire_due_timers();
        flush_queued_input();
        present_pending();
        if (m_ended)
            break;
        // The wait is cut short now and then so that a close request from a signal is seen.
        double due = next_timer_due();
        double timeout = due < 0 ? SignalCheckInterval : std::clamp(due - now_ms(), 0.0, SignalCheckInterval);
        auto event = m_backend->wait_event(timeout);
        if (event)
            dispatch(*event);
    }
    if (m_form)
        m_form->unload();
    m_backend->close_window();
    return 0;
}

// [SECTION] Windows and hit testing

void Host::register_control(Control& control)
{
    m_controls.push_back(&control);
}

void Host::unregister_control(Control& control)
{
    std::erase(m_controls, &control);
    if (m_focused == &control)
        m_focused = nullptr;
    if (m_capture == &control)
        m_capture = nullptr;
    if (m_last_press_window == &control)
        m_last_press_window = nullptr;
    if (m_form == &control)
        m_form = nullptr;
}

Control* Host::control_from_handle(WindowHandle window) const
{
    if (window == 0)
        return nullptr;
    for (Control* c : m_controls) {
        if (c->hWnd() == window)
            return c;
    }
    return nullptr;
}

static gdi::Region* region_of(gdi::HRGN handle)
{
    auto* object = gdi::object_cast<gdi::RegionObject>(handle);
    return object ? &object->region : nullptr;
}

// The deepest visible window of `c` under `p` (c's pixels); null when only `c` itself is there.
static Control* hit(const Control& c, gdi::Point p)
{
    auto& children = c.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Control* child = *it;
        if (!child->Visible() || !child->has_window())
            continue;
        gdi::Rect r = child->pixel_rect();
        if (!r.contains(p.x, p.y))
            continue;
        gdi::Point local {p.x - r.left, p.y - r.top};
        if (child->window_region()) {
            gdi::Region* region = region_of(child->window_region());
            if (region && !region->contains(local.x, local.y))
                continue;
        }
        Control* deeper = hit(*child, local);
        return deeper ? deeper : child;
    }
    return nullptr;
}

Control* Host::window_at(gdi::Point client_point) const
{
    if (!m_form || !m_form->pixel_rect().contains(client_point.x, client_point.y))
        return nullptr;
    Control* found = hit(*m_form, client_point);
    return found ? found : m_form;
}

Control* Host::control_at(gdi::Point client_point) const
{
    Control* window = window_at(client_point);
    if (!window || window == m_form)
        return window;
    // Constituents are not among the form's controls; their user control is.
    auto& on_form = m_form->controls_in_order();
    for (Control* c = window; c && c != m_form; c = c->Container()) {
        if (std::find(on_form.begin(), on_form.end(), c) != on_form.end())
            return c;
    }
    return window;
}

Control* Host::input_target(Control* window) const
{
    // A disabled window passes the pointer to the container of its outermost disabled ancestor.
    Control* target = window;
    for (Control* c = window; c; c = c->Container()) {
        if (!c->Enabled())
            target = c->Container();
    }
    return target;
}

// [SECTION] Focus

void Host::set_focus(Control* control)
{
    if (control == m_focused)
        return;
    Control* old = m_focused;
    m_focused = control;
    if (old)
        old->handle_lost_focus();
    // The old control's handler may have moved the focus on.
    if (control && m_focused == control)
        control->handle_got_focus();
    if (m_focused == control) {
        if (control)
            accessible_changed(*control, AccessibleEvent::Focus);
        else if (m_form)
            accessible_changed(*m_form, AccessibleEvent::Focus);
    }
}

std::vector<Control*> Host::tab_order() const
{
    std::vector<Control*> order;
    if (!m_form)
        return order;
    for (Control* c : m_form->controls_in_order()) {
        // A control that keeps an Enabled of its own (a check box) looks disabled when that is
        // False, so Tab passes it by as it does a disabled window.
        if (c->can_focus() && c->TabStop() && c->is_shown() && c->is_effectively_enabled()
            && c->enabled_property())
            order.push_back(c);
    }
    std::stable_sort(
        order.begin(), order.end(), [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    return order;
}

void Host::focus_next(bool backwards)
{
    auto order = tab_order();
    if (order.empty())
        return;
    auto it = std::find(order.begin(), order.end(), m_focused);
    size_t n = order.size();
    size_t next;
    if (it == order.end())
        next = backwards ? n - 1 : 0;
    else {
        size_t i = size_t(it - order.begin());
        next = backwards ? (i + n - 1) % n : (i + 1) % n;
    }
    set_focus(order[next]);
}

// [SECTION] Input

void Host::dispatch(const InputEvent& event)
{
    bool outer = !m_dispatching;
    m_dispatching = true;
    deliver(event);
    if (outer) {
        flush_queued_input();
        m_dispatching = false;
        present_pending();
    }
}

void Host::flush_queued_input()
{
    if (m_flushing)
        return;
    m_flushing = true;
    bool was_dispatching = m_dispatching;
    m_dispatching = true;
    // A screen reader's default actions wait until the keystrokes before them have gone.
    while (!m_ended && (!m_queued_input.empty() || start_accessible_action())) {
        InputEvent event = m_queued_input.front();
        m_queued_input.pop_front();
        deliver(event);
    }
    m_dispatching = was_dispatching;
    m_flushing = false;
}

void Host::deliver(const InputEvent& event)
{
    if (m_ended || !m_form)
        return;
    if (event.kind == InputEvent::Kind::Close) {
        request_close();
        return;
    }
    // Also under a message box: the window behind it shows the new colours at once.
    if (event.kind == InputEvent::Kind::SystemColors) {
        for (Control* control : m_form->controls_in_order())
            control->handle_system_colors_changed();
        m_form->handle_system_colors_changed();
        // The buttons that take the system's colours take them anew, as on any change of palette.
        m_form->notify_ambient_changed("Palette");
        invalidate_client_rect(m_form->pixel_rect());
        return;
    }
    // While a message box is open the form takes no input.
    if (m_modal_depth > 0)
        return;
    switch (event.kind) {
    case InputEvent::Kind::MouseMove:
    case InputEvent::Kind::MouseDown:
    case InputEvent::Kind::MouseUp:
    case InputEvent::Kind::MouseLeave:
        deliver_mouse(event);
        break;
    case InputEvent::Kind::MouseWheel:
        for (Control* c = window_at(m_pointer); c; c = c->Container()) {
            if (c->is_effectively_enabled() && c->handle_mouse_wheel(event.key))
                break;
        }
        break;
    default:
        deliver_key(event);
        break;
    }
}

void Host::deliver_mouse(const InputEvent& event)
{
    if (event.kind == InputEvent::Kind::MouseLeave) {
        m_pointer = {-100000, -100000};
        return;
    }
    m_pointer = {event.x, event.y};
    Control* target = m_capture ? m_capture : input_target(window_at(m_pointer));
    if (!target)
        return;
    gdi::Point origin = target->client_origin();
    int local_x = event.x - origin.x, local_y = event.y - origin.y;
    float x = target->mouse_x_from_pixels(local_x);
    float y = target->mouse_y_from_pixels(local_y);
    switch (event.kind) {
    case InputEvent::Kind::MouseMove:
        target->handle_mouse_move(m_buttons_down, event.shift, x, y);
        break;
    case InputEvent::Kind::MouseDown: {
        if (m_buttons_down == 0) {
            m_capture = target;
            // A press gives the focus to the control (or the user control holding the
            // constituent) that takes it, before the press is reported.
            for (Control* c = target; c; c = c->Container()) {
                if (c->can_focus() && c->is_effectively_enabled()) {
                    if (c->Parent() == m_form && c != m_form)
                        set_focus(c);
                    break;
                }
            }
        }
        m_buttons_down = int16_t(m_buttons_down | event.button);
        double now = now_ms();
        bool double_click = event.button == vbLeftButton && m_last_press_window == target
            && m_last_press_button == vbLeftButton && now - m_last_press_ms <= m_double_click_ms
            && std::abs(event.x - m_last_press_point.x) <= 2 && std::abs(event.y - m_last_press_point.y) <= 2;
        if (double_click) {
            m_in_double_click = true;
            m_last_press_window = nullptr; // a third press starts afresh
            target->handle_dbl_click();
        } else {
            m_in_double_click = false;
            m_last_press_window = target;
            m_last_press_button = event.button;
            m_last_press_ms = now;
            m_last_press_point = m_pointer;
            target->handle_mouse_down(event.button, event.shift, x, y);
        }
        break;
    }
    case InputEvent::Kind::MouseUp: {
        m_buttons_down = int16_t(m_buttons_down & ~event.button);
        if (m_buttons_down == 0)
            m_capture = nullptr;
        bool in_double_click = m_in_double_click;
        m_in_double_click = false;
        target->handle_mouse_up(event.button, event.shift, x, y);
        // Click follows a release over the window that was pressed; the release that ends a
        // double click gives none.
        if (!in_double_click && input_target(window_at(m_pointer)) == target)
            target->handle_click();
        break;
    }
    default:
        break;
    }
}

static int16_t to_upper_ascii(int16_t c)
{
    return (c >= 'a' && c <= 'z') ? int16_t(c - 32) : c;
}

bool Host::try_access_key(int16_t key)
{
    if (!m_form || key <= 32 || key > 255)
        return false;
    auto& order = m_form->controls_in_order();
    size_t n = order.size();
    if (n == 0)
        return false;
    size_t start = 0;
    if (auto it = std::find(order.begin(), order.end(), m_focused); it != order.end())
        start = size_t(it - order.begin()) + 1;
    for (size_t k = 0; k < n; ++k) {
        Control* c = order[(start + k) % n];
        if (!c->is_shown() || !c->is_effectively_enabled())
            continue;
        for (char a : c->access_keys()) {
            if (to_upper_ascii(int16_t(static_cast<unsigned char>(a))) != to_upper_ascii(key))
                continue;
            if (c->can_focus())
                set_focus(c);
            c->handle_access_key(int16_t(static_cast<unsigned char>(a)));
            return true;
        }
    }
    return false;
}

void Host::deliver_key(const InputEvent& event)
{
    int16_t key = event.key;
    int16_t shift = event.shift;
    switch (event.kind) {
    case InputEvent::Kind::KeyDown:
        if (key == vbKeyTab && !(shift & (vbCtrlMask | vbAltMask))) {
            focus_next(shift & vbShiftMask);
            return;
        }
        if ((shift & vbAltMask) && key > 32 && key < 128 && std::isalnum(key)) {
            if (try_access_key(key))
                return;
        }
        if (m_focused)
            m_focused->handle_key_down(key, shift);
        break;
    case InputEvent::Kind::Char:
        if (key == vbKeyTab)
            return;
        if ((!m_focused || !m_focused->takes_text()) && !(shift & vbAltMask) && try_access_key(key))
            return;
        if (m_focused)
            m_focused->handle_key_press(key);
        break;
    case InputEvent::Kind::KeyUp:
        if (key == vbKeyTab)
            return;
        if (m_focused)
            m_focused->handle_key_up(key, shift);
        break;
    default:
        break;
    }
}

// [SECTION] Timers

void Host::register_timer(host::Timer& timer)
{
    m_timers.push_back(&timer);
}

void Host::unregister_timer(host::Timer& timer)
{
    std::erase(m_timers, &timer);
}

double Host::next_timer_due() const
{
    if (m_ended)
        return -1;
    double due = -1;
    for (auto* t : m_timers) {
        if (!t->is_running() || t->is_in_tick())
            continue;
        if (due < 0 || t->due_ms() < due)
            due = t->due_ms();
    }
    return due;
}

int Host::fire_due_timers()
{
    int fired = 0;
    double now = now_ms();
    // Each tick moves its timer past `now`, so this ends; the bound guards against handlers
    // that keep restarting timers with a zero wait.
    size_t limit = m_timers.size() * 4 + 16;
    while (!m_ended && size_t(fired) < limit) {
        host::Timer* next = nullptr;
        for (auto* t : m_timers) {
            if (!t->is_running() || t->is_in_tick() || t->due_ms() > now)
                continue;
            if (!next || t->due_ms() < next->due_ms())
                next = t;
        }
        if (!next)
            break;
        next->fire(now);
        ++fired;
    }
    if (fired)
        flush_queued_input();
    return fired;
}

void Host::run_modal_step()
{
    check_for_close();
    fire_due_timers();
    present_pending();
}

// [SECTION] Presenting

void Host::invalidate_client_rect(const gdi::Rect& client_rect)
{
    if (client_rect.is_empty())
        return;
    if (!m_dirty) {
        m_dirty = client_rect;
        return;
    }
    gdi::Rect& d = *m_dirty;
    d = {std::min(d.left, client_rect.left), std::min(d.top, client_rect.top),
        std::max(d.right, client_rect.right), std::max(d.bottom, client_rect.bottom)};
}

static void blit(
    const gdi::Surface& source, gdi::Point origin, const gdi::Region& clip, bool alpha, gdi::Surface& target)
{
    for (const gdi::Rect& r : clip.rects()) {
        gdi::Rect area = r.intersected(target.bounds());
        for (int y = area.top; y < area.bottom; ++y) {
            int sy = y - origin.y;
            if (sy < 0 || sy >= source.height())
                continue;
            const uint32_t* src = source.scanline(sy);
            uint32_t* dst = target.scanline(y);
            int x0 = std::max(area.left, origin.x);
            int x1 = std::min(area.right, origin.x + source.width());
            for (int x = x0; x < x1; ++x) {
                uint32_t s = src[x - origin.x];
                if (!alpha) {
                    dst[x] = s & 0x00FFFFFF;
                    continue;
                }
                uint32_t a = s >> 24;
                if (a == 0)
                    continue;
                if (a == 0xFF) {
                    dst[x] = s & 0x00FFFFFF;
                    continue;
                }
                uint32_t d = dst[x];
                auto mix = [&](int shift) {
                    uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
                    return ((sc * a + dc * (255 - a) + 127) / 255) << shift;
                };
                dst[x] = mix(0) | mix(8) | mix(16);
            }
        }
    }
}

static void draw_tree(const Control& c, gdi::Point origin, const gdi::Region& clip, gdi::Surface& target)
{
    if (const gdi::Surface* s = c.surface())
        blit(*s, origin, clip, c.surface_has_alpha(), target);
    for (Control* child : c.children()) {
        if (!child->Visible())
            continue;
        gdi::Rect r = child->pixel_rect().translated(origin.x, origin.y);
        gdi::Region child_clip = clip.intersected(gdi::Region::from_rect(r));
        if (child->window_region()) {
            if (gdi::Region* region = region_of(child->window_region())) {
                gdi::Region shape = *region;
                shape.offset(r.left, r.top);
                child_clip = child_clip.intersected(shape);
            }
        }
        if (child_clip.is_empty())
            continue;
        draw_tree(*child, {r.left, r.top}, child_clip, target);
    }
}

void Host::compose(const gdi::Rect& area, gdi::Surface& target) const
{
    if (!m_form)
        return;
    gdi::Region clip = gdi::Region::from_rect(area.intersected(target.bounds()));
    if (clip.is_empty())
        return;
    target.fill_rect(area, 0);
    draw_tree(*m_form, {0, 0}, clip, target);
}

bool Host::present_pending()
{
    if (!m_form || !m_dirty || m_showing)
        return false;
    gdi::Rect client = m_form->pixel_rect();
    bool resized = m_frame.width() != client.width() || m_frame.height() != client.height();
    if (resized) {
        m_frame = gdi::Surface(client.width(), client.height(), 0);
        m_scratch = gdi::Surface(client.width(), client.height(), 0);
        m_dirty = m_frame.bounds();
    }
    gdi::Rect area = *m_dirty;
    m_dirty.reset();
    area = area.intersected(m_frame.bounds());
    if (area.is_empty())
        return false;
    compose(area, m_scratch);
    // Only pixels that differ from what is on screen are presented.
    gdi::Rect changed {area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y) {
        const uint32_t* a = m_scratch.scanline(y);
        uint32_t* b = m_frame.scanline(y);
        for (int x = area.left; x < area.right; ++x) {
            if (a[x] != b[x]) {
                b[x] = a[x];
                changed.left = std::min(changed.left, x);
                changed.right = std::max(changed.right, x + 1);
                changed.top = std::min(changed.top, y);
                changed.bottom = std::max(changed.bottom, y + 1);
            }
        }
    }
    if (resized && changed.is_empty())
        changed = m_frame.bounds();
    if (changed.is_empty())
        return false;
    ++m_presented_frames;
    m_backend->present(m_frame, std::span<const gdi::Rect>(&changed, 1));
    return true;
}

// [SECTION] Windows-style calls

gdi::BOOL GetCursorPos(gdi::POINT* point)
{
    Host* host = Host::current_or_null();
    return host ? host->GetCursorPos(point) : gdi::FALSE;
}

WindowHandle WindowFromPoint(gdi::POINT point)
{
    Host* host = Host::current_or_null();
    return host ? host->WindowFromPoint(point) : 0;
}

int SetWindowRgn(WindowHandle window, gdi::HRGN region, gdi::BOOL redraw)
{
    Host* host = Host::current_or_null();
    return host ? host->SetWindowRgn(window, region, redraw) : 0;
}

} // namespace sorrel::host
