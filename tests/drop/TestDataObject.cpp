#include "TestDataObject.h"

#include <algorithm>
#include <cstring>

TestDataObject::~TestDataObject() {
    for (HGLOBAL block : memory) GlobalFree(block);
}

void TestDataObject::offerText(const char* text) {
    offer(CF_TEXT, std::vector<unsigned char>(text, text + std::strlen(text) + 1));
}

HRESULT STDMETHODCALLTYPE TestDataObject::QueryInterface(REFIID id, void** result) {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
        *result = static_cast<IDataObject*>(this);
        return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
}

bool TestDataObject::offers(const FORMATETC& format) const {
    const bool known = blocks.count(format.cfFormat) || unfilled.count(format.cfFormat) ||
                       std::find(streams.begin(), streams.end(), format.cfFormat) != streams.end();
    return known && format.dwAspect == DVASPECT_CONTENT && (format.tymed & TYMED_HGLOBAL);
}

HRESULT STDMETHODCALLTYPE TestDataObject::QueryGetData(FORMATETC* format) {
    if (whileAsked) whileAsked();
    return format && offers(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE TestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (whileAsked) whileAsked();
    if (!format || !medium || !offers(*format)) return DV_E_FORMATETC;
    if (std::find(failing.begin(), failing.end(), format->cfFormat) != failing.end()) return E_FAIL;
    *medium = STGMEDIUM{};
    const auto block = blocks.find(format->cfFormat);
    const auto empty = unfilled.find(format->cfFormat);
    if (empty != unfilled.end()) {
        HGLOBAL huge = GlobalAlloc(GMEM_MOVEABLE, empty->second);
        if (!huge) return E_OUTOFMEMORY;
        memory.push_back(huge);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = huge;
    } else if (block != blocks.end()) {
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, block->second.size());
        std::memcpy(GlobalLock(copy), block->second.data(), block->second.size());
        GlobalUnlock(copy);
        memory.push_back(copy);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
    } else {
        medium->tymed = TYMED_ISTREAM;
        CreateStreamOnHGlobal(nullptr, TRUE, &medium->pstm);
    }
    medium->pUnkForRelease = &witness;
    ++given;
    return S_OK;
}
