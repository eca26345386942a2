#pragma once

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/PendingChoice.h"

// The operating-system services the instrument needs: file dialogs and message boxes.
// Tests substitute a recorder so that nothing ever waits for a person.
class PlatformServices {
public:
    struct FileDialog {
        const char* title;
        const char* filterName;
        const char* pattern;
        const char* defaultExtension;
        // A second filter the user may pick, or null: its name and its patterns, separated by ';'.
        const char* otherFilterName;
        const char* otherPattern;
    };

    virtual ~PlatformServices() = default;

    // Fills `path` (NUL-terminated, at most capacity - 1 characters) and answers true when the
    // user chose a file; false when the dialog was cancelled or could not be shown.
    virtual bool chooseFileToOpen(void* ownerWindow, const FileDialog& dialog, char* path, std::size_t capacity) = 0;
    virtual bool chooseFileToSave(void* ownerWindow, const FileDialog& dialog, char* path, std::size_t capacity) = 0;
    // Where a dialog must not hold the host's thread (Linux hosts call the editor from a timer and
    // have no loop a modal dialog could run), choosers run apart: `startChoosing` returns at once
    // and the caller polls the answer at later idles. Null when no chooser could be started; a
    // message says why.
    virtual bool choosesApart() const { return false; }
    virtual std::unique_ptr<PendingChoice> startChoosing(const FileDialog&, bool /*save*/) { return nullptr; }
    virtual void showError(const char* caption, const char* text) = 0;
    // Shows a message without waiting for anyone to read it, and sets `up` to false once it is gone.
    // The notice shares `up` with its caller, so either may end first.
    virtual void showNotice(const char* caption, const char* text, std::shared_ptr<std::atomic<bool>> up) = 0;
    // The system's text for the calling thread's last error.
    virtual std::string lastErrorText() = 0;
    // A line for whoever keeps the host's output, with nothing on screen: standard error, or the
    // host's log where it offers one.
    virtual void report(const char* text) { std::fprintf(stderr, "Brevatone: %s\n", text); }
};

// The services of the platform the library was built for.
PlatformServices& systemPlatformServices();
