#include "InstrumentFixture.h"

#include <atomic>
#include <thread>

namespace {
using ConcurrentLoadingAudio = InstrumentFixture;
}

// While a load is in progress the audio path keeps out of the engine: events are answered 0 and
// dropped, and blocks are silent even though a note of the earlier loop was sounding. A long loop
// keeps the load going; a call counts only when the load was on both before and after it.
TEST_F(ConcurrentLoadingAudio, EventsAreDroppedAndBlocksSilentWhileALoadIsInProgress) {
    ASSERT_TRUE(load(writeLoopFile(dir, "short.rex", eightSliceLoop(4096))));
    instrument.setParameter(3, 1.0f);
    ASSERT_EQ(send({midi(0, 0x90, 36, 127)}), 1);
    ASSERT_EQ(render(64)[0], 1.0f / 16.0f);
    const std::string longLoop = writeLoopFile(dir, "long.rex", eightSliceLoop(1 << 19));

    std::atomic<bool> loaded{false};
    std::thread loader([&] {
        load(longLoop);
        loaded = true;
    });
    int callsDuringTheLoad = 0;
    while (!loaded.load()) {
        const bool loadingBefore = instrument.busy();
        const std::int32_t answer = send({midi(0, 0x90, 37, 127)});
        const std::vector<float> block = render(64);
        if (!loadingBefore || !instrument.busy()) continue;
        ++callsDuringTheLoad;
        EXPECT_EQ(answer, 0);
        EXPECT_EQ(block, std::vector<float>(64, 0.0f));
    }
    loader.join();
    EXPECT_GT(callsDuringTheLoad, 0);
    // A note sent in the moment between the load's end and `loaded` may sound along with this one.
    EXPECT_EQ(send({midi(0, 0x90, 38, 127)}), 1);
    EXPECT_GE(render(64)[0], 3.0f / 16.0f);
}
