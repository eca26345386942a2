#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// `make IN OUT --bars N --tempo BPM (--slices a,b,c | --detect)`: a REX loop from a 16-bit WAV or
// AIFF recording, sliced at the given frames or where the onset detector hears hits.
class MakeCommand {
public:
    static const char* usage();
    // Throws a ToolError before anything is written when the request or the input is unusable.
    static void run(const std::vector<std::string>& args, std::ostream& out);

private:
    struct Request {
        std::string input;
        std::string output;
        uint32_t bars = 0;
        double tempo = 0.0;
        std::vector<uint32_t> sliceFrames;
        bool detect = false;
    };

    static Request parse(const std::vector<std::string>& args);
    static std::vector<uint32_t> parseFrames(const std::string& list);
};
