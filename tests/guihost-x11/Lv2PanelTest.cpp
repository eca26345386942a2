// The LV2 panel as a host loads it, without lilv or suil: its descriptor from the bundle's
// library, instantiated in the native test host's X11 window, fed port events and idled.
// Before Xlib, whose Bool macro would break the atom forge.
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/patch/patch.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include "SoftwarePanel.h"
#include "X11PanelFixture.h"

#include "FakeChooser.h"
#include "LoopFiles.h"
#include "UridTable.h"
#include "instrument/ParameterTable.h"
#include "lv2/Lv2Identity.h"
#include "lv2/PortScales.h"
#include "shared/PanelLayout.h"

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct Write {
    std::uint32_t port;
    std::uint32_t protocol;
    std::vector<std::uint8_t> bytes;
    float value() const { return *reinterpret_cast<const float*>(bytes.data()); }
};

class Lv2PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.valid()) << "no X display";
        library = dlopen(BREVATONE_LV2_PANEL, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);
        EXPECT_EQ(entry(1), nullptr);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idleInterface, nullptr);
    }
    void TearDown() override {
        if (panel) descriptor->cleanup(panel);
        if (library) dlclose(library);
    }

    // The features a host offers; `withParent` false is a host that cannot embed.
    LV2UI_Handle instantiate(bool withParent = true) {
        const LV2_Feature mapFeature{LV2_URID__map, &urids.feature};
        const LV2_Feature parentFeature{LV2_UI__parent, parent.parentHandle()};
        const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        const LV2_Feature touchFeature{LV2_UI__touch, &touch};
        const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
        const LV2_Feature* features[] = {
            &mapFeature, &resizeFeature, &touchFeature, &idleFeature, withParent ? &parentFeature : nullptr, nullptr};
        LV2UI_Widget widget = nullptr;
        panel = descriptor->instantiate(descriptor, Lv2Identity::pluginUri, "", &record, this, &widget, features);
        if (panel) {
            EXPECT_EQ(widget, reinterpret_cast<LV2UI_Widget>(panelWindow()));
        }
        return panel;
    }
    // The port events a host sends when the panel opens: every control port's value, in its unit.
    void sendValues(const ProgramRecord& values) {
        for (std::uint32_t slot = 0; slot < ProgramRecord::valueCount; ++slot)
            portEvent(ParameterTable::appliedOrder[slot], values.value(slot));
    }
    void portEvent(std::int32_t parameter, float stored) {
        const std::uint32_t port = Lv2Identity::portOf(parameter);
        const float value = PortScales::shown(port - Lv2Identity::firstParameterPort, stored);
        descriptor->port_event(panel, port, sizeof value, 0, &value);
    }
    void pump(std::chrono::milliseconds duration) {
        parent.run(duration, 20ms, [this] { idleInterface->idle(panel); });
    }
    ::Window panelWindow() const {
        const std::vector<::Window> children = parent.children();
        return children.empty() ? 0 : children.front();
    }
    std::vector<Write> writesTo(std::uint32_t port) const {
        std::vector<Write> found;
        for (const Write& write : writes)
            if (write.port == port) found.push_back(write);
        return found;
    }
    // The path of the Loop property in a patch:Set written to the control port, or empty.
    std::string loopSetIn(const Write& write) {
        const auto* object = reinterpret_cast<const LV2_Atom_Object*>(write.bytes.data());
        if (write.protocol != urids(LV2_ATOM__eventTransfer) || object->body.otype != urids(LV2_PATCH__Set)) return {};
        const LV2_Atom* value = nullptr;
        lv2_atom_object_get(object, urids(LV2_PATCH__value), &value, 0);
        return value ? std::string(static_cast<const char*>(LV2_ATOM_BODY_CONST(value))) : std::string();
    }

    static void record(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
                       const void* buffer) {
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        static_cast<Lv2PanelTest*>(controller)->writes.push_back({port, protocol, {bytes, bytes + size}});
    }

    X11HostWindow parent{250, 100};
    UridTable urids;
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    LV2UI_Handle panel = nullptr;
    std::vector<Write> writes;
    std::vector<std::pair<int, int>> sizes;
    std::vector<std::pair<std::uint32_t, bool>> touches;
    LV2UI_Resize resize{this, [](LV2UI_Feature_Handle handle, int width, int height) {
                            static_cast<Lv2PanelTest*>(handle)->sizes.emplace_back(width, height);
                            return 0;
                        }};
    LV2UI_Touch touch{this, [](LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed) {
                          static_cast<Lv2PanelTest*>(handle)->touches.emplace_back(port, grabbed);
                      }};
};

}  // namespace

TEST_F(Lv2PanelTest, WithoutAParentWindowThereIsNoPanelAndTheHostKeepsItsControls) {
    EXPECT_EQ(instantiate(false), nullptr);
    EXPECT_TRUE(parent.children().empty());
}

TEST_F(Lv2PanelTest, PortEventsShowAsTheLinuxPanelShowsTheSameValuesPixelForPixel) {
    ASSERT_NE(instantiate(), nullptr);
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{250, 100}}));
    // It asks the plug-in for its loop, which comes back on the notify port.
    ASSERT_FALSE(writesTo(Lv2Identity::controlPort).empty());
    EXPECT_EQ(reinterpret_cast<const LV2_Atom_Object*>(writesTo(Lv2Identity::controlPort)[0].bytes.data())->body.otype,
              urids(LV2_PATCH__Get));

    SoftwarePanel reference;
    ProgramRecord values;
    ParameterTable::fillDefaults(values);
    sendValues(values);
    pump(200ms);
    EXPECT_EQ(X11PanelPicture::of(parent.display(), panelWindow()).pixels(), reference.pictureAfterIdle());

    // Values between the steps, the sync switch standing in for the rate, and back.
    const std::vector<std::pair<std::int32_t, float>> changes = {
        {Parameter::ampAttack, 0.3f}, {Parameter::filterFrequency, 0.25f}, {Parameter::filterMode, 0.7f},
        {Parameter::filterOn, 1.0f},  {Parameter::lfoSyncOn, 1.0f},        {Parameter::lfoSyncMode, 0.4f},
        {Parameter::lfoSyncOn, 0.0f}, {Parameter::lfoFrequency, 0.9f},     {Parameter::ampSustain, 0.55f}};
    for (const auto& [parameter, value] : changes) {
        SCOPED_TRACE(parameter);
        portEvent(parameter, value);
        // What the plug-in stores for the port value the host holds.
        const std::uint32_t slot = Lv2Identity::portOf(parameter) - Lv2Identity::firstParameterPort;
        reference.plugin().setParameter(parameter, PortScales::stored(slot, PortScales::shown(slot, value)));
        pump(60ms);
        EXPECT_EQ(X11PanelPicture::of(parent.display(), panelWindow()).pixels(), reference.pictureAfterIdle());
    }
    // Port events never echo back to the plug-in.
    for (const Write& write : writes) EXPECT_EQ(write.port, Lv2Identity::controlPort);
}

TEST_F(Lv2PanelTest, AFaderDragWritesItsPortBetweenTouchesAndTheButtonsSetAndExportTheReportedLoop) {
    TempDir dir;
    const std::string loop = writeLoopFile(dir, "loop.rex", eightSliceLoop());
    ASSERT_NE(instantiate(), nullptr);
    ProgramRecord values;
    ParameterTable::fillDefaults(values);
    sendValues(values);
    pump(200ms);

    const PanelLayout::Control& attack = PanelLayout::control(PanelLayout::attackTag);
    const int x = X11HostWindow::spotX + PanelLayout::centre(attack).x;
    const std::string drag = "xdotool mousemove " + std::to_string(x) + " " +
                             std::to_string(X11HostWindow::spotY + attack.lowestHandleTop + 3) +
                             " sleep 0.15 mousedown 1 sleep 0.15 mousemove " + std::to_string(x) + " " +
                             std::to_string(X11HostWindow::spotY + attack.highestHandleTop) + " sleep 0.3 mouseup 1";
    std::thread input([&drag] { EXPECT_EQ(std::system(drag.c_str()), 0); });
    pump(1000ms);
    input.join();
    const std::uint32_t attackPort = Lv2Identity::portOf(Parameter::ampAttack);
    const std::vector<Write> attackWrites = writesTo(attackPort);
    ASSERT_FALSE(attackWrites.empty());
    EXPECT_EQ(PortScales::stored(attackPort - Lv2Identity::firstParameterPort, attackWrites.back().value()), 1.0f);
    EXPECT_EQ(touches, (std::vector<std::pair<std::uint32_t, bool>>{{attackPort, true}, {attackPort, false}}));

    // EXPORT before the plug-in has named a loop starts no chooser; LOAD sets the chosen loop.
    const auto press = [](PanelLayout::Tag tag) {
        const PanelLayout::Point at = PanelLayout::centre(PanelLayout::control(tag));
        const std::string click = "xdotool mousemove " + std::to_string(X11HostWindow::spotX + at.x) + " " +
                                  std::to_string(X11HostWindow::spotY + at.y) + " click 1";
        EXPECT_EQ(std::system(click.c_str()), 0);
    };
    {
        FakeChooser chooser(FakeChooser::answers(dir.file("early.mid")));
        press(PanelLayout::exportTag);
        pump(300ms);
        for (const std::string& argument : chooser.arguments()) EXPECT_NE(argument, "--file-selection");
    }
    {
        FakeChooser chooser(FakeChooser::answers(loop));
        press(PanelLayout::loadTag);
        pump(600ms);
        ASSERT_TRUE(chooser.started());
        EXPECT_EQ(loopSetIn(writesTo(Lv2Identity::controlPort).back()), loop);
    }

    // The plug-in reports the loop; EXPORT writes its groove, never over the loop itself.
    alignas(LV2_Atom) std::uint8_t report[512];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &urids.feature);
    lv2_atom_forge_set_buffer(&forge, report, sizeof report);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_object(&forge, &frame, 0, urids(LV2_PATCH__Set));
    lv2_atom_forge_key(&forge, urids(LV2_PATCH__property));
    lv2_atom_forge_urid(&forge, urids(Lv2Identity::loopPropertyUri));
    lv2_atom_forge_key(&forge, urids(LV2_PATCH__value));
    lv2_atom_forge_path(&forge, loop.c_str(), static_cast<std::uint32_t>(loop.size()));
    lv2_atom_forge_pop(&forge, &frame);
    const auto* atom = reinterpret_cast<const LV2_Atom*>(report);
    descriptor->port_event(panel, Lv2Identity::notifyPort, lv2_atom_total_size(atom), urids(LV2_ATOM__eventTransfer),
                           atom);
    for (const std::string& target : {dir.file("groove.mid"), loop}) {
        FakeChooser chooser(FakeChooser::answers(target));
        press(PanelLayout::exportTag);
        pump(600ms);
        ASSERT_TRUE(chooser.started());
    }
    std::ifstream groove(dir.file("groove.mid"), std::ios::binary);
    char magic[4] = {};
    groove.read(magic, sizeof magic);
    EXPECT_EQ(std::string(magic, sizeof magic), "MThd");
    std::ifstream kept(loop, std::ios::binary);
    kept.read(magic, sizeof magic);
    EXPECT_EQ(std::string(magic, sizeof magic), "FORM");
}
