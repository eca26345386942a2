#include "engine/EngineConstants.h"
#include "engine/SliceEngine.h"
#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"
#include "instrument/Instrument.h"
#include "loopfile/InputFile.h"
#include "loopfile/RexReader.h"
#include "platform/PlatformServices.h"
#include "plugin/BoundedText.h"

#include <cstring>

namespace {

const PlatformServices::FileDialog loadDialog{"Load Rex File", "REX Files (*.rex)", "*.rex", "rex"};
const PlatformServices::FileDialog grooveDialog{"Save REX Groove As Standard Midi", "Midi Files (*.MID)", "*.mid",
                                                "mid"};

}  // namespace

bool Instrument::loadLoop(InputFile& file) {
    LoadPass exclusive(gate);
    currentReader = std::make_unique<RexReader>(file);
    currentReader->parse();
    if (currentReader->failed()) {
        engine->clearBank();
        return false;
    }
    copyIntoField(current().path, ProgramRecord::pathSize, file.path());
    engine->clearBank();
    const RexReader& reader = *currentReader;
    for (std::int32_t i = 0; i < reader.sliceCount(); ++i) {
        const auto index = static_cast<std::uint32_t>(i);
        auto slice = std::make_unique<Slice>(reader.sliceSamples(index), reader.sliceInfo(index)->length,
                                             reader.sampleRate(), reader.bitsPerSample(), reader.channelCount());
        slice->setNote(static_cast<std::uint16_t>(firstSliceNote + i));
        engine->addSlice(slice.release());
    }
    return true;
}

// A path from a record restored out of a host chunk may fill its field without a terminator.
void Instrument::loadFromRecordPath(const ProgramRecord& record) {
    char path[ProgramRecord::pathSize];
    copyIntoField(path, sizeof path, record.path);
    InputFile file(path);
    loadLoop(file);
}

const RexReader* Instrument::loadedLoop() const {
    return currentReader && !currentReader->failed() ? currentReader.get() : nullptr;
}

void Instrument::chooseLoopFile(void* window) {
    char path[ProgramRecord::pathSize] = {};
    if (!platform.chooseFileToOpen(window, loadDialog, path, sizeof path)) return;
    InputFile file(path);
    loadLoop(file);
}

void Instrument::exportGroove(void* window) {
    const RexReader* loop = loadedLoop();
    if (!loop) {
        platform.showError("Brevatone", "No loop is loaded, so there is no groove to save.");
        return;
    }
    char path[ProgramRecord::pathSize] = {};
    if (!platform.chooseFileToSave(window, grooveDialog, path, sizeof path)) return;
    OutputFile output(path);
    writeMidiGroove(*loop, output);
    // A full disk may show only when the last bytes are flushed; an earlier file stays as it was.
    if (!output.close()) platform.showError("Error", platform.lastErrorText().c_str());
}

std::int32_t Instrument::getChunk(void** data, bool preset) {
    if (preset) {
        *presetChunk = current();
        *data = presetChunk.get();
        return presetChunkSize;
    }
    *data = programs.data();
    return bankChunkSize;
}

std::int32_t Instrument::setChunk(void* data, std::int32_t byteSize, bool preset) {
    if (!data) return 0;
    if (preset && byteSize == presetChunkSize) {
        ProgramRecord record;
        std::memcpy(&record, data, sizeof record);
        applyValues(record);
        loadFromRecordPath(record);
        return presetChunkSize;
    }
    if (byteSize == bankChunkSize) {
        std::memcpy(programs.data(), data, sizeof programs);
        setProgram(0);
        return bankChunkSize;
    }
    return 0;
}
