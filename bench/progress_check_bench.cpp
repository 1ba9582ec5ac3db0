// The progress bar's Value step and the check box's poll tick, each next to the host work it
// cannot avoid: copying one tile onto a canvas, and reading the pointer and the window under it.

#include "controls/check/Check.h"
#include "controls/progressbar/ProgressBar.h"
#include "platform/host/Canvas.h"
#include "tests/controls/progressbar/ControlTestHost.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace sorrel;
using controls::testing::ControlTestHost;

void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "progress_check_bench: %s\n", what);
        std::abort();
    }
}

// A 225 x 17 bar with Max 22: every Value from 2 to 17 adds exactly one tile.
void BM_ProgressBarValueStep(benchmark::State& state)
{
    require(!controls::register_progress_bar().is_error(), "pictures");
    ControlTestHost t;
    host::PropertyBag stored;
    stored.add("max", host::Variant(int16_t(22)));
    auto& bar = t.add<controls::ProgressBar>("ProgressBar1", 0, 0, 225 * 15, 17 * 15, &stored);
    t.show();
    int value = 17;
    for (auto _ : state) {
        if (value == 17) {
            state.PauseTiming();
            bar.Value(0); // full repaint, then the first tile
            bar.Value(1);
            value = 1;
            state.ResumeTiming();
        }
        bar.Value(++value);
    }
    require(bar.fill_state().cursor > 4, "the bar painted nothing");
}
BENCHMARK(BM_ProgressBarValueStep);

// Baseline: the tile copy alone, onto a canvas of the bar's size.
void BM_TileCopyBaseline(benchmark::State& state)
{
    require(!controls::register_progress_bar().is_error(), "pictures");
    ControlTestHost t;
    host::PropertyBag stored;
    stored.add("_extentx", host::Variant(int32_t(5953)));
    auto& bar = t.add<controls::ProgressBar>("ProgressBar1", 0, 0, 225 * 15, 17 * 15, &stored);
    const host::PictureRef tile = bar.pc()[2].Picture();
    host::Canvas canvas;
    canvas.resize(225, 17);
    int x = 4;
    for (auto _ : state) {
        canvas.PaintPicture(tile, float(x), 3, 8, 11, 0, 0, 8, 10);
        x = x >= 164 ? 4 : x + 10;
        benchmark::DoNotOptimize(canvas.pixels().data());
    }
}
BENCHMARK(BM_TileCopyBaseline);

// One poll tick with the pointer on the form but away from the box: the idle picture is shown
// already, so nothing is drawn and nothing is presented.
void BM_CheckPollTick(benchmark::State& state)
{
    require(!controls::register_check().is_error(), "pictures");
    ControlTestHost t;
    auto& check = t.add<controls::Check>("ChkOld", 0, 0, 1095, 255);
    t.show();
    t.backend->mouse_move(200, 150);
    check.Timer1_Timer();
    t.host->present_pending();
    const int presented = t.host->presented_frame_count();
    for (auto _ : state)
        check.Timer1_Timer();
    require(!t.host->present_pending() && t.host->presented_frame_count() == presented,
        "an unchanged poll presented something");
    state.counters["presented"] = double(t.host->presented_frame_count() - presented);
}
BENCHMARK(BM_CheckPollTick);

// Baseline: the two host services every tick calls.
void BM_PointerLookupBaseline(benchmark::State& state)
{
    ControlTestHost t;
    t.add<controls::Check>("ChkOld", 0, 0, 1095, 255);
    t.show();
    t.backend->mouse_move(200, 150);
    for (auto _ : state) {
        gdi::POINT p {};
        t.host->GetCursorPos(&p);
        benchmark::DoNotOptimize(t.host->WindowFromPoint(p));
    }
}
BENCHMARK(BM_PointerLookupBaseline);

} // namespace
