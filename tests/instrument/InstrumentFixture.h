#pragma once

#include "EventList.h"
#include "LoopFiles.h"
#include "RecordingPlatform.h"
#include "engine/SliceEngine.h"
#include "instrument/Instrument.h"

#include <gtest/gtest.h>

#include <vector>

// An instrument with recorded platform services, a host that answers time requests from
// `hostTime`, and helpers to feed it events and pull blocks from it. It follows the host's rate
// where the build does (Linux).
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

    std::int32_t sendRaw(const std::vector<VstEvent*>& pointers) {
        return instrument.processEvents(eventList.of(pointers));
    }

    static VstMidiEvent midi(std::int32_t delta, int status, int data1, int data2) {
        return EventList::midiEvent(delta, static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(data1),
                                    static_cast<std::uint8_t>(data2));
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
    Instrument instrument{host, platform, nullptr, systemRateConversion()};
    std::vector<float> left;
    std::vector<float> right;
    EventList eventList;
};
