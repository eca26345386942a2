// libFuzzer target: any bytes restored as a program or bank chunk through effSetChunk, then a few
// blocks played, must leave an instrument whose every sample is finite and within what eight voices
// through the filter at its most resonant can reach.
#include "EventList.h"
#include "FuzzFiles.h"
#include "QuietServices.h"
#include "instrument/Instrument.h"

#include <cmath>
#include <vector>

namespace {

// Eight full-scale voices through the filter's highest output gain and resonance peak.
constexpr float loudestSample = 8.0f * 10.0f * 100.0f;

VstTimeInfo hostTime{};

VstIntPtr VSTCALL host(AEffect*, std::int32_t opcode, std::int32_t, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterGetTime) {
        hostTime.samplePos += 256.0;
        hostTime.ppqPos += 256.0 / 22050.0;
        return reinterpret_cast<VstIntPtr>(&hostTime);
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::writeSharedLoop();
    hostTime.sampleRate = 44100.0;
    hostTime.tempo = 120.0;
    hostTime.timeSigNumerator = 4;
    hostTime.timeSigDenominator = 4;
    hostTime.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid;
    return 0;
}

// The first byte says preset (odd) or bank; the rest is the chunk, of whatever size it has.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    QuietServices services;
    Instrument instrument(host, services);
    AEffect* effect = instrument.effect();
    std::vector<std::uint8_t> chunk(data + 1, data + size);
    effect->dispatcher(effect, effSetChunk, data[0] & 1, static_cast<VstIntPtr>(chunk.size()), chunk.data(), 0.0f);

    std::vector<VstMidiEvent> notes;
    for (std::uint8_t i = 0; i < 8; ++i) {
        notes.push_back(EventList::midiEvent(i * 31, 0x90, static_cast<std::uint8_t>(36 + i), 127));
    }
    notes.push_back(EventList::midiEvent(200, 0xE0, 0x7F, 0x7F));
    EventList list;
    std::vector<float> left(256), right(256);
    float* outputs[2] = {left.data(), right.data()};
    for (int block = 0; block < 6; ++block) {
        if (block == 0) effect->dispatcher(effect, effProcessEvents, 0, 0, list.of(notes), 0.0f);
        effect->processReplacing(effect, nullptr, outputs, 256);
        for (float sample : left) fuzzing::require(std::isfinite(sample) && std::fabs(sample) <= loudestSample);
        fuzzing::require(left == right);
    }
    return 0;
}
