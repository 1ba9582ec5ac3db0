#pragma once

#include "platform/host/Control.h"

#include <cstdint>
#include <functional>

namespace sorrel::host {

// A host timer: while Enabled and Interval > 0 it ticks every Interval milliseconds on the
// user-interface thread, between other events (also inside DoEvents and while a message box
// is open). Setting Interval or Enabled restarts the count. A tick whose handler is still
// running (it yielded or opened a message box) is not entered again.
class Timer : public Control {
public:
    Timer();
    // A constituent: placed in `container` under `name`.
    Timer(Control& container, std::string name, int32_t interval = 0, bool enabled = false);
    ~Timer() override;

    std::string_view kind() const override { return "Timer"; }
    bool has_window() const override { return false; }

    int32_t Interval() const { return m_interval; }
    void Interval(int32_t milliseconds);
    bool Enabled() const { return m_enabled; }
    void Enabled(bool enabled);
    bool is_running() const { return m_enabled && m_interval > 0; }

    // The tick (`TimerHover_Timer`, `Timer1_Timer`).
    std::function<void()> on_tick;

    // Host side: when the next tick is due, on the host clock (milliseconds).
    double due_ms() const { return m_due_ms; }
    bool is_in_tick() const { return m_in_tick; }
    void fire(double now_ms);
    std::string dump_text() const override;
    bool enabled_property() const override { return m_enabled; }

    void read_design_properties(const PropertyBag& bag) override;
    void write_design_properties(PropertyBag& bag) const override;

private:
    void restart();

    int32_t m_interval {0};
    bool m_enabled {false};
    bool m_in_tick {false};
    double m_due_ms {0};
};

} // namespace sorrel::host
