#pragma once

#include "engine/EngineEvent.h"

#include <cstdint>
#include <vector>

// Event records and event lists made up front, so that handing events to the engine on the audio
// thread needs no allocator. What the pool cannot serve comes from the heap, and each release goes
// back where its memory came from.
class EngineEventPool {
public:
    static constexpr uint32_t listCapacity = 1024;
    // The engine holds one list while the caller fills the next; the rest is slack.
    static constexpr uint32_t listSlots = 4;
    static constexpr uint32_t eventCapacity = 2 * listCapacity;

    EngineEventPool();

    EngineEventPool(const EngineEventPool&) = delete;
    EngineEventPool& operator=(const EngineEventPool&) = delete;

    // Room for `count` pointers; null only when the pool is exhausted and the heap refuses too.
    EngineEvent** allocateList(uint32_t count) noexcept;
    EngineEvent* allocateEvent() noexcept;
    void releaseList(EngineEvent** list) noexcept;
    void releaseEvent(EngineEvent* event) noexcept;

    uint32_t freeListSlots() const { return static_cast<uint32_t>(freeLists_.size()); }
    uint32_t freeEvents() const { return static_cast<uint32_t>(freeEvents_.size()); }

private:
    std::vector<EngineEvent*> listStorage_;
    std::vector<EngineEvent**> freeLists_;
    std::vector<EngineEvent> eventStorage_;
    std::vector<EngineEvent*> freeEvents_;
};
