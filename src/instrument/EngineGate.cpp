#include "instrument/EngineGate.h"

#include <thread>

bool EngineGate::enterAudio() noexcept {
    audioCalls.fetch_add(1);
    return !loadInProgress.load();
}

void EngineGate::leaveAudio() noexcept { audioCalls.fetch_sub(1); }

void EngineGate::beginLoad() noexcept {
    bool expected = false;
    while (!loadInProgress.compare_exchange_weak(expected, true)) {
        expected = false;
        std::this_thread::yield();
    }
    while (audioCalls.load() != 0) std::this_thread::yield();
}

void EngineGate::endLoad() noexcept { loadInProgress.store(false); }
