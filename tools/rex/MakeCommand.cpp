#include "MakeCommand.h"

#include "LoopLayout.h"
#include "OutputBatch.h"
#include "SoundFileInput.h"
#include "ToolError.h"
#include "export/OutputTarget.h"

#include "loopfile/LoopLimits.h"

#include <cmath>
#include <limits>
#include <sstream>

namespace {

// A whole decimal number from `text`, or a ToolError naming the option it was given to.
double parseNumber(const std::string& text, const std::string& option) {
    std::istringstream in(text);
    double value = 0.0;
    if (!(in >> value) || !(in >> std::ws).eof()) {
        throw ToolError(option + " wants a number, not \"" + text + "\"");
    }
    return value;
}

// A whole number from `text` no greater than `largest`; past it, `tooLarge` is the message. The
// range is checked before the conversion, which is undefined for a double past what it converts to.
uint32_t parseCount(const std::string& text, const std::string& option, uint32_t largest, const std::string& tooLarge) {
    const double value = parseNumber(text, option);
    if (!(value >= 0) || value != std::floor(value)) {
        throw ToolError(option + " wants a whole number, not \"" + text + "\"");
    }
    if (value > static_cast<double>(largest)) throw ToolError(tooLarge);
    return static_cast<uint32_t>(value);
}

constexpr uint32_t mostBars = 17;
const std::string barsRange = "--bars must be given, from 1 to 17";

}  // namespace

const char* MakeCommand::usage() {
    return "usage: brevatone-rex make IN OUT --bars N --tempo BPM (--slices F1,F2,... | --detect)\n"
           "Builds the REX loop OUT from IN, a mono or stereo 16-bit WAV or AIFF file.\n"
           "  --bars N        the loop's length in 4/4 bars (1 to 17)\n"
           "  --tempo BPM     the loop's tempo in quarter notes per minute (1 to 999)\n"
           "  --slices LIST   slice starts as ascending frame numbers, e.g. 0,11025,22050\n"
           "  --detect        slice where an onset detector hears hits (the first slice starts at 0)\n"
           "Slice positions follow from the tempo at 960 ticks per quarter note. Nothing is written\n"
           "when anything is wrong.\n";
}

void MakeCommand::run(const std::vector<std::string>& args, std::ostream& out) {
    const Request request = parse(args);
    const std::string refusal = OutputTarget::refusal(request.output, {request.input});
    if (!refusal.empty()) throw ToolError(request.output + ": " + refusal);
    const SoundFile sound = SoundFileInput::read(request.input);
    const std::vector<uint32_t> frames = request.detect ? detectOnsets(sound) : request.sliceFrames;
    const LoopLayout layout(request.tempo, request.bars);
    const RexLoopContent loop = layout.build(sound, frames);
    OutputBatch file;
    file.add(request.output, RexFileWriter::forLoop(loop).bytes());
    file.commit();
    out << "wrote " << request.output << ": " << loop.slices.size() << " slices, " << request.bars << " bars at "
        << request.tempo << " bpm\n";
}

MakeCommand::Request MakeCommand::parse(const std::vector<std::string>& args) {
    Request request;
    std::vector<std::string> files;
    bool slicesGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--bars" || arg == "--tempo" || arg == "--slices";
        if (takesValue && i + 1 == args.size()) {
            throw ToolError(arg + " needs a value");
        }
        if (arg == "--bars") {
            request.bars = parseCount(args[++i], arg, mostBars, barsRange);
        } else if (arg == "--tempo") {
            request.tempo = parseNumber(args[++i], arg);
        } else if (arg == "--slices") {
            request.sliceFrames = parseFrames(args[++i]);
            slicesGiven = true;
        } else if (arg == "--detect") {
            request.detect = true;
        } else if (arg.rfind("--", 0) == 0) {
            throw ToolError("unknown option " + arg + " (see brevatone-rex make --help)");
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        throw ToolError("make takes an input and an output file (see brevatone-rex make --help)");
    }
    request.input = files[0];
    request.output = files[1];
    if (request.bars < 1 || request.bars > mostBars) {
        throw ToolError(barsRange);
    }
    if (!(request.tempo >= 1.0 && request.tempo <= 999.0)) {
        throw ToolError("--tempo must be given, from 1 to 999 bpm");
    }
    if (slicesGiven == request.detect) {
        throw ToolError("give either --slices or --detect");
    }
    return request;
}

std::vector<uint32_t> MakeCommand::parseFrames(const std::string& list) {
    std::vector<uint32_t> frames;
    std::istringstream in(list);
    std::string item;
    while (std::getline(in, item, ',')) {
        frames.push_back(
            parseCount(item, "--slices", std::numeric_limits<uint32_t>::max(),
                       "--slices: frame " + item + " lies past any loop (" + maximumLoopSamplesText + ")"));
    }
    return frames;
}
