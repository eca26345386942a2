// The Linux library's panel, and the LV2 panel, open in an X11 host window with nothing changing:
// what one host idle costs the host's process. Hosts idle the editor about every 40 ms (Ardour), so the share of one
// core is the processor time of one idle over 40 ms, reported as `coreShareAt40ms`; it should stay
// well under 0.01. Needs an X display: scripts/idle-cost.sh runs it on a virtual one.
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include "PluginHost.h"
#include "PluginLibrary.h"
#include "X11HostWindow.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <chrono>
#include <ctime>
#include <map>
#include <string>

namespace {

// Idles after the first paint and whatever the opening left to draw, and counts the processor time.
template <typename Idle>
void measureIdles(benchmark::State& state, X11HostWindow& parent, Idle&& idle) {
    parent.run(std::chrono::milliseconds(300), std::chrono::milliseconds(20), idle);
    const std::clock_t started = std::clock();
    for (auto _ : state) idle();
    const double secondsPerIdle =
        static_cast<double>(std::clock() - started) / CLOCKS_PER_SEC / static_cast<double>(state.iterations());
    state.counters["coreShareAt40ms"] = secondsPerIdle / 0.040;
}

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
    measureIdles(state, parent, [&host] { host.dispatch(effEditIdle); });
    host.dispatch(effEditClose);
    host.close();
}
BENCHMARK(idleWithNothingChanging)->Unit(benchmark::kMicrosecond);

void lv2IdleWithNothingChanging(benchmark::State& state) {
    X11HostWindow parent(250, 100);
    void* library = dlopen(BREVATONE_LV2_PANEL, RTLD_NOW | RTLD_LOCAL);
    const auto entry =
        library ? reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor")) : nullptr;
    const LV2UI_Descriptor* descriptor = entry ? entry(0) : nullptr;
    if (!parent.valid() || !descriptor) {
        state.SkipWithError("no X display or no LV2 panel");
        return;
    }
    std::map<std::string, LV2_URID> ids;
    LV2_URID_Map map{&ids, [](LV2_URID_Map_Handle handle, const char* uri) -> LV2_URID {
                         auto& known = *static_cast<std::map<std::string, LV2_URID>*>(handle);
                         return known.emplace(uri, static_cast<LV2_URID>(known.size() + 1)).first->second;
                     }};
    const LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature parentFeature{LV2_UI__parent, parent.parentHandle()};
    const LV2_Feature* features[] = {&mapFeature, &parentFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    const LV2UI_Write_Function ignore = [](LV2UI_Controller, std::uint32_t, std::uint32_t, std::uint32_t, const void*) {
    };
    LV2UI_Handle panel = descriptor->instantiate(descriptor, "", "", ignore, nullptr, &widget, features);
    const auto* idleInterface =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    if (!panel || !idleInterface) {
        state.SkipWithError("the LV2 panel did not open");
        return;
    }
    measureIdles(state, parent, [idleInterface, panel] { idleInterface->idle(panel); });
    descriptor->cleanup(panel);
    dlclose(library);
}
BENCHMARK(lv2IdleWithNothingChanging)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
