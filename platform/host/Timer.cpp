#include "platform/host/Timer.h"

#include "platform/host/Host.h"

#include <algorithm>

namespace sorrel::host {

Timer::Timer()
{
    if (Host* host = Host::current_or_null())
        host->register_timer(*this);
}

Timer::Timer(Control& container, std::string name, int32_t interval, bool enabled)
    : Timer()
{
    attach(container, std::move(name));
    m_interval = std::max(interval, 0);
    m_enabled = enabled;
    restart();
}

Timer::~Timer()
{
    if (Host* host = Host::current_or_null())
        host->unregister_timer(*this);
}

void Timer::Interval(int32_t milliseconds)
{
    // The Basic runtime takes 0 to 65535; 0 stops the timer without disabling it.
    m_interval = std::clamp(milliseconds, 0, 65535);
    restart();
}

void Timer::Enabled(bool enabled)
{
    m_enabled = enabled;
    restart();
}

void Timer::restart()
{
    Host* host = Host::current_or_null();
    double now = host ? host->now_ms() : 0;
    m_due_ms = now + m_interval;
}

void Timer::fire(double now_ms)
{
    if (!is_running() || m_in_tick)
        return;
    // Ticks are not queued: a timer that fell behind fires once and counts on from now.
    m_due_ms += m_interval;
    if (m_due_ms <= now_ms)
        m_due_ms = now_ms + m_interval;
    m_in_tick = true;
    if (on_tick)
        on_tick();
    m_in_tick = false;
}

std::string Timer::dump_text() const
{
    return "interval " + std::to_string(m_interval);
}

} // namespace sorrel::host
