#include "Renderer.h"

#include "AudioSink.h"
#include "PluginHost.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// Frames are counted in 64 bits and passed through doubles; a song must end well before either
// loses count. No WAV file holds even a small part of this.
constexpr double mostFrames = 9007199254740992.0;  // 2^53

}  // namespace

Renderer::Renderer(const Song& song, std::int32_t blockSize, double tailSeconds, double sampleRate)
    : hostClock(song, sampleRate), block(blockSize) {
    const TempoMap& tempo = hostClock.tempoMap();
    const std::uint64_t lastTick = std::max(song.endTick, song.events.empty() ? 0 : song.events.back().tick);
    const double endSeconds = tempo.secondsAt(lastTick) + tailSeconds;
    if (!(endSeconds * sampleRate < mostFrames)) {
        throw std::runtime_error("the song is too long to render: it lasts " +
                                 std::to_string(static_cast<long long>(std::min(endSeconds / 3600.0, 1e18))) +
                                 " hours");
    }
    for (const Song::Event& event : song.events) {
        events.push_back({tempo.frameAt(event.tick), event.status, event.data1, event.data2});
    }
    const std::int64_t lastEvent = events.empty() ? 0 : events.back().frame;
    const std::int64_t end = std::max(tempo.frameAt(song.endTick), lastEvent);
    total = end + std::llround(tailSeconds * sampleRate);
}

void Renderer::render(PluginHost& host, AudioSink& sink, const Progress& progress) const {
    std::vector<float> left(static_cast<std::size_t>(block));
    std::vector<float> right(static_cast<std::size_t>(block));
    float* outputs[2] = {left.data(), right.data()};
    std::vector<VstMidiEvent> blockEvents;
    auto next = events.begin();
    for (std::int64_t start = 0; start < total; start += block) {
        const auto frames = static_cast<std::int32_t>(std::min<std::int64_t>(block, total - start));
        blockEvents.clear();
        for (; next != events.end() && next->frame < start + frames; ++next) {
            const auto delta = static_cast<std::int32_t>(next->frame - start);
            blockEvents.push_back(EventList::midiEvent(delta, next->status, next->data1, next->data2));
        }
        host.timeInfo = hostClock.timeAt(start);
        if (!blockEvents.empty()) host.sendEvents(blockEvents);
        host.processReplacing(outputs, frames);
        sink.write(left.data(), right.data(), frames);
        if (progress) progress(start + frames, total);
    }
}
