#include "gui/MessagePump.h"
#include "platform/portable/SoftwarePlatform.h"

#include <gtest/gtest.h>

namespace {

class CountingClient : public MessagePump::Client {
public:
    explicit CountingClient(const MessagePump& owner) : pump(owner) {}
    void editorIdle() override { ++editorIdles; }
    void hostIdle() override {
        ++hostIdles;
        sawPumpFlag = pump.inHostIdle();
    }
    const MessagePump& pump;
    int editorIdles = 0;
    int hostIdles = 0;
    bool sawPumpFlag = false;
};

// Pumps once, `elapsed` milliseconds after a full pump that happened at `start`; answers whether
// the host got its idle time.
bool hostIdledAfter(std::uint32_t start, std::uint32_t elapsed) {
    SoftwarePlatform platform;
    platform.setClock(start);
    MessagePump pump(platform);
    CountingClient client(pump);
    platform.setClock(start + elapsed);
    pump.pump(client);
    EXPECT_EQ(client.editorIdles, 1);
    EXPECT_EQ(platform.sleptMilliseconds(), elapsed < 100 ? 4u : 0u) << elapsed;
    return client.hostIdles == 1;
}

TEST(MessagePump, TheHostIdlesAfterFiftyMillisecondsCountingTheSleep) {
    for (const std::uint32_t start : {1000u, 0xFFFFFFF0u}) {  // the second run crosses the tick count's wrap
        EXPECT_FALSE(hostIdledAfter(start, 0));
        EXPECT_FALSE(hostIdledAfter(start, 45));
        EXPECT_TRUE(hostIdledAfter(start, 46));
        EXPECT_TRUE(hostIdledAfter(start, 99));
        EXPECT_TRUE(hostIdledAfter(start, 100));
        EXPECT_TRUE(hostIdledAfter(start, 5000));
    }
}

TEST(MessagePump, AFullPumpMarksTheHostsIdleAndRestartsTheInterval) {
    SoftwarePlatform platform;
    MessagePump pump(platform);
    CountingClient client(pump);
    platform.setClock(60);
    pump.pump(client);
    EXPECT_TRUE(client.sawPumpFlag);
    EXPECT_FALSE(pump.inHostIdle());
    pump.pump(client);  // right after the full pump (at 64, after its sleep): sleeps and returns
    EXPECT_EQ(client.hostIdles, 1);
    EXPECT_EQ(platform.tickCount(), 68u);
}

}  // namespace
