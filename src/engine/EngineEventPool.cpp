#include "engine/EngineEventPool.h"

#include <functional>
#include <new>

namespace {

template <class T>
bool isWithin(const T* p, const std::vector<T>& storage) {
    const std::less<const T*> before;
    return !before(p, storage.data()) && before(p, storage.data() + storage.size());
}

}  // namespace

EngineEventPool::EngineEventPool() : listStorage_(listSlots * listCapacity, nullptr), eventStorage_(eventCapacity) {
    freeLists_.reserve(listSlots);
    for (uint32_t slot = 0; slot < listSlots; ++slot) {
        freeLists_.push_back(listStorage_.data() + slot * listCapacity);
    }
    freeEvents_.reserve(eventCapacity);
    for (EngineEvent& event : eventStorage_) {
        freeEvents_.push_back(&event);
    }
}

EngineEvent** EngineEventPool::allocateList(uint32_t count) noexcept {
    if (count <= listCapacity && !freeLists_.empty()) {
        EngineEvent** list = freeLists_.back();
        freeLists_.pop_back();
        return list;
    }
    return new (std::nothrow) EngineEvent*[count];
}

EngineEvent* EngineEventPool::allocateEvent() noexcept {
    if (!freeEvents_.empty()) {
        EngineEvent* event = freeEvents_.back();
        freeEvents_.pop_back();
        *event = EngineEvent{};
        return event;
    }
    return new (std::nothrow) EngineEvent{};
}

void EngineEventPool::releaseList(EngineEvent** list) noexcept {
    if (list != nullptr && isWithin(list, listStorage_)) {
        freeLists_.push_back(list);
    } else {
        delete[] list;
    }
}

void EngineEventPool::releaseEvent(EngineEvent* event) noexcept {
    if (event != nullptr && isWithin(event, eventStorage_)) {
        freeEvents_.push_back(event);
    } else {
        delete event;
    }
}
