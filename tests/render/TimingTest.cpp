#include "BarGrid.h"
#include "HostClock.h"
#include "TempoMap.h"

#include <gtest/gtest.h>

namespace {

// 480 ticks per quarter: 120 bpm for two quarters, then 60 bpm.
Song slowingDown() {
    Song song;
    song.ticksPerQuarter = 480;
    song.tempoChanges = {{960, 1000000}};
    return song;
}

}  // namespace

TEST(TempoMap, RunsAt120BpmUntilTheFirstTempoEvent) {
    const TempoMap map(Song{}, 44100.0);
    EXPECT_DOUBLE_EQ(map.secondsAt(480), 0.5);
    EXPECT_EQ(map.frameAt(480), 22050);
    EXPECT_DOUBLE_EQ(map.tempoAt(0), 120.0);
}

TEST(TempoMap, PlacesTicksAfterATempoChangeAtTheNewTempo) {
    const TempoMap map(slowingDown(), 44100.0);
    EXPECT_EQ(map.frameAt(960), 44100);
    EXPECT_EQ(map.frameAt(1440), 88200);
    EXPECT_EQ(map.frameAt(1490), 92794);  // 2.1041667 s
    EXPECT_DOUBLE_EQ(map.tempoAt(44099), 120.0);
    EXPECT_DOUBLE_EQ(map.tempoAt(44100), 60.0);
    EXPECT_DOUBLE_EQ(map.quarterAt(22050), 1.0);
    EXPECT_DOUBLE_EQ(map.quarterAt(88200), 3.0);
}

TEST(TempoMap, TakesTheLastOfSeveralTempoEventsAtOneTick) {
    Song song;
    song.tempoChanges = {{0, 250000}, {0, 1000000}};
    EXPECT_EQ(TempoMap(song, 44100.0).frameAt(480), 44100);
}

TEST(TempoMap, RoundsToTheNearestFrame) {
    Song song;
    song.ticksPerQuarter = 960;
    song.tempoChanges = {{0, 499999}};
    const TempoMap map(song, 44100.0);
    EXPECT_EQ(map.frameAt(7 * 960), 154350);   // 154349.69
    EXPECT_EQ(map.frameAt(12 * 960), 264599);  // 264599.47
}

TEST(BarGrid, CountsFourFourBarsUntilATimeSignatureStartsAnotherMetre) {
    Song song;
    song.ticksPerQuarter = 100;
    song.timeSignatures = {{1000, 6, 8}};
    const BarGrid bars(song);
    EXPECT_DOUBLE_EQ(bars.barAt(5.5).startQuarter, 4.0);
    EXPECT_EQ(bars.barAt(5.5).numerator, 4u);
    EXPECT_DOUBLE_EQ(bars.barAt(9.0).startQuarter, 8.0);
    EXPECT_DOUBLE_EQ(bars.barAt(10.0).startQuarter, 10.0);
    EXPECT_DOUBLE_EQ(bars.barAt(14.5).startQuarter, 13.0);
    EXPECT_EQ(bars.barAt(14.5).denominator, 8u);
}

TEST(HostClock, ReportsPositionTempoAndBarWithTheirValidFlags) {
    Song song = slowingDown();
    song.timeSignatures = {{0, 3, 4}};
    const HostClock clock(song, 44100.0);
    const VstTimeInfo time = clock.timeAt(88200 + 22050);
    EXPECT_DOUBLE_EQ(time.samplePos, 110250.0);
    EXPECT_DOUBLE_EQ(time.sampleRate, 44100.0);
    EXPECT_DOUBLE_EQ(time.ppqPos, 3.5);
    EXPECT_DOUBLE_EQ(time.tempo, 60.0);
    EXPECT_DOUBLE_EQ(time.barStartPos, 3.0);
    EXPECT_EQ(time.timeSigNumerator, 3);
    EXPECT_EQ(time.timeSigDenominator, 4);
    EXPECT_EQ(time.flags, kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid);
    EXPECT_EQ(clock.timeAt(0).flags, time.flags | kVstTransportChanged);
}

TEST(HostClock, AtABarLineReportsTheBarThatStartsThere) {
    const HostClock clock(Song{}, 44100.0);
    for (std::int64_t bar = 1; bar <= 300; ++bar) {
        const VstTimeInfo time = clock.timeAt(bar * 88200);
        ASSERT_EQ(time.ppqPos, 4.0 * bar);
        ASSERT_EQ(time.barStartPos, 4.0 * bar);
    }
}
