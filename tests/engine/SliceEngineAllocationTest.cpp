// The audio path must never reach the allocator: this program counts every global allocation.
#include "engine/SliceEngine.h"

#include "CountingAllocator.h"
#include "EngineTestData.h"

#include <gtest/gtest.h>

#include <vector>

TEST(SliceEngineAllocation, EventsAndBlocksOfAnySizeNeverAllocate) {
    SliceEngine engine;
    for (uint16_t note = 36; note < 44; ++note) {
        engine.addSlice(engine_test::makeSlice(engine_test::ramp(30000, 1e-5f), 1, note));
    }
    engine.setFilterOn(true);
    engine.filter().setLfoAmount(0.5f);
    engine.filter().setLfoRate(40);
    std::vector<float> block(513, 0.0f);
    float* outputs[] = {block.data(), block.data()};

    const long before = globalAllocationCount();
    uint8_t step = 0;
    for (int cycle = 0; cycle < 2000; ++cycle) {
        for (int32_t frames : {1, 7, 512, 513}) {
            ++step;
            const uint8_t note = static_cast<uint8_t>(36 + step % 8);
            engine_test::send(engine, {engine_test::noteOn(note, 100, frames / 2), engine_test::bend(0, step % 128),
                                       engine_test::noteOff(static_cast<uint8_t>(36 + (step + 3) % 8), frames - 1)});
            engine.render(outputs, frames);
        }
    }
    const long during = globalAllocationCount() - before;

    EXPECT_EQ(during, 0);
    EXPECT_TRUE(engine.voice(0).isActive() || engine.voice(1).isActive());
}

TEST(SliceEngineAllocation, CountingSeesAnAllocationOnlyAListLargerThanThePoolMakes) {
    SliceEngine engine;
    const long before = globalAllocationCount();
    EngineEvent** large = engine.allocateEventList(EngineEventPool::listCapacity + 1);
    EXPECT_EQ(globalAllocationCount() - before, 1);
    engine.handleEvents(large, 0);
    engine.handleEvents(engine.allocateEventList(EngineEventPool::listCapacity), 0);
    EXPECT_EQ(globalAllocationCount() - before, 1);
}
