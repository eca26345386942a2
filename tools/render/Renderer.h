#pragma once

#include "HostClock.h"
#include "Song.h"
#include "plugin/VstAbi.h"

#include <cstdint>
#include <functional>
#include <vector>

class AudioSink;
class PluginHost;

// Plays a song through a plug-in block by block, as a host's transport does: before each block the
// plug-in gets the events that fall inside it, each at its frame within the block, then renders it.
// The song is followed by a tail in which the last notes can ring out.
class Renderer {
public:
    struct Scheduled {
        std::int64_t frame;
        std::uint8_t status;
        std::uint8_t data1;
        std::uint8_t data2;
    };
    // Hears how many frames of how many are done after each block.
    using Progress = std::function<void(std::int64_t done, std::int64_t total)>;

    // Throws std::runtime_error when the song is too long to count its frames.
    Renderer(const Song& song, std::int32_t blockSize, double tailSeconds, double sampleRate);

    std::int64_t totalFrames() const { return total; }
    const std::vector<Scheduled>& schedule() const { return events; }
    const HostClock& clock() const { return hostClock; }

    void render(PluginHost& host, AudioSink& sink, const Progress& progress = {}) const;

private:
    HostClock hostClock;
    std::vector<Scheduled> events;
    std::int32_t block;
    std::int64_t total;
};
