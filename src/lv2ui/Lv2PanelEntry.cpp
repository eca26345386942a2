// The LV2 UI entry points. Each one catches everything: an exception must never cross into the host.
#include "lv2/HostFeatures.h"
#include "lv2/Lv2Identity.h"
#include "lv2ui/Lv2Panel.h"
#include "platform/PlatformServices.h"
#include "platform/WindowSystem.h"

#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>

namespace {

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    try {
        Lv2Panel::Host host;
        host.write = write;
        host.controller = controller;
        host.map = static_cast<const LV2_URID_Map*>(HostFeatures::find(features, LV2_URID__map));
        host.parent = const_cast<void*>(HostFeatures::find(features, LV2_UI__parent));
        host.resize = static_cast<const LV2UI_Resize*>(HostFeatures::find(features, LV2_UI__resize));
        host.touch = static_cast<const LV2UI_Touch*>(HostFeatures::find(features, LV2_UI__touch));
        std::unique_ptr<Lv2Panel> panel = Lv2Panel::create(host, windowSystem(), systemPlatformServices());
        if (!panel || !widget) return nullptr;
        *widget = panel->widget();
        return panel.release();
    } catch (...) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) {
    try {
        delete static_cast<Lv2Panel*>(handle);
    } catch (...) {}
}

void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    try {
        static_cast<Lv2Panel*>(handle)->portEvent(port, size, format, buffer);
    } catch (...) {}
}

int idle(LV2UI_Handle handle) {
    try {
        static_cast<Lv2Panel*>(handle)->idle();
    } catch (...) {}
    return 0;
}

const LV2UI_Idle_Interface idleInterface = {idle};

const void* extensionData(const char* uri) {
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idleInterface;
    return nullptr;
}

const LV2UI_Descriptor descriptor = {Lv2Identity::panelUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
