#include "PluginLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <vector>

PluginLibrary::PluginLibrary(const std::string& path) {
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path.c_str());
    handle = module;
    if (!module) {
        failure = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return;
    }
    entryPoint = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "main")));
#else
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        failure = dlerror();
        return;
    }
    entryPoint = reinterpret_cast<Entry>(dlsym(handle, "main"));
#endif
    if (!entryPoint) failure = path + " has no entry named main";
}

PluginLibrary::~PluginLibrary() {
    if (!handle) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
}

std::string PluginLibrary::besideExecutable(const std::string& fileName) {
    std::vector<char> buffer(4096, '\0');
#if defined(_WIN32)
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::string self(buffer.data(), length);
    const auto slash = self.find_last_of("\\/");
#else
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    std::string self(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
    const auto slash = self.find_last_of('/');
#endif
    return slash == std::string::npos ? fileName : self.substr(0, slash + 1) + fileName;
}
