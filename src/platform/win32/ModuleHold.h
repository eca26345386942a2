#pragma once

#include <windows.h>

// A reference on the plug-in's own module for as long as a window handler runs, so that a host
// freeing the library from inside the handler does not unmap the code the handler returns to.
class ModuleHold {
public:
    ModuleHold() {
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&anchor), &module);
    }
    ~ModuleHold() {
        if (module) FreeLibrary(module);
    }
    ModuleHold(const ModuleHold&) = delete;
    ModuleHold& operator=(const ModuleHold&) = delete;

private:
    static void anchor() {}
    HMODULE module = nullptr;
};
