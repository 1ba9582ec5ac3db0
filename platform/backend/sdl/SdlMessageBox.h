#pragma once

#include "platform/gdi/Surface.h"
#include "platform/host/Accessibility.h"
#include "platform/host/Backend.h"

#include <string>
#include <vector>

struct SDL_Window;
union SDL_Event;

namespace sorrel::backend {

// A message box as a modal window of its own: icon, text and its buttons (OK, or Yes and No),
// drawn with our drawing layer. The backend runs the wait; the box only answers events meant
// for its window.
class SdlMessageBox {
public:
    SdlMessageBox(const host::MessageBoxRequest& request, int scale);
    ~SdlMessageBox();
    SdlMessageBox(const SdlMessageBox&) = delete;
    SdlMessageBox& operator=(const SdlMessageBox&) = delete;

    // Opens the box's window centred over `owner`, as its dialog, with the owner's icon.
    bool open(SDL_Window* owner = nullptr, const gdi::Surface& icon = {});
    // True when the event belonged to the box's window (handled or ignored there).
    bool handles(const SDL_Event& event);
    bool answered() const { return m_answer != 0; }
    int answer() const { return m_answer; }
    // The box as drawn, in unscaled pixels.
    const gdi::Surface& pixels() const { return m_pixels; }
    SDL_Window* window() const { return m_window; }
    int scale() const { return m_scale; }

    // For screen readers: a dialog named after the title, with the text and the buttons, whose
    // ids are `first_id` (the dialog), `first_id` + 1 (the text) and on.
    host::AccessibleNode describe(host::WindowHandle first_id) const;
    // A button's default action: the box answers as if it were clicked. False for another id.
    bool press(host::WindowHandle first_id, host::WindowHandle id);

private:
    struct Button {
        std::string caption;
        int answer;
        gdi::Rect rect;
    };
    void layout();
    void paint();
    void show();
    int button_at(int x, int y) const;

    host::MessageBoxRequest m_request;
    int m_scale {1};
    SDL_Window* m_window {nullptr};
    gdi::Surface m_pixels;
    std::vector<std::string> m_lines;
    std::vector<Button> m_buttons;
    int m_focus {0};
    int m_pressed {-1};
    int m_hot {-1};
    int m_answer {0};
    // SDL's clock when the box opened: keys pressed before it never answer it.
    uint32_t m_opened_at {0};
    int m_line_height {13};
    gdi::Rect m_icon_rect;
    gdi::Rect m_text_rect;
};

} // namespace sorrel::backend
