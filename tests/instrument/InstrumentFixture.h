#pragma once

#include "LoopFiles.h"
#include "RecordingPlatform.h"
#include "engine/SliceEngine.h"
#include "instrument/Instrument.h"

#include <gtest/gtest.h>

#include <vector>

// An instrument with recorded platform services, a host that answers time requests from
// `hostTime`, and helpers to feed it events and pull blocks from it.
class InstrumentFixture : public ::testing::Test {
protected:
    static VstTimeInfo* hostTime;
    static std::vector<std::int32_t> hostRequests;

    static VstIntPtr VSTCALL host(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) {
        hostRequests.push_back(opcode);
        if (opcode == audioMasterVersion) return 2400;
        if (opcode == audioMasterGetTime) return reinterpret_cast<VstIntPtr>(hostTime);
        return 0;
    }

    void SetUp() override {
        hostTime = nullptr;
        hostRequests.clear();
    }

    std::vector<float> render(std::int32_t frames) {
        left.assign(static_cast<std::size_t>(frames), -7.0f);
        right.assign(static_cast<std::size_t>(frames), -7.0f);
        float* outputs[2] = {left.data(), right.data()};
        instrument.processReplacing(nullptr, outputs, frames);
        return left;
    }

    std::int32_t send(std::vector<VstMidiEvent> midi) {
        std::vector<VstEvent*> pointers;
        for (VstMidiEvent& event : midi) pointers.push_back(reinterpret_cast<VstEvent*>(&event));
        return sendRaw(pointers);
    }

    std::int32_t sendRaw(std::vector<VstEvent*>& pointers) {
        eventList.assign(sizeof(VstEvents) + pointers.size() * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(eventList.data());
        list->numEvents = static_cast<std::int32_t>(pointers.size());
        VstEvent** entries = list->events;
        for (std::size_t i = 0; i < pointers.size(); ++i) entries[i] = pointers[i];
        return instrument.processEvents(list);
    }

    static VstMidiEvent midi(std::int32_t delta, int status, int data1, int data2) {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof event;
        event.deltaFrames = delta;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        return event;
    }

    bool load(const std::string& path) {
        InputFile file(path.c_str());
        return instrument.loadLoop(file);
    }

    // Parameter changes reach the sound at the next audio call.
    void settle() { render(1); }

    const SliceEngine& engine() const { return instrument.soundEngine(); }

    TempDir dir;
    RecordingPlatform platform;
    Instrument instrument{host, platform};
    std::vector<float> left;
    std::vector<float> right;
    std::vector<unsigned char> eventList;
};
