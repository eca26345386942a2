#include "platform/WindowSystem.h"

// Hosts here have no window for the panel to live in, so the instrument offers no editor.
GuiPlatform* windowSystem() { return nullptr; }
