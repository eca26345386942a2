#pragma once

#include "PluginHost.h"
#include "PluginLibrary.h"
#include "engine/EngineConstants.h"
#include "instrument/ProgramRecord.h"

#include <cstdint>
#include <string>
#include <vector>

// One plug-in instance, loaded from its library and prepared for playing as a host prepares it:
// opened, set to the sample rate and the block size, and switched on. Loops and programs reach it
// only through its chunks, as they would from a host's saved project.
class PluginSession {
public:
    // Throws std::runtime_error when the library cannot be loaded or the plug-in refuses to start.
    PluginSession(const std::string& libraryPath, std::int32_t blockSize, double sampleRate = engineSampleRate);
    ~PluginSession();
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    PluginHost& host() { return pluginHost; }

    // The parameter names by index, empty where a parameter has none.
    std::vector<std::string> parameterNames();
    // A 1100-byte program (becomes the current one) or a 17600-byte bank (program 0 becomes current).
    void loadProgramChunk(const std::vector<std::uint8_t>& chunk);
    // The loop that a program chunk's playing program names, empty when it names none; throws
    // std::runtime_error for a chunk of neither size.
    static std::string loopNamedBy(const std::vector<std::uint8_t>& chunk);
    static constexpr std::size_t largestChunk = 16 * sizeof(ProgramRecord);
    // The loop file named by the current program; empty when it names none.
    std::string currentLoopPath();
    // Names the loop in the current program and has the plug-in load it.
    void loadLoop(const std::string& path);

private:
    static void checkChunkSize(const std::vector<std::uint8_t>& chunk);
    static std::string pathIn(const std::uint8_t* record);
    std::vector<std::uint8_t> currentProgram();

    PluginLibrary library;
    PluginHost pluginHost;
};
