#include "platform/win32/MemoryDc.h"

MemoryDc::MemoryDc(HDC reference, HBITMAP bitmap, bool ownsBitmap)
    : dc(CreateCompatibleDC(reference)), held(bitmap), owned(ownsBitmap) {
    if (!dc || !held) return;
    previous = SelectObject(dc, held);
    selected = previous != nullptr && previous != HGDI_ERROR;
}

MemoryDc::~MemoryDc() {
    if (selected) SelectObject(dc, previous);
    if (dc) DeleteDC(dc);
    if (owned && held) DeleteObject(held);
}
