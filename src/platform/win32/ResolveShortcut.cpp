#include "platform/win32/ResolveShortcut.h"

#include "platform/DropFileList.h"

// windows.h must come before the headers that build on it.
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

bool resolveShortcut(const std::wstring& shortcutPath, std::wstring& target, unsigned long searchMs) {
    // With SLR_NO_UI the upper half of the flags is the search time-out; 0 would mean the default.
    const DWORD timeout = searchMs == 0 ? 1 : (searchMs > 0xFFFF ? 0xFFFF : static_cast<DWORD>(searchMs));
    const DWORD resolveFlags = DWORD{SLR_NO_UI} | DWORD{SLR_ANY_MATCH} | (timeout << 16);
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool resolved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t found[DropFileList::nameCapacity] = {};
        // A link to something that is no file (a web address) answers with an empty path.
        resolved =
            SUCCEEDED(file->Load(shortcutPath.c_str(), STGM_READ)) && SUCCEEDED(link->Resolve(nullptr, resolveFlags)) &&
            SUCCEEDED(link->GetPath(found, DropFileList::nameCapacity, nullptr, SLGP_SHORTPATH)) && found[0] != L'\0';
        if (resolved) target = found;
        file->Release();
    }
    link->Release();
    return resolved;
}
