// The LV2 entry points. Each one catches everything: an exception must never cross into the host.
#include "lv2/Lv2Identity.h"
#include "lv2/Lv2Instrument.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <cstring>

namespace {

Lv2Instrument& plugin(LV2_Handle handle) { return *static_cast<Lv2Instrument*>(handle); }

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features) {
    try {
        return Lv2Instrument::create(sampleRate, features).release();
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle handle, std::uint32_t port, void* data) { plugin(handle).connectPort(port, data); }
void activate(LV2_Handle handle) { plugin(handle).activate(); }
void run(LV2_Handle handle, std::uint32_t frames) { plugin(handle).run(frames); }
void deactivate(LV2_Handle handle) { plugin(handle).deactivate(); }

void cleanup(LV2_Handle handle) {
    try {
        delete static_cast<Lv2Instrument*>(handle);
    } catch (...) {}
}

LV2_Worker_Status work(LV2_Handle handle, LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle respondTo,
                       std::uint32_t size, const void* data) {
    try {
        return plugin(handle).work(respond, respondTo, size, data);
    } catch (...) {
        return LV2_WORKER_ERR_UNKNOWN;
    }
}

LV2_Worker_Status workResponse(LV2_Handle handle, std::uint32_t size, const void* data) {
    return plugin(handle).workResponse(size, data);
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, std::uint32_t,
                      const LV2_Feature* const* features) {
    try {
        return plugin(handle).save(store, state, features);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, std::uint32_t,
                         const LV2_Feature* const* features) {
    try {
        return plugin(handle).restore(retrieve, state, features);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

const LV2_Worker_Interface workerInterface = {work, workResponse, nullptr};
const LV2_State_Interface stateInterface = {save, restore};

const void* extensionData(const char* uri) {
    if (!uri) return nullptr;
    if (std::strcmp(uri, LV2_WORKER__interface) == 0) return &workerInterface;
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &stateInterface;
    return nullptr;
}

const LV2_Descriptor descriptor = {Lv2Identity::pluginUri, instantiate, connectPort, activate, run, deactivate, cleanup,
                                   extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
