#pragma once

#include <windows.h>

// The editor windows' class, shared by every editor of the module: registered when the first window
// needs it and unregistered when the last one lets it go. Safe when instances open and close editors
// on several threads at once.
class WindowClass {
public:
    // Counts one use, registering the class first if nobody uses it; false when it cannot be registered.
    static bool acquire(WNDPROC procedure);
    // Gives back a use that `acquire` granted.
    static void release();
    // "Plugin" and the module's instance handle in hexadecimal, computed once.
    static const char* name();
};
