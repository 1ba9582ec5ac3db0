#pragma once

// The button's tests: a look at its private state, and the scripted host with helpers to place
// buttons and frames and to drive keys and clicks.

#include "controls/button/QuillButton.h"
#include "platform/gdi/Gdi.h"
#include "platform/host/Frame.h"
#include "tests/support/ScriptedHost.h"

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
    int32_t state() const { return int32_t(b.m_button_state); }
    void set_state(int32_t s) { b.m_button_state = FaceState(s); }
    bool mouse_inside() const { return b.m_mouse_inside; }
    bool has_focus() const { return b.m_has_focus; }
    bool paint_ready() const { return b.m_paint_ready; }
    int32_t requested_mode() const { return b.m_requested_graphics_mode; }
    host::Timer& hover_timer() { return b.TimerHover; }
    host::PictureBox& icon_box() { return b.picIcon; }
    const Palette& colours() const { return b.m_palette; }
    std::vector<gdi::Color> palette() const
    {
        return {b.m_palette.face, b.m_palette.light, b.m_palette.highlight, b.m_palette.shadow,
            b.m_palette.dark_shadow, b.m_palette.text, b.m_palette.hover_text};
    }
    int16_t probe(bool gradient) { return b.ProbePlatform(gradient); }
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
    void focus_indicator() { b.DrawFocusIndicator(b.face_look(false)); }
    void gradient() { b.PaintGradient(); }
    void set_style_raw(int32_t style) { b.m_button_style = style; }
    void set_type_raw(int32_t type) { b.m_button_type = type; }

private:
    QuillButton& b;
};

namespace testing_support {

// One form (400 x 300 pixels) on a scripted host, with helpers to place buttons and drive input.
class ButtonHost : public test_support::ScriptedHost {
public:
    explicit ButtonHost(bool design = false)
        : ScriptedHost(400, 300, design)
    {
        backend->set_time_of_day(36000);
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
    void key_down(int16_t key, int16_t shift = 0)
    {
        input(host::InputEvent::Kind::KeyDown, 0, 0, 0, key, shift);
    }
    void key_up(int16_t key, int16_t shift = 0) { input(host::InputEvent::Kind::KeyUp, 0, 0, 0, key, shift); }
    void typed(int16_t ch, int16_t shift = 0) { input(host::InputEvent::Kind::Char, 0, 0, 0, ch, shift); }
    // Press and release where the pointer is.
    void down(int16_t button = 1) { press(pointer().x, pointer().y, button); }
    void up(int16_t button = 1) { release(pointer().x, pointer().y, button); }
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
    std::vector<std::string> names(std::string_view source = {}) const { return events.names(source); }
};

} // namespace testing_support

} // namespace sorrel::controls
