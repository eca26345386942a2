#include "HeldBackFile.h"
#include "InstrumentFixture.h"

#include <thread>

namespace {
using ConcurrentLoadingAudio = InstrumentFixture;

// The eight-slice loop at half its level: slice i holds (i + 1) / 32.
RexLoopContent quieterLoop() {
    RexLoopContent loop = eightSliceLoop();
    for (float& sample : loop.samples) sample *= 0.5f;
    return loop;
}

}  // namespace

// While the next loop is read, the host's notes still reach the engine and play the loop that was
// there; the new loop answers once it has been swapped in at a block boundary.
TEST_F(ConcurrentLoadingAudio, NotesDuringALoadPlayTheEarlierLoopUntilTheSwap) {
    ASSERT_TRUE(load(writeLoopFile(dir, "earlier.rex", eightSliceLoop(4096))));
    instrument.setParameter(3, 1.0f);
    HeldBackFile next(writeLoopFile(dir, "next.rex", quieterLoop()).c_str());
    std::thread loader([&] { instrument.loadLoop(next); });
    next.waitUntilReading();
    EXPECT_EQ(send({midi(0, 0x90, 37, 127)}), 1);
    EXPECT_EQ(render(64)[63], 2.0f / 16.0f);
    EXPECT_EQ(render(64)[63], 2.0f / 16.0f);
    next.release();
    loader.join();

    render(64);
    EXPECT_EQ(send({midi(0, 0x90, 38, 127)}), 1);
    EXPECT_EQ(render(64)[0], 3.0f / 32.0f);
}
