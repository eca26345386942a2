#include "InstrumentFixture.h"

#include "CountingAllocator.h"

namespace {
using NoAllocationOnTheAudioPath = InstrumentFixture;
}

// The audio thread takes on a new host rate at its first call after the change, without allocating.
TEST_F(NoAllocationOnTheAudioPath, BlocksOfOddSizesWithNotesBendsAndTempoSyncAllocateNothing) {
    ASSERT_TRUE(load(writeLoopFile(dir, "eight.rex", eightSliceLoop(4096))));
    instrument.setSampleRate(48000.0f);
    VstTimeInfo time{};
    time.tempo = 133.0;
    time.flags = kVstPpqPosValid | kVstBarsValid;
    hostTime = &time;
    instrument.setParameter(8, 1.0f);
    instrument.setParameter(11, 0.5f);
    instrument.setParameter(12, 1.0f);

    std::vector<VstMidiEvent> storage;
    std::vector<VstEvent*> pointers;
    std::vector<float> first(513), second(513);
    float* outputs[2] = {first.data(), second.data()};
    eventList.reserve(64);
    storage.reserve(64);
    pointers.reserve(64);
    hostRequests.reserve(1024);  // the test host records each time request

    const long before = globalAllocationCount();
    const std::int32_t sizes[] = {1, 7, 512, 513};
    for (int round = 0; round < 200; ++round) {
        const std::int32_t frames = sizes[round % 4];
        storage.clear();
        pointers.clear();
        const int note = 36 + round % 8;
        storage.push_back(midi(0, 0x90, note, 100));
        storage.push_back(midi(frames / 2, 0xE0, round % 128, 64));
        storage.push_back(midi(frames - 1, 0x80, note, 0));
        storage.push_back(midi(0, 0xB0, 7, 90));
        for (VstMidiEvent& event : storage) pointers.push_back(reinterpret_cast<VstEvent*>(&event));
        ASSERT_EQ(sendRaw(pointers), 1);
        time.ppqPos += 0.25;
        instrument.processReplacing(nullptr, outputs, frames);
    }
    EXPECT_EQ(globalAllocationCount() - before, 0);
}
