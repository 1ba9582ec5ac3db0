// The event loop at rest: a form with two 10 ms timers and one 100 ms timer whose ticks change
// nothing must present nothing and cost almost no processor time. Measured on the real clock as
// processor time over wall time, next to an empty loop that only sleeps on the same schedule.

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/Host.h"
#include "platform/host/Timer.h"
#include "platform/host/UserControl.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <thread>

using namespace sorrel;

namespace {

double cpu_seconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double wall_seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

struct Idle : host::UserControl {
    std::string_view kind() const override { return "Idle"; }
};

constexpr double run_seconds = 2.0;

void BM_IdleLoopWithThreeTimers(benchmark::State& state)
{
    for (auto _ : state) {
        auto backend = backend::HeadlessBackend::create();
        auto* headless = backend.get();
        host::Host host(std::move(backend));
        headless->use_real_clock(true);
        host::Form form;
        form.set_client_size_twips(275 * 15, 258 * 15);
        auto& control = form.add<Idle>("Idle");
        control.Move(0, 0, 100 * 15, 30 * 15);
        form.load_control(control, nullptr);
        host::Timer a(control, "A", 10, true), b(control, "B", 10, true), c(control, "C", 100, true);
        long ticks = 0;
        double started = 0;
        a.on_tick = [&] { ++ticks; };
        b.on_tick = [&] { ++ticks; };
        c.on_tick = [&] {
            ++ticks;
            // The repaint of identical pixels a poll does: nothing may reach the screen.
            control.Refresh();
            if (wall_seconds() - started >= run_seconds)
                host.End();
        };
        host.show(form);
        int frames = host.presented_frame_count();
        started = wall_seconds();
        double cpu0 = cpu_seconds();
        host.run();
        double cpu = cpu_seconds() - cpu0;
        double wall = wall_seconds() - started;
        state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
        state.counters["ticks_per_s"] = double(ticks) / wall;
        state.counters["frames_presented"] = host.presented_frame_count() - frames;
    }
}

// The same schedule without a host: sleep to each 10 ms boundary and do nothing.
void BM_EmptyLoopSameSchedule(benchmark::State& state)
{
    for (auto _ : state) {
        double started = wall_seconds();
        double cpu0 = cpu_seconds();
        long wakeups = 0;
        auto next = std::chrono::steady_clock::now();
        while (wall_seconds() - started < run_seconds) {
            next += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next);
            wakeups += 2;
        }
        double cpu = cpu_seconds() - cpu0;
        double wall = wall_seconds() - started;
        state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
        state.counters["ticks_per_s"] = double(wakeups) / wall;
    }
}

} // namespace

BENCHMARK(BM_EmptyLoopSameSchedule)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IdleLoopWithThreeTimers)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
