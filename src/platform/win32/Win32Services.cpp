#include "platform/PlatformServices.h"

// windows.h must come before the headers that build on it.
#include <windows.h>

#include <commdlg.h>

#include "platform/win32/ModuleInstance.h"

#include <cstring>
#include <new>
#include <string>

namespace {

// The dialog filter is a list of NUL-separated pairs ending in an empty string.
std::string filterList(const PlatformServices::FileDialog& dialog) {
    std::string filter = dialog.filterName;
    filter.push_back('\0');
    filter += dialog.pattern;
    filter.push_back('\0');
    if (dialog.otherFilterName) {
        filter += dialog.otherFilterName;
        filter.push_back('\0');
        filter += dialog.otherPattern;
        filter.push_back('\0');
    }
    filter.push_back('\0');
    return filter;
}

// What a notice thread needs; it owns this and frees it before it ends.
struct Notice {
    std::string caption;
    std::string text;
    std::shared_ptr<std::atomic<bool>> up;
    HMODULE library;
};

// Holds a reference to this library while the box is up, so the host may close the instance or free
// the library meanwhile: the code the thread runs stays loaded until it lets go on its way out.
DWORD WINAPI showNoticeAndExit(LPVOID parameter) {
    auto* notice = static_cast<Notice*>(parameter);
    MessageBoxA(nullptr, notice->text.c_str(), notice->caption.c_str(), MB_ICONERROR);
    notice->up->store(false);
    const HMODULE library = notice->library;
    delete notice;
    FreeLibraryAndExitThread(library, 0);
}

class Win32Services final : public PlatformServices {
public:
    bool chooseFileToOpen(void* owner, const FileDialog& dialog, char* path, std::size_t capacity) override {
        return runDialog(owner, dialog, path, capacity, GetOpenFileNameA);
    }

    bool chooseFileToSave(void* owner, const FileDialog& dialog, char* path, std::size_t capacity) override {
        return runDialog(owner, dialog, path, capacity, GetSaveFileNameA);
    }

    void showError(const char* caption, const char* text) override {
        MessageBoxA(nullptr, text, caption, MB_ICONERROR);
    }

    void showNotice(const char* caption, const char* text, std::shared_ptr<std::atomic<bool>> up) override {
        HMODULE library = nullptr;
        if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&showNoticeAndExit),
                                &library)) {
            up->store(false);
            return;
        }
        auto* notice = new (std::nothrow) Notice{caption, text, up, library};
        const HANDLE thread = notice ? CreateThread(nullptr, 0, showNoticeAndExit, notice, 0, nullptr) : nullptr;
        if (thread) {
            CloseHandle(thread);
            return;
        }
        delete notice;
        FreeLibrary(library);
        up->store(false);
    }

    std::string lastErrorText() override {
        char* buffer = nullptr;
        const DWORD length = FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
        std::string text = length && buffer ? std::string(buffer, length) : std::string("Unknown error");
        LocalFree(buffer);
        return text;
    }

private:
    static bool runDialog(void* owner, const FileDialog& dialog, char* path, std::size_t capacity,
                          BOOL(WINAPI* show)(LPOPENFILENAMEA)) {
        const std::string filter = filterList(dialog);
        char fileName[1024] = {};
        char fileTitle[256] = {};
        OPENFILENAMEA request{};
        request.lStructSize = sizeof request;
        request.hwndOwner = static_cast<HWND>(owner);
        request.hInstance = moduleInstance();
        request.lpstrFilter = filter.c_str();
        request.nFilterIndex = 0;
        request.lpstrFile = fileName;
        request.nMaxFile = sizeof fileName;
        request.lpstrFileTitle = fileTitle;
        request.nMaxFileTitle = sizeof fileTitle;
        request.lpstrTitle = dialog.title;
        request.Flags = OFN_OVERWRITEPROMPT;
        request.lpstrDefExt = dialog.defaultExtension;
        if (!show(&request) || capacity == 0) return false;
        std::strncpy(path, fileName, capacity - 1);
        path[capacity - 1] = '\0';
        return true;
    }
};

}  // namespace

PlatformServices& systemPlatformServices() {
    static Win32Services services;
    return services;
}
