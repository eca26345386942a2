#include "gui/GuiPlatform.h"
#include "platform/WindowSystem.h"

GuiPlatform* windowSystem() { return &systemGuiPlatform(); }
