#pragma once

#include <atomic>
#include <cstdint>

// Keeps a loop load and the audio thread out of the engine at the same time, without a lock on
// the audio side.
//
// Protocol:
// - An audio call (events or a block) first announces itself by incrementing `audioCalls`, then
//   reads `loading`. If a load is on, it withdraws at once (decrement) and leaves the engine alone:
//   the block stays silent and the events are dropped.
// - A loader claims `loading` (a second loader waits until the first has finished), then waits
//   until `audioCalls` reads 0 before it touches the engine. It clears `loading` when done.
// - All four operations are sequentially consistent: either the audio call's announcement comes
//   first and the loader waits for it to leave, or the loader's claim comes first and the audio
//   call sees it. No audio call can be inside the engine while a loader works there.
class EngineGate {
public:
    // True when the caller may use the engine. Every call must be paired with `leaveAudio`.
    bool enterAudio() noexcept;
    void leaveAudio() noexcept;

    void beginLoad() noexcept;
    void endLoad() noexcept;
    bool loading() const noexcept { return loadInProgress.load(); }

private:
    std::atomic<std::int32_t> audioCalls{0};
    std::atomic<bool> loadInProgress{false};
};

// One audio call's stay in the engine.
class AudioPass {
public:
    explicit AudioPass(EngineGate& engineGate) noexcept : gate(engineGate), admitted(gate.enterAudio()) {}
    ~AudioPass() { gate.leaveAudio(); }
    AudioPass(const AudioPass&) = delete;
    AudioPass& operator=(const AudioPass&) = delete;
    bool mayUseEngine() const noexcept { return admitted; }

private:
    EngineGate& gate;
    bool admitted;
};

// One loader's exclusive stay in the engine.
class LoadPass {
public:
    explicit LoadPass(EngineGate& engineGate) noexcept : gate(engineGate) { gate.beginLoad(); }
    ~LoadPass() { gate.endLoad(); }
    LoadPass(const LoadPass&) = delete;
    LoadPass& operator=(const LoadPass&) = delete;

private:
    EngineGate& gate;
};
