#pragma once

#include "editor/InstrumentPanel.h"
#include "editor/PanelFiles.h"
#include "editor/PanelHost.h"
#include "gui/FrameOwner.h"
#include "lv2/Lv2Uris.h"
#include "shared/ParameterNumber.h"

#include <lv2/atom/forge.h>
#include <lv2/ui/ui.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class GuiPlatform;
class PlatformServices;

// The instrument's panel in an LV2 host's window. It knows the plug-in only through LV2: values
// arrive as port events and leave as port writes between touch gestures, each in its port's unit
// (PortScales), and the loop is the plug-in's Loop property, set with patch:Set and reported back
// on its notify port.
//
// Threads: every call comes on the host's UI thread.
class Lv2Panel final : public FrameOwner, public PanelHost {
public:
    struct Host {
        LV2UI_Write_Function write = nullptr;
        LV2UI_Controller controller = nullptr;
        const LV2_URID_Map* map = nullptr;
        void* parent = nullptr;
        const LV2UI_Resize* resize = nullptr;
        const LV2UI_Touch* touch = nullptr;
    };

    // Null when the host gives no window to show in or no URID map, or no X display is reached:
    // the host then keeps its own controls.
    static std::unique_ptr<Lv2Panel> create(const Host& host, GuiPlatform* platform, PlatformServices& services);
    ~Lv2Panel() override;

    void* widget() const;
    void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
    void idle() override;

    float parameterValue(std::int32_t parameter) override;
    void setFromPanel(std::int32_t parameter, float value) override;
    void setUnannounced(std::int32_t parameter, float value) override { setFromPanel(parameter, value); }
    void beginGesture(std::int32_t parameter) override;
    void endGesture(std::int32_t parameter) override;
    // The host's UI loop runs its own idle once the drag lets go.
    void idleHost() override {}
    void chooseLoopFile(void* window) override;
    void exportGroove(void* window) override;
    void collectChoice() override;
    void abandonChoice() override;

private:
    Lv2Panel(const Host& host, GuiPlatform& platform, PlatformServices& services);

    void beginEdit(std::int32_t tag) override { panel.beginEdit(tag); }
    void endEdit(std::int32_t tag) override { panel.endEdit(tag); }
    void showPendingChanges() override { panel.showPendingChanges(); }
    void hostIdle() override {}
    void touch(std::int32_t parameter, bool grabbed);
    // Writes a patch message about the Loop property to the control port: a Get, or a Set when
    // `path` is given.
    void sendLoopMessage(const char* path);
    void takeReport(const LV2_Atom& atom, std::uint32_t size);
    void saveGrooveTo(const char* path);

    Host host;
    PlatformServices& services;
    Lv2Uris uris;
    LV2_URID eventTransfer;
    LV2_Atom_Forge forge;
    std::array<float, Parameter::count> values{};
    // The loop the plug-in last reported, empty before any.
    std::string loopPath;
    PanelFiles::Choice choice;
    InstrumentPanel panel;
};
