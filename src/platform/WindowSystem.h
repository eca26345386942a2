#pragma once

class GuiPlatform;

// The platform on which the plug-in's panel shows in the host's window, or null where the
// library has no window system behind its editor frame.
GuiPlatform* windowSystem();
