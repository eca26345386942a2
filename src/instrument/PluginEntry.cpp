#include "instrument/Instrument.h"
#include "plugin/VstAbi.h"

#include <new>

#if defined(_WIN32)
#define BREVATONE_EXPORT extern "C"
#else
#define BREVATONE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Hosts look for `main`; C++ reserves that name, so the entry is defined under another name and
// exported as `main` by the module-definition file (Windows) or an assembler label (elsewhere).
BREVATONE_EXPORT AEffect* VSTCALL VSTPluginMain(audioMasterCallback host) {
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        return (new Instrument(host))->effect();
    } catch (...) {
        return nullptr;
    }
}

#if !defined(_WIN32)
BREVATONE_EXPORT AEffect* hostEntryMain(audioMasterCallback host) __asm__("main");
AEffect* hostEntryMain(audioMasterCallback host) { return VSTPluginMain(host); }
#endif
