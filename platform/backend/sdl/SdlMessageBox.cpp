#include "platform/backend/sdl/SdlMessageBox.h"

#include "platform/base/Cp1252.h"
#include "platform/gdi/Gdi.h"
#include "platform/host/Host.h"
#include "platform/host/StandardPainting.h"

#include "platform/backend/sdl/MessageBoxLayout.h"
#include "platform/backend/sdl/SdlLibrary.h"
#include "platform/backend/sdl/SdlWindows.h"

#include <cmath>

namespace sorrel::backend {

namespace {

void disc(gdi::Surface& s, const gdi::Rect& r, gdi::Color fill, gdi::Color edge)
{
    double cx = r.left + r.width() / 2.0, cy = r.top + r.height() / 2.0, radius = r.width() / 2.0 - 0.5;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (d <= radius - 1)
                s.set_pixel(x, y, fill);
            else if (d <= radius)
                s.set_pixel(x, y, edge);
        }
    }
}

} // namespace

SdlMessageBox::SdlMessageBox(const host::MessageBoxRequest& request, int scale)
    : m_request(request)
    , m_scale(scale)
{
    if ((request.style & 0xF) == host::vbYesNo)
        m_buttons = {{"&Yes", host::vbYes, {}}, {"&No", host::vbNo, {}}};
    else
        m_buttons = {{"OK", host::vbOK, {}}};
    layout();
}

SdlMessageBox::~SdlMessageBox()
{
    if (m_window)
        sdl().SDL_DestroyWindow(m_window);
}

void SdlMessageBox::layout()
{
    // The box grows to the room the screen leaves it; without a screen size, that of a common one.
    SDL_Rect screen {0, 0, 1024, 768};
    if (load_sdl() && sdl().SDL_GetDisplayUsableBounds(0, &screen) != 0)
        screen = {0, 0, 1024, 768};
    MessageBoxLayout layout = layout_message_box(m_request.text, (m_request.style & 0x70) != 0,
        int(m_buttons.size()), message_box_room(screen.w, screen.h, m_scale));
    m_lines = std::move(layout.lines);
    m_line_height = layout.line_height;
    m_icon_rect = layout.icon;
    m_text_rect = layout.text;
    for (size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i].rect = layout.buttons[i];
    m_pixels = gdi::Surface(layout.width, layout.height, 0);
}

bool SdlMessageBox::open(SDL_Window* owner, const gdi::Surface& icon)
{
    m_opened_at = uint32_t(sdl().SDL_GetTicks64());
    int width = m_pixels.width() * m_scale;
    int height = m_pixels.height() * m_scale;
    int x = SDL_WINDOWPOS_CENTERED;
    int y = SDL_WINDOWPOS_CENTERED;
    if (owner) {
        int left = 0, top = 0, owner_width = 0, owner_height = 0;
        sdl().SDL_GetWindowPosition(owner, &left, &top);
        sdl().SDL_GetWindowSize(owner, &owner_width, &owner_height);
        x = std::max(0, left + (owner_width - width) / 2);
        y = std::max(0, top + (owner_height - height) / 2);
    }
    // Hidden until it is marked as the owner's dialog: window managers read the type on mapping.
    m_window = sdl().SDL_CreateWindow(
        base::cp1252_to_utf8(m_request.title).c_str(), x, y, width, height, SDL_WINDOW_HIDDEN);
    if (!m_window)
        return false;
    make_dialog_of(m_window, owner);
    set_window_icon(m_window, icon);
    sdl().SDL_ShowWindow(m_window);
    sdl().SDL_RaiseWindow(m_window);
    paint();
    return true;
}

void SdlMessageBox::paint()
{
    gdi::Color face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    gdi::Color text = gdi::GetSysColor(gdi::COLOR_BTNTEXT);
    gdi::Color shadow = gdi::GetSysColor(gdi::COLOR_BTNSHADOW);
    gdi::Color dark = gdi::GetSysColor(gdi::COLOR_3DDKSHADOW);
    m_pixels.fill(face);
    MessageBoxDC dc(m_pixels);
    gdi::SetTextColor(dc.dc(), text);

    // Icon
    int icon = m_request.style & 0x70;
    if (!m_icon_rect.is_empty()) {
        gdi::Color fill = icon == host::vbCritical ? gdi::rgb(200, 0, 0)
            : icon == host::vbExclamation          ? gdi::rgb(240, 200, 0)
                                                   : gdi::rgb(0, 70, 200);
        disc(m_pixels, m_icon_rect, fill, gdi::rgb(40, 40, 40));
        const char* mark = icon == host::vbCritical ? "X" : icon == host::vbExclamation ? "!" : "i";
        gdi::SetTextColor(dc.dc(), icon == host::vbExclamation ? gdi::rgb(0, 0, 0) : gdi::rgb(255, 255, 255));
        auto size = dc.measure(mark);
        gdi::TextOutA(dc.dc(), m_icon_rect.left + (m_icon_rect.width() - size.cx) / 2,
            m_icon_rect.top + (m_icon_rect.height() - size.cy) / 2, mark, 1);
        gdi::SetTextColor(dc.dc(), text);
    }
    // Text
    int y = m_text_rect.top;
    for (auto& line : m_lines) {
        gdi::TextOutA(dc.dc(), m_text_rect.left, y, line.c_str(), int(line.size()));
        y += m_line_height;
    }
    // Buttons: raised, or sunken while pressed; the focused one has a dark outline.
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        auto& b = m_buttons[i];
        gdi::Rect r = b.rect;
        bool pressed = int(i) == m_pressed && int(i) == m_hot;
        if (int(i) == m_focus) {
            host::painting::frame(m_pixels, r, dark);
            r = r.inflated(-1, -1);
        }
        m_pixels.fill_rect(r, face);
        if (pressed)
            host::painting::frame(m_pixels, r, shadow);
        else
            host::painting::raised_edge(m_pixels, r);
        // The caption, with its access letter underlined.
        std::string caption;
        int underline = -1;
        for (char c : b.caption) {
            if (c == '&') {
                underline = int(caption.size());
                continue;
            }
            caption += c;
        }
        auto size = dc.measure(caption);
        int tx = r.left + (r.width() - size.cx) / 2 + (pressed ? 1 : 0);
        int ty = r.top + (r.height() - size.cy) / 2 + (pressed ? 1 : 0);
        gdi::TextOutA(dc.dc(), tx, ty, caption.c_str(), int(caption.size()));
        if (underline >= 0) {
            int ux = tx + dc.measure(caption.substr(0, size_t(underline))).cx;
            int uw = dc.measure(caption.substr(size_t(underline), 1)).cx;
            m_pixels.fill_rect({ux, ty + size.cy - 1, ux + uw, ty + size.cy}, text);
        }
        if (int(i) == m_focus) {
            gdi::RECT focus {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
            gdi::DrawFocusRect(dc.dc(), &focus);
        }
    }
    show();
}

void SdlMessageBox::show()
{
    SDL_Surface* target = sdl().SDL_GetWindowSurface(m_window);
    if (!target)
        return;
    if (SDL_MUSTLOCK(target))
        sdl().SDL_LockSurface(target);
    for (int ty = 0; ty < target->h; ++ty) {
        int y = ty / m_scale;
        if (y >= m_pixels.height())
            break;
        auto* row = reinterpret_cast<uint32_t*>(
            static_cast<uint8_t*>(target->pixels) + size_t(ty) * size_t(target->pitch));
        for (int tx = 0; tx < target->w; ++tx) {
            int x = tx / m_scale;
            if (x >= m_pixels.width())
                break;
            uint32_t c = m_pixels.pixel(x, y);
            row[tx] = sdl().SDL_MapRGB(target->format, Uint8(c), Uint8(c >> 8), Uint8(c >> 16));
        }
    }
    if (SDL_MUSTLOCK(target))
        sdl().SDL_UnlockSurface(target);
    sdl().SDL_UpdateWindowSurface(m_window);
}

host::AccessibleNode SdlMessageBox::describe(host::WindowHandle first_id) const
{
    using host::AccessibleState;
    auto node = [](host::WindowHandle id, host::AccessibleRole role, std::string name, gdi::Rect bounds) {
        host::AccessibleNode made;
        made.id = id;
        made.role = role;
        made.name = std::move(name);
        made.bounds = bounds;
        return made;
    };
    host::AccessibleNode box
        = node(first_id, host::AccessibleRole::Dialog, m_request.title, m_pixels.bounds());
    box.children.push_back(node(first_id + 1, host::AccessibleRole::Text, m_request.text, m_text_rect));
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const Button& b = m_buttons[i];
        host::AccessibleNode button = node(first_id + 2 + host::WindowHandle(i),
            host::AccessibleRole::PushButton, host::caption_without_marker(b.caption), b.rect);
        if (size_t marker = b.caption.find('&'); marker != std::string::npos && marker + 1 < b.caption.size())
            button.shortcut = host::shortcut_for_access_key(b.caption.substr(marker + 1, 1));
        button.default_action = "Press";
        button.states.set(AccessibleState::Focusable);
        button.states.set(AccessibleState::Focused, int(i) == m_focus);
        button.states.set(AccessibleState::Pressed, int(i) == m_pressed && int(i) == m_hot);
        box.children.push_back(std::move(button));
    }
    return box;
}

bool SdlMessageBox::press(host::WindowHandle first_id, host::WindowHandle id)
{
    host::WindowHandle index = id - first_id - 2;
    if (index < 0 || size_t(index) >= m_buttons.size())
        return false;
    m_answer = m_buttons[size_t(index)].answer;
    return true;
}

int SdlMessageBox::button_at(int x, int y) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].rect.contains(x, y))
            return int(i);
    }
    return -1;
}

bool SdlMessageBox::handles(const SDL_Event& e)
{
    Uint32 id = sdl().SDL_GetWindowID(m_window);
    bool yes_no = m_buttons.size() == 2;
    switch (e.type) {
    case SDL_WINDOWEVENT:
        if (e.window.windowID != id)
            return false;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE)
            m_answer = yes_no ? host::vbNo : host::vbOK;
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED)
            show();
        return true;
    case SDL_MOUSEBUTTONDOWN:
        if (e.button.windowID != id)
            return false;
        if (e.button.button == SDL_BUTTON_LEFT) {
            m_pressed = m_hot = button_at(e.button.x / m_scale, e.button.y / m_scale);
            if (m_pressed >= 0)
                m_focus = m_pressed;
            sdl().SDL_CaptureMouse(SDL_TRUE);
            paint();
        }
        return true;
    case SDL_MOUSEMOTION:
        if (e.motion.windowID != id)
            return false;
        if (m_pressed >= 0) {
            int hot = button_at(e.motion.x / m_scale, e.motion.y / m_scale);
            if (hot != m_hot) {
                m_hot = hot;
                paint();
            }
        }
        return true;
    case SDL_MOUSEBUTTONUP:
        if (e.button.windowID != id)
            return false;
        if (e.button.button == SDL_BUTTON_LEFT) {
            sdl().SDL_CaptureMouse(SDL_FALSE);
            int released = button_at(e.button.x / m_scale, e.button.y / m_scale);
            if (released >= 0 && released == m_pressed)
                m_answer = m_buttons[size_t(released)].answer;
            m_pressed = m_hot = -1;
            paint();
        }
        return true;
    case SDL_KEYDOWN: {
        if (e.key.windowID != id)
            return false;
        // A held key's repeats, and keys pressed before the box opened, were meant for what came
        // before: they must not answer a question the user has not seen.
        if (e.key.repeat || int32_t(e.key.timestamp - m_opened_at) < 0)
            return true;
        SDL_Keycode key = e.key.keysym.sym;
        if (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE)
            m_answer = m_buttons[size_t(m_focus)].answer;
        else if (key == SDLK_ESCAPE)
            m_answer = yes_no ? host::vbNo : host::vbOK;
        else if (yes_no && key == SDLK_y)
            m_answer = host::vbYes;
        else if (yes_no && key == SDLK_n)
            m_answer = host::vbNo;
        else if (key == SDLK_TAB || key == SDLK_LEFT || key == SDLK_RIGHT || key == SDLK_UP
            || key == SDLK_DOWN) {
            m_focus = (m_focus + 1) % int(m_buttons.size());
            paint();
        }
        return true;
    }
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
        return e.key.windowID == id;
    default:
        return false;
    }
}

} // namespace sorrel::backend
