#pragma once

#include "instrument/ProgramRecord.h"
#include "lv2/HostTransport.h"
#include "lv2/LogPlatformServices.h"
#include "lv2/Lv2Log.h"
#include "lv2/Lv2Uris.h"
#include "lv2/MidiEventList.h"
#include "lv2/SessionLoopCopy.h"

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class InstrumentCore;

// The instrument inside an LV2 host: the same instrument core and engine as the VST 2 library,
// driven in its own terms. MIDI and transport arrive as atoms, parameters as
// control ports, and the loop as a file property loaded through the host's worker.
//
// Threads: run and workResponse come on the audio thread; work on the host's worker thread (or
// inside run or restore, for hosts that do the work at once); save on another thread beside run.
// Restore is thread-safe (state:threadSafeRestore): while the instance is active it may run beside
// run, so it then hands the load and its announcement to the worker the host passes to it, whose
// answer reaches the audio thread through workResponse; while inactive it loads at once. The loop
// path lives twice: `announcedPath`, which only the audio thread (and restore while inactive)
// writes and reads, for patch replies; and `savedPath`, under `pathLock`, for save. The engine
// itself is guarded by the instrument.
//
// What the audio thread notices but may not log (events in beats, a path too long, a loop change
// without a worker) it raises as a bit in `noticesRaised` with one atomic or; whichever thread
// next works, saves or deactivates takes the bits with one exchange and logs each. When the host
// has a worker, raising a bit also schedules an empty job, so the line comes at once.
class Lv2Instrument {
public:
    // Null, with a log line saying why, when the host lacks a required feature.
    static std::unique_ptr<Lv2Instrument> create(double sampleRate, const LV2_Feature* const* features);
    ~Lv2Instrument();
    Lv2Instrument(const Lv2Instrument&) = delete;
    Lv2Instrument& operator=(const Lv2Instrument&) = delete;

    void connectPort(std::uint32_t port, void* data) noexcept;
    void activate() noexcept;
    void deactivate() noexcept;
    void run(std::uint32_t frames) noexcept;

    LV2_Worker_Status work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle, std::uint32_t size,
                           const void* data);
    LV2_Worker_Status workResponse(std::uint32_t size, const void* data) noexcept;
    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle, const LV2_Feature* const* features);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                             const LV2_Feature* const* features);

    static constexpr std::uint32_t parameterPorts = ProgramRecord::valueCount;

private:
    Lv2Instrument(double sampleRate, const LV2_URID_Map& map, const Lv2Log& hostLog,
                  const LV2_Worker_Schedule* scheduler, const LV2_Feature* const* features);

    // What the worker is asked to do: load the path that follows in the message, or log notices.
    enum class WorkKind : char { setByHost = 'S', restored = 'R', notices = 'N' };
    enum Notice : unsigned { eventsInBeats = 1u, pathTooLong = 2u, noWorkerForLoop = 4u };

    void applyControls() noexcept;
    void readInput(std::uint32_t frames) noexcept;
    void takeObject(const LV2_Atom_Object& object, std::int64_t frames) noexcept;
    void requestLoad(const char* path) noexcept;
    // Hands the waiting load request to the worker; it waits for the next block when the host's
    // queue is full.
    void scheduleLoad() noexcept;
    void raise(Notice notice) noexcept;
    void logNotices();
    void writeReplies() noexcept;
    // Loads on the calling thread; answers whether the loop was read.
    bool loadNow(const char* path, WorkKind kind);
    void announce(const char* path) noexcept;
    std::string currentPath();

    Lv2Log log;
    LogPlatformServices services;
    Lv2Uris uris;
    LV2_Atom_Forge forge;
    // Null unless the host's worker can take jobs.
    const LV2_Worker_Schedule* worker;
    // The host's bufsz:sequenceSize, or 0 when it gave none.
    std::uint32_t sequenceSize;
    HostTransport transport;
    MidiEventList midi;
    std::unique_ptr<InstrumentCore> instrument;

    const LV2_Atom_Sequence* control = nullptr;
    LV2_Atom_Sequence* notify = nullptr;
    float* leftOut = nullptr;
    float* rightOut = nullptr;
    std::array<const float*, parameterPorts> parameterInputs{};
    // The control values last handed to the instrument, compared bit for bit so that a NaN a host
    // keeps sending is not applied again on every block.
    std::array<float, parameterPorts> appliedControls{};
    std::array<bool, parameterPorts> controlApplied{};

    std::array<char, 1 + ProgramRecord::pathSize> loadRequest{};
    std::uint32_t loadRequestSize = 0;
    bool loadWaiting = false;
    bool beatsNoticed = false;
    std::array<char, ProgramRecord::pathSize> announcedPath{};
    bool replyPending = false;
    std::atomic<bool> active{false};
    std::atomic<unsigned> noticesRaised{0};
    std::mutex pathLock;
    std::string savedPath;
    SessionLoopCopy sessionCopy;
};
