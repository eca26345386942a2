#include "lv2ui/Lv2Panel.h"

#include "gui/EditorFrame.h"
#include "loopfile/InputFile.h"
#include "loopfile/LoopReader.h"
#include "lv2/BoundedAtoms.h"
#include "lv2/Lv2Identity.h"
#include "lv2/PortScales.h"
#include "platform/PlatformServices.h"

#include <lv2/atom/util.h>

#include <cstring>

namespace {

// A path and the message around it; longer paths than the plug-in keeps it refuses anyway.
constexpr std::size_t pathCapacity = 4096;

}  // namespace

std::unique_ptr<Lv2Panel> Lv2Panel::create(const Host& host, GuiPlatform* platform, PlatformServices& services) {
    if (!host.write || !host.map || !host.parent || !platform) return nullptr;
    std::unique_ptr<Lv2Panel> made(new Lv2Panel(host, *platform, services));
    if (!made->panel.open(host.parent)) return nullptr;
    const PixelRect& area = InstrumentPanel::panelArea;
    if (host.resize) host.resize->ui_resize(host.resize->handle, area.width(), area.height());
    // The plug-in names its loop on the notify port when asked.
    made->sendLoopMessage(nullptr);
    return made;
}

Lv2Panel::Lv2Panel(const Host& lv2Host, GuiPlatform& platform, PlatformServices& platformServices)
    : FrameOwner(platform),
      host(lv2Host),
      services(platformServices),
      uris(*lv2Host.map),
      eventTransfer(lv2Host.map->map(lv2Host.map->handle, LV2_ATOM__eventTransfer)),
      forge(),
      choice(platformServices),
      panel(*this, *this) {
    lv2_atom_forge_init(&forge, const_cast<LV2_URID_Map*>(lv2Host.map));
}

Lv2Panel::~Lv2Panel() { panel.close(); }

void* Lv2Panel::widget() const { return frame() ? frame()->windowHandle() : nullptr; }

void Lv2Panel::idle() {
    if (panel.idle()) FrameOwner::idle();
}

void Lv2Panel::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    if (!buffer) return;
    if (format == 0 && size == sizeof(float)) {
        const std::int32_t parameter = Lv2Identity::parameterOf(port);
        if (parameter == Parameter::none) return;
        float portValue = 0.0f;
        std::memcpy(&portValue, buffer, sizeof portValue);
        const float stored = PortScales::stored(port - Lv2Identity::firstParameterPort, portValue);
        values[static_cast<std::size_t>(parameter)] = stored;
        panel.setParameter(parameter, stored);
    } else if (format == eventTransfer && port == Lv2Identity::notifyPort && size >= sizeof(LV2_Atom)) {
        takeReport(*static_cast<const LV2_Atom*>(buffer), size);
    }
}

void Lv2Panel::takeReport(const LV2_Atom& atom, std::uint32_t size) {
    if (atom.size > size - sizeof(LV2_Atom)) return;
    const LV2_Atom_Object* object = BoundedAtoms::object(atom, uris);
    if (!object || object->body.otype != uris.patchSet) return;
    const LV2_Atom* property = BoundedAtoms::property(*object, uris.patchProperty);
    if (!property || property->type != uris.atomUrid || property->size != sizeof(LV2_URID) ||
        reinterpret_cast<const LV2_Atom_URID*>(property)->body != uris.loop)
        return;
    if (const char* path = BoundedAtoms::path(BoundedAtoms::property(*object, uris.patchValue), uris)) loopPath = path;
}

// The reserved parameter has no port; the plug-in answers it as the VST 2 library does.
float Lv2Panel::parameterValue(std::int32_t parameter) {
    if (parameter < 0 || parameter >= Parameter::count) return 0.0f;
    return parameter == Parameter::reserved ? 1.0f : values[static_cast<std::size_t>(parameter)];
}

void Lv2Panel::setFromPanel(std::int32_t parameter, float value) {
    if (parameter < 0 || parameter >= Parameter::count || parameter == Parameter::reserved) return;
    values[static_cast<std::size_t>(parameter)] = value;
    const std::uint32_t port = Lv2Identity::portOf(parameter);
    const float portValue = PortScales::shown(port - Lv2Identity::firstParameterPort, value);
    host.write(host.controller, port, sizeof portValue, 0, &portValue);
    panel.setParameter(parameter, value);
}

void Lv2Panel::beginGesture(std::int32_t parameter) { touch(parameter, true); }
void Lv2Panel::endGesture(std::int32_t parameter) { touch(parameter, false); }

void Lv2Panel::touch(std::int32_t parameter, bool grabbed) {
    if (host.touch && parameter != Parameter::reserved)
        host.touch->touch(host.touch->handle, Lv2Identity::portOf(parameter), grabbed);
}

void Lv2Panel::sendLoopMessage(const char* path) {
    alignas(LV2_Atom) std::uint8_t message[pathCapacity + 128];
    lv2_atom_forge_set_buffer(&forge, message, sizeof message);
    LV2_Atom_Forge_Frame frame;
    const LV2_Atom_Forge_Ref object = lv2_atom_forge_object(&forge, &frame, 0, path ? uris.patchSet : uris.patchGet);
    bool written = object && lv2_atom_forge_key(&forge, uris.patchProperty) && lv2_atom_forge_urid(&forge, uris.loop);
    if (path) {
        written = written && lv2_atom_forge_key(&forge, uris.patchValue) &&
                  lv2_atom_forge_path(&forge, path, static_cast<std::uint32_t>(std::strlen(path)));
    }
    if (!written) return;
    lv2_atom_forge_pop(&forge, &frame);
    const auto* atom = reinterpret_cast<const LV2_Atom*>(lv2_atom_forge_deref(&forge, object));
    host.write(host.controller, Lv2Identity::controlPort, lv2_atom_total_size(atom), eventTransfer, atom);
}

void Lv2Panel::chooseLoopFile(void*) { choice.start(PanelFiles::Choice::For::loop); }

void Lv2Panel::exportGroove(void*) {
    if (loopPath.empty()) {
        services.showError("Brevatone", PanelFiles::noLoop);
        return;
    }
    choice.start(PanelFiles::Choice::For::groove);
}

void Lv2Panel::collectChoice() {
    char path[pathCapacity] = {};
    PanelFiles::Choice::For purpose = PanelFiles::Choice::For::loop;
    if (!choice.take(purpose, path, sizeof path)) return;
    if (purpose == PanelFiles::Choice::For::loop)
        sendLoopMessage(path);
    else
        saveGrooveTo(path);
}

void Lv2Panel::abandonChoice() { choice.abandon(); }

// The groove is that of the loop as the plug-in reported it, read again from its file.
void Lv2Panel::saveGrooveTo(const char* path) {
    InputFile file(loopPath.c_str());
    LoopReader loop(file);
    loop.parse();
    if (loop.failed()) {
        const std::string text = "The groove was not saved: the loop \"" + loopPath + "\" can no longer be read.";
        services.showError("Error", text.c_str());
        return;
    }
    PanelFiles::saveGroove(services, loop, loopPath, path);
}
