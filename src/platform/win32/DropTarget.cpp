#include "platform/win32/DropTarget.h"

#include "platform/DropFileList.h"
#include "platform/DropRules.h"
#include "platform/win32/DroppedFileNames.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

FORMATETC formatFor(DropRules::DropFormat format) {
    const CLIPFORMAT clipboardFormat = format == DropRules::DropFormat::text ? CF_TEXT : CF_HDROP;
    return FORMATETC{clipboardFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool offers(IDataObject& data, DropRules::DropFormat format) {
    FORMATETC wanted = formatFor(format);
    return data.QueryGetData(&wanted) == S_OK;
}

DropRules::DropFormat offeredFormat(IDataObject& data) {
    return DropRules::takenFormat(offers(data, DropRules::DropFormat::text),
                                  offers(data, DropRules::DropFormat::fileList));
}

// The memory block of a global-memory medium, locked for as long as this lives.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL memory)
        : handle(memory), bytes(memory ? GlobalLock(memory) : nullptr), size(bytes ? GlobalSize(memory) : 0) {}
    ~LockedBlock() {
        if (bytes) GlobalUnlock(handle);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;

    HGLOBAL handle;
    const void* bytes;
    SIZE_T size;
};

}  // namespace

HRESULT STDMETHODCALLTYPE DropTarget::QueryInterface(REFIID id, void** result) {
    if (!result) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *result = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTarget::AddRef() { return static_cast<ULONG>(++references); }

ULONG STDMETHODCALLTYPE DropTarget::Release() {
    const LONG remaining = --references;
    if (remaining <= 0) delete this;
    return static_cast<ULONG>(std::max<LONG>(remaining, 0));
}

HRESULT STDMETHODCALLTYPE DropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    accepting = data && receiver && offeredFormat(*data) != DropRules::DropFormat::none;
    return DragOver(keyState, point, effect);
}

HRESULT STDMETHODCALLTYPE DropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = DropRules::effectWhileDragging(accepting && receiver, keyState, *effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragLeave() {
    accepting = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    // The receiver may let go of this target while it handles the drop.
    AddRef();
    const bool taken = data && receiver && deliver(*data);
    if (effect) *effect = DropRules::effectAfterDrop(taken, *effect);
    DragLeave();
    Release();
    return S_OK;
}

bool DropTarget::deliver(IDataObject& data) {
    const DropRules::DropFormat format = offeredFormat(data);
    if (format == DropRules::DropFormat::none) return false;
    FORMATETC wanted = formatFor(format);
    STGMEDIUM medium{};
    if (data.GetData(&wanted, &medium) != S_OK) return false;
    bool taken = false;
    if (medium.tymed == TYMED_HGLOBAL)
        taken = format == DropRules::DropFormat::text ? deliverText(medium.hGlobal) : deliverFiles(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return taken;
}

bool DropTarget::deliverText(HGLOBAL memory) {
    std::vector<char> text;
    {
        const LockedBlock block(memory);
        if (!block.bytes || !block.size) return false;
        text = DropRules::terminatedText(block.bytes, block.size);
    }
    const char* names[] = {text.data()};
    const auto count = static_cast<std::int32_t>(std::min<std::size_t>(text.size() - 1, INT32_MAX));
    return receiver->acceptDrop(names, count, DropReceiver::textKind, receiver->dropCursorPosition());
}

bool DropTarget::deliverFiles(HGLOBAL memory) {
    std::vector<std::string> names;
    {
        const LockedBlock block(memory);
        if (!block.bytes) return false;
        const DropFileList list(block.bytes, block.size);
        if (!list.isValid()) return false;
        names = droppedFileNames(list);
    }
    // Resolving shortcuts can take a while; the receiver may have gone meanwhile.
    if (names.empty() || !receiver) return false;
    std::vector<const char*> pointers;
    pointers.reserve(names.size());
    for (const std::string& name : names) pointers.push_back(name.c_str());
    return receiver->acceptDrop(pointers.data(), static_cast<std::int32_t>(pointers.size()),
                                DropReceiver::fileNamesKind, receiver->dropCursorPosition());
}
