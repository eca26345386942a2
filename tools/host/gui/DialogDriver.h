#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

// Answers one dialog that the plug-in shows while its button is held: it waits on a thread of
// its own for a window with the given title, then types `path` into its file-name box and
// presses OK, or presses Cancel when `path` is empty, again while the dialog stays. A message box
// is answered with OK.
class DialogDriver {
public:
    DialogDriver(std::string title, std::string path, DWORD patienceMilliseconds = 60000);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Waits for the driver to finish; answers whether the dialog appeared.
    bool finish();
    // Whether the button that opened the dialog was still held when it appeared.
    bool appearedWhilePressed() const { return pressedWhenSeen.load(); }

private:
    void watch(DWORD patience);
    // Fills in the path and presses the button; false when the controls are not there yet.
    bool answer(HWND dialog) const;

    std::string title;
    std::string path;
    std::atomic<bool> seen{false};
    std::atomic<bool> pressedWhenSeen{false};
    std::thread watcher;
};
