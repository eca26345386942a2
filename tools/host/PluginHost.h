#pragma once

#include "EventList.h"
#include "PluginLibrary.h"
#include "plugin/VstAbi.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// A host for one plug-in instance: it calls the library's entry with its own callback, keeps a
// record of every request the plug-in makes, and drives the effect record as hosts do.
class PluginHost {
public:
    struct Request {
        std::int32_t opcode;
        std::int32_t index;
        VstIntPtr value;
        float opt;
        bool withEffect;
        // Seconds since the host was made.
        double time;
    };

    explicit PluginHost(const PluginLibrary& library);
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Calls `main`; answers the effect record, or null when the plug-in refused.
    AEffect* open();
    // Sends effClose; the record is gone afterwards.
    VstIntPtr close();
    AEffect* effect() const { return plugin; }

    VstIntPtr dispatch(std::int32_t opcode, std::int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    void setParameter(std::int32_t index, float value);
    float getParameter(std::int32_t index);
    void processReplacing(float** outputs, std::int32_t frames);
    void process(float** outputs, std::int32_t frames);
    // Hands the events to the plug-in with effProcessEvents; they must outlive the next block.
    VstIntPtr sendEvents(std::vector<VstMidiEvent>& events);

    // What the host answers.
    VstIntPtr versionAnswer = 2400;
    // Answered to audioMasterGetTime; none means the host has no time to give.
    std::optional<VstTimeInfo> timeInfo;
    // Runs on the requesting thread after each request is recorded, before it is answered: the
    // place for scripted host behaviour such as echoing automation or closing the editor.
    std::function<void(const Request&)> onRequest;

    std::vector<Request> requests() const;
    std::size_t countRequests(std::int32_t opcode) const;
    void forgetRequests();

private:
    static VstIntPtr VSTCALL callback(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value,
                                      void* ptr, float opt);
    VstIntPtr answer(AEffect* effect, std::int32_t opcode, std::int32_t index, VstIntPtr value, float opt);

    const PluginLibrary& library;
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    AEffect* plugin = nullptr;
    VstTimeInfo answeredTime{};
    EventList eventList;
    mutable std::mutex requestLock;
    std::vector<Request> recorded;
};
