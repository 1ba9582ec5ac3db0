#pragma once

// A host with a scripted backend for the button's tests: a virtual clock, a pointer the test
// places, and message boxes that are recorded and answered at once.

#include "controls/button/QuillButton.h"
#include "platform/gdi/Gdi.h"
#include "platform/host/Backend.h"
#include "platform/host/Events.h"
#include "platform/host/Form.h"
#include "platform/host/Frame.h"
#include "platform/host/Host.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace sorrel::controls {

// The private state the tests look at.
class QuillButtonTestAccess {
public:
    explicit QuillButtonTestAccess(QuillButton& button)
        : b(button)
    { }
    int32_t state() const { return b.ButtonState; }
    void set_state(int32_t s) { b.ButtonState = s; }
    bool mouse_inside() const { return b.MouseInside; }
    bool has_focus() const { return b.HasFocus; }
    bool paint_ready() const { return b.PaintReady; }
    bool has_icon() const { return b.HasIcon; }
    bool layout_dirty() const { return b.LayoutDirty; }
    int32_t requested_mode() const { return b.RequestedGraphicsMode; }
    gdi::HRGN outline() const { return b.OutlineRegion; }
    host::Timer& hover_timer() { return b.TimerHover; }
    host::PictureBox& icon_box() { return b.picIcon; }
    gdi::Color face() const { return b.FaceColor; }
    gdi::Color light() const { return b.LightColor; }
    gdi::Color highlight() const { return b.HighlightColor; }
    gdi::Color shadow() const { return b.ShadowColor; }
    gdi::Color dark_shadow() const { return b.DarkShadowColor; }
    gdi::Color text() const { return b.TextColor; }
    gdi::Color hover_text() const { return b.HoverTextColor; }
    std::vector<gdi::Color> palette() const
    {
        return {b.FaceColor, b.LightColor, b.HighlightColor, b.ShadowColor, b.DarkShadowColor, b.TextColor,
            b.HoverTextColor};
    }
    int16_t probe(bool gradient) { return b.ProbePlatform(gradient); }
    void apply_scheme(bool reset) { b.ApplyColorScheme(reset); }
    static gdi::Color shift(gdi::Color c, int32_t amount, bool proportional, std::string* text = nullptr)
    {
        return QuillButton::ShiftColor(c, amount, proportional, text);
    }
    static gdi::Color translate(gdi::Color c) { return QuillButton::TranslateSystemColor(c); }
    void line(int x1, int y1, int x2, int y2, gdi::Color c) { b.DrawLine(x1, y1, x2, y2, c); }
    void fill_or_outline(int l, int t, int r, int bo, gdi::Color c, bool outline)
    {
        b.FillOrOutline(l, t, r, bo, c, outline);
    }
    void bevel(gdi::Color c1, gdi::Color c2, gdi::Color c3, gdi::Color c4, int16_t inset, bool outer_only)
    {
        b.DrawBevel(c1, c2, c3, c4, inset, outer_only);
    }
    void focus_indicator() { b.DrawFocusIndicator(); }
    void gradient() { b.PaintGradient(); }
    void set_style_raw(int32_t style) { b.m_button_style = style; }
    void set_type_raw(int32_t type) { b.m_button_type = type; }
    void refresh_and_wait(float seconds) { b.RefreshAndWait(seconds); }

private:
    QuillButton& b;
};

namespace testing_support {

class ScriptedBackend : public host::Backend {
public:
    double now_ms() override { return clock_ms; }
    double seconds_since_midnight() override
    {
        return std::fmod(midnight_offset_s + clock_ms / 1000.0, 86400.0);
    }
    void open_window(const std::string&, int, int, const host::PictureRef&) override { }
    void set_caption(const std::string&) override { }
    void close_window() override { }
    void present(const gdi::Surface&, std::span<const gdi::Rect>) override { }
    std::optional<host::InputEvent> wait_event(double) override { return {}; }
    void sleep_ms(double ms) override
    {
        clock_ms += ms;
        slept_ms += ms;
    }
    gdi::Point cursor_position() override { return cursor; }
    gdi::Point client_origin() override { return {0, 0}; }
    int message_box(const host::MessageBoxRequest& request) override
    {
        messages.push_back(request);
        return 1;
    }

    double clock_ms {0};
    double midnight_offset_s {36000};
    double slept_ms {0};
    gdi::Point cursor {-1000, -1000};
    std::vector<host::MessageBoxRequest> messages;
};

// One form (400 x 300 pixels) on a scripted host, with helpers to place buttons and drive input.
class ButtonHost {
public:
    explicit ButtonHost(bool design = false)
    {
        auto owned = std::make_unique<ScriptedBackend>();
        backend = owned.get();
        host = std::make_unique<host::Host>(std::move(owned));
        host->set_event_recorder(&events);
        form = std::make_unique<host::Form>();
        form->set_client_size_twips(400 * 15, 300 * 15);
        form->set_design_mode(design);
    }
    ~ButtonHost()
    {
        form->unload();
        form.reset();
    }

    // A button at (x, y) pixels of its container, w x h pixels, loaded new or from `stored`.
    QuillButton& add(std::string name, int x, int y, int w, int h, host::Control* container = nullptr,
        int16_t index = -1, const host::PropertyBag* stored = nullptr)
    {
        auto& b = static_cast<QuillButton&>(
            form->add(std::make_unique<QuillButton>(), std::move(name), index, container));
        b.Move(float(x * 15), float(y * 15), float(w * 15), float(h * 15));
        form->load_control(b, stored);
        return b;
    }
    host::Frame& add_frame(std::string name, int x, int y, int w, int h, int16_t index = -1)
    {
        auto& f
            = static_cast<host::Frame&>(form->add(std::make_unique<host::Frame>(), std::move(name), index));
        f.Move(float(x * 15), float(y * 15), float(w * 15), float(h * 15));
        return f;
    }
    void show() { host->show(*form); }

    void input(
        host::InputEvent::Kind kind, int x, int y, int16_t button = 0, int16_t key = 0, int16_t shift = 0)
    {
        host::InputEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.button = button;
        e.key = key;
        e.shift = shift;
        if (kind == host::InputEvent::Kind::MouseMove || kind == host::InputEvent::Kind::MouseDown
            || kind == host::InputEvent::Kind::MouseUp)
            backend->cursor = {x, y};
        host->dispatch(e);
    }
    void move(int x, int y, int16_t buttons = 0) { input(host::InputEvent::Kind::MouseMove, x, y, buttons); }
    void press(int x, int y, int16_t button = 1) { input(host::InputEvent::Kind::MouseDown, x, y, button); }
    void release(int x, int y, int16_t button = 1) { input(host::InputEvent::Kind::MouseUp, x, y, button); }
    void key_down(int16_t key, int16_t shift = 0)
    {
        input(host::InputEvent::Kind::KeyDown, 0, 0, 0, key, shift);
    }
    void key_up(int16_t key, int16_t shift = 0) { input(host::InputEvent::Kind::KeyUp, 0, 0, 0, key, shift); }
    void typed(int16_t ch, int16_t shift = 0) { input(host::InputEvent::Kind::Char, 0, 0, 0, ch, shift); }
    // Press and release where the pointer is.
    void down(int16_t button = 1) { press(backend->cursor.x, backend->cursor.y, button); }
    void up(int16_t button = 1) { release(backend->cursor.x, backend->cursor.y, button); }
    void click_at(int x, int y, int16_t button = 1)
    {
        move(x, y);
        press(x, y, button);
        release(x, y, button);
    }
    // The events `source` raised, without MouseMove, which only says that the pointer moved.
    std::vector<std::string> transcript(std::string_view source) const
    {
        std::vector<std::string> out;
        for (auto& name : events.names(source)) {
            if (name != "MouseMove")
                out.push_back(name);
        }
        return out;
    }
    // Moves the virtual clock on and runs the timers that fall due.
    void advance(double ms)
    {
        backend->clock_ms += ms;
        host->fire_due_timers();
    }
    std::vector<std::string> names(std::string_view source = {}) const { return events.names(source); }

    ScriptedBackend* backend {nullptr};
    std::unique_ptr<host::Host> host;
    host::EventRecorder events;
    std::unique_ptr<host::Form> form;
};

} // namespace testing_support

} // namespace sorrel::controls
