// The window's start-up on a real display: Sorrel from loading SDL2 to its first presented frame,
// as a whole process, next to a minimal SDL2 program that opens a window of the same size and
// presents one frame. Each iteration runs both, so the ratio is taken on the same machine load.
// Counters: the ratio of the times and each process's peak resident memory in MB. Needs a display
// (run it under xvfb-run); targets: ratio at most 2, Sorrel's peak at most 25 MB.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct Run {
    double seconds {-1};
    double peak_mb {0};
};

Run run_process(const char* program)
{
    char* argv[] = {const_cast<char*>(program), nullptr};
    auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return {};
    int status = 0;
    rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
        double(usage.ru_maxrss) / 1024.0};
}

void BM_WindowStartup(benchmark::State& state)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        state.SkipWithError("no display: run it under xvfb-run");
        return;
    }
    double sorrel_total = 0, baseline_total = 0, sorrel_peak = 0, baseline_peak = 0;
    for (auto _ : state) {
        Run baseline = run_process(SORREL_MINIMAL_WINDOW);
        Run sorrel = run_process(SORREL_FIRST_FRAME);
        if (baseline.seconds < 0 || sorrel.seconds < 0) {
            state.SkipWithError("a process failed");
            return;
        }
        state.SetIterationTime(sorrel.seconds);
        sorrel_total += sorrel.seconds;
        baseline_total += baseline.seconds;
        sorrel_peak = std::max(sorrel_peak, sorrel.peak_mb);
        baseline_peak = std::max(baseline_peak, baseline.peak_mb);
    }
    double n = double(state.iterations());
    state.counters["baseline_ms"] = baseline_total / n * 1000;
    state.counters["ratio"] = sorrel_total / baseline_total;
    state.counters["peak_MB"] = sorrel_peak;
    state.counters["baseline_peak_MB"] = baseline_peak;
}

} // namespace

BENCHMARK(BM_WindowStartup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
