// Start-up as a whole process: sorrel-formrun opens a form with a dozen controls headless and
// exits once the first frame is presented, next to a process that only starts fontconfig and
// FreeType and loads one face. Reports wall time per start and peak resident memory.

#include <benchmark/benchmark.h>

#include <chrono>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct Run {
    double seconds;
    long max_rss_kb;
    int status;
};

Run run(const char* const* argv)
{
    auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return {0, 0, -1};
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

void measure(benchmark::State& state, const char* const* argv)
{
    long peak = 0;
    for (auto _ : state) {
        Run r = run(argv);
        if (r.status != 0) {
            state.SkipWithError("the process failed");
            return;
        }
        state.SetIterationTime(r.seconds);
        peak = std::max(peak, r.max_rss_kb);
    }
    state.counters["peak_rss_MB"] = double(peak) / 1024.0;
}

void BM_StartupFontBaseline(benchmark::State& state)
{
    const char* argv[] = {SORREL_FONT_BASELINE, nullptr};
    measure(state, argv);
}

void BM_StartupDozenControlForm(benchmark::State& state)
{
    const char* argv[] = {SORREL_FORMRUN, SORREL_DOZEN_FORM, "--headless", nullptr};
    measure(state, argv);
}

} // namespace

BENCHMARK(BM_StartupFontBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupDozenControlForm)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
