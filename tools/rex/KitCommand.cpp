#include "KitCommand.h"

#include "LoopFile.h"
#include "OutputBatch.h"
#include "ParameterSetting.h"
#include "PluginSession.h"
#include "SfzInstrument.h"
#include "SliceWav.h"
#include "ToolError.h"
#include "ToolFiles.h"
#include "engine/EngineConstants.h"
#include "engine/SliceBank.h"
#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"
#include "export/OutputTarget.h"
#include "instrument/ParameterTable.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string sliceFileName(const std::string& name, std::int32_t index) {
    std::ostringstream text;
    text << name << "_" << std::setw(3) << std::setfill('0') << index + 1 << ".wav";
    return text.str();
}

// "3, 5 to 9 and 12": slice numbers counted from 1 as the file names count them, runs shortened.
std::string numbersText(const std::vector<std::int32_t>& indices) {
    std::vector<std::string> runs;
    for (std::size_t first = 0; first < indices.size();) {
        std::size_t last = first;
        while (last + 1 < indices.size() && indices[last + 1] == indices[last] + 1) ++last;
        runs.push_back(std::to_string(indices[first] + 1) +
                       (last > first ? " to " + std::to_string(indices[last] + 1) : std::string()));
        first = last + 1;
    }
    std::string text;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (i > 0) text += i + 1 == runs.size() ? " and " : ", ";
        text += runs[i];
    }
    return text;
}

// A folder this run made is taken away again when the run fails, once the files pending in it are gone.
class MadeFolder {
public:
    explicit MadeFolder(const std::string& path) : folder(path) {}
    ~MadeFolder() {
        std::error_code ignored;
        if (made && !kept) fs::remove(folder, ignored);
    }
    MadeFolder(const MadeFolder&) = delete;
    MadeFolder& operator=(const MadeFolder&) = delete;

    // Makes the folder unless it is there already; throws a ToolError for anything else in its place.
    void prepare() {
        std::error_code error;
        const fs::file_status status = fs::status(folder, error);
        if (fs::is_directory(status)) return;
        if (fs::exists(status))
            throw ToolError(folder + ": will not write a kit there: " + OutputTarget::whatInstead(status));
        if (!fs::create_directory(folder, error)) {
            throw ToolError(folder + ": cannot make the folder: " + error.message());
        }
        made = true;
    }
    void keep() { kept = true; }

private:
    std::string folder;
    bool made = false;
    bool kept = false;
};

}  // namespace

const char* KitCommand::usage() {
    return "usage: brevatone-rex kit LOOP.rex OUTDIR [--force] [--groove] [--program FILE] [--param NAME=VALUE]...\n"
           "Writes the loop's playable slices to OUTDIR as NAME_001.wav, NAME_002.wav, ... (the loop's own\n"
           "channels, bits and rate, sample for sample) and NAME.sfz, which maps each to the note the plug-in\n"
           "plays it on (36 upward) with the plug-in's amplitude envelope and bend range. NAME is the loop's\n"
           "file name without its extension; OUTDIR is made if it does not exist.\n"
           "  --groove              also write the loop's groove as NAME.mid, as the plug-in exports it\n"
           "  --program FILE        take the envelope from a program chunk (1100 bytes, or a 17600-byte\n"
           "                        bank whose program 0 counts) instead of a fresh program\n"
           "  --param NAME=VALUE    set a parameter by name or index, as brevatone-render takes it\n"
           "  --force               replace files of the same names in OUTDIR (never the loop itself)\n"
           "Slices no note reaches (from the 93rd on) and slices without sound are left out, and said so.\n"
           "Nothing is written when anything is wrong.\n";
}

KitCommand::Selection KitCommand::Selection::of(const RexReader& reader) {
    Selection selection;
    const std::int32_t channels = reader.channelCount() > 0 ? reader.channelCount() : 1;
    for (std::int32_t i = 0; i < reader.sliceCount(); ++i) {
        if (i >= SliceBank::capacity || firstSliceNote + i > highestMidiNote) {
            selection.unreachable.push_back(i);
        } else if (reader.sliceInfo(static_cast<std::uint32_t>(i))->length < static_cast<std::uint32_t>(channels)) {
            selection.empty.push_back(i);
        } else {
            selection.kept.push_back(i);
        }
    }
    return selection;
}

void KitCommand::run(const std::vector<std::string>& args, std::ostream& out) {
    const auto started = std::chrono::steady_clock::now();
    const Request request = parse(args);
    const LoopFile loop(request.loop);
    const LoopReader& reader = loop.reader();
    const SfzInstrument::Envelope envelope = SfzInstrument::Envelope::of(programFor(request));
    const Selection selection = Selection::of(reader);
    if (selection.kept.empty()) {
        throw ToolError(request.loop + ": no slice of the loop has sound that a note plays, so there is no kit");
    }
    if (reader.sampleRate() <= 0) throw ToolError(request.loop + ": the loop states no usable sample rate");
    // A WAV file states the bytes of one frame in 16 bits.
    if (reader.channelCount() * ((reader.bitsPerSample() + 7) / 8) > 0xFFFF) {
        throw ToolError(request.loop + ": " + std::to_string(reader.channelCount()) +
                        " channels are more than a WAV file's frame holds");
    }

    const std::string fileName = fs::path(request.loop).filename().string();
    if (!SfzInstrument::carries(fileName)) {
        throw ToolError(request.loop + ": the loop's name cannot stand in an SFZ file, which would read a line " +
                        "break, a control character or one of = < > $ \\ in it as more than a name; rename the loop");
    }
    const std::string name = fs::path(request.loop).stem().string();
    const std::vector<std::string> targets = targetsFor(request, selection, name);

    MadeFolder made(request.folder);
    made.prepare();
    OutputBatch batch;
    SfzInstrument sfz(fileName, reader.tempo(), reader.loopLength(), envelope);
    for (std::size_t k = 0; k < selection.kept.size(); ++k) {
        const std::int32_t index = selection.kept[k];
        const auto slice = static_cast<std::uint32_t>(index);
        batch.add(targets[k], SliceWav::encode(reader.sliceSamples(slice), reader.sliceInfo(slice)->length,
                                               reader.channelCount(), reader.bitsPerSample(), reader.sampleRate()));
        sfz.addRegion(firstSliceNote + index, sliceFileName(name, index));
    }
    const std::string text = sfz.text();
    batch.add(targets[selection.kept.size()], std::vector<std::uint8_t>(text.begin(), text.end()));
    std::uintmax_t total = batch.totalBytes();
    // The groove goes last, once every other file is complete, so that a failure anywhere still
    // leaves the folder as it was.
    if (request.groove) {
        const std::string& groovePath = targets.back();
        OutputFile groove(groovePath.c_str());
        writeMidiGroove(reader, groove);
        if (!groove.close()) throw ToolError("cannot write " + groovePath + " (disk full or not writable?)");
        std::error_code ignored;
        total += fs::file_size(groovePath, ignored);
    }
    batch.commit();
    made.keep();

    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    report(out, request, selection, name, total, elapsed);
    if (const std::string note = reader.loadingNote(); !note.empty()) out << "note: " << note << "\n";
    if (envelope.sustainClipped) {
        out << "note: the program's sustain level lies outside 0 to 1; the SFZ holds it clipped to that range\n";
    }
}

// The files the kit writes, slice files first, then the SFZ and the groove; throws a ToolError for
// any of them that stands where it must not be replaced.
std::vector<std::string> KitCommand::targetsFor(const Request& request, const Selection& selection,
                                                const std::string& name) {
    const fs::path folder(request.folder);
    std::vector<std::string> targets;
    for (const std::int32_t index : selection.kept) targets.push_back((folder / sliceFileName(name, index)).string());
    targets.push_back((folder / (name + ".sfz")).string());
    if (request.groove) targets.push_back((folder / (name + ".mid")).string());
    for (const std::string& target : targets) {
        std::error_code ignored;
        if (!fs::exists(fs::symlink_status(target, ignored))) continue;
        if (!request.force) throw ToolError(target + " exists; give --force to replace it");
        const std::string refusal = OutputTarget::refusal(target, {request.loop, request.program});
        if (!refusal.empty()) throw ToolError(target + ": " + refusal);
    }
    return targets;
}

void KitCommand::report(std::ostream& out, const Request& request, const Selection& selection, const std::string& name,
                        std::uintmax_t total, double seconds) {
    out << "wrote " << selection.kept.size() << " slice files and " << name << ".sfz"
        << (request.groove ? " and " + name + ".mid" : std::string()) << " to " << request.folder << ": " << total
        << " bytes in " << std::fixed << std::setprecision(3) << seconds << " s\n";
    if (!selection.unreachable.empty()) {
        out << "left out " << selection.unreachable.size() << " slices no MIDI note reaches (notes stop at "
            << highestMidiNote << "): " << numbersText(selection.unreachable) << "\n";
    }
    if (!selection.empty.empty()) {
        out << "left out " << selection.empty.size()
            << " empty slices, with no whole frame of sound: " << numbersText(selection.empty) << "\n";
    }
}

KitCommand::Request KitCommand::parse(const std::vector<std::string>& args) {
    Request request;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--program" || arg == "--param";
        if (takesValue && i + 1 == args.size()) throw ToolError(arg + " needs a value");
        if (arg == "--program") {
            request.program = args[++i];
        } else if (arg == "--param") {
            request.parameters.push_back(args[++i]);
        } else if (arg == "--force") {
            request.force = true;
        } else if (arg == "--groove") {
            request.groove = true;
        } else if (arg.rfind("--", 0) == 0) {
            throw ToolError("unknown option " + arg + " (see brevatone-rex kit --help)");
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) throw ToolError("kit takes a loop and an output folder (see brevatone-rex kit --help)");
    request.loop = files[0];
    request.folder = files[1];
    return request;
}

// The program's values with the settings applied, in the order the render tool applies them.
ProgramRecord KitCommand::programFor(const Request& request) {
    ProgramRecord program{};
    ParameterTable::fillDefaults(program);
    if (!request.program.empty()) {
        const std::vector<std::uint8_t> chunk =
            ToolFiles::read(request.program, "program file", PluginSession::largestChunk);
        try {
            PluginSession::loopNamedBy(chunk);
        } catch (const std::runtime_error& error) {
            throw ToolError(request.program + ": " + error.what());
        }
        std::memcpy(program.values, chunk.data() + offsetof(ProgramRecord, values), sizeof program.values);
    }
    std::vector<std::string> names;
    for (std::int32_t index = 0; index < Parameter::count; ++index) {
        const char* parameterName = ParameterTable::nameOf(index);
        names.emplace_back(parameterName ? parameterName : "");
    }
    for (const std::string& text : request.parameters) {
        const ParameterSetting setting = ParameterSetting::parse(text, names);
        const std::int32_t slot = ParameterTable::slotOf(setting.index);
        if (slot >= 0) program.setValue(static_cast<std::size_t>(slot), setting.value);
    }
    return program;
}
