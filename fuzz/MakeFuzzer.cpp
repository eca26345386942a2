// libFuzzer target: any bytes given to `brevatone-rex make` as its WAV or AIFF recording are
// refused with a message, or become a loop that the instrument's reader reads back whole: the
// recording's samples, sliced where the onset detector or the given frames say.
#include "FuzzFiles.h"
#include "MakeCommand.h"
#include "ToolError.h"
#include "loopfile/InputFile.h"
#include "loopfile/RexReader.h"

#include <sndfile.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// The first byte picks the slicing: odd detects onsets, even gives three fixed frames.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string input = fuzzing::writeFile("take", data + 1, size - 1);
    const std::string output = (fuzzing::folder() / "made.rex").string();
    std::filesystem::remove(output);
    std::vector<std::string> args = {input, output, "--bars", "1", "--tempo", "120"};
    if (data[0] & 1) {
        args.push_back("--detect");
    } else {
        args.insert(args.end(), {"--slices", "0,1,64"});
    }
    std::ostringstream said;
    try {
        MakeCommand::run(args, said);
    } catch (const std::runtime_error&) {
        fuzzing::require(!std::filesystem::exists(output));
        return 0;
    }
    SF_INFO info{};
    SNDFILE* recording = sf_open(input.c_str(), SFM_READ, &info);
    fuzzing::require(recording != nullptr);
    sf_close(recording);
    InputFile file(output.c_str());
    RexReader loop(file);
    loop.parse();
    fuzzing::require(!loop.failed());
    fuzzing::require(loop.channelCount() == info.channels && loop.sampleRate() == info.samplerate);
    fuzzing::require(static_cast<sf_count_t>(loop.sampleFrames()) == info.frames);
    fuzzing::require(loop.sliceCount() >= 1);
    return 0;
}
