#include "platform/win32/DroppedFileNames.h"

#include "platform/DropFileList.h"
#include "platform/DropRules.h"
#include "platform/win32/ResolveShortcut.h"

// windows.h must come before the headers that build on it.
#include <windows.h>

#include <algorithm>

namespace {

// A drop of many shortcuts whose targets have moved must not hang the editor's thread: once this
// is spent, the remaining shortcuts go on as their own paths.
constexpr DWORD shortcutBudgetMs = 2000;
constexpr DWORD maximumSearchMs = 500;

// The name in the system code page if every character has an exact counterpart there. Best-fit
// look-alikes and "?" are refused: they can name a different, existing file.
bool exactNarrowName(const std::wstring& wide, std::string& narrow, unsigned codePage) {
    char buffer[DropFileList::nameCapacity];
    // UTF-8 takes neither flag nor replacement report; its own strict flag refuses what it cannot carry.
    const bool utf8 = codePage == CP_UTF8;
    BOOL replaced = FALSE;
    const int written = WideCharToMultiByte(codePage, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, wide.c_str(),
                                            -1, buffer, sizeof buffer, nullptr, utf8 ? nullptr : &replaced);
    if (written <= 0 || replaced) return false;
    narrow = buffer;
    return true;
}

bool narrowNameOrShortForm(const std::wstring& wide, std::string& narrow, unsigned codePage) {
    if (exactNarrowName(wide, narrow, codePage)) return true;
    wchar_t shortForm[DropFileList::nameCapacity];
    const DWORD length = GetShortPathNameW(wide.c_str(), shortForm, DropFileList::nameCapacity);
    return length > 0 && length < DropFileList::nameCapacity && exactNarrowName(shortForm, narrow, codePage);
}

// Pipes, devices and the like answer opening with a wait that may never end: only a plain file is
// read as a shortcut, told first by its name and then by its attributes.
bool isRegularFile(const std::wstring& path) {
    if (!DropRules::namesDriveOrShareFile(std::u16string(path.begin(), path.end()))) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_OFFLINE));
}

class ShortcutResolver {
public:
    // True when `path` was a shortcut and now holds its target.
    bool resolve(std::wstring& path) {
        const std::u16string name(path.begin(), path.end());
        const DWORD spent = GetTickCount() - start;
        if (!DropRules::isShortcutName(name) || spent >= shortcutBudgetMs || !isRegularFile(path)) return false;
        return resolveShortcut(path, path, std::min<DWORD>(shortcutBudgetMs - spent, maximumSearchMs));
    }

private:
    DWORD start = GetTickCount();
};

std::wstring widened(const std::string& narrow, unsigned codePage) {
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, narrow.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, narrow.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

}  // namespace

std::vector<std::string> droppedFileNames(const DropFileList& list) { return droppedFileNames(list, GetACP()); }

std::vector<std::string> droppedFileNames(const DropFileList& list, unsigned codePage) {
    ShortcutResolver shortcuts;
    std::vector<std::string> names;
    std::string narrow;
    if (list.isWide()) {
        for (const std::u16string& name : list.wideNames()) {
            std::wstring path(name.begin(), name.end());
            shortcuts.resolve(path);
            if (narrowNameOrShortForm(path, narrow, codePage)) names.push_back(narrow);
        }
        return names;
    }
    // Names already in the system code page go on as they came unless a shortcut is replaced.
    for (const std::string& name : list.narrowNames()) {
        std::wstring path = widened(name, codePage);
        const bool replaced = !path.empty() && shortcuts.resolve(path) && narrowNameOrShortForm(path, narrow, codePage);
        names.push_back(replaced ? narrow : name);
    }
    return names;
}
