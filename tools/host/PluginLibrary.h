#pragma once

#include "plugin/VstAbi.h"

#include <string>

// A plug-in library loaded the way a host loads it: by path, entry resolved by the name `main`.
class PluginLibrary {
public:
    using Entry = AEffect*(VSTCALL*)(audioMasterCallback host);

    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return entryPoint != nullptr; }
    const std::string& error() const { return failure; }
    Entry entry() const { return entryPoint; }

    // The path of a file that sits beside the running program.
    static std::string besideExecutable(const std::string& fileName);

private:
    void* handle = nullptr;
    Entry entryPoint = nullptr;
    std::string failure;
};
