#pragma once

// One form on the headless backend for the controls' tests, with helpers to drive input and
// time: the same virtual clock the app's tests and UI scripts run on, a pointer the test places,
// and message boxes recorded and answered at once with the answer that does least.

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/Events.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <memory>
#include <string>
#include <vector>

namespace sorrel::test_support {

// One form of `width` x `height` pixels on a headless host.
class ScriptedHost {
public:
    ScriptedHost(int width, int height, bool design)
    {
        auto owned = backend::HeadlessBackend::create();
        backend = owned.get();
        // The clock starts at midnight.
        backend->set_time_of_day(0);
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
        backend->input(e);
    }
    void move(int x, int y, int16_t buttons = 0) { input(host::InputEvent::Kind::MouseMove, x, y, buttons); }
    void press(int x, int y, int16_t button = 1) { input(host::InputEvent::Kind::MouseDown, x, y, button); }
    void release(int x, int y, int16_t button = 1) { input(host::InputEvent::Kind::MouseUp, x, y, button); }
    // Moves the virtual clock on, firing every timer that falls due on the way at its due time.
    void advance(double ms) { backend->advance(ms); }
    // Where the pointer is, in client pixels.
    gdi::Point pointer() const
    {
        gdi::Point screen = backend->cursor_position();
        gdi::Point origin = backend->client_origin();
        return {screen.x - origin.x, screen.y - origin.y};
    }
    // The text and style of each message box shown so far.
    const std::vector<backend::HeadlessBackend::ShownBox>& messages() const { return backend->boxes(); }

    backend::HeadlessBackend* backend {nullptr};
    std::unique_ptr<host::Host> host;
    host::EventRecorder events;
    std::unique_ptr<host::Form> form;
};

} // namespace sorrel::test_support
