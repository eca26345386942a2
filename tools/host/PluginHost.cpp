#include "PluginHost.h"

#include <algorithm>
#include <cstddef>
#include <map>

namespace {
// The plug-in calls back from inside `main`, before its host knows the record's address.
thread_local PluginHost* hostBeingOpened = nullptr;

// Which host opened which record. The record's `user` field would serve, but tests fill it with
// arbitrary values to see that the plug-in leaves it alone.
std::mutex hostsLock;
std::map<const AEffect*, PluginHost*> hostsByEffect;

PluginHost* hostOf(const AEffect* effect) {
    std::lock_guard<std::mutex> guard(hostsLock);
    const auto found = hostsByEffect.find(effect);
    return found == hostsByEffect.end() ? hostBeingOpened : found->second;
}
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
    if (plugin) {
        plugin->user = this;
        std::lock_guard<std::mutex> guard(hostsLock);
        hostsByEffect[plugin] = this;
    }
    return plugin;
}

VstIntPtr PluginHost::close() {
    if (!plugin) return 0;
    const VstIntPtr result = plugin->dispatcher(plugin, effClose, 0, 0, nullptr, 0.0f);
    {
        std::lock_guard<std::mutex> guard(hostsLock);
        hostsByEffect.erase(plugin);
    }
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
    return dispatch(effProcessEvents, 0, 0, eventList.of(events));
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
    PluginHost* host = hostOf(effect);
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
