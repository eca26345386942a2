#include "PluginSession.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::int32_t presetIndex = 1;
constexpr std::int32_t bankIndex = 0;
constexpr std::size_t presetSize = sizeof(ProgramRecord);
constexpr std::size_t bankSize = PluginSession::largestChunk;

}  // namespace

PluginSession::PluginSession(const std::string& libraryPath, std::int32_t blockSize, double sampleRate)
    : library(libraryPath), pluginHost(library) {
    if (!library.loaded()) throw std::runtime_error("cannot load the plug-in: " + library.error());
    if (!pluginHost.open()) throw std::runtime_error("the plug-in " + libraryPath + " refused to start");
    pluginHost.dispatch(effOpen);
    pluginHost.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    pluginHost.dispatch(effSetBlockSize, 0, blockSize);
    pluginHost.dispatch(effMainsChanged, 0, 1);
}

PluginSession::~PluginSession() {
    if (pluginHost.effect()) pluginHost.dispatch(effMainsChanged, 0, 0);
}

std::vector<std::string> PluginSession::parameterNames() {
    std::vector<std::string> names;
    for (std::int32_t index = 0; index < pluginHost.effect()->numParams; ++index) {
        char name[64] = {};
        pluginHost.dispatch(effGetParamName, index, 0, name);
        names.emplace_back(name);
    }
    return names;
}

void PluginSession::checkChunkSize(const std::vector<std::uint8_t>& chunk) {
    if (chunk.size() != presetSize && chunk.size() != bankSize) {
        throw std::runtime_error("a program chunk holds " + std::to_string(presetSize) + " bytes (one program) or " +
                                 std::to_string(bankSize) + " (a bank), not " + std::to_string(chunk.size()));
    }
}

std::string PluginSession::pathIn(const std::uint8_t* record) {
    const auto* path = reinterpret_cast<const char*>(record + offsetof(ProgramRecord, path));
    return std::string(path, std::find(path, path + ProgramRecord::pathSize, '\0'));
}

// A program alone and a bank, whose program 0 plays, both start with the playing program's record.
std::string PluginSession::loopNamedBy(const std::vector<std::uint8_t>& chunk) {
    checkChunkSize(chunk);
    return pathIn(chunk.data());
}

void PluginSession::loadProgramChunk(const std::vector<std::uint8_t>& chunk) {
    checkChunkSize(chunk);
    std::vector<std::uint8_t> copy = chunk;
    const std::int32_t index = chunk.size() == presetSize ? presetIndex : bankIndex;
    const auto size = static_cast<VstIntPtr>(copy.size());
    if (pluginHost.dispatch(effSetChunk, index, size, copy.data()) != size) {
        throw std::runtime_error("the plug-in refused the program chunk");
    }
}

std::string PluginSession::currentLoopPath() { return pathIn(currentProgram().data()); }

void PluginSession::loadLoop(const std::string& path) {
    if (path.size() >= ProgramRecord::pathSize) {
        throw std::runtime_error(path + ": the path is longer than the " + std::to_string(ProgramRecord::pathSize - 1) +
                                 " characters a program can hold");
    }
    std::vector<std::uint8_t> record = currentProgram();
    char* field = reinterpret_cast<char*>(record.data() + offsetof(ProgramRecord, path));
    std::memset(field, 0, ProgramRecord::pathSize);
    std::memcpy(field, path.data(), path.size());
    loadProgramChunk(record);
    // The instrument keeps a loop's path only once it has read the loop.
    if (currentLoopPath() != path) throw std::runtime_error(path + ": the instrument refused the loop");
}

std::vector<std::uint8_t> PluginSession::currentProgram() {
    void* data = nullptr;
    const VstIntPtr size = pluginHost.dispatch(effGetChunk, presetIndex, 0, &data);
    if (size != static_cast<VstIntPtr>(presetSize) || !data) {
        throw std::runtime_error("the plug-in gave no program chunk");
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + presetSize);
}
