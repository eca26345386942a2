#pragma once

// windows.h must come before the headers that build on it.
#include <windows.h>

class DropReceiver;
class DropTarget;

// Makes a window accept dragged text and files for as long as this lives, reporting them to the
// receiver. The receiver is detached from the target before the target is revoked: a drag in
// progress holds its own reference, so the target can outlive this and must then do nothing.
class DropRegistration {
public:
    DropRegistration(HWND window, DropReceiver& receiver);
    ~DropRegistration();
    DropRegistration(const DropRegistration&) = delete;
    DropRegistration& operator=(const DropRegistration&) = delete;

    bool isRegistered() const { return target != nullptr; }
    // From any thread: drops reach nothing from now on, while the registration stays until destroyed
    // on the window's own thread.
    void detachReceiver();

private:
    HWND window;
    DropTarget* target = nullptr;
};
