#include "RenderCommand.h"

#include "LoopFile.h"
#include "MidiFileParser.h"
#include "ParameterSetting.h"
#include "PluginSession.h"
#include "ProgressBar.h"
#include "RenderOptions.h"
#include "Renderer.h"
#include "ToolFiles.h"
#include "WavWriter.h"
#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"
#include "export/PendingFile.h"

#include <stdexcept>
#include <system_error>

namespace {

// The program chunk, when one is given, with its path in front of every complaint about it.
std::vector<std::uint8_t> programChunk(const RenderOptions& options) {
    if (options.program.empty()) return {};
    std::vector<std::uint8_t> chunk = ToolFiles::read(options.program, "program file", PluginSession::largestChunk);
    try {
        PluginSession::loopNamedBy(chunk);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(options.program + ": " + error.what());
    }
    return chunk;
}

// The loop to play: the one given, or else the one the program names.
std::string loopToPlay(const RenderOptions& options, const std::vector<std::uint8_t>& program) {
    if (!options.loop.empty()) return options.loop;
    const std::string named = PluginSession::loopNamedBy(program);
    if (named.empty()) throw std::runtime_error(options.program + ": the program names no loop; give one with --loop");
    return named;
}

// Gives the plug-in its program, its loop and the parameter settings, in that order.
void prepare(PluginSession& session, const RenderOptions& options, const std::vector<std::uint8_t>& program) {
    if (!program.empty()) {
        try {
            session.loadProgramChunk(program);
        } catch (const std::runtime_error& error) {
            throw std::runtime_error(options.program + ": " + error.what());
        }
    }
    if (!options.loop.empty()) session.loadLoop(options.loop);

    const std::vector<std::string> names = session.parameterNames();
    for (const std::string& text : options.parameters) {
        const ParameterSetting setting = ParameterSetting::parse(text, names);
        session.host().setParameter(setting.index, setting.value);
    }
}

}  // namespace

int RenderCommand::run(const std::vector<std::string>& args, const Console& console) {
    if (args.empty()) {
        console.err << RenderOptions::usage();
        return 2;
    }
    try {
        const RenderOptions options = RenderOptions::parse(args);
        if (options.help) {
            console.out << RenderOptions::usage();
        } else if (!options.exportGroove.empty()) {
            exportGroove(options);
        } else {
            render(options, console);
        }
        return 0;
    } catch (const std::exception& error) {
        console.err << "brevatone-render: " << error.what() << '\n';
        return 1;
    }
}

std::string RenderCommand::defaultPlugin() { return PluginLibrary::besideExecutable(BREVATONE_PLUGIN_FILE); }

void RenderCommand::exportGroove(const RenderOptions& options) {
    ToolFiles::requireWritable(options.exportGroove, {options.loop});
    const LoopFile loop(options.loop);
    OutputFile file(options.exportGroove.c_str());
    writeMidiGroove(loop.reader(), file);
    if (!file.close())
        throw std::runtime_error("cannot write " + options.exportGroove + " (disk full or not writable?)");
}

void RenderCommand::render(const RenderOptions& options, const Console& console) {
    const std::string plugin = options.plugin.empty() ? defaultPlugin() : options.plugin;
    const std::vector<std::uint8_t> program = programChunk(options);
    const std::string loop = loopToPlay(options, program);
    ToolFiles::requireWritable(options.output, {options.midi, options.program, loop, plugin});
    const Song song = MidiFileParser::read(options.midi).repeated(options.repeat);
    const Renderer renderer(song, options.blockSize, options.tailSeconds, options.sampleRate);
    WavWriter::checkLength(renderer.totalFrames(), options.format);
    // Read first as the instrument reads it, so that a loop it would refuse is reported with the reason.
    const LoopFile checked(loop);
    if (const std::string note = checked.reader().loadingNote(); !note.empty()) console.err << "note: " << note << '\n';

    PluginSession session(plugin, options.blockSize, options.sampleRate);
    prepare(session, options, program);
    PendingFile pending(options.output);
    if (pending.path().empty()) {
        throw std::runtime_error("cannot create a file beside " + options.output + ": " + pending.failure().message());
    }
    {
        WavWriter wav(pending.path(), options.format, options.sampleRate, options.output);
        ProgressBar progress(console.err, console.terminal, options.sampleRate);
        renderer.render(session.host(), wav,
                        [&progress](std::int64_t done, std::int64_t total) { progress.update(done, total); });
        progress.finish(renderer.totalFrames());
        wav.finish();
    }
    if (const std::error_code error = pending.commit()) {
        throw std::runtime_error("cannot move the finished file to " + options.output + ": " + error.message());
    }
}
