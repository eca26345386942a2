#include "DialogDriver.h"

#include <utility>

namespace {

// The file-name box of the explorer-style dialog (a combo box) and of the old-style one (an edit).
constexpr int explorerFileNameBox = 0x47C;
constexpr int oldStyleFileNameBox = 0x480;

}  // namespace

DialogDriver::DialogDriver(std::string dialogTitle, std::string chosenPath, DWORD patienceMilliseconds)
    : title(std::move(dialogTitle)), path(std::move(chosenPath)) {
    watcher = std::thread([this, patienceMilliseconds] { watch(patienceMilliseconds); });
}

DialogDriver::~DialogDriver() { finish(); }

bool DialogDriver::finish() {
    if (watcher.joinable()) watcher.join();
    return seen.load();
}

void DialogDriver::watch(DWORD patience) {
    const DWORD start = GetTickCount();
    HWND dialog = nullptr;
    while (!dialog && GetTickCount() - start < patience) {
        dialog = FindWindowA("#32770", title.c_str());
        if (!dialog) Sleep(10);
    }
    if (!dialog) return;
    pressedWhenSeen = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    seen = true;
    // Give the dialog time to lay out its children before typing into them.
    Sleep(300);
    // A message box has no Cancel button of its own and may ignore one it does not show.
    int answer = GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK;
    if (!path.empty()) {
        if (!SetDlgItemTextA(dialog, explorerFileNameBox, path.c_str()))
            SetDlgItemTextA(dialog, oldStyleFileNameBox, path.c_str());
        answer = IDOK;
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, answer)));
    // The button that opened the dialog is still held; let it go so its press can end.
    if (pressedWhenSeen) {
        INPUT release{};
        release.type = INPUT_MOUSE;
        release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &release, sizeof release);
    }
}
