#include "InstrumentFixture.h"
#include "instrument/ParameterTable.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

// Instruments that are given hostile parameter values, one at a time, and compared with a fresh one.
class HostileValues : public InstrumentFixture {
protected:
    std::string loopPath = writeLoopFile(dir, "eight.rex", eightSliceLoop(8192));

    // The default program with the loop and the given filter switch, plus one value of choice.
    ProgramRecord programWith(float filterOn, std::int32_t index, float value) const {
        ProgramRecord record;
        ParameterTable::fillDefaults(record);
        std::strcpy(record.path, loopPath.c_str());
        record.values[ParameterTable::slotOf(Parameter::filterOn)] = filterOn;
        record.values[ParameterTable::slotOf(index)] = value;
        return record;
    }

    static std::vector<float> play(Instrument& target, std::int32_t frames) {
        std::vector<float> mono(static_cast<std::size_t>(frames)), copy(mono.size());
        float* outputs[2] = {mono.data(), copy.data()};
        target.processReplacing(nullptr, outputs, frames);
        return mono;
    }

    static void strike(Instrument& target) {
        VstMidiEvent note = midi(0, 0x90, 38, 127);
        VstEvent* entry = reinterpret_cast<VstEvent*>(&note);
        std::vector<unsigned char> memory(sizeof(VstEvents) + sizeof entry);
        auto* list = reinterpret_cast<VstEvents*>(memory.data());
        list->numEvents = 1;
        list->events[0] = entry;
        target.processEvents(list);
    }
};

}  // namespace

// Whether a value arrives through setParameter or a restored program, with the filter on or off:
// every sample stays finite, and once a finite value returns the instrument sounds as a fresh one.
TEST_F(HostileValues, NoValueSilencesTheInstrumentOrLeavesATrace) {
    const float hostile[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 1e-40f, -1e-40f, FLT_MAX, 1e6f};
    for (float filterOn : {0.0f, 1.0f}) {
        Instrument fresh(host, platform);
        ProgramRecord plain = programWith(filterOn, Parameter::pitch, 0.5f);
        fresh.setChunk(&plain, Instrument::presetChunkSize, true);
        strike(fresh);
        const std::vector<float> reference = play(fresh, 1024);
        ASSERT_NE(reference[1000], 0.0f);

        for (std::int32_t index : ParameterTable::appliedOrder) {
            const float finite = plain.values[ParameterTable::slotOf(index)];
            for (float value : hostile) {
                for (bool throughProgram : {false, true}) {
                    Instrument target(host, platform);
                    ProgramRecord record = programWith(filterOn, index, throughProgram ? value : finite);
                    target.setChunk(&record, Instrument::presetChunkSize, true);
                    if (!throughProgram) target.setParameter(index, value);
                    strike(target);
                    bool finiteSound = true;
                    float peak = 0.0f;
                    for (int block = 0; block < 4; ++block) {
                        for (float sample : play(target, 1024)) {
                            finiteSound = finiteSound && std::isfinite(sample);
                            peak = std::max(peak, std::fabs(sample));
                        }
                    }
                    EXPECT_TRUE(finiteSound) << "parameter " << index << " at " << value;
                    // One voice of a loop within +-1 plays no louder than the loop without the filter.
                    if (filterOn == 0.0f) {
                        EXPECT_LE(peak, 1.0f) << "parameter " << index << " at " << value;
                    }

                    target.setParameter(index, finite);
                    InputFile again(loopPath.c_str());
                    target.loadLoop(again);  // stops every voice
                    for (int block = 0; block < 4; ++block) play(target, 8192);
                    strike(target);
                    EXPECT_EQ(play(target, 1024), reference) << "parameter " << index << " at " << value;
                }
            }
        }
    }
}
