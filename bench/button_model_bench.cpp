// QuillButton interaction: a mouse move over a button the pointer is already over (no repaint)
// and a hover-timer tick while the pointer stays over it, next to an empty virtual call.

#include "controls/button/QuillButton.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <benchmark/benchmark.h>

using namespace sorrel;

namespace {

struct Callee {
    virtual ~Callee() = default;
    virtual void call() { }
};

// A shown 225 x 33 button of the XP face with the pointer over it and the hover timer running.
struct Scene {
    Scene()
    {
        auto owned = backend::HeadlessBackend::create();
        headless = owned.get();
        host = std::make_unique<host::Host>(std::move(owned));
        form = std::make_unique<host::Form>();
        form->set_client_size_twips(400 * 15, 200 * 15);
        button = &static_cast<controls::QuillButton&>(
            form->add(std::make_unique<controls::QuillButton>(), "CmdSCan"));
        button->Move(15 * 15, 15 * 15, 225 * 15, 33 * 15);
        host::PropertyBag stored;
        stored.add("BTYPE", int32_t(3));
        stored.add("TX", "Begin Scan");
        form->load_control(*button, &stored);
        host->show(*form);
        headless->mouse_move(100, 30);
    }
    // The pointer is over the button: a tick raises no MouseOut.
    bool pointer_is_over()
    {
        host::EventRecorder recorder;
        host->set_event_recorder(&recorder);
        button->TimerHover_Timer();
        host->set_event_recorder(nullptr);
        return recorder.names().empty();
    }
    ~Scene()
    {
        form->unload();
        form.reset();
    }
    backend::HeadlessBackend* headless {nullptr};
    std::unique_ptr<host::Host> host;
    std::unique_ptr<host::Form> form;
    controls::QuillButton* button {nullptr};
};

void BM_EmptyVirtualCall(benchmark::State& state)
{
    std::unique_ptr<Callee> callee = std::make_unique<Callee>();
    Callee* target = callee.get();
    for (auto _ : state) {
        benchmark::DoNotOptimize(target);
        target->call();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EmptyVirtualCall);

void BM_MouseMoveInside(benchmark::State& state)
{
    Scene scene;
    if (!scene.pointer_is_over())
        state.SkipWithError("the pointer is not over the button");
    for (auto _ : state) {
        scene.button->UserControl_MouseMove(0, 0, 85, 15);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MouseMoveInside);

void BM_HoverTickInside(benchmark::State& state)
{
    Scene scene;
    if (!scene.pointer_is_over())
        state.SkipWithError("the pointer is not over the button");
    for (auto _ : state) {
        scene.button->TimerHover_Timer();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HoverTickInside);

} // namespace
