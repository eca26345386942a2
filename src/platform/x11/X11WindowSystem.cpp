#include "platform/WindowSystem.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11GuiPlatform.h"

#include <X11/Xlib.h>

// Hosts under Wayland run plug-ins under XWayland; without any reachable X server there is nowhere
// to embed a panel, and the host had better show its own sliders. The probe's connection is not
// kept: each panel opens its own when it opens.
GuiPlatform* windowSystem() {
    static X11GuiPlatform platform;
    Display* probe = X11Connection::reachDisplay();
    if (!probe) return nullptr;
    XCloseDisplay(probe);
    return &platform;
}
