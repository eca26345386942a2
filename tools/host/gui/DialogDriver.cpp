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
    auto patient = [&] { return GetTickCount() - start < patience; };
    HWND dialog = nullptr;
    while (!dialog && patient()) {
        dialog = FindWindowA("#32770", title.c_str());
        if (!dialog) Sleep(10);
    }
    if (!dialog) return;
    pressedWhenSeen = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    seen = true;
    // The dialog is found as soon as it exists, before its children are made or its own set-up
    // has filled the file-name box, and an answer given too early is lost with the dialog left
    // open. So the answer is given once the controls it needs are there, and again while the
    // dialog stays, unless it is waiting on a box of its own (an overwrite question).
    Sleep(300);  // most dialogs are ready by then; an earlier answer would only be given again
    bool answered = false;
    DWORD answeredAt = 0;
    while (IsWindow(dialog) && patient()) {
        const bool due = !answered || (GetTickCount() - answeredAt >= 1500 && IsWindowEnabled(dialog));
        if (due && answer(dialog)) {
            // The button that opened the dialog is still held; let it go so its press can end.
            if (!answered && pressedWhenSeen) {
                INPUT release{};
                release.type = INPUT_MOUSE;
                release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
                SendInput(1, &release, sizeof release);
            }
            answered = true;
            answeredAt = GetTickCount();
        }
        Sleep(20);
    }
}

bool DialogDriver::answer(HWND dialog) const {
    // A message box has no Cancel button of its own and may ignore one it does not show.
    int button = GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK;
    if (!path.empty()) {
        HWND box = GetDlgItem(dialog, explorerFileNameBox);
        if (!box) box = GetDlgItem(dialog, oldStyleFileNameBox);
        if (!box || !SetWindowTextA(box, path.c_str())) return false;
        button = IDOK;
    }
    HWND control = GetDlgItem(dialog, button);
    if (!control) return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control)) != 0;
}
