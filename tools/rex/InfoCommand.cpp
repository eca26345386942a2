#include "InfoCommand.h"

#include "ToolError.h"
#include "engine/EngineConstants.h"
#include "engine/SliceBank.h"
#include "loopfile/InputFile.h"
#include "loopfile/LoopReader.h"

#include <filesystem>
#include <iomanip>

namespace {

std::string channelsText(int16_t channels) {
    if (channels == 1) {
        return "mono";
    }
    return channels == 2 ? "stereo" : std::to_string(channels) + " channels";
}

// Why the instrument cannot play a slice, or nothing when it can.
std::string unplayable(int32_t index) {
    if (index >= SliceBank::capacity) {
        return "  not playable: past the " + std::to_string(SliceBank::capacity) + " slices the instrument keeps";
    }
    if (firstSliceNote + index > highestMidiNote) return "  not playable: no MIDI note reaches it";
    return "";
}

std::string noteText(int32_t index) {
    const int32_t note = firstSliceNote + index;
    return note > highestMidiNote ? "-" : std::to_string(note);
}

}  // namespace

const char* InfoCommand::usage() {
    return "usage: brevatone-rex info FILE\n"
           "Prints the sample format, tempo, loop length and slice table of a REX loop file, or of a WAV or\n"
           "AIFF loop as the plug-in cuts it at its hits.\n"
           "Slice start and length count sample values (frames x channels); positions are ticks,\n"
           "960 per quarter note. Slices that no MIDI note reaches, or past the 256 the plug-in keeps,\n"
           "are marked as not playable. A file the plug-in would refuse gives an error and exit status 1.\n";
}

void InfoCommand::run(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() != 1) {
        throw ToolError("info takes one file (see brevatone-rex info --help)");
    }
    const std::string& path = args[0];
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        throw ToolError("cannot open " + path);
    }
    InputFile file(path.c_str());
    LoopReader reader(file);
    reader.parse();
    if (reader.failed()) {
        throw ToolError(path + " is not a usable REX loop: " + reader.failureReason());
    }
    out << "file: " << path << "\n"
        << "format: " << channelsText(reader.channelCount()) << ", " << reader.bitsPerSample() << " bits, "
        << reader.sampleRate() << " Hz, " << reader.sampleFrames() << " frames, " << reader.sampleCount()
        << " sample values\n"
        << std::fixed << std::setprecision(3) << "tempo: " << reader.tempo() << " bpm\n"
        << "loop length: " << reader.loopLength() << " ticks (" << reader.loopLength() / 960.0 << " quarter notes)\n"
        << "slices: " << reader.sliceCount()
        << (reader.slicedAtHits() ? ", cut at the hits the onset detector hears" : "") << "\n";
    if (const std::string note = reader.loadingNote(); !note.empty()) out << "note: " << note << "\n";
    if (reader.sliceCount() > 0) {
        out << "  slice  note       start      length  position\n";
    }
    for (int32_t i = 0; i < reader.sliceCount(); ++i) {
        const SliceInfo* slice = reader.sliceInfo(static_cast<uint32_t>(i));
        out << std::setw(7) << i << std::setw(6) << noteText(i) << std::setw(12) << slice->start << std::setw(12)
            << slice->length << std::setw(10) << slice->position << unplayable(i) << "\n";
    }
}
