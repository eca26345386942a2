#include "platform/win32/DropTarget.h"

#include "platform/DropFileList.h"
#include "platform/DropRules.h"
#include "platform/win32/DroppedFileNames.h"

#include <algorithm>
#include <new>
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

// A medium fetched from the source, released however the drop ends.
struct HeldMedium {
    HeldMedium() = default;
    HeldMedium(const HeldMedium&) = delete;
    HeldMedium& operator=(const HeldMedium&) = delete;
    ~HeldMedium() {
        if (fetched) ReleaseStgMedium(&medium);
    }

    bool fetch(IDataObject& data, DropRules::DropFormat format) {
        FORMATETC wanted = formatFor(format);
        fetched = data.GetData(&wanted, &medium) == S_OK;
        return fetched;
    }

    STGMEDIUM medium{};
    bool fetched = false;
};

// The system calls these methods: nothing may unwind into it and on into the host.
template <typename Work>
HRESULT guarded(Work&& work) noexcept {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

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
    return guarded([&] {
        accepting = false;
        // Asking the source may run the host's code, which may close the editor meanwhile.
        const bool offered = data && receiver && offeredFormat(*data) != DropRules::DropFormat::none;
        accepting = offered && receiver;
        return DragOver(keyState, point, effect);
    });
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
    bool taken = false;
    const HRESULT result = guarded([&] {
        taken = data && receiver && deliver(*data);
        return S_OK;
    });
    if (effect) *effect = DropRules::effectAfterDrop(taken, *effect);
    DragLeave();
    Release();
    return result;
}

// Asking the source for its data runs the source's code, and through it possibly the host's, which
// may close the editor or the whole plug-in: the receiver is looked at again after each such call.
bool DropTarget::deliver(IDataObject& data) {
    const DropRules::DropFormat format = offeredFormat(data);
    if (format == DropRules::DropFormat::none || !receiver) return false;
    HeldMedium held;
    DropRules::DropFormat fetched = format;
    if (!held.fetch(data, format)) {
        // A source whose text fails to come may still hand over the file list it also offers.
        if (format != DropRules::DropFormat::text || !held.fetch(data, DropRules::DropFormat::fileList)) return false;
        fetched = DropRules::DropFormat::fileList;
    }
    if (held.medium.tymed != TYMED_HGLOBAL || !receiver) return false;
    return fetched == DropRules::DropFormat::text ? deliverText(held.medium.hGlobal)
                                                  : deliverFiles(held.medium.hGlobal);
}

bool DropTarget::deliverText(HGLOBAL memory) {
    std::vector<char> text;
    {
        const LockedBlock block(memory);
        // Nothing is copied of a block larger than any text the panel could use.
        if (!block.bytes || !block.size || block.size > DropRules::textCapacity) return false;
        text = DropRules::terminatedText(block.bytes, block.size);
    }
    DropReceiver* to = receiver;
    if (!to) return false;
    const char* names[] = {text.data()};
    const auto count = static_cast<std::int32_t>(text.size() - 1);
    return to->acceptDrop(names, count, DropReceiver::textKind, to->dropCursorPosition());
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
    DropReceiver* to = receiver;
    if (names.empty() || !to) return false;
    std::vector<const char*> pointers;
    pointers.reserve(names.size());
    for (const std::string& name : names) pointers.push_back(name.c_str());
    return to->acceptDrop(pointers.data(), static_cast<std::int32_t>(pointers.size()), DropReceiver::fileNamesKind,
                          to->dropCursorPosition());
}
