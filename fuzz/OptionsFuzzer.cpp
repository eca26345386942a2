// libFuzzer target: any command line, its words separated by NUL bytes, given to brevatone-render's
// options and `--param` settings, to `brevatone-rex make` and `kit`, or as the program file that
// `--program` names, is refused with a one-line message or taken within the ranges it states.
#include "FuzzFiles.h"
#include "KitCommand.h"
#include "MakeCommand.h"
#include "ParameterSetting.h"
#include "RenderOptions.h"
#include "SliceWav.h"
#include "instrument/ParameterTable.h"

#include <cmath>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string recording;

std::vector<std::string> wordsOf(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back().push_back(static_cast<char>(data[i]));
        }
    }
    return words;
}

void checkRenderOptions(const std::vector<std::string>& args) {
    const RenderOptions options = RenderOptions::parse(args);
    fuzzing::require(options.blockSize >= 1 && options.repeat >= 1);
    fuzzing::require(options.tailSeconds >= 0.0 && std::isfinite(options.tailSeconds));
    std::vector<std::string> names;
    for (std::int32_t index = 0; index < Parameter::count; ++index) {
        const char* name = ParameterTable::nameOf(index);
        names.emplace_back(name ? name : "");
    }
    for (const std::string& text : options.parameters) {
        const ParameterSetting setting = ParameterSetting::parse(text, names);
        fuzzing::require(ParameterTable::slotOf(setting.index) >= 0);
        fuzzing::require(setting.value >= 0.0f && setting.value <= 1.0f);
    }
}

// A kit goes to a folder of its own each time, so that no earlier kit stops it.
void runKit(std::vector<std::string> args) {
    const std::string kit = (fuzzing::folder() / "kit").string();
    std::filesystem::remove_all(kit);
    args.insert(args.begin(), {fuzzing::sharedLoopPath(), kit});
    std::ostringstream said;
    KitCommand::run(args, said);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::writeSharedLoop();
    std::vector<float> sound(4000);
    for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = i % 1000 < 50 ? 0.9f : 0.0f;
    const std::vector<std::uint8_t> wav = SliceWav::encode(sound.data(), 4000, 1, 16, 44100);
    recording = fuzzing::writeFile("take.wav", wav.data(), wav.size());
    return 0;
}

// The first byte picks what reads the rest: render options, make, kit, or a program file for kit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::vector<std::string> words = wordsOf(data + 1, size - 1);
    std::ostringstream said;
    try {
        switch (data[0] % 4) {
            case 0: checkRenderOptions(words); break;
            case 1: {
                std::vector<std::string> args = {recording, (fuzzing::folder() / "made.rex").string()};
                args.insert(args.end(), words.begin(), words.end());
                MakeCommand::run(args, said);
                break;
            }
            case 2: runKit(words); break;
            default: runKit({"--program", fuzzing::writeFile("program", data + 1, size - 1)}); break;
        }
    } catch (const std::runtime_error&) {}
    return 0;
}
