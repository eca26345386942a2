#pragma once

#include "WavWriter.h"
#include "engine/EngineConstants.h"

#include <cstdint>
#include <string>
#include <vector>

// What the command line asks brevatone-render to do.
struct RenderOptions {
    bool help = false;
    std::string loop;
    std::string midi;
    std::string program;
    std::vector<std::string> parameters;
    std::string output;
    std::string exportGroove;
    std::string plugin;
    std::int32_t blockSize = 512;
    double tailSeconds = 2.0;
    std::uint32_t repeat = 1;
    std::int32_t sampleRate = engineSampleRate;
    WavWriter::Format format = WavWriter::Format::float32;

    // Throws std::runtime_error with a one-line reason for anything it cannot use.
    static RenderOptions parse(const std::vector<std::string>& args);
    static const char* usage();
};
