#pragma once

// A host for the progress bar's and the check box's tests: a virtual clock, a pointer the test
// places, message boxes recorded and answered at once, and one form to put controls on.

#include "platform/host/Backend.h"
#include "platform/host/Events.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <memory>
#include <string>
#include <vector>

namespace sorrel::controls::testing {

class TestBackend : public host::Backend {
public:
    double now_ms() override { return clock_ms; }
    double seconds_since_midnight() override { return clock_ms / 1000.0; }
    void open_window(const std::string&, int, int, const host::PictureRef&) override { }
    void set_caption(const std::string&) override { }
    void close_window() override { }
    void present(const gdi::Surface&, std::span<const gdi::Rect>) override { ++presents; }
    std::optional<host::InputEvent> wait_event(double) override { return {}; }
    void sleep_ms(double ms) override { clock_ms += ms; }
    gdi::Point cursor_position() override { return cursor; }
    gdi::Point client_origin() override { return {0, 0}; }
    int message_box(const host::MessageBoxRequest& request) override
    {
        messages.push_back(request);
        return 1;
    }

    double clock_ms {0};
    gdi::Point cursor {-1000, -1000};
    int presents {0};
    std::vector<host::MessageBoxRequest> messages;
};

class ControlTestHost {
public:
    explicit ControlTestHost(bool design = false)
    {
        auto owned = std::make_unique<TestBackend>();
        backend = owned.get();
        host = std::make_unique<host::Host>(std::move(owned));
        host->set_event_recorder(&events);
        form = std::make_unique<host::Form>();
        form->set_client_size_twips(300 * 15, 200 * 15);
        form->set_design_mode(design);
    }
    ~ControlTestHost()
    {
        form->unload();
        form.reset();
    }

    // A control at (left, top, width, height) twips, loaded new or from `stored`.
    template<class T>
    T& add(std::string name, float left, float top, float width, float height,
        const host::PropertyBag* stored = nullptr)
    {
        auto& control = static_cast<T&>(form->add(std::make_unique<T>(), std::move(name)));
        control.Move(left, top, width, height);
        form->load_control(control, stored);
        return control;
    }
    void show() { host->show(*form); }

    void mouse(host::InputEvent::Kind kind, int x, int y, int16_t button = 0)
    {
        host::InputEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.button = button;
        backend->cursor = {x, y};
        host->dispatch(e);
    }
    void press(int x, int y, int16_t button = 1) { mouse(host::InputEvent::Kind::MouseDown, x, y, button); }
    void release(int x, int y, int16_t button = 1) { mouse(host::InputEvent::Kind::MouseUp, x, y, button); }
    void move(int x, int y) { mouse(host::InputEvent::Kind::MouseMove, x, y); }
    // Moves the virtual clock on and fires the timers that came due.
    void advance(double ms)
    {
        backend->clock_ms += ms;
        host->fire_due_timers();
    }

    TestBackend* backend {nullptr};
    std::unique_ptr<host::Host> host;
    host::EventRecorder events;
    std::unique_ptr<host::Form> form;
};

} // namespace sorrel::controls::testing
