#include "platform/win32/WindowClass.h"

#include "platform/win32/ModuleInstance.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace {
std::mutex classLock;
int classUses = 0;
}  // namespace

const char* WindowClass::name() {
    static const std::string text = [] {
        char formatted[32];
        std::snprintf(formatted, sizeof formatted, "Plugin%08llx",
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(moduleInstance())));
        return std::string(formatted);
    }();
    return text.c_str();
}

bool WindowClass::acquire(WNDPROC procedure) {
    const std::lock_guard<std::mutex> guard(classLock);
    if (classUses == 0) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_GLOBALCLASS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = moduleInstance();
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = name();
        // A use given back on a thread that had ended may leave our own class behind; it serves as it is.
        WNDCLASSA leftBehind{};
        if (!RegisterClassA(&windowClass) &&
            !(GetClassInfoA(moduleInstance(), name(), &leftBehind) && leftBehind.lpfnWndProc == procedure))
            return false;
    }
    ++classUses;
    return true;
}

void WindowClass::release() {
    const std::lock_guard<std::mutex> guard(classLock);
    if (classUses == 0) return;
    if (--classUses == 0) UnregisterClassA(name(), moduleInstance());
}
