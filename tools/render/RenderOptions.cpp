#include "RenderOptions.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr long largestBlock = 65536;
constexpr double longestTail = 600.0;
constexpr long mostRepeats = 10000;

double numberOf(const std::string& option, const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value)) {
        throw std::runtime_error(option + " wants a number, not \"" + text + "\"");
    }
    return value;
}

long wholeNumberOf(const std::string& option, const std::string& text, long lowest, long highest) {
    const double value = numberOf(option, text);
    if (value != std::floor(value) || value < static_cast<double>(lowest) || value > static_cast<double>(highest)) {
        throw std::runtime_error(option + " wants a whole number from " + std::to_string(lowest) + " to " +
                                 std::to_string(highest) + ", not \"" + text + "\"");
    }
    return static_cast<long>(value);
}

WavWriter::Format formatOf(const std::string& text) {
    if (text == "float") return WavWriter::Format::float32;
    if (text == "24") return WavWriter::Format::pcm24;
    throw std::runtime_error("--format is float or 24, not \"" + text + "\"");
}

#ifdef _WIN32
// The Windows libraries play at one rate; a WAV labelled with another would play at the wrong speed.
std::int32_t sampleRateOf(const std::string& text) {
    if (numberOf("--rate", text) != engineSampleRate) {
        throw std::runtime_error("--rate: the Windows build plays at " + std::to_string(engineSampleRate) +
                                 " Hz only, not \"" + text + "\"; render other rates with the Linux build");
    }
    return engineSampleRate;
}
#else
std::int32_t sampleRateOf(const std::string& text) {
    return static_cast<std::int32_t>(wholeNumberOf("--rate", text, lowestSampleRate, highestSampleRate));
}
#endif

void require(bool given, const char* what) {
    if (!given) throw std::runtime_error(std::string(what) + " (see brevatone-render --help)");
}

}  // namespace

RenderOptions RenderOptions::parse(const std::vector<std::string>& args) {
    RenderOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "-h" || option == "--help") {
            options.help = true;
            return options;
        }
        if (option.rfind("-", 0) != 0) throw std::runtime_error("unexpected argument \"" + option + "\"");
        if (i + 1 == args.size()) throw std::runtime_error(option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--loop") {
            options.loop = value;
        } else if (option == "--midi") {
            options.midi = value;
        } else if (option == "--program") {
            options.program = value;
        } else if (option == "--param") {
            options.parameters.push_back(value);
        } else if (option == "-o" || option == "--output") {
            options.output = value;
        } else if (option == "--export-groove") {
            options.exportGroove = value;
        } else if (option == "--plugin") {
            options.plugin = value;
        } else if (option == "--block") {
            options.blockSize = static_cast<std::int32_t>(wholeNumberOf(option, value, 1, largestBlock));
        } else if (option == "--tail") {
            options.tailSeconds = numberOf(option, value);
            if (options.tailSeconds < 0.0 || options.tailSeconds > longestTail) {
                throw std::runtime_error("--tail wants seconds from 0 to 600, not \"" + value + "\"");
            }
        } else if (option == "--repeat") {
            options.repeat = static_cast<std::uint32_t>(wholeNumberOf(option, value, 1, mostRepeats));
        } else if (option == "--rate") {
            options.sampleRate = sampleRateOf(value);
        } else if (option == "--format") {
            options.format = formatOf(value);
        } else {
            throw std::runtime_error("unknown option " + option + " (see brevatone-render --help)");
        }
    }
    if (!options.exportGroove.empty()) {
        require(!options.loop.empty(), "--export-groove needs the loop to take the groove from: --loop FILE.rex");
        return options;
    }
    require(!options.midi.empty(), "nothing to play: give a MIDI file with --midi FILE.mid");
    require(!options.output.empty(), "no output file: give one with --output FILE.wav");
    require(!options.loop.empty() || !options.program.empty(),
            "no loop: give one with --loop FILE.rex or a program that names one with --program FILE");
    return options;
}

const char* RenderOptions::usage() {
    return "usage: brevatone-render --loop LOOP.rex --midi SONG.mid --output OUT.wav [options]\n"
           "       brevatone-render --loop LOOP.rex --export-groove GROOVE.mid\n"
           "\n"
           "Plays a MIDI file through the Brevatone plug-in, loaded from its library the way a music host\n"
           "loads it, and writes what the plug-in plays to a stereo WAV file.\n"
           "\n"
           "  --loop FILE.rex       the REX loop the instrument plays; slice i answers MIDI note 36 + i\n"
           "  --midi FILE.mid       the Standard MIDI File to play (format 0 or 1): its notes, pitch bends\n"
           "                        and controllers reach the plug-in at their frames; its tempo and time\n"
           "                        signature events drive the position and tempo reported to the plug-in\n"
           "                        (120 bpm and 4/4 until the file says otherwise)\n"
           "  -o, --output FILE.wav the WAV file to write; it appears only once it is complete\n"
           "  --program FILE        a program chunk to start from: 1100 bytes for one program, 17600 for a\n"
           "                        bank of 16 (program 0 plays); its loop plays unless --loop names another\n"
           "  --param NAME=VALUE    set a parameter, by name (\"Amp Rls=0.3\", blanks and case ignored) or by\n"
           "  --param INDEX=VALUE   index (\"4=0.3\"), to a value from 0 to 1; may be given many times; applied\n"
           "                        after the program and the loop\n"
           "  --block N             frames per processing block, 1 to 65536 (default 512)\n"
           "  --tail SECONDS        how long to go on after the song ends, for releases to ring out (default 2)\n"
           "  --repeat N            play the MIDI file N times back to back (default 1)\n"
           "  --format float|24     32-bit float samples (default) or 24-bit integers\n"
           "  --rate HZ             the sample rate the host runs at and the WAV file has, 8000 to 384000\n"
           "                        (default 44100; the Windows build plays at 44100 only)\n"
           "  --plugin PATH         the plug-in library to load (default: the one beside this program)\n"
           "  --export-groove FILE.mid\n"
           "                        write the loop's groove as a Standard MIDI File, one note per slice on\n"
           "                        the slice's own note, with the instrument's own writer, and exit\n"
           "  -h, --help            show this text\n"
           "\n"
           "A progress bar shows on a terminal while a long render runs. Errors are one line on standard\n"
           "error and a non-zero exit status; no partial output file is left behind.\n";
}
