#pragma once

// The two file commands behind the panel's buttons. Each shows its dialog owned by `window`, the
// panel's own window, and returns when the dialog is done.
class PanelCommands {
public:
    virtual void chooseLoopFile(void* window) = 0;
    virtual void exportGroove(void* window) = 0;

protected:
    ~PanelCommands() = default;
};
