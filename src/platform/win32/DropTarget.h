#pragma once

#include "platform/DropReceiver.h"

// windows.h must come before the headers that build on it.
#include <windows.h>

#include <ole2.h>

#include <atomic>

// A COM object is destroyed by its own Release, never through an interface pointer, and COM
// interfaces have no destructor of their own to make virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// The window's OLE drop target: takes dragged text and file lists and reports them to its
// receiver. Reference counted; the registration and any drag in progress each hold a reference.
class DropTarget final : public IDropTarget {
public:
    explicit DropTarget(DropReceiver& reportTo) : receiver(&reportTo) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    // From now on drags show no effect and drops reach nothing.
    void detach() { receiver = nullptr; }

private:
    virtual ~DropTarget() = default;

    bool deliver(IDataObject& data);
    bool deliverText(HGLOBAL memory);
    bool deliverFiles(HGLOBAL memory);

    LONG references = 0;
    bool accepting = false;
    // Detached from whichever thread closes the panel; drops read it on the window's thread.
    std::atomic<DropReceiver*> receiver;
};

#pragma GCC diagnostic pop
