#pragma once

#include "Song.h"

#include <cstdint>
#include <string>
#include <vector>

// Reads Standard MIDI Files of format 0 or 1 with a division in ticks per quarter note. Channel
// messages become the song's events; tempo and time-signature meta events its tempo and metre;
// system-exclusive and other meta events are passed over. Anything malformed is refused with a
// std::runtime_error whose message is one line.
class MidiFileParser {
public:
    static Song read(const std::string& path);
    static Song parse(const std::vector<std::uint8_t>& bytes);

private:
    explicit MidiFileParser(const std::vector<std::uint8_t>& bytes);

    void readHeader();
    void readTrack(std::size_t end);
    void readMetaEvent(std::uint64_t tick, bool& trackEnded);
    Song finish();

    std::uint8_t byte();
    std::uint32_t bigEndian(int bytes);
    std::uint32_t variableLength();
    void need(std::size_t count) const;

    const std::vector<std::uint8_t>& data;
    std::size_t at = 0;
    std::uint16_t trackCount = 0;
    Song song;
};
