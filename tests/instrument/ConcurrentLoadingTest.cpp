#include "InstrumentFixture.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace {
using ConcurrentLoading = InstrumentFixture;
}

// A host may restore programs, and change the sample rate, on its user-interface thread while its
// audio thread keeps playing. Run under ThreadSanitizer as well: the hand-over must be free of data
// races, not just of crashes.
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

    const float rates[] = {48000.0f, 22050.0f, 96000.0f, 44100.0f};
    for (int step = 0; step < 600; ++step) {
        switch (step % 4) {
            case 0: instrument.setProgram(step % 2); break;
            case 1: load(step % 2 ? first : second); break;
            case 2: instrument.setSampleRate(rates[step / 4 % 4]); break;
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

// Automation on the audio thread while one dispatcher thread changes programs and saves chunks and
// another restores the bank: free of data races (ThreadSanitizer), and afterwards the engine plays
// exactly what the current program holds, whichever writer came last.
TEST_F(ConcurrentLoading, AutomationProgramChangesAndChunksKeepEngineAndProgramsAgreed) {
    const std::string loop = writeLoopFile(dir, "loop.rex", eightSliceLoop(64));
    instrument.setProgram(3);
    ASSERT_TRUE(load(loop));
    void* data = nullptr;
    instrument.getChunk(&data, false);
    std::vector<unsigned char> bank(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + 17600);
    constexpr int rounds = 2000;

    std::thread audio([&] {
        std::vector<float> mono(64), copy(64);
        float* outputs[2] = {mono.data(), copy.data()};
        for (int round = 0; round < rounds; ++round) {
            instrument.setParameter(1 + round % 4, static_cast<float>(round % 100) / 100.0f);
            instrument.setParameter(5, static_cast<float>(round % 7) / 7.0f);
            instrument.processReplacing(nullptr, outputs, 64);
        }
    });
    std::thread programs([&] {
        int misnamed = 0;
        for (int round = 0; round < rounds; ++round) {
            instrument.setProgram(round % 4);
            void* chunk = nullptr;
            instrument.getChunk(&chunk, round % 2 == 0);
            const auto* first = static_cast<const ProgramRecord*>(chunk);
            misnamed += std::strcmp(first->name, "Init") != 0 ? 1 : 0;
        }
        EXPECT_EQ(misnamed, 0);
    });
    std::thread restorer([&] {
        for (int round = 0; round < rounds / 10; ++round) {
            std::vector<unsigned char> copyOfBank = bank;
            instrument.setChunk(copyOfBank.data(), 17600, false);
        }
    });
    audio.join();
    programs.join();
    restorer.join();

    settle();
    EXPECT_EQ(engine().attackTime(), instrument.getParameter(1));
    EXPECT_EQ(engine().decayTime(), instrument.getParameter(2));
    EXPECT_EQ(engine().sustainLevel(), instrument.getParameter(3));
    EXPECT_EQ(engine().releaseTime(), instrument.getParameter(4));
    EXPECT_EQ(engine().filter().cutoffBase(), instrument.getParameter(5));
}
