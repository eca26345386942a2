#pragma once

#include <windows.h>

// A memory device context with one bitmap selected into it, both given back on destruction:
// the previous selection is restored, the context deleted, and the bitmap deleted if owned.
class MemoryDc {
public:
    // A context compatible with `reference` holding `bitmap`; `owned` bitmaps are deleted with it.
    MemoryDc(HDC reference, HBITMAP bitmap, bool owned);
    ~MemoryDc();
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    // False when the context or the bitmap could not be had; such a context must not be drawn on.
    bool valid() const { return dc != nullptr && selected; }
    HDC handle() const { return dc; }
    HBITMAP bitmap() const { return held; }

private:
    HDC dc;
    HBITMAP held;
    HGDIOBJ previous = nullptr;
    bool owned;
    bool selected = false;
};
