// libFuzzer target: any bytes read as the render tool's Standard MIDI File either are refused with
// an exception the tool reports, or give a song whose events are in playing order and which the
// renderer lays out in frames without overflow.
#include "FuzzFiles.h"
#include "MidiFileParser.h"
#include "Renderer.h"
#include "WavWriter.h"
#include "engine/EngineConstants.h"

#include <stdexcept>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Song song;
    try {
        song = MidiFileParser::parse(std::vector<std::uint8_t>(data, data + size));
    } catch (const std::runtime_error&) {
        return 0;
    }
    for (std::size_t i = 1; i < song.events.size(); ++i) {
        fuzzing::require(song.events[i - 1].tick <= song.events[i].tick);
    }
    for (const Song::Event& event : song.events) {
        fuzzing::require(event.tick <= song.endTick && (event.status & 0x80) != 0);
        fuzzing::require(((event.data1 | event.data2) & 0x80) == 0);
    }
    try {
        const Renderer renderer(song.repeated(2), 512, 1.0, engineSampleRate);
        fuzzing::require(renderer.totalFrames() >= 0);
        std::int64_t previous = 0;
        for (const Renderer::Scheduled& event : renderer.schedule()) {
            fuzzing::require(event.frame >= previous && event.frame <= renderer.totalFrames());
            previous = event.frame;
        }
        WavWriter::checkLength(renderer.totalFrames(), WavWriter::Format::pcm24);
    } catch (const std::runtime_error&) {}
    return 0;
}
