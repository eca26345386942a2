#include "instrument/Instrument.h"
#include "plugin/EditorBase.h"

#include <gtest/gtest.h>

#include <cmath>

#include <cstring>
#include <vector>

namespace {

struct Call {
    std::int32_t opcode;
    std::int32_t index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

std::vector<Call> calls;
VstIntPtr nextAnswer = 0;

VstIntPtr VSTCALL recordingHost(AEffect*, std::int32_t opcode, std::int32_t index, VstIntPtr value, void* ptr,
                                float opt) {
    calls.push_back({opcode, index, value, ptr, opt});
    return nextAnswer;
}

class RecordingEditor : public EditorBase {
public:
    using EditorBase::EditorBase;
    int onKeyDown(VstKeyCode& key) override {
        lastKey = key;
        return 7;
    }
    int getRect(ERect** rect) override {
        *rect = &area;
        return 1;
    }
    VstKeyCode lastKey{};
    ERect area{0, 0, 100, 250};
};

class EffectBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        calls.clear();
        nextAnswer = 0;
    }
    VstIntPtr dispatch(std::int32_t opcode, std::int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    Instrument instrument{recordingHost};
    AEffect* effect = instrument.effect();
};

}  // namespace

TEST_F(EffectBaseTest, FlagSettersChangeOnlyTheirOwnBit) {
    const std::int32_t before = effect->flags;
    instrument.setVuFlag(true);
    EXPECT_EQ(effect->flags, before | effFlagsHasVu);
    instrument.setMonoFlag(false);
    EXPECT_EQ(effect->flags, (before | effFlagsHasVu) & ~effFlagsCanMono);
    instrument.setVuFlag(false);
    instrument.setMonoFlag(true);
    EXPECT_EQ(effect->flags, before);
}

TEST_F(EffectBaseTest, NotifyingAParameterSetsItThenTellsTheHost) {
    calls.clear();
    instrument.setParameterAndNotify(4, 0.25f);
    EXPECT_EQ(instrument.getParameter(4), 0.25f);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[0].index, 4);
    EXPECT_EQ(calls[0].opt, 0.25f);
}

TEST_F(EffectBaseTest, HostRequestsFallBackWhenTheHostAnswersNothing) {
    EXPECT_EQ(instrument.hostVersion(), 1);
    nextAnswer = 2400;
    EXPECT_EQ(instrument.hostVersion(), 2400);
    nextAnswer = 0;
    EXPECT_TRUE(instrument.isInputConnected(0));
    EXPECT_EQ(calls.back().opcode, audioMasterPinConnected);
    EXPECT_TRUE(instrument.isOutputConnected(1));
    EXPECT_EQ(calls.back().value, 1);
    calls.clear();
    EXPECT_FALSE(instrument.hostOpenFileSelector(nullptr));
    EXPECT_TRUE(calls.empty());
}

TEST_F(EffectBaseTest, WithoutAHostEveryRequestAnswersItsDefault) {
    Instrument alone(nullptr);
    EXPECT_EQ(alone.hostVersion(), 1);
    EXPECT_TRUE(alone.isInputConnected(0));
    EXPECT_EQ(alone.getTimeInfo(0x3E07), nullptr);
    EXPECT_FALSE(alone.hostCanDo(const_cast<char*>("sendVstEvents")));
    EXPECT_EQ(alone.hostSampleRate(), 44100.0f);
}

TEST_F(EffectBaseTest, SampleAndBlockHostQueriesAnswerTheStoredValues) {
    dispatch(effSetBlockSize, 0, 256);
    nextAnswer = 99;
    EXPECT_EQ(instrument.hostBlockSize(), 256);
    EXPECT_EQ(calls.back().opcode, audioMasterGetBlockSize);
}

TEST_F(EffectBaseTest, ValueHelpersFormatThroughTheSampleRate) {
    char text[16];
    instrument.formatDecibels(1.0f, text);
    EXPECT_STREQ(text, "0.000000");
    instrument.formatDecibels(0.0f, text);
    EXPECT_STREQ(text, "  -oo   ");
    instrument.formatHertz(0.0f, text);
    EXPECT_STREQ(text, "0.000000");
    instrument.formatHertz(441.0f, text);
    EXPECT_STREQ(text, "100.0000");
    instrument.formatMilliseconds(44100.0f, text);
    EXPECT_STREQ(text, "1000.000");
    instrument.formatInteger(42, text);
    EXPECT_STREQ(text, "     42");
}

TEST_F(EffectBaseTest, ExtendedOpcodesGiveTheInstrumentsIdentityAnswers) {
    char capability[] = "receiveVstMidiEvent";
    EXPECT_EQ(dispatch(effCanDo, 0, 0, capability), 0);
    char other[] = "receiveVstEvents";
    EXPECT_EQ(dispatch(effCanDo, 0, 0, other), 0);
    EXPECT_EQ(dispatch(effKeysRequired), 1);
    EXPECT_EQ(dispatch(effGetVstVersion), 2200);
    EXPECT_EQ(dispatch(effGetPlugCategory), 2);
    EXPECT_EQ(dispatch(effGetNumProgramCategories), 1);
    EXPECT_EQ(dispatch(effCanBeAutomated, 5), 1);
    EXPECT_EQ(dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(dispatch(effConnectInput), 1);
    EXPECT_EQ(dispatch(effConnectOutput), 1);
    EXPECT_EQ(dispatch(effGetTailSize), 0);
}

TEST_F(EffectBaseTest, IdentityStringsAreNotWritten) {
    char buffer[64];
    std::strcpy(buffer, "host text");
    for (std::int32_t opcode : {std::int32_t{effGetVendorString}, std::int32_t{effGetProductString},
                                std::int32_t{effGetEffectName}, std::int32_t{effGetErrorText}}) {
        EXPECT_EQ(dispatch(opcode, 0, 0, buffer), 0);
        EXPECT_STREQ(buffer, "host text");
    }
}

TEST_F(EffectBaseTest, BlockSizeAndRateAreStoredWithoutTheRateCheck) {
    EXPECT_EQ(dispatch(effSetBlockSizeAndSampleRate, 0, 128, nullptr, 48000.0f), 1);
    EXPECT_EQ(instrument.getBlockSize(), 128);
    EXPECT_EQ(instrument.getSampleRate(), 48000.0f);
}

TEST_F(EffectBaseTest, KeyOpcodesBuildTheKeyRecordForTheEditor) {
    // The Windows library comes with its panel; without any editor the answer is 0.
    instrument.attachEditor(nullptr);
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0x1234, nullptr, 3.7f), 0);
    auto* editor = new RecordingEditor(instrument);
    instrument.attachEditor(editor);
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0x1234, nullptr, 3.7f), 7);
    EXPECT_EQ(editor->lastKey.character, 'a');
    EXPECT_EQ(editor->lastKey.virt, 0x34);
    EXPECT_EQ(editor->lastKey.modifier, 3);
    EXPECT_EQ(dispatch(effEditKeyUp), static_cast<VstIntPtr>(-1));
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 0);
    // A modifier no integer holds carries no code (and converting it must not be undefined).
    for (float odd : {NAN, INFINITY, -1e30f, 3e9f}) {
        dispatch(effEditKeyDown, 'b', 0, nullptr, odd);
        EXPECT_EQ(editor->lastKey.modifier, 0) << odd;
    }
    dispatch(effEditKeyDown, 'b', 0, nullptr, -1.0f);
    EXPECT_EQ(editor->lastKey.modifier, 0xFF);
}

TEST_F(EffectBaseTest, EditorOpcodesReachAnAttachedEditor) {
    instrument.attachEditor(new RecordingEditor(instrument));
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 250);
    int parentWindow = 0;
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parentWindow), 0);
    EXPECT_EQ(instrument.editor()->parentWindow(), &parentWindow);
}

TEST_F(EffectBaseTest, ChunkOpcodesPassThePresetFlagFromTheIndex) {
    void* data = nullptr;
    EXPECT_EQ(dispatch(effGetChunk, 0, 0, &data), 17600);
    EXPECT_EQ(dispatch(effGetChunk, 5, 0, &data), 1100);
}
