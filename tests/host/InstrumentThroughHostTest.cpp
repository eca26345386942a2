#include "HostFixture.h"
#include "LoopFiles.h"
#include "instrument/ProgramRecord.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

// A pattern in the upper half of a pointer-sized value: bits a 32-bit field would lose.
const VstIntPtr highBits = static_cast<VstIntPtr>(~std::uintptr_t{0} << (4 * sizeof(std::uintptr_t)));

class InstrumentThroughHost : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        loopPath = writeLoopFile(dir, "eight.rex", eightSliceLoop(1024));
    }

    // Loads a loop the way a host restores a preset: a chunk whose record names the file.
    void loadThroughPreset(const std::string& path, float sustain = 1.0f) {
        ProgramRecord record{};
        std::strncpy(record.path, path.c_str(), sizeof record.path - 1);
        const float values[13] = {0.5f, 0, 1, sustain, 0, 1, 0, 0, 0, 0.5f, 0, 0, 0};
        std::memcpy(record.values, values, sizeof values);
        ASSERT_EQ(host->dispatch(effSetChunk, 1, sizeof record, &record), 1100);
    }

    std::vector<float> block(std::int32_t frames) {
        left.assign(static_cast<std::size_t>(frames), 9.0f);
        right.assign(static_cast<std::size_t>(frames), 9.0f);
        float* outputs[2] = {left.data(), right.data()};
        host->processReplacing(outputs, frames);
        return left;
    }

    static bool isOrdinary(float sample) {
        return std::isfinite(sample) && (sample == 0.0f || std::fabs(sample) >= 1.17549435e-38f);
    }

    TempDir dir;
    std::string loopPath;
    std::vector<float> left;
    std::vector<float> right;
};

}  // namespace

TEST_F(InstrumentThroughHost, ANoteSoundsAtItsDeltaFrameOnBothOutputs) {
    loadThroughPreset(loopPath);
    std::vector<VstMidiEvent> events = {EventList::midiEvent(10, 0x90, 38, 127)};
    EXPECT_EQ(host->sendEvents(events), 1);
    const std::vector<float> sound = block(32);
    EXPECT_EQ(sound[9], 0.0f);
    EXPECT_EQ(sound[10], 3.0f / 16.0f);
    EXPECT_EQ(sound[31], 3.0f / 16.0f);
    EXPECT_EQ(left, right);
}

TEST_F(InstrumentThroughHost, ChunksRoundTripByteForByte) {
    host->dispatch(effSetProgram, 0, 3);
    loadThroughPreset(loopPath, 0.625f);
    char name[] = "Breakbeat";
    host->dispatch(effSetProgramName, 0, 0, name);

    void* data = nullptr;
    ASSERT_EQ(host->dispatch(effGetChunk, 0, 0, &data), 17600);
    const std::vector<unsigned char> bank(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + 17600);
    ASSERT_EQ(host->dispatch(effGetChunk, 1, 0, &data), 1100);
    const std::vector<unsigned char> preset(static_cast<unsigned char*>(data),
                                            static_cast<unsigned char*>(data) + 1100);

    PluginHost other(library());
    ASSERT_NE(other.open(), nullptr);
    std::vector<unsigned char> copy = bank;
    EXPECT_EQ(other.dispatch(effSetChunk, 0, 17600, copy.data()), 17600);
    ASSERT_EQ(other.dispatch(effGetChunk, 0, 0, &data), 17600);
    EXPECT_EQ(std::memcmp(data, bank.data(), 17600), 0);

    other.dispatch(effSetProgram, 0, 3);
    ASSERT_EQ(other.dispatch(effGetChunk, 1, 0, &data), 1100);
    EXPECT_EQ(std::memcmp(data, preset.data(), 1100), 0);
    EXPECT_EQ(other.getParameter(3), 0.625f);
}

TEST_F(InstrumentThroughHost, SelectingAProgramReloadsItsLoopFromDisk) {
    host->dispatch(effSetProgram, 0, 1);
    loadThroughPreset(loopPath);
    host->dispatch(effSetProgram, 0, 0);

    RexLoopContent louder = eightSliceLoop(1024);
    for (float& sample : louder.samples) sample *= 2.0f;
    RexFileWriter::forLoop(louder).write(loopPath);
    host->dispatch(effSetProgram, 0, 1);

    std::vector<VstMidiEvent> events = {EventList::midiEvent(0, 0x90, 36, 127)};
    host->sendEvents(events);
    EXPECT_EQ(block(8)[4], 2.0f / 16.0f);
}

TEST_F(InstrumentThroughHost, AFailedLoadLeavesSilenceAndAWorkingInstrument) {
    loadThroughPreset(loopPath);
    const std::string broken = dir.file("broken.rex");
    std::ofstream(broken, std::ios::binary) << "FORM\0\0\0\4AIFC";
    loadThroughPreset(broken);
    std::vector<VstMidiEvent> events = {EventList::midiEvent(0, 0x90, 36, 127)};
    EXPECT_EQ(host->sendEvents(events), 1);
    for (float sample : block(64)) EXPECT_EQ(sample, 0.0f);

    loadThroughPreset(loopPath);
    host->sendEvents(events);
    EXPECT_EQ(block(8)[0], 1.0f / 16.0f);
}

TEST_F(InstrumentThroughHost, AWavLoopPlaysEachHitOnItsOwnNote) {
    const HitLoop loop;
    loadThroughPreset(writeBytes(dir, "hits.wav", loop.bytes()));
    for (std::size_t i = 0; i < loop.hits.size(); ++i) {
        std::vector<VstMidiEvent> events = {EventList::midiEvent(0, 0x90, static_cast<int>(36 + i), 127)};
        host->sendEvents(events);
        std::vector<float> expected = loop.slice(i);
        expected.resize(expected.size() + 64, 0.0f);
        EXPECT_EQ(block(static_cast<std::int32_t>(expected.size())), expected) << "note " << 36 + i;
    }
}

TEST_F(InstrumentThroughHost, ExtendedOpcodesAnswerAsAnInstrument) {
    char capability[] = "receiveVstMidiEvent";
    EXPECT_EQ(host->dispatch(effCanDo, 0, 0, capability), 0);
    EXPECT_EQ(host->dispatch(effKeysRequired), 1);
    EXPECT_EQ(host->dispatch(effGetVstVersion), 2200);
    EXPECT_EQ(host->dispatch(effGetPlugCategory), 2);
    EXPECT_EQ(host->dispatch(effGetNumProgramCategories), 1);
    EXPECT_EQ(host->dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(host->dispatch(effSetBlockSizeAndSampleRate, 0, 256, nullptr, 44100.0f), 1);
    char vendor[16] = "unchanged";
    EXPECT_EQ(host->dispatch(effGetVendorString, 0, 0, vendor), 0);
    EXPECT_STREQ(vendor, "unchanged");
}

TEST_F(InstrumentThroughHost, TempoSyncAsksForTimeOncePerBlockOnlyWhileOn) {
    VstTimeInfo time{};
    time.tempo = 120.0;
    time.ppqPos = 3.5;
    time.flags = kVstPpqPosValid | kVstBarsValid | kVstTempoValid;
    host->timeInfo = time;
    host->forgetRequests();
    block(128);
    EXPECT_EQ(host->countRequests(audioMasterGetTime), 0u);

    host->setParameter(12, 1.0f);
    host->setParameter(13, 0.6f);
    block(128);
    block(16384);
    const auto requests = host->requests();
    ASSERT_EQ(host->countRequests(audioMasterGetTime), 2u);
    for (const auto& request : requests) {
        if (request.opcode == audioMasterGetTime) {
            EXPECT_EQ(request.value, 0x3E07);
        }
    }
}

TEST_F(InstrumentThroughHost, RealHostCallOrdersAreSurvived) {
    // Some hosts set the rate and block size before effOpen, open twice and toggle the mains around set-up.
    host->dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host->dispatch(effSetBlockSize, 0, 512);
    host->dispatch(effOpen);
    host->dispatch(effOpen);
    host->dispatch(effMainsChanged, 0, 0);
    host->dispatch(effMainsChanged, 0, 1);
    ERect* rect = nullptr;
    host->dispatch(effEditGetRect, 0, 0, &rect);
    // Hosts keep their own values in these fields, using every bit a pointer has.
    void* const user = reinterpret_cast<void*>(highBits | 0x5A5A);
    effect->user = user;
    effect->resvd1 = highBits | 0x1234;
    effect->resvd2 = -1;
    loadThroughPreset(loopPath);
    host->setParameter(8, 1.0f);
    host->setParameter(6, 1.0f);
    host->setParameter(11, 1.0f);

    // A host that splits its block at every event sends each part with its own event list.
    std::vector<float> mono(513), copy(513);
    float* outputs[2] = {mono.data(), copy.data()};
    const std::int32_t parts[] = {1, 7, 64, 513};
    bool ordinary = true;
    for (int round = 0; round < 64; ++round) {
        const std::int32_t frames = parts[round % 4];
        std::vector<VstMidiEvent> events = {EventList::midiEvent(0, 0x90, 36 + round % 8, 100 + round % 27),
                                            EventList::midiEvent(0, 0xE0, round % 128, round % 128)};
        if (round % 5 == 0) events.push_back(EventList::midiEvent(frames - 1, 0x80, 36 + (round + 4) % 8, 0));
        EXPECT_EQ(host->sendEvents(events), 1);
        host->processReplacing(outputs, frames);
        for (std::size_t i = 0; i < static_cast<std::size_t>(frames); ++i) {
            ordinary = ordinary && isOrdinary(mono[i]) && mono[i] == copy[i];
        }
    }
    EXPECT_TRUE(ordinary);
    EXPECT_EQ(effect->user, user);
    EXPECT_EQ(effect->resvd1, highBits | 0x1234);
    EXPECT_EQ(effect->resvd2, -1);
}

TEST_F(InstrumentThroughHost, NumbersWiderThanThirtyTwoBitsAreRefusedNotCut) {
    if (sizeof(VstIntPtr) == sizeof(std::int32_t)) GTEST_SKIP() << "a 32-bit host cannot send such a value";
    const auto beyond = static_cast<VstIntPtr>(std::int64_t{1} << 32);
    host->dispatch(effSetProgram, 0, 2);
    ProgramRecord record{};
    record.values[0] = 0.25f;
    std::vector<unsigned char> bank(17600, 0);
    for (VstIntPtr size : {beyond + 1100, -beyond + 1100}) {
        EXPECT_EQ(host->dispatch(effSetChunk, 1, size, &record), 0) << size;
    }
    for (VstIntPtr size : {beyond + 17600, -beyond + 17600}) {
        EXPECT_EQ(host->dispatch(effSetChunk, 0, size, bank.data()), 0) << size;
    }
    host->dispatch(effSetProgram, 0, beyond + 5);
    EXPECT_EQ(host->dispatch(effGetProgram), 2);
    EXPECT_EQ(host->getParameter(0), 0.5f);
    char name[32];
    host->dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "Init");
}

TEST_F(InstrumentThroughHost, TheFilterRingingOutNeverLeavesDenormals) {
    loadThroughPreset(loopPath);
    host->setParameter(8, 1.0f);
    host->setParameter(6, 1.0f);
    host->setParameter(5, 0.1f);
    std::vector<VstMidiEvent> events = {EventList::midiEvent(0, 0x90, 43, 127)};
    host->sendEvents(events);
    bool ordinary = true;
    for (int round = 0; round < 400; ++round) {
        for (float sample : block(512)) ordinary = ordinary && isOrdinary(sample);
    }
    EXPECT_TRUE(ordinary);
}

// A not-a-number or infinite value from automation or a project never reaches the sound, and the
// instrument plays on once finite values return.
TEST_F(InstrumentThroughHost, NonFiniteValuesNeverSilenceTheInstrument) {
    loadThroughPreset(loopPath);
    host->setParameter(8, 1.0f);
    for (std::int32_t index : {1, 3, 5, 6, 10, 11}) host->setParameter(index, NAN);
    host->setParameter(3, INFINITY);
    host->setParameter(6, -INFINITY);
    std::vector<VstMidiEvent> events = {EventList::midiEvent(0, 0x90, 38, 127)};
    host->sendEvents(events);
    bool finite = true;
    for (float sample : block(512)) finite = finite && std::isfinite(sample);
    EXPECT_TRUE(finite);
    for (std::int32_t index : {1, 5, 6, 10, 11}) host->setParameter(index, 0.5f);
    host->setParameter(3, 1.0f);
    host->sendEvents(events);
    EXPECT_NE(block(512)[511], 0.0f);
}

#ifndef _WIN32
// Opening a FIFO for reading waits for a writer; a project naming one must not hang the host.
TEST_F(InstrumentThroughHost, APresetNamingAFifoIsRefusedAtOnce) {
    const std::string fifo = dir.file("pipe.rex");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    loadThroughPreset(fifo);
    std::vector<VstMidiEvent> events = {EventList::midiEvent(0, 0x90, 36, 127)};
    host->sendEvents(events);
    EXPECT_EQ(block(64)[63], 0.0f);
}
#endif
