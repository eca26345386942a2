#include "InstrumentFixture.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace {
using ConcurrentLoading = InstrumentFixture;
}

// A host may restore programs on its user-interface thread while its audio thread keeps playing.
// Run under ThreadSanitizer as well: the hand-over must be free of data races, not just of crashes.
TEST_F(ConcurrentLoading, LoopsReloadWhileAnotherThreadPlaysNotes) {
    const std::string first = writeLoopFile(dir, "first.rex", eightSliceLoop(512));
    const std::string second = writeLoopFile(dir, "second.rex", eightSliceLoop(64));
    instrument.setProgram(1);
    ASSERT_TRUE(load(second));
    instrument.setProgram(0);
    ASSERT_TRUE(load(first));

    std::atomic<bool> done{false};
    std::atomic<long> blocks{0};
    bool allFinite = true;
    std::thread audio([&] {
        std::vector<float> mono(300), copy(300);
        float* outputs[2] = {mono.data(), copy.data()};
        EventList list;
        int round = 0;
        while (!done.load()) {
            VstMidiEvent on = midi(round % 300, 0x90, 36 + round % 8, 127);
            VstMidiEvent off = midi(299, 0x80, 36 + (round + 3) % 8, 0);
            instrument.processEvents(list.of({reinterpret_cast<VstEvent*>(&on), reinterpret_cast<VstEvent*>(&off)}));
            instrument.processReplacing(nullptr, outputs, 1 + round % 300);
            for (float sample : mono) allFinite = allFinite && std::isfinite(sample);
            ++round;
            ++blocks;
        }
    });

    for (int step = 0; step < 600; ++step) {
        switch (step % 3) {
            case 0: instrument.setProgram(step % 2); break;
            case 1: load(step % 2 ? first : second); break;
            default: instrument.setParameter(5, static_cast<float>(step % 10) / 10.0f); break;
        }
    }
    while (blocks.load() < 100) std::this_thread::yield();
    done = true;
    audio.join();

    EXPECT_TRUE(allFinite);
    EXPECT_FALSE(instrument.busy());
    EXPECT_EQ(engine().bank().count(), 8);
}
