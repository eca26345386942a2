#pragma once

#include "instrument/ProgramRecord.h"
#include "lv2/HostTransport.h"
#include "lv2/LogPlatformServices.h"
#include "lv2/Lv2Log.h"
#include "lv2/Lv2Uris.h"
#include "lv2/MidiEventList.h"

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <array>
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
// inside run, for hosts that do the work at once); save and restore on another thread, restore
// never concurrently with run. The loop path lives twice: `announcedPath`, which only the audio
// thread (and restore) writes and reads, for patch replies; and `savedPath`, under `pathLock`, for
// save, which may run beside the audio thread. The engine itself is guarded by the instrument.
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
                  const LV2_Worker_Schedule* scheduler);

    // What the worker is asked to do with the path that follows in the message.
    enum class LoadKind : char { setByHost = 'S', restored = 'R' };

    void applyControls() noexcept;
    void readInput(std::uint32_t frames) noexcept;
    void takeObject(const LV2_Atom_Object& object, std::int64_t frames) noexcept;
    void requestLoad(const char* path, LoadKind kind, const LV2_Worker_Schedule& via) noexcept;
    void writeReplies() noexcept;
    // Loads on the calling thread; answers whether the loop was read.
    bool loadNow(const char* path, LoadKind kind);
    void announce(const char* path) noexcept;
    std::string currentPath();
    // Copies the loop into the session when the host offers a place for it; answers the path to save.
    std::string sessionCopy(const std::string& path, const LV2_State_Make_Path* makePath,
                            const LV2_State_Free_Path* freePath);

    Lv2Log log;
    LogPlatformServices services;
    Lv2Uris uris;
    LV2_Atom_Forge forge;
    const LV2_Worker_Schedule* worker;
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
    std::array<char, ProgramRecord::pathSize> announcedPath{};
    bool replyPending = false;
    std::mutex pathLock;
    std::string savedPath;
};
