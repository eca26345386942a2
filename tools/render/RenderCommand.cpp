#include "RenderCommand.h"

#include "LoopFile.h"
#include "MidiFileParser.h"
#include "ParameterSetting.h"
#include "PendingFile.h"
#include "PluginSession.h"
#include "ProgressBar.h"
#include "RenderOptions.h"
#include "Renderer.h"
#include "WavWriter.h"
#include "export/MidiGrooveWriter.h"
#include "export/OutputFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::vector<std::uint8_t> programChunkFrom(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) throw std::runtime_error("no such program file");
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Gives the plug-in its program, its loop and the parameter settings, in that order.
void prepare(PluginSession& session, const RenderOptions& options) {
    if (!options.program.empty()) {
        try {
            session.loadProgramChunk(programChunkFrom(options.program));
        } catch (const std::runtime_error& error) {
            throw std::runtime_error(options.program + ": " + error.what());
        }
    }
    const std::string loop = options.loop.empty() ? session.currentLoopPath() : options.loop;
    if (loop.empty()) throw std::runtime_error(options.program + ": the program names no loop; give one with --loop");
    // Read first as the instrument reads it, so that a loop it would refuse is reported with the reason.
    const LoopFile checked(loop);
    if (!options.loop.empty()) session.loadLoop(loop);

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
    const LoopFile loop(options.loop);
    PendingFile pending(options.exportGroove);
    OutputFile file(pending.path().c_str());
    writeMidiGroove(loop.reader(), file);
    const bool failed = file.isBad();
    file.close();
    if (failed) throw std::runtime_error("cannot write " + options.exportGroove);
    pending.commit();
}

void RenderCommand::render(const RenderOptions& options, const Console& console) {
    const Song song = MidiFileParser::read(options.midi).repeated(options.repeat);
    PluginSession session(options.plugin.empty() ? defaultPlugin() : options.plugin, options.blockSize);
    prepare(session, options);

    const Renderer renderer(song, options.blockSize, options.tailSeconds);
    PendingFile pending(options.output);
    {
        WavWriter wav(pending.path(), options.format, static_cast<std::int32_t>(PluginSession::sampleRate));
        ProgressBar progress(console.err, console.terminal, PluginSession::sampleRate);
        renderer.render(session.host(), wav,
                        [&progress](std::int64_t done, std::int64_t total) { progress.update(done, total); });
        progress.finish(renderer.totalFrames());
        wav.finish();
    }
    pending.commit();
}
