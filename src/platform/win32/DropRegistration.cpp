#include "platform/win32/DropRegistration.h"

#include "platform/win32/DropTarget.h"

DropRegistration::DropRegistration(HWND registeredWindow, DropReceiver& receiver) : window(registeredWindow) {
    auto* created = new DropTarget(receiver);
    // Our own reference keeps the target alive until it is detached, whatever the registration does.
    created->AddRef();
    if (RegisterDragDrop(window, created) == S_OK) {
        target = created;
    } else {
        created->Release();
    }
}

void DropRegistration::detachReceiver() {
    if (target) target->detach();
}

DropRegistration::~DropRegistration() {
    if (!target) return;
    target->detach();
    RevokeDragDrop(window);
    target->Release();
}
