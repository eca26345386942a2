#include "engine/EngineEventPool.h"

#include <gtest/gtest.h>

#include <vector>

TEST(EngineEventPool, ListsUpToCapacityComeFromThePoolWhileSlotsLast) {
    EngineEventPool pool;
    std::vector<EngineEvent**> lists;
    for (uint32_t i = 0; i < EngineEventPool::listSlots; ++i) {
        lists.push_back(pool.allocateList(EngineEventPool::listCapacity));
    }
    EXPECT_EQ(pool.freeListSlots(), 0u);
    EngineEvent** spare = pool.allocateList(3);
    ASSERT_NE(spare, nullptr);
    spare[2] = nullptr;
    pool.releaseList(spare);
    EXPECT_EQ(pool.freeListSlots(), 0u);
    for (EngineEvent** list : lists) {
        pool.releaseList(list);
    }
    EXPECT_EQ(pool.freeListSlots(), EngineEventPool::listSlots);
}

TEST(EngineEventPool, ListLargerThanASlotComesFromTheHeap) {
    EngineEventPool pool;
    EngineEvent** large = pool.allocateList(EngineEventPool::listCapacity + 1);
    ASSERT_NE(large, nullptr);
    large[EngineEventPool::listCapacity] = nullptr;
    EXPECT_EQ(pool.freeListSlots(), EngineEventPool::listSlots);
    pool.releaseList(large);
    EXPECT_EQ(pool.freeListSlots(), EngineEventPool::listSlots);
}

TEST(EngineEventPool, EventsComeFromThePoolUntilItRunsOutThenFromTheHeap) {
    EngineEventPool pool;
    std::vector<EngineEvent*> events;
    for (uint32_t i = 0; i < EngineEventPool::eventCapacity; ++i) {
        events.push_back(pool.allocateEvent());
    }
    EXPECT_EQ(pool.freeEvents(), 0u);
    events.push_back(pool.allocateEvent());
    ASSERT_NE(events.back(), nullptr);
    for (EngineEvent* event : events) {
        pool.releaseEvent(event);
    }
    EXPECT_EQ(pool.freeEvents(), EngineEventPool::eventCapacity);
}

TEST(EngineEventPool, AReusedEventComesBackCleared) {
    EngineEventPool pool;
    EngineEvent* event = pool.allocateEvent();
    *event = EngineEvent{0x90, 60, 100, 12.0};
    pool.releaseEvent(event);
    const EngineEvent* again = pool.allocateEvent();
    EXPECT_EQ(again->status, 0);
    EXPECT_EQ(again->deltaFrames, 0.0);
}

TEST(EngineEventPool, ReleasingNothingIsHarmless) {
    EngineEventPool pool;
    pool.releaseList(nullptr);
    pool.releaseEvent(nullptr);
    EXPECT_EQ(pool.freeListSlots(), EngineEventPool::listSlots);
    EXPECT_EQ(pool.freeEvents(), EngineEventPool::eventCapacity);
}
