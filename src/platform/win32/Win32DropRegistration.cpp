#include "platform/DropRegistration.h"

#include "platform/win32/DropTarget.h"

DropRegistration::DropRegistration(void* nativeWindow, DropReceiver& receiver) : window(nativeWindow) {
    auto* created = new DropTarget(receiver);
    // Our own reference keeps the target alive until it is detached, whatever the registration does.
    created->AddRef();
    if (RegisterDragDrop(static_cast<HWND>(window), created) == S_OK) {
        target = created;
    } else {
        created->Release();
    }
}

DropRegistration::~DropRegistration() {
    if (!target) return;
    target->detach();
    RevokeDragDrop(static_cast<HWND>(window));
    target->Release();
}
