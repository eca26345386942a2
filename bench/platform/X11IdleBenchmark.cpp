// The Linux library's panel open in an X11 host window with nothing changing: what one host idle
// costs the host's process. Hosts idle the editor about every 40 ms (Ardour), so the share of one
// core is the processor time of one idle over 40 ms, reported as `coreShareAt40ms`; it should stay
// well under 0.01. Needs an X display: scripts/idle-cost.sh runs it on a virtual one.
#include "PluginHost.h"
#include "PluginLibrary.h"
#include "X11HostWindow.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace {

void idleWithNothingChanging(benchmark::State& state) {
    X11HostWindow parent(250, 100);
    if (!parent.valid()) {
        state.SkipWithError("no X display");
        return;
    }
    PluginLibrary library(PluginLibrary::besideExecutable("brevatone.so"));
    PluginHost host(library);
    if (!library.loaded() || !host.open() || host.dispatch(effEditOpen, 0, 0, parent.parentHandle()) != 1) {
        state.SkipWithError("the panel did not open");
        return;
    }
    // The first paint and whatever the opening left to draw.
    parent.run(std::chrono::milliseconds(300), std::chrono::milliseconds(20), [&host] { host.dispatch(effEditIdle); });

    const std::clock_t started = std::clock();
    for (auto _ : state) host.dispatch(effEditIdle);
    const double secondsPerIdle =
        static_cast<double>(std::clock() - started) / CLOCKS_PER_SEC / static_cast<double>(state.iterations());
    state.counters["coreShareAt40ms"] = secondsPerIdle / 0.040;
    host.dispatch(effEditClose);
    host.close();
}
BENCHMARK(idleWithNothingChanging)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
