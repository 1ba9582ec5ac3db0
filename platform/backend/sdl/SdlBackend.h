#pragma once

#include "platform/backend/sdl/atk/AtkAccessibility.h"
#include "platform/host/Backend.h"
#include "platform/host/ErrorOr.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>

struct SDL_Window;
struct SDL_Surface;
union SDL_Event;

namespace sorrel::backend {

// A real window on SDL2. The form's client area is drawn at an integer scale (the desktop's,
// unless a scale is given; see scale_from_desktop) into the window's own surface; a present
// copies only the changed rectangles and updates only those parts of the window.
//
// Input maps to what Windows delivers: button codes 1, 2, 4, the shift mask, virtual-key codes,
// typed characters in Windows-1252. The mouse is captured from press to release.
//
// Message boxes are modal windows of their own, drawn with our drawing layer (not
// SDL_ShowMessageBox, which would block the thread and stop the timers): while one is open the
// host's timers and repaints keep running and the form takes no input; a quit or the form's
// close button ends the box with its least answer, and the host closes as it returns. Enter
// answers the first button (Yes or OK), Esc answers No (or OK), Y and N answer Yes and No.
//
// When a desktop runs an accessibility bus, the window (and an open box) is published to screen
// readers through ATK (atk/AtkAccessibility.h), served from this backend's waits.
class SdlMessageBox;

class SdlBackend final : public host::Backend, private AtkSource {
public:
    // Which of SDL's video drivers may serve the window. `OnScreen` takes only the displays the
    // environment names and refuses "offscreen" and "dummy", which draw where nobody sees: a
    // window there looks like a program that hangs.
    enum class Drivers { Any, OnScreen };

    // `scale` 0 takes the desktop's scale. Fails when SDL cannot start video, with the display's
    // own words when it gave any (an X server's reason for refusing).
    static host::ErrorOr<std::unique_ptr<SdlBackend>> create(int scale = 0, Drivers drivers = Drivers::Any);
    ~SdlBackend() override;

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
    // Why open_window made no window; empty while there is one.
    const std::string& window_error() const { return m_window_error; }
    // Whether screen readers are served (a bus was found and the libraries loaded).
    bool accessible() const { return m_accessibility != nullptr; }

    explicit SdlBackend(int scale);

private:
    std::optional<host::InputEvent> translate(const SDL_Event& event);
    bool is_close_request(const SDL_Event& event);
    void blit_to_window(const gdi::Rect& area);
    void redraw_all();
    // SDL's next event within `timeout_ms` (negative: no limit), serving the accessibility bus
    // meanwhile; false on timeout.
    bool next_sdl_event(SDL_Event& event, double timeout_ms);

    // AtkSource
    std::string application_name() override;
    std::vector<host::AccessibleNode> accessible_windows() override;
    gdi::Rect screen_rect(host::WindowHandle window, const gdi::Rect& client) override;
    bool do_default_action(host::WindowHandle id) override;
    bool has_keyboard_focus() override;

    SDL_Window* m_window {nullptr};
    std::string m_window_error;
    int m_scale {1};
    int m_width {0};
    int m_height {0};
    gdi::Surface m_frame;
    gdi::Surface m_icon; // the window's, also given to its message boxes
    int16_t m_buttons {0};
    // Characters that arrived with an earlier event and wait their turn.
    std::deque<host::InputEvent> m_pending;
    double m_start_ms {0};
    double m_next_close_look_ms {0};
    std::unique_ptr<AtkAccessibility> m_accessibility;
    uint32_t m_wake_event {0}; // SDL's event type that ends a wait for the accessibility bus
    bool m_action_queued {false}; // a screen reader's action waits for the host's loop
    SdlMessageBox* m_box {nullptr}; // the open box
    host::WindowHandle m_box_id {0}; // its node ids start here
    host::WindowHandle m_next_box_id {0x40000000};
};

} // namespace sorrel::backend
