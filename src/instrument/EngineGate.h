#pragma once

#include <atomic>
#include <cstdint>

// Keeps a loop load and the audio thread out of the engine at the same time, without a lock on
// the audio side.
//
// The instrument's threads, in full:
// - The audio thread (processEvents, process, processReplacing) is the only one that touches the
//   engine's sound settings, voices and filter. It never allocates, locks or touches files.
// - Parameter changes, from any thread (automation often arrives on the audio thread), store the
//   value in the current program and post a "changed" mark in the parameter mailbox. The audio
//   thread collects the marks at its next call and applies what the current program then holds,
//   so engine and program agree whichever writer came last.
// - Program values and the current program index are read and written atomically (relaxed order:
//   each is one float or one index). Non-finite values are stored as given but never applied.
// - Everything that replaces programs, loads a loop, exports the groove or hands out a chunk takes
//   the instrument's state lock, which serialises these among themselves; the audio path never
//   takes it. Chunks handed out are copies that only the next getChunk rewrites.
// - A loader reads the file and builds the new slices under the state lock but outside the gate,
//   so the previous loop plays on meanwhile. Only the exchange of the bank's slices happens inside
//   the gate, and the previous slices are released after leaving it: the exchange silences at
//   most the one block that meets it. A failed load exchanges in an empty bank.
// - A change of the host's sample rate (Linux builds) is a load of the same loop at the new rate:
//   under the state lock, the slices are converted outside the gate, then exchanged inside it
//   together with the stored rate (an atomic). The audio thread, once admitted by the gate, hands
//   that rate on to the engine's envelopes, filter and LFO before it renders, so the first block
//   that plays the new slices counts at their rate. Loaders read the stored rate under the lock.
//
// The gate itself:
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
