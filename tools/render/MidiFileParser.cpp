#include "MidiFileParser.h"

#include "ToolFiles.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Far more than any song needs; a bound keeps a huge file from taking all memory.
constexpr std::uintmax_t largestMidiFile = 64 << 20;

constexpr std::uint8_t metaEvent = 0xFF;
constexpr std::uint8_t systemExclusive = 0xF0;
constexpr std::uint8_t systemExclusiveContinued = 0xF7;
constexpr std::uint8_t metaEndOfTrack = 0x2F;
constexpr std::uint8_t metaTempo = 0x51;
constexpr std::uint8_t metaTimeSignature = 0x58;

// Program change and channel pressure carry one data byte; the other channel messages two.
int dataBytesOf(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

bool sameIdentifier(const std::uint8_t* bytes, const char* identifier) {
    return std::equal(bytes, bytes + 4, identifier);
}

}  // namespace

Song MidiFileParser::read(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ToolFiles::read(path, "MIDI file", largestMidiFile);
    try {
        return parse(bytes);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(path + ": " + error.what());
    }
}

Song MidiFileParser::parse(const std::vector<std::uint8_t>& bytes) {
    MidiFileParser parser(bytes);
    parser.readHeader();
    std::uint16_t tracksRead = 0;
    while (tracksRead < parser.trackCount) {
        if (parser.at + 8 > bytes.size()) {
            throw std::runtime_error("the file ends after " + std::to_string(tracksRead) + " of " +
                                     std::to_string(parser.trackCount) + " tracks");
        }
        const bool isTrack = sameIdentifier(&bytes[parser.at], "MTrk");
        parser.at += 4;
        const std::uint32_t length = parser.bigEndian(4);
        parser.need(length);
        const std::size_t end = parser.at + length;
        if (isTrack) {
            parser.readTrack(end);
            ++tracksRead;
        }
        // Chunks of other kinds are allowed and carry nothing for us.
        parser.at = end;
    }
    return parser.finish();
}

MidiFileParser::MidiFileParser(const std::vector<std::uint8_t>& bytes) : data(bytes) {}

void MidiFileParser::readHeader() {
    if (data.size() < 14 || !sameIdentifier(data.data(), "MThd")) {
        throw std::runtime_error("not a Standard MIDI File (no MThd header)");
    }
    at = 4;
    const std::uint32_t length = bigEndian(4);
    if (length < 6) throw std::runtime_error("the MIDI header is too short");
    need(length);
    const std::size_t end = at + length;
    const std::uint32_t format = bigEndian(2);
    trackCount = static_cast<std::uint16_t>(bigEndian(2));
    const std::uint32_t division = bigEndian(2);
    if (format > 1)
        throw std::runtime_error("MIDI file format " + std::to_string(format) + " is not supported (only 0 and 1)");
    if (format == 0 && trackCount != 1) throw std::runtime_error("a format 0 MIDI file must hold exactly one track");
    if (division & 0x8000) throw std::runtime_error("MIDI files timed in SMPTE frames are not supported");
    if (division == 0) throw std::runtime_error("the MIDI file has 0 ticks per quarter note");
    song.ticksPerQuarter = static_cast<std::uint16_t>(division);
    at = end;
}

void MidiFileParser::readTrack(std::size_t end) {
    std::uint64_t tick = 0;
    std::uint8_t runningStatus = 0;
    bool trackEnded = false;
    while (at < end && !trackEnded) {
        tick += variableLength();
        need(1);
        std::uint8_t status = data[at];
        if (status & 0x80) {
            ++at;
        } else if (runningStatus == 0) {
            throw std::runtime_error("a data byte stands where a status byte belongs");
        } else {
            status = runningStatus;
        }

        if (status == metaEvent) {
            readMetaEvent(tick, trackEnded);
            runningStatus = 0;
        } else if (status == systemExclusive || status == systemExclusiveContinued) {
            const std::uint32_t length = variableLength();
            need(length);
            at += length;
            runningStatus = 0;
        } else if (status >= 0xF0) {
            throw std::runtime_error("a track holds a system message (status " + std::to_string(status) +
                                     "), which has no place in a MIDI file");
        } else {
            runningStatus = status;
            Song::Event event{tick, status, byte(), 0};
            if (dataBytesOf(status) == 2) event.data2 = byte();
            if ((event.data1 | event.data2) & 0x80) throw std::runtime_error("a MIDI data byte has its top bit set");
            song.events.push_back(event);
        }
        if (at > end) throw std::runtime_error("an event runs past the end of its track");
    }
    song.endTick = std::max(song.endTick, tick);
}

void MidiFileParser::readMetaEvent(std::uint64_t tick, bool& trackEnded) {
    const std::uint8_t type = byte();
    const std::uint32_t length = variableLength();
    need(length);
    const std::size_t next = at + length;
    if (type == metaEndOfTrack) {
        trackEnded = true;
    } else if (type == metaTempo) {
        if (length != 3) throw std::runtime_error("a tempo event must hold 3 bytes");
        const std::uint32_t microseconds = bigEndian(3);
        if (microseconds == 0) throw std::runtime_error("a tempo event sets 0 microseconds per quarter note");
        song.tempoChanges.push_back({tick, microseconds});
    } else if (type == metaTimeSignature) {
        if (length < 2) throw std::runtime_error("a time signature event must hold at least 2 bytes");
        const std::uint32_t numerator = byte();
        const std::uint32_t power = byte();
        if (numerator == 0 || power > 6) throw std::runtime_error("a time signature is out of range");
        song.timeSignatures.push_back({tick, numerator, 1u << power});
    }
    at = next;
}

Song MidiFileParser::finish() {
    // Tracks were read one after another; a stable sort keeps track order within a tick.
    const auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    std::stable_sort(song.events.begin(), song.events.end(), byTick);
    std::stable_sort(song.tempoChanges.begin(), song.tempoChanges.end(), byTick);
    std::stable_sort(song.timeSignatures.begin(), song.timeSignatures.end(), byTick);
    return song;
}

std::uint8_t MidiFileParser::byte() {
    need(1);
    return data[at++];
}

std::uint32_t MidiFileParser::bigEndian(int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | byte();
    return value;
}

std::uint32_t MidiFileParser::variableLength() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t next = byte();
        value = (value << 7) | (next & 0x7F);
        if (!(next & 0x80)) return value;
    }
    throw std::runtime_error("a variable-length number runs past 4 bytes");
}

void MidiFileParser::need(std::size_t count) const {
    if (count > data.size() - at) throw std::runtime_error("the MIDI file is truncated");
}
