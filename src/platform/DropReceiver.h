#pragma once

#include "gui/GuiGeometry.h"

#include <cstdint>

// What a drop target reports to: in the plug-in, the editor's frame. The target knows the
// receiver only through this, so the frame can be destroyed while a drag still holds the target.
class DropReceiver {
public:
    // A list of file path names, or one block of text whose count is the block's size in bytes.
    static constexpr std::int32_t fileNamesKind = 0;
    static constexpr std::int32_t textKind = 1;

    virtual ~DropReceiver() = default;

    // The cursor relative to the top-left corner of the receiver's window.
    virtual PixelPoint dropCursorPosition() = 0;
    // Answers true when something under the point took the drop.
    virtual bool acceptDrop(const char* const* names, std::int32_t count, std::int32_t kind, PixelPoint point) = 0;
};
