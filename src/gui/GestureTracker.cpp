#include "gui/GestureTracker.h"

GestureTracker::Deferred GestureTracker::end() {
    if (depth > 0) --depth;
    if (depth > 0) return Deferred::nothing;
    // Destroying the instance closes its editor too, so it supersedes a pending close.
    if (destructionPending) {
        destructionPending = closePending = false;
        return Deferred::destroyInstance;
    }
    if (closePending) {
        closePending = false;
        return Deferred::closeEditor;
    }
    return Deferred::nothing;
}

bool GestureTracker::deferEditorClose() {
    if (!active()) return false;
    closePending = true;
    return true;
}

bool GestureTracker::deferDestruction() {
    if (!active()) return false;
    destructionPending = true;
    return true;
}
