#include "engine/SliceEngine.h"

#include "EngineTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

using engine_test::bend;
using engine_test::makeSlice;
using engine_test::noteOff;
using engine_test::noteOn;
using engine_test::ramp;
using engine_test::send;

namespace {

class SliceEngineTest : public ::testing::Test {
protected:
    // Slices on notes 36 upward, as a loaded loop has them; each is a slow ramp so that every frame differs.
    void load(int slices = 8, uint32_t length = 4000) {
        for (int i = 0; i < slices; ++i) {
            engine.addSlice(
                makeSlice(ramp(length, 0.0001f * static_cast<float>(i + 1)), 1, static_cast<uint16_t>(36 + i)));
        }
    }

    std::vector<float> render(int32_t frames, float prefill = 0.0f) {
        std::vector<float> block(static_cast<size_t>(std::max(frames, 0)) + 1, prefill);
        float* outputs[] = {block.data(), nullptr};
        engine.render(outputs, frames);
        return block;
    }

    uint8_t heldNote(uint32_t voice) const { return engine.voice(voice).note(); }

    SliceEngine engine;
};

}  // namespace

TEST_F(SliceEngineTest, NinthNoteWithoutNoteOffTakesVoiceZero) {
    load();
    for (uint8_t i = 0; i < 9; ++i) {
        send(engine, {noteOn(static_cast<uint8_t>(36 + i))});
    }
    EXPECT_EQ(heldNote(0), 44);
    EXPECT_EQ(heldNote(7), 43);
    EXPECT_EQ(engine.pickVoice(), &engine.voice(0));
}

TEST_F(SliceEngineTest, DecayAndReleaseReachTheVoiceAsAtLeastFiveMilliseconds) {
    load();
    engine.setAttack(0.0f);
    engine.setDecay(0.0f);
    engine.setSustain(0.4f);
    engine.setRelease(0.002f);
    send(engine, {noteOn(36)});
    const AmpEnvelope& envelope = engine.voice(0).envelope();
    EXPECT_EQ(envelope.attackTime(), 0.0f);
    EXPECT_EQ(envelope.decayTime(), 0.005f);
    EXPECT_EQ(envelope.sustainLevel(), 0.4f);
    EXPECT_EQ(envelope.releaseTime(), 0.005f);
}

TEST_F(SliceEngineTest, NoteOnPlaysAlikeOnEveryChannel) {
    load();
    send(engine, {noteOn(37, 100, 5)});
    const std::vector<float> channel1 = render(64);
    engine.clearBank();
    load();
    send(engine, {EngineEvent{0x93, 37, 100, 5.0}});
    EXPECT_EQ(render(64), channel1);
    EXPECT_NE(channel1[40], 0.0f);
}

TEST_F(SliceEngineTest, NoteStartsAtItsDeltaFrame) {
    load();
    send(engine, {noteOn(38, 127, 20)});
    const std::vector<float> block = render(64);
    EXPECT_EQ(block[20], 0.0f);
    EXPECT_EQ(block[19], 0.0f);
    EXPECT_FLOAT_EQ(block[21], 0.0003f);
}

TEST_F(SliceEngineTest, VelocityZeroReleasesOnlyTheFirstVoiceHoldingTheNote) {
    load();
    for (uint8_t note : {36, 37, 40, 38, 39, 40}) {
        send(engine, {noteOn(note)});
    }
    send(engine, {noteOn(40, 0)});
    EXPECT_EQ(heldNote(2), SliceVoice::noNote);
    EXPECT_EQ(heldNote(5), 40);
    send(engine, {noteOn(40), noteOff(40)});
    EXPECT_EQ(heldNote(5), SliceVoice::noNote);
    EXPECT_EQ(heldNote(6), SliceVoice::noNote);
    EXPECT_EQ(heldNote(0), 36);
}

TEST_F(SliceEngineTest, NoteOffStartsTheReleaseAtItsDeltaFrame) {
    load();
    engine.setSustain(1.0f);
    engine.setRelease(0.01f);
    send(engine, {noteOn(36), noteOff(36, 30)});
    render(64);
    EXPECT_EQ(engine.voice(0).envelope().state(), AmpEnvelope::State::Release);
    EXPECT_EQ(engine.voice(0).envelope().counter(), 34u);
}

TEST_F(SliceEngineTest, NoteOffWithADeltaBeforeTheBlockReleasesAtItsFirstFrame) {
    load();
    send(engine, {noteOn(36), noteOff(36, -3.0)});
    EXPECT_EQ(engine.voice(0).pendingRelease(), 0);
    send(engine, {noteOn(37), noteOff(37, std::numeric_limits<double>::quiet_NaN())});
    EXPECT_EQ(engine.voice(1).pendingRelease(), 0);
}

TEST_F(SliceEngineTest, BendValuesSpanAnOctaveEachWay) {
    const std::vector<std::pair<EngineEvent, int16_t>> cases{
        {bend(0, 64), 0}, {bend(0, 0), -1200}, {bend(127, 127), 1199}, {bend(0, 96), 600}};
    for (const auto& [event, cents] : cases) {
        send(engine, {event});
        EXPECT_EQ(engine.bank().bendCents(), cents);
    }
}

TEST_F(SliceEngineTest, BendActsOnSoundingVoicesFromTheNextBlock) {
    engine.addSlice(makeSlice(ramp(100)));
    engine.setSustain(1.0f);
    send(engine, {noteOn(60)});
    EXPECT_EQ(render(4)[3], 3.0f);
    send(engine, {bend(0, 96)});
    EXPECT_EQ(render(4)[3], 8.0f);  // 4 + 3 steps of 1.41421
}

TEST_F(SliceEngineTest, ControllersLeaveTheSoundUnchanged) {
    load();
    send(engine, {noteOn(36), noteOn(41)});
    const std::vector<float> plain = render(256);
    engine.clearBank();
    load();
    send(engine, {noteOn(36), EngineEvent{0xB0, 7, 20, 0.0}, EngineEvent{0xB5, 10, 127, 0.0},
                  EngineEvent{0xB0, 1, 90, 0.0}, noteOn(41)});
    EXPECT_EQ(render(256), plain);
    EXPECT_FLOAT_EQ(engine.volume(), 20 * 0.007874016f);
    EXPECT_EQ(engine.panPosition(), 63);
    EXPECT_EQ(engine.panGains().left, 0.0f);
}

TEST_F(SliceEngineTest, EmptyBankRendersNothingAndLeavesTheFilterAlone) {
    engine.setFilterOn(true);
    send(engine, {noteOn(36)});
    const std::vector<float> block = render(64, 0.25f);
    EXPECT_EQ(block, std::vector<float>(65, 0.25f));
    EXPECT_EQ(engine.filter().lfoCountdown(), 0);
    EXPECT_FALSE(engine.voice(0).isActive());
}

TEST_F(SliceEngineTest, NoFramesOrNoBufferWritesNothing) {
    load();
    engine.setFilterOn(true);
    send(engine, {noteOn(36)});
    EXPECT_EQ(render(0, 0.25f)[0], 0.25f);
    EXPECT_EQ(render(-64, 0.25f)[0], 0.25f);
    float* noChannels[] = {nullptr};
    engine.render(noChannels, 64);
    engine.render(nullptr, 64);
    EXPECT_EQ(engine.filter().lfoCountdown(), 0);
}

TEST_F(SliceEngineTest, FilterRunsOverTheWholeMixWhenOn) {
    load();
    send(engine, {noteOn(36), noteOn(40, 90, 7)});
    std::vector<float> expected = render(128);
    ResonantFilter reference(44100);
    for (ResonantFilter* filter : {&reference, &engine.filter()}) {
        filter->setFrequency(0.3f);
        filter->setResonance(0.4f);
    }
    reference.render(expected.data(), 128);

    engine.clearBank();
    load();
    engine.setFilterOn(true);
    send(engine, {noteOn(36), noteOn(40, 90, 7)});
    EXPECT_EQ(render(128), expected);
}

TEST_F(SliceEngineTest, ClearBankSilencesEveryVoiceAndTheNextLoopPlays) {
    load();
    send(engine, {noteOn(36), noteOn(37)});
    render(32);
    engine.clearBank();
    EXPECT_EQ(engine.bank().count(), 0);
    EXPECT_EQ(engine.heldEventCount(), 0u);
    for (uint32_t i = 0; i < SliceEngine::voiceCount; ++i) {
        EXPECT_FALSE(engine.voice(i).isActive());
    }
    load(1);
    engine.setSustain(1.0f);
    send(engine, {noteOn(36)});
    EXPECT_FLOAT_EQ(render(4)[3], 0.0003f);
}

TEST_F(SliceEngineTest, HandledRecordsGoBackAtOnceAndTheListIsHeldUntilTheNext) {
    load();
    send(engine, {noteOn(36), noteOn(37), bend(0, 64)});
    EXPECT_EQ(engine.heldEventCount(), 3u);
    EXPECT_EQ(engine.eventPool().freeEvents(), EngineEventPool::eventCapacity);
    EXPECT_EQ(engine.eventPool().freeListSlots(), EngineEventPool::listSlots - 1);
    send(engine, {noteOff(36)});
    EXPECT_EQ(engine.eventPool().freeListSlots(), EngineEventPool::listSlots - 1);
    engine.clearBank();
    EXPECT_EQ(engine.eventPool().freeListSlots(), EngineEventPool::listSlots);
}

TEST_F(SliceEngineTest, ListsAndRecordsFromTheHeapAreTakenOverToo) {
    load();
    auto** list = new EngineEvent* [3] {
        new EngineEvent{0x90, 36, 127, 0.0}, nullptr, new EngineEvent { 0x42, 0, 0, 0.0 }
    };
    engine.handleEvents(list, 3);
    EXPECT_TRUE(engine.voice(0).isActive());
    engine.handleEvents(nullptr, 5);
    EXPECT_EQ(engine.heldEventCount(), 0u);
}

TEST_F(SliceEngineTest, BankHoldsAt256SlicesThroughTheEngine) {
    load(256, 1);
    EXPECT_EQ(engine.addSlice(makeSlice({1.0f})), 256);
}
