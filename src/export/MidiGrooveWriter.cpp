#include "export/MidiGrooveWriter.h"

#include "engine/EngineConstants.h"
#include "export/OutputFile.h"
#include "loopfile/BigEndian.h"
#include "loopfile/RexReader.h"

#include <cmath>
#include <vector>

namespace {

constexpr std::int32_t largestDelta = 0x0FFFFFFF;
// A loop without tempo still needs a playable file; 120 beats per minute is the MIDI default.
constexpr double fallbackTempo = 120.0;

std::uint32_t microsecondsPerQuarter(float tempo) {
    const double beatsPerMinute = tempo > 0.0f && std::isfinite(tempo) ? static_cast<double>(tempo) : fallbackTempo;
    const double microseconds = 60.0 / beatsPerMinute * 1000000.0;
    // The field holds 24 bits; slower tempos are written as the slowest it can say.
    return microseconds >= 16777215.0 ? 16777215u : static_cast<std::uint32_t>(microseconds);
}

// Slices whose note would lie above the MIDI range cannot be played back, so they are left out.
std::int32_t playableSlices(const RexReader& reader) {
    const std::int32_t count = reader.sliceCount();
    const std::int32_t limit = highestMidiNote - firstSliceNote + 1;
    return count < 0 ? 0 : (count < limit ? count : limit);
}

std::vector<std::uint8_t> noteTrackEvents(const RexReader& reader) {
    std::vector<std::uint8_t> events;
    const std::int32_t count = playableSlices(reader);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t position = reader.sliceInfo(static_cast<std::uint32_t>(i))->position;
        const bool last = i + 1 == reader.sliceCount();
        const std::int64_t end = last ? static_cast<std::int64_t>(reader.loopLength())
                                      : reader.sliceInfo(static_cast<std::uint32_t>(i + 1))->position;
        const std::int64_t delta = end - position;
        const auto note = static_cast<std::uint8_t>(firstSliceNote + i);
        std::uint8_t encoded[4];
        const int length =
            encodeVariableLength(delta > largestDelta ? largestDelta : static_cast<std::int32_t>(delta), encoded);
        events.insert(events.end(), {0x00, 0x90, note, 0x7F});
        events.insert(events.end(), encoded, encoded + length);
        events.insert(events.end(), {0x90, note, 0x00});
    }
    events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
    return events;
}

}  // namespace

int encodeVariableLength(std::int32_t value, std::uint8_t* destination) {
    const std::uint32_t clamped =
        value < 0 ? 0u : (value > largestDelta ? largestDelta : static_cast<std::uint32_t>(value));
    std::uint8_t groups[4];
    int count = 0;
    std::uint32_t rest = clamped;
    do {
        groups[count++] = static_cast<std::uint8_t>(rest & 0x7F);
        rest >>= 7;
    } while (rest != 0);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t group = groups[count - 1 - i];
        destination[i] = i + 1 < count ? static_cast<std::uint8_t>(group | 0x80) : group;
    }
    return count;
}

void writeMidiGroove(const RexReader& reader, OutputFile& output) {
    static const std::uint8_t header[14] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x03, 0xC0};

    std::vector<std::uint8_t> tempoTrack = {'M',  'T',  'r',  'k',  0,    0,    0,    19,   0x00, 0xFF,
                                            0x58, 0x04, 0x04, 0x02, 0x18, 0x08, 0x00, 0xFF, 0x51, 0x03};
    bigendian::append(tempoTrack, microsecondsPerQuarter(reader.tempo()), 3);
    tempoTrack.insert(tempoTrack.end(), {0x00, 0xFF, 0x2F, 0x00});

    const std::vector<std::uint8_t> events = noteTrackEvents(reader);
    std::vector<std::uint8_t> trackLength;
    bigendian::append(trackLength, static_cast<std::uint32_t>(events.size()), 4);

    output.write(header, sizeof header);
    output.write(tempoTrack.data(), static_cast<std::int32_t>(tempoTrack.size()));
    output.write("MTrk", 4);
    output.write(trackLength.data(), static_cast<std::int32_t>(trackLength.size()));
    output.write(events.data(), static_cast<std::int32_t>(events.size()));
}
