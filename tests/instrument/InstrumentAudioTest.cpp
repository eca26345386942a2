#include "HostTransport.h"
#include "InstrumentFixture.h"

#include <cmath>

namespace {

class InstrumentAudio : public InstrumentFixture {
protected:
    void SetUp() override {
        InstrumentFixture::SetUp();
        ASSERT_TRUE(load(writeLoopFile(dir, "eight.rex", eightSliceLoop(256))));
        instrument.setParameter(3, 1.0f);  // sustain at full level: the slice plays as recorded
    }
};

}  // namespace

TEST_F(InstrumentAudio, ANoteSoundsFromItsDeltaFrameOnBothOutputs) {
    EXPECT_EQ(send({midi(17, 0x90, 37, 127)}), 1);
    const std::vector<float> block = render(64);
    for (int frame = 0; frame < 17; ++frame) EXPECT_EQ(block[static_cast<std::size_t>(frame)], 0.0f) << frame;
    for (int frame = 17; frame < 64; ++frame) EXPECT_EQ(block[static_cast<std::size_t>(frame)], 2.0f / 16.0f) << frame;
    EXPECT_EQ(left, right);
}

TEST_F(InstrumentAudio, ProcessOverwritesLikeProcessReplacing) {
    send({midi(0, 0x90, 36, 127)});
    std::vector<float> first(32, 5.0f), second(32, 5.0f);
    float* outputs[2] = {first.data(), second.data()};
    instrument.process(nullptr, outputs, 32);
    for (float sample : first) EXPECT_EQ(sample, 1.0f / 16.0f);
    EXPECT_EQ(first, second);
}

TEST_F(InstrumentAudio, EmptyMissingAndMalformedEventListsAreAnswered) {
    EXPECT_EQ(send({}), 1);
    EXPECT_EQ(instrument.processEvents(nullptr), 0);
    VstEvents negative{};
    negative.numEvents = -3;
    EXPECT_EQ(instrument.processEvents(&negative), 0);
}

// Data bytes keep their seven bits, as a MIDI file's reader keeps them: a stray top bit neither
// moves the note nor raises the velocity above 127.
TEST_F(InstrumentAudio, EventsOtherThanMidiNeverReachTheEngineAndDataBytesKeepSevenBits) {
    VstEvent sysex{};
    sysex.type = 6;
    sysex.data[8] = static_cast<char>(0x90);  // where a MIDI event would carry its status
    sysex.data[9] = 36;
    sysex.data[10] = 127;
    VstMidiEvent note = midi(0, 0x90, 40, 127);
    VstMidiEvent topBitsSet = midi(0, 0x90, 40 | 0x80, 127 | 0x80);
    std::vector<VstEvent*> events = {&sysex, reinterpret_cast<VstEvent*>(&note), nullptr,
                                     reinterpret_cast<VstEvent*>(&topBitsSet)};
    EXPECT_EQ(sendRaw(events), 1);
    for (float sample : render(16)) EXPECT_EQ(sample, 10.0f / 16.0f);
}

// Without a converter (the Windows libraries) the notice never waits for a click, and while one is
// up a further refusal opens no second one.
TEST_F(InstrumentAudio, AnotherSampleRateIsRefusedWithOneNoticeAtATime) {
    Instrument fixedRate(host, platform);
    fixedRate.setSampleRate(44100.0f);
    EXPECT_TRUE(platform.notices.empty());
    fixedRate.setSampleRate(48000.0f);
    fixedRate.setSampleRate(22050.0f);
    ASSERT_EQ(platform.notices.size(), 1u);
    EXPECT_EQ(platform.notices[0].caption, "Brevatone");
    EXPECT_EQ(platform.notices[0].text, "This version of Brevatone doesn't support\nSample Rates other than 44.1kHz");
    EXPECT_EQ(fixedRate.getSampleRate(), 44100.0f);

    platform.noticeUp->store(false);
    fixedRate.setSampleRate(88200.0f);
    EXPECT_EQ(platform.notices.size(), 2u);
    EXPECT_TRUE(platform.messages.empty());
}

// Following the host's rate, as the Linux libraries do, brings no notice; rates no host can mean
// keep the last good one, which one line says.
TEST_F(InstrumentAudio, FollowingTheHostRateKeepsTheLastGoodRateAndSaysSoOnce) {
    if (!systemRateConversion()) GTEST_SKIP() << "this build plays at 44.1 kHz only";
    instrument.setSampleRate(48000.0f);
    for (float bad : {0.0f, -48000.0f, NAN, INFINITY, 384001.0f, 7999.0f}) instrument.setSampleRate(bad);
    settle();
    EXPECT_EQ(engine().sampleRate(), 48000.0);
    EXPECT_EQ(instrument.getSampleRate(), 48000.0f);
    EXPECT_TRUE(platform.notices.empty());
    ASSERT_EQ(platform.reports.size(), 1u);
    EXPECT_NE(platform.reports[0].find("stays at 48000 Hz"), std::string::npos) << platform.reports[0];
}

TEST_F(InstrumentAudio, ResumingAsksForMidiAgain) {
    hostRequests.clear();
    instrument.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    instrument.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(hostRequests, std::vector<std::int32_t>{audioMasterWantMidi});
}

TEST_F(InstrumentAudio, TempoSyncAsksForTimeOncePerBlockAndSetsTheRate) {
    VstTimeInfo time = hostTransport(120.0, 0.5);
    hostTime = &time;
    instrument.setParameter(13, 0.6f);
    instrument.setParameter(12, 1.0f);
    hostRequests.clear();
    render(512);
    EXPECT_EQ(hostRequests, std::vector<std::int32_t>{audioMasterGetTime});
    EXPECT_EQ(engine().filter().lfoRate(), 32);
}

TEST_F(InstrumentAudio, TheLfoRestartIsScheduledAtTheBarLineInsideTheBlock) {
    VstTimeInfo time = hostTransport(120.0, 3.5);
    hostTime = &time;
    instrument.setParameter(13, 0.6f);
    instrument.setParameter(12, 1.0f);
    render(512);
    EXPECT_EQ(engine().filter().restartCountdown(), -1);
    render(16384);
    EXPECT_EQ(engine().filter().restartCountdown(), 11024);
}

TEST_F(InstrumentAudio, WithoutATimeAnswerOrWithANonsenseTempoTheRateStays) {
    instrument.setParameter(10, 0.2f);
    instrument.setParameter(12, 1.0f);
    render(64);
    EXPECT_EQ(engine().filter().lfoRate(), 20);
    for (double tempo : {0.0, -90.0, std::nan("")}) {
        VstTimeInfo time = hostTransport(tempo, 3.9);
        hostTime = &time;
        render(64);
        EXPECT_EQ(engine().filter().lfoRate(), 20) << tempo;
    }
}

TEST_F(InstrumentAudio, MissingOrEmptyOutputBuffersAreSurvived) {
    float one[8] = {};
    float* none[2] = {nullptr, nullptr};
    instrument.processReplacing(nullptr, none, 8);
    instrument.processReplacing(nullptr, nullptr, 8);
    float* outputs[2] = {one, one};
    instrument.processReplacing(nullptr, outputs, 0);
    instrument.processReplacing(nullptr, outputs, -4);
    send({midi(0, 0x90, 36, 127)});
    float* onlyFirst[2] = {one, nullptr};
    instrument.processReplacing(nullptr, onlyFirst, 8);
    EXPECT_EQ(one[7], 1.0f / 16.0f);
}

TEST_F(InstrumentAudio, AListLargerThanThePreparedStorageLosesNoEvent) {
    std::vector<VstMidiEvent> crowd(3000, midi(0, 0xB0, 1, 64));
    crowd.back() = midi(5, 0x90, 43, 127);
    EXPECT_EQ(send(crowd), 1);
    const std::vector<float> block = render(8);
    EXPECT_EQ(block[4], 0.0f);
    EXPECT_EQ(block[5], 8.0f / 16.0f);
}
