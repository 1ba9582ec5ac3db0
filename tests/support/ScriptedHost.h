#pragma once

// A host with a scripted backend for the controls' tests: a virtual clock, a pointer the test
// places, message boxes recorded and answered at once, and one form to put controls on.

#include "platform/host/Backend.h"
#include "platform/host/Events.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace sorrel::test_support {

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
    void present(const gdi::Surface&, std::span<const gdi::Rect>) override { ++presents; }
    std::optional<host::InputEvent> wait_event(double) override { return {}; }
    void sleep_ms(double ms) override
    {
        clock_ms += ms;
        slept_ms += ms;
    }
    gdi::Point cursor_position() override { return cursor; }
    gdi::Point client_origin() override { return {0, 0}; }
    host::WindowUnderPointer window_under_pointer() override { return top_window; }
    int message_box(const host::MessageBoxRequest& request) override
    {
        messages.push_back(request);
        return 1;
    }

    double clock_ms {0};
    // Where the clock's zero stands in the day.
    double midnight_offset_s {0};
    double slept_ms {0};
    gdi::Point cursor {-1000, -1000};
    // Other: a window of another program, or a message box, lies over the form at the pointer.
    host::WindowUnderPointer top_window {host::WindowUnderPointer::Form};
    int presents {0};
    std::vector<host::MessageBoxRequest> messages;
};

// One form of `width` x `height` pixels on a scripted host, with helpers to drive input and time.
class ScriptedHost {
public:
    ScriptedHost(int width, int height, bool design)
    {
        auto owned = std::make_unique<ScriptedBackend>();
        backend = owned.get();
        host = std::make_unique<host::Host>(std::move(owned));
        host->set_event_recorder(&events);
        form = std::make_unique<host::Form>();
        form->set_client_size_twips(float(width * 15), float(height * 15));
        form->set_design_mode(design);
    }
    ~ScriptedHost()
    {
        form->unload();
        form.reset();
    }

    void show() { host->show(*form); }

    // Mouse events also move the pointer there.
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
    // Moves the virtual clock on and fires the timers that fall due.
    void advance(double ms)
    {
        backend->clock_ms += ms;
        host->fire_due_timers();
    }

    ScriptedBackend* backend {nullptr};
    std::unique_ptr<host::Host> host;
    host::EventRecorder events;
    std::unique_ptr<host::Form> form;
};

} // namespace sorrel::test_support
