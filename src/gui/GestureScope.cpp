#include "gui/GestureScope.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <utility>

namespace {

struct DeferredWork {
    const void* owner;
    std::function<void()> work;
};
using WorkQueue = std::deque<DeferredWork>;

// Gestures and the host calls made from inside them share the window's thread. Only plain
// pointers here: a thread-local with a destructor would keep the library loaded until the thread
// ends, long after the host has freed it.
thread_local std::int32_t depth = 0;
thread_local WorkQueue* deferred = nullptr;

}  // namespace

GestureScope::GestureScope() { ++depth; }

GestureScope::~GestureScope() {
    if (depth > 1) {
        --depth;
        return;
    }
    // The queued work runs outside any gesture: what it closes in turn is closed at once.
    // Work may drop later work of an owner it destroys, so the queue stays reachable meanwhile.
    depth = 0;
    while (deferred && !deferred->empty()) {
        DeferredWork next = std::move(deferred->front());
        deferred->pop_front();
        next.work();
    }
    delete deferred;
    deferred = nullptr;
}

bool GestureScope::active() { return depth > 0; }

bool GestureScope::deferWhileActive(const void* owner, std::function<void()> work) {
    if (depth == 0) return false;
    if (!deferred) deferred = new WorkQueue;
    deferred->push_back({owner, std::move(work)});
    return true;
}

void GestureScope::forget(const void* owner) {
    if (!deferred) return;
    deferred->erase(std::remove_if(deferred->begin(), deferred->end(),
                                   [owner](const DeferredWork& queued) { return queued.owner == owner; }),
                    deferred->end());
}
