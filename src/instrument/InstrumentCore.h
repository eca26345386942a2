#pragma once

#include "engine/EngineConstants.h"
#include "resample/RateConversion.h"
#include "shared/HostTime.h"
#include "shared/MidiMessage.h"

#include <cstdint>
#include <memory>
#include <string>

class InputFile;
class PlatformServices;

// The instrument in its own terms, whichever plug-in format carries it: blocks of sound from MIDI
// and the host's time, parameters by their numbers (shared/ParameterNumber.h) with values from 0 to
// 1, programs, and the loop. Notices and choosers go through the PlatformServices it was made with.
//
// Threads: `render` runs on the host's audio thread and never allocates, locks or touches files;
// everything else may come from any other thread.
class InstrumentCore {
public:
    // What a refused file does to the loop that plays: the panel and chunks empty the bank, while a
    // host that sets the file as a property expects the earlier loop to keep playing.
    enum class RefusedLoad { emptiesBank, keepsLoop };

    virtual ~InstrumentCore() = default;

    // Where the instrument follows the host's rate, these rates it follows.
    static bool followsSampleRate(double rate) { return rate >= lowestSampleRate && rate <= highestSampleRate; }

    // Fills both outputs with `frames` frames. `events` are the block's MIDI messages in frame
    // order; `time` is null when the host gives no bar and beat position.
    virtual void render(float** outputs, std::int32_t frames, const MidiMessage* events, std::uint32_t eventCount,
                        const HostTime* time) noexcept = 0;
    virtual void setParameter(std::int32_t parameter, float value) = 0;
    virtual float getParameter(std::int32_t parameter) = 0;
    virtual void setProgram(std::int32_t program) = 0;
    virtual std::int32_t getProgram() = 0;
    virtual void setSampleRate(float rate) = 0;
    // Answers whether the loop was read; `said` receives the reason of a refusal or a note on the
    // loop that loaded. The previous loop plays on while the file is read.
    virtual bool loadLoop(InputFile& file, RefusedLoad refused = RefusedLoad::emptiesBank,
                          std::string* said = nullptr) = 0;
};

// The instrument with no panel. `rateConversion` null keeps it at the engine's own rate.
std::unique_ptr<InstrumentCore> makeInstrument(PlatformServices& services, RateConversionMaker rateConversion);
