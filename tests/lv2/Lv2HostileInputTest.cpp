// Input a host (or whatever writes into the control port) gets wrong: every case is skipped or
// refused, and the loop that played before plays on, sample for sample.
#include "Lv2TestHost.h"
#include "VariedLoop.h"
#include "instrument/ParameterTable.h"
#include "lv2/Lv2Identity.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/time/time.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

// A control sequence written byte by byte, sizes included, so that they can lie.
class RawSequence {
public:
    explicit RawSequence(std::uint32_t unit = 0) {
        put32(0), put32(Lv2TestHost::map(LV2_ATOM__Sequence)), put32(unit), put32(0);
    }

    // An event whose body declares `declaredSize` bytes but carries `body`.
    RawSequence& event(std::int64_t frames, LV2_URID type, const std::vector<std::uint8_t>& body,
                       std::uint32_t declaredSize) {
        const auto* time = reinterpret_cast<const std::uint8_t*>(&frames);
        bytes.insert(bytes.end(), time, time + sizeof frames);
        put32(declaredSize);
        put32(type);
        bytes.insert(bytes.end(), body.begin(), body.end());
        while (bytes.size() % 8) bytes.push_back(0);
        return *this;
    }
    RawSequence& event(std::int64_t frames, LV2_URID type, const std::vector<std::uint8_t>& body) {
        return event(frames, type, body, static_cast<std::uint32_t>(body.size()));
    }
    // The sequence's own size, as written or as declared.
    std::vector<std::uint8_t> finished(std::uint32_t declaredSize = 0) const {
        std::vector<std::uint8_t> done = bytes;
        const std::uint32_t size = declaredSize ? declaredSize : static_cast<std::uint32_t>(done.size() - 8);
        std::memcpy(done.data(), &size, sizeof size);
        return done;
    }

private:
    void put32(std::uint32_t value) {
        const auto* raw = reinterpret_cast<const std::uint8_t*>(&value);
        bytes.insert(bytes.end(), raw, raw + sizeof value);
    }
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> words(std::initializer_list<std::uint32_t> values) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t value : values) {
        const auto* raw = reinterpret_cast<const std::uint8_t*>(&value);
        out.insert(out.end(), raw, raw + sizeof value);
    }
    return out;
}

const std::vector<std::uint8_t> noteOn = {0x90, 38, 110};

class Lv2HostileInput : public ::testing::Test {
protected:
    void SetUp() override {
        loop = writeVariedLoop(dir, "playing.rex");
        expected = play(nullptr);
    }

    // Loads the loop, then plays a note in a block that also carries `hostile` (when given),
    // and the blocks after it. Filter and LFO run with tempo sync on.
    std::vector<float> play(const std::function<void(Lv2TestHost&)>& hostile) {
        Lv2TestHost host;
        EXPECT_TRUE(host.ready());
        host.control(Parameter::filterOn, 1.0f);
        host.control(Parameter::filterFrequency, 1500.0f);
        host.control(Parameter::lfoAmount, 90.0f);
        host.control(Parameter::lfoSyncOn, 1.0f);
        host.setLoop(loop);
        host.run(32);
        if (hostile) {
            hostile(host);
        } else {
            host.midi(5, 0x90, 38, 110);
        }
        std::vector<float> sound;
        for (int block = 0; block < 6; ++block) {
            const std::vector<float> part = host.run(256);
            sound.insert(sound.end(), part.begin(), part.end());
        }
        logged = host.logLines;
        return sound;
    }

    TempDir dir;
    std::string loop;
    std::vector<float> expected;
    // What the last play wrote to the host's log.
    std::vector<std::string> logged;
};

}  // namespace

TEST_F(Lv2HostileInput, BadlySizedAtomsAreSkippedOrEndTheWalk) {
    ASSERT_NE(expected, std::vector<float>(expected.size(), 0.0f));
    const LV2_URID midi = Lv2TestHost::map(LV2_MIDI__MidiEvent);
    const LV2_URID unknown = Lv2TestHost::map("urn:brevatone:test:unknown");
    // Unknown event types and MIDI that is too short (a note-on without velocity would end the note),
    // too long or without a status are skipped.
    EXPECT_EQ(play([&](Lv2TestHost& host) {
                  host.rawInput(RawSequence()
                                    .event(0, unknown, {1, 2, 3, 4})
                                    .event(1, midi, {})
                                    .event(2, midi, {0x90, 38, 110, 0, 0, 0, 0})
                                    .event(3, midi, {38, 110, 0})
                                    .event(5, midi, noteOn)
                                    .event(6, midi, {0x90, 38})
                                    .finished());
              }),
              expected);
    // An event that claims more bytes than the sequence holds ends the walk; what came before counts.
    EXPECT_EQ(play([&](Lv2TestHost& host) {
                  host.rawInput(RawSequence().event(5, midi, noteOn).event(6, midi, {0x80, 38, 0}, 60000).finished());
              }),
              expected);
    // A sequence too short for its own header carries nothing; in one that declares more than was
    // written, the oversized event ends the walk before anything beyond the written bytes is read.
    for (const std::uint32_t declared : {4u, 0xFFFFFFF0u}) {
        const std::vector<float> sound = play([&](Lv2TestHost& host) {
            host.rawInput(RawSequence().event(5, midi, {0x80, 38, 0}, 0xFFFFFFF0u).finished(declared));
        });
        EXPECT_EQ(sound, std::vector<float>(sound.size(), 0.0f));
    }
}

// Hosts leave the sequence's unit as it happens to be; only beats are not frames.
TEST_F(Lv2HostileInput, ASequenceInAnyUnitButBeatsIsTimedInFrames) {
    const LV2_URID midi = Lv2TestHost::map(LV2_MIDI__MidiEvent);
    const LV2_URID beats = Lv2TestHost::map(LV2_ATOM__beatTime);
    for (const std::uint32_t unit : {0u, Lv2TestHost::map(LV2_ATOM__frameTime), 21845u, 22045u, 0xFFFFFFFFu, beats}) {
        SCOPED_TRACE(unit);
        const std::vector<float> sound =
            play([&](Lv2TestHost& host) { host.rawInput(RawSequence(unit).event(5, midi, noteOn).finished()); });
        EXPECT_EQ(sound, unit == beats ? std::vector<float>(sound.size(), 0.0f) : expected);
    }
}

TEST_F(Lv2HostileInput, PatchMessagesThatDoNotNameALoadableLoopKeepTheLoopPlaying) {
    TempDir other;
    const std::string damaged = other.file("damaged.rex");
    {
        RexFileWriter writer = RexFileWriter::forLoop(eightSliceLoop());
        writer.removeChunks("SSND");
        ASSERT_TRUE(writer.write(damaged));
    }
    const LV2_URID setType = Lv2TestHost::map(LV2_PATCH__Set);
    const LV2_URID object = Lv2TestHost::map(LV2_ATOM__Object);
    const LV2_URID property = Lv2TestHost::map(LV2_PATCH__property);
    const LV2_URID value = Lv2TestHost::map(LV2_PATCH__value);
    const LV2_URID urid = Lv2TestHost::map(LV2_ATOM__URID);
    const LV2_URID loopKey = Lv2TestHost::map(Lv2Identity::loopPropertyUri);
    const LV2_URID pathType = Lv2TestHost::map(LV2_ATOM__Path);
    const LV2_URID intType = Lv2TestHost::map(LV2_ATOM__Int);
    const LV2_URID midi = Lv2TestHost::map(LV2_MIDI__MidiEvent);

    // A damaged loop and a path longer than a program holds are refused with a line in the log, the
    // damaged one with the reader's reason.
    for (const std::string& refused : {damaged, "/" + std::string(1100, 'x') + ".rex"}) {
        EXPECT_EQ(play([&](Lv2TestHost& host) {
                      host.setLoop(refused);
                      host.midi(5, 0x90, 38, 110);
                  }),
                  expected);
        ASSERT_FALSE(logged.empty());
        EXPECT_NE(logged.back().find("earlier loop plays on"), std::string::npos) << logged.back();
        if (refused == damaged) {
            EXPECT_NE(logged.back().find("no SSND chunk"), std::string::npos) << logged.back();
        }
    }
    // A number where the path belongs; a path without its terminator; a value that runs past the object.
    const std::vector<std::vector<std::uint8_t>> bodies = {
        words({0, setType, property, 0, 4, urid, loopKey, 0, value, 0, 4, intType, 7, 0}),
        words({0, setType, property, 0, 4, urid, loopKey, 0, value, 0, 4, pathType, 0x706d742f, 0}),
        words({0, setType, property, 0, 4, urid, loopKey, 0, value, 0, 4000, pathType, 0x706d742f, 0}),
    };
    for (const auto& body : bodies) {
        EXPECT_EQ(play([&](Lv2TestHost& host) {
                      host.rawInput(RawSequence().event(0, object, body).event(5, midi, noteOn).finished());
                  }),
                  expected);
    }
}

TEST_F(Lv2HostileInput, ATransportIsReadInQuarterNotesAndIgnoredWithoutAUsableTempo) {
    for (const double tempo : {std::numeric_limits<double>::quiet_NaN(), 0.0, -120.0}) {
        SCOPED_TRACE(tempo);
        EXPECT_EQ(play([&](Lv2TestHost& host) {
                      host.position(3.0, 3.5, tempo, 1.0);
                      host.midi(5, 0x90, 38, 110);
                  }),
                  expected);
    }
    // A usable tempo does change the sound, so the cases above could have failed; counted in eighths,
    // the same place and tempo sound the same.
    const std::vector<float> inQuarters = play([&](Lv2TestHost& host) {
        host.position(3.0, 3.5, 140.0, 1.0);
        host.midi(5, 0x90, 38, 110);
    });
    EXPECT_NE(inQuarters, expected);
    EXPECT_EQ(play([&](Lv2TestHost& host) {
                  host.position(3.0, 7.0, 280.0, 1.0, 8.0f, 8);
                  host.midi(5, 0x90, 38, 110);
              }),
              inQuarters);
}
