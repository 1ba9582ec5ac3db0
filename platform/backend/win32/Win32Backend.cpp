#include "platform/backend/win32/Win32Backend.h"

#include "platform/backend/win32/AccessibleObject.h"
#include "platform/backend/win32/WindowScale.h"
#include "platform/base/Cp1252.h"
#include "platform/gdi/SystemColors.h"
#include "platform/host/Host.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <windows.h>
#include <windowsx.h>

// Windows 8.1 tells a window that its monitor's DPI changed; the headers for XP don't name it, and
// older systems never send it.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// [SECTION] Life and clock
// [SECTION] The window
// [SECTION] Presenting
// [SECTION] Input
// [SECTION] Message boxes
// [SECTION] Accessibility

namespace sorrel::backend {

using host::InputEvent;

namespace {

constexpr wchar_t WindowClass[] = L"SorrelForm";
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int MaxScale = 4;

std::wstring wide_from_cp1252(std::string_view text)
{
    std::wstring wide;
    wide.reserve(text.size());
    // Every Windows-1252 byte is one character of the Basic Multilingual Plane.
    for (char c : text)
        wide += wchar_t(base::cp1252_to_unicode(uint8_t(c)));
    return wide;
}

std::string message_of(DWORD code)
{
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message;
    for (DWORD i = 0; i < length; ++i)
        base::append_utf8(message, char32_t(text[i]));
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* backend = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (backend && backend->window() == window)
        return backend->handle_message(message, wparam, lparam);
    return DefWindowProcW(window, message, wparam, lparam);
}

host::ErrorOr<void> register_window_class()
{
    WNDCLASSEXW wc {};
    wc.cbSize = sizeof wc;
    // No CS_DBLCLKS: the host tells double clicks from the presses itself.
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = window_procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = WindowClass;
    if (RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        return {};
    DWORD code = GetLastError();
    return host::Error {"cannot register the window class: " + message_of(code), int(code)};
}

// The monitor's DPI for the window: GetDpiForWindow where the system has it (Windows 10), else the
// desktop's from its device context.
unsigned window_dpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (get_dpi_for_window && window) {
        if (UINT dpi = get_dpi_for_window(window))
            return dpi;
    }
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? unsigned(dpi) : 96;
}

int16_t shift_state()
{
    int16_t shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= host::vbShiftMask;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= host::vbCtrlMask;
    if (GetKeyState(VK_MENU) < 0)
        shift |= host::vbAltMask;
    return shift;
}

// Pixels of 0xAABBGGRR as a DIB's 0x00RRGGBB.
uint32_t dib_pixel(uint32_t c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// An icon of the picture's pixels with their alpha; null for no picture.
HICON make_icon(const gdi::Surface& pixels, int size)
{
    if (pixels.is_empty())
        return nullptr;
    BITMAPV5HEADER header {};
    header.bV5Size = sizeof header;
    header.bV5Width = size;
    header.bV5Height = -size;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour
        = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!colour)
        return nullptr;
    // Nearest pixel: the icon is drawn at 32 pixels and asked for at the system's two sizes.
    auto* out = static_cast<uint32_t*>(bits);
    for (int y = 0; y < size; ++y) {
        const uint32_t* row = pixels.scanline(y * pixels.height() / size);
        for (int x = 0; x < size; ++x) {
            uint32_t c = row[x * pixels.width() / size];
            out[y * size + x] = (c & 0xFF000000u) | dib_pixel(c);
        }
    }
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ICONINFO info {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

} // namespace

int scale_from_dpi(unsigned dpi)
{
    return std::clamp(int(std::lround(dpi / 96.0)), 1, MaxScale);
}

// [SECTION] Life and clock

host::ErrorOr<std::unique_ptr<Win32Backend>> Win32Backend::create(int scale)
{
    if (auto registered = register_window_class(); registered.is_error())
        return registered.error();
    return std::make_unique<Win32Backend>(scale > 0 ? std::clamp(scale, 1, MaxScale) : 0);
}

Win32Backend::Win32Backend(int scale)
    : m_scale(scale > 0 ? scale : scale_from_dpi(window_dpi(nullptr)))
    , m_fixed_scale(scale > 0)
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    m_counter_start = counter.QuadPart;
    m_counter_ms = 1000.0 / double(frequency.QuadPart);
}

Win32Backend::~Win32Backend()
{
    close_window();
}

double Win32Backend::now_ms()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart - m_counter_start) * m_counter_ms;
}

double Win32Backend::seconds_since_midnight()
{
    SYSTEMTIME local;
    GetLocalTime(&local);
    return local.wHour * 3600.0 + local.wMinute * 60.0 + local.wSecond + local.wMilliseconds / 1000.0;
}

void Win32Backend::sleep_ms(double ms)
{
    if (ms > 0)
        Sleep(DWORD(std::lround(ms)));
}

// [SECTION] The window

void Win32Backend::open_window(
    const std::string& caption, int client_width, int client_height, const host::PictureRef& icon)
{
    m_frame = gdi::Surface(std::max(client_width, 1), std::max(client_height, 1), 0);
    std::wstring title = wide_from_cp1252(caption);
    if (!m_window) {
        m_window = CreateWindowExW(0, WindowClass, title.c_str(), WindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
        if (!m_window) {
            m_window_error = message_of(GetLastError());
            return;
        }
        m_window_error.clear();
        // The monitor the window opened on decides, not the primary one.
        if (!m_fixed_scale)
            m_scale = scale_from_dpi(window_dpi(m_window));
    } else {
        SetWindowTextW(m_window, title.c_str());
    }
    fit_window_to_client();
    release_icons();
    if (icon) {
        m_big_icon = make_icon(icon->pixels(), GetSystemMetrics(SM_CXICON));
        m_small_icon = make_icon(icon->pixels(), GetSystemMetrics(SM_CXSMICON));
    }
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_big_icon));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_small_icon));
    ShowWindow(m_window, SW_SHOWNORMAL);
    SetForegroundWindow(m_window);
    SetFocus(m_window);
}

void Win32Backend::fit_window_to_client()
{
    int width = m_frame.width() * m_scale;
    int height = m_frame.height() * m_scale;
    m_bitmap.assign(size_t(width) * size_t(height), 0);
    scale_into_bitmap(m_frame.bounds());
    RECT frame {0, 0, width, height};
    AdjustWindowRectEx(&frame, WindowStyle, FALSE, 0);
    SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_window, nullptr, FALSE);
}

void Win32Backend::set_caption(const std::string& caption)
{
    if (m_window)
        SetWindowTextW(m_window, wide_from_cp1252(caption).c_str());
}

void Win32Backend::release_icons()
{
    for (HICON* icon : {&m_big_icon, &m_small_icon}) {
        if (*icon)
            DestroyIcon(*icon);
        *icon = nullptr;
    }
}

void Win32Backend::close_window()
{
    // Objects a screen reader still holds answer that they are disconnected from now on.
    if (m_accessible) {
        m_accessible->backend = nullptr;
        m_accessible.reset();
    }
    m_notified_values.clear();
    if (m_window) {
        HWND window = m_window;
        m_window = nullptr;
        DestroyWindow(window);
    }
    // Ends the stubs of objects held in other processes, which lets their last references go.
    if (m_com_ready) {
        CoUninitialize();
        m_com_ready = false;
    }
    release_icons();
    m_pending.clear();
    m_buttons = 0;
}

gdi::Point Win32Backend::client_origin()
{
    POINT origin {0, 0};
    if (m_window)
        ClientToScreen(m_window, &origin);
    return {origin.x, origin.y};
}

gdi::Point Win32Backend::cursor_position()
{
    // In the form's pixels: the client area's position plus the pointer's offset, unscaled.
    POINT p {0, 0};
    GetCursorPos(&p);
    gdi::Point origin = client_origin();
    return {origin.x + unscale(p.x - origin.x, m_scale), origin.y + unscale(p.y - origin.y, m_scale)};
}

host::WindowUnderPointer Win32Backend::window_under_pointer()
{
    POINT p {0, 0};
    RECT client {};
    if (!m_window || !GetCursorPos(&p) || !GetClientRect(m_window, &client))
        return host::WindowUnderPointer::None;
    POINT inside = p;
    ScreenToClient(m_window, &inside);
    if (!PtInRect(&client, inside))
        return host::WindowUnderPointer::None;
    HWND under = WindowFromPoint(p);
    return under && GetAncestor(under, GA_ROOT) == m_window ? host::WindowUnderPointer::Form
                                                            : host::WindowUnderPointer::Other;
}

// [SECTION] Presenting

void Win32Backend::scale_into_bitmap(const gdi::Rect& area)
{
    int stride = m_frame.width() * m_scale;
    gdi::Rect r = area.intersected(m_frame.bounds());
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* src = m_frame.scanline(y);
        uint32_t* first = m_bitmap.data() + size_t(y) * m_scale * stride;
        for (int x = r.left; x < r.right; ++x)
            std::fill_n(first + x * m_scale, m_scale, dib_pixel(src[x]));
        for (int sy = 1; sy < m_scale; ++sy)
            std::copy(
                first + r.left * m_scale, first + r.right * m_scale, first + sy * stride + r.left * m_scale);
    }
}

void Win32Backend::paint(const gdi::Rect& window_area)
{
    int width = m_frame.width() * m_scale;
    int height = m_frame.height() * m_scale;
    gdi::Rect r = window_area.intersected({0, 0, width, height});
    if (r.is_empty() || m_bitmap.empty())
        return;
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(m_window);
    // The source rectangle is placed from the image's lower-left corner, top-down bitmap or not.
    SetDIBitsToDevice(dc, r.left, r.top, DWORD(r.width()), DWORD(r.height()), r.left, height - r.bottom, 0,
        UINT(height), m_bitmap.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(m_window, dc);
}

void Win32Backend::present(const gdi::Surface& frame, std::span<const gdi::Rect> changed)
{
    if (!m_window)
        return;
    if (m_frame.width() != frame.width() || m_frame.height() != frame.height()) {
        m_frame = gdi::Surface(frame.width(), frame.height(), 0);
        fit_window_to_client();
    }
    for (const gdi::Rect& r : changed) {
        gdi::Rect area = r.intersected(frame.bounds());
        if (area.is_empty())
            continue;
        for (int y = area.top; y < area.bottom; ++y)
            std::copy(frame.scanline(y) + area.left, frame.scanline(y) + area.right,
                m_frame.scanline(y) + area.left);
        scale_into_bitmap(area);
        paint({area.left * m_scale, area.top * m_scale, area.right * m_scale, area.bottom * m_scale});
    }
}

// [SECTION] Input

void Win32Backend::push(InputEvent event)
{
    // While a box is open the form takes no input; a close still counts.
    if (m_in_message_box && event.kind != InputEvent::Kind::Close)
        return;
    // A burst of moves (a long step that pumped no messages) is worth only its last.
    if (event.kind == InputEvent::Kind::MouseMove && !m_pending.empty()
        && m_pending.back().kind == InputEvent::Kind::MouseMove) {
        m_pending.back() = event;
        return;
    }
    m_pending.push_back(event);
}

void Win32Backend::take_mouse(unsigned message, intptr_t lparam)
{
    int x = GET_X_LPARAM(lparam);
    int y = GET_Y_LPARAM(lparam);
    InputEvent event {
        InputEvent::Kind::MouseMove, unscale(x, m_scale), unscale(y, m_scale), 0, shift_state(), 0};
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        event.button = host::vbLeftButton;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        event.button = host::vbRightButton;
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        event.button = host::vbMiddleButton;
        break;
    default:
        break;
    }
    bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    bool up = message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
    if (down) {
        event.kind = InputEvent::Kind::MouseDown;
        // Capture from press to release, so a release outside the window still arrives.
        if (!m_buttons)
            SetCapture(m_window);
        m_buttons = int16_t(m_buttons | event.button);
    } else if (up) {
        event.kind = InputEvent::Kind::MouseUp;
        m_buttons = int16_t(m_buttons & ~event.button);
        if (!m_buttons && GetCapture() == m_window)
            ReleaseCapture();
    } else if (!m_tracking_leave) {
        TRACKMOUSEEVENT track {sizeof track, TME_LEAVE, m_window, 0};
        m_tracking_leave = TrackMouseEvent(&track);
    }
    push(event);
}

void Win32Backend::take_character(char16_t unit)
{
    char32_t character = unit;
    if (unit >= 0xD800 && unit < 0xDC00) {
        m_high_surrogate = unit;
        return;
    }
    if (unit >= 0xDC00 && unit < 0xE000) {
        if (!m_high_surrogate)
            return;
        character = 0x10000 + ((char32_t(m_high_surrogate) - 0xD800) << 10) + (unit - 0xDC00);
    }
    m_high_surrogate = 0;
    // A character that Windows-1252 lacks arrives as "?", as in a Windows-1252 window.
    uint8_t byte = base::unicode_to_cp1252(character).value_or(uint8_t('?'));
    push(InputEvent {InputEvent::Kind::Char, 0, 0, 0, shift_state(), int16_t(byte)});
}

intptr_t Win32Backend::handle_message(unsigned message, uintptr_t wparam, intptr_t lparam)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        take_mouse(message, lparam);
        return 0;
    case WM_MOUSELEAVE:
        m_tracking_leave = false;
        if (!m_buttons)
            push(InputEvent {InputEvent::Kind::MouseLeave});
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a box, the system): the press is over for us.
        if (reinterpret_cast<HWND>(lparam) != m_window)
            m_buttons = 0;
        return 0;
    case WM_MOUSEWHEEL:
        push(InputEvent {
            InputEvent::Kind::MouseWheel, 0, 0, 0, shift_state(), GET_WHEEL_DELTA_WPARAM(wparam)});
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
        bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        push(InputEvent {down ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp, 0, 0, 0, shift_state(),
            int16_t(wparam & 0xFF)});
        // Alt+F4 closes and Alt+Space opens the window menu, as everywhere; Alt alone must not
        // take the keyboard into the (absent) menu bar, or the access keys after it would be lost.
        if (message == WM_SYSKEYDOWN && (wparam == VK_F4 || wparam == VK_SPACE))
            return DefWindowProcW(m_window, message, wparam, lparam);
        return 0;
    }
    case WM_CHAR:
        take_character(char16_t(wparam));
        return 0;
    case WM_SYSCHAR:
        // Access keys go by their key-down; the system would only beep for want of a menu.
        if (wparam == L' ')
            return DefWindowProcW(m_window, message, wparam, lparam);
        return 0;
    case WM_CLOSE:
        push(InputEvent {InputEvent::Kind::Close});
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // The user chose other colours (or a high-contrast scheme): the window takes them on.
        gdi::load_system_colors();
        push(InputEvent {InputEvent::Kind::SystemColors});
        return DefWindowProcW(m_window, message, wparam, lparam);
    case WM_GETOBJECT:
        return answer_accessible_object(wparam, lparam);
    case WM_SETFOCUS:
        // The system tells screen readers that the window has the keyboard; which of its controls
        // has it only the host knows. Without this a user coming back to the window would hear
        // the window's name and not where the keyboard is.
        if (m_host) {
            host::Control* focused = m_host->focused();
            if (focused && m_host->accessible_node(focused->hWnd()))
                notify(EVENT_OBJECT_FOCUS, focused->hWnd());
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(m_window, &ps);
        EndPaint(m_window, &ps);
        paint({ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
        return 0;
    }
    case WM_DPICHANGED:
        // Moved to a monitor of another DPI: the same form at that monitor's scale.
        if (!m_fixed_scale) {
            int scale = scale_from_dpi(HIWORD(wparam));
            auto* suggested = reinterpret_cast<const RECT*>(lparam);
            SetWindowPos(m_window, nullptr, suggested->left, suggested->top, 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (scale != m_scale) {
                m_scale = scale;
                fit_window_to_client();
            }
        }
        return 0;
    default:
        return DefWindowProcW(m_window, message, wparam, lparam);
    }
}

bool Win32Backend::pump_messages()
{
    MSG msg;
    bool any = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        any = true;
        if (msg.message == WM_QUIT) {
            push(InputEvent {InputEvent::Kind::Close});
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return any;
}

bool Win32Backend::take_close_request()
{
    // The box's own loop takes the messages while one is open.
    if (m_in_message_box || !m_window)
        return false;
    // Looking costs system calls: between the files of a deletion it is done every few
    // milliseconds only.
    double now = now_ms();
    if (now < m_next_close_look_ms)
        return false;
    m_next_close_look_ms = now + 10;
    // Input found meanwhile stays queued for the event loop, if it runs again.
    pump_messages();
    return std::any_of(m_pending.begin(), m_pending.end(),
        [](const InputEvent& event) { return event.kind == InputEvent::Kind::Close; });
}

std::optional<InputEvent> Win32Backend::wait_event(double timeout_ms)
{
    double deadline = timeout_ms < 0 ? -1 : now_ms() + timeout_ms;
    for (;;) {
        if (m_pending.empty())
            pump_messages();
        if (!m_pending.empty()) {
            InputEvent event = m_pending.front();
            m_pending.pop_front();
            return event;
        }
        if (std::exchange(m_woken, false))
            return std::nullopt;
        DWORD wait = INFINITE;
        if (deadline >= 0) {
            double remaining = deadline - now_ms();
            if (remaining <= 0)
                return std::nullopt;
            wait = DWORD(std::min(remaining, 1e6) + 0.999);
        }
        // MWMO_INPUTAVAILABLE: messages that came before the wait (and were only looked at)
        // end it too.
        if (MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT)
            return std::nullopt;
    }
}

// [SECTION] Message boxes

namespace {

Win32Backend* s_box_backend = nullptr;

BOOL CALLBACK end_box(HWND window, LPARAM)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    // Only our boxes run on this thread: the standard dialog class is theirs.
    if (std::wstring_view(name) == L"#32770" && IsWindowVisible(window))
        EndDialog(window, IDNO);
    return TRUE;
}

void CALLBACK box_tick(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (s_box_backend)
        s_box_backend->run_box_step(timer);
}

} // namespace

void Win32Backend::run_box_step(uintptr_t timer)
{
    if (!m_host)
        return;
    m_host->run_modal_step();
    // A close is never dropped: the box gives way with its least answer, and the host closes as it
    // returns.
    if (m_host->close_waiting() || m_host->has_ended()) {
        EnumThreadWindows(GetCurrentThreadId(), end_box, 0);
        return;
    }
    double due = m_host->next_timer_due();
    double wait = due < 0 ? 100 : std::clamp(due - now_ms(), double(USER_TIMER_MINIMUM), 100.0);
    SetTimer(nullptr, timer, UINT(wait), box_tick);
}

int Win32Backend::message_box(const host::MessageBoxRequest& request)
{
    UINT style = UINT(request.style) & (MB_TYPEMASK | MB_ICONMASK);
    std::wstring text = wide_from_cp1252(request.text);
    std::wstring title = wide_from_cp1252(request.title);
    // A timer's handler may open a box of its own inside this one.
    Win32Backend* outer_backend = s_box_backend;
    bool outer_in_box = m_in_message_box;
    s_box_backend = this;
    m_in_message_box = true;
    m_buttons = 0;
    // The host's timers run in the box's own loop, through this thread timer.
    UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, box_tick);
    int answer = MessageBoxW(m_window, text.c_str(), title.c_str(), style | MB_SETFOREGROUND);
    KillTimer(nullptr, timer);
    m_in_message_box = outer_in_box;
    s_box_backend = outer_backend;
    if (answer == 0)
        return (request.style & 0xF) == host::vbYesNo ? host::vbNo : host::vbOK;
    return answer;
}

// [SECTION] Accessibility

intptr_t Win32Backend::answer_accessible_object(uintptr_t wparam, intptr_t lparam)
{
    // Only the client area is ours to describe; the frame, title bar and menu are the system's.
    if (DWORD(lparam) != DWORD(OBJID_CLIENT) || !m_host)
        return DefWindowProcW(m_window, WM_GETOBJECT, wparam, lparam);
    // The object goes to the client through COM, in this thread's apartment; its calls then come
    // as messages, which every loop of the backend (and a box's) dispatches.
    if (!m_com_ready)
        m_com_ready = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (!m_accessible)
        m_accessible = std::make_shared<AccessibleLink>(AccessibleLink {this});
    if (LRESULT answer = answer_client_object(m_accessible, wparam))
        return answer;
    return DefWindowProcW(m_window, WM_GETOBJECT, wparam, lparam);
}

void Win32Backend::notify(unsigned event, host::WindowHandle id)
{
    if (!m_window || !m_host)
        return;
    // The window's own node is the client object itself, not one of its children.
    bool window_itself = id == 0 || (m_host->form() && id == m_host->form()->hWnd());
    LONG child = window_itself ? CHILDID_SELF : LONG(id);
    NotifyWinEvent(event, m_window, OBJID_CLIENT, child);
}

void Win32Backend::accessible_event(host::AccessibleEvent event, host::WindowHandle id)
{
    if (!m_window || !m_host)
        return;
    if (event == host::AccessibleEvent::Value) {
        // A removal moves its bar once a file: reading the node each time is worth it only once
        // a client has taken the window's object, and only a new percent is worth an event.
        if (!m_accessible)
            return;
        std::optional<host::AccessibleNode> node = m_host->accessible_node(id);
        std::string value = node ? node->value : std::string();
        auto [last, added] = m_notified_values.try_emplace(id, value);
        if (!added && last->second == value)
            return;
        last->second = value;
    }
    notify(system_event(event), id);
}

void Win32Backend::announce(const std::string& text)
{
    // Active Accessibility has no announcements of its own. The usual way is a name change on a
    // node that shows the text: screen readers speak the new name of a text that changes while
    // the window is active. The other announcements need nothing here: the progress goes out as
    // the bar's value changes, which screen readers pace themselves, and a box that names files
    // is the system's own, which screen readers read as it opens.
    if (!m_window || !m_host)
        return;
    host::AccessibleNode tree = m_host->accessible_tree();
    auto find = [&](auto& self, const host::AccessibleNode& node) -> const host::AccessibleNode* {
        if (node.name == text && &node != &tree && !node.states.has(host::AccessibleState::Invisible))
            return &node;
        for (const host::AccessibleNode& child : node.children) {
            if (const host::AccessibleNode* found = self(self, child))
                return found;
        }
        return nullptr;
    };
    if (const host::AccessibleNode* shown = find(find, tree))
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_window, OBJID_CLIENT, LONG(shown->id));
}

} // namespace sorrel::backend
