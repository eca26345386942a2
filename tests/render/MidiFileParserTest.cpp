#include "MidiFileParser.h"
#include "RenderTesting.h"

#include <gtest/gtest.h>

namespace {

std::string parseFailure(const Bytes& bytes) {
    return failureOf([&bytes] { MidiFileParser::parse(bytes); });
}

}  // namespace

TEST(MidiFileParser, ReadsChannelMessagesWithRunningStatusInOneTrack) {
    MidiTrack track;
    track.event(0, {0x90, 36, 100})
        .event(10, {37, 90})
        .event(5, {0xE0, 0, 64})
        .event(0, {0xC0, 5})
        .event(1, {0xB1, 7, 99})
        .end(20);
    const Song song = MidiFileParser::parse(midiFile(0, 96, {track}));
    EXPECT_EQ(song.ticksPerQuarter, 96);
    ASSERT_EQ(song.events.size(), 5u);
    EXPECT_EQ(song.events[1].tick, 10u);
    EXPECT_EQ(song.events[1].status, 0x90);
    EXPECT_EQ(song.events[1].data1, 37);
    EXPECT_EQ(song.events[2].status, 0xE0);
    EXPECT_EQ(song.events[3].data1, 5);
    EXPECT_EQ(song.events[4].tick, 16u);
    EXPECT_EQ(song.events[4].data2, 99);
    EXPECT_EQ(song.endTick, 36u);
}

TEST(MidiFileParser, MergesTheTracksOfAFormatOneFileByTickKeepingTrackOrderAtEqualTicks) {
    MidiTrack conductor;
    conductor.tempo(0, 400000).event(0, {0xFF, 0x58, 4, 3, 2, 24, 8}).tempo(480, 600000).end();
    MidiTrack first;
    first.note(240, 40).note(240, 41).end();
    MidiTrack second;
    second.note(0, 50).note(480, 51).end(100);
    const Song song = MidiFileParser::parse(midiFile(1, 480, {conductor, first, second}));
    std::vector<std::pair<std::uint64_t, int>> order;
    for (const Song::Event& event : song.events) order.emplace_back(event.tick, event.data1);
    EXPECT_EQ(order, (std::vector<std::pair<std::uint64_t, int>>{{0, 50}, {240, 40}, {480, 41}, {480, 51}}));
    ASSERT_EQ(song.tempoChanges.size(), 2u);
    EXPECT_EQ(song.tempoChanges[1].tick, 480u);
    EXPECT_EQ(song.tempoChanges[1].microsecondsPerQuarter, 600000u);
    ASSERT_EQ(song.timeSignatures.size(), 1u);
    EXPECT_EQ(song.timeSignatures[0].numerator, 3u);
    EXPECT_EQ(song.timeSignatures[0].denominator, 4u);
    EXPECT_EQ(song.endTick, 580u);
}

TEST(MidiFileParser, PassesOverSystemExclusiveOtherMetaEventsAndForeignChunks) {
    MidiTrack track;
    track.event(0, {0xF0, 3, 1, 2, 0xF7}).event(0, {0xFF, 0x03, 2, 'h', 'i'}).note(7, 60).end();
    Bytes file = midiFile(0, 480, {track});
    const Bytes foreign{'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 9, 9};
    file.insert(file.begin() + 14, foreign.begin(), foreign.end());
    const Song song = MidiFileParser::parse(file);
    ASSERT_EQ(song.events.size(), 1u);
    EXPECT_EQ(song.events[0].tick, 7u);
}

TEST(MidiFileParser, ReadsTheGrooveTheInstrumentExports) {
    TempDir dir;
    const Song song =
        MidiFileParser::read(writeGroove(writeLoopFile(dir, "loop.rex", eightSliceLoop()), dir.file("groove.mid")));
    ASSERT_EQ(song.events.size(), 16u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(song.events[2 * i].tick, 240 * i);
        EXPECT_EQ(song.events[2 * i].data1, 36 + i);
        EXPECT_EQ(song.events[2 * i].data2, 127);
        EXPECT_EQ(song.events[2 * i + 1].data2, 0);
    }
    EXPECT_EQ(song.tempoChanges.at(0).microsecondsPerQuarter, 499999u);
    EXPECT_EQ(song.endTick, 8u * 240);
}

TEST(MidiFileParser, RefusesWhatIsNotAPlayableMidiFile) {
    MidiTrack track;
    track.note(0, 60).end();
    const Bytes good = midiFile(1, 480, {track});
    EXPECT_NE(
        parseFailure(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0}).find("not a Standard MIDI File"),
        std::string::npos);
    EXPECT_NE(parseFailure(Bytes(good.begin(), good.end() - 3)).find("truncated"), std::string::npos);
    EXPECT_NE(parseFailure(midiFile(2, 480, {track})).find("format 2"), std::string::npos);
    EXPECT_NE(parseFailure(midiFile(1, 0xE728, {track})).find("SMPTE"), std::string::npos);
    Bytes twoTracksDeclared = good;
    twoTracksDeclared[11] = 2;
    EXPECT_NE(parseFailure(twoTracksDeclared).find("1 of 2 tracks"), std::string::npos);
    MidiTrack noStatus;
    noStatus.event(0, {60, 100}).end();
    EXPECT_NE(parseFailure(midiFile(0, 480, {noStatus})).find("status byte"), std::string::npos);
    MidiTrack longDelta;
    longDelta.data = {0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 1};
    EXPECT_NE(parseFailure(midiFile(0, 480, {longDelta})).find("4 bytes"), std::string::npos);
}

TEST(Song, RepeatedPlaysTheSongAgainFromWhereItEnds) {
    Song song;
    song.events = {{0, 0x90, 36, 127}, {100, 0x90, 36, 0}};
    song.tempoChanges = {{50, 400000}};
    song.endTick = 240;
    const Song twice = song.repeated(2);
    ASSERT_EQ(twice.events.size(), 4u);
    EXPECT_EQ(twice.events[2].tick, 240u);
    EXPECT_EQ(twice.events[3].tick, 340u);
    ASSERT_EQ(twice.tempoChanges.size(), 2u);
    EXPECT_EQ(twice.tempoChanges[1].tick, 290u);
    EXPECT_EQ(twice.endTick, 480u);
}
