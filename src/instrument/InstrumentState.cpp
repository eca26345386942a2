#include "engine/EngineConstants.h"
#include "engine/SliceEngine.h"
#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"
#include "export/OutputTarget.h"
#include "instrument/Instrument.h"
#include "loopfile/InputFile.h"
#include "loopfile/LoopLimits.h"
#include "loopfile/LoopReader.h"
#include "platform/PlatformServices.h"
#include "plugin/BoundedText.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const PlatformServices::FileDialog loadDialog{
    "Load Rex File", "REX Files (*.rex)", "*.rex", "rex", "Audio Loops (*.wav;*.aif;*.aiff)", "*.wav;*.aif;*.aiff"};
const PlatformServices::FileDialog grooveDialog{
    "Save REX Groove As Standard Midi", "Midi Files (*.MID)", "*.mid", "mid", nullptr, nullptr};

// The frames of a slice as the voices hear them: two-channel material mixed down as they mix it.
const float* heardFrames(const float* samples, std::uint32_t frames, bool stereo, std::vector<float>& mixdown) {
    if (!stereo) return samples;
    mixdown.resize(frames);
    for (std::uint32_t k = 0; k < frames; ++k) mixdown[k] = (samples[2 * k] + samples[2 * k + 1]) * 0.5f;
    return mixdown.data();
}

// What the user reads of a loop that did not load, or loaded with a remark (hits left out).
std::string loopMessage(const char* path, bool loaded, const std::string& said) {
    return std::string("The loop \"") + path + (loaded ? "\" was loaded, but " : "\" was not loaded: ") + said + ".";
}

}  // namespace

// Slices for as many of the reader's slices as the bank keeps; the rest are never copied. At another
// rate than the loop's own (a REX loop's is 44.1 kHz, an audio file's may be any), each slice is
// converted alone, so that none reaches into its neighbour, into one channel (the voices mix two
// channels down anyway, and half the values need half the work and memory), and the whole must
// stay within the size a loop may have.
std::vector<std::unique_ptr<Slice>> Instrument::slicesOf(const RexReader& reader, double rate) const {
    const std::int32_t kept = std::min(reader.sliceCount(), SliceBank::capacity);
    const std::int32_t loopRate = reader.sampleRate() >= lowestSampleRate && reader.sampleRate() <= highestSampleRate
                                      ? reader.sampleRate()
                                      : engineSampleRate;
    std::unique_ptr<RateConversion> conversion;
    if (rate != loopRate && makeRateConversion) {
        conversion = makeRateConversion(loopRate, rate);
        if (!conversion) throw std::bad_alloc();
    }
    const bool stereo = reader.channelCount() == 2;
    auto framesOf = [&](std::int32_t i) {
        const std::uint32_t length = reader.sliceInfo(static_cast<std::uint32_t>(i))->length;
        return stereo ? length / 2 : length;
    };
    if (conversion) {
        std::uint64_t total = 0;
        for (std::int32_t i = 0; i < kept; ++i) total += conversion->convertedLength(framesOf(i));
        if (total > maximumLoopSamples) throw std::length_error("the loop is too long to play at this rate");
    }
    std::vector<std::unique_ptr<Slice>> slices;
    slices.reserve(static_cast<std::size_t>(kept));
    std::vector<float> mixdown;
    for (std::int32_t i = 0; i < kept; ++i) {
        const auto index = static_cast<std::uint32_t>(i);
        const float* samples = reader.sliceSamples(index);
        std::unique_ptr<Slice> slice;
        if (conversion) {
            const std::uint32_t frames = framesOf(i);
            std::vector<float> converted(conversion->convertedLength(frames));
            if (!conversion->convert(heardFrames(samples, frames, stereo, mixdown), frames, converted.data()))
                throw std::bad_alloc();
            slice = std::make_unique<Slice>(std::move(converted), static_cast<std::int32_t>(rate),
                                            reader.bitsPerSample(), 1);
        } else {
            slice = std::make_unique<Slice>(samples, reader.sliceInfo(index)->length, reader.sampleRate(),
                                            reader.bitsPerSample(), reader.channelCount());
        }
        slice->setNote(static_cast<std::uint16_t>(firstSliceNote + i));
        slices.push_back(std::move(slice));
    }
    return slices;
}

bool Instrument::loadLoop(InputFile& file, RefusedLoad refused, std::string* said) {
    std::lock_guard<std::mutex> serialised(stateLock);
    return replaceLoop(file, refused, said);
}

// Reading and building happen outside the engine gate, so the previous loop plays on meanwhile. A
// load either succeeds whole or is refused whole: the program's path kept, and the bank emptied or,
// when asked, left playing the earlier loop.
bool Instrument::replaceLoop(InputFile& file, RefusedLoad refused, std::string* said) {
    std::shared_ptr<RexReader> reader;
    std::vector<std::unique_ptr<Slice>> slices;
    std::string report;
    try {
        auto loop = std::make_shared<LoopReader>(file);
        loop->parse();
        report = loop->failed() ? loop->failureReason() : loop->loadingNote();
        reader = std::move(loop);
        if (!reader->failed()) slices = slicesOf(*reader, playbackRate.load());
    } catch (const std::bad_alloc&) {
        slices.clear();
        reader.reset();
        report = "there is not enough memory for it";
    } catch (const std::length_error& tooLong) {
        platform.report((std::string(file.path()) + ": " + tooLong.what() + ".").c_str());
        slices.clear();
        reader.reset();
        report = tooLong.what();
    }
    if (said) *said = report;
    const bool loaded = reader && !reader->failed();
    if (!loaded && refused == RefusedLoad::keepsLoop) return false;
    if (!loaded) slices.clear();
    {
        LoadPass exclusive(gate);
        engine->exchangeSlices(slices);
    }
    // `slices` now holds the previous loop, released here while audio runs.
    currentReader = std::move(reader);
    if (loaded) copyIntoField(current().path, ProgramRecord::pathSize, file.path());
    return loaded;
}

// The loop that plays is built again at the new rate while the old one plays on; the exchange
// brings slices and rate in together. A loop that cannot be built at the new rate leaves silence.
void Instrument::changePlaybackRate(double rate) {
    std::vector<std::unique_ptr<Slice>> slices;
    std::string failure;
    try {
        if (currentReader && !currentReader->failed()) slices = slicesOf(*currentReader, rate);
    } catch (const std::bad_alloc&) {
        failure = "there is not enough memory for it";
    } catch (const std::length_error& tooLong) {
        failure = tooLong.what();
    }
    {
        LoadPass exclusive(gate);
        engine->exchangeSlices(slices);
        playbackRate.store(rate);
    }
    if (!failure.empty())
        platform.report(("the loop was not converted to the new sample rate: " + failure + ".").c_str());
}

// A path from a record restored out of a host chunk may fill its field without a terminator.
void Instrument::loadFromRecordPath(const ProgramRecord& record) {
    char path[ProgramRecord::pathSize];
    copyIntoField(path, sizeof path, record.path);
    InputFile file(path);
    std::string said;
    if (replaceLoop(file, RefusedLoad::emptiesBank, &said)) return;
#if !defined(_WIN32)
    // A project whose loop is gone plays silence; Linux messages never hold the host, so it says why.
    platform.showNotice("Brevatone",
                        (loopMessage(path, false, said) + " The program is silent until the loop is back.").c_str(),
                        std::make_shared<std::atomic<bool>>(true));
#endif
}

const RexReader* Instrument::loadedLoop() const {
    std::lock_guard<std::mutex> serialised(stateLock);
    return currentReader && !currentReader->failed() ? currentReader.get() : nullptr;
}

// A loop the user picks and that cannot be read changes nothing: the earlier loop plays on, the
// program keeps naming it, and a message says why, without holding the host's thread.
void Instrument::chooseLoopFile(void* window) {
    if (platform.choosesApart()) {
        startChoosing(ChoiceFor::loop);
        return;
    }
    char path[ProgramRecord::pathSize] = {};
    if (!platform.chooseFileToOpen(window, loadDialog, path, sizeof path)) return;
    loadChosenLoop(path);
}

void Instrument::loadChosenLoop(const char* path) {
    InputFile file(path);
    std::string said;
    const bool loaded = loadLoop(file, RefusedLoad::keepsLoop, &said);
    if (loaded && said.empty()) return;
    platform.showNotice("Brevatone", loopMessage(path, loaded, said).c_str(),
                        std::make_shared<std::atomic<bool>>(true));
}

std::shared_ptr<const RexReader> Instrument::loopForExport(std::string* loadedFrom) {
    std::lock_guard<std::mutex> serialised(stateLock);
    if (loadedFrom) {
        char path[ProgramRecord::pathSize];
        copyIntoField(path, sizeof path, current().path);
        *loadedFrom = path;
    }
    return currentReader && !currentReader->failed() ? currentReader : nullptr;
}

namespace {
constexpr const char* noLoop = "No loop is loaded, so there is no groove to save.";
}  // namespace

void Instrument::exportGroove(void* window) {
    if (!loopForExport()) {
        platform.showError("Brevatone", noLoop);
        return;
    }
    if (platform.choosesApart()) {
        startChoosing(ChoiceFor::groove);
        return;
    }
    char path[ProgramRecord::pathSize] = {};
    if (!platform.chooseFileToSave(window, grooveDialog, path, sizeof path)) return;
    writeGrooveTo(path);
}

// The loop is taken after the dialog returns: hosts change programs and restore chunks from within
// the dialog's message loop (or while a chooser runs apart), and the loop taken before might be gone.
void Instrument::writeGrooveTo(const char* path) {
    std::string loopPath;
    const std::shared_ptr<const RexReader> loop = loopForExport(&loopPath);
    if (!loop) {
        platform.showError("Brevatone", noLoop);
        return;
    }
    // A save dialog confirms replacing any file, and the loop is the one a user would not mean.
    if (OutputTarget::sameFile(path, loopPath)) {
        const std::string text = std::string("The groove was not saved: \"") + path +
                                 "\" is the loaded loop, which the groove would replace.";
        platform.showError("Error", text.c_str());
        return;
    }
    OutputFile output(path);
    writeMidiGroove(*loop, output);
    // A full disk may show only when the last bytes are flushed; an earlier file stays as it was.
    if (!output.close()) platform.showError("Error", platform.lastErrorText().c_str());
}

void Instrument::startChoosing(ChoiceFor purpose) {
    std::lock_guard<std::mutex> guard(choiceLock);
    if (pendingChoice) return;
    pendingChoice =
        platform.startChoosing(purpose == ChoiceFor::loop ? loadDialog : grooveDialog, purpose == ChoiceFor::groove);
    pendingPurpose = purpose;
}

void Instrument::collectChoice() {
    char path[ProgramRecord::pathSize] = {};
    ChoiceFor purpose = ChoiceFor::loop;
    {
        std::lock_guard<std::mutex> guard(choiceLock);
        if (!pendingChoice) return;
        const PendingChoice::Answer answer = pendingChoice->poll(path, sizeof path);
        if (answer == PendingChoice::Answer::waiting) return;
        pendingChoice.reset();
        if (answer != PendingChoice::Answer::chosen) return;
        purpose = pendingPurpose;
    }
    if (purpose == ChoiceFor::loop)
        loadChosenLoop(path);
    else
        writeGrooveTo(path);
}

void Instrument::abandonChoice() {
    std::lock_guard<std::mutex> guard(choiceLock);
    pendingChoice.reset();
}

std::int32_t Instrument::getChunk(void** data, bool preset) {
    if (!data) return 0;
    std::lock_guard<std::mutex> serialised(stateLock);
    if (preset) {
        ProgramRecord& copy = presetChunks[static_cast<std::size_t>(getProgram())];
        copy.copyFrom(current());
        *data = &copy;
        return presetChunkSize;
    }
    for (std::size_t i = 0; i < programs.size(); ++i) bankChunk[i].copyFrom(programs[i]);
    *data = bankChunk.data();
    return bankChunkSize;
}

std::int32_t Instrument::setChunk(void* data, std::int32_t byteSize, bool preset) {
    if (!data) return 0;
    std::lock_guard<std::mutex> serialised(stateLock);
    if (preset && byteSize == presetChunkSize) {
        ProgramRecord record;
        std::memcpy(&record, data, sizeof record);
        applyValues(record);
        loadFromRecordPath(record);
        return presetChunkSize;
    }
    if (byteSize == bankChunkSize) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (ProgramRecord& program : programs) {
            ProgramRecord record;
            std::memcpy(&record, bytes, sizeof record);
            program.copyFrom(record);
            bytes += sizeof record;
        }
        selectProgram(0);
        return bankChunkSize;
    }
    return 0;
}
