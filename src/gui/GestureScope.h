#pragma once

#include <functional>

// One mouse gesture in an editor window, from the press to the outermost handler's return. A
// gesture (a drag, or a button press that opens a file dialog) hands control to the host: it
// pumps messages, calls the host's idle and waits in modal dialogs. A host may close the editor,
// or close and free the whole plug-in, from inside such a call; doing that at once would return
// into freed objects. Such work is queued instead and runs when the outermost gesture of the
// thread unwinds, in the order it was asked for.
class GestureScope {
public:
    GestureScope();
    ~GestureScope();
    GestureScope(const GestureScope&) = delete;
    GestureScope& operator=(const GestureScope&) = delete;

    static bool active();
    // Queues `work` for `owner` when a gesture runs on this thread and answers true; otherwise
    // answers false and leaves running it to the caller.
    static bool deferWhileActive(const void* owner, std::function<void()> work);
    // Drops the work queued for `owner`, which is going away.
    static void forget(const void* owner);
};
