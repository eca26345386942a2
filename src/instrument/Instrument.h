#pragma once

#include "editor/PanelFiles.h"
#include "editor/PanelHost.h"
#include "engine/EngineConstants.h"
#include "instrument/EngineGate.h"
#include "instrument/InstrumentCore.h"
#include "instrument/ParameterMailbox.h"
#include "instrument/ProgramRecord.h"
#include "plugin/EffectBaseEx.h"
#include "resample/RateConversion.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class GuiPlatform;
class InputFile;
class InstrumentEditor;
class PlatformServices;
class RexReader;
class Slice;
class SliceEngine;

// The plug-in proper: sixteen programs of thirteen parameter values and a loop path each, an
// engine that plays the loaded loop's slices from MIDI, and the commands that load a loop and
// save its groove.
//
// Threads: the host's audio thread calls processEvents and process/processReplacing, and often
// setParameter; every other call may come from any other thread. Only the audio thread touches the
// engine's sound settings (parameter changes travel as marks through a mailbox), and only a loader
// holding the engine gate touches its slices. Program values and the current program index are
// read and written atomically; whatever replaces programs, loads a loop, exports or saves a chunk
// runs under a lock of its own, which the audio path never takes.
class Instrument : public EffectBaseEx, public PanelHost, public InstrumentCore {
public:
    static constexpr std::int32_t programTotal = 16;
    static constexpr std::int32_t parameterTotal = 14;
    static constexpr std::int32_t uniqueId = 0x33773631;  // '3w61'
    static constexpr std::int32_t bankChunkSize = programTotal * static_cast<std::int32_t>(sizeof(ProgramRecord));
    static constexpr std::int32_t presetChunkSize = static_cast<std::int32_t>(sizeof(ProgramRecord));

    explicit Instrument(audioMasterCallback host);
    // Without a window system the instrument has no editor. Without a rate conversion it plays at
    // engineSampleRate only and answers other rates with a notice, as the Windows libraries do.
    Instrument(audioMasterCallback host, PlatformServices& services, GuiPlatform* windowSystem = nullptr,
               RateConversionMaker rateConversion = nullptr);
    ~Instrument() override;

    void setParameter(std::int32_t index, float value) override;
    float getParameter(std::int32_t index) override;
    void setProgram(std::int32_t program) override;
    std::int32_t getProgram() override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParamLabel(std::int32_t index, char* label) override;
    void getParamDisplay(std::int32_t index, char* text) override;
    void getParamName(std::int32_t index, char* name) override;

    void process(float** inputs, float** outputs, std::int32_t frames) noexcept override;
    void processReplacing(float** inputs, float** outputs, std::int32_t frames) noexcept override;
    std::int32_t processEvents(VstEvents* events) noexcept override;
    void render(float** outputs, std::int32_t frames, const MidiMessage* events, std::uint32_t eventCount,
                const HostTime* time) noexcept override;
    void setSampleRate(float rate) override;
    void setBlockSizeAndSampleRate(std::int32_t size, float rate) override;
    void resume() override;

    std::int32_t getChunk(void** data, bool preset) override;
    std::int32_t setChunk(void* data, std::int32_t byteSize, bool preset) override;

    // Answers whether the loop was read: a REX loop, or a WAV or AIFF loop cut at its hits. The file
    // is read and the slices built while the previous loop plays on; only the exchange holds audio
    // back. `said`, when given, receives why the file was refused, or what a user should know of a
    // loop that loaded (empty when nothing).
    bool loadLoop(InputFile& file, RefusedLoad refused = RefusedLoad::emptiesBank,
                  std::string* said = nullptr) override;
    void chooseLoopFile(void* window) override;
    void exportGroove(void* window) override;
    void collectChoice() override;
    void abandonChoice() override;

    float parameterValue(std::int32_t parameter) override { return getParameter(parameter); }
    void setFromPanel(std::int32_t parameter, float value) override { setParameterAndNotify(parameter, value); }
    void setUnannounced(std::int32_t parameter, float value) override { setParameter(parameter, value); }
    void beginGesture(std::int32_t parameter) override { hostBeginEdit(parameter); }
    void endGesture(std::int32_t parameter) override { hostEndEdit(parameter); }
    void idleHost() override { hostIdle(); }

    const ProgramRecord& program(std::int32_t index) const { return programs[static_cast<std::size_t>(index)]; }
    // The loop read last, if it was read successfully.
    const RexReader* loadedLoop() const;
    const SliceEngine& soundEngine() const { return *engine; }
    bool busy() const { return gate.loading(); }

private:
    ProgramRecord& current() {
        return programs[static_cast<std::size_t>(programIndex.load(std::memory_order_relaxed))];
    }
    // Runs on the audio thread: the engine, the filter and the sync settings change only here.
    void applyParameter(std::int32_t index) noexcept;
    void applyPendingParameters() noexcept;
    // The audio path behind both formats' calls: the host's MIDI, read by `read(i, message)`
    // (false for an event that is not MIDI), into events from the engine's pool; and the block,
    // following `time`, or what the VST 2 host answers when `askHost`.
    template <typename Read>
    bool takeMidi(std::uint32_t count, Read&& read) noexcept;
    void renderBlock(float** outputs, std::int32_t frames, const HostTime* time, bool askHost) noexcept;
    void followHostTempo(const HostTime* time, std::int32_t frames) noexcept;
    // On the audio thread, inside the engine gate: the rate the slices were last exchanged for.
    void followPlaybackRate() noexcept;
    void refuseOtherRates(float rate);
    void changePlaybackRate(double rate);
    // The reader's slices as the engine plays them at `rate`. Throws what allocation throws, and
    // std::length_error when the converted loop would pass the loop size limit.
    std::vector<std::unique_ptr<Slice>> slicesOf(const RexReader& reader, double rate) const;
    // The callers below hold the state lock.
    void selectProgram(std::int32_t program);
    // Each stored value through setParameter, in the order programs apply them.
    void applyValues(const ProgramRecord& record);
    void loadFromRecordPath(const ProgramRecord& record);
    bool replaceLoop(InputFile& file, RefusedLoad refused = RefusedLoad::emptiesBank, std::string* said = nullptr);
    // The loaded loop, or null, and the path it was read from (`loadedFrom` may be null).
    std::shared_ptr<const RexReader> loopForExport(std::string* loadedFrom = nullptr);
    void loadChosenLoop(const char* path);
    // Loads what a chooser running apart answered on a thread of its own: a loop at the size
    // limit takes most of a second, which the host's editor idle must not wait for.
    void loadChosenLoopApart(const char* path);
    void writeGrooveTo(const char* path);
    // The editor goes first when the instrument does: its window may still call back into it.
    void closeEditor();

    InstrumentEditor* panel = nullptr;

    PlatformServices& platform;
    std::unique_ptr<SliceEngine> engine;
    EngineGate gate;
    ParameterMailbox pendingParameters;
    std::array<ProgramRecord, programTotal> programs;
    std::atomic<std::int32_t> programIndex{0};
    mutable std::mutex stateLock;
    // The loop read last, kept alive by an export that is writing its groove.
    std::shared_ptr<const RexReader> currentReader;
    // What getChunk hands out: the bank's copy, and one preset per program so that a host may gather
    // several programs' presets before it saves them.
    std::array<ProgramRecord, programTotal> bankChunk;
    std::array<ProgramRecord, programTotal> presetChunks;
    // Up while the sample-rate notice is on screen; the thread showing it owns it too.
    std::shared_ptr<std::atomic<bool>> sampleRateNoticeUp;
    // Null where the instrument plays at engineSampleRate only.
    const RateConversionMaker makeRateConversion;
    // The rate the bank's slices are at: written under the state lock and inside the engine gate
    // together with the slices, read by loaders under the state lock and by the audio thread.
    std::atomic<double> playbackRate{engineSampleRate};
    std::atomic<bool> badRateReported{false};
    PanelFiles::Choice choice;
    // The load of an answered loop. The panel's thread starts it and the destructor waits for it;
    // `loadingApart` is up from its start until its last step, and no chooser starts meanwhile, so
    // the thread a new answer finds has always ended.
    std::thread chosenLoopLoad;
    std::atomic<bool> loadingApart{false};
    bool lfoSyncOn = false;
    float lfoSyncMode = 0.0f;
};
