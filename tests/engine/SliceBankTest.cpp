#include "engine/SliceBank.h"

#include "EngineTestData.h"

#include <gtest/gtest.h>

#include <limits>

using engine_test::CountedSlice;
using engine_test::makeSlice;

TEST(SliceBank, StartsEmptyWithoutBend) {
    const SliceBank bank;
    EXPECT_EQ(bank.count(), 0);
    EXPECT_EQ(bank.bendCents(), 0);
    EXPECT_EQ(bank.sliceForNote(0), nullptr);
    EXPECT_EQ(bank.sliceForNote(60), nullptr);
}

TEST(SliceBank, PitchTableHoldsOneRatioPerCent) {
    const SliceBank bank;
    EXPECT_EQ(bank.pitchTableEntry(4800), 0.5f);
    EXPECT_EQ(bank.pitchTableEntry(6000), 1.0f);
    EXPECT_EQ(bank.pitchTableEntry(7200), 2.0f);
    EXPECT_EQ(bank.pitchTableEntry(0), 0.03125f);
    EXPECT_NEAR(bank.pitchTableEntry(6100), 1.059463f, 1e-6f);
    EXPECT_NEAR(bank.pitchTableEntry(11999), 31.98f, 0.01f);
}

TEST(SliceBank, PitchRatioAddsTheBendInForce) {
    SliceBank bank;
    EXPECT_EQ(bank.pitchRatio(-1200), 0.5f);
    bank.setBendCents(1200);
    EXPECT_EQ(bank.pitchRatio(0), 2.0f);
    EXPECT_EQ(bank.pitchRatio(-1200), 1.0f);
}

TEST(SliceBank, PitchRatioStaysInsideTheTableWhateverBendAndShift) {
    SliceBank bank;
    bank.setBendCents(std::numeric_limits<int16_t>::max());
    EXPECT_EQ(bank.pitchRatio(std::numeric_limits<int32_t>::max()), bank.pitchTableEntry(11999));
    bank.setBendCents(std::numeric_limits<int16_t>::min());
    EXPECT_EQ(bank.pitchRatio(std::numeric_limits<int32_t>::min()), bank.pitchTableEntry(0));
    EXPECT_EQ(bank.pitchRatio(0), bank.pitchTableEntry(0));
}

TEST(SliceBank, AddSliceAnswersTheNewCount) {
    SliceBank bank;
    EXPECT_EQ(bank.addSlice(makeSlice({0.0f})), 1);
    EXPECT_EQ(bank.addSlice(makeSlice({0.0f})), 2);
}

TEST(SliceBank, SlicesWithoutNoteAreNumberedFrom60) {
    SliceBank bank;
    for (int i = 0; i < 3; ++i) {
        bank.addSlice(makeSlice({0.0f}));
    }
    EXPECT_EQ(bank.slice(0)->note(), 60);
    EXPECT_EQ(bank.slice(1)->note(), 61);
    EXPECT_EQ(bank.slice(2)->note(), 62);
}

TEST(SliceBank, AddingCentresTheSliceAndClearsShiftAndReverse) {
    SliceBank bank;
    Slice* slice = makeSlice({0.0f});
    slice->setPan(63);
    slice->setCentsShift(300);
    slice->setReverse(true);
    bank.addSlice(slice);
    EXPECT_EQ(slice->panPosition(), 0);
    EXPECT_NEAR(slice->leftGain(), 0.70272f, 1e-5f);
    EXPECT_EQ(slice->centsShift(), 0);
    EXPECT_FALSE(slice->isReverse());
}

TEST(SliceBank, NoteLookupTakesTheFirstSliceAtOrAboveTheNoteElseTheLast) {
    SliceBank bank;
    for (uint16_t note : {36, 37, 38}) {
        bank.addSlice(makeSlice({0.0f}, 1, note));
    }
    EXPECT_EQ(bank.sliceForNote(20), bank.slice(0));
    EXPECT_EQ(bank.sliceForNote(37), bank.slice(1));
    EXPECT_EQ(bank.sliceForNote(100), bank.slice(2));
}

TEST(SliceBank, NoteLookupFollowsBankOrderNotNoteOrder) {
    SliceBank bank;
    for (uint16_t note : {40, 38, 45}) {
        bank.addSlice(makeSlice({0.0f}, 1, note));
    }
    EXPECT_EQ(bank.sliceForNote(39)->note(), 40);
    EXPECT_EQ(bank.sliceForNote(38)->note(), 40);
    EXPECT_EQ(bank.sliceForNote(41)->note(), 45);
}

TEST(SliceBank, HoldsAt256SlicesAndDestroysAnyFurtherOne) {
    CountedSlice::destroyed = 0;
    {
        SliceBank bank;
        for (int i = 0; i < SliceBank::capacity; ++i) {
            bank.addSlice(new CountedSlice(static_cast<uint16_t>(i)));
        }
        EXPECT_EQ(bank.addSlice(new CountedSlice(999)), 256);
        EXPECT_EQ(bank.count(), 256);
        EXPECT_EQ(CountedSlice::destroyed, 1);
        EXPECT_EQ(bank.sliceForNote(999)->note(), 255);
        EXPECT_EQ(bank.addSlice(nullptr), 256);
    }
    EXPECT_EQ(CountedSlice::destroyed, 257);
}

TEST(SliceBank, ClearingDestroysEverySliceButKeepsTheBend) {
    CountedSlice::destroyed = 0;
    SliceBank bank;
    bank.addSlice(new CountedSlice(36));
    bank.addSlice(new CountedSlice(37));
    bank.setBendCents(-300);
    bank.clearSlices();
    EXPECT_EQ(bank.count(), 0);
    EXPECT_EQ(CountedSlice::destroyed, 2);
    EXPECT_EQ(bank.bendCents(), -300);
    EXPECT_EQ(bank.sliceForNote(36), nullptr);
}
