// The sorrel program: start-up from `sorrel --headless` to the first presented frame as a whole
// process, next to the host's own start-up baselines (a process that only starts the font engine,
// and a dozen-control form); and the whole scan-and-verdict run in virtual time over two drives,
// next to the progress run alone on the same window, and the window's accessible tree; and the
// failure list of a removal that left 100, 1,000 and 10,000 files, whose cost per file should
// not grow with their number.

#include "app/Session.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/lists/Drives.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace sorrel;
namespace fs = std::filesystem;

namespace {

// Two drives with both Messengers, made once for the whole run.
struct Drives {
    fs::path root;
    Drives()
    {
        auto pattern = (fs::temp_directory_path() / "sorrel-bench-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        fs::path data = SORREL_TEST_DATA_FILES;
        fs::create_directories(root / "c/Program Files/Messenger");
        fs::create_directories(root / "d/Program Files/MSN Messenger");
        fs::copy_file(data / "exe64_basic.exe", root / "c/Program Files/Messenger/msmsgs.exe");
        fs::copy_file(data / "exe32_leading_zero.exe", root / "d/Program Files/MSN Messenger/msnmsgr.exe");
        std::ofstream(root / "empty.script");
    }
    ~Drives() { fs::remove_all(root); }
    files::DriveMap map() const
    {
        files::DriveMap m;
        (void)m.add('c', root / "c");
        (void)m.add('d', root / "d");
        return m;
    }
};

const Drives& drives()
{
    static Drives d;
    return d;
}

double run_process(const std::vector<std::string>& arguments, int expected_status)
{
    std::vector<char*> argv;
    for (auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // What the process prints (a report) would only bury the benchmark's own lines.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    auto start = std::chrono::steady_clock::now();
    pid_t pid;
    int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != expected_status)
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void measure_process(
    benchmark::State& state, const std::vector<std::string>& arguments, int expected_status = 0)
{
    for (auto _ : state) {
        double seconds = run_process(arguments, expected_status);
        if (seconds < 0) {
            state.SkipWithError("the process failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_StartupFontBaseline(benchmark::State& state)
{
    measure_process(state, {SORREL_FONT_BASELINE});
}

void BM_StartupDozenControlForm(benchmark::State& state)
{
    measure_process(state, {SORREL_FORMRUN, SORREL_DOZEN_FORM, "--headless"});
}

// An empty script: the program loads its window, presents the first frame and ends.
void BM_StartupSorrelHeadless(benchmark::State& state)
{
    const Drives& d = drives();
    measure_process(state,
        {SORREL_PROGRAM, "--drive", "c:=" + (d.root / "c").string(), "--drive",
            "d:=" + (d.root / "d").string(), "--headless", "--script", (d.root / "empty.script").string()});
}

// sorrel --detect on the demo drives: making them, scanning both with versions, sizes and the
// report, removing them. Ends with 1: an older version beside a newer one.
void BM_DetectOnDemoDrives(benchmark::State& state)
{
    measure_process(state, {SORREL_PROGRAM, "--demo", "--detect"}, 1);
}

struct Window {
    std::unique_ptr<app::Session> session;
    backend::HeadlessBackend* headless {nullptr};

    Window()
    {
        lists::use_drives(drives().map());
        auto backend = backend::HeadlessBackend::create();
        headless = backend.get();
        auto opened = app::Session::open(std::move(backend));
        if (!opened.is_error())
            session = opened.release_value();
    }
};

// "Begin Scan" to the verdict: both passes over two drives, 100 ticks of the bar, the results page.
void BM_ScanAndVerdict(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Window w;
        if (!w.session) {
            state.SkipWithError("the window did not open");
            return;
        }
        state.ResumeTiming();
        w.headless->click(w.session->window().CmdSCan);
        w.headless->advance(1500);
        benchmark::DoNotOptimize(w.session->window().Text2.Text());
    }
}

// The progress run alone: the same 100 ticks and results page, with no drive looked at.
void BM_ProgressRunAlone(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Window w;
        if (!w.session) {
            state.SkipWithError("the window did not open");
            return;
        }
        state.ResumeTiming();
        w.session->window().Timer1.Enabled(true);
        w.headless->advance(1500);
        benchmark::DoNotOptimize(w.session->window().Text2.Text());
    }
}

// The results page's tree as a screen reader asks for it after every event, next to the
// progress run above (100 ticks, each with a value event).
void BM_AccessibleTree(benchmark::State& state)
{
    Window w;
    if (!w.session) {
        state.SkipWithError("the window did not open");
        return;
    }
    w.session->window().Timer1.Enabled(true);
    w.headless->advance(1500);
    for (auto _ : state)
        benchmark::DoNotOptimize(w.session->host().accessible_tree());
}

// From the names left after an attempt to the failure list in Text8 (wrapped and drawn) and the
// text of the box that offers to try again; the counter is the cost per name.
void BM_FailureList(benchmark::State& state)
{
    Window w;
    if (!w.session) {
        state.SkipWithError("the window did not open");
        return;
    }
    auto count = int(state.range(0));
    std::vector<std::string> left;
    for (int i = 0; i < count; ++i)
        left.push_back(
            (i % 3 ? "msgslang" : "Custom Emoticon ") + std::to_string(i) + (i % 2 ? ".dll" : ".txt"));
    for (auto _ : state) {
        // Each round starts from an empty field, as the first attempt does.
        state.PauseTiming();
        w.session->window().Text8.Text("");
        state.ResumeTiming();
        benchmark::DoNotOptimize(w.session->window().ListNotDeleted(left));
    }
    state.counters["per_file"] = benchmark::Counter(
        double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_FailureList)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupFontBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupDozenControlForm)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupSorrelHeadless)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_DetectOnDemoDrives)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ScanAndVerdict)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ProgressRunAlone)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_AccessibleTree)->Unit(benchmark::kMicrosecond);
