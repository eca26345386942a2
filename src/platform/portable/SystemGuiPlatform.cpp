#include "gui/GuiPlatform.h"
#include "platform/portable/SoftwarePlatform.h"

// Without a window system the editor draws into memory, where nobody sees it; hosts on such
// systems open no editor.
GuiPlatform& systemGuiPlatform() {
    static SoftwarePlatform platform;
    return platform;
}
