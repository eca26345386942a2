#pragma once

// The two file commands behind the panel's buttons. Each shows its dialog owned by `window`, the
// panel's own window, and returns when the dialog is done, or, where choosers run apart from the
// host, as soon as the chooser has started.
class PanelCommands {
public:
    virtual void chooseLoopFile(void* window) = 0;
    virtual void exportGroove(void* window) = 0;
    // At every idle of the panel: acts on a chooser's answer once it has come.
    virtual void collectChoice() = 0;
    // The panel closes: a chooser still open is ended and its answer ignored.
    virtual void abandonChoice() = 0;

protected:
    ~PanelCommands() = default;
};
