// QuillButton painting: one full repaint (RefreshButton) of a 225 x 33 button with the caption
// "Begin Scan", for the XP face (ButtonType 3) and the bevel face (ButtonType 2), each next to a
// memset of the button's surface in the same run. The caption font is rebuilt on every paint.
// On a shared machine the baseline drifts between benchmarks; compare medians of interleaved
// repetitions: --benchmark_enable_random_interleaving=true --benchmark_repetitions=9

#include "controls/button/QuillButton.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <benchmark/benchmark.h>

#include <cstring>

using namespace sorrel;

namespace {

struct Scene {
    explicit Scene(int32_t type)
    {
        host = std::make_unique<host::Host>(backend::HeadlessBackend::create());
        form = std::make_unique<host::Form>();
        form->set_client_size_twips(400 * 15, 200 * 15);
        button = &static_cast<controls::QuillButton&>(
            form->add(std::make_unique<controls::QuillButton>(), "CmdSCan"));
        button->Move(15 * 15, 15 * 15, 225 * 15, 33 * 15);
        host::PropertyBag stored;
        stored.add("BTYPE", type);
        stored.add("TX", "Begin Scan");
        form->load_control(*button, &stored);
        host->show(*form);
    }
    ~Scene()
    {
        form->unload();
        form.reset();
    }
    std::unique_ptr<host::Host> host;
    std::unique_ptr<host::Form> form;
    controls::QuillButton* button {nullptr};
};

void BM_MemsetButtonSurface(benchmark::State& state)
{
    Scene scene(2);
    gdi::Surface& pixels = scene.button->canvas().pixels();
    const size_t bytes = size_t(pixels.width()) * size_t(pixels.height()) * 4;
    int value = 0;
    for (auto _ : state) {
        std::memset(pixels.data(), value++ & 0xFF, bytes);
        benchmark::ClobberMemory();
    }
}

void repaint(benchmark::State& state, int32_t type)
{
    Scene scene(type);
    for (auto _ : state) {
        scene.button->RefreshButton();
        benchmark::ClobberMemory();
    }
}

void BM_RefreshXPFace(benchmark::State& state)
{
    repaint(state, 3);
}

void BM_RefreshBevelFace(benchmark::State& state)
{
    repaint(state, 2);
}

} // namespace

BENCHMARK(BM_MemsetButtonSurface);
BENCHMARK(BM_RefreshXPFace);
BENCHMARK(BM_RefreshBevelFace);
