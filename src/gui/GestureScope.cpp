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

// Gestures and the host calls made from inside them share the window's thread.
thread_local std::int32_t depth = 0;
thread_local std::deque<DeferredWork> deferred;

}  // namespace

GestureScope::GestureScope() { ++depth; }

GestureScope::~GestureScope() {
    if (depth > 1) {
        --depth;
        return;
    }
    // The queued work runs outside any gesture: what it closes in turn is closed at once.
    depth = 0;
    while (!deferred.empty()) {
        DeferredWork next = std::move(deferred.front());
        deferred.pop_front();
        next.work();
    }
}

bool GestureScope::active() { return depth > 0; }

bool GestureScope::deferWhileActive(const void* owner, std::function<void()> work) {
    if (depth == 0) return false;
    deferred.push_back({owner, std::move(work)});
    return true;
}

void GestureScope::forget(const void* owner) {
    deferred.erase(std::remove_if(deferred.begin(), deferred.end(),
                                  [owner](const DeferredWork& queued) { return queued.owner == owner; }),
                   deferred.end());
}
