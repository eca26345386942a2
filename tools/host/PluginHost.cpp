#include "PluginHost.h"

#include <algorithm>
#include <cstddef>

namespace {
// The plug-in may call back before it has a record whose `user` field names its host.
thread_local PluginHost* hostBeingOpened = nullptr;
}  // namespace

PluginHost::PluginHost(const PluginLibrary& pluginLibrary) : library(pluginLibrary) {}

PluginHost::~PluginHost() {
    if (plugin) close();
}

AEffect* PluginHost::open() {
    if (!library.loaded()) return nullptr;
    hostBeingOpened = this;
    plugin = library.entry()(&PluginHost::callback);
    hostBeingOpened = nullptr;
    if (plugin) plugin->user = this;
    return plugin;
}

VstIntPtr PluginHost::close() {
    if (!plugin) return 0;
    const VstIntPtr result = plugin->dispatcher(plugin, effClose, 0, 0, nullptr, 0.0f);
    plugin = nullptr;
    return result;
}

VstIntPtr PluginHost::dispatch(std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr, float opt) {
    return plugin->dispatcher(plugin, opcode, index, value, ptr, opt);
}

void PluginHost::setParameter(std::int32_t index, float value) { plugin->setParameter(plugin, index, value); }
float PluginHost::getParameter(std::int32_t index) { return plugin->getParameter(plugin, index); }

void PluginHost::processReplacing(float** outputs, std::int32_t frames) {
    plugin->processReplacing(plugin, nullptr, outputs, frames);
}

void PluginHost::process(float** outputs, std::int32_t frames) { plugin->process(plugin, nullptr, outputs, frames); }

VstIntPtr PluginHost::sendEvents(std::vector<VstMidiEvent>& events) {
    // Hosts size the list to its events; the record declares room for two only.
    const std::size_t slots = std::max<std::size_t>(events.size(), 2);
    eventList.assign(offsetof(VstEvents, events) + slots * sizeof(VstEvent*), 0);
    auto* list = reinterpret_cast<VstEvents*>(eventList.data());
    list->numEvents = static_cast<std::int32_t>(events.size());
    VstEvent** entries = list->events;
    for (std::size_t i = 0; i < events.size(); ++i) entries[i] = reinterpret_cast<VstEvent*>(&events[i]);
    return dispatch(effProcessEvents, 0, 0, list);
}

VstMidiEvent PluginHost::midiEvent(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1,
                                   std::uint8_t data2) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    return event;
}

std::vector<PluginHost::Request> PluginHost::requests() const {
    std::lock_guard<std::mutex> guard(requestLock);
    return recorded;
}

std::size_t PluginHost::countRequests(std::int32_t opcode) const {
    std::lock_guard<std::mutex> guard(requestLock);
    return static_cast<std::size_t>(
        std::count_if(recorded.begin(), recorded.end(), [opcode](const Request& r) { return r.opcode == opcode; }));
}

void PluginHost::forgetRequests() {
    std::lock_guard<std::mutex> guard(requestLock);
    recorded.clear();
}

VstIntPtr VSTCALL PluginHost::callback(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value, void*,
                                       float opt) {
    PluginHost* host = effect && effect->user ? static_cast<PluginHost*>(effect->user) : hostBeingOpened;
    return host ? host->answer(effect, opcode, index, value, opt) : 0;
}

VstIntPtr PluginHost::answer(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value, float opt) {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    const Request request{opcode, index, value, opt, effect != nullptr, elapsed.count()};
    {
        std::lock_guard<std::mutex> guard(requestLock);
        recorded.push_back(request);
    }
    if (onRequest) onRequest(request);
    switch (opcode) {
        case audioMasterVersion: return versionAnswer;
        case audioMasterWantMidi: return 1;
        case audioMasterGetTime:
            if (!timeInfo) return 0;
            answeredTime = *timeInfo;
            return reinterpret_cast<VstIntPtr>(&answeredTime);
        default: return 0;
    }
}
