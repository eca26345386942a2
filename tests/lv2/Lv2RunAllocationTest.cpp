// The LV2 run keeps the real-time promise the bundle makes (lv2:hardRTCapable): a block with notes,
// a transport position, control changes, a loop request and a reply reaches the heap not once.
#include "CountingAllocator.h"
#include "UridTable.h"
#include "VariedLoop.h"
#include "instrument/ParameterTable.h"
#include "lv2/Lv2Identity.h"
#include "lv2/Lv2Instrument.h"

#include <gtest/gtest.h>
#include <lv2/atom/forge.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/time/time.h>

#include <array>
#include <string>
#include <vector>

namespace {

struct LoopToRestore {
    std::string path;
    LV2_URID pathType;
};

const void* retrieveLoop(LV2_State_Handle handle, std::uint32_t, std::size_t* size, std::uint32_t* type,
                         std::uint32_t* flags) {
    const auto& loop = *static_cast<LoopToRestore*>(handle);
    *size = loop.path.size() + 1;
    *type = loop.pathType;
    *flags = 0;
    return loop.path.c_str();
}

// Takes the request and leaves the loading to nobody: only the audio side is measured.
LV2_Worker_Status acceptWork(LV2_Worker_Schedule_Handle handle, std::uint32_t, const void*) {
    ++*static_cast<int*>(handle);
    return LV2_WORKER_SUCCESS;
}

}  // namespace

TEST(Lv2Run, NeverAllocates) {
    TempDir dir;
    UridTable map;
    int requests = 0;
    LV2_Worker_Schedule schedule{&requests, acceptWork};
    const LV2_Feature mapFeature = {LV2_URID__map, &map.feature};
    const LV2_Feature workerFeature = {LV2_WORKER__schedule, &schedule};
    const LV2_Feature* features[] = {&mapFeature, &workerFeature, nullptr};
    auto plugin = Lv2Instrument::create(44100.0, features);
    ASSERT_NE(plugin, nullptr);
    LoopToRestore loop{writeVariedLoop(dir, "loop.rex"), map(LV2_ATOM__Path)};
    const LV2_Feature* none[] = {nullptr};
    ASSERT_EQ(plugin->restore(retrieveLoop, &loop, none), LV2_STATE_SUCCESS);

    std::vector<std::uint64_t> input(512), output(512);
    std::array<float, Lv2Instrument::parameterPorts> controls{};
    std::vector<float> left(256), right(256);
    for (std::uint32_t slot = 0; slot < controls.size(); ++slot) {
        plugin->connectPort(Lv2Identity::firstParameterPort + slot, &controls[slot]);
    }
    plugin->connectPort(Lv2Identity::controlPort, input.data());
    plugin->connectPort(Lv2Identity::notifyPort, output.data());
    plugin->connectPort(Lv2Identity::leftOutPort, left.data());
    plugin->connectPort(Lv2Identity::rightOutPort, right.data());
    plugin->activate();

    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map.feature);
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(input.data()), input.size() * 8);
    LV2_Atom_Forge_Frame sequence, object;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    const std::uint8_t note[3] = {0x90, 37, 100};
    lv2_atom_forge_frame_time(&forge, 4);
    lv2_atom_forge_atom(&forge, 3, map(LV2_MIDI__MidiEvent));
    lv2_atom_forge_write(&forge, note, 3);
    lv2_atom_forge_frame_time(&forge, 0);
    lv2_atom_forge_object(&forge, &object, 0, map(LV2_TIME__Position));
    lv2_atom_forge_key(&forge, map(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&forge, 128.0f);
    lv2_atom_forge_key(&forge, map(LV2_TIME__barBeat));
    lv2_atom_forge_float(&forge, 3.9f);
    lv2_atom_forge_pop(&forge, &object);
    lv2_atom_forge_frame_time(&forge, 8);
    lv2_atom_forge_object(&forge, &object, 0, map(LV2_PATCH__Set));
    lv2_atom_forge_key(&forge, map(LV2_PATCH__property));
    lv2_atom_forge_urid(&forge, map(Lv2Identity::loopPropertyUri));
    lv2_atom_forge_key(&forge, map(LV2_PATCH__value));
    lv2_atom_forge_path(&forge, loop.path.c_str(), static_cast<std::uint32_t>(loop.path.size()));
    lv2_atom_forge_pop(&forge, &object);
    lv2_atom_forge_pop(&forge, &sequence);
    controls.fill(1.0f);
    reinterpret_cast<LV2_Atom*>(output.data())->size = static_cast<std::uint32_t>(output.size() * 8 - 8);

    const long before = globalAllocationCount();
    plugin->run(256);
    EXPECT_EQ(globalAllocationCount(), before);
    EXPECT_EQ(requests, 1);
    // The reply naming the restored loop went out in that block.
    EXPECT_GT(reinterpret_cast<const LV2_Atom*>(output.data())->size, sizeof(LV2_Atom_Sequence_Body));
    EXPECT_NE(left, std::vector<float>(left.size(), 0.0f));
}
