#pragma once

#include <cstdint>

// What a frame needs of the editor that made it: time for the host while a control is dragged,
// and the host's begin-edit and end-edit notices around a drag.
class FrameHost {
public:
    virtual ~FrameHost() = default;
    virtual void pumpMessages() = 0;
    virtual void beginEdit(std::int32_t tag) = 0;
    virtual void endEdit(std::int32_t tag) = 0;
    // Brings the widgets up to date before a paint; the paint may be the only call the window's
    // thread gets when the host idles from another thread.
    virtual void showPendingChanges() {}
};
