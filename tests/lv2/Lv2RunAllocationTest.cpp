// The LV2 run keeps the real-time promise the bundle makes (lv2:hardRTCapable): a block with notes,
// a transport position, control changes, a loop request and a reply reaches the heap not once.
#include "CountingAllocator.h"
#include "InProcessPorts.h"
#include "Lv2Events.h"
#include "UridTable.h"
#include "VariedLoop.h"
#include "instrument/ParameterTable.h"
#include "lv2/Lv2Instrument.h"

#include <gtest/gtest.h>
#include <lv2/atom/forge.h>
#include <lv2/time/time.h>

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

    InProcessPorts ports(*plugin, 256, 512);
    plugin->activate();

    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map.feature);
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(ports.input.data()), ports.input.size() * 8);
    LV2_Atom_Forge_Frame sequence, object;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    Lv2Events::midi(forge, map.feature, 4, 0x90, 37, 100);
    lv2_atom_forge_frame_time(&forge, 0);
    lv2_atom_forge_object(&forge, &object, 0, map(LV2_TIME__Position));
    lv2_atom_forge_key(&forge, map(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&forge, 128.0f);
    lv2_atom_forge_key(&forge, map(LV2_TIME__barBeat));
    lv2_atom_forge_float(&forge, 3.9f);
    lv2_atom_forge_pop(&forge, &object);
    Lv2Events::setLoop(forge, map.feature, 8, loop.path);
    lv2_atom_forge_pop(&forge, &sequence);
    ports.controls.fill(1.0f);
    ports.offerNotifySpace();

    const long before = globalAllocationCount();
    plugin->run(256);
    EXPECT_EQ(globalAllocationCount(), before);
    EXPECT_EQ(requests, 1);
    // The reply naming the restored loop went out in that block.
    EXPECT_GT(ports.replies().atom.size, sizeof(LV2_Atom_Sequence_Body));
    EXPECT_NE(ports.left, std::vector<float>(ports.left.size(), 0.0f));
}
