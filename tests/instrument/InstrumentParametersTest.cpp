#include "HostTransport.h"
#include "InstrumentFixture.h"

#include <cstring>

namespace {
using InstrumentParameters = InstrumentFixture;
}

TEST_F(InstrumentParameters, ANewInstrumentHasSixteenInitProgramsAndTheDefaultSound) {
    for (std::int32_t index = 0; index < Instrument::programTotal; ++index) {
        EXPECT_STREQ(instrument.program(index).name, "Init");
        EXPECT_EQ(instrument.program(index).path[0], '\0');
    }
    EXPECT_EQ(engine().decayTime(), 1.0f);
    EXPECT_FLOAT_EQ(engine().filter().cutoff(), 13000.0f);
    EXPECT_EQ(engine().filter().resonance(), 1.0f);
    EXPECT_EQ(engine().filter().lfoRate(), 50);
    EXPECT_FALSE(engine().isFilterOn());
}

TEST_F(InstrumentParameters, EnvelopeAndFilterValuesReachTheEngine) {
    instrument.setParameter(1, 0.1f);
    instrument.setParameter(2, 0.2f);
    instrument.setParameter(3, 0.3f);
    instrument.setParameter(4, 0.4f);
    instrument.setParameter(5, 0.0f);
    instrument.setParameter(6, 0.5f);
    instrument.setParameter(11, 0.75f);
    settle();
    EXPECT_EQ(engine().attackTime(), 0.1f);
    EXPECT_EQ(engine().decayTime(), 0.2f);
    EXPECT_EQ(engine().sustainLevel(), 0.3f);
    EXPECT_EQ(engine().releaseTime(), 0.4f);
    EXPECT_FLOAT_EQ(engine().filter().cutoff(), 41.0f);
    EXPECT_FLOAT_EQ(engine().filter().resonance(), 10.0f);
    EXPECT_EQ(engine().filter().lfoAmount(), 0.75f);
}

TEST_F(InstrumentParameters, ModeAndSwitchTurnOnForAnyValueAboveZero) {
    const std::pair<float, bool> cases[] = {{0.0f, false}, {0.01f, true}, {-0.5f, false}, {1.0f, true}};
    for (const auto& [value, on] : cases) {
        instrument.setParameter(7, value);
        instrument.setParameter(8, value);
        settle();
        EXPECT_EQ(engine().filter().mode(), on ? 1 : 0) << value;
        EXPECT_EQ(engine().isFilterOn(), on) << value;
    }
}

TEST_F(InstrumentParameters, LfoRateIsTheValueTimesHundredTruncated) {
    instrument.setParameter(10, 0.257f);
    settle();
    EXPECT_EQ(engine().filter().lfoRate(), 25);
}

TEST_F(InstrumentParameters, OnlyExactlyOneSwitchesTempoSyncOn) {
    instrument.setParameter(12, 0.999f);
    render(64);
    EXPECT_EQ(std::count(hostRequests.begin(), hostRequests.end(), audioMasterGetTime), 0);
    instrument.setParameter(12, 1.0f);
    render(64);
    render(64);
    EXPECT_EQ(std::count(hostRequests.begin(), hostRequests.end(), audioMasterGetTime), 2);
}

TEST_F(InstrumentParameters, ReservedAndUnknownIndicesAreNeitherStoredNorApplied) {
    const ProgramRecord before = instrument.program(0);
    instrument.setParameter(9, 0.3f);
    instrument.setParameter(14, 0.3f);
    instrument.setParameter(-2, 0.3f);
    EXPECT_EQ(std::memcmp(&before, &instrument.program(0), sizeof before), 0);
    EXPECT_EQ(instrument.getParameter(9), 1.0f);
}

TEST_F(InstrumentParameters, SelectingAProgramAppliesItsStoredSound) {
    instrument.setProgram(3);
    instrument.setParameter(5, 0.0f);
    instrument.setProgram(0);
    settle();
    EXPECT_FLOAT_EQ(engine().filter().cutoff(), 13000.0f);
    instrument.setProgram(3);
    settle();
    EXPECT_FLOAT_EQ(engine().filter().cutoff(), 41.0f);
}

TEST_F(InstrumentParameters, ProgramNamesAreCutToTheirField) {
    char exact[] = "Twenty-three characters";
    instrument.setProgramName(exact);
    char name[64];
    instrument.getProgramName(name);
    EXPECT_STREQ(name, exact);

    char longer[] = "A name far longer than its field can hold";
    instrument.setProgramName(longer);
    instrument.getProgramName(name);
    EXPECT_EQ(std::string(name), std::string(longer, 23));
    EXPECT_EQ(instrument.program(0).values[0], 0.5f);  // the values after the field are intact
}

TEST_F(InstrumentParameters, LabelsAndDisplaysLeaveTheHostsBufferAlone) {
    char text[16] = "host";
    instrument.getParamLabel(1, text);
    instrument.getParamDisplay(1, text);
    EXPECT_STREQ(text, "host");
}

TEST_F(InstrumentParameters, TurningTempoSyncOffBringsBackTheProgramsLfoRate) {
    VstTimeInfo time = hostTransport(120.0, 0.5);
    hostTime = &time;
    instrument.setParameter(10, 0.2f);
    instrument.setParameter(12, 1.0f);
    render(512);
    ASSERT_NE(engine().filter().lfoRate(), 20);
    instrument.setParameter(12, 0.0f);
    settle();
    EXPECT_EQ(engine().filter().lfoRate(), 20);
}
