#include "platform/backend/sdl/SdlBackend.h"

#include "platform/backend/sdl/DesktopScale.h"
#include "platform/backend/sdl/SdlMessageBox.h"
#include "platform/backend/sdl/SdlWindows.h"
#include "platform/base/Cp1252.h"
#include "platform/host/Host.h"

#include "platform/backend/sdl/SdlLibrary.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

// [SECTION] Life and clock
// [SECTION] The window
// [SECTION] Input
// [SECTION] Screen readers

namespace sorrel::backend {

using host::InputEvent;

// [SECTION] Life and clock

namespace {

// Catches what the libraries under SDL write to stderr while the display opens: an X server that
// refuses a client gives its reason only there (libxcb writes it straight to descriptor 2).
class StderrCapture {
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_file = ::memfd_create("sorrel-stderr", MFD_CLOEXEC);
        m_saved = m_file >= 0 ? ::dup(2) : -1;
        if (m_saved >= 0)
            ::dup2(m_file, 2);
    }
    ~StderrCapture() { finish(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Puts stderr back and gives what was written to it meanwhile.
    std::string finish()
    {
        std::string text;
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, 2);
            ::close(m_saved);
            m_saved = -1;
            char buffer[512];
            ssize_t got;
            for (off_t at = 0; (got = ::pread(m_file, buffer, sizeof buffer, at)) > 0; at += got)
                text.append(buffer, size_t(got));
        }
        if (m_file >= 0) {
            ::close(m_file);
            m_file = -1;
        }
        return text;
    }

private:
    int m_file {-1};
    int m_saved {-1};
};

// Lines joined into one, blank ones dropped.
std::string one_line(std::string_view text)
{
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find('\n', start), text.size());
        std::string_view part = text.substr(start, end - start);
        while (!part.empty() && std::strchr(" \t\r", part.back()))
            part.remove_suffix(1);
        while (!part.empty() && std::strchr(" \t\r", part.front()))
            part.remove_prefix(1);
        if (!part.empty())
            line += (line.empty() ? "" : "; ") + std::string(part);
        start = end + 1;
    }
    return line;
}

// The drivers for the displays the environment names, in SDL's own order of preference.
std::string named_display_drivers()
{
    std::string drivers;
    for (auto [variable, driver] : {std::pair {"DISPLAY", "x11"}, std::pair {"WAYLAND_DISPLAY", "wayland"}}) {
        if (const char* value = std::getenv(variable); value && *value)
            drivers += (drivers.empty() ? "" : ",") + std::string(driver);
    }
    return drivers;
}

bool shows_nothing(const char* driver)
{
    return driver
        && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0
            || std::strcmp(driver, "evdev") == 0);
}

} // namespace

host::ErrorOr<std::unique_ptr<SdlBackend>> SdlBackend::create(int scale, Drivers drivers)
{
    if (std::string why; !load_sdl(&why))
        return host::Error {why};
    // The window surface is a plain copy of our pixels; SDL's check for an accelerated driver
    // would map a whole OpenGL stack for it, doubling start-up and multiplying memory.
    sdl().SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    bool on_screen = drivers == Drivers::OnScreen;
    std::string said;
    int started;
    if (on_screen) {
        // A hint yields to SDL_VIDEODRIVER when the user set it; that choice is checked below.
        if (std::string named = named_display_drivers(); !named.empty())
            sdl().SDL_SetHint(SDL_HINT_VIDEODRIVER, named.c_str());
        StderrCapture capture;
        started = sdl().SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
        said = capture.finish();
    } else {
        started = sdl().SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
    }
    const char* driver = started == 0 ? sdl().SDL_GetCurrentVideoDriver() : nullptr;
    if (started != 0 || (on_screen && shows_nothing(driver))) {
        std::string why;
        if (started == 0)
            why = std::string("SDL's \"") + driver + "\" video driver shows no window";
        else if (std::string words = one_line(said); !words.empty())
            why = words;
        else
            why = sdl().SDL_GetError();
        if (started == 0)
            sdl().SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
        return host::Error {why};
    }
    // Warnings from a display that did open are not ours to swallow.
    if (!said.empty())
        std::fputs(said.c_str(), stderr);
    if (scale <= 0) {
        DesktopScaleSettings settings = DesktopScaleSettings::from_desktop();
        if (float dpi = 0; sdl().SDL_GetDisplayDPI(0, &dpi, nullptr, nullptr) == 0)
            settings.display_dpi = dpi;
        scale = scale_from_desktop(settings);
    }
    return std::make_unique<SdlBackend>(std::clamp(scale, 1, 8));
}

SdlBackend::SdlBackend(int scale)
    : m_scale(scale)
{
    m_start_ms = double(sdl().SDL_GetTicks64());
}

SdlBackend::~SdlBackend()
{
    m_accessibility.reset();
    close_window();
    sdl().SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
}

double SdlBackend::now_ms()
{
    return double(sdl().SDL_GetTicks64());
}

double SdlBackend::seconds_since_midnight()
{
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local {};
    localtime_r(&t, &local);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0;
}

void SdlBackend::sleep_ms(double ms)
{
    if (ms > 0)
        sdl().SDL_Delay(Uint32(std::lround(ms)));
}

// [SECTION] The window

void SdlBackend::open_window(
    const std::string& caption, int client_width, int client_height, const host::PictureRef& icon)
{
    m_width = std::max(client_width, 1);
    m_height = std::max(client_height, 1);
    m_frame = gdi::Surface(m_width, m_height, 0);
    if (!m_window) {
        // Captions are Windows-1252, like every text of the controls; SDL's titles are UTF-8.
        m_window = sdl().SDL_CreateWindow(base::cp1252_to_utf8(caption).c_str(), SDL_WINDOWPOS_UNDEFINED,
            SDL_WINDOWPOS_UNDEFINED, m_width * m_scale, m_height * m_scale, SDL_WINDOW_SHOWN);
        if (!m_window) {
            m_window_error = sdl().SDL_GetError();
            return;
        }
        m_window_error.clear();
        if (Uint32 wake = sdl().SDL_RegisterEvents(1); wake != Uint32(-1)) {
            m_wake_event = wake;
            m_accessibility = AtkAccessibility::start(*this, [wake] {
                SDL_Event event {};
                event.type = wake;
                sdl().SDL_PushEvent(&event);
            });
        }
    } else {
        sdl().SDL_SetWindowTitle(m_window, base::cp1252_to_utf8(caption).c_str());
        sdl().SDL_SetWindowSize(m_window, m_width * m_scale, m_height * m_scale);
    }
    if (icon) {
        m_icon = icon->pixels();
        set_window_icon(m_window, m_icon);
    }
    sdl().SDL_StartTextInput();
}

void SdlBackend::set_caption(const std::string& caption)
{
    if (m_window)
        sdl().SDL_SetWindowTitle(m_window, base::cp1252_to_utf8(caption).c_str());
}

void SdlBackend::close_window()
{
    if (m_window) {
        sdl().SDL_DestroyWindow(m_window);
        m_window = nullptr;
    }
}

void SdlBackend::blit_to_window(const gdi::Rect& area)
{
    SDL_Surface* target = sdl().SDL_GetWindowSurface(m_window);
    if (!target)
        return;
    gdi::Rect r = area.intersected(m_frame.bounds());
    if (r.is_empty())
        return;
    if (SDL_MUSTLOCK(target))
        sdl().SDL_LockSurface(target);
    Uint32 format = target->format->format;
    bool rgb = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
    bool bgr = format == SDL_PIXELFORMAT_BGR888 || format == SDL_PIXELFORMAT_ABGR8888;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* src = m_frame.scanline(y);
        for (int sy = 0; sy < m_scale; ++sy) {
            int ty = y * m_scale + sy;
            if (ty >= target->h)
                break;
            auto* row = reinterpret_cast<uint32_t*>(
                static_cast<uint8_t*>(target->pixels) + size_t(ty) * size_t(target->pitch));
            for (int x = r.left; x < r.right; ++x) {
                uint32_t c = src[x];
                uint32_t out;
                if (rgb)
                    out = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
                else if (bgr)
                    out = 0xFF000000u | (c & 0xFFFFFF);
                else
                    out = sdl().SDL_MapRGB(target->format, Uint8(c), Uint8(c >> 8), Uint8(c >> 16));
                for (int sx = 0; sx < m_scale; ++sx) {
                    int tx = x * m_scale + sx;
                    if (tx < target->w)
                        row[tx] = out;
                }
            }
        }
    }
    if (SDL_MUSTLOCK(target))
        sdl().SDL_UnlockSurface(target);
    SDL_Rect rect {r.left * m_scale, r.top * m_scale, r.width() * m_scale, r.height() * m_scale};
    sdl().SDL_UpdateWindowSurfaceRects(m_window, &rect, 1);
}

void SdlBackend::present(const gdi::Surface& frame, std::span<const gdi::Rect> changed)
{
    if (!m_window)
        return;
    if (m_frame.width() != frame.width() || m_frame.height() != frame.height())
        m_frame = gdi::Surface(frame.width(), frame.height(), 0);
    for (const gdi::Rect& r : changed) {
        gdi::Rect area = r.intersected(frame.bounds());
        for (int y = area.top; y < area.bottom; ++y)
            std::copy(frame.scanline(y) + area.left, frame.scanline(y) + area.right,
                m_frame.scanline(y) + area.left);
        blit_to_window(area);
    }
}

void SdlBackend::redraw_all()
{
    if (m_window)
        blit_to_window(m_frame.bounds());
}

gdi::Point SdlBackend::client_origin()
{
    int x = 0, y = 0;
    if (m_window)
        sdl().SDL_GetWindowPosition(m_window, &x, &y);
    return {x, y};
}

gdi::Point SdlBackend::cursor_position()
{
    // In the form's pixels: the window's position plus the pointer's offset, unscaled.
    int gx = 0, gy = 0;
    sdl().SDL_GetGlobalMouseState(&gx, &gy);
    gdi::Point origin = client_origin();
    auto unscale = [&](int v) { return v >= 0 ? v / m_scale : -((-v + m_scale - 1) / m_scale); };
    return {origin.x + unscale(gx - origin.x), origin.y + unscale(gy - origin.y)};
}

host::WindowUnderPointer SdlBackend::window_under_pointer()
{
    // The window with mouse focus is the one the pointer is in; another program's window over
    // ours takes the focus away (leaves none of ours), and a message box has its own window.
    SDL_Window* focus = sdl().SDL_GetMouseFocus();
    if (!focus)
        return host::WindowUnderPointer::None;
    return focus == m_window ? host::WindowUnderPointer::Form : host::WindowUnderPointer::Other;
}

// [SECTION] Input

static int16_t shift_state()
{
    SDL_Keymod mod = sdl().SDL_GetModState();
    int16_t shift = 0;
    if (mod & KMOD_SHIFT)
        shift |= host::vbShiftMask;
    if (mod & KMOD_CTRL)
        shift |= host::vbCtrlMask;
    if (mod & KMOD_ALT)
        shift |= host::vbAltMask;
    return shift;
}

static int16_t button_code(Uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT:
        return host::vbLeftButton;
    case SDL_BUTTON_RIGHT:
        return host::vbRightButton;
    case SDL_BUTTON_MIDDLE:
        return host::vbMiddleButton;
    default:
        return 0;
    }
}

// Windows virtual-key codes for the keys a form uses; 0 for the rest.
int16_t virtual_key(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return int16_t('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return int16_t(key);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return int16_t(112 + (key - SDLK_F1));
    switch (key) {
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return 17;
    case SDLK_LALT:
    case SDLK_RALT:
        return 18;
    case SDLK_ESCAPE:
        return 27;
    case SDLK_SPACE:
        return 32;
    case SDLK_PAGEUP:
        return 33;
    case SDLK_PAGEDOWN:
        return 34;
    case SDLK_END:
        return 35;
    case SDLK_HOME:
        return 36;
    case SDLK_LEFT:
        return 37;
    case SDLK_UP:
        return 38;
    case SDLK_RIGHT:
        return 39;
    case SDLK_DOWN:
        return 40;
    case SDLK_INSERT:
        return 45;
    case SDLK_DELETE:
        return 46;
    default:
        return 0;
    }
}

bool SdlBackend::is_close_request(const SDL_Event& e)
{
    if (e.type == SDL_QUIT)
        return true;
    return e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE && m_window
        && e.window.windowID == sdl().SDL_GetWindowID(m_window);
}

bool SdlBackend::take_close_request()
{
    // Reading the window system costs system calls: between the files of a deletion it is done
    // every few milliseconds only.
    double now = now_ms();
    if (now < m_next_close_look_ms)
        return false;
    m_next_close_look_ms = now + 10;
    // A long step (a deletion) still answers the screen reader's calls.
    if (m_accessibility)
        m_accessibility->pump();
    // Only looks: the requests stay queued, and the event loop (if it runs again) finds them too.
    sdl().SDL_PumpEvents();
    SDL_Event events[32];
    if (sdl().SDL_PeepEvents(events, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0)
        return true;
    int count = sdl().SDL_PeepEvents(events, 32, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    for (int i = 0; i < count; ++i) {
        if (is_close_request(events[i]))
            return true;
    }
    return false;
}

std::optional<InputEvent> SdlBackend::translate(const SDL_Event& e)
{
    if (is_close_request(e))
        return InputEvent {InputEvent::Kind::Close};
    switch (e.type) {
    case SDL_WINDOWEVENT:
        if (m_window && e.window.windowID != sdl().SDL_GetWindowID(m_window))
            return std::nullopt;
        // Screen readers follow which window has the keyboard.
        if ((e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED || e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            && m_accessibility)
            m_accessibility->changed();
        if (e.window.event == SDL_WINDOWEVENT_LEAVE && m_buttons == 0)
            return InputEvent {InputEvent::Kind::MouseLeave};
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            redraw_all();
        return std::nullopt;
    case SDL_MOUSEMOTION:
        return InputEvent {
            InputEvent::Kind::MouseMove, e.motion.x / m_scale, e.motion.y / m_scale, 0, shift_state(), 0};
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int16_t button = button_code(e.button.button);
        if (!button)
            return std::nullopt;
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        m_buttons = int16_t(down ? (m_buttons | button) : (m_buttons & ~button));
        // Capture from press to release, so a release outside the window still arrives.
        sdl().SDL_CaptureMouse(m_buttons ? SDL_TRUE : SDL_FALSE);
        return InputEvent {down ? InputEvent::Kind::MouseDown : InputEvent::Kind::MouseUp,
            e.button.x / m_scale, e.button.y / m_scale, button, shift_state(), 0};
    }
    case SDL_MOUSEWHEEL: {
        int turn = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (turn == 0)
            return std::nullopt;
        return InputEvent {InputEvent::Kind::MouseWheel, 0, 0, 0, shift_state(),
            int16_t(std::clamp(turn * 120, -32640, 32640))};
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int16_t vk = virtual_key(e.key.keysym.sym);
        if (!vk)
            return std::nullopt;
        bool down = e.type == SDL_KEYDOWN;
        InputEvent event {
            down ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp, 0, 0, 0, shift_state(), vk};
        // Keys whose character text input does not report: Enter, Esc and Backspace; and
        // letters with Alt (access keys) or Ctrl.
        if (down) {
            int16_t character = 0;
            if (vk == 13 || vk == 27 || vk == 8)
                character = vk;
            if (character)
                m_pending.push_back(InputEvent {InputEvent::Kind::Char, 0, 0, 0, event.shift, character});
        }
        return event;
    }
    case SDL_TEXTINPUT: {
        // One event can carry several characters (a paste, an input method): the first is
        // delivered now, the others wait their turn. A character that Windows-1252 lacks
        // arrives as "?", as it would in a Windows-1252 window.
        std::string typed = base::utf8_to_cp1252(e.text.text);
        if (typed.empty())
            return std::nullopt;
        int16_t shift = shift_state();
        for (size_t i = 1; i < typed.size(); ++i)
            m_pending.push_back(
                InputEvent {InputEvent::Kind::Char, 0, 0, 0, shift, int16_t(uint8_t(typed[i]))});
        return InputEvent {InputEvent::Kind::Char, 0, 0, 0, shift, int16_t(uint8_t(typed[0]))};
    }
    default:
        return std::nullopt;
    }
}

std::optional<InputEvent> SdlBackend::wait_event(double timeout_ms)
{
    if (!m_pending.empty()) {
        InputEvent event = m_pending.front();
        m_pending.pop_front();
        return event;
    }
    // Events that mean nothing to the form (window shown, focus gained...) are skipped
    // without ending the wait early.
    double deadline = timeout_ms < 0 ? -1 : now_ms() + timeout_ms;
    for (;;) {
        SDL_Event e;
        if (!next_sdl_event(e, deadline < 0 ? -1 : std::max(deadline - now_ms(), 0.0)))
            return std::nullopt;
        if (auto event = translate(e))
            return event;
    }
}

bool SdlBackend::next_sdl_event(SDL_Event& e, double timeout_ms)
{
    auto wait = [&](double ms) {
        if (ms < 0)
            return sdl().SDL_WaitEvent(&e);
        if (ms <= 0)
            return sdl().SDL_PollEvent(&e);
        return sdl().SDL_WaitEventTimeout(&e, int(std::min(ms, 1e6) + 0.999));
    };
    if (!m_accessibility)
        return wait(timeout_ms) != 0;
    // A look without waiting (DoEvents in a long step) answers what is there and goes on.
    if (timeout_ms == 0) {
        m_accessibility->pump();
        return wait(0) != 0 && e.type != m_wake_event;
    }
    // The wait is cut short when the bus has something for us, or when GLib has a timeout due.
    double deadline = timeout_ms < 0 ? -1 : now_ms() + timeout_ms;
    for (;;) {
        double glib_limit = m_accessibility->begin_wait();
        double remaining = deadline < 0 ? -1 : std::max(deadline - now_ms(), 0.0);
        double ms = remaining < 0 ? glib_limit : glib_limit < 0 ? remaining : std::min(remaining, glib_limit);
        bool got = wait(ms) != 0;
        m_accessibility->end_wait();
        if (got && e.type != m_wake_event)
            return true;
        // A screen reader asked for an action: the host's loop runs it once the wait returns.
        if (std::exchange(m_action_queued, false))
            return false;
        if (deadline >= 0 && now_ms() >= deadline)
            return false;
    }
}

int SdlBackend::message_box(const host::MessageBoxRequest& request)
{
    SdlMessageBox box(request, m_scale);
    if (!box.open(m_window, m_icon))
        return (request.style & 0xF) == host::vbYesNo ? host::vbNo : host::vbOK;
    // Screen readers see the box as a dialog of the application while it is open.
    SdlMessageBox* outer = m_box;
    host::WindowHandle outer_id = m_box_id;
    m_box = &box;
    m_box_id = m_next_box_id;
    m_next_box_id += 16;
    if (m_accessibility)
        m_accessibility->changed();
    while (!box.answered()) {
        // Timers and repaints run while the box waits for its answer.
        m_host->run_modal_step();
        if (m_host->close_waiting())
            break;
        double due = m_host->next_timer_due();
        double timeout = due < 0 ? 100 : std::clamp(due - now_ms(), 0.0, 100.0);
        SDL_Event e;
        if (!next_sdl_event(e, timeout))
            continue;
        if (box.handles(e)) {
            if (m_accessibility)
                m_accessibility->changed();
            continue;
        }
        // Input to the form is held back, but a close is not lost: the box gives way to it.
        if (is_close_request(e)) {
            m_host->request_close();
            break;
        }
        if (e.type == SDL_WINDOWEVENT && m_accessibility)
            m_accessibility->changed();
        // The form's window keeps its picture but takes no input.
        if (e.type == SDL_WINDOWEVENT && m_window && e.window.windowID == sdl().SDL_GetWindowID(m_window)
            && e.window.event == SDL_WINDOWEVENT_EXPOSED)
            redraw_all();
    }
    m_box = outer;
    m_box_id = outer_id;
    if (m_accessibility) {
        m_accessibility->changed();
        m_accessibility->pump();
    }
    return box.answered() ? box.answer() : host::vbNo;
}

// [SECTION] Screen readers

void SdlBackend::accessible_event(host::AccessibleEvent, host::WindowHandle)
{
    // Whatever changed is found by comparing the trees at the next pump.
    if (m_accessibility)
        m_accessibility->changed();
}

void SdlBackend::announce(const std::string& text)
{
    if (m_accessibility)
        m_accessibility->announce(text);
}

std::string SdlBackend::application_name()
{
    return m_host ? m_host->app_title() : std::string();
}

std::vector<host::AccessibleNode> SdlBackend::accessible_windows()
{
    std::vector<host::AccessibleNode> windows;
    if (m_host && m_window) {
        host::AccessibleNode form = m_host->accessible_tree();
        if (form.id != 0)
            windows.push_back(std::move(form));
    }
    if (m_box)
        windows.push_back(m_box->describe(m_box_id));
    return windows;
}

gdi::Rect SdlBackend::screen_rect(host::WindowHandle window, const gdi::Rect& client)
{
    SDL_Window* shown = m_window;
    int scale = m_scale;
    if (m_box && window == m_box_id) {
        shown = m_box->window();
        scale = m_box->scale();
    }
    int x = 0, y = 0;
    if (shown)
        sdl().SDL_GetWindowPosition(shown, &x, &y);
    return {
        x + client.left * scale, y + client.top * scale, x + client.right * scale, y + client.bottom * scale};
}

bool SdlBackend::has_keyboard_focus()
{
    SDL_Window* focus = sdl().SDL_GetKeyboardFocus();
    return focus && (focus == m_window || (m_box && focus == m_box->window()));
}

bool SdlBackend::do_default_action(host::WindowHandle id)
{
    if (m_box && id >= m_box_id && id < m_box_id + 16)
        return m_box->press(m_box_id, id);
    // A box is modal: the form takes no action until it is answered.
    if (m_box || !m_host)
        return false;
    bool queued = m_host->request_accessible_action(id);
    m_action_queued = m_action_queued || queued;
    return queued;
}

} // namespace sorrel::backend
