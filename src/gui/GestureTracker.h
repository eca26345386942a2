#pragma once

#include <cstdint>

// Counts the mouse gestures running in an editor window. A gesture (a drag, or a button press
// that opens a file dialog) hands control to the host: it pumps messages, calls the host's idle
// and waits in modal dialogs. A host may close the editor, or close and free the whole plug-in,
// from inside such a call; carrying that out at once would return into freed objects. So a close
// that arrives inside a gesture is only remembered, and the outermost gesture carries it out
// when it unwinds.
class GestureTracker {
public:
    enum class Deferred { nothing, closeEditor, destroyInstance };

    void begin() { ++depth; }
    // Ends the innermost gesture and answers what is now due: nothing while an outer gesture
    // still runs.
    Deferred end();
    bool active() const { return depth > 0; }

    // Each answers true when the request must wait for the gestures to unwind; the caller then
    // only hides the window.
    bool deferEditorClose();
    bool deferDestruction();

private:
    std::int32_t depth = 0;
    bool closePending = false;
    bool destructionPending = false;
};
